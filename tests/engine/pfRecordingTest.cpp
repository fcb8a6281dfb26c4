// The recording stand-in of the platform library that the engine's unit tests run on.
#include <gtest/gtest.h>

#include "pflib/TPlatform.h"
#include "pflib/TSound.h"
#include "pflib/TTexture.h"
#include "pflib/pfClock.h"
#include "pflib/pfEntry.h"
#include "pflib/recording/TRecordingPlatform.h"
#include "pflib/recording/TRecordingRenderer.h"
#include "pflib/recording/TRecordingSound.h"

namespace {

class Recording : public ::testing::Test {
protected:
    void SetUp() override { pf::testing::Reset(); }
    void TearDown() override { pf::testing::Reset(); }
};

class Counter : public pf::TSoundCallBack {
public:
    void OnPlaybackComplete() override { ++count; }
    int count = 0;
};

}  // namespace

TEST_F(Recording, RendererRecordsCallsWithTheStateInForce) {
    pf::TRenderer* renderer = pf::TRenderer::GetInstance();
    auto& rec = pf::testing::Recorder();
    ASSERT_EQ(renderer, &rec);

    ASSERT_TRUE(renderer->BeginDraw());
    ASSERT_TRUE(renderer->Begin2d());
    auto texture = pf::TTexture::Create(4, 4, true, pf::TTexture::kPlain);
    pf::TBasicEffect* effect = renderer->GetDefault2dEffect();
    effect->SetTexture(texture);
    effect->SetBlendMode(pf::kBlendAdd);
    effect->SetTextureMapMode(pf::kMapWrap, pf::kMapClamp);
    renderer->SetClippingRectangle(pf::TURect{1, 2, 3, 4});
    pf::TMat4 move = pf::TMat4::Identity();
    move.m[12] = 100;
    renderer->SetWorldMatrix(move);
    pf::TVertex quad[4];
    quad[1].x = 10;
    quad[3].x = 10;
    const uint16_t indices[] = {3, 1};
    ASSERT_TRUE(renderer->DrawIndexedVertices(pf::kDrawLineList, pf::TVertexSet{quad, 4}, indices, 2));
    renderer->End2d();
    renderer->EndDraw(true);

    EXPECT_EQ(rec.Names(),
              (std::vector<pf::str>{"BeginDraw", "Begin2d", "SetClippingRectangle", "SetWorldMatrix",
                                    "DrawIndexedVertices", "End2d", "EndDraw"}));
    const pf::testing::TRecordedCall* draw = rec.Last("DrawIndexedVertices");
    ASSERT_NE(draw, nullptr);
    EXPECT_EQ(draw->texture, texture.get());
    EXPECT_EQ(draw->blend, pf::kBlendAdd);
    EXPECT_EQ(draw->mapU, pf::kMapWrap);
    EXPECT_EQ(draw->mapV, pf::kMapClamp);
    EXPECT_TRUE(draw->clipOn);
    EXPECT_EQ(draw->clip.bottom, 4);
    EXPECT_EQ(draw->drawType, pf::kDrawLineList);
    ASSERT_EQ(draw->transformed.size(), 2u);
    EXPECT_FLOAT_EQ(draw->transformed[0].x, 110);  // vertex 3, moved
    EXPECT_EQ(rec.Draws().size(), 1u);
    EXPECT_EQ(rec.GetStats().submissions, 1);
    EXPECT_EQ(rec.Last("EndDraw")->args[0], 1.0);

    // The log holds no texture alive.
    std::weak_ptr<pf::TTexture> weak = texture;
    effect->SetTexture(nullptr);
    texture.reset();
    EXPECT_TRUE(weak.expired());
}

