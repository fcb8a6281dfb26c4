#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <string>

#include "engine/core/nE_Factory.h"
#include "engine/core/nE_Scene.h"
#include "engine/core/notEngine_Pl5.h"
#include "engine/media/nE_Subtitles.h"
#include "engine/media/nE_VideoAhead.h"
#include "engine/objects/nE_Video.h"
#include "engine/script/nE_SLHelper_XML.h"
#include "tests/engine/core/nE_SceneTestSupport.h"
#include "tests/engine/media/VideoTestSupport.h"
#include "tests/engine/objects/SpriteTestSupport.h"
#include "tests/engine/script/ScriptTestFolder.h"
#include "tests/pflib/TempDir.h"

using videotest::data;
using videotest::kColours;
using videotest::near;
using videotest::pixel;

namespace {

class VideoTest : public ::testing::Test {
protected:
    void SetUp() override {
        nE_Factory::registerType("video", [] { return new nE_Video(); });
    }
    void TearDown() override { notEngine_Pl5::rawDelta = 0; }

    // A live video named "clip" over the resource.
    nE_Video* live(const std::string& resource) {
        auto* video = new nE_Video();
        video->name = "clip";
        video->resourceName = resource;
        scene.attach(scene.root(), video);
        return video;
    }
    // One engine tick of `seconds` real time.
    void tick(nE_Video* video, float seconds) {
        notEngine_Pl5::rawDelta = seconds;
        video->update(1.f / 60);
    }
    // The colour index the texture's left half shows, or -1.
    int shownColour(nE_Video* video) {
        const auto p = pixel(video->frameTexture, 4, 12);
        for (size_t i = 0; i < kColours.size(); ++i)
            if (near(p, kColours[i])) return static_cast<int>(i);
        return -1;
    }

    scenetest::QueueRecorder queue;
    nE_Scene scene;
};

}  // namespace

// A room left, or a film renamed, while the first frame is still being decoded on a worker: the
// decode is waited for and dropped, and the next load shows its own first frame.
TEST_F(VideoTest, ALoadLeftBeforeItsFirstFrameArrivesLeavesNothingBehind) {
    nE_Video* video = live(data("plain"));
    scene.attach(scene.storage(), video);
    EXPECT_FALSE(video->decoder);
    scene.attach(scene.root(), video);
    video->resourceName.clear();
    video->unloadResources();
    video->resourceName = data("plain");
    video->loadResources();
    video->getLocalRect();
    EXPECT_EQ(0, shownColour(video));
}

TEST_F(VideoTest, OpensOnItsFirstFrameAndPlaysInRealTime) {
    nE_Video* video = live(data("plain"));
    ASSERT_TRUE(video->decoder);
    EXPECT_DOUBLE_EQ(0.1, video->frameDuration);
    // The first frame, decoded on a worker, stands once the picture is asked for.
    const nE_Rect rect = video->getLocalRect();
    EXPECT_EQ(0, shownColour(video)) << "the first frame is shown before playing";
    EXPECT_EQ(0, video->frame);
    EXPECT_FLOAT_EQ(-16, rect.x);
    EXPECT_FLOAT_EQ(24, rect.h);
    EXPECT_FLOAT_EQ(32, video->inputRect.w) << "clicks land on the picture";

    tick(video, 0.5f);
    EXPECT_EQ(0, video->frame) << "nothing moves before play";
    video->play("done");
    EXPECT_TRUE(video->playing);
    tick(video, 0.05f);
    EXPECT_EQ(0, video->frame);
    tick(video, 0.06f);  // 0.11 s: the next frame
    EXPECT_EQ(1, video->frame);
    EXPECT_EQ(0, shownColour(video)) << "the first frame of the stream, decoded again after the rewind";
    tick(video, 0.1f);
    EXPECT_EQ(2, video->frame);
    EXPECT_EQ(1, shownColour(video));

    // A step far behind decodes the missed frames without converting them.
    const long shown = video->shownFrames;
    tick(video, 0.3f);  // 0.51 s: target 5
    EXPECT_EQ(5, video->frame);
    EXPECT_EQ(shown + 1, video->shownFrames);
    EXPECT_EQ(4, shownColour(video));
    EXPECT_TRUE(queue.calls.empty());

    tick(video, 0.1f);  // frame 6: the last
    tick(video, 0.1f);  // no seventh frame: the end
    EXPECT_FALSE(video->playing);
    EXPECT_EQ(5, shownColour(video)) << "the last frame stays on screen";
    ASSERT_EQ(1u, queue.calls.size());
    EXPECT_EQ((scenetest::Call{"clip", "done"}), queue.calls[0]);
    for (int i = 0; i < 10; ++i) tick(video, 0.1f);
    EXPECT_EQ(1u, queue.calls.size()) << "the end trigger runs once";
}

