#include "game/script/nG_GuideFunctions.h"

#include "engine/core/nE_Mediator.h"
#include "engine/script/nE_ScriptArgs.h"
#include "game/core/nG_Messages.h"

template <unsigned int Message>
static int post(lua_State* L) {
    nE_Mediator::postToCurrent<Message>();
    return nE_ScriptArgs::done(L);
}

int nG_GuideFunctions::StrategyGuideTOC(lua_State* L) {
    return post<MSG_GUIDE_TOC>(L);
}

int nG_GuideFunctions::StrategyGuideNext(lua_State* L) {
    return post<MSG_GUIDE_NEXT>(L);
}

int nG_GuideFunctions::StrategyGuidePrev(lua_State* L) {
    return post<MSG_GUIDE_PREV>(L);
}
