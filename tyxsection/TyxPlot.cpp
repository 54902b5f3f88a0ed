#include "tyxsection/TyxPlot.h"
#include "gui/Picture.h"

Long Cartesian(PlotTransform& t, const PlotWindow& w, Long pwidth, Long pheight, Long xoff,
               Long yoff) {
    if (!PlotWindowUsable(w, pwidth, pheight)) return -1;
    t.OffX = xoff;
    t.OffY = yoff;
    t.OrgX = w.xmin;
    t.OrgY = w.ymin;
    t.ScaleX = (static_cast<double>(pwidth) - xoff) / (w.xmax - w.xmin);
    t.ScaleY = (static_cast<double>(pheight) - yoff) / (w.ymax - w.ymin);
    return 0;
}

void LayoutPanels(const Picture& pic, PlotMargins& margins, Long nRows, Long nCols, Long row,
                  Long col, float& panelH, float& panelW, float& px, float& py, Long axisMode) {
    const float line = pic.TextHeight("A");
    margins.MarginTop = 4 * line;
    margins.MarginBottom = 4 * line;
    const float h = pic.ScaleHeight() - margins.MarginTop - margins.MarginBottom;
    const float gapH = h / 20;
    panelH = h - gapH * static_cast<float>(nRows - 1);
    switch (axisMode) {
    case -1:
        margins.MarginRight = pic.TextWidth("00");
        margins.MarginLeft = pic.TextWidth(" -2000 ");
        break;
    case 0:
        margins.MarginRight = margins.MarginLeft = pic.TextWidth("000");
        break;
    case 1:
        margins.MarginRight = pic.TextWidth(" -2000 ");
        margins.MarginLeft = pic.TextWidth("00");
        break;
    default:
        break;
    }
    const float w = pic.ScaleWidth() - margins.MarginLeft - margins.MarginRight;
    const float gapW = w / 20;
    panelW = (w - gapW * static_cast<float>(nCols - 1)) / static_cast<float>(nCols);
    panelH = panelH / static_cast<float>(nRows);
    px = (panelW + gapW) * static_cast<float>(col - 1) + margins.MarginLeft;
    py = (gapH + panelH) * static_cast<float>(row - 1) + margins.MarginTop;
}

void DrawPolyline(Picture& pic, Long n, const VArray<float>& xs, const VArray<float>& ys,
                  float left, float width, float top, float height, float xmax, float xmin,
                  float ymax, float ymin) {
    if (xmax == xmin || ymax == ymin || n < 2) return;
    const float sx = width / (xmax - xmin);
    const float sy = height / (ymax - ymin);
    auto X = [&](Long i) { return (xs(i) - xmin) * sx + left; };
    auto Y = [&](Long i) { return (top + height) - (ys(i) - ymin) * sy; };
    for (Long i = 2; i <= n; ++i)
        pic.Line(X(i - 1), Y(i - 1), X(i), Y(i));
}
