#include "game/interface/nG_Achievement.h"

#include <algorithm>
#include <cmath>

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Easing.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/objects/nE_Text.h"
#include "engine/script/nE_ContentRules.h"
#include "game/core/nG_Messages.h"
#include "game/state/nG_ProfileHub.h"

namespace {

// The notice is 420 wide: off the screen at x -210, standing at 190.
constexpr float kHiddenX = -210, kShownX = 190, kTravel = 400;
constexpr float kSlideSpeed = 1.3f, kShowSpeed = 0.25f;
// The medal socket and the text panel of the notice's back image.
constexpr float kIconX = -132, kPanelX = 64;
constexpr int kPanelWidth = 240;
constexpr int kHeaderSize = 24, kTextSize = 18;
// The lines of the name and of the description the panel (140 pixels high) holds together.
constexpr int kHeaderLines = 2, kTextLines = 4;
constexpr float kLineGap = 2;
constexpr const char* kBack = "assets/interface/achievements/back";
constexpr const char* kIcons = "assets/interface/achievements/";
constexpr const char* kHeaderFont = "assets/fonts/garapremrpro_b";
constexpr const char* kTextFont = "assets/fonts/garapremrpro";

}  // namespace

void nG_Achievement::declareContent() {
    using R = nE_ContentRules;
    R::addNeed({"", R::kImage, kBack, "nG_Achievement", "", ""});
    R::addNeed({"", R::kFont, kHeaderFont, "nG_Achievement", "", ""});
    R::addNeed({"", R::kFont, kTextFont, "nG_Achievement", "", ""});
    // An achievement named in a script needs its icon and its two texts; the achievements scripts name
    // at run time are named "ach_...".
    R::addArgument("CompleteAchievement", 1, R::kImage, std::string(kIcons) + "%s");
    R::addArgument("CompleteAchievement", 1, R::kStringKey, "%s" + std::string(kHeaderSuffix));
    R::addArgument("CompleteAchievement", 1, R::kStringKey, "%s" + std::string(kTextSuffix));
    R::addTextBox({"nG_Achievement", "CompleteAchievement", 1, "%s" + std::string(kHeaderSuffix),
                   "ach_%s" + std::string(kHeaderSuffix), kHeaderFont, kHeaderSize, kPanelWidth, true,
                   kHeaderLines, 0, "", ""});
    R::addTextBox({"nG_Achievement", "CompleteAchievement", 1, "%s" + std::string(kTextSuffix),
                   "ach_%s" + std::string(kTextSuffix), kTextFont, kTextSize, kPanelWidth, true, kTextLines,
                   0, "", ""});
}

nG_Achievement::nG_Achievement() {
    name = kName;
    subscribe({MSG_ACHIEVEMENT_COMPLETE});
}

void nG_Achievement::onMessage(const nE_Message& message) {
    if (const auto* request = message.payload<MSG_ACHIEVEMENT_COMPLETE>()) progress(*request);
}

void nG_Achievement::progress(const nG_AchievementRequest& request) {
    if (request.name.empty()) {
        nE_Debug::write("nG_Achievement: an achievement without a name is not counted");
        return;
    }
    nG_ProfileHub* hub = nG_ProfileHub::current();
    nG_Profile* profile = hub ? hub->currentProfile() : nullptr;
    if (!request.repeatable && profile && hub->achievementCount(profile, request.name) != 0) return;

    float y = kFirstY;
    for (bool taken = true; taken;) {
        taken = false;
        for (const Notice& notice : notices)
            if (notice.y == y) {
                taken = true;
                y += kStepY;
                break;
            }
    }

    int count = 0;
    if (profile) {
        hub->addAchievement(profile, request.name);
        count = hub->achievementCount(profile, request.name);
        // Earned is earned: the count must not wait for the next save of the game.
        hub->saveProfile(profile->name);
    }
    if (request.target != 0 && count != request.target) return;

    Notice notice;
    notice.name = request.name;
    notice.y = y;
    notice.root = buildNotice(request.name, request.second, y);
    if (!notice.root) return;
    place(notice, kHiddenX);
    notices.push_back(notice);
}

