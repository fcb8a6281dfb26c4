#include "game/shell/nG_DevReload.h"

#include <set>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Debug.h"
#include "engine/core/nE_ErrorLog.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Object.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_AssetFiles.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/media/nE_SoundHub.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/script/nE_Module.h"
#include "engine/script/nE_TimerHub.h"
#include "engine/script/nE_TriggerHub.h"
#include "game/core/nG_Game.h"
#include "game/core/nG_Room.h"
#include "game/core/nG_SubRoom.h"
#include "game/shell/nG_RunOptions.h"
#include "game/shell/nG_Screen.h"
#include "pflib/TFile.h"

bool nG_DevReload::onEvent(const nE_InputEvent& event) {
    if (event.code == kKeyControl) {
        if (event.type == nE_InputEvent::kKeyDown) controlDown_ = true;
        if (event.type == nE_InputEvent::kKeyUp) controlDown_ = false;
        return false;
    }
    if (event.type != nE_InputEvent::kKeyDown || !controlDown_ || (event.code != 'r' && event.code != 'R'))
        return false;
    return reload("Ctrl+R");
}

void nG_DevReload::update(float dt) {
    sincePoll_ += dt;
    if (sincePoll_ < kPollSeconds) return;
    sincePoll_ = 0;
    std::string which;
    if (changed(which)) reload(which + " changed");
}

std::vector<std::string> nG_DevReload::watchedFiles() {
    std::set<std::string> files;
    if (nE_Core::exists()) {
        for (const std::string& path : nE_Core::get()->triggerHub().usedModules()) {
            const std::string file = nE_Module::fileName(path);
            files.insert(file);
            const std::string folder = nE_AssetFiles::folderOf(file);
            if (folder.empty()) continue;
            const std::vector<std::string> inFolder = pf::TFile::ListGameFiles(folder);
            if (inFolder.size() <= kMaxWatched) files.insert(inFolder.begin(), inFolder.end());
        }
    }
    if (nE_ResourceCache* cache = nE_ResourceCache::instance()) {
        for (const std::string& name : cache->liveNames(nE_ResourceCache::kTexture)) {
            const std::string file = nE_AssetFiles::image(name);
            if (!file.empty()) files.insert(file);
        }
        for (const std::string& name : cache->liveNames(nE_ResourceCache::kFrameTexture))
            files.insert(nE_AssetFiles::frameTexture(name));
        for (const std::string& name : cache->liveNames(nE_ResourceCache::kFont))
            files.insert(nE_AssetFiles::font(name));
    }
    return std::vector<std::string>(files.begin(), files.end());
}

bool nG_DevReload::changed(std::string& which) {
    // A file seen for the first time (the set grows after each reload) is only remembered.
    bool any = false;
    std::map<std::string, long long> now;
    for (const std::string& file : watchedFiles()) {
        const long long stamp = pf::TFile::Stamp(file);
        now[file] = stamp;
        auto before = stamps_.find(file);
        if (!any && before != stamps_.end() && before->second != stamp) {
            any = true;
            which = file;
        }
    }
    stamps_.swap(now);
    return any;
}

bool nG_DevReload::modulesReadable() {
    if (!nE_Core::exists()) return true;
    const std::vector<std::string> used = nE_Core::get()->triggerHub().usedModules();
    bool readable = true;
    // Each one is read, so that every broken file is named at once.
    for (const std::string& path : used)
        if (nE_Module::load(path)->malformed) readable = false;
    return readable;
}

bool nG_DevReload::reload(const std::string& why) {
    // A module that no longer parses would bring in nothing and leave an empty screen: what is shown
    // stays, its load has named the file and line, and the next change of the file tries again.
    if (!modulesReadable()) {
        nE_Debug::writef("Reload (%s): kept what is shown until the module reads again", why.c_str());
        return false;
    }
    // The errors shown were of the files as they were; what this reload reports shows afresh.
    nE_ErrorLog::clear();
    nG_Screen* screen = nG_Screen::current();
    const std::string& preview = nG_RunOptions::get().module;
    if (screen && screen->game) {
        if (!reloadRoom(*screen->game, why)) return false;
    } else if (screen && screen->menu) {
        // The menu is made afresh from its module at the screen's next update, without the logo.
        screen->requestMenu();
    } else if (!preview.empty()) {
        reloadPreview(preview);
    } else {
        return false;
    }
    ++reloads;
    nE_Debug::writef("Reloaded (%s)", why.c_str());
    return true;
}

