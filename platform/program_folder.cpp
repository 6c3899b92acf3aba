#include "platform/program_folder.h"

#include <QCoreApplication>

namespace yejian::platform {

std::string program_folder()
{
    if (!QCoreApplication::instance())
        return {};
    return QCoreApplication::applicationDirPath().toStdString();
}

} // namespace yejian::platform
