#pragma once
// The colours of the section's cells and the legend beside them: through the colour key while
// it is in use (UseColorKeyFlag -1), else through the colour ramp over the span RampRange from
// RampLow.
#include "runtime/Types.h"
#include "tyxsection/TyxModel.h"

class Picture;

// The colour of a cell of value v. Through the key: the first division with low <= v < high,
// white when none holds v. Through the ramp: the ramp's colour of the fraction
// (v - RampLow) / RampRange, at most 1; a span of 0 (a constant field) gives every value the
// ramp's first colour, that of the legend's lowest box.
Long SectionCellColour(const ModColorState& colour, float v);

// The ramp: white at 0 and below and above 1; from near white to green up to a third, to blue
// up to two thirds, to red up to 1, each peaking at 245.
Long SectionRampColour(float f);

// The legend of the colouring in use in the rectangle (x, y, w, h) of the picture: the key's
// divisions, the last on top, with their bounds; or fifty boxes of the ramp from the bottom up,
// every fifth labelled with its value.
void DrawSectionLegend(const ModColorState& colour, Picture& pic, float x, float y, float w,
                       float h);
