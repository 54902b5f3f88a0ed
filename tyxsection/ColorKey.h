#pragma once
// The colours of the section: values through the colour key (divisions, each with its colour)
// or through the continuous colour ramp over the current item's display range, and the two
// legends that explain them.
//
// For the drawing: a cell of value v is painted in CellColor(m.colour, v). It asks the key
// when UseColorKeyFlag is -1 and the ramp otherwise; the ramp spans RampLow to
// RampLow + RampRange, which the drawing sets from the item's low and high before it colours
// cells or paints the ramp legend. The legend beside the cells is DrawKeyLegend when the key is
// in use, DrawRampLegend otherwise.
#include "runtime/Types.h"
#include "tyxsection/TyxModel.h"

class Picture;

// White: the colour of a value that no division holds and of the ends outside the ramp.
constexpr Long kKeyWhite = 0xFFFFFF;

// The colour of value v through the key: that of the first division, in key order, with
// low <= v < high; white when none holds it (also for a key without divisions).
Long GetKeyColor(const ColorKeyRec& key, float v);

// The ramp: white at fraction 0 and below and above 1, then three bands from near white to
// green (up to 1/3), to blue (up to 2/3) and to red (up to 1), each peaking at 245.
Long ocxColorRampThirds(float f);
// The colour of ramp fraction f (0 to 1).
Long GetRampColor(float f);

// The ramp fraction of value v: (v - RampLow) / RampRange, limited to at most 1. A ramp without
// span (a constant field) has no fraction to give: its values take the ramp's first colour,
// the fraction kRampFirstFraction of the legend's lowest box.
constexpr float kRampFirstFraction = 1.0f / 50.0f;
float RampFraction(const ModColorState& colour, float v);
// The colour of value v through the ramp.
Long RampColorOfValue(const ModColorState& colour, float v);

// The colour of a section cell of value v: the key's colour while the key colours the drawing
// (UseColorKeyFlag -1), else the ramp's.
Long CellColor(const ModColorState& colour, float v);

// The legends, painted into pic in the rectangle with left x, top y, width w and height h
// (the picture's scale units). The ramp legend: 50 boxes from bottom to top with the values
// at every tenth of the span beside them ("#0.00"). The key legend: one box per division, the
// last division on top, each labelled "low - high"; nothing for a key without divisions.
void DrawRampLegend(Picture& pic, const ModColorState& colour, float x, float y, float w, float h);
void DrawKeyLegend(Picture& pic, const ColorKeyRec& key, float x, float y, float w, float h);
