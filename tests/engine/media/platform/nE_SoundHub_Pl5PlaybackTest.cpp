// The sound hub on the real platform (SDL2_mixer on SDL's dummy audio driver, which consumes the
// samples in real time): a played ".ogg" reaches its end and its end trigger runs once, in the tick
// after the platform reported the end.
#include <gtest/gtest.h>

#include <lua.hpp>

#include "engine/core/nE_Core.h"
#include "engine/media/nE_Sound.h"
#include "engine/media/nE_SoundHub.h"
#include "engine/script/nE_Trigger.h"
#include "engine/script/nE_TriggerHub.h"
#include "pflib/TPlatform.h"
#include "pflib/TSound.h"
#include "pflib/pfClock.h"
#include "pflib/sdl/TMixerManager.h"

namespace {

const std::string kSounds = std::string(HALVERN_TEST_DATA) + "/sounds/";

class SoundPlaybackTest : public ::testing::Test {
protected:
    void SetUp() override {
        pf::TRunOptions options;
        options.headless = true;
        pf::TPlatform::SetRunOptions(options);
        if (nE_Core::exists()) nE_Core::destroy();
        nE_SoundHub::destroy();
        core = nE_Core::get();
        hub = nE_SoundHub::get();
        core->triggerHub().registerTrigger(std::make_unique<nE_Trigger>(
            "beeped", "beeps = (beeps or 0) + 1 beep_sender = ne_params.sender"));
    }
    void TearDown() override {
        nE_SoundHub::destroy();
        nE_Core::destroy();
    }

    // One engine tick in the loop's order (trigger queue first, the hub after the scene), then the
    // platform's delivery of completions that closes each loop step.
    void tick() {
        core->triggerHub().runQueue();
        hub->update(1.f / 60);
        pf::TSoundManager::GetInstance()->DispatchCompletions();
        pf::SleepMs(5);
    }
    int beeps() {
        lua_getglobal(core->lua(), "beeps");
        const int n = static_cast<int>(lua_tointeger(core->lua(), -1));
        lua_pop(core->lua(), 1);
        return n;
    }

    nE_Core* core = nullptr;
    nE_SoundHub* hub = nullptr;
};

}  // namespace

TEST_F(SoundPlaybackTest, APlayedOggFiresItsEndTriggerOnceInTheNextTick) {
    hub->play(kSounds + "beep", "sfx", false, "beeped", 0);
    ASSERT_FALSE(pf::TMixerManager::Get().IsSilent()) << "the dummy driver gives a device";
    ASSERT_EQ(1u, hub->sounds().size());
    EXPECT_TRUE(hub->isPlaying(kSounds + "beep"));

    // The tenth of a second plays out in real time; give it up to three seconds.
    const double end = pf::timeGetTime() + 3000;
    while (core->triggerHub().queue().empty() && pf::timeGetTime() < end) tick();
    ASSERT_EQ(1u, core->triggerHub().queue().size()) << "the end was reported";
    EXPECT_EQ(0, beeps()) << "queued, not run";
    EXPECT_EQ(nE_Sound::kFinished, hub->sounds().at(0)->state);

    tick();
    EXPECT_EQ(1, beeps()) << "run in the next tick";
    lua_getglobal(core->lua(), "beep_sender");
    EXPECT_STREQ("nE_Sound", lua_tostring(core->lua(), -1));
    lua_pop(core->lua(), 1);
    EXPECT_TRUE(hub->sounds().empty()) << "the finished sound is gone";

    for (int i = 0; i < 30; ++i) tick();
    EXPECT_EQ(1, beeps()) << "never twice";
}

TEST_F(SoundPlaybackTest, AStoppedSoundNeverFiresItsEndTrigger) {
    hub->play(kSounds + "beep", "sfx", false, "beeped", 0);
    hub->play(kSounds + "long", "sfx", false, "beeped", 0);
    hub->stop(kSounds + "beep", 0);
    hub->stop(kSounds + "long", 0.2f);
    for (int i = 0; i < 60; ++i) tick();
    EXPECT_TRUE(hub->sounds().empty());
    EXPECT_EQ(0, beeps());
}

TEST_F(SoundPlaybackTest, AnUndecodableFileIsListedSilentlyUntilStopped) {
    hub->play(kSounds + "corrupt", "sfx", false, "beeped", 0);
    ASSERT_EQ(1u, hub->sounds().size());
    for (int i = 0; i < 20; ++i) tick();
    EXPECT_EQ(1u, hub->sounds().size());
    EXPECT_EQ(0, beeps());
    hub->stop(kSounds + "corrupt", 0);
    tick();
    EXPECT_TRUE(hub->sounds().empty());
}
