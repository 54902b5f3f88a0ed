#pragma once
// The vector maps of the meshes: the picked pair as one arrow per point of the read window along
// the last dimension, for one step or animated through the time axis. On a finite-element mesh
// the points are its nodes; on a finite-volume mesh the nodes (nodeLonV/nodeLatV) when u lies on
// the node dimension, else the elements (lonV/latV). Points whose u or v is missing get no
// arrow.
#include "runtime/Types.h"

class Picture;

// Draws the pair Picks(1) (u), Picks(2) (v) for CurTimeStep and CurLevel into pic, over what the
// picture holds (the mesh outlines). The read window must describe the current view
// (CalculateGridScalar).
void DrawFEVector(Picture& pic);

// Animates the pair at CurLevel over the steps after the one in the step box. The last step
// drawn (the start step when none); -1 without a map transform, and after a read or run-time
// failure.
Long DrawFEVectorTimed(Picture& pic);
