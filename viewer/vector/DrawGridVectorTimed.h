#pragma once
// The animation of a regular-grid vector map: the arrows of the pair for the steps after the
// one in the order window's step box, up to the last, until Esc.
#include "runtime/Types.h"

class Picture;

// Animates the pair Picks(1) (u), Picks(2) (v) at CurLevel. The last step drawn (the start
// step when none); -1 when it stopped at the scale check, the window check or a read failure.
Long DrawGridVectorTimed(Picture& pic);
