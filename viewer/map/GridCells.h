#pragma once
// The cells of the regular and the GMT grid. A grid point's box reaches half way to its
// neighbours at the walk's stride on each side, and half a spacing beyond the grid's first and
// last column and row, so that the boxes of a grid tile the map: a point at the grid's end has
// its full width, and the copies of a global grid beyond the longitude seam join the grid
// without a gap or an overlap. Neighbours compute a shared edge from the same coordinates, so
// it lands on the same picture position and (by the picture's box rule) no pixel is covered
// twice or left out.
#include "runtime/Types.h"
#include "runtime/VArray.h"

#include <functional>
#include <string>
#include <vector>

struct RenderContext;
struct ReadWindowState;
struct SeamWindow;

// The lines of the NetCDF error box below ErrorMessage for a failed read of a window (the read
// window or a seam window): start, counts and steps of its dimensions and its value count.
using WindowFailureLines = std::function<std::string(
    Long count, const VArray<Long>& start, const VArray<Long>& counts, const VArray<Long>& steps)>;
// Reads the read window into scalarV and each seam window into its own values; the step and
// level pinned in the read window hold for every seam window. A seam window takes the columns
// that the read window holds from its values and reads only the others (see FillSeamValues); one
// over the same columns as the one before it shares that read. False after the NetCDF error box,
// whose lines are lines' (GridWindowLines of the variable when none is given).
bool ReadGridWindows(RenderContext& rc, const WindowFailureLines& lines = {});
// The values of a seam window taken from the read window's, one array or several (the u and v of
// a pair) at a time: the columns of the seam window that the read window holds (the same other
// indices, the same longitude stride and phase) are copied from from[k] into into[k], and each
// run of columns it lacks, to the west or the east of them, is read as a window of its own
// through readPart into parts[k], one per array. NotHeld when the read window holds none of
// its columns (nothing changed: the caller reads the whole window), Failed when a readPart gave
// false (it has told why).
using SeamPartRead = std::function<bool(const VArray<Long>& start, const VArray<Long>& counts,
                                        Long count, std::vector<VArray<float>>& parts)>;
enum class SeamFill { Filled, NotHeld, Failed };
SeamFill FillSeamValues(const ReadWindowState& win, const SeamWindow& w, Long nd, Long lonDim,
                        const std::vector<const VArray<float>*>& from,
                        const std::vector<VArray<float>*>& into, const SeamPartRead& readPart);
// The automatic range over everything ReadGridWindows read, so that all copies of the grid,
// and the legend drawn after them, take one colour range.
void RangeGridWindows(RenderContext& rc);
// The boxes of the read window and of every seam window read, in the variable's own
// longitude/latitude order (infoSlot); the seam windows' longitudes shifted by their periods.
void WalkGridCells(RenderContext& rc);
// One step of the regular grid map: ReadGridWindows, RangeGridWindows, WalkGridCells.
bool DrawGridStep(RenderContext& rc);
// The GMT grid's boxes: scalarV(startp(nd) .. endp(nd) by stride(nd)) laid out as nLat rows of
// nLon columns from the northern row (the walk stops after nLon x nLat values); on a global
// grid again for each copy that the view reaches.
void WalkGmtCells(RenderContext& rc);

// The coordinate at the half index h / 2 of axis(1 .. n): a grid point for an even h, the
// midpoint of two neighbours for an odd one, and half a spacing beyond either end (by the
// spacing at that end; by fallbackHalf when the axis has one point).
float AxisAtHalfIndex(const VArray<float>& axis, Long n, int64_t h, float fallbackHalf);
// The two edges, as half indices, of the cell of index i walked at step: half way to i - step
// and to i + step, or half a spacing beyond first or last when that neighbour lies outside.
void CellHalfIndices(Long i, Long step, Long first, Long last, int64_t& lo, int64_t& hi);
