#pragma once
// The program's shell: Qt's file dialog and message boxes, QDesktopServices for addresses.
// Callable from any thread; the work is done on the GUI thread.

#include "platform/shell.h"

namespace yejian::platform {

class QtShell : public Shell {
public:
    std::vector<std::string> choose_files(const std::string& title,
                                          const std::string& initial_folder,
                                          QWidget* owner) override;
    void show_message(const std::string& text, const std::string& title,
                      MessageIcon icon) override;
    void open_address(const std::string& address) override;
};

} // namespace yejian::platform
