// The clipboard on the interface bar ("ng_diary_book"), over the bar's diary button: it opens while the
// diary is open (or a page has just been added) and closes with the diary. The clipboard takes no
// pointer events, so the button below it keeps its clicks.
#pragma once

#include "engine/core/nE_Object.h"
#include "game/interface/nG_Widget.h"
#include "game/interface/nG_WidgetState.h"

class nE_AnimSprite;

class nG_DiaryBook : public nE_Object, public nG_Widget, public nG_WidgetState {
public:
    static constexpr const char* kName = "ng_diary_book";
    static constexpr const char* kOpenSound = "assets/audio/s_common_open_diary";
    static constexpr const char* kClipboard = "assets/diary/clipboard";
    static constexpr const char* kOpenFunction = "Open";
    static constexpr const char* kCloseFunction = "Close";

    enum State { kOpening = 1, kOpen = 2, kClosing = 3, kClosed = 4 };
    enum Wanted { kWantNone = 0, kWantOpen = 1, kWantClosed = 3 };

    nG_DiaryBook();
    // What the clipboard loads by name, for the content checker.
    static void declareContent();

    // Plays what is wanted once the clipboard stands still.
    void update(float dt) override;
    void onMessage(const nE_Message& message) override;
    tinyxml2::XMLElement* dumpState(tinyxml2::XMLDocument& doc) override;
    void restoreState(const tinyxml2::XMLElement* parent) override;

    int state = kClosed;
    int wanted = kWantNone;
    nE_AnimSprite* clipboard = nullptr;

private:
    // The clipboard standing open or shut at once, without its animation.
    void standStill(bool open);
};
