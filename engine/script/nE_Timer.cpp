#include "engine/script/nE_Timer.h"

bool nE_Timer::runs() const {
    if (!running) return false;
    for (const auto& tag : tags) {
        if (!tag.second) return false;
    }
    return true;
}
