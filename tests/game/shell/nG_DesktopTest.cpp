// Files handed to the desktop: the documents folder found from user-dirs.dirs, copies under the game's
// name, the wallpaper set through the desktop's settings, the screen-saver file copied, and paths
// that would leave the game folder refused. HOME and the XDG variables point into a temporary folder.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "engine/script/nE_LuaSandbox.h"
#include "game/script/nG_ScriptFunctions.h"
#include "game/shell/nG_Desktop.h"
#include "pflib/TPlatform.h"
#include "tests/engine/script/ScriptTestFolder.h"
#include "tests/engine/script/ScriptTestSupport.h"

namespace {

// Sets an environment variable for the test's lifetime.
class Env {
public:
    Env(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~Env() {
        if (had_)
            setenv(name_.c_str(), old_.c_str(), 1);
        else
            unsetenv(name_.c_str());
    }

private:
    std::string name_, old_;
    bool had_ = false;
};

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/halvern_home_XXXXXX";
        home = mkdtemp(pattern);
        envs.emplace_back(std::make_unique<Env>("HOME", home.c_str()));
        envs.emplace_back(std::make_unique<Env>("XDG_CONFIG_HOME", nullptr));
        envs.emplace_back(std::make_unique<Env>("XDG_CURRENT_DESKTOP", nullptr));
        gameName = pf::TPlatform::GetConfig(pf::TPlatform::kGameName);
        pf::TPlatform::SetConfig(pf::TPlatform::kGameName, "Halvern CE");
        nG_Desktop::setRunner([this](const std::vector<std::string>& argv) {
            std::string line;
            for (const std::string& a : argv) line += (line.empty() ? "" : " ") + a;
            commands.push_back(line);
            return true;
        });
        folder.write("assets/wall/storm.jpg", "picture");
        folder.write("assets/saver/halvern.scr", "saver");
        folder.write("assets/saver/parts/clock.png", "clock");
        folder.write("assets/saver/.hidden", "no");
        L = nE_LuaSandbox::newState();
        nG_ScriptFunctions::registerGameFunctions(L);
    }
    void TearDown() override {
        nE_LuaSandbox::close(L);
        nG_Desktop::setRunner(nullptr);
        pf::TPlatform::SetConfig(pf::TPlatform::kGameName, gameName);
        envs.clear();
        std::system(("rm -rf '" + home + "'").c_str());
    }
    std::string read(const std::string& path) {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    bool logged(const std::string& text) const {
        for (const std::string& line : lines.lines)
            if (line.find(text) != std::string::npos) return true;
        return false;
    }

    std::string home, gameName;
    std::vector<std::unique_ptr<Env>> envs;
    std::vector<std::string> commands;
    script_test::GameFolder folder;
    script_test::DebugLines lines;
    lua_State* L = nullptr;
};

TEST_F(DesktopTest, TheDocumentsFolderComesFromUserDirsElseTheHomeDocuments) {
    EXPECT_EQ(nG_Desktop::documentsDir(), home + "/Documents");
    std::system(("mkdir -p '" + home + "/.config'").c_str());
    std::ofstream(home + "/.config/user-dirs.dirs") << "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                                    << "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    EXPECT_EQ(nG_Desktop::documentsDir(), home + "/Dokumente");
    EXPECT_EQ(nG_Desktop::gameFolder(), home + "/Dokumente/Halvern CE");
    std::ofstream(home + "/.config/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/\"\n";
    EXPECT_EQ(nG_Desktop::documentsDir(), home + "/Documents") << "set to the home folder: none";
    Env config("XDG_CONFIG_HOME", (home + "/elsewhere").c_str());
    std::system(("mkdir -p '" + home + "/elsewhere'").c_str());
    std::ofstream(home + "/elsewhere/user-dirs.dirs")
        << "XDG_DOCUMENTS_DIR=\"/" + home.substr(1) + "/Papers\"\n";
    EXPECT_EQ(nG_Desktop::documentsDir(), home + "/Papers");
}

TEST_F(DesktopTest, FilesAreCopiedUnderTheGamesNameAndHostilePathsRefused) {
    script_test::run(L, "CopyFileToMyDocs('assets/wall/storm.jpg')");
    EXPECT_EQ(read(home + "/Documents/Halvern CE/storm.jpg"), "picture");
    folder.write("assets/wall/storm.jpg", "newer");
    script_test::run(L, "CopyFileToMyDocs('assets/wall/storm.jpg')");
    EXPECT_EQ(read(home + "/Documents/Halvern CE/storm.jpg"), "newer") << "an older copy is replaced";

    const char* hostile[] = {"../outside.txt",
                             "assets/../../etc/passwd",
                             "/etc/passwd",
                             "\\\\server\\x",
                             "user:p_Wren.xml",
                             "C:\\x.jpg",
                             ""};
    for (const char* path : hostile) {
        lines.lines.clear();
        script_test::run(L, std::string("CopyFileToMyDocs('") + path + "')");
        ASSERT_EQ(lines.lines.size(), 1u) << path;
        EXPECT_EQ(lines.lines[0].rfind("CopyFileToMyDocs: ", 0), 0u) << path;
        EXPECT_TRUE(logged("refused")) << path;
    }
    lines.lines.clear();
    script_test::run(L, "CopyFileToMyDocs('" + std::string(600, 'a') + "')");
    EXPECT_TRUE(logged("too long a name; refused"));
    folder.write("assets/a..b/c.jpg", "dots");
    script_test::run(
        L, "CopyFileToMyDocs('assets/a..b/c.jpg'); CopyFileToMyDocs('assets/wall/../a..b/./c.jpg')");
    EXPECT_EQ(read(home + "/Documents/Halvern CE/c.jpg"), "dots")
        << "only \"..\" that leaves the folder is refused";
    lines.lines.clear();
    script_test::run(L, "CopyFileToMyDocs('assets/missing.jpg')");
    EXPECT_TRUE(lines.lines.empty()) << "a failed copy is ignored";
}

TEST_F(DesktopTest, TheWallpaperIsSetWhereTheDesktopHasAStandardWay) {
    script_test::run(L, "SetWallpaper('assets/wall/storm.jpg')");
    EXPECT_EQ(read(home + "/Documents/Halvern CE/storm.jpg"), "picture");
    EXPECT_TRUE(commands.empty()) << "an unknown desktop: only copied";

    Env gnome("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
    script_test::run(L, "SetWallpaper('assets/wall/storm.jpg')");
    const std::string uri = "file://" + home + "/Documents/Halvern CE/storm.jpg";
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0], "gsettings set org.gnome.desktop.background picture-uri " + uri);
    EXPECT_EQ(commands[1], "gsettings set org.gnome.desktop.background picture-uri-dark " + uri);

    commands.clear();
    script_test::run(L, "SetWallpaper('/etc/hostname')");
    EXPECT_TRUE(commands.empty());
    EXPECT_TRUE(logged("SetWallpaper: \"/etc/hostname\" is not a file of the game folder; refused"));
}

// Only ever the one file named, and only when it exists: a missing name copies nothing.
TEST_F(DesktopTest, TheScreenSaverFileAloneIsCopiedAndNotRegistered) {
    const std::string target = home + "/Documents/Halvern CE/screensaver";
    for (const char* missing : {"assets/saver/none.scr", "none.scr", "assets/saver", "."})
        EXPECT_EQ(script_test::eval(L, std::string("SetScreensaver('") + missing + "')"), "0");
    EXPECT_FALSE(std::ifstream(target + "/parts/clock.png").good()) << "nothing copied for a missing name";
    EXPECT_FALSE(std::ifstream(target + "/assets/saver/halvern.scr").good());
    EXPECT_EQ(script_test::eval(L, "SetScreensaver('assets/saver/halvern.scr')"), "0");
    EXPECT_EQ(read(target + "/halvern.scr"), "saver");
    EXPECT_FALSE(std::ifstream(target + "/parts/clock.png").good()) << "the folder around it stays";
    folder.write("assets/saver/halvern.scr", "newer");
    script_test::eval(L, "SetScreensaver('assets/saver/halvern.scr')");
    EXPECT_EQ(read(target + "/halvern.scr"), "saver") << "the player's copy is kept";
    EXPECT_EQ(script_test::eval(L, "SetScreensaver('../x/y.scr')"), "0");
    EXPECT_TRUE(logged("SetScreensaver: \"../x/y.scr\" is not a file of the game folder; refused"));
}

}  // namespace
