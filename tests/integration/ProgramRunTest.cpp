// Whole runs of the program: start-up, the tick loop, shut-down, screenshots and bad content.
#include <gtest/gtest.h>

#include "tests/integration/HalvernRun.h"

using halverntest::pixelAt;
using halverntest::runHalvern;
using halverntest::TempDir;

TEST(ProgramRun, AnEmptyGameFolderRunsToANormalShutDownAndABlackFrame) {
    TempDir game, user;
    const std::string shot = user.file("shot.png");
    const auto run = runHalvern({"--headless", "--frames", "60", "--fixed-step", "--screenshot", shot,
                                 "--game-dir", game.path, "--user-dir", user.path});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    auto image = pf::TTexture::Get(shot);
    ASSERT_TRUE(image) << "no screenshot written";
    EXPECT_EQ(image->GetWidth(), 1024);
    EXPECT_EQ(image->GetHeight(), 768);
    for (int y = 0; y < 768; y += 97)
        for (int x = 0; x < 1024; x += 101) {
            const auto p = pixelAt(image, x, y);
            ASSERT_EQ(p.r + p.g + p.b, 0) << "at " << x << "," << y;
            ASSERT_EQ(p.a, 255);
        }
}

TEST(ProgramRun, DebugLinesReachStandardOutputAndThePlatformLog) {
    TempDir game, user;
    game.write("assets/strings.xml",
               "<Workbook><Table><Row><Cell><Data>window_title_ce</Data></Cell>"
               "<Cell><Data>50% off</Data></Cell></Row></Table></Workbook>");
    const auto run = runHalvern(
        {"--headless", "--frames", "2", "--fixed-step", "--game-dir", game.path, "--user-dir", user.path});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string line = "Non-matched percent escape found in string window_title_ce, '50% off'";
    EXPECT_NE(run.output.find(line + "\n"), std::string::npos) << run.output;
    EXPECT_NE(user.read("debug.log").find(line), std::string::npos);
}

TEST(ProgramRun, HelpListsEveryOption) {
    const auto run = runHalvern({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    for (const char* option :
         {"-e", "--headless", "--frames", "--fixed-step", "--screenshot", "--screenshot-at", "--input",
          "--game-dir", "--user-dir", "--module", "--display", "--help"})
        EXPECT_NE(run.output.find(option), std::string::npos) << option;
}

TEST(ProgramRun, BadOptionsAreRefusedWithTheUsage) {
    EXPECT_EQ(runHalvern({"--frames", "ten"}).exitCode, 2);
    EXPECT_EQ(runHalvern({"--frames"}).exitCode, 2);
    const auto run = runHalvern({"--no-such-option"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.output.find("Usage"), std::string::npos);
    EXPECT_EQ(runHalvern({"--game-dir", "/nonexistent/halvern"}).exitCode, 2);
}

TEST(ProgramRun, AMalformedStringTableRowIsSkippedAndTheProgramStarts) {
    TempDir game, user;
    game.write("assets/strings.xml",
               "<Workbook><Table>"
               "<Row><Cell></Cell></Row>"
               "<Row><Cell><Data>window_title_ce</Data></Cell><Cell><Data>Titled</Data></Cell></Row>"
               "<Row><Cell><Data>broken"
               "</Table></Workbook>");
    const auto run = runHalvern(
        {"--headless", "--frames", "5", "--fixed-step", "--game-dir", game.path, "--user-dir", user.path});
    EXPECT_EQ(run.exitCode, 0) << run.output;
}

TEST(ProgramRun, ScreenshotsAtStepsAreTheFramesOfThoseSteps) {
    TempDir user;
    const auto run = runHalvern({"--headless", "--frames", "60", "--fixed-step", "--user-dir", user.path,
                                 "--screenshot-at", "2:" + user.file("early.png"), "--screenshot-at",
                                 "59:" + user.file("last_step.png"), "--screenshot", user.file("end.png")});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(user.exists("early.png"));
    EXPECT_EQ(user.read("last_step.png"), user.read("end.png")) << "the last step's frame is the last frame";
    EXPECT_NE(user.read("early.png"), user.read("end.png")) << "the menu fades in meanwhile";
    for (const char* bad : {"5", ":a.png", "5:", "x:a.png", "-1:a.png"})
        EXPECT_EQ(runHalvern({"--screenshot-at", bad}).exitCode, 2) << bad;
}

TEST(ProgramRun, FrameStatisticsListEveryStepAndWhatHappenedInIt) {
    TempDir user;
    const std::string stats = user.file("frames.csv");
    auto run = runHalvern(
        {"--headless", "--frames", "30", "--fixed-step", "--user-dir", user.path, "--frame-stats", stats});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    std::istringstream lines(user.read("frames.csv"));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "tick,update_ms,draw_ms,wall_ms");
    int steps = 0;
    while (std::getline(lines, line)) {
        int tick = -1;
        double update = -1, draw = -1, wall = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "%d,%lf,%lf,%lf", &tick, &update, &draw, &wall), 4) << line;
        EXPECT_EQ(tick, steps++);
        EXPECT_TRUE(update >= 0 && draw >= 0 && wall >= update + draw * 0.5) << line;
    }
    EXPECT_EQ(steps, 30);
    // The menu's module, its backdrop (decoded ahead on arrival) and the first upload are each marked on
    // the step they happened.
    const std::string events = user.read("frames.csv.events");
    EXPECT_EQ(events.rfind("tick,event\n", 0), 0u);
    EXPECT_NE(events.find(",scene load assets/menu/module"), std::string::npos) << events;
    EXPECT_NE(events.find(",decoded ahead assets/menu/back.jpg"), std::string::npos) << events;
    EXPECT_NE(events.find(",first upload of a 1024x768 texture"), std::string::npos) << events;

    // A file that cannot be written is said, and the run goes on.
    run = runHalvern({"--headless", "--frames", "2", "--fixed-step", "--user-dir", user.path, "--frame-stats",
                      user.file("no/such/folder/frames.csv")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(halverntest::count(run.output, "cannot write the frame statistics"), 1) << run.output;
}
