#include "pixmote/src/PmCoverage.h"

#include <algorithm>
#include <cmath>

namespace pixmote {

namespace {

constexpr int kSubScanlines = 16;

struct Edge {
    double x0, y0, x1, y1;  // y0 < y1
    int dir;
};

struct Run {
    int x0, x1;
    uint8_t coverage;
    bool operator==(const Run& o) const { return x0 == o.x0 && x1 == o.x1 && coverage == o.coverage; }
};

}  // namespace

bool PmCoverage::fill(const std::vector<std::vector<PmPoint>>& contours, bool evenOdd, bool antialias,
                      const PmBounds& bounds, const Emit& emit) {
    std::vector<Edge> edges;
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    for (const auto& contour : contours) {
        size_t n = contour.size();
        if (n < 3) continue;
        for (size_t i = 0; i < n; ++i) {
            PmPoint a = contour[i], b = contour[(i + 1) % n];
            minX = std::min(minX, a.x), maxX = std::max(maxX, a.x);
            minY = std::min(minY, a.y), maxY = std::max(maxY, a.y);
            if (a.y == b.y) continue;
            if (a.y < b.y)
                edges.push_back({a.x, a.y, b.x, b.y, 1});
            else
                edges.push_back({b.x, b.y, a.x, a.y, -1});
        }
    }
    if (edges.empty()) return true;
    int bx0 = std::max(bounds.x0, static_cast<int>(std::floor(minX)));
    int by0 = std::max(bounds.y0, static_cast<int>(std::floor(minY)));
    int bx1 = std::min(bounds.x1, static_cast<int>(std::ceil(maxX)));
    int by1 = std::min(bounds.y1, static_cast<int>(std::ceil(maxY)));
    if (bx0 >= bx1 || by0 >= by1) return true;
    double crossings = 0;
    for (const Edge& e : edges)
        crossings += std::max(0.0, std::min<double>(e.y1, by1) - std::max<double>(e.y0, by0)) * kSubScanlines;
    if (crossings > kMaxCrossings) return false;

    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
    const int width = bx1 - bx0;
    std::vector<float> cover(width + 1), runLength(width + 2);
    std::vector<size_t> active;
    std::vector<std::pair<double, int>> hits;
    std::vector<Run> pending, row;
    int pendingY = by0;
    size_t nextEdge = 0;
    const float weight = 1.0f / kSubScanlines;

    auto flushPending = [&](int y) {
        for (const Run& r : pending) emit(r.x0, pendingY, r.x1, y, r.coverage);
        pending.clear();
        pendingY = y;
    };

    for (int y = by0; y < by1; ++y) {
        std::fill(cover.begin(), cover.end(), 0.0f);
        std::fill(runLength.begin(), runLength.end(), 0.0f);
        for (int s = 0; s < kSubScanlines; ++s) {
            double sy = y + (s + 0.5) / kSubScanlines;
            while (nextEdge < edges.size() && edges[nextEdge].y0 <= sy) active.push_back(nextEdge++);
            active.erase(
                std::remove_if(active.begin(), active.end(), [&](size_t e) { return edges[e].y1 <= sy; }),
                active.end());
            hits.clear();
            for (size_t e : active) {
                const Edge& E = edges[e];
                if (sy < E.y0) continue;
                hits.push_back({E.x0 + (sy - E.y0) * (E.x1 - E.x0) / (E.y1 - E.y0), E.dir});
            }
            std::sort(hits.begin(), hits.end());
            int winding = 0;
            for (size_t i = 0; i + 1 < hits.size(); ++i) {
                winding += hits[i].second;
                bool inside = evenOdd ? (winding & 1) != 0 : winding != 0;
                if (!inside) continue;
                double l = std::max(hits[i].first, static_cast<double>(bx0));
                double r = std::min(hits[i + 1].first, static_cast<double>(bx1));
                if (l >= r) continue;
                int il = static_cast<int>(std::floor(l)), ir = static_cast<int>(std::floor(r));
                if (il == ir) {
                    cover[il - bx0] += static_cast<float>(r - l) * weight;
                    continue;
                }
                cover[il - bx0] += static_cast<float>(il + 1 - l) * weight;
                runLength[il + 1 - bx0] += weight;
                runLength[ir - bx0] -= weight;
                if (ir < bx1) cover[ir - bx0] += static_cast<float>(r - ir) * weight;
            }
        }
        row.clear();
        float full = 0;
        for (int x = 0; x < width; ++x) {
            full += runLength[x];
            float c = std::clamp(cover[x] + full, 0.0f, 1.0f);
            if (!antialias) c = c >= 0.5f ? 1.0f : 0.0f;
            auto value = static_cast<uint8_t>(c * 255.0f + 0.5f);
            if (value == 0) continue;
            if (!row.empty() && row.back().x1 == x + bx0 && row.back().coverage == value)
                row.back().x1++;
            else
                row.push_back({x + bx0, x + bx0 + 1, value});
        }
        if (row != pending) {
            flushPending(y);
            pending.swap(row);
        }
    }
    flushPending(by1);
    return true;
}

}  // namespace pixmote
