#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <vector>

#include "pflib/TFile.h"
#include "pflib/TPlatform.h"
#include "pflib/pfDebug.h"
#include "tests/pflib/TempDir.h"

using pf::TFile;
using pf::TPlatform;

class FileTest : public ::testing::Test {
protected:
    void SetUp() override {
        pf::TRunOptions options;
        options.userDir = user / "data";
        options.gameDir = game.path();
        TPlatform::SetRunOptions(options);
    }
    void TearDown() override { TPlatform::SetRunOptions(pf::TRunOptions()); }

    static bool WriteFile(const std::string& name, const std::string& content, int mode) {
        TFile file;
        if (!file.Open(name, mode)) return false;
        const bool ok = file.Write(content.data(), content.size()) == content.size();
        return file.Close() && ok;
    }

    TempDir user, game;
};

TEST_F(FileTest, UserFilesRoundTripThroughTheUserFolder) {
    ASSERT_TRUE(WriteFile("user:settings.xml", "<settings/>", TFile::kWrite));
    // The user folder was created on demand and holds the file under its plain name.
    EXPECT_EQ(TempDir::Read(user / "data/settings.xml"), "<settings/>");

    TFile file;
    ASSERT_TRUE(file.Open("user:settings.xml", TFile::kRead));
    EXPECT_TRUE(file.IsValid());
    EXPECT_EQ(file.Size(), 11u);
    char buffer[32] = {0};
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 11u);
    EXPECT_STREQ(buffer, "<settings/>");
    EXPECT_EQ(file.Write("x", 1), 0u) << "a file opened for reading takes no writes";
    file.Close();
    EXPECT_FALSE(file.IsValid());

    std::string all;
    EXPECT_TRUE(TFile::ReadAll("user:settings.xml", all));
    EXPECT_EQ(all, "<settings/>");
}

TEST_F(FileTest, WriteModeTruncatesAndAppendModeAppends) {
    ASSERT_TRUE(WriteFile("user:log.txt", "first second", TFile::kWrite));
    ASSERT_TRUE(WriteFile("user:log.txt", "new", TFile::kWrite));
    ASSERT_TRUE(WriteFile("user:log.txt", "+more", TFile::kAppend));
    std::string all;
    ASSERT_TRUE(TFile::ReadAll("user:log.txt", all));
    EXPECT_EQ(all, "new+more");
}

TEST_F(FileTest, SizeCountsWhatWasWrittenSoFar) {
    TFile file;
    ASSERT_TRUE(file.Open("user:grow.bin", TFile::kWrite));
    file.Write("abcdef", 6);
    EXPECT_EQ(file.Size(), 6u);
}

TEST_F(FileTest, OnlyAnExplicitCloseCommitsAWrite) {
    ASSERT_TRUE(WriteFile("user:p_anna.xml", "old profile", TFile::kWrite));
    {
        TFile file;
        ASSERT_TRUE(file.Open("user:p_anna.xml", TFile::kWrite));
        file.Write("new pro", 7);
        // Until Close the old content is what a reader (or a crash) sees.
        EXPECT_EQ(TempDir::Read(user / "data/p_anna.xml"), "old profile");
    }
    // A writer that went without closing (an early return, an error path) wrote only part of it.
    EXPECT_EQ(TempDir::Read(user / "data/p_anna.xml"), "old profile");
    EXPECT_FALSE(TempDir::Exists(user / "data/p_anna.xml.part"));

    // Opening again drops the write in progress as well.
    TFile file;
    ASSERT_TRUE(file.Open("user:p_anna.xml", TFile::kWrite));
    file.Write("half", 4);
    ASSERT_TRUE(file.Open("user:other.xml", TFile::kWrite));
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(TempDir::Read(user / "data/p_anna.xml"), "old profile");
    EXPECT_FALSE(file.Close()) << "nothing open: nothing committed";

    ASSERT_TRUE(file.Open("user:p_anna.xml", TFile::kWrite));
    file.Write("new", 3);
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(TempDir::Read(user / "data/p_anna.xml"), "new");
}

TEST_F(FileTest, AProcessDyingInTheMiddleOfAWriteLeavesTheOldFile) {
    ASSERT_TRUE(WriteFile("user:p_bob.xml", "saved game", TFile::kWrite));
    EXPECT_EXIT(
        {
            TFile file;
            if (file.Open("user:p_bob.xml", TFile::kWrite)) file.Write("half", 4);
            std::_Exit(3);
        },
        ::testing::ExitedWithCode(3), "");
    EXPECT_EQ(TempDir::Read(user / "data/p_bob.xml"), "saved game");
    // The next full write still works over the leftover temporary file.
    ASSERT_TRUE(WriteFile("user:p_bob.xml", "saved again", TFile::kWrite));
    EXPECT_EQ(TempDir::Read(user / "data/p_bob.xml"), "saved again");
}

