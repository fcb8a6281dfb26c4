// A temporary game folder for tests that read module files by their game-relative names.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "pflib/TPlatform.h"

namespace script_test {

class GameFolder {
public:
    GameFolder() : previous_(pf::TPlatform::GetRunOptions()) {
        char pattern[] = "/tmp/halvern_script_XXXXXX";
        if (mkdtemp(pattern)) path_ = pattern;
        pf::TRunOptions options = previous_;
        options.gameDir = path_;
        pf::TPlatform::SetRunOptions(options);
    }
    ~GameFolder() {
        pf::TPlatform::SetRunOptions(previous_);
        if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
    }
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

    const std::string& path() const { return path_; }

    // Writes a file under the folder, making its directories.
    void write(const std::string& name, const std::string& text) const {
        const std::string full = path_ + "/" + name;
        std::system(("mkdir -p \"$(dirname '" + full + "')\"").c_str());
        if (FILE* f = std::fopen(full.c_str(), "wb")) {
            std::fwrite(text.data(), 1, text.size(), f);
            std::fclose(f);
        }
    }

private:
    pf::TRunOptions previous_;
    std::string path_;
};

// Another folder (the source tree unless given) as the game folder, for tests whose descriptions and
// scripts name files there: such names are game files ("tests/data/sprites/strip"), never absolute ones.
class GameFolderAt {
public:
    explicit GameFolderAt(const std::string& dir = HALVERN_SOURCE_DIR)
        : previous_(pf::TPlatform::GetRunOptions()) {
        pf::TRunOptions options = previous_;
        options.gameDir = dir;
        pf::TPlatform::SetRunOptions(options);
    }
    ~GameFolderAt() { pf::TPlatform::SetRunOptions(previous_); }
    GameFolderAt(const GameFolderAt&) = delete;
    GameFolderAt& operator=(const GameFolderAt&) = delete;

    // A file of the test data as the game names it with the source tree as its folder.
    static std::string data(const std::string& name) { return "tests/data/" + name; }

private:
    pf::TRunOptions previous_;
};

}  // namespace script_test
