#include "pixmote/src/PmContext.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "pixmote/src/PmFringe.h"
#include "pixmote/src/PmStroker.h"

using pixmote::PmContours;
using pixmote::PmPoint;
using pixmote::PmStroker;

namespace {

// Beyond this a coordinate is a mistake, and float precision is gone long before.
constexpr float kMaxCoordinate = 1e7f;
constexpr size_t kMaxStackDepth = 256;
constexpr int kMaxFrameSide = 32768;
// Vertices a single device call carries at most (a multiple of three): small enough that the
// batch is still in the cache when a software device reads it.
constexpr size_t kMaxBatch = 3 * 4096;
// Outline points one stroke may make: far beyond any real drawing, short of exhausting the host.
constexpr double kMaxStrokePoints = 32.0 * 1024 * 1024;
constexpr double kPi = 3.14159265358979323846;

bool usable(double v) {
    return std::isfinite(v) && std::fabs(v) <= kMaxCoordinate;
}

}  // namespace

// The buffer of coverage masks is as large as the frames drawn, up to this.
constexpr int kMaxMaskSide = 2048;
// Rows of a mask whose reach across is drawn as one quad (and merged with the next when equal).
constexpr int kMaskBand = 4;

pm_context::~pm_context() = default;

pm_result pm_context::checkDrawing() const {
    return inFrame_ ? PM_OK : PM_ERROR_STATE;
}

pm_result pm_context::beginFrame(int width, int height) {
    if (inFrame_) return PM_ERROR_STATE;
    if (width <= 0 || height <= 0 || width > kMaxFrameSide || height > kMaxFrameSide)
        return PM_ERROR_INVALID_ARGUMENT;
    width_ = width, height_ = height;
    inFrame_ = true;
    transform_ = {1, 0, 0, 1, 0, 0};
    stack_.clear();
    std::fill(color_, color_ + 4, 255);
    blend_ = PM_BLEND_NORMAL;
    clipOn_ = false;
    device_.begin_frame(device_.user, width, height);
    device_.set_clip(device_.user, 0, 0, 0, 0, 0);
    return PM_OK;
}

pm_result pm_context::endFrame() {
    if (!inFrame_) return PM_ERROR_STATE;
    pm_result result = flush();
    inFrame_ = false;
    device_.end_frame(device_.user);
    return result;
}

pm_result pm_context::flush() {
    if (batch_.empty()) return PM_OK;
    int failed = 0;
    uint32_t texture = batchTexture_;
    if (batchMask_) {
        const int w = std::max(1, maskUsedW_), h = std::max(1, shelfY_ + shelfH_);
        packed_.resize(static_cast<size_t>(w) * h);
        for (int y = 0; y < h; ++y)
            std::copy_n(&mask_[static_cast<size_t>(y) * maskW_], w, &packed_[static_cast<size_t>(y) * w]);
        texture =
            device_.create_texture(device_.user, w, h, reinterpret_cast<const uint8_t*>(packed_.data()));
        for (pm_vertex& v : batch_) v.u /= w, v.v /= h;
        shelfX_ = shelfY_ = shelfH_ = maskUsedW_ = 0;
        whiteX_ = whiteY_ = -1;
        failed = texture == PM_NO_TEXTURE;
    }
    if (!failed)
        failed = device_.draw_triangles(device_.user, batch_.data(), static_cast<int>(batch_.size()), texture,
                                        batchBlend_);
    if (batchMask_ && texture != PM_NO_TEXTURE) device_.destroy_texture(device_.user, texture);
    batch_.clear();
    batchMask_ = false;
    return failed ? PM_ERROR_DEVICE : PM_OK;
}

pm_result pm_context::reserveTriangles(size_t count, uint32_t texture, pm_vertex** out, bool mask) {
    pm_result result = PM_OK;
    if (!batch_.empty() && (texture != batchTexture_ || mask != batchMask_ || blend_ != batchBlend_ ||
                            batch_.size() + count > kMaxBatch))
        result = flush();
    batchMask_ = mask;
    batchTexture_ = texture;
    batchBlend_ = blend_;
    size_t at = batch_.size();
    batch_.resize(at + count);
    *out = batch_.data() + at;
    return result;
}

