// cmake --install into a temporary prefix: the program, its assets, the desktop entry, the icons and
// the AppStream metadata land in their places; the installed program, started from another folder,
// reaches the menu with its own copy of the assets.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/integration/HalvernRun.h"

using halverntest::pixelAt;
using halverntest::TempDir;

namespace {

// Runs a shell command; its exit status and what it printed.
halverntest::RunResult shell(const std::string& command) {
    halverntest::RunResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string menuRun(const std::string& exe, const TempDir& where, const std::string& shot) {
    return "cd '" + where.path + "' && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy '" + exe +
           "' --headless --fixed-step --frames 300 --user-dir '" + where.file("user") + "' --screenshot '" +
           where.file(shot) + "'";
}

}  // namespace

TEST(Install, TheInstalledProgramFindsItsAssetsFromAnyFolderAndReachesTheMenu) {
    TempDir prefix, elsewhere;
    const auto install = shell("'" + std::string(HALVERN_CMAKE) + "' --install '" + HALVERN_BUILD_DIR +
                               "' --prefix '" + prefix.path + "'");
    ASSERT_EQ(install.exitCode, 0) << install.output;
    for (const char* file :
         {"bin/halvern", "share/halvern/assets/menu/module.xml", "share/halvern/assets/strings.xml",
          "share/applications/com.quillmoor.Halvern.desktop",
          "share/metainfo/com.quillmoor.Halvern.metainfo.xml",
          "share/icons/hicolor/48x48/apps/com.quillmoor.Halvern.png",
          "share/icons/hicolor/256x256/apps/com.quillmoor.Halvern.png"})
        EXPECT_TRUE(prefix.exists(file)) << file;
    const auto desktop = shell("desktop-file-validate '" +
                               prefix.file("share/applications/com.quillmoor.Halvern.desktop") + "'");
    EXPECT_EQ(desktop.exitCode, 0) << desktop.output;
    const auto appstream = shell("appstreamcli validate --no-net '" +
                                 prefix.file("share/metainfo/com.quillmoor.Halvern.metainfo.xml") + "'");
    EXPECT_EQ(appstream.exitCode, 0) << appstream.output;

    // The installed menu looks as the menu of the build does.
    const std::string installed = prefix.file("bin/halvern");
    const auto run = shell(menuRun(installed, elsewhere, "installed.png"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output.find("Could not find"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("could not be read"), std::string::npos) << run.output;
    const auto built = shell(menuRun(HALVERN_EXE, elsewhere, "built.png"));
    ASSERT_EQ(built.exitCode, 0) << built.output;
    auto a = pf::TTexture::Get(elsewhere.file("installed.png"));
    auto b = pf::TTexture::Get(elsewhere.file("built.png"));
    ASSERT_TRUE(a && b);
    int differing = 0, compared = 0;
    for (int y = 2; y < 768; y += 8)
        for (int x = 2; x < 1024; x += 8, ++compared) {
            const auto p = pixelAt(a, x, y), q = pixelAt(b, x, y);
            // Rain falls differently in each run; the menu itself stays put.
            if (std::abs(p.r - q.r) > 48 || std::abs(p.g - q.g) > 48 || std::abs(p.b - q.b) > 48) ++differing;
        }
    EXPECT_LE(differing, compared / 25) << differing << " of " << compared << " pixels differ";

    // It writes a new game from its own template.
    const auto made = shell("cd '" + elsewhere.path + "' && '" + installed + "' --new-game mine");
    EXPECT_EQ(made.exitCode, 0) << made.output;
    EXPECT_TRUE(elsewhere.exists("mine/assets/levels/level/attic/room.xml"));

    // It reads its own copy: a file taken from it is missed, although the source tree has it.
    ASSERT_EQ(std::remove(prefix.file("share/halvern/assets/cursors/cursor_get.png").c_str()), 0);
    const auto check = shell("cd '" + elsewhere.path + "' && '" + installed + "' --check");
    EXPECT_EQ(check.exitCode, 1) << check.output;
    EXPECT_NE(check.output.find("assets/cursors/cursor_get.png: not found"), std::string::npos)
        << check.output;
}
