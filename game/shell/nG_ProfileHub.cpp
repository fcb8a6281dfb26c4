#include "game/shell/nG_ProfileHub.h"

#include <tinyxml2.h>

#include <lua.hpp>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Mediator.h"
#include "engine/core/nE_Messages.h"
#include "engine/script/nE_TimerHub.h"
#include "engine/script/nE_TriggerHub.h"
#include "game/shell/nG_ProfileEnvelope.h"
#include "game/shell/nG_ScriptTable.h"
#include "game/shell/nG_SlotState.h"
#include "game/shell/nG_UserFiles.h"

namespace {

nG_ProfileHub* g_hub = nullptr;

const char* const kBackup = ".bak";
const char* const kCorrupt = ".corrupt";

bool gameRunning() {
    bool running = false;
    if (nE_Mediator* mediator = nE_Mediator::current()) mediator->post(MSG_IS_GAME_RUNNING, &running);
    return running;
}

}  // namespace

nG_ProfileHub::nG_ProfileHub(bool filesDisabled) : filesDisabled_(filesDisabled) {}

nG_ProfileHub::~nG_ProfileHub() {
    if (g_hub == this) g_hub = nullptr;
}

nG_ProfileHub* nG_ProfileHub::current() {
    return g_hub;
}

void nG_ProfileHub::setCurrent(nG_ProfileHub* hub) {
    g_hub = hub;
}

bool nG_ProfileHub::isValidName(const std::string& name) {
    if (name.empty() || name.size() > static_cast<size_t>(kMaxNameBytes)) return false;
    for (unsigned char c : name) {
        const bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letterOrDigit && c != ' ' && c != '-' && c != '_') return false;
    }
    return true;
}

lua_State* nG_ProfileHub::lua() const {
    return nE_Core::exists() ? nE_Core::get()->lua() : nullptr;
}

int nG_ProfileHub::addProfile(const std::string& name) {
    if (!isValidName(name)) return -1;
    profiles_.push_back(std::make_unique<nG_Profile>(name));
    nG_ScriptTable::resetGlobal(lua(), "ng_global");
    if (profiles_.size() == 1) current_ = 0;
    return count() - 1;
}

void nG_ProfileHub::remove(int index) {
    if (index < 0 || index >= count()) return;
    profiles_.erase(profiles_.begin() + index);
    if (index == current_)
        current_ = 0;
    else if (index < current_)
        --current_;
}

void nG_ProfileHub::deleteProfile(const std::string& name) {
    const int index = indexOf(find(name));
    if (index < 0) return;
    remove(index);
    const std::string file = fileName(name);
    nG_UserFiles::remove(file);
    nG_UserFiles::remove(file + kBackup);
    nG_UserFiles::remove(file + kCorrupt);
}

void nG_ProfileHub::selectProfile(const std::string& name) {
    nG_Profile* profile = find(name);
    if (!profile) return;
    current_ = indexOf(profile);
    loadProfile(profile);
}

bool nG_ProfileHub::fill(nG_Profile* profile, const std::string& file) {
    auto document = std::make_unique<tinyxml2::XMLDocument>();
    if (document->Parse(file.data(), file.size()) != tinyxml2::XML_SUCCESS) return false;
    tinyxml2::XMLElement* root = document->FirstChildElement();
    if (!root || std::string(root->Name()) != "profile") return false;
    const tinyxml2::XMLElement* achievements = root->FirstChildElement("achievements");
    if (!achievements) return false;

    profile->clearAll();
    profile->gameMode = nG_ScriptTable::toInt(root->Attribute("game_mode"));
    profile->guidePage = nG_ScriptTable::toInt(root->Attribute("guide_page"));
    for (const tinyxml2::XMLElement* counter = achievements->FirstChildElement(); counter;
         counter = counter->NextSiblingElement()) {
        const char* name = counter->Attribute("name");
        profile->achievements.emplace_back(name ? name : "",
                                           nG_ScriptTable::toInt(counter->Attribute("count")));
    }
    if (const tinyxml2::XMLElement* global = root->FirstChildElement("ng_global"))
        nG_ScriptTable::decodeGlobal(lua(), "ng_global", global);
    profile->adoptSlots(std::move(document), root);
    return true;
}

