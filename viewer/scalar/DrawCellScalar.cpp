#include "viewer/scalar/DrawCellScalar.h"

#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Convert.h"
#include "viewer/map/CScale.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"

#include <exception>
#include <string>

namespace {

// Both members title their boxes with it.
constexpr const char* kTag = "[DrawCellScalar]";

// One step of the whole list into scalarV, every row of it when the cells move along another
// dimension than time (all trajectories): the number of valid values, below 0 after the NetCDF
// error box.
Long readCells(RenderContext& rc, Long nCells, const MovingRows& rows) {
    if (rows.pos > 0 && rows.pos != rc.timePos) {
        rc.win.startp(rows.pos) = rows.first;
        rc.win.countp(rows.pos) = rows.count;
    }
    const Long r = ReadSlice(rc, rc.win.scalarV, MulL(nCells, rows.count));
    if (r < 0)
        ShowReadFailure(rc, std::string(kTag) + " NetCDF Error", IjWindowLines(rc, 0, 0, rc.nd));
    return r;
}

// The range widened by this step's values, then its boxes in list order: at the cells' places,
// or row by row at each row's own positions when the cells move.
void drawCells(RenderContext& rc, Long nCells, const MovingRows& rows) {
    AutoRange(rc, rc.win.scalarV, MulL(nCells, rows.count), true);
    if (rows.pos == 0) {
        WalkPointCells(rc, rc.coords.lonV, rc.coords.latV, nCells, rc.win.scalarV);
        return;
    }
    VArray<float> lon, lat;
    for (Long i = 0; i < rows.count; ++i)
        if (RowPositions(rows.first + i, lon, lat))
            WalkPointCells(rc, lon, lat, nCells, rc.win.scalarV, MulL(i, nCells) + 1);
}

// One step read and drawn; false after a failed read.
bool drawStep(RenderContext& rc, Long nCells) {
    const MovingRows rows = MovingRowsOf(rc);
    const Long found = readCells(rc, nCells, rows);
    if (found < 0) return false;
    if (found > 0) drawCells(rc, nCells, rows);
    return true;
}

} // namespace

void DrawCellScalar(Picture& pic) {
    RenderContext rc(pic, kTag);
    try {
        if (!ScaleCheck(rc)) return;
        const Long nCells = BeginPointList(rc, Data.clsNC->nCells(1));
        PinStep(rc, Data.CurTimeStep);
        DateLabel(rc, Data.CurTimeStep);

        if (!drawStep(rc, nCells)) return;

        LegendAndFinish(rc);
    } catch (const std::exception& e) {
        ShowErrorTail(rc, std::string(kTag) + " " + ErrorDescriptionOf(e), "");
    }
}

Long DrawCellScalarTimed(Picture& pic) {
    RenderContext rc(pic, kTag);
    try {
        if (!ScaleCheck(rc)) return -1;
        const Long nCells = BeginPointList(rc, Data.clsNC->nCells(1));
        if (rc.timePos <= 0) {
            EndRender(rc);
            return -1;
        }

        const Long last =
            TimeLoop(rc, [nCells](RenderContext& r, Long) { return drawStep(r, nCells); });
        if (last < 0) return -1;

        FinishFrame(rc);
        return last;
    } catch (const std::exception& e) {
        ShowErrorTail(rc, ErrorTailText(e), kTag);
        return -1;
    }
}
