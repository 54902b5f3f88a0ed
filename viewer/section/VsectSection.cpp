#include "viewer/section/VsectSection.h"

#include "common/Contour.h"
#include "common/MinMax.h"
#include "common/Ui.h"
#include "gui/ContourPicture.h"
#include "gui/Picture.h"
#include "runtime/Color.h"
#include "runtime/Convert.h"
#include "runtime/Text.h"
#include "viewer/map/ColorSchemes.h"
#include "viewer/map/SharedState.h"
#include "viewer/section/ModVsect.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kNoVal = -1e35f;
constexpr Long kBarSteps = 31;

// Bold text for the axes while it lives.
class BoldFont {
public:
    explicit BoldFont(Picture& pic) : pic_(pic) { pic_.setFontBold(true); }
    ~BoldFont() { pic_.setFontBold(false); }
    BoldFont(const BoldFont&) = delete;
    BoldFont& operator=(const BoldFont&) = delete;

private:
    Picture& pic_;
};

// The ticks of an axis from 0 to end every step: their values, none for a step that is not a
// positive number.
template <class Tick> void eachTick(float step, float end, Tick tick) {
    if (!(step > 0) || !std::isfinite(step)) return;
    float d = -step;
    for (Long n = 0; n < kMaxTicks && d < end; ++n) {
        d += step;
        if (d > end) break;
        tick(n, d);
    }
}

// A line width the picture takes.
int lineWidth(Long thickness) {
    return static_cast<int>(std::clamp<Long>(thickness, 1, 32767));
}

} // namespace

Long xycordCartesian(PlotTransform& t, const PlotWindow& w, Long width, Long height) {
    if (!PlotWindowUsable(w, width, height)) return -1;
    const double dx = w.xmax - w.xmin;
    const double dy = w.ymax - w.ymin;
    const double xoff = width * 0.02;
    const double yoff = height * 0.05;
    t.OrgX = w.xmin;
    t.OrgY = w.ymin;
    t.ScaleX = (width - 2 * xoff) / dx;
    t.ScaleY = (height - 2 * yoff) / dy;
    t.OffX = (width - t.ScaleX * dx) / 2;
    t.OffY = (height - t.ScaleY * dy) / 2;
    t.PicHeight = static_cast<float>(height);
    return 0;
}

void VsectColor(float f, Long& color) {
    const float fraction = Vsect.ColorReverse == 1 ? 1 - f : f;
    SchemeColor(Vsect.ColorCode, Vsect.col_opt, fraction, color);
}

void DrawVsectSection(Picture& pic, Picture& bar, const BarTextSink& barText) {
    const VsectCube& cube = Vsect.VsectValues;
    const Long nPoints = Vsect.nVsectPoints;
    const Long kMax = cube.levels();
    if (nPoints < 1 || cube.points() != nPoints || kMax < 1 || cube.steps() < 1) return;
    if (!Data.vCoordV.IsAllocated() || Data.vCoordV.LBound() > 1 || Data.vCoordV.UBound() < kMax)
        return;
    VsectVarRec& rec = Vsect.VsectVars(Vsect.CurVsectVar);

    VArray<float> grid(1, nPoints, 1, kMax);
    VArray<Integer> codes(1, nPoints, 1, kMax);
    float colourMax = -9999999;
    for (Long p = 1; p <= nPoints; ++p)
        for (Long k = 1; k <= kMax; ++k) {
            const float v = cube(p, k, 1);
            if (v > kNoVal) {
                grid(p, k) = v;
                codes(p, k) = 1;
                colourMax = MaxS(colourMax, v);
            }
        }

    Hourglass busy;
    Vsect.ColorBarMax = rec.high;
    PlotTransform t;
    const Long frame = DrawVsectFrame(pic, t, grid, codes, colourMax, nPoints, kMax, 0, 0, 1,
                                      static_cast<float>(Vsect.VsectLengthKm));
    pic.Refresh();

    // Contours need the section's scale: none when the picture could not be scaled.
    if (Vsect.ifDrawContour > 0 && frame == 0) {
        pic.setDrawWidth(lineWidth(Vsect.ConLinThk));
        pic.setFontBold(true);
        ContourPicture canvas(pic);
        const ContourField field{grid,    codes, Data.vCoordV, 0, 0, 1, 1.0 / Vsect.VsectBottom, 1,
                                 nPoints, 1,     kMax};
        ContourGrid(canvas, t, field, rec.step, rec.high, rec.low, Vsect.ConLinCol);
        pic.setDrawWidth(1);
        pic.setFontBold(false);
    }
    DrawVsectColorBar(bar, barText);
}

