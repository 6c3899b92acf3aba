#include "text/engine_strings.h"

#include <gtest/gtest.h>

using namespace yejian::text;

namespace {

const std::string replacement = "\xEF\xBF\xBD";

std::string times(const std::string& piece, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += piece;
    return out;
}

TEST(EngineStrings, NonBmpCharactersTravelAsSurrogatePairs)
{
    const std::string grinning = "\xF0\x9F\x98\x80";
    const std::string grinning_cesu = "\xED\xA0\xBD\xED\xB8\x80";
    EXPECT_EQ(utf8_to_engine("a" + grinning), "a" + grinning_cesu);
    EXPECT_EQ(engine_to_utf8("a" + grinning_cesu), "a" + grinning);
    EXPECT_EQ(engine_to_utf8(grinning), grinning);
    const std::string chinese = "\xE4\xB8\xAD\xE6\x96\x87";
    EXPECT_EQ(utf8_to_engine(chinese), chinese);
    EXPECT_EQ(engine_to_utf8(chinese), chinese);
}

TEST(EngineStrings, InvalidSequencesBecomeReplacementCharacters)
{
    struct Case {
        std::string in;
        std::string to_engine;
        std::string from_engine;
    };
    const Case cases[] = {
        {"a\xFF" "b", "a" + replacement + "b", "a" + replacement + "b"},
        {"\xC0\xAF", replacement + replacement, replacement + replacement},       // overlong '/'
        {"\xE4\xB8", replacement + replacement, replacement + replacement},       // truncated
        {"\xED\xA0\xBD", times(replacement, 3), replacement},  // lone surrogate
        {"\xED\xB8\x80\xED\xA0\xBD", times(replacement, 6), replacement + replacement}, // reversed pair
        {"\xF4\x90\x80\x80", times(replacement, 4), times(replacement, 4)}, // beyond U+10FFFF
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8_to_engine(c.in), c.to_engine);
        EXPECT_EQ(engine_to_utf8(c.in), c.from_engine);
    }
}

} // namespace
