#include <gtest/gtest.h>
#include <tinyxml2.h>

#include "engine/script/nE_TriggerHub.h"
#include "tests/engine/script/ScriptTestSupport.h"

using script_test::DebugLines;
using script_test::eval;

namespace {

nE_TriggerHub* gHub = nullptr;

// Exec(call) runs a call at once, Queue(call) queues it: what the script functions will do.
int luaExec(lua_State* L) {
    const char* call = lua_tostring(L, 1);
    gHub->executeNow("ne_undef", call ? call : "");
    return 0;
}

int luaQueue(lua_State* L) {
    const char* call = lua_tostring(L, 1);
    gHub->queueCall("script", call ? call : "");
    return 0;
}

int luaRemove(lua_State* L) {
    const char* name = lua_tostring(L, 1);
    gHub->remove(name ? name : "");
    return 0;
}

int luaClear(lua_State*) {
    gHub->clear();
    return 0;
}

class TriggerHubTest : public ::testing::Test {
protected:
    TriggerHubTest() : hub(lua) {
        gHub = &hub;
        lua_register(lua, "Exec", luaExec);
        lua_register(lua, "Queue", luaQueue);
        lua_register(lua, "Remove", luaRemove);
        lua_register(lua, "Clear", luaClear);
        // Every test trigger "f" records the parameters it saw.
        add("f",
            "runs = (runs or 0) + 1 seen = {} count = 0 "
            "for k, v in pairs(ne_params) do seen[k] = v count = count + 1 end");
    }
    ~TriggerHubTest() override { gHub = nullptr; }

    void add(const std::string& name, const std::string& code) {
        hub.registerTrigger(std::make_unique<nE_Trigger>(name, code));
    }
    std::string get(const std::string& expression) { return eval(lua, expression); }

    script_test::LuaState lua;
    nE_TriggerHub hub;
};

}  // namespace

TEST_F(TriggerHubTest, CallWithoutParametersSeesOnlyTheSender) {
    ASSERT_TRUE(hub.executeNow("door", "f"));
    EXPECT_EQ(get("count"), "1");
    EXPECT_EQ(get("seen.sender"), "door");
    ASSERT_TRUE(hub.executeNow("door", "f()"));
    EXPECT_EQ(get("count"), "1");
    EXPECT_EQ(get("runs"), "2");
}

TEST_F(TriggerHubTest, ParametersArriveAsStringsByIndex) {
    ASSERT_TRUE(hub.executeNow("s", "f(a, b c, g(1,2))"));
    EXPECT_EQ(get("count"), "4");
    EXPECT_EQ(get("seen.param_0"), "a");
    EXPECT_EQ(get("seen.param_1"), "b");
    EXPECT_EQ(get("seen.param_2"), "g(1,2)");
    EXPECT_EQ(get("type(seen.param_0)"), "string");

    ASSERT_TRUE(hub.executeNow("s", "f(2)"));
    EXPECT_EQ(get("type(seen.param_0)"), "string");
}

TEST_F(TriggerHubTest, EdgeCallStrings) {
    ASSERT_TRUE(hub.executeNow("s", "f(a,)"));
    EXPECT_EQ(get("seen.param_0"), "a");
    EXPECT_EQ(get("seen.param_1"), "");
    EXPECT_EQ(get("count"), "3");

    ASSERT_TRUE(hub.executeNow("s", "f(a,(b)"));
    EXPECT_EQ(get("seen.param_0"), "a");
    EXPECT_EQ(get("seen.param_1"), "nil");

    ASSERT_TRUE(hub.executeNow("s", "f(a, f(x) trailing text)"));
    EXPECT_EQ(get("seen.param_0"), "a");
    EXPECT_EQ(get("seen.param_1"), "f(x)");

    ASSERT_TRUE(hub.executeNow("s", "f(x) followed by text"));
    EXPECT_EQ(get("seen.param_0"), "x");
    EXPECT_EQ(get("count"), "2");

    EXPECT_EQ(get("runs"), "4");
    // A "(" without ")", an empty text, an unknown name: nothing runs, nothing is queued.
    EXPECT_FALSE(hub.executeNow("s", "f(a"));
    EXPECT_FALSE(hub.executeNow("s", ""));
    EXPECT_FALSE(hub.executeNow("s", "g(a)"));
    EXPECT_FALSE(hub.queueCall("s", "f(a"));
    EXPECT_FALSE(hub.queueCall("s", "nobody"));
    EXPECT_TRUE(hub.queue().empty());
    EXPECT_EQ(get("runs"), "4");
}

TEST_F(TriggerHubTest, NestedExecutionRestoresTheCallersParams) {
    add("outer",
        "before = ne_params.param_0 .. '/' .. ne_params.sender "
        "Exec('f(inner)') "
        "after = ne_params.param_0 .. '/' .. ne_params.sender");
    ASSERT_TRUE(hub.executeNow("button", "outer(1)"));
    EXPECT_EQ(get("before"), "1/button");
    EXPECT_EQ(get("seen.param_0 .. '/' .. seen.sender"), "inner/ne_undef");
    EXPECT_EQ(get("after"), "1/button");
    EXPECT_EQ(hub.runningDepth(), 0u);
}

TEST_F(TriggerHubTest, FirstRegistrationWins) {
    EXPECT_FALSE(hub.registerTrigger(std::make_unique<nE_Trigger>("f", "replaced = true")));
    EXPECT_NE(hub.find("f")->code.find("runs"), std::string::npos);
    hub.executeNow("", "f");
    EXPECT_EQ(get("replaced"), "nil");
    EXPECT_EQ(hub.triggerCount(), 1u);
}

