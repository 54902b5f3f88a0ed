#include "viewer/vector/DrawGridScalarVectorTimed.h"

#include "common/Ui.h"
#include "viewer/map/GridCells.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/VectorStages.h"
#include "viewer/map/Vectors.h"

Long DrawGridTripleTimed(Picture& pic) {
    Long p = 0, s = 0;
    FindTriplePair(p, s);
    if (s == 0) {
        ui().MsgBox(kNoTriplePairText, kOkOnly, kProgramTitle);
        return -1;
    }
    RenderContext rc(pic, "[DrawGridTripleTimed]");
    KeepPen pen(pic);
    if (!ScaleCheck(rc)) return -1;
    VectorFrame vf;
    UsePair(vf, Data.Picks(p), Data.Picks(p + 1));
    // The context draws the scalar; the title names the pair. The colour scheme in force is
    // kept, so that the key the dispatcher draws afterwards matches.
    UsePick(rc, Data.Picks(s));
    SetMaskMode(pic);
    PrintTitle(rc, PairTitle(vf));
    BeginRender(rc);
    StoredRange(rc);
    VectorLegend(rc, vf, kKindZeroMagnitude);
    FindTimeAndLevel(rc);
    PinLevel(rc, Data.CurLevel);
    if (!WindowCheck(rc)) return -1;

    // All three items are read before the step draws anything, so that a failed read leaves
    // only the step's time bar and date; every failure is told in the pair's layout. The colour
    // range widens over the steps drawn; the arrows lie over the cells.
    const WindowFailureLines lines = [&vf](Long, const VArray<Long>& start,
                                           const VArray<Long>& counts, const VArray<Long>&) {
        return IjWindowLines(vf.walkI, vf.walkJ, vf.nd, start, counts);
    };
    const Long last = TimeLoop(rc, [&](RenderContext& r, Long) {
        bool drawable = false;
        if (!ReadGridWindows(r, lines) || !ReadPairWindows(r, vf, drawable)) return false;
        RangeGridWindows(r);
        WalkGridCells(r);
        WalkGridArrows(r, vf, drawable);
        return true;
    });
    if (last < 0) return -1;

    VectorFooter(rc, vf);
    EndRender(rc);
    return last;
}
