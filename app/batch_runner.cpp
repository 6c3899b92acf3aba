#include "app/batch_runner.h"

#include "app/upload_batch.h"

#include <algorithm>

namespace yejian::app {

BatchRunner::~BatchRunner() { join_all(); }

void BatchRunner::start(std::shared_ptr<BatchControls> controls, std::string& session_cookies)
{
    enter_running_state(*controls);
    join_ended();
    auto ended = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([controls, &session_cookies, ended] {
        run_batch(*controls, session_cookies);
        *ended = true;
    });
    std::lock_guard lock(mutex_);
    workers_.push_back({std::move(thread), std::move(ended)});
}

void BatchRunner::join_all()
{
    std::vector<Worker> workers;
    {
        std::lock_guard lock(mutex_);
        workers.swap(workers_);
    }
    for (auto& worker : workers)
        worker.thread.join();
}

int BatchRunner::running() const
{
    std::lock_guard lock(mutex_);
    return int(std::count_if(workers_.begin(), workers_.end(), [](const Worker& w) { return !*w.ended; }));
}

// Threads of finished batches are joined when the next batch starts, so they don't pile up
// over days of batches.
void BatchRunner::join_ended()
{
    std::vector<Worker> ended;
    {
        std::lock_guard lock(mutex_);
        auto split = std::stable_partition(workers_.begin(), workers_.end(), [](const Worker& w) { return !*w.ended; });
        std::move(split, workers_.end(), std::back_inserter(ended));
        workers_.erase(split, workers_.end());
    }
    for (auto& worker : ended)
        worker.thread.join();
}

BatchRunner& batch_runner()
{
    static BatchRunner runner;
    return runner;
}

} // namespace yejian::app
