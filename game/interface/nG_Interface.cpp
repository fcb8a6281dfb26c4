#include "game/interface/nG_Interface.h"

#include <tinyxml2.h>

#include <algorithm>

#include "engine/core/nE_Mediator.h"
#include "engine/core/nE_Messages.h"
#include "engine/core/nE_Scene.h"
#include "engine/script/nE_ContentRules.h"
#include "engine/script/nE_Module.h"
#include "game/core/nG_Messages.h"
#include "game/interface/nG_Achievement.h"
#include "game/interface/nG_BlackBarText.h"
#include "game/interface/nG_Dialog.h"
#include "game/interface/nG_Diary.h"
#include "game/interface/nG_DiaryBook.h"
#include "game/interface/nG_DiaryCollector.h"
#include "game/interface/nG_FrameSubroom.h"
#include "game/interface/nG_InterfButton.h"
#include "game/interface/nG_Popup.h"
#include "game/interface/nG_Subtitles.h"
#include "game/interface/nG_Tutorial.h"
#include "game/shell/nG_Screen.h"
#include "pflib/TFile.h"

namespace {

constexpr unsigned int kMessages[] = {MSG_GAME_MODE_CHANGED, MSG_HIDE_INTERFACE, MSG_INTERFACE_INPUT,
                                      MSG_RIGHT_LAMP,        MSG_LEFT_LAMP,      MSG_LOCK_DIARY_BOOK_OPEN};

bool readFlag(const tinyxml2::XMLElement* element, const char* name) {
    return element->IntAttribute(name, 0) == 1;
}

}  // namespace

nG_Interface::nG_Interface() {
    name = kName;
    reset();
    if (nE_Mediator* mediator = nE_Mediator::current())
        for (unsigned int message : kMessages) mediator->subscribe(message, this);
}

nG_Interface::~nG_Interface() {
    if (nE_Mediator* mediator = nE_Mediator::current())
        for (unsigned int message : kMessages) mediator->unsubscribe(message, this);
}

void nG_Interface::adopt(nE_Object* child, float z) {
    child->localState.z = z;
    addChild(child);
}

void nG_Interface::reset() {
    fade = 1.f;
    hidden = false;
    diaryButtonLocked = false;

    // Owned widgets, in this order: tasks header (z 4), inventory (0), pop-up (1000), tasks (1),
    // black-bar text (19), sub-room frame (-2), dialog (18), hint (6), subtitles (1002), mini-game
    // timer (7), hidden-object dialog (-1), hidden-object collector (5), diary collector (17), diary
    // book (14), diary (11), tutorial (20), achievement (23).
    popup = new nG_Popup();
    adopt(popup, 1000);
    blackBar = new nG_BlackBarText();
    adopt(blackBar, 19);
    frame = new nG_FrameSubroom();
    adopt(frame, -2);
    dialog = new nG_Dialog();
    adopt(dialog, 18);
    subtitles = new nG_Subtitles();
    adopt(subtitles, 1002);
    diaryCollector = new nG_DiaryCollector();
    adopt(diaryCollector, 17);
    diaryBook = new nG_DiaryBook();
    adopt(diaryBook, 14);
    diary = new nG_Diary();
    adopt(diary, 11);
    tutorial = new nG_Tutorial();
    adopt(tutorial, 20);
    achievement = new nG_Achievement();
    adopt(achievement, 23);

    // The bar's sprites, lamps and buttons go here. Until the bar lands, its menu button leaves the
    // game for the menu when the in-game options window does not exist.
    menuButton = new nG_InterfButton(std::string(kName) + "_menu_btn");
    nG_InterfButton::Params params;
    params.layer1Image = kMenuButtonImage;
    params.captionTextId = kMenuButtonKey;
    params.captionFont = kMenuButtonFont;
    params.captionSize = 20;
    params.text0Colour = {196.f / 255, 213.f / 255, 255.f / 255};
    params.text1Colour = nG_InterfButton::Colour{255.f / 255, 236.f / 255, 108.f / 255};
    menuButton->build(params);
    menuButton->localState.x = 44;
    menuButton->localState.y = 752;
    menuButton->onClick = onMenu;
    menuButton->clickArg = this;
    adopt(menuButton, 21);

    // Until the bar lands, its diary button stands here: invisible, under the clipboard.
    diaryButton = new nG_InterfButton(std::string(kName) + "_diary_btn");
    diaryButton->build(nG_InterfButton::Params{});
    diaryButton->localState.x = 46;
    diaryButton->localState.y = 683;
    diaryButton->setHitRect(-45, -50, 90, 100);
    diaryButton->onClick = onDiary;
    diaryButton->clickArg = this;
    adopt(diaryButton, 13);

    diaryVideo = new nE_Object();
    diaryVideo->name = "ng_diary_video";
    adopt(diaryVideo, 1001);

    // Saved widgets, dumped in the order inventory, tasks, hint, diary, hidden-object collector,
    // mini-game timer, hidden-object dialog, tutorial, diary book; restored in the order inventory,
    // tasks, hint, diary, mini-game timer, hidden-object dialog, hidden-object collector, tutorial,
    // diary book. The diary collector's flights come last in both, so that an arrival cut short by the
    // save still happens.
    dumpOrder = {diary, tutorial, diaryBook, diaryCollector};
    restoreOrder = {diary, tutorial, diaryBook, diaryCollector};

    setHidden(true, false);
    input = false;
}

