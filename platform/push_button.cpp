#include "platform/push_button.h"

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
    setText(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
}

} // namespace yejian::platform
