#include "platform/push_button.h"

#include <QSignalSpy>
#include <QtTest>

using namespace yejian::platform;

class PushButtonTest : public QObject {
    Q_OBJECT
private slots:
    void captionClickAndEnable();
};

void PushButtonTest::captionClickAndEnable()
{
    PushButton button(nullptr, "按钮1", {233, 168, 58, 57}, "登录");
    QSignalSpy clicks(&button, &QPushButton::clicked);
    QCOMPARE(button.get_caption(), std::string("登录"));
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
    button.setEnabled(false);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
    button.set_caption("正在为您上传  20秒/张  请勿再次点击");
    QCOMPARE(button.get_caption(), std::string("正在为您上传  20秒/张  请勿再次点击"));
}

QTEST_MAIN(PushButtonTest)
#include "push_button_test.moc"
