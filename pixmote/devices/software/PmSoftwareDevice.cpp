// The software device: a plain triangle rasteriser over a straight-alpha RGBA8 buffer. Pixels are
// sampled at their centres with a top-left fill rule, so triangles that share an edge cover each
// pixel once; the antialiasing comes from Pixmote's coverage, carried in the vertex alpha.
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <map>
#include <new>
#include <vector>

#include "pixmote/include/pixmote_software.h"

namespace {

struct Texture {
    int w = 0, h = 0;
    std::vector<uint8_t> rgba;
};

constexpr int kMaxSide = 16384;

float unit(uint8_t v) {
    return v / 255.0f;
}
uint8_t byte(float v) {
    return static_cast<uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f);
}

float blendChannel(pm_blend_mode mode, float s, float d) {
    switch (mode) {
        case PM_BLEND_MULTIPLY:
            return s * d;
        case PM_BLEND_SCREEN:
            return s + d - s * d;
        default:
            return s;
    }
}

// ceil() for values well inside the int range, without a library call.
inline int ceilInt(double v) {
    int i = static_cast<int>(v);
    return i + (i < v);
}

// The texel a texture coordinate falls in, nearest, clamped to the edge (NaN to the first).
inline int texelIndex(double t, int size) {
    const double at = t * size;  // at or above zero, truncation is floor()
    return at >= 0 ? (at < size ? static_cast<int>(at) : size - 1) : 0;
}

// round(x / 255) for x in 0 .. 255 * 255, without a division.
inline uint32_t div255(uint32_t x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

}  // namespace

struct pm_software {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    std::map<uint32_t, Texture> textures;
    uint32_t nextTexture = 1;
    bool clipOn = false;
    int cx0 = 0, cy0 = 0, cx1 = 0, cy1 = 0;
    pm_device table{};

    // The general compositing, in floats: any blend mode over any destination.
    void blend(uint8_t* d, const float s[4], pm_blend_mode mode) const {
        float sa = s[3], da = unit(d[3]);
        float dc[3] = {unit(d[0]), unit(d[1]), unit(d[2])};
        float out[4];
        if (mode == PM_BLEND_ADDITIVE) {
            // Sums in premultiplied terms, each channel saturating.
            out[3] = std::min(1.0f, da + sa);
            for (int i = 0; i < 3; ++i) {
                float premul = std::min(1.0f, dc[i] * da + s[i] * sa);
                out[i] = out[3] > 0 ? premul / out[3] : 0;
            }
        } else if (mode == PM_BLEND_PREMULTIPLIED) {
            out[3] = sa + da * (1 - sa);
            for (int i = 0; i < 3; ++i) {
                float premul = s[i] + dc[i] * da * (1 - sa);
                out[i] = out[3] > 0 ? premul / out[3] : 0;
            }
        } else {
            // Separable compositing: where both are present the mixed colour, elsewhere each alone.
            out[3] = sa + da * (1 - sa);
            for (int i = 0; i < 3; ++i) {
                float premul =
                    (1 - da) * sa * s[i] + (1 - sa) * da * dc[i] + sa * da * blendChannel(mode, s[i], dc[i]);
                out[i] = out[3] > 0 ? premul / out[3] : 0;
            }
        }
        for (int i = 0; i < 4; ++i) d[i] = byte(out[i]);
    }