TEST_F(TriggerHubTest, CallsQueuedDuringARunWaitForTheNextRun) {
    add("a", "order = (order or '') .. 'a' Queue('b')");
    add("b", "order = (order or '') .. 'b'");
    ASSERT_TRUE(hub.queueCall("x", "a"));
    ASSERT_TRUE(hub.queueCall("x", "f(q)"));
    EXPECT_EQ(get("order"), "nil");
    hub.runQueue();
    EXPECT_EQ(get("order"), "a");
    EXPECT_EQ(get("seen.param_0 .. seen.sender"), "qx");
    ASSERT_EQ(hub.queue().size(), 1u);
    EXPECT_EQ(hub.queue()[0].sender, "script");
    hub.runQueue();
    EXPECT_EQ(get("order"), "ab");
    EXPECT_TRUE(hub.queue().empty());
}

TEST_F(TriggerHubTest, LuaErrorsAreReportedWithATracebackAndTheHubGoesOn) {
    DebugLines debug;
    add("broken", "x = = 1");
    add("fails", "local function deep() error('boom') end deep()");
    const int top = lua_gettop(lua);
    EXPECT_TRUE(hub.executeNow("", "broken"));
    ASSERT_EQ(debug.lines.size(), 1u) << "a chunk that does not compile ran nowhere: no traceback";
    EXPECT_EQ(debug.lines[0].rfind("Trigger error: broken broken:1:", 0), 0u) << debug.lines[0];

    debug.lines.clear();
    EXPECT_TRUE(hub.executeNow("", "fails"));
    ASSERT_EQ(debug.lines.size(), 2u);
    EXPECT_NE(debug.lines[0].find("Trigger error: fails "), std::string::npos);
    EXPECT_NE(debug.lines[0].find("boom"), std::string::npos);
    EXPECT_EQ(debug.lines[1].rfind("stack traceback:\n", 0), 0u) << debug.lines[1];
    EXPECT_NE(debug.lines[1].find("in function 'deep'"), std::string::npos) << debug.lines[1];

    // Errors that are not strings are still reported.
    add("table_error", "error({})");
    debug.lines.clear();
    hub.executeNow("", "table_error");
    ASSERT_EQ(debug.lines.size(), 2u);
    EXPECT_EQ(debug.lines[0], "Trigger error: table_error (error object is not a string)");

    EXPECT_EQ(lua_gettop(lua), top);
    EXPECT_TRUE(hub.executeNow("", "f(ok)"));
    EXPECT_EQ(get("seen.param_0"), "ok");
}

TEST_F(TriggerHubTest, RemovedTriggersStillRunTheirQueuedCalls) {
    add("self_remover", "Remove('self_remover') Remove('f') removed = true");
    ASSERT_TRUE(hub.queueCall("", "f(1)"));
    ASSERT_TRUE(hub.executeNow("", "self_remover"));
    EXPECT_EQ(hub.find("f"), nullptr);
    EXPECT_EQ(hub.find("self_remover"), nullptr);
    hub.runQueue();
    EXPECT_EQ(get("seen.param_0"), "1");
    EXPECT_FALSE(hub.queueCall("", "f"));

    // Clearing the hub from inside a running trigger leaves the run intact.
    add("clearer", "Clear() cleared = ne_params.param_0");
    ASSERT_TRUE(hub.executeNow("", "clearer(yes)"));
    EXPECT_EQ(get("cleared"), "yes");
    EXPECT_EQ(hub.triggerCount(), 0u);
}

TEST_F(TriggerHubTest, RunawayRecursionIsStoppedByLua) {
    DebugLines debug;
    add("loop", "depth = (depth or 0) + 1 Exec('loop')");
    ASSERT_TRUE(hub.executeNow("", "loop"));
    EXPECT_GT(std::stoi(get("depth")), 10);
    ASSERT_FALSE(debug.lines.empty());
    EXPECT_EQ(debug.lines[0].rfind("Trigger error: loop ", 0), 0u);
    EXPECT_EQ(hub.runningDepth(), 0u);
}

TEST_F(TriggerHubTest, DumpWritesQueueAndModulesInOrder) {
    hub.queueCall("door", "f(a,b)");
    hub.queueCall("", "f");
    hub.addUsedModule("levels/one");
    hub.addUsedModule("levels/two");
    hub.addUsedModule("levels/one");
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* dump = hub.dump(&doc);
    ASSERT_NE(dump, nullptr);
    tinyxml2::XMLPrinter printer(nullptr, true);
    doc.Print(&printer);
    EXPECT_STREQ(printer.CStr(),
                 "<trg_dump><queue><trig name=\"f\" params=\"a,b\" sender=\"door\"/>"
                 "<trig name=\"f\" params=\"\" sender=\"\"/></queue>"
                 "<used_modules><module name=\"levels/one\"/><module name=\"levels/two\"/></used_modules>"
                 "</trg_dump>");
}

TEST_F(TriggerHubTest, RestoreWithoutModulesKeepsNothing) {
    tinyxml2::XMLDocument doc;
    doc.Parse(
        "<save><trg_dump><queue><trig name=\"f\" params=\"7\" sender=\"t\"/></queue></trg_dump></save>");
    hub.queueCall("", "f(old)");
    hub.addUsedModule("old");
    // Restore starts from an empty hub: with no module to bring f back, its call is skipped.
    hub.restore(doc.FirstChildElement("save"));
    EXPECT_TRUE(hub.queue().empty());
    EXPECT_TRUE(hub.usedModules().empty());
    EXPECT_EQ(hub.triggerCount(), 0u);
    hub.restore(nullptr);
}
