// Script functions of the screen and the application: switching between menu and game, quitting,
// window objects, positions in the screen's space, the sound device and the edition constants.
#pragma once

struct lua_State;

class nG_ScreenFunctions {
public:
    static int SwitchToGame(lua_State* L);
    static int SwitchToMenu(lua_State* L);
    // Closes the pause menu: the game goes on.
    static int ResumeGame(lua_State* L);
    static int Quit(lua_State* L);
    static int ShowObjectWindow(lua_State* L);
    static int IsNoSoundDevice(lua_State* L);
    static int GetObjPosByObj(lua_State* L);
    static int GetGameCursorPos(lua_State* L);
    static int IsSurveyEdition(lua_State* L);
    static int IsMac(lua_State* L);
    static int IsCollectorsEdition(lua_State* L);
};
