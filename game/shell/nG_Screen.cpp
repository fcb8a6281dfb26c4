#include "game/shell/nG_Screen.h"

#include <cstdio>
#include <lua.hpp>

#include "engine/core/nE_AnimLine.h"
#include "engine/core/nE_Core.h"
#include "engine/core/nE_Debug.h"
#include "engine/core/nE_DisplayChoice.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Scene.h"
#include "engine/core/notEngine.h"
#include "engine/media/nE_Cursor.h"
#include "engine/media/nE_SoundHub.h"
#include "engine/objects/nE_PicturesAhead.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/script/nE_ContentRules.h"
#include "engine/script/nE_Module.h"
#include "engine/script/nE_TimerHub.h"
#include "engine/script/nE_TriggerHub.h"
#include "game/core/nG_Game.h"
#include "game/core/nG_Messages.h"
#include "game/interface/nG_Cursor.h"
#include "game/shell/nG_Menu.h"
#include "game/state/nG_Settings.h"

namespace {

nG_Screen* g_screen = nullptr;

constexpr int kKeyF1 = -100;
constexpr int kKeyF12 = -89;
constexpr float kFade = 0.4f;
constexpr int kTypeAlpha = 8, kTypeScaleX = 4, kTypeScaleY = 5;

struct CursorKind {
    const char* global;
    const char* image;
    float offsetX, offsetY;
    uint16_t systemCursor;
};
// In nG_Cursor's order. Arrow 32512, move 32646, hand 32649.
const CursorKind kCursors[nG_Cursor::kKinds] = {
    {"CURSOR_NULL", "", 0, 0, 0},
    {"CURSOR_DEFAULT", "assets/cursors/cursor", 14, 19, 32512},
    {"CURSOR_LOUPE", "assets/cursors/cursor_magglass", 0, 0, 32646},
    {"CURSOR_GET", "assets/cursors/cursor_get", 0, 0, 32649},
    {"CURSOR_HAND", "assets/cursors/cursor_hand", 24, 23, 32649},
    {"CURSOR_USE", "assets/cursors/cursor_use", 0, 0, 32649},
    {"CURSOR_DOWN", "assets/cursors/cursor_down", 0, 0, 32646},
    {"CURSOR_UP", "assets/cursors/cursor_up", 0, 0, 32646},
    {"CURSOR_LEFT", "assets/cursors/cursor_left", 0, 0, 32646},
    {"CURSOR_RIGHT", "assets/cursors/cursor_right", 0, 0, 32646},
};

// Relative lines: they scale the overlay's own alpha (0.6 for the dim) and leave it as it was.
void animate(nE_Object* object, int type, std::initializer_list<float> numbers) {
    const std::vector<float> keys(numbers);
    nE_Scene::addAnimLine(object, type, true, false, "", keys.data(), static_cast<int>(keys.size()));
}

bool animating(const nE_Object* object) {
    for (const nE_Object::AnimSlot& slot : object->animLines)
        if (slot.line && !slot.line->finished) return true;
    return false;
}

}  // namespace

nG_Screen::nG_Screen(bool developer) : developerMode(developer) {
    name = kName;
    // The program keeps its screen for the whole run.
    pinned = true;
    reset();
    subscribe({MSG_FULLSCREEN_CHANGED, MSG_SHOW_OBJECT_WINDOW, MSG_IS_GAME_RUNNING, MSG_SCREEN_WIDTH,
               MSG_SAVE_SLOT, MSG_START_GAME, MSG_SWITCH_TO_MENU, MSG_PENDING_SWITCH,
               MSG_SET_PENDING_SWITCH});
    g_screen = this;
    // The canvas mapping moves from the scene's root onto the screen once the screen is live.
    nE_DisplayChoice::setCanvasHolder(kName);
}

nG_Screen::~nG_Screen() {
    unsubscribeAll();
    if (g_screen == this) {
        g_screen = nullptr;
        nE_DisplayChoice::setCanvasHolder("");
    }
}

nG_Screen* nG_Screen::current() {
    return g_screen;
}

