// Script functions for the named, tagged timers of nE_Core's timer hub.
#pragma once

struct lua_State;

class nE_TimerFunctions {
public:
    static int TimerStart(lua_State* L);
    static int TimerStop(lua_State* L);
    static int TimerStopByTag(lua_State* L);
    static int TimerPause(lua_State* L);
    static int TimerPauseByTag(lua_State* L);
    // Elapsed seconds of the first timer of the name; 0 when there is none.
    static int TimerGetTime(lua_State* L);
    static int TimerAddTag(lua_State* L);
    static int TimerRemoveTag(lua_State* L);
};
