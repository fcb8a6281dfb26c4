#include "game/interface/nG_FrameSubroom.h"

#include <cstdio>

#include "engine/core/nE_Geometry.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_Texture.h"
#include "engine/objects/nE_AnimSprite.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/script/nE_ContentRules.h"
#include "game/interface/nG_Cursor.h"
#include "game/interface/nG_FramedRoom.h"
#include "game/interface/nG_InterfButton.h"

namespace {

// How a piece sits around a w x h picture: its image, the picture's half sizes times (hx, hy) plus the
// fixed offsets (dx, dy), mirrored by (sx, sy), stretched along the picture's width or height.
struct FramePiece {
    const char* image;
    float hx, hy, dx, dy;
    float sx, sy;
    bool stretchX, stretchY;
    float z;
};

// The band is 40 px wide and overlaps the picture by 6 px; the corner brackets are 100 px square.
constexpr float kEdge = 14, kFrameCorner = -16;
const FramePiece kFrameLayout[nG_FrameSubroom::kPieces] = {
    {"assets/interface/subroom/frame_1", 0, -1, 0, -kEdge, 1, 1, true, false, 1},
    {"assets/interface/subroom/frame_1", 0, 1, 0, kEdge, 1, -1, true, false, 1},
    {"assets/interface/subroom/frame_2", -1, 0, -kEdge, 0, 1, 1, false, true, 1},
    {"assets/interface/subroom/frame_2", 1, 0, kEdge, 0, -1, 1, false, true, 1},
    {"assets/interface/subroom/frame_0", -1, -1, -kFrameCorner, -kFrameCorner, 1, 1, false, false, 2},
    {"assets/interface/subroom/frame_0", 1, -1, kFrameCorner, -kFrameCorner, -1, 1, false, false, 2},
    {"assets/interface/subroom/frame_0", -1, 1, -kFrameCorner, kFrameCorner, 1, -1, false, false, 2},
    {"assets/interface/subroom/frame_0", 1, 1, kFrameCorner, kFrameCorner, -1, -1, false, false, 2},
    {"assets/interface/subroom/frame_3", 0, -1, 0, -kEdge - 6, 1, 1, false, false, 3},
};
// Widths of the stretched edge images.
constexpr float kFrameEdgeLength = 64;

}  // namespace

void nG_FrameSubroom::declareContent() {
    using R = nE_ContentRules;
    for (const FramePiece& piece : kFrameLayout)
        R::addNeed({"", R::kImage, piece.image, "nG_FrameSubroom", "", ""});
    R::addNeed({"", R::kImage, kCloseImage, "nG_FrameSubroom", "", ""});
    R::addNeed({"", R::kAnimation, kLampAnimation, "nG_FrameSubroom", kLampFunction, ""});
}

nG_FrameSubroom::nG_FrameSubroom() {
    name = kName;
    resetOwn();
    build();
}

nG_FrameSubroom::~nG_FrameSubroom() = default;

void nG_FrameSubroom::resetOwn() {
    subRoom = nullptr;
    hoverInside = false;
    closeRequested = false;
    frameRect = nE_Rect{};
    visible = false;
    input = false;
}

void nG_FrameSubroom::resetState() {
    nE_Object::resetState();
    resetOwn();
}

void nG_FrameSubroom::build() {
    for (int i = 0; i < kPieces; ++i) {
        auto* piece = new nE_Sprite();
        char pieceName[48];
        std::snprintf(pieceName, sizeof pieceName, "%s_frame_%d", kName, i);
        piece->name = pieceName;
        piece->setResourceName(kFrameLayout[i].image);
        piece->input = false;
        piece->editLocalState()->z = kFrameLayout[i].z;
        pieces[i] = piece;
        addPart(piece);
    }

    closeButton = new nG_InterfButton(std::string(kName) + "_close_btn");
    nG_InterfButton::Params params;
    params.layer0Image = kCloseImage;
    closeButton->build(params);
    closeButton->onClick = onClose;
    closeButton->clickArg = this;
    closeButton->editLocalState()->z = 10;
    addPart(closeButton);

    lamp = new nE_AnimSprite();
    lamp->name = std::string(kName) + "_lamp_anim";
    lamp->setResourceName(kLampAnimation);
    lamp->editLocalState()->scaleX = lamp->editLocalState()->scaleY = 0.85f;
    lamp->editLocalState()->z = 11;
    lamp->input = false;
    addPart(lamp);
}

