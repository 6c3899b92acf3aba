#pragma once
// The HTTP request object: one synchronous exchange, driven operation by operation. It is a
// component so that callers create it by name and tests can make it unavailable.

#include "platform/components.h"

#include <array>
#include <string>
#include <string_view>

namespace yejian::web {

// The names a request object is created by, tried in this order. Only the first one is
// registered here; the other two stay as fallbacks that nothing provides.
inline constexpr std::array<const char*, 3> request_prog_ids = {
    "WinHttp.WinHttpRequest.5.1", "MSXML2.ServerXMLHTTP.6.0", "MSXML2.ServerXMLHTTP.5.0"};

// Every operation reports failure by its result (false, or an empty text) and never throws.
class HttpRequest : public platform::Component {
public:
    // Time-outs in milliseconds for name resolution, connection, sending and receiving.
    // 0 or -1 means no limit for that phase; other negative values are refused.
    virtual bool SetTimeouts(int resolve_ms, int connect_ms, int send_ms, int receive_ms) = 0;

    // Prepares a request; only synchronous requests (asynchronous false) are supported.
    // Forgets the headers, the answer and any earlier request of this object.
    virtual bool Open(std::string_view method, std::string_view url, bool asynchronous) = 0;

    // Adds one header line; lines go out in the order of these calls.
    virtual bool SetRequestHeader(std::string_view name, std::string_view value) = 0;

    // Performs the exchange, following redirects by itself, and blocks until the answer has
    // arrived or a time-out has expired. A text body goes out as its UTF-8 bytes, a byte body
    // as it is; the body is not copied, it only has to live until Send returns.
    virtual bool Send(std::string_view body) = 0;

    // The final answer's body bytes (empty after a failed Send).
    virtual const std::string& ResponseBody() const = 0;

    // The final answer's header lines, without its status line, joined by CR LF.
    virtual std::string GetallResponseHeaders() const = 0;
};

} // namespace yejian::web