    // One source pixel (straight RGBA8) onto d. Source-over and additive onto an opaque destination,
    // by far the most common cases, stay in integers, inline in every loop that puts pixels; the rest
    // goes through the float compositing.
    __attribute__((always_inline)) void put(uint8_t* d, const uint8_t s[4], pm_blend_mode mode) const {
        const uint32_t sa = s[3];
        if (mode == PM_BLEND_NORMAL) {
            if (sa == 0) return;
            if (sa == 255) {
                d[0] = s[0], d[1] = s[1], d[2] = s[2], d[3] = 255;
                return;
            }
            if (d[3] == 255) {
                const uint32_t keep = 255 - sa;
                d[0] = static_cast<uint8_t>(div255(s[0] * sa + d[0] * keep));
                d[1] = static_cast<uint8_t>(div255(s[1] * sa + d[1] * keep));
                d[2] = static_cast<uint8_t>(div255(s[2] * sa + d[2] * keep));
                return;
            }
        } else if (sa == 0 && mode != PM_BLEND_PREMULTIPLIED) {
            return;
        } else if (mode == PM_BLEND_ADDITIVE && d[3] == 255) {
            for (int k = 0; k < 3; ++k)
                d[k] = static_cast<uint8_t>(std::min<uint32_t>(255, d[k] + div255(s[k] * sa)));
            return;
        }
        putSlow(d, s, mode);
    }

    __attribute__((noinline)) void putSlow(uint8_t* d, const uint8_t s[4], pm_blend_mode mode) const {
        const float f[4] = {unit(s[0]), unit(s[1]), unit(s[2]), unit(s[3])};
        blend(d, f, mode);
    }

    int draw(const pm_vertex* v, int count, uint32_t texture, pm_blend_mode mode) {
        const Texture* tex = nullptr;
        if (texture != PM_NO_TEXTURE) {
            auto it = textures.find(texture);
            if (it == textures.end()) return -1;
            tex = &it->second;
        }
        if (count < 0 || count % 3 != 0 || static_cast<int>(mode) < 0 || mode >= PM_BLEND_MODE_COUNT)
            return -1;
        for (int i = 0; i < count; i += 3) {
            // Pixmote's fills and upright images come as pairs of triangles making an upright
            // rectangle: those are filled row by row, with no edge tests.
            if (i + 6 <= count && rectangle(v + i, tex, mode)) {
                i += 3;
                continue;
            }
            triangle(v + i, tex, mode);
        }
        return 0;
    }

    // A fill's coverage rows: each run one colour over its pixels, the coverage scaling the alpha
    // (and a premultiplied colour) as the vertex colours of the triangles would, so that both roads
    // give the same pixels. Most runs are single edge pixels, drawn here with no set-up at all.
    int fillRuns(int y0, int y1, const pm_run* runs, int count, const uint8_t c[4], pm_blend_mode mode) {
        if (count < 0 || (!runs && count > 0) || static_cast<int>(mode) < 0 || mode >= PM_BLEND_MODE_COUNT)
            return -1;
        int lx, ly, hx, hy;
        limits(lx, ly, hx, hy);
        y0 = std::max(y0, ly), y1 = std::min(y1, hy);
        if (y0 >= y1) return 0;
        const bool premultiplied = mode == PM_BLEND_PREMULTIPLIED;
        int last = -1;
        uint8_t s[4] = {0, 0, 0, 0};
        for (int i = 0; i < count; ++i) {
            const pm_run& run = runs[i];
            const int x0 = std::max(run.x0, lx), x1 = std::min(run.x1, hx);
            if (x0 >= x1) continue;
            if (run.coverage != last) {
                last = run.coverage;
                auto scale = [&](uint8_t v) { return static_cast<uint8_t>((v * run.coverage + 127) / 255); };
                s[0] = premultiplied ? scale(c[0]) : c[0];
                s[1] = premultiplied ? scale(c[1]) : c[1];
                s[2] = premultiplied ? scale(c[2]) : c[2];
                s[3] = scale(c[3]);
            }
            if (x1 - x0 == 1 && y1 - y0 == 1) {
                put(&pixels[(static_cast<size_t>(y0) * width + x0) * 4], s, mode);
                continue;
            }
            fillSpans(x0, y0, x1, y1, s, mode);
        }
        return 0;
    }

    // The drawable area: the target, cut by the clip.
    void limits(int& lx, int& ly, int& hx, int& hy) const {
        lx = 0, ly = 0, hx = width, hy = height;
        if (clipOn)
            lx = std::max(lx, cx0), ly = std::max(ly, cy0), hx = std::min(hx, cx1), hy = std::min(hy, cy1);
    }

