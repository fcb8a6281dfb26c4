// Script functions for particle systems; other kinds of object are ignored.
#pragma once

struct lua_State;

class nE_PsFunctions {
public:
    // (particle system, mask object): the emitter's area becomes the mask's opaque pixels.
    static int PsSetMaskObj(lua_State* L);
    static int PsStart(lua_State* L);
    // (name, n): emission goes on only for n = 1; live particles keep moving either way.
    static int PsPause(lua_State* L);
    // (name, n): emission ends; n = 1 also removes the live particles.
    static int PsStop(lua_State* L);
    static int PartSysRestart(lua_State* L);
};
