#include "viewer/vector/DrawGridVectorTimed.h"

#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/VectorStages.h"
#include "viewer/map/Vectors.h"

Long DrawGridVectorTimed(Picture& pic) {
    RenderContext rc(pic, "[DrawGridVectorTimed]");
    KeepPen pen(pic);
    if (!ScaleCheck(rc)) return -1;
    VectorFrame vf;
    BeginPair(rc, vf, Data.Picks(1), Data.Picks(2));
    // Title, legend and reference arrow stay only when no step is drawn: each step clears.
    VectorLegend(rc, vf, kKindZeroMagnitude);
    FindTimeAndLevel(rc);
    PinLevel(rc, Data.CurLevel);
    if (!WindowCheck(rc)) return -1;

    const Long last =
        TimeLoop(rc, [&vf](RenderContext& r, Long) { return DrawGridArrowsStep(r, vf); });
    if (last < 0) return -1;

    VectorFooter(rc, vf);
    EndRender(rc);
    return last;
}
