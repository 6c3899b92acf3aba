#include "app/session_state.h"

namespace yejian::app {

void SessionState::replace_board_table(std::int64_t count)
{
    // A fresh vector rather than clear() + resize(): the old records and their storage go
    // at once, and nothing of the first table stays reachable.
    board_table = std::vector<BoardRecord>(count > 0 ? static_cast<std::size_t>(count) : 0);
}

SessionState& session()
{
    static SessionState state;
    return state;
}

void reset_session_state()
{
    release_session_state();
}

void release_session_state()
{
    SessionState& state = session();
    // swap with empty values so the memory itself is given back, not only the contents.
    std::string().swap(state.session_cookie_text);
    std::string().swap(state.user_url_name);
    std::vector<BoardRecord>().swap(state.board_table);
}

} // namespace yejian::app
