// User files over the platform's files: mode pairs, "user:" placement, and a file that failed to open.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/media/platform/nE_File_Pl5.h"
#include "pflib/TFile.h"
#include "pflib/TPlatform.h"
#include "tests/pflib/TempDir.h"

namespace {

class FileTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved = pf::TPlatform::GetRunOptions();
        pf::TRunOptions options = saved;
        options.userDir = dir.path();
        pf::TPlatform::SetRunOptions(options);
    }
    void TearDown() override { pf::TPlatform::SetRunOptions(saved); }

    std::string readBack(const std::string& name, int mode) {
        nE_File_Pl5 file(name);
        if (!file.open(mode)) return "<not opened>";
        std::string out(file.size(), '\0');
        out.resize(file.read(&out[0], out.size()));
        return out;
    }

    TempDir dir;
    pf::TRunOptions saved;
};

}  // namespace

TEST(FileModes, EngineModesMapPairwise) {
    const int want[] = {0, 0, 1, 1, 2, 2};
    for (int mode = 0; mode < 6; ++mode) EXPECT_EQ(want[mode], nE_File::platformMode(mode)) << mode;
    EXPECT_EQ(6, nE_File::platformMode(6));
    EXPECT_EQ(9, nE_File::platformMode(9));
    EXPECT_EQ(-1, nE_File::platformMode(-1));
}

TEST_F(FileTest, WritesInTheUserAreaAndReadsBack) {
    nE_File_Pl5 file("settings.xml");
    EXPECT_EQ("user:settings.xml", file.path);
    ASSERT_TRUE(file.open(3)) << "mode 3 writes";
    EXPECT_EQ(5u, file.write("hello", 5));
    file.close();
    EXPECT_EQ("hello", TempDir::Read(dir / "settings.xml"));
    EXPECT_EQ("hello", readBack("settings.xml", 1));

    nE_File_Pl5 append("settings.xml");
    ASSERT_TRUE(append.open(5));
    EXPECT_EQ(1u, append.write("!", 1));
    append.close();
    EXPECT_EQ("hello!", readBack("settings.xml", 0));

    nE_File_Pl5 gone("settings.xml");
    EXPECT_TRUE(gone.remove());
    EXPECT_FALSE(pf::TFile::Exists("user:settings.xml"));
}

TEST_F(FileTest, AFileThatDidNotOpenAnswersZeroAndFalse) {
    nE_File_Pl5 file("absent.xml");
    EXPECT_FALSE(file.open(0));
    char buffer[4];
    EXPECT_EQ(0u, file.read(buffer, 4));
    EXPECT_EQ(0u, file.write("x", 1));
    EXPECT_EQ(0u, file.size());
    EXPECT_FALSE(file.remove());
    EXPECT_FALSE(file.open(17)) << "the platform refuses modes it does not know";
}

TEST_F(FileTest, CloseIsFinalAndRepeatable) {
    nE_File_Pl5 file("p_anna.xml");
    ASSERT_TRUE(file.open(2));
    file.write("data", 4);
    EXPECT_TRUE(file.close());
    EXPECT_FALSE(file.close());
    EXPECT_FALSE(file.open(0)) << "the platform file is gone after close";
    char buffer[4];
    EXPECT_EQ(0u, file.read(buffer, 4));
    EXPECT_EQ(0u, file.size());
    EXPECT_EQ("data", readBack("p_anna.xml", 0));

    // A writer destroyed without closing leaves the saved file as it was.
    {
        nE_File_Pl5 unfinished("p_anna.xml");
        ASSERT_TRUE(unfinished.open(3));
        unfinished.write("da", 2);
    }
    EXPECT_EQ("data", readBack("p_anna.xml", 0));
}
