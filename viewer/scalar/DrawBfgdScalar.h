#pragma once
// The scalar maps of a boundary-fitted grid: each cell of the read window is a filled
// quadrilateral between four neighbouring nodes of the two-dimensional lonV/latV, in the colour
// of the value at its first node. One step, or stepped through time.
#include "runtime/Types.h"

class Picture;

// Draws Picks(1) for CurTimeStep and CurLevel into pic. The read window must describe the
// current view (CalculateGridScalar).
void DrawBfgdScalar(Picture& pic);
// Draws Picks(1) for each step after the one in the order window's step box up to the last,
// until Esc. The last step drawn (the start step when none was); -1 when the drawing stopped
// early (no geographical extent, a read failure, a run-time error).
Long DrawBfgdScalarTimed(Picture& pic);