void nG_Screen::declareContent() {
    using R = nE_ContentRules;
    const char* const owner = "nG_Screen";
    for (const CursorKind& c : kCursors)
        if (*c.image) R::addNeed({"", R::kCursor, c.image, owner, "", ""});
    R::addNeed({"", R::kImage, kPauseDimImage, owner, "", ""});
    R::addNeed({"", R::kImage, kPauseLabelImage, owner, "", ""});
    // The developer start and F1-F12 start this level; so does a new game from the menu.
    R::addNeed({"game", R::kLevel, kLevelPath, owner, "", ""});
    R::addNeed({"", R::kTrigger, kFullscreenTrigger, owner, "", ""});
    R::addNeed({"game", R::kModule, kPauseModule, owner, "", ""});
    R::addNeed({"game", R::kObject, kPauseObject, owner, kPauseModule, ""});
    R::addNeed({"game", R::kTrigger, kPauseStartTrigger, owner, "", ""});
    R::addNeed({"game", R::kTrigger, kPauseEscapeTrigger, owner, "", ""});
}

void nG_Screen::reset() {
    game = nullptr;
    menu = nullptr;
    paused = false;
    gameStart = GameStart();
    if (developerMode) {
        gameStart = GameStart{false, 0, kLevelPath, "ng_startlevel(1)"};
        pendingSwitch = kStart;
    } else {
        pendingSwitch = kMenuWithLogo;
    }

    registerCursors();
}

void nG_Screen::makeOverlay() {
    if (dim) return;
    dim = new nE_Sprite();
    dim->name = "ng_pause_0";
    dim->setResourceName(kPauseDimImage);
    dim->editLocalState()->x = 512;
    dim->editLocalState()->y = 384;
    dim->editLocalState()->scaleX = 512;
    dim->editLocalState()->scaleY = 384;
    dim->editLocalState()->alpha = 0.6f;
    dim->editLocalState()->z = 1;
    dim->input = false;
    dim->visible = false;
    addPart(dim);

    pausedLabel = new nE_Sprite();
    pausedLabel->name = "ng_pause_1";
    pausedLabel->setResourceName(kPauseLabelImage);
    pausedLabel->editLocalState()->x = 512;
    pausedLabel->editLocalState()->y = 384;
    pausedLabel->editLocalState()->z = 2;
    pausedLabel->input = false;
    pausedLabel->visible = false;
    addPart(pausedLabel);

    if (loaded) {
        dim->activate();
        pausedLabel->activate();
    }
}

void nG_Screen::registerCursors() {
    nE_Cursor* cursor = nE_Cursor::current();
    lua_State* L = nE_Core::exists() ? nE_Core::get()->lua() : nullptr;
    for (int kind = 0; kind < nG_Cursor::kKinds; ++kind) {
        const CursorKind& c = kCursors[kind];
        if (cursor) cursor->add(nE_CursorDesc{c.image, c.offsetX, c.offsetY, c.systemCursor});
        if (L) {
            lua_pushstring(L, c.global);
            lua_pushinteger(L, kind);
            lua_rawset(L, LUA_GLOBALSINDEX);
        }
    }
    if (cursor) cursor->select(nG_Cursor::kDefault);
}

void nG_Screen::applyCanvas(const nE_CanvasMapping& mapping) {
    editLocalState()->x = mapping.offsetX;
    editLocalState()->y = mapping.offsetY;
    editLocalState()->z = mapping.offsetZ;
    editLocalState()->scaleX = mapping.scaleX;
    editLocalState()->scaleY = mapping.scaleY;
}

void nG_Screen::requestStart(bool continueSave, int slot, const std::string& levelPath,
                             const std::string& startCode) {
    gameStart = GameStart{continueSave, slot, levelPath, startCode};
    pendingSwitch = kStart;
}

void nG_Screen::requestMenu() {
    pendingSwitch = kMenu;
}

void nG_Screen::dropSubtree(nE_Object* object) {
    if (nE_Core::exists()) {
        nE_Core* core = nE_Core::get();
        core->triggerHub().clear();
        core->timerHub().clear();
        core->scene().storage()->removeAllChildren();
    }
    delete object;
}

void nG_Screen::stopSounds() {
    if (nE_SoundHub::exists()) nE_SoundHub::get()->stopAll(0);
}

