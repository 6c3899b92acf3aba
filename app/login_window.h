#pragma once
// The Login window: the e-mail address and password of an account, the login button that
// runs the sign-in, and the feedback label that opens the join link of the users' group.

#include "platform/edit_box.h"
#include "platform/label.h"
#include "platform/push_button.h"
#include "platform/top_level_window.h"

#include <string>

namespace yejian::app {

// The feedback label's line: the group's number and a click-here mark.
std::string login_feedback_text();

class LoginWindow : public platform::TopLevelWindow {
    Q_OBJECT
public:
    LoginWindow();

    // Both boxes as typed, untrimmed.
    std::string email_text() const { return email_box_->get_text(); }
    std::string password_text() const;
    // The password as typed, written into `into` in place (its old text wiped first); the UTF-8
    // copy Qt makes on the way is wiped, so `into` holds the only copy, for the caller to wipe.
    // The sign-in reads it this way: a returned string may be moved, and a short string moved
    // leaves its bytes behind.
    void read_password(std::string& into) const;

    platform::PushButton& login_button() { return *login_button_; }
    platform::Label& feedback_label() { return *feedback_label_; }

private:
    platform::EditBox* email_box_;
    platform::EditBox* password_box_;
    platform::PushButton* login_button_;
    platform::Label* feedback_label_;
};

} // namespace yejian::app
