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

    // The colour range widens over the steps drawn; the arrows lie over the cells.
    const Long last = TimeLoop(
        rc, [&vf](RenderContext& r, Long) { return DrawGridStep(r) && DrawGridArrowsStep(r, vf); });
    if (last < 0) return -1;

    VectorFooter(rc, vf);
    EndRender(rc);
    return last;
}
