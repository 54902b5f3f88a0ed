#include "viewer/scalar/DrawGmtScalar.h"

#include "viewer/scalar/GridCells.h"
#include "viewer/scalar/ReadWindow.h"
#include "viewer/scalar/RenderStages.h"
#include "viewer/shell/MainBase.h"

void DrawGMTScalar(Picture& pic) {
    RenderContext rc(pic, "[DrawGMTScalar]");
    if (!ScaleCheck(rc)) return;
    UsePick(rc, Picks(1));
    SetMaskMode(pic);
    PrintTitle(rc, rc.name);
    BeginRender(rc);
    PrepareColours();
    StoredRange(rc);
    PinTimeAndLevel(rc, CurTimeStep, CurLevel);
    DateLabel(rc, CurTimeStep);
    if (!WindowCheck(rc)) return;

    if (!ReadGridSlice(rc)) return;
    AutoRange(rc, scalarV, tcount);
    WalkGmtCells(rc);

    FinishFrame(rc);
}
