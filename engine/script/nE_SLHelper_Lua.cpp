#include "engine/script/nE_SLHelper_Lua.h"

#include <climits>
#include <cstdlib>
#include <lua.hpp>

bool nE_SLHelper_Lua::tableOnTop() const {
    return lua_ && lua_istable(lua_, -1);
}

void nE_SLHelper_Lua::setField(const char* name) {
    lua_pushstring(lua_, name);
    lua_insert(lua_, -2);
    lua_rawset(lua_, -3);
}

bool nE_SLHelper_Lua::pushField(const char* name) {
    if (!tableOnTop()) return false;
    // Raw: a metatable on a script's table must not run code (and raise) in the middle of C++.
    lua_pushstring(lua_, name);
    lua_rawget(lua_, -2);
    if (lua_isnil(lua_, -1)) {
        lua_pop(lua_, 1);
        return false;
    }
    return true;
}

void nE_SLHelper_Lua::writeVector(const char* name, const float* values, int count) {
    if (!tableOnTop()) return;
    lua_createtable(lua_, count, 0);
    for (int i = 0; i < count; ++i) {
        lua_pushnumber(lua_, values[i]);
        lua_rawseti(lua_, -2, i + 1);
    }
    setField(name);
}

bool nE_SLHelper_Lua::readVector(const char* name, float* out, int count) {
    if (!pushField(name)) return false;
    const bool ok = lua_istable(lua_, -1);
    if (ok) {
        for (int i = 0; i < count; ++i) {
            lua_rawgeti(lua_, -1, i + 1);
            out[i] = static_cast<float>(lua_tonumber(lua_, -1));
            lua_pop(lua_, 1);
        }
    }
    lua_pop(lua_, 1);
    return ok;
}

void nE_SLHelper_Lua::writeVec3(const char* name, float x, float y, float z) {
    const float values[3] = {x, y, z};
    writeVector(name, values, 3);
}

void nE_SLHelper_Lua::writeVec2(const char* name, float x, float y) {
    const float values[2] = {x, y};
    writeVector(name, values, 2);
}

void nE_SLHelper_Lua::writeString(const char* name, const std::string& value) {
    if (!tableOnTop()) return;
    lua_pushlstring(lua_, value.data(), value.size());
    setField(name);
}

void nE_SLHelper_Lua::writeFloat(const char* name, float value) {
    if (!tableOnTop()) return;
    lua_pushnumber(lua_, value);
    setField(name);
}

void nE_SLHelper_Lua::writeInt(const char* name, int value) {
    if (!tableOnTop()) return;
    lua_pushinteger(lua_, value);
    setField(name);
}

void nE_SLHelper_Lua::writeUInt(const char* name, unsigned value) {
    if (!tableOnTop()) return;
    lua_pushnumber(lua_, value);
    setField(name);
}

void nE_SLHelper_Lua::writeBool(const char* name, bool value) {
    if (!tableOnTop()) return;
    lua_pushboolean(lua_, value);
    setField(name);
}

bool nE_SLHelper_Lua::readVec3(const char* name, float& x, float& y, float& z) {
    float values[3] = {x, y, z};
    if (!readVector(name, values, 3)) return false;
    x = values[0];
    y = values[1];
    z = values[2];
    return true;
}

bool nE_SLHelper_Lua::readVec2(const char* name, float& x, float& y) {
    float values[2] = {x, y};
    if (!readVector(name, values, 2)) return false;
    x = values[0];
    y = values[1];
    return true;
}

bool nE_SLHelper_Lua::readString(const char* name, std::string& out) {
    if (!pushField(name)) return false;
    // Only strings and numbers have a string form; anything else counts as absent.
    size_t length = 0;
    const char* text = lua_isstring(lua_, -1) ? lua_tolstring(lua_, -1, &length) : nullptr;
    if (text) out.assign(text, length);
    lua_pop(lua_, 1);
    return text != nullptr;
}

bool nE_SLHelper_Lua::readFloat(const char* name, float& out) {
    if (!pushField(name)) return false;
    out = static_cast<float>(lua_tonumber(lua_, -1));
    lua_pop(lua_, 1);
    return true;
}

bool nE_SLHelper_Lua::readInt(const char* name, int& out) {
    if (!pushField(name)) return false;
    const lua_Number value = lua_tonumber(lua_, -1);
    out = value != value     ? 0
          : value >= INT_MAX ? INT_MAX
          : value <= INT_MIN ? INT_MIN
                             : static_cast<int>(value);
    lua_pop(lua_, 1);
    return true;
}

bool nE_SLHelper_Lua::readUInt(const char* name, unsigned& out) {
    if (!pushField(name)) return false;
    const lua_Number value = lua_tonumber(lua_, -1);
    out = !(value > 0) ? 0u : value >= UINT_MAX ? UINT_MAX : static_cast<unsigned>(value);
    lua_pop(lua_, 1);
    return true;
}

bool nE_SLHelper_Lua::readBool(const char* name, bool& out) {
    if (!pushField(name)) return false;
    if (lua_isboolean(lua_, -1)) {
        // A boolean has no string form to convert; take its truth value.
        out = lua_toboolean(lua_, -1) != 0;
    } else {
        const char* text = lua_isstring(lua_, -1) ? lua_tostring(lua_, -1) : nullptr;
        out = text && std::strtoll(text, nullptr, 10) != 0;
    }
    lua_pop(lua_, 1);
    return true;
}
