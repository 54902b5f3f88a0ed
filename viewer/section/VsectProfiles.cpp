#include "viewer/section/VsectProfiles.h"

#include "common/SectionGeometry.h"
#include "gui/Picture.h"
#include "runtime/Color.h"
#include "runtime/Text.h"
#include "viewer/map/SharedState.h"
#include "viewer/section/ModVsect.h"
#include "viewer/section/VsectSection.h"

#include <cmath>

namespace {

constexpr float kNoVal = -1e35f;

// The label of a tick value: the whole number in Str form when the value is one, else text.
template <class Other> std::string tickLabel(float v, Other other) {
    const double n = std::nearbyint(static_cast<double>(v));
    if (std::fabs(v - n) < 1e-6) return Str(n);
    return other(v);
}

// True when every panel has a section point of the values read.
bool panelsHavePoints(Long nPanels) {
    const VArray<Long>& cells = Vsect.VsectProfileCells;
    if (!cells.IsAllocated() || cells.LBound() > 1 || cells.UBound() < nPanels) return false;
    for (Long n = 1; n <= nPanels; ++n)
        if (cells(n) < 1 || cells(n) > Vsect.nVsectPoints) return false;
    return true;
}

} // namespace

void DrawVsectProfiles(Picture& pic) {
    const Long nPanels = View.SectionPathCount;
    if (nPanels < 1 || Vsect.nVsectPoints < 1) return;
    const VsectCube& cube = Vsect.VsectValues;
    const Long kMax = cube.levels();
    if (cube.points() != Vsect.nVsectPoints || kMax < 1 || cube.steps() < 1) return;
    if (!Data.vCoordV.IsAllocated() || Data.vCoordV.LBound() > 1 || Data.vCoordV.UBound() < kMax)
        return;
    if (!panelsHavePoints(nPanels)) return;

    const Long savedFore = pic.ForeColor();
    pic.setFontBold(true);
    const float bottom = Vsect.VsectBottom;
    const float depthStep = NiceStep(bottom);
    const VsectVarRec& rec = Vsect.VsectVars(Vsect.CurVsectVar);
    // Variables 1 to 7 take the bright colours 9 to 15; further ones take them again.
    const Long curveColor = QBColor(9 + (std::abs(Vsect.CurVsectVar) + 6) % 7);
    VArray<float> xs(1, kMax), ys(1, kMax);
    for (Long n = 1; n <= nPanels; ++n) {
        const Long cell = Vsect.VsectProfileCells(n);
        float height = 0, width = 0, left = 0, top = 0;
        LayoutVsectProfilePanel(pic, 1, nPanels, 1, n, height, width, left, top, 1);
        const Long depthSide = n == nPanels ? 1 : 0;
        pic.setForeColor(QBColor(0));
        const VsectPoint& pt = Vsect.VsectPoints(cell);
        std::string title("Cell:");
        title.append(Str(cell)).append(" (").append(Str(pt.i)).append(",").append(Str(pt.j));
        title.append(")");
        DrawVsectProfileAxes(pic, left, width, top, height, rec.high, rec.low, rec.step, -1, 0,
                             -bottom, depthStep, depthSide, title);

        Long m = 0;
        for (Long k = 1; k <= kMax; ++k) {
            const float v = cube(cell, k, 1);
            if (v > kNoVal) {
                ++m;
                xs(m) = v;
                ys(m) = static_cast<float>(-Data.vCoordV(k));
            }
        }
        pic.setForeColor(curveColor);
        pic.setDrawWidth(2);
        DrawVsectProfileLine(pic, m, xs, ys, left, width, top, height, rec.high, rec.low, 0,
                             -bottom);
        pic.setDrawWidth(1);
    }
    pic.Refresh();
    pic.setForeColor(savedFore);
    pic.setFontBold(false);
}

