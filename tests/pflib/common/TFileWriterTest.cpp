#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <thread>

#include "pflib/TFile.h"
#include "pflib/TFileWriter.h"
#include "pflib/TPlatform.h"
#include "tests/pflib/TempDir.h"

using pf::TFile;
using pf::TFileWriter;

class FileWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        pf::TRunOptions options;
        options.userDir = user.path();
        pf::TPlatform::SetRunOptions(options);
        TempDir::Write(user / "save.xml", "old");
    }
    void TearDown() override {
        TFileWriter::Finish();
        TFileWriter::SetBeforeRename(nullptr);
        TFileWriter::TakeFailures();
        pf::TPlatform::SetRunOptions(pf::TRunOptions());
    }
    TempDir user;
};

TEST_F(FileWriterTest, SavesWhileOneIsInFlightLandInOrderAndReadsSeeTheNewest) {
    // The first write stops before its rename until the test lets it go.
    std::promise<void> entered, release;
    std::shared_future<void> go = release.get_future().share();
    int calls = 0;
    TFileWriter::SetBeforeRename([&, go](const std::string&) {
        if (calls++ == 0) {
            entered.set_value();
            go.wait();
        }
    });
    ASSERT_TRUE(TFileWriter::Write("user:save.xml", "first"));
    entered.get_future().wait();
    EXPECT_EQ(TempDir::Read(user / "save.xml"), "old") << "the previous file stays whole mid-write";

    ASSERT_TRUE(TFileWriter::Write("user:save.xml", "second"));
    ASSERT_TRUE(TFileWriter::Write("user:other.xml", "between"));
    ASSERT_TRUE(TFileWriter::Write("user:save.xml", "third"));
    std::string pending;
    ASSERT_TRUE(TFileWriter::Pending("user:save.xml", pending));
    EXPECT_EQ(pending, "third") << "the newest content, not the one on disk nor the one in flight";
    EXPECT_TRUE(TFile::Exists("user:other.xml")) << "a file not yet written exists for its readers";
    EXPECT_FALSE(TFileWriter::IsPending("user:nothing.xml"));

    // TFile's own read waits for the writer instead of seeing an old or half-written file.
    auto reader = std::async(std::launch::async, [] {
        std::string all;
        TFile::ReadAll("user:save.xml", all);
        return all;
    });
    EXPECT_EQ(reader.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    release.set_value();
    EXPECT_EQ(reader.get(), "third");
    TFileWriter::Flush();
    EXPECT_EQ(calls, 3) << "the queued 'second' was replaced by 'third', not written as well";
    EXPECT_EQ(TempDir::Read(user / "save.xml"), "third");
    EXPECT_EQ(TempDir::Read(user / "other.xml"), "between");
    EXPECT_FALSE(TempDir::Exists(user / "save.xml.part"));
    EXPECT_TRUE(TFileWriter::TakeFailures().empty());
}

TEST_F(FileWriterTest, QuitFinishesPendingWritesAndAKillMidWriteKeepsThePreviousFile) {
    // An orderly quit waits for a slow write.
    TFileWriter::SetBeforeRename(
        [](const std::string&) { std::this_thread::sleep_for(std::chrono::milliseconds(30)); });
    ASSERT_TRUE(TFileWriter::Write("user:save.xml", "at quit"));
    ASSERT_TRUE(TFileWriter::Write("user:profile.xml", "also"));
    TFileWriter::Finish();
    EXPECT_EQ(TempDir::Read(user / "save.xml"), "at quit");
    EXPECT_EQ(TempDir::Read(user / "profile.xml"), "also");

    // A program killed while its save is on the way to the disk.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TFileWriter::SetBeforeRename([](const std::string&) { kill(getpid(), SIGKILL); });
        TFileWriter::Write("user:save.xml", std::string(1 << 20, 'x'));
        TFileWriter::Flush();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(TempDir::Read(user / "save.xml"), "at quit");

    // A write that cannot reach the disk is reported and keeps nothing queued.
    TFileWriter::SetBeforeRename(nullptr);
    TempDir::Write(user / "blocker", "a file where a folder would be");
    EXPECT_FALSE(TFileWriter::Write("user:blocker/save.xml", "lost"));
    EXPECT_FALSE(TFileWriter::Write("user:../escape.xml", "lost"));
    EXPECT_FALSE(TFileWriter::IsPending("user:blocker/save.xml"));
}
