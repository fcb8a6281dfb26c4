// The functions a scripted particle system's code calls, registered in its private Lua state with the
// globals they go with: "pointer", the ten property indices ("ne_pos_x" = 0 … "ne_color_b" = 9),
// "ps_state" and "ps_dt". Each finds its system through the state (nE_PartSysScript::systemOf), so
// code that overwrites "pointer" breaks nothing. None raises a Lua error: a missing or wrong argument
// reads as 0 or as no name.
#pragma once

struct lua_State;
class nE_PartSysImpl_Complex;

class nE_PartSysFunctions {
public:
    static void registerAll(lua_State* L, nE_PartSysImpl_Complex* system);

    // (type name, x, y)
    static int CreateEmitter(lua_State* L);
    // (n): particles for the current emitter; fractions add up over calls.
    static int CreateParticles(lua_State* L);
    // (seconds)
    static int DieAfter(lua_State* L);
    // (a, b) → a + (rand() % 10000) × (b − a) ÷ 10000
    static int Random(lua_State* L);
    // (property, {time, value, time, value, …}) with times in percent of the lifetime
    static int Animate(lua_State* L);
    static int DeleteMe(lua_State* L);
    // () → the owning object's properties as a table
    static int ObjGet(lua_State* L);
    // () → {x =, y =}: a random opaque point of the mask object in world space; (0, 0) without one
    static int GetPosFromMask(lua_State* L);
    // (property index or name, value)
    static int SetProperty(lua_State* L);
    static int SetIndependent(lua_State* L);
    // (property index or name) → number; 0 for an unknown index or unset name
    static int GetProperty(lua_State* L);
};
