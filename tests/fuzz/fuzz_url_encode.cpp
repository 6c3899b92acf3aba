// url_encode on fuzzed bytes. The output is ASCII and percent-decodes to the bytes before the
// first zero byte, with and without kept unreserved characters; without them every byte is
// "%XX" with upper-case digits, with them only letters, digits, "-" and "." stand bare. The
// UTF-8 form gives ASCII that decodes to valid UTF-8.

#include "tests/fuzz/fuzz_check.h"
#include "text/url_encoding.h"

using namespace yejian;

namespace {

bool is_upper_hex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

bool is_kept(char c)
{
    return c == '-' || c == '.' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input = fuzz::as_text(data, size);
    const std::string_view text = input.substr(0, input.find('\0'));
    std::string decoded;

    const std::string all_escaped = text::url_encode(input, /*keep_unreserved=*/false);
    FUZZ_CHECK(all_escaped.size() == 3 * text.size());
    for (std::size_t i = 0; i < all_escaped.size(); i += 3)
        FUZZ_CHECK(all_escaped[i] == '%' && is_upper_hex(all_escaped[i + 1]) && is_upper_hex(all_escaped[i + 2]));
    FUZZ_CHECK(fuzz::percent_decode(all_escaped, decoded) && decoded == text);

    const std::string unreserved_kept = text::url_encode(input, /*keep_unreserved=*/true);
    FUZZ_CHECK(fuzz::is_ascii(unreserved_kept));
    for (std::size_t i = 0; i < unreserved_kept.size(); ++i) {
        if (unreserved_kept[i] == '%')
            i += 2;
        else
            FUZZ_CHECK(is_kept(unreserved_kept[i]));
    }
    FUZZ_CHECK(fuzz::percent_decode(unreserved_kept, decoded) && decoded == text);

    const std::string as_utf8 = text::url_encode(input, /*keep_unreserved=*/true, /*as_utf8=*/true);
    FUZZ_CHECK(fuzz::is_ascii(as_utf8));
    FUZZ_CHECK(fuzz::percent_decode(as_utf8, decoded) && fuzz::is_valid_utf8(decoded));
    if (fuzz::is_valid_utf8(text))
        FUZZ_CHECK(decoded == text);
    return 0;
}
