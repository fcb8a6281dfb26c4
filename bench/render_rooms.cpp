// Room changes of the bundled game on OpenGL, headless: the game object runs the real level (its
// painted rooms, their objects and effects) and every frame is drawn and finished. A room switch is the
// SwitchRoom call (which snapshots the new room into a render target) and the 0.6 s cross-fade that
// follows, until the new room is open and the old one is back in the hub; a sub-room is opened (its
// snapshot and the blurred copy of the room) and zooms out, then is closed (a second snapshot) and
// zooms back.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <lua.hpp>
#include <string>
#include <vector>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_EngineTypes.h"
#include "engine/core/nE_Factory.h"
#include "engine/core/nE_Mediator.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/media/nE_SoundHub.h"
#include "engine/media/platform/nE_Bindings_Pl5.h"
#include "engine/media/platform/nE_Render_Pl5.h"
#include "engine/script/nE_TimerHub.h"
#include "engine/script/nE_TriggerHub.h"
#include "game/core/nG_Game.h"
#include "game/core/nG_Mediator.h"
#include "game/core/nG_Room.h"
#include "game/core/nG_SubRoom.h"
#include "game/script/nG_ScriptFunctions.h"
#include "pflib/TPlatform.h"
#include "pflib/TRenderer.h"
#include "pflib/TTexture.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;
constexpr float kStep = 1.0f / 60;

bool prepare() {
    static const bool ready = [] {
        pf::TRunOptions options;
        options.headless = true;
        options.gameDir = HALVERN_SOURCE_DIR;
        pf::TPlatform::SetRunOptions(options);
        if (!pf::TPlatform::SetDisplay(kWidth, kHeight, false, false, 0)) return false;
        nE_EngineTypes::registerAll();
        nE_Bindings_Pl5::install();
        nE_Factory::registerType("room", [] { return new nG_Room(); });
        nE_Factory::registerType("subroom", [] { return new nG_SubRoom(); });
        nE_ResourceCache::create();
        return true;
    }();
    return ready;
}

// The bundled level started as a new game, shown in the hall.
struct RunningGame {
    nG_Mediator mediator;
    nE_Render_Pl5 renderer;
    nG_Game* game = nullptr;
    pf::TRenderer* platform = pf::TRenderer::GetInstance();

    RunningGame() {
        nE_Mediator::setCurrent(&mediator);
        renderer.init(kWidth, kHeight);
        renderer.createSolidTextures();
        nG_ScriptFunctions::registerGameFunctions(nE_Core::get()->lua());
        nE_Scene& scene = nE_Core::get()->scene();
        game = new nG_Game();
        scene.attach(scene.root(), game);
        game->startLevel(0, false, "assets/levels/level/level", "ng_startlevel(1)");
        frames(2);
        script("SwitchRoom('room_hall', 0)");
        frames(30);
    }
    ~RunningGame() {
        nE_Core::destroy();
        if (nE_SoundHub::exists()) nE_SoundHub::destroy();
        renderer.shutdown();
        nE_Mediator::setCurrent(nullptr);
    }
    void script(const std::string& code) {
        lua_State* L = nE_Core::get()->lua();
        if (luaL_dostring(L, code.c_str()) != 0) lua_pop(L, 1);
    }
    void frame() {
        nE_Core* core = nE_Core::get();
        core->triggerHub().runQueue();
        core->timerHub().update(kStep);
        core->scene().update(kStep);
        renderer.beginFrame();
        renderer.clear();
        renderer.begin2d();
        core->scene().draw(&renderer);
        renderer.end2d();
        renderer.endFrame();
        platform->Finish();
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) frame();
    }
    // Frames until the shown room (and any closing one) has settled; the count.
    int settle() {
        int n = 0;
        for (;;) {
            frame();
            ++n;
            bool moving = false;
            for (nE_Object* child : game->level->children)
                if (auto* room = dynamic_cast<nG_Room*>(child))
                    moving = moving || room->state == nG_Room::kOpening || room->state == nG_Room::kClosing ||
                             (room != game->currentRoom && room != game->currentSubRoom);
            if (!moving || n > 600) return n;
        }
    }
};

