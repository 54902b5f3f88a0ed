#pragma once
// The scalar map of a regular longitude/latitude grid: one step and level of a picked
// variable as colour-filled boxes over the read window, with a second pass across the
// longitude seam of a global grid.
#include "runtime/Types.h"

class Picture;

// Draws Picks(k) for CurTimeStep and CurLevel into pic. The read window must describe the
// current view (CalculateGridScalar).
void DrawGridScalar(Picture& pic, Long k);
