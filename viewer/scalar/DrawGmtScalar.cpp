#include "viewer/scalar/DrawGmtScalar.h"

#include "viewer/map/GridCells.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"

void DrawGMTScalar(Picture& pic) {
    RenderContext rc(pic, "[DrawGMTScalar]");
    if (!ScaleCheck(rc)) return;
    BeginFrame(rc, Data.Picks(1), FrameFill::Mask);
    PinTimeAndLevel(rc, Data.CurTimeStep, Data.CurLevel);
    DateLabel(rc, Data.CurTimeStep);
    if (!WindowCheck(rc)) return;

    if (!ReadGridSlice(rc)) return;
    AutoRange(rc, rc.win.scalarV, rc.win.tcount);
    WalkGmtCells(rc);

    FinishFrame(rc);
}
