// The diary in the bundled game, played through recorded input: a new game starts with the first page;
// in the workshop the pinned page flies into the diary; the diary opens from the bar's button on the
// new page with the workshop marked on the map, turns back and forth, and a click on the hall on the
// map takes the player there. A continued game brings the diary back as it was left. Every screenshot
// is compared with the pictures it must show: the room backdrops and the diary's page pictures.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/integration/HalvernRun.h"
#include "tests/integration/Walk.h"

using halverntest::click;
using halverntest::keys;
using halverntest::move;
using halverntest::runHalvern;
using halverntest::TempDir;
using halverntest::toTheMenu;

namespace {

const std::string kGame = HALVERN_SOURCE_DIR;

std::string press(int tick, int x, int y) {
    const std::string at = " " + std::to_string(x) + " " + std::to_string(y) + "\n";
    return std::to_string(tick) + " 1 0" + at + std::to_string(tick + 1) + " 3 0" + at;
}
// The walk below was timed with the gate left at tick 330; declining the tips (asked at 420) and
// dragging the key onto the gate leave it 380 ticks later.
constexpr int kShift = 380;
// A player named Wren, a new game (the gate shows from tick 211), no tips; the urn moved, the key taken
// into the inventory, raised from the strip and dropped on the gate, the gate walked through (the hall
// from about 370 + kShift), the workshop door (the workshop is open by about 430 + kShift).
std::string toTheWorkshop() {
    return toTheMenu() + click(100, 250, 472) + keys(120, "Wren") + "130 7 13 0 0\n" + click(150, 703, 436) +
           click(170, 250, 340) + click(420, 282, 300) + click(440, 220, 496) + click(470, 212, 573) +
           move(580, 242, 762) + move(625, 242, 727) + press(630, 242, 727) + move(650, 380, 560) +
           move(660, 514, 408) + press(680, 514, 408) + click(330 + kShift, 514, 426) +
           click(390 + kShift, 96, 479);
}
const int kDiaryButton[] = {46, 683};
const int kPrevArrow[] = {568, 660};
const int kNextArrow[] = {888, 660};
// The workshop's page is clicked at 450 and arrives at about 550; the diary opens at 580 (open by
// 600), turns back at 620 and forward again at 650; the library on the map (never visited) is
// clicked at 670, the hall at 690 (the hall is open by about 760).
std::string theWalk() {
    return toTheWorkshop() + click(450 + kShift, 217, 253) +
           click(580 + kShift, kDiaryButton[0], kDiaryButton[1]) +
           click(620 + kShift, kPrevArrow[0], kPrevArrow[1]) +
           click(650 + kShift, kNextArrow[0], kNextArrow[1]) + click(670 + kShift, 395, 445) +
           click(690 + kShift, 315, 445);
}

halverntest::RunResult play(const TempDir& user, const std::string& input, int frames,
                            const std::string& screenshot) {
    user.write("input.txt", input);
    return runHalvern({"--headless", "--fixed-step", "--frames", std::to_string(frames), "--game-dir", kGame,
                       "--user-dir", user.path, "--input", user.file("input.txt"), "--screenshot",
                       screenshot});
}

std::shared_ptr<pf::TTexture> image(const std::string& asset) {
    return pf::TTexture::Get(kGame + "/" + asset);
}

// Mean difference per channel between the screenshot and a picture placed with its top-left corner at
// (left, top), over the screen rectangle [x0, x1) x [y0, y1), sampled every 4 pixels.
double difference(const std::shared_ptr<pf::TTexture>& shot, const std::shared_ptr<pf::TTexture>& picture,
                  int left, int top, int x0, int y0, int x1, int y1) {
    if (!shot || !picture) return std::numeric_limits<double>::max();
    uint8_t *s = nullptr, *p = nullptr;
    int sp = 0, pp = 0;
    shot->Lock(&s, &sp, true);
    picture->Lock(&p, &pp, true);
    double sum = 0;
    long n = 0;
    for (int y = y0; y < y1; y += 4)
        for (int x = x0; x < x1; x += 4) {
            const int px = x - left, py = y - top;
            if (px < 0 || py < 0 || px >= picture->GetWidth() || py >= picture->GetHeight()) continue;
            const uint8_t* a = s + (static_cast<size_t>(y) * sp + x) * 4;
            const uint8_t* b = p + (static_cast<size_t>(py) * pp + px) * 4;
            for (int c = 0; c < 3; ++c) sum += std::abs(a[c] - b[c]);
            n += 3;
        }
    picture->Unlock();
    shot->Unlock();
    return n ? sum / n : std::numeric_limits<double>::max();
}

// How much warmer than blue a map room's box is: the marked room has an amber wash.
double warmth(const std::shared_ptr<pf::TTexture>& shot, int cx, int cy) {
    uint8_t* s = nullptr;
    int sp = 0;
    shot->Lock(&s, &sp, true);
    double sum = 0;
    long n = 0;
    for (int y = cy - 30; y < cy + 30; y += 2)
        for (int x = cx - 25; x < cx + 25; x += 2) {
            const uint8_t* a = s + (static_cast<size_t>(y) * sp + x) * 4;
            sum += a[0] - a[2];
            ++n;
        }
    shot->Unlock();
    return sum / n;
}

// The diary's page picture (396 x 266) is centred at (742, 200); its parchment is opaque well inside.
double pageDifference(const std::shared_ptr<pf::TTexture>& shot, int page) {
    return difference(shot, image("assets/diary/pages/p" + std::to_string(page) + ".png"), 742 - 198,
                      200 - 133, 570, 95, 915, 305);
}
const int kWorkshopOnMap[] = {235, 445};
// The top of the pinned page, clear of the pointer that clicked it.
const int kPageOnWall[] = {188, 216, 246, 236};
const int kHallOnMap[] = {315, 445};

struct Shot {
    halverntest::RunResult run;
    std::shared_ptr<pf::TTexture> image;
};

Shot walkUntil(const TempDir& user, int frames) {
    const std::string file = user.file("shot" + std::to_string(frames) + ".png");
    Shot shot{play(user, theWalk(), frames + kShift, file), nullptr};
    shot.image = pf::TTexture::Get(file);
    return shot;
}

void expectClean(const halverntest::RunResult& run) {
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output.find("Trigger error"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("Module error"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("Could not find"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("nG_Diary"), std::string::npos) << run.output;
}

}  // namespace

TEST(DiaryRun, TheWorkshopsPageLeavesTheWallAndFliesIntoTheDiary) {
    TempDir user;
    const auto back = image("assets/levels/level/workshop/back.jpg");
    const Shot before = walkUntil(user, 440);
    expectClean(before.run);
    ASSERT_TRUE(before.image);
    EXPECT_GT(
        difference(before.image, back, 0, 0, kPageOnWall[0], kPageOnWall[1], kPageOnWall[2], kPageOnWall[3]),
        20)
        << "the page is pinned on the wall";
    EXPECT_LT(difference(before.image, back, 0, 0, 300, 0, 1024, 590), 6) << "the workshop";
    // Each walk starts a new game, so each has a player of its own (a saved game would be asked about).
    TempDir later;
    const Shot flying = walkUntil(later, 490);
    expectClean(flying.run);
    ASSERT_TRUE(flying.image);
    EXPECT_LT(
        difference(flying.image, back, 0, 0, kPageOnWall[0], kPageOnWall[1], kPageOnWall[2], kPageOnWall[3]),
        6)
        << "the wall is bare";
}

TEST(DiaryRun, TheDiaryOpensOnTheNewPageWithTheRoomMarkedAndTurnsBack) {
    TempDir user;
    const Shot open = walkUntil(user, 612);
    expectClean(open.run);
    ASSERT_TRUE(open.image);
    const auto book = image("assets/diary/back.jpg");
    EXPECT_LT(difference(open.image, book, 0, 0, 560, 540, 940, 630), 8) << "the open book";
    EXPECT_LT(pageDifference(open.image, 2), 12) << "the workshop's page, added last, is shown";
    EXPECT_GT(pageDifference(open.image, 1), 25);
    EXPECT_GT(warmth(open.image, kWorkshopOnMap[0], kWorkshopOnMap[1]),
              warmth(open.image, kHallOnMap[0], kHallOnMap[1]) + 20)
        << "the workshop is marked on the map";

    TempDir later;
    const Shot turned = walkUntil(later, 640);
    expectClean(turned.run);
    ASSERT_TRUE(turned.image);
    EXPECT_LT(pageDifference(turned.image, 1), 12) << "turned back to the letter";
}

TEST(DiaryRun, TheMapTakesThePlayerToTheHallAndAContinueBringsTheDiaryBack) {
    TempDir user;
    const Shot there = walkUntil(user, 780);
    expectClean(there.run);
    ASSERT_TRUE(there.image);
    EXPECT_LT(difference(there.image, image("assets/levels/level/hall/back.jpg"), 0, 0, 0, 0, 1024, 590), 24)
        << "the hall, not the library, which was never visited";
    const std::string profile = user.read("p_Wren.xml");
    EXPECT_NE(profile.find("<pages><diary_page_1/><diary_page_2/></pages>"), std::string::npos) << profile;
    EXPECT_NE(profile.find("<map_room_hall state=\"2\"/>"), std::string::npos);

    // Continue, open the diary: the page last shown, the hall marked.
    const std::string file = user.file("continued.png");
    const auto again = play(user, toTheMenu() + click(100, 250, 408) + click(210, 46, 683), 250, file);
    expectClean(again);
    const auto shot = pf::TTexture::Get(file);
    ASSERT_TRUE(shot);
    EXPECT_LT(pageDifference(shot, 2), 12);
    EXPECT_GT(warmth(shot, kHallOnMap[0], kHallOnMap[1]),
              warmth(shot, kWorkshopOnMap[0], kWorkshopOnMap[1]) + 20);
}
