#pragma once
// The vector maps of a cell list: the picked pair as one arrow per cell of the read window (the
// cells from the first to the last in the view, at its stride), for one step or animated through
// the time axis. A cell whose u or v is missing gets no arrow; the one-step map marks it with a
// light-red pixel.
#include "runtime/Types.h"

class Picture;

// Draws the pair Picks(1) (u), Picks(2) (v) for CurTimeStep and CurLevel into pic, over what the
// picture holds. The read window must describe the current view (CalculateGridScalar).
void DrawCellVector(Picture& pic);

// Animates the pair at CurLevel over the steps after the one in the step box. The last step
// drawn (the start step when none); -1 without a map transform, and after a read or run-time
// failure.
Long DrawCellVectorTimed(Picture& pic);
