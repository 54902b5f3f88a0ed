#pragma once
// Colours as the program holds them: a Long r + 256 g + 65536 b.
#include "runtime/Types.h"

// Each part is limited to 255; a negative part raises RuntimeError(5).
Long RGB(Long r, Long g, Long b);
// The 16-colour table (0 black, 7 light grey, 9 blue, 12 red, 15 white, ...); a number
// outside 0..15 raises RuntimeError(5).
Long QBColor(Long n);
