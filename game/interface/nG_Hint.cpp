#include "game/interface/nG_Hint.h"

#include <tinyxml2.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Geometry.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Scene.h"
#include "engine/objects/nE_AnimSprite.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/script/nE_ContentRules.h"
#include "game/core/nG_Messages.h"
#include "game/interface/nG_InterfButton.h"
#include "game/state/nG_ProfileHub.h"

namespace {

constexpr float kX = 984, kY = 680;
// Animation line types: scale x, scale y, both scales, angle, alpha.
constexpr int kHintLineScaleX = 4, kHintLineScaleY = 5, kLineScale = 6, kLineAngle = 7, kHintLineAlpha = 8;
constexpr int kBlendAdd = 2;

template <class T>
T* part(nE_Object* owner, const char* objectName, const char* resource, float x, float y, float z) {
    auto* object = new T();
    object->name = objectName;
    if (resource) object->setResourceName(resource);
    object->editLocalState()->x = x;
    object->editLocalState()->y = y;
    object->editLocalState()->z = z;
    object->input = false;
    owner->addPart(object);
    return object;
}

template <size_t N>
void animate(nE_Object* object, int type, const float (&keys)[N]) {
    nE_Scene::addAnimLine(object, type, false, false, "", keys, static_cast<int>(N));
}

}  // namespace

nG_Hint::nG_Hint() {
    name = kName;
    watch0 = part<nE_AnimSprite>(this, "ng_hint_watch_0", kTimerAnimation, kX, kY, 7);
    watch1 = part<nE_AnimSprite>(this, "ng_hint_watch_1", kTimerAnimation, kX, kY, 8);
    mirror = part<nE_AnimSprite>(this, "ng_hint_mirror_anim", kMirrorAnimation, 983, 681, 8.5f);

    button = new nG_InterfButton("ng_hint_btn");
    button->build(nG_InterfButton::Params{});
    button->setHitRect(-42, -45, 84, 90);
    // The "Hint" plate above the clock is part of the button.
    button->setPlateRect(967 - 52 - kX, 615 - 18 - kY, 104, 36);
    button->editLocalState()->x = kX;
    button->editLocalState()->y = kY;
    button->editLocalState()->z = 1;
    button->onClick = onClick;
    button->clickArg = this;
    button->setState(nG_InterfButton::kDisabled);
    button->input = false;
    addPart(button);

    chargeEffect = part<nE_Sprite>(this, "ng_hint_effect_0", kChargeImage, 974, 683, 9);
    chargeEffect->editLocalState()->alpha = 0;
    chargeEffect->editLocalState()->blendMode = kBlendAdd;
    chargeEffect->editLocalState()->angle = 1.5707964f;
    pointerEffect = part<nE_Sprite>(this, "ng_hint_effect_1", kPointerImage, 0, 0, kPointerZ);
    pointerEffect->editLocalState()->alpha = 0;
    // The flash lies over the button: it must not take the press meant for it.
    flashEffect = part<nE_Sprite>(this, "ng_hint_effect_2", kFlashImage, 976, 686, 8.5f);
    flashEffect->editLocalState()->alpha = 0;
    layer = part<nE_Sprite>(this, "ng_hint_text", kLayerImage, 967, 615, 10);
    // A new game restores nothing: the hint starts charged, or its disabled button could never be used.
    setState(kCharged);

    subscribe({MSG_HINT_INPUT, MSG_HINT_ALPHA, MSG_HINT_CHARGE, MSG_HINT_POINT});
}

void nG_Hint::declareContent() {
    using R = nE_ContentRules;
    const char* const owner = "nG_Hint";
    R::addNeed({"", R::kAnimation, kTimerAnimation, owner, kFunction, ""});
    R::addNeed({"", R::kAnimation, kMirrorAnimation, owner, kFunction, ""});
    for (const char* image : {kChargeImage, kPointerImage, kFlashImage, kLayerImage})
        R::addNeed({"", R::kImage, image, owner, "", ""});
    R::addNeed({"", R::kSound, kUseSound, owner, "", ""});
    R::addNeed({"game", R::kTrigger, kTrigger, owner, "", ""});
}

float nG_Hint::rechargeTime() {
    const nG_ProfileHub* hub = nG_ProfileHub::current();
    return hub && hub->currentProfile() && hub->gameMode() == 0 ? kEasyRecharge : kRecharge;
}

