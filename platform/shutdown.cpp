#include "platform/shutdown.h"

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>

namespace yejian::platform {
namespace {

struct ShutdownState {
    std::mutex mutex;
    std::condition_variable changed;
    bool begun = false;
    std::atomic<bool> begun_seen{false}; // the same, for checks that run often and take no lock
    long next_id = 1;
    std::map<long, std::function<void()>> subscribers;
};

ShutdownState& state()
{
    static ShutdownState instance;
    return instance;
}

} // namespace

void begin_shutdown()
{
    auto& s = state();
    std::lock_guard lock(s.mutex);
    if (s.begun)
        return;
    s.begun = true;
    s.begun_seen = true;
    // Subscribers are told under the lock, so a subscription that ends on another thread
    // waits until its callback has returned and never leaves it running on a dead object.
    for (auto& [id, callback] : s.subscribers)
        callback();
    s.subscribers.clear();
    s.changed.notify_all();
}

bool shutdown_begun() { return state().begun_seen; }

bool sleep_unless_shutdown(std::chrono::steady_clock::duration duration)
{
    auto& s = state();
    const auto deadline = std::chrono::steady_clock::now() + duration;
    std::unique_lock lock(s.mutex);
    return !s.changed.wait_until(lock, deadline, [&] { return s.begun; });
}

ShutdownSubscription::ShutdownSubscription(std::function<void()> on_shutdown)
{
    auto& s = state();
    {
        std::lock_guard lock(s.mutex);
        if (!s.begun) {
            id_ = s.next_id++;
            s.subscribers.emplace(id_, std::move(on_shutdown));
            return;
        }
    }
    on_shutdown();
}

ShutdownSubscription::~ShutdownSubscription()
{
    if (id_ == 0)
        return;
    auto& s = state();
    std::lock_guard lock(s.mutex);
    s.subscribers.erase(id_);
}

void reset_shutdown()
{
    auto& s = state();
    std::lock_guard lock(s.mutex);
    s.begun = false;
    s.begun_seen = false;
    s.subscribers.clear();
}

} // namespace yejian::platform
