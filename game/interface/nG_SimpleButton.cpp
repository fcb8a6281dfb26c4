#include "game/interface/nG_SimpleButton.h"

#include <algorithm>

#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Scene.h"

nG_SimpleButton::nG_SimpleButton(const std::string& objectName) {
    name = objectName;
    resetOwn();
}

void nG_SimpleButton::resetOwn() {
    setScale(kRestScale);
    phase = kRest;
    timer = 0.f;
    onClick = nullptr;
    clickArg = nullptr;
}

void nG_SimpleButton::resetState() {
    nE_Sprite::resetState();
    resetOwn();
}

void nG_SimpleButton::setScale(float scale) {
    editLocalState()->scaleX = editLocalState()->scaleY = scale;
}

void nG_SimpleButton::update(float dt) {
    nE_Sprite::update(dt);
    if (timer <= 0.f) return;
    timer = std::max(0.f, timer - dt * kStepsPerSecond);
    const float d = 1.f - timer;
    const bool done = timer == 0.f;
    switch (phase) {
        case kRest:
            setScale(kRestScale);
            break;
        case kPressShrink:
            setScale(1.f - 0.2f * d);
            if (done) {
                phase = kPressGrow;
                timer = 1.f;
            }
            break;
        case kPressGrow:
            setScale(0.8f + 0.2f * d);
            if (done) phase = kHovered;
            break;
        case kHovered:
            setScale(0.9f + 0.1f * d);
            break;
        case kUnhover:
            setScale(1.f - 0.1f * d);
            if (done) {
                phase = kRest;
                timer = 1.f;
            }
            break;
        default:
            break;
    }
}

bool nG_SimpleButton::handleInput(const nE_InputEvent& event, nE_RenderState& world) {
    if (nE_Scene::dragged()) return false;
    if (event.type != nE_InputEvent::kButtonDown && event.type != nE_InputEvent::kPointerMove) return false;
    const bool inside = hitTestPoint(event.x, event.y, world);
    if (event.type == nE_InputEvent::kButtonDown) {
        if (!inside) return false;
        if (onClick) onClick(clickArg);
        phase = kPressShrink;
        timer = 1.f;
        return true;
    }
    if (inside) {
        if (phase == kRest) {
            phase = kHovered;
            timer = 1.f;
        }
        return true;
    }
    if (phase == kHovered) {
        phase = kUnhover;
        timer = 1.f;
    }
    return false;
}
