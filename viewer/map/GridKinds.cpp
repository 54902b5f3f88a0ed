#include "viewer/map/GridKinds.h"

#include "kelvadlib/IKelvad.h"
#include "runtime/Strings.h"
#include "viewer/map/FvPositions.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/SharedState.h"

#include <array>

namespace {

// The id of dimension k of variable n; none (-2) before the first.
Long dimId(IKelvad& nc, Long n, Long k, Long slot) {
    return k >= 1 ? nc.variArrayDimID(n, k, slot) : Long{-2};
}

bool either(Long id, Long a, Long b) {
    return id == a || id == b;
}

// The last two dimensions are the pair a/b in either order.
bool lastTwoArePair(IKelvad& nc, Long n, Long slot, Long a, Long b) {
    const Long r = nc.variNarray(n, slot);
    if (r < 2) return false;
    return either(dimId(nc, n, r - 1, slot), a, b) && either(dimId(nc, n, r, slot), b, a);
}

bool fitsAnything(IKelvad&, Long, Long) {
    return true;
}

bool fitsCells(IKelvad& nc, Long n, Long slot) {
    const Long r = nc.variNarray(n, slot);
    return r >= 1 && dimId(nc, n, r, slot) == nc.nCelldId(slot);
}

bool fitsLonLat(IKelvad& nc, Long n, Long slot) {
    return lastTwoArePair(nc, n, slot, nc.LondId(slot), nc.LatdId(slot));
}

bool fitsIJ(IKelvad& nc, Long n, Long slot) {
    return lastTwoArePair(nc, n, slot, nc.iCelldId(slot), nc.jCelldId(slot));
}

bool fitsMesh(IKelvad& nc, Long n, Long slot) {
    const Long r = nc.variNarray(n, slot);
    return r >= 1 && either(dimId(nc, n, r, slot), nc.nodedId(slot), nc.elemdId(slot));
}

bool fitsXySize(IKelvad& nc, Long n, Long slot) {
    const Long r = nc.variNarray(n, slot);
    return r >= 1 && UCase(nc.variArrayDimName(n, r, slot)) == "XYSIZE";
}

// Indexed by grid type; entry 0 stands for no grid and for every type not listed.
const std::array<MapGridKind, kMapGridKindCount> kKinds = {{
    {kGridNone, WholeVariableWindow, MapPoints::None, MapMesh::None, false, MapProbe::None,
     MapPreview::None, fitsAnything},
    {kGridCells, PointListWindow, MapPoints::Cells, MapMesh::None, true, MapProbe::Cell,
     MapPreview::CellList, fitsCells},
    {kGridRegular, RegularGridWindow, MapPoints::None, MapMesh::None, true, MapProbe::GridPoint,
     MapPreview::AxisBoxes, fitsLonLat},
    {kGridBfg, BoundaryFittedWindow, MapPoints::None, MapMesh::None, true,
     MapProbe::BoundaryFittedNode, MapPreview::BoundaryFitted, fitsIJ},
    {kGridFeMesh, PointListWindow, MapPoints::Nodes, MapMesh::FiniteElement, true, MapProbe::None,
     MapPreview::MeshPoints, fitsMesh},
    // A GMT grid has no time-stepped maps at all.
    {kGridGmt, GmtWindow, MapPoints::None, MapMesh::None, false, MapProbe::None,
     MapPreview::AxisBoxes, fitsXySize},
    {kGridFvMesh, PointListWindow, MapPoints::NodesOrElements, MapMesh::FiniteVolume, true,
     MapProbe::None, MapPreview::MeshPoints, fitsMesh},
}};

} // namespace

const MapGridKind& MapKindOf(Long gridType) {
    if (gridType < 0 || gridType >= kMapGridKindCount) return kKinds[0];
    return kKinds[static_cast<std::size_t>(gridType)];
}

ValuePoints PointsOfValues(const MapGridKind& kind, IKelvad& nc, Long nvar, Long slot) {
    switch (kind.points) {
    case MapPoints::Cells:
        return {&Data.lonV, &Data.latV, nc.nCells(1)};
    case MapPoints::Nodes:
        return {&Data.lonV, &Data.latV, nc.nNodes(1), true};
    case MapPoints::NodesOrElements:
        break;
    default:
        return {};
    }
    // The loader fetches element positions for every finite-volume mesh, node positions only
    // for the mesh outline: a node variable needs them now, and cannot be placed without them.
    switch (FvLocationOf(nvar, slot)) {
    case FvLocation::Elements:
        return {&Data.lonV, &Data.latV, nc.nElements(1)};
    case FvLocation::Nodes: {
        const Long n = nc.nNodes(1);
        if (!EnsureFvNodePositions()) return {};
        return {&Data.nodeLonV, &Data.nodeLatV, n, true};
    }
    default:
        return {};
    }
}
