// Sound through SDL2_mixer on SDL's dummy audio driver (it consumes samples in real time).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

#include "pflib/TPlatform.h"
#include "pflib/TSound.h"
#include "pflib/pfClock.h"
#include "pflib/sdl/TMixerManager.h"
#include "pflib/sdl/TMixerSound.h"
#include "pflib/sdl/TVorbisStream.h"

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

TEST_F(SoundTest, ShortSoundsAreDecodedOnceAndSharedBetweenPlays) {
    pf::TMixerSound::ClearCache();
    auto first = pf::TSound::Get(kSounds + "beep", false);
    auto second = pf::TSound::Get(kSounds + "beep", false);
    ASSERT_TRUE(first);
    EXPECT_EQ(first, second) << "one decoded sound for every play";
    auto* mixer = dynamic_cast<pf::TMixerSound*>(first.get());
    ASSERT_NE(nullptr, mixer);
    EXPECT_FALSE(mixer->Streamed());
    EXPECT_NE(nullptr, mixer->Chunk());
    CountingCallBack callback;
    auto a = first->Play(false, 0), b = second->Play(false, 0);
    a->SetCallBack(&callback);
    b->SetCallBack(&callback);
    Pump(3000, [&] { return callback.count == 2; });
    EXPECT_EQ(2, callback.count);
    EXPECT_EQ(1u, pf::TMixerSound::CachedCount());
}

TEST_F(SoundTest, LongSoundsAreStreamedAndPlayLikeDecodedOnes) {
    pf::TMixerSound::ClearCache();
    pf::TMixerSound::SetStreamAbove(0.05);  // the tenth-of-a-second beep counts as long
    auto sound = pf::TSound::Get(kSounds + "beep", false);
    ASSERT_TRUE(sound);
    auto* mixer = dynamic_cast<pf::TMixerSound*>(sound.get());
    ASSERT_NE(nullptr, mixer);
    EXPECT_TRUE(mixer->Streamed());
    EXPECT_EQ(nullptr, mixer->Chunk()) << "nothing decoded up front";
    EXPECT_NEAR(0.1, mixer->Seconds(), 0.01);

    CountingCallBack once, looped, held, killed;
    auto a = sound->Play(false, 0);
    auto loop = sound->Play(true, 0);
    auto paused = sound->Play(false, 0);
    auto kill = sound->Play(false, 0);
    ASSERT_TRUE(a && loop && paused && kill);
    a->SetCallBack(&once);
    loop->SetCallBack(&looped);
    paused->SetCallBack(&held);
    paused->Pause(true, 0);
    kill->SetCallBack(&killed);
    kill->Kill(0);
    Pump(3000, [&] { return once.count > 0; });
    Pump(300);
    EXPECT_EQ(1, once.count);
    EXPECT_FALSE(a->IsPlaying());
    EXPECT_EQ(0, looped.count);
    EXPECT_TRUE(loop->IsPlaying());
    EXPECT_EQ(0, held.count) << "a paused stream waits";
    EXPECT_EQ(0, killed.count);
    paused->Pause(false, 0);
    Pump(3000, [&] { return held.count > 0; });
    EXPECT_EQ(1, held.count);
    loop->Kill(0);

    pf::TMixerSound::SetStreamAbove(pf::TMixerSound::kStreamAbove);
    pf::TMixerSound::ClearCache();
}

TEST(VorbisStream, DecodesIntoTheDeviceFormatToTheEndOrAroundAgain) {
    double seconds = 0;
    ASSERT_TRUE(pf::TVorbisStream::Probe(kSounds + "beep.ogg", seconds));
    EXPECT_NEAR(0.1, seconds, 0.01);
    EXPECT_FALSE(pf::TVorbisStream::Probe(kSounds + "corrupt.ogg", seconds));
    EXPECT_FALSE(pf::TVorbisStream::Open(kSounds + "corrupt.ogg", false, 44100, AUDIO_S16SYS, 2));

    // 22050 Hz mono in the file, 44100 Hz stereo out: a tenth of a second is about 17640 bytes.
    auto stream = pf::TVorbisStream::Open(kSounds + "beep.ogg", false, 44100, AUDIO_S16SYS, 2);
    ASSERT_TRUE(stream);
    std::vector<int16_t> block(1024);
    size_t before = 0;
    int loudest = 0;
    while (!stream->Ended() && before < 1000000) {
        stream->Fill(reinterpret_cast<uint8_t*>(block.data()), static_cast<int>(block.size() * 2));
        for (int16_t sample : block) loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
        before += block.size() * 2;
    }
    EXPECT_TRUE(stream->Ended());
    EXPECT_NEAR(17640.0, static_cast<double>(before), 4096.0);
    EXPECT_GT(loudest, 3000) << "the tone is there";

    auto looped = pf::TVorbisStream::Open(kSounds + "beep.ogg", true, 44100, AUDIO_S16SYS, 2);
    ASSERT_TRUE(looped);
    for (int i = 0; i < 200; ++i) looped->Fill(reinterpret_cast<uint8_t*>(block.data()), 2048);
    EXPECT_FALSE(looped->Ended()) << "a second of a looped tenth of a second";
}

TEST_F(SoundTest, SoundsDecodedAheadGiveTheSamplesOfADecodeAtOnce) {
    pf::TMixerSound::SetStreamAbove(1000);
    for (const char* name : {"beep", "long"}) {
        pf::TMixerSound::ClearCache();
        auto atOnce = std::dynamic_pointer_cast<pf::TMixerSound>(pf::TSound::Get(kSounds + name, false));
        ASSERT_TRUE(atOnce && atOnce->Chunk());
        const std::vector<uint8_t> expected(atOnce->Chunk()->abuf,
                                            atOnce->Chunk()->abuf + atOnce->Chunk()->alen);
        pf::TMixerSound::ClearCache();
        pf::TSound::Prefetch(kSounds + name);
        auto ahead = std::dynamic_pointer_cast<pf::TMixerSound>(pf::TSound::Get(kSounds + name, false));
        ASSERT_TRUE(ahead && ahead->Chunk());
        EXPECT_NE(atOnce, ahead);
        EXPECT_EQ(expected,
                  std::vector<uint8_t>(ahead->Chunk()->abuf, ahead->Chunk()->abuf + ahead->Chunk()->alen))
            << name;
    }
    pf::TMixerSound::SetStreamAbove(pf::TMixerSound::kStreamAbove);
    // A damaged file is still refused; a device closing mid-decode waits for it; a stream stays one.
    pf::TSound::Prefetch(kSounds + "corrupt");
    EXPECT_FALSE(pf::TSound::Get(kSounds + "corrupt", false));
    pf::TMixerSound::ClearCache();
    pf::TSound::Prefetch(kSounds + "beep");
    pf::TMixerSound::ClearCache();
    EXPECT_EQ(0u, pf::TMixerSound::CachedCount());
    pf::TSound::Prefetch(kSounds + "beep");
    auto streamed = std::dynamic_pointer_cast<pf::TMixerSound>(pf::TSound::Get(kSounds + "beep", true));
    ASSERT_TRUE(streamed);
    EXPECT_TRUE(streamed->Streamed());
    EXPECT_TRUE(pf::TSound::Get(kSounds + "beep", false));
}
