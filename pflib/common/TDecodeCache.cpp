#include "pflib/common/TDecodeCache.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "pflib/TWorkerPool.h"

namespace pf {

namespace {

using Clock = std::chrono::steady_clock;

struct Slot {
    enum State { kQueued, kRunning, kDone, kCancelled };
    State state = kQueued;
    uint64_t bytes = 0;
    TDecodedImage result;
    Clock::time_point doneAt;
};

struct Cache {
    std::mutex mutex;
    std::condition_variable finished;
    std::unordered_map<str, std::shared_ptr<Slot>> slots;
    uint64_t bytes = 0;
    // Last, so that it goes first: its workers finish before the slots they fill.
    std::unique_ptr<TWorkerPool> pool;
};

Cache& cache() {
    static Cache instance;
    return instance;
}

void forget(Cache& c, std::unordered_map<str, std::shared_ptr<Slot>>::iterator at) {
    c.bytes -= at->second->bytes;
    c.slots.erase(at);
}

}  // namespace

bool TDecodeCache::Ask(const str& path, bool jpeg, uint64_t bytes) {
    Cache& c = cache();
    std::shared_ptr<Slot> slot;
    {
        std::lock_guard<std::mutex> lock(c.mutex);
        if (c.slots.count(path)) return true;
        if (c.bytes + bytes > kMaxBytes) return false;
        if (!c.pool) c.pool.reset(new TWorkerPool());
        slot = std::make_shared<Slot>();
        slot->bytes = bytes;
        c.slots[path] = slot;
        c.bytes += bytes;
    }
    // The task owns its path and its slot; the slot outlives the cache's entry if that is let go.
    auto work = [slot, path, jpeg] {
        Cache& c = cache();
        {
            std::lock_guard<std::mutex> lock(c.mutex);
            if (slot->state != Slot::kQueued) return;
            slot->state = Slot::kRunning;
        }
        TDecodedImage result = TTexture::Decode(path, jpeg);
        {
            std::lock_guard<std::mutex> lock(c.mutex);
            slot->result = std::move(result);
            slot->state = Slot::kDone;
            slot->doneAt = Clock::now();
        }
        c.finished.notify_all();
    };
    auto cancel = [slot] {
        Cache& c = cache();
        {
            std::lock_guard<std::mutex> lock(c.mutex);
            slot->state = Slot::kCancelled;
        }
        c.finished.notify_all();
    };
    std::unique_lock<std::mutex> lock(c.mutex);
    if (c.pool && c.pool->Submit(work, cancel)) return true;
    auto at = c.slots.find(path);
    if (at != c.slots.end() && at->second == slot) forget(c, at);
    return false;
}

bool TDecodeCache::Take(const str& path, TDecodedImage& out) {
    Cache& c = cache();
    std::unique_lock<std::mutex> lock(c.mutex);
    auto at = c.slots.find(path);
    if (at == c.slots.end()) return false;
    std::shared_ptr<Slot> slot = at->second;
    forget(c, at);
    c.finished.wait(lock, [&] { return slot->state == Slot::kDone || slot->state == Slot::kCancelled; });
    if (slot->state != Slot::kDone) return false;
    out = std::move(slot->result);
    return true;
}

void TDecodeCache::Trim() {
    Cache& c = cache();
    const Clock::time_point now = Clock::now();
    const auto lifetime = std::chrono::duration<double>(kLifetimeSeconds);
    std::lock_guard<std::mutex> lock(c.mutex);
    for (auto at = c.slots.begin(); at != c.slots.end();) {
        auto next = std::next(at);
        if (at->second->state == Slot::kDone && now - at->second->doneAt > lifetime) forget(c, at);
        at = next;
    }
}

void TDecodeCache::Stop() {
    Cache& c = cache();
    std::unique_ptr<TWorkerPool> pool;
    {
        std::lock_guard<std::mutex> lock(c.mutex);
        pool = std::move(c.pool);
    }
    // Outside the lock: the running tasks take it to hand their results back.
    if (pool) pool->Stop();
    std::lock_guard<std::mutex> lock(c.mutex);
    c.slots.clear();
    c.bytes = 0;
}

size_t TDecodeCache::Count() {
    Cache& c = cache();
    std::lock_guard<std::mutex> lock(c.mutex);
    return c.slots.size();
}

}  // namespace pf
