#pragma once
// The texts of the sign-in and of board discovery: the two addresses, the sign-in header
// block and form body, the cut that takes the user JSON out of the user page, and the board
// table read from that JSON. Pure functions, so every byte of the sign-in can be checked
// without a server.

#include "app/session_state.h"

#include <string>
#include <string_view>

namespace yejian::text {
class JsonObject;
}

namespace yejian::app {

// The sign-in goes over HTTPS; the user page over plain HTTP, like every later request.
std::string sign_in_address();
// The user URL name goes in as the answer gave it.
std::string user_page_address(std::string_view user_url_name);

// Seven header lines joined by CR LF, none after the last.
std::string sign_in_header_block();

// "email=" + E + "&password=" + P + "&_ref=frame", both values percent-encoded as UTF-8 with
// letters, digits, '-' and '.' kept. The body is built in one buffer and the encoded password
// is wiped, so the password is left only in the body and in the caller's copy.
std::string sign_in_form_body(std::string_view email, std::string_view password);

// Overwrites a text that held a secret with zero bytes, then empties it.
void wipe_secret(std::string& secret);

// The user JSON of a user page: what lies between 'app.page["user"] = ' and the first "]};"
// after it (letter case ignored), with "]}" put back. "]}" alone when the page has no such cut.
std::string user_json_of_page(std::string_view page);

// More boards than any account has; a page that claims more is cut off here, so no answer can
// make the table (and the drop-down) take unbounded memory and time.
inline constexpr int max_board_count = 10000;

// Replaces the board table with the "boards" array of the parsed user JSON, in array order:
// ids truncated toward zero (64 bits, never wrapped), titles as plain text. No "boards", or
// anything that is not an array or object there, gives an empty table.
void read_board_table(text::JsonObject& user_json, SessionState& state);

} // namespace yejian::app
