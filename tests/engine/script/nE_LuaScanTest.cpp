// The scan of Lua source for calls with literal arguments: the forms a call takes, what is not a call,
// and the lines of arguments behind comments and long strings.
#include <gtest/gtest.h>

#include "engine/script/nE_LuaScan.h"

namespace {

const std::set<std::string> kFunctions = {"ModLoad", "TimerStart", "SndPlay"};

}  // namespace

TEST(nE_LuaScan, FindsLiteralArgumentsWithTheirLines) {
    const std::string source =
        "-- ModLoad('in a comment')\n"
        "--[==[ ModLoad('in a long comment')\n"
        "]==] local s = [[ModLoad('in a long string')]]\n"
        "ModLoad(\"assets/a\\\\b\")  ModLoad 'single'\n"
        "TimerStart('t',\n"
        "  \"go(1,2)\", 3)\n"
        "SndPlay(dir .. 'x', g(1, 'y'), {k = 'v'})\n"
        "menu.ModLoad('field') obj:ModLoad('method') function ModLoad(p) end\n"
        "ModLoad({}) ModLoad()\n";
    const std::vector<nE_LuaScan::Call> calls = nE_LuaScan::calls(source, kFunctions);
    ASSERT_EQ(6u, calls.size());

    EXPECT_EQ("ModLoad", calls[0].function);
    EXPECT_EQ(4, calls[0].line);
    ASSERT_EQ(1u, calls[0].arguments.size());
    EXPECT_TRUE(calls[0].arguments[0].literal);
    EXPECT_EQ("assets/a\\b", calls[0].arguments[0].value);

    EXPECT_EQ("single", calls[1].arguments[0].value);

    ASSERT_EQ(3u, calls[2].arguments.size());
    EXPECT_EQ("t", calls[2].arguments[0].value);
    EXPECT_EQ("go(1,2)", calls[2].arguments[1].value);
    EXPECT_EQ(6, calls[2].arguments[1].line);
    EXPECT_FALSE(calls[2].arguments[2].literal);

    // Built at run time, nested or a table: none is a literal, but all three are arguments.
    ASSERT_EQ(3u, calls[3].arguments.size());
    for (const nE_LuaScan::Argument& a : calls[3].arguments) EXPECT_FALSE(a.literal);

    // f {...} and f(): one non-literal argument, then none.
    ASSERT_EQ(1u, calls[4].arguments.size());
    EXPECT_FALSE(calls[4].arguments[0].literal);
    EXPECT_TRUE(calls[5].arguments.empty());
}

TEST(nE_LuaScan, BrokenSourceEndsWithoutACall) {
    EXPECT_TRUE(nE_LuaScan::calls("ModLoad('a'", kFunctions).empty());
    EXPECT_TRUE(nE_LuaScan::calls("ModLoad(\"open\n", kFunctions).empty());
    const std::vector<nE_LuaScan::Call> calls = nE_LuaScan::calls("ModLoad [=[x]] ]=] --[[", kFunctions);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ("x]] ", calls[0].arguments[0].value);
}

TEST(nE_LuaScan, GlobalsSeparateDefinitionsFromPlainCallsOfUnknownNames) {
    const nE_LuaScan::Globals g = nE_LuaScan::globals(
        "function Open(door) door() end\n"                                                            // 1
        "local function helper(cb) cb() end helper()\n"                                               // 2
        "level = {}; function level.go() end; level.go()\n"                                           // 3
        "a, b = 1, 2; if (a == b) then return (Missing(1)) end\n"                                     // 4
        "for i, v in pairs({}) do v() end; Other 'x'; Table {}\n"                                     // 5
        "obj:Method(); x.y(); local t = { key = 1 }; t.key(); _G['G1'] = 1; rawset(_G, 'G2', 2)\n");  // 6
    for (const char* name : {"Open", "level", "a", "b", "key", "t", "G1", "G2"})
        EXPECT_TRUE(g.defined.count(name)) << name;
    EXPECT_FALSE(g.defined.count("helper"));
    std::vector<std::string> calls;
    for (const nE_LuaScan::Call& c : g.calls) calls.push_back(c.function + ":" + std::to_string(c.line));
    EXPECT_EQ((std::vector<std::string>{"Missing:4", "pairs:5", "Other:5", "Table:5", "rawset:6"}), calls);
}
