// Shared helpers of the script tests: a Lua state of their own, reading Lua values back, and catching
// the debug lines the engine writes.
#pragma once

#include <lua.hpp>
#include <string>
#include <vector>

#include "engine/core/nE_Listener.h"
#include "engine/core/nE_Mediator.h"
#include "engine/core/nE_Messages.h"

namespace script_test {

// Records every debug line while alive; installs a mediator when the program has none.
class DebugLines : public nE_Listener {
public:
    DebugLines() {
        previous_ = nE_Mediator::current();
        if (!previous_) nE_Mediator::setCurrent(&own_);
        nE_Mediator::current()->subscribe(MSG_DEBUG_TEXT, this);
    }
    ~DebugLines() override {
        nE_Mediator::current()->unsubscribe(MSG_DEBUG_TEXT, this);
        if (!previous_) nE_Mediator::setCurrent(nullptr);
    }
    void onMessage(const nE_Message& message) override {
        lines.emplace_back(message.payload<MSG_DEBUG_TEXT>());
    }

    std::vector<std::string> lines;

private:
    nE_Mediator own_;
    nE_Mediator* previous_ = nullptr;
};

// The value of a Lua expression as a string ("nil" for nil, "<error>" when it does not run).
inline std::string eval(lua_State* L, const std::string& expression) {
    const int top = lua_gettop(L);
    std::string result = "<error>";
    if (luaL_loadstring(L, ("return " + expression).c_str()) == 0 && lua_pcall(L, 0, 1, 0) == 0) {
        if (lua_isnil(L, -1)) {
            result = "nil";
        } else if (lua_isboolean(L, -1)) {
            result = lua_toboolean(L, -1) ? "true" : "false";
        } else if (const char* text = lua_tostring(L, -1)) {
            result = text;
        } else {
            result = lua_typename(L, lua_type(L, -1));
        }
    }
    lua_settop(L, top);
    return result;
}

inline void run(lua_State* L, const std::string& code) {
    if (luaL_dostring(L, code.c_str()) != 0) lua_pop(L, 1);
}

// A Lua state that closes itself.
struct LuaState {
    LuaState() : L(luaL_newstate()) { luaL_openlibs(L); }
    ~LuaState() { lua_close(L); }
    LuaState(const LuaState&) = delete;
    LuaState& operator=(const LuaState&) = delete;
    operator lua_State*() const { return L; }
    lua_State* L;
};

}  // namespace script_test
