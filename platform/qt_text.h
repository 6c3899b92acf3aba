#pragma once
// Our texts are std::string holding UTF-8; Qt's are QString.

#include <QString>

#include <string_view>

namespace yejian::platform {

inline QString to_qstring(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace yejian::platform
