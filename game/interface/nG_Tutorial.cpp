#include "game/interface/nG_Tutorial.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Scene.h"
#include "engine/objects/nE_AnimSprite.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/objects/nE_Text.h"
#include "engine/script/nE_ContentRules.h"
#include "game/core/nG_Messages.h"
#include "game/interface/nG_InterfButton.h"

namespace {

constexpr const char* kBackground = "assets/interface/tutorial/back_for_text";
constexpr const char* kYesImage = "assets/interface/tutorial/yes";
constexpr const char* kNoImage = "assets/interface/tutorial/no";
constexpr const char* kArrow = "assets/interface/tutorial/arrow";
constexpr const char* kArrowFunction = "DoAnim";
constexpr const char* kTutorialFont = "assets/fonts/garapremrpro";
constexpr const char* kCaptions[] = {"tutorial_yes", "tutorial_no", "tutorial_ok", "tutorial_skip"};
constexpr float kButtonX = 230;
constexpr int kTextWidth = 320;
constexpr int kTutorialFontSize = 20, kCaptionSize = 20;
// The lines of text the background (170 pixels high) holds.
constexpr int kTextLines = 7;
constexpr float kButtonZ = 10;
// Below this opacity the box counts as not there: a hidden interface never leaves the pointer caught.
constexpr float kSeenAlpha = 0.01f;
constexpr float kScreenWidth = 1024, kScreenHeight = 768;

// The place nearest to `at` where the box (its extent relative to its centre) lies wholly within 0..size.
float within(float at, float low, float extent, float size) {
    if (extent <= 0) return at;
    return std::max(-low, std::min(at, size - (low + extent)));
}

}  // namespace

void nG_Tutorial::declareContent() {
    using R = nE_ContentRules;
    const char* const owner = "nG_Tutorial";
    R::addNeed({"", R::kImage, kBackground, owner, "", ""});
    for (const char* image : {kYesImage, kNoImage}) {
        R::addNeed({"", R::kImage, image, owner, "", ""});
        R::addNeed({"", R::kImage, std::string(image) + "_focus", owner, "", ""});
    }
    R::addNeed({"", R::kAnimation, kArrow, owner, kArrowFunction, ""});
    R::addNeed({"", R::kFont, kTutorialFont, owner, "", ""});
    for (const char* caption : kCaptions) R::addNeed({"game", R::kStringKey, caption, owner, "", ""});
    R::addCaption(owner, kCaptions[0], kTutorialFont, kCaptionSize, kYesImage);
    R::addCaption(owner, kCaptions[1], kTutorialFont, kCaptionSize, kNoImage);
    R::addCaption(owner, kCaptions[2], kTutorialFont, kCaptionSize, kYesImage);
    R::addCaption(owner, kCaptions[3], kTutorialFont, kCaptionSize, kNoImage);
    // The texts scripts pick from a table are named "tut_...".
    R::addTextBox({owner, "ShowTutorial", 1, "", "tut_", kTutorialFont, kTutorialFontSize, kTextWidth, true,
                   kTextLines, 0, "", ""});
}

nG_Tutorial::nG_Tutorial() {
    name = kName;
    background = new nE_Sprite();
    background->name = std::string(kName) + "_bg";
    background->setResourceName(kBackground);
    addPart(background);

    text = new nE_Text();
    text->name = std::string(kName) + "_text";
    text->setResourceName(kTutorialFont);
    text->fontSize = kTutorialFontSize;
    // Narrower than the box's middle so that the buttons beside the text never cover it.
    text->maxWidth = kTextWidth;
    text->editLocalState()->z = 1;
    text->input = false;
    addPart(text);

    yesButton = makeButton("yes", kCaptions[0], kYesImage, kButtonX, true);
    noButton = makeButton("no", kCaptions[1], kNoImage, -kButtonX, false);
    okButton = makeButton("ok", kCaptions[2], kYesImage, kButtonX, true);
    skipButton = makeButton("skip", kCaptions[3], kNoImage, -kButtonX, false);

    arrow = new nE_AnimSprite();
    arrow->name = std::string(kName) + "_arrow";
    arrow->setResourceName(kArrow);
    arrow->editLocalState()->z = kButtonZ;
    arrow->input = false;
    arrow->visible = false;
    addPart(arrow);

    editLocalState()->alpha = 0;
    visible = false;
    input = false;
    active = false;
    subscribe({MSG_TUTORIAL_SHOW, MSG_TUTORIAL_SKIPPED});
}

