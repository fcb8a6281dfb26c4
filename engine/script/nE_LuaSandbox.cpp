#include "engine/script/nE_LuaSandbox.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <initializer_list>
#include <lua.hpp>
#include <new>

#include "engine/core/nE_Debug.h"
#include "engine/script/nE_LuaStringLib.h"

const char* const nE_LuaSandbox::kRunawayMessage = "script stopped: it ran too long (an endless loop?)";
const char* const nE_LuaSandbox::kPrecompiledMessage = "precompiled chunks are not allowed";

// The functions scripts reach run in Lua's own long-jump world: frames here hold no objects with
// destructors where a Lua error can pass.

namespace {

// The hook runs every this many instructions; the budget is counted in these steps.
constexpr int kHookPeriod = 1000;
// Allocations from this size up look at the clock: a loop of a few instructions that each copy
// megabytes is stopped by them.
constexpr size_t kLargeBlock = 64 * 1024;
// The clock is read after this much work (instructions, or their worth in library work).
constexpr long kStepsPerClockReading = 8000;

using WallClock = std::chrono::steady_clock;

// The time a script has run is the CPU time of the thread running it: a machine busy with other work
// does not cut an honest script short.
double cpuSeconds() {
#if defined(CLOCK_THREAD_CPUTIME_ID)
    timespec now;
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) == 0)
        return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
#endif
    return double(std::clock()) / CLOCKS_PER_SEC;
}

size_t g_defaultMemoryCap = nE_LuaSandbox::kDefaultMemoryCap;

// The state of one Lua state's budget and memory, handed to Lua as its allocator's data so that the
// hook and the allocator find it without a lookup.
struct Control {
    size_t bytes = 0;
    size_t cap = 0;
    // An allocation was refused for the cap: the garbage is collected once the call is over.
    bool refused = false;
    long limit = nE_LuaSandbox::kDefaultBudget;
    long used = 0;
    double seconds = nE_LuaSandbox::kDefaultSeconds;
    // The CPU time is read (a system call) only once the cheap wall clock says it could be up: the one
    // never runs ahead of the other.
    double deadline = 0;
    WallClock::time_point wallDeadline;
    long sinceClock = 0;
    int depth = 0;
    bool stopped = false;
    // Work of the engine's own C++ code, which the cap does not hold.
    bool inHost = false;
    bool budgetPerCall = true;
    const void* ownerKind = nullptr;
    void* owner = nullptr;

    bool capped() const { return depth > 0 && !inHost; }
    void restart() {
        used = 0;
        stopped = false;
        restartClock();
    }
    void restartClock() {
        deadline = cpuSeconds() + seconds;
        wallDeadline = WallClock::now() + std::chrono::duration_cast<WallClock::duration>(
                                              std::chrono::duration<double>(seconds));
        sinceClock = 0;
    }
    bool pastDeadline() {
        const WallClock::time_point now = WallClock::now();
        if (now < wallDeadline) return false;
        const double cpu = cpuSeconds();
        if (cpu >= deadline) return true;
        // What is left of the CPU time cannot run out sooner in wall time.
        wallDeadline = now + std::chrono::duration_cast<WallClock::duration>(
                                 std::chrono::duration<double>(deadline - cpu));
        return false;
    }
    bool overrun() { return stopped || used > limit || pastDeadline(); }
    // Counts work (as instructions when `counted`, else only towards the next look at the clock);
    // whether the budget is used up, looking at the clock once enough work was done.
    bool spend(long steps, bool counted = true) {
        if (counted) used += steps;
        sinceClock += steps;
        if (stopped || used > limit) return true;
        if (sinceClock < kStepsPerClockReading) return false;
        sinceClock = 0;
        return pastDeadline();
    }
};

void* allocate(void* ud, void* ptr, size_t oldSize, size_t newSize) {
    auto* control = static_cast<Control*>(ud);
    if (newSize == 0) {
        std::free(ptr);
        control->bytes -= oldSize;
        return nullptr;
    }
    if (newSize > oldSize && control->capped()) {
        if (control->bytes - oldSize + newSize > control->cap) {
            control->refused = true;
            return nullptr;
        }
        if (newSize - oldSize >= kLargeBlock && control->overrun()) {
            control->stopped = true;
            return nullptr;
        }
    }
    void* block = std::realloc(ptr, newSize);
    if (!block) return newSize <= oldSize ? ptr : nullptr;
    control->bytes = control->bytes - oldSize + newSize;
    return block;
}

