#include "text/text_helpers.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace yejian::text {
namespace {

struct BetweenCase {
    const char* name;
    std::string text;
    std::string left;
    std::string right;
    long start;
    std::string expected;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const BetweenCase& c, std::ostream* os) { *os << c.name; }

class TextBetween : public testing::TestWithParam<BetweenCase> {};

TEST_P(TextBetween, GivesTheTextBetweenTheMarkers)
{
    const BetweenCase& c = GetParam();
    EXPECT_EQ(text_between(c.text, c.left, c.right, c.start), c.expected);
}

const std::string page = "x app.page[\"user\"] = {\"boards\":[1]};<p>";

INSTANTIATE_TEST_SUITE_P(
    Cases, TextBetween,
    testing::Values(
        BetweenCase{"plain", "a<b>c", "<", ">", 0, "b"},
        BetweenCase{"first_left_first_right_after_it", "<1><2>", "<", ">", 0, "1"},
        BetweenCase{"markers_ignore_ascii_case", "xxSTARTmidENDyy", "start", "end", 0, "mid"},
        BetweenCase{"page_marker_other_case", "APP.PAGE[\"USER\"] = {\"a\":1]};",
                    "app.page[\"user\"] = ", "]};", 0, "{\"a\":1"},
        BetweenCase{"user_json_cut", page, "app.page[\"user\"] = ", "]};", 0, "{\"boards\":[1"},
        BetweenCase{"left_missing", "abc", "<", ">", 0, ""},
        BetweenCase{"right_missing", "a<bc", "<", ">", 0, ""},
        BetweenCase{"left_ends_text", "abc<", "<", ">", 0, ""},
        BetweenCase{"right_follows_at_once", "a<>b", "<", ">", 0, ""},
        BetweenCase{"right_only_before_left", "a>b<c", "<", ">", 0, ""},
        BetweenCase{"start_skips_first_left", "<1><2>", "<", ">", 2, "2"},
        BetweenCase{"start_on_left_marker", "<1><2>", "<", ">", 4, "2"},
        BetweenCase{"negative_start_is_first_byte", "<1>", "<", ">", -5, "1"},
        BetweenCase{"start_on_last_byte", "ab<", "<", ">", 3, ""},
        BetweenCase{"start_past_end", "<1>", "<", ">", 4, ""},
        BetweenCase{"empty_text", "", "<", ">", 0, ""},
        // "中" is E4 B8 AD: a marker made of its last two bytes is never found, neither
        // inside that character nor after the "x", since it would start inside a character.
        BetweenCase{"marker_starting_inside_a_character", "\xE4\xB8\xAD" "x\xB8\xAD" "y=", "\xB8\xAD", "=", 0, ""},
        BetweenCase{"multibyte_markers_and_content", "名字：叶笺。", "名字：", "。", 0, "叶笺"},
        BetweenCase{"utf8_letters_not_case_folded", "ÄbcÄ", "ä", "Ä", 0, ""}),
    [](const testing::TestParamInfo<BetweenCase>& info) { return std::string(info.param.name); });

TEST(FindIgnoringCase, StartsOnlyOnCharacterBoundaries)
{
    EXPECT_EQ(find_ignoring_case("Set-Cookie", "COOKIE"), 4u);
    EXPECT_EQ(find_ignoring_case("abcabc", "ABC", 1), 3u);
    EXPECT_EQ(find_ignoring_case("abc", "abcd"), std::string_view::npos);
    EXPECT_EQ(find_ignoring_case("abc", "", 3), 3u);
    EXPECT_EQ(find_ignoring_case("abc", "a", 9), std::string_view::npos);
    EXPECT_EQ(find_ignoring_case("\xE4\xB8\xAD", "\xB8"), std::string_view::npos);
}

TEST(TrimBlanks, RemovesAsciiAndIdeographicSpacesOnly)
{
    EXPECT_EQ(trim_blanks("  sid=1;  "), "sid=1;");
    EXPECT_EQ(trim_blanks("\xE3\x80\x80 a b\xE3\x80\x80"), "a b");
    EXPECT_EQ(trim_blanks("\tx\r\n"), "\tx\r\n");
    EXPECT_EQ(trim_blanks("   "), "");
    EXPECT_EQ(trim_blanks(""), "");
    // A lone E3 80 without its last byte is not a blank and stays.
    EXPECT_EQ(trim_blanks("\xE3\x80"), "\xE3\x80");
}

struct CutCase {
    std::string text;
    std::string separator;
    std::vector<std::string> pieces;
};

TEST(CutAt, FollowsThePieceRules)
{
    const std::vector<CutCase> cases = {
        {"sid=1; uid=2;", ";", {"sid=1", " uid=2"}},
        {"a;;b", ";", {"a", "", "b"}},
        {";a", ";", {"", "a"}},
        {"a;", ";", {"a"}},
        {";", ";", {""}},
        {"", ";", {}},
        {"abc", ";", {"abc"}},
        {"A: 1\r\nB: 2\r\n", "\r\n", {"A: 1", "B: 2"}},
        {"A\rB\nC", "\r\n", {"A\rB\nC"}},
        {"abc", "", {"abc"}},
    };
    for (const CutCase& c : cases)
        EXPECT_EQ(cut_at(c.text, c.separator), c.pieces) << "text: " << c.text;
}

TEST(CaseFolding, ConcernsAsciiLettersOnly)
{
    EXPECT_EQ(ascii_upper("post/é"), "POST/é");
    EXPECT_EQ(ascii_lower("Img.EXAMPLE.com:8443"), "img.example.com:8443");
    EXPECT_TRUE(equals_ignoring_case("Set-Cookie", "set-cookie"));
    EXPECT_FALSE(equals_ignoring_case("Ä", "ä"));
    EXPECT_FALSE(equals_ignoring_case("sid", "sid2"));
    EXPECT_TRUE(starts_with_ignoring_case("HTTPS://x", "https://"));
    EXPECT_FALSE(starts_with_ignoring_case("http", "https://"));
}

TEST(TextBeforeZero, EndsAtTheFirstZeroByte)
{
    using namespace std::string_view_literals;
    EXPECT_EQ(text_before_zero("ab\0cd"sv), "ab");
    EXPECT_EQ(text_before_zero("abc"), "abc");
    EXPECT_EQ(text_before_zero("\0"sv), "");
}

} // namespace
} // namespace yejian::text
