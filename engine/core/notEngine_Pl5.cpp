#include "engine/core/notEngine_Pl5.h"

#include <algorithm>
#include <cmath>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_DisplayChoice.h"
#include "engine/core/nE_EngineTypes.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Mediator.h"
#include "engine/core/nE_Messages.h"
#include "engine/core/nE_Object.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_Cursor.h"
#include "engine/media/nE_Font.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/media/nE_SoundHub.h"
#include "engine/media/platform/nE_Bindings_Pl5.h"
#include "engine/media/platform/nE_Cursor_Pl5.h"
#include "engine/media/platform/nE_Render_Pl5.h"
#include "engine/media/platform/nE_UpdateLostTexturesTask_Pl5.h"
#include "pflib/TEvent.h"
#include "pflib/TPlatform.h"
#include "pflib/TRenderer.h"
#include "pflib/pfClock.h"

float notEngine_Pl5::rawDelta = 0;

// Pointer events carry this code.
static constexpr int kPointerCode = 3840;

notEngine_Pl5::notEngine_Pl5(std::vector<void*> marks) : lostTextureMarks(std::move(marks)) {
    nE_EngineTypes::registerAll();
    nE_Bindings_Pl5::install();
}

notEngine_Pl5::~notEngine_Pl5() {
    dropRefreshListener();
    if (notEngine::instance() == this) publish(nullptr);
}

void notEngine_Pl5::dropRefreshListener() {
    // The task reaches this engine: a device reset after the engine went must not run it.
    if (refreshTask_) pf::TPlatform::DropTextureRefreshListener(refreshTask_);
    refreshTask_ = nullptr;
}

bool notEngine_Pl5::Init(int, int, int width, int height, bool wantFullscreen, const std::string& title) {
    pf::TPlatform::SetConfig(pf::TPlatform::kWindowTitle, title);
    if (pf::TRenderer* platformRenderer = pf::TRenderer::GetInstance()) {
        platformRenderer->SetOption("new_subtractive", "1");
        platformRenderer->SetOption("new_render_blend", "1");
        platformRenderer->SetOption("texture_rectangle", "1");
        platformRenderer->SetOption("fps", "0");
    }
    pf::TPlatform::SetConfig("texturememorymax", "524288000");

    framePeriod = 1.f / 60.f;
    publish(this);
    nE_Font::initLibrary();

    nE_Core::get();

    SetDisplayMode(width, height, wantFullscreen);

    renderer_ = std::make_unique<nE_Render_Pl5>();
    renderer_->init(displayWidth, displayHeight);
    renderer_->setGamma(gamma);

    nE_ResourceCache::create();
    pf::TPlatform::ShowCursor(false);
    renderer_->createSolidTextures();
    cursor_ = std::make_unique<nE_Cursor_Pl5>();
    nE_Cursor::setCurrent(cursor_.get());
    nE_SoundHub::get();

    if (init_) init_();

    lastTick = pf::timeGetTime();

    dropRefreshListener();
    auto task = std::make_unique<nE_UpdateLostTexturesTask_Pl5>([this] { AddLostTextureMark(); });
    refreshTask_ = task.get();
    pf::TPlatform::AdoptTextureRefreshListener(std::move(task));
    return true;
}

void notEngine_Pl5::Shutdown() {
    if (shutdown_) shutdown_(this);
    dropRefreshListener();
    if (cursor_) {
        nE_Cursor::setCurrent(nullptr);
        cursor_.reset();
    }
    nE_SoundHub::destroy();
    if (nE_Core::exists()) nE_Core::destroy();
    nE_Font::releaseLibrary();
    nE_ResourceCache::destroy();
    if (renderer_) {
        renderer_->shutdown();
        renderer_.reset();
    }
}

bool notEngine_Pl5::SetDisplayMode(int width, int height, bool wantFullscreen) {
    pf::TDisplay current = pf::TPlatform::GetDisplay();
    if (current.width != 0 && current.height != 0 && wantFullscreen && width != 800 && height != 600)
        pf::TPlatform::SetDisplay(800, 600, false, false, 0);

    pf::TPlatform::SetDisplay(width, height, wantFullscreen, false, 0);
    const pf::TDisplay obtained = pf::TPlatform::GetDisplay();
    bool ok = true;
    if (obtained.width != width || obtained.height != height || obtained.fullscreen != wantFullscreen) {
        pf::TPlatform::SetDisplay(obtained.width, obtained.height, obtained.fullscreen, false, 0);
        ok = false;
    }
    displayWidth = static_cast<float>(obtained.width);
    displayHeight = static_cast<float>(obtained.height);
    fullscreen = obtained.fullscreen;
    followDisplay();
    return ok;
}

void notEngine_Pl5::SetGamma(float value) {
    gamma = value;
    if (renderer_) renderer_->setGamma(value);
}

void notEngine_Pl5::Exit() {
    pf::TPlatform::Exit(0);
}