Control* controlOf(lua_State* L) {
    void* ud = nullptr;
    if (!L || lua_getallocf(L, &ud) != allocate) return nullptr;
    return static_cast<Control*>(ud);
}

int reportPanic(lua_State* L) {
    const char* message = lua_tostring(L, -1);
    nE_Debug::writef("Lua error outside any protected call: %s", message ? message : "?");
    return 0;
}

void countHook(lua_State* L, lua_Debug*);

// Raises the stop. From now on this thread's hook raises at every instruction, so that whatever
// catches the error finds it again at once.
int raiseRunaway(lua_State* L, int level) {
    if (Control* control = controlOf(L)) control->stopped = true;
    if (lua_gethookcount(L) != 1) lua_sethook(L, countHook, LUA_MASKCOUNT, 1);
    luaL_where(L, level);
    lua_pushstring(L, nE_LuaSandbox::kRunawayMessage);
    lua_concat(L, 2);
    return lua_error(L);
}

void countHook(lua_State* L, lua_Debug*) {
    Control* control = controlOf(L);
    if (!control || control->depth == 0) return;
    const int period = lua_gethookcount(L);
    if (!control->spend(period)) {
        if (period != kHookPeriod) lua_sethook(L, countHook, LUA_MASKCOUNT, kHookPeriod);
        return;
    }
    // Level 0 is the function the hook interrupted: the message points at the looping line.
    raiseRunaway(L, 0);
}

// After a protected call made by a script: a host function the error left by a long jump did not
// restore the cap, and a stop is passed on rather than swallowed.
void afterProtectedCall(lua_State* L, Control* control, bool wasHost) {
    if (!control) return;
    control->inHost = wasHost;
    if (control->stopped) raiseRunaway(L, 1);
}

int safePcall(lua_State* L) {
    luaL_checkany(L, 1);
    Control* control = controlOf(L);
    const bool wasHost = control && control->inHost;
    const int status = lua_pcall(L, lua_gettop(L) - 1, LUA_MULTRET, 0);
    afterProtectedCall(L, control, wasHost);
    lua_pushboolean(L, status == 0);
    lua_insert(L, 1);
    return lua_gettop(L);
}

// A script's message handler runs only for errors that are not the stop: the stop is raised from the
// hook, where Lua runs handlers with the hook off, so a looping handler would never end.
int guardedHandler(lua_State* L) {
    Control* control = controlOf(L);
    if (control && control->stopped) return 1;
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, 1);
    return 1;
}

int safeXpcall(lua_State* L) {
    luaL_checkany(L, 2);
    lua_settop(L, 2);
    lua_pushcclosure(L, guardedHandler, 1);
    lua_insert(L, 1);
    Control* control = controlOf(L);
    const bool wasHost = control && control->inHost;
    const int status = lua_pcall(L, 0, LUA_MULTRET, 1);
    afterProtectedCall(L, control, wasHost);
    lua_pushboolean(L, status == 0);
    lua_replace(L, 1);
    return lua_gettop(L);
}

// coroutine.resume (its library function is the upvalue): a coroutine the stop ended stops its
// resumer too.
int safeResume(lua_State* L) {
    lua_CFunction resume = lua_tocfunction(L, lua_upvalueindex(1));
    Control* control = controlOf(L);
    const bool wasHost = control && control->inHost;
    const int results = resume(L);
    afterProtectedCall(L, control, wasHost);
    return results;
}

// A library function (upvalue 1) whose work may grow with the table it is given (or, without one, is
// costly anyway), when called with at least upvalue 2 arguments (table.insert at a position, not at the
// end): the clock is looked at the sooner, without counting instructions.
int timedCall(lua_State* L) {
    lua_CFunction f = lua_tocfunction(L, lua_upvalueindex(1));
    if (lua_gettop(L) < lua_tointeger(L, lua_upvalueindex(2))) return f(L);
    const long steps =
        lua_type(L, 1) == LUA_TTABLE ? static_cast<long>(lua_objlen(L, 1) / 8) + 1 : kStepsPerClockReading;
    const int results = f(L);
    Control* control = controlOf(L);
    if (control && control->depth > 0 && control->spend(steps, false)) raiseRunaway(L, 1);
    return results;
}

