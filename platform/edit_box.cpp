#include "platform/edit_box.h"

#include "platform/qt_text.h"

namespace yejian::platform {

EditBox::EditBox(QWidget* window, const char* form_name, ControlPlace place,
                 std::string_view text)
    : QLineEdit(window)
{
    place_control(*this, form_name, place);
    set_text(text);
}

void EditBox::set_text(std::string_view text)
{
    setText(to_qstring(text));
}

void EditBox::use_password_echo()
{
    setEchoMode(QLineEdit::Password);
    // The style's own mask character is a bullet on most styles; users know the star.
    setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
}

} // namespace yejian::platform
