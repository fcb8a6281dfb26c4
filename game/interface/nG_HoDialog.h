// The reward window of a hidden-object scene ("ng_ho_dialog"): when a room's last task is done it
// shows the room's reward object over the blurred scene with a title and a line drawn at random from
// ten each. Closing it (its button, the object, or a click beside it) fires the room's close trigger
// and hands the object to the inventory. While it shows it takes every pointer event.
#pragma once

#include <string>

#include "engine/core/nE_Object.h"
#include "game/interface/nG_Widget.h"
#include "game/interface/nG_WidgetState.h"

class nE_Sprite;
class nE_Text;
class nG_InterfButton;

class nG_HoDialog : public nE_Object, public nG_Widget, public nG_WidgetState {
public:
    static constexpr const char* kName = "ng_ho_dialog";
    static constexpr const char* kBackImage = "assets/interface/hodialog/back";
    static constexpr const char* kOkImage = "assets/interface/hodialog/ok";
    static constexpr const char* kOkHoverImage = "assets/interface/hodialog/ok_1";
    static constexpr const char* kTitleFont = "assets/fonts/garapremrpro_b";
    static constexpr const char* kFont = "assets/fonts/garapremrpro";
    static constexpr int kTitleSize = 30, kTextSize = 22, kTextWidth = 440, kOkSize = 21;
    static constexpr const char* kTitleKey = "ho_dialog_title";
    static constexpr const char* kTextKey = "ho_dialog_text";
    static constexpr const char* kOkKey = "ho_dialog_ok";
    static constexpr int kVariants = 10;
    static constexpr float kX = 512, kY = 354;
    enum State { kShown = 0, kHidden = 1 };

    nG_HoDialog();
    // What the dialog loads by name, for the content checker.
    static void declareContent();

    void update(float dt) override;
    // Modal: every pointer event stops here; a press beside the box, once it is fully shown, closes it.
    bool handleInput(const nE_InputEvent& event, nE_RenderState& world) override;
    // The box itself shows the plain cursor; a press on the shown object closes the dialog.
    void childWasHit(nE_Object* hit, const nE_InputEvent& event) override;
    void onMessage(const nE_Message& message) override;
    // Saves the shown object with what closing it will do; a continued game shows it again.
    tinyxml2::XMLElement* dumpState(tinyxml2::XMLDocument& doc) override;
    void restoreState(const tinyxml2::XMLElement* parent) override;

    // Shows the named object; an unknown name does nothing.
    void show(const std::string& objectName, const std::string& inventoryObject, const std::string& trigger);
    // Hides the dialog; with a close trigger the trigger runs and the object goes to the inventory.
    // Closing a hidden dialog does nothing.
    void close();
    void showObject(nE_Object* object, const std::string& inventoryObject, const std::string& trigger);

    int state = kHidden;
    float fade = 0;
    std::string invObjName;
    std::string closeTrigger;
    nE_Object* shown = nullptr;  // owned while shown, a child of the dialog

    nE_Text* title = nullptr;
    nE_Text* text = nullptr;
    nE_Sprite* back = nullptr;
    nG_InterfButton* okButton = nullptr;

private:
    static void onOk(void* dialog);
    // A script may have taken the shown object away: then there is none.
    void forgetLostObject();
};
