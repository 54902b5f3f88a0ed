#include "viewer/map/GridCells.h"

#include "common/MinMax.h"
#include "gui/Picture.h"
#include "kelvadlib/IKelvad.h"
#include "viewer/map/CScale.h"
#include "viewer/map/MapGeometry.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

// A window of the regular grid as the walk takes it.
struct WalkWindow {
    const VArray<Long>& start;
    const VArray<Long>& count;
    const VArray<Long>& step;
    const VArray<float>& values;
    Long total;
    float shift;
    Long lonFirst;
    Long lonLast;
};

// Half the first spacing of an axis: the half width that a one-point axis borrows from the
// other one, so that a single row or column still gets square boxes.
float halfSpacing(const VArray<float>& axis, Long n) {
    return n >= 2 ? std::fabs(axis(2) - axis(1)) / 2 : 0.0f;
}

// The box between two corners in map units, filled in the colour of v.
void cellBox(RenderContext& rc, float lon1, float lat1, float lon2, float lat2, float v) {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (!MapPoint(rc, lon1, lat1, x1, y1)) return;
    if (!MapPoint(rc, lon2, lat2, x2, y2)) return;
    rc.pic.Line(x1, y1, x2, y2, ValueToColor(rc.scale, v), LineFlag::BF);
}

// The grid's two axes as the cells need them, from the drawing's coordinates and transform.
struct Axes {
    const VArray<float>* lonV = nullptr;
    const VArray<float>* latV = nullptr;
    const ViewState* view = nullptr;
    Long nLon = 0;
    Long nLat = 0;
    float lonHalf = 0; // the half width of a one-column grid's cells
    float latHalf = 0; // the half height of a one-row grid's cells
};

Axes gridAxes(const RenderContext& rc) {
    Axes a;
    a.lonV = &rc.coords.lonV;
    a.latV = &rc.coords.latV;
    a.view = &rc.view;
    a.nLon = Data.clsNC->nLon(1);
    a.nLat = Data.clsNC->nLat(1);
    a.lonHalf = halfSpacing(*a.latV, a.nLat);
    a.latHalf = halfSpacing(*a.lonV, a.nLon);
    return a;
}

// The box of grid point (i, j) walked at the steps iStep and jStep, its longitudes shifted.
void gridCell(RenderContext& rc, const Axes& ax, Long i, Long j, Long iStep, Long jStep,
              float shift, Long lonFirst, Long lonLast, float v) {
    int64_t w = 0, e = 0, s = 0, n = 0;
    CellHalfIndices(i, iStep, lonFirst, lonLast, w, e);
    CellHalfIndices(j, jStep, 1, ax.nLat, s, n);
    const float west = AxisAtHalfIndex(*ax.lonV, ax.nLon, w, ax.lonHalf) + shift;
    const float east = AxisAtHalfIndex(*ax.lonV, ax.nLon, e, ax.lonHalf) + shift;
    cellBox(rc, west, AxisAtHalfIndex(*ax.latV, ax.nLat, s, ax.latHalf), east,
            AxisAtHalfIndex(*ax.latV, ax.nLat, n, ax.latHalf), v);
}

// The walk takes exactly the indices that the read took, in the read's order: the outer
// dimension nd - 1, the inner nd (fastest). One box per cell through Line: the drawing the
// primitive log sees, and the one a pen wider than a pixel outlines.
void walkWindowByLine(RenderContext& rc, const Axes& ax, Long order, const WalkWindow& w) {
    const Long nd = rc.nd;
    const Long outStep = w.step(nd - 1), inStep = w.step(nd);
    ForEachWindowPoint(w.start, w.count, w.step, nd, w.total, [&](Long o, Long q, Long n) {
        const float v = w.values(n);
        if (v <= NoVal) return;
        TakeValue(rc, v);
        if (order == 2)
            gridCell(rc, ax, q, o, inStep, outStep, w.shift, w.lonFirst, w.lonLast, v);
        else
            gridCell(rc, ax, o, q, outStep, inStep, w.shift, w.lonFirst, w.lonLast, v);
    });
}

// How one edge of the cells of a column or a row fares under the transform.
enum class Edge : unsigned char { Placed, NoNumber, Refused };

