#pragma once
// The windows' tables give outer sizes that include a frame, and control places relative to
// the client area. Our windows keep the same client area whatever the window manager draws:
// the client area is the outer size less one nominal frame, 3 px borders on every side and a
// 22 px caption on top, so every control sits where the table puts it.

#include <QSize>

namespace yejian::platform {

inline constexpr int frame_border_width = 3;
inline constexpr int frame_caption_height = 22;

// 311 x 268 outer gives a 305 x 240 client area.
constexpr QSize client_size_for_outer(QSize outer)
{
    return {outer.width() - 2 * frame_border_width,
            outer.height() - 2 * frame_border_width - frame_caption_height};
}

constexpr QSize outer_size_for_client(QSize client)
{
    return {client.width() + 2 * frame_border_width,
            client.height() + 2 * frame_border_width + frame_caption_height};
}

} // namespace yejian::platform
