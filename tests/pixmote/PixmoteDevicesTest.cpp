// The shipped devices and examples: the installed library used from outside the tree, and the OpenGL
// device's pixels against the software device's for the example host's scene.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Outcome {
    int status = -1;
    std::string out;
};

Outcome run(const std::string& command) {
    Outcome r;
    if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) r.out.append(buffer, n);
        int raw = pclose(pipe);
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    return r;
}

std::vector<uint8_t> readPng(const std::string& path, int* w, int* h) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    *w = static_cast<int>(image.width), *h = static_cast<int>(image.height);
    return pixels;
}

std::string tempDir() {
    char name[] = "/tmp/pixmote-test-XXXXXX";
    return mkdtemp(name) ? name : "";
}

}  // namespace

// Installed into a fresh prefix, the component carries the libraries, headers, pkg-config files and
// examples; the C example builds there with cc and pkg-config alone, runs against the installed
// libraries and draws what the in-tree build draws. No installed library needs a GL, SDL or the game,
// and none exports more than its own functions.
TEST(PixmoteDevicesTest, InstalledLibraryBuildsAnOutsideProgram) {
#ifdef HALVERN_SANITIZED
    GTEST_SKIP() << "sanitized libraries need the sanitizers' runtime in every program that links them; the "
                    "normal build checks the install";
#endif
    std::string prefix = tempDir();
    ASSERT_FALSE(prefix.empty());
    Outcome install =
        run("'" PIXMOTE_CMAKE "' --install '" PIXMOTE_BUILD_DIR "' --component pixmote --prefix '" + prefix +
            "'");
    ASSERT_EQ(install.status, 0) << install.out;
    std::string lib = run("ls -d '" + prefix + "'/lib*/pkgconfig").out;
    ASSERT_FALSE(lib.empty());
    lib = lib.substr(0, lib.find("/pkgconfig"));
    std::string env = "PKG_CONFIG_PATH='" + lib + "/pkgconfig' ";
    std::string examples = prefix + "/share/doc/pixmote/examples";
    Outcome build = run(env + "cc -std=c99 -Wall -Werror '" + examples + "/software_png.c' -o '" + prefix +
                        "/software_png' $(" + env + "pkg-config --cflags --libs pixmote pixmote-software)");
    ASSERT_EQ(build.status, 0) << build.out;
    Outcome linked = run("LD_LIBRARY_PATH='" + lib + "' ldd '" + prefix + "/software_png'");
    EXPECT_NE(linked.out.find(lib + "/libpixmote_software.so.0"), std::string::npos) << linked.out;
    EXPECT_NE(linked.out.find(lib + "/libpixmote.so.0"), std::string::npos) << linked.out;
    Outcome drawn =
        run("LD_LIBRARY_PATH='" + lib + "' '" + prefix + "/software_png' '" + prefix + "/out.png'");
    ASSERT_EQ(drawn.status, 0) << drawn.out;
    ASSERT_EQ(run("'" PIXMOTE_SOFTWARE_PNG "' '" + prefix + "/tree.png'").status, 0);
    int w = 0, h = 0, tw = 0, th = 0;
    std::vector<uint8_t> outside = readPng(prefix + "/out.png", &w, &h);
    std::vector<uint8_t> tree = readPng(prefix + "/tree.png", &tw, &th);
    ASSERT_EQ(w, 256);
    EXPECT_EQ(h, 256);
    EXPECT_TRUE(outside == tree);

    for (const char* file : {"libpixmote.so.0", "libpixmote_software.so.0", "libpixmote_opengl.so.0"}) {
        std::string soname = run("readelf -d '" + lib + "/" + file + "' | grep SONAME").out;
        EXPECT_NE(soname.find(std::string("[") + file + "]"), std::string::npos) << soname;
        std::string needed = run("readelf -d '" + lib + "/" + file + "' | grep NEEDED").out;
        for (const char* foreign : {"SDL", "halvern", "lua", "libGL", "libEGL", "epoxy"})
            EXPECT_EQ(needed.find(foreign), std::string::npos) << file << " needs " << foreign;
        // Exports are pm_ functions and the version node only (the standard library's stay hidden).
        std::string strays = run("nm -D --defined-only '" + lib + "/" + file +
                                 "' | awk '{print $3}' | grep -v -e '^pm_' -e '^PIXMOTE_'")
                                 .out;
        EXPECT_EQ(strays, "") << file;
    }
    for (const char* header : {"pixmote.h", "pixmote_software.h", "pixmote_opengl.h"})
        EXPECT_EQ(run("test -f '" + prefix + "/include/" + header + "'").status, 0) << header;
    EXPECT_EQ(run(env + "pkg-config --exists pixmote-opengl").status, 0);
    EXPECT_EQ(run("test -f '" + examples + "/sdl_host.c'").status, 0);
    run("rm -rf '" + prefix + "'");
}

