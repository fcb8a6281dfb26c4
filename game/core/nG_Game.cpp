#include "game/core/nG_Game.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Debug.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Path.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_Render.h"
#include "engine/media/nE_Sound.h"
#include "engine/media/nE_SoundHub.h"
#include "engine/media/nE_Texture.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/script/nE_ContentRules.h"
#include "engine/script/nE_Module.h"
#include "engine/script/nE_SLHelper_XML.h"
#include "engine/script/nE_TimerHub.h"
#include "engine/script/nE_TriggerHub.h"
#include "game/core/nG_Messages.h"
#include "game/core/nG_Room.h"
#include "game/core/nG_SubRoom.h"
#include "game/interface/nG_Cursor.h"
#include "game/interface/nG_Dialog.h"
#include "game/interface/nG_Diary.h"
#include "game/interface/nG_FrameSubroom.h"
#include "game/interface/nG_HoDialog.h"
#include "game/interface/nG_Interface.h"
#include "game/interface/nG_Popup.h"
#include "game/interface/nG_Tutorial.h"
#include "game/state/nG_ProfileHub.h"
#include "game/state/nG_ScriptTable.h"
#include "pflib/TFile.h"
#include "pflib/TFrameStats.h"
#include "pflib/TPlatform.h"
#include "pflib/TTexture.h"

namespace {

constexpr int kGameWidth = 1024, kGameHeight = 768;

// A saved object tree rebuilt from the first element inside `holder`, or none.
std::unique_ptr<nE_Object> rebuild(const tinyxml2::XMLElement* holder) {
    if (!holder) return nullptr;
    // The builder reads only; the saved document is not changed.
    auto* first = const_cast<tinyxml2::XMLElement*>(holder->FirstChildElement());
    return first ? nE_SLHelper_XML::build(first) : nullptr;
}

void appendDump(tinyxml2::XMLElement* parent, const char* holderName, nE_Object* object) {
    tinyxml2::XMLDocument& doc = *parent->GetDocument();
    tinyxml2::XMLElement* holder = doc.NewElement(holderName);
    holder->InsertEndChild(nE_SLHelper_XML::save(*object, doc, true, true));
    parent->InsertEndChild(holder);
}

}  // namespace

nG_Game::nG_Game() {
    name = kName;
    reset();
    subscribe({MSG_CHANGE_ROOM, MSG_GET_CURRENT_ROOM, MSG_ACTIVATE_GAME, MSG_BLOCK_SUBROOM_CLOSE, MSG_BLUR,
               MSG_CLEAR_ROOMS_HUB, MSG_SAVE_GAME});
    if (nG_ProfileHub* hub = nG_ProfileHub::current()) hub->setSlotState(this);
}

nG_Game::~nG_Game() {
    unsubscribeAll();
    if (nG_ProfileHub* hub = nG_ProfileHub::current()) hub->setSlotState(nullptr);
    blurTexture.reset();
    // The rooms hub belongs to the parked tree, which the screen empties when a game ends; only a hub
    // that never reached it goes with the game.
    if (ownsRoomsHub_) delete roomsHub;
}

void nG_Game::declareContent() {
    using R = nE_ContentRules;
    R::addNeed({"game", R::kTrigger, kFunctionTrigger, "nG_Game", "", ""});
    // The start code of a new game and of the developer keys.
    R::addNeed({"game", R::kTrigger, kStartTrigger, "nG_Game", "", ""});
    R::addNeed({"game", R::kTrigger, kGuideCloseTrigger, "nG_Game", "", ""});
}

void nG_Game::reset() {
    currentRoom = nullptr;
    currentSubRoom = nullptr;
    blurOn = false;
    blurTime = 0;
    blockSubRoomClose = false;
    noRoomTime = 0;
    noRoomReported = false;

    roomsHub = new nE_Object();
    roomsHub->name = kRoomsHubName;
    // The game keeps the hub for its whole life, out in the parked tree.
    roomsHub->pinned = true;
    interface = new nG_Interface();
    level = new nE_Object();
    level->name = kLevelName;
    blurSprite = new nE_Sprite();
    blurSprite->name = kBlurName;

    blurSprite->editLocalState()->x = kGameWidth / 2;
    blurSprite->editLocalState()->y = kGameHeight / 2;
    blurSprite->editLocalState()->z = 2;
    blurSprite->editLocalState()->scaleX = blurSprite->editLocalState()->scaleY = 2;
    blurSprite->active = false;
    blurSprite->input = false;
    blurSprite->visible = false;
    interface->editLocalState()->z = 1;
    level->editLocalState()->z = 0;

    level->addChild(blurSprite);
    blurSprite->holder = this;
    addPart(interface);
    addPart(level);
    if (nE_Scene* s = scene()) s->attach(s->storage(), roomsHub);
    ownsRoomsHub_ = !roomsHub->parent;

    lua_State* L = nE_Core::exists() ? nE_Core::get()->lua() : nullptr;
    // Each game starts with its own script state; a continued one reads it back from the slot.
    nG_ScriptTable::resetGlobal(L, "ng_var");
}