// A host function (the upvalue): the cap is lifted while it runs and a C++ exception it throws ends
// here, as a Lua error, before it could cross Lua's C frames.
int hostCall(lua_State* L) {
    lua_CFunction f = lua_tocfunction(L, lua_upvalueindex(1));
    Control* control = controlOf(L);
    const bool wasHost = control && control->inHost;
    if (control) control->inHost = true;
    int results = -1;
    bool outOfMemory = false;
    try {
        results = f(L);
    } catch (const std::bad_alloc&) {
        outOfMemory = true;
    } catch (...) {
    }
    if (control) control->inHost = wasHost;
    if (results >= 0) return results;
    lua_settop(L, 0);
    if (outOfMemory) return nE_LuaSandbox::raiseOutOfMemory(L);
    lua_pushliteral(L, "script function failed");
    return lua_error(L);
}

int safeLoadString(lua_State* L) {
    size_t length = 0;
    const char* text = luaL_checklstring(L, 1, &length);
    const char* chunkName = luaL_optstring(L, 2, text);
    if (nE_LuaSandbox::load(L, text, length, chunkName) == 0) return 1;
    lua_pushnil(L);
    lua_insert(L, -2);
    return 2;
}

int safeLoad(lua_State* L) {
    luaL_checktype(L, 1, LUA_TFUNCTION);
    const char* chunkName = luaL_optstring(L, 2, "=(load)");
    lua_settop(L, 2);
    luaL_Buffer buffer;
    luaL_buffinit(L, &buffer);
    for (;;) {
        lua_pushvalue(L, 1);
        lua_call(L, 0, 1);
        if (lua_isnil(L, -1)) {
            lua_pop(L, 1);
            break;
        }
        if (!lua_isstring(L, -1)) return luaL_error(L, "reader function must return a string");
        if (lua_objlen(L, -1) == 0) {
            lua_pop(L, 1);
            break;
        }
        luaL_addvalue(&buffer);
    }
    luaL_pushresult(&buffer);
    size_t length = 0;
    const char* text = lua_tolstring(L, -1, &length);
    if (nE_LuaSandbox::load(L, text, length, chunkName) == 0) return 1;
    lua_pushnil(L);
    lua_insert(L, -2);
    return 2;
}

void rawSetGlobal(lua_State* L, const char* name) {
    lua_pushstring(L, name);
    lua_insert(L, -2);
    lua_rawset(L, LUA_GLOBALSINDEX);
}

void setLoaded(lua_State* L, const char* name) {
    lua_getfield(L, LUA_REGISTRYINDEX, "_LOADED");
    if (lua_istable(L, -1)) {
        lua_pushvalue(L, -2);
        lua_setfield(L, -2, name);
    }
    lua_pop(L, 1);
}

// Replaces the library table `name` by a new one holding only the listed functions of the old one.
void keepOnly(lua_State* L, const char* name, const char* const* keep) {
    lua_pushstring(L, name);
    lua_rawget(L, LUA_GLOBALSINDEX);
    const int old = lua_gettop(L);
    lua_newtable(L);
    if (lua_istable(L, old)) {
        for (const char* const* key = keep; *key; ++key) {
            lua_pushstring(L, *key);
            lua_rawget(L, old);
            lua_setfield(L, -2, *key);
        }
    }
    // require("os") must hand out the same reduced table.
    setLoaded(L, name);
    rawSetGlobal(L, name);
    lua_pop(L, 1);
}

// Wraps the function `library`.`name` (or the global `name` without a library) in the C closure `by`,
// with `extra` as its second upvalue.
void wrap(lua_State* L, const char* library, const char* name, lua_CFunction by, int extra = 0) {
    if (library) {
        lua_pushstring(L, library);
        lua_rawget(L, LUA_GLOBALSINDEX);
    } else {
        lua_pushvalue(L, LUA_GLOBALSINDEX);
    }
    if (lua_istable(L, -1)) {
        lua_pushstring(L, name);
        lua_pushstring(L, name);
        lua_rawget(L, -3);
        if (lua_iscfunction(L, -1)) {
            lua_pushinteger(L, extra);
            lua_pushcclosure(L, by, 2);
            lua_rawset(L, -3);
        } else {
            lua_pop(L, 2);
        }
    }
    lua_pop(L, 1);
}

