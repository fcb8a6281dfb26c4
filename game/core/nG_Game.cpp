#include "game/core/nG_Game.h"

#include <tinyxml2.h>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Mediator.h"
#include "engine/core/nE_Messages.h"
#include "engine/core/nE_Scene.h"
#include "engine/script/nE_ContentRules.h"
#include "engine/script/nE_Module.h"
#include "engine/script/nE_TimerHub.h"
#include "engine/script/nE_TriggerHub.h"
#include "game/shell/nG_ProfileHub.h"
#include "game/shell/nG_ScriptTable.h"

nG_Game::nG_Game() {
    name = kName;
    // Each game starts with its own script state; a continued one reads it back from the slot.
    nG_ScriptTable::resetGlobal(nE_Core::exists() ? nE_Core::get()->lua() : nullptr, "ng_var");
    if (nE_Mediator* mediator = nE_Mediator::current()) mediator->subscribe(MSG_SAVE_GAME, this);
    if (nG_ProfileHub* hub = nG_ProfileHub::current()) hub->setSlotState(this);
}

nG_Game::~nG_Game() {
    if (nE_Mediator* mediator = nE_Mediator::current()) mediator->unsubscribe(MSG_SAVE_GAME, this);
    if (nG_ProfileHub* hub = nG_ProfileHub::current()) hub->setSlotState(nullptr);
}

void nG_Game::declareContent() {
    using R = nE_ContentRules;
    R::addNeed({"game", R::kTrigger, kFunctionTrigger, "nG_Game", "", ""});
    // The start code of a new game and of the developer keys.
    R::addNeed({"game", R::kTrigger, kStartTrigger, "nG_Game", "", ""});
}

void nG_Game::startLevel(int slot, bool load, const std::string& levelPath, const std::string& startCode) {
    nG_ProfileHub* hub = nG_ProfileHub::current();
    nG_Profile* profile = hub ? hub->currentProfile() : nullptr;
    if (load && profile && profile->slot(slot)) {
        hub->loadSlot(profile, slot);
        return;
    }
    nE_Module::bringIn(levelPath, true);
    nE_Scene::queueTrigger(name, kFunctionTrigger);
    nE_Scene::queueTrigger(name, startCode);
}

void nG_Game::settle() {
    if (!nE_Core::exists()) return;
    nE_Core* core = nE_Core::get();
    core->timerHub().pauseByTag("std", 0);
    if (nE_Scene::dragged()) {
        // The drop completes here rather than in a scene update, which would run the screen again.
        core->scene().drop();
        core->scene().dropPending = false;
        nE_Scene::setDragged(nullptr);
    }
    core->triggerHub().runQueue();
}

void nG_Game::autosave() {
    nG_ProfileHub* hub = nG_ProfileHub::current();
    nG_Profile* profile = hub ? hub->currentProfile() : nullptr;
    if (!profile) return;
    int slot = 0;
    if (nE_Mediator* mediator = nE_Mediator::current()) mediator->post(MSG_SAVE_SLOT, &slot);
    hub->saveSlot(profile, slot);
    hub->saveProfile(profile->name);
}

void nG_Game::onMessage(unsigned int message, void*) {
    if (message == MSG_SAVE_GAME) autosave();
}

void nG_Game::dumpState(tinyxml2::XMLElement* slot) {
    tinyxml2::XMLElement* game = slot->GetDocument()->NewElement("game");
    game->SetAttribute("block_subroom_close", "0");
    slot->InsertEndChild(game);
}

void nG_Game::restoreState(const tinyxml2::XMLElement*) {}
