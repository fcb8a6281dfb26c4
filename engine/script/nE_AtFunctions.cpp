#include "engine/script/nE_AtFunctions.h"

#include <cmath>
#include <lua.hpp>

#include "engine/objects/AtGlobalForces.h"

namespace {

// Raw reads throughout: a metatable on the script's table must not run code from inside this function.
void pushField(lua_State* L, int table, const char* key) {
    lua_pushstring(L, key);
    lua_rawget(L, table);
}

void readNumber(lua_State* L, int table, const char* key, float& out) {
    pushField(L, table, key);
    if (lua_type(L, -1) == LUA_TNUMBER) {
        const float value = static_cast<float>(lua_tonumber(L, -1));
        if (std::isfinite(value)) out = value;
    }
    lua_pop(L, 1);
}

// An array {x, y, z}; taken only when all three are finite numbers.
void readVector(lua_State* L, int table, const char* key, AtVec3& out) {
    pushField(L, table, key);
    if (lua_istable(L, -1)) {
        float v[3];
        bool ok = true;
        for (int i = 0; i < 3; ++i) {
            lua_rawgeti(L, -1, i + 1);
            ok = ok && lua_type(L, -1) == LUA_TNUMBER;
            v[i] = static_cast<float>(lua_tonumber(L, -1));
            ok = ok && std::isfinite(v[i]);
            lua_pop(L, 1);
        }
        if (ok) out = AtVec3(v[0], v[1], v[2]);
    }
    lua_pop(L, 1);
}

}  // namespace

int nE_AtFunctions::AtGlobalForceSet(lua_State* L) {
    if (!lua_istable(L, 1)) return 0;
    AtGlobalForces& f = AtGlobalForces::get();
    readNumber(L, 1, "air_counterforce", f.airCounterforce);
    readVector(L, 1, "gravity_force", f.gravity);
    readVector(L, 1, "wind_force", f.wind);
    readNumber(L, 1, "rand_wind_min_force", f.randWindMinForce);
    readNumber(L, 1, "rand_wind_max_force", f.randWindMaxForce);
    readNumber(L, 1, "rand_wind_min_wait_time", f.randWindMinWaitTime);
    readNumber(L, 1, "rand_wind_max_wait_time", f.randWindMaxWaitTime);
    readNumber(L, 1, "rand_wind_min_change_time", f.randWindMinChangeTime);
    readNumber(L, 1, "rand_wind_max_change_time", f.randWindMaxChangeTime);
    return 0;
}
