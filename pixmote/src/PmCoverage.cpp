#include "pixmote/src/PmCoverage.h"

#include <algorithm>
#include <cmath>

namespace pixmote {

namespace {

constexpr int kSubScanlines = 16;

struct Edge {
    double x0, y0, x1, y1;  // y0 < y1
    int dir;
    double slope;  // dx / dy
};

struct Hit {
    double x;
    int dir;
    uint32_t edge;
};

struct Run {
    int x0, x1;
    uint8_t coverage;
    bool operator==(const Run& o) const { return x0 == o.x0 && x1 == o.x1 && coverage == o.coverage; }
};

// The crossings stay in order from one sub-scanline to the next but for the odd swap: insertion sort.
void sortHits(std::vector<Hit>& hits) {
    for (size_t i = 1; i < hits.size(); ++i) {
        Hit h = hits[i];
        size_t j = i;
        for (; j > 0 && hits[j - 1].x > h.x; --j) hits[j] = hits[j - 1];
        hits[j] = h;
    }
}

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
                edges.push_back({a.x, a.y, b.x, b.y, 1, 0});
            else
                edges.push_back({b.x, b.y, a.x, a.y, -1, 0});
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
    for (Edge& e : edges) e.slope = (e.x1 - e.x0) / (e.y1 - e.y0);
    const int width = bx1 - bx0;
    // Per row: the partial coverage of each cell, and where full coverage starts (+) and stops (-).
    // Only the cells an edge touched are visited and reset; between them coverage is constant.
    std::vector<float> cover(width + 1), runLength(width + 2);
    std::vector<int> touched, mark(width + 2, by0 - 1);  // mark: the last row that touched a cell
    std::vector<Hit> hits;  // the active edges and where they cross the sub-scanline, left to right
    std::vector<Run> pending, row;
    int pendingY = by0;
    size_t nextEdge = 0;
    const float weight = 1.0f / kSubScanlines;

    auto flushPending = [&](int y) {
        for (const Run& r : pending) emit(r.x0, pendingY, r.x1, y, r.coverage);
        pending.clear();
        pendingY = y;
    };
    auto addRun = [&](int x0, int x1, float c) {
        if (!antialias) c = c >= 0.5f ? 1.0f : 0.0f;
        auto value = static_cast<uint8_t>(std::clamp(c, 0.0f, 1.0f) * 255.0f + 0.5f);
        if (value == 0 || x0 >= x1) return;
        if (!row.empty() && row.back().x1 == x0 && row.back().coverage == value)
            row.back().x1 = x1;
        else
            row.push_back({x0, x1, value});
    };

    int y = by0;
    auto touch = [&](int x) {
        if (mark[x] != y) mark[x] = y, touched.push_back(x);
    };
    for (; y < by1; ++y) {
        touched.clear();
        for (int s = 0; s < kSubScanlines; ++s) {
            double sy = y + (s + 0.5) / kSubScanlines;
            size_t kept = 0;
            for (size_t i = 0; i < hits.size(); ++i) {
                const Edge& E = edges[hits[i].edge];
                if (E.y1 <= sy) continue;
                hits[kept++] = {E.x0 + (sy - E.y0) * E.slope, E.dir, hits[i].edge};
            }
            hits.resize(kept);
            for (; nextEdge < edges.size() && edges[nextEdge].y0 <= sy; ++nextEdge) {
                const Edge& E = edges[nextEdge];
                if (E.y1 > sy) hits.push_back({E.x0 + (sy - E.y0) * E.slope, E.dir, uint32_t(nextEdge)});
            }
            sortHits(hits);
            int winding = 0;
            for (size_t i = 0; i + 1 < hits.size(); ++i) {
                winding += hits[i].dir;
                bool inside = evenOdd ? (winding & 1) != 0 : winding != 0;
                if (!inside) continue;
                double l = std::max(hits[i].x, static_cast<double>(bx0));
                double r = std::min(hits[i + 1].x, static_cast<double>(bx1));
                if (l >= r) continue;
                int il = static_cast<int>(std::floor(l)), ir = static_cast<int>(std::floor(r));
                if (il == ir) {
                    cover[il - bx0] += static_cast<float>(r - l) * weight;
                    touch(il - bx0);
                    continue;
                }
                cover[il - bx0] += static_cast<float>(il + 1 - l) * weight;
                runLength[il + 1 - bx0] += weight;
                runLength[ir - bx0] -= weight;
                touch(il - bx0);
                touch(il + 1 - bx0);
                touch(ir - bx0);
                if (ir < bx1) cover[ir - bx0] += static_cast<float>(r - ir) * weight;
            }
        }
        std::sort(touched.begin(), touched.end());
        row.clear();
        float full = 0;
        int from = 0;  // the first cell not yet given out
        for (int x : touched) {
            if (x >= width) break;
            addRun(from + bx0, x + bx0, full);
            full += runLength[x];
            addRun(x + bx0, x + bx0 + 1, cover[x] + full);
            from = x + 1;
        }
        addRun(from + bx0, bx1, full);
        for (int x : touched) cover[x] = 0, runLength[x] = 0;
        if (row != pending) {
            flushPending(y);
            pending.swap(row);
        }
    }
    flushPending(by1);
    return true;
}

}  // namespace pixmote
