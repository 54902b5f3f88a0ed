#include "viewer/map/VectorStages.h"

#include "common/Strings.h"
#include "common/Ui.h"
#include "gui/Picture.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "viewer/map/GridCells.h"
#include "viewer/map/MapGeometry.h"
#include "viewer/map/Options.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/Vectors.h"

#include <cmath>
#include <limits>

namespace {

Long slotOf(const PickItem& pick) {
    return pick.datasetIndex < 1 ? 1 : pick.datasetIndex;
}

Long readCount(const Variant& r) {
    return r.IsEmpty() ? 0 : r.toLong();
}

// Whether any of the values read is one (above NoVal), as a read's count of values tells.
bool anyValue(const VArray<float>& values) {
    for (const float x : values)
        if (x > NoVal) return true;
    return false;
}

// A window of the regular grid as the arrow walk takes it.
struct ArrowWindow {
    const VArray<Long>& start;
    const VArray<Long>& count;
    const VArray<Long>& step;
    VArray<float>& u;
    VArray<float>& v;
    Long total;
    float shift;
};

// The walk takes exactly the indices that the read took, in the read's order: the outer
// dimension nd - 1, the inner nd (fastest).
void walkArrowWindow(RenderContext& rc, VectorFrame& vf, const ArrowWindow& w) {
    const bool lonOuter = vf.order == 1;
    ForEachWindowPoint(w.start, w.count, w.step, vf.nd, w.total, [&](Long o, Long q, Long n) {
        vf.walkI = lonOuter ? o : q;
        vf.walkJ = lonOuter ? q : o;
        PairArrow(rc, vf, w.u(n), w.v(n), rc.coords.lonV(vf.walkI) + w.shift,
                  rc.coords.latV(vf.walkJ));
    });
}

// The longitude dimension of u (0 without a longitude/latitude order).
Long lonDimOf(const VectorFrame& vf) {
    return vf.order == 1 ? vf.nd - 1 : vf.order == 2 ? vf.nd : 0;
}

} // namespace

// ---- The pair ----------------------------------------------------------------------------------

void UsePair(VectorFrame& vf, const PickItem& uPick, const PickItem& vPick) {
    IKelvad& nc = *Data.clsNC;
    vf.u = uPick.varNumber;
    vf.v = vPick.varNumber;
    vf.uSlot = slotOf(uPick);
    vf.vSlot = slotOf(vPick);
    vf.nd = nc.variNarray(vf.u, vf.uSlot);
    vf.order = nc.variLonLatOrder(vf.u, vf.uSlot);
    vf.uName = nc.variName(vf.u, vf.uSlot);
    vf.vName = nc.variName(vf.v, vf.vSlot);
    vf.uUnit = nc.variUnit(vf.u, vf.uSlot);
    vf.vUnit = nc.variUnit(vf.v, vf.vSlot);
    vf.walkI = 0;
    vf.walkJ = 0;
}

void BeginPair(RenderContext& rc, VectorFrame& vf, const PickItem& uPick, const PickItem& vPick) {
    UsePair(vf, uPick, vPick);
    UsePick(rc, uPick);
    PrintTitle(rc, PairTitle(vf));
    BeginRender(rc);
}

std::string PairTitle(const VectorFrame& vf) {
    return vf.uName + " & " + vf.vName;
}

// ---- Legend, scale, reference arrow, footer -----------------------------------------------------

bool IsCentimetreUnit(const std::string& unit) {
    const std::size_t at = !unit.empty() && unit[0] == '(' ? 1 : 0;
    const std::string head = UCase(unit.substr(at, 8));
    return head.starts_with("CM") || head == "CENTIMET";
}

void UnitLegend(VectorFrame& vf, float magnitude, const std::string& unit) {
    vf.refMagnitude = magnitude;
    const std::string size = CStr(magnitude) + " ";
    const bool cm = IsCentimetreUnit(unit);
    vf.unitFactor = cm ? 0.01f : 1.0f;
    vf.label = cm ? size + "m/sec" : size + Trim(unit);
}

void PairLegend(VectorFrame& vf, float kindZeroMagnitude) {
    vf.kind = Data.clsNC->Vector(vf.uSlot);
    vf.unitFactor = 1;
    vf.refMagnitude = 0;
    vf.label.clear();
    switch (vf.kind) {
    case 0:
        UnitLegend(vf, kindZeroMagnitude, vf.uUnit);
        break;
    case 1:
        UnitLegend(vf, 1, vf.uUnit);
        break;
    case 2:
        UnitLegend(vf, 10, vf.uUnit);
        break;
    default:
        break;
    }
}

