// collect_set_cookies on a fuzzed block of answer header lines. The result is a row of
// "name=value; " entries, each with a name, and each taken, in order, from a line of the
// block that is a Set-Cookie line. Merged into an empty cookie text it gives the normal form.

#include "tests/fuzz/fuzz_check.h"
#include "web/cookie_text.h"

using namespace yejian;

namespace {

std::vector<std::string_view> lines_of(std::string_view block)
{
    std::vector<std::string_view> lines;
    for (;;) {
        const std::size_t end = block.find("\r\n");
        lines.push_back(block.substr(0, end));
        if (end == std::string_view::npos)
            return lines;
        block.remove_prefix(end + 2);
    }
}

bool is_set_cookie_line(std::string_view line)
{
    const std::size_t colon = line.find(':');
    return colon != std::string_view::npos && fuzz::lower_ascii(line.substr(0, colon)) == "set-cookie";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view block = fuzz::as_text(data, size);
    const std::string cookies = web::collect_set_cookies(block);

    const std::vector<std::string_view> lines = lines_of(block);
    std::size_t next_line = 0;
    std::string_view rest = cookies;
    while (!rest.empty()) {
        const std::size_t end = rest.find("; ");
        FUZZ_CHECK(end != std::string_view::npos);
        const std::string_view entry = rest.substr(0, end);
        rest.remove_prefix(end + 2);
        FUZZ_CHECK(entry.find(';') == std::string_view::npos && !fuzz::has_outer_blank(entry));
        const std::size_t equals = entry.find('=');
        FUZZ_CHECK(equals != std::string_view::npos && equals > 0);
        // The entry's line is the next Set-Cookie line that holds it, in order.
        while (next_line < lines.size() &&
               !(is_set_cookie_line(lines[next_line]) && lines[next_line].find(entry) != std::string_view::npos))
            ++next_line;
        FUZZ_CHECK(next_line < lines.size());
        ++next_line;
    }

    std::string base;
    std::string additions = cookies;
    const std::string merged = web::merge_cookies(base, additions);
    FUZZ_CHECK(merged.empty() || (merged.ends_with(';') && !fuzz::has_outer_blank(merged)));
    return 0;
}
