#include "loopback_sites.h"

#include "web/cookie_store.h"
#include "web/web_components.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <stdexcept>

namespace yejian::web::testing_support {
namespace {

// A socket that accepts connections into its backlog and never reads: whatever is sent to
// it stops moving once the buffers are full.
int listen_without_reading(int& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 4) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("sink: cannot listen");
    port = ntohs(address.sin_port);
    return fd;
}

} // namespace

TestSite::TestSite(const std::string& certificate_path, const std::string& key_path)
{
    if (certificate_path.empty())
        server_ = std::make_unique<httplib::Server>();
    else
        server_ = std::make_unique<httplib::SSLServer>(certificate_path.c_str(), key_path.c_str());
    if (!server_->is_valid())
        throw std::runtime_error("test site: invalid server");
    // Idle connections close soon, so that stopping the server does not wait on them long.
    server_->set_keep_alive_timeout(1);
    auto handler = [this](const httplib::Request& request, httplib::Response& response) {
        answer(request, response);
    };
    server_->Get(".*", handler);
    server_->Post(".*", handler);
    server_->Put(".*", handler);
    server_->Patch(".*", handler);
    server_->Delete(".*", handler);
    server_->Options(".*", handler);
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0)
        throw std::runtime_error("test site: cannot listen");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // The library ignores a stop() that comes before its loop runs, and would then wait for
    // connections forever; a test that makes no request stops its site at once.
    for (int waited_ms = 0; !server_->is_running(); ++waited_ms) {
        if (waited_ms > 10000)
            throw std::runtime_error("test site: the server loop did not start");
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

TestSite::~TestSite()
{
    release_stalled();
    server_->stop();
    thread_.join();
}

std::vector<ReceivedRequest> TestSite::take_requests()
{
    std::lock_guard lock(mutex_);
    std::vector<ReceivedRequest> taken;
    taken.swap(requests_);
    return taken;
}

void TestSite::release_stalled()
{
    {
        std::lock_guard lock(mutex_);
        ++release_count_;
    }
    released_cv_.notify_all();
}

void TestSite::redirect(const std::string& path, const std::string& address, int status)
{
    std::lock_guard lock(mutex_);
    redirects_[path] = {address, status};
}

void TestSite::answer(const httplib::Request& request, httplib::Response& response)
{
    std::optional<std::pair<std::string, int>> redirect;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back({request.method, request.path, request.headers, request.body});
        if (const auto found = redirects_.find(request.path); found != redirects_.end())
            redirect = found->second;
    }
    const std::string& path = request.path;
    if (redirect) {
        response.set_redirect(redirect->first, redirect->second);
    } else if (path == "/missing") {
        response.status = 404;
        response.set_content("no such page", "text/plain");
    } else if (path == "/cookies") {
        for (std::size_t i = 0; i < request.get_param_value_count("set"); ++i)
            response.headers.emplace("Set-Cookie", request.get_param_value("set", i));
        response.set_content("cookies", "text/plain");
    } else if (path == "/redirect") {
        response.set_header("Set-Cookie", "hop=1");
        response.set_redirect(request.get_param_value("to"), 302);
    } else if (path == "/final") {
        response.set_header("X-Final", "yes");
        response.set_content("final", "text/plain");
    } else if (path == "/json") {
        std::string json = "{\"user\":{\"urlname\":\"\xE5\x8F\xB6\xE7\xAC\xBA\"},\"boards\":[";
        for (int i = 0; i < 50; ++i)
            json += (i ? "," : "") + std::string("{\"board_id\":") + std::to_string(i) + "}";
        response.set_content(json + "]}", "application/json");
    } else if (path == "/bytes") {
        response.set_content(std::string("before\0after", 12), "application/octet-stream");
    } else if (path == "/emoji") {
        response.set_content("{\"title\":\"\xE5\x8F\xB6 \xF0\x9F\x8D\x82\"}", "application/json");
    } else if (path == "/invalid-utf8") {
        response.set_content("a\xFF" "b\xE5\x8F", "text/plain");
    } else if (path == "/size") {
        // "n" bytes in pieces, with no length given ahead: the client learns the size by reading.
        const std::size_t total = std::stoull(request.get_param_value("n"));
        response.set_chunked_content_provider("text/plain", [total, sent = std::size_t(0)](std::size_t, httplib::DataSink& sink) mutable {
            static const std::string piece(64 * 1024, 'x');
            const std::size_t count = std::min(piece.size(), total - sent);
            sent += count;
            if (count > 0 && !sink.write(piece.data(), count))
                return false;
            if (sent == total)
                sink.done();
            return true;
        });
    } else if (path == "/stall") {
        std::unique_lock lock(mutex_);
        const unsigned long arrived_after = release_count_;
        released_cv_.wait_for(lock, std::chrono::seconds(30),
                              [&] { return release_count_ != arrived_after; });
        response.set_content("late", "text/plain");
    } else {
        response.set_content("ok", "text/plain");
    }
}

LoopbackSites::LoopbackSites()
{
    trusted_ca_path_ = folder_.write("trusted-ca.pem", trusted_.certificate_pem());
    stranger_ca_path_ = folder_.write("stranger-ca.pem", stranger_.certificate_pem());
    const Identity service = trusted_.issue_server({"yejian.example"});
    const Identity untrusted = stranger_.issue_server({"untrusted.yejian.example"});

    http_ = std::make_unique<TestSite>();
    https_ = std::make_unique<TestSite>(folder_.write("service.pem", service.certificate_pem),
                                        folder_.write("service.key", service.private_key_pem));
    untrusted_ = std::make_unique<TestSite>(folder_.write("untrusted.pem", untrusted.certificate_pem),
                                            folder_.write("untrusted.key", untrusted.private_key_pem));
    wire_ = std::make_unique<WireRecorder>(http_->port());
    int sink_port = 0;
    sink_fd_ = listen_without_reading(sink_port);

    const std::string loopback = ":127.0.0.1:";
    const std::string connect_to =
        "yejian.example:80" + loopback + std::to_string(wire_->port()) + "," +
        "yejian.example:443" + loopback + std::to_string(https_->port()) + "," +
        "wrong-name.yejian.example:443" + loopback + std::to_string(https_->port()) + "," +
        "untrusted.yejian.example:443" + loopback + std::to_string(untrusted_->port()) + "," +
        "sink.yejian.example:80" + loopback + std::to_string(sink_port);
    ::setenv("YEJIAN_CONNECT_TO", connect_to.c_str(), 1);
    ::setenv("YEJIAN_CA_BUNDLE", trusted_ca_path_.c_str(), 1);
}

LoopbackSites::~LoopbackSites()
{
    ::unsetenv("YEJIAN_CONNECT_TO");
    ::unsetenv("YEJIAN_CA_BUNDLE");
    ::close(sink_fd_);
}

void LoopbackSites::reset()
{
    (void)wire_->take();
    for (TestSite* site : {http_.get(), https_.get(), untrusted_.get()})
        (void)site->take_requests();
}

LoopbackSites* LoopbackSitesTest::sites_ = nullptr;

void LoopbackSitesTest::SetUp()
{
    sites_->reset();
    register_web_components();
    const auto store = platform::create_component_as<CookieStore>(cookie_store_prog_id);
    ASSERT_NE(store, nullptr);
    store->clear();
}

} // namespace yejian::web::testing_support