void LayoutVsectProfilePanel(const Picture& pic, Long rows, Long cols, Long row, Long col,
                             float& height, float& width, float& left, float& top, Long side) {
    const float H = pic.ScaleHeight() - kVsectStripHeight;
    const float gap = H / 20;
    const float th = pic.TextHeight("-0");
    const float narrow = pic.TextWidth("00");
    const float wide = pic.TextWidth(" -200 ");
    float leftMargin = narrow, rightMargin = narrow;
    if (side == -1) leftMargin = wide;
    if (side == 1) rightMargin = wide;
    const auto r = static_cast<float>(rows);
    const auto c = static_cast<float>(cols);
    height = (H - 350 - 2 * th - gap * (r - 1)) / r;
    width = (pic.ScaleWidth() - leftMargin - rightMargin - gap * (c - 1)) / c;
    left = (width + gap) * static_cast<float>(col - 1) + leftMargin;
    top = (gap + height) * static_cast<float>(row - 1) + th;
}

void DrawVsectProfileAxes(Picture& pic, float left, float width, float top, float height,
                          float high, float low, float step, Long valueSide, float depthTop,
                          float depthBottom, float depthStep, Long depthSide,
                          const std::string& title) {
    pic.Line(left, top, left + width, top + height, {}, LineFlag::B);
    pic.setCurrentX(2 * width / 3 + left - pic.TextWidth(std::string(title).append("a")));
    pic.setCurrentY(top + height + 1.5f * pic.TextHeight(title));
    pic.Print(title);
    const float tick = std::nearbyint(pic.TextHeight("0") / 2);

    if (depthStep > 0 && std::isfinite(depthStep) && depthTop != depthBottom) {
        const float yscale = height / (depthTop - depthBottom);
        auto depthTick = [&](float d) {
            const float y = top + height - (d - depthBottom) * yscale;
            pic.Line(left, y, left + tick, y);
            pic.Line(left + width, y, left + width - tick, y);
            if (depthSide == 0) return;
            const std::string label = tickLabel(std::fabs(d), [](float v) { return Str(v); });
            pic.setCurrentX(depthSide < 0 ? left - pic.TextWidth(label) - tick / 2 : left + width);
            pic.setCurrentY(y - tick);
            pic.Print(label);
        };
        float d = -depthStep;
        for (Long n = 0; n < kMaxTicks && d <= depthTop; ++n) {
            d += depthStep;
            if (d <= depthTop) depthTick(d);
        }
        d = 0;
        for (Long n = 0; n < kMaxTicks && d >= depthBottom; ++n) {
            d -= depthStep;
            if (d >= depthBottom) depthTick(d);
        }
    }

    if (step > 0 && high != low) {
        const float size = std::fabs(step);
        const float xscale = width / (high - low);
        float v = low - size;
        for (Long n = 0; n < kMaxTicks && v < high; ++n) {
            v += size;
            if (v > high) break;
            const float x = (v - low) * xscale + left;
            pic.Line(x, top, x, top + tick);
            pic.Line(x, top + height, x, top + height - tick);
            if (valueSide == 0) continue;
            const std::string label = tickLabel(v, [](float u) { return Format(u, "#.0"); });
            const float w = pic.TextWidth(label);
            const float h = pic.TextHeight(label);
            pic.setCurrentX(x - w / 2);
            pic.setCurrentY(valueSide > 0 ? top - h : top + height + h / 6);
            pic.Print(label);
        }
    }
}

void DrawVsectProfileLine(Picture& pic, Long m, const VArray<float>& xs, const VArray<float>& ys,
                          float left, float width, float top, float height, float high, float low,
                          float depthTop, float depthBottom) {
    if (m < 2 || high == low || depthTop == depthBottom) return;
    const float xscale = width / (high - low);
    const float yscale = height / (depthTop - depthBottom);
    auto X = [&](Long i) { return (xs(i) - low) * xscale + left; };
    auto Y = [&](Long i) { return top + height - (ys(i) - depthBottom) * yscale; };
    for (Long i = 2; i <= m; ++i)
        pic.Line(X(i - 1), Y(i - 1), X(i), Y(i));
}