pm_result pm_context::addTriangles(const pm_vertex* vertices, size_t count, uint32_t texture) {
    pm_result result = PM_OK;
    if (!batch_.empty() && (texture != batchTexture_ || batchMask_ || blend_ != batchBlend_ ||
                            batch_.size() + count > kMaxBatch))
        result = flush();
    batchMask_ = false;
    batchTexture_ = texture;
    batchBlend_ = blend_;
    batch_.insert(batch_.end(), vertices, vertices + count);
    return result;
}

pm_result pm_context::setColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    color_[0] = r, color_[1] = g, color_[2] = b, color_[3] = a;
    return PM_OK;
}

pm_result pm_context::setBlend(pm_blend_mode mode) {
    if (static_cast<int>(mode) < 0 || mode >= PM_BLEND_MODE_COUNT) return PM_ERROR_INVALID_ARGUMENT;
    blend_ = mode;
    return PM_OK;
}

pm_result pm_context::setAntialias(bool on) {
    antialias_ = on;
    return PM_OK;
}

pm_result pm_context::setClip(bool enabled, int x, int y, int w, int h) {
    if (pm_result r = checkDrawing()) return r;
    if (enabled && (w < 0 || h < 0)) return PM_ERROR_INVALID_ARGUMENT;
    // Clamped to the frame, so that the coverage bounds and the device agree.
    int x0 = std::clamp(x, 0, width_), y0 = std::clamp(y, 0, height_);
    int x1 = static_cast<int>(std::clamp(static_cast<long long>(x) + w, 0LL, static_cast<long long>(width_)));
    int y1 =
        static_cast<int>(std::clamp(static_cast<long long>(y) + h, 0LL, static_cast<long long>(height_)));
    int clip[4] = {x0, y0, std::max(x1, x0), std::max(y1, y0)};
    if (enabled == clipOn_ && (!enabled || std::equal(clip, clip + 4, clip_))) return PM_OK;
    pm_result result = flush();
    clipOn_ = enabled;
    std::copy(clip, clip + 4, clip_);
    device_.set_clip(device_.user, enabled, clip[0], clip[1], clip[2] - clip[0], clip[3] - clip[1]);
    return result;
}

pm_result pm_context::setLineWidth(float width) {
    if (!usable(width) || width < 0) return PM_ERROR_INVALID_ARGUMENT;
    lineWidth_ = width;
    return PM_OK;
}

pm_result pm_context::setLineCap(pm_line_cap cap) {
    if (cap != PM_CAP_BUTT && cap != PM_CAP_ROUND && cap != PM_CAP_SQUARE) return PM_ERROR_INVALID_ARGUMENT;
    lineCap_ = cap;
    return PM_OK;
}

pm_result pm_context::setLineJoin(pm_line_join join) {
    if (join != PM_JOIN_MITER && join != PM_JOIN_ROUND && join != PM_JOIN_BEVEL)
        return PM_ERROR_INVALID_ARGUMENT;
    lineJoin_ = join;
    return PM_OK;
}

pm_result pm_context::push() {
    if (stack_.size() >= kMaxStackDepth) return PM_ERROR_TOO_LARGE;
    stack_.push_back(transform_);
    return PM_OK;
}

pm_result pm_context::pop() {
    if (stack_.empty()) return PM_ERROR_STATE;
    transform_ = stack_.back();
    stack_.pop_back();
    return PM_OK;
}

pm_result pm_context::apply(const pm_transform& m) {
    const pm_transform& t = transform_;
    pm_transform r = {t.a * m.a + t.c * m.b, t.b * m.a + t.d * m.b,       t.a * m.c + t.c * m.d,
                      t.b * m.c + t.d * m.d, t.a * m.e + t.c * m.f + t.e, t.b * m.e + t.d * m.f + t.f};
    return setTransform(r);
}

pm_result pm_context::setTransform(const pm_transform& m) {
    for (float v : {m.a, m.b, m.c, m.d, m.e, m.f})
        if (!std::isfinite(v)) return PM_ERROR_INVALID_ARGUMENT;
    transform_ = m;
    return PM_OK;
}

pm_result pm_context::fillRect(float x, float y, float w, float h) {
    std::vector<std::vector<PmPoint>> contours = {{{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}};
    if (!usable(w) || !usable(h)) return PM_ERROR_INVALID_ARGUMENT;
    return fillContours(contours, false);
}

pm_result pm_context::strokeRect(float x, float y, float w, float h) {
    if (!usable(x) || !usable(y) || !usable(w) || !usable(h)) return PM_ERROR_INVALID_ARGUMENT;
    // A negative size draws the same rectangle from its other corner.
    if (w < 0) x += w, w = -w;
    if (h < 0) y += h, h = -h;
    float lw = lineWidth_;
    if (2 * lw >= w || 2 * lw >= h) return fillRect(x, y, w, h);
    std::vector<std::vector<PmPoint>> contours = {
        {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}},
        {{x + lw, y + lw}, {x + w - lw, y + lw}, {x + w - lw, y + h - lw}, {x + lw, y + h - lw}}};
    return fillContours(contours, true, lw * leastScale());
}

