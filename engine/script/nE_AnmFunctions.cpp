#include "engine/script/nE_AnmFunctions.h"

#include <string>

#include "engine/objects/nE_AnimSprite.h"
#include "engine/script/nE_ScriptArgs.h"

namespace {

nE_AnimSprite* animSprite(lua_State* L) {
    return dynamic_cast<nE_AnimSprite*>(nE_ScriptArgs::object(L, 1));
}

}  // namespace

int nE_AnmFunctions::AnmPlay(lua_State* L) {
    nE_AnimSprite* sprite = animSprite(L);
    std::string function;
    if (sprite && nE_ScriptArgs::string(L, 2, function))
        sprite->play(function, nE_ScriptArgs::stringOr(L, 3, std::string()));
    return nE_ScriptArgs::done(L);
}

int nE_AnmFunctions::AnmStop(lua_State* L) {
    if (nE_AnimSprite* sprite = animSprite(L)) sprite->stop();
    return nE_ScriptArgs::done(L);
}

int nE_AnmFunctions::AnmPause(lua_State* L) {
    nE_AnimSprite* sprite = animSprite(L);
    int n = 0;
    if (sprite && nE_ScriptArgs::integer(L, 2, n)) sprite->pause(n);
    return nE_ScriptArgs::done(L);
}
