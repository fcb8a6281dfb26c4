#include "game/state/nG_ProfileHub.h"

#include <tinyxml2.h>

#include <algorithm>
#include <lua.hpp>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Mediator.h"
#include "engine/script/nE_ContentRules.h"
#include "engine/script/nE_TimerHub.h"
#include "engine/script/nE_TriggerHub.h"
#include "game/core/nG_Messages.h"
#include "game/state/nG_ProfileEnvelope.h"
#include "game/state/nG_ScriptTable.h"
#include "game/state/nG_SlotState.h"
#include "game/state/nG_UserFiles.h"

namespace {

nG_ProfileHub* g_hub = nullptr;

const char* const kBackup = ".bak";
const char* const kCorrupt = ".corrupt";
const char* const kSaveFailedText = "profile_save_failed";

// Told to the player through the pop-up, in the menu or in the game.
void notify(const char* textId, const std::string& name) {
    nG_PopupRequest request;
    request.show = true;
    request.textId = textId;
    request.params[0] = name;
    nE_Mediator::postToCurrent<MSG_POPUP>(&request);
}

bool gameRunning() {
    bool running = false;
    nE_Mediator::postToCurrent<MSG_IS_GAME_RUNNING>(&running);
    return running;
}

}  // namespace

nG_ProfileHub::nG_ProfileHub(bool filesDisabled) : filesDisabled_(filesDisabled) {}

nG_ProfileHub::~nG_ProfileHub() {
    if (g_hub == this) g_hub = nullptr;
}

void nG_ProfileHub::declareContent() {
    nE_ContentRules::addNeed({"", nE_ContentRules::kStringKey, kSaveFailedText, "nG_ProfileHub", "", ""});
}

nG_ProfileHub* nG_ProfileHub::current() {
    return g_hub;
}

void nG_ProfileHub::setCurrent(nG_ProfileHub* hub) {
    g_hub = hub;
}

std::string nG_ProfileHub::trimName(const std::string& name) {
    const char* const blanks = " \t\r\n";
    const size_t first = name.find_first_not_of(blanks);
    if (first == std::string::npos) return std::string();
    return name.substr(first, name.find_last_not_of(blanks) - first + 1);
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
    const std::string trimmed = trimName(name);
    if (!isValidName(trimmed)) return -1;
    // A player stored under the untrimmed name keeps their files.
    if (trimmed != name && !filesDisabled_ && isValidName(name) && !nG_UserFiles::exists(fileName(trimmed))) {
        for (const char* suffix : {"", kBackup})
            if (nG_UserFiles::exists(fileName(name) + suffix))
                nG_UserFiles::rename(fileName(name) + suffix, fileName(trimmed) + suffix);
    }
    profiles_.push_back(std::make_unique<nG_Profile>(trimmed));
    if (profiles_.size() == 1) {
        current_ = 0;
        activate();
    }
    return count() - 1;
}

void nG_ProfileHub::activate() {
    nG_ScriptTable::resetGlobal(lua(), "ng_global");
    const nG_Profile* profile = currentProfile();
    if (profile && profile->global()) nG_ScriptTable::decodeGlobal(lua(), "ng_global", profile->global());
}

void nG_ProfileHub::keepGlobal() {
    nG_Profile* profile = currentProfile();
    if (!profile || !lua()) return;
    if (tinyxml2::XMLElement* global = nG_ScriptTable::encodeGlobal(lua(), "ng_global", profile->document()))
        profile->replaceGlobal(global);
}

void nG_ProfileHub::remove(int index) {
    if (index < 0 || index >= count()) return;
    profiles_.erase(profiles_.begin() + index);
    if (index == current_) {
        current_ = 0;
        activate();
    } else if (index < current_) {
        --current_;
    }
}

void nG_ProfileHub::deleteProfile(const std::string& name) {
    const int index = indexOf(find(name));
    if (index < 0) return;
    const std::string file = fileName(profileAt(index)->name);
    remove(index);
    nG_UserFiles::remove(file);
    nG_UserFiles::remove(file + kBackup);
    nG_UserFiles::removeKept(file, kCorrupt);
}

