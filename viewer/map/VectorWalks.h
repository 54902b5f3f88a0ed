#pragma once
// The arrow walks of the vector maps whose points are not a regular grid, beside the stages of
// VectorStages.h: point lists (cells, mesh nodes, mesh elements) along the last dimension of the
// read window, and the nodes of a boundary-fitted grid over its last two, with that grid's node
// marks, its speed-and-direction pairs, its speed line and the sums of its period mean.
//
// Every walk takes exactly the indices the read took (countp entries from startp by stride), in
// the read's order (last dimension fastest), so that value n always belongs to the point it is
// drawn at; an index without a place in the position arrays gets no arrow. Nothing here lets
// events in.
#include "runtime/Types.h"
#include "runtime/VArray.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/SharedState.h"

#include <functional>
#include <string>

struct RenderContext;
struct VectorFrame;

// ---- Point lists -------------------------------------------------------------------------------
// What a point whose u or v is missing (at or below NoVal) gets.
enum class MissingPoint { Skip, Mark };
// The arrows of uV/vV over the read window of a point list: value n (1 .. countp(nd)) belongs to
// index k = startp(nd) + (n - 1) stride(nd) of the last dimension and is drawn at (lon(k),
// lat(k)) through PairArrow (unit factor applied in place). A missing point is skipped, or
// marked with one light-red pixel at its position. vf.walkJ is left at the last index walked.
void WalkListArrows(RenderContext& rc, VectorFrame& vf, const VArray<float>& lon,
                    const VArray<float>& lat, MissingPoint missing);

// One step of a point list: the pair read over the read window, then its arrows at lon/lat
// (none when lon is null: the points have no positions). False after the read-failure box.
bool DrawListArrowsStep(RenderContext& rc, VectorFrame& vf, const VArray<float>* lon,
                        const VArray<float>* lat, MissingPoint missing);
// One step of a cell list: DrawListArrowsStep at the cells' places, or, when they move, at
// the positions of each row the drawing shows (MovingRowsOf), one read per row.
bool DrawCellArrowsStep(RenderContext& rc, VectorFrame& vf, MissingPoint missing);
// The end of a one-step vector map: the coastline when there is one, pending events once, the
// footer and the default pointer.
void FinishPairFrame(RenderContext& rc, const VectorFrame& vf);
// The animation of a point list at CurLevel, its legend already drawn: TimeLoop with
// DrawListArrowsStep (missing points skipped), timeStride steps apart, then the footer and the
// default pointer. The last step drawn, or -1 after a failed read.
Long AnimateListArrows(RenderContext& rc, VectorFrame& vf, const VArray<float>* lon,
                       const VArray<float>* lat, Long timeStride = 1);
// The same loop over any one-step body.
using ListStep = std::function<bool(RenderContext&)>;
Long AnimateListSteps(RenderContext& rc, VectorFrame& vf, const ListStep& step,
                      Long timeStride = 1);

// ---- Boundary-fitted grid ---------------------------------------------------------------------
// How the read window of u meets the grid: whether its dimension nd - 1 runs over i (aIsI) or
// over j, and how lonV/latV are laid out.
struct BfgdNodes {
    // The drawing's read window and coordinates (RenderContext).
    const ReadWindowState* win = nullptr;
    const DatasetState* coords = nullptr;
    bool valid = false; // u's order is 1, 2 or 4 (its own, else the dataset's); else no arrows
    bool aIsI = true;
    bool coordsJFirst = false; // lonV/latV indexed (j, i)
    Long iMax = 0;
    Long jMax = 0;
    // The position of node (i, j); false when lonV/latV do not hold it or it marks none (a
    // land node's fill value).
    bool at(Long i, Long j, float& lon, float& lat) const;
};
// The nodes of the pair's u: the grid and the coordinate layout of the main dataset.
BfgdNodes BfgdNodesOf(const RenderContext& rc, const VectorFrame& vf);

// Runs f(k, i, j) for the nodes of the read window in the read's order, k counting from 1 and
// never past limit (the values read).
template <class F> void ForEachWindowNode(const BfgdNodes& g, Long nd, Long limit, F f) {
    if (!g.valid || nd < 2) return;
    const ReadWindowState& w = *g.win;
    const Long aStart = w.startp(nd - 1), aStep = w.stride(nd - 1), aCount = w.countp(nd - 1);
    const Long bStart = w.startp(nd), bStep = w.stride(nd), bCount = w.countp(nd);
    Long k = 0;
    for (Long r = 0; r < aCount; ++r) {
        const Long a = aStart + r * aStep;
        for (Long c = 0; c < bCount; ++c) {
            if (++k > limit) return;
            const Long b = bStart + c * bStep;
            f(k, g.aIsI ? a : b, g.aIsI ? b : a);
        }
    }
}

// The grid's node marks: for every node of the grid a black pixel, and half circles of radius
// 10 on its edges (i = 1 left in light red, i = iMax right in light green, j = 1 lower in light
// blue, j = jMax upper in light cyan); then a circle of radius 2 in light blue round every node
// of the read window. Nodes without a position get none.
void BfgdNodeMarks(RenderContext& rc, const BfgdNodes& g);

// What the two items of a boundary-fitted pair are.
enum class PairKind {
    Components,     // u and v
    DirectionSpeed, // item 1 a direction in degrees, item 2 the speed
    SpeedDirection, // item 1 the speed, item 2 the direction
};
// The legend of the one-step map. Kinds other than 0 as PairLegend. A pair of kind 0 (none
// recognised) whose items come from two datasets may be a speed and a direction: an item whose
// unit begins with "(DE" or "DEG" (any case) is the direction, item 2 winning when both are.
// Kind 0 labels "10 " and the speed item's trimmed unit (u's for components), with the unit
// factor 1 and a reference arrow of 10.
PairKind BfgdPairLegend(VectorFrame& vf);
// The eastward and northward components of a speed s towards the opposite of the compass bearing
// d (degrees clockwise from north): d = 0 points south, 90 west, 180 north.
void SpeedDirectionToUV(float s, float d, float& u, float& v);

// Per node of the read window, the sums of the drawn components over the steps at which the
// node had a vector that is not zero, and the number of those steps.
struct PeriodSums {
    VArray<float> u, v;
    VArray<Long> count;
    // Sized to n nodes, all zero.
    void Start(Long n);
};

// The arrows of one step at the nodes of the read window, uV/vV read for u and v: a node with a
// missing value is skipped; components are scaled by the unit factor (in place in uV/vV), pairs
// of speed and direction turned into components. speed2Max is widened by each u² + v²; sums,
// when given, take each vector that is not zero. vf.walkI/walkJ follow the node's i and j.
void WalkBfgdArrows(RenderContext& rc, VectorFrame& vf, const BfgdNodes& g, PairKind kind,
                    float& speed2Max, PeriodSums* sums = nullptr);

// "/Speed Range/ 0 to " & Str(Sqr(speed2Max)) with its top left at (1, height - its height).
void SpeedRangeLine(RenderContext& rc, float speed2Max);