pm_result pm_context::fillPolygon(const float* xy, size_t count, pm_fill_rule rule) {
    if (!xy || (rule != PM_FILL_NONZERO && rule != PM_FILL_EVENODD)) return PM_ERROR_INVALID_ARGUMENT;
    if (count > PM_MAX_POLYGON_POINTS) return PM_ERROR_TOO_LARGE;
    std::vector<std::vector<PmPoint>> contours(1);
    contours[0].reserve(count);
    for (size_t i = 0; i < count; ++i) contours[0].push_back({xy[2 * i], xy[2 * i + 1]});
    return fillContours(contours, rule == PM_FILL_EVENODD);
}

pm_result pm_context::fillContours(std::vector<std::vector<PmPoint>>& contours, bool evenOdd,
                                   double ringWidth, bool strip, size_t endCap, size_t startCap) {
    if (pm_result r = checkDrawing()) return r;
    const pm_transform& t = transform_;
    for (auto& contour : contours) {
        for (PmPoint& p : contour) {
            if (!usable(p.x) || !usable(p.y)) return PM_ERROR_INVALID_ARGUMENT;
            p = {t.a * p.x + t.c * p.y + t.e, t.b * p.x + t.d * p.y + t.f};
            // Checked again on the device: the filler turns these into pixel indices.
            if (!usable(p.x) || !usable(p.y)) return PM_ERROR_INVALID_ARGUMENT;
        }
    }
    pixmote::PmBounds bounds = clipOn_ ? pixmote::PmBounds{clip_[0], clip_[1], clip_[2], clip_[3]}
                                       : pixmote::PmBounds{0, 0, width_, height_};
    const bool premultiplied = blend_ == PM_BLEND_PREMULTIPLIED;
    pm_result result = PM_OK;
    size_t points = 0;
    for (const auto& contour : contours) points += contour.size();
    // Nine vertices a point at most: an outline too long for one batch is not worth building.
    if (geometric() && points <= kMaxBatch / 9) {
        fringe_.clear();
        const bool drawn =
            strip ? pixmote::PmFringe::strip(contours[0], endCap, startCap, ringWidth, color_, premultiplied,
                                             fringe_)
                  : pixmote::PmFringe::fill(contours, evenOdd, ringWidth, color_, premultiplied, fringe_);
        if (drawn && fringe_.size() <= kMaxBatch) {
            // Into the batch of masks when there is one, sampling its white texel.
            const bool join = batchMask_ && !batch_.empty() && whiteX_ >= 0 && batchBlend_ == blend_ &&
                              batch_.size() + fringe_.size() <= kMaxBatch;
            pm_vertex* q = nullptr;
            result = reserveTriangles(fringe_.size(), PM_NO_TEXTURE, &q, join);
            std::copy(fringe_.begin(), fringe_.end(), q);
            if (join)
                for (size_t i = 0; i < fringe_.size(); ++i) q[i].u = whiteX_ + 0.5f, q[i].v = whiteY_ + 0.5f;
            return result;
        }
    }
    if (device_.fill_runs) {
        // The device takes the rows as they are; what is batched goes first, to keep the order.
        result = flush();
        bool filled = pixmote::PmCoverage::fill(
            contours, evenOdd, antialias_, bounds,
            [&](int y0, int y1, const pixmote::PmRun* runs, size_t count) {
                if (device_.fill_runs(device_.user, y0, y1, runs, static_cast<int>(count), color_, blend_))
                    result = PM_ERROR_DEVICE;
            });
        return filled ? result : PM_ERROR_TOO_LARGE;
    }
    // The box the filler covers at most.
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    for (const auto& contour : contours)
        if (contour.size() >= 3)
            for (const PmPoint& p : contour)
                minX = std::min(minX, p.x), maxX = std::max(maxX, p.x), minY = std::min(minY, p.y),
                maxY = std::max(maxY, p.y);
    if (minX > maxX) return PM_OK;
    const pixmote::PmBounds box = {std::max(bounds.x0, static_cast<int>(std::floor(minX))),
                                   std::max(bounds.y0, static_cast<int>(std::floor(minY))),
                                   std::min(bounds.x1, static_cast<int>(std::ceil(maxX))),
                                   std::min(bounds.y1, static_cast<int>(std::ceil(maxY)))};
    if (box.x0 >= box.x1 || box.y0 >= box.y1) return PM_OK;
    if (fillMask(contours, evenOdd, box, result)) return result;
    bool filled = pixmote::PmCoverage::fill(
        contours, evenOdd, antialias_, bounds, [&](int y0, int y1, const pixmote::PmRun* runs, size_t count) {
            // Two triangles a run, written straight into the batch.
            for (size_t done = 0; done < count;) {
                size_t n = std::min(count - done, kMaxBatch / 6);
                pm_vertex* q = nullptr;
                if (pm_result r = reserveTriangles(n * 6, PM_NO_TEXTURE, &q)) result = r;
                for (size_t i = 0; i < n; ++i, q += 6) {
                    const pixmote::PmRun& run = runs[done + i];
                    auto scale = [&](uint8_t c) {
                        return static_cast<uint8_t>((c * run.coverage + 127) / 255);
                    };
                    pm_vertex v{};
                    v.r = premultiplied ? scale(color_[0]) : color_[0];
                    v.g = premultiplied ? scale(color_[1]) : color_[1];
                    v.b = premultiplied ? scale(color_[2]) : color_[2];
                    v.a = scale(color_[3]);
                    const float x0 = float(run.x0), x1 = float(run.x1), fy0 = float(y0), fy1 = float(y1);
                    q[0] = v, q[0].x = x0, q[0].y = fy0;
                    q[1] = v, q[1].x = x1, q[1].y = fy0;
                    q[2] = v, q[2].x = x1, q[2].y = fy1;
                    q[3] = q[0];
                    q[4] = q[2];
                    q[5] = v, q[5].x = x0, q[5].y = fy1;
                }
                done += n;
            }
        });
    return filled ? result : PM_ERROR_TOO_LARGE;
}

