#include "viewer/scalar/DrawGridScalarTimed.h"

#include "viewer/map/GridCells.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"

Long DrawGridScalarTimed(Picture& pic) {
    RenderContext rc(pic, "[DrawGridScalar]");
    if (!ScaleCheck(rc)) return -1;
    BeginFrame(rc, Data.Picks(1), FrameFill::Mask);
    FindTimeAndLevel(rc);
    PinLevel(rc, Data.CurLevel);
    if (!WindowCheck(rc)) return -1;

    // The range widens over the steps drawn; each step shows the copies beyond the seam too.
    const Long last = TimeLoop(rc, [](RenderContext& r, Long) { return DrawGridStep(r); });
    if (last < 0) return -1;

    FinishFrame(rc);
    return last;
}
