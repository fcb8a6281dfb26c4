// The hint outside hidden-object scenes, in the bundled game: pressed at the gate before anything is
// done there, the narration bar tells of the urn and a light circles it; pressed again in the hall once
// it has recharged, with nothing left to do there yet, it names the workshop and circles its door, and
// the diary opened then marks the workshop on its map. Reference screenshots of these. And the urn that
// the first tip names brightens under the pointer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/integration/HalvernRun.h"
#include "tests/integration/Walk.h"

using halverntest::expectLooksLike;
using halverntest::runHalvern;
using halverntest::TempDir;
using halverntest::Walk;

namespace {

const std::string kGame = HALVERN_SOURCE_DIR;
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
    // A new game for Wren, the tips declined.
    walk.at(20).click(512, 600).at(40).key(27).at(100).click(250, 472).at(120).type("Wren").at(130).key(13);
    walk.at(150).click(703, 436).at(170).click(250, 340).at(420).click(282, 300).at(440);
    pressHint(walk);
    const int firstPress = walk.tick;
    const int atTheGate = walk.wait(90).tick;
    walk.click(220, 496).wait(30).click(212, 573).wait(120);  // the urn moves, the key flies in
    walk.carry(0, 514, 408).drop(514, 408).wait(30).click(514, 426).wait(70);  // the gate opens: the hall
    walk.at(firstPress + kRecharge + 30);
    pressHint(walk);
    const int inTheHall = walk.wait(60).tick;
    const int onTheMap = walk.wait(30).click(46, 683).wait(80).tick;  // the diary

    user.write("input.txt", walk.text);
    const std::string gate = user.file("hint_gate.png"), hall = user.file("hint_hall.png");
    const std::string map = user.file("hint_map.png");
    const auto run = runHalvern(
        {"--headless", "--fixed-step", "--frames", std::to_string(onTheMap + 2), "--game-dir", kGame,
         "--user-dir", user.path, "--input", user.file("input.txt"), "--screenshot-at",
         std::to_string(atTheGate) + ":" + gate, "--screenshot-at", std::to_string(inTheHall) + ":" + hall,
         "--screenshot-at", std::to_string(onTheMap) + ":" + map});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output.find("Trigger error"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("nG_Hint:"), std::string::npos) << run.output;
    EXPECT_GT(lightAround(gate, 220, 496), 100) << "the urn";
    EXPECT_GT(lightAround(hall, 97, 478), 100) << "the workshop door";
    expectLooksLike(gate, "hint_points");
    expectLooksLike(hall, "hint_hall");
    expectLooksLike(map, "hint_map");
}

TEST(HintRun, TheUrnTheTutorialNamesBrightensUnderThePointer) {
    TempDir user;
    Walk walk;
    walk.at(20).click(512, 600).at(40).key(27).at(100).click(250, 472).at(120).type("Wren").at(130).key(13);
    walk.at(150).click(703, 436).at(170).click(250, 340).at(420).click(282, 300).at(440);
    const int away = walk.move(620, 560).wait(30).tick;
    const int over = walk.move(220, 496).wait(30).tick;

    user.write("input.txt", walk.text);
    const std::string dark = user.file("away.png"), lit = user.file("over.png");
    const auto run =
        runHalvern({"--headless", "--fixed-step", "--frames", std::to_string(over + 2), "--game-dir", kGame,
                    "--user-dir", user.path, "--input", user.file("input.txt"), "--screenshot-at",
                    std::to_string(away) + ":" + dark, "--screenshot-at", std::to_string(over) + ":" + lit});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    // The urn's body below the pointer, summed over a patch so that the rain does not decide.
    auto light = [](const std::string& shot) {
        auto image = pf::TTexture::Get(shot);
        long sum = 0;
        for (int y = 535; y < 575; y += 2)
            for (int x = 200; x < 240; x += 2) {
                const halverntest::Pixel p = halverntest::pixelAt(image, x, y);
                sum += p.r + p.g + p.b;
            }
        return sum;
    };
    EXPECT_GT(light(lit), light(dark) * 115 / 100);
}
