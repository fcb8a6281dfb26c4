// Script functions of rooms and sub-rooms: they ask the game object over the mediator.
#pragma once

struct lua_State;

class nG_RoomFunctions {
public:
    // Autosaves, closes a dialog, then changes the room; animated unless argument 2 is given and not
    // above 0.
    // Declares the fixed assets, modules and triggers this class loads or calls, for the content checker.
    static void declareContent();
    static int SwitchRoom(lua_State* L);
    static int OpenSubRoom(lua_State* L);
    static int CloseSubRoom(lua_State* L);
    // The open sub-room's name, else the current room's; no value without either.
    static int GetCurrentRoom(lua_State* L);
    static int BlockSubRoomClose(lua_State* L);
    static int ClearRoomsHub(lua_State* L);
    // Hides the pop-up, closes a sub-room at once, queues "go_room(room)" from "ng_map", toggles the diary.
    static int TeleportFromDiary(lua_State* L);
    // The trigger TeleportFromDiary calls with the room's name.
    static constexpr const char* kGoRoomTrigger = "go_room";
    // Whether the item overlaps the target and the target lies in the room shown.
    static int ApplyObj(lua_State* L);
    // (item): the topmost object of the room shown that answers a press (visible, taking input, with a
    // press trigger) and that the item overlaps; no value when there is none.
    static int GetApplyTarget(lua_State* L);
    static int ActivateGame(lua_State* L);
};
