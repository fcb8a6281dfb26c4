// SndPlay, SndStop and SndPauseAll against the sound hub on the recording platform.
#include <gtest/gtest.h>

#include "engine/media/nE_Sound.h"
#include "engine/media/nE_SoundHub.h"
#include "pflib/recording/TRecordingSound.h"
#include "tests/engine/script/ScriptFunctionsTestSupport.h"
#include "tests/engine/script/ScriptTestFolder.h"

namespace {

// Scripts name game files: the source tree is the game folder here.
const std::string kLong = script_test::GameFolderAt::data("sounds/long");

class SndFunctionsTest : public script_test::ScriptFunctionsTest {
protected:
    void SetUp() override {
        ScriptFunctionsTest::SetUp();
        nE_SoundHub::destroy();
        pf::testing::ResetSounds();
        lua_pushstring(L, kLong.c_str());
        lua_setglobal(L, "LONG");
    }
    void TearDown() override {
        nE_SoundHub::destroy();
        pf::testing::ResetSounds();
        ScriptFunctionsTest::TearDown();
    }
    const std::vector<std::unique_ptr<nE_Sound>>& sounds() { return nE_SoundHub::get()->sounds(); }

    script_test::GameFolderAt game;
};

}  // namespace

TEST_F(SndFunctionsTest, SndPlayReadsItsArgumentsByPosition) {
    EXPECT_EQ("", run("SndPlay(LONG, 'music', '1', 'ignored', 'ended(2)', 4)"));
    EXPECT_EQ(0, lua_gettop(L));
    ASSERT_EQ(1u, sounds().size());
    const nE_Sound& s = *sounds()[0];
    EXPECT_EQ(kLong, s.name);
    EXPECT_EQ("music", s.group);
    EXPECT_TRUE(s.looped);
    EXPECT_EQ("ended(2)", s.endTrigger);
    EXPECT_EQ(nE_Sound::kFadingIn, s.state);
    EXPECT_FLOAT_EQ(0.25f, s.fadeRate);

    EXPECT_EQ("",
              run("SndPlay(LONG, 'sfx', 0, nil, 'x') SndPlay(LONG, 'sfx', 2) SndPlay(LONG, 'sfx', 'yes')"));
    ASSERT_EQ(4u, sounds().size());
    EXPECT_FALSE(sounds()[1]->looped);
    EXPECT_EQ(nE_Sound::kPlaying, sounds()[1]->state) << "no fade-in by default";
    EXPECT_TRUE(sounds()[2]->looped) << "a number reads as its string";
    EXPECT_EQ("", sounds()[2]->endTrigger);
    EXPECT_FALSE(sounds()[3]->looped) << "atoi of a word is 0";
}

TEST_F(SndFunctionsTest, SndPlayWithoutANameStartsNothing) {
    EXPECT_EQ("", run("SndPlay() SndPlay({}, 'sfx', '1') SndPlay(nil)"));
    EXPECT_TRUE(sounds().empty());
    EXPECT_TRUE(pf::testing::PlayedSounds().empty());
}

TEST_F(SndFunctionsTest, SndStopFadesOrEndsAtOnce) {
    run("SndPlay(LONG, 'sfx', '1', 0, '') SndPlay(LONG, 'sfx', '1', 0, '')");
    EXPECT_EQ("", run("SndStop(LONG, 2)"));
    EXPECT_EQ(0, lua_gettop(L));
    EXPECT_EQ(nE_Sound::kFadingOut, sounds()[0]->state);
    EXPECT_EQ(nE_Sound::kFadingOut, sounds()[1]->state);
    EXPECT_EQ("", run("SndStop(LONG) SndStop() SndStop('other', 1)"));
    EXPECT_EQ(nE_Sound::kFinished, sounds()[0]->state);
    nE_SoundHub::get()->update(0.01f);
    EXPECT_TRUE(sounds().empty());
}

TEST_F(SndFunctionsTest, SndPauseAllPausesAndResumes) {
    run("SndPlay(LONG, 'sfx', '1', 0, '')");
    EXPECT_EQ("", run("SndPauseAll(true)"));
    EXPECT_TRUE(sounds()[0]->paused);
    EXPECT_TRUE(pf::testing::PlayedSounds()[0]->paused);
    EXPECT_EQ("", run("SndPauseAll(false)"));
    EXPECT_FALSE(sounds()[0]->paused);
    EXPECT_EQ("", run("SndPauseAll()"));
    EXPECT_FALSE(sounds()[0]->paused) << "nothing given reads as false";
    EXPECT_EQ(0, lua_gettop(L));
}
