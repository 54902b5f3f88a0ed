#include "viewer/scalar/DrawGridScalarTimed.h"

#include "viewer/scalar/ReadWindow.h"
#include "viewer/scalar/RenderStages.h"
#include "viewer/shell/MainBase.h"

Long DrawGridScalarTimed(Picture& pic) {
    RenderContext rc(pic, "[DrawGridScalar]");
    if (!ScaleCheck(rc)) return -1;
    UsePick(rc, Picks(1));
    SetMaskMode(pic);
    PrintTitle(rc, rc.name);
    BeginRender(rc);
    PrepareColours();
    StoredRange(rc);
    FindTimeAndLevel(rc);
    PinLevel(rc, CurLevel);
    if (!WindowCheck(rc)) return -1;

    // The range widens over the steps drawn; the seam is not drawn while animating.
    const Long last = TimeLoop(rc, [](RenderContext& r, Long) {
        if (!ReadGridSlice(r)) return false;
        AutoRange(r, scalarV, tcount);
        WalkGridCells(r, 0);
        return true;
    });
    if (last < 0) return -1;

    FinishFrame(rc);
    return last;
}
