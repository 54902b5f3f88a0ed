#include "kelvadlib/GridKinds.h"

namespace {

// Cell lists and regular grids both read their two coordinate variables whole; a GMT grid's
// positions are generated from its ranges, so they come from the axes' fill too.
constexpr GridKind kCells{ReadCellPositions, PointListReads, FillCellPositions, false};
constexpr GridKind kRegular{ReadRegularAxes, PointListReads, FillAxes, false};
constexpr GridKind kBoundaryFitted{ReadBoundaryFitted, BoundaryFittedReads, FillBoundaryFitted,
                                   false};
constexpr GridKind kFeMesh{ReadFeMeshNodes, MeshReads, FillFeMeshNodes, true};
constexpr GridKind kGmt{GenerateGmtGrid, GmtReads, FillAxes, false};
constexpr GridKind kFvMesh{ReadFvMesh, MeshReads, FillFiniteVolume, true};

} // namespace

const GridKind* GridKindOf(Long gridType) {
    switch (gridType) {
    case kGridCells:
        return &kCells;
    case kGridRegular:
        return &kRegular;
    case kGridBfg:
        return &kBoundaryFitted;
    case kGridFeMesh:
        return &kFeMesh;
    case kGridGmt:
        return &kGmt;
    case kGridFvMesh:
        return &kFvMesh;
    default:
        return nullptr;
    }
}
