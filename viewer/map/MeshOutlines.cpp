#include "viewer/map/MeshOutlines.h"

#include "gui/Picture.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Color.h"
#include "viewer/map/MapGeometry.h"
#include "viewer/map/MapPositions.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"

#include <exception>
#include <string>

namespace {

// The three sides of one element, its corners shifted by shift. A corner the transform refuses
// takes its two sides with it.
void drawTriangle(RenderContext& rc, const float (&xs)[3], const float (&ys)[3], float shift) {
    float px = 0, py = 0, qx = 0, qy = 0, rx = 0, ry = 0;
    const bool hasP = MapPoint(rc, xs[0] + shift, ys[0], px, py);
    const bool hasQ = MapPoint(rc, xs[1] + shift, ys[1], qx, qy);
    if (hasP && hasQ) rc.pic.Line(px, py, qx, qy);
    const bool hasR = MapPoint(rc, xs[2] + shift, ys[2], rx, ry);
    if (hasQ && hasR) rc.pic.Line(qx, qy, rx, ry);
    if (hasR && hasP) rc.pic.Line(rx, ry, px, py);
}

// Elements whose first corner lies in the view, drawn whole in black. An element with a corner
// that marks no position (a land node's fill) is left out; one across the longitude seam keeps
// its shape and is drawn again where the view shows its other copy. An error ends the drawing
// with what is drawn so far.
void drawMesh(Picture& pic, const std::string& tag, const VArray<float>& lon,
              const VArray<float>& lat) {
    RenderContext rc(pic, tag);
    BeginRender(rc);
    const Long saved = pic.ForeColor();
    pic.setForeColor(QBColor(0));
    try {
        const ViewEdges view = CurrentViewEdges();
        const float period = MapLonPeriod();
        // A mesh whose connectivity could not be filled has no triangles to outline; a
        // quadrangle is outlined as its two triangles.
        const Long n = MeshTriangleCount();
        for (Long e = 1; e <= n; ++e) {
            const Long p = Data.node1(e), q = Data.node2(e), r = Data.node3(e);
            if (!InView(view, lon(p), lat(p))) continue;
            float xs[3] = {lon(p), lon(q), lon(r)};
            const float ys[3] = {lat(p), lat(q), lat(r)};
            if (!PositionKnown(xs[0], ys[0]) || !PositionKnown(xs[1], ys[1]) ||
                !PositionKnown(xs[2], ys[2]))
                continue;
            float lo = 0, hi = 0;
            KeepWhole(xs, 3, period, lo, hi);
            const LonCopies copies = CopiesInView(lo, hi, view.W, view.E, period);
            for (int c = 0; c < copies.count; ++c)
                drawTriangle(rc, xs, ys, copies.shift[c]);
        }
    } catch (const std::exception& e) {
        pic.setForeColor(saved);
        ShowErrorTail(rc, tag + ErrorDescriptionOf(e), "");
        return;
    }
    pic.setForeColor(saved);
    EndRender(rc);
}

} // namespace

void DrawFeMesh(Picture& pic) {
    drawMesh(pic, "[DrawFeMesh]", Data.lonV, Data.latV);
}

void DrawFvMesh(Picture& pic) {
    drawMesh(pic, "[DrawFvMesh]", Data.nodeLonV, Data.nodeLatV);
}
