#include "game/interface/nG_MinigameTimer.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/core/nE_Easing.h"
#include "engine/core/nE_Scene.h"
#include "engine/objects/nE_AnimSprite.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/script/nE_ContentRules.h"
#include "game/core/nG_Messages.h"
#include "game/interface/nG_InterfButton.h"
#include "game/state/nG_Profile.h"
#include "game/state/nG_ProfileHub.h"

namespace {

constexpr const char* kTextLayer = "assets/interface/minigame/skip_layer";
constexpr const char* kInfoImage = "assets/interface/minigame/info";
constexpr const char* kInfoOverImage = "assets/interface/minigame/info_over";
constexpr const char* kResetImage = "assets/interface/hodialog/ok";
constexpr const char* kResetOverImage = "assets/interface/hodialog/ok_1";
constexpr const char* kClock = "assets/interface/minigame/timer";
constexpr const char* kCogwheel = "assets/interface/minigame/cogwheel";
constexpr const char* kBreak = "assets/interface/minigame/mirror_gears_break";
constexpr const char* kFlash = "assets/interface/minigame/timer_light";
constexpr const char* kFunction = "DoAnim";
constexpr const char* kTimerFont = "assets/fonts/garapremrpro";
constexpr const char* kInfoKey = "info_mg";
constexpr const char* kResetKey = "reset_mg";
constexpr const char* kElement = "minigame_timer";
constexpr const char* kRecordElement = "minigame";
const nG_InterfButton::Colour kTimerCaptionBlue{0.768627f, 0.835294f, 1.f};
const nG_InterfButton::Colour kTimerCaptionGold{1.f, 0.92549f, 0.423529f};
constexpr float kClockX = 984, kClockY = 680;
constexpr float kInfoY = 500, kResetY = 565;
constexpr float kInfoOutX = 1100, kInfoTravel = 136;
constexpr int kLineScale = 6;
constexpr int kLineAlpha = 8;

template <typename T>
T* place(nE_Object* parent, T* child, const std::string& objectName, const char* resource, float x, float y,
         float z) {
    child->name = objectName;
    if (resource) child->setResourceName(resource);
    child->editLocalState()->x = x;
    child->editLocalState()->y = y;
    child->editLocalState()->z = z;
    child->input = false;
    parent->addPart(child);
    return child;
}

void alphaKeys(nE_Object* object, std::vector<float> keys) {
    nE_Scene::addAnimLine(object, kLineAlpha, false, false, "", keys.data(), static_cast<int>(keys.size()));
}

// Sets the opacity at once, dropping a fade still running on it.
void setAlpha(nE_Object* object, float alpha) {
    nE_Scene::removeAnimLine(object, kLineAlpha);
    object->editLocalState()->alpha = alpha;
}

void restartAnim(nE_AnimSprite* anim) {
    anim->stop();
    anim->play(kFunction, "");
}

std::string attribute(const tinyxml2::XMLElement* element, const char* key) {
    const char* value = element->Attribute(key);
    return value ? value : "";
}

}  // namespace

void nG_MinigameTimer::declareContent() {
    using R = nE_ContentRules;
    const char* const owner = "nG_MinigameTimer";
    for (const char* image : {kTextLayer, kInfoImage, kInfoOverImage, kResetImage, kResetOverImage, kFlash})
        R::addNeed({"", R::kImage, image, owner, "", ""});
    for (const char* anim : {kClock, kCogwheel, kBreak})
        R::addNeed({"", R::kAnimation, anim, owner, kFunction, ""});
    R::addNeed({"", R::kFont, kTimerFont, owner, "", ""});
    for (const char* key : {kInfoKey, kResetKey}) R::addNeed({"game", R::kStringKey, key, owner, "", ""});
}

