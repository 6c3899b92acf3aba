#include "text/text_helpers.h"

#include <algorithm>

namespace yejian::text {
namespace {

constexpr std::string_view ideographic_space = "\xE3\x80\x80";

bool is_continuation_byte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

char ascii_upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool same_ignoring_case(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return ascii_lower(x) == ascii_lower(y); });
}

} // namespace

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string ascii_lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = ascii_lower(c);
    return out;
}

std::string ascii_upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = ascii_upper(c);
    return out;
}

bool equals_ignoring_case(std::string_view a, std::string_view b) { return same_ignoring_case(a, b); }

bool starts_with_ignoring_case(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && same_ignoring_case(text.substr(0, prefix.size()), prefix);
}

std::size_t find_ignoring_case(std::string_view text, std::string_view needle, std::size_t from)
{
    if (from > text.size() || needle.size() > text.size())
        return std::string_view::npos;
    const std::size_t last = text.size() - needle.size();
    for (std::size_t i = from; i <= last; ++i) {
        if (i < text.size() && is_continuation_byte(text[i]))
            continue;
        if (same_ignoring_case(text.substr(i, needle.size()), needle))
            return i;
    }
    return std::string_view::npos;
}

std::string text_between(std::string_view text, std::string_view left, std::string_view right,
                         long start_position)
{
    const std::size_t from = start_position < 1 ? 0 : static_cast<std::size_t>(start_position - 1);
    if (from >= text.size())
        return {};
    const std::size_t left_at = find_ignoring_case(text, left, from);
    if (left_at == std::string_view::npos)
        return {};
    const std::size_t inner_begin = left_at + left.size();
    const std::size_t right_at = find_ignoring_case(text, right, inner_begin);
    if (right_at == std::string_view::npos)
        return {};
    return std::string(text.substr(inner_begin, right_at - inner_begin));
}

std::string trim_blanks(std::string_view text)
{
    for (;;) {
        if (text.starts_with(' '))
            text.remove_prefix(1);
        else if (text.starts_with(ideographic_space))
            text.remove_prefix(ideographic_space.size());
        else
            break;
    }
    for (;;) {
        if (text.ends_with(' '))
            text.remove_suffix(1);
        else if (text.ends_with(ideographic_space))
            text.remove_suffix(ideographic_space.size());
        else
            break;
    }
    return std::string(text);
}

std::vector<std::string> cut_at(std::string_view text, std::string_view separator)
{
    std::vector<std::string> pieces;
    if (text.empty())
        return pieces;
    if (separator.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    std::size_t begin = 0;
    for (;;) {
        std::size_t at = text.find(separator, begin);
        // A separator never matches from inside a character.
        while (at != std::string_view::npos && is_continuation_byte(text[at]))
            at = text.find(separator, at + 1);
        if (at == std::string_view::npos)
            break;
        pieces.emplace_back(text.substr(begin, at - begin));
        begin = at + separator.size();
    }
    if (begin < text.size())
        pieces.emplace_back(text.substr(begin));
    return pieces;
}

std::string_view text_before_zero(std::string_view bytes)
{
    return bytes.substr(0, std::min(bytes.find('\0'), bytes.size()));
}

} // namespace yejian::text
