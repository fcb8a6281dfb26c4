#include "engine/script/nE_PartSysFunctions.h"

#include <cmath>
#include <cstdlib>
#include <lua.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/nE_Object.h"
#include "engine/objects/nE_PartSysImpl_Complex.h"
#include "engine/script/nE_LuaSandbox.h"
#include "engine/script/nE_PartSysScript.h"
#include "engine/script/nE_SLHelper_Lua.h"

namespace {

nE_PartSysImpl_Complex* systemOf(lua_State* L) {
    return nE_PartSysScript::systemOf(L);
}

float numberAt(lua_State* L, int index) {
    return static_cast<float>(lua_tonumber(L, index));
}

// A property index: a number that is a whole 0..9; -1 otherwise.
int propertyAt(lua_State* L, int index) {
    if (lua_type(L, index) != LUA_TNUMBER) return -1;
    const double value = lua_tonumber(L, index);
    if (!(value >= 0 && value < nE_PartSysImpl_Complex::kPropertyCount)) return -1;
    const int whole = static_cast<int>(value);
    return whole == value ? whole : -1;
}

// A name only when the argument is a string (a number is an index, never converted in place). The
// view lives as long as the argument.
bool nameAt(lua_State* L, int index, std::string_view& out) {
    if (lua_type(L, index) != LUA_TSTRING) return false;
    size_t length = 0;
    const char* text = lua_tolstring(L, index, &length);
    out = std::string_view(text, length);
    return true;
}

}  // namespace

void nE_PartSysFunctions::registerAll(lua_State* L, nE_PartSysImpl_Complex* system) {
    static const luaL_Reg kFunctions[] = {{"CreateEmitter", CreateEmitter},
                                          {"CreateParticles", CreateParticles},
                                          {"DieAfter", DieAfter},
                                          {"Random", Random},
                                          {"Animate", Animate},
                                          {"DeleteMe", DeleteMe},
                                          {"ObjGet", ObjGet},
                                          {"GetPosFromMask", GetPosFromMask},
                                          {"SetProperty", SetProperty},
                                          {"SetIndependent", SetIndependent},
                                          {"GetProperty", GetProperty}};
    for (const luaL_Reg& f : kFunctions) {
        nE_LuaSandbox::pushFunction(L, f.func);
        lua_setfield(L, LUA_GLOBALSINDEX, f.name);
    }
    static const char* const names[nE_PartSysImpl_Complex::kPropertyCount] = {
        "ne_pos_x", "ne_pos_y", "ne_pos_z",   "ne_scale_x", "ne_scale_y",
        "ne_angle", "ne_alpha", "ne_color_r", "ne_color_g", "ne_color_b"};
    for (int i = 0; i < nE_PartSysImpl_Complex::kPropertyCount; ++i) {
        lua_pushinteger(L, i);
        lua_setfield(L, LUA_GLOBALSINDEX, names[i]);
    }
    lua_pushlightuserdata(L, system);
    lua_setfield(L, LUA_GLOBALSINDEX, "pointer");
    lua_pushinteger(L, 0);
    lua_setfield(L, LUA_GLOBALSINDEX, "ps_state");
    lua_pushnumber(L, 0);
    lua_setfield(L, LUA_GLOBALSINDEX, "ps_dt");
}

int nE_PartSysFunctions::CreateEmitter(lua_State* L) {
    nE_PartSysImpl_Complex* system = systemOf(L);
    std::string_view name;
    if (system) {
        nameAt(L, 1, name);
        system->createEmitter(name, numberAt(L, 2), numberAt(L, 3));
    }
    return 0;
}

int nE_PartSysFunctions::CreateParticles(lua_State* L) {
    if (nE_PartSysImpl_Complex* system = systemOf(L)) system->createParticles(numberAt(L, 1));
    return 0;
}

int nE_PartSysFunctions::DieAfter(lua_State* L) {
    if (nE_PartSysImpl_Complex* system = systemOf(L)) system->dieAfter(numberAt(L, 1));
    return 0;
}

int nE_PartSysFunctions::Random(lua_State* L) {
    const double a = lua_tonumber(L, 1), b = lua_tonumber(L, 2);
    lua_pushnumber(L, a + static_cast<double>(std::rand() % 10000) * (b - a) / 10000);
    return 1;
}

int nE_PartSysFunctions::Animate(lua_State* L) {
    nE_PartSysImpl_Complex* system = systemOf(L);
    const int property = propertyAt(L, 1);
    if (!system || property < 0 || !lua_istable(L, 2)) return 0;
    std::vector<float> numbers;
    // Raw reads: no metamethod of the code's runs here.
    for (int i = 1; i <= nE_PartSysImpl_Complex::kMaxChannelNumbers; ++i) {
        lua_rawgeti(L, 2, i);
        const bool isNumber = lua_type(L, -1) == LUA_TNUMBER;
        if (isNumber) numbers.push_back(numberAt(L, -1));
        lua_pop(L, 1);
        if (!isNumber) break;
    }
    system->animate(property, numbers);
    return 0;
}

int nE_PartSysFunctions::DeleteMe(lua_State* L) {
    if (nE_PartSysImpl_Complex* system = systemOf(L)) system->deleteCurrentEmitter();
    return 0;
}

int nE_PartSysFunctions::ObjGet(lua_State* L) {
    nE_PartSysImpl_Complex* system = systemOf(L);
    lua_newtable(L);
    if (system && system->owner) {
        nE_SLHelper_Lua helper(L);
        system->owner->saveProperties(helper);
    }
    return 1;
}

int nE_PartSysFunctions::GetPosFromMask(lua_State* L) {
    nE_PartSysImpl_Complex* system = systemOf(L);
    const pf::TVec2 point = system ? system->maskPointWorld() : pf::TVec2{};
    lua_createtable(L, 0, 2);
    lua_pushnumber(L, point.x);
    lua_setfield(L, -2, "x");
    lua_pushnumber(L, point.y);
    lua_setfield(L, -2, "y");
    return 1;
}

int nE_PartSysFunctions::SetProperty(lua_State* L) {
    nE_PartSysImpl_Complex* system = systemOf(L);
    if (!system) return 0;
    std::string_view name;
    if (nameAt(L, 1, name))
        system->setValue(name, numberAt(L, 2));
    else
        system->setProperty(propertyAt(L, 1), numberAt(L, 2));
    return 0;
}

int nE_PartSysFunctions::SetIndependent(lua_State* L) {
    if (nE_PartSysImpl_Complex* system = systemOf(L)) system->setIndependent();
    return 0;
}

int nE_PartSysFunctions::GetProperty(lua_State* L) {
    nE_PartSysImpl_Complex* system = systemOf(L);
    float result = 0;
    if (system) {
        std::string_view name;
        result = nameAt(L, 1, name) ? system->value(name) : system->property(propertyAt(L, 1));
    }
    lua_pushnumber(L, result);
    return 1;
}
