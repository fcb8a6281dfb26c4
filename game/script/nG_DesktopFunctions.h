// Script functions that hand files to the player's desktop (documents folder, wallpaper, screen saver).
#pragma once

struct lua_State;

class nG_DesktopFunctions {
public:
    static int CopyFileToMyDocs(lua_State* L);
    static int SetWallpaper(lua_State* L);
    // Always 0: the screen saver is copied, not registered.
    static int SetScreensaver(lua_State* L);
};