nG_InterfButton* nG_Tutorial::makeButton(const std::string& suffix, const std::string& caption,
                                         const std::string& image, float x, bool accept) {
    auto* button = new nG_InterfButton(std::string(kName) + "_btn_" + suffix);
    nG_InterfButton::Params params;
    params.layer0Image = image;
    params.layer1Image = image + "_focus";
    params.captionTextId = caption;
    params.captionFont = kTutorialFont;
    params.captionSize = kCaptionSize;
    params.text0Colour = {196.f / 255, 213.f / 255, 255.f / 255};
    params.text1Colour = nG_InterfButton::Colour{255.f / 255, 236.f / 255, 108.f / 255};
    button->build(params);
    button->onClick = accept ? onAccept : onDecline;
    button->clickArg = this;
    button->editLocalState()->x = x;
    button->editLocalState()->z = kButtonZ;
    button->visible = false;
    button->input = false;
    addPart(button);
    return button;
}

void nG_Tutorial::onAccept(void* tutorial) {
    static_cast<nG_Tutorial*>(tutorial)->closeHint(false);
}

void nG_Tutorial::onDecline(void* tutorial) {
    static_cast<nG_Tutorial*>(tutorial)->closeHint(true);
}

void nG_Tutorial::onMessage(const nE_Message& message) {
    if (const auto* request = message.payload<MSG_TUTORIAL_SHOW>())
        showHint(*request);
    else if (bool* skipped = message.payload<MSG_TUTORIAL_SKIPPED>())
        *skipped = !enabled;
}

void nG_Tutorial::showHint(const nG_TutorialRequest& request) {
    if (!enabled) return;
    textId = request.textId;
    posX = request.posX;
    posY = request.posY;
    first = request.first;
    arrowX = request.arrowX;
    arrowY = request.arrowY;
    arrowAngle = std::isfinite(request.arrowAngle) ? request.arrowAngle : 0.f;
    closeTrigger = request.closeTrigger;

    // The box stays wholly on the screen wherever the script asked for it; the arrow still points where
    // it was told.
    const nE_Rect box = background->getLocalRect();
    const float x = within(static_cast<float>(posX), box.x, box.w, kScreenWidth);
    const float y = within(static_cast<float>(posY), box.y, box.h, kScreenHeight);
    editLocalState()->x = x;
    editLocalState()->y = y;
    text->setText(textId);
    for (nG_InterfButton* button : {yesButton, noButton, okButton, skipButton}) {
        button->visible = false;
        button->input = false;
    }
    if (arrowX != 0 || arrowY != 0) {
        arrow->visible = true;
        arrow->editLocalState()->x = static_cast<float>(arrowX) - x;
        arrow->editLocalState()->y = static_cast<float>(arrowY) - y;
        arrow->editLocalState()->angle = arrowAngle;
        arrow->play(kArrowFunction, "");
    } else {
        arrow->visible = false;
        arrow->stop();
    }
    const float rowY = text->getLocalRect().h / 2 - 25;
    nG_InterfButton* const row[2] = {first ? yesButton : okButton, first ? noButton : skipButton};
    for (nG_InterfButton* button : row) {
        button->editLocalState()->y = rowY;
        button->glow = 0;
        button->setState(nG_InterfButton::kNormal);
        button->visible = true;
    }
    setState(kFadingIn);
}

void nG_Tutorial::closeHint(bool switchOff) {
    if (switchOff) enabled = false;
    if (open()) setState(kFadingOut);
}

