#pragma once
// Values to colours: the colour range, the three colour schemes and the colour key drawn in
// FormColor's picture.
#include "runtime/Types.h"

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

// Redraws the colour key in FormColor's picture, loading the form when it is not loaded.
void DrawColorLegend();
