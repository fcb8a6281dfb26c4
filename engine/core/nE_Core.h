// The holder of the engine's script-side services: the scene, the trigger hub, the timer hub and the
// Lua state. Created by the first get(); destroy() takes them down in a fixed order.
#pragma once

#include <memory>

struct lua_State;
class nE_Scene;
class nE_TimerHub;
class nE_TriggerHub;

class nE_Core {
public:
    // Creates the core on first use, then registers the engine script functions in its Lua state.
    static nE_Core* get();
    static bool exists();
    // The scene (all objects), the trigger hub, the timer hub, then the Lua state, in this order.
    static void destroy();

    nE_Scene& scene() { return *scene_; }
    nE_TriggerHub& triggerHub() { return *triggerHub_; }
    nE_TimerHub& timerHub() { return *timerHub_; }
    lua_State* lua() { return lua_; }

    // The trigger hub, or none once it is gone during destroy().
    nE_TriggerHub* triggerHubIfAlive() { return triggerHub_.get(); }

private:
    nE_Core();
    ~nE_Core();
    nE_Core(const nE_Core&) = delete;
    nE_Core& operator=(const nE_Core&) = delete;

    lua_State* lua_ = nullptr;
    std::unique_ptr<nE_Scene> scene_;
    std::unique_ptr<nE_TriggerHub> triggerHub_;
    std::unique_ptr<nE_TimerHub> timerHub_;
};
