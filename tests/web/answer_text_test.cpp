#include "web/answer_text.h"

#include "support/loopback_sites.h"

#include <gtest/gtest.h>

namespace yejian::web {
namespace {

using AnswerTextTest = testing_support::LoopbackSitesTest;

TEST_F(AnswerTextTest, Utf8AnswersPassThroughWithEveryCharacter)
{
    EXPECT_EQ(web_access_text("https://yejian.example/emoji"), "{\"title\":\"\xE5\x8F\xB6 \xF0\x9F\x8D\x82\"}");
}

TEST_F(AnswerTextTest, InvalidSequencesAreReplaced)
{
    const std::string replacement = "\xEF\xBF\xBD";
    const std::string text = web_access_text("http://yejian.example/invalid-utf8");
    EXPECT_TRUE(text.starts_with("a" + replacement + "b")) << text;
    EXPECT_TRUE(text.ends_with(replacement)) << text;
}

TEST_F(AnswerTextTest, AZeroByteEndsTheText)
{
    EXPECT_EQ(web_access_text("http://yejian.example/bytes"), "before");
}

TEST_F(AnswerTextTest, AFailedExchangeGivesEmptyText)
{
    EXPECT_EQ(web_access_text("https://untrusted.yejian.example/"), "");
}

TEST_F(AnswerTextTest, CookiesComeBackAsWebAccessLeavesThem)
{
    std::string cookies = "sid=1";
    std::string new_cookies;
    EXPECT_EQ(web_access_text("http://yejian.example/cookies?set=uid%3D2", "", "", &cookies, &new_cookies), "cookies");
    EXPECT_EQ(cookies, "sid=1; uid=2;");
    EXPECT_EQ(new_cookies, "uid=2;");
}

} // namespace
} // namespace yejian::web
