#include "game/interface/nG_Interface.h"

#include <tinyxml2.h>

#include <algorithm>

#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Scene.h"
#include "engine/objects/nE_AnimSprite.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/script/nE_ContentRules.h"
#include "engine/script/nE_Module.h"
#include "game/core/nG_Messages.h"
#include "game/interface/nG_Achievement.h"
#include "game/interface/nG_BlackBarText.h"
#include "game/interface/nG_Cursor.h"
#include "game/interface/nG_Dialog.h"
#include "game/interface/nG_Diary.h"
#include "game/interface/nG_DiaryBook.h"
#include "game/interface/nG_DiaryCollector.h"
#include "game/interface/nG_FrameSubroom.h"
#include "game/interface/nG_Hint.h"
#include "game/interface/nG_HoCollector.h"
#include "game/interface/nG_HoDialog.h"
#include "game/interface/nG_InterfButton.h"
#include "game/interface/nG_Inventory.h"
#include "game/interface/nG_MinigameTimer.h"
#include "game/interface/nG_Popup.h"
#include "game/interface/nG_Subtitles.h"
#include "game/interface/nG_Tasks.h"
#include "game/interface/nG_TasksHeader.h"
#include "game/interface/nG_Tutorial.h"
#include "game/state/nG_ProfileHub.h"
#include "pflib/TFile.h"

namespace {

constexpr const char* kFont = "assets/fonts/garapremrpro";
constexpr const char* kMaskImage = "assets/interface/main/main_mask";
constexpr const char* kBarImage = "assets/interface/main/main";
constexpr const char* kOrnamentImage = "assets/interface/main/main_layer";
constexpr const char* kPodImage = "assets/interface/main/lamp_right";
constexpr const char* kLampAnimation = "assets/interface/main/light";
constexpr const char* kMenuOverImage = "assets/interface/main/menu_btn_over";
constexpr const char* kGuideImage = "assets/interface/main/guide_btn";
constexpr const char* kGuideOverImage = "assets/interface/main/guide_btn_over";
constexpr const char* kLockImage = "assets/interface/hint/hardcore_mode";
constexpr const char* kMenuKey = "button_menu";
constexpr const char* kGuideKey = "button_guide";
constexpr int kMenuCaptionSize = 20, kGuideCaptionSize = 18;
constexpr const char* kLockedKey = "hadcore_cant_touch";
const nG_InterfButton::Colour kInterfaceCaptionBlue{196.f / 255, 213.f / 255, 255.f / 255};
const nG_InterfButton::Colour kCaptionGold{255.f / 255, 236.f / 255, 108.f / 255};

bool readFlag(const tinyxml2::XMLElement* element, const char* name) {
    return element->IntAttribute(name, 0) == 1;
}

nE_Sprite* sprite(const char* objectName, const char* image, float x, float y) {
    auto* s = new nE_Sprite();
    s->name = objectName;
    s->setResourceName(image);
    s->editLocalState()->x = x;
    s->editLocalState()->y = y;
    return s;
}

nE_AnimSprite* lamp(const char* objectName, float x, float y) {
    auto* s = new nE_AnimSprite();
    s->name = objectName;
    s->setResourceName(kLampAnimation);
    s->editLocalState()->x = x;
    s->editLocalState()->y = y;
    s->input = false;
    return s;
}

}  // namespace

nG_Interface::nG_Interface() {
    name = kName;
    reset();
    subscribe({MSG_GAME_MODE_CHANGED, MSG_HIDE_INTERFACE, MSG_INTERFACE_INPUT, MSG_RIGHT_LAMP, MSG_LEFT_LAMP,
               MSG_LOCK_DIARY_BOOK_OPEN});
}

