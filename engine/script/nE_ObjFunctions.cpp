#include "engine/script/nE_ObjFunctions.h"

#include <vector>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Object.h"
#include "engine/core/nE_Scene.h"
#include "engine/script/nE_SLHelper_Lua.h"
#include "engine/script/nE_ScriptArgs.h"

namespace {

// Objects the C++ side keeps pointers to (the scene's tops, the game's widgets and rooms) stay where
// their holders expect them: a move would let another owner free them under those pointers.
int park(lua_State* L, const char* who) {
    nE_Object* object = nE_ScriptArgs::object(L, 1);
    if (object) {
        nE_Scene& scene = nE_Core::get()->scene();
        if (scene.scriptMayMove(object, who)) scene.park(object);
    }
    return nE_ScriptArgs::done(L);
}

}  // namespace

int nE_ObjFunctions::ObjSet(lua_State* L) {
    nE_Object* object = nE_ScriptArgs::object(L, 1);
    if (object && lua_istable(L, 2)) {
        lua_pushvalue(L, 2);
        nE_SLHelper_Lua helper(L);
        object->loadProperties(helper);
    }
    return nE_ScriptArgs::done(L);
}

int nE_ObjFunctions::ObjGet(lua_State* L) {
    nE_Object* object = nE_ScriptArgs::object(L, 1);
    lua_settop(L, 0);
    lua_newtable(L);
    if (object) {
        nE_SLHelper_Lua helper(L);
        object->saveProperties(helper);
    }
    return 1;
}

int nE_ObjFunctions::ObjAttach(lua_State* L) {
    nE_Object* object = nE_ScriptArgs::object(L, 1);
    nE_Object* parent = nE_ScriptArgs::object(L, 2);
    if (object && parent) {
        nE_Scene& scene = nE_Core::get()->scene();
        if (scene.scriptMayMove(object, "ObjAttach")) scene.attach(parent, object);
    }
    return nE_ScriptArgs::done(L);
}

int nE_ObjFunctions::ObjDetach(lua_State* L) {
    return park(L, "ObjDetach");
}

int nE_ObjFunctions::ObjDelete(lua_State* L) {
    // Scripts never destroy objects: deleting parks the object like a detach.
    return park(L, "ObjDelete");
}

int nE_ObjFunctions::ObjIntersect(lua_State* L) {
    nE_Object* a = nE_ScriptArgs::object(L, 1);
    nE_Object* b = nE_ScriptArgs::object(L, 2);
    const bool result = a && b && nE_Scene::intersect(a, b);
    lua_settop(L, 0);
    lua_pushboolean(L, result);
    return 1;
}

int nE_ObjFunctions::ObjAnimate(lua_State* L) {
    nE_Object* object = nE_ScriptArgs::object(L, 1);
    int type = 0;
    if (!object || !nE_ScriptArgs::integer(L, 2, type) || !lua_istable(L, 6)) return nE_ScriptArgs::done(L);
    const bool looped = nE_ScriptArgs::integerOr0(L, 3) != 0;
    const bool relative = nE_ScriptArgs::integerOr0(L, 4) != 0;
    std::string endTrigger = " ";
    if (lua_type(L, 5) == LUA_TSTRING) nE_ScriptArgs::string(L, 5, endTrigger);

    // The keys are the numbers from index 1 up to the first entry that is not one (a hole ends them).
    std::vector<float> numbers;
    for (int i = 1;; ++i) {
        lua_rawgeti(L, 6, i);
        const bool isNumber = lua_type(L, -1) == LUA_TNUMBER;
        if (isNumber) numbers.push_back(static_cast<float>(lua_tonumber(L, -1)));
        lua_pop(L, 1);
        if (!isNumber) break;
    }
    nE_Scene::addAnimLine(object, type, relative, looped, endTrigger, numbers.data(),
                          static_cast<int>(numbers.size()));
    return nE_ScriptArgs::done(L);
}

int nE_ObjFunctions::ObjStopAnimate(lua_State* L) {
    nE_Object* object = nE_ScriptArgs::object(L, 1);
    int type = 0;
    if (object && nE_ScriptArgs::integer(L, 2, type)) nE_Scene::removeAnimLine(object, type);
    return nE_ScriptArgs::done(L);
}

int nE_ObjFunctions::ObjDoNotDrop(lua_State* L) {
    if (nE_Core::exists()) nE_Core::get()->scene().keepDragging = true;
    return nE_ScriptArgs::done(L);
}

int nE_ObjFunctions::ObjStopDrag(lua_State* L) {
    if (nE_Core::exists()) nE_Core::get()->scene().drop();
    return nE_ScriptArgs::done(L);
}

int nE_ObjFunctions::ObjStartDrag(lua_State* L) {
    nE_Object* object = nE_ScriptArgs::object(L, 1);
    if (object) nE_Core::get()->scene().startDrag(object);
    return nE_ScriptArgs::done(L);
}
