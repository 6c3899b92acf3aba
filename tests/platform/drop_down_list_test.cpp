#include "platform/drop_down_list.h"

#include <QtTest>

#include <cstdint>

using namespace yejian::platform;

class DropDownListTest : public QObject {
    Q_OBJECT
private slots:
    void itemsKeepTheirOrderAndSixtyFourBitValues();
    void noSelectionGivesEmptyTextAndMinusOne();
};

void DropDownListTest::itemsKeepTheirOrderAndSixtyFourBitValues()
{
    DropDownList list(nullptr, "组合框1", {14, 36, 240, 25});
    QVERIFY(!list.isEditable());
    const std::int64_t big_id = (std::int64_t{1} << 31) + 5; // wraps to a negative in 32 bits
    list.add_item("风景", big_id);
    list.add_item("Animals", 7);
    list.add_item("animals", -3);
    QCOMPARE(list.count(), 3);
    // Added order, not sorted order.
    QCOMPARE(list.item_text(0), std::string("风景"));
    QCOMPARE(list.item_text(1), std::string("Animals"));
    QCOMPARE(list.item_value(0), big_id);
    QCOMPARE(list.item_value(2), std::int64_t{-3});
    list.select_item(1);
    QCOMPARE(list.selected_index(), 1);
    QCOMPARE(list.item_value(list.selected_index()), std::int64_t{7});
}

void DropDownListTest::noSelectionGivesEmptyTextAndMinusOne()
{
    DropDownList list(nullptr, "组合框1", {14, 36, 240, 25});
    QCOMPARE(list.selected_index(), -1);
    for (int k : {-1, 0, 5}) {
        QCOMPARE(list.item_text(k), std::string());
        QCOMPARE(list.item_value(k), std::int64_t{-1});
    }
    list.add_item("a", 1);
    list.select_item(0);
    list.select_item(9); // outside the items: nothing selected
    QCOMPARE(list.selected_index(), -1);
}

QTEST_MAIN(DropDownListTest)
#include "drop_down_list_test.moc"
