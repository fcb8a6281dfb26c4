#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "engine/core/nE_Path.h"

TEST(Path, PathsAreNormalisedAndKeptInsideTheirFolder) {
    using P = nE_Path;
    EXPECT_EQ("assets/levels/hall", P::normalise("assets\\levels\\hall"));
    const std::pair<std::string, std::string> inside[] = {{"assets\\levels\\hall", "assets/levels/hall"},
                                                          {"a..b/c", "a..b/c"},
                                                          {"./x", "x"},
                                                          {"x/.../y", "x/.../y"},
                                                          {"a\\..\\x", "x"},
                                                          {"a//b/./c/", "a/b/c"}};
    for (const auto& [name, file] : inside) EXPECT_EQ(file, P::resolve(name, P::kGameFolder, "t")) << name;
    const std::string outside[] = {"/etc/passwd", "\\share\\x", "../x", "a/../../x", "..",
                                   "user:p",      "C:\\x",      "a/..", ".",         std::string("a\0b", 3)};
    for (const std::string& name : outside) EXPECT_EQ("", P::resolve(name, P::kGameFolder, "t")) << name;

    EXPECT_EQ("user:p/q", P::resolve("user:p\\q", P::kGameOrUserFolder, "t"));
    for (const char* name : {"user:../p", "user:/p", "user:", "user:a/../../p", "user:c:/p"})
        EXPECT_EQ("", P::resolve(name, P::kGameOrUserFolder, "t")) << name;

    // Names inside asset files climb only within the top their own file came from.
    EXPECT_EQ("data/sprites/strip", P::resolveBeside("data/cursors/", "../sprites/strip", "t"));
    EXPECT_EQ("/abs/x", P::resolveBeside("/abs/dir/", "../x", "t"));
    EXPECT_EQ("user:b", P::resolveBeside("user:a/", "..\\b", "t"));
    for (const auto& [folder, name] :
         std::initializer_list<std::pair<const char*, const char*>>{{"assets/", "../../x"},
                                                                    {"assets/", "/etc/x"},
                                                                    {"user:a/", "../../b"},
                                                                    {"", "user:x"},
                                                                    {"a/", "C:x"}})
        EXPECT_EQ("", P::resolveBeside(folder, name, "t")) << folder << name;
}
