#pragma once
// Contour lines of a grid of values along a section (columns along the section, rows by
// level): the levels, four triangles round the middle of every usable cell, the pieces where a
// level crosses them, and the pieces of each level linked by their nearest free ends into
// lines, drawn and labelled. One tracer for every section drawing; the drawing target and what
// happens after each line are the caller's.
#include "common/SectionGeometry.h"
#include "runtime/Types.h"
#include "runtime/VArray.h"

#include <functional>
#include <string>

// What the tracer draws on: picture positions, the target's fore colour.
class ContourCanvas {
public:
    virtual ~ContourCanvas() = default;
    virtual Long ForeColor() const = 0;
    virtual void setForeColor(Long color) = 0;
    // A line in the fore colour (and the target's line width).
    virtual void Line(float x1, float y1, float x2, float y2) = 0;
    // A text with its top left at the point.
    virtual void PrintAt(float x, float y, const std::string& text) = 0;
    virtual void Refresh() = 0;
};

// The grid: values(i, k) and codes(i, k) for columns i1 .. i2 and levels k1 .. k2. A code from
// 1 to 8 marks a value, 0 or 9 none. Column i lies at x = x0 + (i - 1/2) dx, level k at
// y = -vCoord(k). The diagonal from (x0, y0) to (x0 + dx, y0 + dy) sets how near two ends must
// lie to be joined.
struct ContourField {
    const VArray<float>& values;
    const VArray<Integer>& codes;
    const VArray<double>& vCoord;
    double x0 = 0, y0 = 0, dx = 1, dy = 1;
    Long i1 = 1, i2 = 0, k1 = 1, k2 = 0;
};

// Called after each drawn line with its number of points and its level: the section control
// lets pending window events run there.
using ContourLineHook = std::function<void(Long points, float level)>;

// Draws the contour lines of the field on the canvas through the transform, in lineColor; the
// canvas's fore colour is put back afterwards. When |step| < high - low the levels lie within
// high and low; otherwise step becomes a tenth of the data range (minimum - maximum, so
// negative, written back) and the levels follow the data. Levels are multiples of |step| from
// the data minimum on; a level with fewer than three pieces draws nothing, a line of seven or
// more points carries its level. A step of 0 draws no contours; a step that would give 32767
// levels or more draws none and says so in a box.
void ContourGrid(ContourCanvas& pic, const PlotTransform& t, const ContourField& field, float& step,
                 float high, float low, Long lineColor, const ContourLineHook& afterLine = {});
