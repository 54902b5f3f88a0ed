#include "viewer/scalar/DrawFEScalar.h"

#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "viewer/map/CScale.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"

#include <string>

namespace {

// One step of every node into scalarV: the number of valid values, below 0 after the NetCDF
// error box titled with the renderer's tag.
Long readNodes(RenderContext& rc, Long nNodes) {
    const Long r = ReadSlice(rc, rc.win.scalarV, nNodes);
    if (r < 0) ShowReadFailure(rc, rc.tag + " NetCDF Error", IjWindowLines(rc, 0, 0, rc.nd));
    return r;
}

// The range widened by this step's values, then the node boxes in node order.
void drawNodes(RenderContext& rc, Long nNodes) {
    AutoRange(rc, rc.win.scalarV, nNodes);
    WalkPointCells(rc, rc.coords.lonV, rc.coords.latV, nNodes, rc.win.scalarV);
}

} // namespace

void DrawFEScalar(Picture& pic) {
    RenderContext rc(pic, "[DrawFEScalar]");
    if (!ScaleCheck(rc)) return;
    const Long nNodes = BeginPointList(rc, Data.clsNC->nNodes(1));
    PinStep(rc, Data.CurTimeStep);
    DateLabel(rc, Data.CurTimeStep);

    const Long r = readNodes(rc, nNodes);
    if (r < 0) return;
    if (r > 0) drawNodes(rc, nNodes);

    LegendAndFinish(rc);
}

Long DrawFEScalarTimed(Picture& pic) {
    RenderContext rc(pic, "[DrawFEScalarTimed]");
    if (!ScaleCheck(rc)) return -1;
    const Long nNodes = BeginPointList(rc, Data.clsNC->nNodes(1));
    if (rc.timePos <= 0) {
        EndRender(rc);
        return -1;
    }

    const Long last = TimeLoop(rc, [nNodes](RenderContext& r, Long) {
        const Long found = readNodes(r, nNodes);
        if (found < 0) return false;
        if (found > 0) drawNodes(r, nNodes);
        return true;
    });
    if (last < 0) return -1;

    FinishFrame(rc);
    return last;
}
