#include "tyxsection/ProfileDrawing.h"
#include "common/SectionGeometry.h"
#include "common/Ui.h"
#include "gui/Picture.h"
#include "runtime/Color.h"
#include "runtime/Convert.h"
#include "runtime/Text.h"
#include "tyxsection/SectionDrawing.h"
#include "tyxsection/TyxPlot.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr Long kBlack = 0;
// The light colours of the 16-colour palette that show on white (9 to 14); curves beyond the
// sixth take them again.
constexpr Long kFirstCurveColour = 9;
constexpr Long kCurveColours = 6;

// What one drawing draws, taken from the state when it starts.
struct ProfileView : DrawingBasis {
    std::vector<Long> cells;         // the section cell of each point drawn
    std::vector<std::string> labels; // its label
    std::vector<Long> vertex;        // its number on the path
    VArray<float> data;              // SectData
    Long singleGraph = 0;
};

ProfileView viewOf(const TyxMainState& main) {
    ProfileView v;
    static_cast<DrawingBasis&>(v) = DrawingBasisOf(main);
    const SectionCells& s = main.section;
    const Long nCells = main.SectData.UBound(1);
    for (Long q = 1; q <= s.nSectVertex; ++q) {
        const Long cell = s.VertexCell(q);
        if (cell < 1 || cell > nCells) continue;
        v.cells.push_back(cell);
        v.labels.push_back(s.VertexLabel(q));
        v.vertex.push_back(q);
    }
    v.data = main.SectData;
    v.singleGraph = main.SingleGraph;
    return v;
}

// True when x lies within a millionth of a whole number (labelled as that number).
bool nearWhole(float x) {
    return std::fabs(x - std::round(x)) < 0.000001f;
}

// The profile of one cell: the valid values against minus their level, in level order.
void drawProfile(Picture& pic, const ProfileView& v, Long cell, Long colour, float px, float panelW,
                 float py, float panelH) {
    VArray<float> xs(1, v.nv), ys(1, v.nv);
    Long n = 0;
    for (Long k = 1; k <= v.nv; ++k) {
        const float value = v.data(cell, k);
        if (!(value > kNoVal)) continue;
        ++n;
        xs(n) = value;
        ys(n) = static_cast<float>(-v.vCoord(k));
    }
    pic.setForeColor(colour);
    pic.setDrawWidth(2);
    DrawPolyline(pic, n, xs, ys, px, panelW, py, panelH, v.high, v.low, 0, -v.maxDepth);
    pic.setDrawWidth(1);
}

} // namespace

void DrawProfileAxes(Picture& pic, float px, float panelW, float py, float panelH, float high,
                     float low, float step, Long valueLabels, float top, float bottom,
                     float depthStep, Long labelMode) {
    pic.Line(px, py, px + panelW, py + panelH, std::nullopt, LineFlag::B);
    const float t = static_cast<float>(CLng(pic.TextHeight("0") / 2));

    // Depth: from 0 up to top, then down to bottom; none on a panel without a y span.
    if (top != bottom && std::isfinite(top - bottom)) {
        const float sy = panelH / (top - bottom);
        auto tick = [&](float d) {
            const float Y = (py + panelH) - (d - bottom) * sy;
            pic.Line(px, Y, px + t, Y);
            pic.Line(px + panelW, Y, px + panelW - t, Y);
            if (labelMode == 0) return;
            const float a = std::fabs(d);
            const std::string label = Str(nearWhole(a) ? std::round(a) : a);
            const float x = labelMode < 0 ? px - pic.TextWidth(label) - t / 2 : px + panelW;
            PrintAt(pic, x, Y - t, label);
        };
        for (Long n = 0; n < kMaxTicks; ++n) {
            const float d = static_cast<float>(n) * depthStep;
            if (d > top || (n > 0 && !(depthStep > 0))) break;
            tick(d);
        }
        for (Long n = 1; n < kMaxTicks && depthStep > 0; ++n) {
            const float d = -static_cast<float>(n) * depthStep;
            if (d < bottom) break;
            tick(d);
        }
    }

    // Values across, from low on.
    if (!(step > 0) || high == low || !std::isfinite(high - low)) return;
    const float sx = panelW / (high - low);
    const float s = std::fabs(step);
    for (Long n = 0; n < kMaxTicks; ++n) {
        const float value = low + static_cast<float>(n) * s;
        if (value > high) break;
        const float X = px + (value - low) * sx;
        pic.Line(X, py, X, py + t);
        pic.Line(X, py + panelH, X, py + panelH - t);
        if (valueLabels == 0) continue;
        const std::string label = nearWhole(value) ? Str(std::round(value)) : Format(value, "#.0");
        const float h = pic.TextHeight(label);
        PrintAt(pic, X - pic.TextWidth(label) / 2, valueLabels > 0 ? py - h : py + panelH + h / 6,
                label);
    }
}

