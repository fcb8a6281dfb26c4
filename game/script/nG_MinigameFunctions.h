// Script functions of the mini-game timer: each posts its message.
#pragma once

struct lua_State;

class nG_MinigameFunctions {
public:
    // (room, skip trigger, reset trigger, info dialog text)
    static int StartMinigame(lua_State* L);
    static int ShowMinigame(lua_State* L);
    static int EndMinigame(lua_State* L);
    static int ChargeMinigameSkip(lua_State* L);
};
