// Properties as fields of the Lua table on top of the stack. Flat: no nesting.
#pragma once

#include "engine/script/nE_SLHelper.h"

struct lua_State;

class nE_SLHelper_Lua : public nE_SLHelper {
public:
    // Works on the table on top of L's stack; when the top is not a table, reads find nothing and writes
    // do nothing.
    explicit nE_SLHelper_Lua(lua_State* L) : lua_(L) {}

    void writeVec3(const char* name, float x, float y, float z) override;
    void writeVec2(const char* name, float x, float y) override;
    void writeString(const char* name, const std::string& value) override;
    void writeFloat(const char* name, float value) override;
    void writeInt(const char* name, int value) override;
    void writeUInt(const char* name, unsigned value) override;
    void writeBool(const char* name, bool value) override;
    // A table holds every value: defaults are always written.
    void writeInt(const char* name, int value, int) override { writeInt(name, value); }
    void writeBool(const char* name, bool value, bool) override { writeBool(name, value); }
    void writeString(const char* name, const std::string& value, const std::string&) override {
        writeString(name, value);
    }
    void writeFloat(const char* name, float value, float) override { writeFloat(name, value); }

    bool readVec3(const char* name, float& x, float& y, float& z) override;
    bool readVec2(const char* name, float& x, float& y) override;
    bool readString(const char* name, std::string& out) override;
    bool readFloat(const char* name, float& out) override;
    bool readInt(const char* name, int& out) override;
    bool readUInt(const char* name, unsigned& out) override;
    bool readBool(const char* name, bool& out) override;

    void beginChild(const char*) override {}
    void endChild() override {}
    bool enterChild(const char*, int) override { return false; }
    void leaveChild() override {}

private:
    bool tableOnTop() const;
    // Pushes the field's value; false (nothing pushed) when the field is nil or there is no table.
    bool pushField(const char* name);
    // Pops the value on top into the field of the table below it, raw.
    void setField(const char* name);
    bool readVector(const char* name, float* out, int count);
    void writeVector(const char* name, const float* values, int count);

    lua_State* lua_;
};
