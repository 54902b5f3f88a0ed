#include "viewer/scalar/DrawFVScalar.h"

#include "common/MinMax.h"
#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Convert.h"
#include "viewer/map/CScale.h"
#include "viewer/map/GridKinds.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"

#include <exception>
#include <string>

namespace {

// What one read of the mesh covers.
struct MeshRead {
    ValuePoints at;     // the nodes or elements drawn: their positions and number
    Long count = 0;     // values of one read along the last dimension
    Long valueStep = 1; // values per node (kMax + 1) or 1
};

// Where the values lie, and the count of the last dimension of the whole-mesh window set to
// match. No positions when there is nothing to draw: a variable on neither mesh dimension, or
// node positions that cannot be had.
MeshRead locateValues(RenderContext& rc) {
    MeshRead m;
    m.at = PointsOfValues(MapKindOf(Data.clsNC->GridType(1)), *Data.clsNC, rc.nvar, rc.infoSlot);
    if (m.at.lon == nullptr) return MeshRead{};
    if (m.at.onNodes) m.valueStep = AddL(Data.clsNC->kMax(1), 1);
    m.count = MulL(m.valueStep, m.at.count);
    if (rc.nd >= 1) rc.win.countp(rc.nd) = m.count;
    return m;
}

// Reads one step: the number of valid values, below 0 after the NetCDF error box.
Long readMesh(RenderContext& rc, const MeshRead& m, Long j) {
    const Long r = ReadSlice(rc, rc.win.scalarV, m.count);
    if (r < 0) ShowReadFailure(rc, rc.tag + " NetCDF Error", IjWindowLines(rc, 0, j, rc.nd));
    return r;
}

// The range widened by this step's values, then the boxes in index order.
void drawMesh(RenderContext& rc, const MeshRead& m) {
    AutoRange(rc, rc.win.scalarV, m.count);
    WalkPointCells(rc, *m.at.lon, *m.at.lat, m.at.count, rc.win.scalarV, 1, m.valueStep);
}

} // namespace

void DrawFvScalar(Picture& pic) {
    RenderContext rc(pic, "[DrawFvScalar]");
    try {
        if (!ScaleCheck(rc)) return;
        BeginFrame(rc, Data.Picks(1));
        WholeListWindow(rc, 1);
        PinTimeAndLevel(rc, Data.CurTimeStep, Data.CurLevel);
        DateLabel(rc, Data.CurTimeStep);
        const MeshRead m = locateValues(rc);
        if (m.at.lon == nullptr) {
            EndRender(rc);
            return;
        }

        const Long r = readMesh(rc, m, 0);
        if (r < 0) return;
        if (r > 0) drawMesh(rc, m);

        LegendAndFinish(rc);
    } catch (const std::exception& e) {
        ShowErrorTail(rc, ErrorTailText(e), rc.tag);
    }
}

Long DrawFVScalarTimed(Picture& pic) {
    RenderContext rc(pic, "[DrawFVScalarTimed]");
    try {
        if (!ScaleCheck(rc)) return -1;
        BeginFrame(rc, Data.Picks(1));
        WholeListWindow(rc, 1);
        const MeshRead m = locateValues(rc);
        if (m.at.lon == nullptr) {
            EndRender(rc);
            return -1;
        }
        FindTimeAndLevel(rc);
        PinLevel(rc, Data.CurLevel);
        if (rc.timePos <= 0) {
            EndRender(rc);
            return -1;
        }

        // The second counter of the error box: the value number after the last node of the
        // step drawn before (0 until a node step is drawn).
        Long j = 0;
        const Long last = TimeLoop(rc, [&m, &j](RenderContext& r, Long) {
            const Long found = readMesh(r, m, j);
            if (found < 0) return false;
            if (found > 0) {
                drawMesh(r, m);
                if (m.at.onNodes) j = AddL(m.count, 1);
            }
            return true;
        });
        if (last < 0) return -1;

        FinishFrame(rc);
        return last;
    } catch (const std::exception& e) {
        ShowErrorTail(rc, ErrorTailText(e), rc.tag);
        return -1;
    }
}
