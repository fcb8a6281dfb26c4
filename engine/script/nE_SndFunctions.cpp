#include "engine/script/nE_SndFunctions.h"

#include <cstdlib>
#include <lua.hpp>
#include <string>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Path.h"
#include "engine/core/nE_ResourceRequester.h"
#include "engine/media/nE_SoundHub.h"
#include "engine/script/nE_LuaChunk.h"
#include "engine/script/nE_ScriptArgs.h"
#include "engine/script/nE_TriggerHub.h"

namespace {
float secondsOr0(lua_State* L, int index) {
    double seconds = 0;
    return nE_ScriptArgs::number(L, index, seconds) ? static_cast<float>(seconds) : 0.f;
}
}  // namespace

int nE_SndFunctions::SndPlay(lua_State* L) {
    std::string name;
    if (nE_ScriptArgs::string(L, 1, name) &&
        !nE_Path::resolve(name, nE_Path::kGameOrUserFolder, "SndPlay").empty()) {
        const std::string group = nE_ScriptArgs::stringOr(L, 2, "");
        const bool looped = std::atoi(nE_ScriptArgs::stringOr(L, 3, "0").c_str()) != 0;
        const std::string endTrigger = nE_ScriptArgs::stringOr(L, 5, "");
        // A sound that is not there is reported with the script line that asked for it.
        std::string file, who = "SndPlay";
        int line = 0;
        nE_LuaChunk::caller(L, file, line);
        nE_TriggerHub* triggers = nE_Core::exists() ? nE_Core::get()->triggerHubIfAlive() : nullptr;
        if (const nE_TriggerCall* running = triggers ? triggers->runningCall() : nullptr)
            who = "trigger \"" + running->trigger->name + "\"";
        nE_ResourceRequester::Scope asking(who, file, line);
        if (nE_SoundHub* hub = nE_SoundHub::get())
            hub->play(name, group, looped, endTrigger, secondsOr0(L, 6));
    }
    return nE_ScriptArgs::done(L);
}

int nE_SndFunctions::SndStop(lua_State* L) {
    std::string name;
    nE_SoundHub* hub = nE_SoundHub::get();
    if (hub && nE_ScriptArgs::string(L, 1, name)) hub->stop(name, secondsOr0(L, 2));
    return nE_ScriptArgs::done(L);
}

int nE_SndFunctions::SndPauseAll(lua_State* L) {
    if (nE_SoundHub* hub = nE_SoundHub::get()) hub->pauseAll(lua_toboolean(L, 1) != 0);
    return nE_ScriptArgs::done(L);
}
