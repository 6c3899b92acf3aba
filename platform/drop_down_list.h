#pragma once
// A drop-down list that cannot be typed into and keeps its items in the order they were
// added. Every item carries a 64-bit value (board ids pass 2^31).

#include "platform/control_place.h"

#include <QComboBox>

#include <cstdint>
#include <string>
#include <string_view>

namespace yejian::platform {

class DropDownList : public QComboBox {
    Q_OBJECT
public:
    DropDownList(QWidget* window, const char* form_name, ControlPlace place);

    void add_item(std::string_view text, std::int64_t value);
    // Selects item k; any k outside the items clears the selection.
    void select_item(int k);
    // The index of the selected item, -1 when none is selected.
    int selected_index() const { return currentIndex(); }
    // Text and value of item k: the empty text and -1 for -1 or any index outside the items.
    std::string item_text(int k) const;
    std::int64_t item_value(int k) const;
};

} // namespace yejian::platform
