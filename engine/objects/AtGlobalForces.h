// The forces every atmospheric effect of the process shares: gravity (y grows downwards), a steady
// wind, air drag, and random horizontal gusts that build up, hold and change. Scripts set them with
// AtGlobalForceSet; the gusts advance once per frame however many effects run.
#pragma once

#include <vector>

#include "engine/objects/AtVec3.h"

class AtGlobalForces {
public:
    static AtGlobalForces& get();

    // The defaults, with the gust at rest and about to start.
    void reset();
    // gravity + wind + the current gust.
    AtVec3 total() const { return gravity + wind + gust; }
    // Moves the gust on by dt.
    void advance(float dt);
    // Called by every effect on each update: the gust advances on the first call of each frame (a
    // frame ends when an effect calls a second time).
    void tick(const void* effect, float dt);
    // An effect that goes.
    void forget(const void* effect);

    float airCounterforce = 0.05f;
    AtVec3 gravity{0, 9.8f, 0};
    AtVec3 wind;
    float randWindMinForce = 0, randWindMaxForce = 10;
    float randWindMinWaitTime = 0, randWindMaxWaitTime = 10;
    float randWindMinChangeTime = 0.5f, randWindMaxChangeTime = 2;

    // The gust: waiting (holding its value) or building from gustStart to gustTarget.
    AtVec3 gust, gustStart, gustTarget;
    float gustTimer = 1, gustWait = 0, gustChangeTime = 0;
    bool gustBuilding = false;

private:
    std::vector<const void*> tickedThisFrame_;
};
