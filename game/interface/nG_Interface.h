// The in-game interface ("ng_interface"): the owner of the game's widgets. It fades in and out as a
// whole, takes input only when the scripts allow it, and saves the state of its widgets in its element
// "interface" of the saved game.
//
// The widgets land one by one. Each is created in reset() in its place of the list there, attached as
// a child with its pos_z, and, when it has run-time state, appended to dumpOrder and restoreOrder at its
// place of the lists in reset(). Until the bar exists, a menu button stands in it to leave the game.
#pragma once

#include <vector>

#include "engine/core/nE_Listener.h"
#include "engine/core/nE_Object.h"
#include "game/interface/nG_WidgetState.h"

class nG_Achievement;
class nG_BlackBarText;
class nG_Dialog;
class nG_Diary;
class nG_DiaryBook;
class nG_DiaryCollector;
class nG_FrameSubroom;
class nG_InterfButton;
class nG_Popup;
class nG_Subtitles;
class nG_Tutorial;

class nG_Interface : public nE_Object, public nE_Listener, public nG_WidgetState {
public:
    static constexpr const char* kName = "ng_interface";
    static constexpr const char* kOptionsModule = "assets/menu/options/module";
    static constexpr const char* kOptionsObject = "room_menu_options";
    static constexpr const char* kOptionsTrigger = "ng_startoptions";
    static constexpr const char* kMenuButtonImage = "assets/interface/main/menu_btn_over";
    static constexpr const char* kMenuButtonFont = "assets/fonts/garapremrpro";
    static constexpr const char* kMenuButtonKey = "button_menu";
    // Opacity change per second of a fade.
    static constexpr float kFadeSpeed = 4.f;

    // Builds the widgets; the interface starts hidden and without input.
    nG_Interface();
    ~nG_Interface() override;
    // Declares the fixed assets, modules and triggers this class loads or calls, for the content checker.
    static void declareContent();

    void update(float dt) override;
    void onMessage(unsigned int message, void* payload) override;
    tinyxml2::XMLElement* dumpState(tinyxml2::XMLDocument& doc) override;
    void restoreState(const tinyxml2::XMLElement* parent) override;

    // hidden = hide; without fade the opacity jumps to its end at once.
    void setHidden(bool hide, bool fade);

    float fade = 1.f;
    bool hidden = false;
    bool diaryButtonLocked = false;

    nG_Popup* popup = nullptr;
    nG_BlackBarText* blackBar = nullptr;
    nG_FrameSubroom* frame = nullptr;
    nG_Dialog* dialog = nullptr;
    nG_Subtitles* subtitles = nullptr;
    nG_Tutorial* tutorial = nullptr;
    nG_Achievement* achievement = nullptr;
    nG_DiaryCollector* diaryCollector = nullptr;
    nG_DiaryBook* diaryBook = nullptr;
    nG_Diary* diary = nullptr;
    nG_InterfButton* menuButton = nullptr;
    nG_InterfButton* diaryButton = nullptr;
    nE_Object* diaryVideo = nullptr;

    // The widgets' saved states, in the order the saved element lists them and the order they are
    // read back.
    std::vector<nG_WidgetState*> dumpOrder;
    std::vector<nG_WidgetState*> restoreOrder;

private:
    void reset();
    void adopt(nE_Object* child, float z);
    static void onMenu(void* interface);
    static void onDiary(void* interface);
};
