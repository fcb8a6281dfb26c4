// The autosave of a running game: the bundled level started as a new game and walked into the hall,
// the player's profile holding all sixteen save slots (fifteen of about 50 KB and the running game's),
// and message 43 posted as SwitchRoom posts it: the game's slot dumped ("ng_var", the rooms, the
// interface, the queue and the timers) and the whole profile file written in one step, with its
// checksum, the backup of the old file and the syncs. With 330 loose objects in its objects hub the
// game's own slot is as large as the others.
#include <benchmark/benchmark.h>
#include <tinyxml2.h>

#include <lua.hpp>

#include "bench/BenchGame.h"
#include "bench/BenchScene.h"
#include "engine/core/nE_Mediator.h"
#include "game/core/nG_Game.h"
#include "game/core/nG_Mediator.h"
#include "game/core/nG_Messages.h"
#include "game/script/nG_ScriptFunctions.h"
#include "game/state/nG_ProfileHub.h"

namespace {

// A slot of another game, about 50 KB, as an earlier game left it.
void fillSlot(tinyxml2::XMLElement* slot, int index) {
    tinyxml2::XMLDocument& doc = *slot->GetDocument();
    tinyxml2::XMLElement* game = doc.NewElement("game");
    slot->InsertEndChild(game);
    for (int i = 0; i < 330; ++i) {
        tinyxml2::XMLElement* spr = doc.NewElement("spr");
        spr->SetAttribute("name", ("room_object_" + std::to_string(index) + "_" + std::to_string(i)).c_str());
        spr->SetAttribute("res", "assets/levels/level/hall/objects/candlestick");
        spr->SetAttribute("pos_x", 100.5 + i);
        spr->SetAttribute("pos_y", 200.25 + i);
        spr->SetAttribute("pos_z", 3);
        spr->SetAttribute("event_mdown", "take_object");
        game->InsertEndChild(spr);
    }
}

void BM_Autosave(benchmark::State& state) {
    bench::BenchGame surroundings;
    nG_Mediator& mediator = surroundings.mediator;
    {
        nG_ProfileHub hub(false);
        nG_ProfileHub::setCurrent(&hub);
        hub.addProfile("Bench");
        for (int i = 1; i < nG_Profile::kSlotCount; ++i) fillSlot(hub.profileAt(0)->newSlot(i), i);

        lua_State* L = nE_Core::get()->lua();
        nG_ScriptFunctions::registerGameFunctions(L);
        nE_Scene& scene = nE_Core::get()->scene();
        auto* game = new nG_Game();
        scene.attach(scene.root(), game);
        game->startLevel(0, false, "assets/levels/level/level", "ng_startlevel(1)");
        for (int i = 0; i < 3; ++i) {
            nE_Core::get()->triggerHub().runQueue();
            scene.update(1.f / 60);
        }
        luaL_dostring(L, "ng_var.gate_open = true; SwitchRoom('room_hall', 0)");
        nE_Core::get()->triggerHub().runQueue();
        // Arg: loose objects the game keeps in its objects hub, for a game slot as large as the others.
        if (nE_Object* loose = scene.findObject("objects_hub")) {
            for (int i = 0; i < state.range(0); ++i) {
                auto* spr = new nE_Sprite();
                spr->name = "loose_" + std::to_string(i);
                spr->setResourceName("assets/levels/level/hall/scarf");
                spr->editLocalState()->x = 100.5f + i;
                spr->editLocalState()->y = 200.25f + i;
                spr->editLocalState()->z = 3;
                spr->eventTriggers[nE_Object::kEventMouseDown] = "take_object";
                loose->addChild(spr);
            }
        }

        for (auto _ : state) mediator.post<MSG_SAVE_GAME>();

        tinyxml2::XMLPrinter slot(nullptr, true);
        hub.profileAt(0)->slot(0)->Accept(&slot);
        state.counters["slot_kb"] = slot.CStrSize() / 1024.0;
        state.counters["file_kb"] = hub.printProfile(*hub.profileAt(0)).size() / 1024.0;
        nG_ProfileHub::setCurrent(nullptr);
        bench::stopEngine();
    }
}
BENCHMARK(BM_Autosave)->ArgNames({"loose_objects"})->Arg(0)->Arg(330)->Unit(benchmark::kMillisecond);

}  // namespace
