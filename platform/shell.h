#pragma once
// What the program asks of the desktop and a test cannot click through: the open-file
// dialog, message boxes and opening web addresses. The program uses the Qt shell; a test
// installs a scripted one with ShellOverride.

#include <string>
#include <vector>

class QWidget;

namespace yejian::platform {

enum class MessageIcon { stop, information };

class Shell {
public:
    Shell() = default;
    virtual ~Shell() = default;
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    // The multi-select open-file dialog, owned by owner (may be null), starting in
    // initial_folder, listing every file. The full paths of the chosen files in the dialog's
    // order, however many; none when the dialog is cancelled.
    virtual std::vector<std::string> choose_files(const std::string& title,
                                                  const std::string& initial_folder,
                                                  QWidget* owner) = 0;

    // A message box with one OK button and no owner; returns once the user has closed it.
    // From a worker thread the box leaves every window usable: only the calling thread
    // waits, and it stops waiting when the program shuts down.
    virtual void show_message(const std::string& text, const std::string& title,
                              MessageIcon icon) = 0;

    // The desktop's "open" action on a web address; whether it worked is not reported.
    virtual void open_address(const std::string& address) = 0;
};

// The shell in use, from any thread.
Shell& shell();

// Puts another shell in place for the life of the scope.
class ShellOverride {
public:
    explicit ShellOverride(Shell& replacement);
    ~ShellOverride();
    ShellOverride(const ShellOverride&) = delete;
    ShellOverride& operator=(const ShellOverride&) = delete;

private:
    Shell* previous_;
};

} // namespace yejian::platform
