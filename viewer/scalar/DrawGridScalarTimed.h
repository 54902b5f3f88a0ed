#pragma once
// The animation of a regular-grid scalar map: the steps after the one in the order window's
// step box, up to the last, until Esc.
#include "runtime/Types.h"

class Picture;

// Animates Picks(1) at CurLevel. The last step drawn (the start step when none); -1 when it
// stopped at the scale check, the window check or a read failure.
Long DrawGridScalarTimed(Picture& pic);
