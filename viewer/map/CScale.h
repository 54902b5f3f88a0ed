#pragma once
// Values to colours: the colour range, the three colour schemes and the colour key.
#include "runtime/Types.h"

class Picture;

extern float ScaleMax, ScaleMin; // the colour range
// Tens digit: 1 single-hue ramp, 2 diverging ramp, 3 three-part ramp, other values black.
// Also the layout of the key: 10 and 30 boxes with eleven labels, 31 labels only, 20 boxes with
// ten labels, other values an empty key.
extern Long ColorCode;
extern Long col_opt; // variant of the scheme: 1..4 for scheme 1, 0..4 for scheme 3

// The colour (Long RGB) of value in the range and scheme in force.
Long ValueToColor(float value);
// The schemes on the fraction t of the range (0 at ScaleMin, 1 at ScaleMax).
Long ColorRampSingle(float t);
Long ColorDiverging(float t);
Long ColorRampThirds(float t);

// Draws the colour key of the range and scheme in force on p, which it clears first.
void DrawColorLegend(Picture& p);

// The picture of the colour window, which the drawings' key goes to. The colour window installs
// the way to reach it (loading the window on first use), so that the maps need not know the
// window; while none is installed the key is not drawn.
using ColorKeyPicture = Picture& (*)();
// Installs source (nullptr: none) and returns the one replaced.
ColorKeyPicture setColorKeyPicture(ColorKeyPicture source);
// Redraws the colour key on the colour window's picture.
void DrawColorLegend();
