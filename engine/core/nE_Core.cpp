#include "engine/core/nE_Core.h"

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include "engine/core/nE_Scene.h"
#include "engine/script/nE_LuaSandbox.h"
#include "engine/script/nE_ScriptFunctions.h"
#include "engine/script/nE_TimerHub.h"
#include "engine/script/nE_TriggerHub.h"

static nE_Core* g_core = nullptr;

nE_Core::nE_Core() {
    // The Lua state comes first so that the hubs can be handed it.
    lua_ = nE_LuaSandbox::newState();
    scene_ = std::make_unique<nE_Scene>();
    triggerHub_ = std::make_unique<nE_TriggerHub>(lua_);
    timerHub_ = std::make_unique<nE_TimerHub>(triggerHub_.get());
}

nE_Core::~nE_Core() {
    // Objects dying with the scene may still queue calls (a hovered object's leave trigger), so the
    // trigger hub outlives the scene.
    scene_.reset();
    triggerHub_.reset();
    timerHub_.reset();
    nE_LuaSandbox::close(lua_);
    lua_ = nullptr;
}

nE_Core* nE_Core::get() {
    if (!g_core) {
        g_core = new nE_Core();
        if (g_core->lua_) nE_ScriptFunctions::registerEngineFunctions(g_core->lua_);
    }
    return g_core;
}

bool nE_Core::exists() {
    return g_core != nullptr;
}

void nE_Core::destroy() {
    if (!g_core) return;
    // The instance stays published while its parts go down, so that their destructors can reach it.
    delete g_core;
    g_core = nullptr;
}
