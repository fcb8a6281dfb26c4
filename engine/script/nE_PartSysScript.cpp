#include "engine/script/nE_PartSysScript.h"

#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <lua.hpp>

#include "engine/core/nE_Debug.h"
#include "engine/script/nE_LuaChunk.h"
#include "engine/script/nE_PartSysFunctions.h"

namespace {

int g_openStates = 0;

// loadstring for source text only: a binary chunk could take the interpreter outside its checks.
int loadTextOnly(lua_State* L) {
    size_t length = 0;
    const char* text = luaL_checklstring(L, 1, &length);
    const char* chunkName = luaL_optstring(L, 2, text);
    if (length > 0 && text[0] == LUA_SIGNATURE[0]) {
        lua_pushnil(L);
        lua_pushliteral(L, "binary chunks are not loaded");
        return 2;
    }
    if (luaL_loadbuffer(L, text, length, chunkName) == 0) return 1;
    lua_pushnil(L);
    lua_insert(L, -2);
    return 2;
}

// Replaces the library table `name` by one holding only the listed functions.
void keepOnly(lua_State* L, const char* name, std::initializer_list<const char*> kept) {
    lua_getfield(L, LUA_GLOBALSINDEX, name);
    lua_newtable(L);
    for (const char* field : kept) {
        lua_getfield(L, -2, field);
        lua_setfield(L, -2, field);
    }
    lua_setfield(L, LUA_GLOBALSINDEX, name);
    lua_pop(L, 1);
}

int reportPanic(lua_State* L) {
    const char* message = lua_tostring(L, -1);
    nE_Debug::writef("Particle error: unprotected Lua error %s", message ? message : "?");
    return 0;
}

}  // namespace

nE_PartSysScript::nE_PartSysScript(nE_PartSysImpl_Complex* system) : system_(system) {
    L_ = lua_newstate(allocate, this);
    if (!L_) return;
    ++g_openStates;
    lua_atpanic(L_, reportPanic);
    openLibraries();
    nE_PartSysFunctions::registerAll(L_, system);
    lua_pushlightuserdata(L_, this);
    lua_pushcclosure(L_, collectTraceback, 1);
    handlerRef_ = luaL_ref(L_, LUA_REGISTRYINDEX);
    lua_sethook(L_, countHook, LUA_MASKCOUNT, kHookPeriod);
}

nE_PartSysScript::~nE_PartSysScript() {
    if (!L_) return;
    limited_ = false;
    lua_close(L_);
    L_ = nullptr;
    --g_openStates;
}

int nE_PartSysScript::openCount() {
    return g_openStates;
}

nE_PartSysImpl_Complex* nE_PartSysScript::systemOf(lua_State* L) {
    void* ud = nullptr;
    if (!L || lua_getallocf(L, &ud) != allocate || !ud) return nullptr;
    return static_cast<nE_PartSysScript*>(ud)->system_;
}

void nE_PartSysScript::openLibraries() {
    static const luaL_Reg kLibraries[] = {{"", luaopen_base},
                                          {LUA_TABLIBNAME, luaopen_table},
                                          {LUA_STRLIBNAME, luaopen_string},
                                          {LUA_MATHLIBNAME, luaopen_math},
                                          {LUA_OSLIBNAME, luaopen_os},
                                          {LUA_DBLIBNAME, luaopen_debug}};
    for (const luaL_Reg& library : kLibraries) {
        lua_pushcfunction(L_, library.func);
        lua_pushstring(L_, library.name);
        lua_call(L_, 1, 0);
    }
    // No files, no bytecode, and no finalisers (newproxy), which would run code where no budget holds.
    for (const char* name : {"dofile", "loadfile", "load", "newproxy", "require", "module"}) {
        lua_pushnil(L_);
        lua_setfield(L_, LUA_GLOBALSINDEX, name);
    }
    lua_pushcfunction(L_, loadTextOnly);
    lua_setfield(L_, LUA_GLOBALSINDEX, "loadstring");
    keepOnly(L_, LUA_OSLIBNAME, {"time", "clock", "date"});
    keepOnly(L_, LUA_DBLIBNAME, {"traceback"});
}

void* nE_PartSysScript::allocate(void* ud, void* ptr, size_t oldSize, size_t newSize) {
    auto* self = static_cast<nE_PartSysScript*>(ud);
    if (newSize == 0) {
        std::free(ptr);
        self->bytes_ -= oldSize;
        return nullptr;
    }
    if (self->limited_ && newSize > oldSize && self->bytes_ - oldSize + newSize > kMemoryLimit)
        return nullptr;
    void* block = std::realloc(ptr, newSize);
    if (!block) return nullptr;
    self->bytes_ = self->bytes_ - oldSize + newSize;
    return block;
}

