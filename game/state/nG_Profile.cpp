#include "game/state/nG_Profile.h"

#include <tinyxml2.h>

#include <climits>
#include <string>

nG_Profile::nG_Profile(const std::string& profileName)
    : name(profileName), document_(std::make_unique<tinyxml2::XMLDocument>()) {}

nG_Profile::~nG_Profile() = default;

tinyxml2::XMLElement* nG_Profile::slot(int index) const {
    return index >= 0 && index < kSlotCount ? slots_[index] : nullptr;
}

tinyxml2::XMLElement* nG_Profile::newSlot(int index) {
    if (index < 0 || index >= kSlotCount) return nullptr;
    clearSlot(index);
    slots_[index] = document_->NewElement(("save_" + std::to_string(index)).c_str());
    document_->InsertEndChild(slots_[index]);
    return slots_[index];
}

void nG_Profile::clearSlot(int index) {
    if (index < 0 || index >= kSlotCount || !slots_[index]) return;
    document_->DeleteNode(slots_[index]);
    slots_[index] = nullptr;
}

void nG_Profile::adoptSlots(std::unique_ptr<tinyxml2::XMLDocument> document, tinyxml2::XMLElement* root) {
    for (tinyxml2::XMLElement*& s : slots_) s = nullptr;
    global_ = nullptr;
    document_ = document ? std::move(document) : std::make_unique<tinyxml2::XMLDocument>();
    if (!root) return;
    global_ = root->FirstChildElement("ng_global");
    for (int i = 0; i < kSlotCount; ++i)
        slots_[i] = root->FirstChildElement(("save_" + std::to_string(i)).c_str());
}

void nG_Profile::clearAll() {
    document_ = std::make_unique<tinyxml2::XMLDocument>();
    for (tinyxml2::XMLElement*& s : slots_) s = nullptr;
    global_ = nullptr;
    achievements.clear();
    gameMode = 0;
}

void nG_Profile::replaceGlobal(tinyxml2::XMLElement* element) {
    if (!element) return;
    if (global_) document_->DeleteNode(global_);
    global_ = element;
    document_->InsertEndChild(global_);
}

void nG_Profile::addAchievement(const std::string& achievement) {
    for (auto& counter : achievements) {
        if (counter.first == achievement) {
            if (counter.second < INT_MAX) ++counter.second;
            return;
        }
    }
    achievements.emplace_back(achievement, 1);
}

int nG_Profile::achievementCount(const std::string& achievement) const {
    for (const auto& counter : achievements)
        if (counter.first == achievement) return counter.second;
    return 0;
}
