#include "tests/game/interface/MessageWidgetTestSupport.h"

using SubtitlesTest = messagetest::MessageWidgetsTest;

TEST_F(SubtitlesTest, SubtitlesSendTheBarAwayFadeFromWhereTheyStandAndGrowForLongLines) {
    nG_Subtitles& subtitles = *ui().subtitles;
    nG_BlackBarText& bar = *ui().blackBar;
    lua("ShowBlackBarText('bye', 3)");
    run(0.5f);
    ASSERT_EQ(bar.state, nG_BlackBarText::kShown);

    nE_Subtitles::Message line{true, "hello"};
    nE_Mediator::current()->post<MSG_SUBTITLES>(&line);
    EXPECT_EQ(bar.state, nG_BlackBarText::kFadingOut) << "the narration makes way";
    EXPECT_TRUE(subtitles.visible);
    EXPECT_EQ(subtitles.text->displayedString(), "Hello there");
    const float oneLine = subtitles.band->localState().scaleY;
    EXPECT_GE(2 * oneLine, subtitles.text->getLocalRect().h) << "one line fits the band";
    EXPECT_FLOAT_EQ(subtitles.band->localState().y + oneLine, nG_Subtitles::kBandBottom)
        << "over the lower part of the picture";
    run(0.2f);
    const float reached = subtitles.level;
    EXPECT_GT(reached, 0.4f);
    EXPECT_LT(reached, 1);

    // Hidden while fading in: it fades out from where it stood.
    line = {false, ""};
    nE_Mediator::current()->post<MSG_SUBTITLES>(&line);
    tick(0.05f);
    EXPECT_NEAR(subtitles.level, reached - 0.15f, 1e-4);
    EXPECT_FLOAT_EQ(subtitles.band->localState().alpha, subtitles.level * nG_Subtitles::kBandAlpha);
    EXPECT_FLOAT_EQ(subtitles.text->localState().alpha, subtitles.level);
    run(0.5f);
    EXPECT_FALSE(subtitles.visible);

    line = {true, "wide"};
    nE_Mediator::current()->post<MSG_SUBTITLES>(&line);
    const float height = subtitles.text->getLocalRect().h;
    EXPECT_GT(height, 2 * nG_Subtitles::kFontSize) << "two lines";
    EXPECT_GE(2 * subtitles.band->localState().scaleY, height) << "the band covers the whole text";
    EXPECT_FLOAT_EQ(subtitles.band->localState().y + subtitles.band->localState().scaleY,
                    nG_Subtitles::kBandBottom)
        << "growing upwards from the same lower edge";
}
