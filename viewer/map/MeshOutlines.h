#pragma once
// The outlines of a triangular mesh: three black segments per element whose first corner lies
// in the view, drawn under the data of the same plot. Elements with a corner that marks no
// position are left out; elements across the longitude seam are drawn whole. The map transform
// must be set for the current view (the dispatcher does it).
#include "runtime/Types.h"

class Picture;

// Finite-element mesh: corners node1..node3 at lonV/latV.
void DrawFeMesh(Picture& pic);
// Finite-volume mesh: corners node1..node3 at nodeLonV/nodeLatV.
void DrawFvMesh(Picture& pic);
