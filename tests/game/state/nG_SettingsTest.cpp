#include "engine/media/nE_Cursor.h"
#include "engine/media/nE_SoundHub.h"
#include "engine/script/nE_LuaSandbox.h"
#include "game/state/nG_ProfileEnvelope.h"
#include "game/state/nG_Settings.h"
#include "pflib/TTexture.h"
#include "tests/game/state/ProfileTestSupport.h"

using profiletest::ProfileTest;

namespace {

// Points the game folder at the test's folder, so that the publisher file is read from there.
struct GameDir {
    explicit GameDir(const std::string& dir) : previous(pf::TPlatform::GetRunOptions()) {
        pf::TRunOptions options = previous;
        options.gameDir = dir;
        pf::TPlatform::SetRunOptions(options);
    }
    ~GameDir() { pf::TPlatform::SetRunOptions(previous); }
    pf::TRunOptions previous;
};

}  // namespace

TEST_F(ProfileTest, SettingsAreWrittenAndReadBackExactly) {
    GameDir game(dir);
    nG_ProfileHub hub(false);
    nG_Settings settings(&hub);
    settings.load();
    EXPECT_TRUE(logged("nG_Settings::Could not find 'assets/publisher_settings.xml' file!"));
    EXPECT_EQ(read("settings.xml"),
              "<settings fullscreen=\"1\" syscursor=\"0\" sfx_volume=\"0.75\" env_volume=\"0.75\" "
              "soundtrack_volume=\"0.75\" voice_volume=\"0.75\" gamma=\"1\">\n    <profiles/>\n</settings>\n")
        << "a missing file is written with the defaults, an empty list without \"current\"";

    settings.fullscreen = false;
    settings.syscursor = true;
    settings.setVolume("sfx", 0.3f);
    settings.setVolume("env", 0.123456789f);
    settings.setVolume("soundtrack", 1.f);
    settings.setVolume("voice", 0.f);
    settings.setVolume("other", 0.5f);
    settings.gamma = 1.25f;
    EXPECT_EQ(settings.volume("other"), 0.f);
    hub.addProfile("Wren");
    hub.addProfile("Ysolde");
    hub.selectProfile("Ysolde");
    ASSERT_TRUE(settings.save());
    EXPECT_NE(read("settings.xml").find("sfx_volume=\"0.3\" env_volume=\"0.123457\""), std::string::npos);
    EXPECT_NE(read("settings.xml").find("<profiles current=\"Ysolde\">\n        <profile>Wren</profile>"),
              std::string::npos);

    write("p_Ysolde.xml",
          nG_ProfileEnvelope::wrap("<profile game_mode=\"0\" guide_page=\"4\"><achievements/></profile>"));
    nG_ProfileHub hub2(false);
    nG_Settings again(&hub2);
    again.load();
    EXPECT_FALSE(again.fullscreen);
    EXPECT_TRUE(again.syscursor);
    EXPECT_EQ(again.volume("sfx"), 0.3f);
    EXPECT_FLOAT_EQ(again.volume("env"), 0.123457f) << "%g keeps six significant digits";
    EXPECT_EQ(again.volume("soundtrack"), 1.f);
    EXPECT_EQ(again.volume("voice"), 0.f);
    EXPECT_EQ(again.gamma, 1.25f);
    ASSERT_EQ(hub2.count(), 2);
    EXPECT_EQ(hub2.currentProfile()->name, "Ysolde");
    EXPECT_EQ(hub2.currentProfile()->guidePage, 4) << "selecting the current profile loads its file";
    ASSERT_TRUE(again.save());
    nG_Settings third(&hub2);
    third.load();
    EXPECT_EQ(third.print(), again.print());
}

