#pragma once
// The positions of curvilinear grids, meshes and cell lists on the map. Ocean models write fill
// values (NaN, 1e20, 9.97e36, -999) for the coordinates of land points, and their grids run
// across the longitude seam (a row of cells from 359.x to 0.x): a cell, element, box or arrow
// with a coordinate that marks no position is left out, and a cell whose corners lie on both
// sides of the seam is drawn whole at each place where the view shows it, never as a band
// across the map. Units are the map's: degrees in Cartesian mode, radians in Mercator mode.
#include "runtime/Types.h"

// One turn of longitude in the map's units: LonPeriod, or the projection's own turn before a
// dataset has set it.
float MapLonPeriod();

// False when (lon, lat) marks no position: a coordinate that is not finite, a latitude beyond
// the poles, or a longitude more than four turns from 0 (the fill values of coordinates).
bool PositionKnown(float lon, float lat);

// lon moved by whole periods so that it lies within half a period of ref (unchanged when the
// period is not above 0).
float NearestCopy(float lon, float ref, float period);

// Moves lon[1 .. n-1] to the copy nearest lon[0], so that a cell straddling the seam keeps its
// shape; lo and hi receive the longitude span of the n corners afterwards.
void KeepWhole(float* lon, int n, float period, float& lo, float& hi);

// The longitude shifts at which a figure spanning lo .. hi is drawn: 0 first (its own place,
// whether the view shows it or not), then each whole period, up to two turns either way, that
// brings it into the view's longitudes west .. east.
struct LonCopies {
    static constexpr int kMax = 5;
    int count = 0;
    float shift[kMax] = {};
};
LonCopies CopiesInView(float lo, float hi, float west, float east, float period);
