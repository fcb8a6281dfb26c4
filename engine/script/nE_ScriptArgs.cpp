#include "engine/script/nE_ScriptArgs.h"

#include <climits>
#include <cmath>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Scene.h"

bool nE_ScriptArgs::string(lua_State* L, int index, std::string& out) {
    const int type = lua_type(L, index);
    if (type != LUA_TSTRING && type != LUA_TNUMBER) return false;
    // A copy first: lua_tolstring turns a number into a string in place.
    lua_pushvalue(L, index);
    size_t length = 0;
    const char* text = lua_tolstring(L, -1, &length);
    if (text) out.assign(text, length);
    lua_pop(L, 1);
    return text != nullptr;
}

std::string nE_ScriptArgs::stringOr(lua_State* L, int index, const std::string& fallback) {
    std::string value;
    return string(L, index, value) ? value : fallback;
}

bool nE_ScriptArgs::number(lua_State* L, int index, double& out) {
    if (!lua_isnumber(L, index)) return false;
    out = lua_tonumber(L, index);
    return true;
}

bool nE_ScriptArgs::integer(lua_State* L, int index, int& out) {
    double value = 0;
    if (!number(L, index, value)) return false;
    // Out-of-range and NaN values would make the conversion undefined.
    out = std::isnan(value)  ? 0
          : value >= INT_MAX ? INT_MAX
          : value <= INT_MIN ? INT_MIN
                             : static_cast<int>(value);
    return true;
}

int nE_ScriptArgs::integerOr0(lua_State* L, int index) {
    int value = 0;
    return integer(L, index, value) ? value : 0;
}

nE_Object* nE_ScriptArgs::object(lua_State* L, int index) {
    std::string name;
    if (!string(L, index, name) || !nE_Core::exists()) return nullptr;
    return nE_Core::get()->scene().findObject(name);
}

int nE_ScriptArgs::done(lua_State* L) {
    lua_settop(L, 0);
    return 0;
}
