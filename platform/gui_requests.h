#pragma once
// Control access from other threads. Widgets belong to the GUI thread, so a worker hands the
// GUI thread a job and waits until it has run: a synchronous request.
//
// Shutdown can never deadlock on it. The start routine begins the shutdown once its event
// loop has ended and before it waits for any worker; from then on a request that is still
// waiting, and every later one, returns at once without its job having run, and its result
// is the empty one. A job that has already started on the GUI thread is finished first: the
// GUI thread is running it, so it is not waiting for anybody.

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

namespace yejian::platform {

// Called by the start routine; process-wide. Begins the program's shutdown as well
// (platform/shutdown.h), so pauses and requests in flight end too.
void begin_gui_shutdown();
bool gui_shutdown_started();
// A new GUI session begins (the start routine calls it first; tests run several sessions).
void reset_gui_shutdown();

// Requests posted to the GUI thread and not yet served or given up; for tests that need a
// request to be pending.
int waiting_gui_requests();

// True on the thread of the QCoreApplication instance.
bool on_gui_thread();

// Runs job on the GUI thread and waits for it. On the GUI thread itself the job runs at once.
// Returns false, without running the job, when shutdown has begun or there is no application.
bool run_on_gui_thread(std::function<void()> job);

// run_on_gui_thread with a result: fn's result, or a value-initialised one (empty text, 0,
// false) when the request did not run. fn may refer to the caller's locals: a job either
// never runs or finishes before this returns.
template <class Fn>
auto request_on_gui_thread(Fn fn) -> std::invoke_result_t<Fn&>
{
    using Result = std::invoke_result_t<Fn&>;
    if constexpr (std::is_void_v<Result>) {
        run_on_gui_thread(std::move(fn));
    } else {
        Result result{};
        if (!run_on_gui_thread([&result, &fn] { result = fn(); }))
            return Result{};
        return result;
    }
}

// A one-shot event that the GUI thread sets and another thread waits for, such as "the user
// closed the message box". Shared, because the GUI side may outlive the waiter.
class GuiEvent {
public:
    static std::shared_ptr<GuiEvent> create() { return std::make_shared<GuiEvent>(); }

    void set();
    bool is_set() const;
    // Waits until the event is set (true) or shutdown begins first (false).
    bool wait();

private:
    bool set_ = false; // guarded by the requests' mutex
};

} // namespace yejian::platform
