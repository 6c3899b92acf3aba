#include "text/code_pages.h"

#include "platform/components.h"
#include "text/charset_stream.h"

#include <gtest/gtest.h>

using namespace yejian::text;
namespace platform = yejian::platform;

namespace {

using namespace std::string_literals;

struct ConversionCase {
    const char* name;
    std::string bytes;
    std::string from;
    std::string to;
    std::string expected;
};

void PrintTo(const ConversionCase& c, std::ostream* out) { *out << c.name; }

class ConvertCodePage : public testing::TestWithParam<ConversionCase> {};

TEST_P(ConvertCodePage, ConvertsBetweenCharsets)
{
    const auto& c = GetParam();
    EXPECT_EQ(convert_code_page(c.bytes, c.from, c.to), c.expected);
}

const std::string zhong_utf8 = "\xE4\xB8\xAD";
const std::string zhong_gbk = "\xD6\xD0";
const std::string grinning_utf8 = "\xF0\x9F\x98\x80";
const std::string replacement_utf8 = "\xEF\xBF\xBD";

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertCodePage,
    testing::Values(
        ConversionCase{"Utf8ToGbk", zhong_utf8, "UTF-8", "GBK", zhong_gbk},
        ConversionCase{"GbkToUtf8", zhong_gbk, "GBK", "UTF-8", zhong_utf8},
        ConversionCase{"CharsetNamesIgnoreCase", zhong_utf8, "utf-8", "gbk", zhong_gbk},
        ConversionCase{"EmojiBecomesSubstituteInGbk", "a" + grinning_utf8 + "b", "UTF-8", "GBK", "a?b"},
        ConversionCase{"AnswerWithChineseAndBrace", "\xE4\xBD\xA0{", "UTF-8", "GBK", "\xC4\xE3{"},
        ConversionCase{"DefaultsKeepValidUtf8", "x" + zhong_utf8 + grinning_utf8, "", "", "x" + zhong_utf8 + grinning_utf8},
        ConversionCase{"AsciiUnchanged", "{\"a\": [1, 2]}\r\n", "", "", "{\"a\": [1, 2]}\r\n"},
        ConversionCase{"InvalidByteReplaced", "a\xFF" "b", "", "", "a" + replacement_utf8 + "b"},
        ConversionCase{"TruncatedSequenceReplaced", "a\xE4\xB8", "", "", "a" + replacement_utf8},
        ConversionCase{"InvalidUtf8BecomesSubstituteInGbk", "a\xFF", "UTF-8", "GBK", "a?"},
        ConversionCase{"ZeroByteEndsText", "ab\0cd"s, "", "", "ab"},
        ConversionCase{"ZeroByteEndsTextInGbk", zhong_utf8 + "\0"s + zhong_utf8, "UTF-8", "GBK", zhong_gbk},
        ConversionCase{"EmptyGivesEmpty", "", "UTF-8", "GBK", ""},
        ConversionCase{"UnknownSourceCharset", "abc", "NO-SUCH-CHARSET", "GBK", ""},
        ConversionCase{"UnknownTargetCharset", "abc", "UTF-8", "NO-SUCH-CHARSET", ""},
        ConversionCase{"ConverterSwitchesAreNotCharsets", "a" + grinning_utf8, "UTF-8", "GBK//IGNORE", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConvertCodePageStart, ReadsFromTheGivenBytePosition)
{
    EXPECT_EQ(convert_code_page(zhong_utf8 + "ab", "UTF-8", "GBK", 2), "ab");
    EXPECT_EQ(convert_code_page("abc", {}, {}, 0), "abc");
    EXPECT_EQ(convert_code_page("abc", {}, {}, 3), "");
    EXPECT_EQ(convert_code_page("abc", {}, {}, 99), "");
    // The stream refuses a negative position and reads from the start.
    EXPECT_EQ(convert_code_page("abc", {}, {}, -1), "abc");
}

TEST(ConvertCodePageWhole, LongTextConvertsCompletely)
{
    std::string utf8, gbk;
    for (int i = 0; i < 100000; ++i) {
        utf8 += zhong_utf8;
        gbk += zhong_gbk;
    }
    EXPECT_EQ(convert_code_page(utf8, "UTF-8", "GBK"), gbk);
}

TEST(ConvertCodePageComponent, UnavailableStreamGivesEmpty)
{
    EXPECT_EQ(convert_code_page("abc"), "abc"); // registers the stream
    platform::set_component_available(stream_prog_id, false);
    EXPECT_EQ(convert_code_page("abc"), "");
    platform::set_component_available(stream_prog_id, true);
}

TEST(ConvertCodePageComponent, LeavesTheThreadInitialisationAsItFoundIt)
{
    EXPECT_EQ(platform::component_init_depth(), 0);
    convert_code_page(zhong_utf8, "UTF-8", "GBK");
    EXPECT_EQ(platform::component_init_depth(), 0);
    platform::ComponentScope scope;
    convert_code_page(zhong_utf8, "UTF-8", "GBK");
    EXPECT_EQ(platform::component_init_depth(), 1);
}

TEST(CodePageConversions, DecodeEncodeAndAnsiToUtf8)
{
    EXPECT_EQ(multibyte_to_utf16(zhong_utf8 + "a"), u"\u4E2Da");
    EXPECT_EQ(multibyte_to_utf16(zhong_gbk, code_page_gbk), u"\u4E2D");
    EXPECT_EQ(multibyte_to_utf16(grinning_utf8), u"\U0001F600");
    EXPECT_EQ(multibyte_to_utf16("a\0b"s), u"a");
    EXPECT_EQ(multibyte_to_utf16("abc", 12345), u"");

    EXPECT_EQ(utf16_to_multibyte(u"\u4E2D", code_page_gbk), zhong_gbk);
    EXPECT_EQ(utf16_to_multibyte(u"\u4E2D\U0001F600"), zhong_utf8 + grinning_utf8);
    EXPECT_EQ(utf16_to_multibyte(u"a\U0001F600b", code_page_gbk), "a?b");
    EXPECT_EQ(utf16_to_multibyte(u"a\xD800" "b"), "a" + replacement_utf8 + "b");
    EXPECT_EQ(utf16_to_multibyte(u"a\0b"s), "a");
    EXPECT_EQ(utf16_to_multibyte(u"abc", -1), "");

    EXPECT_EQ(ansi_to_utf8(zhong_gbk, code_page_gbk), zhong_utf8);
    EXPECT_EQ(ansi_to_utf8("\x80", code_page_gbk), "\xE2\x82\xAC"); // the euro sign of code page 936
    EXPECT_EQ(ansi_to_utf8("plain ASCII"), "plain ASCII");
    EXPECT_EQ(ansi_to_utf8("\xE9\xA3\x8E\xE6\x99\xAF"), "\xE9\xA3\x8E\xE6\x99\xAF");
    EXPECT_EQ(ansi_to_utf8(zhong_gbk), replacement_utf8 + replacement_utf8); // not UTF-8 locally
    EXPECT_EQ(ansi_to_utf8(""), "");
}

} // namespace