void nE_PartSysScript::countHook(lua_State* L, lua_Debug*) {
    void* ud = nullptr;
    if (lua_getallocf(L, &ud) != allocate || !ud) return;
    auto* self = static_cast<nE_PartSysScript*>(ud);
    self->instructions_ += kHookPeriod;
    if (self->instructions_ <= kInstructionBudget) return;
    // From now on every instruction fails, so that a pcall in the code cannot swallow the stop.
    lua_sethook(L, countHook, LUA_MASKCOUNT, 1);
    luaL_error(L, "stopped after %d instructions in one update (does the code ever end?)",
               static_cast<int>(kInstructionBudget));
}

int nE_PartSysScript::collectTraceback(lua_State* L) {
    auto* self = static_cast<nE_PartSysScript*>(lua_touserdata(L, lua_upvalueindex(1)));
    if (self) self->traceback_ = nE_LuaChunk::traceback(L, 1);
    lua_settop(L, 1);
    return 1;
}

void nE_PartSysScript::beginStep() {
    instructions_ = 0;
    if (L_) lua_sethook(L_, countHook, LUA_MASKCOUNT, kHookPeriod);
}

void nE_PartSysScript::setStepGlobals(int psState, float dt) {
    if (!L_) return;
    // Raw sets: a metatable the code put on its globals must not run here, outside any protection.
    lua_pushliteral(L_, "ps_state");
    lua_pushinteger(L_, psState);
    lua_rawset(L_, LUA_GLOBALSINDEX);
    lua_pushliteral(L_, "ps_dt");
    lua_pushnumber(L_, dt);
    lua_rawset(L_, LUA_GLOBALSINDEX);
}

int nE_PartSysScript::readPsState(int fallback) {
    if (!L_) return fallback;
    lua_pushliteral(L_, "ps_state");
    lua_rawget(L_, LUA_GLOBALSINDEX);
    int result = fallback;
    if (lua_type(L_, -1) == LUA_TNUMBER) {
        const double value = lua_tonumber(L_, -1);
        if (std::isfinite(value) && std::fabs(value) < 2147483647.0) result = static_cast<int>(value);
    }
    lua_pop(L_, 1);
    return result;
}

bool nE_PartSysScript::run(size_t slot, const std::string& code, const std::string& chunkName) {
    if (!L_ || failed_) return false;
    if (slot >= chunks_.size()) chunks_.resize(slot + 1, LUA_NOREF);
    const int top = lua_gettop(L_);
    lua_rawgeti(L_, LUA_REGISTRYINDEX, handlerRef_);
    if (chunks_[slot] == LUA_NOREF) {
        const std::string name = "=" + chunkName;
        if (luaL_loadbuffer(L_, code.data(), code.size(), name.c_str()) != 0) {
            const char* message = lua_tostring(L_, -1);
            const std::string error = message ? message : "(error object is not a string)";
            lua_settop(L_, top);
            traceback_.clear();
            report(chunkName, error);
            return false;
        }
        lua_pushvalue(L_, -1);
        chunks_[slot] = luaL_ref(L_, LUA_REGISTRYINDEX);
    } else {
        lua_rawgeti(L_, LUA_REGISTRYINDEX, chunks_[slot]);
    }
    traceback_.clear();
    const bool wasLimited = limited_;
    limited_ = true;
    const int status = lua_pcall(L_, 0, 0, top + 1);
    limited_ = wasLimited;
    if (status == 0) {
        lua_settop(L_, top);
        return true;
    }
    const char* message = lua_tostring(L_, -1);
    std::string error = message ? message : "(error object is not a string)";
    if (status == LUA_ERRMEM) error = "out of memory (the effect's code holds more than its limit)";
    lua_settop(L_, top);
    // A nested run has reported already.
    if (!failed_) report(chunkName, error);
    return false;
}

void nE_PartSysScript::report(const std::string& chunkName, const std::string& error) {
    failed_ = true;
    nE_Debug::writef("Particle error: %s %s", chunkName.c_str(), error.c_str());
    if (!traceback_.empty()) nE_Debug::write(("Particle traceback: " + chunkName + " " + traceback_).c_str());
}

void nE_PartSysScript::forgetChunks() {
    if (L_)
        for (int ref : chunks_) luaL_unref(L_, LUA_REGISTRYINDEX, ref);
    chunks_.clear();
}

nE_PartSysScript::Unlimited::Unlimited(lua_State* L) : script_(nullptr), was_(false) {
    void* ud = nullptr;
    if (L && lua_getallocf(L, &ud) == allocate && ud) {
        script_ = static_cast<nE_PartSysScript*>(ud);
        was_ = script_->limited_;
        script_->limited_ = false;
    }
}

nE_PartSysScript::Unlimited::~Unlimited() {
    if (script_) script_->limited_ = was_;
}
