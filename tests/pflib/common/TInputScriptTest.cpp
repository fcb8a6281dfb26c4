#include <gtest/gtest.h>

#include "pflib/common/TInputScript.h"
#include "tests/pflib/TempDir.h"

using pf::TEvent;
using pf::TInputScript;

TEST(InputScriptTest, DeliversEventsAtTheirTickInFileOrder) {
    TInputScript script;
    EXPECT_EQ(script.Parse("# clicks\n"
                           "3 1 0 100 200\n"
                           "\n"
                           "  # indented comment\n"
                           "0 4 0 5 6\r\n"
                           "3 3 0 100 200\n"
                           "5 7 -100 0 0 4\n"),
              0);
    std::vector<TEvent> due;
    script.TakeDue(0, due);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0].type, pf::kEventPointerMove);
    EXPECT_EQ(due[0].x, 5);
    EXPECT_EQ(due[0].y, 6);

    due.clear();
    script.TakeDue(2, due);
    EXPECT_TRUE(due.empty());
    script.TakeDue(3, due);
    ASSERT_EQ(due.size(), 2u);
    EXPECT_EQ(due[0].type, pf::kEventButtonDown);
    EXPECT_EQ(due[1].type, pf::kEventButtonUp);
    EXPECT_EQ(due[1].x, 100);

    due.clear();
    script.TakeDue(9, due);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0].code, pf::kKeyF1);
    EXPECT_EQ(due[0].flags, pf::kKeyFlagRepeat);
    EXPECT_EQ(script.Remaining(), 0u);
}

TEST(InputScriptTest, SkipsMalformedLinesAndKeepsTheRest) {
    TInputScript script;
    EXPECT_EQ(script.Parse("1 1 0 10\n"             // too few fields
                           "x 1 0 10 10\n"          // not a number
                           "-1 1 0 10 10\n"         // negative tick
                           "2 1 0 10 10 0 extra\n"  // too many
                           "2 8 65 0 0\n"),
              4);
    std::vector<TEvent> due;
    script.TakeDue(100, due);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0].type, pf::kEventKeyUp);
    EXPECT_EQ(due[0].code, 'A');
}

TEST(InputScriptTest, LoadsAFileAndReportsAMissingOne) {
    TempDir dir;
    TempDir::Write(dir / "input.txt", "0 12 0 0 0\n1 0 0 0 0\n");
    TInputScript script;
    EXPECT_TRUE(script.Load(dir / "input.txt"));
    EXPECT_EQ(script.Remaining(), 2u);
    EXPECT_FALSE(TInputScript().Load(dir / "missing.txt"));
}
