// Script functions of the interface bar, the black bar, dialogs, the hint, achievements and the diary.
// Each posts its widget's message; a widget that is not there leaves it unanswered.
#pragma once

struct lua_State;

class nG_InterfaceFunctions {
public:
    // (hide, fade): fades unless a second argument other than 1 is given.
    static int HideInterface(lua_State* L);
    static int SetInterfaceInputEnable(lua_State* L);
    static int ShowBlackBarText(lua_State* L);
    static int ShowDialog(lua_State* L);
    static int ChargeHint(lua_State* L);
    // (object): the hint's light circles the object, wherever it stands on the screen.
    static int PointHint(lua_State* L);
    static int CompleteAchievement(lua_State* L);
    static int AddDiaryPage(lua_State* L);
    static int LockDiaryClose(lua_State* L);
    static int LockDiaryBookOpen(lua_State* L);
    // 0 or 1; 0 when no diary answers.
    static int IsDiaryOpened(lua_State* L);
    static int CollectDiaryObject(lua_State* L);
    static int SetActiveMapRoom(lua_State* L);
};
