#pragma once
// Answers as local text: how the rest of the program makes its requests.

#include <string>
#include <string_view>

namespace yejian::web {

// web_access with the same parameters, passed through unchanged (cookie_text and new_cookies
// come back exactly as web_access leaves them). The answer bytes are taken as UTF-8 and
// converted to the local text (UTF-8 here, so invalid sequences are replaced and nothing else
// changes); the result ends at the first zero byte. Empty when the exchange fails.
std::string web_access_text(std::string_view url, std::string_view method = {}, std::string_view body_text = {},
                            std::string* cookie_text = nullptr, std::string* new_cookies = nullptr,
                            std::string_view header_block = {}, int timeout_seconds = 0,
                            std::string_view body_bytes = {});

} // namespace yejian::web
