#include "game/script/nG_RoomFunctions.h"

#include <lua.hpp>
#include <string>
#include <vector>

#include "engine/core/nE_Mediator.h"
#include "engine/core/nE_Object.h"
#include "engine/core/nE_Scene.h"
#include "engine/script/nE_ContentRules.h"
#include "engine/script/nE_ScriptArgs.h"
#include "game/core/nG_Messages.h"
#include "game/script/nG_ScriptFunctions.h"

namespace {

void postChange(bool isSubRoom, bool closeCurrent, bool animate, const std::string& name, int sx = 0,
                int sy = 0, int ex = 0, int ey = 0) {
    nG_RoomChangeRequest request;
    request.isSubRoom = isSubRoom;
    request.closeCurrent = closeCurrent;
    request.startX = sx;
    request.startY = sy;
    request.endX = ex;
    request.endY = ey;
    request.animate = animate;
    request.name = name;
    nE_Mediator::postToCurrent<MSG_CHANGE_ROOM>(&request);
}

nE_Object* currentRoom() {
    nE_Object* room = nullptr;
    nE_Mediator::postToCurrent<MSG_GET_CURRENT_ROOM>(&room);
    return room;
}

}  // namespace

int nG_RoomFunctions::SwitchRoom(lua_State* L) {
    std::string name;
    if (!nE_ScriptArgs::string(L, 1, name)) return nE_ScriptArgs::done(L);
    const bool animate = nG_ScriptFunctions::passed(L) < 2 || nE_ScriptArgs::integerOr0(L, 2) > 0;
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_SAVE_GAME>();
    nE_Mediator::postToCurrent<MSG_DIALOG_CLOSE>();
    postChange(false, false, animate, name);
    return 0;
}

int nG_RoomFunctions::OpenSubRoom(lua_State* L) {
    std::string name;
    if (!nE_ScriptArgs::string(L, 1, name)) return nE_ScriptArgs::done(L);
    const int sx = nE_ScriptArgs::integerOr0(L, 2), sy = nE_ScriptArgs::integerOr0(L, 3);
    const int ex = nE_ScriptArgs::integerOr0(L, 4), ey = nE_ScriptArgs::integerOr0(L, 5);
    nE_ScriptArgs::done(L);
    postChange(true, false, true, name, sx, sy, ex, ey);
    return 0;
}

int nG_RoomFunctions::CloseSubRoom(lua_State* L) {
    nE_ScriptArgs::done(L);
    postChange(true, true, true, "");
    return 0;
}

int nG_RoomFunctions::GetCurrentRoom(lua_State* L) {
    nE_ScriptArgs::done(L);
    nE_Object* room = currentRoom();
    if (!room) return 0;
    lua_pushstring(L, room->name.c_str());
    return 1;
}

int nG_RoomFunctions::BlockSubRoomClose(lua_State* L) {
    bool block = nE_ScriptArgs::integerOr0(L, 1) > 0;
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_BLOCK_SUBROOM_CLOSE>(&block);
    return 0;
}

int nG_RoomFunctions::ClearRoomsHub(lua_State* L) {
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_CLEAR_ROOMS_HUB>();
    return 0;
}

void nG_RoomFunctions::declareContent() {
    using R = nE_ContentRules;
    R::addNeed({"game", R::kTrigger, kGoRoomTrigger, "nG_RoomFunctions (TeleportFromDiary)", "", ""});
}

int nG_RoomFunctions::TeleportFromDiary(lua_State* L) {
    const std::string room = nE_ScriptArgs::stringOr(L, 1, "");
    nE_ScriptArgs::done(L);
    nG_PopupRequest hide;
    nE_Mediator::postToCurrent<MSG_POPUP>(&hide);
    postChange(true, true, false, "");
    nE_Scene::queueTrigger("ng_map", std::string(kGoRoomTrigger) + "(" + room + ")");
    nE_Mediator::postToCurrent<MSG_DIARY_TOGGLE>();
    return 0;
}

int nG_RoomFunctions::ApplyObj(lua_State* L) {
    nE_Object* object = nE_ScriptArgs::object(L, 1);
    nE_Object* target = nE_ScriptArgs::object(L, 2);
    nE_ScriptArgs::done(L);
    nE_Object* room = currentRoom();
    const bool applies = object && target && room && (target == room || room->isAncestorOf(target)) &&
                         nE_Scene::intersect(object, target);
    lua_pushboolean(L, applies);
    return 1;
}

int nG_RoomFunctions::GetApplyTarget(lua_State* L) {
    nE_Object* item = nE_ScriptArgs::object(L, 1);
    nE_ScriptArgs::done(L);
    nE_Object* room = currentRoom();
    if (!item || !room) return 0;
    nE_Object* found = nullptr;
    // Children are kept in drawing order, so the last one met in a walk is the one on top.
    std::vector<nE_Object*> open(room->children.rbegin(), room->children.rend());
    while (!open.empty()) {
        nE_Object* object = open.back();
        open.pop_back();
        if (!object->visible || !object->input || object == item) continue;
        if (!object->eventTriggers[nE_Object::kEventMouseDown].empty() && nE_Scene::intersect(item, object))
            found = object;
        open.insert(open.end(), object->children.rbegin(), object->children.rend());
    }
    if (!found) return 0;
    lua_pushstring(L, found->name.c_str());
    return 1;
}

int nG_RoomFunctions::ActivateGame(lua_State* L) {
    bool active = nG_ScriptFunctions::flag(L, 1);
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_ACTIVATE_GAME>(&active);
    return 0;
}
