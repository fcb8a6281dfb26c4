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

// The bundled game's assets, which hold everything the program needs, with one fault of each kind:
// a fixed cursor taken away, broken files beside the others, a faulty menu module in place of the
// bundled one.
void writeFaultyGame(const TempDir& game) {
    ASSERT_EQ(
        std::system(("cp -R '" + std::string(HALVERN_SOURCE_DIR) + "/assets' '" + game.path + "/'").c_str()),
        0);
    ASSERT_EQ(std::remove(game.file("assets/cursors/cursor_up.png").c_str()), 0);
    game.write("assets/fonts/f.ttf", "");
    // The planted German table stands for the languages; a bold face with ASCII only lacks its letters.
    ASSERT_EQ(std::remove(game.file("assets/strings_ru.xml").c_str()), 0);
    ASSERT_EQ(std::system(("cp '" + std::string(HALVERN_TEST_DATA) + "/fonts/latin_bold.ttf' '" +
                           game.file("assets/fonts/") + "'")
                              .c_str()),
              0);
    game.write("assets/images/ok.png", "");
    // PNG headers alone: one claims more pixels than the budget, one more than its bytes can hold.
    const std::string png("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    game.write("assets/images/huge.png", png + std::string("\0\0\x13\x88\0\0\x0f\xa0\x08\x06\0\0\0", 13));
    game.write("assets/images/cut.png", png + std::string("\0\0\x0f\xa0\0\0\x0f\xa0\x08\x06\0\0\0", 13));
    game.write("assets/sounds/ok.ogg", "");
    game.write("assets/check/clip.ogg", "");
    game.write("assets/check/clip.srt", "1\n00:00:01,000 --> 00:00:02,000\nmissing_sub\n\n");
    // Typewriter marks in texts players read are warned of, without failing the check on their own; a
    // guide page with a word wider than its text is a fault.
    game.write("assets/check/guide.xml",
               "<guide><chapter><h2>A</h2><page><ul>\n<li>Wait -- here</li>\n</ul></page>\n<page><ul><li>" +
                   std::string(120, 'W') + "</li></ul></page></chapter></guide>\n");
    std::string strings = game.read("assets/strings.xml");
    // A German table as the English one, four rows at its head too so that rows keep their lines: one
    // key left out, one not in English, a changed escape, Cyrillic in a Latin-only font, and words
    // too long for a button, a maxwidth and (even at its least size) a task list column.
    std::string german = strings;
    german.replace(german.find("<Table>\n") + 8, 0,
                   "<Row><Cell><Data>q</Data></Cell><Cell><Data>„Hallo“</Data></Cell></Row>\n"
                   "<Row><Cell><Data>dup</Data></Cell><Cell><Data>b</Data></Cell></Row>\n"
                   "<Row><Cell><Data>dash</Data></Cell><Cell><Data>a – b</Data></Cell></Row>\n"
                   "<Row><Cell><Data>menu_yess</Data></Cell><Cell><Data>Ja</Data></Cell></Row>\n");
    auto retext = [&german](const std::string& key, const std::string& text) {
        const size_t row = german.find(">" + key + "</Data>");
        const size_t start = german.find("<Data", row + 1), open = german.find('>', start) + 1;
        german.replace(open, german.find('<', open) - open, text);
    };
    retext("menu_new_game", "Spielstandsverwaltungsübersicht");
    retext("menu_continue", "Продолжить");
    retext("menu_options", "Spieleinstellungsmöglichkeiten");
    retext("menu_quit", "Beenden %1%");
    retext("task_shelves_hourglass", "Sanduhrenaufbewahrungsbehälterdeckelschraubenschlüssel");
    const size_t yes = german.find("<Row><Cell><Data ss:Type=\"String\">menu_yes<");
    german.erase(yes, german.find('\n', yes) - yes);
    game.write("assets/strings_de.xml", german);
    game.write(
        "assets/check/lang.xml",
        "<objs><obj name=\"lroot\">\n"
        "  <spr name=\"lbtn\" res=\"assets/menu/btn\" pos_x=\"200\" pos_y=\"100\">\n"
        "    <text name=\"lcap\" res=\"assets/fonts/latin_bold\" text=\"menu_new_game\" "
        "fontsize=\"28\"/>\n"
        "  </spr>\n"
        "  <text name=\"lnote\" res=\"assets/fonts/garapremrpro\" text=\"menu_options\" maxwidth=\"100\"\n"
        "        align=\"0\" pos_x=\"10\" pos_y=\"10\"/>\n"
        "  <text name=\"lwide\" res=\"assets/fonts/garapremrpro\" text=\"menu_new_game_question\" "
        "pos_x=\"1000\"/>\n"
        "</obj></objs>\n");
    strings.replace(strings.find("<Table>\n") + 8, 0,
                    "<Row><Cell><Data ss:Type=\"String\">q</Data></Cell><Cell><Data ss:Type=\"String\">"
                    "&quot;Hi&quot;</Data></Cell></Row>\n"
                    "<Row><Cell><Data>dup</Data></Cell><Cell><Data>a</Data></Cell></Row>\n"
                    "<Row><Cell><Data>dup</Data></Cell><Cell><Data>b</Data></Cell></Row>\n"
                    "<Row><Cell><Data>dash</Data></Cell><Cell><Data>a &#8212; b</Data></Cell></Row>\n");
    game.write("assets/strings.xml", strings);
    game.write(
        "assets/anim/lost.xml",
        "<animation frame_texture=\"lost_ft\">\n<function name=\"DoAnim\"><frame idx=\"0\"/></function>\n"
        "</animation>\n");
    game.write("assets/fx/bad.xml",
               "<!-- Blend: 2 -->\n<particles>\n<emit>\n<spark res=\"assets/images/ok\">\n"
               "<bornpart>DieAfter(1</bornpart>\n</spark>\n</emit>\n</particles>\n");
    game.write("assets/broken.xml", "<obj name=\"a\">\n<spr name=\"b\">\n</obj>\n");
    game.write("assets/check/unclosed.xml", "<objs>\n<obj name=\"a\">\n<spr/>\n</objs>\n<x>\n");
    // Slips an author makes in a module: misspelt attributes and names, and code below its <code> line.
    game.write("assets/check/slips.xml",
               "<objs><obj name=\"root\">\n"                                             // 1
               "  <anim name=\"wheel\" res=\"assets/anim/lost\" animfunc=\"DoAnm\"/>\n"  // 2
               "  <spr name=\"door\" visble=\"0\"\n"                                     // 3
               "       posx=\"4\"/>\n"                                                   // 4
               "</obj></objs><trigs><trig name=\"go\"><code>\n"                          // 5
               "  ShowBlackBarTxt(\"x\", 2); Mine(); local function f() end f()\n"       // 6
               "  level.hoTasks(1); AnmPlay(\"wheel\", \"Spin\", \"\")\n"                // 7
               "</code></trig><trig name=\"bad\"><code>\n"                               // 8
               "  local a = 1\n  if then\n"                                              // 9, 10
               "</code></trig></trigs>\n<code>\nfunction Mine() end\n</code>\n");
    game.write(
        "assets/menu/module.xml",
        "<module name=\"menu\"/>\n"                                                                // 1
        "<objs><obj name=\"root\">\n"                                                              // 2
        "  <spr name=\"s1\" res=\"assets/images/missing\"/>\n"                                     // 3
        "  <anim name=\"a1\" res=\"assets/anim/missing\"/>\n"                                      // 4
        "  <anim name=\"a2\" res=\"assets/anim/lost\"/>\n"                                         // 5
        "  <text name=\"t1\" res=\"assets/fonts/missing\" text=\"menu_new_game\"/>\n"              // 6
        "  <text name=\"t2\" res=\"assets/fonts/f\" text=\"no_such_key\"/>\n"                      // 7
        "  <partsys name=\"p1\" res=\"assets/fx/missing\"/>\n"                                     // 8
        "  <partsys name=\"p2\" res=\"assets/fx/bad\"/>\n"                                         // 9
        "  <video name=\"v1\" res=\"assets/check/missing\"/>\n"                                    // 10
        "  <video name=\"v2\" res=\"assets/check/clip\" endtrig=\"no_video_end\"/>\n"              // 11
        "  <spr name=\"s2\" res=\"assets/images/ok\" event_mdown=\"no_click(1,2)\">\n"             // 12
        "    <animlines><line type=\"8\" endtrig=\"no_line_end\" numpoints=\"1\"/></animlines>\n"  // 13
        "  </spr><spr name=\"s3\" res=\"assets/images/huge\"/><spr name=\"s4\" "
        "res=\"assets/images/cut\"/>\n"                                              // 14
        "  <textedit name=\"e1\" res=\"assets/fonts/f\" trg_enter=\"no_enter\"/>\n"  // 15
        "  <sprx name=\"x1\"/>\n"                                                    // 16
        "</obj></objs>\n"                                                            // 17
        "<trigs>\n"                                                                  // 18
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
        "assets/broken.xml:3: XML is not well-formed: </obj> where <spr> (line 2) should be closed first\n"
        "assets/check/clip.srt:3: string key \"missing_sub\" is not in assets/strings.xml\n"
        "assets/check/guide.xml:2: warning: \"--\" or \" - \" as a dash in a text players read: write an en "
        "dash with spaces (\" \u2013 \")\n"
        "assets/check/guide.xml:4: the page's text overflows its box by 1550 px: a word is wider than the "
        "850 px "
        "the text has beside the page's pictures\n"
        "assets/check/lang.xml:3: text \"menu_new_game\" (de) runs 6 px past the image it is on "
        "(assets/menu/btn, "
        "320 x 64)\n"
        "assets/check/lang.xml:5: text \"menu_options\" (de) overflows its box by 116 px: a word is wider "
        "than its "
        "maxwidth (100)\n"
        "assets/check/lang.xml:7: text \"menu_new_game_question\" (en) runs 160 px off the screen\n"
        "assets/check/lang.xml:7: text \"menu_new_game_question\" (de) runs 160 px off the screen\n"
        "assets/check/slips.xml:2: animation function \"DoAnm\" is not in assets/anim/lost.xml (did you mean "
        "\"DoAnim\"?)\n"
        "assets/check/slips.xml:3: object \"door\": unknown attribute \"visble\" (did you mean "
        "\"visible\"?)\n"
        "assets/check/slips.xml:4: object \"door\": unknown attribute \"posx\" (did you mean \"pos_x\"?)\n"
        "assets/check/slips.xml:6: unknown function \"ShowBlackBarTxt\" (did you mean "
        "\"ShowBlackBarText\"?)\n"
        "assets/check/slips.xml:7: animation function \"Spin\" is not in assets/anim/lost.xml\n"
        "assets/check/slips.xml:10: Lua code does not compile: unexpected symbol near 'then'\n"
        "assets/check/unclosed.xml:4: XML is not well-formed: </objs> where <obj> (line 2) should be closed "
        "first\n"
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
        "assets/menu/module.xml:10: video \"assets/check/missing\" not found (assets/check/missing.ogg)\n"
        "assets/menu/module.xml:11: trigger \"no_video_end\" is not registered by any module loaded with "
        "this one\n"
        "assets/menu/module.xml:12: trigger \"no_click\" is not registered by any module loaded with this "
        "one "
        "(call \"no_click(1,2)\")\n"
        "assets/menu/module.xml:13: trigger \"no_line_end\" is not registered by any module loaded with this "
        "one\n"
        "assets/menu/module.xml:14: image \"assets/images/huge\" (assets/images/huge.png) is 5000 x 4000 "
        "pixels, over the budget of "
        "16777216 pixels (at most 16384 a side); it will not load\n"
        "assets/menu/module.xml:14: image \"assets/images/cut\" (assets/images/cut.png) is too short for "
        "4000 x "
        "4000 pixels; it will not load\n"
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
        "assets/menu/pause/module.xml:12: text \"menu_options\" (de) runs 3 px past the image it is on "
        "(assets/menu/btn, 320 x 64)\n"
        "assets/strings.xml:9: warning: straight double quotes in a text players read: write \u201c and "
        "\u201d\n"
        "assets/strings.xml:10: key \"dup\" is given again further down; the later row's text is used\n"
        "assets/strings.xml:12: \"&#8212;\" is shown as written: only &#10;, &quot; and &#160; are decoded; "
        "write the character itself (\"\u2014\")\n"
        "assets/strings.xml:16: key \"menu_yes\" has no text in assets/strings_de.xml; the English text is "
        "shown\n"
        "assets/strings_de.xml:12: key \"menu_yess\" is not in assets/strings.xml (did you mean "
        "\"menu_yes\"?)\n"
        "assets/strings_de.xml:14: font \"assets/fonts/latin_bold\" (assets/fonts/latin_bold.ttf), "
        "in which "
        "the game shows strings, has no glyph for \"\u00e4\" (U+00E4), \"\u00f6\" (U+00F6), \"\u00fc\" "
        "(U+00FC), "
        "\"\u041f\" (U+041F), \"\u0434\" (U+0434), \"\u0436\" (U+0436), \"\u0438\" (U+0438), \"\u043b\" "
        "(U+043B) "
        "and 4 more that this table's texts use (the first here)\n"
        "assets/strings_de.xml:25: text of \"menu_quit\" has the escapes %1% where the English text has "
        "none\n"
        "assets/strings_de.xml:242: text \"task_shelves_hourglass\" (de) runs 76 px past the 170 px wide box "
        "nG_Task shows it in even at size 12\n";

    EXPECT_EQ(expected, run.output);
}

TEST(ContentCheck, TheBundledGameIsClean) {
    const auto run = check({"--game-dir", HALVERN_SOURCE_DIR});
    EXPECT_EQ(0, run.exitCode);
    EXPECT_EQ("", run.output);
}
