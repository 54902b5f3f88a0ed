#pragma once
// The vector map of a boundary-fitted grid: one step and level of a picked pair as one arrow per
// node of the read window, the pair being u and v components or, from two files, a speed and a
// direction; with the grid's node marks on request, the reference arrow and its legend, and the
// speed range. It draws over what the picture holds.
#include "runtime/Types.h"

class Picture;

// Draws the pair Picks(1), Picks(2) for CurTimeStep and CurLevel into pic. The read window must
// describe the current view (CalculateGridScalar).
void DrawBfgdVector(Picture& pic);
