// Finds the calls of named functions in Lua source without compiling or running it, with the arguments
// that are written as plain string literals. The content checker reads the resource names and trigger
// calls that scripts hand to the engine's functions this way. Only the literal form is seen: an
// argument built at run time ("dir/" .. name) is not a literal and is not looked at.
#pragma once

#include <set>
#include <string>
#include <vector>

class nE_LuaScan {
public:
    struct Argument {
        bool literal = false;  // one string literal and nothing else
        std::string value;     // the literal's text with its escapes decoded
        int line = 0;          // where the argument starts, from 1
    };
    struct Call {
        std::string function;
        int line = 0;
        std::vector<Argument> arguments;
    };

    // The calls of any of the named functions, in source order: f(...), f "..." and f {...}. A
    // method or field call (t.f(), t:f()) and a function definition are not calls of f. A call whose
    // argument list is never closed is left out (the source does not compile anyway).
    static std::vector<Call> calls(const std::string& source, const std::set<std::string>& functions);

    struct Globals {
        // Names the source gives a value somewhere: assigned (t = {}), declared (function f, function
        // t.f) or used as table keys. Over-counting only hides a fault; it never invents one.
        std::set<std::string> defined;
        // Plain calls f(...), f "..." and f {...} of names the source never makes local (a local, a
        // parameter, a loop variable), without their arguments.
        std::vector<Call> calls;
    };
    static Globals globals(const std::string& source);
};
