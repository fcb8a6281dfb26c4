// The player profiles: an ordered list (the position is the profile id of the scripts) with a current
// one, each kept in "p_" + name + ".xml" in the user folder behind a checksummed envelope.
//
// A player's data is never thrown away. Every write replaces its file in one step; before a new file
// replaces a good one, the good one is kept as ".bak". A file that fails its check is kept as ".corrupt"
// (an earlier one as ".corrupt.1", ...) and the profile comes back from its ".bak" when that one is good,
// which the player is told; only without a good backup is the profile dropped from the list and the
// corrupted flag set. A save that fails is told to the player through the pop-up.
//
// The script table "ng_global" is always the current player's own: it is replaced, never merged, when
// another player becomes current, and the leaving player's table is kept with their profile.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "game/state/nG_Profile.h"

struct lua_State;
class nG_SlotState;

class nG_ProfileHub {
public:
    static constexpr int kMaxNameBytes = 40;

    // With filesDisabled (the developer start) profile files are neither read nor written.
    explicit nG_ProfileHub(bool filesDisabled);
    ~nG_ProfileHub();
    nG_ProfileHub(const nG_ProfileHub&) = delete;
    nG_ProfileHub& operator=(const nG_ProfileHub&) = delete;

    // Declares the texts this class shows, for the content checker.
    static void declareContent();
    // The program's hub, or none.
    static nG_ProfileHub* current();
    static void setCurrent(nG_ProfileHub* hub);

    // A name becomes a file name: 1 to 40 bytes of letters, digits, space, '-' and '_'.
    static bool isValidName(const std::string& name);
    // Names are taken without blanks around them, when added as when looked up.
    static std::string trimName(const std::string& name);
    static std::string fileName(const std::string& name) { return "p_" + name + ".xml"; }

    // Appends a new profile with an empty "ng_global" and returns its index; the first profile becomes
    // current. -1 for a name that is not valid once trimmed (one of blanks only). No file is written.
    int addProfile(const std::string& name);
    // The player's choice: removes the first profile of that name with its files (also with files
    // disabled). Removing the current profile makes profile 0 current; a profile before it keeps the
    // same profile current.
    void deleteProfile(const std::string& name);
    // Makes the first profile of that name current (its own "ng_global" replaces the script table) and
    // loads its file.
    void selectProfile(const std::string& name);
    // Reads and checks the profile's file. False when the profile was dropped as corrupted (the pointer
    // is then gone).
    bool loadProfile(nG_Profile* profile);
    // Writes the named profile's file; false when nothing was written (files disabled, an unknown name,
    // or a failure, which keeps the previous file and is told to the player).
    bool saveProfile(const std::string& name);
    // Loads every profile once, in list order.
    void loadAll();

    // Replaces the slot with a dump of the running game ("ng_var", the game's element, the trigger queue,
    // the timers); nothing when no game runs. The file is written by saveProfile. False, with the slot
    // left as it was, when there was nothing to save or "ng_var" cannot be written whole.
    bool saveSlot(nG_Profile* profile, int slot);
    // Restores the running game from the slot; nothing when no game runs or the slot is empty.
    void loadSlot(nG_Profile* profile, int slot);
    // The current profile's slot (memory only); numbers outside 0..15 are ignored.
    void clearSlot(int slot);
    bool hasSlot(int slot) const;

    void addAchievement(nG_Profile* profile, const std::string& name);
    int achievementCount(const nG_Profile* profile, const std::string& name) const;

    int currentIndex() const { return current_; }
    int count() const { return static_cast<int>(profiles_.size()); }
    // The empty string outside the list.
    std::string nameAt(int index) const;
    nG_Profile* profileAt(int index) const;
    // None when the current index lies outside the list.
    nG_Profile* currentProfile() const { return profileAt(current_); }
    nG_Profile* find(const std::string& name) const;
    int gameMode() const;
    void setGameMode(int mode);
    bool isCorrupted() const { return corrupted_; }
    bool filesDisabled() const { return filesDisabled_; }
    // The names of the profiles restored from their backups since the last call, joined by ", ";
    // empty when none. Each is told to the player once.
    std::string takeRestored();

    // Tells the player of each profile whose save failed later, on the background writer, since the last
    // call, as a save that fails at once is told. Called on the main thread once a step.
    void reportFailedWrites();

    // The running game registers itself here while it exists; none otherwise.
    void setSlotState(nG_SlotState* game) { game_ = game; }

    // The profile's file content as saveProfile writes it (envelope and compact XML).
    std::string printProfile(const nG_Profile& profile) const;

private:
    // Fills the profile from a file that passed its envelope check; false when the document is not a
    // profile.
    bool fill(nG_Profile* profile, const std::string& file);
    // Takes the profile out of the list (files are left alone).
    void remove(int index);
    int indexOf(const nG_Profile* profile) const;
    lua_State* lua() const;
    // The script table "ng_global" becomes the current profile's own (empty without one).
    void activate();
    // The script table is kept with the current profile, which another is about to replace.
    void keepGlobal();

    std::vector<std::unique_ptr<nG_Profile>> profiles_;
    int current_ = -1;
    bool filesDisabled_;
    bool corrupted_ = false;
    nG_SlotState* game_ = nullptr;
    std::vector<std::string> restored_;
};
