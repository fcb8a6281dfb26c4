// SetCursor, CursorPosX and CursorPosY against a cursor service that records what it is asked.
#include <gtest/gtest.h>

#include "engine/media/nE_Cursor.h"
#include "tests/engine/script/ScriptFunctionsTestSupport.h"

namespace {

class CountingCursor : public nE_Cursor {
public:
    void select(int index) override { selected.push_back(index); }
    std::vector<int> selected;
};

class CursorFunctionsTest : public script_test::ScriptFunctionsTest {
protected:
    void SetUp() override {
        ScriptFunctionsTest::SetUp();
        nE_Cursor::setCurrent(&cursor);
    }
    void TearDown() override {
        nE_Cursor::setCurrent(nullptr);
        ScriptFunctionsTest::TearDown();
    }
    CountingCursor cursor;
};

}  // namespace

TEST_F(CursorFunctionsTest, SetCursorSelectsTheIndexAndIgnoresAMissingOne) {
    EXPECT_EQ("", run("SetCursor(3) SetCursor('2') SetCursor() SetCursor('x')"));
    EXPECT_EQ((std::vector<int>{3, 2}), cursor.selected);
    EXPECT_EQ(0, lua_gettop(L));
}

TEST_F(CursorFunctionsTest, PositionsAreWholeDisplayPixels) {
    cursor.setPosition(123.9f, 45.2f);
    EXPECT_EQ("123", eval("CursorPosX()"));
    EXPECT_EQ("45", eval("CursorPosY()"));
    EXPECT_EQ("1", eval("select('#', CursorPosX(1, 2, 3))")) << "one result, arguments dropped";
}

TEST_F(CursorFunctionsTest, WithoutACursorServiceNothingFails) {
    nE_Cursor::setCurrent(nullptr);
    EXPECT_EQ("", run("SetCursor(1)"));
    EXPECT_EQ("0", eval("CursorPosX()"));
    EXPECT_EQ("0", eval("CursorPosY()"));
}
