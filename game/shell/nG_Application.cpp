#include "game/shell/nG_Application.h"

#include <cstring>
#include <memory>
#include <string>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Debug.h"
#include "engine/core/nE_DisplayChoice.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Language.h"
#include "engine/core/nE_Object.h"
#include "engine/core/nE_Scene.h"
#include "engine/core/nE_StringTable.h"
#include "engine/core/notEngine_Pl5.h"
#include "engine/media/nE_Cursor.h"
#include "engine/media/nE_Render.h"
#include "engine/script/nE_ContentRules.h"
#include "engine/script/nE_Module.h"
#include "engine/script/nE_TimerHub.h"
#include "engine/script/nE_TriggerHub.h"
#include "game/core/nG_Mediator.h"
#include "game/script/nG_ScriptFunctions.h"
#include "game/script/nG_SettingsFunctions.h"
#include "game/shell/nG_DevInspector.h"
#include "game/shell/nG_DevOverlay.h"
#include "game/shell/nG_DevReload.h"
#include "game/shell/nG_GameTypes.h"
#include "game/shell/nG_RunOptions.h"
#include "game/shell/nG_Screen.h"
#include "game/state/nG_ProfileHub.h"
#include "game/state/nG_ScriptTable.h"
#include "game/state/nG_Settings.h"
#include "pflib/TFile.h"
#include "pflib/TPlatform.h"

extern "C" {
#include <lua.h>
}

namespace {

const char* const kStringsFile = nE_Language::kBaseStrings;
const char* const kTitleKey = "window_title_ce";
const char* const kLostFocusTrigger = "ng_lostfocus";
const char* const kCloseTrigger = "ng_close";

bool g_editorFlag = false;
float g_runTime = 0;
notEngine_Pl5* g_engine = nullptr;
nG_Mediator* g_mediator = nullptr;
nE_StringTable* g_strings = nullptr;
nG_ProfileHub* g_profiles = nullptr;
nG_Settings* g_settings = nullptr;
// Developer mode reloads what is shown when its files change, and shows the author's errors and the objects
// under the pointer over the scene.
std::unique_ptr<nG_DevReload> g_reload;
std::unique_ptr<nG_DevOverlay> g_errors;
std::unique_ptr<nG_DevInspector> g_inspector;

}  // namespace

void nG_Application::declareContent() {
    using R = nE_ContentRules;
    const char* const owner = "nG_Application";
    R::addNeed({"", R::kFile, kStringsFile, owner, "", ""});
    R::addNeed({"", R::kStringKey, kTitleKey, owner, "", ""});
    R::addNeed({"", R::kTrigger, kLostFocusTrigger, owner, "", ""});
    R::addNeed({"", R::kTrigger, kCloseTrigger, owner, "", ""});
}

std::string nG_Application::startLanguage(nG_Settings& settings) {
    // The first start speaks the system's language when the game has it, and keeps that choice.
    if (settings.language.empty()) {
        settings.language = nE_Language::resolve(nE_Language::fromEnvironment());
        settings.save();
    }
    const std::string& asked = nG_RunOptions::get().language;
    if (asked.empty()) return nE_Language::resolve(settings.language);
    if (asked == nE_Language::kBase || nE_Language::has(asked)) return asked;
    nE_Debug::writef("--lang %s: the game has no such language; it runs in English", asked.c_str());
    return nE_Language::kBase;
}

bool nG_Application::editorFlag() {
    return g_editorFlag;
}
float nG_Application::runTime() {
    return g_runTime;
}

