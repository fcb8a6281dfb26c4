// One queued or running call of a trigger.
#pragma once

#include <memory>
#include <string>

#include "engine/script/nE_Trigger.h"

struct nE_TriggerCall {
    // Shared with the registry so that a call queued or running keeps its trigger alive even when the
    // trigger is removed or the registry is cleared meanwhile.
    std::shared_ptr<nE_Trigger> trigger;
    std::string params;  // the text between the parentheses of the call string
    std::string sender;
};
