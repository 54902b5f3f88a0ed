#include "viewer/scalar/DrawGridScalar.h"

#include "viewer/scalar/ReadWindow.h"
#include "viewer/scalar/RenderStages.h"
#include "viewer/shell/MainBase.h"

void DrawGridScalar(Picture& pic, Long k) {
    RenderContext rc(pic, "[DrawGridScalar]");
    if (!ScaleCheck(rc)) return;
    UsePick(rc, Picks(k));
    SetMaskMode(pic);
    PrintTitle(rc, rc.name);
    BeginRender(rc);
    PrepareColours();
    StoredRange(rc);
    PinTimeAndLevel(rc, CurTimeStep, CurLevel);
    DateLabel(rc, CurTimeStep);
    TimeBar(rc, CurTimeStep);
    if (!WindowCheck(rc)) return;

    float shift = 0;
    do {
        if (!ReadGridSlice(rc)) return;
        AutoRange(rc, scalarV, tcount);
        WalkGridCells(rc, shift);
    } while (SeamPass(rc, shift));

    FinishFrame(rc);
}
