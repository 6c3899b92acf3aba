#include "web/curl_http_request.h"

#include "platform/shutdown.h"
#include "text/text_helpers.h"
#include "web/curl_session.h"
#include "web/stall_watch.h"

#include <curl/curl.h>

#include <climits>
#include <memory>

namespace yejian::web {
namespace {

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using HeaderList = std::unique_ptr<curl_slist, ListDeleter>;

bool append(HeaderList& list, const std::string& line)
{
    curl_slist* longer = curl_slist_append(list.get(), line.c_str());
    if (!longer)
        return false;
    (void)list.release();
    list.reset(longer);
    return true;
}

// libcurl adds these lines on its own unless the request names them. An entry "Name:" with
// nothing after it suppresses libcurl's line and sends nothing itself.
constexpr const char* suppressed_curl_lines[] = {"Accept:", "Accept-Encoding:", "Content-Type:", "Expect:"};

bool is_unlimited(int ms) { return ms == 0 || ms == -1; }

long connect_timeout_ms(const CurlHttpRequest::Timeouts& t)
{
    // libcurl has no "no limit" for the connection phase: the longest value it takes stands in.
    if (is_unlimited(t.resolve_ms) || is_unlimited(t.connect_ms))
        return INT_MAX;
    const long long sum = static_cast<long long>(t.resolve_ms) + t.connect_ms;
    return sum > INT_MAX ? INT_MAX : static_cast<long>(sum);
}

std::chrono::milliseconds stall_limit(int ms)
{
    return std::chrono::milliseconds(is_unlimited(ms) ? 0 : ms);
}

// What the transfer's callbacks work on during one Send.
struct Exchange {
    CURL* easy = nullptr;
    StallWatch watch;
    bool reached_https = false;
    bool downgrade_refused = false;
    std::string* body = nullptr;
    std::vector<std::string>* header_lines = nullptr;
};

size_t on_body(char* data, size_t size, size_t count, void* user)
{
    auto* exchange = static_cast<Exchange*>(user);
    // A count other than the one given makes libcurl end the transfer with an error.
    if (size * count > answer_size_limit - exchange->body->size())
        return 0;
    exchange->body->append(data, size * count);
    return size * count;
}

size_t on_header(char* data, size_t size, size_t count, void* user)
{
    auto* exchange = static_cast<Exchange*>(user);
    std::string_view line(data, size * count);
    // Every status line starts an answer of its own (an interim 1xx or a redirect): only the
    // lines of the last one are kept.
    if (line.starts_with("HTTP/")) {
        exchange->header_lines->clear();
        return size * count;
    }
    while (line.ends_with('\n') || line.ends_with('\r'))
        line.remove_suffix(1);
    if (!line.empty())
        exchange->header_lines->emplace_back(line);
    return size * count;
}

// Runs once a connection is ready, before each request goes out (the first and every
// redirected one): refuses to go from https to http, and starts the stall clock.
int on_request_ready(void* user, char*, char*, int, int)
{
    auto* exchange = static_cast<Exchange*>(user);
    const char* scheme = nullptr;
    curl_easy_getinfo(exchange->easy, CURLINFO_SCHEME, &scheme);
    const bool https = scheme && text::equals_ignoring_case(scheme, "https");
    if (exchange->reached_https && !https) {
        exchange->downgrade_refused = true;
        return CURL_PREREQFUNC_ABORT;
    }
    exchange->reached_https = exchange->reached_https || https;
    exchange->watch.request_starts(StallWatch::Clock::now());
    return CURL_PREREQFUNC_OK;
}

int on_progress(void* user, curl_off_t, curl_off_t downloaded, curl_off_t upload_total, curl_off_t uploaded)
{
    // The program is ending: an exchange in flight gives up within about a second.
    if (platform::shutdown_begun())
        return 1;
    auto* exchange = static_cast<Exchange*>(user);
    return exchange->watch.proceed(StallWatch::Clock::now(), upload_total, uploaded, downloaded) ? 0 : 1;
}

bool has_line_break_or_zero(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// HTTP does not count spaces and tabs around a field value as part of it.
std::string_view strip_spaces_and_tabs(std::string_view value)
{
    const std::size_t first = value.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return value.substr(first, value.find_last_not_of(" \t") - first + 1);
}

std::string default_ca_bundle()
{
    EasyHandle probe(curl_easy_init());
    const char* path = nullptr;
    if (probe)
        curl_easy_getinfo(probe.get(), CURLINFO_CAINFO, &path);
    return path ? std::string(path) : std::string();
}

} // namespace

CurlHttpRequest::CurlHttpRequest(RequestSettings settings) : settings_(std::move(settings)) {}

bool CurlHttpRequest::SetTimeouts(int resolve_ms, int connect_ms, int send_ms, int receive_ms)
{
    check_thread();
    for (int ms : {resolve_ms, connect_ms, send_ms, receive_ms})
        if (ms < -1)
            return false;
    timeouts_ = Timeouts{resolve_ms, connect_ms, send_ms, receive_ms};
    return true;
}

bool CurlHttpRequest::Open(std::string_view method, std::string_view url, bool asynchronous)
{
    check_thread();
    opened_ = false;
    header_lines_.clear();
    response_body_.clear();
    response_header_lines_.clear();
    if (asynchronous || method.empty() || url.empty() || has_line_break_or_zero(method) ||
        method.find_first_of(" \t") != std::string_view::npos || url.find('\0') != std::string_view::npos)
        return false;
    method_ = std::string(method);
    url_ = std::string(url);
    opened_ = true;
    return true;
}

bool CurlHttpRequest::SetRequestHeader(std::string_view name, std::string_view value)
{
    check_thread();
    // A line break would smuggle in a header line of its own; a colon in the name would change
    // which header this is.
    if (!opened_ || name.empty() || name.find(':') != std::string_view::npos ||
        has_line_break_or_zero(name) || has_line_break_or_zero(value))
        return false;
    const std::string_view stripped = strip_spaces_and_tabs(value);
    // "Name;" is libcurl's way of sending a header with an empty value ("Name:" alone would
    // suppress it instead).
    header_lines_.push_back(stripped.empty() ? std::string(name) + ";"
                                             : std::string(name) + ": " + std::string(stripped));
    return true;
}

bool CurlHttpRequest::Send(std::string_view body)
{
    check_thread();
    response_body_.clear();
    response_header_lines_.clear();
    if (!opened_)
        return false;
    CURLSH* share = curl_shared_state();
    EasyHandle easy(share ? curl_easy_init() : nullptr);
    if (!easy)
        return false;
    CURL* h = easy.get();

    HeaderList headers;
    for (const std::string& line : header_lines_)
        if (!append(headers, line))
            return false;
    for (const char* line : suppressed_curl_lines)
        if (!append(headers, line))
            return false;
    HeaderList connect_to;
    for (const std::string& entry : settings_.connect_to)
        if (!append(connect_to, entry))
            return false;

    Exchange exchange{h, StallWatch(stall_limit(timeouts_.send_ms), stall_limit(timeouts_.receive_ms)),
                      false, false, &response_body_, &response_header_lines_};

    curl_easy_setopt(h, CURLOPT_SHARE, share);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_URL, url_.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(h, CURLOPT_PROXY, "");
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_CONNECT_TO, connect_to.get());
    // An empty list means every encoding libcurl can decode; the request's own
    // Accept-Encoding line (if any) still goes out unchanged, libcurl adds none.
    curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);

