// The walks of the scalar maps over their cells: the cells of a point list, the cells of the
// boundary-fitted grid between its nodes, and the read window of a whole point list.
#include "viewer/map/RenderStages.h"

#include "common/Ui.h"
#include "gui/Picture.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Convert.h"
#include "viewer/map/CScale.h"
#include "viewer/map/MapGeometry.h"
#include "viewer/map/MapPositions.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// A picture position to a device point, halves to even.
Long toDevice(float v) {
    return CLng(static_cast<double>(v));
}

} // namespace

bool MapPoint(RenderContext& rc, float lon, float lat, float& x, float& y) {
    // A coordinate that is no number has no place on the map: skipped, and not a refusal.
    if (!std::isfinite(lon) || !std::isfinite(lat)) return false;
    if (ll2_to_xy2Quiet(rc.view, lon, lat, x, y) == 0) return true;
    CountRefusal(rc);
    return false;
}

void CountRefusal(RenderContext& rc) {
    if (rc.transformFailures++ == 0)
        ui().MsgBox("[rad_to_xy] rad_to_xy returned -1", kOkOnly, kProgramTitle);
}

void WalkPointCells(RenderContext& rc, const VArray<float>& lon, const VArray<float>& lat,
                    Long count, const VArray<float>& values, Long firstValue, Long valueStep) {
    PixelBoxes boxes(rc.pic);
    Long idx = firstValue;
    for (Long k = 1; k <= count; ++k, idx += valueStep) {
        const float v = values(idx);
        if (v <= NoVal) continue;
        TakeValue(rc, v);
        if (!PositionKnown(lon(k), lat(k))) continue; // a land point's fill: no box
        float x = 0, y = 0;
        if (!MapPoint(rc, lon(k), lat(k), x, y)) continue;
        if (!boxes.direct()) {
            rc.pic.Line(x - 1, y - 1, x + 1, y + 1, ValueToColor(rc.scale, v), LineFlag::BF);
            continue;
        }
        int x0 = 0, x1 = -1, y0 = 0, y1 = -1;
        boxes.columns(x - 1, x + 1, x0, x1);
        boxes.rows(y - 1, y + 1, y0, y1);
        if (x0 <= x1 && y0 <= y1) boxes.fill(x0, y0, x1, y1, ValueToColor(rc.scale, v));
    }
}

namespace {

bool samePoint(const PointApi& a, const PointApi& b) {
    return a.x == b.x && a.y == b.y;
}

// The quadrilateral of the corners pts[1 .. 4], closed, filled and outlined in color.
void fillCell(Picture& pic, PointApi (&pts)[5], Long color) {
    pts[0] = pts[1];
    pic.setFillColor(color);
    pic.setForeColor(color);
    Polygon(pic, pts, 5);
}

// One quadrilateral of the boundary-fitted grid, its corners kept on one side of the seam, at
// its own place and at each other copy that the view shows. A corner the transform refuses
// takes that copy with it.
void drawBfgdCell(RenderContext& rc, float (&lons)[4], const float (&lats)[4], Long color,
                  const ViewEdges& view, float period, PointApi (&pts)[5]) {
    float lo = 0, hi = 0;
    KeepWhole(lons, 4, period, lo, hi);
    const LonCopies copies = CopiesInView(lo, hi, view.W, view.E, period);
    for (int n = 0; n < copies.count; ++n) {
        bool ok = true;
        for (int c = 0; c < 4 && ok; ++c) {
            float x = 0, y = 0;
            ok = MapPoint(rc, lons[c] + copies.shift[n], lats[c], x, y);
            pts[c + 1] = {toDevice(x), toDevice(y)};
        }
        if (ok) fillCell(rc.pic, pts, color);
    }
}

} // namespace

namespace {

// The corners of the boundary-fitted walk, each transformed once per drawing (a node is a
// corner of up to four cells): the walk's own indices along a and b, the corner one step on
// from the last included, and each node's device point.
class BfgdNodes {
public:
    enum State : unsigned char { Placed, Unknown, Refused };

