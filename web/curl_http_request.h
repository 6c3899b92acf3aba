#pragma once
// The request object on libcurl.
//
// Time-outs: resolve + connect bound libcurl's connection phase (name lookup, TCP connect
// and TLS handshake together, CURLOPT_CONNECTTIMEOUT_MS); send and receive are stall limits
// measured from the moment a connection is ready for the request (see StallWatch). Without
// SetTimeouts the object keeps its own defaults: resolve 60 s, connect 60 s, send 30 s,
// receive 30 s.
//
// What goes out: the request line, "Host" (from the address), the header lines given by
// SetRequestHeader in their order as "Name: value", and "Content-Length" for a request with
// a body. libcurl's own "Accept", "Accept-Encoding", "Content-Type" and "Expect" lines are
// suppressed, so a header block gets exactly the lines it asks for. Compressed answers are
// decoded whatever the request asked for. HTTP/1.1 only, no proxy, libcurl's cookie engine
// off. Redirects are followed by the object: http and https only, at most 10, never from
// https to http; libcurl drops a "Cookie" line when a redirect leads to another host.
// TLS certificates and host names are always verified.
//
// An answer body larger than answer_size_limit (counted after decoding) ends the exchange as
// a failure: the service's answers are small pages and JSON, and an answer without end would
// otherwise grow until the program runs out of memory.

#include "web/http_request.h"
#include "web/request_settings.h"

#include <cstddef>
#include <vector>

namespace yejian::web {

inline constexpr std::size_t answer_size_limit = 32 * 1024 * 1024;

class CurlHttpRequest final : public HttpRequest {
public:
    explicit CurlHttpRequest(RequestSettings settings);

    bool SetTimeouts(int resolve_ms, int connect_ms, int send_ms, int receive_ms) override;
    bool Open(std::string_view method, std::string_view url, bool asynchronous) override;
    bool SetRequestHeader(std::string_view name, std::string_view value) override;
    bool Send(std::string_view body) override;
    const std::string& ResponseBody() const override;
    std::string GetallResponseHeaders() const override;

    struct Timeouts {
        int resolve_ms = 60000;
        int connect_ms = 60000;
        int send_ms = 30000;
        int receive_ms = 30000;
    };

private:
    RequestSettings settings_;
    Timeouts timeouts_;
    bool opened_ = false;
    std::string method_;
    std::string url_;
    std::vector<std::string> header_lines_;
    std::string response_body_;
    std::vector<std::string> response_header_lines_;
};

} // namespace yejian::web