// The example host's scene of every primitive, blend mode, clip and transform, drawn off-screen by the
// OpenGL device, matches the software device's drawing of it: edges, coverage and blending agree to a
// rounding step or two. A few pixels may pick the neighbouring texel where a rotated image's texel edge
// runs through a pixel centre; a flipped clip or a wrong blend function spoils thousands.
TEST(PixmoteDevicesTest, OpenGlDeviceMatchesSoftwareDevice) {
    std::string dir = tempDir();
    ASSERT_FALSE(dir.empty());
    std::string assets =
        " --image '" HALVERN_SOURCE_DIR "/packaging/icons/halvern-64.png' --font '" HALVERN_TEST_DATA
        "/pixmote/font/dejavu_16.fnt'";
#ifdef HALVERN_SANITIZED
    // The example quits SDL as a host should, unloading the GL driver with what it keeps: the leak
    // check cannot name it then.
    const std::string host = "ASAN_OPTIONS=detect_leaks=0 '" PIXMOTE_SDL_HOST "'";
#else
    const std::string host = "'" PIXMOTE_SDL_HOST "'";
#endif
    Outcome soft = run(host + " --software '" + dir + "/software.png'" + assets);
    ASSERT_EQ(soft.status, 0) << soft.out;
    Outcome shot = run(host + " --screenshot '" + dir + "/opengl.png'" + assets);
    if (shot.status == 3) {
        run("rm -rf '" + dir + "'");
        GTEST_SKIP() << "no OpenGL 3.3 context here: " << shot.out;
    }
    ASSERT_EQ(shot.status, 0) << shot.out;
    int w = 0, h = 0, gw = 0, gh = 0;
    std::vector<uint8_t> expected = readPng(dir + "/software.png", &w, &h);
    std::vector<uint8_t> actual = readPng(dir + "/opengl.png", &gw, &gh);
    ASSERT_EQ(expected.size(), actual.size());
    ASSERT_EQ(w, gw);
    // The OpenGL device antialiases convex shapes by geometry, so edges and corners differ from the
    // computed coverage by a little everywhere: the frames must agree on average, and only a few
    // edge pixels may be far apart (a missing or misplaced shape makes thousands).
    int far = 0, worst = 0;
    double sum = 0;
    for (size_t i = 0; i < expected.size(); i += 4) {
        int d = 0;
        for (int k = 0; k < 4; ++k) {
            d = std::max(d, std::abs(expected[i + k] - actual[i + k]));
            sum += std::abs(expected[i + k] - actual[i + k]);
        }
        worst = std::max(worst, d);
        if (d > 32) ++far;
    }
    const double mean = sum / expected.size();
    const int pixels = static_cast<int>(expected.size() / 4);
    EXPECT_LE(mean, 0.25) << "the two drawings are in " << dir;
    EXPECT_LE(far, pixels / 2000) << "worst difference " << worst << "; the two drawings are in " << dir;
    if (mean <= 0.25 && far <= pixels / 2000) run("rm -rf '" + dir + "'");
}
