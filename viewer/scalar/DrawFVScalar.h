#pragma once
// The scalar maps of a finite-volume mesh: a variable whose last dimension is the node
// dimension is drawn at the nodes (nodeLonV/nodeLatV), one on the element dimension at the
// elements (lonV/latV), each value as a small filled square, for one step or animated through
// the time axis. They read the whole mesh whatever the view (the picture clips).
#include "runtime/Types.h"
#include "viewer/map/FvPositions.h" // FvLocationOf, EnsureFvNodePositions

class Picture;

// Draws Picks(1) for CurTimeStep and CurLevel into pic, then lets events run once and redraws
// the colour key before the footer. A variable on neither mesh dimension leaves the title and
// the date; a node variable whose node positions cannot be had is not drawn.
void DrawFvScalar(Picture& pic);

// Animates Picks(1) at CurLevel over the steps after the one in the step box. The last step
// drawn (the start step when none); -1 without a map transform, for a variable on neither
// mesh dimension or without a time dimension, without node positions, and after a read or
// runtime failure.
Long DrawFVScalarTimed(Picture& pic);