// A tick whose elapsed time falls short of the period by less than this still runs: the fixed-step
// clock advances by exactly 1000/60 ms, which rounds a hair below the float period.
static constexpr double kTickTolerance = 1e-6;

void notEngine_Pl5::UpdateTick() {
    const double now = pf::timeGetTime();
    const double elapsed = (now - lastTick) / 1000.0;
    if (elapsed + kTickTolerance < framePeriod) return;

    rawDelta = static_cast<float>(elapsed);
    const float dt = static_cast<float>(std::min(elapsed, 3.0 * framePeriod));
    lastTick = pf::timeGetTime();
    ++ticks_;

    if (update_) update_(dt);
    if (nE_SoundHub* hub = nE_SoundHub::get()) hub->update(dt);
    if (cursor_) cursor_->update(dt);

    if (!lostTextureMarks.empty()) {
        for (void* mark : lostTextureMarks) {
            if (texturesLost_) texturesLost_(mark);
            if (renderer_) renderer_->createSolidTextures();
            if (nE_Core::exists()) nE_Core::get()->scene().root()->restoreDeviceResources(true);
        }
        lostTextureMarks.clear();
    }
    tickDone_ = true;
}

void notEngine_Pl5::Draw() {
    while (!tickDone_) {
        UpdateTick();
        if (tickDone_) break;
        // Poll again when the period is about to be over; the clock may be virtual.
        const double waited = pf::timeGetTime() - lastTick;
        pf::SleepMs(std::max(0.0, framePeriod * 1000.0 - waited));
    }
    if (renderer_) {
        renderer_->beginFrame();
        renderer_->clear();
        if (draw_) draw_(renderer_.get());
        coverBars();
        if (cursor_) cursor_->draw(renderer_.get());
        renderer_->endFrame();
    }
    tickDone_ = false;
}

void notEngine_Pl5::coverBars() {
    const nE_CanvasMapping& m = nE_DisplayChoice::canvas();
    const float right = m.offsetX + m.scaleX * nE_DisplayChoice::kCanvasWidth;
    const float bottom = m.offsetY + m.scaleY * nE_DisplayChoice::kCanvasHeight;
    renderer_->coverOutside({static_cast<int>(std::lround(m.offsetX)),
                             static_cast<int>(std::lround(m.offsetY)), static_cast<int>(std::lround(right)),
                             static_cast<int>(std::lround(bottom))});
}

void notEngine_Pl5::Resize(int width, int height) {
    if (width <= 0 || height <= 0) return;
    displayWidth = static_cast<float>(width);
    displayHeight = static_cast<float>(height);
    followDisplay();
}

void notEngine_Pl5::followDisplay() {
    if (renderer_) renderer_->setDisplaySize(displayWidth, displayHeight);
    if (displayWidth <= 0 || displayHeight <= 0) return;
    nE_DisplayChoice::canvas() =
        nE_DisplayChoice::fit(static_cast<int>(displayWidth), static_cast<int>(displayHeight));
    nE_DisplayChoice::applyCanvas();
}

void notEngine_Pl5::HandleEvent(const pf::TEvent& event) {
    tickDone_ = false;
    nE_InputEvent input;
    switch (event.type) {
        case pf::kEventQuit:
            pf::TPlatform::Exit(0);
            return;
        case pf::kEventButtonDown:
            // A press on a bar beside the canvas acts on nothing; the pointer still moves there.
            if (!nE_DisplayChoice::canvas().onCanvas(static_cast<float>(event.x),
                                                     static_cast<float>(event.y))) {
                pf::TEvent moved = event;
                moved.type = pf::kEventPointerMove;
                HandleEvent(moved);
                return;
            }
            [[fallthrough]];
        case pf::kEventButtonUp:
        case pf::kEventPointerMove:
            input.type = event.type == pf::kEventButtonDown ? 2 : event.type == pf::kEventButtonUp ? 3 : 4;
            input.code = kPointerCode;
            input.x = static_cast<float>(event.x);
            input.y = static_cast<float>(event.y);
            break;
        case pf::kEventPointerLeft:
            if (cursor_) cursor_->hidden = true;
            return;
        case pf::kEventKeyDown:
            if (event.flags == pf::kKeyFlagRepeat) return;
            input.type = 0;
            input.code = event.code;
            break;
        case pf::kEventKeyUp:
            input.type = 1;
            input.code = event.code;
            break;
        case pf::kEventActivation:
            if (event.code) {
                if (focusGained_) focusGained_(this);
            } else if (focusLost_) {
                focusLost_(this);
            }
            return;
        case pf::kEventDisplayResized:
            Resize(event.x, event.y);
            return;
        case pf::kEventDisplayToggle:
            if (toggleDisplay_) {
                bool ok = toggleDisplay_(!IsFullscreen());
                nE_Mediator::postToCurrent<MSG_FULLSCREEN_CHANGED>(&ok);
            }
            return;
        default:
            return;
    }
    if (event_) event_(input);
}
