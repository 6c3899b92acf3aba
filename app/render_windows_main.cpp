// yejian-render: pictures of the program's windows for the documentation, drawn by the
// program's own window code. Runs without a display.
//   yejian-render login docs/login-window.png
//   yejian-render upload docs/upload-window.png   (a few boards, two imports of files)

#include "app/login_window.h"
#include "app/session_state.h"
#include "app/upload_window.h"
#include "platform/program_font.h"
#include "platform/window_snapshot.h"

#include <QApplication>

#include <cstdio>
#include <memory>
#include <string_view>

namespace {

using namespace yejian;

std::unique_ptr<platform::TopLevelWindow> make_upload_window()
{
    app::SessionState& state = app::session();
    state.replace_board_table(3);
    state.board_table[0] = {3000000001, "风景"};
    state.board_table[1] = {27182818, "插画参考"};
    state.board_table[2] = {31415926, "猫咪"};
    auto window = std::make_unique<app::UploadWindow>();
    window->append_files({"/home/demo/图片/西湖日落.jpg", "/home/demo/图片/原创_山间小路.png"});
    window->board_list().select_item(2);
    window->append_files({"/home/demo/图片/猫咪 午睡.jpg", "/home/demo/图片/星空.png",
                          "/home/demo/图片/猫咪 伸懒腰.jpg"});
    window->board_list().select_item(0);
    return window;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string_view which = argc == 3 ? argv[1] : "";
    if (which != "login" && which != "upload") {
        std::fputs("usage: yejian-render login|upload PNG-FILE\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    platform::apply_program_font();

    std::unique_ptr<platform::TopLevelWindow> window;
    if (which == "login")
        window = std::make_unique<app::LoginWindow>();
    else
        window = make_upload_window();
    window->open();
    if (!platform::save_window_snapshot(*window, argv[2])) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
