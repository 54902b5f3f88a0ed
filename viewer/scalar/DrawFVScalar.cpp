#include "viewer/scalar/DrawFVScalar.h"

#include "common/MinMax.h"
#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Convert.h"
#include "viewer/map/CScale.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"

#include <exception>
#include <string>

namespace {

// What one read of the mesh covers.
struct MeshRead {
    FvLocation kind = FvLocation::None;
    Long count = 0;     // values of one read along the last dimension
    Long items = 0;     // nodes or elements drawn
    Long valueStep = 1; // values per node (kMax + 1) or 1
};

// The location of the values, and the count of the last dimension of the whole-mesh window
// set to match. kind None when there is nothing to draw: a variable on neither mesh
// dimension, or node positions that cannot be had.
MeshRead locateValues(RenderContext& rc) {
    MeshRead m;
    m.kind = FvLocationOf(rc.nvar, rc.infoSlot);
    if (m.kind == FvLocation::Nodes) {
        if (!EnsureFvNodePositions()) return MeshRead{};
        m.items = Data.clsNC->nNodes(1);
        m.valueStep = AddL(Data.clsNC->kMax(1), 1);
        m.count = MulL(m.valueStep, m.items);
    } else if (m.kind == FvLocation::Elements) {
        m.items = Data.clsNC->nElements(1);
        m.count = m.items;
    }
    if (m.kind != FvLocation::None && rc.nd >= 1) rc.win.countp(rc.nd) = m.count;
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
    if (m.kind == FvLocation::Nodes)
        WalkPointCells(rc, rc.coords.nodeLonV, rc.coords.nodeLatV, m.items, rc.win.scalarV, 1,
                       m.valueStep);
    else
        WalkPointCells(rc, rc.coords.lonV, rc.coords.latV, m.items, rc.win.scalarV);
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
        if (m.kind == FvLocation::None) {
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
        if (m.kind == FvLocation::None) {
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
                if (m.kind == FvLocation::Nodes) j = AddL(m.count, 1);
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