// The cells of one grid column (or row) in picture terms: the pixels they cover and how their
// two edges (west and east, or south and north) fared. The transform is separable, so these
// are worked out once per column and once per row, not once per cell.
struct Band {
    int first = 0;
    int last = -1;
    Edge lo = Edge::Placed;
    Edge hi = Edge::Placed;
    bool placed() const { return lo == Edge::Placed && hi == Edge::Placed; }
};

Edge placeEdge(const ViewState& view, float coord, bool lonAxis, float& at) {
    if (!std::isfinite(coord)) return Edge::NoNumber;
    const Long r = lonAxis ? lonToPicX(view, coord, at) : latToPicY(view, coord, at);
    return r == 0 ? Edge::Placed : Edge::Refused;
}

// The bands of count cells of one axis walked from start by step.
void axisBands(std::vector<Band>& bands, const PixelBoxes& boxes, bool lonAxis, const Axes& ax,
               Long start, Long step, Long count, float shift, Long lonFirst, Long lonLast) {
    bands.assign(static_cast<std::size_t>(std::max<Long>(count, 0)), Band{});
    const VArray<float>& axis = lonAxis ? *ax.lonV : *ax.latV;
    const Long n = lonAxis ? ax.nLon : ax.nLat;
    const float half = lonAxis ? ax.lonHalf : ax.latHalf;
    for (Long k = 0; k < count; ++k) {
        Band& b = bands[static_cast<std::size_t>(k)];
        int64_t lo = 0, hi = 0;
        CellHalfIndices(start + k * step, step, lonAxis ? lonFirst : 1, lonAxis ? lonLast : n, lo,
                        hi);
        const float c1 = AxisAtHalfIndex(axis, n, lo, half) + (lonAxis ? shift : 0.0f);
        const float c2 = AxisAtHalfIndex(axis, n, hi, half) + (lonAxis ? shift : 0.0f);
        float u1 = 0, u2 = 0;
        b.lo = placeEdge(*ax.view, c1, lonAxis, u1);
        b.hi = placeEdge(*ax.view, c2, lonAxis, u2);
        if (lonAxis)
            boxes.columns(u1, u2, b.first, b.last);
        else
            boxes.rows(u1, u2, b.first, b.last);
    }
}

// A box whose corner the transform refused is skipped, and counted as MapPoint counts it: the
// south-west corner is tried first, and a corner that is no number is passed over silently.
void refuseBox(RenderContext& rc, const Band& lon, const Band& lat) {
    auto corner = [&](Edge a, Edge b) {
        if (a == Edge::NoNumber || b == Edge::NoNumber) return 1; // skipped, not a refusal
        if (a == Edge::Refused || b == Edge::Refused) {
            CountRefusal(rc);
            return 1;
        }
        return 0;
    };
    if (corner(lon.lo, lat.lo) == 0) corner(lon.hi, lat.hi);
}

// The cell between a column's and a row's edges, in the colour of v.
inline void paintCell(RenderContext& rc, PixelBoxes& boxes, const Band& lon, const Band& lat,
                      float v) {
    if (!lon.placed() || !lat.placed()) {
        refuseBox(rc, lon, lat);
        return;
    }
    if (lon.first > lon.last || lat.first > lat.last) return;
    boxes.fill(lon.first, lat.first, lon.last, lat.last, ValueToColor(rc.scale, v));
}

