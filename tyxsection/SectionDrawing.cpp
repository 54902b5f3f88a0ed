#include "tyxsection/SectionDrawing.h"
#include "common/Contour.h"
#include "common/SectionGeometry.h"
#include "common/Ui.h"
#include "gui/ContourPicture.h"
#include "gui/Picture.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "tyxsection/ColorKey.h"
#include "tyxsection/TyxPlot.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr Long kBlack = 0;

// What one drawing draws, taken from the state when it starts.
struct SectionView : DrawingBasis {
    SectionCells section;
    VArray<float> lonGrid, latGrid;
    Long nCells = 0;
    ModColorState colour;
    Long showLegend = 0;
    Long contourFlag = 0, contourColor = 0, contourWidth = 1;
    // The valid values (code 1) and the cells without one (code 0).
    VArray<float> cellValue;
    VArray<Integer> cellCode;
};

SectionView viewOf(TyxModel& m) {
    TyxMainState& main = m.main;
    SectionView v;
    static_cast<DrawingBasis&>(v) = DrawingBasisOf(main);
    const DrawAbleItemRec& item = main.items.DrawAbleItem(main.SectDataItem);
    v.section = main.section;
    v.lonGrid = main.geo.LonGrid;
    v.latGrid = main.geo.LatGrid;
    v.nCells = main.SectData.UBound(1);
    v.showLegend = main.ShowLegend;
    if (m.contour.ContourWidth < 1) m.contour.ContourWidth = 1;
    v.contourFlag = m.contour.ContourFlag;
    v.contourColor = m.contour.ContourColor;
    v.contourWidth = m.contour.ContourWidth;
    // The ramp spans the item's display range.
    m.colour.RampRange = item.high - item.low;
    m.colour.RampLow = item.low;
    v.colour = m.colour;
    v.cellValue.ReDim(1, v.nCells, 1, v.nv);
    v.cellCode.ReDim(1, v.nCells, 1, v.nv);
    for (Long i = 1; i <= v.nCells; ++i)
        for (Long k = 1; k <= v.nv; ++k) {
            const float value = main.SectData(i, k);
            if (value > kNoVal) {
                v.cellValue(i, k) = value;
                v.cellCode(i, k) = 1;
            }
        }
    return v;
}

// A number as its Str form without the leading blank: "0", ".5", "-2".
std::string plainNumber(float x) {
    return LTrim(Str(x));
}

// The text of a longitude (E/W) or latitude (N/S): whole degrees without decimals.
std::string degreesText(double value, bool longitude) {
    const double a = std::fabs(value);
    const std::string number =
        std::fabs(value - Fix(value)) < 0.0001 ? Format(a, "#0") : Format(a, "#0.00");
    if (longitude) return number + (value >= 0 ? "E" : "W");
    return number + (value >= 0 ? "N" : "S");
}

