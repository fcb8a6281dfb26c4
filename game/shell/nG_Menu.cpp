#include "game/shell/nG_Menu.h"

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Debug.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Scene.h"
#include "engine/core/notEngine.h"
#include "engine/media/nE_SoundHub.h"
#include "engine/objects/nE_Text.h"
#include "engine/script/nE_ContentRules.h"
#include "engine/script/nE_Module.h"
#include "engine/script/nE_TriggerHub.h"
#include "game/interface/nG_Diary.h"
#include "game/interface/nG_DiaryBook.h"
#include "game/interface/nG_DiaryCollector.h"
#include "game/interface/nG_Hint.h"
#include "game/interface/nG_Inventory.h"
#include "game/interface/nG_Popup.h"
#include "game/interface/nG_Subtitles.h"
#include "pflib/TFile.h"

nG_Menu::nG_Menu(bool logoFirst) {
    name = kName;
    std::unique_ptr<nE_Module> module = nE_Module::load(kModule);
    const bool readable = !module->name.empty();
    if (nE_Core::exists()) {
        nE_Core* core = nE_Core::get();
        nE_Module::bringInWithObjects(std::move(module), core->scene(), core->triggerHub());
    }
    if (!readable) {
        const std::string file = nE_Module::fileName(kModule);
        if (pf::TFile::Exists(file))
            nE_Debug::writef("nG_Menu: \"%s\" could not be read", file.c_str());
        else
            nE_Debug::writef("nG_Menu::Could not find \"%s\" file!\n", file.c_str());
        notice = new nE_Text();
        notice->name = "ng_menu_notice";
        notice->setResourceName("assets/fonts/DejaVuSans");
        notice->rawText = true;
        notice->fontSize = 22;
        notice->maxWidth = 800;
        notice->editLocalState()->x = 512;
        notice->editLocalState()->y = 384;
        notice->input = false;
        addPart(notice);
        notice->setText("The menu could not be loaded (" + file + ").\nPress Escape to quit.");
    }
    // The game's interface plays these in its first steps: they are decoded while the menu shows.
    for (const char* sound :
         {nG_Diary::kTurnSound, nG_Diary::kAddSound, nG_DiaryBook::kOpenSound,
          nG_DiaryCollector::kArrivalSound, nG_Hint::kUseSound, nG_Inventory::kArrivalSound})
        if (nE_SoundHub* hub = nE_SoundHub::get()) hub->prefetch(sound);
    popup = new nG_Popup();
    popup->editLocalState()->z = kPopupZ;
    addPart(popup);
    // The intro video before the menu speaks through subtitles as well.
    subtitles = new nG_Subtitles();
    subtitles->editLocalState()->z = kSubtitlesZ;
    addPart(subtitles);
    nE_Scene::queueTrigger(name, logoFirst ? kLogoTrigger : kMenuTrigger);
}

nG_Menu::~nG_Menu() = default;

void nG_Menu::declareContent() {
    using R = nE_ContentRules;
    R::addNeed({"menu", R::kModule, kModule, "nG_Menu", "", ""});
    R::addNeed({"menu", R::kTrigger, kLogoTrigger, "nG_Menu", "", ""});
    R::addNeed({"menu", R::kTrigger, kMenuTrigger, "nG_Menu", "", ""});
}

bool nG_Menu::handleInput(const nE_InputEvent& event, nE_RenderState& world) {
    if (event.type == nE_InputEvent::kKeyDown && event.code == kKeyEscape) {
        if (notice) {
            if (notEngine* engine = notEngine::instance()) engine->Exit();
            return true;
        }
        // Scripts see no keys: the module hears of Escape (skip the intro, close a panel) when it asks.
        nE_TriggerHub* hub = nE_Core::exists() ? nE_Core::get()->triggerHubIfAlive() : nullptr;
        if (hub && hub->find(kEscapeTrigger)) {
            nE_Scene::queueTrigger(name, kEscapeTrigger);
            return true;
        }
    }
    return nE_Object::handleInput(event, world);
}
