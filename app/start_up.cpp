#include "app/start_up.h"

#include "app/batch_runner.h"
#include "app/exit_cleanup.h"
#include "app/login_window.h"
#include "app/sign_in.h"
#include "platform/gui_requests.h"
#include "platform/program_font.h"
#include "platform/top_level_window.h"

#include <QApplication>

namespace yejian::app {

int run_program(int argc, char** argv)
{
    QApplication application(argc, argv);
    platform::apply_program_font();
    const int result = run_session();
    // A window that outlived the session (a worker's message box) goes before the
    // application does.
    qDeleteAll(QApplication::topLevelWidgets());
    return result;
}

int run_session(const std::function<void()>& exit_cleanup)
{
    platform::reset_gui_shutdown();
    reset_session_state();
    ExitCleanup cleanup(exit_cleanup);

    // The quit rule: when a program window has been destroyed and none remains, a quit
    // request is posted. Qt's own rule is off: it counts shown windows, message boxes
    // included, where the program counts its windows that exist.
    QApplication::setQuitOnLastWindowClosed(false);
    const QMetaObject::Connection quit_rule =
        QObject::connect(&platform::ProgramWindows::instance(),
                         &platform::ProgramWindows::last_window_destroyed,
                         QCoreApplication::instance(), [] { QCoreApplication::quit(); },
                         Qt::QueuedConnection);

    (new LoginWindow)->open();
    QApplication::exec();

    QObject::disconnect(quit_rule);
    // Worker requests stop waiting for the GUI thread before anything waits for a worker.
    platform::begin_gui_shutdown();
    // A sign-in or a batch still running ends within moments of the shutdown; the session
    // state they use is released only after that.
    join_sign_in();
    batch_runner().join_all();
    cleanup.run();
    return 0;
}

} // namespace yejian::app
