#include "viewer/map/VectorWalks.h"

#include "common/MinMax.h"
#include "common/Strings.h"
#include "common/Ui.h"
#include "gui/Picture.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Color.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "viewer/map/DrawCost.h"
#include "viewer/map/MapGeometry.h"
#include "viewer/map/MapPositions.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/VectorStages.h"
#include "viewer/map/Vectors.h"

#include <cmath>

namespace {

// The half circles that mark the grid's edges: from and to in radians, counter-clockwise.
constexpr double kHalfTurn = 3.1415926;
constexpr double kQuarterTurn = 3.1415926 / 2;
constexpr double kThreeQuarterTurn = 9.4247778 / 2;
constexpr double kEdgeRadius = 10;
constexpr double kWindowRadius = 2;

bool holds(const VArray<float>& a, Long k) {
    return a.IsAllocated() && k >= a.LBound() && k <= a.UBound();
}

bool holds2(const VArray<float>& a, Long p, Long q) {
    return a.IsAllocated() && a.Rank() == 2 && p >= a.LBound(1) && p <= a.UBound(1) &&
           q >= a.LBound(2) && q <= a.UBound(2);
}

// A point's place in the picture, for the device calls; false when it has none.
bool devicePoint(RenderContext& rc, float lon, float lat, Long& px, Long& py) {
    if (!PositionKnown(lon, lat)) return false;
    float x = 0, y = 0;
    if (!MapPoint(rc, lon, lat, x, y)) return false;
    px = rc.pic.toPixel(x);
    py = rc.pic.toPixel(y);
    return true;
}

bool isDirection(const std::string& unit) {
    const std::string head = UCase(unit.substr(0, 3));
    return head == "(DE" || head == "DEG";
}

} // namespace

// ---- Point lists -------------------------------------------------------------------------------

void WalkListArrows(RenderContext& rc, VectorFrame& vf, const VArray<float>& lon,
                    const VArray<float>& lat, MissingPoint missing) {
    const Long nd = vf.nd;
    ReadWindowState& w = rc.win;
    if (nd < 1 || !w.uV.IsAllocated() || !w.vV.IsAllocated()) return;
    const Long count = MinL(w.countp(nd), MinL(w.uV.UBound(), w.vV.UBound()));
    const Long first = w.startp(nd), step = w.stride(nd);
    for (Long n = 1; n <= count; ++n) {
        const int64_t index = first + int64_t{n - 1} * step;
        if (index < 1 || index > 2147483647) break;
        const Long k = static_cast<Long>(index);
        if (vf.listIndexShown) vf.walkJ = k;
        // Values of points that the position arrays do not hold have no place on the map.
        if (!holds(lon, k) || !holds(lat, k)) continue;
        float& u = w.uV(n);
        float& v = w.vV(n);
        if (u <= NoVal || v <= NoVal) {
            Long px = 0, py = 0;
            if (missing == MissingPoint::Mark && devicePoint(rc, lon(k), lat(k), px, py))
                SetPixelV(rc.pic, px, py, QBColor(12));
            continue;
        }
        PairArrow(rc, vf, u, v, lon(k), lat(k));
    }
}

bool DrawListArrowsStep(RenderContext& rc, VectorFrame& vf, const VArray<float>* lon,
                        const VArray<float>* lat, MissingPoint missing) {
    const PairRead r = ReadPair(rc, vf);
    if (r.failed()) {
        ShowPairReadFailure(rc, vf);
        return false;
    }
    if (r.drawable() && lon && lat) WalkListArrows(rc, vf, *lon, *lat, missing);
    return true;
}

void FinishPairFrame(RenderContext& rc, const VectorFrame& vf) {
    if (Coast.CoastFlag == 1) DrawCoast(rc.pic);
    ui().DoEvents();
    VectorFooter(rc, vf);
    EndRender(rc);
}

