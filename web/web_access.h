#pragma once
// One HTTP exchange with cookies carried through the caller's cookie text and the process's
// cookie store.

#include <string>
#include <string_view>

namespace yejian::web {

// Performs a request and returns the final answer's body bytes, whatever its status; empty
// when no request object can be made or the exchange fails.
//
//   method           upper-cased; empty means "GET".
//   body_text        the body, sent when body_bytes is empty.
//   cookie_text      in: cookies to send; out: the store's cookies for the address's domain,
//                    merged with these and with the answer's, and written back to the store.
//   new_cookies      out: the cookies this answer set, such as "sid=1; uid=2;".
//   header_block     header lines joined by CR LF; empty means the default block (Referer,
//                    Accept, Accept-Language, User-Agent, Content-Type). A given block is used
//                    alone. Lines without ":" are skipped.
//   timeout_seconds  -1 keeps the request object's own time-outs; 0 or less means 15 s for
//                    every phase, n > 0 means n seconds.
//   body_bytes       the body as bytes; when not empty it is sent and body_text is ignored.
std::string web_access(std::string_view url, std::string_view method = {}, std::string_view body_text = {},
                       std::string* cookie_text = nullptr, std::string* new_cookies = nullptr,
                       std::string_view header_block = {}, int timeout_seconds = 0,
                       std::string_view body_bytes = {});

// The header block sent when the caller gives none.
std::string default_header_block(std::string_view url);

} // namespace yejian::web
