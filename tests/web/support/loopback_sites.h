#pragma once
// Real HTTP and HTTPS servers on loopback that stand for the service in tests. Requests are
// addressed to yejian.example and its subdomains as in the program; YEJIAN_CONNECT_TO routes
// them here and YEJIAN_CA_BUNDLE trusts the test authority that signed the servers.
//
//   http://yejian.example              plain server behind a WireRecorder (exact bytes)
//   https://yejian.example             TLS server, certificate from the trusted test authority
//   https://wrong-name.yejian.example  the same server: its certificate does not name this host
//   https://untrusted.yejian.example   TLS server whose authority nobody trusts
//   http://sink.yejian.example         a socket that is listened on and never read
//
// Paths every server answers, for any method:
//   /missing                  404 with a body
//   /cookies?set=C&set=D      a Set-Cookie line per "set" value
//   /redirect?to=URL          302 to URL, setting the cookie "hop=1"
//   /final                    200 "final" with an X-Final line
//   /json                     a JSON answer (compressed when the request allows it)
//   /bytes                    an answer holding a zero byte
//   /emoji                    JSON with a Chinese character and an emoji
//   /invalid-utf8             text with bytes that are not UTF-8
//   /stall                    no answer until release_stalled() (or 30 s)
//   anything else             200 "ok"
// and paths given to redirect(), with the redirect asked for.

#include "test_pki.h"
#include "wire_recorder.h"

#include "platform/components.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace yejian::web::testing_support {

struct ReceivedRequest {
    std::string method;
    std::string path;
    httplib::Headers headers;
    std::string body;
};

class TestSite {
public:
    // A plain server, or a TLS one with the given PEM files.
    TestSite(const std::string& certificate_path = {}, const std::string& key_path = {});
    ~TestSite();
    TestSite(const TestSite&) = delete;
    TestSite& operator=(const TestSite&) = delete;

    int port() const { return port_; }
    std::vector<ReceivedRequest> take_requests();
    void release_stalled();
    // Answers every request for the path with a redirect of the given status to the address.
    void redirect(const std::string& path, const std::string& address, int status);

private:
    void answer(const httplib::Request& request, httplib::Response& response);

    std::unique_ptr<httplib::Server> server_;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable released_cv_;
    unsigned long release_count_ = 0; // each release frees the answers stalled until then
    std::vector<ReceivedRequest> requests_;
    std::map<std::string, std::pair<std::string, int>> redirects_; // path -> address, status
};

class LoopbackSites {
public:
    // Starts every server and points YEJIAN_CONNECT_TO and YEJIAN_CA_BUNDLE at them.
    LoopbackSites();
    ~LoopbackSites();

    TestSite& http() { return *http_; }
    TestSite& https() { return *https_; }
    TestSite& untrusted() { return *untrusted_; }
    WireRecorder& wire() { return *wire_; }

    const std::string& trusted_ca_path() const { return trusted_ca_path_; }
    const std::string& stranger_ca_path() const { return stranger_ca_path_; }

    // Forgets what earlier tests left: recorded bytes and requests, stalled answers.
    void reset();

private:
    TempFolder folder_;
    TestAuthority trusted_{"Yejian Test Root"};
    TestAuthority stranger_{"Stranger Test Root"};
    std::string trusted_ca_path_;
    std::string stranger_ca_path_;
    std::unique_ptr<TestSite> http_;
    std::unique_ptr<TestSite> https_;
    std::unique_ptr<TestSite> untrusted_;
    std::unique_ptr<WireRecorder> wire_;
    int sink_fd_ = -1;
};

// A test suite that shares one set of sites among its tests; every test starts with an empty
// cookie store.
class LoopbackSitesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { sites_ = new LoopbackSites(); }
    static void TearDownTestSuite()
    {
        delete sites_;
        sites_ = nullptr;
    }
    void SetUp() override;

    static LoopbackSites* sites_;
    platform::ComponentScope scope_;
};

} // namespace yejian::web::testing_support
