#include "viewer/scalar/DrawGmtScalar.h"

#include "viewer/map/GridCells.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"

void DrawGMTScalar(Picture& pic) {
    RenderContext rc(pic, "[DrawGMTScalar]");
    if (!ScaleCheck(rc)) return;
    BeginFrame(rc, Picks(1), FrameFill::Mask);
    PinTimeAndLevel(rc, CurTimeStep, CurLevel);
    DateLabel(rc, CurTimeStep);
    if (!WindowCheck(rc)) return;

    if (!ReadGridSlice(rc)) return;
    AutoRange(rc, scalarV, tcount);
    WalkGmtCells(rc);

    FinishFrame(rc);
}
