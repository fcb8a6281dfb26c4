#include "engine/script/nE_ScriptFunctions.h"

#include "engine/script/nE_AnmFunctions.h"
#include "engine/script/nE_AtFunctions.h"
#include "engine/script/nE_ContentRules.h"
#include "engine/script/nE_CursorFunctions.h"
#include "engine/script/nE_LuaCall.h"
#include "engine/script/nE_LuaSandbox.h"
#include "engine/script/nE_ObjFunctions.h"
#include "engine/script/nE_PsFunctions.h"
#include "engine/script/nE_SndFunctions.h"
#include "engine/script/nE_TimerFunctions.h"
#include "engine/script/nE_TrgFunctions.h"
#include "engine/script/nE_VidFunctions.h"

namespace {

// One line per function, in the order scripts and saved games expect.
const nE_ScriptFunctions::Entry kTable[nE_ScriptFunctions::kCount] = {
    {"ObjSet", nE_ObjFunctions::ObjSet},
    {"ObjGet", nE_ObjFunctions::ObjGet},
    {"ObjAttach", nE_ObjFunctions::ObjAttach},
    {"ObjDetach", nE_ObjFunctions::ObjDetach},
    {"ObjDelete", nE_ObjFunctions::ObjDelete},
    {"ObjIntersect", nE_ObjFunctions::ObjIntersect},
    {"ObjAnimate", nE_ObjFunctions::ObjAnimate},
    {"ObjStopAnimate", nE_ObjFunctions::ObjStopAnimate},
    {"ObjDoNotDrop", nE_ObjFunctions::ObjDoNotDrop},
    {"ObjStopDrag", nE_ObjFunctions::ObjStopDrag},
    {"ObjStartDrag", nE_ObjFunctions::ObjStartDrag},
    {"TrgExecute", nE_TrgFunctions::TrgExecute},
    {"TrgGet", nE_TrgFunctions::TrgGet},
    {"TrgSet", nE_TrgFunctions::TrgSet},
    {"TrgDelete", nE_TrgFunctions::TrgDelete},
    {"DbgTrace", nE_TrgFunctions::DbgTrace},
    {"ModLoad", nE_TrgFunctions::ModLoad},
    {"SndPlay", nE_SndFunctions::SndPlay},
    {"SndStop", nE_SndFunctions::SndStop},
    {"SndPauseAll", nE_SndFunctions::SndPauseAll},
    {"AnmPlay", nE_AnmFunctions::AnmPlay},
    {"AnmStop", nE_AnmFunctions::AnmStop},
    {"AnmPause", nE_AnmFunctions::AnmPause},
    {"VidPlay", nE_VidFunctions::VidPlay},
    {"VidStop", nE_VidFunctions::VidStop},
    {"VidPause", nE_VidFunctions::VidPause},
    {"PsSetMaskObj", nE_PsFunctions::PsSetMaskObj},
    {"PsStart", nE_PsFunctions::PsStart},
    {"PsPause", nE_PsFunctions::PsPause},
    {"PsStop", nE_PsFunctions::PsStop},
    {"PartSysRestart", nE_PsFunctions::PartSysRestart},
    {"SetCursor", nE_CursorFunctions::SetCursor},
    {"CursorPosX", nE_CursorFunctions::CursorPosX},
    {"CursorPosY", nE_CursorFunctions::CursorPosY},
    {"TimerStart", nE_TimerFunctions::TimerStart},
    {"TimerStop", nE_TimerFunctions::TimerStop},
    {"TimerStopByTag", nE_TimerFunctions::TimerStopByTag},
    {"TimerPause", nE_TimerFunctions::TimerPause},
    {"TimerPauseByTag", nE_TimerFunctions::TimerPauseByTag},
    {"TimerGetTime", nE_TimerFunctions::TimerGetTime},
    {"TimerAddTag", nE_TimerFunctions::TimerAddTag},
    {"TimerRemoveTag", nE_TimerFunctions::TimerRemoveTag},
    {"AtGlobalForceSet", nE_AtFunctions::AtGlobalForceSet},
};

// What arguments name, for the content checker: one letter per argument from the first, as
// nE_ContentRules::addArguments reads them. Functions whose arguments name nothing are not listed.
const struct {
    const char* function;
    const char* letters;
} kArguments[] = {
    {"ObjAnimate", "----t"}, {"TrgExecute", "t"}, {"TrgSet", "t"},   {"ModLoad", "m"},
    {"SndPlay", "s---t"},    {"AnmPlay", "--t"},  {"VidPlay", "-t"}, {"TimerStart", "-t"},
};

}  // namespace

const nE_ScriptFunctions::Entry* nE_ScriptFunctions::table() {
    return kTable;
}

void nE_ScriptFunctions::registerFunction(lua_State* L, const char* name, lua_CFunction function) {
    if (!L || !name || !function) return;
    nE_LuaSandbox::pushFunction(L, function);
    nE_LuaCall::setGlobal(L, name);
}

void nE_ScriptFunctions::registerEngineFunctions(lua_State* L) {
    if (!L) return;
    for (const Entry& entry : kTable) registerFunction(L, entry.name, entry.function);
}

void nE_ScriptFunctions::declareContent() {
    for (const auto& entry : kArguments) nE_ContentRules::addArguments(entry.function, entry.letters);
}

std::vector<std::string> nE_ScriptFunctions::registeredNames() {
    std::vector<std::string> names;
    for (const Entry& entry : kTable) names.push_back(entry.name);
    return names;
}
