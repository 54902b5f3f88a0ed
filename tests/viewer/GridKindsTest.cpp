// The grid kinds: the entry each grid type gets (an unknown one that of no grid), and the
// drawing each route of the dispatcher runs matching the renderer it names, for every grid
// type, pick count and mode.
#include "viewer/map/GridKinds.h"
#include "kelvadlib/IKelvad.h"
#include "viewer/map/MeshOutlines.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/scalar/DrawBfgdScalar.h"
#include "viewer/scalar/DrawCellScalar.h"
#include "viewer/scalar/DrawFEScalar.h"
#include "viewer/scalar/DrawFVScalar.h"
#include "viewer/scalar/DrawGmtScalar.h"
#include "viewer/scalar/DrawGridScalarTimed.h"
#include "viewer/shell/PlotPicked.h"
#include "viewer/vector/DrawBfgdVector.h"
#include "viewer/vector/DrawBfgdVectorTimed.h"
#include "viewer/vector/DrawCellVector.h"
#include "viewer/vector/DrawFEVector.h"
#include "viewer/vector/DrawGmtVector.h"
#include "viewer/vector/DrawGridScalarVectorTimed.h"
#include "viewer/vector/DrawGridVectorTimed.h"

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

TEST(GridKindsTest, EveryRouteRunsTheDrawingOfItsRenderer) {
    using R = PlotRenderer;
    using Draw = void (*)(Picture&);
    using Loop = Long (*)(Picture&);
    // The drawing each renderer stands for; the ones drawn with a pick number (the regular
    // grid's one map, the triple) cannot be named and need only be there.
    struct Drawing {
        R renderer;
        Draw draw;
        Loop loop;
    };
    const std::vector<Drawing> drawings = {
        {R::CellScalar, DrawCellScalar, nullptr},
        {R::GridScalar, nullptr, nullptr},
        {R::BfgdScalar, DrawBfgdScalar, nullptr},
        {R::FEScalar, DrawFEScalar, nullptr},
        {R::GMTScalar, DrawGMTScalar, nullptr},
        {R::FvScalar, DrawFvScalar, nullptr},
        {R::CellVector, DrawCellVector, nullptr},
        {R::GridVector, nullptr, nullptr},
        {R::BfgdVector, DrawBfgdVector, nullptr},
        {R::FEVector, DrawFEVector, nullptr},
        {R::GMTVector, DrawGMTVector, nullptr},
        {R::TriplePair, nullptr, nullptr},
        {R::CellScalarTimed, nullptr, DrawCellScalarTimed},
        {R::GridScalarTimed, nullptr, DrawGridScalarTimed},
        {R::BfgdScalarTimed, nullptr, DrawBfgdScalarTimed},
        {R::FEScalarTimed, nullptr, DrawFEScalarTimed},
        {R::FVScalarTimed, nullptr, DrawFVScalarTimed},
        {R::CellVectorTimed, nullptr, DrawCellVectorTimed},
        {R::GridVectorTimed, nullptr, DrawGridVectorTimed},
        {R::BfgdVectorTimed, nullptr, DrawBfgdVectorTimed},
        {R::FEVectorTimed, nullptr, DrawFEVectorTimed},
        {R::GridTripleTimed, nullptr, DrawGridTripleTimed},
    };
    for (Long grid = -1; grid <= kGridFvMesh + 1; ++grid) {
        for (Long mode : {1, 3}) {
            for (Long picks = 0; picks <= 4; ++picks) {
                const PlotRoute route = ChoosePlotRoute(mode, grid, picks, 1);
                const std::string at =
                    std::to_string(mode) + " " + std::to_string(grid) + " " + std::to_string(picks);
                // The outlines come with the flags, FE's alone and FV's with its bounds.
                EXPECT_EQ(route.outline == DrawFeMesh, route.feMesh) << at;
                EXPECT_EQ(route.outline != nullptr, route.feMesh || route.fvMesh) << at;
                if (route.renderer == R::None) {
                    EXPECT_EQ(route.draw, nullptr) << at;
                    EXPECT_EQ(route.loop, nullptr) << at;
                    continue;
                }
                bool known = false;
                for (const Drawing& d : drawings) {
                    if (d.renderer != route.renderer) continue;
                    known = true;
                    const bool timed = d.loop != nullptr;
                    EXPECT_EQ(timed, mode == 3) << at;
                    if (timed) {
                        EXPECT_EQ(route.loop, d.loop) << at;
                        EXPECT_EQ(route.draw, nullptr) << at;
                    } else {
                        EXPECT_NE(route.draw, nullptr) << at;
                        if (d.draw != nullptr) {
                            EXPECT_EQ(route.draw, d.draw) << at;
                        }
                        EXPECT_EQ(route.loop, nullptr) << at;
                    }
                }
                EXPECT_TRUE(known) << at;
            }
        }
    }
}

} // namespace
