#include "game/script/nG_ScriptFunctions.h"

#include "engine/script/nE_ContentRules.h"
#include "engine/script/nE_LuaSandbox.h"
#include "engine/script/nE_ScriptArgs.h"
#include "game/script/nG_DesktopFunctions.h"
#include "game/script/nG_GuideFunctions.h"
#include "game/script/nG_InterfaceFunctions.h"
#include "game/script/nG_InventoryFunctions.h"
#include "game/script/nG_LanguageFunctions.h"
#include "game/script/nG_MinigameFunctions.h"
#include "game/script/nG_ProfileFunctions.h"
#include "game/script/nG_RoomFunctions.h"
#include "game/script/nG_ScreenFunctions.h"
#include "game/script/nG_SettingsFunctions.h"
#include "game/script/nG_SoundFunctions.h"

namespace {

// One line per function, in the order scripts expect. Functions that drive a widget post its message
// whether or not the widget exists yet; nobody answers a message without a subscriber.
const nG_ScriptFunctions::Entry kTable[nG_ScriptFunctions::kCount] = {
    // Rooms.
    {"SwitchRoom", nG_RoomFunctions::SwitchRoom},
    {"OpenSubRoom", nG_RoomFunctions::OpenSubRoom},
    {"CloseSubRoom", nG_RoomFunctions::CloseSubRoom},
    {"GetCurrentRoom", nG_RoomFunctions::GetCurrentRoom},
    {"BlockSubRoomClose", nG_RoomFunctions::BlockSubRoomClose},
    {"ClearRoomsHub", nG_RoomFunctions::ClearRoomsHub},
    {"TeleportFromDiary", nG_RoomFunctions::TeleportFromDiary},
    {"ApplyObj", nG_RoomFunctions::ApplyObj},
    {"GetApplyTarget", nG_RoomFunctions::GetApplyTarget},
    {"ActivateGame", nG_RoomFunctions::ActivateGame},
    // Inventory, tasks and pop-ups.
    {"AddObjectToInv", nG_InventoryFunctions::AddObjectToInv},
    {"DelObjectFromInv", nG_InventoryFunctions::DelObjectFromInv},
    {"HighlightInv", nG_InventoryFunctions::HighlightInv},
    {"AddTask", nG_InventoryFunctions::AddTask},
    {"CompleteTask", nG_InventoryFunctions::CompleteTask},
    {"UnmarkTask", nG_InventoryFunctions::UnmarkTask},
    {"SetTasksCompleteData", nG_InventoryFunctions::SetTasksCompleteData},
    {"CollectHoObject", nG_InventoryFunctions::CollectHoObject},
    {"ShowPopup", nG_InventoryFunctions::ShowPopup},
    {"HidePopup", nG_InventoryFunctions::HidePopup},
    {"ShowTutorial", nG_InventoryFunctions::ShowTutorial},
    {"IsTutorialSkipped", nG_InventoryFunctions::IsTutorialSkipped},
    // Interface widgets.
    {"HideInterface", nG_InterfaceFunctions::HideInterface},
    {"SetInterfaceInputEnable", nG_InterfaceFunctions::SetInterfaceInputEnable},
    {"ShowBlackBarText", nG_InterfaceFunctions::ShowBlackBarText},
    {"ShowDialog", nG_InterfaceFunctions::ShowDialog},
    {"ChargeHint", nG_InterfaceFunctions::ChargeHint},
    {"PointHint", nG_InterfaceFunctions::PointHint},
    {"CompleteAchievement", nG_InterfaceFunctions::CompleteAchievement},
    {"GetAchievement", nG_ProfileFunctions::GetAchievement},
    {"AddDiaryPage", nG_InterfaceFunctions::AddDiaryPage},
    {"LockDiaryClose", nG_InterfaceFunctions::LockDiaryClose},
    {"LockDiaryBookOpen", nG_InterfaceFunctions::LockDiaryBookOpen},
    {"IsDiaryOpened", nG_InterfaceFunctions::IsDiaryOpened},
    {"CollectDiaryObject", nG_InterfaceFunctions::CollectDiaryObject},
    {"SetActiveMapRoom", nG_InterfaceFunctions::SetActiveMapRoom},
    // Mini-games and the strategy guide.
    {"StartMinigame", nG_MinigameFunctions::StartMinigame},
    {"ShowMinigame", nG_MinigameFunctions::ShowMinigame},
    {"EndMinigame", nG_MinigameFunctions::EndMinigame},
    {"ChargeMinigameSkip", nG_MinigameFunctions::ChargeMinigameSkip},
    {"StrategyGuideTOC", nG_GuideFunctions::StrategyGuideTOC},
    {"StrategyGuideNext", nG_GuideFunctions::StrategyGuideNext},
    {"StrategyGuidePrev", nG_GuideFunctions::StrategyGuidePrev},
    // Sound.
    {"PlaySfx", nG_SoundFunctions::PlaySfx},
    {"PlayEnv", nG_SoundFunctions::PlayEnv},
    {"PlaySoundtrack", nG_SoundFunctions::PlaySoundtrack},
    {"PlayVoice", nG_SoundFunctions::PlayVoice},
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
    {"GetLanguage", nG_LanguageFunctions::GetLanguage},
    {"GetLanguages", nG_LanguageFunctions::GetLanguages},
    {"GetLanguageName", nG_LanguageFunctions::GetLanguageName},
    {"SetLanguage", nG_LanguageFunctions::SetLanguage},
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
    {"NewGameSeed", nG_ProfileFunctions::NewGameSeed},
    {"SwitchToGame", nG_ScreenFunctions::SwitchToGame},
    {"SwitchToMenu", nG_ScreenFunctions::SwitchToMenu},
    {"ResumeGame", nG_ScreenFunctions::ResumeGame},
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
    {"CopyFileToMyDocs", nG_DesktopFunctions::CopyFileToMyDocs},
    {"SetWallpaper", nG_DesktopFunctions::SetWallpaper},
    {"SetScreensaver", nG_DesktopFunctions::SetScreensaver},
    // Profiles, told to the player.
    {"TakeRestoredProfiles", nG_ProfileFunctions::TakeRestoredProfiles},
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
    {"AddDiaryPage", "o"},
    {"CollectDiaryObject", "ot"},
    {"CollectHoObject", "ok"},
    {"SetActiveMapRoom", "o"},
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
        nE_LuaSandbox::pushFunction(L, entry.function);
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

bool nG_ScriptFunctions::intFlag(lua_State* L, int index) {
    if (lua_type(L, index) == LUA_TBOOLEAN) return lua_toboolean(L, index) != 0;
    return nE_ScriptArgs::integerOr0(L, index) == 1;
}
