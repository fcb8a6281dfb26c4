// A fixture for the engine script functions: a fresh nE_Core (scene, hubs, Lua state with the
// functions registered) and a resource cache, torn down after each test.
#pragma once

#include <gtest/gtest.h>

#include <lua.hpp>
#include <string>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Factory.h"
#include "engine/core/nE_Object.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/objects/nE_AnimSprite.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/script/nE_TimerHub.h"
#include "engine/script/nE_Trigger.h"
#include "engine/script/nE_TriggerHub.h"

namespace script_test {

class ScriptFunctionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (nE_Core::exists()) nE_Core::destroy();
        nE_ResourceCache::create();
        core = nE_Core::get();
        L = core->lua();
    }
    void TearDown() override {
        nE_Core::destroy();
        nE_ResourceCache::destroy();
    }

    // Runs the code; the Lua error message, or empty when it ran.
    std::string run(const std::string& code) {
        std::string error;
        if (luaL_loadstring(L, code.c_str()) != 0 || lua_pcall(L, 0, 0, 0) != 0) {
            const char* message = lua_tostring(L, -1);
            error = message ? message : "?";
            lua_pop(L, 1);
        }
        return error;
    }
    // The value of an expression in its string form ("nil" for nil).
    std::string eval(const std::string& expression) {
        const std::string error = run("__result = tostring(" + expression + ")");
        if (!error.empty()) return "<error: " + error + ">";
        lua_getglobal(L, "__result");
        std::string value = lua_tostring(L, -1);
        lua_pop(L, 1);
        return value;
    }

    template <class T = nE_Object>
    T* add(const std::string& name, nE_Object* parent = nullptr) {
        T* object = new T();
        object->name = name;
        scene().attach(parent ? parent : scene().root(), object);
        return object;
    }
    void trigger(const std::string& name, const std::string& code) {
        core->triggerHub().registerTrigger(std::make_unique<nE_Trigger>(name, code));
    }
    nE_Scene& scene() { return core->scene(); }

    nE_Core* core = nullptr;
    lua_State* L = nullptr;
};

}  // namespace script_test
