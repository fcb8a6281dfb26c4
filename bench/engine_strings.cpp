// String-table lookups as text objects and widgets make them: plain keys, caller arguments (%1%),
// references to other entries (%key%) and the %% escape, in a table of 2,000 entries read from a
// spreadsheet file.
#include <benchmark/benchmark.h>

#include "bench/BenchScene.h"
#include "engine/core/nE_StringTable.h"

namespace {

nE_StringTable& table() {
    static nE_StringTable* strings = [] {
        std::string xml = "<?xml version=\"1.0\"?>\n<Workbook><Worksheet><Table>\n";
        auto row = [&](const std::string& key, const std::string& text) {
            xml += "<Row><Cell><Data ss:Type=\"String\">" + key +
                   "</Data></Cell><Cell><Data ss:Type=\"String\">" + text + "</Data></Cell></Row>\n";
        };
        for (int i = 0; i < 2000; ++i)
            row("filler_" + std::to_string(i), "Filler text number " + std::to_string(i));
        row("room_name", "the Library");
        row("plain", "Find the hidden objects");
        row("found", "Found %1% of %2% in %room_name%");
        row("share", "%1%%% of the room is done, %player%");
        row("player", "Ada");
        const std::string path = bench::scratch() + "/strings.xml";
        bench::writeFile(path, xml + "</Table></Worksheet></Workbook>\n");
        auto* t = new nE_StringTable();
        t->load(path);
        return t;
    }();
    return *strings;
}

void BM_StringLookup(benchmark::State& state) {
    nE_StringTable& strings = table();
    const int kind = static_cast<int>(state.range(0));
    size_t length = 0;
    for (auto _ : state) {
        std::string text;
        switch (kind) {
            case 0:
                text = strings.get("plain");
                break;
            case 1:
                text = strings.get("found", "3", "12");
                break;
            default:
                text = strings.get("share", "75");
                break;
        }
        length += text.size();
        benchmark::DoNotOptimize(text);
    }
    static const char* const kLabels[] = {"plain key", "arguments and an entry", "%% and an entry"};
    state.SetLabel(kLabels[kind]);
    benchmark::DoNotOptimize(length);
}
BENCHMARK(BM_StringLookup)->ArgName("kind")->DenseRange(0, 2);

}  // namespace
