#include "tests/game/interface/MessageWidgetTestSupport.h"

using AchievementTest = messagetest::MessageWidgetsTest;

TEST_F(AchievementTest, AchievementsCountInTheProfileAndTheirNoticesStack) {
    hub->addProfile("Wren");
    nG_Achievement& notices = *ui().achievement;
    lua("CompleteAchievement('ach_a', '', 0)");
    EXPECT_EQ(eval("GetAchievement('ach_a')"), "1");
    ASSERT_EQ(notices.notices.size(), 1u);
    EXPECT_FLOAT_EQ(notices.notices[0].y, 170);
    EXPECT_TRUE(scene().findObject("ng_achievement_ach_a_icon"));
    auto* header = dynamic_cast<nE_Text*>(scene().findObject("ng_achievement_ach_a_text_h"));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->displayedString(), "First");
    EXPECT_NE(read("p_Wren.xml").find("<achieve name=\"ach_a\" count=\"1\"/>"), std::string::npos)
        << "written at once";

    // Not repeatable: a second time neither counts nor shows.
    lua("CompleteAchievement('ach_a', '', 0)");
    EXPECT_EQ(eval("GetAchievement('ach_a')"), "1");
    EXPECT_EQ(notices.notices.size(), 1u);

    // Repeatable ones count every time; notices stack downwards.
    lua("CompleteAchievement('ach_b', '', 1); CompleteAchievement('ach_b', '', 1)");
    EXPECT_EQ(eval("GetAchievement('ach_b')"), "2");
    ASSERT_EQ(notices.notices.size(), 3u);
    EXPECT_FLOAT_EQ(notices.notices[1].y, 340);
    EXPECT_FLOAT_EQ(notices.notices[2].y, 510);

    // They slide in from the left and stand at x 190.
    run(0.2f);
    EXPECT_GT(notices.notices[0].root->localState().x, -210);
    EXPECT_LT(notices.notices[0].root->localState().x, 190);
    run(0.7f);
    EXPECT_EQ(notices.notices[0].state, nG_Achievement::kShown);
    EXPECT_FLOAT_EQ(notices.notices[0].root->localState().x, 190);

    // A click sends a shown notice away early; the next one takes the free place.
    press(190, 170);
    EXPECT_EQ(notices.notices[0].state, nG_Achievement::kSlidingOut);
    EXPECT_FALSE(doorPressed());
    run(0.8f);
    ASSERT_EQ(notices.notices.size(), 2u);
    lua("CompleteAchievement('ach_b', '', 1)");
    EXPECT_FLOAT_EQ(notices.notices.back().y, 170);
    run(6);
    EXPECT_TRUE(notices.notices.empty()) << "every notice leaves by itself";

    // Counted: progress only, until the count reaches its target.
    lua("CompleteAchievement('pages', '', 1, 3); CompleteAchievement('pages', '', 1, 3)");
    EXPECT_TRUE(notices.notices.empty());
    lua("CompleteAchievement('pages', '', 1, 3)");
    EXPECT_EQ(notices.notices.size(), 1u);
    EXPECT_EQ(eval("GetAchievement('pages')"), "3");

    // No name: nothing counted, nothing shown, a line in the log.
    lua("CompleteAchievement('', '', 1)");
    EXPECT_EQ(notices.notices.size(), 1u);
    EXPECT_TRUE(logged("without a name"));
    EXPECT_EQ(read("p_Wren.xml").find("name=\"\""), std::string::npos);
}

TEST_F(AchievementTest, WithoutAPlayerNothingIsCountedAndACountedNoticeWaits) {
    nG_Achievement& notices = *ui().achievement;
    lua("CompleteAchievement('ach_a', '', 0)");
    EXPECT_EQ(notices.notices.size(), 1u) << "shown all the same";
    EXPECT_EQ(eval("GetAchievement('ach_a')"), "0");
    lua("CompleteAchievement('ach_b', '', 0, 2)");
    EXPECT_EQ(notices.notices.size(), 1u) << "a count of 0 never reaches 2";
}