int restrictLibraries(lua_State* L) {
    // Not io: scripts must not have it, and its standard files would carry finalisers.
    static const luaL_Reg kLibraries[] = {{"", luaopen_base},
                                          {LUA_LOADLIBNAME, luaopen_package},
                                          {LUA_TABLIBNAME, luaopen_table},
                                          {LUA_STRLIBNAME, luaopen_string},
                                          {LUA_MATHLIBNAME, luaopen_math},
                                          {LUA_OSLIBNAME, luaopen_os},
                                          {LUA_DBLIBNAME, luaopen_debug}};
    for (const luaL_Reg& library : kLibraries) {
        lua_pushcfunction(L, library.func);
        lua_pushstring(L, library.name);
        lua_call(L, 1, 0);
    }

    static const char* const osKeep[] = {"time", "clock", "date", nullptr};
    keepOnly(L, "os", osKeep);
    static const char* const debugKeep[] = {"traceback", nullptr};
    keepOnly(L, "debug", debugKeep);

    // No files, and no finalisers: newproxy is the only way a script reaches a __gc, which would run
    // where no budget holds and at any allocation of the engine's.
    for (const char* name : {"dofile", "loadfile", "newproxy"}) {
        lua_pushnil(L);
        rawSetGlobal(L, name);
    }
    lua_pushcfunction(L, safeLoadString);
    rawSetGlobal(L, "loadstring");
    lua_pushcfunction(L, safeLoad);
    rawSetGlobal(L, "load");
    lua_pushcfunction(L, safePcall);
    rawSetGlobal(L, "pcall");
    lua_pushcfunction(L, safeXpcall);
    rawSetGlobal(L, "xpcall");
    wrap(L, "coroutine", "resume", safeResume);
    wrap(L, "table", "insert", timedCall, 3);
    wrap(L, "table", "remove", timedCall, 2);
    for (const char* name : {"sort", "concat"}) wrap(L, "table", name, timedCall);
    wrap(L, nullptr, "collectgarbage", timedCall);
    wrap(L, nullptr, "unpack", timedCall);

    // Nothing can load what dump makes.
    lua_pushliteral(L, "string");
    lua_rawget(L, LUA_GLOBALSINDEX);
    if (lua_istable(L, -1)) {
        lua_pushliteral(L, "dump");
        lua_pushnil(L);
        lua_rawset(L, -3);
    }
    lua_pop(L, 1);
    nE_LuaStringLib::install(L);
    // The metatable of strings is shared by every script: none may change what methods strings have.
    lua_pushliteral(L, "");
    if (lua_getmetatable(L, -1)) {
        lua_pushliteral(L, "__metatable");
        lua_pushboolean(L, 0);
        lua_rawset(L, -3);
        lua_pop(L, 1);
    }
    lua_pop(L, 1);

    // require finds only what is preloaded: no search of the file system, no native libraries.
    lua_pushliteral(L, "package");
    lua_rawget(L, LUA_GLOBALSINDEX);
    if (lua_istable(L, -1)) {
        lua_pushnil(L);
        lua_setfield(L, -2, "loadlib");
        lua_pushliteral(L, "");
        lua_setfield(L, -2, "path");
        lua_pushliteral(L, "");
        lua_setfield(L, -2, "cpath");
        lua_getfield(L, -1, "loaders");
        lua_newtable(L);
        if (lua_istable(L, -2)) {
            lua_rawgeti(L, -2, 1);
            lua_rawseti(L, -2, 1);
        }
        lua_setfield(L, -3, "loaders");
        lua_pop(L, 1);
    }
    lua_pop(L, 1);
    return 0;
}

}  // namespace

lua_State* nE_LuaSandbox::newState(long budget) {
    Options options;
    options.budget = budget;
    return newState(options);
}

lua_State* nE_LuaSandbox::newState(const Options& options) {
    auto* control = new (std::nothrow) Control();
    if (!control) return nullptr;
    control->cap = g_defaultMemoryCap;
    control->limit = options.budget;
    control->seconds = options.seconds;
    control->budgetPerCall = options.budgetPerCall;
    control->ownerKind = options.ownerKind;
    control->owner = options.owner;
    control->restart();
    lua_State* L = lua_newstate(allocate, control);
    if (!L) {
        delete control;
        return nullptr;
    }
    lua_atpanic(L, reportPanic);
    // A state whose restriction failed half-way is not handed out.
    if (lua_cpcall(L, restrictLibraries, nullptr) != 0) {
        nE_Debug::writef("Lua: a script state could not be set up: %s", lua_tostring(L, -1));
        close(L);
        return nullptr;
    }
    lua_sethook(L, countHook, LUA_MASKCOUNT, kHookPeriod);
    return L;
}