bool DrawCellArrowsStep(RenderContext& rc, VectorFrame& vf, MissingPoint missing) {
    const MovingRows rows = MovingRowsOf(rc);
    if (rows.pos == 0)
        return DrawListArrowsStep(rc, vf, &rc.coords.lonV, &rc.coords.latV, missing);
    const Long kept = rc.win.startp(rows.pos);
    VArray<float> lon, lat;
    bool ok = true;
    for (Long i = 0; ok && i < rows.count; ++i) {
        const Long row = rows.first + i;
        if (rows.pos != rc.timePos) rc.win.startp(rows.pos) = row;
        const bool placed = RowPositions(row, lon, lat);
        ok = DrawListArrowsStep(rc, vf, placed ? &lon : nullptr, placed ? &lat : nullptr, missing);
    }
    rc.win.startp(rows.pos) = kept;
    return ok;
}

Long AnimateListSteps(RenderContext& rc, VectorFrame& vf, const ListStep& step, Long timeStride) {
    FindTimeAndLevel(rc);
    PinLevel(rc, Data.CurLevel);
    TimeLoopOptions options;
    options.timeStride = timeStride;
    const Long last = TimeLoop(
        rc, [&](RenderContext& r, Long) { return step(r); }, options);
    if (last < 0) return -1;
    VectorFooter(rc, vf);
    EndRender(rc);
    return last;
}

Long AnimateListArrows(RenderContext& rc, VectorFrame& vf, const VArray<float>* lon,
                       const VArray<float>* lat, Long timeStride) {
    return AnimateListSteps(
        rc, vf,
        [&](RenderContext& r) { return DrawListArrowsStep(r, vf, lon, lat, MissingPoint::Skip); },
        timeStride);
}

// ---- Boundary-fitted grid ---------------------------------------------------------------------

bool BfgdNodes::at(Long i, Long j, float& lon, float& lat) const {
    const Long p = coordsJFirst ? j : i;
    const Long q = coordsJFirst ? i : j;
    const VArray<float>& lonV = coords->lonV;
    const VArray<float>& latV = coords->latV;
    if (!holds2(lonV, p, q) || !holds2(latV, p, q)) return false;
    lon = lonV(p, q);
    lat = latV(p, q);
    return PositionKnown(lon, lat);
}

BfgdNodes BfgdNodesOf(const RenderContext& rc, const VectorFrame& vf) {
    BfgdNodes g;
    g.win = &rc.win;
    g.coords = &rc.coords;
    // As the read window took it: u's own order, else the dataset's.
    Long order = vf.order;
    if (order != 1 && order != 2) order = Data.clsNC->lonlatOrder(Data.nNcMain);
    if (order == 4) order = 1; // "gridi" first: the same layout as order 1
    g.valid = order == 1 || order == 2;
    g.aIsI = order == 1;
    g.iMax = Data.clsNC->iMax(Data.nNcMain);
    g.jMax = Data.clsNC->jMax(Data.nNcMain);
    g.coordsJFirst = BfgdCoordsJFirst(BfgdCoordsOrder(Data.nNcMain), g.iMax, g.jMax);
    return g;
}

void BfgdNodeMarks(RenderContext& rc, const BfgdNodes& g) {
    Picture& pic = rc.pic;
    for (Long i = 1; i <= g.iMax; ++i) {
        for (Long j = 1; j <= g.jMax; ++j) {
            float lon = 0, lat = 0, x = 0, y = 0;
            if (!g.at(i, j, lon, lat) || !MapPoint(rc, lon, lat, x, y)) continue;
            SetPixelV(pic, pic.toPixel(x), pic.toPixel(y), QBColor(0));
            if (i == 1) pic.Circle(x, y, kEdgeRadius, QBColor(12), kQuarterTurn, kThreeQuarterTurn);
            if (i == g.iMax)
                pic.Circle(x, y, kEdgeRadius, QBColor(10), kThreeQuarterTurn, kQuarterTurn);
            if (j == 1) pic.Circle(x, y, kEdgeRadius, QBColor(9), kHalfTurn, 0.0);
            if (j == g.jMax) pic.Circle(x, y, kEdgeRadius, QBColor(11), 0.0, kHalfTurn);
        }
    }
    ForEachWindowNode(g, rc.nd, 2147483647, [&](Long, Long i, Long j) {
        float lon = 0, lat = 0, x = 0, y = 0;
        if (g.at(i, j, lon, lat) && MapPoint(rc, lon, lat, x, y))
            pic.Circle(x, y, kWindowRadius, QBColor(9));
    });
}

