// text_between on a fuzzed text, markers and start position. The result is a piece of the text
// that the left marker (ASCII case ignored) stands right before and the right marker right
// after, and the right marker does not occur inside it.

#include "tests/fuzz/fuzz_check.h"
#include "text/text_helpers.h"

#include <charconv>

using namespace yejian;

namespace {

// Decimal digits with an optional "-"; anything else (or nothing) is 0.
long start_position_of(std::string_view part)
{
    long value = 0;
    std::from_chars(part.data(), part.data() + part.size(), value);
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto parts = fuzz::split_input(fuzz::as_text(data, size), 4);
    const std::string_view text = parts[0], left = parts[1], right = parts[2];
    const long start = start_position_of(parts[3]);

    const std::string between = text::text_between(text, left, right, start);
    if (between.empty())
        return 0;

    if (right.empty()) {
        // An empty right marker is found at the first character boundary, so only a left
        // marker that ends inside a character leaves anything: the rest of that character.
        for (char c : between)
            FUZZ_CHECK((static_cast<unsigned char>(c) & 0xC0) == 0x80);
    } else {
        FUZZ_CHECK(fuzz::lower_ascii(between).find(fuzz::lower_ascii(right)) == std::string::npos);
    }
    const std::string lower_text = fuzz::lower_ascii(text);
    const std::string lower_left = fuzz::lower_ascii(left);
    const std::string lower_right = fuzz::lower_ascii(right);

    const std::size_t first_byte = start < 1 ? 0 : static_cast<std::size_t>(start - 1);
    bool placed = false;
    for (std::size_t at = text.find(between); at != std::string_view::npos && !placed;
         at = text.find(between, at + 1)) {
        placed = at >= left.size() && at - left.size() >= first_byte &&
                 lower_text.compare(at - left.size(), left.size(), lower_left) == 0 &&
                 lower_text.compare(at + between.size(), right.size(), lower_right) == 0;
    }
    FUZZ_CHECK(placed);
    return 0;
}
