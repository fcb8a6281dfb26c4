// The interface's messages in whole runs. The bundled game: a new player at the gate is asked whether
// tips are wanted and guided to the key, reads the narration, earns an achievement that a restart
// still counts on the menu's achievements page and that a second game does not count again. A small
// game of its own: a speech box opened, replaced by another (whose text is missing) and closed by a
// click, after which clicks still reach the room. The intro's subtitles show over the foot of the video.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "tests/integration/HalvernRun.h"
#include "tests/integration/Walk.h"

using halverntest::click;
using halverntest::keys;
using halverntest::runHalvern;
using halverntest::TempDir;
using halverntest::toTheMenu;

namespace {

const std::string kGame = HALVERN_SOURCE_DIR;

// A player named Wren, then a new game: the gate shows from about tick 211.
std::string newPlayersGame() {
    return toTheMenu() + click(100, 250, 472) + keys(120, "Wren") + "130 7 13 0 0\n" + click(150, 703, 436) +
           click(170, 250, 340);
}
// The gate's tutorial asks its question about 2.5 s after the gate shows; "yes" and "no" stand at
// (742, 300) and (282, 300).
constexpr int kQuestion = 420;

halverntest::RunResult play(const TempDir& user, const std::string& gameDir, const std::string& input,
                            int frames, const std::string& screenshot) {
    user.write("input.txt", input);
    return runHalvern({"--headless", "--fixed-step", "--frames", std::to_string(frames), "--game-dir",
                       gameDir, "--user-dir", user.path, "--input", user.file("input.txt"), "--screenshot",
                       screenshot});
}

// Mean difference per channel between the screenshot and an image over the screen rectangle
// [x0, x1) x [y0, y1), the image placed with its top-left corner at (left, top); sampled every 4 pixels.
double difference(const std::string& shot, const std::shared_ptr<pf::TTexture>& image, int left, int top,
                  int x0, int y0, int x1, int y1) {
    auto screen = pf::TTexture::Get(shot);
    if (!screen || !image) return std::numeric_limits<double>::max();
    uint8_t *s = nullptr, *b = nullptr;
    int sp = 0, bp = 0;
    screen->Lock(&s, &sp, true);
    image->Lock(&b, &bp, true);
    double sum = 0;
    long n = 0;
    for (int y = y0; y < y1; y += 4)
        for (int x = x0; x < x1; x += 4) {
            const int bx = x - left, by = y - top;
            if (bx < 0 || by < 0 || bx >= image->GetWidth() || by >= image->GetHeight()) continue;
            const uint8_t* p = s + (static_cast<size_t>(y) * sp + x) * 4;
            const uint8_t* q = b + (static_cast<size_t>(by) * bp + bx) * 4;
            for (int c = 0; c < 3; ++c) sum += std::abs(p[c] - q[c]);
            n += 3;
        }
    image->Unlock();
    screen->Unlock();
    return n ? sum / n : std::numeric_limits<double>::max();
}

std::shared_ptr<pf::TTexture> gateBackdrop() {
    return pf::TTexture::Get(kGame + "/assets/levels/level/gate/back.jpg");
}

// Mean brightness and colourfulness (largest channel minus smallest) over a rectangle of the screenshot.
struct Tone {
    double light = 0, colour = 0;
};
Tone tone(const std::string& shot, int x0, int y0, int x1, int y1) {
    auto screen = pf::TTexture::Get(shot);
    Tone t;
    if (!screen) return t;
    uint8_t* s = nullptr;
    int pitch = 0;
    screen->Lock(&s, &pitch, true);
    long n = 0;
    for (int y = y0; y < y1; y += 2)
        for (int x = x0; x < x1; x += 2) {
            const uint8_t* p = s + (static_cast<size_t>(y) * pitch + x) * 4;
            t.light += (p[0] + p[1] + p[2]) / 3.0;
            t.colour += std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]});
            ++n;
        }
    screen->Unlock();
    if (n) t.light /= n, t.colour /= n;
    return t;
}

// Pixels in the colour of the interface's gold lettering over a rectangle of the screenshot.
int goldLetters(const std::string& shot, int x0, int y0, int x1, int y1) {
    auto screen = pf::TTexture::Get(shot);
    if (!screen) return 0;
    int count = 0;
    for (int y = y0; y < y1; y += 2)
        for (int x = x0; x < x1; x += 2) {
            const halverntest::Pixel p = halverntest::pixelAt(screen, x, y);
            if (p.r > 190 && p.g > 170 && p.b < 140) ++count;
        }
    return count;
}

void expectCleanRun(const halverntest::RunResult& run) {
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output.find("Trigger error"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("Could not find"), std::string::npos) << run.output;
}

}  // namespace

