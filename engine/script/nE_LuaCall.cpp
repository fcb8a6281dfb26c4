#include "engine/script/nE_LuaCall.h"

#include "engine/script/nE_LuaChunk.h"
#include "engine/script/nE_LuaSandbox.h"

namespace {

// Message handler: keeps the traceback in the std::string given as upvalue and passes the message on.
int collectTraceback(lua_State* L) {
    auto* out = static_cast<std::string*>(lua_touserdata(L, lua_upvalueindex(1)));
    if (out) *out = nE_LuaChunk::traceback(L, 1);
    lua_settop(L, 1);
    return 1;
}

int rawSetGlobal(lua_State* L) {
    lua_settop(L, 2);
    lua_rawset(L, LUA_GLOBALSINDEX);
    return 0;
}

}  // namespace

std::string nE_LuaCall::errorText(lua_State* L) {
    if (lua_isstring(L, -1)) {
        size_t length = 0;
        const char* text = lua_tolstring(L, -1, &length);
        return std::string(text, length);
    }
    return "(error object is not a string)";
}

bool nE_LuaCall::call(lua_State* L, int nargs, int nresults, std::string& error, std::string& traceback) {
    error.clear();
    traceback.clear();
    const int function = lua_gettop(L) - nargs;
    lua_pushlightuserdata(L, &traceback);
    lua_pushcclosure(L, collectTraceback, 1);
    lua_insert(L, function);
    const int entered = nE_LuaSandbox::enter(L);
    const int status = lua_pcall(L, nargs, nresults, function);
    const bool stopped = nE_LuaSandbox::stopped(L);
    nE_LuaSandbox::leave(L, entered);
    if (status != 0) {
        error = errorText(L);
        // A stop can surface as a refused allocation; it is reported as what it is.
        if (stopped && error.find(nE_LuaSandbox::kRunawayMessage) == std::string::npos)
            error = nE_LuaSandbox::kRunawayMessage;
        lua_settop(L, function - 1);
        return false;
    }
    lua_remove(L, function);
    return true;
}

bool nE_LuaCall::protect(lua_State* L, lua_CFunction f, void* data, std::string& error) {
    error.clear();
    const int top = lua_gettop(L);
    // The engine's own work: the memory cap of scripts does not hold it.
    const int entered = nE_LuaSandbox::enter(L, true);
    const int status = lua_cpcall(L, f, data);
    nE_LuaSandbox::leave(L, entered);
    if (status != 0) error = errorText(L);
    lua_settop(L, top);
    return status == 0;
}

bool nE_LuaCall::setGlobal(lua_State* L, const char* name) {
    lua_pushcfunction(L, rawSetGlobal);
    lua_insert(L, -2);
    lua_pushstring(L, name);
    lua_insert(L, -2);
    std::string error, traceback;
    return call(L, 2, 0, error, traceback);
}
