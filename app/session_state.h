#pragma once
// The session state: what the two windows and the upload worker share, for the life of the
// process. The sign-in writes all three values; the Upload window reads the board table
// when it is created; the upload worker carries the session cookie text from request to
// request. Nothing of it is written to disk. No lock: the sign-in has finished before the
// Upload window takes input, and the worker is then the only user of the cookie text.

#include <cstdint>
#include <string>
#include <vector>

namespace yejian::app {

struct BoardRecord {
    std::int64_t board_id = 0; // 64 bits: the service's ids pass 2^31
    std::string title;
};

struct SessionState {
    std::string session_cookie_text; // a cookie text: 'sid=1; uid=2;'
    std::string user_url_name;
    std::vector<BoardRecord> board_table;

    // Drops every record of the current table and installs count new records (id 0, empty
    // title). A negative count gives an empty table.
    void replace_board_table(std::int64_t count);
};

// The process's session state. Callers hand session().session_cookie_text itself to the web
// access routine, which writes it.
SessionState& session();

// Start-up: both texts empty and no records.
void reset_session_state();
// The exit clean-up: releases the cookie text, the user URL name, then the board table.
void release_session_state();

} // namespace yejian::app
