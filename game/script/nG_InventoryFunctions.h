// Script functions of the inventory, the task list, the hidden-object collector, the pop-up and the
// tutorial. Each posts its widget's message; a widget that is not there leaves it unanswered.
#pragma once

struct lua_State;

class nG_InventoryFunctions {
public:
    static int AddObjectToInv(lua_State* L);
    static int DelObjectFromInv(lua_State* L);
    static int HighlightInv(lua_State* L);
    // (task, count, room, marked): the task line shows while that room is shown.
    static int AddTask(lua_State* L);
    static int CompleteTask(lua_State* L);
    static int UnmarkTask(lua_State* L);
    static int SetTasksCompleteData(lua_State* L);
    static int CollectHoObject(lua_State* L);
    static int ShowPopup(lua_State* L);
    static int HidePopup(lua_State* L);
    static int ShowTutorial(lua_State* L);
    // False when no tutorial widget answers.
    static int IsTutorialSkipped(lua_State* L);
};
