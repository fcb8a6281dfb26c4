#include "tests/game/interface/MessageWidgetTestSupport.h"

using BlackBarTextTest = messagetest::MessageWidgetsTest;

TEST_F(BlackBarTextTest, TheNarrationBarQueuesLeavesAfterItsTimeAndAtAPressThatGoesOn) {
    nG_BlackBarText& bar = *ui().blackBar;
    lua("ShowBlackBarText('hello', 0)");
    EXPECT_FLOAT_EQ(bar.displayTime, 4) << "0 seconds stands for 4";
    EXPECT_TRUE(bar.visible);
    tick(0.05f);
    EXPECT_FLOAT_EQ(bar.localState().y, 42) << "the bar touches the top edge";
    run(0.4f);
    EXPECT_EQ(bar.text->displayedString(), "Hello there");

    // A second text waits until the first has faded out.
    lua("ShowBlackBarText('bye', 2)");
    EXPECT_EQ(bar.state, nG_BlackBarText::kFadingOut);
    EXPECT_EQ(bar.text->displayedString(), "Hello there");
    run(0.2f);
    EXPECT_EQ(bar.text->displayedString(), "Hello there");
    run(0.2f);
    EXPECT_EQ(bar.text->displayedString(), "Goodbye");
    EXPECT_EQ(bar.state, nG_BlackBarText::kShown);
    EXPECT_FLOAT_EQ(bar.displayTime, 2);
    run(2.2f);
    EXPECT_EQ(bar.state, nG_BlackBarText::kShown);
    run(0.3f);
    EXPECT_EQ(bar.state, nG_BlackBarText::kFadingOut) << "its time is up";
    run(0.4f);
    EXPECT_FALSE(bar.visible);
    EXPECT_FALSE(bar.input);

    // A press on the bar sends it away and reaches what lies under it.
    lua("ObjSet('a_door', { pos_y = 30 }); ShowBlackBarText('missing', 10)");
    run(0.5f);
    EXPECT_EQ(bar.text->displayedString(), "#####");
    press(300, 30);
    EXPECT_EQ(bar.state, nG_BlackBarText::kFadingOut);
    EXPECT_TRUE(doorPressed());
}