void nG_Hint::setLamp(bool on) {
    lampLit = on;
    post<MSG_RIGHT_LAMP>(&on);
}

void nG_Hint::setState(int s) {
    if (s == kCharged) {
        button->setEnabled(true);
        button->input = true;
        watch1->visible = false;
        showFrames();
        const float keys[] = {0, 0, 0.5f, 1.0f};
        animate(mirror, kHintLineAlpha, keys);
        chargeEffectPlayed = false;
    } else {
        setLamp(false);
        button->setState(nG_InterfButton::kDisabled);
        button->input = false;
        watch1->visible = true;
        const float keys[] = {0, 1.0f, 0.5f, 0};
        animate(mirror, kHintLineAlpha, keys);
    }
    stateTimer = 0;
    state = s == kCharged ? kCharged : kRecharging;
}

void nG_Hint::showFrames() {
    const nE_AnimSprite::Function* function = watch0->findFunction(kFunction);
    if (!function || function->frames.empty()) return;
    const int n = static_cast<int>(function->frames.size()) - 1;
    if (state == kCharged) {
        watch0->editLocalState()->frameIndex = function->frames[static_cast<size_t>(n)];
        return;
    }
    const float t = rechargeTime();
    const float p = t > 0 ? static_cast<float>(n) * stateTimer / t : static_cast<float>(n);
    const int low = std::min(std::max(static_cast<int>(std::floor(p)), 0), n);
    const int high = std::min(std::max(static_cast<int>(std::ceil(p)), 0), n);
    watch0->editLocalState()->frameIndex = function->frames[static_cast<size_t>(low)];
    watch1->editLocalState()->frameIndex = function->frames[static_cast<size_t>(high)];
    watch1->editLocalState()->alpha = p - std::floor(p);
}

void nG_Hint::update(float dt) {
    nE_Object::update(dt);
    // The lamp goes out when the pointer has left the button for anything, in or out of the bar.
    if (lampLit && nG_InterfButton::hoveredButton() != button) setLamp(false);
    if (state == kCharged) {
        showFrames();
        if (!mirror->playing) mirror->play(kFunction, "");
        return;
    }
    const float t = rechargeTime();
    if (stateTimer < t) stateTimer = std::min(stateTimer + dt, t);
    // A shorter recharge chosen meanwhile ends it at once.
    if (stateTimer > t) stateTimer = t;
    showFrames();
    if (stateTimer >= t - kChargeLead && !chargeEffectPlayed) {
        playChargeEffect();
        chargeEffectPlayed = true;
    }
    if (stateTimer >= t) setState(kCharged);
}

void nG_Hint::playChargeEffect() {
    const float alpha[] = {0, 0, 0.4f, 1.0f, 1.2f, 0};
    const float scale[] = {0, 0.5f, 0.4f, 1.0f, 1.2f, 1.6f};
    animate(chargeEffect, kHintLineAlpha, alpha);
    animate(chargeEffect, kHintLineScaleX, scale);
    animate(chargeEffect, kHintLineScaleY, scale);
}

void nG_Hint::pointAt(float x, float y) {
    pointerEffect->editLocalState()->x = x;
    pointerEffect->editLocalState()->y = y;
    const float alpha[] = {0, 0, 0.5f, 1.0f, 1.5f, 1.0f, 2.0f, 0};
    const float scale[] = {0, 0, 1.0f, 0.8f, 2.0f, 1.2f};
    const float angle[] = {0, 0, 2.0f, 6.28f};
    animate(pointerEffect, kHintLineAlpha, alpha);
    animate(pointerEffect, kHintLineScaleX, scale);
    animate(pointerEffect, kHintLineScaleY, scale);
    animate(pointerEffect, kLineAngle, angle);
}

void nG_Hint::pointAtObject(const std::string& targetName) {
    nE_Scene* s = scene();
    nE_Object* target = s ? s->findObject(targetName) : nullptr;
    if (!target || !s->isLive(target)) {
        nE_Debug::writef("nG_Hint: no object \"%s\" on the screen to point at", targetName.c_str());
        return;
    }
    // Outside the room shown (the diary's map) the light must lie over the widget that shows the object,
    // so it leaves the hint for the top of the bar's layers until it points into a room again.
    nE_Object* room = nullptr;
    post<MSG_GET_CURRENT_ROOM>(&room);
    const bool inRoom = room && (room == target || room->isAncestorOf(target));
    placePointer(inRoom);
    pointAt(target);
}

