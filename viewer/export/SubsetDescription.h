#pragma once
// The subset description: what every save cuts out of the open dataset. It records the
// dimensions of the main dataset as the output is to have them, and, for each dimension of the
// first pick in the pick's own dimension order, the first index, the last, the step and the
// number of indices taken (1-based positions, as the order window's rows and the IKelvad reads
// have them), with the coordinate values inside the cut. SubSetNcDomain builds it from the
// order window's rows before a writer runs and checks all of it first: a writer never starts on
// a cut that reaches outside the dataset. Each build starts from nothing, so nothing of an
// earlier save or dataset survives in it.
#include "runtime/Types.h"
#include "runtime/VArray.h"
#include "viewer/map/SharedState.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The message of a subset row whose start, end and step take no index of its dimension.
extern const char* const kRowRangeText;

// One dimension of the output.
struct DimRecord {
    std::string dimeName; // the name in the main dataset
    Long dimeSize = 0;    // the main dataset's length, or the count of a dimension that is cut
    Long dimeUnLimited = 0;
    Long dimeType = 0;
};

struct SubsetDescription {
    // The picks the description was made for, in their order (Data.Picks as it was built): the
    // writers take them from here. The per-dimension arrays follow the first one's dimensions.
    std::vector<PickItem> picks;

    // One record per dimension of the main dataset: record k is the dimension of id k - 1.
    VArray<DimRecord> SubsetDims;

    // Per dimension d (1 To rank) of the first pick:
    VArray<Long> dimIds;    // the main dataset's dimension id (from 0) that d is
    VArray<Long> startSub;  // first index (1-based)
    VArray<Long> endSub;    // last index asked for
    VArray<Long> strideSub; // step
    VArray<Long> countSub;  // indices taken: start, start + step, ... up to end

    // The coordinates inside the cut, in degrees whatever the projection. Axes the first
    // pick does not cut are taken whole. A boundary-fitted grid has every grid point: 1 To
    // iMax * jMax when its coordinates run i-major, (1 To jMax, 1 To iMax) when j-major.
    VArray<float> lonSub, latSub;
    Long nLonSub = 0, nLatSub = 0;
    VArray<double> timeSub; // raw time values of the steps taken, in the dataset's unit
    Long nTimeSub = 0;
    VArray<double> levelSub; // vertical coordinate values of the levels taken
    Long nLevelSub = 0;

    Long rank() const { return startSub.IsAllocated() ? static_cast<Long>(startSub.size()) : 0; }
    // The number of values of one pick's block: the product of the counts.
    int64_t valueCount() const;
};

// A position of the viewer's coordinate arrays in degrees (they hold radians in Mercator mode).
float PositionDegrees(float v);

// The main dataset's ids (from 0) of the dimensions of pick, looked up in the pick's own
// dataset. A dimension of the second file is the main dataset's dimension of the same name and
// length; false, with the refusal's text in why, when there is none.
bool PickDimsInMain(const PickItem& pick, std::vector<Long>& ids, std::string& why);

// True when every pick lies over the first pick's dimensions, each looked up in its own dataset;
// false after the refusal's message. Without an argument, the picks of Data.Picks.
bool PicksShareDimensions(std::span<const PickItem> picks);
bool PicksShareDimensions();

// Builds the description for the picks (Data.Picks) from the order window's rows
// (exportHost()). 1 when it is built (also for a mesh, after its message); 0 after a message
// when nothing is picked, a row does not describe a cut of its dimension, or the build fails.
Long SubSetNcDomain(SubsetDescription& sd);

// "recount": the rows of the entry at the order window's cursor clamped into its dimensions
// and written back with their counts, and the size of one variable's cut in the size box.
void EstimateSubsetSize();

// The size box's text for a number of bytes: "#0bytes" below 1000, else "#0.00K" below
// 1000 K, else "#0.0M" (steps of 1000).
std::string SubsetSizeText(float bytes);
