#pragma once
// The exit clean-up, registered by the start routine: it runs exactly once, when run() is
// called or, at the latest, when the registration goes out of scope (an early return or an
// exception on the way out included).

#include <functional>
#include <utility>

namespace yejian::app {

class ExitCleanup {
public:
    explicit ExitCleanup(std::function<void()> cleanup) : cleanup_(std::move(cleanup)) {}
    ~ExitCleanup() { run(); }
    ExitCleanup(const ExitCleanup&) = delete;
    ExitCleanup& operator=(const ExitCleanup&) = delete;

    void run()
    {
        if (auto cleanup = std::exchange(cleanup_, nullptr))
            cleanup();
    }

private:
    std::function<void()> cleanup_;
};

} // namespace yejian::app
