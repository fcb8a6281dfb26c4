// One player profile: sixteen save slots, the game mode, the strategy guide's page and the achievement
// counters, and the player's own script table "ng_global". The slots are XML elements kept in the
// profile's own document, so that saving and loading move no copies of them.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tinyxml2 {
class XMLDocument;
class XMLElement;
}  // namespace tinyxml2

class nG_Profile {
public:
    static constexpr int kSlotCount = 16;

    explicit nG_Profile(const std::string& name);
    ~nG_Profile();
    nG_Profile(const nG_Profile&) = delete;
    nG_Profile& operator=(const nG_Profile&) = delete;

    // The slot's element ("save_N"), or none; none for a number outside 0..15.
    tinyxml2::XMLElement* slot(int index) const;
    // A new, empty "save_N" element that replaces the slot (the old one is destroyed); none outside 0..15.
    tinyxml2::XMLElement* newSlot(int index);
    void clearSlot(int index);
    // Takes the document of a loaded file: the "save_N" children of root (which lives in it) become the
    // slots. Counters, mode and page are the caller's.
    void adoptSlots(std::unique_ptr<tinyxml2::XMLDocument> document, tinyxml2::XMLElement* root);
    void clearAll();

    // The player's own "ng_global" as last read from the file or kept when another player became
    // current; none when there is none. The script table is this profile's only while it is current.
    const tinyxml2::XMLElement* global() const { return global_; }
    // Replaces it with `element`, made in document().
    void replaceGlobal(tinyxml2::XMLElement* element);
    tinyxml2::XMLDocument& document() { return *document_; }

    void addAchievement(const std::string& achievement);
    int achievementCount(const std::string& achievement) const;

    const std::string name;
    int gameMode = 0;
    int guidePage = -1;
    std::vector<std::pair<std::string, int>> achievements;

private:
    std::unique_ptr<tinyxml2::XMLDocument> document_;  // owns every slot element
    tinyxml2::XMLElement* slots_[kSlotCount] = {};
    tinyxml2::XMLElement* global_ = nullptr;
};