void nG_Interface::declareContent() {
    using R = nE_ContentRules;
    const char* const owner = "nG_Interface";
    for (const char* image : {kMaskImage, kBarImage, kOrnamentImage, kPodImage, kMenuOverImage, kGuideImage,
                              kGuideOverImage, kLockImage})
        R::addNeed({"", R::kImage, image, owner, "", ""});
    R::addNeed({"", R::kAnimation, kLampAnimation, owner, kLampFunction, ""});
    R::addNeed({"", R::kFont, kFont, owner, "", ""});
    R::addCaption(owner, kMenuKey, kFont, kMenuCaptionSize, kMenuOverImage);
    R::addCaption(owner, kGuideKey, kFont, kGuideCaptionSize, kGuideImage);
    for (const char* key : {kMenuKey, kGuideKey, kLockedKey})
        R::addNeed({"", R::kStringKey, key, owner, "", ""});
    // The menu button opens the options window when its module is there (else it leaves for the menu).
    R::addNeed({"game", R::kModule, kOptionsModule, owner, "", kOptionsModule});
    R::addNeed({"game", R::kObject, kOptionsObject, owner, kOptionsModule, kOptionsModule});
    R::addNeed({"game", R::kTrigger, kOptionsTrigger, owner, "", kOptionsModule});
    R::addNeed({"game", R::kModule, kGuideModule, owner, "", ""});
    R::addNeed({"game", R::kObject, kGuideObject, owner, kGuideModule, ""});
    R::addNeed({"game", R::kTrigger, kGuideTrigger, owner, "", ""});
    R::addNeed({"game", R::kTrigger, kDiaryLockedTrigger, owner, "", ""});
    nG_Inventory::declareContent();
    nG_Tasks::declareContent();
    nG_TasksHeader::declareContent();
}

void nG_Interface::adopt(nE_Object* child, float z) {
    child->editLocalState()->z = z;
    addPart(child);
}

void nG_Interface::reset() {
    fade = 1.f;
    hidden = false;
    diaryButtonLocked = false;

    // Owned widgets, in this order: tasks header (z 4), inventory (0), pop-up (1000), tasks (1),
    // black-bar text (19), sub-room frame (-2), dialog (18), hint (6), subtitles (1002), mini-game
    // timer (7), hidden-object dialog (-1), hidden-object collector (5), diary collector (17), diary
    // book (14), diary (11), tutorial (20), achievement (17.5: under the dialog, the narration and the
    // tips, so that a notice never hides a question or the rules).
    tasksHeader = new nG_TasksHeader();
    adopt(tasksHeader, 4);
    inventory = new nG_Inventory();
    adopt(inventory, 0);
    tasks = new nG_Tasks();
    adopt(tasks, 1);
    popup = new nG_Popup();
    adopt(popup, 1000);
    blackBar = new nG_BlackBarText();
    adopt(blackBar, 19);
    frame = new nG_FrameSubroom();
    adopt(frame, -2);
    dialog = new nG_Dialog();
    adopt(dialog, 18);
    hint = new nG_Hint();
    adopt(hint, 6);
    subtitles = new nG_Subtitles();
    adopt(subtitles, 1002);
    minigameTimer = new nG_MinigameTimer();
    adopt(minigameTimer, 7);
    hoDialog = new nG_HoDialog();
    adopt(hoDialog, -1);
    hoCollector = new nG_HoCollector();
    adopt(hoCollector, 5);
    diaryCollector = new nG_DiaryCollector();
    adopt(diaryCollector, 17);
    diaryBook = new nG_DiaryBook();
    adopt(diaryBook, 14);
    diary = new nG_Diary();
    adopt(diary, 11);
    tutorial = new nG_Tutorial();
    adopt(tutorial, 20);
    achievement = new nG_Achievement();
    adopt(achievement, 17.5f);

    buildBar();
    buildButtons();

    diaryVideo = new nE_Object();
    diaryVideo->name = "ng_diary_video";
    adopt(diaryVideo, 1001);

    // Saved widgets, dumped in the order inventory, tasks, hint, diary, hidden-object collector,
    // mini-game timer, hidden-object dialog, tutorial, diary book; restored in the order inventory,
    // tasks, hint, diary, mini-game timer, hidden-object dialog, hidden-object collector, tutorial,
    // diary book. The diary collector's flights come last in both, so that an arrival cut short by the
    // save still happens.
    dumpOrder = {inventory,     tasks,    hint,     diary,     hoCollector,
                 minigameTimer, hoDialog, tutorial, diaryBook, diaryCollector};
    restoreOrder = {inventory, tasks,       hint,     diary,     minigameTimer,
                    hoDialog,  hoCollector, tutorial, diaryBook, diaryCollector};

    setHidden(true, false);
    input = false;
}

