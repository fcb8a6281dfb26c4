#include "game/interface/nG_InterfButton.h"

#include <algorithm>

#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Scene.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/objects/nE_Text.h"
#include "game/interface/nG_Cursor.h"

namespace {
nG_InterfButton* g_hovered = nullptr;

constexpr float kLayerZ[3] = {0.f, 1.f, 2.f};
constexpr float kCaptionZ[3] = {3.f, 4.f, 5.f};
constexpr float kHitAreaZ = 10.f;
}  // namespace

nG_InterfButton::nG_InterfButton(const std::string& objectName) {
    name = objectName;
    resetOwn();
}

nG_InterfButton::~nG_InterfButton() {
    if (g_hovered == this) g_hovered = nullptr;
}

nG_InterfButton* nG_InterfButton::hoveredButton() {
    return g_hovered;
}

void nG_InterfButton::resetOwn() {
    layer0 = layer1 = layer2 = nullptr;
    text0 = text1 = text2 = nullptr;
    hitArea = nullptr;
    plateArea = nullptr;
    hoverCursor = nG_Cursor::kHand;
    glow = 0.f;
    state = kNormal;
    fadeSpeed = kDefaultFadeSpeed;
    onClick = nullptr;
    clickArg = nullptr;
}

void nG_InterfButton::resetState() {
    nE_Object::resetState();
    resetOwn();
}

void nG_InterfButton::adopt(nE_Object* child, float z) {
    child->editLocalState()->z = z;
    addPart(child);
    // A button that is already live gives its new parts their resources at once.
    if (loaded) child->activate();
}

nE_Sprite* nG_InterfButton::makeLayer(const std::string& suffix, const std::string& image, float z) {
    if (image.empty()) return nullptr;
    auto* layer = new nE_Sprite();
    layer->name = name + suffix;
    layer->setResourceName(image);
    adopt(layer, z);
    return layer;
}

nE_Text* nG_InterfButton::makeCaption(const std::string& suffix, const Params& params, const Colour& colour,
                                      float z) {
    auto* caption = new nE_Text();
    caption->name = name + suffix;
    caption->editLocalState()->x = params.captionX;
    caption->editLocalState()->y = params.captionY;
    caption->setResourceName(params.captionFont);
    caption->fontSize = params.captionSize;
    caption->editLocalState()->red = colour.r;
    caption->editLocalState()->green = colour.g;
    caption->editLocalState()->blue = colour.b;
    caption->rawText = params.captionRaw;
    adopt(caption, z);
    caption->setText(params.captionTextId);
    return caption;
}

void nG_InterfButton::build(const Params& params) {
    layer0 = makeLayer("_layer_0", params.layer0Image, kLayerZ[0]);
    layer1 = makeLayer("_layer_1", params.layer1Image, kLayerZ[1]);
    layer2 = makeLayer("_layer_2", params.layer2Image, kLayerZ[2]);
    if (!params.captionTextId.empty() && !params.captionFont.empty()) {
        text0 = makeCaption("_text_0", params, params.text0Colour, kCaptionZ[0]);
        if (params.text1Colour) text1 = makeCaption("_text_1", params, *params.text1Colour, kCaptionZ[1]);
        if (params.text2Colour) text2 = makeCaption("_text_2", params, *params.text2Colour, kCaptionZ[2]);
    }
    setState(kNormal);
}

void nG_InterfButton::setHitRect(float left, float top, float width, float height) {
    setArea(hitArea, "_dummy", nE_Rect{left, top, width, height});
    nE_Object* const parts[] = {layer0, layer1, layer2, text0, text1, text2};
    for (nE_Object* part : parts)
        if (part) part->input = false;
}

void nG_InterfButton::setPlateRect(float left, float top, float width, float height) {
    setArea(plateArea, "_plate", nE_Rect{left, top, width, height});
}

void nG_InterfButton::setArea(nE_Object*& area, const char* suffix, const nE_Rect& rect) {
    if (!area) {
        area = new nE_Object();
        area->name = name + suffix;
        adopt(area, kHitAreaZ);
    }
    area->inputRect = rect;
    area->inputRectSet = true;
}

void nG_InterfButton::show(nE_Object* object, bool shown) {
    if (object) object->visible = shown;
}

void nG_InterfButton::applyGlow() {
    if (layer1) layer1->editLocalState()->alpha = glow;
    if (text1) text1->editLocalState()->alpha = glow;
}

void nG_InterfButton::setEnabled(bool enabled) {
    state = enabled ? kNormal : kDisabled;
    show(layer1, false);
    show(text1, false);
    show(layer2, !enabled);
    show(text2, !enabled);
    input = enabled;
}

void nG_InterfButton::setState(int newState) {
    state = newState;
    switch (newState) {
        case kNormal:
            show(layer1, false);
            show(text1, false);
            show(layer2, false);
            show(text2, false);
            input = true;
            break;
        case kHover:
            show(layer1, true);
            show(text1, true);
            nG_Cursor::select(static_cast<nG_Cursor::Kind>(hoverCursor));
            break;
        case kLeaving:
            nG_Cursor::select(nG_Cursor::kDefault);
            break;
        case kDisabled:
            show(layer1, false);
            show(text1, false);
            show(layer2, true);
            show(text2, true);
            input = false;
            break;
        default:
            break;
    }
}

void nG_InterfButton::update(float dt) {
    nE_Object::update(dt);
    if (state == kHover && glow < 1.f) {
        glow = std::min(1.f, glow + dt * fadeSpeed);
        applyGlow();
    } else if (state == kLeaving && glow > 0.f) {
        glow = std::max(0.f, glow - dt * fadeSpeed);
        applyGlow();
        if (glow == 0.f) setState(kNormal);
    }
}

bool nG_InterfButton::handleInput(const nE_InputEvent& event, nE_RenderState&) {
    if (nE_Scene::dragged()) return false;
    if (event.type == nE_InputEvent::kPointerMove && state == kHover) {
        state = kLeaving;
        if (g_hovered == this) g_hovered = nullptr;
        nG_Cursor::select(nG_Cursor::kDefault);
    }
    return false;
}

void nG_InterfButton::childWasHit(nE_Object*, const nE_InputEvent& event) {
    if (nE_Scene::dragged()) return;
    if (event.type == nE_InputEvent::kButtonDown) {
        if (onClick) {
            onClick(clickArg);
            nG_Cursor::select(nG_Cursor::kDefault);
        }
    } else if (event.type == nE_InputEvent::kPointerMove) {
        if (g_hovered && g_hovered != this && g_hovered->state == kHover) {
            g_hovered->state = kLeaving;
            nG_Cursor::select(nG_Cursor::kDefault);
        }
        g_hovered = this;
        setState(kHover);
    }
}
