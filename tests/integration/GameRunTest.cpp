// The bundled game played through recorded input: a new game from the menu walks the gate (urn, key into
// the inventory, the key dragged onto the gate), the hall, its cabinet close-up, the workshop and the
// library; each screenshot must show the room it should (compared with the room's own backdrop). Leaving
// through the menu and continuing returns to the room left, and saving again gives the same slot.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <vector>

#include "tests/integration/HalvernRun.h"
#include "tests/integration/Walk.h"

using halverntest::click;
using halverntest::keys;
using halverntest::move;
using halverntest::runHalvern;
using halverntest::TempDir;
using halverntest::toTheMenu;
using halverntest::withoutPhase;

namespace {

const std::string kGame = HALVERN_SOURCE_DIR;

// The walk's ticks after the menu's fade into the game and the tips declined: the times below were
// taken with a game starting at tick 131.
constexpr int kLate = 300;
int at(int tick) {
    return tick + kLate;
}
// From the menu: a player named Wren, then a new game (the gate shows from tick 211); "no" to the
// tips the gate asks about at 420.
std::string newGame() {
    return toTheMenu() + click(100, 250, 472) + keys(120, "Wren") + "130 7 13 0 0\n" + click(150, 703, 436) +
           click(170, 250, 340) + click(420, 282, 300);
}
// Ticks that taking the key into the inventory and dragging it onto the gate add to the walk.
constexpr int kDrag = 180;
std::string press(int tick, int x, int y) {
    const std::string at = " " + std::to_string(x) + " " + std::to_string(y) + "\n";
    return std::to_string(tick) + " 1 0" + at + std::to_string(tick + 1) + " 3 0" + at;
}
// The gate: the urn moves aside, the key flies into the inventory; the pointer on the strip raises it,
// the key is picked from its first slot, carried onto the gate and dropped there; then the open gate
// is walked through (the hall is open from about tick 290 + kDrag).
std::string throughTheGate() {
    return click(at(160), 220, 496) + click(at(190), 212, 573) + move(at(300), 242, 762) +
           move(at(345), 242, 727) + press(at(350), 242, 727) + move(at(370), 380, 560) +
           move(at(380), 514, 408) + press(at(400), 514, 408) + click(at(250 + kDrag), 514, 426);
}
// The hall: the cabinet close-up (open from about 350), closed with its button (gone by about 420),
// the workshop (open by 480) and back (hall by 540), the library (open by 600) and back (hall by 660).
std::string aroundTheHall() {
    return click(at(310 + kDrag), 263, 378) + click(at(380 + kDrag), 886, 26) +
           click(at(440 + kDrag), 96, 479) + click(at(500 + kDrag), 512, 574) +
           click(at(560 + kDrag), 401, 402) + click(at(620 + kDrag), 512, 574);
}
const int kMenuButton[] = {44, 752};

halverntest::RunResult play(const TempDir& user, const std::string& input, int frames,
                            const std::string& screenshot = "") {
    std::vector<std::string> args = {"--headless", "--fixed-step", "--frames",   std::to_string(frames),
                                     "--game-dir", kGame,          "--user-dir", user.path};
    user.write("input.txt", input);
    args.push_back("--input");
    args.push_back(user.file("input.txt"));
    if (!screenshot.empty()) {
        args.push_back("--screenshot");
        args.push_back(screenshot);
    }
    return runHalvern(args);
}

// Mean difference per channel between the screenshot and a backdrop placed with its top-left corner at
// (left, top), over the screen rectangle [x0, x1) x [y0, y1), sampled every 8 pixels.
double difference(const std::shared_ptr<pf::TTexture>& shot, const std::shared_ptr<pf::TTexture>& back,
                  int left, int top, int x0, int y0, int x1, int y1) {
    uint8_t *s = nullptr, *b = nullptr;
    int sp = 0, bp = 0;
    shot->Lock(&s, &sp, true);
    back->Lock(&b, &bp, true);
    double sum = 0;
    long n = 0;
    for (int y = y0; y < y1; y += 8)
        for (int x = x0; x < x1; x += 8) {
            const int bx = x - left, by = y - top;
            if (bx < 0 || by < 0 || bx >= back->GetWidth() || by >= back->GetHeight()) continue;
            const uint8_t* p = s + (static_cast<size_t>(y) * sp + x) * 4;
            const uint8_t* q = b + (static_cast<size_t>(by) * bp + bx) * 4;
            for (int c = 0; c < 3; ++c) sum += std::abs(p[c] - q[c]);
            n += 3;
        }
    back->Unlock();
    shot->Unlock();
    return n ? sum / n : std::numeric_limits<double>::max();
}

// Mean difference between horizontal neighbours over the rectangle: how much fine detail it shows.
double detail(const std::shared_ptr<pf::TTexture>& image, int x0, int y0, int x1, int y1) {
    uint8_t* p = nullptr;
    int pitch = 0;
    image->Lock(&p, &pitch, true);
    double sum = 0;
    long n = 0;
    for (int y = y0; y < y1; y += 2)
        for (int x = x0; x + 1 < x1; ++x) {
            const uint8_t* a = p + (static_cast<size_t>(y) * pitch + x) * 4;
            for (int c = 0; c < 3; ++c) sum += std::abs(a[c] - a[c + 4]);
            n += 3;
        }
    image->Unlock();
    return n ? sum / n : 0;
}

std::shared_ptr<pf::TTexture> backdrop(const std::string& room) {
    return pf::TTexture::Get(kGame + "/assets/levels/level/" + room + "/back.jpg");
}

// The room whose backdrop the screenshot's scene area (above the interface bar) resembles most.
std::string roomShown(const std::string& shot, double* bestDifference = nullptr) {
    auto image = pf::TTexture::Get(shot);
    if (!image) return "no screenshot";
    std::string best;
    double bestValue = std::numeric_limits<double>::max();
    for (const char* room : {"gate", "hall", "workshop", "library", "conservatory", "tower"}) {
        const double d = difference(image, backdrop(room), 0, 0, 0, 0, 1024, 590);
        if (d < bestValue) {
            bestValue = d;
            best = room;
        }
    }
    if (bestDifference) *bestDifference = bestValue;
    return best;
}

std::string slot(const std::string& profile, int index) {
    const std::string open = "<save_" + std::to_string(index) + ">";
    const std::string close = "</save_" + std::to_string(index) + ">";
    const size_t from = profile.find(open), to = profile.find(close);
    if (from == std::string::npos || to == std::string::npos) return "";
    return profile.substr(from, to + close.size() - from);
}

}  // namespace

