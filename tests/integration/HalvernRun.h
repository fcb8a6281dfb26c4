// Runs the halvern program headless on a game folder made by the test, reads what it left, and compares
// screenshots with the kept reference images.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "pflib/TTexture.h"
#include "tests/support/ScreenCompare.h"

namespace halverntest {

// A fresh folder under the system's temporary folder, removed when the object goes.
class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/halvern-it-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempDir() {
        if (!path.empty() && !std::getenv("HALVERN_KEEP_TEMP"))
            std::system(("rm -rf '" + path + "'").c_str());
    }
    std::string file(const std::string& relative) const { return path + "/" + relative; }
    // Writes a file, making its folders.
    void write(const std::string& relative, const std::string& text) const {
        const std::string full = file(relative);
        std::system(("mkdir -p '" + full.substr(0, full.rfind('/')) + "'").c_str());
        std::ofstream(full, std::ios::binary) << text;
    }
    std::string read(const std::string& relative) const {
        std::ifstream in(file(relative), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    bool exists(const std::string& relative) const {
        struct stat st;
        return stat(file(relative).c_str(), &st) == 0;
    }
    std::string path;
};

// How often `what` stands in `text` (a run's output), overlapping ones counted.
inline int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

struct RunResult {
    int exitCode = -1;
    std::string output;  // standard output and standard error
};

// A saved game without the phase of its looping animations (flickering flames, a fire's frames): how
// far a flame has flickered depends on how long the room was shown, not on the game.
inline std::string withoutPhase(const std::string& save) {
    return std::regex_replace(save, std::regex(" (curtime|frame)=\"[^\"]*\""), "");
}

// The first save slot of a player's file ("" when there is none).
inline std::string firstSlot(const std::string& profile) {
    const size_t from = profile.find("<save_0>"), to = profile.find("</save_0>");
    if (from == std::string::npos || to == std::string::npos) return "";
    return profile.substr(from, to - from);
}

// The bundled game in `game`: every part linked from the source tree but the level file, which is
// written with each `from` replaced by its `to` (a test starts the level where it needs to).
inline void bundledGameWithLevel(const TempDir& game,
                                 const std::vector<std::pair<std::string, std::string>>& edits) {
    const std::string src = HALVERN_SOURCE_DIR, assets = game.file("assets"),
                      level = game.file("assets/levels/level");
    std::system(
        ("mkdir -p '" + level + "' && for f in '" + src +
         "'/assets/*; do [ \"${f##*/}\" = levels ] || ln -s \"$f\" '" + assets + "/'; done && for f in '" +
         src + "'/assets/levels/*; do [ \"${f##*/}\" = level ] || ln -s \"$f\" '" + assets +
         "/levels/'; done && for f in '" + src +
         "'/assets/levels/level/*; do [ \"${f##*/}\" = level.xml ] || ln -s \"$f\" '" + level + "/'; done")
            .c_str());
    std::ifstream in(src + "/assets/levels/level/level.xml", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    std::string text = s.str();
    for (const auto& edit : edits) {
        const size_t at = text.find(edit.first);
        ASSERT_NE(at, std::string::npos) << edit.first;
        text.replace(at, edit.first.size(), edit.second);
    }
    game.write("assets/levels/level/level.xml", text);
}

// Runs halvern with the arguments (each quoted for the shell), in the given locale: a first start takes
// its language from it, so runs do not depend on the machine's. Headless runs draw quickly.
inline RunResult runHalvern(const std::vector<std::string>& args, const std::string& locale = "C") {
    std::string command = "env LC_ALL= LC_MESSAGES= LANG='" + locale + "' '" + std::string(HALVERN_EXE) + "'";
    bool quick = false, timed = false;
    for (const std::string& a : args) {
        command += " '" + a + "'";
        quick = quick || a == "--headless";
        timed = timed || a == "--time-frames" || a == "--frame-stats";
    }
    // Headless runs fill pixels only for their screenshots, unless their frames are timed.
    if (quick && !timed) command += " --quick-draw";
    command += " 2>&1";
    RunResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// The RGBA pixel at (x, y) of a decoded image.
struct Pixel {
    int r, g, b, a;
};
inline Pixel pixelAt(const std::shared_ptr<pf::TTexture>& image, int x, int y) {
    uint8_t* p = nullptr;
    int pitch = 0;
    image->Lock(&p, &pitch, true);
    const uint8_t* q = p + (static_cast<size_t>(y) * pitch + x) * 4;
    Pixel px{q[0], q[1], q[2], q[3]};
    image->Unlock();
    return px;
}

// Compares a screenshot with its reference; with HALVERN_UPDATE_REFERENCES set it writes the reference
// instead (tools/update_reference_screens).
inline void expectLooksLike(const std::string& shot, const std::string& name) {
    auto image = pf::TTexture::Get(shot);
    ASSERT_TRUE(image) << "no screenshot for " << name;
    int w = 0, h = 0;
    const std::vector<uint8_t> got = reduced(image, w, h);
    const std::string file = std::string(HALVERN_TEST_DATA) + "/reference/" + name + ".png";
    if (std::getenv("HALVERN_UPDATE_REFERENCES")) {
        ASSERT_TRUE(pf::TTexture::WritePng(file, got.data(), w, h));
        return;
    }
    auto reference = pf::TTexture::Get(file);
    ASSERT_TRUE(reference) << "no reference " << file;
    ASSERT_EQ(reference->GetWidth(), w);
    ASSERT_EQ(reference->GetHeight(), h);
    const int differing = differingPixels(got, w, h, reference);
    EXPECT_LE(differing, allowedDifferingPixels(w, h))
        << name << ": " << differing << " of " << w * h << " pixels differ";
}

}  // namespace halverntest
