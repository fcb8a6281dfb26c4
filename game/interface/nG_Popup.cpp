#include "game/interface/nG_Popup.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "engine/core/nE_Easing.h"
#include "engine/core/nE_Geometry.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/media/nE_Cursor.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/objects/nE_Text.h"
#include "engine/script/nE_ContentRules.h"
#include "game/core/nG_Messages.h"
#include "game/interface/nG_RenderedBox.h"

namespace {

// Image and mirroring of each frame piece: the corners, the left and right edges, the top and bottom
// edges, the centre.
struct Piece {
    const char* image;
    float sx, sy;
};
const Piece kLayout[nG_Popup::kPieces] = {
    {"assets/interface/popup/popup_0", 1, 1},   {"assets/interface/popup/popup_0", 1, -1},
    {"assets/interface/popup/popup_0", -1, -1}, {"assets/interface/popup/popup_0", -1, 1},
    {"assets/interface/popup/popup_2", 1, 1},   {"assets/interface/popup/popup_2", -1, 1},
    {"assets/interface/popup/popup_1", 1, 1},   {"assets/interface/popup/popup_1", 1, -1},
    {"assets/interface/popup/popup_3", 1, 1},
};

constexpr const char* kPopupFont = "assets/fonts/garapremrpro";

// Set once a box has been painted in this process (a rehearsal or a real one).
bool g_painted = false;
constexpr int kFontSize = 18;

// Width of the stretched top and bottom edge image.
constexpr float kEdgeLength = 64;
// Lowest text height the frame is laid out for: the edges would turn inside out below it.
constexpr float kMinHeight = 8;

float clampTo(float value, float low, float high) {
    // A box wider than the room it must stay in is centred in it.
    if (low > high) return (low + high) / 2;
    return std::min(std::max(value, low), high);
}

}  // namespace

void nG_Popup::declareContent() {
    using R = nE_ContentRules;
    for (const Piece& piece : kLayout) R::addNeed({"", R::kImage, piece.image, "nG_Popup", "", ""});
    R::addNeed({"", R::kFont, kPopupFont, "nG_Popup", "", ""});
    // The text keeps its lines; a frame of 1.2 times its width is kept on the screen.
    R::addTextBox({"nG_Popup", "ShowPopup", 1, "", "", kPopupFont, kFontSize,
                   static_cast<int>(kScreenWidth / 1.2f), false, 0, 0, "", ""});
}

nG_Popup::nG_Popup() {
    name = kName;
    build();
    visible = false;
    input = false;
    subscribe({MSG_POPUP});
}

void nG_Popup::build() {
    finalSprite = new nE_Sprite();
    finalSprite->name = std::string(kName) + "_final_spr";
    finalSprite->active = false;
    finalSprite->input = false;
    addPart(finalSprite);

    text = new nE_Text();
    text->name = std::string(kName) + "_text";
    text->setResourceName(kPopupFont);
    text->fontSize = kFontSize;
    text->editLocalState()->z = 10;
    text->editLocalState()->red = 1.f;
    text->editLocalState()->green = 0.92549f;
    text->editLocalState()->blue = 0.423529f;
    text->visible = false;
    text->input = false;
    addPart(text);

    for (int i = 0; i < kPieces; ++i) {
        auto* piece = new nE_Sprite();
        char pieceName[32];
        std::snprintf(pieceName, sizeof pieceName, "%s_bg_%d", kName, i);
        piece->name = pieceName;
        piece->setResourceName(kLayout[i].image);
        piece->active = false;
        piece->input = false;
        piece->visible = false;
        pieces[i] = piece;
        addPart(piece);
    }
}

void nG_Popup::onMessage(const nE_Message& message) {
    const auto* request = message.payload<MSG_POPUP>();
    if (!request) return;
    if (request->show)
        showText(request->textId, request->params, request->rawText);
    else
        close();
}

void nG_Popup::showText(const std::string& id, const std::string* newParams, bool raw) {
    if (id == textId) return;
    textId = id;
    for (int i = 0; i < 5; ++i) params[i] = newParams ? newParams[i] : std::string();
    rawText = raw;
    if ((mode == kClosing && level <= 0) || mode == kWaiting)
        enterWaiting();
    else
        mode = kClosing;
}

void nG_Popup::close() {
    textId.clear();
    for (std::string& param : params) param.clear();
    mode = kClosing;
}

void nG_Popup::enterWaiting() {
    mode = kWaiting;
    level = 0;
    delay = kDelay;
    applyLevel();
    visible = false;
    input = false;
}

void nG_Popup::pointer(float& x, float& y) {
    const nE_Cursor* cursor = nE_Cursor::current();
    x = cursor ? cursor->x : 0;
    y = cursor ? cursor->y : 0;
    float localX = x, localY = y;
    if (parent && nE_Geometry::toLocal(parent->worldStateFromTop().transform(), x, y, localX, localY)) {
        x = localX;
        y = localY;
    }
}

