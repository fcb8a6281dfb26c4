#include "pixmote/src/PmCoverage.h"

#include <algorithm>
#include <cmath>

#include "pixmote/src/PmSimpleOutline.h"

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

using Run = PmRun;

// floor() for values well inside the int range, without a library call.
inline int floorInt(double v) {
    int i = static_cast<int>(v);
    return i - (i > v);
}

// The crossings stay in order from one sub-scanline to the next but for the odd swap: insertion sort.
void sortHits(std::vector<Hit>& hits) {
    for (size_t i = 1; i < hits.size(); ++i) {
        Hit h = hits[i];
        size_t j = i;
        for (; j > 0 && hits[j - 1].x > h.x; --j) hits[j] = hits[j - 1];
        hits[j] = h;
    }
}

// The filler's working memory, kept from one fill to the next on the thread: most shapes are small,
// and allocating and freeing it for each cost more than some of them take to fill.
struct Scratch {
    std::vector<Edge> edges;
    std::vector<float> cover, runLength;
    std::vector<int> touched, mark;
    std::vector<Hit> hits;
    std::vector<uint32_t> active;
    std::vector<Run> pending, row;
    PmSimpleOutline outline;
    bool busy = false;
};

// The thread's scratch, or a fresh one for a fill started from inside another's emit.
class ScratchLease {
public:
    ScratchLease() : scratch_(shared().busy ? own_ : shared()) { scratch_.busy = true; }
    ~ScratchLease() { scratch_.busy = false; }
    ScratchLease(const ScratchLease&) = delete;
    ScratchLease& operator=(const ScratchLease&) = delete;
    Scratch& operator*() { return scratch_; }

private:
    static Scratch& shared() {
        static thread_local Scratch scratch;
        return scratch;
    }
    Scratch own_;
    Scratch& scratch_;
};

// A row's cells made runs: between the cells edges touched the coverage stays what the carried
// sums make it. Rows equal to the one before join its stretch, handed out when a different one comes.
class RowOut {
public:
    RowOut(Scratch& scratch, int bx0, int bx1, int y, bool antialias, const PmCoverage::EmitRows& emit)
        : s_(scratch), bx0_(bx0), bx1_(bx1), pendingY_(y), antialias_(antialias), emit_(emit) {
        // A row has at most a run a touched cell and one between each two: room for all of them.
        const size_t most = 2 * static_cast<size_t>(bx1 - bx0) + 8;
        if (s_.row.size() < most) s_.row.resize(most), s_.pending.resize(most);
    }

    // Row y from the touched cells' partial coverage (cover) and the changes carried right
    // (runLength), both reset on the way.
    void finish(int y, int touchedCount) {
        int* const touchedAt = s_.touched.data();
        int* const touchedEnd = touchedAt + touchedCount;
        float* const cover = s_.cover.data();
        float* const runLength = s_.runLength.data();
        const int width = bx1_ - bx0_;
        Run* const first = s_.row.data();
        end_ = first;
        float full = 0;
        int lo = width + 2, hi = -1;
        for (const int* t = touchedAt; t < touchedEnd; ++t) lo = std::min(lo, *t), hi = std::max(hi, *t);
        if (touchedCount > 4 && hi - lo < 4 * touchedCount) {
            // Touched cells lie close together: every cell from the first to the last, in order,
            // costs less than sorting them.
            const int last = std::min(hi, width - 1);
            for (int x = lo; x <= last; ++x) {
                full += runLength[x];
                addRun(x + bx0_, x + bx0_ + 1, cover[x] + full);
            }
            addRun(last + 1 + bx0_, bx1_, full);
            std::fill(cover + lo, cover + hi + 1, 0.0f);
            std::fill(runLength + lo, runLength + hi + 1, 0.0f);
        } else {
            // A handful of cells: insertion sort, else the library's.
            if (touchedCount <= 16) {
                for (int* i = touchedAt + 1; i < touchedEnd; ++i) {
                    const int v = *i;
                    int* j = i;
                    for (; j > touchedAt && j[-1] > v; --j) *j = j[-1];
                    *j = v;
                }
            } else {
                std::sort(touchedAt, touchedEnd);
            }
            int from = 0;  // the first cell not yet given out
            for (const int* t = touchedAt; t < touchedEnd; ++t) {
                const int x = *t;
                if (x >= width) break;
                addRun(from + bx0_, x + bx0_, full);
                full += runLength[x];
                addRun(x + bx0_, x + bx0_ + 1, cover[x] + full);
                from = x + 1;
            }
            addRun(from + bx0_, bx1_, full);
            for (const int* t = touchedAt; t < touchedEnd; ++t) cover[*t] = 0, runLength[*t] = 0;
        }
        const size_t count = static_cast<size_t>(end_ - first);
        bool same = count == pendingCount_;
        for (size_t i = 0; same && i < count; ++i) same = first[i] == s_.pending[i];
        if (!same) {
            flush(y);
            s_.pending.swap(s_.row);
            pendingCount_ = count;
        }
    }