// --- the level ---

void nG_Game::startLevel(int slot, bool load, const std::string& levelPath, const std::string& startCode) {
    nG_ProfileHub* hub = nG_ProfileHub::current();
    nG_Profile* profile = hub ? hub->currentProfile() : nullptr;
    nE_Mediator* mediator = nE_Mediator::current();
    if (load && profile && profile->slot(slot)) {
        int pending = kSwitchNone;
        if (mediator) mediator->post<MSG_PENDING_SWITCH>(&pending);
        hub->loadSlot(profile, slot);
        // Restored code asking for a game to start (a saved module that itself continues this game) would
        // restart the game at every frame.
        int after = kSwitchNone;
        if (mediator) mediator->post<MSG_PENDING_SWITCH>(&after);
        if (pending != kSwitchStart && after == kSwitchStart) {
            nE_Debug::writef("nG_Game: a start asked for while save slot %d was restored is ignored", slot);
            mediator->post<MSG_SET_PENDING_SWITCH>(&pending);
        }
        if (currentRoom) return;
        // A slot that brings back no room cannot be played on: the level starts afresh in its place.
        nE_Debug::writef("nG_Game: save slot %d holds no game to continue; the level starts afresh", slot);
        nG_GameStart restart{false, slot, levelPath, startCode.empty() ? "ng_startlevel(1)" : startCode};
        if (mediator) mediator->post<MSG_START_GAME>(&restart);
        return;
    }
    std::unique_ptr<nE_Module> module = nE_Module::load(levelPath);
    if (module->refused) {
        if (mediator) mediator->post<MSG_SWITCH_TO_MENU>();
        return;
    }
    if (module->name.empty()) {
        const bool exists = pf::TFile::Exists(nE_Module::fileName(levelPath));
        nE_Debug::writef("nG_Game: the level \"%s\" %s", levelPath.c_str(),
                         exists ? "could not be read" : "does not exist");
        if (mediator) mediator->post<MSG_SWITCH_TO_MENU>();
        return;
    }
    if (nE_Core::exists())
        nE_Module::bringInWithObjects(std::move(module), nE_Core::get()->scene(),
                                      nE_Core::get()->triggerHub());
    nE_Scene::queueTrigger(name, kFunctionTrigger);
    nE_Scene::queueTrigger(name, startCode);
}

void nG_Game::park(nE_Object* room) {
    if (!room || !roomsHub) return;
    if (nE_Scene* s = scene())
        s->attach(roomsHub, room);
    else
        roomsHub->addChild(room);
}

void nG_Game::changeRoom(const std::string& roomName, bool animate) {
    if (pf::TFrameStats::IsOn()) {
        char resident[64];
        std::snprintf(resident, sizeof resident, " (resident %.1f MB, textures %.1f MB)",
                      pf::TFrameStats::ResidentMb(), pf::TTexture::LiveBytes() / 1048576.0);
        pf::TFrameStats::Mark("room switch to " + roomName + resident);
    }
    // What the room before the last one held is free by now.
    pf::TPlatform::GiveBackFreeMemory();
    nE_Object* found = roomsHub ? roomsHub->find(roomName, false) : nullptr;
    // The current room, or one still closing, may be asked for again while it stands in the level.
    if (!found) found = level->find(roomName, false);
    auto* room = dynamic_cast<nG_Room*>(found);
    if (!room || dynamic_cast<nG_SubRoom*>(room)) {
        nE_Debug::writef("nG_Game: there is no room \"%s\" to show", roomName.c_str());
        return;
    }
    if (currentRoom) {
        currentRoom->editLocalState()->z = 0;
        currentRoom->close(animate);
    }
    room->editLocalState()->z = 1;
    if (nE_Scene* s = scene())
        s->attach(level, room);
    else
        level->addChild(room);
    // The shown room is held while it stands in the level; parked back in the hub it is let go.
    room->holder = this;
    room->drawn = false;
    if (animate) {
        room->editLocalState()->alpha = 1;
        room->takeSnapshot();
        room->editLocalState()->alpha = 0;
        room->setState(nG_Room::kOpening);
    } else {
        room->setState(nG_Room::kOpen);
    }
    currentRoom = room;
    if (animate) input = false;
}

