// compare_screens SHOT.png REFERENCE.png [--update]: compares a screenshot with its reference image the
// way the run tests do (both scaled down by four, a tolerance per channel and per image). Exit status 0
// when they match, 1 when they differ or the reference is missing, 2 when the screenshot cannot be
// read. With --update the reference is written from the screenshot instead.
#include <cstdio>
#include <cstring>
#include <string>

#include "tests/support/ScreenCompare.h"

int main(int argc, char** argv) {
    if (argc < 3 || (argc == 4 && std::strcmp(argv[3], "--update") != 0) || argc > 4) {
        std::fprintf(stderr, "usage: compare_screens SHOT.png REFERENCE.png [--update]\n");
        return 2;
    }
    const std::string shot = argv[1], referenceFile = argv[2];
    auto image = pf::TTexture::Get(shot);
    if (!image) {
        std::fprintf(stderr, "compare_screens: cannot read the screenshot %s\n", shot.c_str());
        return 2;
    }
    int w = 0, h = 0;
    const std::vector<uint8_t> got = halverntest::reduced(image, w, h);
    if (argc == 4) {
        if (pf::TTexture::WritePng(referenceFile, got.data(), w, h)) return 0;
        std::fprintf(stderr, "compare_screens: cannot write %s\n", referenceFile.c_str());
        return 1;
    }
    auto reference = pf::TTexture::Get(referenceFile);
    if (!reference) {
        std::fprintf(stderr, "compare_screens: no reference %s\n", referenceFile.c_str());
        return 1;
    }
    const int differing = halverntest::differingPixels(got, w, h, reference);
    if (differing < 0) {
        std::fprintf(stderr, "compare_screens: %s is %dx%d, its reference %dx%d\n", shot.c_str(), w, h,
                     reference->GetWidth(), reference->GetHeight());
        return 1;
    }
    const int allowed = halverntest::allowedDifferingPixels(w, h);
    if (differing > allowed) {
        std::fprintf(stderr, "compare_screens: %s: %d of %d pixels differ from %s (at most %d may)\n",
                     shot.c_str(), differing, w * h, referenceFile.c_str(), allowed);
        return 1;
    }
    return 0;
}
