// Achievements ("ng_achievement"): counts an achievement in the current profile (CompleteAchievement)
// and slides a notice in from the left when it is earned: its icon, its name and what it was earned
// for (string keys: the achievement's name + "_h" and + "_d"). Notices stack downwards while several
// stand; a click sends one away early. A counter that changed is written to the profile file at once.
#pragma once

#include <string>
#include <vector>

#include "engine/core/nE_Object.h"
#include "game/interface/nG_Widget.h"

class nE_Sprite;
class nE_Text;
struct nG_AchievementRequest;

class nG_Achievement : public nE_Object, public nG_Widget {
public:
    static constexpr const char* kName = "ng_achievement";
    enum State { kSlidingIn = 0, kShown = 1, kSlidingOut = 2, kFinished = 3 };
    static constexpr float kFirstY = 170, kStepY = 170;
    // The string keys of an achievement's name and description: its own name with these added.
    static constexpr const char* kHeaderSuffix = "_h";
    static constexpr const char* kTextSuffix = "_d";

    struct Notice {
        std::string name;
        int state = kSlidingIn;
        float t = 1;
        float y = 0;
        nE_Object* root = nullptr;
    };

    nG_Achievement();
    // Declares the fixed assets and texts this class loads, for the content checker.
    static void declareContent();

    void onMessage(const nE_Message& message) override;
    void update(float dt) override;
    void childWasHit(nE_Object* hit, const nE_InputEvent& event) override;

    void progress(const nG_AchievementRequest& request);

    std::vector<Notice> notices;

private:
    nE_Object* buildNotice(const std::string& achievement, const std::string& second, float y);
    static void place(Notice& notice, float x);
};
