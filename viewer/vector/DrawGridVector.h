#pragma once
// The vector map of a regular longitude/latitude grid: one step and level of a picked u/v pair
// as one arrow per grid point of the view, with the copies of a global grid beyond the
// longitude seam, the reference arrow and its legend. It draws over what the picture holds, so
// that the arrows of a three-item pick lie over its scalar cells.
#include "runtime/Types.h"

class Picture;

// Draws the pair Picks(k) (u), Picks(k + 1) (v) for CurTimeStep and CurLevel into pic. The read
// window must describe the current view (CalculateGridScalar).
void DrawGridVector(Picture& pic, Long k);
