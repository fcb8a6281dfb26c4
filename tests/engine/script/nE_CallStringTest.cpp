#include <gtest/gtest.h>

#include "engine/script/nE_CallString.h"

using Pieces = std::vector<std::string>;

TEST(CallString, SplitsNameAndParams) {
    std::string name, params;
    ASSERT_TRUE(nE_CallString::split("open_door", name, params));
    EXPECT_EQ(name, "open_door");
    EXPECT_EQ(params, "");

    ASSERT_TRUE(nE_CallString::split("f()", name, params));
    EXPECT_EQ(name, "f");
    EXPECT_EQ(params, "");

    ASSERT_TRUE(nE_CallString::split("open_door(chest,2)", name, params));
    EXPECT_EQ(name, "open_door");
    EXPECT_EQ(params, "chest,2");

    // The last ")" closes; text after it is ignored.
    ASSERT_TRUE(nE_CallString::split("f(x) and more", name, params));
    EXPECT_EQ(params, "x");
    ASSERT_TRUE(nE_CallString::split("f(a, g(1)) tail", name, params));
    EXPECT_EQ(params, "a, g(1)");
}

TEST(CallString, RejectsEmptyAndUnclosed) {
    std::string name = "keep", params = "keep";
    EXPECT_FALSE(nE_CallString::split("", name, params));
    EXPECT_FALSE(nE_CallString::split("f(a", name, params));
    EXPECT_FALSE(nE_CallString::split("f(", name, params));
    // A ")" before the "(" closes nothing.
    EXPECT_FALSE(nE_CallString::split("a)b(c", name, params));
}

TEST(CallString, PiecesFollowNestingAndFirstWords) {
    EXPECT_EQ(nE_CallString::pieces(""), Pieces{});
    EXPECT_EQ(nE_CallString::pieces("a, b c, g(1,2)"), (Pieces{"a", "b", "g(1,2)"}));
    EXPECT_EQ(nE_CallString::pieces("a,"), (Pieces{"a", ""}));
    EXPECT_EQ(nE_CallString::pieces("a,(b"), Pieces{"a"});
    EXPECT_EQ(nE_CallString::pieces("a, f(x) trailing text"), (Pieces{"a", "f(x)"}));
    EXPECT_EQ(nE_CallString::pieces("  \t "), Pieces{""});
    EXPECT_EQ(nE_CallString::pieces("\tx\ny, z "), (Pieces{"x", "z"}));
    // A stray ")" at the top does not go below the top.
    EXPECT_EQ(nE_CallString::pieces("a),b"), (Pieces{"a)", "b"}));
    EXPECT_EQ(nE_CallString::pieces("((a,b),c),d"), (Pieces{"((a,b),c)", "d"}));
}
