#pragma once
// A report list: fixed columns with headers, rows that are only ever appended, and a 64-bit
// value carried by every row (board ids pass 2^31).
//
// Look: headers shown but not clickable and no sorting, full-row selection, grid lines, a
// sunken edge, several rows selectable, the selection still shown when the list loses the
// focus, black text on white; no check boxes, no images, no editing in place.

#include "platform/control_place.h"

#include <QTableWidget>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace yejian::platform {

struct ReportColumn {
    std::string header;
    int width = 0; // 0 is kept: the column is there but takes no room until widened
};

class ReportList : public QTableWidget {
    Q_OBJECT
public:
    ReportList(QWidget* window, const char* form_name, ControlPlace place,
               const std::vector<ReportColumn>& columns);

    // Appends a row whose first cell holds first_cell and whose value is row_value; returns
    // the new row's index (rows count from 0).
    int append_row(std::string_view first_cell, std::int64_t row_value);
    int row_count() const { return rowCount(); }
    // The empty text, or 0 for the value, for a row or column that does not exist.
    std::string cell_text(int row, int column) const;
    std::int64_t row_value(int row) const;
    // Does nothing for a row or column that does not exist.
    void set_cell_text(int row, int column, std::string_view text);
};

} // namespace yejian::platform
