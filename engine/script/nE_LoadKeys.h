// The attribute keys an object type's load reads from a description, found by running that load on a
// recorder. The content checker tells misspelt attributes from real ones this way: a key a load asks
// for is known the moment the load reads it, with nothing to declare beside it.
#pragma once

#include <set>
#include <string>

class nE_LoadKeys {
public:
    // The keys the type's loadProperties asks for at the top level of its description (every
    // conditional key too: each boolean reads as set); empty for a type the factory does not know.
    static std::set<std::string> of(const std::string& type);
};
