#pragma once
// The sign-in, run by the login button on the GUI thread.

namespace yejian::app {

class LoginWindow;

// Signs in with the window's e-mail address and password. On success it fills the session
// state, opens the Upload window and destroys the Login window; on failure it shows the
// failure box and leaves the window as it was.
void sign_in(LoginWindow& window);

// The failure box: title "失败", text "登录失败, 请重试!", stop icon.
void show_sign_in_failure();

} // namespace yejian::app