void BM_RoomSteadyFrame(benchmark::State& state) {
    if (!prepare()) return state.SkipWithError("no headless OpenGL display");
    RunningGame running;
    for (auto _ : state) running.frame();
}
BENCHMARK(BM_RoomSteadyFrame)->Unit(benchmark::kMillisecond);

// Arg 0: the SwitchRoom call alone (the snapshot); 1: the call and the whole cross-fade.
void BM_RoomSwitch(benchmark::State& state) {
    if (!prepare()) return state.SkipWithError("no headless OpenGL display");
    RunningGame running;
    const bool withFade = state.range(0) != 0;
    bool toWorkshop = true;
    int frames = 0;
    for (auto _ : state) {
        running.script(toWorkshop ? "SwitchRoom('room_workshop')" : "SwitchRoom('room_hall')");
        toWorkshop = !toWorkshop;
        if (withFade) {
            frames = running.settle();
        } else {
            state.PauseTiming();
            frames = running.settle();
            state.ResumeTiming();
        }
    }
    state.counters["fade_frames"] = frames;
}
BENCHMARK(BM_RoomSwitch)->ArgNames({"with_fade"})->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The cabinet opened from the hall and closed again, each with its zoom.
void BM_SubRoomOpenAndClose(benchmark::State& state) {
    if (!prepare()) return state.SkipWithError("no headless OpenGL display");
    RunningGame running;
    int frames = 0;
    for (auto _ : state) {
        running.script("OpenSubRoom('sub_cabinet', 263, 378, 512, 300)");
        frames = running.settle();
        running.script("CloseSubRoom()");
        frames += running.settle();
        // The blur fades out over the same 0.6 s.
        running.frames(2);
    }
    state.counters["frames"] = frames + 2;
}
BENCHMARK(BM_SubRoomOpenAndClose)->Unit(benchmark::kMillisecond);

// The texture memory of the game in each room of the level (the rooms `level.rooms` brings in, so a
// new room is measured without a change here): pf's live texture bytes, in MiB, once the room is open
// and settled. They count the interface, the room's images and whatever snapshots are alive; a
// sub-room is opened over the room shown before it.
void BM_RoomTextureMemory(benchmark::State& state) {
    if (!prepare()) return state.SkipWithError("no headless OpenGL display");
    RunningGame running;
    std::vector<std::string> rooms;
    lua_State* L = nE_Core::get()->lua();
    lua_getglobal(L, "level");
    if (lua_istable(L, -1)) {
        lua_getfield(L, -1, "rooms");
        for (int i = 1; lua_istable(L, -1); ++i) {
            lua_rawgeti(L, -1, i);
            if (!lua_istable(L, -1)) {
                lua_pop(L, 1);
                break;
            }
            lua_getfield(L, -1, "object");
            if (lua_isstring(L, -1)) rooms.push_back(lua_tostring(L, -1));
            lua_pop(L, 2);
        }
        lua_pop(L, 1);
    }
    lua_pop(L, 1);
    if (rooms.empty()) return state.SkipWithError("the level names no rooms");
    constexpr double kMiB = 1024.0 * 1024.0;
    double most = 0;
    for (auto _ : state) {
        for (const std::string& room : rooms) {
            const bool sub = dynamic_cast<nG_SubRoom*>(nE_Core::get()->scene().findObject(room)) != nullptr;
            running.script(sub ? "OpenSubRoom('" + room + "', 512, 384, 512, 300)"
                               : "SwitchRoom('" + room + "', 0)");
            running.settle();
            running.frames(2);
            const double mib = static_cast<double>(pf::TTexture::LiveBytes()) / kMiB;
            state.counters[room + "_MiB"] = mib;
            most = std::max(most, mib);
            if (sub) {
                running.script("CloseSubRoom()");
                running.settle();
                running.frames(2);
            }
        }
    }
    state.counters["most_MiB"] = most;
}
BENCHMARK(BM_RoomTextureMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
