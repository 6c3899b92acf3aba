#pragma once
// The program's shutdown, as every waiting thread sees it. Once the last window is gone the
// start routine begins the shutdown before it waits for a running batch: from then on waits end
// at once and subscribers are told, so nothing waits for a GUI thread that is waiting for it.

#include <chrono>
#include <functional>

namespace yejian::platform {

void begin_shutdown();
bool shutdown_begun();

// Sleeps for `duration` unless the shutdown begins first; true when the whole time passed.
bool sleep_unless_shutdown(std::chrono::steady_clock::duration duration);

// Calls `on_shutdown` once when the shutdown begins (at once, on this thread, when it already
// has), unless the subscription has ended by then. The callback runs on the thread that
// begins the shutdown, must not block, and must not call the functions of this header.
class ShutdownSubscription {
public:
    explicit ShutdownSubscription(std::function<void()> on_shutdown);
    ~ShutdownSubscription();
    ShutdownSubscription(const ShutdownSubscription&) = delete;
    ShutdownSubscription& operator=(const ShutdownSubscription&) = delete;

private:
    long id_ = 0;
};

// Tests run several start-ups in one process.
void reset_shutdown_for_tests();

} // namespace yejian::platform
