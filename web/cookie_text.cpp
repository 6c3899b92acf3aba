#include "web/cookie_text.h"

#include "text/text_helpers.h"

#include <algorithm>
#include <vector>

namespace yejian::web {
namespace {

using text::cut_at;
using text::trim_blanks;

bool is_ip_address(std::string_view host)
{
    if (host.starts_with('['))
        return true; // an IPv6 literal
    return !host.empty() &&
           std::all_of(host.begin(), host.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

// The name of a cookie entry, trimmed; empty when the piece holds no "=".
std::string entry_name(std::string_view piece)
{
    const std::size_t equals = piece.find('=');
    if (equals == std::string_view::npos)
        return {};
    return trim_blanks(piece.substr(0, equals));
}

// A value that is empty or "deleted" is how answers remove a cookie.
bool is_removal(std::string_view trimmed_piece)
{
    const std::size_t equals = trimmed_piece.find('=');
    if (equals == std::string_view::npos)
        return false;
    const std::string_view value = trimmed_piece.substr(equals + 1);
    return value.empty() || value == "deleted";
}

void end_with_semicolon(std::string& text)
{
    if (!text.empty() && !text.ends_with(';'))
        text += ';';
}

} // namespace

std::string cookie_domain(std::string_view url)
{
    std::string_view rest = url;
    for (std::string_view scheme : {"http://", "https://"}) {
        if (text::starts_with_ignoring_case(rest, scheme)) {
            rest.remove_prefix(scheme.size());
            break;
        }
    }
    rest = rest.substr(0, rest.find_first_of("/?#"));
    if (const std::size_t at = rest.rfind('@'); at != std::string_view::npos)
        rest.remove_prefix(at + 1);
    std::string_view host;
    if (rest.starts_with('[')) {
        const std::size_t close = rest.find(']');
        host = close == std::string_view::npos ? rest : rest.substr(0, close + 1);
    } else {
        host = rest.substr(0, rest.find(':'));
    }
    const std::string lower = text::ascii_lower(host);
    if (is_ip_address(lower))
        return lower;
    const std::vector<std::string> labels = cut_at(lower, ".");
    if (labels.size() < 2)
        return lower;
    return labels[labels.size() - 2] + "." + labels.back();
}

std::string merge_cookies(std::string& base, std::string& additions)
{
    base = trim_blanks(base);
    additions = trim_blanks(additions);
    end_with_semicolon(base);
    end_with_semicolon(additions);

    std::vector<std::string> entries = cut_at(base, ";");
    for (const std::string& piece : cut_at(additions, ";")) {
        const std::string name = entry_name(piece);
        if (name.empty())
            continue;
        bool replaced = false;
        for (std::string& entry : entries) {
            if (text::equals_ignoring_case(entry_name(entry), name)) {
                entry = piece;
                replaced = true;
            }
        }
        if (!replaced)
            entries.push_back(piece);
    }

    // One entry per name: an addition replaces every base entry of its name, and a base from
    // outside may itself repeat a name; the first such entry keeps its place, later ones go.
    std::vector<std::string> names;
    std::string normal;
    for (const std::string& entry : entries) {
        const std::string trimmed = trim_blanks(entry);
        // Empty pieces (from ";;") carry nothing and would only send "; ;".
        if (trimmed.empty() || is_removal(trimmed))
            continue;
        if (std::string name = text::ascii_lower(entry_name(trimmed)); !name.empty()) {
            if (std::find(names.begin(), names.end(), name) != names.end())
                continue;
            names.push_back(std::move(name));
        }
        normal += trimmed;
        normal += "; ";
    }
    base = trim_blanks(normal);
    return base;
}

std::string collect_set_cookies(std::string_view answer_headers)
{
    std::string cookies;
    for (const std::string& line : cut_at(answer_headers, "\r\n")) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos ||
            !text::equals_ignoring_case(std::string_view(line).substr(0, colon), "Set-Cookie"))
            continue;
        const std::string_view value = std::string_view(line).substr(colon + 1);
        const std::string cookie = trim_blanks(value.substr(0, value.find(';')));
        if (entry_name(cookie).empty())
            continue;
        cookies += cookie;
        cookies += "; ";
    }
    return cookies;
}

} // namespace yejian::web