void nG_Interface::declareContent() {
    using R = nE_ContentRules;
    const char* const owner = "nG_Interface";
    R::addNeed({"", R::kImage, kMenuButtonImage, owner, "", ""});
    R::addNeed({"", R::kFont, kMenuButtonFont, owner, "", ""});
    R::addNeed({"", R::kStringKey, kMenuButtonKey, owner, "", ""});
    // The menu button opens the options window when its module is there (else it leaves for the menu).
    R::addNeed({"game", R::kModule, kOptionsModule, owner, "", kOptionsModule});
    R::addNeed({"game", R::kObject, kOptionsObject, owner, kOptionsModule, kOptionsModule});
    R::addNeed({"game", R::kTrigger, kOptionsTrigger, owner, "", kOptionsModule});
}

void nG_Interface::onMenu(void*) {
    nG_Screen* screen = nG_Screen::current();
    if (pf::TFile::Exists(nE_Module::fileName(kOptionsModule))) {
        nG_ObjectWindowRequest request{kOptionsModule, kOptionsObject, kOptionsTrigger};
        if (nE_Mediator* mediator = nE_Mediator::current()) mediator->post(MSG_SHOW_OBJECT_WINDOW, &request);
    } else if (screen) {
        screen->requestMenu();
    }
}

void nG_Interface::onDiary(void* interface) {
    auto* self = static_cast<nG_Interface*>(interface);
    if (self->diaryButtonLocked) {
        nE_Scene::queueTrigger(self->name, "ng_diarybtnlocked");
    } else if (nE_Mediator* mediator = nE_Mediator::current()) {
        mediator->post(MSG_DIARY_TOGGLE, nullptr);
    }
}

void nG_Interface::setHidden(bool hide, bool withFade) {
    hidden = hide;
    if (!withFade) fade = hidden ? 0.f : 1.f;
    localState.alpha = fade;
}

void nG_Interface::update(float dt) {
    nE_Object::update(dt);
    if (hidden && fade > 0)
        fade = std::max(fade - kFadeSpeed * dt, 0.f);
    else if (!hidden && fade < 1)
        fade = std::min(fade + kFadeSpeed * dt, 1.f);
    localState.alpha = fade;
}

void nG_Interface::onMessage(unsigned int message, void* payload) {
    switch (message) {
        case MSG_HIDE_INTERFACE:
            if (payload) {
                const auto* request = static_cast<const nG_HideInterfaceRequest*>(payload);
                setHidden(request->hide, request->fade);
            }
            break;
        case MSG_INTERFACE_INPUT:
            if (payload) input = *static_cast<const bool*>(payload);
            break;
        case MSG_LOCK_DIARY_BOOK_OPEN:
            if (payload) diaryButtonLocked = *static_cast<const bool*>(payload);
            break;
        default:
            // The game mode's lock button and the two lamps belong to the bar.
            break;
    }
}

tinyxml2::XMLElement* nG_Interface::dumpState(tinyxml2::XMLDocument& doc) {
    tinyxml2::XMLElement* element = doc.NewElement("interface");
    element->SetAttribute("hidden", hidden ? 1 : 0);
    element->SetAttribute("diary_btn_locked", diaryButtonLocked ? 1 : 0);
    element->SetAttribute("input", input ? 1 : 0);
    for (nG_WidgetState* widget : dumpOrder)
        if (tinyxml2::XMLElement* child = widget->dumpState(doc)) element->InsertEndChild(child);
    return element;
}

void nG_Interface::restoreState(const tinyxml2::XMLElement* parent) {
    const tinyxml2::XMLElement* element = parent ? parent->FirstChildElement("interface") : nullptr;
    if (!element) return;
    setHidden(readFlag(element, "hidden"), false);
    input = readFlag(element, "input");
    diaryButtonLocked = readFlag(element, "diary_btn_locked");
    for (nG_WidgetState* widget : restoreOrder) widget->restoreState(element);
}