// The axis below the plot: distance in km for a general path, longitude or latitude for a
// section along a row or a column. (x0, y0) is the plot's lower left corner and width its width.
void DrawSectionXAxis(Picture& pic, const SectionView& v, float x0, float y0, float width,
                      double length) {
    pic.setFontBold(true);
    const float line = pic.TextHeight("A");
    const float yl = y0 + line / 2;
    auto tick = [&](float X, const std::string& label, float labelWidth) {
        pic.Line(X, y0, X, yl);
        PrintAt(pic, X - labelWidth / 2, yl, label);
    };
    const SectionCells& s = v.section;
    if (s.SectionKind == 0) {
        const float step = NiceStep2(static_cast<float>(length));
        const bool scaled = length > 0 && std::isfinite(length);
        for (Long n = 0; n < kMaxTicks; ++n) {
            const float d = static_cast<float>(n) * step;
            if (d > length || (n > 0 && !(step > 0))) break;
            const float X = scaled ? static_cast<float>(d * (width / length) + x0) : x0;
            const std::string number = plainNumber(d);
            tick(X, n == 0 ? number + " km" : number, pic.TextWidth(number));
        }
    } else if (s.SectionKind == 1 || s.SectionKind == 2) {
        const bool alongLat = s.SectionKind == 1;
        const SectCellRec first = s.SectCell(1), last = s.SectCell(s.nSectCell);
        const double a = alongLat ? v.lonGrid(first.i) : v.latGrid(first.j);
        double b = alongLat ? v.lonGrid(last.i) : v.latGrid(last.j);
        // A row across the seam of a grid round the earth runs on past its last longitude.
        const double lastLon = v.lonGrid(v.lonGrid.UBound());
        if (alongLat && b <= a && s.nSectCell > 1) b += 360;
        auto shown = [&](double t) {
            if (!alongLat) return t;
            if (t > (lastLon <= 180 ? 180.0 : 360.0)) t -= 360;
            return t;
        };
        Long fit = CLng(width / pic.TextWidth(" 100.25E "));
        if (fit < 1) fit = 1;
        if (b > a) {
            // Whole degrees while the labels that fit allow them, else a fraction of a degree.
            double step = Int((b - a) / fit);
            double start = Int(a);
            if (step == 0) {
                step = FractionalTickStep((b - a) / fit);
                start = Int(a / step) * step;
            }
            const double scale = width / (b - a);
            Long drawn = 0;
            for (Long q = 0; drawn < kMaxTicks && q <= kMaxTicks + 1; ++q) {
                const double t = start + q * step;
                if (t > b) break;
                if (t < a) continue;
                const std::string label = degreesText(shown(t), alongLat);
                tick(static_cast<float>((t - a) * scale + x0), label, pic.TextWidth(label));
                ++drawn;
            }
        }
        // The row or column the user drew along: the path's own latitude or longitude.
        const bool drawn = s.PathLL.IsAllocated() && s.PathLL.UBound() >= 1;
        const double along = alongLat ? (drawn ? s.PathLL(1).lat : v.latGrid(first.j))
                                      : (drawn ? s.PathLL(1).lon : v.lonGrid(first.i));
        const std::string title =
            alongLat ? "Longitude (deg) Along Constant Latitude= " + degreesText(along, false)
                     : "Latitude (deg) Along Constant Longitude= " + degreesText(along, true);
        PrintAt(pic, x0 + width / 2 - pic.TextWidth(title) / 2, yl + 1.5f * line, title);
    }
    pic.setFontBold(false);
}

// The depth axis from the plot's upper left corner (x0, y0) down, scale picture units per
// depth unit, the plot's top at depth top and its bottom at maxDepth; its labels go outside
// the plot, on the left when it lies in the left half, the first with the levels' unit.
void DrawSectionDepthAxis(Picture& pic, float x0, float y0, float scale, float top,
                          float maxDepth, const std::string& units) {
    const float side = pic.ScaleWidth() / 2 > x0 ? -1.0f : 1.0f;
    pic.setFontBold(true);
    const float step = NiceStep(maxDepth - top);
    const float xt = x0 + side * pic.TextWidth("0") / 2;
    // The ticks are the multiples of the step within the axis, the first labelled with its unit.
    const float first = step > 0 ? std::ceil(top / step) * step : top;
    for (Long n = 0; n < kMaxTicks; ++n) {
        const float d = first + static_cast<float>(n) * step;
        if (d > maxDepth || (n > 0 && !(step > 0))) break;
        const float Y = (d - top) * scale + y0;
        pic.Line(x0, Y, xt, Y);
        const std::string label =
            n == 0 && !units.empty() ? plainNumber(d) + " " + units : plainNumber(d);
        PrintAt(pic, xt + side * pic.TextWidth(label), Y - pic.TextHeight("A") / 2, label);
    }
    pic.setFontBold(false);
}

// The depth at the top of the plot: the surface, or the highest level when one lies above it;
// the highest level for an axis that spans its levels alone.
float PlotTop(const SectionView& v) {
    if (v.nv < 1) return 0.0f;
    const float first = static_cast<float>(v.vCoord(1));
    return v.levelsOwnRange ? first : std::min(0.0f, first);
}

// The lower edge of level k's band: the next level, and below the last one as far again as
// the layer above it (down from the top for a single level), so that the deepest level that
// holds values is seen too.
float BandBottom(const SectionView& v, Long k, float top) {
    if (k < v.nv) return static_cast<float>(v.vCoord(k + 1));
    const float last = static_cast<float>(v.vCoord(v.nv));
    const float above = v.nv >= 2 ? static_cast<float>(v.vCoord(v.nv - 1)) : top;
    return last + (last - above);
}

