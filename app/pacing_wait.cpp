#include "app/pacing_wait.h"

#include "platform/shutdown.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <cmath>
#include <limits>

namespace yejian::app {
namespace {

using Clock = std::chrono::steady_clock;

double milliseconds_per_unit(std::int32_t unit)
{
    switch (unit) {
    case milliseconds: return 1;
    case seconds: return 1000;
    case minutes: return 60000;
    case hours: return 3600000;
    default: return unit;
    }
}

// Runs an event loop of the calling thread until the deadline or the shutdown. The timer ends
// the loop; the loop is run again when something else ended it early (a nested quit).
void wait_dispatching_events(Clock::time_point deadline)
{
    QEventLoop loop;
    platform::ShutdownSubscription on_shutdown([&loop] {
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    while (!platform::shutdown_begun()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return;
        // QTimer counts in int milliseconds; a longer wait takes several rounds.
        timer.start(std::chrono::milliseconds(std::min<long long>(left.count(), std::numeric_limits<int>::max())));
        loop.exec();
    }
}

} // namespace

std::int64_t pacing_due_time(std::int32_t interval, std::int32_t unit)
{
    const double due = std::trunc(double(interval) * milliseconds_per_unit(unit) * -10000.0);
    constexpr double lowest = double(std::numeric_limits<std::int64_t>::min());
    if (due <= lowest)
        return std::numeric_limits<std::int64_t>::min();
    if (due >= -lowest)
        return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(due);
}

bool pacing_wait(std::int32_t interval, std::int32_t unit)
{
    const std::int64_t due = pacing_due_time(interval, unit);
    if (due >= 0) // a moment already past
        return true;
    // Steps of 100 ns, capped at a century so the deadline stays inside the clock's range.
    constexpr std::int64_t century = std::int64_t(100) * 365 * 24 * 3600 * 10'000'000;
    const std::int64_t steps = due == std::numeric_limits<std::int64_t>::min() ? century : std::min(-due, century);
    const auto duration = std::chrono::nanoseconds(steps * 100);
    const auto deadline = Clock::now() + duration;
    if (QCoreApplication::instance())
        wait_dispatching_events(deadline);
    else
        platform::sleep_unless_shutdown(deadline - Clock::now());
    return true;
}

} // namespace yejian::app
