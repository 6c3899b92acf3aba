#pragma once
// The stand-in's HTML: the user page that embeds the user object in its script, and the
// overview at "/" where a person sees what an upload did. Every text from an account file or
// a client is escaped for the place it goes.

#include "standin/accounts.h"
#include "standin/json_text.h"
#include "standin/service_state.h"

#include <string>
#include <string_view>

namespace yejian::standin {

std::string html_escape(std::string_view text);

// JSON text that can sit inside a <script> element and be cut out again at the first "]};"
// after it: ";" and "<" occur only inside strings, where they are written as \u003b and
// \u003c, so neither "]};" nor "</script>" can appear before the real end.
std::string script_safe_json(const Json& value);

// The user object as the user page embeds it; its last member is the "boards" array, so its
// text ends in "]}". The boards are listed only when with_boards is true (a signed-in request).
Json user_object(const Account& account, const ServiceState& state, bool with_boards);

std::string user_page_html(const Account& account, const Json& user);
std::string overview_html(const AccountBook& accounts, const ServiceState& state);
std::string error_page_html(int status, std::string_view title, std::string_view message);

// The media type of an image judged by its first bytes; "application/octet-stream" otherwise.
std::string sniff_image_type(std::string_view first_bytes);

} // namespace yejian::standin