void nE_LuaSandbox::close(lua_State* L) {
    if (!L) return;
    Control* control = controlOf(L);
    if (control) {
        control->depth = 0;
        control->inHost = false;
    }
    lua_close(L);
    delete control;
}

int nE_LuaSandbox::load(lua_State* L, const char* text, size_t length, const char* chunkName) {
    // Lua tells a binary chunk by its first byte alone.
    if (length > 0 && text[0] == LUA_SIGNATURE[0]) {
        lua_pushstring(L, kPrecompiledMessage);
        return LUA_ERRSYNTAX;
    }
    return luaL_loadbuffer(L, text, length, chunkName);
}

void nE_LuaSandbox::pushFunction(lua_State* L, lua_CFunction f) {
    lua_pushcfunction(L, f);
    lua_pushcclosure(L, hostCall, 1);
}

void nE_LuaSandbox::setBudget(lua_State* L, long instructions) {
    if (Control* control = controlOf(L)) control->limit = instructions;
}

void nE_LuaSandbox::setSeconds(lua_State* L, double seconds) {
    if (Control* control = controlOf(L)) control->seconds = seconds;
}

void nE_LuaSandbox::restartBudget(lua_State* L) {
    Control* control = controlOf(L);
    if (!control) return;
    control->restart();
    lua_sethook(L, countHook, LUA_MASKCOUNT, kHookPeriod);
}

void nE_LuaSandbox::setMemoryCap(lua_State* L, size_t bytes) {
    if (Control* control = controlOf(L)) control->cap = bytes;
}

void nE_LuaSandbox::setDefaultMemoryCap(size_t bytes) {
    g_defaultMemoryCap = bytes;
}

size_t nE_LuaSandbox::defaultMemoryCap() {
    return g_defaultMemoryCap;
}

size_t nE_LuaSandbox::memoryUsed(lua_State* L) {
    Control* control = controlOf(L);
    return control ? control->bytes : 0;
}

size_t nE_LuaSandbox::memoryLeft(lua_State* L) {
    Control* control = controlOf(L);
    if (!control || !control->capped()) return static_cast<size_t>(-1);
    return control->bytes < control->cap ? control->cap - control->bytes : 0;
}

void* nE_LuaSandbox::owner(lua_State* L, const void* kind) {
    Control* control = controlOf(L);
    return control && kind && control->ownerKind == kind ? control->owner : nullptr;
}

int nE_LuaSandbox::enter(lua_State* L, bool host) {
    Control* control = controlOf(L);
    if (!control) return 0;
    const int entered = control->inHost ? 1 : 0;
    // A budget spanning several calls still gives each call its own time.
    if (control->depth++ == 0) {
        if (control->budgetPerCall)
            control->restart();
        else
            control->restartClock();
    }
    control->inHost = host;
    return entered;
}

void nE_LuaSandbox::leave(lua_State* L, int entered) {
    Control* control = controlOf(L);
    if (!control || control->depth == 0) return;
    control->inHost = entered != 0;
    if (--control->depth > 0) return;
    control->stopped = false;
    if (control->budgetPerCall) control->used = 0;
    // The stop may have left the hook firing at every instruction.
    lua_sethook(L, countHook, LUA_MASKCOUNT, kHookPeriod);
    // What a script left behind when it ran out of memory goes now, while the cap does not hold, so
    // that the next call starts with room.
    if (control->refused) {
        control->refused = false;
        lua_gc(L, LUA_GCCOLLECT, 0);
    }
}

bool nE_LuaSandbox::stopped(lua_State* L) {
    Control* control = controlOf(L);
    return control && control->stopped;
}

int nE_LuaSandbox::raiseOutOfMemory(lua_State* L) {
    if (Control* control = controlOf(L)) control->refused = true;
    lua_pushliteral(L, "not enough memory");
    return lua_error(L);
}

void nE_LuaSandbox::charge(lua_State* L, long steps) {
    Control* control = controlOf(L);
    if (!control || control->depth == 0) return;
    if (control->spend(steps)) raiseRunaway(L, 1);
}