TEST_F(FileTest, AFailedWriteKeepsTheOldFile) {
    ASSERT_TRUE(WriteFile("user:keep.txt", "kept", TFile::kWrite));
    TFile file;
    ASSERT_TRUE(file.Open("user:keep.txt", TFile::kWrite));
    // The temporary file vanishes under the writer (as on a full or failing disk).
    EXPECT_EQ(std::remove((user / "data/keep.txt.part").c_str()), 0);
    file.Write("lost", 4);
    EXPECT_FALSE(file.Close()) << "the caller learns that nothing was saved";
    EXPECT_EQ(TempDir::Read(user / "data/keep.txt"), "kept");
    ASSERT_TRUE(file.Open("user:keep.txt", TFile::kWrite));
    file.Write("new", 3);
    EXPECT_TRUE(file.Close());
    EXPECT_FALSE(file.Close()) << "nothing left to close";
}

TEST_F(FileTest, RenameReplacesAndListShowsTheUserFolderInOrder) {
    ASSERT_TRUE(WriteFile("user:p_b.xml", "b", TFile::kWrite));
    ASSERT_TRUE(WriteFile("user:p_a.xml", "a", TFile::kWrite));
    ASSERT_TRUE(WriteFile("user:p_a.xml.bak", "old", TFile::kWrite));
    ASSERT_EQ(mkdir((user / "data/folder").c_str(), 0755), 0);
    EXPECT_EQ(TFile::ListUserFiles(), (std::vector<std::string>{"p_a.xml", "p_a.xml.bak", "p_b.xml"}));

    EXPECT_TRUE(TFile::Rename("user:p_a.xml", "user:p_a.xml.bak"));
    EXPECT_EQ(TempDir::Read(user / "data/p_a.xml.bak"), "a");
    EXPECT_FALSE(TFile::Exists("user:p_a.xml"));
    EXPECT_FALSE(TFile::Rename("user:p_a.xml", "user:p_c.xml")) << "no source";
    EXPECT_FALSE(TFile::Rename("user:p_b.xml", "user:../outside.xml")) << "names stay in the user folder";
    EXPECT_FALSE(TFile::Rename("user:p_b.xml", "user:folder")) << "a folder is never replaced";
    EXPECT_TRUE(TFile::Exists("user:p_b.xml"));

    // A link keeps the old content under the second name when the first is replaced.
    ASSERT_TRUE(TFile::Link("user:p_b.xml", "user:p_a.xml.bak"));
    ASSERT_TRUE(WriteFile("user:p_b.xml", "b2", TFile::kWrite));
    EXPECT_EQ(TempDir::Read(user / "data/p_a.xml.bak"), "b");
    EXPECT_EQ(TempDir::Read(user / "data/p_b.xml"), "b2");
    EXPECT_FALSE(TFile::Link("user:none.xml", "user:x.xml"));
    EXPECT_FALSE(TFile::Exists("user:p_a.xml.bak.link"));
}

TEST_F(FileTest, MissingFilesFailWithoutHarm) {
    TFile file;
    EXPECT_FALSE(file.Open("user:nothing.xml", TFile::kRead));
    EXPECT_FALSE(file.IsValid());
    char buffer[4];
    EXPECT_EQ(file.Read(buffer, 4), 0u);
    EXPECT_EQ(file.Write("x", 1), 0u);
    EXPECT_EQ(file.Size(), 0u);
    file.Close();
    std::string all = "untouched";
    EXPECT_FALSE(TFile::ReadAll("assets/missing.xml", all));
    EXPECT_EQ(all, "untouched");
    EXPECT_FALSE(TFile::Exists("assets/missing.xml"));
    EXPECT_FALSE(TFile::DeleteFile("user:nothing.xml"));
    EXPECT_FALSE(file.Open("user:x.xml", 7)) << "unknown mode";
}

TEST_F(FileTest, AFolderIsNotAFile) {
    ASSERT_EQ(mkdir((game / "assets").c_str(), 0755), 0);
    TFile file;
    EXPECT_FALSE(file.Open("assets", TFile::kRead));
    EXPECT_FALSE(TFile::Exists("assets"));
    EXPECT_FALSE(TFile::DeleteFile("assets"));
}

TEST_F(FileTest, DeleteRemovesAUserFile) {
    ASSERT_TRUE(WriteFile("user:gone.xml", "x", TFile::kWrite));
    EXPECT_TRUE(TFile::Exists("user:gone.xml"));
    EXPECT_TRUE(TFile::DeleteFile("user:gone.xml"));
    EXPECT_FALSE(TFile::Exists("user:gone.xml"));
}

namespace {
std::vector<std::string> gStored;
std::string gUserFolder;
// What a store of the user folder would see at the moment it is asked for.
void storeUserFolder() {
    struct stat st;
    const bool partial = stat((gUserFolder + "/save.xml.part").c_str(), &st) == 0;
    gStored.push_back(TempDir::Read(gUserFolder + "/save.xml") + (partial ? " +part" : ""));
}
}  // namespace

