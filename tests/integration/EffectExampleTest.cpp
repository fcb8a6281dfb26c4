// The bundled effects run headless through their example modules (tests/examples/effects) on the
// source tree's assets: rain through a window, snow over a landscape, dust in a beam of light and the
// hint sparkle on a key. Each screenshot is checked for the effect's light where it belongs and none
// elsewhere. A scripted effect whose code fails or never ends is reported and the run goes on.
#include <gtest/gtest.h>

#include <functional>

#include "tests/integration/HalvernRun.h"

using halverntest::runHalvern;
using halverntest::TempDir;

namespace {

const std::string kSource = HALVERN_SOURCE_DIR;

struct Shot {
    std::vector<uint8_t> px;
    int w = 0, h = 0;
    const uint8_t* at(int x, int y) const { return &px[(static_cast<size_t>(y) * w + x) * 4]; }
    // Pixels of the box [x0, x1) × [y0, y1) for which test holds.
    int count(int x0, int y0, int x1, int y1, const std::function<bool(const uint8_t*)>& test) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += test(at(x, y));
        return n;
    }
};

struct ModuleRun {
    halverntest::RunResult result;
    Shot shot;
};

ModuleRun runModule(const std::string& gameDir, const std::string& module, int frames = 90) {
    TempDir user;
    const std::string file = user.file("shot.png");
    ModuleRun run;
    run.result = runHalvern({"--headless", "--fixed-step", "--frames", std::to_string(frames), "--game-dir",
                             gameDir, "--user-dir", user.path, "--module", module, "--screenshot", file});
    if (auto image = pf::TTexture::Get(file)) {
        run.shot.w = image->GetWidth();
        run.shot.h = image->GetHeight();
        uint8_t* p = nullptr;
        int pitch = 0;
        if (image->Lock(&p, &pitch, true) && p) {
            run.shot.px.resize(static_cast<size_t>(run.shot.w) * run.shot.h * 4);
            for (int y = 0; y < run.shot.h; ++y)
                std::copy(p + static_cast<size_t>(y) * pitch * 4,
                          p + static_cast<size_t>(y) * pitch * 4 + run.shot.w * 4,
                          &run.shot.px[static_cast<size_t>(y) * run.shot.w * 4]);
        }
        image->Unlock();
    }
    return run;
}

void expectCleanRun(const ModuleRun& run) {
    ASSERT_EQ(0, run.result.exitCode) << run.result.output;
    EXPECT_EQ(std::string::npos, run.result.output.find("Could not find")) << run.result.output;
    EXPECT_EQ(std::string::npos, run.result.output.find("error")) << run.result.output;
    ASSERT_EQ(1024, run.shot.w);
    ASSERT_EQ(768, run.shot.h);
}

}  // namespace

TEST(EffectExample, RainFallsBehindTheWindowGlassOnly) {
    const ModuleRun run = runModule(kSource, "tests/examples/effects/rain");
    expectCleanRun(run);
    // Light bluish streaks over the dark sky in the glass (392..632 × 170..470).
    const auto streak = [](const uint8_t* p) {
        return p[2] > 110 && p[2] > p[0] + 10 && p[0] + p[1] + p[2] > 300;
    };
    EXPECT_GT(run.shot.count(392, 170, 632, 470, streak), 300);
    // None on the wall around the window, which is brown.
    const auto bluish = [](const uint8_t* p) { return p[2] > p[0] + 20; };
    EXPECT_EQ(0, run.shot.count(0, 0, 340, 768, bluish));
    EXPECT_EQ(0, run.shot.count(690, 0, 1024, 768, bluish));
    EXPECT_EQ(0, run.shot.count(340, 520, 690, 768, bluish));
}

TEST(EffectExample, SnowFallsOverTheWholeScene) {
    const ModuleRun run = runModule(kSource, "tests/examples/effects/snow");
    expectCleanRun(run);
    // The night sky (darker than 100 everywhere) shows white flakes in each quarter of its width.
    const auto flake = [](const uint8_t* p) { return p[0] > 150 && p[1] > 150 && p[2] > 150; };
    for (int x = 0; x < 1024; x += 256) EXPECT_GT(run.shot.count(x, 0, x + 256, 400, flake), 100) << x;
}

TEST(EffectExample, DustDriftsInTheBeamOfLight) {
    const ModuleRun run = runModule(kSource, "tests/examples/effects/dust");
    expectCleanRun(run);
    // The beam alone stays below a red of 150; the motes light it up.
    const auto mote = [](const uint8_t* p) { return p[0] > 170; };
    EXPECT_GT(run.shot.count(230, 200, 760, 700, mote), 40);
    // Beside the beam (upper right), nothing.
    EXPECT_EQ(0, run.shot.count(700, 0, 1024, 400, mote));
}

TEST(EffectExample, TheHintSparkleMarksTheKeyOnly) {
    const ModuleRun run = runModule(kSource, "tests/examples/effects/sparkle");
    expectCleanRun(run);
    // Near-white stars over the golden key (around 600, 260); the cup is grey-white, the key gold.
    const auto star = [](const uint8_t* p) { return p[0] > 240 && p[1] > 230 && p[2] > 150; };
    EXPECT_GT(run.shot.count(510, 200, 700, 320, star), 15);
    const int everywhere = run.shot.count(0, 0, 1024, 768, star);
    EXPECT_EQ(everywhere, run.shot.count(440, 120, 770, 340, star)) << "no sparkle away from the key";
}

TEST(EffectExample, ScriptedEffectsThatFailOrNeverEndAreReportedAndTheRunGoesOn) {
    TempDir game;
    const std::string type = R"(<spark res="">
        <bornpart>DieAfter(1)</bornpart>
        <process>CreateParticles(1)</process>
        <processpart>local function helper() return missing_table.field end helper()</processpart>
    </spark>)";
    game.write("fx/broken.xml", "<!-- Blend: 2 --><particles><emit>" + type +
                                    "</emit><process>if ps_state == 0 then CreateEmitter('spark', 0, 0) "
                                    "ps_state = 1 end</process></particles>");
    game.write("fx/endless.xml",
               "<particles><emit><spark/></emit><process>while true do end</process></particles>");
    game.write("scene.xml", R"(<objs><obj name="root"><partsys name="a" res="fx/broken"/>
        <partsys name="b" res="fx/endless"/></obj></objs>
        <code>ObjAttach('a', 'ne_origin') ObjAttach('b', 'ne_origin')</code>)");
    const ModuleRun run = runModule(game.path, "scene", 30);
    ASSERT_EQ(0, run.result.exitCode) << run.result.output;
    const std::string& out = run.result.output;
    EXPECT_NE(std::string::npos, out.find("Particle error: fx/broken.xml:spark:processpart")) << out;
    EXPECT_NE(std::string::npos, out.find("in function 'helper'")) << out;
    EXPECT_NE(std::string::npos, out.find("Particle error: fx/endless.xml:process")) << out;
    EXPECT_NE(std::string::npos, out.find("script stopped: it ran too long")) << out;
    // Each is reported once (the log's line on standard output, its copy on standard error): the
    // failed system stops.
    EXPECT_EQ(2, halverntest::count(out, "Particle error: fx/broken"));
    EXPECT_EQ(2, halverntest::count(out, "Particle error: fx/endless"));
}
