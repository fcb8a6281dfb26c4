#include "pflib/TWorkers.h"

#include <memory>
#include <mutex>

#include "pflib/TWorkerPool.h"

namespace pf {

namespace {

// One pool for the program's tasks that hand back a future; started on first use.
struct Shared {
    std::mutex lock;
    std::unique_ptr<TWorkerPool> pool;
};

Shared& shared() {
    static Shared s;
    return s;
}

}  // namespace

std::future<void> TWorkers::Run(std::function<void()> task) {
    auto job = std::make_shared<std::packaged_task<void()>>(std::move(task));
    std::future<void> result = job->get_future();
    Shared& s = shared();
    std::lock_guard<std::mutex> held(s.lock);
    if (!s.pool) s.pool.reset(new TWorkerPool(kThreads));
    // A task queued when the pool stops still runs, on the stopping thread: its future is kept.
    // A pool without workers (a build without threads) declines: the task runs here.
    if (!s.pool->Submit([job] { (*job)(); }, [job] { (*job)(); })) (*job)();
    return result;
}

void TWorkers::Finish() {
    std::unique_ptr<TWorkerPool> ending;
    {
        Shared& s = shared();
        std::lock_guard<std::mutex> held(s.lock);
        ending.swap(s.pool);
    }
    if (ending) ending->Stop();
}

}  // namespace pf