bool nG_ProfileHub::loadProfile(nG_Profile* profile) {
    const int index = indexOf(profile);
    if (filesDisabled_ || index < 0) return index >= 0;
    const std::string file = fileName(profile->name);

    const bool present = nG_UserFiles::exists(file);
    if (present) {
        std::string content;
        nG_ProfileEnvelope::Check check = nG_ProfileEnvelope::kBadSum;
        if (nG_UserFiles::read(file, content)) {
            check = nG_ProfileEnvelope::check(content);
            if (check == nG_ProfileEnvelope::kBadEnvelope) nE_Debug::write("nG_ProfileHub: Error 0");
        }
        if (check == nG_ProfileEnvelope::kGood && fill(profile, content)) return true;
        // Kept for the player (or for us) to look at; never deleted.
        nG_UserFiles::rename(file, file + kCorrupt);
    } else if (!nG_UserFiles::exists(file + kBackup)) {
        // Never saved: the profile keeps what it has.
        return true;
    }

    std::string backup;
    if (nG_UserFiles::read(file + kBackup, backup) &&
        nG_ProfileEnvelope::check(backup) == nG_ProfileEnvelope::kGood && fill(profile, backup)) {
        nG_UserFiles::write(file, backup);
        nE_Debug::writef("nG_ProfileHub: profile \"%s\" was restored from its backup", profile->name.c_str());
        return true;
    }
    if (!present) return true;

    remove(index);
    corrupted_ = true;
    nE_Debug::write("nG_ProfileHub: Error loading profile data");
    return false;
}

std::string nG_ProfileHub::printProfile(const nG_Profile& profile) const {
    tinyxml2::XMLDocument scratch;
    tinyxml2::XMLElement* achievements = scratch.NewElement("achievements");
    scratch.InsertEndChild(achievements);
    for (const auto& counter : profile.achievements) {
        tinyxml2::XMLElement* achieve = scratch.NewElement("achieve");
        achieve->SetAttribute("name", counter.first.c_str());
        achieve->SetAttribute("count", counter.second);
        achievements->InsertEndChild(achieve);
    }
    tinyxml2::XMLElement* global = nG_ScriptTable::encodeGlobal(lua(), "ng_global", scratch);
    scratch.InsertEndChild(global);

    // Printed piece by piece: the slots are printed where they live, without copying them.
    tinyxml2::XMLPrinter printer(nullptr, true);
    printer.OpenElement("profile", true);
    printer.PushAttribute("game_mode", profile.gameMode);
    printer.PushAttribute("guide_page", profile.guidePage);
    achievements->Accept(&printer);
    global->Accept(&printer);
    for (int i = 0; i < nG_Profile::kSlotCount; ++i)
        if (const tinyxml2::XMLElement* slot = profile.slot(i)) slot->Accept(&printer);
    printer.CloseElement(true);
    return nG_ProfileEnvelope::wrap(std::string(printer.CStr(), printer.CStrSize() - 1));
}

bool nG_ProfileHub::saveProfile(const std::string& name) {
    const nG_Profile* profile = find(name);
    if (filesDisabled_ || !profile) return false;
    const std::string file = fileName(name);
    const std::string content = printProfile(*profile);

    std::string old;
    if (nG_UserFiles::read(file, old)) {
        if (old == content) return true;
        if (nG_ProfileEnvelope::check(old) == nG_ProfileEnvelope::kGood) {
            if (!nG_UserFiles::keepCopy(file, file + kBackup, old))
                nE_Debug::writef("nG_ProfileHub: could not keep the backup of \"%s\"", file.c_str());
        } else {
            nG_UserFiles::rename(file, file + kCorrupt);
        }
    } else if (nG_UserFiles::exists(file)) {
        nG_UserFiles::rename(file, file + kCorrupt);
    }
    if (nG_UserFiles::write(file, content)) return true;
    nE_Debug::writef("nG_ProfileHub: could not write \"%s\"; the previous file is kept", file.c_str());
    return false;
}

