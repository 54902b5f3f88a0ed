#include "viewer/map/ReadWindow.h"

#include "common/MinMax.h"
#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "viewer/map/GridKinds.h"
#include "viewer/map/MapGeometry.h"
#include "viewer/map/SharedState.h"

#include <cmath>
#include <new>
#include <vector>

namespace {

MemoryOrderBoxes gDefaultBoxes;
OrderBoxes* gBoxes = nullptr;

constexpr const char* kNoData = "No data in the view";

void showNoData() {
    ui().MsgBox(kNoData, kOkOnly, kProgramTitle);
}

// Rounds v to a Long, halves to even, at least 1: the default strides.
Long atLeastOne(double v) {
    return MaxL(1, CLng(v));
}

// One axis of a regular grid: the first index whose coordinate lies inside [lo, hi] searched
// from the end the axis enters the range at, then every step-th index while the coordinate
// stays inside. A descending axis enters at hi and leaves below lo.
void axisWindow(const VArray<float>& axis, Long n, float lo, float hi, bool descending, Long step,
                Long d) {
    Long j = 1;
    if (descending) {
        while (j <= n && axis(j) > hi)
            ++j;
    } else {
        while (j <= n && lo > axis(j))
            ++j;
    }
    Win.stride(d) = step;
    Win.startp(d) = j;
    Win.countp(d) = 0;
    for (Long k = j; k <= n; k += step) {
        const float v = axis(k);
        if (descending ? v < lo : v > hi) break;
        Win.countp(d) = Win.countp(d) + 1;
        Win.endp(d) = k;
    }
    if (Win.endp(d) < Win.startp(d)) {
        Win.endp(d) = Win.startp(d);
        Win.countp(d) = 1;
    }
}

// Cell lists and meshes: the index range from the first to the last point in the view.
Long pointListWindow(const MapGridKind& kind, IKelvad& nc, Long nvar, Long nNc, Long nd) {
    const ValuePoints at = PointsOfValues(kind, nc, nvar, nNc);
    if (at.lon == nullptr) return -1;
    const Long n = at.count;
    const VArray<float>& xs = *at.lon;
    const VArray<float>& ys = *at.lat;

    const ViewEdges v = CurrentViewEdges();
    Win.startp(nd) = AddL(n, 1);
    Win.endp(nd) = 0;
    Long inside = 0;
    for (Long i = 1; i <= n; ++i) {
        if (InView(v, xs(i), ys(i))) {
            ++inside;
            Win.startp(nd) = MinL(Win.startp(nd), i);
            Win.endp(nd) = MaxL(Win.endp(nd), i);
        }
    }
    if (inside == 0) {
        showNoData();
        return -1;
    }

    if (kind.points == MapPoints::Cells) {
        Win.stride(nd) = CellStrideFromBox(nd);
        if (Win.stride(nd) == 0) Win.stride(nd) = 1;
    } else {
        Win.stride(nd) = StrideFromBox(nd);
        if (Win.stride(nd) <= 0) {
            const Long span = Win.endp(nd) - Win.startp(nd);
            Win.stride(nd) = span > 1000 ? atLeastOne(span / 1000.0) : 1;
        }
    }
    Win.countp(nd) = CountSteps(Win.startp(nd), Win.endp(nd), Win.stride(nd));
    Win.tcount = WindowCount(Win.countp);
    return 1;
}

// The seam windows of a global regular grid (the read window is complete): for each copy of
// the grid that the picture shows, the read window with its own longitude entry, taking at the
// longitude stride the copy's columns whose cells reach into the picture. A copy takes the
// same columns as the grid's window (the same index modulo the stride), so that each copy
// looks like the grid a period away; phase 0 lets the first copy set them from its first
// column in the view (no column of the grid is in the view).
void buildSeamWindows(Long nd, Long order, Long nLon, Long lonStride, Long phase) {
    if ((order != 1 && order != 2) || nLon < 1) return;
    const Long lonDim = order == 1 ? nd - 1 : nd;
    const Long s = MaxL(lonStride, 1);
    const ViewEdges v = DrawnViewEdges();
    const float half = nLon > 1 ? std::fabs(Data.lonV(2) - Data.lonV(1)) / 2 : 0.0f;
    for (const GridCopy& c : GridCopiesInView(Data.lonV, nLon)) {
        auto shifted = [&](Long i) { return static_cast<float>(Data.lonV(i) + c.shift); };
        // A cell reaches half way to the next column at the stride, and half a spacing past
        // the copy's first and last columns (as the cells are drawn).
        auto westEdge = [&](Long i) {
            return i - s < c.lonFirst ? shifted(c.lonFirst) - half : shifted(i) - s * half;
        };
        auto eastEdge = [&](Long i) {
            return i + s > c.lonLast ? shifted(c.lonLast) + half : shifted(i) + s * half;
        };
        Long i = c.lonFirst;
        if (phase > 0) {
            while (i <= c.lonLast && v.W - (s + 1) * 2 * half > shifted(i))
                ++i;
            i += ((phase - i) % s + s) % s;
            while (i <= c.lonLast && eastEdge(i) <= v.W)
                i += s;
        } else {
            while (i <= c.lonLast && v.W > shifted(i))
                ++i;
            while (i - s >= c.lonFirst && eastEdge(i - s) > v.W)
                i -= s;
        }
        SeamWindow w;
        w.startp = Win.startp;
        w.endp = Win.endp;
        w.countp = Win.countp;
        w.stride = Win.stride;
        w.shift = c.shift;
        w.lonFirst = c.lonFirst;
        w.lonLast = c.lonLast;
        w.stride(lonDim) = s;
        w.startp(lonDim) = i;
        w.countp(lonDim) = 0;
        for (Long k = i; k <= c.lonLast && westEdge(k) < v.E; k += s) {
            w.countp(lonDim) = w.countp(lonDim) + 1;
            w.endp(lonDim) = k;
        }
        w.tcount = WindowCount(w.countp);
        if (w.tcount <= 0) continue; // no cell of this copy reaches into the picture
        if (phase <= 0) phase = i;
        Win.tcount2 = AddL(Win.tcount2, w.tcount);
        Win.seamWindows.push_back(std::move(w));
    }
}

// The longitude indices of the copies beyond the seam whose columns lie in the view.
std::vector<Long> copyColumnsInView(Long nLon, const ViewEdges& v) {
    std::vector<Long> out;
    for (const GridCopy& c : GridCopiesInView(Data.lonV, nLon))
        for (Long i = c.lonFirst; i <= c.lonLast; ++i) {
            const float x = static_cast<float>(Data.lonV(i) + c.shift);
            if (v.W <= x && x <= v.E) out.push_back(i);
        }
    return out;
}

Long regularGridWindow(IKelvad& nc, Long nvar, Long nNc, Long nd, Long& result) {
    if (nd < 2) return -1;
    const Long order = nc.variLonLatOrder(nvar, nNc);
    const Long nLon = nc.nLon(1);
    const Long nLat = nc.nLat(1);
    const ViewEdges v = CurrentViewEdges();
    Long xcount = 0, ycount = 0;
    for (Long i = 1; i <= nLon; ++i)
        if (v.W <= Data.lonV(i) && Data.lonV(i) <= v.E) ++xcount;
    // A view wholly over a copy beyond the seam holds data all the same.
    bool onlyCopies = false;
    if (xcount == 0) {
        xcount = static_cast<Long>(copyColumnsInView(nLon, v).size());
        onlyCopies = xcount > 0;
    }
    for (Long j = 1; j <= nLat; ++j)
        if (v.S <= Data.latV(j) && Data.latV(j) <= v.N) ++ycount;
    if (xcount <= 0 || ycount <= 0) {
        ui().MsgBox(std::string("[CalculateGridScalar]xcount <= 0 Or ycount <= 0\r\n\r\n") +
                        kNoData,
                    kOkOnly, kProgramTitle);
        return -1;
    }

    Long lonStride = order == 1 ? StrideFromBox(nd - 1) : StrideFromBox(nd);
    Long latStride = order == 1 ? StrideFromBox(nd) : StrideFromBox(nd - 1);
    if (lonStride == 0) lonStride = atLeastOne(xcount / 40.0);
    if (latStride == 0) latStride = atLeastOne(ycount / 30.0);

    // The latitude axis may run either way; the window follows it whichever dimension holds it.
    const bool descending = nLat >= 2 && Data.latV(nLat) < Data.latV(1);
    // The rows are those whose cells reach into the picture, which shows more latitudes than
    // the view (its margin, and the room a zoom-out leaves above and below the view).
    const ViewEdges drawn = DrawnViewEdges();
    float south = v.S, north = v.N;
    if (drawn.S < v.S || drawn.N > v.N) {
        const float reach = nLat > 1 ? latStride * std::fabs(Data.latV(2) - Data.latV(1)) / 2 : 0;
        south = MinS(v.S, drawn.S - reach);
        north = MaxS(v.N, drawn.N + reach);
    }
    if (order == 1) {
        axisWindow(Data.lonV, nLon, v.W, v.E, false, lonStride, nd - 1);
        axisWindow(Data.latV, nLat, south, north, descending, latStride, nd);
    } else if (order == 2) {
        axisWindow(Data.latV, nLat, south, north, descending, latStride, nd - 1);
        axisWindow(Data.lonV, nLon, v.W, v.E, false, lonStride, nd);
    }
    Win.tcount = WindowCount(Win.countp);
    result = 1;
    const Long lonDim = order == 1 ? nd - 1 : nd;
    buildSeamWindows(nd, order, nLon, lonStride, onlyCopies ? 0 : Win.startp(lonDim));
    if (onlyCopies && !Win.seamWindows.empty()) {
        // The read window takes the westernmost copy's columns: its values are read once and
        // drawn through that copy's shift, while the grid's own place lies outside the view.
        const SeamWindow& w = Win.seamWindows.front();
        Win.startp(lonDim) = w.startp(lonDim);
        Win.endp(lonDim) = w.endp(lonDim);
        Win.countp(lonDim) = w.countp(lonDim);
        Win.stride(lonDim) = w.stride(lonDim);
        Win.tcount = WindowCount(Win.countp);
    }
    return 1;
}

Long boundaryFittedWindow(IKelvad& nc, Long nvar, Long nNc, Long nd) {
    if (nd < 2) return -1;
    // The variable's own order tells which of its last two dimensions runs over j: a dataset
    // may hold variables of both orders. One without a horizontal pair goes by the dataset's.
    Long order = nc.variLonLatOrder(nvar, nNc);
    if (order != 1 && order != 2) order = nc.lonlatOrder(1);
    if (order == 4) order = 1; // "gridi" first: the same layout as order 1
    const Long iMax = nc.iMax(1);
    const Long jMax = nc.jMax(1);
    const Long coordOrder = BfgdCoordsOrder(1);
    const bool jFirst = order == 2; // dimension nd - 1 runs over j
    const bool known = (order == 1 || order == 2) && (coordOrder == 1 || coordOrder == 2);
    const bool coordsJFirst = known && BfgdCoordsJFirst(coordOrder, iMax, jMax);
    Win.startp(nd - 1) = AddL(jFirst ? jMax : iMax, 1);
    Win.startp(nd) = AddL(jFirst ? iMax : jMax, 1);
    Win.endp(nd - 1) = 0;
    Win.endp(nd) = 0;
    Long inside = 0;
    if (known) {
        const ViewEdges v = CurrentViewEdges();
        for (Long j = 1; j <= jMax; ++j) {
            for (Long i = 1; i <= iMax; ++i) {
                const Long a = jFirst ? j : i;
                const Long b = jFirst ? i : j;
                const float lon = coordsJFirst ? Data.lonV(j, i) : Data.lonV(i, j);
                const float lat = coordsJFirst ? Data.latV(j, i) : Data.latV(i, j);
                if (InView(v, lon, lat)) {
                    ++inside;
                    Win.startp(nd - 1) = MinL(Win.startp(nd - 1), a);
                    Win.endp(nd - 1) = MaxL(Win.endp(nd - 1), a);
                    Win.startp(nd) = MinL(Win.startp(nd), b);
                    Win.endp(nd) = MaxL(Win.endp(nd), b);
                }
            }
        }
    }
    if (inside == 0) {
        showNoData();
        return -1;
    }
    Win.stride(nd) = StrideFromBox(nd);
    Win.stride(nd - 1) = StrideFromBox(nd - 1);
    for (Long d : {nd, nd - 1}) {
        if (Win.stride(d) <= 0) {
            const Long span = Win.endp(d) - Win.startp(d);
            Win.stride(d) = span > 50 ? atLeastOne(span / 50.0) : 1;
        }
    }
    Win.countp(nd) = CountSteps(Win.startp(nd), Win.endp(nd), Win.stride(nd));
    Win.countp(nd - 1) = CountSteps(Win.startp(nd - 1), Win.endp(nd - 1), Win.stride(nd - 1));
    Win.tcount = WindowCount(Win.countp);
    return 1;
}

Long gmtWindow(IKelvad& nc, Long nd) {
    const Long n = nc.nXysize(1);
    Win.endp(nd) = n;
    Win.countp(nd) = n;
    Win.stride(nd) = 1;
    Win.tcount = WindowCount(Win.countp);
    return 1;
}

} // namespace