nG_MinigameTimer::nG_MinigameTimer() {
    name = kName;
    const std::string prefix = kName;
    textLayer = place(this, new nE_Sprite(), prefix + "_text", kTextLayer, 967, 615, 10);

    skipButton = new nG_InterfButton(prefix + "_btn");
    skipButton->build(nG_InterfButton::Params{});
    skipButton->setHitRect(-42, -45, 84, 90);
    // The "Skip" plate above the clock is part of the button.
    skipButton->setPlateRect(967 - 52 - kClockX, 615 - 18 - kClockY, 104, 36);
    skipButton->onClick = onSkip;
    skipButton->clickArg = this;
    place(this, skipButton, skipButton->name, nullptr, kClockX, kClockY, 1)->input = true;
    skipButton->setEnabled(false);

    auto makeButton = [this](const std::string& objectName, const char* image, const char* over,
                             const char* caption, float y, nG_InterfButton::ClickHandler click) {
        auto* button = new nG_InterfButton(objectName);
        nG_InterfButton::Params params;
        params.layer0Image = image;
        params.layer1Image = over;
        params.captionTextId = caption;
        params.captionFont = kTimerFont;
        params.text0Colour = kTimerCaptionBlue;
        params.text1Colour = kTimerCaptionGold;
        button->build(params);
        button->onClick = click;
        button->clickArg = this;
        place(this, button, objectName, nullptr, kInfoOutX, y, 5)->input = true;
        return button;
    };
    infoButton = makeButton("ng_minigame_info_btn", kInfoImage, kInfoOverImage, kInfoKey, kInfoY, onInfo);
    resetButton =
        makeButton("ng_minigame_reset_btn", kResetImage, kResetOverImage, kResetKey, kResetY, onReset);

    watch0 = place(this, new nE_AnimSprite(), prefix + "_watch_0", kClock, kClockX, kClockY, 7);
    watch1 = place(this, new nE_AnimSprite(), prefix + "_watch_1", kClock, kClockX, kClockY, 8);
    chargedAnim = place(this, new nE_AnimSprite(), prefix + "_charged_skip_anim", kCogwheel, 983, 681, 8.5f);
    skippedAnim = place(this, new nE_AnimSprite(), prefix + "_skipped_anim", kBreak, 983, 681, 8.6f);
    effect = place(this, new nE_Sprite(), prefix + "_effect_0", kFlash, kClockX, kClockY, 9);
    setAlpha(chargedAnim, 0);
    setAlpha(skippedAnim, 0);
    setAlpha(effect, 0);

    reposition();
    visible = false;
    input = false;
    subscribe({MSG_MINIGAME_START, MSG_MINIGAME_SHOW, MSG_MINIGAME_END, MSG_MINIGAME_CHARGE});
}

float nG_MinigameTimer::chargeTime() {
    const nG_ProfileHub* hub = nG_ProfileHub::current();
    const nG_Profile* profile = hub ? hub->currentProfile() : nullptr;
    return profile && profile->gameMode == 0 ? kChargeTimeEasy : kChargeTime;
}

nG_MinigameTimer::Record* nG_MinigameTimer::currentRecord() {
    if (current < 0 || current >= static_cast<int>(records.size())) return nullptr;
    return &records[static_cast<size_t>(current)];
}

void nG_MinigameTimer::onMessage(const nE_Message& message) {
    switch (message.number) {
        case MSG_MINIGAME_START:
            if (const auto* request = message.payload<MSG_MINIGAME_START>()) {
                start(request->room, request->skipTrigger, request->resetTrigger, request->infoDialog);
            }
            break;
        case MSG_MINIGAME_SHOW:
            if (const auto* request = message.payload<MSG_MINIGAME_SHOW>()) {
                show(request->room, request->show);
            }
            break;
        case MSG_MINIGAME_END:
            if (auto* value = message.payload<MSG_MINIGAME_END>()) end(*value);
            break;
        case MSG_MINIGAME_CHARGE:
            chargeNow();
            break;
        default:
            break;
    }
}

void nG_MinigameTimer::start(const std::string& room, const std::string& triggerSkip,
                             const std::string& triggerReset, const std::string& infoDialog) {
    records.push_back(Record{room, triggerSkip, triggerReset, infoDialog, 1.f, false});
}

void nG_MinigameTimer::show(const std::string& room, bool on) {
    if (!on) {
        if (currentRecord()) setMode(kHidden);
        return;
    }
    if (currentRecord()) return;
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i].room != room || records[i].ended) continue;
        current = static_cast<int>(i);
        setMode(kShown);
        return;
    }
}

