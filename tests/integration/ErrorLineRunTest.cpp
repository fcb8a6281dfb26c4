// An author's run-time mistakes are printed once each as "file:line: what" on standard error and in
// the debug log, the lines (a traceback's too) counted in the module file.
#include "tests/integration/HalvernRun.h"

const char* const kRoom = R"(<module name="room"/>
<objs><obj name="root">
  <spr name="door" res="assets/room/doorx"/>
  <obj name="clicker" event_mdown="open_dor" inputrect_init="1" inputrect_w="1024" inputrect_h="768"/>
</obj></objs>
<trigs>
  <trig name="broken">
    <code>
      local a = 1
      ShowBlackBarTxt(a)
    </code>
  </trig>
</trigs>
<code>
  ObjAttach("door", "ne_origin") ObjAttach("clicker", "ne_origin")
  ModLoad("assets/room/nothere")
  TimerStart("t1", "late", 0.05) TimerStart("t2", "broken", 0.05)
  SndPlay("assets/room/creak", "sfx", "0")
</code>)";

TEST(ErrorLineRun, AnAuthorsMistakesNameTheirModuleFileAndLine) {
    halverntest::TempDir game;
    game.write("assets/room/room.xml", kRoom);
    game.write("input.txt", "10 4 0 512 384\n12 1 1 512 384\n13 3 1 512 384\n");
    const std::string command = "'" + std::string(HALVERN_EXE) +
                                "' --headless --fixed-step --frames 30 --game-dir " + game.path +
                                " --user-dir " + game.file("user") + " --module assets/room/room --input " +
                                game.file("input.txt") + " 2>" + game.file("err.txt") + " >/dev/null";
    ASSERT_EQ(0, std::system(command.c_str()));
    const std::string expected =
        R"(assets/room/room.xml:3: object "door" (module assets/room/room): image "assets/room/doorx" not found
assets/room/room.xml:16: ModLoad("assets/room/nothere"): there is no module file "assets/room/nothere.xml"
assets/room/room.xml:18: SndPlay: sound "assets/room/creak" not found
assets/room/room.xml:17: timer "t1" calls "late": no trigger "late" is registered
assets/room/room.xml:10: Trigger error: broken attempt to call global 'ShowBlackBarTxt' (a nil value)
stack traceback:
	assets/room/room.xml:10: in main chunk
assets/room/room.xml:4: object "clicker" (module assets/room/room) event_mdown calls "open_dor": no trigger "open_dor" is registered
)";
    EXPECT_EQ(expected, game.read("err.txt"));
    const std::string log = game.read("user/debug.log");
    for (size_t from = 0, to; (to = expected.find('\n', from)) != std::string::npos; from = to + 1)
        EXPECT_NE(std::string::npos, log.find(expected.substr(from, to - from))) << log;
}