    // The six vertices as two triangles that split an upright rectangle along a diagonal, one colour,
    // texture coordinates following x and y alone: draws it and returns true. Pixels are those whose
    // centre is inside, left and top edges included, as the triangle path would pick them.
    bool rectangle(const pm_vertex* t, const Texture* tex, pm_blend_mode mode) {
        // The order Pixmote itself sends (corners 0 1 2, 0 2 3) is recognised at once.
        if (std::memcmp(&t[0], &t[3], sizeof(pm_vertex)) == 0 &&
            std::memcmp(&t[2], &t[4], sizeof(pm_vertex)) == 0 && t[1].y == t[0].y && t[1].x == t[2].x &&
            t[5].x == t[0].x && t[5].y == t[2].y && std::memcmp(&t[0].r, &t[1].r, 4) == 0 &&
            std::memcmp(&t[0].r, &t[2].r, 4) == 0 && std::memcmp(&t[0].r, &t[5].r, 4) == 0 &&
            (!tex || (t[1].v == t[0].v && t[1].u == t[2].u && t[5].u == t[0].u && t[5].v == t[2].v)))
            return fillRectangle(t[0].x, t[0].y, t[2].x, t[2].y, t[0].u, t[0].v, t[2].u, t[2].v, &t[0].r, tex,
                                 mode);
        const float xa = t[0].x, ya = t[0].y;
        float xb = xa, yb = ya;
        for (int i = 1; i < 6; ++i) {
            if (t[i].x != xa) xb = t[i].x;
            if (t[i].y != ya) yb = t[i].y;
        }
        // Corners by bit: 1 for x == xb, 2 for y == yb.
        int used[2] = {0, 0};
        float u[2] = {0, 0}, vv[2] = {0, 0};
        bool seenU[2] = {false, false}, seenV[2] = {false, false};
        for (int i = 0; i < 6; ++i) {
            const pm_vertex& p = t[i];
            if ((p.x != xa && p.x != xb) || (p.y != ya && p.y != yb)) return false;
            if (p.r != t[0].r || p.g != t[0].g || p.b != t[0].b || p.a != t[0].a) return false;
            const int cx = p.x == xb && xb != xa, cy = p.y == yb && yb != ya;
            const int corner = cx | cy << 1;
            if (used[i / 3] & (1 << corner)) return false;
            used[i / 3] |= 1 << corner;
            if (tex) {
                if (seenU[cx] && u[cx] != p.u) return false;
                if (seenV[cy] && vv[cy] != p.v) return false;
                u[cx] = p.u, vv[cy] = p.v, seenU[cx] = seenV[cy] = true;
            }
        }
        // Each triangle leaves out one corner; together they tile the rectangle when those corners
        // are opposite (0 and 3, or 1 and 2).
        const int left0 = 15 & ~used[0], left1 = 15 & ~used[1];
        if (xb == xa || yb == ya) return false;
        if (!((left0 == 1 && left1 == 8) || (left0 == 8 && left1 == 1) || (left0 == 2 && left1 == 4) ||
              (left0 == 4 && left1 == 2)))
            return false;
        return fillRectangle(xa, ya, xb, yb, u[0], vv[0], u[1], vv[1], &t[0].r, tex, mode);
    }