void nG_MinigameTimer::end(const std::string& room) {
    for (Record& record : records)
        if (record.room == room) record.ended = true;
    // A skip already playing out hides the panel when it is done; ending again does not replay it.
    if (mode == kSkipped) return;
    setMode(skipped ? kSkipped : kHidden);
}

void nG_MinigameTimer::skip() {
    Record* record = currentRecord();
    if (!record || mode != kShown || remaining > 0) return;
    skipped = true;
    const std::string room = record->room;
    nE_Scene::queueTrigger(name, record->triggerSkip);
    for (Record& r : records)
        if (r.room == room) r.ended = true;
    setMode(kSkipped);
}

void nG_MinigameTimer::chargeNow() {
    if (mode != kShown || remaining <= 0) return;
    slide = 1;
    reposition();
    remaining = 0;
    if (Record* record = currentRecord()) record->remaining = 0;
    showClock();
    charged();
}

void nG_MinigameTimer::charged() {
    skipButton->setEnabled(true);
    alphaKeys(effect, {0, 0, 0.4f, 1, 1.2f, 0});
    const std::vector<float> scale = {0, 0.5f, 0.5f, 0.4f, 1.f, 1.f, 1.2f, 1.6f, 1.6f};
    nE_Scene::addAnimLine(effect, kLineScale, false, false, "", scale.data(), static_cast<int>(scale.size()));
    alphaKeys(chargedAnim, {0, 0, 0.5f, 1});
    restartAnim(chargedAnim);
}

void nG_MinigameTimer::setMode(int newMode) {
    switch (newMode) {
        case kShown: {
            Record* record = currentRecord();
            remaining = record ? std::clamp(record->remaining, 0.f, 1.f) : 1.f;
            // A clock that was full when shown gives its place to the turning cogwheel.
            clockShown = remaining > 0;
            if (clockShown) {
                setAlpha(chargedAnim, 0);
            } else {
                setAlpha(chargedAnim, 1);
                restartAnim(chargedAnim);
            }
            showClock();
            skipButton->setEnabled(remaining <= 0 && slide >= 1);
            bool hintInput = false;
            post<MSG_HINT_INPUT>(&hintInput);
            input = true;
            visible = true;
            break;
        }
        case kSkipped:
            alphaKeys(chargedAnim, {0, 1, 0.5f, 1, 0.6f, 0});
            alphaKeys(skippedAnim, {0, 0, 0.5f, 1});
            skipButton->setEnabled(false);
            restartAnim(skippedAnim);
            break;
        case kHidden: {
            bool lamp = false;
            post<MSG_RIGHT_LAMP>(&lamp);
            skipButton->setEnabled(false);
            if (Record* record = currentRecord()) record->remaining = remaining;
            current = -1;
            bool hintInput = true;
            post<MSG_HINT_INPUT>(&hintInput);
            input = false;
            if (skipped) {
                post<MSG_HINT_CHARGE>();
                alphaKeys(skippedAnim, {0, 1, 0.6f, 1, 0.8333f, 0});
            }
            skipped = false;
            break;
        }
        default:
            return;
    }
    mode = newMode;
}

void nG_MinigameTimer::reposition() {
    const float x = kInfoOutX - kInfoTravel * nE_Easing::sineOut(slide);
    infoButton->editLocalState()->x = x;
    resetButton->editLocalState()->x = x + 4;
    textLayer->editLocalState()->alpha = slide;
    showClock();
    float hintAlpha = 1 - slide;
    post<MSG_HINT_ALPHA>(&hintAlpha);
}

