#include "platform/gui_requests.h"

#include <QThread>
#include <QtTest>

#include <atomic>
#include <string>
#include <thread>

using namespace yejian::platform;

namespace {

void wait_until_a_request_is_pending()
{
    // The GUI thread (this one) does not serve events meanwhile, so the request stays pending.
    while (waiting_gui_requests() == 0)
        std::this_thread::yield();
}

} // namespace

class GuiRequestsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { reset_gui_shutdown(); }
    void cleanupTestCase() { reset_gui_shutdown(); }
    void workerRequestRunsOnTheGuiThread();
    void requestOnTheGuiThreadRunsAtOnce();
    void pendingRequestGivesUpWhenShutdownBegins();
    void requestsAfterShutdownReturnAtOnce();
    void eventWaitEndsWhenSetOrAtShutdown();
};

void GuiRequestsTest::workerRequestRunsOnTheGuiThread()
{
    QThread* gui_thread = QThread::currentThread();
    std::string answer;
    bool ran_on_gui_thread = false;
    int counter = 0;
    std::thread worker([&] {
        answer = request_on_gui_thread([&] {
            ran_on_gui_thread = QThread::currentThread() == gui_thread;
            return std::string("从界面线程");
        });
        request_on_gui_thread([&] { ++counter; });
    });
    // Serve events until the worker is done; the worker cannot finish without them.
    QTRY_VERIFY(counter == 1);
    worker.join();
    QVERIFY(ran_on_gui_thread);
    QCOMPARE(answer, std::string("从界面线程"));
}

void GuiRequestsTest::requestOnTheGuiThreadRunsAtOnce()
{
    QVERIFY(on_gui_thread());
    QCOMPARE(request_on_gui_thread([] { return 17; }), 17);
}

void GuiRequestsTest::pendingRequestGivesUpWhenShutdownBegins()
{
    std::atomic<bool> job_ran{false};
    int answer = -1;
    std::thread worker([&] {
        answer = request_on_gui_thread([&] {
            job_ran = true;
            return 5;
        });
    });
    wait_until_a_request_is_pending();
    // What the start routine does: begin the shutdown, then wait for the worker. Without the
    // shutdown rule this join would never return.
    begin_gui_shutdown();
    worker.join();
    QCOMPARE(answer, 0);
    QCOMPARE(waiting_gui_requests(), 0);
    // The posted job is still in the queue; served now, it must not run.
    QCoreApplication::processEvents();
    QVERIFY(!job_ran);
}

void GuiRequestsTest::requestsAfterShutdownReturnAtOnce()
{
    begin_gui_shutdown();
    QVERIFY(gui_shutdown_started());
    bool job_ran = false;
    std::string answer = "unset";
    bool void_request_ran = true;
    std::thread worker([&] {
        answer = request_on_gui_thread([&] {
            job_ran = true;
            return std::string("x");
        });
        void_request_ran = run_on_gui_thread([] {});
    });
    worker.join(); // no event is served meanwhile
    QCOMPARE(answer, std::string());
    QVERIFY(!void_request_ran);
    QCoreApplication::processEvents();
    QVERIFY(!job_ran);
}

void GuiRequestsTest::eventWaitEndsWhenSetOrAtShutdown()
{
    auto closed = GuiEvent::create();
    bool set_seen = false;
    std::thread waiter([&] { set_seen = closed->wait(); });
    closed->set();
    waiter.join();
    QVERIFY(set_seen);
    QVERIFY(closed->wait()); // stays set

    auto never_set = GuiEvent::create();
    bool result = true;
    std::thread abandoned([&] { result = never_set->wait(); });
    begin_gui_shutdown();
    abandoned.join();
    QVERIFY(!result);
    QVERIFY(!never_set->is_set());
}

QTEST_MAIN(GuiRequestsTest)
#include "gui_requests_test.moc"
