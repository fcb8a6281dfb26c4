#include "pflib/TWorkers.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace pf {

namespace {

struct Pool {
    std::mutex lock;
    std::condition_variable wake;
    std::deque<std::packaged_task<void()>> queue;
    std::vector<std::thread> threads;
    bool stop = false;

    ~Pool() { finish(); }

    void run() {
        std::unique_lock<std::mutex> held(lock);
        for (;;) {
            wake.wait(held, [this] { return stop || !queue.empty(); });
            if (queue.empty()) return;
            std::packaged_task<void()> task = std::move(queue.front());
            queue.pop_front();
            held.unlock();
            task();
            held.lock();
        }
    }

    void finish() {
        std::vector<std::thread> ending;
        {
            std::lock_guard<std::mutex> held(lock);
            stop = true;
            ending.swap(threads);
        }
        wake.notify_all();
        for (std::thread& t : ending) t.join();
        std::lock_guard<std::mutex> held(lock);
        stop = false;
    }
};

Pool& pool() {
    static Pool p;
    return p;
}

}  // namespace

std::future<void> TWorkers::Run(std::function<void()> task) {
    Pool& p = pool();
    std::packaged_task<void()> job(std::move(task));
    std::future<void> result = job.get_future();
    {
        std::lock_guard<std::mutex> held(p.lock);
        p.queue.push_back(std::move(job));
        while (static_cast<int>(p.threads.size()) < kThreads) p.threads.emplace_back([&p] { p.run(); });
    }
    p.wake.notify_one();
    return result;
}

void TWorkers::Finish() {
    pool().finish();
}

}  // namespace pf