void nG_Game::openSubRoom(const nG_RoomChangeRequest& request) {
    if (request.closeCurrent) closeSubRoom(request.animate);
    if (request.name.empty()) return;
    pf::TFrameStats::Mark("sub-room " + request.name);
    auto* sub = dynamic_cast<nG_SubRoom*>(roomsHub ? roomsHub->find(request.name, false) : nullptr);
    if (!sub) {
        nE_Debug::writef("nG_Game: there is no sub-room \"%s\" to open", request.name.c_str());
        return;
    }
    // Two sub-rooms at once would leave the first one stranded in the level.
    if (currentSubRoom) {
        nE_Debug::writef("nG_Game: sub-room \"%s\" not opened while \"%s\" is open", request.name.c_str(),
                         currentSubRoom->name.c_str());
        return;
    }
    sub->editLocalState()->z = 3;
    if (nE_Scene* s = scene())
        s->attach(level, sub);
    else
        level->addChild(sub);
    sub->holder = this;
    sub->startZoom(request.startX, request.startY, request.endX, request.endY, request.animate);
    currentSubRoom = sub;
    interface->frame->attach(sub);
    interface->frame->show(true);
    if (currentRoom) {
        currentRoom->input = false;
        currentRoom->active = false;
        blurOn = true;
        takeBlurSnapshot();
    }
    if (request.animate) input = false;
}

void nG_Game::closeSubRoom(bool animate) {
    if (!currentSubRoom || blockSubRoomClose) return;
    currentSubRoom->close(animate);
    if (animate) return;
    blurOn = false;
    blurTime = 0;
    blurSprite->editLocalState()->alpha = 0;
    blurSprite->visible = false;
    nG_SubRoom* closed = currentSubRoom;
    finishSubRoomClose();
    park(closed);
}

void nG_Game::finishSubRoomClose() {
    interface->frame->show(false);
    interface->frame->attach(nullptr);
    if (currentRoom) {
        currentRoom->input = true;
        currentRoom->active = true;
    }
    selectCursor(nG_Cursor::kDefault);
    currentSubRoom = nullptr;
}

nE_Object* nG_Game::shownRoom() const {
    if (currentSubRoom) return currentSubRoom;
    return currentRoom;
}

void nG_Game::activateGame(bool on) {
    if (nE_Core::exists()) nE_Core::get()->timerHub().pauseByTag("std", on ? 0 : 1);
    level->active = on;
    interface->active = on;
}

void nG_Game::clearRoomsHub() {
    if (!roomsHub) return;
    while (!roomsHub->children.empty()) {
        nE_Object* doomed = roomsHub->children.front();
        if (doomed == currentRoom) currentRoom = nullptr;
        if (doomed == currentSubRoom) currentSubRoom = nullptr;
        delete doomed;
    }
}

void nG_Game::takeBlurSnapshot() {
    blurTexture.reset();
    blurSprite->texture.reset();
    blurSprite->visible = true;
    nE_Render* renderer = nE_Render::current();
    if (!renderer || !currentRoom || renderer->inRenderTarget()) return;
    // The room as it stands, drawn into a screen-sized target, then reduced to half size with a soft
    // spread: drawn at twice its size it covers the screen, blurred.
    const nE_RenderState keep = currentRoom->localState();
    const bool keepDrawn = currentRoom->drawn;
    currentRoom->editLocalState()->alpha = 1;
    renderer->beginTarget(kGameWidth, kGameHeight);
    std::shared_ptr<nE_Texture> full;
    if (renderer->inRenderTarget()) {
        currentRoom->drawWalk(renderer, nullptr);
        full = renderer->endTarget();
    }
    *currentRoom->editLocalState() = keep;
    currentRoom->drawn = keepDrawn;
    if (!full) return;
    blurTexture = renderer->makeGlow(full, kGameWidth / 2, kGameHeight / 2, 1.5f);
    if (!blurTexture) blurTexture = full;
    blurSprite->texture = blurTexture;
}

