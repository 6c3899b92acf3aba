#include "app/login_window.h"
#include "app/session_state.h"
#include "app/start_up.h"
#include "platform/gui_requests.h"
#include "platform/program_font.h"
#include "platform/top_level_window.h"

#include <QApplication>
#include <QTimer>
#include <QtTest>

using namespace yejian;

namespace {

app::LoginWindow* shown_login_window()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* login = qobject_cast<app::LoginWindow*>(window); login && login->isVisible())
            return login;
    }
    return nullptr;
}

// Notes the number of program windows at every quit request the event loop takes.
class QuitWatcher : public QObject {
public:
    QuitWatcher() { QCoreApplication::instance()->installEventFilter(this); }
    QList<int> windows_at_quit;

protected:
    bool eventFilter(QObject* target, QEvent* event) override
    {
        if (event->type() == QEvent::Quit)
            windows_at_quit.append(platform::ProgramWindows::instance().count());
        return QObject::eventFilter(target, event);
    }
};

// The clean-up the start routine registers, counted.
struct CountedCleanup {
    int runs = 0;
    std::function<void()> function()
    {
        return [this] {
            ++runs;
            app::release_session_state();
        };
    }
};

} // namespace

class StartUpTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { platform::apply_program_font(); }
    void closingTheLoginWindowEndsTheProgram();
    void programGoesOnWhileAnotherWindowRemains();
};

void StartUpTest::closingTheLoginWindowEndsTheProgram()
{
    app::session().session_cookie_text = "left=over;";
    // Seen inside the running session; checked once it has ended.
    std::string cookie_text_at_start = "unset";
    int windows_at_start = -1;
    bool login_shown_alone = false;
    QTimer::singleShot(0, [&] {
        cookie_text_at_start = app::session().session_cookie_text;
        windows_at_start = platform::ProgramWindows::instance().count();
        app::LoginWindow* login = shown_login_window();
        login_shown_alone = login && !login->parentWidget() && !login->isModal();
        // A sign-in attempt fills the state; the clean-up must release it.
        app::session().session_cookie_text = "sid=1;";
        app::session().user_url_name = "someone";
        app::session().replace_board_table(3);
        for (QWidget* window : QApplication::topLevelWidgets())
            window->close();
    });
    CountedCleanup cleanup;
    QuitWatcher quits;
    QCOMPARE(app::run_session(cleanup.function()), 0);
    QCOMPARE(quits.windows_at_quit, QList<int>{0});
    QCOMPARE(cookie_text_at_start, std::string());
    QCOMPARE(windows_at_start, 1);
    QVERIFY(login_shown_alone);
    QCOMPARE(cleanup.runs, 1);
    QCOMPARE(app::session().session_cookie_text, std::string());
    QCOMPARE(app::session().user_url_name, std::string());
    QVERIFY(app::session().board_table.empty());
    QCOMPARE(platform::ProgramWindows::instance().count(), 0);
    QVERIFY(platform::gui_shutdown_started());
}

void StartUpTest::programGoesOnWhileAnotherWindowRemains()
{
    // What a successful sign-in does: open the Upload window, then destroy the Login window.
    QPointer<platform::TopLevelWindow> upload;
    QTimer::singleShot(0, [&] {
        upload = new platform::TopLevelWindow({"澜岫叶笺上传-测试版", QSize(277, 454), true});
        upload->open();
        if (app::LoginWindow* login = shown_login_window())
            login->destroy_window();
        // Two turns of the loop later the Login window is gone; then the Upload window closes.
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(0, [&] {
                if (upload)
                    upload->close();
            });
        });
    });
    CountedCleanup cleanup;
    QuitWatcher quits;
    QCOMPARE(app::run_session(cleanup.function()), 0);
    // One quit request, taken only once no window remained.
    QCOMPARE(quits.windows_at_quit, QList<int>{0});
    QCOMPARE(cleanup.runs, 1);
    QVERIFY(!upload);
    QCOMPARE(platform::ProgramWindows::instance().count(), 0);
}

QTEST_MAIN(StartUpTest)
#include "start_up_test.moc"
