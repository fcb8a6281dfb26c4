// The main menu's root ("ng_menu"): a thin shell around the menu module "assets/menu/module", whose
// objects and triggers are the menu. Created by the screen, with the logo first at program start.
// Escape queues the module's trigger "ng_menu_escape" when the module registers one. Without a
// readable module it shows a short notice and Escape quits, so the program stays usable. The menu owns a
// pop-up for its messages and the subtitle line of the intro video, above everything the module brings.
#pragma once

#include "engine/core/nE_Object.h"

class nE_Text;
class nG_Popup;
class nG_Subtitles;

class nG_Menu : public nE_Object {
public:
    static constexpr const char* kName = "ng_menu";
    static constexpr const char* kModule = "assets/menu/module";
    static constexpr int kKeyEscape = 27;
    static constexpr const char* kLogoTrigger = "ng_startlogo";
    static constexpr const char* kMenuTrigger = "ng_startmenu";
    static constexpr const char* kEscapeTrigger = "ng_menu_escape";
    static constexpr float kPopupZ = 1000, kSubtitlesZ = 1002;

    // Brings the module in and queues "ng_startlogo" (logoFirst) or "ng_startmenu", sent by the menu.
    explicit nG_Menu(bool logoFirst);
    ~nG_Menu() override;
    // Declares the fixed assets, modules and triggers this class loads or calls, for the content checker.
    static void declareContent();

    bool handleInput(const nE_InputEvent& event, nE_RenderState& world) override;

    // The notice shown when the module could not be read; none otherwise.
    nE_Text* notice = nullptr;
    nG_Popup* popup = nullptr;
    nG_Subtitles* subtitles = nullptr;
};