TEST(MessageRun, TheGateTeachesNarratesAndRewardsAndARestartStillCountsTheReward) {
    TempDir user;
    const std::string shot = user.file("gate.png");
    // "Yes" to tips; the urn moved (the press also closes the urn's tip), the tower looked at, the key
    // taken: the inventory's tip and the reward's notice come up while the tower's words still stand.
    std::string input = newPlayersGame() + click(kQuestion, 742, 300) + click(500, 220, 496) +
                        click(560, 700, 172) + click(600, 212, 573);
    auto run = play(user, kGame, input, 680, shot);
    expectCleanRun(run);
    EXPECT_NE(user.read("p_Wren.xml").find("<achieve name=\"ach_first_item\" count=\"1\"/>"),
              std::string::npos);
    EXPECT_GT(goldLetters(shot, 20, 10, 1004, 70), 100) << "the narration along the top";
    EXPECT_GT(difference(shot, gateBackdrop(), 0, 0, 20, 110, 380, 230), 40) << "the reward's notice";
    EXPECT_GT(difference(shot, gateBackdrop(), 0, 0, 200, 345, 820, 490), 15) << "the tip";
    EXPECT_GT(difference(shot, gateBackdrop(), 0, 0, 490, 560, 530, 650), 30) << "its arrow";
    EXPECT_LT(difference(shot, gateBackdrop(), 0, 0, 850, 100, 1024, 340), 8)
        << "the gate as painted elsewhere";
    EXPECT_LT(difference(shot, gateBackdrop(), 0, 0, 850, 100, 1024, 340), 24) << "nothing else in the way";

    // After a restart the menu's achievements page shows the reward earned and the others not.
    const std::string page = user.file("page.png");
    run = play(user, kGame, toTheMenu() + click(100, 904, 716), 160, page);
    expectCleanRun(run);
    EXPECT_NE(user.read("p_Wren.xml").find("<achieve name=\"ach_first_item\" count=\"1\"/>"),
              std::string::npos);
    const Tone earned = tone(page, 248, 242, 288, 282), missing = tone(page, 248, 304, 288, 344);
    EXPECT_LT(earned.light + 40, missing.light) << "the earned medal in full colour, the others faded";

    // A second game of the same player, over the first one's save (Yes to the question): "no" to tips,
    // which the profile keeps; the key does not count again.
    run = play(user, kGame,
               toTheMenu() + click(160, 250, 340) + click(170, 412, 452) + click(kQuestion, 282, 300) +
                   click(480, 220, 496) + click(520, 212, 573),
               560, user.file("again.png"));
    expectCleanRun(run);
    const std::string profile = user.read("p_Wren.xml");
    EXPECT_NE(profile.find("<achieve name=\"ach_first_item\" count=\"1\"/>"), std::string::npos)
        << "not twice";
    EXPECT_NE(profile.find("<el_tutorial_done valtype=\"1\" val=\"1\"/>"), std::string::npos)
        << "no more tips for this player";
    EXPECT_LT(difference(user.file("again.png"), gateBackdrop(), 0, 0, 200, 230, 820, 370), 8)
        << "the question is gone";
}

TEST(MessageRun, TheIntroSpeaksThroughSubtitles) {
    TempDir user;
    const std::string shot = user.file("intro.png");
    // Between 5.8 s and 10.2 s of the intro (which starts on the logo's click) its second line shows.
    const auto run = play(user, kGame, click(20, 512, 600), 420, shot);
    expectCleanRun(run);
    auto screen = pf::TTexture::Get(shot);
    ASSERT_TRUE(screen);
    // Light letters counted over a part of the screen; the game's type is a warm light, not white.
    auto letters = [&](int x0, int y0, int x1, int y1, bool warm) {
        int n = 0;
        for (int x = x0; x < x1; x += 2)
            for (int y = y0; y < y1; y += 2) {
                const halverntest::Pixel p = halverntest::pixelAt(screen, x, y);
                if (p.r > 200 && p.g > 190 && p.b > 150 && (!warm || p.r - p.b > 25)) ++n;
            }
        return n;
    };
    // Right of the lit papers on the bench, the foot of this frame is dark.
    EXPECT_GT(letters(250, 660, 1004, 728, true), 150) << "the line over the foot of the picture";
    EXPECT_LT(letters(20, 0, 1004, 110, false), 10) << "the top of the picture stays clear";
}

namespace {

const char* const kStrings = R"xml(<?xml version="1.0"?>
<Workbook xmlns="urn:schemas-microsoft-com:office:spreadsheet"><Worksheet><Table>
<Row><Cell><Data>hello</Data></Cell><Cell><Data>The gate is locked, and the lantern still burns.</Data></Cell></Row>
<Row><Cell><Data>line</Data></Cell><Cell><Data>A small room for a speech box.</Data></Cell></Row>
</Table></Worksheet></Workbook>)xml";