OrderBoxes& orderBoxes() {
    return gBoxes ? *gBoxes : gDefaultBoxes;
}

OrderBoxes* setOrderBoxes(OrderBoxes* boxes) {
    OrderBoxes* old = gBoxes ? gBoxes : &gDefaultBoxes;
    gBoxes = boxes;
    return old;
}

MemoryOrderBoxes& defaultOrderBoxes() {
    return gDefaultBoxes;
}

double StrideBoxValue(Long d) {
    return Val(orderBoxes().StrideText(d));
}

Long StrideFromBox(Long d) {
    const double v = StrideBoxValue(d);
    return v > 0 ? CLng(v) : 0;
}

Long CellStrideFromBox(Long d) {
    return CLng(StrideBoxValue(d));
}

Long CountSteps(Long start, Long end, Long step) {
    if (step > 0) return end < start ? 0 : (end - start) / step + 1;
    if (step < 0) return start < end ? 0 : (start - end) / -static_cast<int64_t>(step) + 1;
    return start == end ? 1 : 0;
}

void ResetReadWindow(Long nd) {
    for (VArray<Long>* a : {&Win.startp, &Win.endp, &Win.countp, &Win.stride}) {
        if (nd < 1) {
            a->Erase();
            continue;
        }
        a->ReDim(1, nd);
        for (Long d = 1; d <= nd; ++d)
            (*a)(d) = 1;
    }
    Win.seamWindows.clear();
    Win.tcount2 = 0;
}

