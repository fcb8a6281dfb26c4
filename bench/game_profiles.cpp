// A player profile holding sixteen save slots of about 50 KB each, saved and loaded through its file in
// the user folder: printing, the checksum, the check of the old file, the backup, the atomic writes with
// their syncs; and reading, checking, parsing and taking the slots.
#include <benchmark/benchmark.h>
#include <tinyxml2.h>

#include <lua.hpp>

#include "bench/BenchScene.h"
#include "game/state/nG_ProfileHub.h"
#include "pflib/TPlatform.h"

namespace {

// One slot as the game writes it: ng_var, a "game" element with object dumps, the queue and timers.
void fillSlot(tinyxml2::XMLElement* slot, int index) {
    tinyxml2::XMLDocument& doc = *slot->GetDocument();
    tinyxml2::XMLElement* var = doc.NewElement("ng_var");
    var->SetAttribute("valtype", 3);
    for (int i = 0; i < 40; ++i) {
        tinyxml2::XMLElement* e = doc.NewElement(("el_flag_" + std::to_string(i)).c_str());
        e->SetAttribute("valtype", 1);
        e->SetAttribute("val", i % 2);
        var->InsertEndChild(e);
    }
    slot->InsertEndChild(var);
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
    slot->InsertEndChild(doc.NewElement("trg_dump"));
    slot->InsertEndChild(doc.NewElement("timer_dump"));
}

struct Profiles {
    Profiles() {
        pf::TRunOptions options;
        options.userDir = bench::scratch();
        pf::TPlatform::SetRunOptions(options);
        bench::startEngine();
        hub.addProfile("Bench");
        for (int i = 0; i < nG_Profile::kSlotCount; ++i) fillSlot(hub.profileAt(0)->newSlot(i), i);
    }
    ~Profiles() { bench::stopEngine(); }
    nG_ProfileHub hub{false};
};

void BM_SaveProfile(benchmark::State& state) {
    Profiles profiles;
    lua_State* L = nE_Core::get()->lua();
    int round = 0;
    for (auto _ : state) {
        // A changed profile each time, so that every save really writes.
        lua_pushstring(L, "ng_global");
        lua_rawget(L, LUA_GLOBALSINDEX);
        lua_pushnumber(L, ++round);
        lua_setfield(L, -2, "round");
        lua_pop(L, 1);
        benchmark::DoNotOptimize(profiles.hub.saveProfile("Bench"));
    }
    state.counters["file_kb"] = profiles.hub.printProfile(*profiles.hub.profileAt(0)).size() / 1024.0;
}
BENCHMARK(BM_SaveProfile)->Unit(benchmark::kMillisecond);

void BM_LoadProfile(benchmark::State& state) {
    Profiles profiles;
    profiles.hub.saveProfile("Bench");
    for (auto _ : state) benchmark::DoNotOptimize(profiles.hub.loadProfile(profiles.hub.profileAt(0)));
    state.counters["slots"] = profiles.hub.profileAt(0)->slot(15) ? 16 : 0;
}
BENCHMARK(BM_LoadProfile)->Unit(benchmark::kMillisecond);

}  // namespace