    BfgdNodes(const RenderContext& rc, Long aStart, Long aEnd, Long aStep, Long aLimit,
              bool aCloses, Long bStart, Long bEnd, Long bStep, Long bLimit, bool bCloses,
              bool swapped) {
        axis(as_, aStart, aEnd, aStep, aLimit, aCloses);
        axis(bs_, bStart, bEnd, bStep, bLimit, bCloses);
        const std::size_t nb = bs_.size();
        at_.resize(as_.size() * nb);
        state_.resize(at_.size());
        for (std::size_t ia = 0; ia < as_.size(); ++ia)
            for (std::size_t ib = 0; ib < nb; ++ib) {
                const Long p = swapped ? bs_[ib] : as_[ia];
                const Long q = swapped ? as_[ia] : bs_[ib];
                const float lon = rc.coords.lonV(p, q), lat = rc.coords.latV(p, q);
                float x = 0, y = 0;
                State& st = state_[ia * nb + ib];
                if (!PositionKnown(lon, lat))
                    st = Unknown;
                else if (ll2_to_xy2Quiet(rc.view, lon, lat, x, y) != 0)
                    st = Refused;
                else
                    at_[ia * nb + ib] = {toDevice(x), toDevice(y)};
            }
    }
    // The node of the walk's ia-th index along a and ib-th along b.
    std::size_t node(std::size_t ia, std::size_t ib) const { return ia * bs_.size() + ib; }
    const PointApi& at(std::size_t n) const { return at_[n]; }
    State state(std::size_t n) const { return state_[n]; }

private:
    static void axis(std::vector<Long>& out, Long start, Long end, Long step, Long limit,
                     bool closes) {
        out.clear();
        for (Long a = start; a <= end; a += step)
            out.push_back(a);
        if (!out.empty()) out.push_back(BfgdNextNode(out.back(), step, limit, closes));
    }
    std::vector<Long> as_, bs_;
    std::vector<PointApi> at_;
    std::vector<State> state_;
};

// A cell between four transformed nodes (pts[1..4]).
void fillNodeCell(RenderContext& rc, PixelBoxes& boxes, PointApi (&pts)[5], Long color) {
    if (boxes.direct() && rc.pic.DrawStyle() != kDrawInvisible && samePoint(pts[1], pts[2]) &&
        samePoint(pts[1], pts[3]) && samePoint(pts[1], pts[4])) {
        // A cell within one pixel: the polygon would draw just that pixel.
        rc.pic.setFillColor(color);
        rc.pic.setForeColor(color);
        boxes.fill(pts[1].x, pts[1].y, pts[1].x, pts[1].y, color);
        return;
    }
    fillCell(rc.pic, pts, color);
}

// Whether every corner of a cell has a node (none on land without coordinates), and whether
// the transform refused one.
struct CornerStates {
    bool known = true;
    bool refused = false;
};
CornerStates cornerStates(const BfgdNodes& nodes, const std::size_t (&corner)[4]) {
    CornerStates states;
    for (std::size_t n : corner) {
        states.known = states.known && nodes.state(n) != BfgdNodes::Unknown;
        states.refused = states.refused || nodes.state(n) == BfgdNodes::Refused;
    }
    return states;
}

// The positions of a cell's corners (a, b indices, the coordinates indexed (b, a) when swapped).
void cellCorners(const DatasetState& coords, bool swapped, const Long (&ca)[4], const Long (&cb)[4],
                 float* lons, float* lats) {
    for (int c = 0; c < 4; ++c) {
        const Long p = swapped ? cb[c] : ca[c];
        const Long q = swapped ? ca[c] : cb[c];
        lons[c] = coords.lonV(p, q);
        lats[c] = coords.latV(p, q);
    }
}

} // namespace

