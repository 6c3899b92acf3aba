#include "app/sign_in.h"

#include "app/login_window.h"
#include "platform/shell.h"

namespace yejian::app {

void sign_in(LoginWindow&)
{
    // The exchange with the service is not wired in yet: every attempt fails.
    show_sign_in_failure();
}

void show_sign_in_failure()
{
    platform::shell().show_message("登录失败, 请重试!", "失败", platform::MessageIcon::stop);
}

} // namespace yejian::app
