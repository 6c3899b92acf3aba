#include "platform/report_list.h"

#include "platform/qt_text.h"

#include <QHeaderView>
#include <QPalette>

namespace yejian::platform {
namespace {

constexpr int row_value_role = Qt::UserRole;
constexpr Qt::Alignment left_aligned = Qt::AlignLeft | Qt::AlignVCenter;

QTableWidgetItem* new_cell(std::string_view text)
{
    auto* cell = new QTableWidgetItem(to_qstring(text));
    cell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    cell->setTextAlignment(left_aligned);
    return cell;
}

} // namespace

ReportList::ReportList(QWidget* window, const char* form_name, ControlPlace place,
                       const std::vector<ReportColumn>& columns)
    : QTableWidget(window)
{
    place_control(*this, form_name, place);

    setColumnCount(static_cast<int>(columns.size()));
    QHeaderView* header = horizontalHeader();
    header->setMinimumSectionSize(0);
    header->setStretchLastSection(false);
    header->setSectionsClickable(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setDefaultAlignment(left_aligned);
    for (int c = 0; c < columnCount(); ++c) {
        const ReportColumn& column = columns[static_cast<std::size_t>(c)];
        setHorizontalHeaderItem(c, new_cell(column.header));
        header->resizeSection(c, column.width);
    }
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);

    setSortingEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setShowGrid(true);
    setWordWrap(false);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);

    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    }
    setPalette(colours);
}

int ReportList::append_row(std::string_view first_cell, std::int64_t row_value)
{
    const int row = rowCount();
    insertRow(row);
    for (int c = 0; c < columnCount(); ++c)
        setItem(row, c, new_cell(c == 0 ? first_cell : std::string_view{}));
    if (QTableWidgetItem* first = item(row, 0))
        first->setData(row_value_role, QVariant::fromValue<qlonglong>(row_value));
    return row;
}

std::string ReportList::cell_text(int row, int column) const
{
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text().toStdString() : std::string{};
}

std::int64_t ReportList::row_value(int row) const
{
    const QTableWidgetItem* first = item(row, 0);
    return first ? first->data(row_value_role).toLongLong() : 0;
}

void ReportList::set_cell_text(int row, int column, std::string_view text)
{
    if (QTableWidgetItem* cell = item(row, column))
        cell->setText(to_qstring(text));
}

} // namespace yejian::platform