bool pm_context::placeMask(int w, int h, int& x, int& y, pm_result& result) {
    if (shelfX_ + w > maskW_) shelfY_ += shelfH_, shelfX_ = 0, shelfH_ = 0;
    if (shelfY_ + h > maskH_) {
        if (pm_result r = flush()) result = r;
        shelfX_ = shelfY_ = shelfH_ = maskUsedW_ = 0;
        whiteX_ = whiteY_ = -1;
    }
    x = shelfX_, y = shelfY_;
    shelfX_ += w, shelfH_ = std::max(shelfH_, h), maskUsedW_ = std::max(maskUsedW_, shelfX_);
    return true;
}

void pm_context::placeWhite(pm_result& result) {
    int x = 0, y = 0;
    placeMask(1, 1, x, y, result);
    mask_[static_cast<size_t>(y) * maskW_ + x] = 0xffffffffu;
    whiteX_ = x, whiteY_ = y;
}

bool pm_context::fillMask(const std::vector<std::vector<PmPoint>>& contours, bool evenOdd,
                          const pixmote::PmBounds& box, pm_result& result) {
    const int w = box.x1 - box.x0, h = box.y1 - box.y0;
    // The masks' room follows the frame's size; a larger frame makes it again, once the batch is out.
    const int wantW = std::min(kMaxMaskSide, width_), wantH = std::min(kMaxMaskSide, height_);
    if (wantW > maskW_ || wantH > maskH_) {
        if (pm_result r = flush()) result = r;
        const int grownW = std::max(maskW_, wantW), grownH = std::max(maskH_, wantH);
        // Allocated before anything changes, should it fail.
        std::vector<uint32_t> grown(static_cast<size_t>(grownW) * grownH, 0);
        mask_.swap(grown);
        maskW_ = grownW, maskH_ = grownH;
    }
    if (w > maskW_ || h > maskH_) return false;
    // One batch a texture and a blend mode: whatever else is batched goes first, but plain triangles
    // stay, turned to sample the white texel.
    if (!batch_.empty() && !batchMask_ && batchTexture_ == PM_NO_TEXTURE && batchBlend_ == blend_ &&
        batch_.size() + maskVertices(h) <= kMaxBatch) {
        placeWhite(result);
        for (pm_vertex& v : batch_) v.u = whiteX_ + 0.5f, v.v = whiteY_ + 0.5f;
        batchMask_ = true;
    }
    if (!batch_.empty() &&
        (!batchMask_ || batchBlend_ != blend_ || batch_.size() + maskVertices(h) > kMaxBatch))
        if (pm_result r = flush()) result = r;
    if (device_.geometric_antialias && whiteX_ < 0) placeWhite(result);
    int mx = 0, my = 0;
    placeMask(w, h, mx, my, result);
    for (int row = 0; row < h; ++row) {
        uint32_t* line = &mask_[static_cast<size_t>(my + row) * maskW_ + mx];
        std::fill(line, line + w, 0u);
    }
    // The texel is multiplied by the colour: white with the coverage in its alpha, or under
    // premultiplied blending the coverage in every channel. Words holding the RGBA8 bytes in order.
    const bool premultiplied = blend_ == PM_BLEND_PREMULTIPLIED;
    auto texelOf = [premultiplied](uint8_t c) {
        const uint8_t bytes[4] = {premultiplied ? c : uint8_t(255), premultiplied ? c : uint8_t(255),
                                  premultiplied ? c : uint8_t(255), c};
        uint32_t word;
        std::memcpy(&word, bytes, 4);
        return word;
    };
    // Each band's reach across, from box.x0: [left, right).
    const int bands = (h + kMaskBand - 1) / kMaskBand;
    bandReach_.assign(static_cast<size_t>(bands) * 2, 0);
    for (int b = 0; b < bands; ++b) bandReach_[2 * b] = w;
    bool filled = pixmote::PmCoverage::fill(
        contours, evenOdd, antialias_, box, [&](int y0, int y1, const pixmote::PmRun* runs, size_t count) {
            if (count)
                for (int b = (y0 - box.y0) / kMaskBand; b <= (y1 - 1 - box.y0) / kMaskBand; ++b) {
                    bandReach_[2 * b] = std::min(bandReach_[2 * b], runs[0].x0 - box.x0);
                    bandReach_[2 * b + 1] = std::max(bandReach_[2 * b + 1], runs[count - 1].x1 - box.x0);
                }
            for (int y = y0; y < y1; ++y) {
                // Runs are in device pixels from box.x0; the row's mask starts at mx.
                uint32_t* line = &mask_[static_cast<size_t>(my + y - box.y0) * maskW_ + mx];
                for (size_t i = 0; i < count; ++i) {
                    std::fill(line + (runs[i].x0 - box.x0), line + (runs[i].x1 - box.x0),
                              texelOf(runs[i].coverage));
                }
            }
        });
    if (!filled) {
        result = PM_ERROR_TOO_LARGE;
        return true;
    }
    // A quad a stretch of bands that reach equally far, so that the device shades only near the
    // coverage (most of a slanted stroke's box is empty).
    pm_vertex v{};
    v.r = color_[0], v.g = color_[1], v.b = color_[2], v.a = color_[3];
    for (int b = 0; b < bands;) {
        const int left = bandReach_[2 * b], right = bandReach_[2 * b + 1];
        int end = b + 1;
        while (end < bands && bandReach_[2 * end] == left && bandReach_[2 * end + 1] == right) ++end;
        const int top = b * kMaskBand, bottom = std::min(h, end * kMaskBand);
        b = end;
        if (left >= right) continue;
        pm_vertex* q = nullptr;
        if (pm_result r = reserveTriangles(6, PM_NO_TEXTURE, &q, true)) result = r;
        // In texels until the batch goes out and its masks' size is known.
        const float x0 = float(box.x0 + left), x1 = float(box.x0 + right), y0 = float(box.y0 + top),
                    y1 = float(box.y0 + bottom);
        const float u0 = float(mx + left), u1 = float(mx + right), v0 = float(my + top),
                    v1 = float(my + bottom);
        q[0] = v, q[0].x = x0, q[0].y = y0, q[0].u = u0, q[0].v = v0;
        q[1] = v, q[1].x = x1, q[1].y = y0, q[1].u = u1, q[1].v = v0;
        q[2] = v, q[2].x = x1, q[2].y = y1, q[2].u = u1, q[2].v = v1;
        q[3] = q[0];
        q[4] = q[2];
        q[5] = v, q[5].x = x0, q[5].y = y1, q[5].u = u0, q[5].v = v1;
    }
    return true;
}