void WalkBfgdCells(RenderContext& rc, Long varOrder, bool coordsJFirst, Long iMax, Long jMax,
                   Long& i, Long& j) {
    if (varOrder == 4) varOrder = 1; // "gridi" first: the same layout as order 1
    if (varOrder != 1 && varOrder != 2) return;
    const Long nd = rc.nd;
    if (nd < 2) return;
    const bool aIsI = varOrder == 1; // dimension nd - 1 runs over i
    // The coordinates are indexed (b, a) when their first index runs along dimension nd.
    const bool swapped = coordsJFirst == aIsI;
    const Long aLimit = aIsI ? iMax : jMax;
    const Long bLimit = aIsI ? jMax : iMax;
    const ReadWindowState& w = rc.win;
    const VArray<float>& lonV = rc.coords.lonV;
    const VArray<float>& latV = rc.coords.latV;
    const Long aStart = w.startp(nd - 1), aEnd = w.endp(nd - 1), aStep = w.stride(nd - 1);
    const Long bStart = w.startp(nd), bEnd = w.endp(nd), bStep = w.stride(nd);
    if (aStep <= 0 || bStep <= 0) return;
    const ViewEdges view = DrawnViewEdges();
    const float period = MapLonPeriod();
    // A global grid whose last column meets its first: the last cells reach the first nodes.
    auto closes = [&](Long count, Long lines, bool alongA) {
        return LinesCloseUp(count, lines, [&](Long k, Long line, float& lon, float& lat) {
            const Long a = alongA ? k : line, b = alongA ? line : k;
            lon = swapped ? lonV(b, a) : lonV(a, b);
            lat = swapped ? latV(b, a) : latV(a, b);
        });
    };
    const bool aCloses = closes(aLimit, bLimit, true);
    const bool bCloses = closes(bLimit, aLimit, false);
    const BfgdNodes nodes(rc, aStart, aEnd, aStep, aLimit, aCloses, bStart, bEnd, bStep, bLimit,
                          bCloses, swapped);
    PixelBoxes boxes(rc.pic);
    PointApi pts[5];
    Long k = 0;
    std::size_t ia = 0;
    for (Long a = aStart; a <= aEnd; a += aStep, ++ia) {
        std::size_t ib = 0;
        for (Long b = bStart; b <= bEnd; b += bStep, ++ib) {
            (aIsI ? i : j) = a;
            (aIsI ? j : i) = b;
            const float v = w.scalarV(++k);
            if (v <= NoVal) continue;
            TakeValue(rc, v);
            const std::size_t corner[4] = {nodes.node(ia, ib), nodes.node(ia + 1, ib),
                                           nodes.node(ia + 1, ib + 1), nodes.node(ia, ib + 1)};
            const CornerStates states = cornerStates(nodes, corner);
            if (!states.known) continue; // a corner on land without coordinates
            const Long a2 = BfgdNextNode(a, aStep, aLimit, aCloses);
            const Long b2 = BfgdNextNode(b, bStep, bLimit, bCloses);
            const Long ca[4] = {a, a2, a2, a};
            const Long cb[4] = {b, b, b2, b2};
            float lons[4], lats[4], kept[4];
            cellCorners(rc.coords, swapped, ca, cb, lons, lats);
            std::copy(lons, lons + 4, kept);
            float lo = 0, hi = 0;
            KeepWhole(kept, 4, period, lo, hi);
            const LonCopies copies = CopiesInView(lo, hi, view.W, view.E, period);
            const bool asTransformed =
                copies.count == 1 && copies.shift[0] == 0 && std::equal(lons, lons + 4, kept);
            if (!asTransformed) {
                // Across the seam, or at another copy: moved corners are transformed afresh.
                drawBfgdCell(rc, lons, lats, ValueToColor(rc.scale, v), view, period, pts);
                continue;
            }
            if (states.refused) {
                CountRefusal(rc);
                continue;
            }
            for (int c = 0; c < 4; ++c)
                pts[c + 1] = nodes.at(corner[c]);
            fillNodeCell(rc, boxes, pts, ValueToColor(rc.scale, v));
        }
    }
}

MovingRows MovingRowsOf(const RenderContext& rc) {
    MovingRows rows;
    const Long did = Data.clsNC->MovingdId(Data.nNcMain);
    if (did < 0) return rows;
    rows.pos = Data.clsNC->indexOfDID(rc.nvar, did, rc.infoSlot);
    if (rows.pos <= 0) return MovingRows{};
    if (rows.pos == rc.timePos) {
        rows.first = rc.step;
    } else {
        rows.first = 1;
        rows.count = Data.clsNC->dimeSize(did + 1, Data.nNcMain);
    }
    return rows;
}

bool RowPositions(Long row, VArray<float>& lon, VArray<float>& lat) {
    return Data.clsNC->FillLonLatAt(lon, lat, row, View.Projection == 1, Data.nNcMain) > 0;
}

void WholeListWindow(RenderContext& rc, Long count) {
    for (VArray<Long>* arr : {&rc.win.startp, &rc.win.countp, &rc.win.stride}) {
        if (rc.nd < 1) {
            arr->Erase();
            continue;
        }
        arr->ReDim(1, rc.nd);
        for (Long d = 1; d <= rc.nd; ++d)
            (*arr)(d) = 1;
    }
    if (rc.nd >= 1) rc.win.countp(rc.nd) = count;
}
