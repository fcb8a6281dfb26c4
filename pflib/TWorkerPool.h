// A small pool of worker threads for work that does not fit a frame (decoding pictures ahead). Tasks
// own their inputs and hand results back under their own lock; they never touch engine objects or GL.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace pf {

class TWorkerPool {
public:
    // At most two workers: the machine's cores are shared with the frame thread.
    static constexpr int kMaxWorkers = 2;

    explicit TWorkerPool(int workers = kMaxWorkers);
    // Drops the tasks not yet started (their cancel functions run) and waits for the running ones.
    ~TWorkerPool();
    TWorkerPool(const TWorkerPool&) = delete;
    TWorkerPool& operator=(const TWorkerPool&) = delete;

    // Runs work on a worker, first in first out. cancel (if any) runs instead, on the calling thread
    // of Stop, when the pool stops before the task started. False once the pool has stopped.
    bool Submit(std::function<void()> work, std::function<void()> cancel = nullptr);
    // Stops taking tasks, cancels the queued ones and joins the workers; the pool stays stopped.
    void Stop();
    // Tasks queued or running.
    size_t Pending() const;

private:
    struct Task {
        std::function<void()> work, cancel;
    };
    void run();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Task> queue_;
    std::vector<std::thread> threads_;
    size_t running_ = 0;
    bool stopping_ = false;
};

}  // namespace pf
