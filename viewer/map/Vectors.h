#pragma once
// The arrows of vector fields: data arrows placed by longitude and latitude, reference arrows
// placed in picture coordinates, in the style OptArrowStyle (0 or 1 line arrows, 2 filled
// polygon arrows, above 90 glyph arrows, anything else none), scaled by vscale. Both live in
// SharedState.h with the rest of the shared state.
#include "runtime/Types.h"
#include "viewer/map/SharedState.h"

class Picture;

// One arrow of (u, v) at the map position (lon, lat), in the units of ViewExtent. Nothing for a
// zero vector, nor for a position whose coordinates mark none (PositionKnown: a fill value or
// NaN), which returns 0. An error while drawing is passed over. 0, or -1 when the position has
// no picture position under the map transform: then nothing is drawn and nothing is said, so
// that a drawing of many arrows can report the failure once.
Long DrawVectorLL(Picture& pic, float u, float v, float lon, float lat);
// The same through the transform given (a drawing's own, see RenderContext).
Long DrawVectorLL(Picture& pic, const ViewState& transform, float u, float v, float lon, float lat);
// One arrow of (u, v) at the picture position (x, y), zero vectors included. Errors reach the
// caller.
void DrawVectorXY(Picture& pic, float u, float v, float x, float y);

// The drawing properties that an arrow or a whole vector map changes (DrawMode, DrawStyle,
// FillStyle, FillColor, ForeColor), put back as they were when it goes out of scope, also on
// an error or an early return.
class KeepPen {
public:
    explicit KeepPen(Picture& pic);
    ~KeepPen();
    KeepPen(const KeepPen&) = delete;
    KeepPen& operator=(const KeepPen&) = delete;

private:
    Picture& pic_;
    int drawMode_, drawStyle_, fillStyle_;
    Long fillColor_, foreColor_;
};

// Line arrow from (x, y) by (du, -dv): shaft and an outlined triangular head, in ForeColor.
void DrawLineArrow(Picture& pic, float x, float y, float du, float dv, float HeadWidth,
                   float HeadLength);
// Filled polygon arrow in colour; every drawing property of the picture comes back as it was.
void DrawPolyArrow(Picture& pic, Long color, float x, float y, float du, float dv);
// Glyph arrow: the arrow shape that the symbol font's glyph style draws, made here as a filled
// polygon in ForeColor, 1.3 times the vector's length, rotated to its direction and placed with
// its foot at (x, y). style is the glyph code (above 90); every code draws the same shape.
void DrawFontArrow(Picture& pic, Long style, float x, float y, float du, float dv);
// The direction angle of (dx, dy) in radians, -pi to pi; the x component comes first.
double Atan2(double dx, double dy);
