// Flies the objects the story puts into the diary ("ng_diary_collector"): each is lifted out of the
// scene, flies in a bent path to the diary button on the bar, grows and shrinks on the way, and when it
// has shrunk away its trigger runs. A flash lights the diary button on arrival and when a page is added.
#pragma once

#include <string>
#include <vector>

#include "engine/core/nE_Object.h"
#include "game/interface/nG_FlightPath.h"
#include "game/interface/nG_Widget.h"
#include "game/interface/nG_WidgetState.h"

class nE_Sprite;

class nG_DiaryCollector : public nE_Object, public nG_Widget, public nG_WidgetState {
public:
    static constexpr const char* kName = "ng_diary_collector";
    static constexpr const char* kArrivalSound = "assets/audio/s_common_flyend_indiary";
    static constexpr const char* kFlashImage = "assets/interface/hint/timer_light";
    static constexpr float kTargetX = 46, kTargetY = 683;
    static constexpr float kShrinkSeconds = 0.3f;

    struct Flight : nG_FlightPath {
        nE_Object* object = nullptr;  // owned while flying, a child of the collector
        std::string trigger;
        float time = 0, duration = 0;
        bool arrived = false;
    };

    nG_DiaryCollector();
    // What the collector loads by name, for the content checker.
    static void declareContent();

    void update(float dt) override;
    void onMessage(const nE_Message& message) override;
    // A game saved while something flies keeps its trigger: the flight's end is not lost.
    tinyxml2::XMLElement* dumpState(tinyxml2::XMLDocument& doc) override;
    void restoreState(const tinyxml2::XMLElement* parent) override;

    // Starts a flight; an unknown object, or one that cannot leave its place, is reported and stays.
    void collect(const std::string& objectName, const std::string& trigger);
    void flash();

    std::vector<Flight> flights;
    nE_Sprite* effect = nullptr;
};
