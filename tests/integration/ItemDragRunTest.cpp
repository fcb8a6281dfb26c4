// Items used the way players of the genre use them, in the bundled game: the pointer resting on the key
// in the bar names it; the key dragged with the button held onto the lantern, which it does not fit,
// gets an answer and flies back; dragged onto the gate the same way, it opens it.
#include <gtest/gtest.h>

#include <string>

#include "tests/integration/HalvernRun.h"
#include "tests/integration/Walk.h"

using halverntest::expectLooksLike;
using halverntest::playBundled;
using halverntest::TempDir;
using halverntest::Walk;

TEST(ItemDragRun, AHeldDragUsesTheKeyAWrongPlaceAnswersAndTheKeyTellsItsName) {
    TempDir user;
    Walk walk;
    // A new game for Wren; the urn moves and the key flies in.
    walk.newGame("Wren").wait(60).click(220, 496).wait(30).click(212, 573).wait(160);
    const int named = walk.move(242, 762).wait(45).move(242, 727).wait(60).tick;
    const int wrong = walk.drag(0, 295, 150).wait(50).tick;
    walk.wait(60).drag(0, 514, 408).wait(30).click(514, 426).wait(70);  // the gate opens: the hall
    walk.click(44, 752).wait(40);                                       // to the menu, which saves

    const auto run = playBundled(user, walk, {{named, "name"}, {wrong, "wrong"}});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output.find("Trigger error"), std::string::npos) << run.output;
    const std::string profile = user.read("p_Wren.xml");
    EXPECT_NE(profile.find("<current_room><room name=\"room_hall\""), std::string::npos) << "the gate opened";
    EXPECT_EQ(profile.find("<spr name=\"inv_key\""), std::string::npos) << "the key was used";
    expectLooksLike(user.file("name.png"), "inventory_name");
    expectLooksLike(user.file("wrong.png"), "inventory_wrong");
}