    // The rectangle between corners (xa, ya) and (xb, yb), with texture coordinates (ua, va) and
    // (ub, vb) there, one colour.
    bool fillRectangle(double xa, double ya, double xb, double yb, double ua, double va, double ub, double vb,
                       const uint8_t* colour, const Texture* tex, pm_blend_mode mode) {
        if (xa == xb || ya == yb) return true;
        double x0 = std::min(xa, xb), x1 = std::max(xa, xb), y0 = std::min(ya, yb), y1 = std::max(ya, yb);
        int lx, ly, hx, hy;
        limits(lx, ly, hx, hy);
        // Pixel p is inside when p + 0.5 lies in [x0, x1).
        const int px0 = std::max(lx, ceilInt(std::max(x0, -1.0) - 0.5));
        const int px1 = std::min(hx, ceilInt(std::min(x1, 1e8) - 0.5));
        const int py0 = std::max(ly, ceilInt(std::max(y0, -1.0) - 0.5));
        const int py1 = std::min(hy, ceilInt(std::min(y1, 1e8) - 0.5));
        if (px0 >= px1 || py0 >= py1) return true;
        if (!tex) {
            fillSpans(px0, py0, px1, py1, colour, mode);
            return true;
        }
        // Texture coordinates at the rectangle's left/top and right/bottom.
        const double uL = xa < xb ? ua : ub, uR = xa < xb ? ub : ua;
        const double vT = ya < yb ? va : vb, vB = ya < yb ? vb : va;
        column_.resize(px1 - px0);
        for (int px = px0; px < px1; ++px) {
            double f = (px + 0.5 - x0) / (x1 - x0), uu = uL + f * (uR - uL);
            column_[px - px0] = texelIndex(uu, tex->w);
        }
        const bool white = colour[0] == 255 && colour[1] == 255 && colour[2] == 255 && colour[3] == 255;
        for (int py = py0; py < py1; ++py) {
            double f = (py + 0.5 - y0) / (y1 - y0), v = vT + f * (vB - vT);
            int ty = texelIndex(v, tex->h);
            const uint8_t* row = &tex->rgba[static_cast<size_t>(ty) * tex->w * 4];
            uint8_t* d = &pixels[(static_cast<size_t>(py) * width + px0) * 4];
            for (int i = 0; i < px1 - px0; ++i, d += 4) {
                const uint8_t* texel = row + column_[i] * 4;
                if (white) {
                    put(d, texel, mode);
                    continue;
                }
                if (texel[3] == 0 && mode != PM_BLEND_PREMULTIPLIED) continue;
                uint8_t s[4];
                s[3] = static_cast<uint8_t>(div255(colour[3] * texel[3]));
                // White texels (a glyph page, a mask) take the tint as it is, and a white tint (an
                // image faded) the texel's colour.
                if (texel[0] == 255 && texel[1] == 255 && texel[2] == 255)
                    s[0] = colour[0], s[1] = colour[1], s[2] = colour[2];
                else if (colour[0] == 255 && colour[1] == 255 && colour[2] == 255)
                    s[0] = texel[0], s[1] = texel[1], s[2] = texel[2];
                else
                    for (int k = 0; k < 3; ++k) s[k] = static_cast<uint8_t>(div255(colour[k] * texel[k]));
                put(d, s, mode);
            }
        }
        return true;
    }

