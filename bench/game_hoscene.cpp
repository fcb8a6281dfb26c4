// One frame of the bundled workbench scene as a player sees it while finding an object: the game
// object with its interface (the bar, the hint clock, the task list of twelve lines shown in the
// inventory's place), the room's backdrop and fourteen hidden objects, and one found object in the air
// with its spark trail. The flight is held at its middle, so that every timed frame has it. Engine CPU
// on the recording stand-in of pf, as BM_HiddenObjectFrame.
#include <benchmark/benchmark.h>

#include <lua.hpp>

#include "bench/BenchGame.h"
#include "bench/BenchScene.h"
#include "engine/core/nE_Mediator.h"
#include "engine/core/nE_StringTable.h"
#include "engine/objects/nE_PartSysImpl_Vell.h"
#include "engine/objects/nE_ParticleSystem.h"
#include "game/core/nG_Game.h"
#include "game/core/nG_Mediator.h"
#include "game/core/nG_Messages.h"
#include "game/interface/nG_HoCollector.h"
#include "game/interface/nG_Interface.h"
#include "game/interface/nG_Tasks.h"
#include "game/script/nG_ScriptFunctions.h"
#include "game/state/nG_ProfileHub.h"

namespace {

void BM_HiddenObjectSceneFrame(benchmark::State& state) {
    bench::BenchGame surroundings;
    nG_Mediator& mediator = surroundings.mediator;
    nE_StringTable strings;
    strings.load("assets/strings");
    nE_StringTable::setCurrent(&strings);
    {
        nG_ProfileHub hub(false);
        nG_ProfileHub::setCurrent(&hub);
        lua_State* L = nE_Core::get()->lua();
        nG_ScriptFunctions::registerGameFunctions(L);
        nE_Scene& scene = nE_Core::get()->scene();
        auto* game = new nG_Game();
        scene.attach(scene.root(), game);
        game->startLevel(0, false, "assets/levels/level/level", "ng_startlevel(1)");
        nE_Render_Pl5 renderer;
        renderer.init(1024, 768);
        renderer.createSolidTextures();
        auto frame = [&] {
            nE_Core* core = nE_Core::get();
            core->triggerHub().runQueue();
            core->timerHub().update(bench::HiddenObjectScene::kStep);
            scene.update(bench::HiddenObjectScene::kStep);
            renderer.beginFrame();
            renderer.clear();
            renderer.begin2d();
            scene.draw(&renderer);
            renderer.end2d();
            renderer.endFrame();
        };
        for (int i = 0; i < 3; ++i) frame();
        luaL_dostring(L, "ng_var.tut = { over = true }; SwitchRoom('room_bench', 0)");
        // The task list slides up in place of the inventory.
        for (int i = 0; i < 240; ++i) frame();
        luaL_dostring(L, "CollectHoObject('ho_bench_spectacles', 'task_bench_spectacles')");
        nG_HoCollector* collector = game->interface->hoCollector;
        for (int i = 0; i < 30; ++i) frame();
        const bool flying = collector->flights.size() == 1;
        for (auto _ : state) {
            if (flying) collector->flights[0].time = collector->flights[0].duration / 2;
            frame();
        }
        state.counters["flying"] = flying ? 1 : 0;
        size_t sparks = 0;
        if (flying)
            if (auto* vell =
                    dynamic_cast<nE_PartSysImpl_Vell*>(collector->flights[0].trail->implementation()))
                sparks = vell->particles.size();
        state.counters["sparks"] = static_cast<double>(sparks);
        nE_Object* room = nullptr;
        mediator.post<MSG_GET_CURRENT_ROOM>(&room);
        state.counters["in_bench"] = room && room->name == "room_bench" ? 1 : 0;
        state.counters["task_lines"] = game->interface->tasks->visible ? 12 : 0;
        state.counters["draws"] = pf::testing::Recorder().GetStats().submissions;
        renderer.shutdown();
        nG_ProfileHub::setCurrent(nullptr);
        bench::stopEngine();
    }
    nE_StringTable::setCurrent(nullptr);
}
BENCHMARK(BM_HiddenObjectSceneFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
