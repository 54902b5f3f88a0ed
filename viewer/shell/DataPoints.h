#pragma once
// The preview of a loaded dataset: one small mark per grid point, cell, node or element in the
// main window's picture, thinned on grids to about 30 marks an axis and coloured by the point's
// place in the grid.
#include "runtime/Types.h"

class Picture;

// Draws the preview of slot nNc into the main window's picture, then lets pending window
// events run once.
void ShowDataPoints(Long nNc);
// Draws the preview of slot nNc of clsNC into pic with the view extent in force.
void DrawDataPoints(Picture& pic, Long nNc);
