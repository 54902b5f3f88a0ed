#pragma once
// The scalar maps of a finite-element mesh: every node with a value as a small filled square
// at the node's position, for one step or animated through the time axis. They read every
// node whatever the view (the picture clips); the read window of the view only has to exist.
#include "runtime/Types.h"

class Picture;

// Draws Picks(1) for CurTimeStep and CurLevel into pic, then lets events run once and redraws
// the colour key before the footer. Runtime errors pass to the caller (pointer restored).
void DrawFEScalar(Picture& pic);

// Animates Picks(1) at CurLevel over the steps after the one in the step box. The last step
// drawn (the start step when none); -1 without a map transform, for a variable without a time
// dimension, and after a read failure.
Long DrawFEScalarTimed(Picture& pic);
