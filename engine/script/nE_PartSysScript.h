// The private Lua state of one scripted particle system: a sandboxed state (nE_LuaSandbox, the same
// libraries and limits as the core's) with the particle functions of nE_PartSysFunctions and their
// globals. Code strings are compiled once and run protected with a traceback; an instruction budget
// per update stops code that never returns, and the state's memory cap code that never stops
// allocating. The state is closed with this object.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct lua_State;
class nE_PartSysImpl_Complex;

class nE_PartSysScript {
public:
    // VM instructions one update of a system may run before its code is stopped (a few tenths of a
    // second of Lua).
    static constexpr long kInstructionBudget = 20000000;

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

private:
    void report(const std::string& chunkName, const std::string& error, const std::string& traceback);

    lua_State* L_ = nullptr;
    nE_PartSysImpl_Complex* system_ = nullptr;
    bool failed_ = false;
    std::vector<int> chunks_;
};
