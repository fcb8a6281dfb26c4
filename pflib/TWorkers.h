// Two background threads for work that would stall a frame (decoding ahead). A task owns its inputs
// and touches nothing of the engine; whoever needs its result waits on the returned future.
#pragma once

#include <functional>
#include <future>

namespace pf {

class TWorkers {
public:
    static constexpr int kThreads = 2;

    // Queues the task (first in, first out) and starts the threads on first use.
    static std::future<void> Run(std::function<void()> task);
    // Runs what is queued, then stops the threads (shut-down); a later Run starts them again.
    static void Finish();
};

}  // namespace pf
