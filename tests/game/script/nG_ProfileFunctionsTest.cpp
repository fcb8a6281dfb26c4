#include <set>

#include "engine/core/nE_Mediator.h"
#include "engine/media/nE_Cursor.h"
#include "engine/media/nE_SoundHub.h"
#include "engine/script/nE_ScriptFunctions.h"
#include "game/script/nG_ProfileFunctions.h"
#include "game/script/nG_ScriptFunctions.h"
#include "game/script/nG_SettingsFunctions.h"
#include "pflib/recording/TRecordingPlatform.h"
#include "tests/game/state/ProfileTestSupport.h"

namespace {

class ProfileFunctionsTest : public profiletest::ProfileTest {
protected:
    void SetUp() override {
        ProfileTest::SetUp();
        nG_ScriptFunctions::registerGameFunctions(L);
        hub = std::make_unique<nG_ProfileHub>(false);
        settings = std::make_unique<nG_Settings>(hub.get());
        nG_ProfileHub::setCurrent(hub.get());
        nG_Settings::setCurrent(settings.get());
        nE_Mediator::current()->subscribe(MSG_GAME_MODE_CHANGED, &modes);
    }
    void TearDown() override {
        nE_Mediator::current()->unsubscribe(MSG_GAME_MODE_CHANGED, &modes);
        nG_Settings::setCurrent(nullptr);
        nG_ProfileHub::setCurrent(nullptr);
        settings.reset();
        hub.reset();
        ProfileTest::TearDown();
    }

    struct Modes : nE_Listener {
        void onMessage(const nE_Message& message) override {
            posted.push_back(*message.payload<MSG_GAME_MODE_CHANGED>());
        }
        std::vector<int> posted;
    } modes;
    std::unique_ptr<nG_ProfileHub> hub;
    std::unique_ptr<nG_Settings> settings;
};

}  // namespace

TEST(GameScriptFunctions, NamesAreUniqueAndApartFromTheEngines) {
    std::set<std::string> names;
    for (int i = 0; i < nG_ScriptFunctions::kCount; ++i) {
        ASSERT_NE(nG_ScriptFunctions::table()[i].name, nullptr) << i;
        names.insert(nG_ScriptFunctions::table()[i].name);
    }
    EXPECT_EQ(names.size(), static_cast<size_t>(nG_ScriptFunctions::kCount));
    for (const std::string& engine : nE_ScriptFunctions::registeredNames())
        EXPECT_EQ(names.count(engine), 0u);
}

