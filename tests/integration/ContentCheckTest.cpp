// halvern --check over a small game folder with one fault of each kind (each reported once, with its
// file and line), and over the bundled game, which must check clean.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/integration/HalvernRun.h"

using halverntest::runHalvern;
using halverntest::TempDir;

namespace {

// Standard output only: the count goes to standard error.
halverntest::RunResult check(const std::vector<std::string>& args) {
    std::vector<std::string> all = {"--check"};
    all.insert(all.end(), args.begin(), args.end());
    std::string command = "'" + std::string(HALVERN_EXE) + "'";
    for (const std::string& a : all) command += " '" + a + "'";
    command += " 2>/dev/null";
    halverntest::RunResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string row(const std::string& key, const std::string& text) {
    return "<Row><Cell><Data ss:Type=\"String\">" + key + "</Data></Cell><Cell><Data ss:Type=\"String\">" +
           text + "</Data></Cell></Row>\n";
}

// Everything the program needs, present (empty files do for images: the check looks for files), and
// one fault of each kind.
void writeFaultyGame(const TempDir& game) {
    game.write("assets/strings.xml", "<Workbook><Table>\n" + row("window_title_ce", "Test") +
                                         row("greeting", "Hello") + "</Table></Workbook>\n");
    game.write("assets/publisher_settings.xml", "<publisher url=\"https://example.org\"/>\n");
    for (const char* cursor : {"cursor", "cursor_magglass", "cursor_get", "cursor_hand", "cursor_use",
                               "cursor_down", "cursor_left", "cursor_right"})
        game.write(std::string("assets/cursors/") + cursor + ".png", "");
    game.write("assets/interface/main/black.png", "");
    game.write("assets/interface/main/paused.png", "");
    game.write("assets/fonts/f.ttf", "");
    game.write("assets/images/ok.png", "");
    game.write("assets/sounds/ok.ogg", "");
    game.write("assets/video/clip.ogg", "");
    game.write("assets/video/clip.srt", "1\n00:00:01,000 --> 00:00:02,000\nmissing_sub\n\n");
    game.write(
        "assets/anim/lost.xml",
        "<animation frame_texture=\"lost_ft\">\n<function name=\"DoAnim\"><frame idx=\"0\"/></function>\n"
        "</animation>\n");
    game.write("assets/fx/bad.xml",
               "<!-- Blend: 2 -->\n<particles>\n<emit>\n<spark res=\"assets/images/ok\">\n"
               "<bornpart>DieAfter(1</bornpart>\n</spark>\n</emit>\n</particles>\n");
    game.write("assets/broken.xml", "<obj name=\"a\">\n<spr name=\"b\">\n</obj>\n");
    game.write(
        "assets/levels/level/level.xml",
        "<trigs><trig name=\"ng_function\"/><trig name=\"ng_startlevel\"/><trig name=\"ng_lostfocus\"/>"
        "<trig name=\"ng_close\"/><trig name=\"ng_toggle_fullscreen\"/></trigs>\n");
    game.write(
        "assets/menu/module.xml",
        "<module name=\"menu\"/>\n"                                                                // 1
        "<objs><obj name=\"root\">\n"                                                              // 2
        "  <spr name=\"s1\" res=\"assets/images/missing\"/>\n"                                     // 3
        "  <anim name=\"a1\" res=\"assets/anim/missing\"/>\n"                                      // 4
        "  <anim name=\"a2\" res=\"assets/anim/lost\"/>\n"                                         // 5
        "  <text name=\"t1\" res=\"assets/fonts/missing\" text=\"greeting\"/>\n"                   // 6
        "  <text name=\"t2\" res=\"assets/fonts/f\" text=\"no_such_key\"/>\n"                      // 7
        "  <partsys name=\"p1\" res=\"assets/fx/missing\"/>\n"                                     // 8
        "  <partsys name=\"p2\" res=\"assets/fx/bad\"/>\n"                                         // 9
        "  <video name=\"v1\" res=\"assets/video/missing\"/>\n"                                    // 10
        "  <video name=\"v2\" res=\"assets/video/clip\" endtrig=\"no_video_end\"/>\n"              // 11
        "  <spr name=\"s2\" res=\"assets/images/ok\" event_mdown=\"no_click(1,2)\">\n"             // 12
        "    <animlines><line type=\"8\" endtrig=\"no_line_end\" numpoints=\"1\"/></animlines>\n"  // 13
        "  </spr>\n"                                                                               // 14
        "  <textedit name=\"e1\" res=\"assets/fonts/f\" trg_enter=\"no_enter\"/>\n"                // 15
        "  <sprx name=\"x1\"/>\n"                                                                  // 16
        "</obj></objs>\n"                                                                          // 17
        "<trigs>\n"                                                                                // 18
        "  <trig name=\"ng_startlogo\"><code>SndPlay(\"assets/sounds/missing\", \"sfx\", 0, 0, \"\")\n"
        "    ModLoad(\"assets/missing_module\"); TimerStart(\"t\", \"no_timer_trigger\", 1);"
        " TrgExecute(\"no_executed\")</code></trig>\n"           // 20
        "  <trig name=\"broken\"><code>if then</code></trig>\n"  // 21
        "  <trig name=\"ng_lostfocus\"/><trig name=\"ng_close\"/><trig name=\"ng_toggle_fullscreen\"/>\n"
        "</trigs>\n"                      // 23
        "<code>local x = = 1</code>\n");  // 24
}

}  // namespace

TEST(ContentCheck, ReportsEachFaultOnceWithFileAndLine) {
    TempDir game;
    writeFaultyGame(game);
    const auto run = check({"--game-dir", game.path});
    EXPECT_EQ(1, run.exitCode);
    const std::string expected =
        "assets/anim/lost.xml:1: frame texture \"assets/anim/lost_ft\" not found (assets/anim/lost_ft.xml)\n"
        "assets/broken.xml:2: XML is not well-formed: mismatched element (XMLElement name=spr)\n"
        "assets/cursors/cursor_up.png: not found; nG_Screen needs this cursor\n"
        "assets/fx/bad.xml:5: Lua code does not compile: ')' expected near '<eof>'\n"
        "assets/menu/module.xml: trigger \"ng_startmenu\" is not registered; nG_Menu calls it while the menu "
        "runs\n"
        "assets/menu/module.xml:3: image \"assets/images/missing\" not found (assets/images/missing.png or "
        ".jpg)\n"
        "assets/menu/module.xml:4: animation \"assets/anim/missing\" not found (assets/anim/missing.xml)\n"
        "assets/menu/module.xml:6: font \"assets/fonts/missing\" not found (assets/fonts/missing.ttf)\n"
        "assets/menu/module.xml:7: string key \"no_such_key\" is not in assets/strings.xml\n"
        "assets/menu/module.xml:8: particle file \"assets/fx/missing\" not found (assets/fx/missing.xml)\n"
        "assets/menu/module.xml:10: video \"assets/video/missing\" not found (assets/video/missing.ogg)\n"
        "assets/menu/module.xml:11: trigger \"no_video_end\" is not registered by any module loaded with "
        "this one\n"
        "assets/menu/module.xml:12: trigger \"no_click\" is not registered by any module loaded with this "
        "one "
        "(call \"no_click(1,2)\")\n"
        "assets/menu/module.xml:13: trigger \"no_line_end\" is not registered by any module loaded with this "
        "one\n"
        "assets/menu/module.xml:15: trigger \"no_enter\" is not registered by any module loaded with this "
        "one\n"
        "assets/menu/module.xml:16: <sprx> is no object type; it is skipped with everything inside it\n"
        "assets/menu/module.xml:19: sound \"assets/sounds/missing\" not found (assets/sounds/missing.ogg)\n"
        "assets/menu/module.xml:20: module \"assets/missing_module\" not found (assets/missing_module.xml)\n"
        "assets/menu/module.xml:20: trigger \"no_timer_trigger\" is not registered by any module loaded with "
        "this "
        "one\n"
        "assets/menu/module.xml:20: trigger \"no_executed\" is not registered by any module loaded with this "
        "one\n"
        "assets/menu/module.xml:21: Lua code does not compile: unexpected symbol near 'then'\n"
        "assets/menu/module.xml:24: Lua code does not compile: unexpected symbol near '='\n"
        "assets/video/clip.srt:3: string key \"missing_sub\" is not in assets/strings.xml\n";
    EXPECT_EQ(expected, run.output);
}

TEST(ContentCheck, TheBundledGameIsClean) {
    const auto run = check({"--game-dir", HALVERN_SOURCE_DIR});
    EXPECT_EQ(0, run.exitCode);
    EXPECT_EQ("", run.output);
}
