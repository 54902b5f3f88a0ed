#include "viewer/scalar/MeshOutlines.h"

#include "gui/Picture.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Color.h"
#include "viewer/scalar/ReadWindow.h"
#include "viewer/scalar/RenderStages.h"
#include "viewer/shell/MainBase.h"

#include <exception>
#include <string>

namespace {

// Elements whose first corner lies in the view, drawn whole in black. A corner the transform
// refuses takes its two sides with it; an error ends the drawing with what is drawn so far.
void drawMesh(Picture& pic, const std::string& tag, const VArray<float>& lon,
              const VArray<float>& lat) {
    RenderContext rc(pic, tag);
    BeginRender(rc);
    const Long saved = pic.ForeColor();
    pic.setForeColor(QBColor(0));
    try {
        const ViewEdges view = CurrentViewEdges();
        const Long n = clsNC->nElements(1);
        for (Long e = 1; e <= n; ++e) {
            const Long p = node1(e), q = node2(e), r = node3(e);
            if (!InView(view, lon(p), lat(p))) continue;
            float px = 0, py = 0, qx = 0, qy = 0, rx = 0, ry = 0;
            const bool hasP = MapPoint(rc, lon(p), lat(p), px, py);
            const bool hasQ = MapPoint(rc, lon(q), lat(q), qx, qy);
            if (hasP && hasQ) pic.Line(px, py, qx, qy);
            const bool hasR = MapPoint(rc, lon(r), lat(r), rx, ry);
            if (hasQ && hasR) pic.Line(qx, qy, rx, ry);
            if (hasR && hasP) pic.Line(rx, ry, px, py);
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
    drawMesh(pic, "[DrawFeMesh]", lonV, latV);
}

void DrawFvMesh(Picture& pic) {
    drawMesh(pic, "[DrawFvMesh]", nodeLonV, nodeLatV);
}
