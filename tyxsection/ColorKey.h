#pragma once
// The colours of the section: values through the colour key (divisions, each with its colour)
// or through the continuous colour ramp over the current item's display range, and the two
// legends that explain them.
//
// For the drawing: a cell of value v is painted in CellColor(m.colour, v). It asks the key
// when UseColorKeyFlag is -1 and the ramp otherwise; the ramp spans RampLow to
// RampLow + RampRange, which the drawing sets from the item's low and high before it colours
// cells or paints the ramp legend.
//
// The key's edits, which the control's members NewColorKey, AddColorKey and UseColorKey make,
// are here too. The legend beside the cells is DrawKeyLegend when the key is
// in use, DrawRampLegend otherwise.
#include "runtime/Types.h"
#include "tyxsection/TyxModel.h"

class Picture;

// White: the colour of a fraction outside the ramp, of a value in a gap between divisions and
// of any value for a key without divisions.
constexpr Long kKeyWhite = 0xFFFFFF;

// The colour of value v through the key: that of the first division, in key order, with
// low <= v < high. A value below every division takes the colour of the division with the
// lowest low, one at or above every division that of the division with the highest high, so
// that only missing values (which are never painted) stay white; a value in a gap between
// divisions is white.
Long GetKeyColor(const ColorKeyRec& key, float v);

// The ramp: white at fraction 0 and below and above 1, then three bands from near white to
// green (up to 1/3), to blue (up to 2/3) and to red (up to 1), each peaking at 245.
Long ocxColorRampThirds(float f);
// The colour of ramp fraction f (0 to 1).
Long GetRampColor(float f);

// The ramp fraction of value v: (v - RampLow) / RampRange, limited to kRampStart .. 1, so that
// a value outside the display range takes the colour of the ramp's nearer end. A ramp without
// span (a constant field) has no fraction to give: its values take the ramp's first colour,
// the fraction kRampFirstFraction of the legend's lowest box.
constexpr float kRampFirstFraction = 1.0f / 50.0f;
// The smallest fraction the ramp paints in a colour of its own.
constexpr float kRampStart = 1e-7f;
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

// The key's edits. NewColorKey empties the key.
void NewColorKey(TyxModel& m);
// Appends a division; a key left without divisions by a failed read starts again from none.
void AddColorKey(TyxModel& m, float low, float high, Long color);
// True only while the key has a division.
void SetUseColorKey(TyxModel& m, bool on);
