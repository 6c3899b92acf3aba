#include "platform/push_button.h"

#include "platform/qt_text.h"

namespace yejian::platform {

PushButton::PushButton(QWidget* window, const char* form_name, ControlPlace place,
                       std::string_view caption)
    : QPushButton(window)
{
    place_control(*this, form_name, place);
    set_caption(caption);
    // Win32 buttons take no default-button role from Return; neither do ours.
    setAutoDefault(false);
}

void PushButton::set_caption(std::string_view caption)
{
    setText(to_qstring(caption));
}

} // namespace yejian::platform
