#include "game/state/nG_ScriptTable.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <lua.hpp>
#include <string>
#include <vector>

#include "engine/core/nE_Debug.h"
#include "engine/script/nE_LuaCall.h"

namespace {

enum ValType { kNumber = 0, kBoolean = 1, kString = 2, kTable = 3 };

// A key after "el_" that reads back as a number: exactly the way "%d" writes a non-zero integer.
bool numberKey(const std::string& rest) {
    const int number = nG_ScriptTable::toInt(rest.c_str());
    return number != 0 && rest == std::to_string(number);
}

// String keys that may follow "el_" in an element name and read back as the same string.
bool nameSafe(const std::string& key) {
    for (unsigned char c : key) {
        if (!(std::isalnum(c) || c == '_' || c == '-' || c == '.' || c >= 0x80)) return false;
    }
    return !numberKey(key);
}

std::string numberText(lua_State* L, int index) {
    // A copy: converting in place would disturb lua_next when the value is a key.
    lua_pushvalue(L, index);
    size_t length = 0;
    const char* text = lua_tolstring(L, -1, &length);
    std::string out = text ? std::string(text, length) : std::string("0");
    lua_pop(L, 1);
    return out;
}

int clampToInt(lua_Number value) {
    if (std::isnan(value)) return 0;
    if (value >= INT_MAX) return INT_MAX;
    if (value <= INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

struct Encoder {
    lua_State* L;
    tinyxml2::XMLDocument& doc;
    std::vector<const void*> path;  // tables being written, to leave out cycles
    const char* name;
    size_t entries = 0;
    bool failed = false;
    bool cycleReported = false;

    // A table that cannot be written whole is not written at all: a save missing entries would replace
    // a good file with a worse one.
    void fail(const char* what) {
        if (!failed)
            nE_Debug::writef("nG_ScriptTable: \"%s\" cannot be saved: %s; nothing of it is written", name,
                             what);
        failed = true;
    }

    // One written entry and the key it is ordered by: numbers before strings.
    struct Written {
        bool isString;
        lua_Number number;
        std::string text;
        tinyxml2::XMLElement* element;
    };

    // Fills `element` from the table at the absolute stack index. Entries are written in key order, not
    // in the table's own (which depends on its history), so that the same table always gives the same
    // file.
    void fill(tinyxml2::XMLElement* element, int table, int depth) {
        if (failed) return;
        if (!lua_checkstack(L, 6)) return fail("stack exhausted");
        const int base = lua_gettop(L);
        path.push_back(lua_topointer(L, table));
        std::vector<Written> written;
        lua_pushnil(L);
        while (!failed && lua_next(L, table) != 0) {
            const int key = lua_gettop(L) - 1, value = key + 1;
            if (tinyxml2::XMLElement* entry = addEntry(element, key, value, depth)) {
                Written w{lua_type(L, key) == LUA_TSTRING, 0, std::string(), entry};
                if (w.isString) {
                    size_t length = 0;
                    const char* text = lua_tolstring(L, key, &length);
                    w.text.assign(text, length);
                } else {
                    w.number = lua_tonumber(L, key);
                }
                written.push_back(std::move(w));
            }
            lua_pop(L, 1);
        }
        if (failed) {
            // lua_next stopped early: key and value are still on the stack.
            lua_settop(L, base);
            path.pop_back();
            return;
        }
        std::stable_sort(written.begin(), written.end(), [](const Written& a, const Written& b) {
            if (a.isString != b.isString) return !a.isString;
            return a.isString ? a.text < b.text : a.number < b.number;
        });
        for (const Written& w : written) element->InsertEndChild(w.element);
        path.pop_back();
    }

    tinyxml2::XMLElement* addEntry(tinyxml2::XMLElement* parent, int key, int value, int depth) {
        const int type = lua_type(L, value);
        if (type != LUA_TNUMBER && type != LUA_TBOOLEAN && type != LUA_TSTRING && type != LUA_TTABLE)
            return nullptr;
        if (type == LUA_TTABLE) {
            if (depth >= nG_ScriptTable::kMaxDepth) {
                fail("tables nested too deep");
                return nullptr;
            }
            // A table holding itself has no written form; the link back is left out.
            for (const void* open : path)
                if (open == lua_topointer(L, value)) {
                    if (!cycleReported)
                        nE_Debug::writef(
                            "nG_ScriptTable: \"%s\" holds a table inside itself; that link is not saved",
                            name);
                    cycleReported = true;
                    return nullptr;
                }
        }
        if (++entries > nG_ScriptTable::kMaxEntries) {
            fail("too many entries");
            return nullptr;
        }

        std::string keyText;
        bool escaped = false;
        if (lua_type(L, key) == LUA_TSTRING) {
            size_t length = 0;
            const char* text = lua_tolstring(L, key, &length);
            keyText.assign(text, length);
            escaped = !nameSafe(keyText);
        } else {
            keyText = std::to_string(lua_type(L, key) == LUA_TNUMBER ? clampToInt(lua_tonumber(L, key)) : 0);
        }
        tinyxml2::XMLElement* entry = doc.NewElement(escaped ? "el_" : ("el_" + keyText).c_str());
        if (escaped) entry->SetAttribute("key", keyText.c_str());
        parent->InsertEndChild(entry);
        switch (type) {
            case LUA_TNUMBER:
                entry->SetAttribute("valtype", kNumber);
                entry->SetAttribute("val", numberText(L, value).c_str());
                break;
            case LUA_TBOOLEAN:
                entry->SetAttribute("valtype", kBoolean);
                entry->SetAttribute("val", lua_toboolean(L, value) ? "1" : "0");
                break;
            case LUA_TSTRING: {
                size_t length = 0;
                const char* text = lua_tolstring(L, value, &length);
                entry->SetAttribute("valtype", kString);
                entry->SetAttribute("val", std::string(text, length).c_str());
                break;
            }
            default:
                entry->SetAttribute("valtype", kTable);
                fill(entry, value, depth + 1);
                break;
        }
        return entry;
    }
};

void decodeInto(lua_State* L, int table, const tinyxml2::XMLElement* element, int depth) {
    if (!lua_checkstack(L, 6)) return;
    for (const tinyxml2::XMLElement* child = element->FirstChildElement(); child;
         child = child->NextSiblingElement()) {
        const char* valtype = child->Attribute("valtype");
        if (!valtype) continue;
        const int kind = nG_ScriptTable::toInt(valtype);
        if (std::string(valtype) != std::to_string(kind) || kind < kNumber || kind > kTable) continue;
        if (kind == kTable && depth >= nG_ScriptTable::kMaxDepth) continue;

        const std::string name = child->Name();
        const char* keyAttribute = child->Attribute("key");
        if (name == "el_" && keyAttribute) {
            lua_pushstring(L, keyAttribute);
        } else {
            // Only what "%d" writes is a number: a string key such as "12abc" stays a string.
            const std::string rest = name.size() > 3 ? name.substr(3) : std::string();
            if (numberKey(rest))
                lua_pushnumber(L, nG_ScriptTable::toInt(rest.c_str()));
            else
                lua_pushlstring(L, rest.data(), rest.size());
        }
        const char* val = child->Attribute("val");
        switch (kind) {
            case kNumber:
                lua_pushnumber(L, val ? std::strtod(val, nullptr) : 0.0);
                break;
            case kBoolean:
                lua_pushboolean(L, val && nG_ScriptTable::toInt(val) != 0);
                break;
            case kString:
                lua_pushstring(L, val ? val : "");
                break;
            default:
                lua_newtable(L);
                decodeInto(L, lua_gettop(L), child, depth + 1);
                break;
        }
        lua_rawset(L, table);
    }
}

}  // namespace

int nG_ScriptTable::toInt(const char* text) {
    if (!text) return 0;
    const char* p = text;
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    long long value = 0;
    while (std::isdigit(static_cast<unsigned char>(*p))) {
        value = value * 10 + (*p++ - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

tinyxml2::XMLElement* nG_ScriptTable::encode(lua_State* L, int index, const char* name,
                                             tinyxml2::XMLDocument& doc) {
    tinyxml2::XMLElement* element = doc.NewElement(name);
    element->SetAttribute("valtype", kTable);
    if (!L || lua_type(L, index) != LUA_TTABLE) return element;
    Encoder encoder{L, doc, {}, name};
    const int table = index > 0 || index <= LUA_REGISTRYINDEX ? index : lua_gettop(L) + index + 1;
    encoder.fill(element, table, 0);
    if (!encoder.failed) return element;
    doc.DeleteNode(element);
    return nullptr;
}

void nG_ScriptTable::decode(lua_State* L, int index, const tinyxml2::XMLElement* element) {
    if (!L || !element || lua_type(L, index) != LUA_TTABLE) return;
    const int table = index > 0 || index <= LUA_REGISTRYINDEX ? index : lua_gettop(L) + index + 1;
    decodeInto(L, table, element, 0);
}

namespace {

// Work on a global table, run protected: the API calls may raise (memory) and must not do so outside a
// protected call.
struct GlobalWork {
    const char* name;
    tinyxml2::XMLDocument* doc;
    const tinyxml2::XMLElement* in;
    tinyxml2::XMLElement* out;
};

int encodeGlobalWork(lua_State* L) {
    auto* work = static_cast<GlobalWork*>(lua_touserdata(L, 1));
    lua_pushstring(L, work->name);
    lua_rawget(L, LUA_GLOBALSINDEX);
    work->out = nG_ScriptTable::encode(L, -1, work->name, *work->doc);
    return 0;
}

int resetGlobalWork(lua_State* L) {
    const auto* work = static_cast<const GlobalWork*>(lua_touserdata(L, 1));
    lua_pushstring(L, work->name);
    lua_newtable(L);
    lua_rawset(L, LUA_GLOBALSINDEX);
    return 0;
}

int decodeGlobalWork(lua_State* L) {
    const auto* work = static_cast<const GlobalWork*>(lua_touserdata(L, 1));
    lua_pushstring(L, work->name);
    lua_rawget(L, LUA_GLOBALSINDEX);
    if (!lua_istable(L, -1)) {
        lua_pop(L, 1);
        resetGlobalWork(L);
        lua_pushstring(L, work->name);
        lua_rawget(L, LUA_GLOBALSINDEX);
    }
    nG_ScriptTable::decode(L, -1, work->in);
    return 0;
}

bool runGlobalWork(lua_State* L, lua_CFunction f, GlobalWork& work, const char* what) {
    std::string error;
    if (nE_LuaCall::protect(L, f, &work, error)) return true;
    nE_Debug::writef("nG_ScriptTable: %s \"%s\" failed: %s", what, work.name, error.c_str());
    return false;
}

}  // namespace

tinyxml2::XMLElement* nG_ScriptTable::encodeGlobal(lua_State* L, const char* name,
                                                   tinyxml2::XMLDocument& doc) {
    if (!L) return encode(nullptr, 0, name, doc);
    // A table that could not be written whole gives none, so that the caller keeps what it saved before.
    GlobalWork work{name, &doc, nullptr, nullptr};
    if (!runGlobalWork(L, encodeGlobalWork, work, "writing")) return nullptr;
    return work.out;
}

void nG_ScriptTable::decodeGlobal(lua_State* L, const char* name, const tinyxml2::XMLElement* element) {
    if (!L) return;
    GlobalWork work{name, nullptr, element, nullptr};
    runGlobalWork(L, decodeGlobalWork, work, "reading");
}

void nG_ScriptTable::resetGlobal(lua_State* L, const char* name) {
    if (!L) return;
    GlobalWork work{name, nullptr, nullptr, nullptr};
    runGlobalWork(L, resetGlobalWork, work, "resetting");
}
