#include "game/check/nG_GameContent.h"

#include "engine/core/nE_EngineTypes.h"
#include "engine/script/nE_ContentRules.h"
#include "engine/script/nE_ScriptFunctions.h"
#include "game/core/nG_Game.h"
#include "game/interface/nG_Achievement.h"
#include "game/interface/nG_BlackBarText.h"
#include "game/interface/nG_Dialog.h"
#include "game/interface/nG_Diary.h"
#include "game/interface/nG_DiaryBook.h"
#include "game/interface/nG_DiaryCollector.h"
#include "game/interface/nG_FrameSubroom.h"
#include "game/interface/nG_Hint.h"
#include "game/interface/nG_HoCollector.h"
#include "game/interface/nG_HoDialog.h"
#include "game/interface/nG_Interface.h"
#include "game/interface/nG_MinigameTimer.h"
#include "game/interface/nG_Popup.h"
#include "game/interface/nG_Subtitles.h"
#include "game/interface/nG_Tutorial.h"
#include "game/script/nG_RoomFunctions.h"
#include "game/script/nG_ScriptFunctions.h"
#include "game/shell/nG_Application.h"
#include "game/shell/nG_GameTypes.h"
#include "game/shell/nG_Menu.h"
#include "game/shell/nG_Screen.h"
#include "game/shell/nG_StrategyGuide.h"
#include "game/state/nG_ProfileHub.h"
#include "game/state/nG_Settings.h"

void nG_GameContent::declareAll() {
    nE_EngineTypes::registerAll();
    nG_GameTypes::registerAll();

    nE_ContentRules::clear();
    // Object keys and script arguments.
    nE_EngineTypes::declareContent();
    nG_GameTypes::declareContent();
    nE_ScriptFunctions::declareContent();
    nG_ScriptFunctions::declareContent();

    // Fixed assets, modules and triggers, one line per class that has them.
    nG_Application::declareContent();
    nG_Settings::declareContent();
    nG_ProfileHub::declareContent();
    nG_Screen::declareContent();
    nG_Menu::declareContent();
    nG_Game::declareContent();
    nG_StrategyGuide::declareContent();
    nG_RoomFunctions::declareContent();
    nG_Interface::declareContent();
    nG_FrameSubroom::declareContent();
    nG_Popup::declareContent();
    nG_Subtitles::declareContent();
    nG_Tutorial::declareContent();
    nG_Dialog::declareContent();
    nG_BlackBarText::declareContent();
    nG_Achievement::declareContent();
    nG_Diary::declareContent();
    nG_DiaryBook::declareContent();
    nG_DiaryCollector::declareContent();
    nG_HoCollector::declareContent();
    nG_HoDialog::declareContent();
    nG_Hint::declareContent();
    nG_MinigameTimer::declareContent();
}