void nG_Screen::startGame() {
    closePauseMenu();
    stopSounds();
    if (menu) {
        nG_Menu* leaving = menu;
        menu = nullptr;
        dropSubtree(leaving);
    }
    if (game) {
        nG_Game* leaving = game;
        game = nullptr;
        dropSubtree(leaving);
    }
    if (previewing && nE_Core::exists()) {
        // The previewed module goes as the menu would: its triggers and timers, and its place among the
        // modules a save of the game brings back, where a continue would run its code once more.
        previewing = false;
        nE_Core::get()->triggerHub().clear();
        nE_Core::get()->timerHub().clear();
    }
    game = new nG_Game();
    game->editLocalState()->z = 0;
    addPart(game);
    activateWithPicturesAhead(game);
    levelPending = true;
}

void nG_Screen::openMenu(bool logo) {
    closePauseMenu();
    if (game) {
        game->settle();
        post<MSG_SAVE_GAME>();
        nG_Game* leaving = game;
        game = nullptr;
        dropSubtree(leaving);
    }
    // The game's music and ambience went into its save first.
    stopSounds();
    // A menu asked for from the menu starts afresh rather than twice.
    if (menu) {
        nG_Menu* leaving = menu;
        menu = nullptr;
        dropSubtree(leaving);
    }
    menu = new nG_Menu(logo);
    menu->editLocalState()->z = 0;
    addPart(menu);
    activateWithPicturesAhead(menu);
}

void nG_Screen::activateWithPicturesAhead(nE_Object* part) {
    if (!loaded) return;
    // The game's interface or the menu loads dozens of pictures at once: they decode side by side.
    nE_PicturesAhead::forTree(part);
    part->activate();
}

void nG_Screen::update(float dt) {
    nE_Object::update(dt);
    if (dim && !paused && !animating(dim)) {
        dim->visible = false;
        pausedLabel->visible = false;
    }
    const int pending = pendingSwitch;
    pendingSwitch = kNone;
    if (levelPending) {
        levelPending = false;
        if (game && pending == kNone)
            game->startLevel(gameStart.slot, gameStart.continueSave, gameStart.levelPath,
                             gameStart.startCode);
    }
    if (pending == kNone) return;
    if (pending == kStart)
        startGame();
    else
        openMenu(pending == kMenuWithLogo);
}

bool nG_Screen::handleInput(const nE_InputEvent& event, nE_RenderState& world) {
    if (developerMode && event.type == nE_InputEvent::kKeyDown && event.code >= kKeyF1 &&
        event.code <= kKeyF12) {
        char code[32];
        std::snprintf(code, sizeof code, "ng_startlevel(%d)", event.code + 101);
        requestStart(false, 0, kLevelPath, code);
        return true;
    }
    (void)world;
    // Escape comes here when nothing in the game took it: the game is in play with nothing open over it.
    if (event.type != nE_InputEvent::kKeyDown || event.code != kKeyEscape || paused) return false;
    if (pauseMenu) {
        nE_TriggerHub* hub = nE_Core::exists() ? nE_Core::get()->triggerHubIfAlive() : nullptr;
        if (hub && hub->find(kPauseEscapeTrigger))
            nE_Scene::queueTrigger(pauseMenu->name, kPauseEscapeTrigger);
        else
            closePauseMenu();
        return true;
    }
    if (!game || !game->inPlay()) return false;
    openPauseMenu();
    return true;
}

void nG_Screen::openPauseMenu() {
    if (pauseMenu || !game || !nE_Core::exists()) return;
    nE_Core* core = nE_Core::get();
    nE_Object* window = core->scene().findObject(kPauseObject);
    if (!window) {
        nE_Module::bringIn(kPauseModule, true);
        window = core->scene().findObject(kPauseObject);
    }
    if (!window || window == this || window->isAncestorOf(this)) {
        nE_Debug::writef("nG_Screen: the pause menu \"%s\" is not in %s", kPauseObject, kPauseModule);
        return;
    }
    // Above the game, under the focus overlay.
    window->editLocalState()->z = 0.5f;
    core->scene().attach(this, window);
    if (window->parent != this) return;
    pauseMenu = window;
    applyStill();
    nE_Scene::queueTrigger(window->name, kPauseStartTrigger);
}

void nG_Screen::closePauseMenu() {
    if (!pauseMenu) return;
    nE_Object* window = pauseMenu;
    pauseMenu = nullptr;
    if (nE_Core::exists() && window->parent == this) nE_Core::get()->scene().park(window);
    applyStill();
}

void nG_Screen::applyStill() {
    const bool still = paused || pauseMenu;
    if (nE_Core::exists()) nE_Core::get()->timerHub().paused = still;
    for (nE_Object* child : children) {
        if (child == dim || child == pausedLabel) continue;
        const bool off = child == pauseMenu ? paused : still;
        child->active = !off;
        child->input = !off;
    }
}

