// The SDL platform loop, headless with the fixed-step clock.
#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include "pflib/TPlatform.h"
#include "pflib/TRenderer.h"
#include "pflib/TTexture.h"
#include "pflib/pfClock.h"
#include "pflib/pfEntry.h"
#include "tests/pflib/TempDir.h"

namespace {

struct RunLog {
    std::string commandLine;
    int startups = 0, shutdowns = 0, updates = 0, draws = 0;
    std::vector<std::string> log;
    std::vector<float> dts;
    std::vector<double> clock;
    int exitAtUpdate = -1, exitCode = 0;
    int signalAtUpdate = -1;
};
RunLog gRun;

bool Startup(const char* commandLine) {
    ++gRun.startups;
    gRun.commandLine = commandLine;
    return pf::TPlatform::SetDisplay(64, 48, false, false, 0);
}

bool Event(const pf::TEvent& e) {
    gRun.log.push_back("event " + std::to_string(e.type) + " " + std::to_string(e.code) + " " +
                       std::to_string(e.x) + "," + std::to_string(e.y) + " before update " +
                       std::to_string(gRun.updates));
    return true;
}

void Update(float dt) {
    gRun.dts.push_back(dt);
    gRun.clock.push_back(pf::timeGetTime());
    ++gRun.updates;
    if (gRun.updates == gRun.exitAtUpdate) pf::TPlatform::Exit(gRun.exitCode);
    if (gRun.updates == gRun.signalAtUpdate) std::raise(SIGTERM);
}

void Draw() {
    ++gRun.draws;
    pf::TRenderer* r = pf::TRenderer::GetInstance();
    if (!r->BeginDraw()) return;
    r->Begin2d();
    r->GetDefault2dEffect()->SetBlendMode(pf::kBlendCopy);
    r->FillRect(pf::TURect{0, 0, 64, 48}, pf::TColor{0, 0, 1, 1}, nullptr);
    r->FillRect(pf::TURect{0, 0, 8, 8}, pf::TColor{1, 0, 0, 1}, nullptr);
    r->End2d();
    r->EndDraw(true);
}

void Shutdown() {
    ++gRun.shutdowns;
}

int Exec(const char* commandLine = "") {
    return pfExec(nullptr, nullptr, commandLine, 1, Startup, Event, Draw, Update, Shutdown, false);
}

class ExecTest : public ::testing::Test {
protected:
    void SetUp() override {
        gRun = RunLog();
        options.headless = true;
        options.fixedStep = true;
        options.userDir = dir / "user";
        pfInit();
    }
    void TearDown() override { pf::TPlatform::SetRunOptions(pf::TRunOptions()); }

    TempDir dir;
    pf::TRunOptions options;
};

}  // namespace

TEST_F(ExecTest, RunsStartupStepsAndShutdownInOrderUntilExit) {
    TempDir::Write(dir / "input.txt",
                   "# tick type code x y\n"
                   "0 4 0 10 20\n"
                   "3 1 0 30 40\n"
                   "3 3 0 30 40\n");
    options.inputFile = dir / "input.txt";
    options.screenshot = dir / "out/shot.png";
    pf::TPlatform::SetRunOptions(options);
    gRun.exitAtUpdate = 10;
    gRun.exitCode = 7;

    EXPECT_EQ(Exec("-e --something"), 7);
    EXPECT_EQ(gRun.commandLine, "-e --something");
    EXPECT_EQ(gRun.startups, 1);
    EXPECT_EQ(gRun.shutdowns, 1);
    EXPECT_EQ(gRun.updates, 10);
    EXPECT_EQ(gRun.draws, 10) << "Exit ends the run after the current step";
    EXPECT_EQ(gRun.log,
              (std::vector<std::string>{"event 4 0 10,20 before update 0", "event 1 0 30,40 before update 3",
                                        "event 3 0 30,40 before update 3"}));
    // The fixed-step clock moves by exactly one 60th of a second per step.
    for (size_t i = 1; i < gRun.clock.size(); ++i)
        EXPECT_NEAR(gRun.clock[i] - gRun.clock[i - 1], 1000.0 / 60.0, 1e-9);
    for (float dt : gRun.dts) EXPECT_NEAR(dt, 1.f / 60.f, 1e-6);

    auto shot = pf::TTexture::Get(dir / "out/shot.png");
    ASSERT_TRUE(shot) << "the screenshot of the last frame";
    EXPECT_EQ(shot->GetWidth(), 64);
    EXPECT_EQ(shot->GetHeight(), 48);
    const auto& p = shot->Pixels();
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[2], 0);
    EXPECT_EQ(p[p.size() - 2], 255) << "bottom-right is blue";
}

