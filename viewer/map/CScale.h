#pragma once
// Values to colours: the colour range, the three colour schemes and the colour key.
#include "runtime/Types.h"
#include "viewer/map/SharedState.h"

class Picture;

// The colour range and scheme (Scale.ScaleMax, Scale.ScaleMin, Scale.ColorCode, Scale.col_opt)
// are part of the shared state (SharedState.h). This unit writes them: the drawings through
// their context's scale, the colour window through the shared one.
void SetColourRange(ColorScaleState& scale, float max, float min);
void SetColourRange(float max, float min);
void SetColourScheme(ColorScaleState& scale, Long colorCode, Long colOpt);
void SetColourScheme(Long colorCode, Long colOpt);

// The colour (Long RGB) of value in the range and scheme in force.
Long ValueToColor(float value);
// The same in the range and scheme of scale (a drawing's own, see RenderContext).
Long ValueToColor(const ColorScaleState& scale, float value);
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
