#include "engine/script/nE_PartSysScript.h"

#include <cmath>
#include <lua.hpp>

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_ErrorLog.h"
#include "engine/script/nE_LuaCall.h"
#include "engine/script/nE_LuaChunk.h"
#include "engine/script/nE_LuaSandbox.h"
#include "engine/script/nE_PartSysFunctions.h"

namespace {

int g_openStates = 0;

// Tells particle states apart from the core's: their owner is an nE_PartSysScript.
const char g_ownerKind = 0;

struct Registration {
    nE_PartSysImpl_Complex* system;
};

int registerFunctions(lua_State* L) {
    auto* registration = static_cast<Registration*>(lua_touserdata(L, 1));
    nE_PartSysFunctions::registerAll(L, registration->system);
    return 0;
}

struct StepGlobals {
    int psState;
    float dt;
};

// Raw sets: a metatable the code put on its globals must not run here.
int storeStepGlobals(lua_State* L) {
    const auto* globals = static_cast<const StepGlobals*>(lua_touserdata(L, 1));
    lua_pushliteral(L, "ps_state");
    lua_pushinteger(L, globals->psState);
    lua_rawset(L, LUA_GLOBALSINDEX);
    lua_pushliteral(L, "ps_dt");
    lua_pushnumber(L, globals->dt);
    lua_rawset(L, LUA_GLOBALSINDEX);
    return 0;
}

}  // namespace

nE_PartSysScript::nE_PartSysScript(nE_PartSysImpl_Complex* system) : system_(system) {
    nE_LuaSandbox::Options options;
    options.budget = kInstructionBudget;
    // One budget for all the code of an update, however many calls it takes.
    options.budgetPerCall = false;
    options.ownerKind = &g_ownerKind;
    options.owner = this;
    L_ = nE_LuaSandbox::newState(options);
    if (!L_) return;
    ++g_openStates;
    Registration registration{system};
    std::string error;
    if (!nE_LuaCall::protect(L_, registerFunctions, &registration, error)) {
        nE_Debug::writef("Particle error: the functions of the effect could not be set up: %s",
                         error.c_str());
        nE_LuaSandbox::close(L_);
        L_ = nullptr;
        --g_openStates;
    }
}

nE_PartSysScript::~nE_PartSysScript() {
    if (!L_) return;
    nE_LuaSandbox::close(L_);
    L_ = nullptr;
    --g_openStates;
}

int nE_PartSysScript::openCount() {
    return g_openStates;
}

nE_PartSysImpl_Complex* nE_PartSysScript::systemOf(lua_State* L) {
    auto* self = static_cast<nE_PartSysScript*>(nE_LuaSandbox::owner(L, &g_ownerKind));
    return self ? self->system_ : nullptr;
}

void nE_PartSysScript::beginStep() {
    if (L_) nE_LuaSandbox::restartBudget(L_);
}

void nE_PartSysScript::setStepGlobals(int psState, float dt) {
    if (!L_) return;
    StepGlobals globals{psState, dt};
    std::string error;
    nE_LuaCall::protect(L_, storeStepGlobals, &globals, error);
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
    if (chunks_[slot] == LUA_NOREF) {
        const std::string name = "=" + chunkName;
        if (nE_LuaSandbox::load(L_, code.data(), code.size(), name.c_str()) != 0) {
            const std::string error = nE_LuaCall::errorText(L_);
            lua_settop(L_, top);
            report(chunkName, error, std::string());
            return false;
        }
        lua_pushvalue(L_, -1);
        chunks_[slot] = luaL_ref(L_, LUA_REGISTRYINDEX);
    } else {
        lua_rawgeti(L_, LUA_REGISTRYINDEX, chunks_[slot]);
    }
    std::string error, traceback;
    const bool ok = nE_LuaCall::call(L_, 0, 0, error, traceback);
    lua_settop(L_, top);
    // A nested run has reported already.
    if (!ok && !failed_) report(chunkName, error, traceback);
    return ok;
}

void nE_PartSysScript::report(const std::string& chunkName, const std::string& error,
                              const std::string& traceback) {
    failed_ = true;
    // The chunk names the particle file and the part; Lua's lines count within the part's code.
    nE_ErrorLog::report(
        {"", 0, "Particle error: " + chunkName + " " + error, nE_LuaChunk::withLevels(traceback)});
}

void nE_PartSysScript::forgetChunks() {
    if (L_)
        for (int ref : chunks_) luaL_unref(L_, LUA_REGISTRYINDEX, ref);
    chunks_.clear();
}
