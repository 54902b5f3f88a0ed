#pragma once
// The read window: which part of the picked variable the current map view shows, one entry per
// dimension of the variable (1 .. nd, in the variable's own dimension order, the last running
// fastest in a read), and the number of values one read of it returns. A global regular grid
// also gets seam windows: one for each copy of the grid, a whole number of longitude periods
// away, whose columns the view reaches across the longitude seam (a view wider than a period
// holds several copies).
//
// CalculateGridScalar rebuilds them from nothing before every draw; the renderers pin the time
// and level entries afterwards, and the cell, mesh and finite-volume renderers rebuild the read
// window over their whole point list. The grid renderer reads the seam windows besides the read
// window and leaves both in place, so that the probe finds every point it drew.
#include "runtime/Types.h"
#include "runtime/VArray.h"
#include "viewer/map/SharedState.h"

#include <string>

struct MapGridKind;

// The mark that the reads put in place of missing values; every value at or below it is
// skipped by the ranges and the drawings.
inline constexpr float NoVal = -1e35f;

// The read window (Win.startp, Win.endp, Win.countp, Win.stride, Win.tcount), the seam windows
// (Win.seamWindows, Win.tcount2) and the values of the last scalar read (Win.scalarV) are part of
// the shared state (SharedState.h).

// Calls f(o, q, n) for the points of a read window in the order a read returns their values:
// o the index along dimension nd - 1, q along dimension nd (the fastest), n the place of the
// value (from 1). Stops after total values.
template <class F>
void ForEachWindowPoint(const VArray<Long>& start, const VArray<Long>& count,
                        const VArray<Long>& step, Long nd, Long total, F&& f) {
    const Long outStart = start(nd - 1), outStep = step(nd - 1), outCount = count(nd - 1);
    const Long inStart = start(nd), inStep = step(nd), inCount = count(nd);
    Long n = 0;
    for (Long r = 0; r < outCount; ++r) {
        const Long o = outStart + r * outStep;
        for (Long c = 0; c < inCount; ++c) {
            if (++n > total) return;
            f(o, inStart + c * inStep, n);
        }
    }
}

// ---- The order window's boxes that the maps read and write -----------------------------------
// The stride column "Manual" (Text11(0..3)) and the step box (Text10(0)) live on OrderFrm. The
// maps reach them through this interface, which OrderFrm implements and installs; until then
// a MemoryOrderBoxes answers (empty boxes).
class OrderBoxes {
public:
    virtual ~OrderBoxes() = default;
    // The text typed in the stride box of dimension d (1-based); "" when the window has no box
    // for d (a fifth dimension has none and takes its default stride).
    virtual std::string StrideText(Long d) const = 0;
    // The text of the step box.
    virtual std::string StepText() const = 0;
    // Shows a step in the step box (the time loops write Str(step) there).
    virtual void SetStepText(const std::string& text) = 0;
};

// Boxes held in memory: the default, and what tests fill.
class MemoryOrderBoxes : public OrderBoxes {
public:
    std::string strides[4]; // dimensions 1 to 4
    std::string step;
    std::string StrideText(Long d) const override {
        return d >= 1 && d <= 4 ? strides[d - 1] : std::string();
    }
    std::string StepText() const override { return step; }
    void SetStepText(const std::string& text) override { step = text; }
};

// The boxes in use.
OrderBoxes& orderBoxes();
// Installs boxes (not owned) and returns the ones replaced; nullptr restores the default.
OrderBoxes* setOrderBoxes(OrderBoxes* boxes);
// The default boxes (a MemoryOrderBoxes), for tests that only need to type into them.
MemoryOrderBoxes& defaultOrderBoxes();

// ---- The window ------------------------------------------------------------------------------
// Works out the read window (and the seam window) of variable nvar for the current view.
// 1: the window describes the view; -1: nothing is to be drawn (a message may have been shown).
// The grid's geometry (grid type, coordinate counts, dLat, lonlatOrder) is that of slot 1;
// the variable's own facts (rank, longitude/latitude order, dimension ids) are asked of nNc,
// the slot the variable lives in (a pick from the second file passes its own slot).
Long CalculateGridScalar(Long nvar, Long nNc = 1);

// The windows of the grid kinds (their entries in GridKinds.h name them), each a ReadWindowSetup.
// Cell lists and meshes: the index range from the first to the last point in the view.
void PointListWindow(const MapGridKind& kind, IKelvad& nc, Long nvar, Long nNc, Long nd,
                     Long& result);
// The regular grid: an axis window each for longitude and latitude, then the seam windows.
void RegularGridWindow(const MapGridKind& kind, IKelvad& nc, Long nvar, Long nNc, Long nd,
                       Long& result);
// The boundary-fitted grid: the i and j ranges of the nodes in the view.
void BoundaryFittedWindow(const MapGridKind& kind, IKelvad& nc, Long nvar, Long nNc, Long nd,
                          Long& result);
// The GMT grid: its one vector whole.
void GmtWindow(const MapGridKind& kind, IKelvad& nc, Long nvar, Long nNc, Long nd, Long& result);
// No horizontal coordinates: a variable without longitude/latitude dimensions is read whole at
// index 1 of each dimension.
void WholeVariableWindow(const MapGridKind& kind, IKelvad& nc, Long nvar, Long nNc, Long nd,
                         Long& result);

// ---- Helpers of the window, shared with the renderers ------------------------------------------
// The value of the stride box of dimension d: the number its text begins with (0 when none).
double StrideBoxValue(Long d);
// The stride a box gives on the regular grid, the boundary-fitted grid and the meshes: its
// value rounded (halves to even) when the value is above 0; otherwise 0 (the caller's default).
Long StrideFromBox(Long d);
// The cell list's rule: the rounded value whatever its sign; 0 when it rounds to 0.
Long CellStrideFromBox(Long d);
// The number of indices start, start + step, ... that do not pass end (a counted loop; with a
// step of 0 or below it runs once when start = end and else not at all).
Long CountSteps(Long start, Long end, Long step);
// Sets every entry of the four read-window arrays to 1 for a variable of nd dimensions
// (nd of 0 leaves them unallocated) and drops the seam window.
void ResetReadWindow(Long nd);
// The product of countp(1..nd) (0 when nd is 0); raises 6 past the Long range.
Long WindowCount(const VArray<Long>& counts);
