// Script functions of the sound hub. Each creates the hub if it does not exist yet.
#pragma once

struct lua_State;

class nE_SndFunctions {
public:
    // SndPlay(name, group, looped, unused, end trigger, fade-in seconds = 0): looped is read as a
    // string whose integer value is not 0. Without a name nothing starts.
    static int SndPlay(lua_State* L);
    // SndStop(name, fade-out seconds = 0).
    static int SndStop(lua_State* L);
    // SndPauseAll(flag): pauses (true) or resumes (false) every sound.
    static int SndPauseAll(lua_State* L);
};