    void flush(int y) {
        if (pendingCount_) emit_(pendingY_, y, s_.pending.data(), pendingCount_);
        pendingCount_ = 0;
        pendingY_ = y;
    }

private:
    // Either way round: an outline wound the other way sums to minus its coverage.
    void addRun(int x0, int x1, float c) {
        c = std::fabs(c);
        if (!antialias_) c = c >= 0.5f ? 1.0f : 0.0f;
        auto value = static_cast<uint8_t>(std::min(c, 1.0f) * 255.0f + 0.5f);
        if (value == 0 || x0 >= x1) return;
        if (end_ != s_.row.data() && end_[-1].x1 == x0 && end_[-1].coverage == value) {
            end_[-1].x1 = x1;
            return;
        }
        // Written in place, field by field.
        end_->x0 = x0, end_->x1 = x1, end_->coverage = value;
        ++end_;
    }

    Scratch& s_;
    const int bx0_, bx1_;
    int pendingY_;
    const bool antialias_;
    const PmCoverage::EmitRows& emit_;
    size_t pendingCount_ = 0;
    Run* end_ = nullptr;  // past the last run of the row being made
};

// The exact coverage of an outline whose winding is 0 or 1 (or 0 and -1) everywhere: each edge adds,
// in every cell it passes, the signed area it leaves to its right within the row, and carries its
// height to the cells beyond. Rows between the same upright edges repeat and are not computed again.
void fillArea(Scratch& s, int bx0, int by0, int bx1, int by1, RowOut& out) {
    const std::vector<Edge>& edges = s.edges;
    float* const cover = s.cover.data();
    float* const runLength = s.runLength.data();
    int* const mark = s.mark.data();
    int* const touchedAt = s.touched.data();
    int touchedCount = 0;
    int y = by0;
    auto touch = [&](int x) {
        if (mark[x] != y) mark[x] = y, touchedAt[touchedCount++] = x;
    };
    // Height dy of an edge in cell x (counted from bx0), f of the way across it on average.
    auto add = [&](int x, double dy, double f) {
        cover[x] += static_cast<float>(dy * (1 - f));
        runLength[x + 1] += static_cast<float>(dy);
        touch(x);
        touch(x + 1);
    };
    const double lo = bx0, hi = bx1;
    // The piece of an edge in this row from (xa, ya) to (xb, yb), ya < yb, wound by dir. Left of
    // the box it covers the whole row; right of it, nothing that shows.
    auto piece = [&](double xa, double ya, double xb, double yb, int dir) {
        const double dy = (yb - ya) * dir;
        double xl = std::min(xa, xb), xr = std::max(xa, xb);
        if (xl >= hi) return;
        if (xr <= lo) return add(0, dy, 0);
        if (xr - xl < 1e-9) {
            // Upright, though it may straddle the box's left side by a hair.
            const double x = std::max(xl, lo);
            const int c = floorInt(x);
            return add(c - bx0, dy, x - c);
        }
        const double k = dy / (xr - xl);  // height per unit across
        if (xl < lo) add(0, (lo - xl) * k, 0), xl = lo;
        xr = std::min(xr, hi);
        int c = floorInt(xl);
        for (double x = xl;; ++c) {
            const double xe = std::min(xr, c + 1.0);
            add(c - bx0, (xe - x) * k, (x + xe) / 2 - c);
            if (xe >= xr) break;
            x = xe;
        }
    };
    std::vector<uint32_t>& active = s.active;
    active.clear();
    size_t nextEdge = 0;
    bool steady = false;
    for (; y < by1; ++y) {
        const double top = y, bottom = y + 1.0;
        bool changed = false;
        for (; nextEdge < edges.size() && edges[nextEdge].y0 < bottom; ++nextEdge)
            if (edges[nextEdge].y1 > top) active.push_back(uint32_t(nextEdge)), changed = true;
        bool same = !changed;
        for (size_t i = 0; same && i < active.size(); ++i) {
            const Edge& E = edges[active[i]];
            same = E.slope == 0 && E.y1 >= bottom;
        }
        if (steady && same) continue;
        steady = same;
        touchedCount = 0;
        size_t kept = 0;
        for (const uint32_t index : active) {
            const Edge& E = edges[index];
            const double ya = std::max(E.y0, top), yb = std::min(E.y1, bottom);
            if (ya < yb) {
                const double xa = ya == E.y0 ? E.x0 : E.x0 + (ya - E.y0) * E.slope;
                const double xb = yb == E.y1 ? E.x1 : E.x0 + (yb - E.y0) * E.slope;
                piece(xa, ya, xb, yb, E.dir);
            }
            if (E.y1 > bottom) active[kept++] = index;
        }
        if (kept != active.size()) steady = false;
        active.resize(kept);
        out.finish(y, touchedCount);
    }
    out.flush(by1);
}

}  // namespace

