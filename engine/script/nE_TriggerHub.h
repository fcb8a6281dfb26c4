// Registry of triggers, the queue of pending calls, the running stack and the used modules.
// (Placeholder interface: queued calls are kept; execution arrives with the trigger runtime.)
#pragma once

#include <string>
#include <vector>

class nE_TriggerHub {
public:
    // Queues the call string for the next run of the queue; false when it names no trigger.
    bool queueCall(const std::string& sender, const std::string& call);
    // Runs the call at once; false when it names no trigger.
    bool executeNow(const std::string& sender, const std::string& call);
    void runQueue();
};