Long WindowCount(const VArray<Long>& counts) {
    if (!counts.IsAllocated()) return 0;
    Long n = 1;
    for (Long d = counts.LBound(); d <= counts.UBound(); ++d)
        n = MulL(n, counts(d));
    return n;
}

void PointListWindow(const MapGridKind& kind, IKelvad& nc, Long nvar, Long nNc, Long nd,
                     Long& result) {
    result = pointListWindow(kind, nc, nvar, nNc, nd);
}

void RegularGridWindow(const MapGridKind&, IKelvad& nc, Long nvar, Long nNc, Long nd,
                       Long& result) {
    // The result turns 1 before the seam window is built: an error there leaves the read window
    // usable.
    regularGridWindow(nc, nvar, nNc, nd, result);
}

void BoundaryFittedWindow(const MapGridKind&, IKelvad& nc, Long nvar, Long nNc, Long nd,
                          Long& result) {
    result = boundaryFittedWindow(nc, nvar, nNc, nd);
}

void GmtWindow(const MapGridKind&, IKelvad& nc, Long, Long, Long nd, Long& result) {
    result = gmtWindow(nc, nd);
}

void WholeVariableWindow(const MapGridKind&, IKelvad& nc, Long nvar, Long nNc, Long, Long& result) {
    if (nc.variLonLatOrder(nvar, nNc) <= 0) {
        Win.tcount = WindowCount(Win.countp);
        result = 1;
    }
}

Long CalculateGridScalar(Long nvar, Long nNc) {
    Long result = -1;
    if (Data.clsNC == nullptr) return result;
    IKelvad& nc = *Data.clsNC;
    try {
        const Long nd = nc.variNarray(nvar, nNc);
        ResetReadWindow(nd);
        if (nd < 1) return result;
        Win.tcount = 1;
        const MapGridKind& kind = MapKindOf(nc.GridType(1));
        kind.readWindow(kind, nc, nvar, nNc, nd, result);
    } catch (const RuntimeError& e) {
        ui().MsgBox("[CalculateGridScalar] Error(# " + std::to_string(e.number()) + "):\r\n\r\n\"" +
                        e.description() + "\"",
                    kOkOnly, kProgramTitle);
    } catch (const std::bad_alloc&) {
        ui().MsgBox("[CalculateGridScalar] Error(# 7):\r\n\r\n\"" + ErrorText(7) + "\"", kOkOnly,
                    kProgramTitle);
    }
    return result;
}
