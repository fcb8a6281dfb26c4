// The mini-game panel ("ng_minigame_timer") at the right edge of the screen: a skip clock that fills
// while the player works on a puzzle, an info button that opens the puzzle's help dialog and a reset
// button that restarts it. Each started mini-game keeps its own record and charge, so a puzzle left
// half-way and shown again goes on where its clock stood; records still in play are saved with the
// game. While the panel is in, the hint fades out and takes no input.
#pragma once

#include <string>
#include <vector>

#include "engine/core/nE_Object.h"
#include "game/interface/nG_Widget.h"
#include "game/interface/nG_WidgetState.h"

class nE_AnimSprite;
class nE_Sprite;
class nG_InterfButton;

class nG_MinigameTimer : public nE_Object, public nG_Widget, public nG_WidgetState {
public:
    static constexpr const char* kName = "ng_minigame_timer";
    enum Mode { kHidden = 0, kSkipped = 1, kShown = 2 };
    // Seconds for an empty clock to fill: game mode 0, and every other mode or no player.
    static constexpr float kChargeTimeEasy = 40.f;
    static constexpr float kChargeTime = 60.f;
    // Slide per second of the panel moving in or out.
    static constexpr float kSlideSpeed = 1.2f;

    struct Record {
        std::string room;
        std::string triggerSkip;
        std::string triggerReset;
        std::string infoDialog;
        // Part of the charge still missing: 1 an empty clock, 0 a full one.
        float remaining = 1.f;
        bool ended = false;
    };

    nG_MinigameTimer();
    // Declares the fixed assets and texts this class loads, for the content checker.
    static void declareContent();

    void onMessage(const nE_Message& message) override;
    void update(float dt) override;
    tinyxml2::XMLElement* dumpState(tinyxml2::XMLDocument& doc) override;
    void restoreState(const tinyxml2::XMLElement* parent) override;

    void start(const std::string& room, const std::string& triggerSkip, const std::string& triggerReset,
               const std::string& infoDialog);
    // Shows the first record of the room still in play, when none is shown; hides the shown one.
    void show(const std::string& room, bool on);
    // The room's mini-game is over (solved or skipped).
    void end(const std::string& room);
    // Fills the clock at once while a mini-game is shown and its clock is not full.
    void chargeNow();
    // The skip button: only a shown mini-game with a full clock is skipped, and only once.
    void skip();
    void setMode(int newMode);
    // Seconds for an empty clock to fill for the current player.
    static float chargeTime();
    // The record being shown, or none.
    Record* currentRecord();

    std::vector<Record> records;
    // Index into records, -1 for none.
    int current = -1;
    int mode = kHidden;
    float slide = 0.f;
    float remaining = 1.f;
    bool skipped = false;
    // The clock face is drawn (it was not yet full when the panel came in).
    bool clockShown = true;

    nE_Sprite* textLayer = nullptr;
    nG_InterfButton* skipButton = nullptr;
    nG_InterfButton* infoButton = nullptr;
    nG_InterfButton* resetButton = nullptr;
    nE_AnimSprite* watch0 = nullptr;
    nE_AnimSprite* watch1 = nullptr;
    nE_AnimSprite* chargedAnim = nullptr;
    nE_AnimSprite* skippedAnim = nullptr;
    nE_Sprite* effect = nullptr;

private:
    void reposition();
    void showClock();
    void charged();
    static void onSkip(void* timer);
    static void onInfo(void* timer);
    static void onReset(void* timer);
};
