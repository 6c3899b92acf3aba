#pragma once
// The start button's side of a batch: one worker thread per batch, and at shutdown a wait
// for every worker, so the session state is released only once no batch can touch it.

#include "app/batch_controls.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace yejian::app {

class BatchRunner {
public:
    BatchRunner() = default;
    ~BatchRunner();
    BatchRunner(const BatchRunner&) = delete;
    BatchRunner& operator=(const BatchRunner&) = delete;

    // The start handler, on the GUI thread: the window goes Running, then a new worker thread
    // runs the batch over `controls` with `session_cookies`, and this returns at once.
    // `session_cookies` must outlive the worker (join_all() waits for it).
    void start(std::shared_ptr<BatchControls> controls, std::string& session_cookies);

    // Waits for every worker to end. Called once the shutdown has begun, so a worker in a
    // pause, a request or a control request ends promptly.
    void join_all();

    // Workers that have not ended yet.
    int running() const;

private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> ended;
    };
    void join_ended();

    mutable std::mutex mutex_;
    std::vector<Worker> workers_;
};

// The program's runner: the Upload window starts batches on it, the start routine joins it.
BatchRunner& batch_runner();

} // namespace yejian::app
