#include "game/interface/nG_BlackBarText.h"

#include <algorithm>

#include "engine/core/nE_Geometry.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/objects/nE_Text.h"
#include "engine/script/nE_ContentRules.h"
#include "game/core/nG_Messages.h"

namespace {
// The text sits on the dark part of the bar, above its brass rule.
constexpr float kTextY = -4;
constexpr const char* kBar = "assets/interface/bbtext/back";
constexpr const char* kFont = "assets/fonts/garapremrpro";
// Under a close-up the band is this share of the bar's height and width (clear of the Diary and Hint
// plates) and sits this far below the frame, but never lower than kLowestY, where the inventory's panel
// begins.
constexpr float kNarrowScale = 0.6f;
constexpr float kNarrowWidth = 0.78f;
constexpr int kWideText = 950;
constexpr int kFontSize = 24;
// The lines of text the narrow band (84 pixels high at full size) holds.
constexpr int kNarrowLines = 2;
constexpr float kFrameGap = 8;
constexpr float kLowestY = 658;
}  // namespace

void nG_BlackBarText::declareContent() {
    using R = nE_ContentRules;
    R::addNeed({"", R::kImage, kBar, "nG_BlackBarText", "", ""});
    R::addNeed({"", R::kFont, kFont, "nG_BlackBarText", "", ""});
    // Under a frame the bar is at its narrowest and lowest: two lines.
    R::addTextBox({"nG_BlackBarText", "ShowBlackBarText", 1, "", "", kFont, kFontSize,
                   static_cast<int>(kWideText * kNarrowWidth), true, kNarrowLines, 0, "", ""});
}

nG_BlackBarText::nG_BlackBarText() {
    name = kName;
    text = new nE_Text();
    text->name = std::string(kName) + "_text";
    text->setResourceName(kFont);
    text->fontSize = kFontSize;
    text->maxWidth = kWideText;
    text->editLocalState()->y = kTextY;
    text->editLocalState()->z = 1;
    text->editLocalState()->red = 255.f / 255;
    text->editLocalState()->green = 236.f / 255;
    text->editLocalState()->blue = 108.f / 255;
    text->input = false;
    addPart(text);

    background = new nE_Sprite();
    background->name = std::string(kName) + "_bg";
    background->setResourceName(kBar);
    background->editLocalState()->z = 0;
    background->editLocalState()->alpha = 0.8f;
    background->input = false;
    addPart(background);

    editLocalState()->x = 512;
    editLocalState()->alpha = 0;
    visible = false;
    input = false;
    subscribe({MSG_BLACKBAR_SHOW, MSG_BLACKBAR_HIDE});
}

void nG_BlackBarText::onMessage(const nE_Message& message) {
    if (const auto* request = message.payload<MSG_BLACKBAR_SHOW>()) {
        show(request->text, request->seconds);
    } else if (message.number == MSG_BLACKBAR_HIDE) {
        hide();
    }
}

void nG_BlackBarText::show(const std::string& textId, float seconds) {
    displayTime = seconds > 0 ? seconds : kDefaultSeconds;
    if (state == kFadingOut && fade <= 0) {
        current = textId;
        display();
    } else if (textId != current) {
        queued = textId;
        hasQueued = true;
        state = kFadingOut;
    } else {
        display();
    }
}

void nG_BlackBarText::hide() {
    state = kFadingOut;
}

void nG_BlackBarText::display() {
    // The text asked for last is the one that stays.
    queued.clear();
    hasQueued = false;
    text->setText(current);
    state = kShown;
    shownTime = 0;
    input = true;
    visible = true;
}

void nG_BlackBarText::update(float dt) {
    nE_Object::update(dt);
    // The bar's top edge touches the top of the screen once its image is known.
    const float height = background->getLocalRect().h;
    if (height > 0) {
        const bool underFrame = frameBottom >= 0;
        const float scale = underFrame ? kNarrowScale : 1.f;
        const float y =
            underFrame ? std::min(frameBottom + kFrameGap + height * scale / 2, kLowestY) : height / 2;
        if (!placed || localState().y != y) editLocalState()->y = y;
        if (background->localState().scaleY != scale) {
            auto bg = background->editLocalState();
            bg->scaleY = scale;
            bg->scaleX = underFrame ? kNarrowWidth : 1.f;
            text->maxWidth = static_cast<int>(underFrame ? kWideText * kNarrowWidth : kWideText);
            text->render();
        }
        placed = true;
    }
    if (covered) {
        fade = std::max(0.f, fade - kSpeed * dt);
    } else if (state == kShown) {
        fade = std::min(1.f, fade + kSpeed * dt);
        if (fade >= 1) {
            shownTime += dt;
            if (shownTime >= displayTime) state = kFadingOut;
        }
    } else if (fade > 0 || visible) {
        fade = std::max(0.f, fade - kSpeed * dt);
        if (fade <= 0) {
            if (hasQueued) {
                current = queued;
                display();
            } else {
                visible = false;
                input = false;
            }
        }
    }
    editLocalState()->alpha = fade;
}

bool nG_BlackBarText::handleInput(const nE_InputEvent& event, nE_RenderState& world) {
    if (event.type != nE_InputEvent::kButtonDown || state != kShown || fade < 1) return false;
    if (nE_Geometry::pointInQuad(event.x, event.y, background->getLocalRect(), world.transform()))
        state = kFadingOut;
    // The press goes on to what lies under the bar (the close button of a close-up stands there).
    return false;
}