void nG_MinigameTimer::showClock() {
    watch0->editLocalState()->alpha = clockShown ? slide : 0;
    watch1->editLocalState()->alpha = 0;
    const nE_AnimSprite::Function* clock = watch0->findFunction(kFunction);
    if (!clock || clock->frames.empty()) return;
    const int last = static_cast<int>(clock->frames.size()) - 1;
    const float hand = (1 - remaining) * static_cast<float>(last);
    const int low = std::clamp(static_cast<int>(std::floor(hand)), 0, last);
    const int high = std::clamp(static_cast<int>(std::ceil(hand)), 0, last);
    watch0->editLocalState()->frameIndex = clock->frames[static_cast<size_t>(low)];
    watch1->editLocalState()->frameIndex = clock->frames[static_cast<size_t>(high)];
    if (clockShown) watch1->editLocalState()->alpha = (hand - std::floor(hand)) * slide;
}

void nG_MinigameTimer::update(float dt) {
    nE_Object::update(dt);
    switch (mode) {
        case kHidden:
            if (slide <= 0) break;
            slide = std::max(0.f, slide - kSlideSpeed * dt);
            reposition();
            if (slide > 0) break;
            visible = false;
            for (size_t i = records.size(); i-- > 0;)
                if (records[i].ended) records.erase(records.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        case kSkipped:
            if (!skippedAnim->playing) setMode(kHidden);
            break;
        case kShown:
            if (slide < 1) {
                slide = std::min(1.f, slide + kSlideSpeed * dt);
                reposition();
                if (slide >= 1) skipButton->setEnabled(remaining <= 0);
                break;
            }
            if (remaining <= 0) break;
            remaining = std::max(0.f, remaining - dt / chargeTime());
            if (Record* record = currentRecord()) record->remaining = remaining;
            showClock();
            if (remaining <= 0) charged();
            break;
        default:
            break;
    }
}

void nG_MinigameTimer::onSkip(void* timer) {
    static_cast<nG_MinigameTimer*>(timer)->skip();
}

void nG_MinigameTimer::onInfo(void* timer) {
    auto* self = static_cast<nG_MinigameTimer*>(timer);
    const Record* record = self->currentRecord();
    if (!record || self->mode != kShown) return;
    nG_DialogRequest request;
    request.text = record->infoDialog;
    request.x = 512;
    request.y = 384;
    post<MSG_DIALOG_SHOW>(&request);
}

void nG_MinigameTimer::onReset(void* timer) {
    auto* self = static_cast<nG_MinigameTimer*>(timer);
    const Record* record = self->currentRecord();
    if (!record || self->mode != kShown) return;
    nE_Scene::queueTrigger(self->name, record->triggerReset);
}

tinyxml2::XMLElement* nG_MinigameTimer::dumpState(tinyxml2::XMLDocument& doc) {
    tinyxml2::XMLElement* element = doc.NewElement(kElement);
    for (const Record& record : records) {
        if (record.ended) continue;
        tinyxml2::XMLElement* child = doc.NewElement(kRecordElement);
        child->SetAttribute("room", record.room.c_str());
        child->SetAttribute("trigger_skip", record.triggerSkip.c_str());
        child->SetAttribute("trigger_reset", record.triggerReset.c_str());
        child->SetAttribute("info_dialog", record.infoDialog.c_str());
        char value[32];
        std::snprintf(value, sizeof value, "%g", static_cast<double>(record.remaining));
        child->SetAttribute("timer", value);
        element->InsertEndChild(child);
    }
    return element;
}

void nG_MinigameTimer::restoreState(const tinyxml2::XMLElement* parent) {
    const tinyxml2::XMLElement* element = parent ? parent->FirstChildElement(kElement) : nullptr;
    if (!element) return;
    records.clear();
    current = -1;
    skipped = false;
    mode = kHidden;
    for (const tinyxml2::XMLElement* child = element->FirstChildElement(kRecordElement); child;
         child = child->NextSiblingElement(kRecordElement)) {
        Record record{attribute(child, "room"),
                      attribute(child, "trigger_skip"),
                      attribute(child, "trigger_reset"),
                      attribute(child, "info_dialog"),
                      1.f,
                      false};
        const float value = child->FloatAttribute("timer", 1.f);
        // A damaged charge reads as an empty clock rather than a skip for nothing.
        record.remaining = std::isfinite(value) ? std::clamp(value, 0.f, 1.f) : 1.f;
        records.push_back(record);
    }
}
