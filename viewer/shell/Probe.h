#pragma once
// The point probe of the map window's right click: the grid point of the last plot nearest to
// the clicked position, with its indices, position and plotted values in the point-value window
// FormIJ, and the plotted vector drawn there in red.
#include "runtime/Types.h"
#include "runtime/VArray.h"

// The u and v values of the last vector read of the maps (1 .. the read's count), in the order
// the read window walks the points; the probe and the writers read them too.
extern VArray<float> uV, vV;
// The missing-value mark of the u component, set by the cell-list vector maps: a cell whose u
// is not above it has no arrow.
extern float cellMisnVal;

// Probes the last plot at (lon, lat), in the units of ViewExtent (radians in Mercator mode).
// On return lon and lat hold the nearest point's position. When the probe cannot answer
// (nothing picked or plotted yet, the plot's arrays do not hold the point) it says "Error
// interrogating cell" and does not show the window. The map picture's ForeColor comes back
// as it was in every case.
void ShowPointValues(double& lon, double& lat);
