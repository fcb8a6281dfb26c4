#include <gtest/gtest.h>

#include <string>

#include "engine/media/nE_Subtitles.h"
#include "tests/engine/media/VideoTestSupport.h"

using videotest::SubtitleLog;

TEST(Subtitles, ReadsGroupsOfFourLinesWithTimesByPosition) {
    nE_Subtitles track;
    track.parse(
        "1\r\n00:01:02,500 --> 00:01:04,000\r\nsub_one\r\n\r\n"
        "2\n01:00:00,001 --> 01:00:01,999 X1:10 X2:20\nsub_two\nsecond text line\n"
        "3\n00:00:09,000 --> 00:00:10,000\nsub_last",
        "t.srt");
    ASSERT_EQ(3u, track.entries.size());
    EXPECT_DOUBLE_EQ(62.5, track.entries[0].start);
    EXPECT_DOUBLE_EQ(64.0, track.entries[0].end);
    EXPECT_EQ("sub_one", track.entries[0].text) << "the line end is removed";
    EXPECT_DOUBLE_EQ(3600.001, track.entries[1].start);
    EXPECT_DOUBLE_EQ(3601.999, track.entries[1].end);
    EXPECT_EQ("sub_two", track.entries[1].text) << "only the first text line; the second is the separator";
    EXPECT_EQ("sub_last", track.entries[2].text) << "a last group may end with the file";

    track.parse("1\n00:00:01,000 --> 00:00:02,000\n", "t.srt");
    EXPECT_TRUE(track.entries.empty()) << "a group without its text is incomplete";
}

TEST(Subtitles, BrokenTimingOrOverlongLinesEndTheReadingWithAReport) {
    nE_Subtitles track;
    const std::string good = "1\n00:00:01,000 --> 00:00:02,000\nsub_ok\n\n";
    testing::internal::CaptureStdout();
    track.parse(good + "2\n00:00:0x,000 --> 00:00:04,000\nsub_bad\n\n" + good, "bad.srt");
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(1u, track.entries.size());
    EXPECT_NE(std::string::npos, out.find("nE_Video::\"bad.srt\": line 6 is not a timing line")) << out;

    for (const std::string& timing :
         {std::string("00:00:01,000 -> 00:00:02,000"), std::string("00:00:01,000 --> 2"),
          std::string("0:00:01,000 --> 00:00:02,000"), std::string("")}) {
        track.parse("1\n" + timing + "\ntext\n\n", "bad.srt");
        EXPECT_TRUE(track.entries.empty()) << timing;
    }

    testing::internal::CaptureStdout();
    track.parse(good + "2\n00:00:03,000 --> 00:00:04,000\n" + std::string(1024, 'k') + "\n\n" + good,
                "long.srt");
    out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(1u, track.entries.size());
    EXPECT_NE(std::string::npos, out.find("line 7 is longer than 1023 characters")) << out;
    track.parse("1\n00:00:03,000 --> 00:00:04,000\n" + std::string(1023, 'k') + "\n\n", "long.srt");
    EXPECT_EQ(1u, track.entries.size()) << "1023 characters are allowed";
}

TEST(Subtitles, ShowAndHideFollowTheVideoTime) {
    SubtitleLog log;
    nE_Subtitles track;
    track.parse(
        "1\n00:01:02,500 --> 00:01:04,000\na\n\n"
        "2\n00:01:05,000 --> 00:01:06,000\nb\n\n"
        "3\n00:01:07,000 --> 00:01:08,000\nc\n\n",
        "t.srt");
    track.update(62.4);
    EXPECT_TRUE(log.take().empty());
    track.update(62.5);
    EXPECT_EQ((std::vector<std::string>{"+a"}), log.take()) << "shown from 62.5 s";
    track.update(63.9);
    EXPECT_TRUE(log.take().empty());
    track.update(64.0);
    EXPECT_EQ((std::vector<std::string>{"-"}), log.take()) << "hidden at 64.0 s";
    // A jump past the second entry skips it; the third shows.
    track.update(67.5);
    EXPECT_EQ((std::vector<std::string>{"+c"}), log.take());
    track.reset();
    EXPECT_EQ((std::vector<std::string>{"-"}), log.take()) << "reset hides a shown line";
    track.reset();
    EXPECT_TRUE(log.take().empty()) << "and nothing when none is shown";
    track.update(65.5);
    EXPECT_EQ((std::vector<std::string>{"+b"}), log.take()) << "back from the first entry";
    track.update(100);
    EXPECT_EQ((std::vector<std::string>{"-"}), log.take());
    // The last entry lies in the past: shown and hidden in the same update, then nothing more.
    track.update(101);
    EXPECT_EQ((std::vector<std::string>{"+c", "-"}), log.take());
    track.update(102);
    EXPECT_TRUE(log.take().empty());
}
