#include "web/curl_http_request.h"

#include "support/loopback_sites.h"
#include "text/text_helpers.h"

#include <gtest/gtest.h>

#include <chrono>

namespace yejian::web {
namespace {

class CurlHttpRequestTest : public testing_support::LoopbackSitesTest {
protected:
    static CurlHttpRequest request_from_environment() { return CurlHttpRequest(RequestSettings::from_environment()); }
};

TEST_F(CurlHttpRequestTest, GivesTheFinalAnswersHeaderLinesOnly)
{
    CurlHttpRequest request = request_from_environment();
    ASSERT_TRUE(request.Open("GET", "http://yejian.example/redirect?to=/final", false));
    ASSERT_TRUE(request.Send(""));
    EXPECT_EQ(request.ResponseBody(), "final");
    const std::string headers = request.GetallResponseHeaders();
    const std::vector<std::string> lines = text::cut_at(headers, "\r\n");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "X-Final: yes"), lines.end()) << headers;
    EXPECT_EQ(headers.find("HTTP/"), std::string::npos) << headers;
    EXPECT_EQ(headers.find("Location"), std::string::npos) << headers;
    EXPECT_EQ(headers.find("hop=1"), std::string::npos) << headers;
    EXPECT_FALSE(headers.ends_with("\r\n"));
}

TEST_F(CurlHttpRequestTest, DecodesACompressedAnswerAndSendsTheRequestsOwnAcceptEncoding)
{
    CurlHttpRequest request = request_from_environment();
    ASSERT_TRUE(request.Open("GET", "http://yejian.example/json", false));
    ASSERT_TRUE(request.SetRequestHeader("Accept-Encoding", " gzip, deflate"));
    ASSERT_TRUE(request.Send(""));
    EXPECT_NE(request.GetallResponseHeaders().find("Content-Encoding: gzip"), std::string::npos);
    EXPECT_TRUE(request.ResponseBody().starts_with("{\"user\""));
    EXPECT_EQ(sites_->wire().take(), "GET /json HTTP/1.1\r\nHost: yejian.example\r\nAccept-Encoding: gzip, deflate\r\n\r\n");
}

TEST_F(CurlHttpRequestTest, TrustsTheSystemBundleAndTheExtraOneTogether)
{
    struct Case {
        std::string system_bundle;
        std::string extra_bundle;
        bool service_passes;
        bool untrusted_passes;
    };
    // The stranger's authority stands in for one of the system's: with both files given, both
    // servers pass; each file alone lets through only its own.
    const std::vector<Case> cases = {
        {sites_->stranger_ca_path(), sites_->trusted_ca_path(), true, true},
        {sites_->stranger_ca_path(), "", false, true},
        {"", sites_->trusted_ca_path(), true, false},
        {"/nonexistent/system.pem", sites_->trusted_ca_path(), true, false},
    };
    for (const Case& c : cases) {
        RequestSettings settings = RequestSettings::from_environment();
        settings.system_ca_bundle = c.system_bundle;
        settings.extra_ca_bundle = c.extra_bundle;
        for (const auto& [url, passes] : {std::pair{"https://yejian.example/", c.service_passes},
                                          std::pair{"https://untrusted.yejian.example/", c.untrusted_passes}}) {
            CurlHttpRequest request(settings);
            ASSERT_TRUE(request.Open("GET", url, false));
            EXPECT_EQ(request.Send(""), passes) << url << " system: " << c.system_bundle << " extra: " << c.extra_bundle;
        }
    }
}

TEST_F(CurlHttpRequestTest, ABodyThatStopsMovingEndsWithinTheSendTimeOut)
{
    CurlHttpRequest request = request_from_environment();
    ASSERT_TRUE(request.SetTimeouts(5000, 5000, 1000, 60000));
    ASSERT_TRUE(request.Open("POST", "http://sink.yejian.example/upload", false));
    const std::string body(64 * 1024 * 1024, 'x');
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(request.Send(body));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
    EXPECT_EQ(request.ResponseBody(), "");
    EXPECT_EQ(request.GetallResponseHeaders(), "");
}

TEST_F(CurlHttpRequestTest, AnAnswerBeyondTheSizeLimitFails)
{
    for (const auto& [size, passes] : {std::pair{answer_size_limit, true}, std::pair{answer_size_limit + 1, false}}) {
        CurlHttpRequest request = request_from_environment();
        ASSERT_TRUE(request.Open("GET", "http://yejian.example/size?n=" + std::to_string(size), false));
        EXPECT_EQ(request.Send(""), passes) << size;
        EXPECT_EQ(request.ResponseBody().size(), passes ? size : 0u) << size;
    }
}

TEST_F(CurlHttpRequestTest, RefusesMisuseAndHeaderInjection)
{
    CurlHttpRequest request = request_from_environment();
    EXPECT_FALSE(request.SetRequestHeader("X-A", "1"));
    EXPECT_FALSE(request.Send(""));
    EXPECT_FALSE(request.Open("GET", "http://yejian.example/", true));
    EXPECT_FALSE(request.SetTimeouts(1000, 1000, -2, 1000));
    EXPECT_FALSE(request.Open("GE T", "http://yejian.example/", false));

    ASSERT_TRUE(request.Open("GET", "http://yejian.example/", false));
    EXPECT_FALSE(request.SetRequestHeader("X-A", "1\r\nX-Injected: 1"));
    EXPECT_FALSE(request.SetRequestHeader("X-A\nX-B", "1"));
    EXPECT_FALSE(request.SetRequestHeader("X:A", "1"));
    EXPECT_FALSE(request.SetRequestHeader("", "1"));
    EXPECT_TRUE(request.SetRequestHeader("X-Kept", "\t1 "));
    ASSERT_TRUE(request.Send(""));
    EXPECT_EQ(sites_->wire().take(), "GET / HTTP/1.1\r\nHost: yejian.example\r\nX-Kept: 1\r\n\r\n");
}

TEST_F(CurlHttpRequestTest, OtherSchemesAndUnreachableHostsFail)
{
    for (const char* url : {"ftp://yejian.example/", "file:///etc/hostname", "http://127.0.0.1:1/", "not a url"}) {
        CurlHttpRequest request = request_from_environment();
        ASSERT_TRUE(request.SetTimeouts(2000, 2000, 2000, 2000));
        ASSERT_TRUE(request.Open("GET", url, false));
        EXPECT_FALSE(request.Send("")) << url;
        EXPECT_EQ(request.ResponseBody(), "") << url;
    }
}

} // namespace
} // namespace yejian::web
