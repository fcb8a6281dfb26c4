// The particle example module (tests/examples/particles) run headless: a fire rising from (300, 600)
// and sparkles on the opaque ring of an invisible sprite centred at (700, 400). The screenshot is
// checked for the effects' colours and for where their light falls.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "tests/integration/HalvernRun.h"

using halverntest::runHalvern;
using halverntest::TempDir;

namespace {

const std::string kExample = std::string(HALVERN_SOURCE_DIR) + "/tests/examples/particles";

struct Shot {
    std::vector<uint8_t> px;
    int w = 0, h = 0;
    const uint8_t* at(int x, int y) const { return &px[(static_cast<size_t>(y) * w + x) * 4]; }
    bool lit(int x, int y) const {
        const uint8_t* p = at(x, y);
        return p[0] + p[1] + p[2] > 60;
    }
    // Mean red, green, blue over the box [x0, x1) x [y0, y1).
    std::array<double, 3> mean(int x0, int y0, int x1, int y1) const {
        std::array<double, 3> sum{0, 0, 0};
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                for (int c = 0; c < 3; ++c) sum[c] += at(x, y)[c];
        for (double& s : sum) s /= double(x1 - x0) * (y1 - y0);
        return sum;
    }
};

Shot load(const std::string& file) {
    Shot shot;
    auto image = pf::TTexture::Get(file);
    if (!image) return shot;
    shot.w = image->GetWidth();
    shot.h = image->GetHeight();
    uint8_t* p = nullptr;
    int pitch = 0;
    if (image->Lock(&p, &pitch, true) && p) {
        shot.px.resize(static_cast<size_t>(shot.w) * shot.h * 4);
        for (int y = 0; y < shot.h; ++y)
            std::copy(p + static_cast<size_t>(y) * pitch * 4,
                      p + static_cast<size_t>(y) * pitch * 4 + shot.w * 4,
                      &shot.px[static_cast<size_t>(y) * shot.w * 4]);
    }
    image->Unlock();
    return shot;
}

std::vector<std::string> runArgs(const TempDir& user, const std::string& game, const std::string& module,
                                 const std::string& shot) {
    return {"--headless", "--fixed-step", "--frames", "90",   "--game-dir",   game,
            "--user-dir", user.path,      "--module", module, "--screenshot", shot};
}

}  // namespace

TEST(ParticleExample, FireAndMaskedSparkles) {
    TempDir user;
    const std::string file = user.file("shot.png");
    const auto run = runHalvern(runArgs(user, kExample, "scene", file));
    ASSERT_EQ(0, run.exitCode) << run.output;
    EXPECT_EQ(std::string::npos, run.output.find("Could not find")) << run.output;
    const Shot shot = load(file);
    ASSERT_EQ(1024, shot.w);
    ASSERT_EQ(768, shot.h);

    // The fire: added yellow-white at its base, fading to dim red where the flames end above it.
    const auto base = shot.mean(285, 570, 315, 595);
    EXPECT_GE(base[0], 240);
    EXPECT_GE(base[1], 170);
    EXPECT_LT(base[2], base[1]);
    const auto top = shot.mean(280, 480, 320, 510);
    EXPECT_GT(top[0], 40) << "the flames reach 100 pixels up";
    EXPECT_GT(top[0], 2 * top[1]) << "red at the top";
    EXPECT_LT(top[2], 10);
    // Its light stays around its emitter: a column about 50 pixels wide rising from y = 600.
    int left = 1024, right = 0, high = 768, low = 0;
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 500; ++x)
            if (shot.lit(x, y)) {
                left = std::min(left, x), right = std::max(right, x);
                high = std::min(high, y), low = std::max(low, y);
            }
    EXPECT_GE(left, 220);
    EXPECT_LE(right, 380);
    EXPECT_GT(right - left, 40);
    EXPECT_GE(high, 420);
    EXPECT_LT(high, 520);
    EXPECT_LE(low, 640);

    // The sparkles: only on the ring (radii 60..100), none in its hole or beyond it, bluish white.
    int inHole = 0, outside = 0, onRing = 0, ringPixels = 0;
    std::array<double, 3> colour{0, 0, 0};
    for (int y = 0; y < 768; ++y)
        for (int x = 500; x < 1024; ++x) {
            const double r = std::hypot(x - 700, y - 400);
            const bool lit = shot.lit(x, y);
            if (r < 50) inHole += lit;
            if (r > 110) outside += lit;
            if (r >= 62 && r <= 98) ringPixels++, onRing += lit;
            if (lit)
                for (int c = 0; c < 3; ++c) colour[c] += shot.at(x, y)[c];
        }
    EXPECT_EQ(0, inHole);
    EXPECT_EQ(0, outside);
    EXPECT_GT(onRing, ringPixels / 12) << "the ring is well covered";
    EXPECT_GE(colour[2], colour[0]) << "bluish";
}

TEST(ParticleExample, AMissingParticleFileIsReportedAndDrawsNothing) {
    TempDir game, user;
    game.write("broken.xml", R"(<objs><obj name="r"><partsys name="ghost" res="effects/none" pos_x="512"
        pos_y="384"/></obj></objs>
        <code>ObjAttach('ghost', 'ne_origin') PsStart('ghost') PsSetMaskObj('ghost', 'ghost')
              PartSysRestart('ghost') PsPause('ghost', 1) PsStop('ghost', 1)</code>)");
    const std::string file = user.file("shot.png");
    const auto run = runHalvern(runArgs(user, game.path, "broken", file));
    ASSERT_EQ(0, run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("nE_ParticleSystem::Could not find \"effects/none\" file!"))
        << run.output;
    const Shot shot = load(file);
    ASSERT_EQ(1024, shot.w);
    int lit = 0;
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) lit += shot.lit(x, y);
    EXPECT_EQ(0, lit);
}
