// The sound hub over the recording platform: groups and volumes, fades, pause, end triggers and the
// removal of finished sounds. Every platform instance leaves a record the tests read and complete.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>

#include "engine/media/nE_Sound.h"
#include "engine/media/nE_SoundHub.h"
#include "pflib/TSound.h"
#include "pflib/recording/TRecordingSound.h"
#include "tests/engine/core/nE_SceneTestSupport.h"

using pf::testing::CompleteSound;
using pf::testing::PlayedSounds;

namespace {

const std::string kBeep = std::string(HALVERN_TEST_DATA) + "/sounds/beep";
const std::string kLong = std::string(HALVERN_TEST_DATA) + "/sounds/long";

class SoundHubTest : public ::testing::Test {
protected:
    void SetUp() override {
        nE_SoundHub::destroy();
        pf::testing::ResetSounds();
        hub = nE_SoundHub::get();
    }
    void TearDown() override {
        nE_SoundHub::destroy();
        pf::testing::ResetSounds();
    }
    nE_Sound* sound(size_t i) { return hub->sounds().at(i).get(); }
    // Runs the hub for the given seconds in steps of 1/64 s (exact in binary).
    void run(float seconds) {
        for (int i = 0; i < static_cast<int>(seconds * 64); ++i) hub->update(1.f / 64);
    }

    scenetest::QueueRecorder queue;
    nE_SoundHub* hub = nullptr;
};

}  // namespace