bool PmCoverage::fill(const std::vector<std::vector<PmPoint>>& contours, bool evenOdd, bool antialias,
                      const PmBounds& bounds, const Emit& emit) {
    return fill(contours, evenOdd, antialias, bounds, [&](int y0, int y1, const PmRun* runs, size_t count) {
        for (size_t i = 0; i < count; ++i) emit(runs[i].x0, y0, runs[i].x1, y1, runs[i].coverage);
    });
}

bool PmCoverage::fill(const std::vector<std::vector<PmPoint>>& contours, bool evenOdd, bool antialias,
                      const PmBounds& bounds, const EmitRows& emit) {
    ScratchLease lease;
    Scratch& scratch = *lease;
    std::vector<Edge>& edges = scratch.edges;
    edges.clear();
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    auto addEdges = [&](const std::vector<PmPoint>& contour, int sign) {
        size_t n = contour.size();
        if (n < 3) return;
        for (size_t i = 0; i < n; ++i) {
            PmPoint a = contour[i], b = contour[(i + 1) % n];
            minX = std::min(minX, a.x), maxX = std::max(maxX, a.x);
            minY = std::min(minY, a.y), maxY = std::max(maxY, a.y);
            if (a.y == b.y) continue;
            if (a.y < b.y)
                edges.push_back({a.x, a.y, b.x, b.y, sign, 0});
            else
                edges.push_back({b.x, b.y, a.x, a.y, -sign, 0});
        }
    };
    // Outlines that cannot overlap themselves take the exact-area road; the rest are sampled.
    const bool exact = scratch.outline.classify(contours, evenOdd);
    if (exact)
        for (const PmSimpleOutline::Part& part : scratch.outline.parts())
            addEdges(*part.contour, part.factor);
    else
        for (const auto& contour : contours) addEdges(contour, 1);
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
    std::vector<float>& cover = scratch.cover;
    std::vector<float>& runLength = scratch.runLength;
    cover.assign(width + 2, 0.0f), runLength.assign(width + 2, 0.0f);
    std::vector<int>& touched = scratch.touched;
    std::vector<int>& mark = scratch.mark;  // the last row that touched a cell
    // Each cell is touched once a row at most: room for all of them, filled without growing.
    touched.resize(width + 2), mark.assign(width + 2, by0 - 1);
    int* const touchedAt = touched.data();
    int touchedCount = 0;
    RowOut out(scratch, bx0, bx1, by0, antialias, emit);
    if (exact) {
        fillArea(scratch, bx0, by0, bx1, by1, out);
        return true;
    }
    std::vector<Hit>& hits = scratch.hits;  // the active edges and where they cross the sub-scanline
    hits.clear();
    size_t nextEdge = 0;
    const float weight = 1.0f / kSubScanlines;

    int y = by0;
    auto touch = [&](int x) {
        if (mark[x] != y) mark[x] = y, touchedAt[touchedCount++] = x;
    };
    // Sub-scanlines [from, to) of row y with the current, sorted crossings: false when edges cross
    // inside the band. Each edge where the inside begins adds the coverage of [x, end of row) on
    // every sub-scanline, each edge where it ends takes it away again.
    auto band = [&](int from, int to) {
        const double lastY = y + (to - 0.5) / kSubScanlines;
        double previous = -1e300;
        for (const Hit& hit : hits) {
            const Edge& E = edges[hit.edge];
            const double x = E.x0 + (lastY - E.y0) * E.slope;
            if (x < previous) return false;
            previous = x;
        }
        const double lo = bx0, hi = bx1;
        int winding = 0;
        bool wasInside = false;
        for (const Hit& hit : hits) {
            winding += hit.dir;
            bool inside = evenOdd ? (winding & 1) != 0 : winding != 0;
            if (inside == wasInside) continue;
            wasInside = inside;
            const Edge& E = edges[hit.edge];
            const float sign = inside ? weight : -weight;
            const double first = std::clamp(hit.x, lo, hi);
            const double last = std::clamp(E.x0 + (lastY - E.y0) * E.slope, lo, hi);
            const int c = floorInt(first);
            if (c == floorInt(last) &&
                (first == last || (first > lo && last > lo && first < hi && last < hi))) {
                // All in one cell: the mean of the band's crossings is the mean of its ends.
                const int n = to - from;
                cover[c - bx0] += static_cast<float>((c + 1) * n - (first + last) * n / 2) * sign;
                runLength[c + 1 - bx0] += n * sign;
                touch(c - bx0);
                touch(c + 1 - bx0);
                continue;
            }
            auto at = [&](int k) { return E.x0 + (y + (k + 0.5) / kSubScanlines - E.y0) * E.slope; };
            if (first > lo && last > lo && first < hi && last < hi) {
                // The sub-scanlines in one cell at a time, each stretch by the mean of its ends.
                const double step = E.slope / kSubScanlines;
                for (int k = from; k < to;) {
                    const double x = at(k);
                    const int cell = floorInt(x);
                    int k2 = to - 1;
                    if (step > 0)
                        k2 = std::min(
                            k2, k + static_cast<int>(std::min<double>(kSubScanlines, (cell + 1 - x) / step)));
                    else if (step < 0)
                        k2 = std::min(
                            k2, k + static_cast<int>(std::min<double>(kSubScanlines, (x - cell) / -step)));
                    while (k2 > k && floorInt(at(k2)) != cell) --k2;
                    const int m = k2 - k + 1;
                    cover[cell - bx0] += static_cast<float>((cell + 1) * m - (x + at(k2)) * m / 2) * sign;
                    runLength[cell + 1 - bx0] += m * sign;
                    touch(cell - bx0);
                    touch(cell + 1 - bx0);
                    k = k2 + 1;
                }
                continue;
            }
            for (int k = from; k < to; ++k) {
                const double x = std::clamp(at(k), lo, hi);
                const int cell = floorInt(x);
                cover[cell - bx0] += static_cast<float>(cell + 1 - x) * sign;
                runLength[cell + 1 - bx0] += sign;
                touch(cell - bx0);
                touch(cell + 1 - bx0);
            }
        }
        return true;
    };
    // Whether the last row computed had the same upright edges all through: then a row that keeps
    // them has the same coverage, and is not computed again.
    bool steady = false;
    for (; y < by1; ++y) {
        const double lastSample = y + 1 - 0.5 / kSubScanlines;
        bool same = nextEdge == edges.size() || edges[nextEdge].y0 > lastSample;
        for (size_t i = 0; same && i < hits.size(); ++i) {
            const Edge& E = edges[hits[i].edge];
            same = E.slope == 0 && E.y1 > lastSample;
        }
        if (steady && same) continue;
        steady = same;
        touchedCount = 0;
        for (int s = 0; s < kSubScanlines;) {
            double sy = y + (s + 0.5) / kSubScanlines;
            size_t kept = 0;
            double nextEvent = nextEdge < edges.size() ? edges[nextEdge].y0 : 1e300;
            for (size_t i = 0; i < hits.size(); ++i) {
                const Edge& E = edges[hits[i].edge];
                if (E.y1 <= sy) continue;
                nextEvent = std::min(nextEvent, E.y1);
                hits[kept++] = {E.x0 + (sy - E.y0) * E.slope, E.dir, hits[i].edge};
            }
            hits.resize(kept);
            for (; nextEdge < edges.size() && edges[nextEdge].y0 <= sy; ++nextEdge) {
                const Edge& E = edges[nextEdge];
                if (E.y1 <= sy) continue;
                nextEvent = std::min(nextEvent, E.y1);
                hits.push_back({E.x0 + (sy - E.y0) * E.slope, E.dir, uint32_t(nextEdge)});
            }
            if (nextEdge < edges.size()) nextEvent = std::min(nextEvent, edges[nextEdge].y0);
            sortHits(hits);
            // The sub-scanlines before the next edge starts or ends form a band; when no two edges
            // cross inside it, the same crossings bound the spans all through, and each boundary
            // edge adds its share for the whole band at once.
            int end = s + 1;
            while (end < kSubScanlines && y + (end + 0.5) / kSubScanlines < nextEvent) ++end;
            if (end - s >= 2 && band(s, end)) {
                s = end;
                continue;
            }
            // Overlapping pieces (a stroke's segments and joins) make one span where they meet.
            int winding = 0;
            bool wasInside = false;
            double start = 0;
            for (const Hit& hit : hits) {
                winding += hit.dir;
                bool inside = evenOdd ? (winding & 1) != 0 : winding != 0;
                if (inside == wasInside) continue;
                wasInside = inside;
                if (inside) {
                    start = hit.x;
                    continue;
                }
                double l = std::max(start, static_cast<double>(bx0));
                double r = std::min(hit.x, static_cast<double>(bx1));
                if (l >= r) continue;
                int il = floorInt(l), ir = floorInt(r);
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
            ++s;
        }
        out.finish(y, touchedCount);
    }
    out.flush(by1);
    return true;
}

}  // namespace pixmote