int pm_context::maskVertices(int h) {
    return 6 * ((h + kMaskBand - 1) / kMaskBand);
}

pm_result pm_context::drawTexturedQuad(uint32_t texture, int texW, int texH, const float src[4],
                                       const float dst[4]) {
    if (pm_result r = checkDrawing()) return r;
    for (int i = 0; i < 4; ++i)
        if (!usable(src[i]) || !usable(dst[i])) return PM_ERROR_INVALID_ARGUMENT;
    if (texW <= 0 || texH <= 0 || src[2] < 0 || src[3] < 0 || dst[2] < 0 || dst[3] < 0)
        return PM_ERROR_INVALID_ARGUMENT;
    if (src[2] == 0 || src[3] == 0 || dst[2] == 0 || dst[3] == 0) return PM_OK;
    const pm_transform& t = transform_;
    pm_vertex corner[4];
    const bool premultiplied = blend_ == PM_BLEND_PREMULTIPLIED;
    for (int i = 0; i < 4; ++i) {
        const float fx = (i == 1 || i == 2) ? 1.0f : 0.0f, fy = i >= 2 ? 1.0f : 0.0f;
        const double x = dst[0] + fx * dst[2], y = dst[1] + fy * dst[3];
        pm_vertex& v = corner[i];
        v.x = static_cast<float>(t.a * x + t.c * y + t.e);
        v.y = static_cast<float>(t.b * x + t.d * y + t.f);
        if (!usable(v.x) || !usable(v.y)) return PM_ERROR_INVALID_ARGUMENT;
        v.u = (src[0] + fx * src[2]) / texW;
        v.v = (src[1] + fy * src[3]) / texH;
        auto tint = [&](uint8_t c) {
            return premultiplied ? static_cast<uint8_t>((c * color_[3] + 127) / 255) : c;
        };
        v.r = tint(color_[0]), v.g = tint(color_[1]), v.b = tint(color_[2]), v.a = color_[3];
    }
    const pm_vertex quad[6] = {corner[0], corner[1], corner[2], corner[0], corner[2], corner[3]};
    return addTriangles(quad, 6, texture);
}