float LoadVectorScale() {
    double stored = 0;
    try {
        stored = Val(GetString("vscale", "Scales", Opt.IniFile));
    } catch (const RuntimeError&) {
        stored = 0; // a number beyond any scale counts as none
    }
    const bool usable = stored > 0 && stored <= std::numeric_limits<float>::max();
    SetVectorScale(usable ? static_cast<float>(stored) : 0.0f);
    if (!(Opt.vscale > 0)) {
        SetVectorScale(10);
        PutString("vscale", "Scales", Opt.IniFile, Str(Opt.vscale));
    }
    return Opt.vscale;
}

void ReferenceArrow(RenderContext& rc, const VectorFrame& vf) {
    Picture& pic = rc.pic;
    const float h = pic.TextHeight(vf.label);
    pic.setCurrentX(1);
    pic.setCurrentY(h);
    pic.Print(vf.label);
    DrawVectorXY(pic, vf.refMagnitude, 0, pic.TextWidth(vf.label) + 10, 1.5f * h);
}

void VectorLegend(RenderContext& rc, VectorFrame& vf, float kindZeroMagnitude) {
    PairLegend(vf, kindZeroMagnitude);
    LoadVectorScale();
    ReferenceArrow(rc, vf);
}

void VectorFooter(RenderContext& rc, const VectorFrame& vf) {
    rc.pic.setCurrentX(1);
    rc.pic.setCurrentY(1);
    rc.pic.Print(PairTitle(vf) + "  Scale= " + Str(Opt.vscale));
}

// ---- Reads -----------------------------------------------------------------------------------

PairRead ReadPair(const VectorFrame& vf, VArray<float>& uOut, VArray<float>& vOut, Long count,
                  const VArray<Long>& start, const VArray<Long>& counts,
                  const VArray<Long>& steps) {
    PairRead r;
    r.ru =
        readCount(Data.clsNC->GetVarsAny(vf.u, NoVal, uOut, start, counts, steps, count, vf.uSlot));
    if (r.ru < 0) return r;
    r.rv =
        readCount(Data.clsNC->GetVarsAny(vf.v, NoVal, vOut, start, counts, steps, count, vf.vSlot));
    return r;
}

PairRead ReadPair(RenderContext& rc, const VectorFrame& vf) {
    ReadWindowState& w = rc.win;
    return ReadPair(vf, w.uV, w.vV, w.tcount, w.startp, w.countp, w.stride);
}

void ShowPairReadFailure(RenderContext& rc, const VectorFrame& vf) {
    ShowReadFailure(rc, rc.tag + " NetCDF Error", IjWindowLines(rc, vf.walkI, vf.walkJ, vf.nd));
}

// ---- Arrows ------------------------------------------------------------------------------------

void PairArrow(RenderContext& rc, const VectorFrame& vf, float& u, float& v, float lon, float lat) {
    if (u <= NoVal || v <= NoVal) return;
    u *= vf.unitFactor;
    v *= vf.unitFactor;
    if (DrawVectorLL(rc.pic, rc.view, u, v, lon, lat) != 0) CountRefusal(rc);
}

// ---- Regular and GMT grids -------------------------------------------------------------------