TEST_F(ProfileTest, PublisherAddressAndAppliedVolumes) {
    GameDir game(dir);
    std::system(("mkdir -p '" + dir + "/assets'").c_str());
    write("assets/publisher_settings.xml", "<publisher url=\"https://example.org/halvern\"/>");
    nG_Settings settings(nullptr);
    settings.load();
    EXPECT_EQ(settings.url, "https://example.org/halvern");
    EXPECT_EQ(pf::TTexture::PixelBudget(), pf::TTexture::kDefaultPixelBudget);
    write("assets/publisher_settings.xml", "<publisher image_budget=\"100x20\" script_memory_mb=\"32\"/>");
    settings.load();
    EXPECT_EQ(pf::TTexture::PixelBudget(), 2000u);
    EXPECT_EQ(nE_LuaSandbox::defaultMemoryCap(), size_t(32) << 20);
    write("assets/publisher_settings.xml", "<publisher image_budget=\"100\" script_memory_mb=\"8\"/>");
    settings.load();
    EXPECT_EQ(pf::TTexture::PixelBudget(), pf::TTexture::kDefaultPixelBudget);
    EXPECT_EQ(nE_LuaSandbox::defaultMemoryCap(), nE_LuaSandbox::kDefaultMemoryCap);
    EXPECT_TRUE(logged("nG_Settings: image_budget \"100\" is not WIDTHxHEIGHT; the default stays"));
    EXPECT_TRUE(
        logged("nG_Settings: script_memory_mb \"8\" is not a number from 16 to 4096; scripts keep 256"));
    write("assets/publisher_settings.xml", "<publisher url=\"https://example.org/halvern\"/>");

    write("assets/publisher_settings.xml", "<publisher url=");
    nG_Settings broken(nullptr);
    broken.load();
    EXPECT_EQ(broken.url, "");
    EXPECT_TRUE(logged("nG_Settings: Error loading publisher settings"));

    struct Cursor : nE_Cursor {
        void setUseSystem(bool use) override { useSystem = use; }
    } cursor;
    nE_Cursor::setCurrent(&cursor);
    settings.sfx = 0.1f;
    settings.voice = 0.4f;
    settings.syscursor = true;
    settings.applyAll();
    EXPECT_FLOAT_EQ(nE_SoundHub::get()->getGroupVolume("sfx"), 0.1f);
    EXPECT_FLOAT_EQ(nE_SoundHub::get()->getGroupVolume("voice"), 0.4f);
    EXPECT_FLOAT_EQ(nE_SoundHub::get()->getGroupVolume("env"), 0.75f);
    EXPECT_TRUE(cursor.useSystem);
    settings.setVolume("music", 0.2f);
    EXPECT_FLOAT_EQ(nE_SoundHub::get()->getGroupVolume("music"), 0.2f) << "an unknown group reaches the hub";
    nE_Cursor::setCurrent(nullptr);
    nE_SoundHub::destroy();
}

TEST_F(ProfileTest, ADamagedSettingsFileKeepsTheProgramGoingAndTheProfilesListed) {
    for (const char* bad : {"<settings fullscreen=\"0\"", "", "just text", "<!-- nothing -->"}) {
        write("settings.xml", bad);
        write("p_Wren.xml", nG_ProfileEnvelope::wrap(
                                "<profile game_mode=\"0\" guide_page=\"2\"><achievements/></profile>"));
        write("p_Ada.xml", "whatever");
        write("p_Ada.xml.bak", "x");
        write("p_bad name!.xml", "x");
        nG_ProfileHub hub(false);
        nG_Settings settings(&hub);
        settings.load();
        EXPECT_TRUE(settings.fullscreen) << bad;
        EXPECT_EQ(read("settings.xml.corrupt"), "<settings fullscreen=\"0\"")
            << "the first is never replaced";
        EXPECT_EQ(read(exists("settings.xml.corrupt.1") ? "settings.xml.corrupt.1" : "settings.xml.corrupt"),
                  bad)
            << "a later one is kept beside it";
        ASSERT_EQ(hub.count(), 2) << bad;
        EXPECT_EQ(hub.nameAt(0), "Ada") << "rebuilt in name order";
        EXPECT_EQ(hub.nameAt(1), "Wren");
        EXPECT_NE(read("settings.xml").find("<profile>Wren</profile>"), std::string::npos)
            << "the rebuilt list is written at once";
        std::remove(path("settings.xml.corrupt.1").c_str());
    }
}

TEST_F(ProfileTest, WithoutAListOfPlayersThePlayersAreFoundByTheirFiles) {
    for (const char* text :
         {"", "<settings/>", "<settings><profiles current=\"X\"><profile/></profiles></settings>"}) {
        *text ? write("settings.xml", text) : (void)std::remove(path("settings.xml").c_str());
        write("p_Wren.xml", "x");
        write("p_Ada.xml", "x");
        nG_ProfileHub hub(false);
        nG_Settings settings(&hub);
        settings.load();
        EXPECT_EQ(hub.nameAt(0) + hub.nameAt(1), "AdaWren") << text;
    }
}