TEST_F(ExecTest, AQuitEventEndsTheRunThroughShutdown) {
    TempDir::Write(dir / "input.txt", "2 0 0 0 0\n");
    options.inputFile = dir / "input.txt";
    pf::TPlatform::SetRunOptions(options);
    EXPECT_EQ(Exec(), 0);
    EXPECT_EQ(gRun.updates, 2);
    EXPECT_EQ(gRun.shutdowns, 1);
}

TEST_F(ExecTest, SigtermEndsTheRunThroughShutdownOnce) {
    pf::TPlatform::SetRunOptions(options);
    gRun.signalAtUpdate = 4;
    EXPECT_EQ(Exec(), 0);
    EXPECT_EQ(gRun.updates, 4);
    EXPECT_EQ(gRun.shutdowns, 1);
}

TEST_F(ExecTest, AFailedStartupStillShutsDownOnce) {
    pf::TPlatform::SetRunOptions(options);
    const int code = pfExec(
        nullptr, nullptr, "", 1, [](const char*) { return false; }, Event, Draw, Update, Shutdown, false);
    EXPECT_NE(code, 0);
    EXPECT_EQ(gRun.updates, 0);
    EXPECT_EQ(gRun.shutdowns, 1);
}

TEST_F(ExecTest, AMissingInputFileIsReportedAndTheRunGoesOn) {
    options.inputFile = dir / "missing.txt";
    pf::TPlatform::SetRunOptions(options);
    gRun.exitAtUpdate = 3;
    EXPECT_EQ(Exec(), 0);
    EXPECT_EQ(gRun.updates, 3);
    EXPECT_NE(TempDir::Read(dir / "user/debug.log").find("missing.txt"), std::string::npos);
}

namespace {
int gRefreshes = 0;
std::shared_ptr<pf::TTexture> gGreen;

class CountRefresh : public pf::TTask {
public:
    bool Run() override {
        ++gRefreshes;
        return true;
    }
};

void DrawGreen() {
    pf::TRenderer* r = pf::TRenderer::GetInstance();
    if (!r->BeginDraw()) return;
    r->Begin2d();
    r->GetDefault2dEffect()->SetBlendMode(pf::kBlendCopy);
    r->FillRect(pf::TURect{0, 0, 64, 48}, pf::TColor{1, 1, 1, 1}, gGreen);
    r->End2d();
    r->EndDraw(true);
}
}  // namespace

TEST_F(ExecTest, ANewContextUploadsTexturesAgainAndTellsTheRefreshListeners) {
    options.screenshot = dir / "second.png";
    pf::TPlatform::SetRunOptions(options);
    pf::TPlatform::AdoptTextureRefreshListener(std::make_unique<CountRefresh>());
    gGreen = pf::TTexture::Create(2, 2, true, pf::TTexture::kPlain);
    for (size_t i = 0; i < gGreen->Pixels().size(); i += 4) {
        gGreen->Pixels()[i + 1] = 255;
        gGreen->Pixels()[i + 3] = 255;
    }
    gRun.exitAtUpdate = 2;
    pfExec(nullptr, nullptr, "", 1, Startup, Event, DrawGreen, Update, Shutdown, false);
    const int before = gRefreshes;

    gRun = RunLog();
    gRun.exitAtUpdate = 2;
    pfExec(nullptr, nullptr, "", 1, Startup, Event, DrawGreen, Update, Shutdown, false);
    EXPECT_EQ(gRefreshes, before + 1);
    auto shot = pf::TTexture::Get(dir / "second.png");
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->Pixels()[1], 255) << "the texture reached the new context";
    EXPECT_EQ(shot->Pixels()[0], 0);
    gGreen.reset();
}
