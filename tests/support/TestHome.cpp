// Every test process gets a home folder of its own, removed when the process ends: nothing a test
// runs (the platform log, the per-user folder) ever writes into the real home of whoever runs it.
// Mesa's shader cache, which would also go there, is switched off: a fresh cache per process only
// costs time (and its writer thread trips LeakSanitizer's thread scan).
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <string>

namespace {

class TestHome : public ::testing::Environment {
public:
    void SetUp() override {
        // A child this process started (a death test run afresh) shares its parent's home.
        if (const char* inherited = std::getenv("HALVERN_TEST_HOME")) {
            if (*inherited) return;
        }
        char pattern[] = "/tmp/halvern-home-XXXXXX";
        if (!mkdtemp(pattern)) return;
        path_ = pattern;
        setenv("HALVERN_TEST_HOME", path_.c_str(), 1);
        setenv("HOME", path_.c_str(), 1);
        setenv("XDG_DATA_HOME", (path_ + "/.local/share").c_str(), 1);
        setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
    }
    void TearDown() override {
        if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
    }

private:
    std::string path_;
};

const ::testing::Environment* const g_home = ::testing::AddGlobalTestEnvironment(new TestHome());

}  // namespace
