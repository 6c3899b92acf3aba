#include "platform/top_level_window.h"
#include "platform/window_frame.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace yejian::platform;

class TopLevelWindowTest : public QObject {
    Q_OBJECT
private slots:
    void clientAreaIsOuterSizeLessTheFrame_data();
    void clientAreaIsOuterSizeLessTheFrame();
    void titleBarHasTheButtonsOfTheLayout();
    void opensCentredOnTheScreen();
    void closeBoxDestroysTheWindow();
    void lastWindowDestroyedIsSignalledOnce();
};

void TopLevelWindowTest::clientAreaIsOuterSizeLessTheFrame_data()
{
    QTest::addColumn<QSize>("outer");
    QTest::addColumn<QSize>("client");
    QTest::newRow("login window") << QSize(311, 268) << QSize(305, 240);
    QTest::newRow("upload window") << QSize(277, 454) << QSize(271, 426);
}

void TopLevelWindowTest::clientAreaIsOuterSizeLessTheFrame()
{
    QFETCH(QSize, outer);
    QFETCH(QSize, client);
    TopLevelWindow window({"caption", outer});
    QCOMPARE(window.size(), client);
    QCOMPARE(window.minimumSize(), client); // fixed frame: cannot be resized
    QCOMPARE(window.maximumSize(), client);
    QCOMPARE(window.outer_size(), outer);
    QCOMPARE(outer_size_for_client(client), outer);
}

void TopLevelWindowTest::titleBarHasTheButtonsOfTheLayout()
{
    TopLevelWindow login({"测试版-请登录叶笺账户：", QSize(311, 268), false});
    TopLevelWindow upload({"澜岫叶笺上传-测试版", QSize(277, 454), true});
    QCOMPARE(login.windowTitle(), QStringLiteral("测试版-请登录叶笺账户："));
    for (TopLevelWindow* window : {&login, &upload}) {
        const Qt::WindowFlags flags = window->windowFlags();
        QVERIFY(window->isWindow());
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(flags & Qt::WindowSystemMenuHint);
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    }
    QVERIFY(!(login.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(upload.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!login.isModal());
}

void TopLevelWindowTest::opensCentredOnTheScreen()
{
    auto* window = new TopLevelWindow({"caption", QSize(311, 268)});
    window->open();
    QVERIFY(window->isVisible());
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect outer(window->pos(), window->outer_size());
    QVERIFY(qAbs((outer.left() - area.left()) - (area.right() - outer.right())) <= 1);
    QVERIFY(qAbs((outer.top() - area.top()) - (area.bottom() - outer.bottom())) <= 1);
    delete window;
}

void TopLevelWindowTest::closeBoxDestroysTheWindow()
{
    QPointer<TopLevelWindow> window = new TopLevelWindow({"caption", QSize(311, 268)});
    window->open();
    window->close();
    QTRY_VERIFY(window.isNull());
    QCOMPARE(ProgramWindows::instance().count(), 0);
}

void TopLevelWindowTest::lastWindowDestroyedIsSignalledOnce()
{
    QSignalSpy last_gone(&ProgramWindows::instance(), &ProgramWindows::last_window_destroyed);
    auto first = std::make_unique<TopLevelWindow>(WindowLayout{"first", QSize(311, 268)});
    auto second = std::make_unique<TopLevelWindow>(WindowLayout{"second", QSize(277, 454)});
    QCOMPARE(ProgramWindows::instance().count(), 2);
    first.reset();
    QCOMPARE(last_gone.count(), 0);
    second.reset();
    QCOMPARE(last_gone.count(), 1);
    QCOMPARE(ProgramWindows::instance().count(), 0);
}

QTEST_MAIN(TopLevelWindowTest)
#include "top_level_window_test.moc"
