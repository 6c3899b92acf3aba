#include "platform/report_list.h"

#include <QHeaderView>
#include <QtTest>

#include <cstdint>
#include <memory>

using namespace yejian::platform;

namespace {

std::unique_ptr<ReportList> file_list()
{
    return std::make_unique<ReportList>(
        nullptr, "超级列表框1", ControlPlace{14, 144, 242, 136},
        std::vector<ReportColumn>{{"序号", 50}, {"分类", 120}, {"文件名", 0}, {"状态", 50}});
}

} // namespace

class ReportListTest : public QObject {
    Q_OBJECT
private slots:
    void columnsHaveHeadersWidthsAndLeftAlignment();
    void rowsAreAppendedWithSixtyFourBitValues();
    void cellsAreReadAndSet();
    void missingRowsAndColumnsGiveEmptyResults();
    void lookOfAReportList();
};

void ReportListTest::columnsHaveHeadersWidthsAndLeftAlignment()
{
    auto list = file_list();
    QCOMPARE(list->objectName(), QStringLiteral("超级列表框1"));
    QCOMPARE(list->geometry(), QRect(14, 144, 242, 136));
    QCOMPARE(list->columnCount(), 4);
    const QStringList headers{"序号", "分类", "文件名", "状态"};
    const QList<int> widths{50, 120, 0, 50};
    QHeaderView* header = list->horizontalHeader();
    for (int c = 0; c < 4; ++c) {
        QCOMPARE(list->horizontalHeaderItem(c)->text(), headers[c]);
        QCOMPARE(header->sectionSize(c), widths[c]);
        QVERIFY(list->horizontalHeaderItem(c)->textAlignment() & Qt::AlignLeft);
    }
    // The zero-width column is there, not hidden: the user can widen it.
    QVERIFY(!header->isSectionHidden(2));
    QCOMPARE(header->sectionResizeMode(2), QHeaderView::Interactive);
}

void ReportListTest::rowsAreAppendedWithSixtyFourBitValues()
{
    auto list = file_list();
    const std::int64_t big_id = (std::int64_t{1} << 32) + 123;
    QCOMPARE(list->append_row("1", big_id), 0);
    QCOMPARE(list->append_row("2", -1), 1);
    QCOMPARE(list->append_row("1", 7), 2);
    QCOMPARE(list->row_count(), 3);
    QCOMPARE(list->row_value(0), big_id);
    QCOMPARE(list->row_value(1), std::int64_t{-1});
    QCOMPARE(list->cell_text(2, 0), std::string("1"));
    QCOMPARE(list->cell_text(2, 1), std::string()); // the other cells start empty
}

void ReportListTest::cellsAreReadAndSet()
{
    auto list = file_list();
    const int row = list->append_row("1", 42);
    list->set_cell_text(row, 1, "风景");
    list->set_cell_text(row, 2, "/home/u/图片/a b.jpg");
    list->set_cell_text(row, 3, "－");
    list->set_cell_text(row, 3, "√");
    QCOMPARE(list->cell_text(row, 1), std::string("风景"));
    QCOMPARE(list->cell_text(row, 2), std::string("/home/u/图片/a b.jpg"));
    QCOMPARE(list->cell_text(row, 3), std::string("√"));
    // Setting the first cell keeps the row's value.
    list->set_cell_text(row, 0, "9");
    QCOMPARE(list->row_value(row), std::int64_t{42});
    QVERIFY(list->item(row, 3)->textAlignment() & Qt::AlignLeft);
}

void ReportListTest::missingRowsAndColumnsGiveEmptyResults()
{
    auto list = file_list();
    list->append_row("1", 5);
    QCOMPARE(list->cell_text(1, 0), std::string());
    QCOMPARE(list->cell_text(-1, 0), std::string());
    QCOMPARE(list->cell_text(0, 4), std::string());
    QCOMPARE(list->row_value(3), std::int64_t{0});
    list->set_cell_text(5, 3, "×"); // ignored
    list->set_cell_text(0, -1, "×");
    QCOMPARE(list->row_count(), 1);
    QCOMPARE(list->cell_text(0, 0), std::string("1"));
}

void ReportListTest::lookOfAReportList()
{
    auto list = file_list();
    list->append_row("1", 1);
    list->append_row("2", 2);
    QVERIFY(!list->horizontalHeader()->isHidden());
    QVERIFY(!list->horizontalHeader()->sectionsClickable());
    QVERIFY(!list->isSortingEnabled());
    QVERIFY(list->verticalHeader()->isHidden());
    QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(list->showGrid());
    QCOMPARE(list->frameShadow(), QFrame::Sunken);
    const Qt::ItemFlags flags = list->item(0, 1)->flags();
    QVERIFY(!(flags & Qt::ItemIsEditable));
    QVERIFY(!(flags & Qt::ItemIsUserCheckable));
    // The selection stays visible without the focus.
    const QPalette colours = list->palette();
    QCOMPARE(colours.color(QPalette::Inactive, QPalette::Highlight),
             colours.color(QPalette::Active, QPalette::Highlight));
    QCOMPARE(colours.color(QPalette::Base), QColor(Qt::white));
    QCOMPARE(colours.color(QPalette::Text), QColor(Qt::black));
    // Several rows at once.
    list->selectRow(0);
    list->selectionModel()->select(list->model()->index(1, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QCOMPARE(list->selectionModel()->selectedRows().size(), 2);
}

QTEST_MAIN(ReportListTest)
#include "report_list_test.moc"
