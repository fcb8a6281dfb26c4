// Script functions for scene objects: properties through Lua tables, moving objects between the live
// tree and the storage, intersection, animation lines and dragging.
#pragma once

struct lua_State;

class nE_ObjFunctions {
public:
    static int ObjSet(lua_State* L);
    static int ObjGet(lua_State* L);
    static int ObjAttach(lua_State* L);
    static int ObjDetach(lua_State* L);
    static int ObjDelete(lua_State* L);
    static int ObjIntersect(lua_State* L);
    static int ObjAnimate(lua_State* L);
    static int ObjStopAnimate(lua_State* L);
    static int ObjDoNotDrop(lua_State* L);
    static int ObjStopDrag(lua_State* L);
    static int ObjStartDrag(lua_State* L);
};
