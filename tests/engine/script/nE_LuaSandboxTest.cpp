// Scripts cannot reach outside the game: the libraries they keep, the module paths a saved game may
// name, the one compile path that refuses precompiled chunks, the budget of instructions and time that
// stops a runaway trigger, module chunk or timer call whatever it catches the stop with, and the
// memory cap.
#include <tinyxml2.h>

#include <chrono>
#include <new>

#include "engine/core/nE_Object.h"
#include "engine/objects/nE_PartSysImpl_Complex.h"
#include "engine/script/nE_LuaSandbox.h"
#include "engine/script/nE_Module.h"
#include "engine/script/nE_PartSysScript.h"
#include "tests/engine/script/ScriptFunctionsTestSupport.h"
#include "tests/engine/script/ScriptTestFolder.h"
#include "tests/engine/script/ScriptTestSupport.h"
#include "tests/pflib/TempDir.h"

namespace {

using script_test::DebugLines;

class LuaSandboxTest : public script_test::ScriptFunctionsTest {
protected:
    // Runs `code` as trigger `name` under the budget; the error line it wrote, or empty.
    std::string triggerError(const std::string& name, const std::string& code) {
        DebugLines debug;
        trigger(name, code);
        core->triggerHub().executeNow("", name);
        return debug.lines.empty() ? std::string() : debug.lines[0];
    }