TEST_F(VideoTest, At25FramesASecondATenthOfASecondConvertsOnlyTheLastFrame) {
    nE_Video* video = live(data("fps25"));
    video->play("");
    std::vector<int> frames;
    long converted = video->shownFrames;
    for (int i = 0; i < 4; ++i) {
        tick(video, 0.1f);
        frames.push_back(video->frame);
        EXPECT_EQ(converted + 1, video->shownFrames) << "one conversion per update";
        converted = video->shownFrames;
    }
    EXPECT_EQ((std::vector<int>{2, 5, 7, 10}), frames);
}

TEST_F(VideoTest, PlayWhilePlayingIsIgnoredAndPauseHolds) {
    nE_Video* video = live(data("plain"));
    video->play("first");
    tick(video, 0.15f);
    video->play("second");
    EXPECT_EQ("first", video->endTrigger);
    EXPECT_EQ(1, video->frame) << "not restarted";
    video->pause(1);
    tick(video, 1.f);
    EXPECT_EQ(1, video->frame);
    EXPECT_FALSE(video->playing);
    video->pause(0);
    tick(video, 0.1f);
    EXPECT_EQ(2, video->frame) << "the paused second did not count";
    for (int i = 0; i < 10; ++i) tick(video, 0.1f);
    EXPECT_EQ((std::vector<std::string>{"first"}), queue.callStrings());
}

TEST_F(VideoTest, LoopedVideoFiresItsEndTriggerAtEveryWrap) {
    nE_Video* video = live(data("plain"));
    video->looped = true;
    video->play("wrapped");
    for (int i = 0; i < 7; ++i) tick(video, 0.1f);
    EXPECT_TRUE(video->playing);
    EXPECT_EQ(0, video->frame);
    EXPECT_EQ(0, shownColour(video)) << "the first frame again";
    EXPECT_EQ(1u, queue.calls.size());
    // The first frame came with the wrap, so the next loop ends a frame sooner.
    for (int i = 0; i < 6; ++i) tick(video, 0.1f);
    EXPECT_EQ(2u, queue.calls.size());
    EXPECT_TRUE(video->playing);
    tick(video, 0.1f);
    EXPECT_EQ(1, shownColour(video));
}

TEST_F(VideoTest, StopShowsTheFirstFrameWithoutTheEndTrigger) {
    nE_Video* video = live(data("plain"));
    video->play("done");
    tick(video, 0.35f);
    video->stop();
    EXPECT_FALSE(video->playing);
    EXPECT_EQ(0, video->frame);
    EXPECT_DOUBLE_EQ(0, video->time);
    EXPECT_EQ(0, shownColour(video));
    for (int i = 0; i < 20; ++i) tick(video, 0.1f);
    EXPECT_TRUE(queue.calls.empty());
    video->play("again");
    for (int i = 0; i < 20; ++i) tick(video, 0.1f);
    EXPECT_EQ((std::vector<std::string>{"again"}), queue.callStrings());
}

