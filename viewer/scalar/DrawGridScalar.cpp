#include "viewer/scalar/DrawGridScalar.h"

#include "viewer/map/GridCells.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"

void DrawGridScalar(Picture& pic, Long k) {
    RenderContext rc(pic, "[DrawGridScalar]");
    if (!ScaleCheck(rc)) return;
    BeginFrame(rc, Data.Picks(k), FrameFill::Mask);
    PinTimeAndLevel(rc, Data.CurTimeStep, Data.CurLevel);
    DateLabel(rc, Data.CurTimeStep);
    TimeBar(rc, Data.CurTimeStep);
    if (!WindowCheck(rc)) return;
    // The grid and its copies beyond the seam are all read before any is drawn: they share
    // one colour range, the one the legend shows.
    if (!DrawGridStep(rc)) return;
    FinishFrame(rc);
}
