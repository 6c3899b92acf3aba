#include "platform/edit_box.h"

#include <QtTest>

using namespace yejian::platform;

class EditBoxTest : public QObject {
    Q_OBJECT
private slots:
    void passwordBoxShowsStarsAndKeepsTheTypedText();
    void textIsReadAsTyped();
};

void EditBoxTest::passwordBoxShowsStarsAndKeepsTheTypedText()
{
    EditBox box(nullptr, "编辑框2", {72, 202, 146, 24});
    box.use_password_echo();
    box.show();
    QTest::keyClicks(&box, QStringLiteral("pa ss"));
    // keyClicks takes Latin-1 only; typed CJK arrives as key events carrying text.
    QTest::sendKeyEvent(QTest::Click, &box, Qt::Key_unknown, QStringLiteral("密码"), Qt::NoModifier);
    QCOMPARE(box.displayText(), QStringLiteral("*******"));
    QCOMPARE(box.get_text(), std::string("pa ss密码"));
}

void EditBoxTest::textIsReadAsTyped()
{
    EditBox box(nullptr, "编辑框1", {72, 167, 146, 24});
    QCOMPARE(box.objectName(), QStringLiteral("编辑框1"));
    QCOMPARE(box.geometry(), QRect(72, 167, 146, 24));
    QCOMPARE(box.get_text(), std::string());
    box.show();
    QTest::keyClicks(&box, QStringLiteral("  a@b.example "));
    QCOMPARE(box.get_text(), std::string("  a@b.example ")); // untrimmed
    QCOMPARE(box.displayText(), QStringLiteral("  a@b.example "));

    EditBox hidden(nullptr, "编辑框3", {168, 188, 48, 24}, "20");
    hidden.hide();
    QCOMPARE(hidden.get_text(), std::string("20"));
}

QTEST_MAIN(EditBoxTest)
#include "edit_box_test.moc"