void nG_Hint::placePointer(bool inRoom) {
    nE_Object* home = inRoom || !parent ? this : parent;
    nE_Scene* s = scene();
    if (pointerEffect->parent == home || !s) return;
    pointerEffect->editLocalState()->z = home == this ? kPointerZ : kPointerOverAllZ;
    s->attach(home, pointerEffect);
}

void nG_Hint::pointAt(nE_Object* target) {
    // Where the object stands, in the units of the hint's parent.
    const pf::TMat4 m = target->worldStateFromTop().transform();
    float x = m.m[12], y = m.m[13];
    if (parent) nE_Geometry::toLocal(parent->worldStateFromTop().transform(), m.m[12], m.m[13], x, y);
    pointAt(x, y);
}

nE_Object* nG_Hint::pickTarget(nE_Object* room) {
    if (!room) return nullptr;
    std::vector<nE_Object*> candidates;
    for (nE_Object* child : room->children) {
        if (!child->input) continue;
        const std::string type = child->getTypeName();
        if (type == "spr" || type == "anim") candidates.push_back(child);
    }
    if (candidates.empty()) return nullptr;
    return candidates[static_cast<size_t>(rand()) % candidates.size()];
}

void nG_Hint::use() {
    if (state != kCharged) return;
    setState(kRecharging);
    const float scale[] = {0, 1, 1, 0.3f, 0, 0};
    const float alpha[] = {0, 0, 0.05f, 1.0f, 0.25f, 1.0f, 0.3f, 0};
    animate(flashEffect, kLineScale, scale);
    animate(flashEffect, kHintLineAlpha, alpha);
    playSound(kUseSound);

    bool isHo = false;
    post<MSG_TASKS_ACTIVE>(&isHo);
    lastTarget.clear();
    nE_Object* room = nullptr;
    if (isHo) post<MSG_GET_CURRENT_ROOM>(&room);
    if (nE_Object* target = pickTarget(room)) {
        placePointer(true);
        lastTarget = target->name;
        if (!target->eventTriggers[kEventMouseDown].empty()) pointAt(target);
    }
    const std::string call = std::string(kTrigger) + "(" + (isHo ? "1" : "0") + ",\"" + lastTarget + "\")";
    nE_Scene::queueTrigger(name, call);
}

void nG_Hint::onClick(void* hint) {
    static_cast<nG_Hint*>(hint)->use();
}

void nG_Hint::childWasHit(nE_Object* hit, const nE_InputEvent& event) {
    if (event.type != nE_InputEvent::kPointerMove || nE_Scene::dragged()) return;
    const bool over = hit && (hit == button || button->isAncestorOf(hit));
    setLamp(over);
}

void nG_Hint::onMessage(const nE_Message& message) {
    switch (message.number) {
        case MSG_HINT_ALPHA:
            if (auto* value = message.payload<MSG_HINT_ALPHA>()) editLocalState()->alpha = *value;
            break;
        case MSG_HINT_INPUT:
            if (auto* value = message.payload<MSG_HINT_INPUT>()) input = *value;
            break;
        case MSG_HINT_CHARGE:
            setState(kCharged);
            break;
        case MSG_HINT_POINT:
            if (auto* value = message.payload<MSG_HINT_POINT>()) pointAtObject(*value);
            break;
        default:
            break;
    }
}

tinyxml2::XMLElement* nG_Hint::dumpState(tinyxml2::XMLDocument& doc) {
    tinyxml2::XMLElement* element = doc.NewElement("hint");
    element->SetAttribute("state", state);
    element->SetAttribute("state_timer", static_cast<double>(stateTimer));
    return element;
}

void nG_Hint::restoreState(const tinyxml2::XMLElement* parentElement) {
    const tinyxml2::XMLElement* element = parentElement ? parentElement->FirstChildElement("hint") : nullptr;
    if (!element) return;
    setState(element->IntAttribute("state", kCharged) == kCharged ? kCharged : kRecharging);
    const float saved = static_cast<float>(element->DoubleAttribute("state_timer", 0));
    const float t = rechargeTime();
    // A damaged timer reads as a finished recharge or none.
    stateTimer = std::isfinite(saved) ? std::min(std::max(saved, 0.f), t) : 0;
}
