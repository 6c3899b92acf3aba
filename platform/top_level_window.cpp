#include "platform/top_level_window.h"

#include "platform/window_frame.h"

#include <QGuiApplication>
#include <QScreen>

namespace yejian::platform {

TopLevelWindow::TopLevelWindow(const WindowLayout& layout)
    : QWidget(nullptr), outer_size_(layout.outer_size)
{
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (layout.minimize_button)
        flags |= Qt::WindowMinimizeButtonHint;
    setWindowFlags(flags);
    setWindowTitle(QString::fromStdString(layout.caption));
    setFixedSize(client_size_for_outer(layout.outer_size));
    setAttribute(Qt::WA_DeleteOnClose);
    ProgramWindows::instance().window_created();
}

TopLevelWindow::~TopLevelWindow()
{
    ProgramWindows::instance().window_destroyed();
}

void TopLevelWindow::open()
{
    // move() places the outer frame; centring the outer size keeps the window where the
    // original would have been whatever frame the window manager draws.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.left() + (area.width() - outer_size_.width()) / 2,
             area.top() + (area.height() - outer_size_.height()) / 2);
    }
    show();
}

void TopLevelWindow::destroy_window()
{
    deleteLater();
}

ProgramWindows& ProgramWindows::instance()
{
    static ProgramWindows windows;
    return windows;
}

void ProgramWindows::window_destroyed()
{
    if (--count_ == 0)
        emit last_window_destroyed();
}

} // namespace yejian::platform