void nG_Game::restoreDeviceResources(bool recursive) {
    nE_Object::restoreDeviceResources(recursive);
    if (blurOn) takeBlurSnapshot();
}

// --- the frame ---

bool nG_Game::handleInput(const nE_InputEvent& event, nE_RenderState& world) {
    if (event.type == nE_InputEvent::kKeyDown && event.code == kKeyEscape) {
        if (closeTopmost()) return true;
        nE_TriggerHub* hub = nE_Core::exists() ? nE_Core::get()->triggerHubIfAlive() : nullptr;
        if (hub && hub->find(kEscapeTrigger)) nE_Scene::queueTrigger(name, kEscapeTrigger);
        // In play the key goes on to the screen, which pauses; in a film or the credits it stays here.
        return !inPlay();
    }
    return nE_Object::handleInput(event, world);
}

bool nG_Game::inPlay() const {
    if (!currentRoom || !input || !interface->input || interface->hidden) return false;
    // A film shown over the interface (the ending's) hears Escape through the level instead.
    for (const nE_Object* child : interface->diaryVideo->children)
        if (child->visible) return false;
    return true;
}

bool nG_Game::closeTopmost() {
    nE_Scene* s = scene();
    nE_Object* guide = s ? s->findObject(kGuideObject) : nullptr;
    if (guide && guide->visible && isAncestorOf(guide)) {
        nE_Scene::queueTrigger(guide->name, kGuideCloseTrigger);
        return true;
    }
    nG_Tutorial* tutorial = interface->tutorial;
    if (tutorial->state == nG_Tutorial::kFadingIn || tutorial->state == nG_Tutorial::kShown) {
        tutorial->closeHint(false);
        return true;
    }
    if (interface->dialog->state != nG_Dialog::kFadingOut) {
        interface->dialog->close();
        return true;
    }
    if (interface->popup->mode != nG_Popup::kClosing) {
        interface->popup->close();
        return true;
    }
    // The reward has one answer, "Take it", which Escape gives too.
    if (interface->hoDialog->state == nG_HoDialog::kShown) {
        interface->hoDialog->close();
        return true;
    }
    if (interface->diary->opened() && !interface->diary->closeLocked) {
        interface->diary->close();
        return true;
    }
    if (currentSubRoom && currentSubRoom->state == nG_Room::kOpen && !blockSubRoomClose) {
        interface->frame->closeRequested = true;
        return true;
    }
    return false;
}

void nG_Game::update(float dt) {
    nE_Object::update(dt);

    // 1. The game takes input again once the room (or sub-room) it waited for is open.
    nG_Room* waited = currentSubRoom ? currentSubRoom : currentRoom;
    if (!input && waited && waited->state == nG_Room::kOpen) input = true;

    // 2. Rooms that finished closing go back to the hub. A copy: parking changes the level's list.
    const std::vector<nE_Object*> shown = level->children;
    for (nE_Object* child : shown) {
        auto* room = dynamic_cast<nG_Room*>(child);
        if (!room) continue;
        if (room == currentSubRoom && room->state == nG_Room::kClosing && currentRoom && !currentRoom->active)
            blurOn = false;
        if (room->state != nG_Room::kClosed) continue;
        if (room == currentSubRoom) finishSubRoomClose();
        if (room == currentRoom) currentRoom = nullptr;
        park(room);
    }

    // 3. The frame's close button, or a click outside the sub-room.
    nG_FrameSubroom* frame = interface->frame;
    if (currentSubRoom && frame->closeRequested) {
        if (!blockSubRoomClose) currentSubRoom->close(true);
        frame->closeRequested = false;
    }

    // 4. The blur follows blurOn over kBlurSeconds.
    if (blurOn && blurTime < kBlurSeconds) {
        blurTime = std::min(blurTime + dt, kBlurSeconds);
    } else if (!blurOn && blurTime > 0) {
        blurTime = std::max(blurTime - dt, 0.f);
        if (blurTime == 0) blurSprite->visible = false;
    }
    blurSprite->editLocalState()->alpha = blurTime / kBlurSeconds;
    if (blurSprite->texture != blurTexture) blurSprite->texture = blurTexture;

    // 5. Nothing to see for too long (a level whose start failed): the interface, with its way back to
    // the menu, shows.
    if (currentRoom) {
        noRoomTime = 0;
    } else if (!noRoomReported && (noRoomTime += dt) >= kNoRoomSeconds) {
        noRoomReported = true;
        nE_Debug::write("nG_Game: no room is shown; the interface stays up for the way back to the menu");
        showInterfaceForMenu();
    }
}

