// The hint outside hidden-object scenes, in the bundled game: pressed at the gate before anything is
// done there, the narration bar tells of the urn and a light circles it; pressed again in the hall once
// it has recharged, with nothing left to do there yet, it names the workshop and circles its door, and
// the diary opened then marks the workshop on its map. Reference screenshots of these. Before that,
// the urn that the first tip names brightens under the pointer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/integration/HalvernRun.h"
#include "tests/integration/Walk.h"

using halverntest::expectLooksLike;
using halverntest::playBundled;
using halverntest::TempDir;
using halverntest::Walk;

namespace {

const int kHint[] = {984, 680};
// The recharge of a new game (mode 0) is 40 s of 60 steps.
constexpr int kRecharge = 40 * 60;

void pressHint(Walk& walk) {
    walk.move(980, 700).wait(5).click(kHint[0], kHint[1]);
}

// How many near-white pixels a ring around (x, y) holds: the hint's light circling what stands there.
int lightAround(const std::string& shot, int x, int y) {
    auto image = pf::TTexture::Get(shot);
    int lit = 0;
    for (int dy = -58; dy <= 58; ++dy)
        for (int dx = -58; dx <= 58; ++dx) {
            const int d2 = dx * dx + dy * dy;
            if (d2 < 38 * 38 || d2 > 58 * 58) continue;
            const halverntest::Pixel p = halverntest::pixelAt(image, x + dx, y + dy);
            if (p.r + p.g + p.b > 600) ++lit;
        }
    return lit;
}

}  // namespace

TEST(HintRun, OutsideScenesTheHintTellsTheNextStepHereOrTheRoomWhereItWaits) {
    TempDir user;
    Walk walk;
    // A new game for Wren; the pointer away from the urn, then resting on it.
    const int away = walk.newGame("Wren").move(620, 560).wait(30).tick;
    const int over = walk.move(220, 496).wait(30).tick;
    pressHint(walk);
    const int firstPress = walk.tick;
    const int atTheGate = walk.wait(90).tick;
    walk.click(220, 496).wait(30).click(212, 573).wait(120);  // the urn moves, the key flies in
    walk.carry(0, 514, 408).drop(514, 408).wait(30).click(514, 426).wait(70);  // the gate opens: the hall
    walk.at(firstPress + kRecharge + 30);
    pressHint(walk);
    const int inTheHall = walk.wait(60).tick;
    const int onTheMap = walk.wait(30).click(46, 683).wait(80).tick;  // the diary

    const auto run = playBundled(
        user, walk,
        {{away, "away"}, {over, "over"}, {atTheGate, "gate"}, {inTheHall, "hall"}, {onTheMap, "map"}},
        onTheMap + 2);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output.find("Trigger error"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("nG_Hint:"), std::string::npos) << run.output;
    // The urn the first tip names brightens under the pointer: its body, summed over a patch so that the
    // rain does not decide.
    auto light = [&user](const std::string& shot) {
        auto image = pf::TTexture::Get(user.file(shot + ".png"));
        long sum = 0;
        for (int y = 535; y < 575; y += 2)
            for (int x = 200; x < 240; x += 2) {
                const halverntest::Pixel p = halverntest::pixelAt(image, x, y);
                sum += p.r + p.g + p.b;
            }
        return sum;
    };
    EXPECT_GT(light("over"), light("away") * 115 / 100);
    EXPECT_GT(lightAround(user.file("gate.png"), 220, 496), 100) << "the urn";
    EXPECT_GT(lightAround(user.file("hall.png"), 97, 478), 100) << "the workshop door";
    expectLooksLike(user.file("gate.png"), "hint_points");
    expectLooksLike(user.file("hall.png"), "hint_hall");
    expectLooksLike(user.file("map.png"), "hint_map");
}
