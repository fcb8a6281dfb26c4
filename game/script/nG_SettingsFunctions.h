// Script functions of the settings and the application's window: gamma, full screen, system cursor,
// volumes, the publisher's web address.
#pragma once

struct lua_State;

class nG_SettingsFunctions {
public:
    // What SetFullScreen calls: the program's display toggle (none until the program sets it).
    using FullScreenHandler = bool (*)(bool wantFullscreen);
    static void setFullScreenHandler(FullScreenHandler handler);

    static int SaveSettings(lua_State* L);
    static int GetGamma(lua_State* L);
    static int SetGamma(lua_State* L);
    static int SetFullScreen(lua_State* L);
    static int GetFullScreen(lua_State* L);
    static int SetSysCursor(lua_State* L);
    static int GetSysCursor(lua_State* L);
    static int SetSoundVolume(lua_State* L);
    static int GetSoundVolume(lua_State* L);
    static int GetUrl(lua_State* L);
    static int OpenBrowser(lua_State* L);
};
