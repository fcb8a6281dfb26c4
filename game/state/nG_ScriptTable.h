// Script tables ("ng_global", "ng_var") as XML: one element per table carrying valtype 3, one child
// "el_" + key per entry with its valtype (0 number, 1 boolean, 2 string, 3 table) and, for scalars, its
// "val". Functions and other values are left out. Only a name written as "%d" writes ("el_12") reads
// back as a number; string keys that cannot be part of an element name, or that would read back as a
// number ("12"), are kept in a "key" attribute of an element named "el_". Tables are read and written
// with raw access, so metatables of the scripts never run.
#pragma once

#include <cstddef>
#include <string>

struct lua_State;
namespace tinyxml2 {
class XMLDocument;
class XMLElement;
}  // namespace tinyxml2

class nG_ScriptTable {
public:
    // Deeper tables are not read, and a table holding deeper ones is not written: a hostile file cannot
    // exhaust the stack.
    static constexpr int kMaxDepth = 64;
    // Entries written per table tree at most (a table shared many times over grows exponentially).
    static constexpr size_t kMaxEntries = 1000000;

    // A new element `name` (not inserted) holding the table at stack index `index`; an empty table
    // element when the value there is no table. None (and a line in the log) when the table cannot be
    // written whole: nested deeper than kMaxDepth or more than kMaxEntries entries. A link from a table
    // to one that holds it is left out (with a line in the log).
    static tinyxml2::XMLElement* encode(lua_State* L, int index, const char* name,
                                        tinyxml2::XMLDocument& doc);
    // Stores the entries of `element` into the table at stack index `index` (keys not in the element keep
    // their values).
    static void decode(lua_State* L, int index, const tinyxml2::XMLElement* element);

    // The same for a global table, read and set without metamethods. Without a Lua state the element is
    // an empty table and decoding does nothing; none as encode.
    static tinyxml2::XMLElement* encodeGlobal(lua_State* L, const char* name, tinyxml2::XMLDocument& doc);
    // Decodes into the global table, making a new one when the global holds no table.
    static void decodeGlobal(lua_State* L, const char* name, const tinyxml2::XMLElement* element);
    // Replaces the global by a new empty table.
    static void resetGlobal(lua_State* L, const char* name);

    // The C library's atoi, without its overflow: leading blanks, a sign, digits; clamped to int.
    static int toInt(const char* text);
};
