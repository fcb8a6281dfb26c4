#include "engine/objects/AtGlobalForces.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/core/nE_Easing.h"

namespace {

float r() {
    return static_cast<float>(std::rand() % 10000) * 0.0001f;
}

float rnd(float a, float b) {
    return nE_Easing::lerp(a, b, r());
}

}  // namespace

AtGlobalForces& AtGlobalForces::get() {
    static AtGlobalForces forces;
    return forces;
}

void AtGlobalForces::reset() {
    *this = AtGlobalForces();
}

void AtGlobalForces::advance(float dt) {
    gustTimer += dt;
    if (!gustBuilding) {
        if (gustTimer <= gustWait) return;
        gustStart = gust;
        const float angle = r() * 6.2831853f;
        gustTarget = AtVec3(std::cos(angle), 0, std::sin(angle)) * rnd(randWindMinForce, randWindMaxForce);
        gustTimer = 0;
        gustChangeTime = rnd(randWindMinChangeTime, randWindMaxChangeTime);
        gustBuilding = true;
        return;
    }
    if (gustTimer > gustChangeTime) {
        gust = gustTarget;
        gustWait = rnd(randWindMinWaitTime, randWindMaxWaitTime);
        gustTimer = 0;
        gustBuilding = false;
        return;
    }
    gust = gustStart + (gustTarget - gustStart) * (gustTimer / gustChangeTime);
}

void AtGlobalForces::tick(const void* effect, float dt) {
    if (std::find(tickedThisFrame_.begin(), tickedThisFrame_.end(), effect) != tickedThisFrame_.end())
        tickedThisFrame_.clear();
    if (tickedThisFrame_.empty()) advance(dt);
    tickedThisFrame_.push_back(effect);
}

void AtGlobalForces::forget(const void* effect) {
    tickedThisFrame_.erase(std::remove(tickedThisFrame_.begin(), tickedThisFrame_.end(), effect),
                           tickedThisFrame_.end());
}
