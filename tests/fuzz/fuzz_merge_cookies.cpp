// merge_cookies on a fuzzed base and additions. The merged base is in normal form (entries
// "name=value;" joined by one space, no blanks around it, ending with ";" unless empty), holds
// no two entries of one name, and holds each named addition that is not a removal; the
// additions come back trimmed and ending with ";" unless empty.

#include "tests/fuzz/fuzz_check.h"
#include "web/cookie_text.h"

#include <algorithm>
#include <map>
#include <set>

using namespace yejian;

namespace {

std::string trimmed(std::string_view text)
{
    constexpr std::string_view ideographic_space = "\xE3\x80\x80";
    for (;;) {
        if (text.starts_with(' '))
            text.remove_prefix(1);
        else if (text.starts_with(ideographic_space))
            text.remove_prefix(ideographic_space.size());
        else if (text.ends_with(' '))
            text.remove_suffix(1);
        else if (text.ends_with(ideographic_space))
            text.remove_suffix(ideographic_space.size());
        else
            return std::string(text);
    }
}

// The entry's name, trimmed and ASCII lower-cased; empty for a piece without "=".
std::string name_of(std::string_view entry)
{
    const std::size_t equals = entry.find('=');
    return equals == std::string_view::npos ? std::string() : fuzz::lower_ascii(trimmed(entry.substr(0, equals)));
}

bool is_removal(std::string_view entry)
{
    const std::string_view value = entry.substr(entry.find('=') + 1);
    return value.empty() || value == "deleted";
}

// The entries of a text in normal form; traps when the text is not in that form.
std::vector<std::string> normal_entries(std::string_view text)
{
    std::vector<std::string> entries;
    if (text.empty())
        return entries;
    FUZZ_CHECK(text.ends_with(';'));
    FUZZ_CHECK(!fuzz::has_outer_blank(text));
    text.remove_suffix(1);
    for (bool first = true;; first = false) {
        const std::size_t end = text.find(';');
        std::string_view entry = text.substr(0, end);
        if (!first) {
            FUZZ_CHECK(entry.starts_with(' '));
            entry.remove_prefix(1);
        }
        FUZZ_CHECK(!entry.empty() && trimmed(entry) == entry);
        entries.emplace_back(entry);
        if (end == std::string_view::npos)
            return entries;
        text.remove_prefix(end + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto parts = fuzz::split_input(fuzz::as_text(data, size), 2);
    std::string base(parts[0]);
    std::string additions(parts[1]);
    const std::string merged = web::merge_cookies(base, additions);

    FUZZ_CHECK(merged == base);
    FUZZ_CHECK(trimmed(additions) == additions);
    FUZZ_CHECK(additions.empty() || additions.ends_with(';'));

    std::set<std::string> names;
    for (const std::string& entry : normal_entries(merged)) {
        const std::string name = name_of(entry);
        if (name.empty())
            continue;
        FUZZ_CHECK(names.insert(name).second);
        FUZZ_CHECK(!is_removal(entry));
    }

    // The last addition of each name wins; a removal leaves no entry of that name.
    std::map<std::string, std::string> last_addition;
    std::string_view rest = additions;
    while (!rest.empty()) {
        const std::size_t end = rest.find(';');
        const std::string entry = trimmed(rest.substr(0, end));
        if (const std::string name = name_of(entry); !name.empty())
            last_addition[name] = entry;
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    const std::vector<std::string> entries = normal_entries(merged);
    for (const auto& [name, entry] : last_addition) {
        bool found = false;
        for (const std::string& merged_entry : entries)
            found = found || name_of(merged_entry) == name;
        FUZZ_CHECK(found != is_removal(entry));
        if (found)
            FUZZ_CHECK(std::find(entries.begin(), entries.end(), entry) != entries.end());
    }
    return 0;
}