// One run of the walk, ending after the given ticks: the screenshot must show the room.
void expectRoomAfter(int frames, const std::string& room) {
    TempDir user;
    const std::string file = user.file("shot.png");
    const auto run = play(user, newGame() + throughTheGate() + aroundTheHall(), frames, file);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    double d = 0;
    EXPECT_EQ(roomShown(file, &d), room) << "after " << frames << " ticks";
    EXPECT_LT(d, 24) << room;
    EXPECT_EQ(run.output.find("Trigger error"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("Could not find"), std::string::npos) << run.output;
}

TEST(GameRun, ANewGameOpensOnTheGate) {
    expectRoomAfter(at(150), "gate");
}

TEST(GameRun, TheUnlockedGateLeadsIntoTheHall) {
    expectRoomAfter(at(300 + kDrag), "hall");
}

TEST(GameRun, TheCabinetOpensOverTheBlurredHall) {
    TempDir user;
    const std::string file = user.file("cabinet.png");
    const auto run = play(user, newGame() + throughTheGate() + aroundTheHall(), at(360 + kDrag), file);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    auto image = pf::TTexture::Get(file);
    ASSERT_TRUE(image);
    // The close-up stands centred at (512, 300) in its frame.
    const double inside = difference(image, backdrop("cabinet"), 152, 40, 172, 60, 852, 520);
    EXPECT_LT(inside, 20) << "the cabinet's close-up fills the middle";
    // Left of the frame and above the bar.
    const double hallAround = difference(image, backdrop("hall"), 0, 0, 0, 60, 120, 590);
    EXPECT_LT(hallAround, 30) << "the hall stays behind it";
    EXPECT_LT(detail(image, 0, 60, 120, 590), 0.8 * detail(backdrop("hall"), 0, 60, 120, 590)) << "blurred";
}

TEST(GameRun, TheHallsDoorsLeadToTheWorkshop) {
    expectRoomAfter(at(490 + kDrag), "workshop");
}

TEST(GameRun, TheHallsDoorsLeadToTheLibrary) {
    expectRoomAfter(at(610 + kDrag), "library");
}

TEST(GameRun, ContinuingReturnsToTheRoomLeftAndSavesTheSameSlotAgain) {
    TempDir user;
    const std::string first = newGame() + throughTheGate() + aroundTheHall() +
                              click(at(680 + kDrag), kMenuButton[0], kMenuButton[1]);
    const auto run = play(user, first, at(720 + kDrag));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string saved = slot(user.read("p_Wren.xml"), 0);
    ASSERT_FALSE(saved.empty()) << "leaving through the menu saved the game";
    EXPECT_NE(saved.find("<current_room><room name=\"room_hall\""), std::string::npos);
    EXPECT_NE(saved.find("<el_gate_open valtype=\"1\" val=\"1\"/>"), std::string::npos);
    EXPECT_NE(saved.find("path=\"assets/audio/music/house\" group=\"soundtrack\" loop=\"1\""),
              std::string::npos)
        << "the music playing when the game was left";
    EXPECT_NE(saved.find("path=\"assets/audio/env/rain\" group=\"env\""), std::string::npos);
    EXPECT_EQ(saved.find("music/outside"), std::string::npos) << "the gate's music had faded out";

    // Continue: the hall again, and the slot saved on closing is the slot that was continued.
    const std::string file = user.file("continued.png");
    const auto again = play(user, toTheMenu() + click(100, 250, 408), 200, file);
    ASSERT_EQ(again.exitCode, 0) << again.output;
    EXPECT_EQ(roomShown(file), "hall");
    EXPECT_EQ(withoutPhase(slot(user.read("p_Wren.xml"), 0)), withoutPhase(saved));
    EXPECT_EQ(again.output.find("Trigger error"), std::string::npos) << again.output;
}