nE_Object* nG_Achievement::buildNotice(const std::string& achievement, const std::string& second, float y) {
    const std::string prefix = std::string(kName) + "_" + achievement;
    auto* root = new nE_Object();
    root->name = prefix;
    root->editLocalState()->y = y;

    auto* background = new nE_Sprite();
    background->name = prefix + "_bg";
    background->setResourceName(kBack);
    root->addChild(background);

    auto* icon = new nE_Sprite();
    icon->name = prefix + "_icon";
    icon->setResourceName(kIcons + achievement);
    icon->editLocalState()->x = kIconX;
    icon->editLocalState()->z = 1;
    icon->input = false;
    root->addChild(icon);

    auto* content = new nE_Object();
    content->name = prefix + "_content";
    content->editLocalState()->x = kPanelX;
    content->editLocalState()->z = 2;
    content->input = false;
    root->addChild(content);

    auto* header = new nE_Text();
    header->name = prefix + "_text_h";
    header->setResourceName(kHeaderFont);
    header->fontSize = kHeaderSize;
    header->maxWidth = kPanelWidth;
    header->editLocalState()->red = 255.f / 255;
    header->editLocalState()->green = 236.f / 255;
    header->editLocalState()->blue = 108.f / 255;
    header->input = false;
    content->addChild(header);

    auto* description = new nE_Text();
    description->name = prefix + "_text_d";
    description->setResourceName(kTextFont);
    description->fontSize = kTextSize;
    description->maxWidth = kPanelWidth;
    description->editLocalState()->red = 234.f / 255;
    description->editLocalState()->green = 219.f / 255;
    description->editLocalState()->blue = 184.f / 255;
    description->input = false;
    content->addChild(description);

    if (!addPart(root)) {
        delete root;
        return nullptr;
    }
    if (loaded) root->activate();
    header->setText(achievement + kHeaderSuffix, second);
    description->setText(achievement + kTextSuffix, second);
    // The name above the description, the pair centred on the panel.
    const float headerHeight = header->getLocalRect().h, descriptionHeight = description->getLocalRect().h;
    const float top = -(headerHeight + kLineGap + descriptionHeight) / 2;
    header->editLocalState()->y = top + headerHeight / 2;
    description->editLocalState()->y = top + headerHeight + kLineGap + descriptionHeight / 2;
    return root;
}

void nG_Achievement::place(Notice& notice, float x) {
    notice.root->editLocalState()->x = x;
    notice.root->editLocalState()->y = notice.y;
}

void nG_Achievement::update(float dt) {
    nE_Object::update(dt);
    for (Notice& notice : notices) {
        switch (notice.state) {
            case kSlidingIn:
                notice.t = std::max(notice.t - kSlideSpeed * dt, 0.f);
                place(notice, kTravel * nE_Easing::sineOut(1 - notice.t) + kHiddenX);
                if (notice.t <= 0) {
                    notice.state = kShown;
                    notice.t = 1;
                }
                break;
            case kShown:
                notice.t = std::max(notice.t - kShowSpeed * dt, 0.f);
                if (notice.t <= 0) {
                    notice.state = kSlidingOut;
                    notice.t = 1;
                }
                break;
            case kSlidingOut:
                notice.t = std::max(notice.t - kSlideSpeed * dt, 0.f);
                place(notice, kShownX - kTravel * nE_Easing::sineIn(1 - notice.t));
                if (notice.t <= 0) notice.state = kFinished;
                break;
            default:
                break;
        }
    }
    for (size_t i = notices.size(); i-- > 0;) {
        if (notices[i].state != kFinished) continue;
        delete notices[i].root;
        notices.erase(notices.begin() + static_cast<long>(i));
    }
}

void nG_Achievement::childWasHit(nE_Object* hit, const nE_InputEvent& event) {
    if (event.type != nE_InputEvent::kButtonDown) return;
    for (Notice& notice : notices) {
        if (notice.state == kShown && (hit == notice.root || notice.root->isAncestorOf(hit))) {
            notice.state = kSlidingOut;
            notice.t = 1;
        }
    }
}
