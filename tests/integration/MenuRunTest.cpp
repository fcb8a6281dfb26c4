// The bundled menu driven through recorded input: the intro after the logo, skipped by a click or
// Escape and shown only on the program's first menu; a player typed in, volumes changed, kept across a
// restart; the guide's Back staying on its contents and Escape closing it; and reference screenshots of
// the logo, the intro, the menu, the options, the guide and the pause, compared with a tolerance so that
// a change to any of them is seen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "tests/integration/HalvernRun.h"
#include "tests/integration/Walk.h"

using halverntest::click;
using halverntest::expectLooksLike;
using halverntest::keys;
using halverntest::move;
using halverntest::runHalvern;
using halverntest::TempDir;

namespace {

const std::string kGame = HALVERN_SOURCE_DIR;

// Input lines: a click at (x, y) on the given tick.
std::string escape(int tick) {
    return std::to_string(tick) + " 7 27 0 0\n" + std::to_string(tick + 1) + " 8 27 0 0\n";
}
// A press at one point, moves, and the release at another.
std::string drag(int tick, int x0, int x1, int y) {
    std::string lines = std::to_string(tick) + " 4 0 " + std::to_string(x0) + " " + std::to_string(y) + "\n";
    lines += std::to_string(tick + 1) + " 1 0 " + std::to_string(x0) + " " + std::to_string(y) + "\n";
    for (int i = 1; i <= 4; ++i)
        lines += std::to_string(tick + 1 + i * 2) + " 4 0 " + std::to_string(x0 + (x1 - x0) * i / 4) + " " +
                 std::to_string(y) + "\n";
    lines += std::to_string(tick + 11) + " 3 0 " + std::to_string(x1) + " " + std::to_string(y) + "\n";
    return lines;
}

// Where the menu's parts are (canvas units; the headless window is 1024 x 768).
const int kSkipLogo[] = {512, 600};
const int kSkipIntro[] = {700, 300};
const int kNewGameButton[] = {250, 336};
const int kPlayersButton[] = {250, 472};
const int kOptionsButton[] = {250, 540};
const int kGuideButton[] = {250, 608};
const int kGuideBack[] = {96, 700};
const int kPlayersDone[] = {703, 436};
const int kOptionsDone[] = {512, 556};
const int kEffectsTrackY = 264, kAmbienceY = 304, kTrackLeft = 460;

halverntest::RunResult runMenu(const TempDir& user, const std::string& input, int frames,
                               const std::string& screenshot = "", const std::string& lang = "") {
    std::vector<std::string> args = {"--headless", "--fixed-step", "--frames",   std::to_string(frames),
                                     "--game-dir", kGame,          "--user-dir", user.path};
    if (!lang.empty()) args.insert(args.end(), {"--lang", lang});
    if (!input.empty()) {
        user.write("input.txt", input);
        args.push_back("--input");
        args.push_back(user.file("input.txt"));
    }
    if (!screenshot.empty()) {
        args.push_back("--screenshot");
        args.push_back(screenshot);
    }
    return runHalvern(args);
}

}  // namespace