TEST_F(VideoTest, SavedVideoResumesFromItsFrame) {
    // A saved game names the game's own files.
    script_test::GameFolderAt game;
    const std::string plain = game.data("videos/plain");
    nE_Video* video = live(plain);
    video->looped = true;
    video->play("done");
    for (int i = 0; i < 3; ++i) tick(video, 0.1f);
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* saved = nE_SLHelper_XML::save(*video, doc, false, false);
    EXPECT_STREQ(plain.c_str(), saved->Attribute("res"));
    EXPECT_STREQ("1", saved->Attribute("playing"));
    EXPECT_STREQ("1", saved->Attribute("looped"));
    EXPECT_STREQ("done", saved->Attribute("endtrig"));
    EXPECT_STREQ("3", saved->Attribute("frame"));
    // The keys follow the base keys in this order.
    std::vector<std::string> order;
    for (const tinyxml2::XMLAttribute* a = saved->FirstAttribute(); a; a = a->Next())
        order.push_back(a->Name());
    ASSERT_GE(order.size(), 5u);
    EXPECT_EQ((std::vector<std::string>{"res", "playing", "looped", "endtrig", "frame"}),
              std::vector<std::string>(order.end() - 5, order.end()));

    std::unique_ptr<nE_Object> built = nE_SLHelper_XML::build(saved);
    auto* copy = dynamic_cast<nE_Video*>(built.release());
    ASSERT_TRUE(copy);
    scene.attach(scene.root(), copy);
    EXPECT_TRUE(copy->playing);
    EXPECT_EQ(3, copy->frame);
    EXPECT_NEAR(0.3, copy->time, 1e-9);
    EXPECT_EQ(2, shownColour(copy)) << "the saved frame";
    tick(copy, 0.1f);
    EXPECT_EQ(4, copy->frame);
    EXPECT_EQ(3, shownColour(copy));

    // A new frame alone moves a loaded video; restoring after a device loss shows the same frame.
    doc.Parse("<video frame=\"5\"/>");
    nE_SLHelper_XML helper(doc.RootElement());
    copy->loadProperties(helper);
    EXPECT_EQ(4, shownColour(copy));
    copy->restoreDeviceResources(true);
    EXPECT_EQ(4, shownColour(copy));
    EXPECT_NEAR(0.5, copy->time, 1e-9);
}

TEST_F(VideoTest, DrawsItsFrameLikeASprite) {
    nE_Video* video = live(data("plain"));
    spritetest::DrawRecorder recorder;
    scene.draw(&recorder);
    ASSERT_EQ(1u, recorder.draws.size());
    EXPECT_EQ(video->frameTexture, recorder.draws[0].texture);
    // The texture is reused frame after frame.
    const auto* texture = video->frameTexture.get();
    video->play("");
    for (int i = 0; i < 4; ++i) tick(video, 0.1f);
    EXPECT_EQ(texture, video->frameTexture.get());

    scene.park(video);
    EXPECT_FALSE(video->decoder);
    EXPECT_FALSE(video->frameTexture);
    recorder.draws.clear();
    scene.draw(&recorder);
    EXPECT_TRUE(recorder.draws.empty());
}

TEST_F(VideoTest, MissingAndBrokenVideos) {
    testing::internal::CaptureStdout();
    nE_Video* missing = live(data("none"));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, out.find("nE_Video::Could not find \"" + data("none") + "\" ogg file!"))
        << out;
    EXPECT_FALSE(missing->decoder);
    missing->play("never");
    tick(missing, 1.f);
    EXPECT_TRUE(missing->playing) << "no decoder: update does nothing";
    EXPECT_TRUE(queue.calls.empty());

    // A file that is not a Theora video ends at once when played: its end trigger runs.
    TempDir dir;
    TempDir::Write(dir / "noise.ogg", "OggS but not really");
    testing::internal::CaptureStdout();
    nE_Video* broken = live(dir / "noise");
    out = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, out.find("noise.ogg\": it holds no Theora video")) << out;
    broken->play("ended");
    tick(broken, 0.05f);
    EXPECT_EQ((std::vector<std::string>{"ended"}), queue.callStrings());
    EXPECT_FALSE(broken->frameTexture);
}

