#include "game/script/nG_InterfaceFunctions.h"

#include <lua.hpp>
#include <string>

#include "engine/core/nE_Mediator.h"
#include "engine/script/nE_ScriptArgs.h"
#include "game/core/nG_Messages.h"
#include "game/script/nG_ScriptFunctions.h"

namespace {

template <unsigned int Message>
int postBool(lua_State* L, bool value) {
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<Message>(&value);
    return 0;
}

}  // namespace

int nG_InterfaceFunctions::HideInterface(lua_State* L) {
    nG_HideInterfaceRequest request;
    request.hide = nG_ScriptFunctions::intFlag(L, 1);
    request.fade = nG_ScriptFunctions::passed(L) < 2 || nG_ScriptFunctions::intFlag(L, 2);
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_HIDE_INTERFACE>(&request);
    return 0;
}

int nG_InterfaceFunctions::SetInterfaceInputEnable(lua_State* L) {
    return postBool<MSG_INTERFACE_INPUT>(L, nG_ScriptFunctions::intFlag(L, 1));
}

int nG_InterfaceFunctions::ShowBlackBarText(lua_State* L) {
    nG_BlackBarRequest request;
    request.text = nG_ScriptFunctions::text(L, 1);
    double seconds = 0;
    if (nE_ScriptArgs::number(L, 2, seconds)) request.seconds = static_cast<float>(seconds);
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_BLACKBAR_SHOW>(&request);
    return 0;
}

int nG_InterfaceFunctions::ShowDialog(lua_State* L) {
    nG_DialogRequest request;
    request.text = nG_ScriptFunctions::text(L, 1);
    request.x = nE_ScriptArgs::integerOr0(L, 2);
    request.y = nE_ScriptArgs::integerOr0(L, 3);
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_DIALOG_SHOW>(&request);
    return 0;
}

int nG_InterfaceFunctions::ChargeHint(lua_State* L) {
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_HINT_CHARGE>();
    return 0;
}

int nG_InterfaceFunctions::PointHint(lua_State* L) {
    std::string target;
    if (!nE_ScriptArgs::string(L, 1, target)) return nE_ScriptArgs::done(L);
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_HINT_POINT>(&target);
    return 0;
}

int nG_InterfaceFunctions::CompleteAchievement(lua_State* L) {
    nG_AchievementRequest request;
    request.name = nG_ScriptFunctions::text(L, 1);
    request.second = nG_ScriptFunctions::text(L, 2);
    request.repeatable = nG_ScriptFunctions::intFlag(L, 3);
    request.target = nE_ScriptArgs::integerOr0(L, 4);
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_ACHIEVEMENT_COMPLETE>(&request);
    return 0;
}

int nG_InterfaceFunctions::AddDiaryPage(lua_State* L) {
    return nG_ScriptFunctions::postName<MSG_DIARY_ADD_PAGE>(L);
}

int nG_InterfaceFunctions::LockDiaryClose(lua_State* L) {
    return postBool<MSG_LOCK_DIARY_CLOSE>(L, nG_ScriptFunctions::flag(L, 1));
}

int nG_InterfaceFunctions::LockDiaryBookOpen(lua_State* L) {
    return postBool<MSG_LOCK_DIARY_BOOK_OPEN>(L, nG_ScriptFunctions::flag(L, 1));
}

int nG_InterfaceFunctions::IsDiaryOpened(lua_State* L) {
    nE_ScriptArgs::done(L);
    bool opened = false;
    nE_Mediator::postToCurrent<MSG_IS_DIARY_OPENED>(&opened);
    lua_pushinteger(L, opened ? 1 : 0);
    return 1;
}

int nG_InterfaceFunctions::CollectDiaryObject(lua_State* L) {
    nG_CollectRequest request{nG_ScriptFunctions::text(L, 1), nG_ScriptFunctions::text(L, 2)};
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_DIARY_COLLECT>(&request);
    return 0;
}

int nG_InterfaceFunctions::SetActiveMapRoom(lua_State* L) {
    return nG_ScriptFunctions::postName<MSG_SET_ACTIVE_MAP_ROOM>(L);
}