void nG_Interface::buildBar() {
    // The mask is an invisible catcher over the two pods: the pointer there belongs to the bar.
    barMask = sprite("ng_interface_bg_mask", kMaskImage, 512, 683);
    barMask->visible = false;
    adopt(barMask, 2);
    bar = sprite("ng_interface_bg_0", kBarImage, 512, 655);
    adopt(bar, 12);
    leftOrnament = sprite("ng_interface_bg_1", kOrnamentImage, 84, 683);
    adopt(leftOrnament, 15);
    rightOrnament = sprite("ng_interface_bg_1", kOrnamentImage, 940, 683);
    rightOrnament->editLocalState()->scaleX = -1;
    adopt(rightOrnament, 9);
    rightLamp = sprite("ng_interface_right_lamp", kPodImage, 921, 655);
    adopt(rightLamp, 3);
    leftLampLight = lamp("ng_interface_left_lamp_anim", 100, 695);
    adopt(leftLampLight, 16);
    rightLampLight = lamp("ng_interface_right_lamp_anim", 924, 695);
    adopt(rightLampLight, 10);
}

void nG_Interface::buildButtons() {
    auto place = [this](nG_InterfButton* button, float x, float y, float z,
                        nG_InterfButton::ClickHandler click) {
        button->editLocalState()->x = x;
        button->editLocalState()->y = y;
        button->onClick = click;
        button->clickArg = this;
        adopt(button, z);
    };

    menuButton = new nG_InterfButton(std::string(kName) + "_menu_btn");
    nG_InterfButton::Params menu;
    menu.layer1Image = kMenuOverImage;
    menu.captionTextId = kMenuKey;
    menu.captionFont = kFont;
    menu.captionSize = kMenuCaptionSize;
    menu.text0Colour = kInterfaceCaptionBlue;
    menu.text1Colour = kCaptionGold;
    menuButton->build(menu);
    place(menuButton, 44, 752, 21, onMenu);

    guideButton = new nG_InterfButton(std::string(kName) + "_guide_btn");
    nG_InterfButton::Params guide;
    guide.layer0Image = kGuideImage;
    guide.layer1Image = kGuideOverImage;
    guide.layer2Image = kGuideImage;
    guide.captionTextId = kGuideKey;
    guide.captionFont = kFont;
    guide.captionSize = kGuideCaptionSize;
    guide.captionX = 11;
    guide.captionY = 2;
    guide.text0Colour = kInterfaceCaptionBlue;
    guide.text1Colour = kCaptionGold;
    guideButton->build(guide);
    place(guideButton, 955, 749, 22, onGuide);

    lockButton = new nG_InterfButton(std::string(kName) + "_lock_btn");
    nG_InterfButton::Params lock;
    lock.layer0Image = kLockImage;
    lock.layer1Image = kLockImage;
    lockButton->build(lock);
    lockButton->setHitRect(-50, -50, 100, 100);
    place(lockButton, 984, 680, 8, onLock);
    const nG_ProfileHub* hub = nG_ProfileHub::current();
    setGameMode(hub ? hub->gameMode() : 0);

    diaryButton = new nG_InterfButton(std::string(kName) + "_diary_btn");
    diaryButton->build(nG_InterfButton::Params{});
    diaryButton->setHitRect(-45, -50, 90, 100);
    // The "Diary" plate of the bar, above the book, is part of the button.
    diaryButton->setPlateRect(57 - 54 - 46, 613 - 18 - 683, 108, 36);
    place(diaryButton, 46, 683, 13, onDiary);
}

