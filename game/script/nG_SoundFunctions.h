// Script functions that play a sound in one of the four volume groups: (path, loop, end trigger,
// fade-in seconds).
#pragma once

struct lua_State;

class nG_SoundFunctions {
public:
    static int PlaySfx(lua_State* L);
    static int PlayEnv(lua_State* L);
    static int PlaySoundtrack(lua_State* L);
    static int PlayVoice(lua_State* L);
};
