#include "game/core/nG_ScriptFunctions.h"

#include "engine/script/nE_ContentRules.h"
#include "game/core/nG_GuideFunctions.h"
#include "game/core/nG_ProfileFunctions.h"
#include "game/core/nG_ScreenFunctions.h"
#include "game/core/nG_SettingsFunctions.h"

namespace {

// One line per function, in the order scripts expect. A family that has not landed yet keeps a null
// function; its bindings replace the null in their own line.
const nG_ScriptFunctions::Entry kTable[nG_ScriptFunctions::kCount] = {
    // Rooms.
    {"SwitchRoom", nullptr},
    {"OpenSubRoom", nullptr},
    {"CloseSubRoom", nullptr},
    {"GetCurrentRoom", nullptr},
    {"BlockSubRoomClose", nullptr},
    {"ClearRoomsHub", nullptr},
    {"TeleportFromDiary", nullptr},
    {"ApplyObj", nullptr},
    {"ActivateGame", nullptr},
    // Inventory, tasks and pop-ups.
    {"AddObjectToInv", nullptr},
    {"DelObjectFromInv", nullptr},
    {"HighlightInv", nullptr},
    {"AddTask", nullptr},
    {"CompleteTask", nullptr},
    {"UnmarkTask", nullptr},
    {"SetTasksCompleteData", nullptr},
    {"CollectHoObject", nullptr},
    {"ShowPopup", nullptr},
    {"HidePopup", nullptr},
    {"ShowTutorial", nullptr},
    {"IsTutorialSkipped", nullptr},
    // Interface widgets.
    {"HideInterface", nullptr},
    {"SetInterfaceInputEnable", nullptr},
    {"ShowBlackBarText", nullptr},
    {"ShowDialog", nullptr},
    {"ChargeHint", nullptr},
    {"CompleteAchievement", nullptr},
    {"GetAchievement", nG_ProfileFunctions::GetAchievement},
    {"AddDiaryPage", nullptr},
    {"LockDiaryClose", nullptr},
    {"LockDiaryBookOpen", nullptr},
    {"IsDiaryOpened", nullptr},
    {"CollectDiaryObject", nullptr},
    {"SetActiveMapRoom", nullptr},
    // Mini-games and the strategy guide.
    {"StartMinigame", nullptr},
    {"ShowMinigame", nullptr},
    {"EndMinigame", nullptr},
    {"ChargeMinigameSkip", nullptr},
    {"StrategyGuideTOC", nG_GuideFunctions::StrategyGuideTOC},
    {"StrategyGuideNext", nG_GuideFunctions::StrategyGuideNext},
    {"StrategyGuidePrev", nG_GuideFunctions::StrategyGuidePrev},
    // Sound.
    {"PlaySfx", nullptr},
    {"PlayEnv", nullptr},
    {"PlaySoundtrack", nullptr},
    {"PlayVoice", nullptr},
    // Settings, profiles and the application.
    {"SaveSettings", nG_SettingsFunctions::SaveSettings},
    {"GetGamma", nG_SettingsFunctions::GetGamma},
    {"SetGamma", nG_SettingsFunctions::SetGamma},
    {"SetFullScreen", nG_SettingsFunctions::SetFullScreen},
    {"GetFullScreen", nG_SettingsFunctions::GetFullScreen},
    {"SetSysCursor", nG_SettingsFunctions::SetSysCursor},
    {"GetSysCursor", nG_SettingsFunctions::GetSysCursor},
    {"SetSoundVolume", nG_SettingsFunctions::SetSoundVolume},
    {"GetSoundVolume", nG_SettingsFunctions::GetSoundVolume},
    {"GetUrl", nG_SettingsFunctions::GetUrl},
    {"OpenBrowser", nG_SettingsFunctions::OpenBrowser},
    {"GetCurrentProfileId", nG_ProfileFunctions::GetCurrentProfileId},
    {"GetNumProfiles", nG_ProfileFunctions::GetNumProfiles},
    {"GetProfileNameById", nG_ProfileFunctions::GetProfileNameById},
    {"AddProfile", nG_ProfileFunctions::AddProfile},
    {"DeleteProfile", nG_ProfileFunctions::DeleteProfile},
    {"SetCurrentProfile", nG_ProfileFunctions::SetCurrentProfile},
    {"SaveProfile", nG_ProfileFunctions::SaveProfile},
    {"SetGameMode", nG_ProfileFunctions::SetGameMode},
    {"GetGameMode", nG_ProfileFunctions::GetGameMode},
    {"IsGameSaveExist", nG_ProfileFunctions::IsGameSaveExist},
    {"ClearProfileSave", nG_ProfileFunctions::ClearProfileSave},
    {"IsCorruptedProfile", nG_ProfileFunctions::IsCorruptedProfile},
    {"SwitchToGame", nG_ScreenFunctions::SwitchToGame},
    {"SwitchToMenu", nG_ScreenFunctions::SwitchToMenu},
    {"Quit", nG_ScreenFunctions::Quit},
    {"ShowObjectWindow", nG_ScreenFunctions::ShowObjectWindow},
    {"IsNoSoundDevice", nG_ScreenFunctions::IsNoSoundDevice},
    {"GetObjPosByObj", nG_ScreenFunctions::GetObjPosByObj},
    {"GetGameCursorPos", nG_ScreenFunctions::GetGameCursorPos},
    // Edition constants.
    {"IsSurveyEdition", nG_ScreenFunctions::IsSurveyEdition},
    {"IsMac", nG_ScreenFunctions::IsMac},
    {"IsCollectorsEdition", nG_ScreenFunctions::IsCollectorsEdition},
    // The desktop.
    {"CopyFileToMyDocs", nullptr},
    {"SetWallpaper", nullptr},
    {"SetScreensaver", nullptr},
};

// What arguments name, for the content checker: one letter per argument from the first, as
// nE_ContentRules::addArguments reads them (k string key, t trigger call, s sound, m module, l level
// file, T trigger call in that level, o object, F file). Functions whose arguments name nothing are
// not listed. A widget whose function takes a new kind of name adds its line here.
const struct {
    const char* function;
    const char* letters;
} kArguments[] = {
    {"AddObjectToInv", "--t"},
    {"AddTask", "k"},
    {"SetTasksCompleteData", "---tt"},
    {"ShowPopup", "k"},
    {"ShowTutorial", "k------t"},
    {"ShowBlackBarText", "k"},
    {"ShowDialog", "k"},
    {"CollectDiaryObject", "-t"},
    {"StartMinigame", "-ttk"},
    {"PlaySfx", "s-t"},
    {"PlayEnv", "s-t"},
    {"PlaySoundtrack", "s-t"},
    {"PlayVoice", "s-t"},
    {"SwitchToGame", "-lT"},
    {"ShowObjectWindow", "mot"},
    {"CopyFileToMyDocs", "F"},
    {"SetWallpaper", "F"},
    {"SetScreensaver", "F"},
};

}  // namespace

const nG_ScriptFunctions::Entry* nG_ScriptFunctions::table() {
    return kTable;
}

void nG_ScriptFunctions::registerGameFunctions(lua_State* L) {
    if (!L) return;
    for (const Entry& entry : kTable) {
        if (!entry.function) continue;
        // Raw: a script's guard on the globals must not run here.
        lua_pushstring(L, entry.name);
        lua_pushcclosure(L, entry.function, 0);
        lua_rawset(L, LUA_GLOBALSINDEX);
    }
}

void nG_ScriptFunctions::declareContent() {
    for (const auto& entry : kArguments) nE_ContentRules::addArguments(entry.function, entry.letters);
}

std::vector<std::string> nG_ScriptFunctions::registeredNames() {
    std::vector<std::string> names;
    for (const Entry& entry : kTable) {
        if (entry.function) names.push_back(entry.name);
    }
    return names;
}

bool nG_ScriptFunctions::flag(lua_State* L, int index) {
    if (lua_type(L, index) == LUA_TBOOLEAN) return lua_toboolean(L, index) != 0;
    if (lua_type(L, index) == LUA_TNUMBER) return lua_tonumber(L, index) != 0;
    return false;
}
