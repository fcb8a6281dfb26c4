#include "pflib/TWorkerPool.h"

#include <algorithm>

namespace pf {

TWorkerPool::TWorkerPool(int workers) {
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
    // Built without threads (the browser's build): no workers, so Submit declines and the caller
    // does the work itself, as it does when the pool has stopped.
    (void)workers;
    stopping_ = true;
#else
    const int count = std::max(1, std::min(workers, kMaxWorkers));
    for (int i = 0; i < count; ++i) threads_.emplace_back([this] { run(); });
#endif
}

TWorkerPool::~TWorkerPool() {
    Stop();
}

bool TWorkerPool::Submit(std::function<void()> work, std::function<void()> cancel) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_) return false;
        queue_.push_back({std::move(work), std::move(cancel)});
    }
    wake_.notify_one();
    return true;
}

void TWorkerPool::Stop() {
    std::deque<Task> dropped;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        dropped.swap(queue_);
    }
    wake_.notify_all();
    for (Task& task : dropped)
        if (task.cancel) task.cancel();
    for (std::thread& thread : threads_)
        if (thread.joinable()) thread.join();
    threads_.clear();
}

size_t TWorkerPool::Pending() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return queue_.size() + running_;
}

void TWorkerPool::run() {
    for (;;) {
        Task task;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return;
            task = std::move(queue_.front());
            queue_.pop_front();
            ++running_;
        }
        task.work();
        std::lock_guard<std::mutex> lock(mutex_);
        --running_;
    }
}

}  // namespace pf
