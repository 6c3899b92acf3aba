#include "text/url_encoding.h"

#include <gtest/gtest.h>

using yejian::text::url_encode;

namespace {

struct EncodingCase {
    const char* name;
    std::string text;
    bool keep_unreserved;
    bool as_utf8;
    std::string expected;
};

void PrintTo(const EncodingCase& c, std::ostream* out) { *out << c.name; }

class UrlEncode : public testing::TestWithParam<EncodingCase> {};

TEST_P(UrlEncode, EncodesByteByByte)
{
    const auto& c = GetParam();
    EXPECT_EQ(url_encode(c.text, c.keep_unreserved, c.as_utf8), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UrlEncode,
    testing::Values(
        EncodingCase{"EmptyPlain", "", false, false, ""},
        EncodingCase{"EmptyKeep", "", true, false, ""},
        EncodingCase{"EmptyUtf8", "", false, true, ""},
        EncodingCase{"EmptyKeepUtf8", "", true, true, ""},
        EncodingCase{"SpaceIsPercent20", "a b.c", true, false, "a%20b.c"},
        EncodingCase{"OnlyLettersDigitsDashDotKept", "x_y~z/1*", true, false, "x%5Fy%7Ez%2F1%2A"},
        EncodingCase{"DashKept", "a-b", true, false, "a-b"},
        EncodingCase{"EverythingEncodedWithoutFlags", "Az09", false, false, "%41%7A%30%39"},
        EncodingCase{"TwoDigitsAlways", "\n\xFF", true, false, "%0A%FF"},
        EncodingCase{"HighBytesNeverKept", "\xD6\xD0", true, false, "%D6%D0"},
        EncodingCase{"LocalTextIsUtf8Already", "\xE9\xA3\x8E\xE6\x99\xAF", true, true, "%E9%A3%8E%E6%99%AF"},
        EncodingCase{"Utf8WithoutKeepEncodesAll", "a\xE4\xB8\xAD", false, true, "%61%E4%B8%AD"},
        EncodingCase{"InvalidLocalTextReplaced", "\xD6\xD0", true, true, "%EF%BF%BD%EF%BF%BD"},
        EncodingCase{"EmailAndPassword", "me+1@x.cn", true, true, "me%2B1%40x.cn"},
        EncodingCase{"TextEndsAtZeroByte", std::string("ab\0cd", 5), true, false, "ab"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
