#include "tyxsection/ColorKey.h"
#include "common/MinMax.h"
#include "gui/Picture.h"
#include "runtime/Color.h"
#include "runtime/Convert.h"
#include "runtime/Text.h"

#include <cmath>

namespace {

// One channel of a ramp band: (1 - t) * 245 rounded, halves to even. The band ends can come
// out a hair below 0, which rounds to 0.
Long bandChannel(double t) {
    const double v = (1.0 - t) * 245.0;
    if (!(v > 0)) return 0;
    return v >= 255 ? 255 : CLng(v);
}

// A key legend bound: whole numbers without decimals, others with one.
std::string legendBound(float v) {
    const float fraction = v - Int(v);
    return Format(v, fraction < 0.001f ? "#0" : "#0.0");
}

// Keeps what a legend changes of the picture's drawing state and puts it back.
class KeptPen {
public:
    explicit KeptPen(Picture& pic)
        : pic_(pic), fore_(pic.ForeColor()), fill_(pic.FillStyle()), size_(pic.FontSize()) {}
    ~KeptPen() {
        pic_.setForeColor(fore_);
        pic_.setFillStyle(fill_);
        pic_.setFontSize(size_);
    }
    KeptPen(const KeptPen&) = delete;
    KeptPen& operator=(const KeptPen&) = delete;

private:
    Picture& pic_;
    Long fore_;
    int fill_;
    float size_;
};

} // namespace

Long GetKeyColor(const ColorKeyRec& key, float v) {
    Long lowest = 0, highest = 0;
    for (Long i = 1; i <= key.count; ++i) {
        if (key.low(i) <= v && v < key.high(i)) return key.color(i);
        if (lowest == 0 || key.low(i) < key.low(lowest)) lowest = i;
        if (highest == 0 || key.high(i) > key.high(highest)) highest = i;
    }
    if (lowest == 0 || std::isnan(v)) return kKeyWhite;
    // Outside the key's span the nearer end's colour holds.
    if (v < key.low(lowest)) return key.color(lowest);
    if (v >= key.high(highest)) return key.color(highest);
    return kKeyWhite;
}

Long ocxColorRampThirds(float f) {
    // NaN takes the white of the ends as well.
    if (!(f > 0) || f > 1) return kKeyWhite;
    if (f < 1e-07f) return kKeyWhite;
    // The divisors and offsets are the rounded constants the ramp has always used.
    if (f <= 0.33333334f) {
        const Long rb = bandChannel(f / 0.33333333);
        return RGB(rb, 245, rb);
    }
    if (f <= 0.6666667f) {
        const Long rg = bandChannel((f - 0.33333333) / 0.333333);
        return RGB(rg, rg, 245);
    }
    const Long gb = bandChannel((f - 0.66666666) / 0.333333);
    return RGB(245, gb, gb);
}

Long GetRampColor(float f) {
    return ocxColorRampThirds(f);
}

float RampFraction(const ModColorState& colour, float v) {
    const float f = (v - colour.RampLow) / colour.RampRange;
    // A ramp without span (or with an infinite one) has no fraction to give.
    if (!std::isfinite(f)) return kRampFirstFraction;
    return MaxS(MinS(f, 1.0f), kRampStart);
}

Long RampColorOfValue(const ModColorState& colour, float v) {
    return GetRampColor(RampFraction(colour, v));
}

Long CellColor(const ModColorState& colour, float v) {
    if (colour.UseColorKeyFlag < 0) return GetKeyColor(colour.ColorKey, v);
    return RampColorOfValue(colour, v);
}

void DrawRampLegend(Picture& pic, const ModColorState& colour, float x, float y, float w, float h) {
    KeptPen kept(pic);
    pic.setForeColor(0);
    const float boxW = w / 4;
    const float boxH = h / 54;
    const float df = 1.0f / 50.0f;
    const float xL = x + boxW / 2;
    const float xR = xL + boxW;
    for (Long k = 1; k <= 50; ++k) {
        const float yTop = boxH * static_cast<float>(51 - k) + y;
        const float yBot = yTop + boxH;
        const float f = df * static_cast<float>(k);
        pic.setFillStyle(kFillSolid);
        pic.Line(xL, yTop, xR, yBot, GetRampColor(f), LineFlag::BF);
        if (k % 5 == 0) {
            pic.setCurrentX(xR + boxW / 2);
            pic.setCurrentY(yTop - boxH / 2);
            const float value = colour.RampRange * f + colour.RampLow;
            pic.Print(Format(value, "#0.00"));
        }
    }
}

void DrawKeyLegend(Picture& pic, const ColorKeyRec& key, float x, float y, float w, float h) {
    if (key.count < 1) return;
    KeptPen kept(pic);
    pic.setForeColor(0);
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
        pic.Print(legendBound(key.low(i)) + " - " + legendBound(key.high(i)));
    }
}

void NewColorKey(TyxModel& m) {
    ColorKeyRec& key = m.colour.ColorKey;
    key.count = 0;
    key.color.Erase();
    key.low.Erase();
    key.high.Erase();
}

void AddColorKey(TyxModel& m, float low, float high, Long color) {
    ColorKeyRec& key = m.colour.ColorKey;
    if (key.count < 0) NewColorKey(m);
    const Long n = AddL(key.count, 1);
    key.color.ReDimPreserve(1, n);
    key.low.ReDimPreserve(1, n);
    key.high.ReDimPreserve(1, n);
    key.color(n) = color;
    key.low(n) = low;
    key.high(n) = high;
    key.count = n;
}

void SetUseColorKey(TyxModel& m, bool on) {
    m.colour.UseColorKeyFlag = on && m.colour.ColorKey.count >= 1 ? -1 : 0;
}
