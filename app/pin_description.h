#pragma once
#include <string>
#include <string_view>

namespace yejian::app {

// The last component of a path: the text after the last "/" or "\", so paths from this
// platform and Windows-style paths both work.
std::string last_path_component(std::string_view path);

// The pin description of an image: its file name without folder and last extension, with
// every "原创" taken out first. UTF-8 throughout; matches start only on whole characters.
std::string pin_description(std::string_view path);

} // namespace yejian::app
