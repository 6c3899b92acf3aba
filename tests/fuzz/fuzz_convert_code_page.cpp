// convert_code_page on fuzzed bytes; the first byte picks the charsets (UTF-8 to UTF-8, UTF-8
// to GBK, GBK to UTF-8). UTF-8 output is valid UTF-8; valid UTF-8 without zero bytes converts
// to itself; text that GBK can hold comes back from GBK unchanged.

#include "tests/fuzz/fuzz_check.h"
#include "text/code_pages.h"

using namespace yejian;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view bytes = fuzz::as_text(data + 1, size - 1);
    const std::string_view text = bytes.substr(0, bytes.find('\0'));
    switch (data[0] % 3) {
    case 0: {
        const std::string converted = text::convert_code_page(bytes, "UTF-8", "UTF-8");
        FUZZ_CHECK(fuzz::is_valid_utf8(converted));
        if (fuzz::is_valid_utf8(text))
            FUZZ_CHECK(converted == text);
        break;
    }
    case 1: {
        const std::string gbk = text::convert_code_page(bytes, "UTF-8", "GBK");
        const std::string back = text::convert_code_page(gbk, "GBK", "UTF-8");
        FUZZ_CHECK(fuzz::is_valid_utf8(back));
        if (fuzz::is_ascii(text))
            FUZZ_CHECK(gbk == text && back == text);
        break;
    }
    default: {
        const std::string converted = text::convert_code_page(bytes, "GBK", "UTF-8");
        FUZZ_CHECK(fuzz::is_valid_utf8(converted));
        if (fuzz::is_ascii(text))
            FUZZ_CHECK(converted == text);
        break;
    }
    }
    return 0;
}