void nG_ProfileHub::selectProfile(const std::string& name) {
    nG_Profile* profile = find(name);
    if (!profile) return;
    const int index = indexOf(profile);
    if (index != current_) {
        // The player leaving keeps what the scripts gave them; the one arriving gets their own.
        keepGlobal();
        current_ = index;
        activate();
    }
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
    profile->adoptSlots(std::move(document), root);
    if (profile == currentProfile()) activate();
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
        if (!nG_UserFiles::read(file, content)) {
            // Not known to be damaged: it stays where it is, and the profile keeps what it has.
            nE_Debug::writef("nG_ProfileHub: \"%s\" could not be read", file.c_str());
            return true;
        }
        check = nG_ProfileEnvelope::check(content);
        if (check == nG_ProfileEnvelope::kBadEnvelope) nE_Debug::write("nG_ProfileHub: Error 0");
        if (check == nG_ProfileEnvelope::kGood && fill(profile, content)) return true;
        // Kept for the player (or for us) to look at; never deleted, nor replaced by a later one.
        nG_UserFiles::keepAside(file, kCorrupt);
    } else if (!nG_UserFiles::exists(file + kBackup)) {
        // Never saved: the profile keeps what it has.
        return true;
    }

    std::string backup;
    if (nG_UserFiles::read(file + kBackup, backup) &&
        nG_ProfileEnvelope::check(backup) == nG_ProfileEnvelope::kGood && fill(profile, backup)) {
        nG_UserFiles::write(file, backup);
        nE_Debug::writef("nG_ProfileHub: profile \"%s\" was restored from its backup", profile->name.c_str());
        restored_.push_back(profile->name);
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
    // The current player's table is the script's; any other player's is the one kept for them.
    const tinyxml2::XMLElement* global = nullptr;
    if (&profile == currentProfile()) {
        tinyxml2::XMLElement* live = nG_ScriptTable::encodeGlobal(lua(), "ng_global", scratch);
        if (!live) return std::string();
        scratch.InsertEndChild(live);
        global = live;
    } else if (!(global = profile.global())) {
        tinyxml2::XMLElement* empty = nG_ScriptTable::encodeGlobal(nullptr, "ng_global", scratch);
        scratch.InsertEndChild(empty);
        global = empty;
    }

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
    const std::string file = fileName(profile->name);
    const std::string content = printProfile(*profile);
    if (content.empty()) {
        nE_Debug::writef("nG_ProfileHub: \"%s\" was not saved; the previous file is kept", file.c_str());
        notify(kSaveFailedText, profile->name);
        return false;
    }

    std::string old;
    if (nG_UserFiles::read(file, old)) {
        if (old == content) return true;
        if (nG_ProfileEnvelope::check(old) == nG_ProfileEnvelope::kGood) {
            if (!nG_UserFiles::keepCopy(file, file + kBackup, old))
                nE_Debug::writef("nG_ProfileHub: could not keep the backup of \"%s\"", file.c_str());
        } else {
            nG_UserFiles::keepAside(file, kCorrupt);
        }
    } else if (nG_UserFiles::exists(file)) {
        nG_UserFiles::keepAside(file, kCorrupt);
    }
    if (nG_UserFiles::write(file, content)) return true;
    nE_Debug::writef("nG_ProfileHub: could not write \"%s\"; the previous file is kept", file.c_str());
    notify(kSaveFailedText, profile->name);
    return false;
}

void nG_ProfileHub::reportFailedWrites() {
    std::vector<std::string> told;
    for (const std::string& file : nG_UserFiles::takeFailedWrites()) {
        for (const auto& profile : profiles_) {
            if (fileName(profile->name) != file) continue;
            nE_Debug::writef("nG_ProfileHub: \"%s\" was not saved; the previous file is kept", file.c_str());
            if (std::find(told.begin(), told.end(), file) == told.end())
                notify(kSaveFailedText, profile->name);
            told.push_back(file);
        }
    }
}

void nG_ProfileHub::loadAll() {
    for (int i = 0; i < count();) {
        if (loadProfile(profiles_[i].get())) ++i;
    }
}

bool nG_ProfileHub::saveSlot(nG_Profile* profile, int slot) {
    if (!gameRunning() || indexOf(profile) < 0 || slot < 0 || slot >= nG_Profile::kSlotCount) return false;
    // The table first: a game that cannot be saved whole leaves the slot as it was.
    tinyxml2::XMLElement* var = nG_ScriptTable::encodeGlobal(lua(), "ng_var", profile->document());
    if (!var) {
        nE_Debug::writef("nG_ProfileHub: slot %d of \"%s\" was not saved; the previous one is kept", slot,
                         profile->name.c_str());
        notify(kSaveFailedText, profile->name);
        return false;
    }
    tinyxml2::XMLElement* element = profile->newSlot(slot);
    element->InsertEndChild(var);
    if (game_) game_->dumpState(element);
    if (nE_Core::exists()) {
        nE_Core::get()->triggerHub().dump(element);
        nE_Core::get()->timerHub().dump(element);
    }
    return true;
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
    const std::string trimmed = trimName(name);
    for (const auto& profile : profiles_)
        if (profile->name == trimmed) return profile.get();
    return nullptr;
}

std::string nG_ProfileHub::takeRestored() {
    std::string names;
    for (const std::string& name : restored_) names += (names.empty() ? "" : ", ") + name;
    restored_.clear();
    return names;
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
