#include "platform/shell.h"

#include "platform/qt_shell.h"

#include <atomic>

namespace yejian::platform {
namespace {

std::atomic<Shell*> replacement_shell{nullptr};

} // namespace

Shell& shell()
{
    static QtShell qt_shell;
    Shell* replacement = replacement_shell.load();
    return replacement ? *replacement : qt_shell;
}

ShellOverride::ShellOverride(Shell& replacement)
    : previous_(replacement_shell.exchange(&replacement))
{
}

ShellOverride::~ShellOverride()
{
    replacement_shell.store(previous_);
}

} // namespace yejian::platform
