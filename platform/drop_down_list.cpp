#include "platform/drop_down_list.h"

#include "platform/qt_text.h"

namespace yejian::platform {

DropDownList::DropDownList(QWidget* window, const char* form_name, ControlPlace place)
    : QComboBox(window)
{
    place_control(*this, form_name, place);
    setEditable(false);
}

void DropDownList::add_item(std::string_view text, std::int64_t value)
{
    addItem(to_qstring(text), QVariant::fromValue<qlonglong>(value));
}

void DropDownList::select_item(int k)
{
    setCurrentIndex(k >= 0 && k < count() ? k : -1);
}

std::string DropDownList::item_text(int k) const
{
    if (k < 0 || k >= count())
        return {};
    return itemText(k).toStdString();
}

std::int64_t DropDownList::item_value(int k) const
{
    if (k < 0 || k >= count())
        return -1;
    return itemData(k).toLongLong();
}

} // namespace yejian::platform
