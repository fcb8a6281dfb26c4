// Shared helpers of the scene tests: a trigger-queue recorder and objects that log what they see.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/core/nE_Object.h"
#include "engine/core/nE_Scene.h"

namespace scenetest {

using Call = std::pair<std::string, std::string>;  // sender, call string

// Catches every queued trigger call while alive.
class QueueRecorder {
public:
    QueueRecorder() {
        nE_Scene::setQueueHook(
            [this](const std::string& sender, const std::string& call) { calls.emplace_back(sender, call); });
    }
    ~QueueRecorder() { nE_Scene::setQueueHook(nullptr); }
    std::vector<std::string> callStrings() const {
        std::vector<std::string> out;
        for (const Call& c : calls) out.push_back(c.second);
        return out;
    }
    std::vector<std::string> take() {
        std::vector<std::string> out = callStrings();
        calls.clear();
        return out;
    }
    std::vector<Call> calls;
};

// Logs its name into a shared list when drawn, with the world state it got.
class LoggingObject : public nE_Object {
public:
    LoggingObject(const std::string& objectName, std::vector<std::string>* drawLog) : log(drawLog) {
        name = objectName;
    }
    void drawSelf(nE_Render*, nE_RenderState& world) override {
        if (log) log->push_back(name);
        lastDrawn = world;
    }
    void loadResources() override { ++loads; }
    void unloadResources() override { ++unloads; }

    std::vector<std::string>* log;
    nE_RenderState lastDrawn;
    int loads = 0, unloads = 0;
};

// A square input rectangle in local units.
inline void setRect(nE_Object* object, float x, float y, float w, float h) {
    object->inputRectSet = true;
    object->inputRect = nE_Rect{x, y, w, h};
}

}  // namespace scenetest
