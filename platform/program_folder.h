#pragma once

#include <string>

namespace yejian::platform {

// The folder that holds the program's executable (empty before the QApplication exists).
std::string program_folder();

} // namespace yejian::platform
