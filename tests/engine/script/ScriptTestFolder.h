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

}  // namespace script_test
