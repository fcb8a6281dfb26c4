#include "game/core/nG_GuideFunctions.h"

#include "engine/core/nE_Mediator.h"
#include "engine/core/nE_Messages.h"
#include "engine/script/nE_ScriptArgs.h"

static int post(lua_State* L, unsigned int message) {
    nE_Mediator::postToCurrent(message, nullptr);
    return nE_ScriptArgs::done(L);
}

int nG_GuideFunctions::StrategyGuideTOC(lua_State* L) {
    return post(L, MSG_GUIDE_TOC);
}

int nG_GuideFunctions::StrategyGuideNext(lua_State* L) {
    return post(L, MSG_GUIDE_NEXT);
}

int nG_GuideFunctions::StrategyGuidePrev(lua_State* L) {
    return post(L, MSG_GUIDE_PREV);
}