    // A CA blob replaces libcurl's default bundle, so it carries the system's CAs as well.
    std::string ca_pem;
    if (!settings_.extra_ca_bundle.empty() || !settings_.system_ca_bundle.empty()) {
        const std::string system_bundle =
            settings_.system_ca_bundle.empty() ? default_ca_bundle() : settings_.system_ca_bundle;
        ca_pem = trusted_ca_pem(system_bundle, settings_.extra_ca_bundle);
        curl_blob blob{ca_pem.data(), ca_pem.size(), CURL_BLOB_NOCOPY};
        if (!ca_pem.empty())
            curl_easy_setopt(h, CURLOPT_CAINFO_BLOB, &blob);
    }

    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, connect_timeout_ms(timeouts_));
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, on_progress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &exchange);
    curl_easy_setopt(h, CURLOPT_PREREQFUNCTION, on_request_ready);
    curl_easy_setopt(h, CURLOPT_PREREQDATA, &exchange);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, on_body);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &exchange);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, on_header);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &exchange);

    if (body.empty() && method_ == "GET") {
        curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    } else if (body.empty() && method_ == "HEAD") {
        curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    } else {
        // The body is read in place, not copied; it outlives the transfer.
        curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.empty() ? "" : body.data());
        if (method_ != "POST")
            curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, method_.c_str());
    }

    const CURLcode result = curl_easy_perform(h);
    if (result != CURLE_OK || exchange.downgrade_refused) {
        response_body_.clear();
        response_header_lines_.clear();
        return false;
    }
    return true;
}

const std::string& CurlHttpRequest::ResponseBody() const
{
    check_thread();
    return response_body_;
}

std::string CurlHttpRequest::GetallResponseHeaders() const
{
    check_thread();
    std::string joined;
    for (const std::string& line : response_header_lines_) {
        if (!joined.empty())
            joined += "\r\n";
        joined += line;
    }
    return joined;
}

} // namespace yejian::web