// What DrawSectionPanel made.
enum class Panel { Plotted, NoDepth, NoRoom };

// The plot of the section in picSection: its frame of margins, the transform, the cells and
// both axes. No plot for levels without a span (NoDepth), nor in a picture too small to hold
// one inside its margins (NoRoom); nothing but the margins is then set, and nobody is told.
Panel DrawSectionPanel(Picture& pic, const SectionView& v, PlotMargins& margins,
                       PlotTransform& t) {
    ui().DoEvents();
    const float line = pic.TextHeight("A");
    margins.MarginTop = 3 * line;
    margins.MarginBottom = (v.section.SectionKind > 0 ? 3 : 2) * line;
    margins.MarginLeft = pic.TextWidth("  -2000 ");
    margins.MarginRight = pic.TextWidth(" -2000 ");
    // A section whose levels span no depth has no plot: the frame round it is drawn alone.
    const float top = PlotTop(v);
    const float bottom = v.nv >= 1 ? BandBottom(v, v.nv, top) : v.maxDepth;
    if (!(bottom > top) || !std::isfinite(bottom - top)) return Panel::NoDepth;

    const Long ph = CLng(pic.ScaleHeight() - margins.MarginTop - margins.MarginBottom);
    const Long pw = CLng(pic.ScaleWidth() - margins.MarginLeft - margins.MarginRight);
    // A picture smaller than its margins has no room for the plot.
    if (pw <= CLng(margins.MarginLeft) || ph <= CLng(margins.MarginBottom)) return Panel::NoRoom;
    t.PicHeight = margins.MarginTop + static_cast<float>(ph);
    const PlotWindow window{0, static_cast<double>(v.nCells), -static_cast<double>(bottom),
                            -static_cast<double>(top)};
    if (Cartesian(t, window, pw, ph, CLng(margins.MarginLeft), CLng(margins.MarginBottom)) < 0)
        return Panel::NoDepth;

    // The value of level k colours the band down to level k + 1 (the last level's band as
    // thick as the layer above it); the levels run top down.
    for (Long k = 1; k <= v.nv; ++k)
        for (Long i = 1; i <= v.nCells; ++i) {
            if (v.cellCode(i, k) == 0) continue;
            float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
            xy_scale(t, static_cast<float>(i - 1), static_cast<float>(-v.vCoord(k)), X1, Y1);
            xy_scale(t, static_cast<float>(i), -BandBottom(v, k, top), X2, Y2);
            pic.Line(X1, Y1, X2, Y2, CellColor(v.colour, v.cellValue(i, k)), LineFlag::BF);
        }

    float xl = 0, yt = 0, xr = 0, yb = 0;
    xy_scale(t, static_cast<float>(window.xmin), static_cast<float>(window.ymax), xl, yt);
    xy_scale(t, static_cast<float>(window.xmax), static_cast<float>(window.ymin), xr, yb);
    DrawSectionXAxis(pic, v, xl, yb, xr - xl, v.section.SectLength);
    DrawSectionDepthAxis(pic, xl, yt, (yb - yt) / (bottom - top), top, bottom, v.levelUnits);
    return Panel::Plotted;
}

} // namespace

DrawingBasis DrawingBasisOf(const TyxMainState& main) {
    DrawingBasis v;
    v.vCoord = main.geo.vCoord;
    v.nv = main.SectData.UBound(2);
    v.maxDepth = main.MaxDepth;
    v.levelUnits = main.geo.levelUnits;
    v.levelsOwnRange = main.geo.levelsOwnRange;
    const DrawAbleItemRec& item = main.items.DrawAbleItem(main.SectDataItem);
    v.high = item.high;
    v.low = item.low;
    v.step = item.step;
    for (Long n = 1; n <= 4 && n <= main.nTitles; ++n)
        v.titles[n] = main.Titles(n);
    v.showDateTime = main.ShowDateTime;
    return v;
}

