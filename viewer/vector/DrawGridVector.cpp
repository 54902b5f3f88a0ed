#include "viewer/vector/DrawGridVector.h"

#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/VectorStages.h"
#include "viewer/map/Vectors.h"

void DrawGridVector(Picture& pic, Long k) {
    RenderContext rc(pic, "[DrawGridVector]");
    KeepPen pen(pic);
    if (!ScaleCheck(rc)) return;
    VectorFrame vf;
    BeginPair(rc, vf, Data.Picks(k), Data.Picks(k + 1));
    VectorLegend(rc, vf, kGridKindZeroMagnitude);
    PinTimeAndLevel(rc, Data.CurTimeStep, Data.CurLevel);
    DateLabel(rc, Data.CurTimeStep);
    TimeBar(rc, Data.CurTimeStep);
    if (!WindowCheck(rc)) return;
    if (!DrawGridArrowsStep(rc, vf)) return;
    VectorFooter(rc, vf);
    EndRender(rc);
}