void nG_Game::showInterfaceForMenu() {
    interface->setHidden(false, false);
    interface->input = true;
    interface->active = true;
    input = true;
}

// --- messages ---

void nG_Game::onMessage(const nE_Message& message) {
    switch (message.number) {
        case MSG_CHANGE_ROOM:
            if (const auto* request = message.payload<MSG_CHANGE_ROOM>()) {
                if (request->isSubRoom)
                    openSubRoom(*request);
                else
                    changeRoom(request->name, request->animate);
            }
            break;
        case MSG_GET_CURRENT_ROOM:
            if (auto* value = message.payload<MSG_GET_CURRENT_ROOM>()) *value = shownRoom();
            break;
        case MSG_ACTIVATE_GAME:
            if (auto* value = message.payload<MSG_ACTIVATE_GAME>()) activateGame(*value);
            break;
        case MSG_BLOCK_SUBROOM_CLOSE:
            if (auto* value = message.payload<MSG_BLOCK_SUBROOM_CLOSE>()) blockSubRoomClose = *value;
            break;
        case MSG_BLUR:
            if (const bool* on = message.payload<MSG_BLUR>()) {
                blurOn = *on;
                if (blurOn) takeBlurSnapshot();
            }
            break;
        case MSG_CLEAR_ROOMS_HUB:
            clearRoomsHub();
            break;
        case MSG_SAVE_GAME:
            autosave();
            break;
        default:
            break;
    }
}

// --- saving ---

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
    const std::vector<nE_Object*> shown = level->children;
    for (nE_Object* child : shown) {
        auto* room = dynamic_cast<nG_Room*>(child);
        if (!room) continue;
        if (room == currentSubRoom) {
            if (room->state != nG_Room::kClosing) continue;
            // close() leaves a closing sub-room alone; this one must end now.
            room->setState(nG_Room::kClosed);
            blurOn = false;
            blurTime = 0;
            blurSprite->visible = false;
            finishSubRoomClose();
            park(room);
        } else if (room != currentRoom) {
            park(room);
        }
    }
}

void nG_Game::autosave() {
    nG_ProfileHub* hub = nG_ProfileHub::current();
    nG_Profile* profile = hub ? hub->currentProfile() : nullptr;
    if (!profile || !currentRoom) return;
    int slot = 0;
    post<MSG_SAVE_SLOT>(&slot);
    hub->saveSlot(profile, slot);
    hub->saveProfile(profile->name);
}

void nG_Game::dumpState(tinyxml2::XMLElement* slot) {
    tinyxml2::XMLDocument& doc = *slot->GetDocument();
    tinyxml2::XMLElement* game = doc.NewElement("game");
    game->SetAttribute("block_subroom_close", blockSubRoomClose ? "1" : "0");

    tinyxml2::XMLElement* sounds = doc.NewElement("sounds");
    if (nE_SoundHub::exists()) {
        for (const std::unique_ptr<nE_Sound>& sound : nE_SoundHub::get()->sounds()) {
            // A sound fading out is on its way to silence: it does not come back with the game.
            if (sound->state == nE_Sound::kFinished || sound->state == nE_Sound::kFadingOut) continue;
            if (sound->group != "soundtrack" && sound->group != "env") continue;
            tinyxml2::XMLElement* element = doc.NewElement("sound");
            element->SetAttribute("path", sound->name.c_str());
            element->SetAttribute("group", sound->group.c_str());
            element->SetAttribute("loop", sound->looped ? 1 : 0);
            element->SetAttribute("end_trigger", sound->endTrigger.c_str());
            sounds->InsertEndChild(element);
        }
    }
    game->InsertEndChild(sounds);

    tinyxml2::XMLElement* origin = doc.NewElement("origin");
    if (currentRoom) appendDump(origin, "current_room", currentRoom);
    if (currentSubRoom) appendDump(origin, "current_subroom", currentSubRoom);
    origin->InsertEndChild(interface->dumpState(doc));
    game->InsertEndChild(origin);

    tinyxml2::XMLElement* storage = doc.NewElement("storage");
    if (roomsHub) appendDump(storage, "rooms_hub", roomsHub);
    if (nE_Scene* s = scene()) {
        for (const char* holder : {"objects_hub", "inventory_hub"})
            if (nE_Object* object = s->findObject(holder)) appendDump(storage, holder, object);
    }
    game->InsertEndChild(storage);
    slot->InsertEndChild(game);
}

