#include "game/script/nG_LanguageFunctions.h"

#include <lua.hpp>
#include <string>
#include <vector>

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Language.h"
#include "engine/core/nE_StringTable.h"
#include "engine/script/nE_ScriptArgs.h"
#include "game/state/nG_Settings.h"

namespace {

void pushString(lua_State* L, const std::string& text) {
    lua_pushlstring(L, text.data(), text.size());
}

}  // namespace

int nG_LanguageFunctions::GetLanguage(lua_State* L) {
    nE_ScriptArgs::done(L);
    pushString(L, nE_Language::current());
    return 1;
}

int nG_LanguageFunctions::GetLanguages(lua_State* L) {
    nE_ScriptArgs::done(L);
    const std::vector<std::string> codes = nE_Language::available();
    lua_createtable(L, static_cast<int>(codes.size()), 0);
    for (size_t i = 0; i < codes.size(); ++i) {
        pushString(L, codes[i]);
        lua_rawseti(L, -2, static_cast<int>(i + 1));
    }
    return 1;
}

int nG_LanguageFunctions::GetLanguageName(lua_State* L) {
    const std::string code = nE_ScriptArgs::stringOr(L, 1, "");
    nE_ScriptArgs::done(L);
    pushString(L, nE_Language::nativeName(code));
    return 1;
}

int nG_LanguageFunctions::SetLanguage(lua_State* L) {
    const std::string code = nE_ScriptArgs::stringOr(L, 1, "");
    nE_ScriptArgs::done(L);
    const bool known = code == nE_Language::kBase || nE_Language::has(code);
    nE_StringTable* table = nE_StringTable::current();
    if (!known || !table) {
        if (!known) nE_Debug::writef("SetLanguage: the game has no language \"%s\"", code.c_str());
        lua_pushboolean(L, 0);
        return 1;
    }
    if (code != nE_Language::current()) nE_Language::apply(*table, code);
    if (nG_Settings* settings = nG_Settings::current()) settings->language = code;
    lua_pushboolean(L, 1);
    return 1;
}
