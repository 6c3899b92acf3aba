// pin_description on a fuzzed path. The description is the last path component with every
// "原创" taken out, up to (not including) its last "."; it holds no "/" or "\", and it is
// valid UTF-8 whenever that component was.

#include "app/pin_description.h"
#include "tests/fuzz/fuzz_check.h"

using namespace yejian;

namespace {

constexpr std::string_view original_mark = "原创";

std::string without_marks(std::string_view text)
{
    std::string result;
    for (std::size_t at = text.find(original_mark); at != std::string_view::npos; at = text.find(original_mark)) {
        result += text.substr(0, at);
        text.remove_prefix(at + original_mark.size());
    }
    result += text;
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view path = fuzz::as_text(data, size);
    const std::string description = app::pin_description(path);

    FUZZ_CHECK(description.find_first_of("/\\") == std::string::npos);
    const std::size_t separator = path.find_last_of("/\\");
    const std::string_view component = separator == std::string_view::npos ? path : path.substr(separator + 1);
    const std::string name = without_marks(component);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        FUZZ_CHECK(description.empty());
    } else {
        FUZZ_CHECK(description == name.substr(0, dot));
    }
    if (fuzz::is_valid_utf8(component))
        FUZZ_CHECK(fuzz::is_valid_utf8(description));
    return 0;
}
