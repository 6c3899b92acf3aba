#include "platform/label.h"
#include "platform/program_font.h"

#include <QImage>
#include <QSignalSpy>
#include <QtTest>

using namespace yejian::platform;

namespace {

// The rows of a rendered label that hold a pixel of the given colour.
QList<int> rows_painted_in(Label& label, QColor colour)
{
    QImage picture(label.size(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    label.render(&picture);
    QList<int> rows;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (picture.pixelColor(x, y) == colour) {
                rows.append(y);
                break;
            }
        }
    }
    return rows;
}

} // namespace

class LabelTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { apply_program_font(); }
    void lineBreaks_data();
    void lineBreaks();
    void linesAreDrawnOneFontSizeApart();
    void textExtentCoversTheDrawnLines();
    void reportsEachLeftPress();
    void colourAndCursor();
};

void LabelTest::lineBreaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("CR LF") << "a\r\n\r\nb\r\n" << QStringList{"a", "", "b", ""};
    QTest::newRow("lone LF and CR") << "a\nb\rc" << QStringList{"a", "b", "c"};
    QTest::newRow("one line") << "感谢" << QStringList{"感谢"};
    QTest::newRow("empty") << "" << QStringList{""};
}

void LabelTest::lineBreaks()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    const std::string utf8 = text.toStdString();
    Label label(nullptr, "标签1", {0, 0, 100, 40}, utf8, Qt::black);
    QCOMPARE(label.lines(), lines);
    QCOMPARE(label.get_text(), utf8); // the text is kept as given, line breaks and all
}

void LabelTest::linesAreDrawnOneFontSizeApart()
{
    const QColor red(255, 0, 0);
    Label label(nullptr, "标签3", {0, 0, 120, 60}, "\r\n\r\n叶笺", red);
    QCOMPARE(label.line_pitch(), program_font_pixel_size);
    const QList<int> rows = rows_painted_in(label, red);
    QVERIFY(!rows.isEmpty());
    // Line 2 starts 24 px down and its glyphs stay within one font height of that.
    QVERIFY2(rows.first() >= 2 * 12, qPrintable(QString::number(rows.first())));
    QVERIFY2(rows.last() < 2 * 12 + label.fontMetrics().height(),
             qPrintable(QString::number(rows.last())));
}

void LabelTest::textExtentCoversTheDrawnLines()
{
    Label label(nullptr, "标签1", {0, 0, 200, 80}, "账  号：\r\n\r\n\r\n密  码：", Qt::black);
    const QSize extent = label.text_extent();
    QCOMPARE(extent.height(), 3 * 12 + label.fontMetrics().height());
    QCOMPARE(extent.width(), label.fontMetrics().horizontalAdvance(QStringLiteral("账  号：")));
    const QList<int> rows = rows_painted_in(label, Qt::black);
    QVERIFY(!rows.isEmpty());
    QVERIFY(rows.last() < extent.height());
    // Trailing empty lines take no room.
    label.set_text("a\r\n\r\n");
    QCOMPARE(label.text_extent().height(), label.fontMetrics().height());
}

void LabelTest::reportsEachLeftPress()
{
    Label label(nullptr, "标签4", {0, 0, 100, 40}, "点此", Qt::black);
    QSignalSpy presses(&label, &Label::pressed);
    QTest::mousePress(&label, Qt::LeftButton);
    QTest::mouseRelease(&label, Qt::LeftButton);
    QCOMPARE(presses.count(), 1);
    QTest::mousePress(&label, Qt::LeftButton);
    QCOMPARE(presses.count(), 2);
    QTest::mousePress(&label, Qt::RightButton);
    QCOMPARE(presses.count(), 2);
}

void LabelTest::colourAndCursor()
{
    Label label(nullptr, "标签4", {36, 123, 232, 40}, "x", QColor(0, 0, 128));
    QCOMPARE(label.objectName(), QStringLiteral("标签4"));
    QCOMPARE(label.geometry(), QRect(36, 123, 232, 40));
    QCOMPARE(label.text_colour(), QColor(0, 0, 128));
    QVERIFY(label.cursor().shape() != Qt::PointingHandCursor);
    label.show_hand_cursor();
    QCOMPARE(label.cursor().shape(), Qt::PointingHandCursor);
    label.set_text_colour(Qt::red);
    QCOMPARE(label.palette().color(QPalette::Inactive, QPalette::WindowText), QColor(Qt::red));
}

QTEST_MAIN(LabelTest)
#include "label_test.moc"
