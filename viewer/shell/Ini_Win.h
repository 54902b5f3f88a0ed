#pragma once
// The map window's geometry and zoom in the settings file: section "position" (its top, left,
// width and height in twips) and section "zoom" (the zoom record in force).
#include "runtime/Types.h"

#include <string>

// The map window's geometry in twips, as last read or about to be written.
extern float PicTop, PicLeft, PicWidth, PicHeight;
// The main window's geometry in twips (frame top-left, inside size), as last read or written.
extern float MaiTop, MaiLeft, MaiWidth, MaiHeight;

// Reads "Pic top", "Pic left", "Pic height", "Pic width" of section "position" into the four
// values above, stopping at the first that is empty or refused (top outside 0..30000, left
// above 30000). 1 when all four were taken, else 0. selector 2 is the map window, the only
// window it serves; other selectors give 0.
Long GetWinPos(const std::string& file, Integer selector);
// Writes the four values as "Pic top", "Pic left", "Pic width", "Pic height", then the main
// window's record (PutMainWinPos).
void PutWinPos(const std::string& file);
// Writes the main window's place (MaiTop .. MaiHeight taken from it while it is loaded) as
// "mai top", "mai left", "mai width", "mai height".
void PutMainWinPos(const std::string& file);
// Reads the "mai" keys into MaiTop .. MaiHeight. 1 when all four hold numbers, top and left
// within the range the map window's keys take and a width and height above 0 (older settings
// hold a record of zeros, which is no place); else 0, with the four values left as they were.
Long GetMainWinPos(const std::string& file);
// Writes the zoom record in force (record ZoomIndex, or 0 when ZoomIndex <= 0) to section
// "zoom": "top" north, "bottom" south, "left" west, "right" east. Nothing when there is no
// zoom record (no dataset loaded).
void PutZoomExtent(const std::string& file);