void nG_Popup::open() {
    mode = kOpen;
    visible = true;
    input = true;
    const bool flagChanged = text->rawText != rawText;
    text->rawText = rawText;
    text->setText(textId, params[0], params[1], params[2], params[3], params[4]);
    if (flagChanged) text->render();
    const nE_Rect block = text->getLocalRect();
    textWidth = std::max(100.f, std::ceil(block.w));
    textHeight = std::max(kMinHeight, std::ceil(block.h));

    pointer(startX, startY);
    const float w = textWidth, h = textHeight;
    // The frame reaches 16 units beyond the text on either side: a narrow box keeps that much room too.
    const float marginX = std::max(0.6f * w, w / 2 + 16);
    endX = clampTo(startX, marginX, kScreenWidth - marginX);
    endY = clampTo(startY, h / 2 + 50, kScreenHeight - h / 2);
    endY = clampTo(endY - (50 + h / 2), h / 2 + 14, kScreenHeight - h / 2);
    layout();
    paint();
    applyLevel();
}

void nG_Popup::layout() {
    const float w = textWidth, h = textHeight;
    const float cornerX = w / 2 + 8, cornerY = h / 2 + 6;
    const float corner[4][2] = {
        {-cornerX, -cornerY}, {-cornerX, cornerY}, {cornerX, cornerY}, {cornerX, -cornerY}};
    for (int i = 0; i < kPieces; ++i) {
        const nE_Object::StateEdit s = pieces[i]->editLocalState();
        s->scaleX = kLayout[i].sx;
        s->scaleY = kLayout[i].sy;
        if (i < 4) {
            s->x = corner[i][0];
            s->y = corner[i][1];
        } else if (i < 6) {
            s->x = i == 4 ? -cornerX : cornerX;
            s->y = 0;
            s->scaleY *= h - 8;
        } else if (i < 8) {
            s->x = 0;
            s->y = i == 6 ? -cornerY : cornerY;
            s->scaleX *= (w - 2) / kEdgeLength;
        } else {
            s->x = s->y = 0;
            s->scaleX = (w - 2) / 2;
            s->scaleY = (h - 8) / 2;
        }
    }
    text->editLocalState()->x = text->editLocalState()->y = 0;
}

void nG_Popup::paint() {
    g_painted = true;
    // The centre first, then the edges, the corners and the text on top.
    std::vector<nE_Object*> parts = {pieces[8], pieces[4], pieces[5], pieces[6], pieces[7],
                                     pieces[0], pieces[1], pieces[2], pieces[3], text};
    picture =
        nG_RenderedBox::paint(static_cast<int>(textWidth) + 32, static_cast<int>(textHeight) + 26, parts);
    finalSprite->texture = picture;
}

void nG_Popup::applyLevel() {
    const float f = nE_Easing::sineOut(level);
    editLocalState()->alpha = f;
    editLocalState()->scaleX = editLocalState()->scaleY = f;
    editLocalState()->x = nE_Easing::lerp(startX, endX, f);
    editLocalState()->y = nE_Easing::lerp(startY, endY, f);
}

void nG_Popup::update(float dt) {
    nE_Object::update(dt);
    switch (mode) {
        case kWaiting:
            delay -= dt;
            if (delay <= 0) open();
            break;
        case kOpen:
            if (level < 1) {
                level = std::min(1.f, level + kSpeed * dt);
                applyLevel();
            }
            break;
        default:
            if (level > 0) {
                level = std::max(0.f, level - kSpeed * dt);
                applyLevel();
            }
            if (level <= 0) {
                visible = false;
                input = false;
                if (!textId.empty()) enterWaiting();
            }
            break;
    }
}

bool nG_Popup::handleInput(const nE_InputEvent& event, nE_RenderState&) {
    if (event.type == nE_InputEvent::kButtonDown && mode == kOpen && level >= 1) close();
    return false;
}

void nG_Popup::loadResources() {
    if (mode == kOpen)
        paint();
    else if (!g_painted)
        rehearse();
}

void nG_Popup::rehearse() {
    // The first picture drawn into a target costs the renderer its drawing paths for targets (a software
    // renderer compiles them): painting one box while the screen loads keeps that out of the first hover.
    const bool raw = text->rawText;
    text->rawText = true;
    text->setText("Ag");
    const nE_Rect block = text->getLocalRect();
    textWidth = std::max(100.f, std::ceil(block.w));
    textHeight = std::max(kMinHeight, std::ceil(block.h));
    layout();
    paint();
    picture.reset();
    finalSprite->texture.reset();
    text->setText("");
    text->rawText = raw;
    textWidth = textHeight = 0;
}

void nG_Popup::unloadResources() {
    picture.reset();
    finalSprite->texture.reset();
}

void nG_Popup::restoreDeviceResources(bool recursive) {
    nE_Object::restoreDeviceResources(recursive);
    if (mode == kOpen || level > 0) paint();
}
