// The private Lua state of one scripted particle system. Its code gets the libraries an effect needs
// (base without file loading or bytecode, string, table, math, coroutine, os.time/clock/date and
// debug.traceback), the particle functions of nE_PartSysFunctions and their globals. Code strings are
// compiled once and run protected with a traceback; an instruction budget per update stops code that
// never returns, and a memory limit code that never stops allocating. The state is closed with this
// object.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct lua_State;
class nE_PartSysImpl_Complex;

class nE_PartSysScript {
public:
    // VM instructions one update of a system may run before its code is stopped (a few tenths of a
    // second of Lua), and how often the count is looked at.
    static constexpr long kInstructionBudget = 20000000;
    static constexpr int kHookPeriod = 1000;
    // Bytes the state may hold while the effect's code runs.
    static constexpr size_t kMemoryLimit = 64u << 20;

    // Opens the state for `system`, which its functions act on.
    explicit nE_PartSysScript(nE_PartSysImpl_Complex* system);
    ~nE_PartSysScript();
    nE_PartSysScript(const nE_PartSysScript&) = delete;
    nE_PartSysScript& operator=(const nE_PartSysScript&) = delete;

    bool isOpen() const { return L_ != nullptr; }
    lua_State* lua() const { return L_; }
    // The system whose state L is (or a thread of it).
    static nE_PartSysImpl_Complex* systemOf(lua_State* L);
    // States open in this process.
    static int openCount();

    // A fresh instruction budget: each update starts with one.
    void beginStep();
    // "ps_state" and "ps_dt", set without running any of the effect's code.
    void setStepGlobals(int psState, float dt);
    // "ps_state" as the code left it, or `fallback` when it is not a number.
    int readPsState(int fallback);

    // Runs code string `slot` (compiled on first use under `chunkName`, which names the file and the
    // part). A load or run error is reported once, with the traceback; from then on nothing runs and
    // false is returned.
    bool run(size_t slot, const std::string& code, const std::string& chunkName);
    // Compiled code is forgotten (the code strings changed).
    void forgetChunks();
    bool failed() const { return failed_; }

    // While one lives, the memory limit is lifted: for functions that fill tables through C++ code that
    // must not be interrupted by a Lua error.
    class Unlimited {
    public:
        explicit Unlimited(lua_State* L);
        ~Unlimited();
        Unlimited(const Unlimited&) = delete;
        Unlimited& operator=(const Unlimited&) = delete;

    private:
        nE_PartSysScript* script_;
        bool was_;
    };

private:
    static void* allocate(void* ud, void* ptr, size_t oldSize, size_t newSize);
    static void countHook(lua_State* L, struct lua_Debug* ar);
    static int collectTraceback(lua_State* L);
    void openLibraries();
    void report(const std::string& chunkName, const std::string& error);

    lua_State* L_ = nullptr;
    nE_PartSysImpl_Complex* system_ = nullptr;
    size_t bytes_ = 0;
    // The limit holds only inside protected calls, where running out of it is an ordinary error.
    bool limited_ = false;
    long instructions_ = 0;
    bool failed_ = false;
    int handlerRef_ = -1;
    std::vector<int> chunks_;
    std::string traceback_;
};