TEST(SoundVolume, HalvingLowersThePlatformVolumeByAFifthUntilSilence) {
    EXPECT_FLOAT_EQ(1.f, nE_Sound::platformVolume(1.f));
    EXPECT_NEAR(0.8f, nE_Sound::platformVolume(0.5f), 1e-6);
    EXPECT_NEAR(0.6f, nE_Sound::platformVolume(0.25f), 1e-6);
    EXPECT_NEAR(0.2f, nE_Sound::platformVolume(1.f / 16), 1e-6);
    EXPECT_EQ(0.f, nE_Sound::platformVolume(1.f / 32));
    EXPECT_EQ(0.f, nE_Sound::platformVolume(1.f / 64));
    EXPECT_EQ(0.f, nE_Sound::platformVolume(0.f));
    EXPECT_EQ(0.f, nE_Sound::platformVolume(-0.5f));
    EXPECT_EQ(0.f, nE_Sound::platformVolume(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_EQ(1.f, nE_Sound::platformVolume(4.f)) << "clamped";
}

TEST_F(SoundHubTest, ASoundStartsAtItsGroupVolumeSetBeforeAnySoundOfTheGroup) {
    hub->setGroupVolume("music", 0.5f);
    hub->play(kBeep, "music", false, "", 0);
    hub->play(kBeep, "sfx", true, "", 0);
    ASSERT_EQ(2u, PlayedSounds().size());
    EXPECT_NEAR(0.8f, PlayedSounds()[0]->volume, 1e-6);
    EXPECT_FALSE(PlayedSounds()[0]->looped);
    EXPECT_FLOAT_EQ(1.f, PlayedSounds()[1]->volume) << "a new group starts at 1";
    EXPECT_TRUE(PlayedSounds()[1]->looped);
    EXPECT_EQ(nE_Sound::kPlaying, sound(0)->state);
    EXPECT_TRUE(hub->isPlaying(kBeep));

    // Changing a group's volume reaches its sounds at once and only those.
    hub->setGroupVolume("sfx", 0.25f);
    EXPECT_NEAR(0.8f, PlayedSounds()[0]->volume, 1e-6);
    EXPECT_NEAR(0.6f, PlayedSounds()[1]->volume, 1e-6);
    EXPECT_FLOAT_EQ(0.25f, hub->getGroupVolume("sfx"));
    EXPECT_FLOAT_EQ(1.f, hub->getGroupVolume("voice"));
    EXPECT_EQ(3u, hub->groups().size()) << "asking for a group makes it";
}

TEST_F(SoundHubTest, AMissingFileIsReportedAndStartsNothing) {
    testing::internal::CaptureStdout();
    hub->play("no/such/sound", "sfx", false, "end", 0);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, out.find("nE_SoundHub::Could not find \"no/such/sound\" file!")) << out;
    EXPECT_TRUE(hub->sounds().empty());
    EXPECT_TRUE(pf::testing::RequestedSounds().empty()) << "the platform is not even asked";
}

TEST_F(SoundHubTest, ASoundThePlatformCannotGiveIsListedAndSilentUntilStopped) {
    pf::testing::FailSound(kLong);
    hub->play(kLong, "sfx", false, "end", 0);
    ASSERT_EQ(1u, hub->sounds().size());
    EXPECT_TRUE(PlayedSounds().empty());
    run(10);
    EXPECT_EQ(1u, hub->sounds().size());
    hub->stop(kLong, 0);
    hub->update(0.01f);
    EXPECT_TRUE(hub->sounds().empty());
    EXPECT_TRUE(queue.calls.empty());
}

TEST_F(SoundHubTest, AFadeInReachesTheGroupVolumeAfterHalfItsTimeAtVolumeOneHalf) {
    hub->setGroupVolume("music", 0.5f);
    hub->play(kLong, "music", true, "", 2.f);
    nE_Sound* s = sound(0);
    EXPECT_EQ(nE_Sound::kFadingIn, s->state);
    EXPECT_FLOAT_EQ(0.5f, s->fadeRate);
    EXPECT_EQ(0.f, PlayedSounds()[0]->volume) << "starts silent";

    run(0.5f);
    EXPECT_FLOAT_EQ(0.25f, s->volume);
    EXPECT_NEAR(0.6f, PlayedSounds()[0]->volume, 1e-6);
    EXPECT_FALSE(hub->isPlaying(kLong)) << "not while fading in";

    run(0.5f - 1.f / 64);
    EXPECT_EQ(nE_Sound::kFadingIn, s->state);
    hub->update(1.f / 64);
    EXPECT_EQ(nE_Sound::kPlaying, s->state) << "at 1 s";
    EXPECT_FLOAT_EQ(0.5f, s->volume);
    EXPECT_TRUE(hub->isPlaying(kLong));
    run(1);
    EXPECT_FLOAT_EQ(0.5f, s->volume) << "stays at the group volume";
}

TEST_F(SoundHubTest, AStopWithFadeLowersLinearlyAndNeverFiresTheEndTrigger) {
    hub->play(kLong, "sfx", false, "ended", 0);
    auto record = PlayedSounds()[0];
    hub->stop(kLong, 1.f);
    EXPECT_EQ(nE_Sound::kFadingOut, sound(0)->state);
    EXPECT_FALSE(hub->isPlaying(kLong)) << "not while fading out";
    run(0.5f);
    EXPECT_FLOAT_EQ(0.5f, sound(0)->volume);
    EXPECT_NEAR(0.8f, record->volume, 1e-6);

    // The file reaches its end during the fade: still no end trigger.
    EXPECT_TRUE(CompleteSound(record));
    EXPECT_TRUE(queue.calls.empty());
    hub->update(0.01f);
    EXPECT_TRUE(hub->sounds().empty());

    hub->play(kLong, "sfx", false, "ended", 0);
    record = PlayedSounds()[1];
    hub->stop(kLong, 1.f);
    run(1);
    EXPECT_TRUE(hub->sounds().empty()) << "gone within the fade time";
    EXPECT_TRUE(record->killed);
    EXPECT_TRUE(record->destroyed);
    EXPECT_FALSE(CompleteSound(record));
    EXPECT_TRUE(queue.calls.empty());
}

TEST_F(SoundHubTest, CompletionQueuesTheEndTriggerOnceAndTheNextUpdateRemovesTheSound) {
    hub->play(kBeep, "sfx", false, "beeped(1)", 0);
    hub->play(kBeep, "sfx", false, "", 0);
    auto first = PlayedSounds()[0];
    ASSERT_TRUE(CompleteSound(first));
    ASSERT_EQ(1u, queue.calls.size());
    EXPECT_EQ(scenetest::Call("nE_Sound", "beeped(1)"), queue.calls[0]);
    EXPECT_EQ(nE_Sound::kFinished, sound(0)->state);
    EXPECT_TRUE(first->destroyed) << "the platform objects are let go at once";
    EXPECT_EQ(2u, hub->sounds().size()) << "deleted by the frame's update only";
    EXPECT_FALSE(CompleteSound(first)) << "never twice";

    EXPECT_TRUE(CompleteSound(PlayedSounds()[1])) << "a sound without end trigger finishes quietly";
    hub->update(0.01f);
    EXPECT_TRUE(hub->sounds().empty());
    EXPECT_EQ(1u, queue.calls.size());
}

TEST_F(SoundHubTest, ACompletionFromAnotherThreadWaitsForTheFrameUpdate) {
    hub->play(kBeep, "sfx", false, "beeped", 0);
    auto record = PlayedSounds()[0];
    std::thread audio([&] { record->callback->OnPlaybackComplete(); });
    audio.join();
    EXPECT_TRUE(queue.calls.empty()) << "nothing runs on the audio thread";
    EXPECT_EQ(nE_Sound::kPlaying, sound(0)->state);
    hub->update(0.01f);
    ASSERT_EQ(1u, queue.calls.size());
    EXPECT_EQ(scenetest::Call("nE_Sound", "beeped"), queue.calls[0]);
    EXPECT_TRUE(hub->sounds().empty());
    EXPECT_TRUE(record->destroyed);
}

TEST_F(SoundHubTest, PauseAndResumeRestoreTheGroupVolume) {
    hub->setGroupVolume("music", 0.5f);
    hub->play(kLong, "music", true, "", 2.f);
    hub->play(kLong, "sfx", true, "", 0);
    hub->play(kBeep, "sfx", false, "", 0);
    hub->stop(kBeep, 1.f);
    run(0.5f);
    EXPECT_FLOAT_EQ(0.25f, sound(0)->volume);

    hub->pauseAll(true);
    for (const auto& record : PlayedSounds()) EXPECT_TRUE(record->paused);
    run(1);
    EXPECT_FLOAT_EQ(0.25f, sound(0)->volume) << "a paused fade stands still";
    EXPECT_FLOAT_EQ(0.5f, sound(2)->volume);

    hub->pauseAll(false);
    for (const auto& record : PlayedSounds()) EXPECT_FALSE(record->paused);
    EXPECT_FLOAT_EQ(0.5f, sound(0)->volume) << "the fade-in ends at the group volume";
    EXPECT_NEAR(0.8f, PlayedSounds()[0]->volume, 1e-6);
    hub->update(1.f / 64);
    EXPECT_EQ(nE_Sound::kPlaying, sound(0)->state);
    EXPECT_FLOAT_EQ(0.5f, sound(0)->volume);

    // The stopped sound keeps fading from where it was and goes.
    EXPECT_EQ(nE_Sound::kFadingOut, sound(2)->state);
    EXPECT_LT(sound(2)->volume, 0.5f);
    run(0.5f);
    EXPECT_EQ(2u, hub->sounds().size());
}

TEST_F(SoundHubTest, PauseByNameReachesTheFirstSoundOfThatNameOnly) {
    hub->play(kLong, "sfx", true, "", 0);
    hub->play(kLong, "sfx", true, "", 0);
    hub->pause(kLong, true);
    EXPECT_TRUE(sound(0)->paused);
    EXPECT_FALSE(sound(1)->paused);
    EXPECT_TRUE(PlayedSounds()[0]->paused);
    EXPECT_FALSE(PlayedSounds()[1]->paused);
    hub->pause("other", true);
    EXPECT_FALSE(sound(1)->paused);
}

TEST_F(SoundHubTest, StopByNameAndByGroupEndSoundsAtOnce) {
    hub->play(kLong, "music", true, "", 0);
    hub->play(kBeep, "sfx", false, "x", 0);
    hub->play(kLong, "sfx", true, "", 0);
    hub->stopGroup("sfx");
    hub->update(0.01f);
    ASSERT_EQ(1u, hub->sounds().size());
    EXPECT_EQ("music", sound(0)->group);
    hub->stop("nothing", 0);
    hub->stop(kLong, 0);
    hub->update(0.01f);
    EXPECT_TRUE(hub->sounds().empty());
    for (const auto& record : PlayedSounds()) EXPECT_TRUE(record->killed && record->destroyed);
    EXPECT_TRUE(queue.calls.empty());
}

TEST_F(SoundHubTest, HundredsOfSoundsStartedAndStoppedInOneFrameLeaveNothingBehind) {
    for (int i = 0; i < 300; ++i) hub->play(i % 2 ? kBeep : kLong, "sfx", i % 3 == 0, "end", i % 5 ? 0 : 1.f);
    hub->stop(kBeep, 0);
    hub->stopAll(0);
    hub->update(1.f / 60);
    EXPECT_TRUE(hub->sounds().empty());
    ASSERT_EQ(300u, PlayedSounds().size());
    for (const auto& record : PlayedSounds()) {
        EXPECT_TRUE(record->destroyed);
        EXPECT_EQ(nullptr, record->callback);
    }
    EXPECT_TRUE(queue.calls.empty());
}

TEST_F(SoundHubTest, MuteSetsTheMasterVolume) {
    pf::TSoundManager* manager = pf::TSoundManager::GetInstance();
    hub->mute(true);
    EXPECT_EQ(0.f, manager->GetVolume());
    hub->mute(false);
    EXPECT_EQ(1.f, manager->GetVolume());
}

TEST_F(SoundHubTest, ShutdownStopsEverySoundWithoutEndTriggers) {
    hub->play(kBeep, "sfx", false, "end", 0);
    hub->play(kLong, "music", true, "end", 3.f);
    nE_SoundHub::destroy();
    EXPECT_FALSE(nE_SoundHub::exists());
    for (const auto& record : PlayedSounds()) EXPECT_TRUE(record->killed && record->destroyed);
    EXPECT_TRUE(queue.calls.empty());
    hub = nE_SoundHub::get();
    EXPECT_TRUE(hub->sounds().empty());
    EXPECT_FLOAT_EQ(1.f, hub->getGroupVolume("sfx")) << "a new hub starts with fresh groups";
}

TEST_F(SoundHubTest, NegativeOrMissingFadesEndAtOnce) {
    hub->play(kLong, "sfx", true, "", -1.f);
    EXPECT_EQ(nE_Sound::kPlaying, sound(0)->state);
    hub->play(kLong, "sfx", true, "", std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(nE_Sound::kPlaying, sound(1)->state);
    hub->stop(kLong, -2.f);
    hub->update(0.01f);
    EXPECT_TRUE(hub->sounds().empty());
}
