#include "viewer/shell/DataPoints.h"

#include "common/MinMax.h"
#include "common/Ui.h"
#include "gui/Picture.h"
#include "gui/PictureWidget.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Color.h"
#include "runtime/Convert.h"
#include "viewer/map/CScale.h"
#include "viewer/map/GridKinds.h"
#include "viewer/map/MapGeometry.h"
#include "viewer/map/MapPositions.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"
#include "viewer/shell/FormFaces.h"

#include <cmath>

namespace {

// The view's bounds as Singles, as the points are compared with them.
struct ViewBox {
    float west, east, south, north;
    bool lonIn(float lon) const { return west <= lon && lon <= east; }
    bool latIn(float lat) const { return south <= lat && lat <= north; }
};

// Entries 1..n of a one-dimensional array that exist: the preview never reads beyond what
// the loader filled, whatever the counts say.
Long Usable(const VArray<float>& a, Long n) {
    if (a.Rank() != 1 || a.LBound() > 1) return 0;
    return MinL(n, a.UBound());
}

bool Has2(const VArray<float>& a, Long i, Long j) {
    return a.Rank() == 2 && i >= a.LBound(1) && i <= a.UBound(1) && j >= a.LBound(2) &&
           j <= a.UBound(2);
}

// Draws the marks of one preview; a point whose transform fails is skipped and reported once.
class Marks {
public:
    explicit Marks(Picture& pic) : pic_(pic) {}

    // A square of half-size r around the point, filled with color; none for a point whose
    // coordinates mark no position (a land point's fill), which is not a failure.
    void Square(float lon, float lat, float r, Long color) {
        if (!PositionKnown(lon, lat)) return;
        float x = 0, y = 0;
        if (!Convert(lon, lat, x, y)) return;
        pic_.Line(x - r, y - r, x + r, y + r, color, LineFlag::BF);
    }
    // A box between the points of two corners.
    void Box(float lon1, float lat1, float lon2, float lat2, Long color) {
        float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        if (!Convert(lon1, lat1, x1, y1) || !Convert(lon2, lat2, x2, y2)) return;
        pic_.Line(x1, y1, x2, y2, color, LineFlag::BF);
    }
    bool Failed() const { return failed_; }

private:
    bool Convert(float lon, float lat, float& x, float& y) {
        if (!std::isfinite(lon) || !std::isfinite(lat)) return false; // no place, no failure
        if (ll2_to_xy2Quiet(lon, lat, x, y) == 0) return true;
        failed_ = true;
        return false;
    }
    Picture& pic_;
    bool failed_ = false;
};

// Round with halves to even, at least 1.
Long Stride(Long n) {
    return MaxL(1, CLng(static_cast<double>(n) / 30));
}

void DrawGrid(IKelvad& nc, Long nNc, const ViewBox& view, Marks& marks) {
    const Long nLon = nc.nLon(nNc);
    const Long nLat = nc.nLat(nNc);
    Scale.ScaleMax = static_cast<float>(static_cast<double>(nLon) * nLat);
    const Long nx = Usable(Data.lonV, nLon);
    const Long ny = Usable(Data.latV, nLat);
    if (nx < 1 || ny < 1) return;

    Long nInLon = 0, nInLat = 0;
    for (Long i = 1; i <= nx; ++i)
        if (view.lonIn(Data.lonV(i))) ++nInLon;
    for (Long j = 1; j <= ny; ++j)
        if (view.latIn(Data.latV(j))) ++nInLat;
    const Long sLon = Stride(nInLon);
    const Long sLat = Stride(nInLat);

    if (static_cast<double>(nLon) * nLat == 1)
        marks.Square(Data.lonV(1), Data.latV(1), 2, QBColor(9));

    for (Long j = 1; j <= ny; j += sLat) {
        if (!view.latIn(Data.latV(j))) continue;
        const Long jn = MinL(ny, j + sLat);
        const float dy = (Data.latV(jn) - Data.latV(j)) / 2;
        for (Long i = 1; i <= nx; i += sLon) {
            if (!view.lonIn(Data.lonV(i))) continue;
            const Long in = MinL(nx, i + sLon);
            const float dx = (Data.lonV(in) - Data.lonV(i)) / 2;
            const Long color = ValueToColor(static_cast<float>(static_cast<double>(i) * j));
            marks.Box(Data.lonV(i) - dx, Data.latV(j) - dy, Data.lonV(i) + dx, Data.latV(j) + dy,
                      color);
        }
    }
}

void DrawBfgPoint(Long i, Long j, Long ei, Long ej, const ViewBox& view, Marks& marks) {
    if (!Has2(Data.lonV, ei, ej) || !Has2(Data.latV, ei, ej)) return;
    const float lon = Data.lonV(ei, ej);
    const float lat = Data.latV(ei, ej);
    if (!view.lonIn(lon) || !view.latIn(lat)) return;
    marks.Square(lon, lat, 1, ValueToColor(static_cast<float>(static_cast<double>(i) * j)));
}

void DrawBoundaryFitted(IKelvad& nc, Long nNc, const ViewBox& view, Marks& marks) {
    const Long iMax = nc.iMax(nNc);
    const Long jMax = nc.jMax(nNc);
    Scale.ScaleMax = static_cast<float>(static_cast<double>(iMax) * jMax);
    const Long sI = Stride(iMax);
    const Long sJ = Stride(jMax);
    Long order = nc.lonlatOrder(nNc);
    // The "gridi" alternation keeps its coordinates as order 1 does.
    if (order == 4) order = 1;
    // Variables of both orders: the coordinates keep their own layout.
    if (order == 3) order = BfgdCoordsJFirst(BfgdCoordsOrder(nNc), iMax, jMax) ? 2 : 1;
    if (order == 1) {
        for (Long j = 1; j <= jMax; j += sJ)
            for (Long i = 1; i <= iMax; i += sI)
                DrawBfgPoint(i, j, i, j, view, marks);
    } else if (order == 2) {
        for (Long i = 1; i <= iMax; i += sI)
            for (Long j = 1; j <= jMax; j += sJ)
                DrawBfgPoint(i, j, j, i, view, marks);
    }
}

// Cells, nodes or elements: every point, no view test (the picture clips).
void DrawList(Long count, Marks& marks) {
    Scale.ScaleMax = static_cast<float>(count);
    const Long n = MinL(Usable(Data.lonV, count), Usable(Data.latV, count));
    for (Long k = 1; k <= n; ++k)
        marks.Square(Data.lonV(k), Data.latV(k), 1, ValueToColor(static_cast<float>(k)));
}

} // namespace

