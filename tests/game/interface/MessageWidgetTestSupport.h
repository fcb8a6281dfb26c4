// Shared fixture of the message widget tests: a running game, driven through the scripts: the pop-up, the
// subtitle line, the tutorial hint, the speech dialog, the narration bar and the achievement notices.
// Texts are looked up in a small string table and rendered with the game's own fonts, so that sizes
// are real; a sprite of the room logs the presses that reach it.
#pragma once

#include <tinyxml2.h>

#include <cstdlib>

#include "engine/core/nE_StringTable.h"
#include "engine/media/nE_Subtitles.h"
#include "engine/media/nE_Texture.h"
#include "engine/objects/nE_AnimSprite.h"
#include "engine/objects/nE_Text.h"
#include "engine/script/nE_Trigger.h"
#include "game/core/nG_Messages.h"
#include "game/interface/nG_Achievement.h"
#include "game/interface/nG_BlackBarText.h"
#include "game/interface/nG_Dialog.h"
#include "game/interface/nG_InterfButton.h"
#include "game/interface/nG_Popup.h"
#include "game/interface/nG_Subtitles.h"
#include "game/interface/nG_Tutorial.h"
#include "tests/game/core/GameTestSupport.h"

namespace messagetest {

class MessageWidgetsTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        linkBundledInterface();
        previousTable = nE_StringTable::current();
        strings.entries = {{"hello", "Hello there"},
                           {"bye", "Goodbye"},
                           {"tip", "Click the urn."},
                           {"ask", "Would you like a few tips?"},
                           {"wide",
                            "A line of narration long enough to wrap onto a second line when the "
                            "subtitles show it across the foot of the picture, which they must allow."},
                           {"ach_a_h", "First"},
                           {"ach_a_d", "Did the first thing."},
                           {"ach_b_h", "Second"},
                           {"ach_b_d", "Did it again."}};
        nE_StringTable::setCurrent(&strings);
        // A new game now that the fonts and images are there.
        endGame();
        ng = startGame();
        startLevel();
        lua("HideInterface(0, 0); SetInterfaceInputEnable(1); ObjSet('a_door', { event_mdown = 'opened' }); "
            "log = ''");
        tick(0);
    }
    void TearDown() override {
        nE_StringTable::setCurrent(previousTable);
        GameTest::TearDown();
    }

    void press(float x, float y) {
        send(nE_InputEvent::kButtonDown, x, y);
        send(nE_InputEvent::kButtonUp, x, y);
        tick(0);
    }
    // Whether a press has reached the room's door sprite since the last look; forgets it.
    bool doorPressed() {
        const bool pressed = eval("log").find("open a_door") != std::string::npos;
        lua("log = ''");
        return pressed;
    }
    nG_Interface& ui() { return *ng->interface; }

    nE_StringTable strings;
    nE_StringTable* previousTable = nullptr;
};

}  // namespace messagetest
