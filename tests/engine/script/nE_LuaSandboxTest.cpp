// Scripts cannot reach outside the game: the libraries they keep, the module paths a saved game may
// name, and the instruction budget that stops a runaway trigger, module chunk or timer call.
#include <tinyxml2.h>

#include "engine/script/nE_LuaSandbox.h"
#include "engine/script/nE_Module.h"
#include "tests/engine/script/ScriptFunctionsTestSupport.h"
#include "tests/engine/script/ScriptTestFolder.h"
#include "tests/engine/script/ScriptTestSupport.h"
#include "tests/pflib/TempDir.h"

namespace {

using script_test::DebugLines;

class LuaSandboxTest : public script_test::ScriptFunctionsTest {
protected:
    script_test::GameFolder folder;
};

TEST_F(LuaSandboxTest, ScriptsKeepTheGameLibrariesAndLoseTheWayOut) {
    for (const char* gone :
         {"io", "os.execute", "os.remove", "os.rename", "os.exit", "os.getenv", "os.tmpname",
          "package.loadlib", "dofile", "loadfile", "debug.sethook", "debug.getregistry"})
        EXPECT_EQ("nil", eval(gone)) << gone;
    for (const char* kept : {"string.format", "table.insert", "math.floor", "os.time", "os.clock", "os.date",
                             "debug.traceback", "loadstring", "load", "pcall", "coroutine.create"})
        EXPECT_EQ("function", eval(std::string("type(") + kept + ")")) << kept;

    EXPECT_EQ("false", eval("pcall(require, 'io')"));
    EXPECT_EQ("false", eval("pcall(require, 'socket.core')")) << "no native modules";
    EXPECT_EQ("nil", eval("require('os').execute"));
    EXPECT_EQ("3", eval("loadstring('return 1 + 2')()"));
    EXPECT_EQ("4",
              eval("load(coroutine.wrap(function() coroutine.yield('return ') coroutine.yield('4') end))()"));
    EXPECT_EQ("precompiled chunks are not allowed",
              eval("select(2, loadstring(string.dump(function() end)))"));
    EXPECT_EQ(
        "precompiled chunks are not allowed",
        eval("select(2, load(coroutine.wrap(function() coroutine.yield(string.dump(function() end)) end)))"));
}

TEST_F(LuaSandboxTest, ASavedGameNamesOnlyModulesInsideTheGameFolder) {
    DebugLines debug;
    TempDir outside;
    TempDir::Write(outside / "evil.xml", "<code>evil = true</code>");
    folder.write("levels/good.xml", "<code>good = true</code>");
    const std::string relative = "../" + outside.path().substr(outside.path().rfind('/') + 1) + "/evil";

    std::string dump = "<trg_dump><used_modules>";
    const std::vector<std::string> paths = {outside / "evil", relative,   "levels\\..\\" + relative,
                                            "user:evil",      "C:\\evil", "levels\\good"};
    for (const std::string& path : paths) dump += "<module name=\"" + path + "\"/>";
    dump += "</used_modules></trg_dump>";
    tinyxml2::XMLDocument doc;
    ASSERT_EQ(tinyxml2::XML_SUCCESS, doc.Parse(dump.c_str()));
    core->triggerHub().restore(&doc);

    EXPECT_EQ("nil", eval("evil"));
    EXPECT_EQ("true", eval("good"));
    EXPECT_EQ(5u, debug.lines.size());
    for (const std::string& line : debug.lines)
        EXPECT_NE(std::string::npos, line.find("is not a file of the game folder")) << line;

    // Scripts are held to the same rule.
    EXPECT_EQ("", run("ModLoad('" + outside / "evil" + "')"));
    EXPECT_EQ("nil", eval("evil"));
}

TEST_F(LuaSandboxTest, RunawayScriptsAreStoppedAndReportedLikeAnyError) {
    DebugLines debug;
    nE_LuaSandbox::setBudget(L, 2000000);
    trigger("spin", "while true do end");
    trigger("swallow", "while true do pcall(function() while true do end end) end");
    trigger("resume",
            "local co = coroutine.create(function() while true do end end) "
            "while true do coroutine.resume(co) end");
    trigger("nested", "TrgExecute('spin') after_nested = true");
    trigger("fine", "count = (count or 0) + 1");
    for (const char* name : {"spin", "swallow", "resume", "nested"}) {
        debug.lines.clear();
        core->triggerHub().executeNow("", name);
        ASSERT_GE(debug.lines.size(), 2u) << name;
        // A nested call reports its own stop first, then the outer one's.
        const std::string& line = debug.lines[debug.lines.size() - 2];
        EXPECT_EQ(0u, line.rfind(std::string("Trigger error: ") + name + " " + name + ":1: ", 0)) << line;
        EXPECT_NE(std::string::npos, line.find(nE_LuaSandbox::kRunawayMessage)) << line;
        core->triggerHub().executeNow("", "fine");
    }
    EXPECT_EQ("nil", eval("after_nested")) << "the budget covers the whole call, nested ones included";
    EXPECT_EQ("4", eval("count")) << "the state stays usable";

    // A timer's call runs through the queue under the same budget; so does a module's chunk.
    debug.lines.clear();
    EXPECT_EQ("", run("TimerStart('t', 'spin', 0)"));
    core->timerHub().update(0.1f);
    core->triggerHub().runQueue();
    ASSERT_FALSE(debug.lines.empty());
    EXPECT_NE(std::string::npos, debug.lines[0].find(nE_LuaSandbox::kRunawayMessage));
    debug.lines.clear();
    folder.write("loop.xml", "<code>while true do end</code>");
    nE_Module::bringIn("loop", false);
    ASSERT_EQ(1u, debug.lines.size());
    EXPECT_EQ("Module error: loop loop.xml:1: " + std::string(nE_LuaSandbox::kRunawayMessage),
              debug.lines[0]);

    // Honest work far below the budget is never stopped, call after call.
    trigger("work", "local s = 0 for i = 1, 100000 do s = s + i end total = s");
    for (int i = 0; i < 30; ++i) core->triggerHub().executeNow("", "work");
    EXPECT_EQ("5000050000", eval("total"));
}

}  // namespace
