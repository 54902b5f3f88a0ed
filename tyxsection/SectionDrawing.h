#pragma once
// The vertical section: the cells of the section coloured by value, the header lines, the
// distance or longitude/latitude axis, the depth axis, the legend and the contour lines, drawn
// in three layer pictures and combined in the visible one.
#include "tyxsection/TyxModel.h"
#include "tyxsection/TyxPictures.h"

#include <string>

class Picture;

// Draws the values held (SectData of item SectDataItem) as a section; nothing while none are
// held. The drawing works on its own copy of what it draws, so that calls that come in while
// it lets window events run cannot pull the data from under it.
void DrawVSection(TyxModel& m, TyxPictures& pictures);

// What every drawing of the values held takes from the state when it starts: the levels, the
// depth of the last, the display range and step of the item read, the titles and whether the
// header is shown.
struct DrawingBasis {
    VArray<double> vCoord; // 0 To nv
    Long nv = 0;
    float maxDepth = 0;
    std::string levelUnits;     // the depth axis' unit
    bool levelsOwnRange = false; // the axis spans the levels alone, not from the surface
    float high = 0, low = 0, step = 0;
    std::string titles[5]; // 1 To 4
    Long showDateTime = 0;
};
DrawingBasis DrawingBasisOf(const TyxMainState& main);

// Prints text with its top left at (x, y).
void PrintAt(Picture& pic, float x, float y, const std::string& text);

// The header of a drawing from titles 1 to 4: the date line in bold on date (cleared first,
// left bold), the dataset line at the upper right of sect, the dataset's title centred below
// it and the variable underlined at the bottom in a font half as large again. The profiles
// take the font size as a whole number first and leave sect's bold as it is; the section
// switches it off.
void DrawHeaderLines(Picture& date, Picture& sect, const std::string (&titles)[5],
                     bool wholeFontSize);