pm_result pm_context::checkQuad(const float dst[4]) const {
    if (pm_result r = checkDrawing()) return r;
    for (int i = 0; i < 4; ++i)
        if (!usable(dst[i])) return PM_ERROR_INVALID_ARGUMENT;
    const pm_transform& t = transform_;
    for (int i = 0; i < 4; ++i) {
        const double x = dst[0] + ((i & 1) ? dst[2] : 0.0f), y = dst[1] + ((i & 2) ? dst[3] : 0.0f);
        if (!usable(float(t.a * x + t.c * y + t.e)) || !usable(float(t.b * x + t.d * y + t.f)))
            return PM_ERROR_INVALID_ARGUMENT;
    }
    return PM_OK;
}

double pm_context::scale() const {
    const pm_transform& t = transform_;
    double sum = double(t.a) * t.a + double(t.b) * t.b + double(t.c) * t.c + double(t.d) * t.d;
    double det = double(t.a) * t.d - double(t.b) * t.c;
    const double stretch = std::sqrt((sum + std::sqrt(std::max(0.0, sum * sum - 4 * det * det))) / 2);
    // Curves for edges antialiased by geometry may stray a quarter of a pixel instead of a tenth: the
    // fringe's ramp hides it, and every segment costs the device three triangles.
    return geometric() ? stretch * 0.4 : stretch;
}

double pm_context::leastScale() const {
    const pm_transform& t = transform_;
    double sum = double(t.a) * t.a + double(t.b) * t.b + double(t.c) * t.c + double(t.d) * t.d;
    double det = double(t.a) * t.d - double(t.b) * t.c;
    return std::sqrt(std::max(0.0, (sum - std::sqrt(std::max(0.0, sum * sum - 4 * det * det))) / 2));
}