void nG_DevReload::reloadPreview(const std::string& module) {
    if (!nE_Core::exists()) return;
    nE_Core* core = nE_Core::get();
    if (nE_SoundHub::exists()) nE_SoundHub::get()->stopAll(0);
    core->triggerHub().clear();
    core->timerHub().clear();
    nE_Scene& scene = core->scene();
    scene.storage()->removeAllChildren();
    // Everything the module's code put into the live tree goes, and the windows it opened under the
    // screen; the screen and its pause overlay stay.
    nG_Screen* screen = nG_Screen::current();
    const std::vector<nE_Object*> live = scene.root()->children;
    for (nE_Object* object : live)
        if (object != screen) nE_Scene::destroyLater(object);
    if (screen) {
        const std::vector<nE_Object*> windows = screen->children;
        for (nE_Object* object : windows)
            if (object != static_cast<nE_Object*>(screen->dim) &&
                object != static_cast<nE_Object*>(screen->pausedLabel))
                nE_Scene::destroyLater(object);
    }
    // Gone before the module comes back, so that its images are read from disk again rather than
    // found in the cache.
    nE_Scene::flushDestroyed();
    nE_Module::bringIn(module, true);
}

bool nG_DevReload::reloadRoom(nG_Game& game, const std::string& why) {
    if (!nE_Core::exists()) return false;
    nE_Core* core = nE_Core::get();
    nE_Scene& scene = core->scene();
    nE_TriggerHub& hub = core->triggerHub();
    if (game.currentSubRoom) game.closeSubRoom(false);
    if (game.currentSubRoom) {
        nE_Debug::writef("Reload (%s): the open sub-room may not close now", why.c_str());
        return false;
    }
    nG_Room* old = game.currentRoom;
    if (!old || !game.roomsHub) {
        nE_Debug::writef("Reload (%s): no room is shown", why.c_str());
        return false;
    }
    const std::string name = old->name;
    std::unique_ptr<nE_Module> fresh;
    for (const std::string& path : hub.usedModules()) {
        std::unique_ptr<nE_Module> module = nE_Module::load(path);
        if (module->root && module->root->find(name, true)) {
            fresh = std::move(module);
            break;
        }
    }
    auto* room = fresh ? dynamic_cast<nG_Room*>(fresh->root->find(name, true)) : nullptr;
    if (!room || dynamic_cast<nG_SubRoom*>(room) || !room->parent) {
        nE_Debug::writef("Reload (%s): no module in use describes the room \"%s\"", why.c_str(),
                         name.c_str());
        return false;
    }
    room->parent->removeChild(room, false);

    // What scripts took out of the room to elsewhere (an item picked up) stays taken.
    std::vector<nE_Object*> todo(room->children.begin(), room->children.end());
    while (!todo.empty()) {
        nE_Object* object = todo.back();
        todo.pop_back();
        nE_Object* existing = object->name.empty() ? nullptr : scene.findObject(object->name);
        if (existing && !old->isAncestorOf(existing)) {
            delete object->parent->removeChild(object, false);
            continue;
        }
        todo.insert(todo.end(), object->children.begin(), object->children.end());
    }
    scene.attach(game.roomsHub, room);
    // What scripts put into the room (an effect brought in by another module) moves over.
    const std::vector<nE_Object*> added = old->children;
    for (nE_Object* child : added)
        if (!child->name.empty() && !room->find(child->name, true)) scene.attach(room, child);

    // The module's triggers and code as they are on disk now.
    for (const std::unique_ptr<nE_Trigger>& trigger : fresh->triggers) hub.remove(trigger->name);
    nE_Module::bringInWithoutObjects(std::move(fresh), hub);

    game.changeRoom(name, false);
    nE_Scene::destroyLater(old);
    nE_Scene::flushDestroyed();
    // Its images from disk, not from the cache that the old room kept filled.
    room->deactivate();
    room->activate();
    return true;
}
