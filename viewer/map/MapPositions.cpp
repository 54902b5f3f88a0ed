#include "viewer/map/MapPositions.h"

#include "viewer/map/SharedState.h"

#include <cmath>

float MapLonPeriod() {
    if (View.LonPeriod > 0) return View.LonPeriod;
    return View.Projection == 1 ? 6.283185f : 360.0f;
}

bool PositionKnown(float lon, float lat) {
    if (!std::isfinite(lon) || !std::isfinite(lat)) return false;
    const float period = MapLonPeriod();
    // A little beyond the quarter turn: 90 degrees in radians rounds just above it.
    return std::fabs(lat) <= period / 4 * 1.001f && std::fabs(lon) <= 4 * period;
}

float NearestCopy(float lon, float ref, float period) {
    if (!(period > 0)) return lon;
    const float d = lon - ref;
    if (std::fabs(d) <= period / 2) return lon;
    return lon - period * std::nearbyint(d / period);
}

void KeepWhole(float* lon, int n, float period, float& lo, float& hi) {
    lo = hi = n > 0 ? lon[0] : 0;
    for (int c = 1; c < n; ++c) {
        lon[c] = NearestCopy(lon[c], lon[0], period);
        lo = std::fmin(lo, lon[c]);
        hi = std::fmax(hi, lon[c]);
    }
}

LonCopies CopiesInView(float lo, float hi, float west, float east, float period) {
    LonCopies out;
    out.shift[out.count++] = 0;
    if (!(period > 0)) return out;
    for (int k = -2; k <= 2; ++k) {
        if (k == 0) continue;
        const float s = static_cast<float>(k) * period;
        // Overlapping, not just touching: a cell ending on the view's edge adds nothing there.
        if (hi + s > west && lo + s < east) out.shift[out.count++] = s;
    }
    return out;
}
