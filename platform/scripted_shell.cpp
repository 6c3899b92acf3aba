#include "platform/scripted_shell.h"

namespace yejian::platform {

void ScriptedShell::add_dialog_answer(std::vector<std::string> paths)
{
    std::lock_guard lock(mutex_);
    answers_.push_back(std::move(paths));
}

std::vector<std::string> ScriptedShell::choose_files(const std::string& title,
                                                     const std::string& initial_folder,
                                                     QWidget* owner)
{
    std::lock_guard lock(mutex_);
    dialogs_.push_back({title, initial_folder, owner});
    if (answers_.empty())
        return {};
    std::vector<std::string> paths = std::move(answers_.front());
    answers_.pop_front();
    return paths;
}

void ScriptedShell::show_message(const std::string& text, const std::string& title,
                                 MessageIcon icon)
{
    std::lock_guard lock(mutex_);
    messages_.push_back({text, title, icon});
}

void ScriptedShell::open_address(const std::string& address)
{
    std::lock_guard lock(mutex_);
    opened_.push_back(address);
}

std::vector<ScriptedShell::FileDialog> ScriptedShell::dialogs() const
{
    std::lock_guard lock(mutex_);
    return dialogs_;
}

std::vector<ScriptedShell::Message> ScriptedShell::messages() const
{
    std::lock_guard lock(mutex_);
    return messages_;
}

std::vector<std::string> ScriptedShell::opened_addresses() const
{
    std::lock_guard lock(mutex_);
    return opened_;
}

} // namespace yejian::platform
