// Sounds in a whole headless run (SDL's dummy audio driver): a module starts a short sound whose end
// trigger runs once, a missing sound is reported, and a looped sound still playing at the end of the
// run is stopped by the shut-down without a crash.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/integration/HalvernRun.h"

using halverntest::count;
using halverntest::runHalvern;
using halverntest::TempDir;

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(SoundRun, AModuleSoundFiresItsEndTriggerOnceAndShutDownStopsTheRest) {
    TempDir game, user;
    const std::string sounds = std::string(HALVERN_TEST_DATA) + "/sounds/";
    game.write("sounds/beep.ogg", readFile(sounds + "beep.ogg"));
    game.write("sounds/long.ogg", readFile(sounds + "long.ogg"));
    game.write("scene.xml", R"(<?xml version="1.0"?>
<module name="sound_run"/>
<trigs>
    <trig name="beeped"><code>DbgTrace('beeped by ' .. ne_params.sender)</code></trig>
</trigs>
<code>
    SndPlay('sounds/beep', 'sfx', '0', 0, 'beeped')
    SndPlay('sounds/long', 'music', '1', 0, 'beeped', 0.5)
    SndPlay('sounds/missing', 'sfx', '0', 0, 'beeped')
</code>
)");
    // About a second of real time: the tenth-of-a-second beep ends well inside it.
    const auto run = runHalvern({"--headless", "--frames", "60", "--game-dir", game.path, "--user-dir",
                                 user.path, "--module", "scene"});
    ASSERT_EQ(0, run.exitCode) << run.output;
    EXPECT_EQ(1, count(run.output, "beeped by nE_Sound")) << run.output;
    EXPECT_EQ(1, count(run.output, "nE_SoundHub::Could not find \"sounds/missing\" file!")) << run.output;
}
