#include "game/core/nG_Room.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cmath>

#include "engine/core/nE_Mediator.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_Render.h"
#include "engine/media/nE_Texture.h"
#include "engine/script/nE_SLHelper.h"
#include "game/core/nG_Messages.h"

namespace {

// How much an object under the pointer brightens, and how long it takes to get there.
constexpr float kHoverLight = 0.3f, kHoverFadeSeconds = 0.15f;

void fadeLights(nE_Object* holder, const nE_Object* lit, float step) {
    for (nE_Object* child : holder->children) {
        if (auto* sprite = dynamic_cast<nE_Sprite*>(child)) {
            const float target = child == lit ? kHoverLight : 0;
            sprite->highlight = sprite->highlight < target ? std::min(target, sprite->highlight + step)
                                                           : std::max(target, sprite->highlight - step);
        }
        fadeLights(child, lit, step);
    }
}

}  // namespace

nG_Room::nG_Room() {
    resetOwn();
}

nG_Room::~nG_Room() {
    snapshot.reset();
}

void nG_Room::resetOwn() {
    fadeTime = 0;
    drawn = true;
    setState(kClosed);
}

void nG_Room::resetState() {
    nE_Sprite::resetState();
    resetOwn();
}

void nG_Room::loadProperties(nE_SLHelper& helper) {
    nE_Sprite::loadProperties(helper);
    helper.readString("trg_open", trgOpen);
    helper.readString("trg_close", trgClose);
}

void nG_Room::saveProperties(nE_SLHelper& helper) {
    nE_Sprite::saveProperties(helper);
    helper.writeString("trg_open", trgOpen);
    helper.writeString("trg_close", trgClose);
}

std::string nG_Room::getTypeName() const {
    return "room";
}

void nG_Room::findText(tinyxml2::XMLElement* node, const std::string& text, bool recursive) {
    nE_Sprite::findText(node, text, recursive);
    if (!node) return;
    const std::string tag = name.empty() ? getTypeName() : name;
    for (const std::string* trigger : {&trgOpen, &trgClose}) {
        if (trigger->find(text) == std::string::npos) continue;
        tinyxml2::XMLElement* found = node->GetDocument()->NewElement(tag.c_str());
        found->SetAttribute("place", "event");
        node->InsertEndChild(found);
    }
}

void nG_Room::setState(int newState) {
    switch (newState) {
        case kClosed:
            // A plain room reports its close when the close starts (close()).
            if (getTypeName() != "room") nE_Scene::queueAuthoredTrigger(name, trgClose, this, "trg_close");
            editLocalState()->alpha = 0;
            input = false;
            updateChildren = false;
            // Shown again, it starts unlit.
            fadeLights(this, nullptr, kHoverLight);
            break;
        case kOpening:
            fadeTime = 0;
            input = false;
            break;
        case kOpen:
            nE_Scene::queueAuthoredTrigger(name, trgOpen, this, "trg_open");
            input = true;
            updateChildren = true;
            snapshot.reset();
            editLocalState()->alpha = 1;
            break;
        case kClosing:
            updateChildren = false;
            fadeTime = 0;
            input = false;
            break;
        default:
            return;
    }
    state = newState;
}

void nG_Room::close(bool animate) {
    setState(animate ? kClosing : kClosed);
    if (getTypeName() == "room") nE_Scene::queueAuthoredTrigger(name, trgClose, this, "trg_close");
}

void nG_Room::update(float dt) {
    if (!drawn) return;
    nE_Sprite::update(dt);
    if (state == kOpen) lightHovered(dt);
    if (state != kOpening && state != kClosing) return;
    fadeTime = std::min(fadeTime + dt, kFadeSeconds);
    if (fadeTime >= kFadeSeconds) setState(state == kOpening ? kOpen : kClosed);
}

void nG_Room::lightHovered(float dt) {
    const nE_Object* lit = nullptr;
    bool hiddenObjects = false;
    nE_Mediator::postToCurrent<MSG_TASKS_ACTIVE>(&hiddenObjects);
    if (!hiddenObjects && !nE_Scene::dragged()) {
        for (nE_Object* object = nE_Scene::hover(); object && object != this; object = object->parent) {
            if (object->visible && !object->eventTriggers[kEventMouseDown].empty()) {
                lit = object;
                break;
            }
        }
        if (lit && !isAncestorOf(lit)) lit = nullptr;
    }
    fadeLights(this, lit, dt * kHoverLight / kHoverFadeSeconds);
}

void nG_Room::drawSelf(nE_Render* renderer, nE_RenderState& world) {
    if (state == kOpening && snapshot)
        drawSnapshot(renderer, world, fadeTime / kFadeSeconds, nullptr);
    else
        nE_Sprite::drawSelf(renderer, world);
    drawn = true;
}

void nG_Room::drawSnapshot(nE_Render* renderer, const nE_RenderState& world, float alpha,
                           const pf::TMat4* inner) {
    if (!renderer || !snapshot) return;
    nE_RenderState s = world;
    s.alpha = alpha;
    // The snapshot's image is centred on its origin; its centre belongs where the input rectangle's is.
    s.drawOffsetX = inputRect.x + inputRect.w / 2;
    s.drawOffsetY = inputRect.y + inputRect.h / 2;
    s.blendMode = 0;
    s.tilingX = s.tilingY = 1;
    s.frameIndex = 0;
    if (inner) {
        nE_RenderState outer = world;
        s.matrix = *inner * outer.transform();
        s.matrixValid = true;
    }
    renderer->drawTexture(snapshot, s);
}

void nG_Room::takeSnapshot() {
    snapshot.reset();
    nE_Render* renderer = nE_Render::current();
    // Targets do not nest: a snapshot asked for while one is drawn is skipped (the room shows at once).
    if (!renderer || renderer->inRenderTarget()) return;
    const long w = std::lround(inputRect.w), h = std::lround(inputRect.h);
    if (w <= 0 || h <= 0 || w > kMaxSnapshotSide || h > kMaxSnapshotSide) return;

    // The room is drawn unrotated and unscaled, its input rectangle's corner on the target's origin.
    const nE_RenderState keepLocal = localState(), keepAnim = animState();
    const bool keepDrawn = drawn;
    {
        const StateEdit local = editLocalState();
        local->x = -inputRect.x;
        local->y = -inputRect.y;
        local->angle = 0;
        local->scaleX = local->scaleY = 1;
    }
    *editAnimState() = nE_RenderState();
    renderer->beginTarget(static_cast<int>(w), static_cast<int>(h));
    if (renderer->inRenderTarget()) {
        drawWalk(renderer, nullptr);
        snapshot = renderer->endTarget();
    }
    *editLocalState() = keepLocal;
    *editAnimState() = keepAnim;
    // Only a real frame counts as the room having been seen.
    drawn = keepDrawn;
}