void nG_Game::destroyRooms() {
    if (currentSubRoom) {
        interface->frame->show(false);
        interface->frame->attach(nullptr);
    }
    // Every room in the level goes: the current ones and any still closing.
    const std::vector<nE_Object*> shown = level->children;
    for (nE_Object* child : shown)
        if (dynamic_cast<nG_Room*>(child)) delete child;
    currentRoom = nullptr;
    currentSubRoom = nullptr;
    delete roomsHub;
    roomsHub = nullptr;
    ownsRoomsHub_ = false;
    blurOn = false;
    blurTime = 0;
    blurSprite->visible = false;
}

void nG_Game::restoreState(const tinyxml2::XMLElement* slot) {
    const tinyxml2::XMLElement* game = slot ? slot->FirstChildElement("game") : nullptr;
    if (!game) {
        nE_Debug::write("nG_Game: the save slot has no \"game\" element");
        return;
    }
    const char* block = game->Attribute("block_subroom_close");
    blockSubRoomClose = block && std::string(block) == "1";
    const tinyxml2::XMLElement* origin = game->FirstChildElement("origin");
    const tinyxml2::XMLElement* storage = game->FirstChildElement("storage");

    destroyRooms();
    nE_Scene* s = scene();
    auto adopt = [&](std::unique_ptr<nE_Object> object, nE_Object* parent) -> nE_Object* {
        if (!object || !parent) return nullptr;
        nE_Object* raw = object.get();
        if (s)
            s->attach(parent, raw);
        else
            parent->addChild(raw);
        if (raw->parent != parent) return nullptr;  // refused: the unique_ptr still owns it
        object.release();
        return raw;
    };

    if (storage) {
        std::unique_ptr<nE_Object> hub = rebuild(storage->FirstChildElement("rooms_hub"));
        if (hub) hub->name = kRoomsHubName;
        roomsHub = adopt(std::move(hub), s ? s->storage() : nullptr);
        for (const char* holder : {"objects_hub", "inventory_hub"}) {
            std::unique_ptr<nE_Object> saved = rebuild(storage->FirstChildElement(holder));
            if (!saved) continue;
            // The saved holder replaces one the level may have brought.
            if (s)
                while (nE_Object* old = s->findObject(holder)) delete old;
            adopt(std::move(saved), s ? s->storage() : nullptr);
        }
    }
    if (!roomsHub) {
        nE_Debug::write("nG_Game: the saved game has no rooms");
        roomsHub = new nE_Object();
        roomsHub->name = kRoomsHubName;
        if (s) s->attach(s->storage(), roomsHub);
    }
    roomsHub->pinned = true;
    ownsRoomsHub_ = !roomsHub->parent;

    if (origin) {
        if (nE_Object* room = adopt(rebuild(origin->FirstChildElement("current_room")), roomsHub)) {
            changeRoom(room->name, false);
            if (currentRoom) currentRoom->active = currentRoom->input = true;
        }
        if (nE_Object* sub = adopt(rebuild(origin->FirstChildElement("current_subroom")), roomsHub)) {
            nG_RoomChangeRequest request;
            request.isSubRoom = true;
            request.animate = false;
            request.name = sub->name;
            openSubRoom(request);
        }
    }

    if (const tinyxml2::XMLElement* sounds = game->FirstChildElement("sounds")) {
        nE_SoundHub* hub = nE_SoundHub::get();
        for (const tinyxml2::XMLElement* sound = sounds->FirstChildElement("sound"); sound && hub;
             sound = sound->NextSiblingElement("sound")) {
            const char* path = sound->Attribute("path");
            const char* group = sound->Attribute("group");
            const char* endTrigger = sound->Attribute("end_trigger");
            if (!path || !*path) continue;
            // A saved game names its sounds like a script: only files the game may read.
            if (nE_Path::resolve(path, nE_Path::kGameOrUserFolder, "nG_Game").empty()) continue;
            hub->play(path, group ? group : "", sound->IntAttribute("loop", 0) == 1,
                      endTrigger ? endTrigger : "", kSoundFadeIn);
        }
    }

    if (origin) interface->restoreState(origin);
    selectCursor(nG_Cursor::kDefault);
}
