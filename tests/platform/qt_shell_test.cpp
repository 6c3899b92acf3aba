#include "platform/gui_requests.h"
#include "platform/qt_shell.h"
#include "platform/scripted_shell.h"
#include "platform/shell.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QtTest>

#include <atomic>
#include <thread>

using namespace yejian::platform;

namespace {

QMessageBox* shown_message_box()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible())
            return box;
    }
    return nullptr;
}

} // namespace

class QtShellTest : public QObject {
    Q_OBJECT
private slots:
    void init() { reset_gui_shutdown(); }
    void cleanupTestCase() { reset_gui_shutdown(); }
    void workerMessageBoxLeavesTheGuiFreeAndTheWorkerWaiting();
    void workerStopsWaitingForItsBoxAtShutdown();
    void overrideReplacesTheShellForItsScope();
};

void QtShellTest::workerMessageBoxLeavesTheGuiFreeAndTheWorkerWaiting()
{
    QtShell qt_shell;
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        qt_shell.show_message("全部处理完毕！", "提示", MessageIcon::information);
        returned = true;
    });
    // The box appears while this thread keeps serving events: the GUI is not blocked.
    QTRY_VERIFY(shown_message_box() != nullptr);
    QMessageBox* box = shown_message_box();
    QCOMPARE(box->text(), QStringLiteral("全部处理完毕！"));
    QCOMPARE(box->windowTitle(), QStringLiteral("提示"));
    QCOMPARE(box->icon(), QMessageBox::Information);
    QCOMPARE(box->windowModality(), Qt::NonModal);
    QVERIFY(box->parentWidget() == nullptr);
    QCOMPARE(box->buttons().size(), 1);
    QCoreApplication::processEvents();
    QVERIFY(!returned); // the worker waits for the box to be closed

    box->button(QMessageBox::Ok)->click();
    QTRY_VERIFY(returned);
    worker.join();
    QTRY_VERIFY(shown_message_box() == nullptr);
}

void QtShellTest::workerStopsWaitingForItsBoxAtShutdown()
{
    QtShell qt_shell;
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        qt_shell.show_message("登录失败, 请重试!", "失败", MessageIcon::stop);
        returned = true;
    });
    QTRY_VERIFY(shown_message_box() != nullptr);
    QCOMPARE(shown_message_box()->icon(), QMessageBox::Critical);
    begin_gui_shutdown();
    worker.join();
    QVERIFY(returned);
    delete shown_message_box();
}

void QtShellTest::overrideReplacesTheShellForItsScope()
{
    Shell* program_shell = &shell();
    QVERIFY(dynamic_cast<QtShell*>(program_shell) != nullptr);
    {
        ScriptedShell scripted;
        ShellOverride in_place(scripted);
        QCOMPARE(&shell(), static_cast<Shell*>(&scripted));
        scripted.add_dialog_answer({"/a/1.jpg", "/a/2.jpg"});
        QCOMPARE(shell().choose_files("选择欲上传的文件：", "/opt", nullptr),
                 (std::vector<std::string>{"/a/1.jpg", "/a/2.jpg"}));
        QVERIFY(shell().choose_files("again", "/opt", nullptr).empty()); // script used up
        QCOMPARE(scripted.dialogs().size(), std::size_t{2});
        QCOMPARE(scripted.dialogs()[0].initial_folder, std::string("/opt"));
    }
    QCOMPARE(&shell(), program_shell);
}

QTEST_MAIN(QtShellTest)
#include "qt_shell_test.moc"
