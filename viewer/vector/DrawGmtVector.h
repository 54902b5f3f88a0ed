#pragma once
// The vector map of a GMT grid: the pair's value vectors laid out row by row from the north, one
// arrow per grid node, on a cleared picture.
#include "runtime/Types.h"

class Picture;

// Draws the pair Picks(1) (u), Picks(2) (v) for CurTimeStep and CurLevel into pic. The read
// window must describe the grid's value vector (CalculateGridScalar).
void DrawGMTVector(Picture& pic);
