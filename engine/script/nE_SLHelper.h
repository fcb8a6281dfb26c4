// The interface through which objects load and save their properties, in XML or in a Lua table. Every read
// returns false and leaves its output untouched when the key is absent, so a load never resets a property
// the description does not mention.
#pragma once

#include <string>

class nE_SLHelper {
public:
    virtual ~nE_SLHelper() = default;

    virtual void writeVec3(const char* name, float x, float y, float z) = 0;
    virtual void writeVec2(const char* name, float x, float y) = 0;
    virtual void writeString(const char* name, const std::string& value) = 0;
    virtual void writeFloat(const char* name, float value) = 0;
    virtual void writeInt(const char* name, int value) = 0;
    virtual void writeUInt(const char* name, unsigned value) = 0;
    virtual void writeBool(const char* name, bool value) = 0;
    // The "with default" writes may skip a value equal to its default (XML with skipDefaults).
    virtual void writeInt(const char* name, int value, int def) = 0;
    virtual void writeBool(const char* name, bool value, bool def) = 0;
    virtual void writeString(const char* name, const std::string& value, const std::string& def) = 0;
    virtual void writeFloat(const char* name, float value, float def) = 0;

    virtual bool readVec3(const char* name, float& x, float& y, float& z) = 0;
    virtual bool readVec2(const char* name, float& x, float& y) = 0;
    virtual bool readString(const char* name, std::string& out) = 0;
    virtual bool readFloat(const char* name, float& out) = 0;
    virtual bool readInt(const char* name, int& out) = 0;
    virtual bool readUInt(const char* name, unsigned& out) = 0;
    virtual bool readBool(const char* name, bool& out) = 0;
    // A file name (an object's "res"): read as a string and taken only when it names a file the game
    // may read (nE_Path::resolve, game or user folder); a refused one is reported and leaves out as it is.
    bool readFileName(const char* name, std::string& out);

    // Nesting, for writing: a new child element becomes current until endChild.
    virtual void beginChild(const char* name) = 0;
    virtual void endChild() = 0;
    // Nesting, for reading: the index-th child named `name` becomes current; false when there is none.
    virtual bool enterChild(const char* name, int index) = 0;
    virtual void leaveChild() = 0;
};
