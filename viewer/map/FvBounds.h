#pragma once
// The land and open-sea boundary lines of a finite-volume mesh. They are derived once per load
// from the node codes (variable "code": 1 land boundary, 2 and more open sea) and the element
// corners: an element edge met once is a boundary segment, one shared by two elements is not.
// The build is kept in a cache file beside the dataset (its name with the extension "bnd") and
// read back at later loads while the cache is newer than the dataset and its header matches.
// The cache is optional: a dataset opened by URL has none, and a cache that cannot be written
// leaves the lines built in memory.
//
// Cache text, lines ended by CR LF:
//   <nNodes> =nNodes
//   <nElements> =nElements
//   <L> =nfvlands
//   <S> =nfvseas
//   L land rows, then S sea rows, each  "<row 000000> <larger node 000000> <smaller node
//   000000>",lon,lat,lon,lat  (positions of the larger node, then of the smaller, in degrees)
#include "runtime/Types.h"
#include "runtime/VArray.h"
#include "viewer/map/SharedState.h"

#include <string>

class Picture;

// The segments (Data.fvlands, Data.nfvlands, Data.fvseas, Data.nfvseas) and the cache file
// (Data.BndFile) are part of the shared state (SharedState.h).

// Fills the lists for the finite-volume mesh of slot 1 (node1..node3 and nodeLonV/nodeLatV
// filled): from the cache when it is newer than the dataset and sound, otherwise built and
// written to the cache. A failure to build ("code" missing or too short, corner numbers past
// the node arrays) shows "[MakeFvBounds]" with the reason and empties both lists.
void MakeFvBounds();
// Empties both lists (the cache file stays named): a mesh that failed to load has none.
void ForgetFvBounds();

// Draws the land segments in light red, then the sea segments in light blue, in the picture's
// line width and drawing mode; ForeColor is put back afterwards, also after an error.
void DrawFvBounds(Picture& pic);

// ---- Parts of the cache, for tests and tools ------------------------------------------------
// The cache text of the given lists (positive segments only) with positions from
// nodeLonV/nodeLatV, multiplied by factor (1 / kDegToRad in Mercator mode, else 1).
std::string FvBoundsText(Long nNodes, Long nElements, const VArray<Long>& lands, Long nLands,
                         const VArray<Long>& seas, Long nSeas, float factor);
// Reads a cache: true with the lists filled when its header gives nNodes and nElements and
// every row is sound (seven numbers, node numbers within 1 .. nNodes); false otherwise (the
// lists then untouched).
bool ReadFvBoundsFile(const std::string& path, Long nNodes, Long nElements, VArray<Long>& lands,
                      Long& nLands, VArray<Long>& seas, Long& nSeas);
