// The narration bar ("ng_blackbar"): a dark bar along the top of the screen with one line of narration
// (ShowBlackBarText; the text is a string-table key). A new text waits until the one shown has faded out.
// The bar leaves after its display time, at a press on it (which still reaches what lies below), or
// when asked to (subtitles take its place). While the diary is open it stands aside and comes back with
// the rest of its time when the diary closes; while a close-up is open it runs as a narrower band under
// the close-up's frame, so that what happens inside the close-up is still told.
#pragma once

#include <string>

#include "engine/core/nE_Object.h"
#include "game/interface/nG_Widget.h"

class nE_Sprite;
class nE_Text;

class nG_BlackBarText : public nE_Object, public nG_Widget {
public:
    static constexpr const char* kName = "ng_blackbar";
    enum State { kShown = 0, kFadingOut = 1 };
    static constexpr float kSpeed = 3.f;
    static constexpr float kDefaultSeconds = 4.f;

    nG_BlackBarText();
    // Declares the fixed assets and texts this class loads, for the content checker.
    static void declareContent();

    void onMessage(const nE_Message& message) override;
    void update(float dt) override;
    // A press on the fully shown bar sends it away and still reaches what lies below.
    bool handleInput(const nE_InputEvent& event, nE_RenderState& world) override;

    // seconds <= 0 stands for the default.
    void show(const std::string& textId, float seconds);
    void hide();

    int state = kFadingOut;
    float fade = 0.f;
    std::string current;
    std::string queued;
    bool hasQueued = false;
    float displayTime = kDefaultSeconds;
    // Seconds the current text has stood fully shown.
    float shownTime = 0.f;
    bool placed = false;
    // Set by the interface while the diary is open.
    bool covered = false;
    // The lower edge of an open close-up's frame (screen y), or a negative number while none is open.
    float frameBottom = -1.f;

    nE_Text* text = nullptr;
    nE_Sprite* background = nullptr;

private:
    void display();
};
