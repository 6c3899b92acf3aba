#include "app/pacing_wait.h"

#include "platform/shutdown.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <limits>
#include <thread>

using namespace yejian::app;
using Clock = std::chrono::steady_clock;

struct DueTimeCase {
    std::int32_t interval;
    std::int32_t unit;
    std::int64_t due;
};

class PacingDueTime : public testing::TestWithParam<DueTimeCase> {};

TEST_P(PacingDueTime, FollowsTheUnitTable)
{
    EXPECT_EQ(pacing_due_time(GetParam().interval, GetParam().unit), GetParam().due);
}

INSTANTIATE_TEST_SUITE_P(Units, PacingDueTime, testing::Values(
    DueTimeCase{20, seconds, -200'000'000},
    DueTimeCase{1, minutes, -600'000'000},
    DueTimeCase{1, hours, -36'000'000'000},
    DueTimeCase{5, milliseconds, -50'000},
    DueTimeCase{5, 7, -350'000},                 // another code counts its own milliseconds
    DueTimeCase{0, seconds, 0},
    DueTimeCase{-3, seconds, 30'000'000},        // a moment long past
    DueTimeCase{std::numeric_limits<std::int32_t>::max(), hours, std::numeric_limits<std::int64_t>::min()}));

TEST(PacingWait, ReturnsAfterTheIntervalAndAtOnceForPastMoments)
{
    auto start = Clock::now();
    EXPECT_TRUE(pacing_wait(30, milliseconds));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(30));

    start = Clock::now();
    EXPECT_TRUE(pacing_wait(0, seconds));
    EXPECT_TRUE(pacing_wait(-5, seconds));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5)); // neither waits its |interval|
}

TEST(PacingWait, DispatchesEventsPostedToTheWaitingThread)
{
    QObject receiver; // lives in this thread
    std::atomic<bool> ran_in_this_thread{false};
    std::thread poster([&] {
        QMetaObject::invokeMethod(&receiver, [&] { ran_in_this_thread = QThread::currentThread() == receiver.thread(); },
                                  Qt::QueuedConnection);
    });
    poster.join();
    pacing_wait(50, milliseconds);
    EXPECT_TRUE(ran_in_this_thread);
}

TEST(PacingWait, WorkerThreadWaitEndsWhenTheProgramShutsDown)
{
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        pacing_wait(1, hours);
        returned = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(returned);
    yejian::platform::begin_shutdown();
    worker.join(); // would hang for an hour if the shutdown were not seen
    EXPECT_TRUE(returned);
    yejian::platform::reset_shutdown_for_tests();
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
