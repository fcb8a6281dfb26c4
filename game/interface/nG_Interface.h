// The in-game interface ("ng_interface"): the decorated bar along the bottom of the screen with its
// lamps and its menu, guide, diary and hardcore-lock buttons, and the owner of the game's widgets. It
// fades in and out as a whole, takes input only when the scripts allow it, lights its left lamp while
// the diary button is pointed at, and saves the state of its widgets in its element "interface" of the
// saved game.
//
// The widgets land one by one. Each is created in reset() in its place of the list there, attached as
// a child with its pos_z, and, when it has run-time state, appended to dumpOrder and restoreOrder at its
// place of the lists in reset().
#pragma once

#include <vector>

#include "engine/core/nE_Object.h"
#include "game/interface/nG_Widget.h"
#include "game/interface/nG_WidgetState.h"

class nE_AnimSprite;
class nE_Sprite;
class nG_FrameSubroom;
class nG_Hint;
class nG_HoCollector;
class nG_HoDialog;
class nG_InterfButton;
class nG_Inventory;
class nG_MinigameTimer;
class nG_Tasks;
class nG_TasksHeader;
class nG_Achievement;
class nG_BlackBarText;
class nG_Dialog;
class nG_Diary;
class nG_DiaryBook;
class nG_DiaryCollector;
class nG_Popup;
class nG_Subtitles;
class nG_Tutorial;

class nG_Interface : public nE_Object, public nG_Widget, public nG_WidgetState {
public:
    static constexpr const char* kName = "ng_interface";
    static constexpr const char* kOptionsModule = "assets/menu/options/module";
    static constexpr const char* kOptionsObject = "room_menu_options";
    static constexpr const char* kOptionsTrigger = "ng_startoptions";
    static constexpr const char* kGuideModule = "assets/menu/strguide/module";
    static constexpr const char* kGuideObject = "strguide";
    static constexpr const char* kGuideTrigger = "ng_startguide";
    // Fired instead of opening the diary while its button is locked.
    static constexpr const char* kDiaryLockedTrigger = "ng_diarybtnlocked";
    static constexpr const char* kLampFunction = "DoAnim";
    // Opacity change per second of a fade.
    static constexpr float kFadeSpeed = 4.f;
    static constexpr int kHardcoreMode = 2;

    // Builds the widgets and the bar; the interface starts hidden and without input.
    nG_Interface();
    // Declares the fixed assets, modules and triggers this class and the widgets it owns load or call,
    // for the content checker.
    static void declareContent();

    void update(float dt) override;
    // The pointer is over no part of the interface: the diary button's lamp goes out.
    bool handleInput(const nE_InputEvent& event, nE_RenderState& world) override;
    // The pointer over the bar's pods shows the default cursor; over the diary button it lights the lamp.
    void childWasHit(nE_Object* hit, const nE_InputEvent& event) override;
    void onMessage(const nE_Message& message) override;
    tinyxml2::XMLElement* dumpState(tinyxml2::XMLDocument& doc) override;
    void restoreState(const tinyxml2::XMLElement* parent) override;

    // hidden = hide; without fade the opacity jumps to its end at once.
    void setHidden(bool hide, bool fade);
    // The lock button is there only in hardcore mode.
    void setGameMode(int mode);
    // A lamp plays while it is wanted and halts where it stands when it is not.
    static void setLamp(nE_AnimSprite* lamp, bool on);

    float fade = 1.f;
    bool hidden = false;
    bool diaryButtonLocked = false;

    nG_TasksHeader* tasksHeader = nullptr;
    nG_Inventory* inventory = nullptr;
    nG_Tasks* tasks = nullptr;
    nG_FrameSubroom* frame = nullptr;

    nE_Sprite* barMask = nullptr;
    nE_Sprite* bar = nullptr;
    nE_Sprite* leftOrnament = nullptr;
    nE_Sprite* rightOrnament = nullptr;
    nE_Sprite* rightLamp = nullptr;
    nE_AnimSprite* leftLampLight = nullptr;
    nE_AnimSprite* rightLampLight = nullptr;
    nG_Popup* popup = nullptr;
    nG_BlackBarText* blackBar = nullptr;
    nG_Dialog* dialog = nullptr;
    nG_Subtitles* subtitles = nullptr;
    nG_Hint* hint = nullptr;
    nG_HoDialog* hoDialog = nullptr;
    nG_HoCollector* hoCollector = nullptr;
    nG_MinigameTimer* minigameTimer = nullptr;
    nG_Tutorial* tutorial = nullptr;
    nG_Achievement* achievement = nullptr;
    nG_DiaryCollector* diaryCollector = nullptr;
    nG_DiaryBook* diaryBook = nullptr;
    nG_Diary* diary = nullptr;
    nG_InterfButton* menuButton = nullptr;
    nG_InterfButton* guideButton = nullptr;
    nG_InterfButton* lockButton = nullptr;
    nG_InterfButton* diaryButton = nullptr;
    nE_Object* diaryVideo = nullptr;

    // The widgets' saved states, in the order the saved element lists them and the order they are
    // read back.
    std::vector<nG_WidgetState*> dumpOrder;
    std::vector<nG_WidgetState*> restoreOrder;

private:
    void reset();
    void buildBar();
    void buildButtons();
    void adopt(nE_Object* child, float z);
    static void onMenu(void* interface);
    static void onGuide(void* interface);
    static void onLock(void* interface);
    static void onDiary(void* interface);
};
