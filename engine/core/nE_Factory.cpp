#include "engine/core/nE_Factory.h"

#include <map>

#include "engine/core/nE_Object.h"

// Built on first use, so registrations from static initialisers elsewhere find it ready.
static std::map<std::string, nE_Factory::Constructor>& table() {
    static std::map<std::string, nE_Factory::Constructor> entries{
        {"obj", [] { return new nE_Object(); }},
    };
    return entries;
}

void nE_Factory::registerType(const std::string& typeName, Constructor constructor) {
    if (constructor)
        table()[typeName] = std::move(constructor);
    else
        table().erase(typeName);
}

nE_Object* nE_Factory::create(const std::string& typeName) {
    auto found = table().find(typeName);
    return found != table().end() ? found->second() : nullptr;
}

bool nE_Factory::has(const std::string& typeName) {
    return table().count(typeName) != 0;
}
