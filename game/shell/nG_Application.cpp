#include "game/shell/nG_Application.h"

#include <cstring>
#include <memory>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Debug.h"
#include "engine/core/nE_DisplayChoice.h"
#include "engine/core/nE_Factory.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Object.h"
#include "engine/core/nE_Scene.h"
#include "engine/core/nE_StringTable.h"
#include "engine/core/notEngine_Pl5.h"
#include "engine/media/nE_Cursor.h"
#include "engine/media/nE_Render.h"
#include "engine/objects/nE_AnimSprite.h"
#include "engine/objects/nE_ParticleSystem.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/objects/nE_Text.h"
#include "engine/objects/nE_Video.h"
#include "engine/script/nE_Module.h"
#include "engine/script/nE_TimerHub.h"
#include "engine/script/nE_TriggerHub.h"
#include "game/core/nG_Mediator.h"
#include "game/shell/nG_RunOptions.h"
#include "pflib/TFile.h"
#include "pflib/TPlatform.h"

extern "C" {
#include <lua.h>
}

namespace {

bool g_editorFlag = false;
float g_runTime = 0;
notEngine_Pl5* g_engine = nullptr;
nG_Mediator* g_mediator = nullptr;
nE_StringTable* g_strings = nullptr;

// Settings defaults until saved settings exist.
constexpr bool kDefaultFullscreen = true;
constexpr float kDefaultGamma = 1.0f;

void registerEngineTypes() {
    nE_Factory::registerType("obj", [] { return new nE_Object(); });
    nE_Factory::registerType("spr", [] { return new nE_Sprite(); });
    nE_Factory::registerType("anim", [] { return new nE_AnimSprite(); });
    nE_Factory::registerType("text", [] { return new nE_Text(); });
    nE_Factory::registerType("partsys", [] { return new nE_ParticleSystem(); });
    nE_Factory::registerType("video", [] { return new nE_Video(); });
}

}  // namespace

bool nG_Application::editorFlag() { return g_editorFlag; }
float nG_Application::runTime() { return g_runTime; }

bool nG_Application::startup(const char* commandLine) {
    g_editorFlag = commandLine && std::strstr(commandLine, "-e") != nullptr;

    registerEngineTypes();
    g_engine = new notEngine_Pl5();

    g_mediator = new nG_Mediator();
    nE_Mediator::setCurrent(g_mediator);

    g_strings = new nE_StringTable();
    nE_StringTable::setCurrent(g_strings);
    g_strings->load("assets/strings.xml");

    g_engine->SetInitCallback(gameInit);
    g_engine->SetShutdownCallback(gameShutdown);

    const nE_DisplayChoice choice = nE_DisplayChoice::choose(kDefaultFullscreen);
    const std::string title = g_strings->get("window_title_ce", "", "", "", "", "");
    g_engine->Init(0, 0, choice.width, choice.height, choice.fullscreen, title);

    g_engine->SetGamma(kDefaultGamma);

    g_engine->SetDrawCallback(gameDraw);
    g_engine->SetEventCallback(gameEvent);
    g_engine->SetUpdateCallback(gameUpdate);
    g_engine->SetFocusGainedCallback(focusGained);
    g_engine->SetFocusLostCallback(focusLost);
    g_engine->SetToggleDisplayCallback(toggleDisplay);
    return true;
}

bool nG_Application::event(const pf::TEvent& event) {
    if (g_engine) g_engine->HandleEvent(event);
    return true;
}

void nG_Application::draw() {
    if (g_engine) g_engine->Draw();
}

void nG_Application::update(float) {
    if (!g_engine) return;
    g_engine->UpdateTick();
    const int frames = nG_RunOptions::get().frames;
    if (frames > 0 && g_engine->TickCount() >= frames) pf::TPlatform::Exit(0);
}

void nG_Application::shutdown() {
    if (!g_engine) return;
    g_engine->Shutdown();
    nE_StringTable::setCurrent(nullptr);
    delete g_strings;
    g_strings = nullptr;
    nE_Mediator::setCurrent(nullptr);
    delete g_mediator;
    g_mediator = nullptr;
    delete g_engine;
    g_engine = nullptr;
}

void nG_Application::gameInit() {
    lua_State* L = nE_Core::get()->lua();
    lua_newtable(L);
    lua_setglobal(L, "ng_global");
    // Until the menu exists, a module named on the command line is the scene shown.
    const std::string& module = nG_RunOptions::get().module;
    if (!module.empty()) {
        if (!pf::TFile::Exists(nE_Module::fileName(module)))
            nE_Debug::writef("Module preview: \"%s\" does not exist", module.c_str());
        nE_Module::bringIn(module, true);
    }
}

void nG_Application::gameDraw(nE_Render* renderer) {
    renderer->begin2d();
    nE_Core::get()->scene().draw(renderer);
    renderer->end2d();
}

void nG_Application::gameUpdate(float dt) {
    nE_Core* core = nE_Core::get();
    nE_Cursor* cursor = nE_Cursor::current();
    nE_InputEvent move;
    move.type = 4;
    move.code = 3840;
    move.x = cursor ? cursor->x : 0;
    move.y = cursor ? cursor->y : 0;
    core->scene().dispatch(move);
    core->triggerHub().runQueue();
    core->timerHub().update(dt);
    core->scene().update(dt);
    if (g_runTime < 0.01f) g_runTime += dt;
}

void nG_Application::gameEvent(const nE_InputEvent& event) {
    if (event.type == 2 || event.type == 3 || event.type == 4) {
        if (nE_Cursor* cursor = nE_Cursor::current())
            cursor->setPosition(static_cast<float>(static_cast<int>(event.x)),
                                static_cast<float>(static_cast<int>(event.y)));
    }
    nE_Core::get()->scene().dispatch(event);
}

void nG_Application::gameShutdown(notEngine*) {
    if (nE_Core::exists()) nE_Core::get()->triggerHub().executeNow("", "ng_close");
}

void nG_Application::focusGained(notEngine*) {
    if (g_runTime < 0.01f) return;
}

void nG_Application::focusLost(notEngine*) {
    if (g_runTime < 0.01f) return;
    nE_Core::get()->triggerHub().executeNow("", "ng_lostfocus");
}

bool nG_Application::toggleDisplay(bool wantFullscreen) {
    const nE_DisplayChoice choice = nE_DisplayChoice::choose(wantFullscreen);
    if (g_engine->IsFullscreen() == choice.fullscreen && g_engine->GetWidth() == choice.width &&
        g_engine->GetHeight() == choice.height)
        return true;
    return g_engine->SetDisplayMode(choice.width, choice.height, choice.fullscreen);
}
