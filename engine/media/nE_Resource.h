// Base of every cached resource (textures, frame textures, fonts): a name and a loader.
#pragma once

#include <string>

class nE_Resource {
public:
    nE_Resource() : name_("ne_dummyres") {}
    virtual ~nE_Resource() = default;
    nE_Resource(const nE_Resource&) = delete;
    nE_Resource& operator=(const nE_Resource&) = delete;

    // Loads the resource named `name` (no extension); false when it could not be loaded. The name is
    // stored either way.
    virtual bool load(const std::string& name) = 0;

    bool setName(const std::string& name) {
        name_ = name;
        return true;
    }
    const std::string& name() const { return name_; }

private:
    std::string name_;
};
