// yejian-render: pictures of the program's windows for the documentation, drawn by the
// program's own window code. Runs without a display.
//   yejian-render login docs/login-window.png

#include "app/login_window.h"
#include "platform/program_font.h"
#include "platform/window_snapshot.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char** argv)
{
    if (argc != 3 || std::strcmp(argv[1], "login") != 0) {
        std::fputs("usage: yejian-render login PNG-FILE\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    yejian::platform::apply_program_font();

    auto window = std::make_unique<yejian::app::LoginWindow>();
    window->open();
    if (!yejian::platform::save_window_snapshot(*window, argv[2])) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
