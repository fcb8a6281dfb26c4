// The author's guide's examples (docs/examples/*/module.xml): each checks clean with --check and runs
// headless to its end, as `halvern --module` opens it, without a report of anything missing or broken.
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "tests/integration/HalvernRun.h"

using halverntest::runHalvern;
using halverntest::TempDir;

namespace {

std::vector<std::string> examples() {
    std::vector<std::string> names;
    const std::string root = std::string(HALVERN_SOURCE_DIR) + "/docs/examples";
    if (DIR* d = opendir(root.c_str())) {
        while (const dirent* entry = readdir(d)) {
            const std::string name = entry->d_name;
            if (name[0] != '.' && std::ifstream(root + "/" + name + "/module.xml").good())
                names.push_back(name);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(AuthoringExamples, EachChecksCleanAndRunsHeadless) {
    // Under AddressSanitizer the children look for no leaks: with Mesa's shader cache off, LeakSanitizer's
    // scan of the threads can meet a broken dynamic TLS block and its tracer dies (depending on the memory
    // layout, not on the example); the program's leaks are looked for by its other runs.
    const char* asan = std::getenv("ASAN_OPTIONS");
    setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":detect_leaks=0").c_str(), 1);
    const std::vector<std::string> names = examples();
    ASSERT_GE(names.size(), 10u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::string module = "docs/examples/" + name + "/module";
        const auto check = runHalvern({"--check", "--game-dir", HALVERN_SOURCE_DIR, "--module", module});
        EXPECT_EQ(check.exitCode, 0) << check.output;
        EXPECT_EQ(check.output, "halvern --check: no problems\n");

        TempDir user;
        const auto run = runHalvern({"--headless", "--fixed-step", "--frames", "240", "--game-dir",
                                     HALVERN_SOURCE_DIR, "--user-dir", user.path, "--module", module});
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_NE(run.output.find("example finished: " + name + "\n"), std::string::npos) << run.output;
        for (const char* fault : {"Could not", "could not", "error", "Non-matched"})
            EXPECT_EQ(run.output.find(fault), std::string::npos) << fault << " in:\n" << run.output;
    }
}