TEST(MenuRun, APlayerTypedInAndVolumesSetSurviveARestart) {
    TempDir user;
    std::string input = click(20, kSkipLogo[0], kSkipLogo[1]) + escape(40);
    input += click(100, kPlayersButton[0], kPlayersButton[1]);
    input += keys(120, "Wren7 !");
    input += "140 7 13 0 0\n";  // Enter creates the player
    input += click(150, kPlayersDone[0], kPlayersDone[1]);
    input += click(170, kOptionsButton[0], kOptionsButton[1]);
    input += click(190, kTrackLeft + 75, kEffectsTrackY);                // effects to a quarter
    input += drag(210, kTrackLeft + 225, kTrackLeft + 150, kAmbienceY);  // ambience dragged to a half
    input += click(240, kOptionsDone[0], kOptionsDone[1]);
    const auto first = runMenu(user, input, 270);
    ASSERT_EQ(first.exitCode, 0) << first.output;
    const std::string settings = user.read("settings.xml");
    EXPECT_NE(settings.find("<profiles current=\"Wren7\">"), std::string::npos) << settings;
    EXPECT_NE(settings.find("sfx_volume=\"0.25\""), std::string::npos) << settings;
    EXPECT_NE(settings.find("env_volume=\"0.5\""), std::string::npos) << settings;
    const std::string profile = user.read("p_Wren7.xml");
    EXPECT_EQ(profile.rfind("<!--", 0), 0u) << "the player's file was written";
    EXPECT_NE(profile.find("<profile game_mode=\"0\" guide_page=\"-1\">"), std::string::npos);

    // A new run reads both back and writes them unchanged when it ends.
    const auto second = runMenu(user, click(20, kSkipLogo[0], kSkipLogo[1]), 60);
    ASSERT_EQ(second.exitCode, 0) << second.output;
    EXPECT_EQ(user.read("settings.xml"), settings);
    EXPECT_EQ(user.read("p_Wren7.xml"), profile);
    EXPECT_EQ(second.output.find("Trigger error"), std::string::npos) << second.output;
    EXPECT_EQ(first.output.find("Trigger error"), std::string::npos) << first.output;
    EXPECT_EQ(first.output.find("Could not find"), std::string::npos) << first.output;
}

TEST(MenuRun, NewGameStartsTheLevelAndQuitEndsTheProgram) {
    TempDir user;
    std::string input = click(20, kSkipLogo[0], kSkipLogo[1]) + escape(40);
    input += click(100, kNewGameButton[0], kNewGameButton[1]);  // without a player: the players panel
    input += keys(120, "Ada");
    input += "130 7 13 0 0\n";
    input += click(140, kPlayersDone[0], kPlayersDone[1]);
    input += click(160, kNewGameButton[0], kNewGameButton[1]);  // the menu fades out, the level starts
    input += click(280, 44, 752);                               // the game's menu button
    input += click(330, 250, 676);                              // quit
    const auto run = runMenu(user, input, 480);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string profile = user.read("p_Ada.xml");
    EXPECT_NE(profile.find("<save_0>"), std::string::npos) << "leaving the game saved it";
    EXPECT_NE(profile.find("<current_room><room name=\"room_gate\""), std::string::npos) << "at the gate";
    EXPECT_EQ(run.output.find("Trigger error"), std::string::npos) << run.output;
}

TEST(MenuRun, TheScreensLookAsTheyShould) {
    TempDir user;
    struct Shot {
        const char* name;
        std::string input;
        int frames;
        std::string lang = {};
    };
    // The logo leaves by itself after 3.3 s (tick 198); Escape skips the intro that follows.
    const Shot shots[] = {
        {"logo", "", 100},
        {"intro", click(20, kSkipLogo[0], kSkipLogo[1]), 200},
        {"menu", escape(210), 300},
        {"options", escape(210) + click(250, kOptionsButton[0], kOptionsButton[1]), 300},
        {"guide",
         escape(210) + click(250, kGuideButton[0], kGuideButton[1]) + click(320, 512, 250) +
             "380 4 0 300 600\n",
         420},
        {"pause", escape(210) + "260 12 0 0 0\n", 310},
        // The menu and the options in the other languages, captions in their boxes.
        {"menu_de", escape(210), 300, "de"},
        {"options_de", escape(210) + click(250, kOptionsButton[0], kOptionsButton[1]), 300, "de"},
        {"menu_ru", escape(210), 300, "ru"},
        {"options_ru", escape(210) + click(250, kOptionsButton[0], kOptionsButton[1]), 300, "ru"},
    };
    for (const Shot& shot : shots) {
        const std::string file = user.file(std::string(shot.name) + ".png");
        const auto run = runMenu(user, shot.input, shot.frames, file, shot.lang);
        ASSERT_EQ(run.exitCode, 0) << run.output;
        expectLooksLike(file, shot.name);
    }
}

