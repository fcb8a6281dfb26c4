#include "game/interface/nG_Dialog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Scene.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/objects/nE_Text.h"
#include "engine/script/nE_ContentRules.h"
#include "engine/script/nE_TriggerHub.h"
#include "game/core/nG_Messages.h"
#include "game/interface/nG_RenderedBox.h"

namespace {

// Each frame piece: image, mirroring, and which way it stretches. Corners sit in the box's corners, the
// edges run between them, the middle lies under the text.
enum Place { kCorner, kHorizontal, kVertical, kMiddle };
struct Piece {
    const char* image;
    float sx, sy;
    Place place;
};
const Piece kLayout[nG_Dialog::kPieces] = {
    {"assets/interface/dialogs/frame_0", 1, 1, kCorner},
    {"assets/interface/dialogs/frame_0", -1, 1, kCorner},
    {"assets/interface/dialogs/frame_0", 1, -1, kCorner},
    {"assets/interface/dialogs/frame_0", -1, -1, kCorner},
    {"assets/interface/dialogs/frame_1", 1, 1, kHorizontal},
    {"assets/interface/dialogs/frame_1", 1, -1, kHorizontal},
    {"assets/interface/dialogs/frame_2", 1, 1, kVertical},
    {"assets/interface/dialogs/frame_2", -1, 1, kVertical},
    {"assets/interface/dialogs/frame_3", 1, 1, kMiddle},
};
constexpr const char* kDialogFont = "assets/fonts/garapremrpro";
constexpr int kDialogFontSize = 24, kTextWidth = 400;
// Sizes of the frame images: corner 40 x 30, edges 64 long, middle 8 x 8.
constexpr float kCornerW = 40, kCornerH = 30, kEdgeLength = 64, kMiddleSide = 8;
// The box is the text plus the frame around it.
constexpr float kExtraW = 62 + 24, kExtraH = 50 + 10;

float keepInside(float centre, float half, float screen) {
    if (2 * half >= screen) return screen / 2;
    return std::min(std::max(centre, half), screen - half);
}

}  // namespace

void nG_Dialog::declareContent() {
    using R = nE_ContentRules;
    for (const Piece& piece : kLayout) R::addNeed({"", R::kImage, piece.image, "nG_Dialog", "", ""});
    R::addNeed({"", R::kFont, kDialogFont, "nG_Dialog", "", ""});
    R::addTextBox(
        {"nG_Dialog", "ShowDialog", 1, "", "", kDialogFont, kDialogFontSize, kTextWidth, true, 0, 0, "", ""});
}

nG_Dialog::nG_Dialog() {
    name = kName;
    textObject = new nE_Text();
    textObject->name = std::string(kName) + "_text";
    textObject->setResourceName(kDialogFont);
    textObject->fontSize = kDialogFontSize;
    textObject->maxWidth = kTextWidth;
    textObject->editLocalState()->red = 255.f / 255;
    textObject->editLocalState()->green = 236.f / 255;
    textObject->editLocalState()->blue = 108.f / 255;
    textObject->editLocalState()->z = 1;
    textObject->visible = false;
    textObject->input = false;
    addPart(textObject);

    for (int i = 0; i < kPieces; ++i) {
        auto* piece = new nE_Sprite();
        char pieceName[32];
        std::snprintf(pieceName, sizeof pieceName, "%s_bg_%d", kName, i);
        piece->name = pieceName;
        piece->setResourceName(kLayout[i].image);
        piece->visible = false;
        piece->input = false;
        piece->active = false;
        pieces[i] = piece;
        addPart(piece);
    }

    finalSprite = new nE_Sprite();
    finalSprite->name = std::string(kName) + "_final_spr";
    finalSprite->editLocalState()->z = 2;
    addPart(finalSprite);

    hideNow();
    subscribe({MSG_DIALOG_SHOW, MSG_DIALOG_CLOSE});
}

void nG_Dialog::onMessage(const nE_Message& message) {
    if (const auto* request = message.payload<MSG_DIALOG_SHOW>()) {
        show(request->text, request->x, request->y);
    } else if (message.number == MSG_DIALOG_CLOSE) {
        close();
    }
}

