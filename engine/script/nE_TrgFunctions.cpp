#include "engine/script/nE_TrgFunctions.h"

#include <string>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Debug.h"
#include "engine/core/nE_ErrorLog.h"
#include "engine/script/nE_LuaChunk.h"
#include "engine/script/nE_Module.h"
#include "engine/script/nE_ScriptArgs.h"
#include "engine/script/nE_Trigger.h"
#include "engine/script/nE_TriggerHub.h"

namespace {

nE_TriggerHub* triggerHub() {
    return nE_Core::exists() ? nE_Core::get()->triggerHubIfAlive() : nullptr;
}

}  // namespace

int nE_TrgFunctions::TrgExecute(lua_State* L) {
    std::string call;
    const bool given = nE_ScriptArgs::string(L, 1, call);
    // The stack is emptied first: the trigger runs on this same state.
    nE_ScriptArgs::done(L);
    if (given) {
        nE_TriggerHub* triggers = triggerHub();
        if (triggers && !triggers->executeNow("ne_undef", call)) {
            std::string file;
            int line = 0;
            nE_LuaChunk::caller(L, file, line);
            triggers->reportRefused(call, "TrgExecute", file, line);
        }
    }
    return nE_ScriptArgs::done(L);
}

int nE_TrgFunctions::TrgGet(lua_State* L) {
    std::string name;
    nE_Trigger* trigger = nullptr;
    if (nE_ScriptArgs::string(L, 1, name)) {
        if (nE_TriggerHub* triggers = triggerHub()) trigger = triggers->find(name);
    }
    lua_settop(L, 0);
    if (!trigger) {
        lua_pushnil(L);
        return 1;
    }
    lua_createtable(L, 0, 2);
    lua_pushlstring(L, trigger->name.data(), trigger->name.size());
    lua_setfield(L, -2, "name");
    lua_pushlstring(L, trigger->code.data(), trigger->code.size());
    lua_setfield(L, -2, "code");
    return 1;
}

int nE_TrgFunctions::TrgSet(lua_State* L) {
    std::string name;
    nE_TriggerHub* triggers = triggerHub();
    nE_Trigger* trigger = triggers && nE_ScriptArgs::string(L, 1, name) ? triggers->find(name) : nullptr;
    if (trigger && lua_istable(L, 2)) {
        // Raw access: a metatable on the table cannot raise an error here.
        lua_pushliteral(L, "code");
        lua_rawget(L, 2);
        std::string code;
        if (lua_type(L, -1) == LUA_TSTRING && nE_ScriptArgs::string(L, -1, code)) trigger->code = code;
    }
    return nE_ScriptArgs::done(L);
}

int nE_TrgFunctions::TrgDelete(lua_State* L) {
    std::string name;
    if (nE_ScriptArgs::string(L, 1, name)) {
        if (nE_TriggerHub* triggers = triggerHub()) triggers->remove(name);
    }
    return nE_ScriptArgs::done(L);
}

int nE_TrgFunctions::DbgTrace(lua_State* L) {
    std::string text;
    // Written as it is: a "%" in the text is not a format.
    if (nE_ScriptArgs::string(L, 1, text)) nE_Debug::write(text.c_str());
    return nE_ScriptArgs::done(L);
}

int nE_TrgFunctions::ModLoad(lua_State* L) {
    std::string path;
    const bool given = nE_ScriptArgs::string(L, 1, path);
    nE_ScriptArgs::done(L);
    if (!given || !nE_Core::exists() || !nE_Module::acceptsPath(path)) return nE_ScriptArgs::done(L);
    std::unique_ptr<nE_Module> module = nE_Module::load(path);
    if (module->missing) {
        // A misspelt path would otherwise only show as objects and triggers that never come.
        nE_ErrorLog::Entry entry;
        nE_LuaChunk::caller(L, entry.file, entry.line);
        entry.message =
            "ModLoad(\"" + path + "\"): there is no module file \"" + nE_Module::fileName(path) + "\"";
        nE_ErrorLog::report(entry);
    }
    nE_Core* core = nE_Core::get();
    nE_Module::bringInWithObjects(std::move(module), core->scene(), core->triggerHub());
    return nE_ScriptArgs::done(L);
}
