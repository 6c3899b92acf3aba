#include "app/sign_in.h"

#include "app/login_window.h"
#include "app/session_state.h"
#include "app/sign_in_requests.h"
#include "app/upload_window.h"
#include "platform/gui_requests.h"
#include "platform/shell.h"
#include "text/json_object.h"
#include "web/answer_text.h"

#include <QPointer>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

namespace yejian::app {
namespace {

// The thread of the attempt that runs or ran last. An attempt ends with its GUI effects, and
// only they enable the login button again, so a new attempt finds the old thread ended or
// about to.
class SignInThread {
public:
    ~SignInThread() { join(); }

    void start(std::function<void()> attempt)
    {
        join();
        std::lock_guard lock(mutex_);
        under_way_ = true;
        thread_ = std::thread([this, attempt = std::move(attempt)] {
            attempt();
            under_way_ = false;
        });
    }

    bool under_way() const { return under_way_; }

    void join()
    {
        std::thread ended;
        {
            std::lock_guard lock(mutex_);
            ended.swap(thread_);
        }
        if (ended.joinable())
            ended.join();
    }

private:
    std::mutex mutex_;
    std::thread thread_;
    std::atomic<bool> under_way_ = false;
};

SignInThread& sign_in_thread()
{
    static SignInThread thread;
    return thread;
}

// On the GUI thread, once the exchanges are over. A Login window closed meanwhile means the
// program is ending: nothing more is shown.
void finish_sign_in(const QPointer<LoginWindow>& window, bool signed_in)
{
    if (!window)
        return;
    if (!signed_in) {
        show_sign_in_failure();
        if (window)
            window->login_button().setEnabled(true);
        return;
    }
    // The Upload window exists before the Login window goes, so the program goes on.
    load_upload_window();
    window->destroy_window();
}

} // namespace

bool sign_in_exchanges(const std::string& email, std::string& password)
{
    SessionState& state = session();
    text::JsonObject json;
    json.init();

    std::string body = sign_in_form_body(email, password);
    wipe_secret(password);
    // new_cookies: the session cookie text becomes exactly the cookies this answer sets.
    const std::string answer = web::web_access_text(sign_in_address(), "POST", body, nullptr,
                                                    &state.session_cookie_text,
                                                    sign_in_header_block());
    wipe_secret(body);
    json.parse(answer);
    // Replaced on every attempt, whatever the answer: a failed one leaves it empty.
    state.user_url_name = json.get_text("user.urlname");
    if (state.user_url_name.empty()) {
        json.destroy();
        return false;
    }

    // The default header block and no cookie text of its own: the session's cookies reach the
    // service through the cookie store.
    const std::string page = web::web_access_text(user_page_address(state.user_url_name));
    // A page without the user JSON parses as nothing and gives an empty board table.
    json.parse(user_json_of_page(page));
    read_board_table(json, state);
    json.destroy();
    return true;
}

void sign_in(LoginWindow& window)
{
    window.login_button().setEnabled(false);
    const QPointer<LoginWindow> guarded(&window);
    // Read in place into a record on the heap that is never moved or copied: moving a short
    // string copies its bytes and leaves them in the string moved from, where the wipe cannot
    // reach them.
    struct Credentials {
        std::string email;
        std::string password;
    };
    auto credentials = std::make_shared<Credentials>();
    credentials->email = window.email_text();
    window.read_password(credentials->password);
    sign_in_thread().start([guarded, credentials] {
        const bool signed_in = sign_in_exchanges(credentials->email, credentials->password);
        // Not run once the program shuts down: the window is gone by then.
        platform::run_on_gui_thread([&] { finish_sign_in(guarded, signed_in); });
    });
}

void join_sign_in()
{
    sign_in_thread().join();
}

bool sign_in_under_way()
{
    return sign_in_thread().under_way();
}

void show_sign_in_failure()
{
    platform::shell().show_message("登录失败, 请重试!", "失败", platform::MessageIcon::stop);
}

} // namespace yejian::app
