#include "game/core/nG_SubRoom.h"

#include <cmath>

#include "engine/core/nE_Easing.h"
#include "engine/media/nE_Texture.h"
#include "engine/script/nE_SLHelper.h"

nG_SubRoom::nG_SubRoom() {
    resetOwn();
    // The room's constructor set the closed state before this class existed.
    setState(kClosed);
}

nG_SubRoom::~nG_SubRoom() {
    deactivate();
}

void nG_SubRoom::resetOwn() {
    startX = startY = endX = endY = 0;
}

void nG_SubRoom::resetState() {
    nG_Room::resetState();
    resetOwn();
}

void nG_SubRoom::loadProperties(nE_SLHelper& helper) {
    nG_Room::loadProperties(helper);
    helper.readInt("start_x", startX);
    helper.readInt("start_y", startY);
    helper.readInt("end_x", endX);
    helper.readInt("end_y", endY);
    // A closed sub-room waits at its start point.
    if (state == kClosed) {
        editLocalState()->x = static_cast<float>(startX);
        editLocalState()->y = static_cast<float>(startY);
    }
}

void nG_SubRoom::saveProperties(nE_SLHelper& helper) {
    nG_Room::saveProperties(helper);
    helper.writeInt("start_x", startX);
    helper.writeInt("start_y", startY);
    helper.writeInt("end_x", endX);
    helper.writeInt("end_y", endY);
}

std::string nG_SubRoom::getTypeName() const {
    return "subroom";
}

const nE_Sprite& nG_SubRoom::framedImage() const {
    return *this;
}

const nE_RenderState& nG_SubRoom::framedZoom() const {
    return zoom;
}

bool nG_SubRoom::framedOpen() const {
    return state == kOpen;
}

void nG_SubRoom::loadResources() {
    nG_Room::loadResources();
    if (!texture) return;
    editLocalState()->drawOffsetX = editLocalState()->drawOffsetY = 0;
    cropRect = texture->localRect(localState().frameIndex);
    cropRectSet = true;
}

float nG_SubRoom::ease(float a, float b, float c) {
    return nE_Easing::lerp(a, b, nE_Easing::sineIn(c));
}

void nG_SubRoom::applyZoom(float scale) {
    zoom.scaleX = zoom.scaleY = zoom.alpha = scale;
    zoom.matrixValid = false;
}

void nG_SubRoom::update(float dt) {
    nG_Room::update(dt);
    float c = 0;
    if (state == kOpening)
        c = fadeTime / kFadeSeconds;
    else if (state == kClosing)
        c = (kFadeSeconds - fadeTime) / kFadeSeconds;
    else
        return;
    if (c == 0) return;
    editLocalState()->x = ease(static_cast<float>(startX), static_cast<float>(endX), c);
    editLocalState()->y = ease(static_cast<float>(startY), static_cast<float>(endY), c);
    applyZoom(ease(0, 1, c));
}

void nG_SubRoom::drawSelf(nE_Render* renderer, nE_RenderState& world) {
    if ((state == kOpening || state == kClosing) && snapshot) {
        drawSnapshot(renderer, world, zoom.alpha, &zoom.transform());
        drawn = true;
        return;
    }
    nG_Room::drawSelf(renderer, world);
}

void nG_SubRoom::setState(int newState) {
    nG_Room::setState(newState);
    switch (newState) {
        case kClosed:
            editLocalState()->x = static_cast<float>(startX);
            editLocalState()->y = static_cast<float>(startY);
            applyZoom(0);
            snapshot.reset();
            break;
        case kOpen:
            editLocalState()->x = static_cast<float>(endX);
            editLocalState()->y = static_cast<float>(endY);
            applyZoom(1);
            break;
        case kClosing:
            // Only the snapshot shows while the sub-room shrinks.
            editLocalState()->alpha = 0;
            break;
        default:
            break;
    }
}

void nG_SubRoom::close(bool animate) {
    if (state == kClosing) return;
    if (animate) takeSnapshot();
    nG_Room::close(animate);
}

void nG_SubRoom::startZoom(int sx, int sy, int ex, int ey, bool animate) {
    if (sx || sy || ex || ey) {
        startX = sx;
        startY = sy;
        endX = ex;
        endY = ey;
    }
    drawn = false;
    if (animate) {
        editLocalState()->alpha = 1;
        takeSnapshot();
        editLocalState()->alpha = 0;
        setState(kOpening);
        // The zoom starts at the start point, not where the sub-room stood last.
        editLocalState()->x = static_cast<float>(startX);
        editLocalState()->y = static_cast<float>(startY);
        applyZoom(0);
    } else {
        setState(kOpen);
    }
}
