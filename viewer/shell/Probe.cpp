#include "viewer/shell/Probe.h"

#include "common/Ui.h"
#include "gui/Picture.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Color.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "viewer/map/GridKinds.h"
#include "viewer/map/MapGeometry.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/Vectors.h"
#include "viewer/shell/FormFaces.h"
#include "viewer/shell/FormIJ.h"

#include <cstdlib>
#include <exception>

namespace {

// FormIJ's boxes.
constexpr Integer kBoxI = 0;
constexpr Integer kBoxJ = 1;
constexpr Integer kBoxN = 4;
constexpr Integer kBoxLon = 7;
constexpr Integer kBoxLat = 9;
constexpr Integer kBoxU = 10;
constexpr Integer kBoxV = 12;
constexpr Integer kBoxS = 14;

// The search takes a point only when it is nearer than this (squared map units).
constexpr double kFarthest = 10000;

// What the search found.
struct Nearest {
    Long k = 0;    // value number of the point in the last plot's walk (0: none)
    float lon = 0; // its position, map units
    float lat = 0;
    bool hasValue = false;
    // The values k counts in: scalarV, uV and vV, or a seam window's own.
    const VArray<float>* values = &Win.scalarV;
    const VArray<float>* u = &Win.uV;
    const VArray<float>* v = &Win.vV;
};

// The value arrays of one window of the last plot.
struct WindowValues {
    const VArray<float>* scalar;
    const VArray<float>* u;
    const VArray<float>* v;
};

double distance2(double lon, double lat, float plon, float plat) {
    const double dx = lon - plon;
    const double dy = lat - plat;
    return dx * dx + dy * dy;
}

// The number of indices start, start + step, ... up to end, as the plot walked them.
Long walkCount(Long d) {
    return CountSteps(Win.startp(d), Win.endp(d), Win.stride(d));
}

// The degrees shown for a position in map units.
double shownDegrees(float v) {
    return View.Projection == 1 ? v / kDegToRad : static_cast<double>(v);
}

// Horizontal order of a grid: 1 longitude (i) second-to-last, 2 last. The variable's own order
// first, as the plot walked it; else the dataset's, where 4 (a boundary-fitted grid whose
// first dimension is "gridi") means 1.
Long gridOrder(Long order) {
    return order == 4 ? 1 : order;
}

Nearest nearestCell(double lon, double lat, Long nd, FormIJ& form) {
    Nearest r;
    double best = kFarthest;
    Long n = 0;
    const Long count = walkCount(nd);
    for (Long c = 0; c < count; ++c) {
        const Long cell = Win.startp(nd) + c * Win.stride(nd);
        const double d = distance2(lon, lat, Data.lonV(cell), Data.latV(cell));
        if (d < best) {
            best = d;
            n = cell;
            r.k = c + 1;
        }
    }
    // No cell within reach leaves the cell number at 0, which the arrays do not hold.
    r.lon = Data.lonV(n);
    r.lat = Data.latV(n);
    r.hasValue = true;
    form.setText1(kBoxN, Str(n));
    form.setText1(kBoxLon, Format(shownDegrees(r.lon), "0.00000"));
    form.setText1(kBoxLat, Format(shownDegrees(r.lat), "0.00000"));
    return r;
}

// The points of one window of the last plot (the read window, or a seam window with its
// longitudes shifted): the nearer ones replace r, numbered in the window's own walk.
void searchGridWindow(double lon, double lat, Long nd, Long order, const VArray<Long>& start,
                      const VArray<Long>& end, const VArray<Long>& step, float shift,
                      const WindowValues& values, double& best, Long& iBest, Long& jBest,
                      Nearest& r) {
    const Long outer = CountSteps(start(nd - 1), end(nd - 1), step(nd - 1));
    const Long inner = CountSteps(start(nd), end(nd), step(nd));
    Long k = 0;
    for (Long a = 0; a < outer; ++a) {
        const Long ia = start(nd - 1) + a * step(nd - 1);
        for (Long b = 0; b < inner; ++b) {
            const Long ib = start(nd) + b * step(nd);
            ++k;
            const Long i = order == 1 ? ia : ib; // longitude index
            const Long j = order == 1 ? ib : ia; // latitude index
            const float plon = static_cast<float>(Data.lonV(i) + shift);
            const double d = distance2(lon, lat, plon, Data.latV(j));
            if (d < best) {
                best = d;
                iBest = i;
                jBest = j;
                r.k = k;
                r.lon = plon;
                r.values = values.scalar;
                r.u = values.u;
                r.v = values.v;
            }
        }
    }
}

Nearest nearestGridPoint(double lon, double lat, Long nd, Long order, FormIJ& form) {
    Nearest r;
    double best = kFarthest;
    Long iBest = 0, jBest = 0;
    if (order == 1 || order == 2) {
        searchGridWindow(lon, lat, nd, order, Win.startp, Win.endp, Win.stride, 0,
                         {&Win.scalarV, &Win.uV, &Win.vV}, best, iBest, jBest, r);
        // The copies of a global grid beyond the seam that the last drawing read, with the
        // scalar's or the pair's own values.
        for (const SeamWindow& w : Win.seamWindows) {
            if (!w.startp.IsAllocated() || w.startp.UBound() != nd) continue;
            if (Data.PickCount == 1 && w.read)
                searchGridWindow(lon, lat, nd, order, w.startp, w.endp, w.stride, w.shift,
                                 {&w.values, nullptr, nullptr}, best, iBest, jBest, r);
            if (Data.PickCount == 2 && w.pairRead)
                searchGridWindow(lon, lat, nd, order, w.startp, w.endp, w.stride, w.shift,
                                 {nullptr, &w.uValues, &w.vValues}, best, iBest, jBest, r);
        }
    }
    form.setText1(kBoxI, Str(iBest));
    form.setText1(kBoxJ, Str(jBest));
    // No point within reach leaves the indices at 0, which the arrays do not hold.
    if (iBest == 0 || jBest == 0) throw RuntimeError(err::Subscript);
    r.lat = Data.latV(jBest);
    r.hasValue = true;
    form.setText1(kBoxLon, Format(shownDegrees(r.lon), "#0.00000"));
    form.setText1(kBoxLat, Format(shownDegrees(r.lat), "#0.00000"));
    return r;
}

// order is the variable's own (1: i second-to-last, 2: j second-to-last), as the plot walked
// it; coordsJFirst tells the layout of lonV/latV, which in a dataset whose variables come in
// both orders need not be the variable's.
Nearest nearestBfgNode(double lon, double lat, Long nd, Long order, bool coordsJFirst,
                       FormIJ& form) {
    Nearest r;
    double best = kFarthest;
    Long iBest = 0, jBest = 0;
    if (order == 1 || order == 2) {
        const Long im = Data.clsNC->iMax(1);
        const Long jm = Data.clsNC->jMax(1);
        for (Long i = 1; i <= im; ++i) {
            for (Long j = 1; j <= jm; ++j) {
                const float plon = coordsJFirst ? Data.lonV(j, i) : Data.lonV(i, j);
                const float plat = coordsJFirst ? Data.latV(j, i) : Data.latV(i, j);
                const double d = distance2(lon, lat, plon, plat);
                if (d < best) {
                    best = d;
                    iBest = i;
                    jBest = j;
                }
            }
        }
    }
    form.setText1(kBoxI, Str(iBest));
    form.setText1(kBoxJ, Str(jBest));
    r.lon = coordsJFirst ? Data.lonV(jBest, iBest) : Data.lonV(iBest, jBest);
    r.lat = coordsJFirst ? Data.latV(jBest, iBest) : Data.latV(iBest, jBest);
    form.setText1(kBoxLon, Format(shownDegrees(r.lon), "#0.00000"));
    form.setText1(kBoxLat, Format(shownDegrees(r.lat), "#0.00000"));

    // The value of the plot's first window point within one stride of the node: the plot
    // coloured each cell by its first node, so that point's value covers this node.
    const Long outer = walkCount(nd - 1);
    const Long inner = walkCount(nd);
    const Long iDim = order == 1 ? nd - 1 : nd;
    const Long jDim = order == 1 ? nd : nd - 1;
    Long k = 0;
    for (Long a = 0; a < outer && !r.hasValue; ++a) {
        const Long ia = Win.startp(nd - 1) + a * Win.stride(nd - 1);
        for (Long b = 0; b < inner; ++b) {
            const Long ib = Win.startp(nd) + b * Win.stride(nd);
            ++k;
            const Long pi = order == 1 ? ia : ib;
            const Long pj = order == 1 ? ib : ia;
            if (std::labs(static_cast<long>(pi) - iBest) < Win.stride(iDim) &&
                std::labs(static_cast<long>(pj) - jBest) < Win.stride(jDim)) {
                r.k = k;
                r.hasValue = true;
                break;
            }
        }
    }
    return r;
}

void probe(double& lon, double& lat, Picture& pic) {
    if (!Data.clsNC) throw RuntimeError(err::ObjectNotSet);
    const PickItem& pick = Data.Picks(1);
    // A pick from the second file has its rank in its own dataset.
    const Long slot = pick.datasetIndex == 2 ? 2 : 1;
    const Long nd = Data.clsNC->variNarray(pick.varNumber, slot);
    const MapGridKind& kind = MapKindOf(Data.clsNC->GridType(1));
    FormIJ& form = FormIJForm();

    Nearest at;
    switch (kind.probe) {
    case MapProbe::Cell:
        at = nearestCell(lon, lat, nd, form);
        break;
    case MapProbe::GridPoint: {
        Long order = Data.clsNC->variLonLatOrder(pick.varNumber, slot);
        if (order != 1 && order != 2) order = gridOrder(Data.clsNC->lonlatOrder(1));
        at = nearestGridPoint(lon, lat, nd, order, form);
        break;
    }
    case MapProbe::BoundaryFittedNode: {
        Long order = Data.clsNC->variLonLatOrder(pick.varNumber, slot);
        if (order != 1 && order != 2) order = gridOrder(Data.clsNC->lonlatOrder(1));
        const Long coordsOrder = BfgdCoordsOrder(1);
        const bool coordsJFirst =
            BfgdCoordsJFirst(coordsOrder, Data.clsNC->iMax(1), Data.clsNC->jMax(1));
        at = nearestBfgNode(lon, lat, nd, order, coordsJFirst, form);
        break;
    }
    default:
        // Meshes and GMT grids: the window shows what it held.
        form.show();
        return;
    }
    lon = at.lon;
    lat = at.lat;

    if (at.hasValue) {
        if (Data.PickCount == 1) {
            form.setText1(kBoxS, Format((*at.values)(at.k), "#0.00000"));
        } else if (Data.PickCount == 2) {
            const float u = (*at.u)(at.k);
            const float v = (*at.v)(at.k);
            form.setText1(kBoxU, Format(u, "#0.00000"));
            form.setText1(kBoxV, Format(v, "#0.00000"));
            if (kind.probe != MapProbe::Cell || u > Win.cellMisnVal) {
                if (DrawVectorLL(pic, u, v, at.lon, at.lat) != 0)
                    ui().MsgBox("[ShowPointValues] ll2_to_xy2 returned -1", kOkOnly, kProgramTitle);
            }
        }
    }
    form.show();
}

} // namespace

void ShowPointValues(double& lon, double& lat) {
    Picture& pic = MapPicture();
    const Long keptFore = pic.ForeColor();
    pic.setForeColor(QBColor(12));
    try {
        probe(lon, lat, pic);
    } catch (const std::exception&) {
        ui().MsgBox("Error interrogating cell", kOkOnly, kProgramTitle);
    }
    pic.setForeColor(keptFore);
}
