// A game in two languages run headless: "--lang de" shows the German text and, for a key the German
// file lacks, the English one with one line in the log; SetLanguage re-renders what is on screen and the
// choice is kept for the next start; a first start takes the system's language when the game has it.
#include "tests/integration/HalvernRun.h"

using halverntest::pixelAt;
using halverntest::RunResult;
using halverntest::TempDir;

namespace {

std::string table(const std::vector<std::pair<std::string, std::string>>& rows) {
    std::string text = "<?xml version=\"1.0\"?>\n<Workbook><Worksheet><Table>\n";
    for (const auto& row : rows)
        text += "<Row><Cell><Data ss:Type=\"String\">" + row.first +
                "</Data></Cell><Cell><Data ss:Type=\"String\">" + row.second + "</Data></Cell></Row>\n";
    return text + "</Table></Worksheet></Workbook>\n";
}

const char* const kRoom = R"(<module name="room"/>
<objs><obj name="root">
  <text name="greet" res="assets/fonts/serif" text="greet" fontsize="40" pos_x="512" pos_y="200" input="0"/>
  <text name="note" res="assets/fonts/serif" text="note" fontsize="40" pos_x="512" pos_y="500" input="0"/>
  <obj name="clicker" event_mdown="switch" inputrect_init="1" inputrect_w="1024" inputrect_h="768"/>
</obj></objs>
<trigs><trig name="switch"><code>SetLanguage(GetLanguage() == "de" and "en" or "de")</code></trig></trigs>
<code>ObjAttach("greet", "ne_origin") ObjAttach("note", "ne_origin") ObjAttach("clicker", "ne_origin")</code>)";

class LanguageRun : public ::testing::Test {
protected:
    void SetUp() override {
        game.write("assets/strings.xml", table({{"greet", "Good evening"}, {"note", "Only in English"}}));
        game.write("assets/strings_de.xml", table({{"greet", "Guten Abend"}}));
        game.write("assets/room/room.xml", kRoom);
        std::system(("mkdir -p '" + game.file("assets/fonts") + "' && ln -s '" +
                     std::string(HALVERN_SOURCE_DIR) + "/assets/fonts/garapremrpro.ttf' '" +
                     game.file("assets/fonts/serif.ttf") + "'")
                        .c_str());
        game.write("click.txt", "10 1 1 512 384\n11 3 1 512 384\n");
    }

    // A run of 20 ticks in `user` ("" for a fresh one), with extra options; its screenshot is `shot`.
    RunResult run(const std::string& shot, std::vector<std::string> extra, const std::string& locale = "C",
                  const std::string& user = "user") {
        std::vector<std::string> args = {"--headless", "--fixed-step",     "--frames",     "20",
                                         "--game-dir", game.path,          "--user-dir",   game.file(user),
                                         "--module",   "assets/room/room", "--screenshot", game.file(shot)};
        args.insert(args.end(), extra.begin(), extra.end());
        return halverntest::runHalvern(args, locale);
    }

    // How many pixels differ between two screenshots inside the rows [y0, y1).
    int differing(const std::string& a, const std::string& b, int y0, int y1) {
        auto first = pf::TTexture::Get(game.file(a)), second = pf::TTexture::Get(game.file(b));
        if (!first || !second) return -1;
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < 1024; x += 2) {
                const auto p = pixelAt(first, x, y), q = pixelAt(second, x, y);
                n += p.r != q.r || p.g != q.g || p.b != q.b;
            }
        return n;
    }

    std::string settingsOf(const std::string& user) { return game.read(user + "/settings.xml"); }

    TempDir game;
};

}  // namespace

TEST_F(LanguageRun, AMissingKeyFallsBackToEnglishAndASwitchRendersAgainAndIsKept) {
    const RunResult english = run("en.png", {}, "C", "u_en");
    ASSERT_EQ(english.exitCode, 0) << english.output;
    EXPECT_NE(settingsOf("u_en").find("language=\"en\""), std::string::npos) << settingsOf("u_en");

    const RunResult german = run("de.png", {"--lang", "de"});
    ASSERT_EQ(german.exitCode, 0) << german.output;
    EXPECT_GT(differing("en.png", "de.png", 170, 230), 100) << "the greeting is German";
    EXPECT_EQ(differing("en.png", "de.png", 470, 530), 0) << "the missing key shows the English text";
    EXPECT_EQ(halverntest::count(german.output, "lacks the key \"note\""), 1) << german.output;
    EXPECT_NE(german.output.find("\"assets/strings_de.xml\" lacks the key \"note\""), std::string::npos);
    EXPECT_EQ(german.output.find("greet\""), std::string::npos) << "only the missing key is reported";
    EXPECT_NE(settingsOf("user").find("language=\"en\""), std::string::npos) << "--lang is not kept";

    // A click switches the English game to German while it runs; the next start is German.
    const RunResult switched = run("switched.png", {"--input", game.file("click.txt")}, "C", "u_en");
    ASSERT_EQ(switched.exitCode, 0) << switched.output;
    EXPECT_EQ(differing("de.png", "switched.png", 0, 768), 0);
    EXPECT_NE(settingsOf("u_en").find("language=\"de\""), std::string::npos) << settingsOf("u_en");
    ASSERT_EQ(run("kept.png", {}, "C", "u_en").exitCode, 0);
    EXPECT_EQ(differing("de.png", "kept.png", 0, 768), 0);

    const RunResult unknown = run("xx.png", {"--lang", "xx"}, "C", "u_xx");
    EXPECT_NE(unknown.output.find("--lang xx: the game has no such language; it runs in English"),
              std::string::npos)
        << unknown.output;
    EXPECT_EQ(differing("en.png", "xx.png", 0, 768), 0);
}

TEST_F(LanguageRun, AFirstStartSpeaksTheSystemsLanguageWhenTheGameHasIt) {
    ASSERT_EQ(run("a.png", {}, "ru_RU.UTF-8", "u_a").exitCode, 0);
    EXPECT_NE(settingsOf("u_a").find("language=\"en\""), std::string::npos) << settingsOf("u_a");
    game.write("assets/strings_ru.xml", table({{"greet", "Добрый вечер"}, {"note", "Только по-английски"}}));
    ASSERT_EQ(run("b.png", {}, "ru_RU.UTF-8", "u_b").exitCode, 0);
    EXPECT_NE(settingsOf("u_b").find("language=\"ru\""), std::string::npos) << settingsOf("u_b");
    // The choice once made stays, whatever the system says later.
    ASSERT_EQ(run("c.png", {}, "de_DE.UTF-8", "u_b").exitCode, 0);
    EXPECT_NE(settingsOf("u_b").find("language=\"ru\""), std::string::npos);
    EXPECT_EQ(differing("b.png", "c.png", 0, 768), 0);
}
