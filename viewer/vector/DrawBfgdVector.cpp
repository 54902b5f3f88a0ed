#include "viewer/vector/DrawBfgdVector.h"

#include "common/Ui.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/VectorStages.h"
#include "viewer/map/VectorWalks.h"
#include "viewer/map/Vectors.h"

#include <exception>

void DrawBfgdVector(Picture& pic) {
    RenderContext rc(pic, "[DrawBfgdVector]");
    KeepPen pen(pic);
    if (!ScaleCheck(rc)) return;
    VectorFrame vf;
    try {
        BeginPair(rc, vf, Data.Picks(1), Data.Picks(2));
        const PairKind kind = BfgdPairLegend(vf);
        LoadVectorScale();
        ReferenceArrow(rc, vf);
        DateLabel(rc, Data.CurTimeStep);
        PinTimeAndLevel(rc, Data.CurTimeStep, Data.CurLevel);

        const PairRead r = ReadPair(rc, vf);
        if (r.failed()) {
            ShowPairReadFailure(rc, vf);
            return;
        }
        float speed2Max = 0;
        if (r.drawable()) {
            const BfgdNodes g = BfgdNodesOf(rc, vf);
            if (g.valid && Opt.OptShowGrid == 1) BfgdNodeMarks(rc, g);
            WalkBfgdArrows(rc, vf, g, kind, speed2Max);
        }

        ui().DoEvents();
        VectorFooter(rc, vf);
        SpeedRangeLine(rc, speed2Max);
        EndRender(rc);
    } catch (const std::exception& e) {
        ShowErrorTail(rc, ErrorTailText(e), rc.tag);
    }
}
