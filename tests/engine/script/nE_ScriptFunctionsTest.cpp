#include "engine/script/nE_ScriptFunctions.h"
#include "tests/engine/script/ScriptFunctionsTestSupport.h"
#include "tests/engine/script/ScriptTestSupport.h"

namespace {

using script_test::ScriptFunctionsTest;

// Every function is a global, registered through the sandbox's wrapper, which holds the function as
// its upvalue.
TEST_F(ScriptFunctionsTest, AllAreGlobalsRegisteredThroughTheSandbox) {
    ASSERT_EQ(nE_ScriptFunctions::kCount, static_cast<int>(nE_ScriptFunctions::registeredNames().size()));
    const nE_ScriptFunctions::Entry* table = nE_ScriptFunctions::table();
    for (int i = 0; i < nE_ScriptFunctions::kCount; ++i) {
        lua_getglobal(L, table[i].name);
        ASSERT_TRUE(lua_iscfunction(L, -1)) << table[i].name;
        ASSERT_NE(nullptr, lua_getupvalue(L, -1, 1)) << table[i].name;
        EXPECT_EQ(table[i].function, lua_tocfunction(L, -1)) << table[i].name;
        lua_pop(L, 2);
    }
}

// Every function called with nothing, with numbers, tables and booleans where names belong,
// and with unknown names: no Lua error.
TEST_F(ScriptFunctionsTest, MissingOrWrongArgumentsNeverRaise) {
    add("plain");
    const char* const argumentLists[] = {"",
                                         "nil, nil, nil, nil, nil, nil",
                                         "{}, {}, {}, {}, {}, {}",
                                         "true, false, true, false, true, false",
                                         "'nobody', 'nothing', 'x', 'y', 'z', 'w'",
                                         "'plain', 'plain', 1, 1, 1, 1",
                                         "'plain', {}, 'x', {}, 5, {1, 2, 'x'}",
                                         "'plain', 0/0, 1e300, -1e300, 0/0, {0/0, 1e300}"};
    for (const std::string& name : nE_ScriptFunctions::registeredNames()) {
        if (name == "ModLoad" || name == "TrgExecute") continue;  // tested with real modules and triggers
        for (const char* args : argumentLists) {
            EXPECT_EQ("", run("local r = {" + name + "(" + args + ")}")) << name << "(" << args << ")";
        }
    }
    EXPECT_EQ("", run("ModLoad() ModLoad({}) TrgExecute() TrgExecute({}) TrgExecute('nothing(1')"));
    EXPECT_NE(nullptr, scene().findObject("plain")) << "nothing happened to the object";
}

TEST_F(ScriptFunctionsTest, ResultsOfNeutralCalls) {
    EXPECT_EQ("table", eval("type(ObjGet('nobody'))"));
    EXPECT_EQ("nil", eval("next(ObjGet('nobody'))")) << "an empty table, not nil";
    EXPECT_EQ("false", eval("ObjIntersect('a', 'b')"));
    EXPECT_EQ("0", eval("TimerGetTime('none')"));
    EXPECT_EQ("nil", eval("TrgGet('none')"));
    EXPECT_EQ("1", eval("select('#', ObjGet())"));
    EXPECT_EQ("0", eval("select('#', ObjSet('nobody', {}))"));
}

}  // namespace
