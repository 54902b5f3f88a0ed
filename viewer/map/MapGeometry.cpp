#include "viewer/map/MapGeometry.h"

#include "common/MinMax.h"
#include "kelvadlib/IKelvad.h"
#include "viewer/map/MapPositions.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"

#include <cmath>

namespace {

// Copies of a global grid drawn on each side at most.
constexpr Long kMaxCopies = 64;

} // namespace

Long BfgdCoordsOrder(Long nNc) {
    if (Data.clsNC == nullptr) return 0;
    const Long order = Data.clsNC->lonlatOrder(nNc);
    if (order == 1 || order == 4) return 1;
    if (order == 2) return 2;
    if (order != 3) return 0;
    const Long lonOrder = Data.clsNC->variLonLatOrder(Data.clsNC->lonvId(nNc), nNc);
    return lonOrder == 1 || lonOrder == 2 ? lonOrder : 0;
}

bool BfgdCoordsJFirst(Long coordsOrder, Long iMax, Long jMax) {
    if (Data.lonV.Rank() == 2) {
        const bool iFirst = Data.lonV.UBound(1) == iMax && Data.lonV.UBound(2) == jMax;
        const bool jFirst = Data.lonV.UBound(1) == jMax && Data.lonV.UBound(2) == iMax;
        if (iFirst != jFirst) return jFirst;
    }
    return coordsOrder == 2;
}

bool LinesCloseUp(Long count, Long lines, const LineNode& node) {
    if (count < 3 || lines < 1) return false;
    const float period = MapLonPeriod();
    bool any = false;
    for (Long line = 1; line <= lines; ++line) {
        float lon0 = 0, lat0 = 0, lon1 = 0, lat1 = 0, lon2 = 0, lat2 = 0;
        node(count - 1, line, lon0, lat0);
        node(count, line, lon1, lat1);
        node(1, line, lon2, lat2);
        if (!PositionKnown(lon0, lat0) || !PositionKnown(lon1, lat1) ||
            !PositionKnown(lon2, lat2))
            continue;
        const double ax = NearestCopy(lon1, lon0, period) - lon0, ay = lat1 - lat0;
        const double bx = NearestCopy(lon2, lon1, period) - lon1, by = lat2 - lat1;
        const double a2 = ax * ax + ay * ay, b2 = bx * bx + by * by;
        if (!(a2 > 0) || ax * bx + ay * by <= 0 || b2 > 2.25 * a2) return false;
        any = true;
    }
    return any;
}

ViewEdges CurrentViewEdges() {
    return {static_cast<float>(View.ViewExtent.West), static_cast<float>(View.ViewExtent.East),
            static_cast<float>(View.ViewExtent.South), static_cast<float>(View.ViewExtent.North)};
}

ViewEdges DrawnViewEdges() {
    ViewEdges v = CurrentViewEdges();
    double west = 0, east = 0;
    if (PictureLonEdges(west, east)) {
        v.W = MinS(v.W, static_cast<float>(west));
        v.E = MaxS(v.E, static_cast<float>(east));
    }
    double south = 0, north = 0;
    if (PictureLatEdges(south, north)) {
        v.S = MinS(v.S, static_cast<float>(south));
        v.N = MaxS(v.N, static_cast<float>(north));
    }
    return v;
}

std::vector<GridCopy> GridCopiesInView(const VArray<float>& lon, Long nLon) {
    std::vector<GridCopy> out;
    if (nLon < 1) return out;
    double west = Data.DataExtent.West, east = Data.DataExtent.East;
    if (View.Projection == 1) {
        west /= kDegToRad;
        east /= kDegToRad;
    }
    const float period = View.LonPeriod;
    if (east - west < 300 || !(period > 0)) return out;

    // A column within a hundredth of a spacing of the first one period on repeats it.
    const float tol = nLon > 1 ? std::fabs(lon(nLon) - lon(nLon - 1)) / 100 : 0.0f;
    Long westLast = nLon;
    while (westLast > 1 && lon(westLast) >= lon(1) + period - tol)
        --westLast;
    Long eastFirst = 1;
    while (eastFirst < nLon && lon(eastFirst) <= lon(nLon) - period + tol)
        ++eastFirst;

    // A copy covers its columns and half a spacing beyond its first and last.
    const float half = nLon > 1 ? std::fabs(lon(2) - lon(1)) / 2 : 0.0f;
    const ViewEdges v = DrawnViewEdges();
    auto at = [](float x, float shift) { return static_cast<float>(x + shift); };
    // West of the grid: k = -1, -2, ... until a copy lies wholly west of the picture. A view
    // stretched past all sense stops at kMaxCopies on each side.
    for (Long k = -1; k >= -kMaxCopies; --k) {
        const float shift = static_cast<float>(k * static_cast<double>(period));
        if (at(lon(westLast), shift) + half <= v.W) break;
        if (at(lon(1), shift) - half < v.E) out.insert(out.begin(), {k, shift, 1, westLast});
    }
    for (Long k = 1; k <= kMaxCopies; ++k) {
        const float shift = static_cast<float>(k * static_cast<double>(period));
        if (at(lon(eastFirst), shift) - half >= v.E) break;
        if (at(lon(nLon), shift) + half > v.W) out.push_back({k, shift, eastFirst, nLon});
    }
    return out;
}