TEST_F(FileTest, TheUserFolderIsStoredAfterEveryChangeThatWentThrough) {
    gStored.clear();
    gUserFolder = user / "data";
    TFile::SetUserChangeListener(storeUserFolder);
    ASSERT_TRUE(WriteFile("user:save.xml", "first", TFile::kWrite));
    TFile open;
    ASSERT_TRUE(open.Open("user:save.xml", TFile::kWrite));
    open.Write("half", 4);
    EXPECT_EQ(gStored, std::vector<std::string>{"first"}) << "an open write is not stored";
    open.Close();
    // A write that fails, or one into the game's folder, changes nothing kept.
    TFile failing;
    ASSERT_TRUE(failing.Open("user:save.xml", TFile::kWrite));
    std::remove((user / "data/save.xml.part").c_str());
    EXPECT_FALSE(failing.Close());
    EXPECT_TRUE(WriteFile("game.txt", "not the user's", TFile::kWrite));
    ASSERT_TRUE(WriteFile("user:other.xml", "b", TFile::kWrite));
    EXPECT_TRUE(TFile::Rename("user:other.xml", "user:save.xml"));
    EXPECT_TRUE(TFile::DeleteFile("user:save.xml"));
    TFile::SetUserChangeListener(nullptr);
    EXPECT_EQ(gStored, (std::vector<std::string>{"first", "half", "half", "b", ""}));
}

TEST_F(FileTest, RelativeNamesResolveAgainstTheGameFolder) {
    ASSERT_EQ(mkdir((game / "assets").c_str(), 0755), 0);
    TempDir::Write(game / "assets/strings.xml", "<strings/>");
    std::string all;
    EXPECT_TRUE(TFile::ReadAll("assets/strings.xml", all));
    EXPECT_EQ(all, "<strings/>");
    // Windows-style separators find the same file.
    EXPECT_TRUE(TFile::Exists("assets\\strings.xml"));
    // Absolute names stay as they are.
    EXPECT_TRUE(TFile::Exists(game / "assets/strings.xml"));
    EXPECT_EQ(TPlatform::ResolvePath("/abs/x.png"), "/abs/x.png");
}

TEST_F(FileTest, UserNamesCannotLeaveTheUserFolder) {
    TempDir::Write(user / "outside.txt", "secret");
    EXPECT_EQ(TPlatform::ResolvePath("user:../outside.txt"), "");
    EXPECT_EQ(TPlatform::ResolvePath("user:a/../../outside.txt"), "");
    EXPECT_EQ(TPlatform::ResolvePath("user:/etc/passwd"), "");
    std::string all;
    EXPECT_FALSE(TFile::ReadAll("user:../outside.txt", all));
    TFile file;
    EXPECT_FALSE(file.Open("user:../evil.txt", TFile::kWrite));
    EXPECT_FALSE(TempDir::Exists(user / "evil.txt"));
    // Names that merely contain dots are fine.
    EXPECT_TRUE(WriteFile("user:p_..x..xml", "ok", TFile::kWrite));
    // Sub-folders of the user folder are made on demand.
    EXPECT_TRUE(WriteFile("user:saves/slot1.xml", "ok", TFile::kWrite));
    EXPECT_EQ(TempDir::Read(user / "data/saves/slot1.xml"), "ok");
}

TEST(UserFolderTest, ComesFromXdgDataHomePublisherAndGame) {
    TempDir xdg;
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_DATA_HOME", xdg.path().c_str(), 1);
    TPlatform::SetRunOptions(pf::TRunOptions());
    TPlatform::SetConfig(TPlatform::kPublisherName, "Quillmoor");
    TPlatform::SetConfig(TPlatform::kGameName, "Halvern CE");

    EXPECT_EQ(TPlatform::UserDir(), xdg / "Quillmoor/Halvern CE");
    struct stat st;
    EXPECT_EQ(stat((xdg / "Quillmoor/Halvern CE").c_str(), &st), 0) << "created on demand";

    // The run option replaces it.
    pf::TRunOptions options;
    options.userDir = xdg / "elsewhere";
    TPlatform::SetRunOptions(options);
    EXPECT_EQ(TPlatform::UserDir(), xdg / "elsewhere");

    TPlatform::SetRunOptions(pf::TRunOptions());
    if (old)
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

TEST(DebugLogTest, AppendsLinesToDebugLogInTheUserFolder) {
    TempDir user;
    pf::TRunOptions options;
    options.userDir = user.path();
    TPlatform::SetRunOptions(options);
    pfWriteDbg("first line\n");
    pfWriteDbgUnsafe("second %s %d", "line", 2);
    EXPECT_EQ(TempDir::Read(user / "debug.log"), "first line\nsecond line 2\n");

    // A user folder that cannot be made loses the text but nothing else.
    options.userDir = "/proc/no/such/folder";
    TPlatform::SetRunOptions(options);
    pfWriteDbg("nowhere to go");
    pfWriteDbgUnsafe("%s", std::string(100000, 'x').c_str());
    TPlatform::SetRunOptions(pf::TRunOptions());
}
