#include "game/script/nG_SoundFunctions.h"

#include <cmath>
#include <cstdlib>
#include <lua.hpp>
#include <string>

#include "engine/core/nE_Path.h"
#include "engine/media/nE_SoundHub.h"
#include "engine/script/nE_ScriptArgs.h"

namespace {

int play(lua_State* L, const char* group, const char* who) {
    std::string path;
    if (nE_ScriptArgs::string(L, 1, path) &&
        !nE_Path::resolve(path, nE_Path::kGameOrUserFolder, who).empty()) {
        // The loop flag is read as text first, so "1" and 1 both loop.
        const bool looped = std::atoi(nE_ScriptArgs::stringOr(L, 2, "0").c_str()) != 0;
        const std::string endTrigger = nE_ScriptArgs::stringOr(L, 3, "");
        double fadeIn = 0;
        nE_ScriptArgs::number(L, 4, fadeIn);
        if (!(fadeIn > 0) || !std::isfinite(fadeIn)) fadeIn = 0;
        nE_SoundHub::get()->play(path, group, looped, endTrigger, static_cast<float>(fadeIn));
    }
    return nE_ScriptArgs::done(L);
}

}  // namespace

int nG_SoundFunctions::PlaySfx(lua_State* L) {
    return play(L, "sfx", "PlaySfx");
}

int nG_SoundFunctions::PlayEnv(lua_State* L) {
    return play(L, "env", "PlayEnv");
}

int nG_SoundFunctions::PlaySoundtrack(lua_State* L) {
    return play(L, "soundtrack", "PlaySoundtrack");
}

int nG_SoundFunctions::PlayVoice(lua_State* L) {
    return play(L, "voice", "PlayVoice");
}
