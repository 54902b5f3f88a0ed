#include "viewer/vector/DrawCellVector.h"

#include "common/MinMax.h"
#include "runtime/Convert.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/VectorStages.h"
#include "viewer/map/VectorWalks.h"
#include "viewer/map/Vectors.h"

#include <exception>

namespace {

// Both maps of a cell list start alike: the pair, its legend and scale, the reference arrow.
// A cell is missing when its u or v is at or below the reads' mark, as on every other map; the
// probe tests u against the same mark.
void beginCellPair(RenderContext& rc, VectorFrame& vf) {
    BeginPair(rc, vf, Data.Picks(1), Data.Picks(2));
    vf.listIndexShown = false;
    rc.win.cellMisnVal = NoVal;
    PairLegend(vf, kKindZeroMagnitude);
    LoadVectorScale();
    ReferenceArrow(rc, vf);
}

} // namespace

void DrawCellVector(Picture& pic) {
    // Its read failures have always been titled so.
    RenderContext rc(pic, "[DrawGridScalar]");
    KeepPen pen(pic);
    if (!ScaleCheck(rc)) return;
    VectorFrame vf;
    try {
        beginCellPair(rc, vf);
        PinTimeAndLevel(rc, Data.CurTimeStep, Data.CurLevel);
        DateLabel(rc, Data.CurTimeStep);
        TimeBar(rc, Data.CurTimeStep);
        if (!DrawCellArrowsStep(rc, vf, MissingPoint::Mark)) return;
        FinishPairFrame(rc, vf);
    } catch (const std::exception& e) {
        ShowErrorTail(rc, ErrorTailText(e), "[DrawCellVector]");
    }
}

Long DrawCellVectorTimed(Picture& pic) {
    RenderContext rc(pic, "[DrawCellVectorTimed]");
    KeepPen pen(pic);
    if (!ScaleCheck(rc)) return -1;
    VectorFrame vf;
    try {
        beginCellPair(rc, vf);
        // The cell list steps through time by the stride typed for the first dimension.
        const Long timeStride = MaxL(1, CLng(StrideBoxValue(1)));
        return AnimateListSteps(
            rc, vf, [&vf](RenderContext& r) { return DrawCellArrowsStep(r, vf, MissingPoint::Skip); },
            timeStride);
    } catch (const std::exception& e) {
        ShowErrorTail(rc, ErrorTailText(e), rc.tag);
        return -1;
    }
}
