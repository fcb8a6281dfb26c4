#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "engine/core/nE_StringTable.h"
#include "tests/engine/script/ScriptTestSupport.h"

namespace {

std::string row(const std::string& key, const std::string& text) {
    return "<Row ss:AutoFitHeight=\"0\"><Cell><Data ss:Type=\"String\">" + key +
           "</Data></Cell><Cell><Data ss:Type=\"String\">" + text + "</Data></Cell></Row>\n";
}

class StringTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/halvern_strings_XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        folder = dir;
        path = folder + "/strings";
        std::ofstream out(path + ".xml", std::ios::binary);
        out << "<?xml version=\"1.0\"?>\n<Workbook><Worksheet><Table>\n"
            << row("greet", "Hello, %1%!") << row("pair", "%1%-%2%") << row("six", "%6%")
            << row("title", "The Manor") << row("full", "100%%")
            << row("lines", "a&#10;b &amp; &quot;c&quot;&#160;") << row("dup", "first")
            << row("dup", "second") << row("ref", "In %title%") << row("tail", "50%")
            << row("broken", "50% off") << row("nested", "%ref%")
            << "<Row><Cell><Data>onlykey</Data></Cell></Row>\n"
            << "<Row><Cell>no data</Cell></Row>\n"
            << "</Table></Worksheet></Workbook>\n"
            << row("after", "ignored");
    }
    void TearDown() override {
        std::remove((path + ".xml").c_str());
        rmdir(folder.c_str());
    }

    std::string folder, path;
    nE_StringTable table;
};

}  // namespace

TEST_F(StringTableTest, ArgumentsAndEscapes) {
    ASSERT_TRUE(table.load(path));  // ".xml" added
    EXPECT_EQ(table.get("greet", "Ann"), "Hello, Ann!");
    EXPECT_EQ(table.get("pair", "x"), "x-");  // a missing argument is empty
    EXPECT_EQ(table.get("six", "a", "b", "c", "d", "e"), "#####");
    EXPECT_EQ(table.get("greet", "%title%"), "Hello, The Manor!");
    EXPECT_EQ(table.get("greet", "%%"), "Hello, %!");
    EXPECT_EQ(table.get("greet", "%nokey%"), "#####");
    EXPECT_EQ(table.get("greet", "%odd"), "#####");
    EXPECT_EQ(table.get("full"), "100%");
    EXPECT_EQ(table.get("ref"), "In The Manor");
    EXPECT_EQ(table.get("nested"), "In %title%");  // inserted text is not expanded again
    EXPECT_EQ(table.get("missing"), "#####");
}

TEST_F(StringTableTest, CellTextRules) {
    ASSERT_TRUE(table.load(path + ".xml"));
    EXPECT_EQ(table.get("lines"), "a\nb &amp; \"c\"\xA0");
    EXPECT_EQ(table.get("dup"), "second");
    EXPECT_EQ(table.get("onlykey"), "");
    EXPECT_EQ(table.entries.count("after"), 0u);  // past "</Workbook>"
    EXPECT_EQ(table.entries.count("no data"), 0u);
}

TEST_F(StringTableTest, UnmatchedPercentIsReportedAndUsesTheRestAsAName) {
    ASSERT_TRUE(table.load(path));
    script_test::DebugLines catcher;
    EXPECT_EQ(table.get("tail"), "50%");
    EXPECT_EQ(table.get("broken"), "#####");
    ASSERT_EQ(catcher.lines.size(), 2u);
    EXPECT_EQ(catcher.lines[0], "Non-matched percent escape found in string tail, '50%'");
}

TEST_F(StringTableTest, MissingFileLeavesAnEmptyTable) {
    ASSERT_TRUE(table.load(path));
    EXPECT_FALSE(table.load(folder + "/absent"));
    EXPECT_TRUE(table.entries.empty());
    EXPECT_EQ(table.get("greet", "Ann"), "#####");
}
