#pragma once
// The program's top-level windows: fixed frame, centred when they open, no owner, not modal.
// Every live one is counted, so the program can end when its last window is gone.

#include <QObject>
#include <QSize>
#include <QWidget>

#include <string>

namespace yejian::platform {

struct WindowLayout {
    std::string caption;
    QSize outer_size;             // frame included (see window_frame.h)
    bool minimize_button = false; // the close box and the system menu are always there
};

class TopLevelWindow : public QWidget {
    Q_OBJECT
public:
    explicit TopLevelWindow(const WindowLayout& layout);
    ~TopLevelWindow() override;

    // Shows the window centred on the screen. Its constructor has run by then, so whatever a
    // window does on creation is done when this returns.
    void open();

    // Destroys the window once the handler that is running has returned. Closing the window
    // with its close box destroys it as well.
    void destroy_window();

    QSize outer_size() const { return outer_size_; }

private:
    QSize outer_size_;
};

// The count of live program windows, and the signal that the last one has been destroyed.
// Used on the GUI thread only.
class ProgramWindows : public QObject {
    Q_OBJECT
public:
    static ProgramWindows& instance();
    int count() const { return count_; }

signals:
    void last_window_destroyed();

private:
    friend class TopLevelWindow;
    void window_created() { ++count_; }
    void window_destroyed();

    int count_ = 0;
};

} // namespace yejian::platform
