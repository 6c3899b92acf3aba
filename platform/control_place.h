#pragma once
// Where a control sits: left, top, width and height in pixels of its window's client area,
// as the window tables give them.

#include <QRect>
#include <QWidget>

namespace yejian::platform {

struct ControlPlace {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    QRect rect() const { return {left, top, width, height}; }
};

// Gives a new control its form name (its objectName, "编辑框1", "按钮1", ...) and its place.
inline void place_control(QWidget& control, const char* form_name, ControlPlace place)
{
    control.setObjectName(QString::fromUtf8(form_name));
    control.setGeometry(place.rect());
}

} // namespace yejian::platform
