#pragma once
// A shell for tests: answers the file dialog from a script, records message boxes and
// opened addresses, and never blocks. Safe to use from several threads.

#include "platform/shell.h"

#include <deque>
#include <mutex>

namespace yejian::platform {

class ScriptedShell : public Shell {
public:
    struct Message {
        std::string text;
        std::string title;
        MessageIcon icon = MessageIcon::information;
    };
    struct FileDialog {
        std::string title;
        std::string initial_folder;
        QWidget* owner = nullptr;
    };

    // The answer of the next dialog; dialogs beyond the script are cancelled (no files).
    void add_dialog_answer(std::vector<std::string> paths);

    std::vector<std::string> choose_files(const std::string& title,
                                          const std::string& initial_folder,
                                          QWidget* owner) override;
    void show_message(const std::string& text, const std::string& title,
                      MessageIcon icon) override;
    void open_address(const std::string& address) override;

    std::vector<FileDialog> dialogs() const;
    std::vector<Message> messages() const;
    std::vector<std::string> opened_addresses() const;

private:
    mutable std::mutex mutex_;
    std::deque<std::vector<std::string>> answers_;
    std::vector<FileDialog> dialogs_;
    std::vector<Message> messages_;
    std::vector<std::string> opened_;
};

} // namespace yejian::platform
