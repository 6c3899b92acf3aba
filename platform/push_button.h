#pragma once
// A push button with a caption; clicks arrive as QPushButton::clicked.

#include "platform/control_place.h"

#include <QPushButton>

#include <string>
#include <string_view>

namespace yejian::platform {

class PushButton : public QPushButton {
    Q_OBJECT
public:
    PushButton(QWidget* window, const char* form_name, ControlPlace place,
               std::string_view caption);

    std::string get_caption() const { return text().toStdString(); }
    void set_caption(std::string_view caption);
};

} // namespace yejian::platform
