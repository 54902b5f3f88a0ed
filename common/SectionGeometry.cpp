#include "common/SectionGeometry.h"
#include "common/MinMax.h"
#include "common/Ui.h"
#include "runtime/Text.h"

#include <cmath>
#include <limits>
#include <string>

bool PlotWindowUsable(const PlotWindow& w, Long pwidth, Long pheight) {
    if (!(std::fabs(w.ymax - w.ymin) >= 1e-10) || !(std::fabs(w.xmax - w.xmin) >= 1e-10)) {
        std::string text("[Cartesian] scale parameters out of range");
        text.append("xy4:x=").append(Str(w.xmin)).append(Str(w.xmax));
        text.append("xy4:y=").append(Str(w.ymin)).append(Str(w.ymax));
        ui().MsgBox(text, kOkOnly, "");
        return false;
    }
    if (pwidth <= 0 && pheight <= 0) {
        std::string text("[Cartesian] screen size out of range");
        text.append("pwidth, phight = ").append(Str(pwidth)).append(Str(pheight));
        ui().MsgBox(text, kOkOnly, "");
        return false;
    }
    return true;
}

void xy_scale(const PlotTransform& t, float x, float y, float& X, float& Y) {
    X = static_cast<float>((x - t.OrgX) * t.ScaleX + t.OffX);
    const float up = static_cast<float>((y - t.OrgY) * t.ScaleY + t.OffY);
    Y = static_cast<float>(static_cast<double>(t.PicHeight) - up);
}

float SegDistance(const PlotTransform& t, float x1, float y1, float x2, float y2) {
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    xy_scale(t, x1, y1, X1, Y1);
    xy_scale(t, x2, y2, X2, Y2);
    const double dx = static_cast<double>(X1) - X2;
    const double dy = static_cast<double>(Y1) - Y2;
    return static_cast<float>(dx * dx + dy * dy);
}

void NearestSegment(const PlotTransform& t, float x, float y, Long cur,
                    const std::vector<Integer>& state, const std::vector<ContourSegment>& segs,
                    Long n, Long& idx, Integer& endNo, float& dist, Integer minState) {
    dist = 1e20f;
    for (Long p = 1; p <= n; ++p) {
        const auto at = static_cast<std::size_t>(p - 1);
        if (state[at] < minState || p == cur) continue;
        const ContourSegment& s = segs[at];
        const float d1 = SegDistance(t, x, y, static_cast<float>(s.x1), static_cast<float>(s.y1));
        const float d2 = SegDistance(t, x, y, static_cast<float>(s.x2), static_cast<float>(s.y2));
        if (MinS(d1, d2) < dist) {
            idx = p;
            if (d1 < d2) {
                dist = d1;
                endNo = 1;
            } else {
                dist = d2;
                endNo = 2;
            }
        }
    }
}

namespace {

constexpr float kNoCrossing = -999.9f;

struct Crossing {
    float x = kNoCrossing;
    float y = 0;
    bool valid() const { return x >= -900; }
};

Crossing edgeCrossing(float xp, float yp, float vp, float xq, float yq, float vq, float level) {
    Crossing c;
    if (MinS(vp, vq) < level && level <= MaxS(vp, vq)) {
        c.x = xp + (level - vp) * (xq - xp) / (vq - vp);
        c.y = yp + (level - vp) * (yq - yp) / (vq - vp);
    }
    return c;
}

} // namespace

void TriangleLevelSegment(float xa, float xb, float xc, float ya, float yb, float yc, float va,
                          float vb, float vc, float level, float& x1, float& y1, float& x2,
                          float& y2) {
    const Crossing ab = edgeCrossing(xa, ya, va, xb, yb, vb, level);
    const Crossing bc = edgeCrossing(xb, yb, vb, xc, yc, vc, level);
    const Crossing ca = edgeCrossing(xc, yc, vc, xa, ya, va, level);
    const Crossing* from = &bc;
    const Crossing* to = &ca;
    if (ab.valid() && !bc.valid()) {
        from = &ca;
        to = &ab;
    } else if (ab.valid() && bc.valid() && !ca.valid()) {
        from = &ab;
        to = &bc;
    }
    x1 = from->x;
    y1 = from->y;
    x2 = to->x;
    y2 = to->y;
}

namespace {

// The ladder the two tick steps share; decadeAbove chooses the rule beyond it.
float tickStep(float x, int decadeAbove) {
    const float a = std::fabs(x);
    if (a == 0) return 0;
    if (a >= 1 && a < 5) return 1;
    if (a >= 5 && a < 10) return 2;
    if (a >= 10 && a < 20) return 5;
    if (a >= 20 && a < 100) return 10;
    if (a >= 100 && a < 500) return 20;
    if (a >= 500 && a < 1000) return 100;
    if (a >= 1000 && a < 10000) return 500;
    const double decade = std::floor(std::log(static_cast<double>(a)) / std::log(10.0));
    const auto step = static_cast<float>(std::pow(10.0, decade + decadeAbove) / 5);
    // The smallest spans would round their step to 0 in Single precision.
    return step > 0 ? step : std::numeric_limits<float>::denorm_min();
}

} // namespace

float NiceStep(float x) {
    return tickStep(x, 1);
}

float NiceStep2(float x) {
    return tickStep(x, 0);
}

double FractionalTickStep(double x) {
    if (!(x > 0) || !std::isfinite(x)) return 0;
    double step = std::pow(10.0, std::floor(std::log10(x)));
    for (double factor : {1.0, 2.0, 5.0, 10.0})
        if (step * factor >= x) return step * factor;
    return step * 10;
}

double GeoDistance(double lon1, double lat1, double lon2, double lat2) {
    // The program's degree, 3.1415926 / 180, and its earth radius.
    constexpr double k = 0.017453292222222222;
    constexpr double r = 6366191.357;
    const double middle = (lat1 + lat2) / 2 * k;
    const double dx = (lon2 - lon1) * r * std::cos(middle) * k;
    const double dy = (lat2 - lat1) * r * k;
    return std::sqrt(dx * dx + dy * dy);
}