    // One colour over a block of pixels.
    void fillSpans(int px0, int py0, int px1, int py1, const uint8_t s[4], pm_blend_mode mode) {
        const uint32_t sa = s[3];
        for (int py = py0; py < py1; ++py) {
            uint8_t* d = &pixels[(static_cast<size_t>(py) * width + px0) * 4];
            uint8_t* end = d + static_cast<size_t>(px1 - px0) * 4;
            if (mode == PM_BLEND_NORMAL && sa == 255) {
#ifdef __SSE2__
                const __m128i four = _mm_setr_epi8(s[0], s[1], s[2], -1, s[0], s[1], s[2], -1, s[0], s[1],
                                                   s[2], -1, s[0], s[1], s[2], -1);
                for (; end - d >= 16; d += 16) _mm_storeu_si128(reinterpret_cast<__m128i*>(d), four);
#endif
                for (; d < end; d += 4) d[0] = s[0], d[1] = s[1], d[2] = s[2], d[3] = 255;
            } else if (mode == PM_BLEND_NORMAL && sa > 0) {
                // The source's share is the same for the whole block; over opaque pixels, two
                // channels at a time in the halves of a word (red and blue, green and alpha).
                const uint32_t keep = 255 - sa;
                const uint32_t srb = (s[0] | uint32_t(s[2]) << 16) * sa, sga = (s[1] | 255u << 16) * sa;
#ifdef __SSE2__
                // Four opaque pixels at a time, each byte widened to 16 bits: the same rounding.
                const __m128i keep16 = _mm_set1_epi16(static_cast<short>(keep));
                const __m128i add16 =
                    _mm_setr_epi16(static_cast<short>(s[0] * sa + 128), static_cast<short>(s[1] * sa + 128),
                                   static_cast<short>(s[2] * sa + 128), static_cast<short>(255 * sa + 128),
                                   static_cast<short>(s[0] * sa + 128), static_cast<short>(s[1] * sa + 128),
                                   static_cast<short>(s[2] * sa + 128), static_cast<short>(255 * sa + 128));
                const __m128i zero = _mm_setzero_si128(), opaque = _mm_set1_epi8(-1);
                for (; end - d >= 16; d += 16) {
                    const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
                    if ((_mm_movemask_epi8(_mm_cmpeq_epi8(px, opaque)) & 0x8888) != 0x8888) break;
                    __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(px, zero), keep16), add16);
                    __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(px, zero), keep16), add16);
                    lo = _mm_srli_epi16(_mm_add_epi16(lo, _mm_srli_epi16(lo, 8)), 8);
                    hi = _mm_srli_epi16(_mm_add_epi16(hi, _mm_srli_epi16(hi, 8)), 8);
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_packus_epi16(lo, hi));
                }