// How many pixels of two screenshots differ, both looked at as the reference comparison does.
int differingShots(const TempDir& user, const std::string& a, const std::string& b) {
    auto first = pf::TTexture::Get(user.file(a)), second = pf::TTexture::Get(user.file(b));
    if (!first || !second) return -1;
    int w = 0, h = 0;
    const std::vector<uint8_t> small = halverntest::reduced(first, w, h);
    if (!pf::TTexture::WritePng(user.file("small_" + a), small.data(), w, h)) return -1;
    return halverntest::differingPixels(halverntest::reduced(second, w, h), w, h,
                                        pf::TTexture::Get(user.file("small_" + a)));
}

TEST(MenuRun, BackOnTheGuidesContentsStaysAndEscapeClosesTheGuide) {
    TempDir user;
    const std::string guide = escape(210) + click(250, kGuideButton[0], kGuideButton[1]);
    const std::string rest = move(340, 700, 300);  // the pointer away from every button
    const struct {
        const char* shot;
        std::string input;
    } runs[] = {
        {"contents.png", guide + rest},
        {"back.png", guide + click(300, kGuideBack[0], kGuideBack[1]) + rest},
        {"closed.png", guide + escape(300) + rest},
        {"menu.png", escape(210) + rest},
    };
    for (const auto& r : runs) {
        const auto run = runMenu(user, r.input, 400, user.file(r.shot));
        ASSERT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(run.output.find("Trigger error"), std::string::npos) << run.output;
    }
    const int allowed = halverntest::allowedDifferingPixels(256, 192);
    EXPECT_LE(differingShots(user, "contents.png", "back.png"), allowed) << "Back leaves the contents shown";
    EXPECT_GT(differingShots(user, "contents.png", "menu.png"), allowed);
    EXPECT_LE(differingShots(user, "menu.png", "closed.png"), allowed) << "Escape closed the guide";
}

TEST(MenuRun, TheIntroFollowsTheLogoOnceAndAClickSkipsIt) {
    TempDir user;
    // A click anywhere on the intro brings the menu.
    const std::string skipped = user.file("skipped.png");
    auto run = runMenu(user, click(20, kSkipLogo[0], kSkipLogo[1]) + click(100, kSkipIntro[0], kSkipIntro[1]),
                       160, skipped);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output.find("Could not find"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("Trigger error"), std::string::npos) << run.output;
    expectLooksLike(skipped, "menu");

    // Back from a game the menu comes at once, without the intro: a new game and the way back.
    std::string input = click(20, kSkipLogo[0], kSkipLogo[1]) + click(100, kSkipIntro[0], kSkipIntro[1]);
    input += click(160, kNewGameButton[0], kNewGameButton[1]);
    input += keys(180, "Ada");
    input += "190 7 13 0 0\n";
    input += click(200, kPlayersDone[0], kPlayersDone[1]);
    input += click(220, kNewGameButton[0], kNewGameButton[1]);
    input += click(340, 44, 752);  // the game's menu button
    const std::string back = user.file("back.png");
    run = runMenu(user, input, 380, back);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    auto image = pf::TTexture::Get(back);
    ASSERT_TRUE(image);
    // The quit button's wood, where the intro would still be fading in from black.
    const auto wood = halverntest::pixelAt(image, 180, 680);
    EXPECT_GT(wood.r, 60) << "the menu, not the intro, after the game";
    EXPECT_EQ(run.output.find("Trigger error"), std::string::npos) << run.output;

    // Without the video file the menu still comes, half a second after the logo (skipped by Escape).
    TempDir game, fresh;
    std::filesystem::create_directory(game.file("assets"));
    for (const auto& entry : std::filesystem::directory_iterator(kGame + "/assets"))
        if (entry.path().filename() != "video")
            std::filesystem::create_symlink(entry.path(),
                                            game.file("assets/") + entry.path().filename().string());
    fresh.write("input.txt", escape(10));
    const std::string missing = fresh.file("missing.png");
    run = runHalvern({"--headless", "--fixed-step", "--frames", "90", "--game-dir", game.path, "--user-dir",
                      fresh.path, "--input", fresh.file("input.txt"), "--screenshot", missing});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("nE_Video::Could not find \"assets/video/intro\" ogg file!"), std::string::npos)
        << run.output;
    expectLooksLike(missing, "menu");
}
