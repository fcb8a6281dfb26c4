#include "game/script/nG_MinigameFunctions.h"

#include <lua.hpp>
#include <string>

#include "engine/core/nE_Mediator.h"
#include "engine/script/nE_ScriptArgs.h"
#include "game/core/nG_Messages.h"
#include "game/script/nG_ScriptFunctions.h"

int nG_MinigameFunctions::StartMinigame(lua_State* L) {
    nG_MinigameStartRequest request;
    request.room = nE_ScriptArgs::stringOr(L, 1, "");
    request.skipTrigger = nE_ScriptArgs::stringOr(L, 2, "");
    request.resetTrigger = nE_ScriptArgs::stringOr(L, 3, "");
    request.infoDialog = nE_ScriptArgs::stringOr(L, 4, "");
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_MINIGAME_START>(&request);
    return 0;
}

int nG_MinigameFunctions::ShowMinigame(lua_State* L) {
    nG_MinigameShowRequest request;
    request.room = nE_ScriptArgs::stringOr(L, 1, "");
    request.show = nG_ScriptFunctions::intFlag(L, 2);
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_MINIGAME_SHOW>(&request);
    return 0;
}

int nG_MinigameFunctions::EndMinigame(lua_State* L) {
    std::string room = nE_ScriptArgs::stringOr(L, 1, "");
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_MINIGAME_END>(&room);
    return 0;
}

int nG_MinigameFunctions::ChargeMinigameSkip(lua_State* L) {
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_MINIGAME_CHARGE>();
    return 0;
}