    script_test::GameFolder folder;
};

// A real precompiled chunk, made by a plain Lua state: it sets `bytecode_ran`.
std::string precompiledChunk() {
    lua_State* plain = luaL_newstate();
    luaL_loadstring(plain, "bytecode_ran = true");
    std::string out;
    lua_dump(
        plain,
        [](lua_State*, const void* p, size_t size, void* ud) {
            static_cast<std::string*>(ud)->append(static_cast<const char*>(p), size);
            return 0;
        },
        &out);
    lua_close(plain);
    return out;
}

int throwsBadAlloc(lua_State*) {
    throw std::bad_alloc();
}

TEST_F(LuaSandboxTest, ScriptsKeepTheGameLibrariesAndLoseTheWayOut) {
    for (const char* gone :
         {"io", "os.execute", "os.remove", "os.rename", "os.exit", "os.getenv", "os.tmpname",
          "package.loadlib", "dofile", "loadfile", "debug.sethook", "debug.getregistry"})
        EXPECT_EQ("nil", eval(gone)) << gone;
    for (const char* kept : {"string.format", "table.insert", "math.floor", "os.time", "os.clock", "os.date",
                             "debug.traceback", "loadstring", "load", "pcall", "coroutine.create"})
        EXPECT_EQ("function", eval(std::string("type(") + kept + ")")) << kept;
    // No finalisers, and nobody changes the methods of every string.
    EXPECT_EQ("nil", eval("newproxy"));
    EXPECT_EQ("nil", eval("string.dump"));
    EXPECT_EQ("false", eval("getmetatable('')"));
    EXPECT_EQ("abab", eval("('ab'):rep(2)"));

    EXPECT_EQ("false", eval("pcall(require, 'io')"));
    EXPECT_EQ("false", eval("pcall(require, 'socket.core')")) << "no native modules";
    EXPECT_EQ("nil", eval("require('os').execute"));
    EXPECT_EQ("3", eval("loadstring('return 1 + 2')()"));
    EXPECT_EQ("4",
              eval("load(coroutine.wrap(function() coroutine.yield('return ') coroutine.yield('4') end))()"));
    EXPECT_EQ("precompiled chunks are not allowed", eval("select(2, loadstring('\\27Lua'))"));
    EXPECT_EQ("precompiled chunks are not allowed",
              eval("select(2, load(coroutine.wrap(function() coroutine.yield('\\27Lua') end)))"));
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
    ASSERT_EQ(2u, debug.lines.size());
    EXPECT_EQ("loop.xml:1: Module error: loop " + std::string(nE_LuaSandbox::kRunawayMessage),
              debug.lines[0]);

    // Honest work far below the budget is never stopped, call after call.
    trigger("work", "local s = 0 for i = 1, 100000 do s = s + i end total = s");
    for (int i = 0; i < 30; ++i) core->triggerHub().executeNow("", "work");
    EXPECT_EQ("5000050000", eval("total"));
}

TEST_F(LuaSandboxTest, PrecompiledChunksAreRefusedOnEveryPath) {
    DebugLines debug;
    const std::string chunk = precompiledChunk();
    ASSERT_EQ('\x1b', chunk[0]);
    lua_pushlstring(L, chunk.data(), chunk.size());
    lua_setglobal(L, "chunk");

    // A module's code.
    auto module = std::make_unique<nE_Module>();
    module->path = "binary";
    module->code = chunk;
    nE_Module::bringInWithoutObjects(std::move(module), core->triggerHub());
    // A trigger's code set by TrgSet, run by TrgExecute and by a timer.
    trigger("t", "plain = true");
    EXPECT_EQ("", run("TrgSet('t', {code = chunk}) TrgExecute('t') TimerStart('later', 't', 0)"));
    core->timerHub().update(0.1f);
    core->triggerHub().runQueue();
    // A scripted particle system's code.
    nE_Object owner;
    nE_PartSysImpl_Complex system;
    system.owner = &owner;
    ASSERT_NE(nullptr, system.script());
    EXPECT_FALSE(system.script()->run(0, chunk, "fx"));

    EXPECT_EQ("nil", eval("bytecode_ran"));
    const std::vector<std::string> expected = {
        "binary.xml: Module error: binary precompiled chunks are not allowed",
        "Trigger error: t precompiled chunks are not allowed",
        "Trigger error: t precompiled chunks are not allowed",
        "Particle error: fx precompiled chunks are not allowed",
    };
    std::vector<std::string> errors;
    for (const std::string& line : debug.lines)
        if (line.find("traceback") == std::string::npos) errors.push_back(line);
    EXPECT_EQ(expected, errors);
}

TEST_F(LuaSandboxTest, OnceStoppedAScriptStaysStoppedWhateverCatchesIt) {
    nE_LuaSandbox::setBudget(L, 2000000);
    const char* const escapes[][2] = {
        {"handler",
         "while true do xpcall(function() while true do end end, function(e) while true do end end) end"},
        {"errhandler",
         "while true do xpcall(function() error('x') end, function(e) while true do end end) end"},
        {"pcall", "while true do pcall(function() while true do end end) end after_pcall = true"},
        {"wrap", "while true do pcall(coroutine.wrap(function() while true do end end)) end"},
        {"create", "while true do coroutine.resume(coroutine.create(function() while true do end end)) end"},
        {"tostring",
         "local e = setmetatable({}, {__tostring = function() while true do end end}) "
         "while true do local ok, err = pcall(error, e) pcall(tostring, err) end"},
        {"pattern", "while true do pcall(string.find, ('a'):rep(40), ('a?'):rep(40) .. ('a'):rep(40)) end"},
    };
    for (const auto& escape : escapes) {
        const auto start = std::chrono::steady_clock::now();
        const std::string line = triggerError(escape[0], escape[1]);
        EXPECT_NE(std::string::npos, line.find(nE_LuaSandbox::kRunawayMessage)) << escape[0] << ": " << line;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << escape[0];
    }
    EXPECT_EQ("nil", eval("after_pcall"));
    // An error object that loops in __tostring is reported without being asked.
    EXPECT_EQ(
        "Trigger error: object (error object is not a string)",
        triggerError("object", "error(setmetatable({}, {__tostring = function() while true do end end}))"));

    // Library calls that do much work in few instructions answer to the clock: a long budget of
    // instructions, a short one of time.
    nE_LuaSandbox::setBudget(L, nE_LuaSandbox::kDefaultBudget);
    nE_LuaSandbox::setSeconds(L, 0.2);
    for (const char* code :
         {"while true do local s = ('x'):rep(1e6) end",
          "string.find(('a'):rep(40), ('a?'):rep(40) .. ('a'):rep(40))",
          "local t = {} for i = 1, 2e5 do t[i] = i end while true do table.insert(t, 1, 0) "
          "table.remove(t, 1) end"}) {
        const auto start = std::chrono::steady_clock::now();
        const std::string line = triggerError("costly", code);
        core->triggerHub().remove("costly");
        EXPECT_NE(std::string::npos, line.find(nE_LuaSandbox::kRunawayMessage)) << code << ": " << line;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << code;
    }
    // Patterns still match as Lua's own do, and a long pattern is refused rather than overflowing.
    trigger("patterns",
            "r = table.concat({string.find('hello world', 'o w'), string.match('key=val', '(%w+)=(%w+)'), "
            "(string.gsub('abc', '%w', '%0%0')), select(2, string.gsub('a,b,,c', ',', ';'))}, ' ') "
            "for w in string.gmatch('one two', '%a+') do r = r .. ' ' .. w end "
            "deep = pcall(string.find, ('a'):rep(300), ('a?'):rep(300))");
    core->triggerHub().executeNow("", "patterns");
    EXPECT_EQ("5 key aabbcc 3 one two", eval("r"));
    EXPECT_EQ("false", eval("deep"));
}

TEST_F(LuaSandboxTest, AScriptOverItsMemoryCapGetsAnErrorAndTheGameGoesOn) {
    nE_LuaSandbox::setMemoryCap(L, size_t(32) << 20);
    // Only the memory stops these, however slow the machine.
    nE_LuaSandbox::setSeconds(L, 600);
    EXPECT_EQ("Trigger error: hog not enough memory",
              triggerError("hog", "local t = {} for i = 1, 1e9 do t[i] = ('x'):rep(100) .. i end"));
    EXPECT_EQ("Trigger error: big not enough memory", triggerError("big", "local s = ('x'):rep(1e9)"));
    EXPECT_LT(nE_LuaSandbox::memoryUsed(L), size_t(8) << 20) << "what the script left is collected";
    EXPECT_EQ("", triggerError("fine", "fine = #(('y'):rep(1e6))"));
    EXPECT_EQ("1000000", eval("fine"));

    // A C++ exception in a script function ends as a Lua error there.
    nE_LuaSandbox::pushFunction(L, throwsBadAlloc);
    lua_setglobal(L, "Throws");
    EXPECT_EQ("Trigger error: throws not enough memory", triggerError("throws", "Throws()"));
    EXPECT_EQ("", triggerError("after", "after = pcall(Throws)"));
    EXPECT_EQ("false", eval("after"));
}

}  // namespace
