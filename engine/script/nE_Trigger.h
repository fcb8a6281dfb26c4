// A named piece of Lua source that runs when its trigger is called.
#pragma once

#include <string>

struct lua_State;

class nE_Trigger {
public:
    nE_Trigger(std::string name, std::string code) : name(std::move(name)), code(std::move(code)) {}
    virtual ~nE_Trigger() = default;

    // Runs the code in L. A Lua error is reported through the error log as "Trigger error: <name>
    // <message>" at the file and line it happened, with the traceback; the state stays usable.
    virtual void execute(lua_State* L);

    // The name Lua gives the code in messages and tracebacks: the file when known, else the name.
    std::string chunkName() const;

    std::string name;
    std::string code;
    // Where the code was written, e.g. "assets/levels/hall.xml" and the line its first character is
    // on, so that Lua's messages and tracebacks count that file's lines; empty for triggers made at
    // run time.
    std::string file;
    int firstLine = 1;
};