const char* const kMenu = R"xml(<module name="menu"/>
<trigs>
  <trig name="ng_startlogo"><code>if GetNumProfiles() == 0 then AddProfile("Ann") end;
    SetCurrentProfile("Ann"); SwitchToGame(0, "assets/t/level", "ng_startlevel(1)")</code></trig>
</trigs>)xml";

// Three spots along the bottom of a plain room: open a speech box, open another, and a target.
const char* const kLevel = R"xml(<module name="level"/>
<objs><obj name="level_root">
  <obj name="objects_hub"/><obj name="inventory_hub"/>
  <room name="room_t" res="assets/t/back" drawoff_x="512" drawoff_y="384" inputrect_init="1" inputrect_x="0"
        inputrect_y="0" inputrect_w="1024" inputrect_h="768" trg_open="t_open">
    <spr name="t_speak" res="assets/t/spot" pos_x="100" pos_y="560" event_mdown="t_speak"/>
    <spr name="t_other" res="assets/t/spot" pos_x="300" pos_y="560" event_mdown="t_other"/>
    <spr name="t_target" res="assets/t/spot" pos_x="900" pos_y="560" event_mdown="t_target"/>
  </room>
</obj></objs>
<trigs>
  <trig name="ng_startlevel"><code>ObjAttach("room_t", "ng_rooms_hub"); SwitchRoom("room_t", 0)</code></trig>
  <trig name="ng_function"><code>HideInterface(0, 0); SetInterfaceInputEnable(1)</code></trig>
  <trig name="t_open"><code>ShowBlackBarText("line", 1)</code></trig>
  <trig name="t_speak"><code>ShowDialog("hello", 512, 300)</code></trig>
  <trig name="t_other"><code>ShowDialog("no_such_text", 512, 300)</code></trig>
  <trig name="t_target"><code>DbgTrace("the target was clicked")</code></trig>
  <trig name="ng_dialog_closed"><code>DbgTrace("the speech box has closed")</code></trig>
</trigs>)xml";

constexpr uint8_t kBack[3] = {60, 80, 100};

void makeSmallGame(const TempDir& game) {
    game.write("assets/strings.xml", kStrings);
    game.write("assets/menu/module.xml", kMenu);
    game.write("assets/t/level.xml", kLevel);
    std::vector<uint8_t> back(1024 * 768 * 4);
    for (size_t i = 0; i < back.size(); i += 4) {
        back[i] = kBack[0], back[i + 1] = kBack[1], back[i + 2] = kBack[2], back[i + 3] = 255;
    }
    pf::TTexture::WritePng(game.file("assets/t/back.png"), back.data(), 1024, 768);
    std::vector<uint8_t> spot(40 * 40 * 4, 255);
    pf::TTexture::WritePng(game.file("assets/t/spot.png"), spot.data(), 40, 40);
    // The game's own fonts, interface images and cursors.
    for (const char* folder : {"fonts", "interface", "cursors"})
        std::system(
            ("ln -s '" + kGame + "/assets/" + folder + "' '" + game.file("assets/") + folder + "'").c_str());
}

// How far the screenshot strays from the plain room over a rectangle (mean per channel).
double offRoom(const std::string& shot, int x0, int y0, int x1, int y1) {
    auto screen = pf::TTexture::Get(shot);
    if (!screen) return std::numeric_limits<double>::max();
    double sum = 0;
    long n = 0;
    for (int y = y0; y < y1; y += 4)
        for (int x = x0; x < x1; x += 4) {
            const halverntest::Pixel p = halverntest::pixelAt(screen, x, y);
            sum += std::abs(p.r - kBack[0]) + std::abs(p.g - kBack[1]) + std::abs(p.b - kBack[2]);
            n += 3;
        }
    return n ? sum / n : 0;
}

}  // namespace

TEST(MessageRun, ASpeechBoxGivesWayToAnotherClosesAtAClickAndLeavesTheRoomClickable) {
    TempDir game, user;
    makeSmallGame(game);
    // The first box, then a second one while the first is up: its text is missing from the table.
    const std::string open = click(30, 100, 560) + click(80, 300, 560);
    const std::string shown = user.file("shown.png");
    auto run = play(user, game.path, open, 130, shown);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_GT(offRoom(shown, 440, 270, 584, 330), 20) << "the box stands at (512, 300)";
    EXPECT_LT(offRoom(shown, 0, 350, 1024, 530), 2) << "and nowhere else, above the bar and the spots";
    EXPECT_EQ(run.output.find("the speech box has closed"), std::string::npos) << "replaced, not closed";

    // A click on the box closes it; the room below takes clicks again.
    const std::string closed = user.file("closed.png");
    run = play(user, game.path, open + click(140, 512, 300) + click(200, 900, 560), 220, closed);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("the speech box has closed"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("the target was clicked"), std::string::npos) << run.output;
    EXPECT_LT(offRoom(closed, 300, 200, 724, 400), 2) << "nothing left on the screen";
}