void nG_Interface::onMenu(void*) {
    if (pf::TFile::Exists(nE_Module::fileName(kOptionsModule))) {
        nG_ObjectWindowRequest request{kOptionsModule, kOptionsObject, kOptionsTrigger};
        post<MSG_SHOW_OBJECT_WINDOW>(&request);
    } else {
        // Without the in-game options window the button leaves the game for the menu.
        post<MSG_SWITCH_TO_MENU>();
    }
}

void nG_Interface::onGuide(void*) {
    nG_ObjectWindowRequest request{kGuideModule, kGuideObject, kGuideTrigger};
    post<MSG_SHOW_OBJECT_WINDOW>(&request);
}

void nG_Interface::onLock(void*) {
    nG_DialogRequest request;
    request.text = kLockedKey;
    request.x = 512;
    request.y = 384;
    post<MSG_DIALOG_SHOW>(&request);
}

void nG_Interface::onDiary(void* object) {
    auto* self = static_cast<nG_Interface*>(object);
    if (self->diaryButtonLocked)
        nE_Scene::queueTrigger(self->name, kDiaryLockedTrigger);
    else
        post<MSG_DIARY_TOGGLE>();
}

void nG_Interface::setHidden(bool hide, bool withFade) {
    hidden = hide;
    if (!withFade) fade = hidden ? 0.f : 1.f;
    editLocalState()->alpha = fade;
}

void nG_Interface::setGameMode(int mode) {
    const bool hardcore = mode == kHardcoreMode;
    lockButton->setEnabled(hardcore);
    lockButton->visible = hardcore;
    lockButton->active = hardcore;
}

void nG_Interface::setLamp(nE_AnimSprite* light, bool on) {
    const bool playing = light->playing && light->current();
    if (on && !playing) {
        light->play(kLampFunction, "");
    } else if (!on && playing) {
        light->currentFunction = -1;
        light->playing = false;
    }
}

void nG_Interface::update(float dt) {
    nE_Object::update(dt);
    if (hidden && fade > 0)
        fade = std::max(fade - kFadeSpeed * dt, 0.f);
    else if (!hidden && fade < 1)
        fade = std::min(fade + kFadeSpeed * dt, 1.f);
    editLocalState()->alpha = fade;
    // The narration bar runs along the top edge, where the diary's pages and a close-up's frame and
    // close button stand.
    blackBar->covered = diary->opened();
    blackBar->frameBottom = frame->subRoom ? frame->bottomEdge() : -1.f;
}

bool nG_Interface::handleInput(const nE_InputEvent& event, nE_RenderState&) {
    if (event.type == nE_InputEvent::kPointerMove && !nE_Scene::dragged()) setLamp(leftLampLight, false);
    return false;
}

void nG_Interface::childWasHit(nE_Object* hit, const nE_InputEvent& event) {
    if (nE_Scene::dragged() || event.type != nE_InputEvent::kPointerMove) return;
    if (hit == barMask) selectCursor(nG_Cursor::kDefault);
    bool onDiary = hit && hit->parent == diaryButton;
    post<MSG_LEFT_LAMP>(&onDiary);
}

void nG_Interface::onMessage(const nE_Message& message) {
    switch (message.number) {
        case MSG_GAME_MODE_CHANGED:
            if (auto* value = message.payload<MSG_GAME_MODE_CHANGED>()) setGameMode(*value);
            break;
        case MSG_HIDE_INTERFACE:
            if (const auto* request = message.payload<MSG_HIDE_INTERFACE>()) {
                setHidden(request->hide, request->fade);
            }
            break;
        case MSG_INTERFACE_INPUT:
            if (auto* value = message.payload<MSG_INTERFACE_INPUT>()) input = *value;
            break;
        case MSG_LEFT_LAMP:
            if (auto* value = message.payload<MSG_LEFT_LAMP>()) setLamp(leftLampLight, *value);
            break;
        case MSG_RIGHT_LAMP:
            if (auto* value = message.payload<MSG_RIGHT_LAMP>()) setLamp(rightLampLight, *value);
            break;
        case MSG_LOCK_DIARY_BOOK_OPEN:
            if (auto* value = message.payload<MSG_LOCK_DIARY_BOOK_OPEN>()) diaryButtonLocked = *value;
            break;
        default:
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