bool nG_Application::startup(const char* commandLine) {
    g_editorFlag = commandLine && std::strstr(commandLine, "-e") != nullptr;

    g_engine = new notEngine_Pl5();

    g_mediator = new nG_Mediator();
    nE_Mediator::setCurrent(g_mediator);

    g_strings = new nE_StringTable();
    nE_StringTable::setCurrent(g_strings);
    g_strings->load(kStringsFile);

    g_profiles = new nG_ProfileHub(g_editorFlag);
    nG_ProfileHub::setCurrent(g_profiles);
    g_settings = new nG_Settings(g_profiles);
    nG_Settings::setCurrent(g_settings);
    g_settings->load();
    nE_Language::apply(*g_strings, startLanguage(*g_settings));

    nG_GameTypes::registerAll();
    g_engine->SetInitCallback(gameInit);
    g_engine->SetShutdownCallback(gameShutdown);

    const nE_DisplayChoice choice = nE_DisplayChoice::choose(g_settings->fullscreen);
    const std::string title = g_strings->get(kTitleKey, "", "", "", "", "");
    g_engine->Init(0, 0, choice.width, choice.height, choice.fullscreen, title);

    g_settings->fullscreen = g_engine->IsFullscreen();
    g_profiles->loadAll();
    nE_DisplayChoice::applyCanvas();
    g_engine->SetGamma(g_settings->gamma);
    g_settings->applyAll();

    g_engine->SetDrawCallback(gameDraw);
    g_engine->SetEventCallback(gameEvent);
    g_engine->SetUpdateCallback(gameUpdate);
    g_engine->SetFocusGainedCallback(focusGained);
    g_engine->SetFocusLostCallback(focusLost);
    g_engine->SetToggleDisplayCallback(toggleDisplay);
    nG_SettingsFunctions::setFullScreenHandler(toggleDisplay);
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
    nG_SettingsFunctions::setFullScreenHandler(nullptr);
    g_settings->save();
    nG_Settings::setCurrent(nullptr);
    delete g_settings;
    g_settings = nullptr;
    nG_ProfileHub::setCurrent(nullptr);
    delete g_profiles;
    g_profiles = nullptr;
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
    nG_ScriptTable::resetGlobal(L, "ng_global");
    nG_ScriptFunctions::registerGameFunctions(L);
    if (g_editorFlag) {
        g_reload = std::make_unique<nG_DevReload>();
        g_errors = std::make_unique<nG_DevOverlay>();
        g_inspector = std::make_unique<nG_DevInspector>();
    }

    auto* screen = new nG_Screen(g_editorFlag);
    // A module previewed from the command line takes the menu's place.
    // Its objects may sit anywhere in the live tree, so the root keeps the canvas mapping then.
    if (!nG_RunOptions::get().module.empty()) {
        screen->pendingSwitch = nG_Screen::kNone;
        screen->previewing = true;
        nE_DisplayChoice::setCanvasHolder("");
    }
    nE_Scene& scene = nE_Core::get()->scene();
    scene.attach(scene.root(), screen);
}

// A module named on the command line is the scene shown. It comes in with the first tick, when the
// profiles are loaded, as the menu would.
static void bringInPreview() {
    static bool done = false;
    const std::string& module = nG_RunOptions::get().module;
    if (done || module.empty()) return;
    done = true;
    if (!pf::TFile::Exists(nE_Module::fileName(module)))
        nE_Debug::writef("Module preview: \"%s\" does not exist", module.c_str());
    nE_Module::bringIn(module, true);
}

void nG_Application::gameDraw(nE_Render* renderer) {
    renderer->begin2d();
    nE_Core::get()->scene().draw(renderer);
    if (g_inspector) g_inspector->draw(renderer);
    if (g_errors) g_errors->draw(renderer);
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
    if (g_profiles) g_profiles->reportFailedWrites();
    bringInPreview();
    if (g_reload) g_reload->update(dt);
    core->triggerHub().runQueue();
    core->timerHub().update(dt);
    core->scene().update(dt);
    if (g_inspector) g_inspector->update();
    if (g_errors) g_errors->update();
    if (g_runTime < 0.01f) g_runTime += dt;
}

void nG_Application::gameEvent(const nE_InputEvent& event) {
    if (g_reload && g_reload->onEvent(event)) return;
    if (event.type == 2 || event.type == 3 || event.type == 4) {
        if (nE_Cursor* cursor = nE_Cursor::current())
            cursor->setPosition(static_cast<float>(static_cast<int>(event.x)),
                                static_cast<float>(static_cast<int>(event.y)));
    }
    if (g_errors && g_errors->onEvent(event)) return;
    if (g_inspector && g_inspector->onEvent(event)) return;
    nE_Core::get()->scene().dispatch(event);
}

void nG_Application::gameShutdown(notEngine*) {
    g_reload.reset();
    g_inspector.reset();
    g_errors.reset();
    if (nG_Screen* screen = nG_Screen::current()) screen->saveForClose();
    if (nE_Core::exists()) nE_Core::get()->triggerHub().executeNow("", kCloseTrigger);
}

void nG_Application::focusGained(notEngine*) {
    if (g_runTime < 0.01f) return;
    if (nG_Screen* screen = nG_Screen::current()) screen->setPaused(false);
}

void nG_Application::focusLost(notEngine*) {
    if (g_runTime < 0.01f) return;
    nE_Core::get()->triggerHub().executeNow("", kLostFocusTrigger);
    if (nG_Screen* screen = nG_Screen::current()) screen->setPaused(true);
}

bool nG_Application::toggleDisplay(bool wantFullscreen) {
    const nE_DisplayChoice choice = nE_DisplayChoice::choose(wantFullscreen);
    nE_DisplayChoice::applyCanvas();
    bool ok = true;
    if (g_engine->IsFullscreen() != choice.fullscreen || g_engine->GetWidth() != choice.width ||
        g_engine->GetHeight() != choice.height)
        ok = g_engine->SetDisplayMode(choice.width, choice.height, choice.fullscreen);
    // The mode the player switched to is the one the next launch starts in.
    if (g_settings) g_settings->fullscreen = g_engine->IsFullscreen();
    return ok;
}