void DrawProfiles(TyxModel& m, TyxPictures& p) {
    const TyxMainState& main = m.main;
    if (main.Item_shown <= 0 || main.section.nSectVertex <= 0 || main.section.nSectCell <= 0 ||
        !main.SectData.IsAllocated() || main.SectDataItem < 1 ||
        main.SectDataItem > main.items.NumDrawAbleItems)
        return;
    const ProfileView v = viewOf(main);
    Picture& date = p.picDateTime;
    Picture& sect = p.picSection;

    date.setFontBold(true);
    // A drawing starts in black, whatever the one before left.
    date.setForeColor(kBlack);
    sect.setForeColor(kBlack);
    sect.Cls();
    if (v.showDateTime != 0) DrawHeaderLines(date, sect, v.titles, true);

    const bool single = v.singleGraph == 1;
    const Long points = static_cast<Long>(v.cells.size());
    const Long panels = single ? (points > 0 ? 1 : 0) : points;
    const float depthStep = NiceStep(v.maxDepth);
    ui().DoEvents();

    PlotMargins margins;
    for (Long panel = 1; panel <= panels; ++panel) {
        float panelH = 0, panelW = 0, px = 0, py = 0;
        LayoutPanels(sect, margins, 1, panels, 1, panel, panelH, panelW, px, py, 1);
        // A picture smaller than its margins has no room for the panels.
        if (!(panelH > 0) || !(panelW > 0)) break;
        const Long labelMode = panel == panels ? 1 : 0;
        sect.setForeColor(QBColor(kBlack));
        const std::size_t own = static_cast<std::size_t>(panel - 1);
        if (!single) {
            const std::string& label = v.labels[own];
            PrintAt(sect, px + panelW / 2 - sect.TextWidth(label) / 2, py - sect.TextHeight(label),
                    label);
        }
        DrawProfileAxes(sect, px, panelW, py, panelH, v.high, v.low, v.step, -1, 0, -v.maxDepth,
                        depthStep, labelMode);
        if (single) {
            for (std::size_t n = 0; n < v.cells.size(); ++n) {
                const Long q = v.vertex[n];
                const Long colour = QBColor(kFirstCurveColour + (q - 1) % kCurveColours);
                sect.setForeColor(colour);
                PrintAt(sect, px + sect.TextWidth("AB"),
                        py + static_cast<float>(q) * sect.TextHeight(v.labels[n]), v.labels[n]);
                drawProfile(sect, v, v.cells[n], colour, px, panelW, py, panelH);
            }
        } else {
            drawProfile(sect, v, v.cells[own], QBColor(kFirstCurveColour), px, panelW, py, panelH);
        }
    }
    sect.setForeColor(kBlack);

    Picture& view = p.Picture1;
    view.Cls();
    for (const Picture* layer : {&date, &sect})
        BitBlt(view, 0, 0, view.width(), view.height(), *layer, 0, 0, kSrcAnd);
    view.Refresh();
    date.setFontBold(false);
}
