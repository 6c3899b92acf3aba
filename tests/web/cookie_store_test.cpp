#include "web/cookie_store.h"

#include "web/web_components.h"

#include <gtest/gtest.h>

#include <string>

namespace yejian::web {
namespace {

class CookieStoreTest : public testing::Test {
protected:
    void SetUp() override
    {
        register_web_components();
        store_ = platform::create_component_as<CookieStore>(cookie_store_prog_id);
        ASSERT_NE(store_, nullptr);
        store_->clear();
    }

    platform::ComponentScope scope_;
    std::shared_ptr<CookieStore> store_;
};

TEST_F(CookieStoreTest, IsOneStoreForTheWholeProcess)
{
    EXPECT_EQ(platform::create_component_as<CookieStore>(cookie_store_prog_id), store_);
}

TEST_F(CookieStoreTest, ReturnsWhatWasSavedForTheDomainOnly)
{
    save_store_cookies("example.com", "sid=1; tok=a=b;");
    save_store_cookies("other.org", "x=9;");
    EXPECT_EQ(load_store_cookies("example.com"), "sid=1; tok=a=b");
    EXPECT_EQ(store_->cookies_for("http://example.com"), "sid=1; tok=a=b");
    EXPECT_EQ(load_store_cookies("other.org"), "x=9");
    EXPECT_EQ(load_store_cookies("nothing.net"), "");
}

TEST_F(CookieStoreTest, KeepsNamesTrimmedSoABlankDoesNotMakeASecondCookie)
{
    save_store_cookies("example.com", "tok=1; sid=2;");
    save_store_cookies("example.com", "sid=2; tok=3;");
    save_store_cookies("example.com", " sid=2; \xE3\x80\x80tok=4; TOK=5");
    EXPECT_EQ(load_store_cookies("example.com"), "sid=2; TOK=5");
}

TEST_F(CookieStoreTest, ANameTheTextNoLongerHoldsLeavesTheStore)
{
    save_store_cookies("example.com", "sid=1; uid=2;");
    save_store_cookies("example.com", "uid=2;");
    EXPECT_EQ(load_store_cookies("example.com"), "uid=2");
    save_store_cookies("example.com", "");
    EXPECT_EQ(load_store_cookies("example.com"), "");
}

TEST_F(CookieStoreTest, SkipsWhatIsNoCookie)
{
    save_store_cookies("example.com", "flag; =x; empty=  ; gone=deleted; sid=1");
    EXPECT_EQ(load_store_cookies("example.com"), "sid=1");
}

TEST_F(CookieStoreTest, ReadsBackLongTextsWhole)
{
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "cookie" + std::to_string(i) + "=" + std::string(40, 'v') + "; ";
    save_store_cookies("example.com", text);
    const std::string loaded = load_store_cookies("example.com");
    EXPECT_GT(loaded.size(), 9000u);
    EXPECT_TRUE(loaded.starts_with("cookie0=vvv"));
    EXPECT_TRUE(loaded.ends_with("cookie199=" + std::string(40, 'v')));
}

TEST_F(CookieStoreTest, AnUnavailableStoreReadsEmptyAndIgnoresWrites)
{
    save_store_cookies("example.com", "sid=1;");
    platform::set_component_available(cookie_store_prog_id, false);
    EXPECT_EQ(load_store_cookies("example.com"), "");
    save_store_cookies("example.com", "");
    platform::set_component_available(cookie_store_prog_id, true);
    EXPECT_EQ(load_store_cookies("example.com"), "sid=1");
}

} // namespace
} // namespace yejian::web