TEST_F(VideoTest, SubtitlesFollowPlaybackAndAreHiddenWhenTheVideoGoes) {
    videotest::SubtitleLog log;
    TempDir dir;
    TempDir::Write(dir / "clip.ogg", videotest::readFile(data("plain.ogg")));
    TempDir::Write(dir / "clip.srt",
                   "1\n00:00:00,150 --> 00:00:00,300\nsub_a\n\n2\n00:00:00,400 --> 00:00:01,000\nsub_b\n\n");
    nE_Video* video = live(dir / "clip");
    ASSERT_TRUE(video->subtitles);
    video->play("");
    tick(video, 0.1f);
    EXPECT_TRUE(log.take().empty());
    tick(video, 0.1f);
    EXPECT_EQ((std::vector<std::string>{"+sub_a"}), log.take());
    tick(video, 0.15f);
    EXPECT_EQ((std::vector<std::string>{"-"}), log.take()) << "0.35 s: a hidden, b not yet due";
    tick(video, 0.1f);
    EXPECT_EQ((std::vector<std::string>{"+sub_b"}), log.take());
    video->pause(1);
    tick(video, 5.f);
    EXPECT_TRUE(log.take().empty()) << "paused: time stands";
    video->stop();
    EXPECT_EQ((std::vector<std::string>{"-"}), log.take());
    video->play("");
    for (int i = 0; i < 5; ++i) tick(video, 0.1f);
    EXPECT_EQ((std::vector<std::string>{"+sub_a", "-", "+sub_b"}), log.take());
    scene.park(video);
    EXPECT_EQ((std::vector<std::string>{"-"}), log.take()) << "a parked video takes its line away";
}

TEST_F(VideoTest, AReplayShowsItsSubtitlesAgain) {
    videotest::SubtitleLog log;
    TempDir dir;
    TempDir::Write(dir / "clip.ogg", videotest::readFile(data("plain.ogg")));
    TempDir::Write(dir / "clip.srt", "1\n00:00:00,100 --> 00:00:00,200\nsub_a\n\n");
    nE_Video* video = live(dir / "clip");
    video->looped = true;
    video->play("");
    for (int i = 0; i < 7; ++i) tick(video, 0.1f);
    EXPECT_EQ((std::vector<std::string>{"+sub_a", "-"}), log.take());
    for (int i = 0; i < 3; ++i) tick(video, 0.1f);
    EXPECT_EQ((std::vector<std::string>{"+sub_a", "-"}), log.take()) << "the second loop";
}

TEST_F(VideoTest, DamagedAlphaRecordEndsPlaybackLikeTheEndOfTheStream) {
    TempDir dir;
    const std::string zalpha = videotest::readFile(data("alpha.zalpha"));
    TempDir::Write(dir / "clip.ogg", videotest::readFile(data("alpha.ogg")));
    // Record 3 claims more bytes than the file holds.
    std::string cut = zalpha.substr(0, videotest::recordEnd(zalpha, 2));
    cut += std::string("\xff\x00\x00\x00", 4) + "xx";
    TempDir::Write(dir / "clip.zalpha", cut);
    testing::internal::CaptureStdout();
    nE_Video* video = live(dir / "clip");
    EXPECT_EQ(nE_VideoDecoder::kZAlpha, video->decoder->alphaKind());
    video->play("ended");
    for (int i = 0; i < 4; ++i) tick(video, 0.1f);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, out.find("clip.zalpha\": its record 3 runs past the end of the file"))
        << out;
    EXPECT_FALSE(video->playing);
    EXPECT_EQ((std::vector<std::string>{"ended"}), queue.callStrings());
    EXPECT_EQ(40, pixel(video->frameTexture, 28, 12)[3]) << "the last good frame stays";
}

TEST_F(VideoTest, FindTextReportsTheEndTrigger) {
    nE_Video* video = live(data("plain"));
    video->play("door_open");
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* node = doc.NewElement("found");
    doc.InsertEndChild(node);
    video->findText(node, "door", true);
    ASSERT_TRUE(node->FirstChildElement("clip"));
    EXPECT_STREQ("event", node->FirstChildElement("clip")->Attribute("place"));
    EXPECT_EQ("video", video->getTypeName());
    video->resetState();
    EXPECT_FALSE(video->decoder);
    EXPECT_FALSE(video->playing);
    EXPECT_FALSE(video->parent) << "reset leaves the tree";
    delete video;
}