bool ReadPairWindows(RenderContext& rc, VectorFrame& vf, bool& drawable) {
    const PairRead main = ReadPair(rc, vf);
    if (main.failed()) {
        ShowPairReadFailure(rc, vf);
        return false;
    }
    drawable = main.drawable();
    const Long lonDim = lonDimOf(vf);
    for (SeamWindow& w : rc.win.seamWindows) {
        w.pairRead = false;
        // Windows worked out for another variable are not this pair's.
        if (lonDim < 1 || !w.startp.IsAllocated() || w.startp.UBound() != vf.nd) continue;
        for (Long d = 1; d <= vf.nd; ++d)
            if (d != lonDim) w.startp(d) = rc.win.startp(d);
        // The layout of the read window's failure, with the seam window's entries.
        auto failed = [&](const VArray<Long>& start, const VArray<Long>& counts) {
            ShowReadFailure(rc, rc.tag + " NetCDF Error",
                            IjWindowLines(vf.walkI, vf.walkJ, vf.nd, start, counts));
            return false;
        };
        // Columns the read window holds are taken from its values; only the others are read.
        const SeamFill taken = FillSeamValues(
            rc.win, w, vf.nd, lonDim, {&rc.win.uV, &rc.win.vV}, {&w.uValues, &w.vValues},
            [&](const VArray<Long>& start, const VArray<Long>& counts, Long count,
                std::vector<VArray<float>>& parts) {
                return !ReadPair(vf, parts[0], parts[1], count, start, counts, w.stride).failed() ||
                       failed(start, counts);
            });
        if (taken == SeamFill::Failed) return false;
        if (taken == SeamFill::Filled) {
            w.pairRead = anyValue(w.uValues) && anyValue(w.vValues);
            continue;
        }
        const PairRead seam =
            ReadPair(vf, w.uValues, w.vValues, w.tcount, w.startp, w.countp, w.stride);
        if (seam.failed()) return failed(w.startp, w.countp);
        w.pairRead = seam.drawable();
    }
    return true;
}

void WalkGridArrows(RenderContext& rc, VectorFrame& vf, bool drawable) {
    if (vf.nd < 2 || (vf.order != 1 && vf.order != 2)) return;
    ReadWindowState& win = rc.win;
    if (drawable)
        walkArrowWindow(rc, vf,
                        {win.startp, win.countp, win.stride, win.uV, win.vV, win.tcount, 0.0f});
    for (SeamWindow& w : win.seamWindows)
        if (w.pairRead)
            walkArrowWindow(
                rc, vf, {w.startp, w.countp, w.stride, w.uValues, w.vValues, w.tcount, w.shift});
}

bool DrawGridArrowsStep(RenderContext& rc, VectorFrame& vf) {
    bool drawable = false;
    if (!ReadPairWindows(rc, vf, drawable)) return false;
    WalkGridArrows(rc, vf, drawable);
    return true;
}

void WalkGmtArrows(RenderContext& rc, VectorFrame& vf) {
    const Long nd = vf.nd;
    if (nd < 1) return;
    const Long nLon = Data.clsNC->nLon(1);
    const Long nLat = Data.clsNC->nLat(1);
    // Values past the last row have no place on the grid.
    const int64_t cells = nLon > 0 && nLat > 0 ? int64_t{nLon} * nLat : 0;
    ReadWindowState& win = rc.win;
    const VArray<float>& lonV = rc.coords.lonV;
    const Long first = win.startp(nd), last = win.endp(nd), step = win.stride(nd);
    if (step <= 0 || cells == 0) return;
    const Long total = win.uV.IsAllocated() ? win.uV.UBound() : 0;
    auto walk = [&](VectorFrame& f, float shift, Long lonFirst, Long lonLast) {
        Long i = 0, j = nLat;
        Long n = 0;
        for (int64_t k = first; k <= last; k += step) {
            if (n >= cells || n >= total) break;
            ++n;
            if (++i > nLon) {
                i = 1;
                --j;
            }
            f.walkI = i;
            f.walkJ = j;
            if (i < lonFirst || i > lonLast) continue;
            PairArrow(rc, f, win.uV(n), win.vV(n), lonV(i) + shift, rc.coords.latV(j));
        }
    };
    walk(vf, 0, 1, nLon);
    // The copies draw the values the first walk has already scaled.
    VectorFrame scaled = vf;
    scaled.unitFactor = 1;
    for (const GridCopy& c : GridCopiesInView(lonV, nLon))
        walk(scaled, c.shift, c.lonFirst, c.lonLast);
    vf.walkI = scaled.walkI;
    vf.walkJ = scaled.walkJ;
}

// ---- Three picks -----------------------------------------------------------------------------

void FindTriplePair(Long& p, Long& s) {
    p = 0;
    s = 0;
    if (!Data.Picks.IsAllocated() || Data.Picks.LBound() > 1 || Data.Picks.UBound() < 3) return;
    auto isU = [](Long id) { return id == Data.water_U_vId || id == Data.wind_U_vId; };
    auto isV = [](Long id) { return id == Data.water_V_vId || id == Data.wind_V_vId; };
    for (Long i = 1; i <= 2; ++i) {
        if (isU(Data.Picks(i).varNumber) && isV(Data.Picks(i + 1).varNumber)) {
            p = i;
            s = i == 1 ? 3 : 1;
        }
    }
}
