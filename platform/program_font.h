#pragma once
// The program's font: a CJK font at 12 px, the size the windows' tables were laid out for.

namespace yejian::platform {

inline constexpr const char* program_font_family = "WenQuanYi Micro Hei";
inline constexpr int program_font_pixel_size = 12;

// Makes the program font the application's default; call once the QApplication exists.
void apply_program_font();

} // namespace yejian::platform