void nG_Tutorial::setState(int newState) {
    const int previous = state;
    state = newState;
    stateTime = 0;
    switch (newState) {
        case kFadingIn:
        case kFadingOut:
            visible = input = active = true;
            break;
        case kShown:
            editLocalState()->alpha = 1;
            break;
        default:
            editLocalState()->alpha = 0;
            visible = input = active = false;
            arrow->stop();
            if (previous == kFadingOut && !closeTrigger.empty()) {
                const std::string code = closeTrigger;
                closeTrigger.clear();
                nE_Scene::queueTrigger(name, code);
            }
            break;
    }
}

void nG_Tutorial::update(float dt) {
    nE_Object::update(dt);
    // Under a hidden interface the box is not there for the pointer either.
    input = state != kHidden && (!parent || parent->worldStateFromTop().alpha >= kSeenAlpha);
    stateTime += dt;
    if (state == kFadingIn) {
        editLocalState()->alpha = std::min(1.f, stateTime / kFadeTime);
        if (stateTime >= kFadeTime) setState(kShown);
    } else if (state == kFadingOut) {
        editLocalState()->alpha = std::max(0.f, 1 - stateTime / kFadeTime);
        if (stateTime >= kFadeTime) setState(kHidden);
    }
}

bool nG_Tutorial::handleInput(const nE_InputEvent& event, nE_RenderState& world) {
    if (event.type != nE_InputEvent::kButtonDown && event.type != nE_InputEvent::kButtonUp &&
        event.type != nE_InputEvent::kPointerMove)
        return false;
    if (!open() || world.alpha < kSeenAlpha || nE_Scene::dragged()) return false;
    // The yes/no question waits for its answer.
    if (first) return true;
    if (event.type == nE_InputEvent::kButtonDown) closeHint(false);
    return false;
}

void nG_Tutorial::childWasHit(nE_Object* hit, const nE_InputEvent& event) {
    if (event.type != nE_InputEvent::kButtonDown || first || !open()) return;
    for (nG_InterfButton* button : {okButton, skipButton})
        if (hit == button || button->isAncestorOf(hit)) return;
    // A press on the box itself closes the hint like a press anywhere else.
    closeHint(false);
}

tinyxml2::XMLElement* nG_Tutorial::dumpState(tinyxml2::XMLDocument& doc) {
    tinyxml2::XMLElement* element = doc.NewElement("tutorial");
    element->SetAttribute("show_tutorial", enabled ? 1 : 0);
    if (open()) {
        element->SetAttribute("text_idx", textId.c_str());
        element->SetAttribute("posx", posX);
        element->SetAttribute("posy", posY);
        element->SetAttribute("first", first ? 1 : 0);
        element->SetAttribute("arrow_posx", arrowX);
        element->SetAttribute("arrow_posy", arrowY);
        char angle[32];
        std::snprintf(angle, sizeof angle, "%g", arrowAngle);
        element->SetAttribute("arrow_angle", angle);
        element->SetAttribute("close_trigger", closeTrigger.c_str());
    }
    return element;
}

void nG_Tutorial::restoreState(const tinyxml2::XMLElement* parent) {
    const tinyxml2::XMLElement* element = parent ? parent->FirstChildElement("tutorial") : nullptr;
    if (!element) return;
    enabled = element->IntAttribute("show_tutorial", enabled ? 1 : 0) == 1;
    // A hint on the screen now is not the saved one: it goes without running its trigger.
    closeTrigger.clear();
    if (state != kHidden) setState(kHidden);
    const char* id = element->Attribute("text_idx");
    if (!id) return;
    nG_TutorialRequest request;
    request.textId = id;
    request.posX = element->IntAttribute("posx", 0);
    request.posY = element->IntAttribute("posy", 0);
    request.first = element->IntAttribute("first", 0) == 1;
    request.arrowX = element->IntAttribute("arrow_posx", 0);
    request.arrowY = element->IntAttribute("arrow_posy", 0);
    request.arrowAngle = element->FloatAttribute("arrow_angle", 0);
    const char* trigger = element->Attribute("close_trigger");
    request.closeTrigger = trigger ? trigger : "";
    showHint(request);
}
