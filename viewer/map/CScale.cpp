#include "viewer/map/CScale.h"
#include "viewer/map/ColorSchemes.h"

#include "gui/Picture.h"
#include "runtime/Color.h"
#include "runtime/Convert.h"
#include "runtime/Text.h"

#include <cmath>

namespace {

ColorKeyPicture gKeyPicture = nullptr;

constexpr Long kWhite = 0xFFFFFF;

// A component to the nearest whole number (halves to even), held within 0..255.
Long part(double c) {
    const double r = std::nearbyint(c);
    if (!(r > 0)) return 0;
    if (r > 255) return 255;
    return static_cast<Long>(r);
}

Long rgb(double r, double g, double b) {
    return part(r) + 256 * part(g) + 65536 * part(b);
}

} // namespace

void SetColourRange(ColorScaleState& scale, float max, float min) {
    scale.ScaleMax = max;
    scale.ScaleMin = min;
}

void SetColourRange(float max, float min) {
    SetColourRange(Scale, max, min);
}

void SetColourScheme(ColorScaleState& scale, Long colorCode, Long colOpt) {
    scale.ColorCode = colorCode;
    scale.col_opt = colOpt;
}

void SetColourScheme(Long colorCode, Long colOpt) {
    SetColourScheme(Scale, colorCode, colOpt);
}

Long ValueToColor(float value) {
    return ValueToColor(Scale, value);
}

Long ValueToColor(const ColorScaleState& scale, float value) {
    const float span = scale.ScaleMax - scale.ScaleMin;
    const float t = span > 0 ? (value - scale.ScaleMin) / span : 0.0f;
    Long color = 0;
    SchemeColor(scale.ColorCode, scale.col_opt, t, color);
    return color;
}

bool SchemeColor(Long colorCode, Long colOpt, float t, Long& color) {
    switch (colorCode / 10) {
    case 1:
        color = ColorRampSingle(t, colOpt);
        return true;
    case 2:
        color = ColorDiverging(t);
        return true;
    case 3:
        color = ColorRampThirds(t, colOpt);
        return true;
    default:
        return false;
    }
}

Long ColorRampSingle(float t) {
    return ColorRampSingle(t, Scale.col_opt);
}

Long ColorRampSingle(float t, Long colOpt) {
    // A fraction that is not a number has no colour either.
    if (!(std::fabs(t) <= 1) || colOpt < 1 || colOpt > 4) return 0;
    const float q = 255 * (1 - t * t);
    const float l = 255 * (1 - t);
    switch (colOpt) {
    case 1:
        return rgb(q, q, q);
    case 2:
        return rgb(l, q, q);
    case 3:
        return rgb(q, l, q);
    default:
        return rgb(q, q, l);
    }
}

Long ColorDiverging(float t) {
    if (!(std::fabs(t) <= 1)) return 0;
    if (t <= 0) {
        const float c = 255 * (t + 1);
        return rgb(c, c, 255);
    }
    const float c = 255 * (1 - t);
    return rgb(255, c, c);
}

Long ColorRampThirds(float t) {
    return ColorRampThirds(t, Scale.col_opt);
}

Long ColorRampThirds(float t, Long colOpt) {
    if (!(t > 0) || t > 1) return kWhite;
    switch (colOpt) {
    case 0: {
        if (t < 1e-7f) return kWhite;
        if (t <= 0.33333334f) {
            const double c = 255 * (1 - t / 0.33333333);
            return rgb(c, 255, c);
        }
        if (t <= 0.6666667f) {
            const double c = 255 * (1 - (t - 0.33333333) / 0.333333);
            return rgb(c, c, 255);
        }
        const double c = 255 * (1 - (t - 0.66666666) / 0.333333);
        return rgb(255, c, c);
    }
    case 1: {
        const float c = 255 * (1 - t);
        return rgb(c, c, c);
    }
    case 2:
    case 3:
    case 4: {
        // White to the full channel over the first half, then the channel down to black.
        double full = 0;
        double rest = 0;
        if (t <= 0.5f) {
            full = 255;
            rest = 255 * (1 - 2 * t);
        } else {
            full = 510 * (1 - t);
            rest = 0;
        }
        if (colOpt == 2) return rgb(full, rest, rest);
        if (colOpt == 3) return rgb(rest, full, rest);
        return rgb(rest, rest, full);
    }
    default:
        return kWhite;
    }
}

ColorKeyPicture setColorKeyPicture(ColorKeyPicture source) {
    const ColorKeyPicture old = gKeyPicture;
    gKeyPicture = source;
    return old;
}

void DrawColorLegend() {
    if (gKeyPicture) DrawColorLegend(gKeyPicture());
}

void DrawColorLegend(Picture& p) {
    const Long W = CLng(p.ScaleWidth());
    const Long H = CLng(p.ScaleHeight());
    p.setForeColor(QBColor(0));
    p.Cls();
    const float step = (Scale.ScaleMax - Scale.ScaleMin) / 51;
    const float x1 = static_cast<float>(W) / 5;
    const float x2 = 2 * x1;
    const float h = static_cast<float>(H) / 55;

    bool boxes = false;
    Long firstLabel = 0; // labels at firstLabel, firstLabel + 5, ...
    bool minLabel = false;
    switch (Scale.ColorCode) {
    case 10:
    case 30:
        boxes = true;
        firstLabel = 1;
        minLabel = true;
        break;
    case 31:
        firstLabel = 1;
        minLabel = true;
        break;
    case 20:
        boxes = true;
        firstLabel = 5;
        break;
    default:
        p.Refresh();
        return;
    }
    for (Long i = 1; i <= 51; ++i) {
        const float y1 = h * static_cast<float>(i);
        const float y2 = y1 + h;
        const float v = Scale.ScaleMax - step * static_cast<float>(i - 1);
        if (boxes) {
            p.setFillStyle(kFillSolid);
            p.Line(x1, y1, x2, y2, ValueToColor(v), LineFlag::BF);
        }
        const bool last = minLabel && i == 51;
        if (last || (i >= firstLabel && (i - firstLabel) % 5 == 0 && i <= 50)) {
            p.setCurrentX(x2 + x1 / 2);
            p.setCurrentY(y1 - h / 2);
            p.Print(Format(last ? Scale.ScaleMin : v, "###0.00"));
        }
    }
    p.Refresh();
}