// The same walk with the cells filled straight into the picture's pixels: the columns' and
// rows' pixels are worked out once, and a cell that covers no pixel centre costs only its value.
void walkWindowBySpans(RenderContext& rc, PixelBoxes& boxes, const Axes& ax, Long order,
                       const WalkWindow& w) {
    const Long nd = rc.nd;
    const Long outStart = w.start(nd - 1), outStep = w.step(nd - 1), outCount = w.count(nd - 1);
    const Long inStart = w.start(nd), inStep = w.step(nd), inCount = w.count(nd);
    if (outCount <= 0 || inCount <= 0) return;
    const bool lonInner = order == 2;
    std::vector<Band> outer, inner;
    axisBands(outer, boxes, !lonInner, ax, outStart, outStep, outCount, w.shift, w.lonFirst,
              w.lonLast);
    axisBands(inner, boxes, lonInner, ax, inStart, inStep, inCount, w.shift, w.lonFirst, w.lonLast);
    const float* values = w.values.data();
    const int64_t total = std::min<int64_t>(w.total, w.values.IsAllocated() ? w.values.size() : 0);
    int64_t n = 0;
    for (Long r = 0; r < outCount && n < total; ++r) {
        const Band& ob = outer[static_cast<std::size_t>(r)];
        const int64_t end = std::min<int64_t>(n + inCount, total);
        if (ob.first > ob.last && ob.placed()) {
            // A row that covers no pixel: its values still count in the range.
            for (; n < end; ++n)
                if (values[n] > NoVal) TakeValue(rc, values[n]);
            continue;
        }
        for (Long c = 0; n < end; ++c, ++n) {
            const float v = values[n];
            if (v <= NoVal) continue;
            TakeValue(rc, v);
            const Band& ib = inner[static_cast<std::size_t>(c)];
            paintCell(rc, boxes, lonInner ? ib : ob, lonInner ? ob : ib, v);
        }
    }
}

// Walks every window: straight into the pixels when the picture allows it, through Line when
// the primitive log is recording or the pen is wider than a pixel.
template <class EachWindow> void walkWindows(RenderContext& rc, EachWindow eachWindow) {
    PixelBoxes boxes(rc.pic);
    if (!boxes.direct()) {
        eachWindow([&](const Axes& ax, Long order, const WalkWindow& w) {
            walkWindowByLine(rc, ax, order, w);
        });
        return;
    }
    eachWindow([&](const Axes& ax, Long order, const WalkWindow& w) {
        walkWindowBySpans(rc, boxes, ax, order, w);
    });
}

// The longitude dimension of the variable drawn (0 without a longitude/latitude order).
Long lonDimOf(const RenderContext& rc) {
    const Long order = Data.clsNC->variLonLatOrder(rc.nvar, rc.infoSlot);
    return order == 1 ? rc.nd - 1 : order == 2 ? rc.nd : 0;
}

bool sameWindow(const VArray<Long>& s1, const VArray<Long>& c1, const VArray<Long>& t1,
                const SeamWindow& w, Long nd) {
    for (Long d = 1; d <= nd; ++d)
        if (s1(d) != w.startp(d) || c1(d) != w.countp(d) || t1(d) != w.stride(d)) return false;
    return true;
}

} // namespace

float AxisAtHalfIndex(const VArray<float>& axis, Long n, int64_t h, float fallbackHalf) {
    if (h % 2 == 0 && h / 2 >= 1 && h / 2 <= n) return axis(static_cast<Long>(h / 2));
    // The grid point just below the edge (0 before the first, n past the last).
    const int64_t m = std::clamp<int64_t>((h - 1) / 2, 0, n);
    if (n < 2) return m < 1 ? axis(1) - fallbackHalf : axis(1) + fallbackHalf;
    if (m < 1) return static_cast<float>(axis(1) - (static_cast<double>(axis(2)) - axis(1)) / 2);
    if (m >= n)
        return static_cast<float>(axis(n) + (static_cast<double>(axis(n)) - axis(n - 1)) / 2);
    const Long k = static_cast<Long>(m);
    return static_cast<float>((static_cast<double>(axis(k)) + axis(k + 1)) / 2);
}

void CellHalfIndices(Long i, Long step, Long first, Long last, int64_t& lo, int64_t& hi) {
    const int64_t s = step > 0 ? step : 1;
    const int64_t at = i;
    lo = at - s < first ? 2 * int64_t{first} - 1 : 2 * at - s;
    hi = at + s > last ? 2 * int64_t{last} + 1 : 2 * at + s;
}

namespace {

// Copies n columns of each outer index, inner values a column, from column `from` of a window
// srcCols wide to column `to` of one dstCols wide (the values in the read's order, 0-based).
void copyColumns(const float* src, int64_t srcCols, int64_t from, float* dst, int64_t dstCols,
                 int64_t to, int64_t n, int64_t outer, int64_t inner) {
    for (int64_t o = 0; o < outer; ++o)
        std::copy_n(src + (o * srcCols + from) * inner, n * inner,
                    dst + (o * dstCols + to) * inner);
}

} // namespace

