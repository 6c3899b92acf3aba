#pragma once
// The sign-in, run by the login button.
//
// The two exchanges with the service (up to 15 s per phase each) run on a thread of their own
// so the Login window stays painted; the login button is disabled meanwhile, so no second
// attempt can start. What the user sees happens back on the GUI thread, in order: the failure
// box, or the Upload window opening and then the Login window going. Once the program shuts
// down the exchanges give up and nothing more is shown.

#include <string>

namespace yejian::app {

class LoginWindow;

// The login button's handler, on the GUI thread: reads both boxes and starts the attempt.
// On success the session state is filled, the Upload window opens and the Login window is
// destroyed; on failure the failure box shows and the window is left as it was.
void sign_in(LoginWindow& window);

// The exchanges of one attempt, on the calling thread: signs in, takes the user URL name and,
// when there is one, fills the board table from the user page. True when signed in. Wipes the
// password (and every copy made of it) once the form body is sent.
bool sign_in_exchanges(const std::string& email, std::string& password);

// Waits for an attempt still running. The start routine calls it once the shutdown has begun
// (which ends the exchanges within moments) and before it releases the session state.
void join_sign_in();

// True from the click until the attempt's thread has ended.
bool sign_in_under_way();

// The failure box: title "失败", text "登录失败, 请重试!", stop icon.
void show_sign_in_failure();

} // namespace yejian::app