#endif
                for (; d < end; d += 4) {
                    if (d[3] != 255) {
                        put(d, s, mode);
                        continue;
                    }
                    uint32_t rb = (d[0] | uint32_t(d[2]) << 16) * keep + srb + 0x00800080u;
                    uint32_t ga = (d[1] | uint32_t(d[3]) << 16) * keep + sga + 0x00800080u;
                    rb = ((rb + ((rb >> 8) & 0x00ff00ffu)) >> 8) & 0x00ff00ffu;
                    ga = ((ga + ((ga >> 8) & 0x00ff00ffu)) >> 8) & 0x00ff00ffu;
                    d[0] = static_cast<uint8_t>(rb), d[1] = static_cast<uint8_t>(ga);
                    d[2] = static_cast<uint8_t>(rb >> 16), d[3] = static_cast<uint8_t>(ga >> 16);
                }
            } else {
                for (; d < end; d += 4) put(d, s, mode);
            }
        }
    }

    void triangle(const pm_vertex* t, const Texture* tex, pm_blend_mode mode) {
        double x0 = t[0].x, y0 = t[0].y, x1 = t[1].x, y1 = t[1].y, x2 = t[2].x, y2 = t[2].y;
        double area = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);
        if (!(std::fabs(area) > 1e-12)) return;
        int lx, ly, hx, hy;
        limits(lx, ly, hx, hy);
        double minX = std::min({x0, x1, x2}), maxX = std::max({x0, x1, x2});
        double minY = std::min({y0, y1, y2}), maxY = std::max({y0, y1, y2});
        int bx0 = std::max(lx, static_cast<int>(std::floor(std::max(minX, -1.0))));
        int by0 = std::max(ly, static_cast<int>(std::floor(std::max(minY, -1.0))));
        int bx1 = std::min(hx, static_cast<int>(std::ceil(std::min(maxX, 1e8))));
        int by1 = std::min(hy, static_cast<int>(std::ceil(std::min(maxY, 1e8))));
        double sign = area > 0 ? 1.0 : -1.0;
        const double ex[3][2] = {{x1, y1}, {x2, y2}, {x0, y0}};
        const double sx[3][2] = {{x2, y2}, {x0, y0}, {x1, y1}};
        // Edge i lies opposite vertex i; its weight is the barycentric coordinate of vertex i.
        auto edge = [&](int i, double px, double py) {
            return sign * ((sx[i][0] - ex[i][0]) * (py - ex[i][1]) - (sx[i][1] - ex[i][1]) * (px - ex[i][0]));
        };
        bool topLeft[3];
        for (int i = 0; i < 3; ++i) {
            double dx = (sx[i][0] - ex[i][0]) * sign, dy = (sx[i][1] - ex[i][1]) * sign;
            topLeft[i] = dy < 0 || (dy == 0 && dx > 0);
        }
        double inv = 1.0 / std::fabs(area);
        const uint8_t* c0 = &t[0].r;
        const uint8_t* c1 = &t[1].r;
        const uint8_t* c2 = &t[2].r;
        const bool flat = std::equal(c0, c0 + 4, c1) && std::equal(c0, c0 + 4, c2);
        for (int py = by0; py < by1; ++py) {
            const double cy = py + 0.5;
            // The row's span from the edges (each edge is linear in x), widened by a pixel against
            // rounding; the exact test below decides the pixels at its ends.
            double from = bx0, to = bx1;
            for (int i = 0; i < 3; ++i) {
                const double slope = -sign * (sx[i][1] - ex[i][1]), at = edge(i, 0.5, cy);
                if (slope > 0)
                    from = std::max(from, std::floor(-at / slope) - 1);
                else if (slope < 0)
                    to = std::min(to, std::floor(-at / slope) + 2);
                else if (at < 0)
                    to = from;
            }
            const int rx0 = static_cast<int>(std::max<double>(from, bx0));
            const int rx1 = static_cast<int>(std::min<double>(to, bx1));
            for (int px = rx0; px < rx1; ++px) {
                double cx = px + 0.5, w[3];
                bool inside = true;
                for (int i = 0; i < 3 && inside; ++i) {
                    w[i] = edge(i, cx, cy);
                    inside = w[i] > 0 || (w[i] == 0 && topLeft[i]);
                }
                if (!inside) continue;
                for (int i = 0; i < 3; ++i) w[i] *= inv;
                uint8_t s[4];
                if (flat)
                    std::copy(c0, c0 + 4, s);
                else
                    for (int k = 0; k < 4; ++k)
                        s[k] = static_cast<uint8_t>(
                            std::clamp(w[0] * c0[k] + w[1] * c1[k] + w[2] * c2[k] + 0.5, 0.0, 255.0));
                if (tex) {
                    double u = w[0] * t[0].u + w[1] * t[1].u + w[2] * t[2].u;
                    double v = w[0] * t[0].v + w[1] * t[1].v + w[2] * t[2].v;
                    int tx = texelIndex(u, tex->w);
                    int ty = texelIndex(v, tex->h);
                    const uint8_t* texel = &tex->rgba[(static_cast<size_t>(ty) * tex->w + tx) * 4];
                    s[3] = static_cast<uint8_t>(div255(s[3] * texel[3]));
                    if (s[0] == 255 && s[1] == 255 && s[2] == 255)
                        s[0] = texel[0], s[1] = texel[1], s[2] = texel[2];
                    else
                        for (int k = 0; k < 3; ++k) s[k] = static_cast<uint8_t>(div255(s[k] * texel[k]));
                }
                put(&pixels[(static_cast<size_t>(py) * width + px) * 4], s, mode);
            }
        }
    }

private:
    std::vector<int> column_;  // texel columns of the rectangle being drawn
};

