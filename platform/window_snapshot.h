#pragma once
// Pictures of a window for the documentation: the client area as Qt draws it, inside a
// plain nominal frame with the caption, so the picture has the window's outer size.

#include <QImage>

#include <string>

namespace yejian::platform {

class TopLevelWindow;

QImage snapshot_window(TopLevelWindow& window);
bool save_window_snapshot(TopLevelWindow& window, const std::string& png_path);

} // namespace yejian::platform
