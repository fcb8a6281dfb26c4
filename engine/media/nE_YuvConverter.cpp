#include "engine/media/nE_YuvConverter.h"

#include <vector>

namespace {

// Sums shifted right by 8 lie in -277..534; the clamp table covers -320..703.
constexpr int kClampOffset = 320;

struct Tables {
    Tables() {
        for (int i = 0; i < 256; ++i) {
            y[i] = 298 * (i - 16) + 128;
            redV[i] = 409 * (i - 128);
            greenU[i] = -100 * (i - 128);
            greenV[i] = -208 * (i - 128);
            blueU[i] = 516 * (i - 128);
        }
        for (int i = 0; i < 1024; ++i) {
            const int v = i - kClampOffset;
            clamp[i] = static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
        }
    }
    int y[256], redV[256], greenU[256], greenV[256], blueU[256];
    uint8_t clamp[1024];
};

const Tables& tables() {
    static const Tables t;
    return t;
}

// A sum of table entries to its byte. An arithmetic shift floors where the formula's division
// truncates; the two differ only below zero, where both clamp to 0.
inline uint8_t toByte(const Tables& t, int sum) {
    return t.clamp[(sum >> 8) + kClampOffset];
}

// One picture row. Chroma samples are shared by 1 << XS neighbours; x0 is the picture's offset in
// the coded frame, so an odd offset pairs pixels as the encoder did.
template <int XS>
void convertRow(const Tables& t, const uint8_t* yRow, const uint8_t* uRow, const uint8_t* vRow, int x0,
                int width, const uint8_t* alpha, uint8_t* out) {
    for (int x = 0; x < width; ++x) {
        const int fx = x0 + x;
        uint8_t* p = out + 4 * x;
        const uint8_t a = alpha ? alpha[x] : 255;
        if (a == 0) {
            p[0] = p[1] = p[2] = p[3] = 0;
            continue;
        }
        const int u = uRow[fx >> XS], v = vRow[fx >> XS];
        const int y = t.y[yRow[fx]];
        p[0] = toByte(t, y + t.redV[v]);
        p[1] = toByte(t, y + t.greenU[u] + t.greenV[v]);
        p[2] = toByte(t, y + t.blueU[u]);
        p[3] = a;
    }
}

}  // namespace

void nE_YuvConverter::toRgb(int y, int u, int v, uint8_t rgb[3]) {
    const Tables& t = tables();
    const int yy = t.y[y & 255];
    rgb[0] = toByte(t, yy + t.redV[v & 255]);
    rgb[1] = toByte(t, yy + t.greenU[u & 255] + t.greenV[v & 255]);
    rgb[2] = toByte(t, yy + t.blueU[u & 255]);
}

void nE_YuvConverter::convert(const nE_TheoraStream::Planes& c, int width, int height,
                              const uint8_t* alphaPlane, const nE_TheoraStream::Planes* alphaVideo,
                              uint8_t* out, int pitch) {
    if (!out || width <= 0 || height <= 0 || pitch < width) return;
    const Tables& t = tables();
    std::vector<uint8_t> alphaRow(alphaVideo ? static_cast<size_t>(width) : 0);
    for (int row = 0; row < height; ++row) {
        const int fy = c.picY + row;
        const uint8_t* yRow = c.data[0] + static_cast<ptrdiff_t>(fy) * c.stride[0];
        const uint8_t* uRow = c.data[1] + static_cast<ptrdiff_t>(fy >> c.yShift) * c.stride[1];
        const uint8_t* vRow = c.data[2] + static_cast<ptrdiff_t>(fy >> c.yShift) * c.stride[2];
        const uint8_t* alpha = alphaPlane ? alphaPlane + static_cast<size_t>(row) * width : nullptr;
        if (alphaVideo) {
            // The alpha video's brightness, as the red value of its Y and V.
            const nE_TheoraStream::Planes& a = *alphaVideo;
            const int ay = a.picY + row;
            const uint8_t* aY = a.data[0] + static_cast<ptrdiff_t>(ay) * a.stride[0];
            const uint8_t* aV = a.data[2] + static_cast<ptrdiff_t>(ay >> a.yShift) * a.stride[2];
            for (int x = 0; x < width; ++x) {
                const int ax = a.picX + x;
                alphaRow[x] = toByte(t, t.y[aY[ax]] + t.redV[aV[ax >> a.xShift]]);
            }
            alpha = alphaRow.data();
        }
        uint8_t* dst = out + static_cast<size_t>(row) * pitch * 4;
        if (c.xShift)
            convertRow<1>(t, yRow, uRow, vRow, c.picX, width, alpha, dst);
        else
            convertRow<0>(t, yRow, uRow, vRow, c.picX, width, alpha, dst);
    }
}