void nG_Screen::setPaused(bool p) {
    if (p == paused) return;
    paused = p;
    if (nE_SoundHub::exists()) nE_SoundHub::get()->pauseAll(p);
    makeOverlay();
    if (paused) {
        dim->visible = pausedLabel->visible = true;
        animate(dim, kTypeAlpha, {0, 0, kFade, 1});
        animate(pausedLabel, kTypeAlpha, {0, 0, kFade, 1});
        nE_Scene::removeAnimLine(pausedLabel, kTypeScaleX);
        nE_Scene::removeAnimLine(pausedLabel, kTypeScaleY);
    } else {
        if (nG_Settings* settings = nG_Settings::current()) settings->applyAll();
        animate(dim, kTypeAlpha, {0, 1, kFade, 0});
        animate(pausedLabel, kTypeAlpha, {0, 1, kFade, 0});
        animate(pausedLabel, kTypeScaleX, {0, 1.0f, 0.05f, 0.9f, 0.1f, 0.9f, kFade, 1.25f});
        animate(pausedLabel, kTypeScaleY, {0, 1.0f, 0.05f, 0.9f, 0.1f, 0.9f, kFade, 1.25f});
    }
    applyStill();
}

void nG_Screen::saveForClose() {
    if (!game) return;
    game->settle();
    post<MSG_SAVE_GAME>();
}

void nG_Screen::showObjectWindow(const nG_ObjectWindowRequest& request) {
    if (!nE_Core::exists()) return;
    nE_Core* core = nE_Core::get();
    nE_Object* window = core->scene().findObject(request.name);
    // The module comes in only from the game folder (its load refuses any other path).
    if (!window && !request.path.empty()) {
        nE_Module::bringIn(request.path, true);
        window = core->scene().findObject(request.name);
    }
    // A module previewed on its own has neither a game nor a menu: its windows go under the screen.
    nE_Object* parent = game ? static_cast<nE_Object*>(game) : menu ? static_cast<nE_Object*>(menu) : this;
    if (!window || !parent || window == parent || window->isAncestorOf(parent)) return;
    if (!core->scene().scriptMayMove(window, "ShowObjectWindow")) return;
    window->editLocalState()->z = 999999;
    core->scene().attach(parent, window);
    nE_Scene::queueTrigger(window->name, request.code);
}

void nG_Screen::onMessage(const nE_Message& message) {
    switch (message.number) {
        case MSG_FULLSCREEN_CHANGED: {
            const notEngine* engine = notEngine::instance();
            nE_Scene::queueTrigger(
                "", std::string(kFullscreenTrigger) + (engine && engine->IsFullscreen() ? "(1)" : "(0)"));
            break;
        }
        case MSG_SHOW_OBJECT_WINDOW:
            if (auto* value = message.payload<MSG_SHOW_OBJECT_WINDOW>()) showObjectWindow(*value);
            break;
        case MSG_IS_GAME_RUNNING:
            if (auto* value = message.payload<MSG_IS_GAME_RUNNING>()) *value = game != nullptr;
            break;
        case MSG_SCREEN_WIDTH:
            if (float* answer = message.payload<MSG_SCREEN_WIDTH>()) {
                const notEngine* engine = notEngine::instance();
                const float width = engine ? engine->GetWidth() : 1024.f;
                *answer = localState().scaleX != 0 ? width / localState().scaleX : width;
            }
            break;
        case MSG_SAVE_SLOT:
            if (auto* value = message.payload<MSG_SAVE_SLOT>()) *value = gameStart.slot;
            break;
        case MSG_START_GAME:
            if (const auto* start = message.payload<MSG_START_GAME>())
                requestStart(start->continueSave, start->slot, start->levelPath, start->startCode);
            break;
        case MSG_SWITCH_TO_MENU:
            requestMenu();
            break;
        case MSG_PENDING_SWITCH:
            if (auto* value = message.payload<MSG_PENDING_SWITCH>()) *value = pendingSwitch;
            break;
        case MSG_SET_PENDING_SWITCH:
            if (auto* value = message.payload<MSG_SET_PENDING_SWITCH>()) pendingSwitch = *value;
            break;
        default:
            break;
    }
}
