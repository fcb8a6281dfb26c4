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
#include <sstream>
#include <string>
#include <vector>

#include "pflib/TTexture.h"

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

struct RunResult {
    int exitCode = -1;
    std::string output;  // standard output and standard error
};

// Runs halvern with the arguments (each quoted for the shell).
inline RunResult runHalvern(const std::vector<std::string>& args) {
    std::string command = "'" + std::string(HALVERN_EXE) + "'";
    for (const std::string& a : args) command += " '" + a + "'";
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

// The image scaled down by four with a box filter: a reference stays small and is not thrown by a
// single pixel of rasterising difference.
inline std::vector<uint8_t> reduced(const std::shared_ptr<pf::TTexture>& image, int& w, int& h) {
    w = image->GetWidth() / 4;
    h = image->GetHeight() / 4;
    uint8_t* p = nullptr;
    int pitch = 0;  // in pixels
    image->Lock(&p, &pitch, true);
    std::vector<uint8_t> out(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 4; ++c) {
                int sum = 0;
                for (int dy = 0; dy < 4; ++dy)
                    for (int dx = 0; dx < 4; ++dx)
                        sum += p[(static_cast<size_t>(y * 4 + dy) * pitch + (x * 4 + dx)) * 4 + c];
                out[(static_cast<size_t>(y) * w + x) * 4 + c] = static_cast<uint8_t>((sum + 8) / 16);
            }
    image->Unlock();
    return out;
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
    uint8_t* r = nullptr;
    int pitch = 0;
    reference->Lock(&r, &pitch, true);
    int differing = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* a = &got[(static_cast<size_t>(y) * w + x) * 4];
            const uint8_t* b = r + (static_cast<size_t>(y) * pitch + x) * 4;
            for (int c = 0; c < 3; ++c)
                if (std::abs(a[c] - b[c]) > 24) {
                    ++differing;
                    break;
                }
        }
    reference->Unlock();
    // Up to half a percent of the reduced pixels may differ (rasterising and rounding).
    EXPECT_LE(differing, w * h / 200) << name << ": " << differing << " of " << w * h << " pixels differ";
}

}  // namespace halverntest