TEST_F(ProfileFunctionsTest, ProfilesThroughScripts) {
    EXPECT_EQ(eval("GetNumProfiles()"), "0");
    EXPECT_EQ(eval("GetCurrentProfileId()"), "-1");
    EXPECT_EQ(eval("AddProfile('Wren')"), "0");
    EXPECT_EQ(eval("AddProfile(42)"), "1") << "numbers are names too";
    EXPECT_EQ(eval("AddProfile('../evil')"), "-1");
    EXPECT_EQ(eval("AddProfile()"), "-1");
    EXPECT_EQ(eval("GetNumProfiles()"), "2");
    EXPECT_EQ(eval("GetProfileNameById(1)"), "42");
    EXPECT_EQ(eval("GetProfileNameById(2)"), "") << "beyond the last profile";
    EXPECT_EQ(eval("GetProfileNameById('x')"), "Wren") << "not a number reads as 0";
    run("SetCurrentProfile('42')");
    EXPECT_EQ(eval("GetCurrentProfileId()"), "1");

    run("SetGameMode(2)");
    EXPECT_EQ(eval("GetGameMode()"), "2");
    EXPECT_EQ(modes.posted, std::vector<int>{2});
    EXPECT_EQ(eval("GetAchievement('gears')"), "0");
    hub->addAchievement(hub->currentProfile(), "gears");
    EXPECT_EQ(eval("GetAchievement('gears')"), "1");

    EXPECT_EQ(eval("IsGameSaveExist()"), "false");
    hub->saveSlot(hub->currentProfile(), 0);
    EXPECT_EQ(eval("IsGameSaveExist()"), "true") << "no argument checks slot 0";
    EXPECT_EQ(eval("IsGameSaveExist(1)"), "false");
    run("ClearProfileSave(0)");
    EXPECT_EQ(eval("IsGameSaveExist(0)"), "false");

    EXPECT_EQ(eval("tostring(SaveProfile('42')) .. tostring(SaveProfile('nobody'))"), "truefalse");
    EXPECT_TRUE(exists("p_42.xml"));
    run("SaveProfile()");
    EXPECT_TRUE(logged("Error in SaveProfile: no arg 1 (profile name)"));
    EXPECT_EQ(eval("IsCorruptedProfile()"), "0");
    run("ng_global.score = 11; SaveProfile('42')");
    write("p_42.xml", "damaged");
    run("SetCurrentProfile('42')");
    EXPECT_EQ(eval("IsCorruptedProfile() .. TakeRestoredProfiles() .. '|' .. TakeRestoredProfiles()"),
              "042|");
    std::remove(path("p_42.xml.bak").c_str());
    write("p_42.xml", "damaged");
    run("SetCurrentProfile('42')");
    EXPECT_EQ(eval("IsCorruptedProfile()"), "1");
    EXPECT_EQ(eval("GetNumProfiles()"), "1");
    run("DeleteProfile('Wren')");
    EXPECT_EQ(eval("GetNumProfiles()"), "0");
    EXPECT_EQ(eval("GetCurrentProfileId()"), "0") << "index 0 of an empty list: no profile";
    run("SetGameMode(5)");
    EXPECT_EQ(eval("GetGameMode()"), "0");
    EXPECT_EQ(modes.posted.size(), 1u) << "without a current profile nothing is announced";
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(ProfileFunctionsTest, SettingsThroughScripts) {
    struct Cursor : nE_Cursor {
        void setUseSystem(bool use) override { useSystem = use; }
    } cursor;
    nE_Cursor::setCurrent(&cursor);
    EXPECT_EQ(eval("GetSoundVolume('sfx')"), "0.75");
    run("SetSoundVolume('soundtrack', 0.25)");
    EXPECT_EQ(eval("GetSoundVolume('soundtrack')"), "0.25");
    EXPECT_FLOAT_EQ(nE_SoundHub::get()->getGroupVolume("soundtrack"), 0.25f);
    EXPECT_EQ(eval("GetSoundVolume('nothing')"), "0");
    run("SetSysCursor(true)");
    EXPECT_EQ(eval("GetSysCursor()"), "true");
    EXPECT_TRUE(cursor.useSystem);
    run("SetSysCursor(0)");
    EXPECT_EQ(eval("GetSysCursor()"), "false") << "0 is off, as scripts write it";
    EXPECT_EQ(eval("GetGamma()"), "1");
    run("SetGamma(1.5)");
    EXPECT_EQ(eval("GetGamma()"), "1.5");
    EXPECT_EQ(eval("GetFullScreen()"), "true");
    EXPECT_EQ(eval("SetFullScreen(true)"), "false") << "no display toggle registered";
    nG_SettingsFunctions::setFullScreenHandler([](bool on) { return on; });
    EXPECT_EQ(eval("SetFullScreen(1)"), "true");
    nG_SettingsFunctions::setFullScreenHandler(nullptr);
    settings->url = "https://example.org/";
    EXPECT_EQ(eval("GetUrl()"), "https://example.org/");
    pf::testing::BrowserRequests().clear();
    run("OpenBrowser(GetUrl()); OpenBrowser()");
    EXPECT_EQ(pf::testing::BrowserRequests(), std::vector<std::string>{"https://example.org/"});
    run("SaveSettings()");
    EXPECT_NE(read("settings.xml").find("soundtrack_volume=\"0.25\""), std::string::npos);
    EXPECT_NE(read("settings.xml").find("gamma=\"1.5\""), std::string::npos);
    nE_Cursor::setCurrent(nullptr);
    nE_SoundHub::destroy();
}