pm_result pm_context::strokePath(const std::vector<PmPoint>& path, bool closed, pm_line_cap cap,
                                 pm_line_join join) {
    if (pm_result r = checkDrawing()) return r;
    for (const PmPoint& p : path)
        if (!usable(p.x) || !usable(p.y)) return PM_ERROR_INVALID_ARGUMENT;
    double round = PmStroker::circleSegments(lineWidth_ / 2, scale());
    double perPoint = 4 + (join == PM_JOIN_ROUND ? round : 4);
    if (path.size() * perPoint + 2 * round > kMaxStrokePoints) return PM_ERROR_TOO_LARGE;
    PmContours contours;
    if (geometric() && !closed && path.size() == 2 && (path[0].x != path[1].x || path[0].y != path[1].y)) {
        // One segment and its caps as one convex outline, for the device to antialias by geometry
        // (the stroker's separate caps would overlap the segment).
        const PmPoint a = path[0], b = path[1];
        const double half = lineWidth_ / 2, angle = std::atan2(b.y - a.y, b.x - a.x);
        const double dx = std::cos(angle) * half, dy = std::sin(angle) * half;
        contours.emplace_back();
        if (cap == PM_CAP_ROUND) {
            PmStroker::arc(b.x, b.y, half, half, angle - kPi / 2, kPi, scale(), contours[0]);
            PmStroker::arc(a.x, a.y, half, half, angle + kPi / 2, kPi, scale(), contours[0]);
        } else {
            const double reach = cap == PM_CAP_SQUARE ? 1 : 0;
            const PmPoint from = {a.x - reach * dx, a.y - reach * dy},
                          to = {b.x + reach * dx, b.y + reach * dy};
            contours[0] = {{from.x - dy, from.y + dx},
                           {to.x - dy, to.y + dx},
                           {to.x + dy, to.y - dx},
                           {from.x + dy, from.y - dx}};
        }
        return fillContours(contours, false, lineWidth_ * leastScale());
    }
    if (geometric() && !closed && path.size() > 2) {
        // A gently bending open path strokes as one band, point for point on its two sides: quads
        // between them for the device, square caps lengthening its ends, round ones going round them.
        std::vector<PmPoint> pts;
        for (const PmPoint& p : path)
            if (pts.empty() || p.x != pts.back().x || p.y != pts.back().y) pts.push_back(p);
        if (pts.size() > 2) {
            const double half = lineWidth_ / 2;
            if (cap == PM_CAP_SQUARE)
                for (int end = 0; end < 2; ++end) {
                    PmPoint& tip = end ? pts.back() : pts.front();
                    const PmPoint& next = end ? pts[pts.size() - 2] : pts[1];
                    const double reach = half / std::hypot(tip.x - next.x, tip.y - next.y);
                    tip = {tip.x + (tip.x - next.x) * reach, tip.y + (tip.y - next.y) * reach};
                }
            PmStroker(lineWidth_, PM_CAP_BUTT, join, scale()).stroke(pts, false, contours);
            const size_t sides = pts.size();
            if (contours.size() == 1 && contours[0].size() == 2 * sides) {
                std::vector<PmPoint>& band = contours[0];
                // The first side is the one left of the path (the stroker may have turned it round).
                const PmPoint& p0 = pts[0];
                const double angle0 = std::atan2(pts[1].y - p0.y, pts[1].x - p0.x);
                const PmPoint left0 = {p0.x - std::sin(angle0) * half, p0.y + std::cos(angle0) * half};
                if (std::hypot(band[0].x - left0.x, band[0].y - left0.y) > half)
                    std::reverse(band.begin(), band.end());
                size_t endCap = 0, startCap = 0;
                if (cap == PM_CAP_ROUND) {
                    // Each cap's half turn from the left side round the end to the right, its ends
                    // (the sides' own points) left out.
                    const PmPoint& p1 = pts[sides - 1];
                    const double angle1 = std::atan2(p1.y - pts[sides - 2].y, p1.x - pts[sides - 2].x);
                    std::vector<PmPoint> end, start;
                    PmStroker::arc(p1.x, p1.y, half, half, angle1 + kPi / 2, -kPi, scale(), end);
                    PmStroker::arc(p0.x, p0.y, half, half, angle0 - kPi / 2, -kPi, scale(), start);
                    endCap = end.size() - 2, startCap = start.size() - 2;
                    band.insert(band.begin() + sides, end.begin() + 1, end.end() - 1);
                    band.insert(band.end(), start.begin() + 1, start.end() - 1);
                }
                return fillContours(contours, false, lineWidth_ * leastScale(), true, endCap, startCap);
            }
            contours.clear();
        }
    }
    PmStroker(lineWidth_, cap, join, scale()).stroke(path, closed, contours);
    if (contours.empty()) return PM_OK;
    return fillContours(contours, false, lineWidth_ * leastScale());
}

pm_result pm_context::strokePoints(const float* xy, size_t count, bool closed) {
    if (!xy) return PM_ERROR_INVALID_ARGUMENT;
    if (count > PM_MAX_POLYGON_POINTS) return PM_ERROR_TOO_LARGE;
    std::vector<PmPoint> path;
    path.reserve(count);
    for (size_t i = 0; i < count; ++i) path.push_back({xy[2 * i], xy[2 * i + 1]});
    return strokePath(path, closed, lineCap_, lineJoin_);
}

