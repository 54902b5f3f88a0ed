#include "tyxsection/SectionColours.h"
#include "common/MinMax.h"
#include "gui/Picture.h"
#include "runtime/Convert.h"
#include "runtime/Text.h"

#include <cmath>

namespace {

constexpr Long kWhite = 0xFFFFFF;
constexpr Long kBlack = 0;
// The ramp legend's boxes, and the fraction of its lowest one.
constexpr Long kRampBoxes = 50;
constexpr float kRampStep = 1.0f / kRampBoxes;

// A component rounded to the nearest whole number (halves to even), none below 0.
Long part(double c) {
    const double r = std::nearbyint(c);
    return r > 0 ? static_cast<Long>(r) : 0;
}

Long rgb(Long r, Long g, Long b) {
    return r + 256 * g + 65536 * b;
}

Long keyColour(const ColorKeyRec& key, float v) {
    for (Long i = 1; i <= key.count; ++i)
        if (key.low(i) <= v && v < key.high(i)) return key.color(i);
    return kWhite;
}

// The text of a key bound: whole numbers without decimals, others with one.
std::string boundText(float b) {
    const float fraction = b - Int(b);
    return Format(b, fraction < 0.001f ? "#0" : "#0.0");
}

void keyLegend(const ColorKeyRec& key, Picture& pic, float x, float y, float w, float h) {
    if (key.count < 1) return;
    const Long fore = pic.ForeColor();
    const int fill = pic.FillStyle();
    const float size = pic.FontSize();
    pic.setForeColor(kBlack);
    pic.setFillStyle(kFillSolid);
    const float boxW = w / 4;
    const float boxH = MinS(h / static_cast<float>(key.count + 4), pic.TextHeight("1"));
    const float gap = boxH / 4;
    const float xR = x + boxW;
    float top = y - (boxH + gap);
    for (Long i = key.count; i >= 1; --i) {
        top = top + boxH + gap;
        pic.Line(x, top, xR, top + boxH, key.color(i), LineFlag::BF);
        pic.setCurrentX(xR + boxW / 2);
        pic.setCurrentY(top + gap / 2);
        pic.Print(boundText(key.low(i)) + " - " + boundText(key.high(i)));
    }
    pic.setForeColor(fore);
    pic.setFillStyle(fill);
    pic.setFontSize(size);
}

void rampLegend(const ModColorState& colour, Picture& pic, float x, float y, float w, float h) {
    const Long fore = pic.ForeColor();
    const int fill = pic.FillStyle();
    pic.setForeColor(kBlack);
    const float boxW = w / 4;
    const float boxH = h / 54;
    const float xL = x + boxW / 2;
    const float xR = xL + boxW;
    for (Long k = 1; k <= kRampBoxes; ++k) {
        const float yTop = boxH * static_cast<float>(51 - k) + y;
        const float yBot = yTop + boxH;
        const float f = kRampStep * static_cast<float>(k);
        pic.setFillStyle(kFillSolid);
        pic.Line(xL, yTop, xR, yBot, SectionRampColour(f), LineFlag::BF);
        if (k % 5 == 0) {
            pic.setCurrentX(xR + boxW / 2);
            pic.setCurrentY(yTop - boxH / 2);
            pic.Print(Format(colour.RampRange * f + colour.RampLow, "#0.00"));
        }
    }
    pic.setForeColor(fore);
    pic.setFillStyle(fill);
}

} // namespace

Long SectionRampColour(float f) {
    if (!(f > 0) || f > 1) return kWhite;
    if (f < 1e-07f) return kWhite;
    if (f <= 0.33333334f) {
        const Long c = part((1 - f / 0.33333333) * 245);
        return rgb(c, 245, c);
    }
    if (f <= 0.6666667f) {
        const Long c = part((1 - (f - 0.33333333) / 0.333333) * 245);
        return rgb(c, c, 245);
    }
    const Long c = part((1 - (f - 0.66666666) / 0.333333) * 245);
    return rgb(245, c, c);
}

Long SectionCellColour(const ModColorState& colour, float v) {
    if (colour.UseColorKeyFlag < 0) return keyColour(colour.ColorKey, v);
    // A constant field spans nothing: its one value takes the ramp's first colour.
    if (colour.RampRange == 0 || !std::isfinite(colour.RampRange))
        return SectionRampColour(kRampStep);
    return SectionRampColour(MinS((v - colour.RampLow) / colour.RampRange, 1));
}

void DrawSectionLegend(const ModColorState& colour, Picture& pic, float x, float y, float w,
                       float h) {
    if (colour.UseColorKeyFlag < 0)
        keyLegend(colour.ColorKey, pic, x, y, w, h);
    else
        rampLegend(colour, pic, x, y, w, h);
}
