#include "standin/form_fields.h"

#include <httplib.h>

#include <algorithm>

namespace yejian::standin {

namespace {

std::string lower_ascii(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return lower;
}

// Decoded field names that hold a secret; compared without regard to case.
bool is_secret_name(std::string_view decoded_name)
{
    return lower_ascii(decoded_name).find("password") != std::string::npos;
}

template <class Piece>
void for_each_piece(std::string_view text, char separator, Piece piece)
{
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos)
            end = text.size();
        if (end > start)
            piece(text.substr(start, end - start));
        start = end + 1;
    }
}

} // namespace

FormFields parse_form(std::string_view body)
{
    FormFields fields;
    for_each_piece(body, '&', [&](std::string_view piece) {
        std::size_t equals = piece.find('=');
        std::string name(piece.substr(0, equals));
        std::string value(equals == std::string_view::npos ? std::string_view() : piece.substr(equals + 1));
        fields.emplace_back(httplib::detail::decode_url(name, true),
                            httplib::detail::decode_url(value, true));
    });
    return fields;
}

std::optional<std::string> form_value(const FormFields& fields, std::string_view name)
{
    auto it = std::find_if(fields.begin(), fields.end(),
                           [&](const auto& field) { return field.first == name; });
    if (it == fields.end())
        return std::nullopt;
    return it->second;
}

FormFields without_secrets(FormFields fields)
{
    for (auto& [name, value] : fields)
        if (is_secret_name(name))
            value = redacted_text;
    return fields;
}

std::string target_without_secrets(std::string_view target)
{
    std::size_t question = target.find('?');
    if (question == std::string_view::npos)
        return std::string(target);
    std::string result(target.substr(0, question + 1));
    bool first = true;
    bool changed = false;
    for_each_piece(target.substr(question + 1), '&', [&](std::string_view piece) {
        if (!first)
            result += '&';
        first = false;
        std::size_t equals = piece.find('=');
        std::string name(piece.substr(0, equals));
        if (equals != std::string_view::npos && is_secret_name(httplib::detail::decode_url(name, true)))
        {
            result += name + "=" + redacted_text;
            changed = true;
        } else
            result += piece;
    });
    return changed ? result : std::string(target);
}

std::string header_line_without_secrets(std::string_view line)
{
    std::size_t colon = line.find(':');
    std::string name = lower_ascii(line.substr(0, colon));
    if (colon != std::string_view::npos && (name == "authorization" || name == "proxy-authorization"))
        return std::string(line.substr(0, colon + 1)) + " " + redacted_text;
    return std::string(line);
}

} // namespace yejian::standin
