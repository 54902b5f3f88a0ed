#pragma once
// The steps that differ by grid kind, one entry per kind (kGridCells .. kGridFvMesh): how the
// set-up reads the positions, which of them a DAP2 set-up fetches in its one request, and how
// the positions are handed to the caller. Each step looks the kind up once and calls its
// entry; adding a kind is one entry here and its functions beside the steps they belong to.
#include "kelvadlib/Records.h"
#include "runtime/Types.h"
#include "runtime/VArray.h"

#include <string>
#include <vector>

class Kelvad;

// A variable the set-up reads: whole, or only the first step of its first (time) dimension.
struct SetUpRead {
    Long vId = 0;
    bool firstStep = false;
};

struct GridKind {
    // The positions of slot nH into its caches, box and spacing (SetHorizontalExtent): 1, or
    // as the reads of the layout answer, with the reason in ErrorMessage. tag heads the
    // messages.
    Long (*readPositions)(Kelvad& kv, Long nH, const std::string& tag);
    // The variables those reads take, for the one request of a DAP2 set-up.
    std::vector<SetUpRead> (*setUpReads)(const NcfRec& r);
    // The caches into the caller's arrays, in degrees or radians (doFill_LonLatDeg/Rad):
    // false with the reason in ErrorMessage when the request cannot be met.
    bool (*fillLonLat)(Kelvad& kv, NcfRec& r, VArray<float>& outLon, VArray<float>& outLat,
                       bool rad);
    // A mesh: its corner table is read again by every fill of it, so a DAP2 set-up keeps it.
    bool cornerTable;
};

// The entry of a grid type; nullptr for kGridNone and any other number.
const GridKind* GridKindOf(Long gridType);

// ---- Position reads (Extents.cpp) ----------------------------------------------------------
Long ReadCellPositions(Kelvad& kv, Long nH, const std::string& tag);
Long ReadRegularAxes(Kelvad& kv, Long nH, const std::string& tag);
Long ReadBoundaryFitted(Kelvad& kv, Long nH, const std::string& tag);
Long ReadFeMeshNodes(Kelvad& kv, Long nH, const std::string& tag);
Long GenerateGmtGrid(Kelvad& kv, Long nH, const std::string& tag);
Long ReadFvMesh(Kelvad& kv, Long nH, const std::string& tag);
// Positions are numbers: a longitude or latitude held as text, lists (vlen) or records
// (compound) cannot be placed. The reason, headed by tag, or "" when both are numbers. ncid
// names the types a file defines.
std::string PositionsNotNumbers(const NcfRec& r, int ncid, const std::string& tag);

// ---- What a DAP2 set-up fetches (CoordFetch.cpp) -------------------------------------------
std::vector<SetUpRead> PointListReads(const NcfRec& r);
std::vector<SetUpRead> BoundaryFittedReads(const NcfRec& r);
std::vector<SetUpRead> MeshReads(const NcfRec& r);
std::vector<SetUpRead> GmtReads(const NcfRec& r);

// ---- The caller's arrays (CoordArrays.cpp) -------------------------------------------------
bool FillCellPositions(Kelvad& kv, NcfRec& r, VArray<float>& outLon, VArray<float>& outLat,
                       bool rad);
bool FillAxes(Kelvad& kv, NcfRec& r, VArray<float>& outLon, VArray<float>& outLat, bool rad);
bool FillBoundaryFitted(Kelvad& kv, NcfRec& r, VArray<float>& outLon, VArray<float>& outLat,
                        bool rad);
bool FillFeMeshNodes(Kelvad& kv, NcfRec& r, VArray<float>& outLon, VArray<float>& outLat,
                     bool rad);
bool FillFiniteVolume(Kelvad& kv, NcfRec& r, VArray<float>& outLon, VArray<float>& outLat,
                      bool rad);