SeamFill FillSeamValues(const ReadWindowState& win, const SeamWindow& w, Long nd, Long lonDim,
                        const std::vector<const VArray<float>*>& from,
                        const std::vector<VArray<float>*>& into, const SeamPartRead& readPart) {
    if (lonDim < 1 || lonDim > nd || !win.startp.IsAllocated() || win.startp.UBound() != nd)
        return SeamFill::NotHeld;
    int64_t outer = 1, inner = 1;
    for (Long d = 1; d <= nd; ++d) {
        if (d == lonDim) continue;
        if (w.startp(d) != win.startp(d) || w.countp(d) != win.countp(d) ||
            w.stride(d) != win.stride(d))
            return SeamFill::NotHeld;
        (d < lonDim ? outer : inner) *= w.countp(d);
    }
    // The seam window's column k is index b + k s; the read window holds the indices a + k s.
    const int64_t s = w.stride(lonDim);
    const int64_t a = win.startp(lonDim), n = win.countp(lonDim);
    const int64_t b = w.startp(lonDim), m = w.countp(lonDim);
    if (s < 1 || win.stride(lonDim) != s || (b - a) % s != 0) return SeamFill::NotHeld;
    const int64_t at = (b - a) / s; // the read window's column of the seam window's first
    const int64_t first = std::max<int64_t>(0, -at), last = std::min(m, n - at);
    if (last <= first || outer * n * inner != win.tcount || outer * m * inner != w.tcount)
        return SeamFill::NotHeld;
    for (const VArray<float>* f : from)
        if (!f->IsAllocated() || static_cast<int64_t>(f->size()) < win.tcount)
            return SeamFill::NotHeld;

    for (std::size_t k = 0; k < into.size(); ++k) {
        into[k]->ReDimForOverwrite(1, w.tcount);
        copyColumns(from[k]->data(), n, at + first, into[k]->data(), m, first, last - first, outer,
                    inner);
    }
    // The runs of columns the read window lacks, read as windows of their own.
    std::vector<VArray<float>> parts(into.size());
    for (const auto [k0, k1] : {std::pair{int64_t{0}, first}, std::pair{last, m}}) {
        if (k1 <= k0) continue;
        VArray<Long> start = w.startp, counts = w.countp;
        start(lonDim) = static_cast<Long>(b + k0 * s);
        counts(lonDim) = static_cast<Long>(k1 - k0);
        const Long count = static_cast<Long>(outer * (k1 - k0) * inner);
        if (!readPart(start, counts, count, parts)) return SeamFill::Failed;
        for (std::size_t k = 0; k < into.size(); ++k) {
            if (static_cast<int64_t>(parts[k].size()) < count) return SeamFill::Failed;
            copyColumns(parts[k].data(), k1 - k0, 0, into[k]->data(), m, k0, k1 - k0, outer, inner);
        }
    }
    return SeamFill::Filled;
}

bool ReadGridWindows(RenderContext& rc, const WindowFailureLines& lines) {
    auto fail = [&](Long count, const VArray<Long>& start, const VArray<Long>& counts,
                    const VArray<Long>& steps) {
        ShowReadFailure(rc, rc.tag + " NetCDF Error",
                        lines ? lines(count, start, counts, steps)
                              : GridWindowLines(rc.nvar, count, rc.nd, start, counts, steps));
        return false;
    };
    ReadWindowState& win = rc.win;
    if (ReadSlice(rc, win.scalarV, win.tcount) < 0)
        return fail(win.tcount, win.startp, win.countp, win.stride);
    const Long lonDim = lonDimOf(rc);
    const SeamWindow* before = nullptr;
    for (SeamWindow& w : win.seamWindows) {
        w.read = false;
        // Windows worked out for another variable are not this one's.
        if (lonDim < 1 || !w.startp.IsAllocated() || w.startp.UBound() != rc.nd) continue;
        for (Long d = 1; d <= rc.nd; ++d)
            if (d != lonDim) w.startp(d) = win.startp(d);
        if (before && sameWindow(before->startp, before->countp, before->stride, w, rc.nd)) {
            w.values = before->values;
            w.read = true;
            continue;
        }
        // Columns the read window holds are taken from its values (a view wider than a period
        // holds whole copies); only the others go to the file.
        const SeamFill taken = FillSeamValues(
            win, w, rc.nd, lonDim, {&win.scalarV}, {&w.values},
            [&](const VArray<Long>& start, const VArray<Long>& counts, Long count,
                std::vector<VArray<float>>& parts) {
                return ReadSlice(rc, parts[0], count, start, counts, w.stride) >= 0 ||
                       fail(count, start, counts, w.stride);
            });
        if (taken == SeamFill::Failed) return false;
        if (taken == SeamFill::NotHeld &&
            ReadSlice(rc, w.values, w.tcount, w.startp, w.countp, w.stride) < 0)
            return fail(w.tcount, w.startp, w.countp, w.stride);
        w.read = true;
        before = &w;
    }
    return true;
}