void ShowDataPoints(Long nNc) {
    DrawDataPoints(mainFormFace().Picture1->picture(), nNc);
    ui().DoEvents();
}

void DrawDataPoints(Picture& pic, Long nNc) {
    Long w = 0, h = 0;
    if (SetPictureScale(pic, w, h) != 0) return;
    pic.SetFocus();
    ui().SetMousePointer(kPointerHourglass);

    pic.setFillStyle(kFillTransparent);
    pic.setDrawMode(kDrawMaskPen);
    Scale.col_opt = 0;
    Scale.ColorCode = 30;
    Scale.ScaleMin = 1;

    const ViewBox view{
        static_cast<float>(View.ViewExtent.West), static_cast<float>(View.ViewExtent.East),
        static_cast<float>(View.ViewExtent.South), static_cast<float>(View.ViewExtent.North)};
    Marks marks(pic);
    const MapGridKind& kind = MapKindOf(Data.clsNC != nullptr ? Data.clsNC->GridType(nNc) : 0);
    switch (kind.preview) {
    case MapPreview::CellList:
        pic.setDrawMode(kDrawCopyPen);
        DrawList(Data.clsNC->nCells(nNc), marks);
        break;
    case MapPreview::AxisBoxes:
        DrawGrid(*Data.clsNC, nNc, view, marks);
        break;
    case MapPreview::BoundaryFitted:
        DrawBoundaryFitted(*Data.clsNC, nNc, view, marks);
        break;
    case MapPreview::MeshPoints: {
        const Long by = Data.clsNC->LLbyNodeOrEleement(nNc);
        if (by == 1)
            DrawList(Data.clsNC->nNodes(nNc), marks);
        else if (by == 2)
            DrawList(Data.clsNC->nElements(nNc), marks);
        break;
    }
    default:
        ui().SetMousePointer(kPointerDefault);
        ui().MsgBox("[DrawDataPoints] undefined nc type", kOkOnly, kProgramTitle);
        return;
    }
    ui().SetMousePointer(kPointerDefault);
    if (marks.Failed())
        ui().MsgBox("[DrawDataPoints] ll2_to_xy2 returned -1", kOkOnly, kProgramTitle);
}
