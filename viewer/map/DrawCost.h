#pragma once
// The coastline of every map: segments of a .bdm file (radians) that meet the view, drawn as
// open polylines with the map transform in force. The first drawing of a file builds a
// directory of its segments, so that later drawings read only the points of those in view.
//
// .bdm layout (little-endian): a 24-byte header (west, east, south, north as Singles, the
// largest point count as a Long, 4 unused bytes), then segments: point count (Long), 4 unused
// bytes, west, east, south, north (Singles), then count pairs of Singles (longitude, latitude).
// Only the low 16 bits of a count are used, as a signed number.
#include "runtime/Types.h"
#include "viewer/map/SharedState.h"

#include <string>
#include <vector>

class Picture;

// The coastline's file, style and segment directory (Coast.CoastFile, Coast.CoastColor,
// Coast.CoastSegDir, ...) are part of the shared state (SharedState.h).

// Draws the coastline of CoastFile onto pic with the transform in force. Failures are shown
// in a message box starting "[DrawCoast]"; nothing is raised.
void DrawCoast(Picture& pic);
