#include "engine/script/nE_LoadKeys.h"

#include <memory>

#include "engine/core/nE_Factory.h"
#include "engine/core/nE_Object.h"
#include "engine/script/nE_SLHelper.h"

namespace {

// Answers no value but booleans, which read as set so that the keys they guard are asked for too.
// Nested records are not the description's attributes: entering one is refused.
class Recorder : public nE_SLHelper {
public:
    std::set<std::string> keys;

    void writeVec3(const char*, float, float, float) override {}
    void writeVec2(const char*, float, float) override {}
    void writeString(const char*, const std::string&) override {}
    void writeFloat(const char*, float) override {}
    void writeInt(const char*, int) override {}
    void writeUInt(const char*, unsigned) override {}
    void writeBool(const char*, bool) override {}
    void writeInt(const char*, int, int) override {}
    void writeBool(const char*, bool, bool) override {}
    void writeString(const char*, const std::string&, const std::string&) override {}
    void writeFloat(const char*, float, float) override {}

    bool readVec3(const char* name, float&, float&, float&) override { return asked(name); }
    bool readVec2(const char* name, float&, float&) override { return asked(name); }
    bool readString(const char* name, std::string&) override { return asked(name); }
    bool readFloat(const char* name, float&) override { return asked(name); }
    bool readInt(const char* name, int&) override { return asked(name); }
    bool readUInt(const char* name, unsigned&) override { return asked(name); }
    bool readBool(const char* name, bool& out) override {
        asked(name);
        out = true;
        return true;
    }

    void beginChild(const char*) override {}
    void endChild() override {}
    bool enterChild(const char*, int) override { return false; }
    void leaveChild() override {}

private:
    bool asked(const char* name) {
        if (name) keys.insert(name);
        return false;
    }
};

}  // namespace

std::set<std::string> nE_LoadKeys::of(const std::string& type) {
    std::unique_ptr<nE_Object> object(nE_Factory::create(type));
    if (!object) return {};
    Recorder recorder;
    object->loadProperties(recorder);
    return recorder.keys;
}