TEST_F(Recording, RendererRefusesWhatTheRealOneRefusesAndFailsOnRequest) {
    pf::TRenderer* renderer = pf::TRenderer::GetInstance();
    auto& rec = pf::testing::Recorder();
    pf::TVertex v[3];
    EXPECT_FALSE(renderer->DrawVertices(pf::kDrawTriangleList, pf::TVertexSet{v, 3})) << "no frame open";
    EXPECT_FALSE(renderer->Begin2d());
    rec.failBeginDraw = true;
    EXPECT_FALSE(renderer->BeginDraw());
    rec.failBeginDraw = false;
    ASSERT_TRUE(renderer->BeginDraw());
    const uint16_t bad[] = {0, 1, 3};
    EXPECT_FALSE(renderer->DrawIndexedVertices(pf::kDrawTriangleList, pf::TVertexSet{v, 3}, bad, 3));

    auto target = pf::TTexture::Create(8, 8, true, pf::TTexture::kRenderTarget);
    EXPECT_FALSE(renderer->BeginRenderTarget(pf::TTexture::Create(8, 8, true, pf::TTexture::kPlain)));
    rec.failBeginRenderTarget = true;
    EXPECT_FALSE(renderer->BeginRenderTarget(target));
    rec.failBeginRenderTarget = false;
    EXPECT_TRUE(renderer->BeginRenderTarget(target));
    EXPECT_FALSE(renderer->BeginRenderTarget(target)) << "targets do not nest";
    renderer->FillRect(pf::TURect{0, 0, 8, 8}, pf::TColor{1, 0, 0, 0.5f}, nullptr);
    EXPECT_TRUE(rec.Last("FillRect")->inTarget);
    EXPECT_FLOAT_EQ(rec.Last("FillRect")->args[7], 0.5);
    renderer->EndRenderTarget();
    EXPECT_FALSE(rec.target);
    EXPECT_EQ(rec.Count("BeginRenderTarget"), 4);
}

TEST_F(Recording, DisplayObtainsWhatIsAskedOrWhatTheTestForces) {
    pf::testing::SetDesktop(1024, 768, {{800, 600, 60, 32}});
    pf::TDisplayDevice device;
    ASSERT_TRUE(pf::TPlatform::EnumDisplayDevices(0, device));
    pf::TDisplayMode mode;
    ASSERT_TRUE(pf::TPlatform::EnumDisplaySettings(device.name, pf::kEnumRegistrySettings, mode));
    EXPECT_EQ(mode.width, 1024);
    EXPECT_EQ(mode.frequency, 60);
    ASSERT_TRUE(pf::TPlatform::EnumDisplaySettings(device.name, 0, mode));
    EXPECT_EQ(mode.width, 800);
    EXPECT_FALSE(pf::TPlatform::EnumDisplaySettings(device.name, 1, mode));

    EXPECT_TRUE(pf::TPlatform::SetDisplay(1024, 768, true, false, 0));
    EXPECT_EQ(pf::TPlatform::GetDisplay().width, 1024);
    EXPECT_TRUE(pf::TPlatform::GetDisplay().fullscreen);
    pf::testing::ObtainDisplay(640, 480, false);
    EXPECT_TRUE(pf::TPlatform::SetDisplay(1024, 768, true, false, 0));
    EXPECT_EQ(pf::TPlatform::GetDisplay().width, 640);
    EXPECT_FALSE(pf::TPlatform::GetDisplay().fullscreen);
    ASSERT_EQ(pf::testing::DisplayRequests().size(), 2u);
    EXPECT_TRUE(pf::testing::DisplayRequests()[1].fullscreen);

    pf::TPlatform::ShowCursor(false);
    EXPECT_FALSE(pf::testing::CursorShown());
    pf::TPlatform::OpenBrowser("https://example.org");
    EXPECT_EQ(pf::testing::BrowserRequests().size(), 1u);
    pf::TPlatform::Exit(3);
    EXPECT_TRUE(pf::TPlatform::ExitRequested());
    EXPECT_EQ(pf::TPlatform::ExitCode(), 3);
}

TEST_F(Recording, TheClockStaysWhereTheTestPutsIt) {
    pf::testing::SetTime(1000);
    EXPECT_EQ(pf::timeGetTime(), 1000);
    pf::testing::AdvanceTime(16);
    EXPECT_EQ(pf::timeGetTime(), 1016);
    pf::SleepMs(4);
    EXPECT_EQ(pf::timeGetTime(), 1020);
}

