#include "game/interface/nG_DiaryBook.h"

#include <tinyxml2.h>

#include "engine/objects/nE_AnimSprite.h"
#include "engine/script/nE_ContentRules.h"
#include "game/core/nG_Messages.h"

nG_DiaryBook::nG_DiaryBook() {
    name = kName;
    clipboard = new nE_AnimSprite();
    clipboard->name = std::string(kName) + "_anim_spr";
    clipboard->setResourceName(kClipboard);
    clipboard->editLocalState()->x = 46;
    clipboard->editLocalState()->y = 683;
    clipboard->input = false;
    addPart(clipboard);
    input = false;
    subscribe({MSG_DIARY_BOOK});
}

void nG_DiaryBook::declareContent() {
    using R = nE_ContentRules;
    R::addNeed({"", R::kAnimation, kClipboard, "nG_DiaryBook", kOpenFunction, ""});
    R::addNeed({"", R::kAnimation, kClipboard, "nG_DiaryBook", kCloseFunction, ""});
    R::addNeed({"", R::kSound, kOpenSound, "nG_DiaryBook", "", ""});
}

void nG_DiaryBook::update(float dt) {
    nE_Object::update(dt);
    if (clipboard->playing) return;
    if (state == kOpening) state = kOpen;
    if (state == kClosing) state = kClosed;
    if (wanted == kWantClosed && state != kClosing && state != kClosed) {
        clipboard->play(kCloseFunction, "");
        state = kClosing;
    } else if (wanted == kWantOpen && state != kOpening && state != kOpen) {
        clipboard->play(kOpenFunction, "");
        state = kOpening;
        playSound(kOpenSound);
    }
}

void nG_DiaryBook::onMessage(const nE_Message& message) {
    if (const bool* open = message.payload<MSG_DIARY_BOOK>()) wanted = *open ? kWantOpen : kWantClosed;
}

void nG_DiaryBook::standStill(bool open) {
    clipboard->stop();
    const nE_AnimSprite::Function* opening = clipboard->findFunction(kOpenFunction);
    if (open && opening && !opening->frames.empty())
        clipboard->editLocalState()->frameIndex = opening->frames.back();
    state = open ? kOpen : kClosed;
    wanted = open ? kWantOpen : kWantClosed;
}

tinyxml2::XMLElement* nG_DiaryBook::dumpState(tinyxml2::XMLDocument& doc) {
    tinyxml2::XMLElement* element = doc.NewElement(kName);
    element->SetAttribute("state", state == kOpening || state == kOpen ? 1 : 0);
    return element;
}

void nG_DiaryBook::restoreState(const tinyxml2::XMLElement* parent) {
    const tinyxml2::XMLElement* element = parent ? parent->FirstChildElement(kName) : nullptr;
    if (!element) return;
    standStill(element->IntAttribute("state", 0) == 1);
}
