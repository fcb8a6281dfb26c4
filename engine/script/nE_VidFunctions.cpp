#include "engine/script/nE_VidFunctions.h"

#include <string>

#include "engine/objects/nE_Video.h"
#include "engine/script/nE_ScriptArgs.h"

namespace {

nE_Video* video(lua_State* L) {
    return dynamic_cast<nE_Video*>(nE_ScriptArgs::object(L, 1));
}

}  // namespace

int nE_VidFunctions::VidPlay(lua_State* L) {
    if (nE_Video* v = video(L)) v->play(nE_ScriptArgs::stringOr(L, 2, std::string()));
    return nE_ScriptArgs::done(L);
}

int nE_VidFunctions::VidStop(lua_State* L) {
    if (nE_Video* v = video(L)) v->stop();
    return nE_ScriptArgs::done(L);
}

int nE_VidFunctions::VidPause(lua_State* L) {
    nE_Video* v = video(L);
    int n = 0;
    if (v && nE_ScriptArgs::integer(L, 2, n)) v->pause(n);
    return nE_ScriptArgs::done(L);
}