namespace {

pm_software* self(void* user) {
    return static_cast<pm_software*>(user);
}

uint32_t createTexture(void* user, int w, int h, const uint8_t* rgba) {
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return 0;
    // Out of memory is a failed texture, not an exception through the caller's C frames.
    try {
        Texture tex;
        tex.w = w, tex.h = h;
        tex.rgba.assign(static_cast<size_t>(w) * h * 4, 0);
        if (rgba) std::copy(rgba, rgba + tex.rgba.size(), tex.rgba.begin());
        pm_software* sw = self(user);
        // Ids run on for ever (the context makes a texture for every batch of fills): past the top
        // they start again, stepping over 0 and the ids still in use.
        uint32_t id = sw->nextTexture++;
        while (id == PM_NO_TEXTURE || sw->textures.count(id)) id = sw->nextTexture++;
        sw->textures[id] = std::move(tex);
        return id;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int updateTexture(void* user, uint32_t id, int x, int y, int w, int h, const uint8_t* rgba, int stride) {
    auto it = self(user)->textures.find(id);
    if (it == self(user)->textures.end() || !rgba) return -1;
    Texture& tex = it->second;
    if (x < 0 || y < 0 || w < 0 || h < 0 || x > tex.w - w || y > tex.h - h || stride < w * 4) return -1;
    for (int row = 0; row < h; ++row)
        std::copy(rgba + static_cast<size_t>(row) * stride, rgba + static_cast<size_t>(row) * stride + w * 4,
                  &tex.rgba[((static_cast<size_t>(y) + row) * tex.w + x) * 4]);
    return 0;
}

void destroyTexture(void* user, uint32_t id) {
    self(user)->textures.erase(id);
}

int drawTriangles(void* user, const pm_vertex* v, int count, uint32_t texture, pm_blend_mode mode) {
    if (!v && count > 0) return -1;
    return self(user)->draw(v, count, texture, mode);
}

int fillRuns(void* user, int y0, int y1, const pm_run* runs, int count, const uint8_t color[4],
             pm_blend_mode mode) {
    if (!color) return -1;
    return self(user)->fillRuns(y0, y1, runs, count, color, mode);
}

void setClip(void* user, int enabled, int x, int y, int w, int h) {
    pm_software* sw = self(user);
    sw->clipOn = enabled != 0;
    sw->cx0 = x, sw->cy0 = y;
    sw->cx1 = w > 0 && x <= INT32_MAX - w ? x + w : x;
    sw->cy1 = h > 0 && y <= INT32_MAX - h ? y + h : y;
}

void beginFrame(void*, int, int) {}
void endFrame(void*) {}

}  // namespace

extern "C" {

pm_software* pm_software_create(int width, int height) {
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return nullptr;
    pm_software* sw = new (std::nothrow) pm_software;
    if (!sw) return nullptr;
    sw->width = width, sw->height = height;
    try {
        sw->pixels.assign(static_cast<size_t>(width) * height * 4, 0);
    } catch (const std::bad_alloc&) {
        delete sw;
        return nullptr;
    }
    sw->table = pm_device{sw,      createTexture, updateTexture, destroyTexture, drawTriangles,
                          setClip, beginFrame,    endFrame,      fillRuns,       0};
    return sw;
}

void pm_software_destroy(pm_software* sw) {
    delete sw;
}
const pm_device* pm_software_device(pm_software* sw) {
    return sw ? &sw->table : nullptr;
}
uint8_t* pm_software_pixels(pm_software* sw) {
    return sw ? sw->pixels.data() : nullptr;
}
int pm_software_width(const pm_software* sw) {
    return sw ? sw->width : 0;
}
int pm_software_height(const pm_software* sw) {
    return sw ? sw->height : 0;
}

void pm_software_clear(pm_software* sw, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    if (!sw) return;
    // One pixel, then whole words of it.
    const uint8_t pixel[4] = {r, g, b, a};
    uint32_t word;
    std::memcpy(&word, pixel, 4);
    for (size_t i = 0; i < sw->pixels.size(); i += 4) std::memcpy(&sw->pixels[i], &word, 4);
}

pm_result pm_software_write_png(const pm_software* sw, const char* path) {
    if (!sw || !path) return PM_ERROR_INVALID_ARGUMENT;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(sw->width);
    image.height = static_cast<png_uint_32>(sw->height);
    image.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&image, path, 0, sw->pixels.data(), 0, nullptr)) return PM_ERROR_IO;
    return PM_OK;
}
}
