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

#include <string>
#include <vector>

class Picture;

// One entry of the segment directory: entry 0 describes the file (largest count, position
// after the header, file box), entry k segment k (its count, the position of its first point,
// its box). Boxes are in the view units of the projection the directory was read in.
struct CoastSegEntry {
    Long PointCount = 0;
    Long FilePos = 0;
    double West = 0;
    double East = 0;
    double South = 0;
    double North = 0;
};

extern Long CoastColor;            // line colour (palette colour 7, set at start-up)
extern Long OptCoastLine;          // coastline style of the menu; the drawing ignores it
extern std::string CoastCacheFile; // file whose directory CoastSegDir holds; "" when none
extern std::vector<CoastSegEntry> CoastSegDir; // entries 0 .. n

// Draws the coastline of CoastFile onto pic with the transform in force. Failures are shown
// in a message box starting "[DrawCoast]"; nothing is raised.
void DrawCoast(Picture& pic);
