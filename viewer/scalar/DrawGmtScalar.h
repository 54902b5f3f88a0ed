#pragma once
// The scalar map of a GMT grid: the whole value vector of one step and level, laid out row
// after row from the northern edge.
#include "runtime/Types.h"

class Picture;

// Draws Picks(1) for CurTimeStep and CurLevel into pic.
void DrawGMTScalar(Picture& pic);
