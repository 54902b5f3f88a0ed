#pragma once
// The point probe of the map window's right click: the grid point of the last plot nearest to
// the clicked position, with its indices, position and plotted values in the point-value window
// FormIJ, and the plotted vector drawn there in red.
#include "runtime/Types.h"
#include "runtime/VArray.h"
#include "viewer/map/SharedState.h"

// uV, vV and cellMisnVal, which the probe reads, are shared state (SharedState.h).

// Probes the last plot at (lon, lat), in the units of ViewExtent (radians in Mercator mode).
// On return lon and lat hold the nearest point's position. When the probe cannot answer
// (nothing picked or plotted yet, the plot's arrays do not hold the point) it says "Error
// interrogating cell" and does not show the window. The map picture's ForeColor comes back
// as it was in every case.
void ShowPointValues(double& lon, double& lat);
