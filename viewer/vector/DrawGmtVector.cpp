#include "viewer/vector/DrawGmtVector.h"

#include "gui/Picture.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/VectorStages.h"
#include "viewer/map/Vectors.h"

void DrawGMTVector(Picture& pic) {
    // The GMT map reports under the regular grid's name, as it always has.
    RenderContext rc(pic, "[DrawGridVector]");
    KeepPen pen(pic);
    if (!ScaleCheck(rc)) return;
    VectorFrame vf;
    BeginPair(rc, vf, Data.Picks(1), Data.Picks(2));
    PairLegend(vf, kKindZeroMagnitude);
    LoadVectorScale();
    // Unlike the regular grid's arrows, these never lie over an earlier picture: the pair's
    // names come back in the footer.
    pic.Cls();
    ReferenceArrow(rc, vf);
    PinTimeAndLevel(rc, Data.CurTimeStep, Data.CurLevel);
    DateLabel(rc, Data.CurTimeStep);
    TimeBar(rc, Data.CurTimeStep);
    if (!WindowCheck(rc)) return;

    const PairRead read = ReadPair(rc, vf);
    if (read.failed()) {
        ShowPairReadFailure(rc, vf);
        return;
    }
    if (read.drawable()) WalkGmtArrows(rc, vf);

    VectorFooter(rc, vf);
    EndRender(rc);
}