void nG_Dialog::show(const std::string& textId, int atX, int atY) {
    if (textId != text || state != kFadingIn) {
        text = textId;
        x = atX;
        y = atY;
        textWidth = textHeight = 0;
        if (state == kFadingOut && fade <= 0)
            enterShown();
        else
            state = kChanging;
    } else {
        state = kFadingOut;
    }
}

void nG_Dialog::close() {
    state = kFadingOut;
}

void nG_Dialog::hideNow() {
    fade = 0;
    editLocalState()->alpha = 0;
    visible = false;
    input = false;
    active = false;
}

void nG_Dialog::enterShown() {
    state = kFadingIn;
    visible = true;
    input = true;
    active = true;
    textObject->setText(text);
    const nE_Rect block = textObject->getLocalRect();
    textWidth = std::ceil(block.w);
    textHeight = std::ceil(block.h);
    paint();
    // The box stays on the screen wherever it is asked for.
    const float w = textWidth + kExtraW, h = textHeight + kExtraH;
    editLocalState()->x = keepInside(static_cast<float>(x), w / 2, kScreenWidth);
    editLocalState()->y = keepInside(static_cast<float>(y), h / 2, kScreenHeight);
    editLocalState()->alpha = fade;
}

void nG_Dialog::paint() {
    const float w = textWidth + kExtraW, h = textHeight + kExtraH;
    const float cornerX = w / 2 - kCornerW / 2, cornerY = h / 2 - kCornerH / 2;
    for (int i = 0; i < kPieces; ++i) {
        const Piece& p = kLayout[i];
        const nE_Object::StateEdit s = pieces[i]->editLocalState();
        s->scaleX = p.sx;
        s->scaleY = p.sy;
        s->x = s->y = 0;
        switch (p.place) {
            case kCorner:
                s->x = cornerX * -p.sx;
                s->y = cornerY * -p.sy;
                break;
            case kHorizontal:
                s->y = cornerY * -p.sy;
                s->scaleX *= (w - 2 * kCornerW) / kEdgeLength;
                break;
            case kVertical:
                s->x = cornerX * -p.sx;
                s->scaleY *= (h - 2 * kCornerH) / kEdgeLength;
                break;
            case kMiddle:
                s->scaleX = (w - 2 * kCornerW + 2) / kMiddleSide;
                s->scaleY = (h - 2 * kCornerH + 2) / kMiddleSide;
                break;
        }
    }
    textObject->editLocalState()->x = textObject->editLocalState()->y = 0;
    const std::vector<nE_Object*> parts = {pieces[8], pieces[4], pieces[5], pieces[6], pieces[7],
                                           pieces[0], pieces[1], pieces[2], pieces[3], textObject};
    picture = nG_RenderedBox::paint(static_cast<int>(w), static_cast<int>(h), parts);
    finalSprite->texture = picture;
}

void nG_Dialog::update(float dt) {
    nE_Object::update(dt);
    switch (state) {
        case kFadingIn:
            fade = std::min(1.f, fade + kSpeed * dt);
            break;
        case kFadingOut:
            fade = std::max(0.f, fade - kSpeed * dt);
            if (fade <= 0) {
                hideNow();
                nE_TriggerHub* hub = nE_Core::exists() ? nE_Core::get()->triggerHubIfAlive() : nullptr;
                if (hub && hub->find(kClosedTrigger)) nE_Scene::queueTrigger(name, kClosedTrigger);
                return;
            }
            break;
        default:
            fade = std::max(0.f, fade - kSpeed * dt);
            if (fade <= 0) enterShown();
            break;
    }
    editLocalState()->alpha = fade;
}

void nG_Dialog::childWasHit(nE_Object* hit, const nE_InputEvent& event) {
    if (hit == finalSprite && event.type == nE_InputEvent::kButtonDown && state == kFadingIn && fade >= 1)
        close();
}

void nG_Dialog::loadResources() {
    if (visible) paint();
}

void nG_Dialog::unloadResources() {
    picture.reset();
    finalSprite->texture.reset();
}

void nG_Dialog::restoreDeviceResources(bool recursive) {
    nE_Object::restoreDeviceResources(recursive);
    if (visible) paint();
}