TEST_F(Recording, SoundsCompleteOnceAndNeverWhenKilledLoopedOrGone) {
    char dir[] = "/tmp/pfrec.XXXXXX";
    ASSERT_TRUE(mkdtemp(dir));
    const std::string name = std::string(dir) + "/beep";
    FILE* f = std::fopen((name + ".ogg").c_str(), "w");
    ASSERT_TRUE(f);
    std::fclose(f);

    EXPECT_FALSE(pf::TSound::Get(std::string(dir) + "/missing", false));
    auto sound = pf::TSound::Get(name, false);
    ASSERT_TRUE(sound);
    Counter counter;
    auto played = sound->Play(false, 0);
    played->SetCallBack(&counter);
    played->SetVolume(0.8f);
    auto record = pf::testing::PlayedSounds().back();
    EXPECT_FLOAT_EQ(record->volume, 0.8f);
    EXPECT_TRUE(pf::testing::CompleteSound(record));
    EXPECT_FALSE(pf::testing::CompleteSound(record));
    EXPECT_EQ(counter.count, 1);

    auto killed = sound->Play(false, 0);
    killed->SetCallBack(&counter);
    killed->Kill(0);
    EXPECT_FALSE(pf::testing::CompleteSound(1));
    auto looped = sound->Play(true, 0);
    looped->SetCallBack(&counter);
    EXPECT_FALSE(pf::testing::CompleteSound(2));
    auto gone = sound->Play(false, 0);
    gone->SetCallBack(&counter);
    gone.reset();
    EXPECT_TRUE(pf::testing::PlayedSounds()[3]->destroyed);
    EXPECT_FALSE(pf::testing::CompleteSound(3));
    EXPECT_EQ(counter.count, 1);

    pf::testing::FailSound(name);
    EXPECT_FALSE(pf::TSound::Get(name, false));
    std::remove((name + ".ogg").c_str());
    std::remove(dir);
}

namespace {
int gUpdates = 0, gEvents = 0, gShutdowns = 0;
}  // namespace

TEST_F(Recording, ExecRunsTheGivenStepsWithQueuedEvents) {
    gUpdates = gEvents = gShutdowns = 0;
    pf::testing::SetExecSteps(5);
    pf::TEvent click;
    click.type = pf::kEventButtonDown;
    pf::testing::QueueEvent(2, click);
    const int code = pfExec(
        nullptr, nullptr, "-e", 1, [](const char* line) { return std::string(line) == "-e"; },
        [](const pf::TEvent& e) {
            EXPECT_EQ(gUpdates, 2);
            EXPECT_EQ(e.type, pf::kEventButtonDown);
            ++gEvents;
            return true;
        },
        [] {}, [](float) { ++gUpdates; }, [] { ++gShutdowns; }, false);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(gUpdates, 5);
    EXPECT_EQ(gEvents, 1);
    EXPECT_EQ(gShutdowns, 1);

    gUpdates = 0;
    pf::testing::SetExecSteps(100);
    EXPECT_EQ(pfExec(
                  nullptr, nullptr, "", 1, [](const char*) { return true; }, nullptr, nullptr,
                  [](float) {
                      if (++gUpdates == 3) pf::TPlatform::Exit(4);
                  },
                  nullptr, false),
              4);
    EXPECT_EQ(gUpdates, 3);
}

TEST_F(Recording, WithoutTheLogCallsStillKeepStateAndCounters) {
    pf::TRenderer* renderer = pf::TRenderer::GetInstance();
    auto& rec = pf::testing::Recorder();
    rec.keepLog = false;
    ASSERT_TRUE(renderer->BeginDraw());
    ASSERT_TRUE(renderer->Begin2d());
    renderer->SetClippingRectangle(pf::TURect{1, 2, 3, 4});
    pf::TVertex quad[4];
    EXPECT_TRUE(renderer->DrawVertices(pf::kDrawTriangleStrip, pf::TVertexSet{quad, 4}));
    EXPECT_FALSE(renderer->DrawVertices(pf::kDrawTriangleStrip, pf::TVertexSet{quad, 0}));
    const uint16_t bad[] = {0, 9};
    EXPECT_FALSE(renderer->DrawIndexedVertices(pf::kDrawLineList, pf::TVertexSet{quad, 4}, bad, 2));
    renderer->End2d();
    renderer->EndDraw(true);
    EXPECT_TRUE(rec.calls.empty());
    EXPECT_EQ(rec.GetStats().submissions, 1);
    EXPECT_EQ(rec.GetStats().vertices, 4);
    EXPECT_TRUE(rec.clipOn);
    EXPECT_EQ(rec.clip.right, 3);
    EXPECT_FALSE(rec.drawing);

    rec.Reset();
    EXPECT_TRUE(rec.keepLog);
}
