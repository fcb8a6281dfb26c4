#include "pflib/TFileWriter.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "pflib/TFile.h"
#include "pflib/TFrameStats.h"
#include "pflib/TPlatform.h"
#include "pflib/common/TPath.h"

namespace pf {

namespace {

struct Job {
    str path;
    str bytes;
};

struct Writer {
    std::mutex lock;
    // Signals the thread (work or stop) and the waiters (a job done).
    std::condition_variable wake, done;
    std::deque<Job> queue;
    // The job being written; its bytes are only read while it is in flight.
    Job current;
    bool busy = false;
    bool stop = false;
    std::thread thread;
    std::vector<str> failures;
    std::function<void(const str&)> beforeRename;

    ~Writer() { finish(); }

    bool pendingLocked(const str& path) const {
        if (busy && current.path == path) return true;
        for (const Job& job : queue)
            if (job.path == path) return true;
        return false;
    }

    void run() {
        std::unique_lock<std::mutex> held(lock);
        for (;;) {
            wake.wait(held, [this] { return stop || !queue.empty(); });
            if (queue.empty()) break;
            current = std::move(queue.front());
            queue.pop_front();
            busy = true;
            const auto hook = beforeRename;
            held.unlock();
            const bool ok = TFile::WriteResolved(current.path, current.bytes, hook);
            held.lock();
            if (!ok) failures.push_back(current.path);
            busy = false;
            current = Job();
            done.notify_all();
        }
    }

    void finish() {
        std::thread ending;
        {
            std::lock_guard<std::mutex> held(lock);
            if (!thread.joinable()) return;
            // The thread empties the queue before it looks at the stop flag.
            stop = true;
            ending = std::move(thread);
        }
        wake.notify_all();
        ending.join();
        std::lock_guard<std::mutex> held(lock);
        stop = false;
    }
};

Writer& writer() {
    static Writer w;
    return w;
}

}  // namespace

bool TFileWriter::Write(const str& name, str bytes) {
    const str path = TPlatform::ResolvePath(name);
    if (path.empty() || TPath::IsDirectory(path)) return false;
    // Made here so that a folder that cannot exist fails the save at once, where the caller can say so.
    const str parent = TPath::Parent(path);
    if (!parent.empty()) {
        TPath::MakeDirs(parent);
        if (!TPath::IsDirectory(parent)) return false;
    }
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
    // Built without threads (the browser's build): the write is made here, with the same atomic rule.
    TFrameStats::Mark("write " + path);
    Writer& inline_ = writer();
    if (!TFile::WriteResolved(path, bytes, inline_.beforeRename)) inline_.failures.push_back(path);
    return true;
#endif
    TFrameStats::Mark("save queued " + path);
    Writer& w = writer();
    {
        std::lock_guard<std::mutex> held(w.lock);
        for (auto it = w.queue.begin(); it != w.queue.end(); ++it) {
            if (it->path != path) continue;
            // Not started yet: the newer content takes its place at the back, after what was asked
            // for in between.
            w.queue.erase(it);
            break;
        }
        w.queue.push_back(Job{path, std::move(bytes)});
        if (!w.thread.joinable()) w.thread = std::thread([&w] { w.run(); });
    }
    w.wake.notify_one();
    return true;
}

bool TFileWriter::Pending(const str& name, str& out) {
    const str path = TPlatform::ResolvePath(name);
    if (path.empty()) return false;
    Writer& w = writer();
    std::lock_guard<std::mutex> held(w.lock);
    for (auto it = w.queue.rbegin(); it != w.queue.rend(); ++it) {
        if (it->path != path) continue;
        out = it->bytes;
        return true;
    }
    if (w.busy && w.current.path == path) {
        out = w.current.bytes;
        return true;
    }
    return false;
}

bool TFileWriter::IsPending(const str& name) {
    const str path = TPlatform::ResolvePath(name);
    if (path.empty()) return false;
    Writer& w = writer();
    std::lock_guard<std::mutex> held(w.lock);
    return w.pendingLocked(path);
}

void TFileWriter::WaitFor(const str& path) {
    Writer& w = writer();
    std::unique_lock<std::mutex> held(w.lock);
    // The writer's own thread never waits for itself.
    if (w.thread.get_id() == std::this_thread::get_id()) return;
    w.done.wait(held, [&] { return !w.pendingLocked(path); });
}

void TFileWriter::Flush() {
    Writer& w = writer();
    std::unique_lock<std::mutex> held(w.lock);
    if (w.thread.get_id() == std::this_thread::get_id()) return;
    w.done.wait(held, [&] { return w.queue.empty() && !w.busy; });
}

void TFileWriter::Finish() {
    writer().finish();
}

std::vector<str> TFileWriter::TakeFailures() {
    Writer& w = writer();
    std::lock_guard<std::mutex> held(w.lock);
    std::vector<str> failed;
    failed.swap(w.failures);
    return failed;
}

void TFileWriter::SetBeforeRename(std::function<void(const str&)> hook) {
    Writer& w = writer();
    std::lock_guard<std::mutex> held(w.lock);
    w.beforeRename = std::move(hook);
}

}  // namespace pf