PairKind BfgdPairLegend(VectorFrame& vf) {
    PairLegend(vf, kKindZeroMagnitude);
    if (vf.kind != 0) return PairKind::Components;
    PairKind kind = PairKind::Components;
    // Speeds and directions come from two files; items of one file are always components.
    if (vf.uSlot != vf.vSlot) {
        if (isDirection(vf.uUnit)) kind = PairKind::DirectionSpeed;
        if (isDirection(vf.vUnit)) kind = PairKind::SpeedDirection;
    }
    const std::string& speedUnit = kind == PairKind::DirectionSpeed ? vf.vUnit : vf.uUnit;
    vf.refMagnitude = kKindZeroMagnitude;
    vf.unitFactor = 1;
    vf.label = CStr(kKindZeroMagnitude) + " " + Trim(speedUnit);
    return kind;
}

void SpeedDirectionToUV(float s, float d, float& u, float& v) {
    const double alpha = (90 - d) * kDegToRad;
    u = static_cast<float>(-s * std::cos(alpha));
    v = static_cast<float>(-s * std::sin(alpha));
}

void PeriodSums::Start(Long n) {
    u.ReDim(1, MaxL(1, n));
    v.ReDim(1, MaxL(1, n));
    count.ReDim(1, MaxL(1, n));
}

void WalkBfgdArrows(RenderContext& rc, VectorFrame& vf, const BfgdNodes& g, PairKind kind,
                    float& speed2Max, PeriodSums* sums) {
    ReadWindowState& w = rc.win;
    if (!w.uV.IsAllocated() || !w.vV.IsAllocated()) return;
    Long limit = MinL(w.uV.UBound(), w.vV.UBound());
    if (sums) limit = MinL(limit, sums->count.UBound());
    // The arrows of pairs turned into components are drawn as they come out.
    VectorFrame asIs = vf;
    asIs.unitFactor = 1;
    ForEachWindowNode(g, vf.nd, limit, [&](Long k, Long i, Long j) {
        vf.walkI = i;
        vf.walkJ = j;
        float& a = w.uV(k);
        float& b = w.vV(k);
        if (a <= NoVal || b <= NoVal) return;
        float lon = 0, lat = 0;
        const bool placed = g.at(i, j, lon, lat);
        float u = 0, v = 0;
        if (kind == PairKind::Components) {
            a *= vf.unitFactor;
            b *= vf.unitFactor;
            u = a;
            v = b;
        } else if (kind == PairKind::DirectionSpeed) {
            SpeedDirectionToUV(b * vf.unitFactor, a, u, v);
        } else {
            SpeedDirectionToUV(a * vf.unitFactor, b, u, v);
        }
        const float s2 = u * u + v * v;
        speed2Max = MaxS(speed2Max, s2);
        if (sums && s2 > 0) {
            sums->u(k) += u;
            sums->v(k) += v;
            sums->count(k) += 1;
        }
        if (placed) PairArrow(rc, asIs, u, v, lon, lat);
    });
}

void SpeedRangeLine(RenderContext& rc, float speed2Max) {
    const std::string line = "/Speed Range/ 0 to " + Str(std::sqrt(speed2Max));
    rc.pic.setCurrentX(1);
    rc.pic.setCurrentY(static_cast<float>(rc.height) - rc.pic.TextHeight(line));
    rc.pic.Print(line);
}
