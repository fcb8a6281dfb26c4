// The root of the game layer's scene ("ng_screen"): it registers the game's cursors, holds either the
// menu or the running game and switches between them at its update, shows the pause overlay while the
// window has no focus, and answers a few questions of the widgets over the mediator. The display's
// canvas mapping is its position and scale, so everything below it is laid out in canvas units.
#pragma once

#include <string>

#include "engine/core/nE_DisplayChoice.h"
#include "engine/core/nE_Object.h"
#include "game/core/nG_Messages.h"
#include "game/interface/nG_Widget.h"

class nE_Sprite;
class nG_Game;
class nG_Menu;

class nG_Screen : public nE_Object, public nG_Widget {
public:
    enum Switch {
        kNone = kSwitchNone,
        kStart = kSwitchStart,
        kMenu = kSwitchMenu,
        kMenuWithLogo = kSwitchMenuWithLogo
    };
    static constexpr const char* kName = "ng_screen";
    static constexpr const char* kLevelPath = "assets/levels/level/level";
    static constexpr const char* kPauseDimImage = "assets/interface/main/black";
    static constexpr const char* kPauseLabelImage = "assets/interface/main/paused";
    static constexpr const char* kFullscreenTrigger = "ng_toggle_fullscreen";
    // The pause menu Escape opens over a game in play: a window object of its own module, started with
    // its start trigger; Escape while it is open goes to its escape trigger.
    static constexpr const char* kPauseModule = "assets/menu/pause/module";
    static constexpr const char* kPauseObject = "pause_menu";
    static constexpr const char* kPauseStartTrigger = "ng_startpause";
    static constexpr const char* kPauseEscapeTrigger = "pm_escape";
    static constexpr int kKeyEscape = 27;

    // What the next start does.
    using GameStart = nG_GameStart;

    // In developer mode the first update starts level 1 and F1-F12 start levels 1-12; otherwise it
    // opens the menu with the logo first.
    explicit nG_Screen(bool developerMode);
    ~nG_Screen() override;

    // The program's screen, or none.
    static nG_Screen* current();
    // Declares the fixed assets, modules and triggers this class loads or calls, for the content checker.
    static void declareContent();

    // At most one switch is pending; a later request replaces an earlier one.
    void requestStart(bool continueSave, int slot, const std::string& levelPath,
                      const std::string& startCode);
    void requestMenu();
    // Pauses or resumes everything below the screen, with the overlay's animations.
    void setPaused(bool paused);
    // The pause menu stills the game (its timers, animations and updates) while it is open.
    void openPauseMenu();
    void closePauseMenu();
    // The window is closing: a running game settles and saves.
    void saveForClose();
    void applyCanvas(const nE_CanvasMapping& mapping);

    void update(float dt) override;
    bool handleInput(const nE_InputEvent& event, nE_RenderState& world) override;
    void onMessage(const nE_Message& message) override;

    nG_Game* game = nullptr;
    nG_Menu* menu = nullptr;
    bool paused = false;
    int pendingSwitch = kNone;
    bool developerMode = false;
    // A module previewed from the command line stands in for the menu until a game starts.
    bool previewing = false;
    nE_Sprite* dim = nullptr;
    nE_Sprite* pausedLabel = nullptr;
    // The open pause menu, or none.
    nE_Object* pauseMenu = nullptr;
    GameStart gameStart;
    // The game's interface stands and its level starts at the next update: each is a frame's work.
    bool levelPending = false;

private:
    // Activates a new part of the screen (when the screen is), decoding its pictures side by side.
    void activateWithPicturesAhead(nE_Object* part);
    void reset();
    void registerCursors();
    // The pause overlay ("ng_pause_0", "ng_pause_1") is made when it is first needed, so that its
    // images are not loaded by runs that never pause.
    void makeOverlay();
    // Empties the trigger hub, the timers and the parked tree, then destroys the object.
    void dropSubtree(nE_Object* object);
    void stopSounds();
    void startGame();
    void openMenu(bool logo);
    void showObjectWindow(const nG_ObjectWindowRequest& request);
    // Stills or wakes the screen's children for the focus pause and the pause menu together.
    void applyStill();
};
