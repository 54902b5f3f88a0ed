#include "viewer/scalar/DrawCellScalar.h"

#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "viewer/map/CScale.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"

#include <exception>
#include <string>

namespace {

// Both members title their boxes with it.
constexpr const char* kTag = "[DrawCellScalar]";

// One step of the whole list into scalarV: the number of valid values, below 0 after the
// NetCDF error box.
Long readCells(RenderContext& rc, Long nCells) {
    const Long r = ReadSlice(rc, rc.win.scalarV, nCells);
    if (r < 0)
        ShowReadFailure(rc, std::string(kTag) + " NetCDF Error", IjWindowLines(rc, 0, 0, rc.nd));
    return r;
}

// The range widened by this step's values, then its boxes in list order.
void drawCells(RenderContext& rc, Long nCells) {
    AutoRange(rc, rc.win.scalarV, nCells, true);
    WalkPointCells(rc, rc.coords.lonV, rc.coords.latV, nCells, rc.win.scalarV);
}

} // namespace

void DrawCellScalar(Picture& pic) {
    RenderContext rc(pic, kTag);
    try {
        if (!ScaleCheck(rc)) return;
        const Long nCells = BeginPointList(rc, Data.clsNC->nCells(1));
        PinStep(rc, Data.CurTimeStep);
        DateLabel(rc, Data.CurTimeStep);

        const Long r = readCells(rc, nCells);
        if (r < 0) return;
        if (r > 0) drawCells(rc, nCells);

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

        const Long last = TimeLoop(rc, [nCells](RenderContext& r, Long) {
            const Long found = readCells(r, nCells);
            if (found < 0) return false;
            if (found > 0) drawCells(r, nCells);
            return true;
        });
        if (last < 0) return -1;

        FinishFrame(rc);
        return last;
    } catch (const std::exception& e) {
        ShowErrorTail(rc, ErrorTailText(e), kTag);
        return -1;
    }
}