void nG_ProfileHub::loadAll() {
    for (int i = 0; i < count();) {
        if (loadProfile(profiles_[i].get())) ++i;
    }
}

void nG_ProfileHub::saveSlot(nG_Profile* profile, int slot) {
    if (!gameRunning() || indexOf(profile) < 0) return;
    tinyxml2::XMLElement* element = profile->newSlot(slot);
    if (!element) return;
    tinyxml2::XMLDocument& doc = *element->GetDocument();
    element->InsertEndChild(nG_ScriptTable::encodeGlobal(lua(), "ng_var", doc));
    if (game_) game_->dumpState(element);
    if (nE_Core::exists()) {
        nE_Core::get()->triggerHub().dump(element);
        nE_Core::get()->timerHub().dump(element);
    }
}

void nG_ProfileHub::loadSlot(nG_Profile* profile, int slot) {
    if (!gameRunning() || indexOf(profile) < 0) return;
    const tinyxml2::XMLElement* saved = profile->slot(slot);
    if (!saved) return;
    // The restore runs the saved modules' code, which may select or load a profile and so replace the
    // document the slot lives in: it reads a copy of its own.
    tinyxml2::XMLDocument copy;
    const tinyxml2::XMLNode* added = copy.InsertEndChild(saved->DeepClone(&copy));
    const tinyxml2::XMLElement* element = added ? added->ToElement() : nullptr;
    if (!element) return;
    if (const tinyxml2::XMLElement* var = element->FirstChildElement("ng_var"))
        nG_ScriptTable::decodeGlobal(lua(), "ng_var", var);
    if (nE_Core::exists()) {
        nE_Core* core = nE_Core::get();
        core->triggerHub().restore(element);
        core->triggerHub().queueCall("", "ng_function");
        core->timerHub().restore(element);
    }
    if (game_) game_->restoreState(element);
}

void nG_ProfileHub::clearSlot(int slot) {
    if (nG_Profile* profile = currentProfile()) profile->clearSlot(slot);
}

bool nG_ProfileHub::hasSlot(int slot) const {
    const nG_Profile* profile = currentProfile();
    return profile && profile->slot(slot) != nullptr;
}

void nG_ProfileHub::addAchievement(nG_Profile* profile, const std::string& name) {
    if (indexOf(profile) >= 0) profile->addAchievement(name);
}

int nG_ProfileHub::achievementCount(const nG_Profile* profile, const std::string& name) const {
    return indexOf(profile) >= 0 ? profile->achievementCount(name) : 0;
}

std::string nG_ProfileHub::nameAt(int index) const {
    const nG_Profile* profile = profileAt(index);
    return profile ? profile->name : std::string();
}

nG_Profile* nG_ProfileHub::profileAt(int index) const {
    return index >= 0 && index < count() ? profiles_[index].get() : nullptr;
}

nG_Profile* nG_ProfileHub::find(const std::string& name) const {
    for (const auto& profile : profiles_)
        if (profile->name == name) return profile.get();
    return nullptr;
}

int nG_ProfileHub::indexOf(const nG_Profile* profile) const {
    for (int i = 0; i < count(); ++i)
        if (profiles_[i].get() == profile) return i;
    return -1;
}

int nG_ProfileHub::gameMode() const {
    const nG_Profile* profile = currentProfile();
    return profile ? profile->gameMode : 0;
}

void nG_ProfileHub::setGameMode(int mode) {
    if (nG_Profile* profile = currentProfile()) profile->gameMode = mode;
}
