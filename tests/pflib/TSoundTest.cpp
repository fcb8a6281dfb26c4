// Sound through SDL2_mixer on SDL's dummy audio driver (it consumes samples in real time).
#include <gtest/gtest.h>

#include <functional>

#include "pflib/TPlatform.h"
#include "pflib/TSound.h"
#include "pflib/pfClock.h"
#include "pflib/sdl/TMixerManager.h"

namespace {

const std::string kSounds = HALVERN_TEST_DATA "/sounds/";

class CountingCallBack : public pf::TSoundCallBack {
public:
    void OnPlaybackComplete() override { ++count; }
    int count = 0;
};

// Lets the mixer play for up to ms, dispatching completions as the loop does.
void Pump(
    double ms, const std::function<bool()>& done = [] { return false; }) {
    const double end = pf::timeGetTime() + ms;
    while (pf::timeGetTime() < end) {
        pf::TSoundManager::GetInstance()->DispatchCompletions();
        if (done()) return;
        pf::SleepMs(5);
    }
}

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        pf::TRunOptions options;
        options.headless = true;
        pf::TPlatform::SetRunOptions(options);
    }
};

}  // namespace

TEST_F(SoundTest, APlayedSoundCompletesExactlyOnce) {
    auto sound = pf::TSound::Get(kSounds + "beep", false);
    ASSERT_TRUE(sound);
    ASSERT_FALSE(pf::TMixerManager::Get().IsSilent()) << "the dummy driver gives a device";
    CountingCallBack callback;
    auto instance = sound->Play(false, 0);
    ASSERT_TRUE(instance);
    instance->SetCallBack(&callback);
    instance->SetVolume(0.5f);
    EXPECT_TRUE(instance->IsPlaying());
    Pump(3000, [&] { return callback.count > 0; });
    EXPECT_EQ(callback.count, 1);
    EXPECT_FALSE(instance->IsPlaying());
    Pump(300);
    EXPECT_EQ(callback.count, 1) << "never twice";
}

TEST_F(SoundTest, AKilledSoundGivesNoCompletion) {
    auto sound = pf::TSound::Get(kSounds + "long", false);
    ASSERT_TRUE(sound);
    CountingCallBack callback;
    auto instance = sound->Play(false, 0);
    ASSERT_TRUE(instance);
    instance->SetCallBack(&callback);
    Pump(50);
    instance->Kill(0);
    EXPECT_FALSE(instance->IsPlaying());
    Pump(300);
    EXPECT_EQ(callback.count, 0);
}

TEST_F(SoundTest, ADroppedInstanceStopsWithoutCallingBack) {
    auto sound = pf::TSound::Get(kSounds + "beep", false);
    ASSERT_TRUE(sound);
    CountingCallBack callback;
    {
        auto instance = sound->Play(false, 0);
        ASSERT_TRUE(instance);
        instance->SetCallBack(&callback);
    }
    Pump(500);
    EXPECT_EQ(callback.count, 0);
}

TEST_F(SoundTest, LoopedSoundsPlayOnAndPausedSoundsWait) {
    auto sound = pf::TSound::Get(kSounds + "beep", false);
    ASSERT_TRUE(sound);
    CountingCallBack looped, paused;
    auto loop = sound->Play(true, 0);
    loop->SetCallBack(&looped);
    auto held = sound->Play(false, 0);
    held->SetCallBack(&paused);
    held->Pause(true, 0);
    Pump(400);
    EXPECT_EQ(looped.count, 0);
    EXPECT_EQ(paused.count, 0);
    EXPECT_TRUE(loop->IsPlaying());
    held->Pause(false, 0);
    Pump(3000, [&] { return paused.count > 0; });
    EXPECT_EQ(paused.count, 1);
    loop->Kill(0);
}

TEST_F(SoundTest, ManyOverlappingSoundsGetMoreChannels) {
    auto sound = pf::TSound::Get(kSounds + "long", false);
    ASSERT_TRUE(sound);
    std::vector<std::shared_ptr<pf::TSoundInstance>> playing;
    for (int i = 0; i < 40; ++i) {
        auto instance = sound->Play(false, 0);
        ASSERT_TRUE(instance) << i;
        playing.push_back(instance);
    }
    EXPECT_GE(pf::TMixerManager::Get().ChannelCount(), 40);
    for (auto& instance : playing) instance->Kill(0);
}

TEST_F(SoundTest, MissingOrUndecodableSoundsGiveEmptyHandles) {
    EXPECT_FALSE(pf::TSound::Get(kSounds + "missing", false));
    EXPECT_FALSE(pf::TSound::Get(kSounds + "corrupt", false));
}

TEST_F(SoundTest, MasterVolumeIsClampedAndKept) {
    auto* manager = pf::TSoundManager::GetInstance();
    manager->SetVolume(0.25f);
    EXPECT_FLOAT_EQ(manager->GetVolume(), 0.25f);
    manager->SetVolume(3.f);
    EXPECT_FLOAT_EQ(manager->GetVolume(), 1.f);
    manager->SetVolume(-1.f);
    EXPECT_FLOAT_EQ(manager->GetVolume(), 0.f);
    manager->SetVolume(1.f);
}

TEST(SilentSoundTest, WithoutADeviceSoundsStillPlayAndCompleteAtTheNextDispatch) {
    // A fresh process, so that the mixer has not been opened yet.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
            pf::TPlatform::SetRunOptions(pf::TRunOptions());
            auto sound = pf::TSound::Get(kSounds + "beep", false);
            if (!sound) std::_Exit(10);
            if (!pf::TMixerManager::Get().IsSilent()) std::_Exit(11);
            CountingCallBack once;
            CountingCallBack looped;
            CountingCallBack killed;
            auto instance = sound->Play(false, 0);
            if (!instance) std::_Exit(12);
            instance->SetCallBack(&once);
            auto loop = sound->Play(true, 0);
            loop->SetCallBack(&looped);
            auto kill = sound->Play(false, 0);
            kill->SetCallBack(&killed);
            kill->Kill(0);
            auto* manager = pf::TSoundManager::GetInstance();
            manager->DispatchCompletions();
            manager->DispatchCompletions();
            if (once.count != 1 || looped.count != 0 || killed.count != 0) std::_Exit(13);
            if (pf::TSound::Get(kSounds + "corrupt", false)) std::_Exit(14);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}
