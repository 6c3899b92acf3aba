#pragma once
// A single-line edit box. A password box shows "*" for every character while its text stays
// the typed text.

#include "platform/control_place.h"

#include <QLineEdit>

#include <string>
#include <string_view>

namespace yejian::platform {

class EditBox : public QLineEdit {
    Q_OBJECT
public:
    EditBox(QWidget* window, const char* form_name, ControlPlace place,
            std::string_view text = {});

    std::string get_text() const { return text().toStdString(); }
    void set_text(std::string_view text);
    void use_password_echo();
};

} // namespace yejian::platform
