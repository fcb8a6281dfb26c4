#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "engine/media/nE_YuvConverter.h"

namespace {

std::array<int, 3> rgb(int y, int u, int v) {
    uint8_t out[3];
    nE_YuvConverter::toRgb(y, u, v, out);
    return {out[0], out[1], out[2]};
}

// Planes of a coded frame of w x h luma samples filled with one triple, chroma decimated by the shifts.
struct Frame {
    Frame(int w, int h, int xShift, int yShift, int y, int u, int v)
        : luma(static_cast<size_t>(w * h), static_cast<uint8_t>(y)),
          cb(static_cast<size_t>((w >> xShift) * (h >> yShift)), static_cast<uint8_t>(u)),
          cr(cb.size(), static_cast<uint8_t>(v)) {
        planes.data[0] = luma.data();
        planes.data[1] = cb.data();
        planes.data[2] = cr.data();
        planes.stride[0] = w;
        planes.stride[1] = planes.stride[2] = w >> xShift;
        planes.xShift = xShift;
        planes.yShift = yShift;
    }
    std::vector<uint8_t> luma, cb, cr;
    nE_TheoraStream::Planes planes;
};

}  // namespace

TEST(YuvConverter, KnownTriples) {
    EXPECT_EQ((std::array<int, 3>{0, 0, 0}), rgb(16, 128, 128));
    EXPECT_EQ((std::array<int, 3>{255, 255, 255}), rgb(235, 128, 128));
    EXPECT_EQ((std::array<int, 3>{255, 0, 0}), rgb(81, 90, 240)) << "studio-range red";
    EXPECT_EQ((std::array<int, 3>{0, 255, 1}), rgb(145, 54, 34)) << "studio-range green";
    // y = 298 * 112: red (33376 + 13088 + 128) / 256, green (33376 + 2800 - 6656 + 128) / 256,
    // blue (33376 - 14448 + 128) / 256, fractions dropped.
    EXPECT_EQ((std::array<int, 3>{182, 115, 74}), rgb(128, 100, 160));
    EXPECT_EQ((std::array<int, 3>{0, 0, 0}), rgb(0, 128, 128)) << "below black clamps to 0";
    EXPECT_EQ((std::array<int, 3>{255, 255, 255}), rgb(255, 128, 128)) << "above white clamps to 255";
    EXPECT_EQ((std::array<int, 3>{0, 135, 0}), rgb(0, 0, 0));
    EXPECT_EQ((std::array<int, 3>{255, 125, 255}), rgb(255, 255, 255));
}

TEST(YuvConverter, ChromaIsSharedByNeighboursAtThePicturesOffset) {
    // 4 x 4 luma, 2 x 2 chroma: the left chroma column red, the right one blue.
    Frame f(4, 4, 1, 1, 81, 128, 128);
    f.cb = {90, 240, 90, 240};
    f.cr = {240, 110, 240, 110};
    f.planes.data[1] = f.cb.data();
    f.planes.data[2] = f.cr.data();
    // A 3 x 3 picture at offset (1, 1): its first column shares chroma with the frame's column 0.
    f.planes.picX = f.planes.picY = 1;
    std::vector<uint8_t> out(4 * 4 * 4, 99);
    nE_YuvConverter::convert(f.planes, 3, 3, nullptr, nullptr, out.data(), 4);
    auto at = [&](int x, int y) {
        const uint8_t* p = &out[(y * 4 + x) * 4];
        return std::array<int, 4>{p[0], p[1], p[2], p[3]};
    };
    EXPECT_EQ(255, at(0, 0)[0]) << "frame column 1 reads chroma column 0 (red)";
    EXPECT_EQ(255, at(0, 0)[3]);
    EXPECT_LT(at(1, 0)[0], at(0, 0)[0]) << "frame column 2 reads chroma column 1 (bluish)";
    EXPECT_EQ(at(1, 2), at(2, 2));
    EXPECT_EQ(99, out[3 * 4]) << "the pitch's fourth pixel is not written";
}

TEST(YuvConverter, AlphaSources) {
    Frame colour(2, 2, 0, 0, 128, 100, 160);
    std::vector<uint8_t> out(16);
    auto px = [&](int i) {
        return std::array<int, 4>{out[i * 4], out[i * 4 + 1], out[i * 4 + 2], out[i * 4 + 3]};
    };

    nE_YuvConverter::convert(colour.planes, 2, 2, nullptr, nullptr, out.data(), 2);
    EXPECT_EQ((std::array<int, 4>{182, 115, 74, 255}), px(3)) << "no alpha source: opaque";

    const uint8_t plane[4] = {255, 128, 1, 0};
    nE_YuvConverter::convert(colour.planes, 2, 2, plane, nullptr, out.data(), 2);
    EXPECT_EQ((std::array<int, 4>{182, 115, 74, 128}), px(1)) << "colour stays straight";
    EXPECT_EQ((std::array<int, 4>{182, 115, 74, 1}), px(2));
    EXPECT_EQ((std::array<int, 4>{0, 0, 0, 0}), px(3)) << "alpha 0 clears the colour";

    // The alpha video's red from its Y and V: white is opaque, black clear, grey (V 128) ~1.164 (Y-16).
    Frame alpha(2, 2, 0, 0, 235, 128, 128);
    alpha.luma = {235, 16, 125, 200};
    alpha.planes.data[0] = alpha.luma.data();
    nE_YuvConverter::convert(colour.planes, 2, 2, nullptr, &alpha.planes, out.data(), 2);
    EXPECT_EQ(255, px(0)[3]);
    EXPECT_EQ((std::array<int, 4>{0, 0, 0, 0}), px(1));
    EXPECT_EQ(127, px(2)[3]);
    EXPECT_EQ(214, px(3)[3]);
}
