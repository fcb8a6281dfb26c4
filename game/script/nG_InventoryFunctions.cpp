#include "game/script/nG_InventoryFunctions.h"

#include <lua.hpp>
#include <string>

#include "engine/core/nE_Mediator.h"
#include "engine/script/nE_ScriptArgs.h"
#include "game/core/nG_Messages.h"
#include "game/script/nG_ScriptFunctions.h"

int nG_InventoryFunctions::AddObjectToInv(lua_State* L) {
    nG_InvAddRequest request;
    if (!nE_ScriptArgs::string(L, 1, request.item)) return nE_ScriptArgs::done(L);
    request.flyer = nG_ScriptFunctions::text(L, 2);
    request.code = nG_ScriptFunctions::text(L, 3);
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_INV_ADD>(&request);
    return 0;
}

int nG_InventoryFunctions::DelObjectFromInv(lua_State* L) {
    std::string name;
    if (!nE_ScriptArgs::string(L, 1, name)) return nE_ScriptArgs::done(L);
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_INV_REMOVE>(&name);
    return 0;
}

int nG_InventoryFunctions::HighlightInv(lua_State* L) {
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_INV_HIGHLIGHT>();
    return 0;
}

int nG_InventoryFunctions::AddTask(lua_State* L) {
    nG_TaskAddRequest request;
    request.textId = nG_ScriptFunctions::text(L, 1);
    request.count = nE_ScriptArgs::integerOr0(L, 2);
    request.room = nG_ScriptFunctions::text(L, 3);
    request.marked = nG_ScriptFunctions::passed(L) >= 4 && nG_ScriptFunctions::intFlag(L, 4);
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_TASK_ADD>(&request);
    return 0;
}

int nG_InventoryFunctions::CompleteTask(lua_State* L) {
    return nG_ScriptFunctions::postName<MSG_TASK_COMPLETE>(L);
}

int nG_InventoryFunctions::UnmarkTask(lua_State* L) {
    return nG_ScriptFunctions::postName<MSG_TASK_UNMARK>(L);
}

int nG_InventoryFunctions::SetTasksCompleteData(lua_State* L) {
    nG_TaskCompleteData data;
    data.room = nG_ScriptFunctions::text(L, 1);
    data.dialogObject = nG_ScriptFunctions::text(L, 2);
    data.inventoryObject = nG_ScriptFunctions::text(L, 3);
    data.completeTrigger = nG_ScriptFunctions::text(L, 4);
    data.dialogCloseTrigger = nG_ScriptFunctions::text(L, 5);
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_TASK_COMPLETE_DATA>(&data);
    return 0;
}

int nG_InventoryFunctions::CollectHoObject(lua_State* L) {
    nG_CollectRequest request{nG_ScriptFunctions::text(L, 1), nG_ScriptFunctions::text(L, 2)};
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_HO_COLLECT>(&request);
    return 0;
}

int nG_InventoryFunctions::ShowPopup(lua_State* L) {
    nG_PopupRequest request;
    request.show = true;
    request.textId = nG_ScriptFunctions::text(L, 1);
    for (int i = 0; i < 5; ++i) request.params[i] = nG_ScriptFunctions::text(L, i + 2);
    request.rawText = false;
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_POPUP>(&request);
    return 0;
}

int nG_InventoryFunctions::HidePopup(lua_State* L) {
    nE_ScriptArgs::done(L);
    nG_PopupRequest request;
    nE_Mediator::postToCurrent<MSG_POPUP>(&request);
    return 0;
}

int nG_InventoryFunctions::ShowTutorial(lua_State* L) {
    const int passed = nG_ScriptFunctions::passed(L);
    nG_TutorialRequest request;
    request.textId = nG_ScriptFunctions::text(L, 1);
    request.posX = nE_ScriptArgs::integerOr0(L, 2);
    request.posY = nE_ScriptArgs::integerOr0(L, 3);
    request.first = passed >= 4 && nG_ScriptFunctions::intFlag(L, 4);
    request.arrowX = nE_ScriptArgs::integerOr0(L, 5);
    request.arrowY = nE_ScriptArgs::integerOr0(L, 6);
    double angle = 0;
    if (nE_ScriptArgs::number(L, 7, angle)) request.arrowAngle = static_cast<float>(angle);
    request.closeTrigger = nG_ScriptFunctions::text(L, 8);
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_TUTORIAL_SHOW>(&request);
    return 0;
}

int nG_InventoryFunctions::IsTutorialSkipped(lua_State* L) {
    nE_ScriptArgs::done(L);
    bool skipped = false;
    nE_Mediator::postToCurrent<MSG_TUTORIAL_SKIPPED>(&skipped);
    lua_pushboolean(L, skipped);
    return 1;
}