Long DrawVsectFrame(Picture& pic, PlotTransform& t, const VArray<float>& grid,
                    const VArray<Integer>& codes, float colourMax, Long nPoints, Long nLevels,
                    float x0, float y0, float dx, float lengthKm) {
    ui().DoEvents();
    const Long height = CLng(pic.ScaleHeight() - kVsectStripHeight);
    Long width = CLng(pic.ScaleWidth());
    if (Vsect.ifDrawHorizontalAxis == 1) width = CLng(width - pic.TextWidth("-2000"));
    const PlotWindow window{0, static_cast<double>(Vsect.nVsectPoints), -Vsect.VsectBottom, 0};
    if (xycordCartesian(t, window, width, height) != 0) return -1;
    const VArray<double>& vCoord = Data.vCoordV;

    // The value of level k colours the band down to level k + 1.
    if (colourMax != 0) {
        Long color = 0;
        for (Long k = 1; k <= nLevels - 1; ++k)
            for (Long p = 1; p <= nPoints; ++p) {
                if (codes(p, k) == 0) continue;
                const float left = static_cast<float>(p - 1) * dx + x0;
                float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
                xy_scale(t, left, static_cast<float>(-vCoord(k)), X1, Y1);
                xy_scale(t, left + dx, static_cast<float>(-vCoord(k + 1)), X2, Y2);
                VsectColor(MinS(grid(p, k) / colourMax, 1), color);
                pic.Line(X1, Y1, X2, Y2, color, LineFlag::BF);
            }
    }

    const float right = static_cast<float>(nPoints) * dx + x0;
    float Ax = 0, Ay = 0, Bx = 0, By = 0;
    xy_scale(t, x0, static_cast<float>(-vCoord(1)), Ax, Ay);
    xy_scale(t, right, static_cast<float>(-vCoord(nLevels)), Bx, By);
    const auto W = static_cast<float>(CLng(Bx - Ax));
    const auto H = static_cast<float>(CLng(By - Ay));
    if (Vsect.ifDrawHorizontalAxis == 1 && lengthKm != 0)
        DrawVsectDistanceAxis(pic, Ax, By, W / lengthKm, lengthKm, 0);
    if (Vsect.ifDrawVerticalAxis == 1 && vCoord(nLevels) != 0) {
        float Cx = 0, Cy = 0;
        xy_scale(t, right, y0, Cx, Cy);
        DrawVsectDepthAxis(pic, Cx, Cy, H / static_cast<float>(vCoord(nLevels)), Vsect.VsectBottom,
                           0);
    }
    return 0;
}

void DrawVsectDepthAxis(Picture& pic, float X, float Y, float scale, float maxDepth, float start) {
    BoldFont bold(pic);
    const float xt = X + pic.TextWidth("0") / 2;
    eachTick(NiceStep(maxDepth), maxDepth, [&](Long n, float d) {
        const float y = (d - start) * scale + Y;
        pic.Line(X, y, xt, y);
        pic.setCurrentX(xt + pic.TextWidth("1") / 3);
        pic.setCurrentY(y - pic.TextHeight("A") / 3);
        std::string label = CStr(d);
        if (n == 0) label.append(" m");
        pic.Print(label);
    });
}

void DrawVsectDistanceAxis(Picture& pic, float X, float Y, float scale, float length, float start) {
    BoldFont bold(pic);
    const float yt = Y + pic.TextHeight("A") / 2;
    eachTick(NiceStep2(length), length, [&](Long n, float d) {
        const float x = (d - start) * scale + X;
        pic.Line(x, Y, x, yt);
        const std::string value = CStr(d);
        pic.setCurrentX(x - pic.TextWidth(value) / 2);
        pic.setCurrentY(yt);
        std::string label = value;
        if (n == 0) label.append(" km");
        pic.Print(label);
    });
}

void DrawVsectColorBar(Picture& bar, const BarTextSink& barText) {
    if (!(Vsect.ColorBarMax > 0)) return;
    const auto W = static_cast<float>(CLng(bar.ScaleWidth()));
    const auto H = static_cast<float>(CLng(bar.ScaleHeight()));
    bar.setForeColor(QBColor(0));
    bar.Cls();
    if (barText) barText(Str(Vsect.ColorBarMax));
    const float cellW = W / 33;
    const bool solid = Vsect.ColorCode % 10 == 0;
    Long color = 0;
    for (Long i = 1; i <= kBarSteps; ++i) {
        const float x1 = cellW * static_cast<float>(i);
        const float x2 = x1 + cellW;
        const float f = static_cast<float>(i) / kBarSteps;
        VsectColor(f, color);
        if (solid) {
            bar.setFillStyle(kFillSolid);
            bar.Line(x1, H / 2, x2, H, color, LineFlag::BF);
        } else if (f <= 0.8f) {
            bar.setFillStyle(kFillTransparent);
            bar.Line(x1, H / 2, x2, H, color, LineFlag::BF);
        } else {
            bar.setFillColor(color);
            if (f > 0.9f) {
                bar.setFillStyle(kFillDownwardDiagonal);
                bar.Line(x1, H / 2, x2, H, color, LineFlag::B);
            }
            bar.setFillStyle(kFillUpwardDiagonal);
            bar.Line(x1, H / 2, x2, H, color, LineFlag::B);
        }

        const float value = Vsect.ColorBarMax * f;
        std::string label;
        if (i == kBarSteps)
            label = Format(value, "###0.").append(">");
        else if (i % 3 == 1)
            label = Format(value, value >= 1 ? "###0." : "###0.0");
        if (label.empty()) continue;
        bar.setCurrentX(x1 - cellW / 2);
        bar.setCurrentY(0);
        bar.Print(label);
    }
}
