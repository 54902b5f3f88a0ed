// The grid kinds: the entry each grid type gets (an unknown one that of no grid).
#include "viewer/map/GridKinds.h"
#include "kelvadlib/IKelvad.h"
#include "viewer/map/ReadWindow.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using P = MapProbe;
using V = MapPreview;
using M = MapMesh;
using Pt = MapPoints;

TEST(GridKindsTest, EachGridTypeHasItsEntryAndAnUnknownOneThatOfNoGrid) {
    struct Case {
        Long grid, index;
        ReadWindowSetup window;
        Pt points;
        M mesh;
        bool timed;
        P probe;
        V preview;
    };
    const std::vector<Case> cases = {
        {kGridNone, 0, WholeVariableWindow, Pt::None, M::None, false, P::None, V::None},
        {kGridCells, 1, PointListWindow, Pt::Cells, M::None, true, P::Cell, V::CellList},
        {kGridRegular, 2, RegularGridWindow, Pt::None, M::None, true, P::GridPoint, V::AxisBoxes},
        {kGridBfg, 3, BoundaryFittedWindow, Pt::None, M::None, true, P::BoundaryFittedNode,
         V::BoundaryFitted},
        {kGridFeMesh, 4, PointListWindow, Pt::Nodes, M::FiniteElement, true, P::None,
         V::MeshPoints},
        {kGridGmt, 5, GmtWindow, Pt::None, M::None, false, P::None, V::AxisBoxes},
        {kGridFvMesh, 6, PointListWindow, Pt::NodesOrElements, M::FiniteVolume, true, P::None,
         V::MeshPoints},
        {kGridFvMesh + 1, 0, WholeVariableWindow, Pt::None, M::None, false, P::None, V::None},
        {-1, 0, WholeVariableWindow, Pt::None, M::None, false, P::None, V::None},
    };
    for (const Case& c : cases) {
        const MapGridKind& k = MapKindOf(c.grid);
        EXPECT_EQ(k.index, c.index) << c.grid;
        EXPECT_EQ(k.readWindow, c.window) << c.grid;
        EXPECT_EQ(k.points, c.points) << c.grid;
        EXPECT_EQ(k.mesh, c.mesh) << c.grid;
        EXPECT_EQ(k.timeStepped, c.timed) << c.grid;
        EXPECT_EQ(k.probe, c.probe) << c.grid;
        EXPECT_EQ(k.preview, c.preview) << c.grid;
        EXPECT_NE(k.fitsGrid, nullptr) << c.grid;
    }
}

} // namespace