void RangeGridWindows(RenderContext& rc) {
    AutoRange(rc, rc.win.scalarV, rc.win.tcount);
    for (const SeamWindow& w : rc.win.seamWindows)
        if (w.read) AutoRange(rc, w.values, w.tcount);
}

void WalkGridCells(RenderContext& rc) {
    if (rc.nd < 2) return;
    // The variable's own order: a dataset may hold variables of both orders.
    const Long order = Data.clsNC->variLonLatOrder(rc.nvar, rc.infoSlot);
    if (order != 1 && order != 2) return;
    const Axes ax = gridAxes(rc);
    const ReadWindowState& win = rc.win;
    walkWindows(rc, [&](auto&& walk) {
        walk(ax, order,
             WalkWindow{win.startp, win.countp, win.stride, win.scalarV, win.tcount, 0.0f, 1,
                        ax.nLon});
        for (const SeamWindow& w : win.seamWindows)
            if (w.read)
                walk(ax, order,
                     WalkWindow{w.startp, w.countp, w.stride, w.values, w.tcount, w.shift,
                                w.lonFirst, w.lonLast});
    });
}

bool DrawGridStep(RenderContext& rc) {
    if (!ReadGridWindows(rc)) return false;
    RangeGridWindows(rc);
    WalkGridCells(rc);
    return true;
}

void WalkGmtCells(RenderContext& rc) {
    const Long nd = rc.nd;
    if (nd < 1) return;
    const Axes ax = gridAxes(rc);
    const ReadWindowState& win = rc.win;
    const Long nLon = ax.nLon;
    const Long nLat = ax.nLat;
    // Values past the last row have no place on the grid.
    const int64_t cells = nLon > 0 && nLat > 0 ? int64_t{nLon} * nLat : 0;
    const Long first = win.startp(nd), last = win.endp(nd), step = win.stride(nd);
    if (step <= 0 || cells == 0) return;
    PixelBoxes boxes(rc.pic);
    std::vector<Band> columns, rows;
    auto walk = [&](float shift, Long lonFirst, Long lonLast) {
        if (boxes.direct()) {
            axisBands(columns, boxes, true, ax, 1, 1, nLon, shift, lonFirst, lonLast);
            axisBands(rows, boxes, false, ax, 1, 1, nLat, shift, lonFirst, lonLast);
        }
        Long i = 0, j = nLat;
        int64_t walked = 0;
        for (int64_t k = first; k <= last; k += step) {
            if (walked++ >= cells) break;
            if (++i > nLon) {
                i = 1;
                --j;
            }
            if (i < lonFirst || i > lonLast) continue;
            const float v = win.scalarV(static_cast<Long>(k));
            if (v <= NoVal) continue;
            TakeValue(rc, v);
            if (boxes.direct())
                paintCell(rc, boxes, columns[static_cast<std::size_t>(i - 1)],
                          rows[static_cast<std::size_t>(j - 1)], v);
            else
                gridCell(rc, ax, i, j, 1, 1, shift, lonFirst, lonLast, v);
        }
    };
    walk(0, 1, nLon);
    for (const GridCopy& c : GridCopiesInView(*ax.lonV, nLon))
        walk(c.shift, c.lonFirst, c.lonLast);
}
