#pragma once
// The section picture of the own section window: the current section variable at the first
// time step as coloured cells (points across, levels down), contour lines, a distance axis
// below and a depth axis at the right, and the colour bar in a picture of its own. World x runs
// over the section points (point p from p - 1 to p), world y is minus the vertical coordinate.
// The pictures draw in their height less kVsectStripHeight, the strip of the window's controls.
#include "common/SectionGeometry.h"
#include "runtime/Types.h"
#include "runtime/VArray.h"

#include <functional>
#include <string>

class Picture;

// Twips at the bottom of the window's picture that lie below the window's edge.
constexpr float kVsectStripHeight = 1150;

// What the colour bar writes into the window's box of the bar's top value.
using BarTextSink = std::function<void(const std::string&)>;

// Sets t for the window w on a picture width by height units: margins of 2 % of the width at
// each side and 5 % of the height at top and bottom, each axis scaled on its own. -1, with a
// box and t unchanged, for a window without width or height or a picture without size; else 0.
Long xycordCartesian(PlotTransform& t, const PlotWindow& w, Long width, Long height);

// The whole section picture on pic and the colour bar on bar, from the section state (Vsect).
// Nothing is drawn when the values read do not match the section points or the levels lack
// their coordinates.
void DrawVsectSection(Picture& pic, Picture& bar, const BarTextSink& barText);

// Scales pic for the section (the transform into t) and draws the cells of grid where codes
// is not 0, coloured by value / colourMax, and the axes the options ask for. -1 when the
// picture could not be scaled (nothing drawn), else 0. A colourMax, a length or a last level of
// 0 leaves out what it would scale: the cells, the distance axis, the depth axis.
Long DrawVsectFrame(Picture& pic, PlotTransform& t, const VArray<float>& grid,
                    const VArray<Integer>& codes, float colourMax, Long nPoints, Long nLevels,
                    float x0, float y0, float dx, float lengthKm);

// The depth axis down from (X, Y), scale picture units a metre, ticks every NiceStep(maxDepth)
// from start to maxDepth, the first labelled with " m".
void DrawVsectDepthAxis(Picture& pic, float X, float Y, float scale, float maxDepth, float start);
// The distance axis right from (X, Y), scale picture units a kilometre, ticks every
// NiceStep2(length), the first labelled with " km".
void DrawVsectDistanceAxis(Picture& pic, float X, float Y, float scale, float length, float start);

// The colour bar of ColorBarMax on bar: 31 steps of the window's scheme, every third labelled.
// Nothing while ColorBarMax is not above 0.
void DrawVsectColorBar(Picture& bar, const BarTextSink& barText);

// The colour of fraction f (0 .. 1) in the window's scheme, reversed when ColorReverse is 1;
// color keeps its value for a scheme without colours.
void VsectColor(float f, Long& color);
