#pragma once
// The coastline of every map: segments of a .bdm file (radians) that meet the view, drawn as
// open polylines with the map transform in force. The file is read whole at the first drawing
// and held in memory for the rest of the run: later drawings (zooms, pans, animation steps,
// either projection) read nothing, until another coastline file or style is chosen.
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

// The coastline's file, style and what was read of it (Coast.CoastFile, Coast.CoastColor,
// Coast.CoastSegDir, ...) are part of the shared state (SharedState.h).

// Draws the coastline of CoastFile onto pic with the transform in force. Failures are shown
// in a message box starting "[DrawCoast]"; nothing is raised. A file that fails to open, to
// read or to draw is not held: the next drawing reads it again.
void DrawCoast(Picture& pic);

// Lets go of the coastline held in memory: the next drawing reads CoastFile again.
void ForgetCoastline();

// The coastline state is written only here; start-up and the menus change it through these.
// The maps draw the coastline of file from now on (CoastFlag 1).
void SetCoastlineFile(const std::string& file);
// The line colour of every later coastline.
void SetCoastlineColour(Long color);
// The menu's coastline style. Another style lets go of the coastline held in memory: the next
// map reads its file again (so a coastline file changed on disk is taken up).
void SetCoastlineStyle(Long style);
