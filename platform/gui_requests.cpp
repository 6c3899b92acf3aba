#include "platform/gui_requests.h"

#include "platform/shutdown.h"

#include <QCoreApplication>
#include <QThread>

#include <condition_variable>
#include <mutex>

namespace yejian::platform {
namespace {

// One mutex and one condition for all requests and events: they are few, and shutdown has
// to wake every one of them.
struct Broker {
    std::mutex mutex;
    std::condition_variable changed;
    bool shutdown = false;
    int waiting = 0;
};

Broker& broker()
{
    static Broker instance;
    return instance;
}

struct Request {
    enum class State { waiting, running, done, abandoned };
    State state = State::waiting;
    std::function<void()> job;
};

// Runs on the GUI thread.
void serve(const std::shared_ptr<Request>& request)
{
    Broker& b = broker();
    {
        std::lock_guard lock(b.mutex);
        if (request->state != Request::State::waiting || b.shutdown)
            return; // the waiter has given up, or is about to
        request->state = Request::State::running;
    }
    struct MarkDone {
        Broker& b;
        Request& request;
        ~MarkDone()
        {
            std::lock_guard lock(b.mutex);
            request.state = Request::State::done;
            b.changed.notify_all();
        }
    } mark_done{b, *request};
    request->job();
}

} // namespace

void begin_gui_shutdown()
{
    {
        Broker& b = broker();
        std::lock_guard lock(b.mutex);
        b.shutdown = true;
        b.changed.notify_all();
    }
    // Pauses and requests in flight on other threads end too.
    begin_shutdown();
}

bool gui_shutdown_started()
{
    Broker& b = broker();
    std::lock_guard lock(b.mutex);
    return b.shutdown;
}

void reset_gui_shutdown()
{
    {
        Broker& b = broker();
        std::lock_guard lock(b.mutex);
        b.shutdown = false;
    }
    reset_shutdown();
}

int waiting_gui_requests()
{
    Broker& b = broker();
    std::lock_guard lock(b.mutex);
    return b.waiting;
}

bool on_gui_thread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

bool run_on_gui_thread(std::function<void()> job)
{
    if (on_gui_thread()) {
        job();
        return true;
    }
    auto request = std::make_shared<Request>();
    request->job = std::move(job);

    Broker& b = broker();
    std::unique_lock lock(b.mutex);
    // Posting under the lock: once begin_gui_shutdown() has returned nothing more is posted,
    // so the start routine may destroy the application right after its workers have ended.
    QCoreApplication* app = QCoreApplication::instance();
    if (b.shutdown || !app)
        return false;
    QMetaObject::invokeMethod(app, [request] { serve(request); }, Qt::QueuedConnection);
    ++b.waiting;
    b.changed.wait(lock, [&] {
        return request->state == Request::State::done
            || (b.shutdown && request->state == Request::State::waiting);
    });
    --b.waiting;
    if (request->state != Request::State::done) {
        request->state = Request::State::abandoned;
        return false;
    }
    return true;
}

void GuiEvent::set()
{
    Broker& b = broker();
    std::lock_guard lock(b.mutex);
    set_ = true;
    b.changed.notify_all();
}

bool GuiEvent::is_set() const
{
    Broker& b = broker();
    std::lock_guard lock(b.mutex);
    return set_;
}

bool GuiEvent::wait()
{
    Broker& b = broker();
    std::unique_lock lock(b.mutex);
    b.changed.wait(lock, [&] { return set_ || b.shutdown; });
    return set_;
}

} // namespace yejian::platform
