#include "web/web_access.h"

#include "support/loopback_sites.h"
#include "web/cookie_store.h"
#include "web/http_request.h"

#include <gtest/gtest.h>

#include <chrono>

namespace yejian::web {
namespace {

const std::string user_agent =
    "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)\r\n";

std::string default_lines(const std::string& url)
{
    return "Referer: " + url + "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n" + user_agent +
           "Content-Type: application/x-www-form-urlencoded\r\n";
}

class WebAccessTest : public testing_support::LoopbackSitesTest {
protected:
    std::string wire() { return sites_->wire().take(); }
};

TEST_F(WebAccessTest, GetSendsTheDefaultHeaderBlock)
{
    const std::string url = "http://yejian.example/page?x=1";
    EXPECT_EQ(web_access(url), "ok");
    EXPECT_EQ(wire(), "GET /page?x=1 HTTP/1.1\r\nHost: yejian.example\r\n" + default_lines(url) + "\r\n");
}

TEST_F(WebAccessTest, PostIsUpperCasedAndCarriesItsTextBodyAfterTheCookieAndDefaultLines)
{
    save_store_cookies("yejian.example", "sid=1; lang=en");
    std::string cookies = "sid=7;";
    const std::string url = "http://yejian.example/form";
    EXPECT_EQ(web_access(url, "post", "a=1&b=2", &cookies), "ok");
    EXPECT_EQ(wire(), "POST /form HTTP/1.1\r\nHost: yejian.example\r\nCookie: sid=7; lang=en;\r\n" +
                          default_lines(url) + "Content-Length: 7\r\n\r\na=1&b=2");
    // The merged text comes back and is what the store keeps.
    EXPECT_EQ(cookies, "sid=7; lang=en;");
    EXPECT_EQ(load_store_cookies("yejian.example"), "sid=7; lang=en");
}

TEST_F(WebAccessTest, AGivenBlockIsSentAloneInItsOrder)
{
    std::string cookies = "sid=7";
    EXPECT_EQ(web_access("http://yejian.example/api", "PoSt", "{}", &cookies, nullptr,
                         "Accept: application/json\r\nno colon here\r\nX-Time: 12:30\r\nX-Empty:\r\n"),
              "ok");
    EXPECT_EQ(wire(), "POST /api HTTP/1.1\r\nHost: yejian.example\r\nCookie: sid=7;\r\n"
                      "Accept: application/json\r\nX-Time: 12:30\r\nX-Empty:\r\nContent-Length: 2\r\n\r\n{}");
}

TEST_F(WebAccessTest, ByteBodiesGoOutExactlyAndWinOverText)
{
    const std::string bytes("A\0B\r\n\xFF", 6);
    EXPECT_EQ(web_access("http://yejian.example/upload", "POST", "ignored", nullptr, nullptr,
                         "Content-Type: application/octet-stream", -1, bytes),
              "ok");
    EXPECT_EQ(wire(), "POST /upload HTTP/1.1\r\nHost: yejian.example\r\n"
                      "Content-Type: application/octet-stream\r\nContent-Length: 6\r\n\r\n" + bytes);
}

TEST_F(WebAccessTest, AnEmptyPostSendsAnEmptyBody)
{
    EXPECT_EQ(web_access("http://yejian.example/empty", "POST", "", nullptr, nullptr, "X-A: 1"), "ok");
    EXPECT_EQ(wire(), "POST /empty HTTP/1.1\r\nHost: yejian.example\r\nX-A: 1\r\nContent-Length: 0\r\n\r\n");
}

TEST_F(WebAccessTest, AnswerCookiesAreMergedReturnedAndStored)
{
    save_store_cookies("yejian.example", "sid=1; lang=en");
    std::string cookies = "sid=7;";
    std::string new_cookies = "left over";
    web_access("http://yejian.example/cookies?set=uid%3D5%3B%20Path%3D%2F&set=lang%3D%3B%20Max-Age%3D0", "GET", "",
               &cookies, &new_cookies);
    EXPECT_EQ(new_cookies, "uid=5; lang=;");
    EXPECT_EQ(cookies, "sid=7; uid=5;");
    // The answer deleted "lang": the store forgets it as well.
    EXPECT_EQ(load_store_cookies("yejian.example"), "sid=7; uid=5");
}

TEST_F(WebAccessTest, CookiesCarryFromOneCallToTheNextThroughTheStoreAlone)
{
    std::string session;
    web_access("https://yejian.example/cookies?set=sid%3Dabc%3B%20HttpOnly&set=tok%3DQUJD%3D", "POST",
               "email=a%40b.example", nullptr, &session, "Accept: application/json");
    EXPECT_EQ(session, "sid=abc; tok=QUJD=;");

    EXPECT_EQ(web_access("http://yejian.example/user/"), "ok");
    const std::string sent = wire();
    EXPECT_NE(sent.find("\r\nCookie: sid=abc; tok=QUJD=;\r\n"), std::string::npos) << sent;
}

TEST_F(WebAccessTest, AnErrorAnswerBodyIsReturned)
{
    std::string new_cookies = "x";
    EXPECT_EQ(web_access("http://yejian.example/missing", "", "", nullptr, &new_cookies), "no such page");
    EXPECT_EQ(new_cookies, "");
}

TEST_F(WebAccessTest, AnswersMayHoldZeroBytes)
{
    EXPECT_EQ(web_access("https://yejian.example/bytes"), std::string("before\0after", 12));
}

TEST_F(WebAccessTest, AStalledAnswerEndsWithinItsTimeOut)
{
    save_store_cookies("yejian.example", "sid=1");
    std::string cookies = "uid=2";
    std::string new_cookies = "x";
    const auto started = std::chrono::steady_clock::now();
    const std::string answer = web_access("http://yejian.example/stall", "GET", "", &cookies, &new_cookies, "", 1);
    const auto took = std::chrono::steady_clock::now() - started;
    sites_->http().release_stalled();
    EXPECT_EQ(answer, "");
    EXPECT_LT(took, std::chrono::seconds(10));
    // A failed exchange still merges and saves the cookies.
    EXPECT_EQ(new_cookies, "");
    EXPECT_EQ(cookies, "sid=1; uid=2;");
    EXPECT_EQ(load_store_cookies("yejian.example"), "sid=1; uid=2");
}

TEST_F(WebAccessTest, RedirectsAreFollowedAndOnlyTheFinalAnswerCounts)
{
    std::string new_cookies;
    EXPECT_EQ(web_access("http://yejian.example/redirect?to=/final", "GET", "", nullptr, &new_cookies), "final");
    const std::string sent = wire();
    EXPECT_NE(sent.find("GET /redirect?to=/final HTTP/1.1\r\n"), std::string::npos);
    EXPECT_NE(sent.find("GET /final HTTP/1.1\r\n"), std::string::npos);
    // "hop=1" was set by the redirect, not by the final answer.
    EXPECT_EQ(new_cookies, "");
}

TEST_F(WebAccessTest, ARedirectFromHttpsToHttpIsRefused)
{
    EXPECT_EQ(web_access("https://yejian.example/redirect?to=https://yejian.example/final"), "final");
    EXPECT_EQ(web_access("http://yejian.example/redirect?to=https://yejian.example/final"), "final");
    sites_->reset();

    EXPECT_EQ(web_access("https://yejian.example/redirect?to=http://yejian.example/final", "POST", "password=secret"), "");
    EXPECT_EQ(sites_->https().take_requests().size(), 1u);
    EXPECT_EQ(wire(), "");
    EXPECT_TRUE(sites_->http().take_requests().empty());
}

TEST_F(WebAccessTest, AWrongCertificateIsRefused)
{
    EXPECT_EQ(web_access("https://untrusted.yejian.example/"), "");
    EXPECT_EQ(web_access("https://wrong-name.yejian.example/"), "");
    EXPECT_TRUE(sites_->untrusted().take_requests().empty());
    EXPECT_TRUE(sites_->https().take_requests().empty());
    // The trusted certificate with the right name passes.
    EXPECT_EQ(web_access("https://yejian.example/"), "ok");
}

TEST_F(WebAccessTest, WithoutARequestObjectNothingHappens)
{
    save_store_cookies("yejian.example", "sid=1");
    std::string cookies = "uid=2; ";
    std::string new_cookies = "untouched";
    platform::set_component_available(request_prog_ids[0], false);
    const std::string answer =
        web_access("http://yejian.example/cookies?set=x%3D1", "POST", "a", &cookies, &new_cookies);
    platform::set_component_available(request_prog_ids[0], true);
    EXPECT_EQ(answer, "");
    EXPECT_EQ(cookies, "uid=2; ");
    EXPECT_EQ(new_cookies, "untouched");
    EXPECT_EQ(load_store_cookies("yejian.example"), "sid=1");
    EXPECT_EQ(wire(), "");
    EXPECT_TRUE(sites_->http().take_requests().empty());
}

TEST_F(WebAccessTest, CompressedAnswersArriveDecoded)
{
    const std::string json = web_access("https://yejian.example/json", "GET", "", nullptr, nullptr,
                                        "Accept: application/json\r\nAccept-Encoding: gzip, deflate");
    EXPECT_TRUE(json.starts_with("{\"user\":{\"urlname\":\"\xE5\x8F\xB6\xE7\xAC\xBA\"}")) << json;
    const auto requests = sites_->https().take_requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].headers.count("Accept-Encoding"), 1u);
    EXPECT_EQ(requests[0].headers.find("Accept-Encoding")->second, "gzip, deflate");
}

} // namespace
} // namespace yejian::web
