// Flies the objects found in a hidden-object scene to their task lines ("ng_ho_collector"): each is
// lifted out of the scene with a trail of sparks, flies in a bent path to the line of its task (which
// may move while it flies), grows and shrinks on the way, and when it has shrunk away its task is
// completed. A room's reward object is kept: after its flight it goes back under its old parent.
#pragma once

#include <string>
#include <vector>

#include "engine/core/nE_Object.h"
#include "game/interface/nG_FlightPath.h"
#include "game/interface/nG_Widget.h"
#include "game/interface/nG_WidgetState.h"

class nE_ParticleSystem;

class nG_HoCollector : public nE_Object, public nG_Widget, public nG_WidgetState {
public:
    static constexpr const char* kName = "ng_ho_collector";
    static constexpr const char* kTrailEffect = "assets/levels/common/ho_fly_effect";
    static constexpr const char* kTrailPrefix = "ng_ho_collector_fly_particles_";
    // After arriving, the object shrinks away over this time.
    static constexpr float kShrinkSeconds = 0.3f;
    // Where kept objects saved during a flight wait until the dialog shows them: off the screen.
    static constexpr float kParkedX = 10000;

    struct Flight : nG_FlightPath {
        nE_Object* object = nullptr;  // owned while flying, a child of the collector
        std::string task;
        float time = 0, duration = 0;
        bool keep = false;
        nE_ParticleSystem* trail = nullptr;  // owned, a child of the collector
    };

    nG_HoCollector();
    // What the collector loads by name, for the content checker.
    static void declareContent();

    void update(float dt) override;
    void onMessage(const nE_Message& message) override;
    // A game saved during a flight completes the flight's task when it is continued; a kept object
    // comes back under its parent, off the screen.
    tinyxml2::XMLElement* dumpState(tinyxml2::XMLDocument& doc) override;
    void restoreState(const tinyxml2::XMLElement* parent) override;

    // Starts a flight. An unknown object, one already flying, one that cannot leave its place, or a
    // task the task list does not have, is reported and nothing happens: nothing is counted twice.
    void collect(const std::string& objectName, const std::string& task);
    // Where the task's line stands, in the collector's units; false when the list has no such task.
    static bool target(const std::string& task, float& x, float& y);

    std::vector<Flight> flights;
    // The name of the parent the last kept object had when it was collected.
    std::string keptParent;

private:
    void land(const Flight& flight);
    // Whether the object is still one of the collector's children (scripts may take one away).
    bool owns(const nE_Object* object) const;
};