void PrintAt(Picture& pic, float x, float y, const std::string& text) {
    pic.setCurrentX(x);
    pic.setCurrentY(y);
    pic.Print(text);
}

void DrawHeaderLines(Picture& date, Picture& sect, const std::string (&titles)[5],
                     bool wholeFontSize) {
    date.Cls();
    date.setFontBold(true);
    PrintAt(date, date.TextWidth("A"), date.TextHeight("A") / 2, "Date/Time: " + titles[2]);

    const std::string dataSet = "Data Set: " + titles[1];
    PrintAt(sect, sect.ScaleWidth() - sect.TextWidth(" " + dataSet), sect.TextHeight("A") / 2,
            dataSet);
    sect.setCurrentX(sect.ScaleWidth() / 2 - sect.TextWidth(titles[3]) / 2);
    sect.Print(titles[3]);

    const float size = wholeFontSize ? static_cast<float>(CLng(sect.FontSize())) : sect.FontSize();
    sect.setFontSize(size * 1.5f);
    sect.setFontUnderline(true);
    PrintAt(sect, sect.ScaleWidth() / 2 - sect.TextWidth(titles[4]) / 2,
            sect.ScaleHeight() - 1.5f * sect.TextHeight("A"), titles[4]);
    sect.setFontSize(size);
    sect.setFontItalic(false);
    sect.setFontUnderline(false);
    if (!wholeFontSize) sect.setFontBold(false);
}

void DrawVSection(TyxModel& m, TyxPictures& p) {
    TyxMainState& main = m.main;
    if (!main.SectData.IsAllocated()) return;
    const Long dataset = main.DatasetNumber;
    SectionView v = viewOf(m);
    main.ShowXAxis = 1;
    main.ShowDepthAxis = 1;

    // A drawing starts in black, whatever the one before left.
    p.picSection.setForeColor(kBlack);
    p.picDateTime.setForeColor(kBlack);
    p.picSection.Cls();
    if (v.showDateTime != 0)
        DrawHeaderLines(p.picDateTime, p.picSection, v.titles, false);
    else
        p.picDateTime.Cls();

    Hourglass hourglass;
    PlotMargins margins;
    PlotTransform t;
    const Panel panel = DrawSectionPanel(p.picSection, v, margins, t);
    const bool plotted = panel == Panel::Plotted;

    // A picture too small for the plot has no room for its legend either.
    if (v.showLegend == 1 && panel != Panel::NoRoom) {
        Picture& s = p.picSection;
        const float x = s.ScaleWidth() - 2 * margins.MarginRight, y = margins.MarginTop;
        const float w = 2 * margins.MarginRight;
        const float h = s.ScaleHeight() - margins.MarginTop - margins.MarginBottom;
        if (v.colour.UseColorKeyFlag < 0)
            DrawKeyLegend(s, v.colour.ColorKey, x, y, w, h);
        else
            DrawRampLegend(s, v.colour, x, y, w, h);
    }

    p.picContours.Cls();
    if (v.contourFlag > 0 && plotted) {
        Picture& c = p.picContours;
        c.setDrawWidth(v.contourWidth);
        c.setFontBold(true);
        ContourPicture canvas(c);
        const ContourField field{
            v.cellValue, v.cellCode, v.vCoord, 0,   0, 1, 1 / static_cast<double>(v.maxDepth),
            1,           v.nCells,   1,        v.nv};
        float step = v.step;
        ContourGrid(canvas, t, field, step, v.high, v.low, v.contourColor,
                    [](Long, float) { ui().DoEvents(); });
        c.setDrawWidth(1);
        c.setFontBold(false);
        // The step the tracer chose stays with the item, unless another dataset came in
        // meanwhile.
        if (main.DatasetNumber == dataset && main.SectDataItem >= 1 &&
            main.SectDataItem <= main.items.NumDrawAbleItems)
            main.items.DrawAbleItem(main.SectDataItem).step = step;
    }

    Picture& view = p.Picture1;
    view.Cls();
    for (const Picture* layer : {&p.picDateTime, &p.picSection, &p.picContours})
        BitBlt(view, 0, 0, view.width(), view.height(), *layer, 0, 0, kSrcAnd);
    view.Refresh();
}
