#pragma once
// What the control's drawings share: the plot transform with its margins, the panels of
// profile graphs, and curves joined point to point.
#include "common/SectionGeometry.h"
#include "runtime/Types.h"
#include "runtime/VArray.h"

class Picture;

// The margins round a plot, in the picture's units.
struct PlotMargins {
    float MarginTop = 0, MarginBottom = 0, MarginLeft = 0, MarginRight = 0;
};

// Sets t for the window w on a plot pwidth by pheight units with the offsets xoff and yoff:
// the window's x range spans xoff to pwidth, its y range pheight - yoff units up from yoff.
// Refuses (-1, with a box and t unchanged) a window without height or without width, and a
// size whose width and height are both 0 or less; 0 when set.
Long Cartesian(PlotTransform& t, const PlotWindow& w, Long pwidth, Long pheight, Long xoff,
               Long yoff);

// Divides the picture into nRows by nCols equal panels inside the margins, with gaps of a
// twentieth of the room inside them, and gives the size of one panel and the top left of
// panel (row, col). axisMode puts the wide margin for depth labels on the left (-1) or right
// (1), none for 0; another value keeps the side margins as they are.
void LayoutPanels(const Picture& pic, PlotMargins& margins, Long nRows, Long nCols, Long row,
                  Long col, float& panelH, float& panelW, float& px, float& py, Long axisMode);

// Joins points 1 .. n of xs, ys by lines in the picture's fore colour, the world range
// xmin .. xmax, ymin .. ymax mapped onto the rectangle (left, top, width, height) with ymax at
// its top. Nothing for fewer than two points or a range without width or height.
void DrawPolyline(Picture& pic, Long n, const VArray<float>& xs, const VArray<float>& ys,
                  float left, float width, float top, float height, float xmax, float xmin,
                  float ymax, float ymin);