namespace {

// The rectangle with its corners rounded by radius (at most half the shorter side), clockwise.
std::vector<PmPoint> roundedOutline(double x, double y, double w, double h, double r, double scale) {
    r = std::min(r, std::min(w, h) / 2);
    std::vector<PmPoint> out;
    PmStroker::arc(x + r, y + r, r, r, kPi, kPi / 2, scale, out);
    PmStroker::arc(x + w - r, y + r, r, r, -kPi / 2, kPi / 2, scale, out);
    PmStroker::arc(x + w - r, y + h - r, r, r, 0, kPi / 2, scale, out);
    PmStroker::arc(x + r, y + h - r, r, r, kPi / 2, kPi / 2, scale, out);
    return out;
}

// A negative size draws the same shape from its other corner.
void normalise(float& x, float& y, float& w, float& h) {
    if (w < 0) x += w, w = -w;
    if (h < 0) y += h, h = -h;
}

}  // namespace

pm_result pm_context::fillRoundedRect(float x, float y, float w, float h, float radius) {
    if (!usable(x) || !usable(y) || !usable(w) || !usable(h) || !usable(radius) || radius < 0)
        return PM_ERROR_INVALID_ARGUMENT;
    normalise(x, y, w, h);
    PmContours contours = {roundedOutline(x, y, w, h, radius, scale())};
    return fillContours(contours, false);
}

// Like a rectangle's, the outline lies inside: its centre line runs half the width in.
pm_result pm_context::strokeRoundedRect(float x, float y, float w, float h, float radius) {
    if (!usable(x) || !usable(y) || !usable(w) || !usable(h) || !usable(radius) || radius < 0)
        return PM_ERROR_INVALID_ARGUMENT;
    normalise(x, y, w, h);
    double lw = lineWidth_, half = lw / 2;
    if (2 * lw >= w || 2 * lw >= h) return fillRoundedRect(x, y, w, h, radius);
    double r = std::max(0.0, std::min<double>(radius, std::min(w, h) / 2) - half);
    return strokePath(roundedOutline(x + half, y + half, w - lw, h - lw, r, scale()), true, PM_CAP_BUTT,
                      PM_JOIN_MITER);
}

// A sweep of a whole turn or more is the whole oval; otherwise a pie slice when pie is set.
pm_result pm_context::fillArc(float x, float y, float w, float h, float start, float sweep, bool pie) {
    if (!usable(x) || !usable(y) || !usable(w) || !usable(h) || !usable(start) || !usable(sweep))
        return PM_ERROR_INVALID_ARGUMENT;
    normalise(x, y, w, h);
    double rx = w / 2.0, ry = h / 2.0, cx = x + rx, cy = y + ry;
    bool whole = !pie || std::fabs(sweep) >= 2 * kPi;
    PmContours contours(1);
    if (!whole) contours[0].push_back({cx, cy});
    PmStroker::arc(cx, cy, rx, ry, whole ? 0 : start, whole ? 2 * kPi : sweep, scale(), contours[0]);
    if (whole) contours[0].pop_back();
    return fillContours(contours, false);
}

// The oval's outline lies inside it, like a rectangle's; an arc is a stretch of that same outline,
// ended by the current caps.
pm_result pm_context::strokeArc(float x, float y, float w, float h, float start, float sweep, bool whole) {
    if (!usable(x) || !usable(y) || !usable(w) || !usable(h) || !usable(start) || !usable(sweep))
        return PM_ERROR_INVALID_ARGUMENT;
    normalise(x, y, w, h);
    whole = whole || std::fabs(sweep) >= 2 * kPi;
    double lw = lineWidth_;
    if (whole && (2 * lw >= w || 2 * lw >= h)) return fillArc(x, y, w, h, 0, 0, false);
    double rx = std::max(0.0, (w - lw) / 2), ry = std::max(0.0, (h - lw) / 2);
    std::vector<PmPoint> path;
    PmStroker::arc(x + w / 2.0, y + h / 2.0, rx, ry, whole ? 0 : start, whole ? 2 * kPi : sweep, scale(),
                   path);
    if (whole) path.pop_back();
    return strokePath(path, whole, whole ? PM_CAP_BUTT : lineCap_, PM_JOIN_MITER);
}
