// The object factory table: type name -> constructor of a new scene object. Descriptions are built
// through it. "obj" (the plain nE_Object) is there from the start.
#pragma once

#include <functional>
#include <string>

class nE_Object;

class nE_Factory {
public:
    using Constructor = std::function<nE_Object*()>;

    // Registering a name again replaces its constructor; an empty constructor removes the name.
    static void registerType(const std::string& typeName, Constructor constructor);
    // A new object owned by the caller, or none for an unknown type.
    static nE_Object* create(const std::string& typeName);
    static bool has(const std::string& typeName);
};