void nG_FrameSubroom::attach(nG_FramedRoom* room) {
    subRoom = room;
    closeRequested = false;
    hoverInside = false;
    frameRect = nE_Rect{};
    if (room && room->framedImage().texture) {
        const nE_Sprite& image = room->framedImage();
        frameRect = image.texture->localRect(image.localState().frameIndex);
    }
    const float hw = frameRect.w / 2, hh = frameRect.h / 2;
    for (int i = 0; i < kPieces; ++i) {
        const FramePiece& p = kFrameLayout[i];
        const nE_Object::StateEdit s = pieces[i]->editLocalState();
        s->x = p.hx * hw + p.dx;
        s->y = p.hy * hh + p.dy;
        s->scaleX = p.sx * (p.stretchX ? frameRect.w / kFrameEdgeLength : 1);
        s->scaleY = p.sy * (p.stretchY ? frameRect.h / kFrameEdgeLength : 1);
    }
    closeButton->editLocalState()->x = lamp->editLocalState()->x = hw + kEdge;
    closeButton->editLocalState()->y = lamp->editLocalState()->y = -hh - kEdge;
    stopLamp();
    if (room) update(0);
}

void nG_FrameSubroom::show(bool shown) {
    visible = shown;
    input = shown;
}

void nG_FrameSubroom::update(float dt) {
    nE_Object::update(dt);
    if (!subRoom) return;
    const nE_RenderState& place = subRoom->framedImage().localState();
    const nE_RenderState& zoom = subRoom->framedZoom();
    {
        auto local = editLocalState();
        local->x = place.x;
        local->y = place.y;
        local->scaleX = zoom.scaleX;
        local->scaleY = zoom.scaleY;
        local->alpha = zoom.alpha;
    }
    if (closeRequested && zoom.alpha <= 0) {
        subRoom = nullptr;
        show(false);
    }
}

float nG_FrameSubroom::bottomEdge() const {
    return localState().y + (frameRect.h / 2 + kEdge) * localState().scaleY;
}

void nG_FrameSubroom::stopLamp() {
    if (lamp) lamp->stop();
}

void nG_FrameSubroom::onClose(void* frame) {
    auto* self = static_cast<nG_FrameSubroom*>(frame);
    self->closeRequested = true;
    nG_Cursor::select(nG_Cursor::kDefault);
}

bool nG_FrameSubroom::handleInput(const nE_InputEvent& event, nE_RenderState& world) {
    if (event.type != nE_InputEvent::kPointerMove && event.type != nE_InputEvent::kButtonDown &&
        event.type != nE_InputEvent::kButtonUp)
        return false;
    if (nE_Scene::dragged() || closeRequested || !subRoom || !subRoom->framedOpen()) return false;
    if (event.type == nE_InputEvent::kPointerMove) stopLamp();
    if (nE_Geometry::pointInQuad(event.x, event.y, frameRect, world.transform())) {
        if (event.type == nE_InputEvent::kPointerMove && !hoverInside) {
            nG_Cursor::select(nG_Cursor::kDefault);
            hoverInside = true;
        }
        return false;
    }
    if (event.type == nE_InputEvent::kButtonDown) {
        closeRequested = true;
        nG_Cursor::select(nG_Cursor::kDefault);
        return true;
    }
    if (event.type == nE_InputEvent::kPointerMove) {
        nG_Cursor::select(nG_Cursor::kDown);
        hoverInside = false;
        return true;
    }
    return false;
}

void nG_FrameSubroom::childWasHit(nE_Object* hit, const nE_InputEvent& event) {
    if (nE_Scene::dragged() || event.type != nE_InputEvent::kPointerMove || !lamp) return;
    if (hit == closeButton || closeButton->isAncestorOf(hit)) {
        if (!lamp->playing) lamp->play(kLampFunction, "");
    } else if (lamp->playing) {
        stopLamp();
    }
}
