// A module previewed with --module that picks a player and continues their game, over several runs of the
// program on one user folder: the saved game comes back whole, and the preview's code runs once a run.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/integration/HalvernRun.h"

using halverntest::count;
using halverntest::runHalvern;
using halverntest::TempDir;

namespace {

const char* const kPreview = R"xml(<module name="preview"/>
<code>if GetNumProfiles() == 0 then AddProfile("Ann") end; SetCurrentProfile("Ann");
  DbgTrace("preview code ran"); SwitchToGame(0, "assets/t/level", "ng_startlevel(1)")</code>)xml";

// A room and a timer that starts itself again each time it fires.
const char* const kLevel = R"xml(<module name="level"/>
<objs><obj name="level_root"><obj name="objects_hub"/><obj name="inventory_hub"/><room name="room_t"/></obj></objs>
<trigs>
  <trig name="ng_startlevel"><code>ObjAttach("room_t", "ng_rooms_hub"); SwitchRoom("room_t", 0);
    TimerStart("t_tick", "t_fire", 0.8); DbgTrace("level started")</code></trig>
  <trig name="t_fire"><code>DbgTrace("timer fired"); TimerStart("t_tick", "t_fire", 0.8)</code></trig>
</trigs>)xml";

}  // namespace

TEST(PreviewContinueRun, APreviewThatContinuesAGameRestoresItOnceWithItsTimers) {
    TempDir game, user;
    game.write("assets/preview.xml", kPreview);
    game.write("assets/t/level.xml", kLevel);
    const std::string source = HALVERN_SOURCE_DIR;
    for (const char* shared : {"fonts", "interface", "cursors", "strings.xml"})
        std::system(
            ("ln -s '" + source + "/assets/" + shared + "' '" + game.file("assets/") + shared + "'").c_str());
    auto run = [&] {
        return runHalvern({"--headless", "--fixed-step", "--frames", "30", "--game-dir", game.path,
                           "--user-dir", user.path, "--module", "assets/preview"});
    };

    // No save yet: the level starts afresh, and its save leaves the preview out.
    auto first = run();
    ASSERT_EQ(first.exitCode, 0) << first.output;
    EXPECT_EQ(count(first.output, "level started"), 1) << first.output;
    const std::string saved = user.read("p_Ann.xml");
    ASSERT_NE(saved.find("<module name=\"assets/t/level\"/>"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("assets/preview"), std::string::npos) << saved;

    // Continued: the preview's code once, the timer carried on from where it was (0.5 s of 0.8).
    auto second = run();
    ASSERT_EQ(second.exitCode, 0) << second.output;
    EXPECT_EQ(count(second.output, "preview code ran"), 1) << second.output;
    EXPECT_EQ(count(second.output, "timer fired"), 1) << second.output;

    // A save that lists the preview among its modules (as runs used to write): the restore runs the
    // preview's code, which selects the player again (reading their profile anew) and asks for another
    // start; the restore goes on from its own copy and the game is not restarted at every frame.
    std::string xml = user.read("p_Ann.xml");
    xml = xml.substr(xml.find('\n') + 1);
    const std::string modules = "<used_modules>";
    xml.insert(xml.find(modules) + modules.size(), "<module name=\"assets/preview\"/>");
    int sum = 0;
    for (unsigned char c : xml) sum += c;
    user.write("p_Ann.xml", "<!--" + std::to_string(sum) + "-->\n" + xml);
    auto third = run();
    ASSERT_EQ(third.exitCode, 0) << third.output;
    EXPECT_EQ(count(third.output, "preview code ran"), 2) << third.output;
    EXPECT_EQ(count(third.output, "while save slot 0 was restored is ignored"), 1) << third.output;
    EXPECT_EQ(third.output.find("AddressSanitizer"), std::string::npos) << third.output;
}
