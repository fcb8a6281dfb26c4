// Script functions of the game's language: which languages the game has, their names, and choosing one
// while the game runs.
#pragma once

struct lua_State;

class nG_LanguageFunctions {
public:
    // GetLanguage() -> the current code ("en", "de", ...).
    static int GetLanguage(lua_State* L);
    // GetLanguages() -> the codes the game has, English first, as a list.
    static int GetLanguages(lua_State* L);
    // GetLanguageName(code) -> the language's name in itself ("Deutsch").
    static int GetLanguageName(lua_State* L);
    // SetLanguage(code) -> true when the game has the language. Every text on screen shows it at once;
    // the choice is kept in the settings.
    static int SetLanguage(lua_State* L);
};
