// Profiles and settings across runs of the program over one user folder: what a module's script saves
// is read by the next run, and a damaged profile comes back from its backup.
#include <gtest/gtest.h>

#include "tests/integration/HalvernRun.h"

using halverntest::runHalvern;
using halverntest::TempDir;

namespace {

// A module whose code runs once the profiles are loaded.
std::string module(const std::string& code) {
    return "<module name=\"profiles\"/><code>" + code + "</code>";
}

halverntest::RunResult run(const TempDir& game, const TempDir& user, const std::string& name,
                           const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args = {"--headless", "--fixed-step", "--frames", "3",        "--game-dir",
                                     game.path,    "--user-dir",   user.path,  "--module", "assets/" + name};
    args.insert(args.end(), extra.begin(), extra.end());
    return runHalvern(args);
}

// The file a profile is saved as: the byte sum of the XML in a first-line comment, then the XML.
std::string profileFile(const std::string& xml) {
    unsigned sum = 0;
    for (unsigned char c : xml) sum += c;
    return "<!--" + std::to_string(static_cast<int>(sum)) + "-->\n" + xml;
}

}  // namespace

TEST(ProfileRun, AProfileSavedByAScriptIsReadNextTimeAndSurvivesDamage) {
    TempDir game, user;
    game.write("assets/create.xml",
               module("AddProfile('Wren'); SetCurrentProfile('Wren'); SetGameMode(1); ng_global.visits = 1; "
                      "SaveProfile('Wren'); SetSoundVolume('sfx', 0.5); SaveSettings()"));
    game.write(
        "assets/visit.xml",
        module("DbgTrace('profiles ' .. GetNumProfiles() .. ' ' .. GetProfileNameById(GetCurrentProfileId()) "
               ".. ' mode ' .. GetGameMode() .. ' visits ' .. tostring(ng_global.visits) .. ' sfx ' .. "
               "GetSoundVolume('sfx') .. ' corrupted ' .. IsCorruptedProfile()); "
               "if ng_global.visits then ng_global.visits = ng_global.visits + 1; SaveProfile('Wren') end"));

    auto first = run(game, user, "create");
    ASSERT_EQ(first.exitCode, 0) << first.output;
    const std::string v1 = profileFile(
        "<profile game_mode=\"1\" guide_page=\"-1\"><achievements/><ng_global valtype=\"3\">"
        "<el_visits valtype=\"0\" val=\"1\"/></ng_global></profile>");
    EXPECT_EQ(user.read("p_Wren.xml"), v1);
    const std::string settings =
        "<settings fullscreen=\"%F\" syscursor=\"0\" sfx_volume=\"0.5\" env_volume=\"0.75\" "
        "soundtrack_volume=\"0.75\" voice_volume=\"0.75\" gamma=\"1\" language=\"en\">\n"
        "    <profiles current=\"Wren\">\n        <profile>Wren</profile>\n    </profiles>\n</settings>\n";
    std::string expected = settings;
    const std::string written = user.read("settings.xml");
    // The full-screen flag is whatever the window got; everything else is fixed.
    expected.replace(expected.find("%F"), 2, written.substr(written.find("fullscreen=\"") + 12, 1));
    EXPECT_EQ(written, expected);

    auto second = run(game, user, "visit");
    ASSERT_EQ(second.exitCode, 0) << second.output;
    EXPECT_NE(second.output.find("profiles 1 Wren mode 1 visits 1 sfx 0.5 corrupted 0"), std::string::npos)
        << second.output;
    const std::string v2 = profileFile(
        "<profile game_mode=\"1\" guide_page=\"-1\"><achievements/><ng_global valtype=\"3\">"
        "<el_visits valtype=\"0\" val=\"2\"/></ng_global></profile>");
    EXPECT_EQ(user.read("p_Wren.xml"), v2);
    EXPECT_EQ(user.read("p_Wren.xml.bak"), v1) << "the previous file is the backup";

    // The profile file is damaged between runs: the backup takes over, the damaged file is kept.
    std::string damaged = v2;
    damaged[damaged.find("val=\"2\"") + 5] = '9';
    user.write("p_Wren.xml", damaged);
    auto third = run(game, user, "visit");
    ASSERT_EQ(third.exitCode, 0) << third.output;
    EXPECT_NE(third.output.find("restored from its backup"), std::string::npos) << third.output;
    EXPECT_NE(third.output.find("profiles 1 Wren mode 1 visits 1 sfx 0.5 corrupted 0"), std::string::npos)
        << third.output;
    EXPECT_EQ(user.read("p_Wren.xml.corrupt"), damaged);
    EXPECT_EQ(user.read("p_Wren.xml"), v2) << "visits went from the backup's 1 to 2 again";
    EXPECT_EQ(user.read("p_Wren.xml.bak"), v1);

    // Both copies damaged: the profile is dropped from the list, its file is kept, the scripts learn of it.
    user.write("p_Wren.xml", damaged);
    user.write("p_Wren.xml.bak", damaged);
    auto fourth = run(game, user, "visit");
    ASSERT_EQ(fourth.exitCode, 0) << fourth.output;
    EXPECT_NE(fourth.output.find("nG_ProfileHub: Error loading profile data"), std::string::npos);
    EXPECT_NE(fourth.output.find("profiles 0  mode 0 visits nil sfx 0.5 corrupted 1"), std::string::npos)
        << fourth.output;
    EXPECT_EQ(user.read("p_Wren.xml.corrupt.1"), damaged) << "kept beside the earlier damaged file";
    EXPECT_EQ(user.read("settings.xml").find("<profile>Wren</profile>"), std::string::npos);
}

TEST(ProfileRun, DeveloperStartLeavesProfileFilesAlone) {
    TempDir game, user;
    game.write("assets/create.xml", module("AddProfile('Dev'); SaveProfile('Dev')"));
    auto result = run(game, user, "create", {"-e"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_FALSE(user.exists("p_Dev.xml"));
    EXPECT_TRUE(user.exists("settings.xml")) << "settings are still kept";
}
