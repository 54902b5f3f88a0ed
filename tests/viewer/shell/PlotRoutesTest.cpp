// The plot dispatcher's routes: the drawing each route runs matches the renderer it names, for
// every grid type, pick count and mode.
#include "kelvadlib/IKelvad.h"
#include "viewer/map/MeshOutlines.h"
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

TEST(PlotRoutesTest, EveryRouteRunsTheDrawingOfItsRenderer) {
    using Route = PlotRenderer;
    using Draw = void (*)(Picture&);
    using Loop = Long (*)(Picture&);
    // The drawing each renderer stands for; the ones drawn with a pick number (the regular
    // grid's one map, the triple) cannot be named and need only be there.
    struct Drawing {
        Route renderer;
        Draw draw;
        Loop loop;
    };
    const std::vector<Drawing> drawings = {
        {Route::CellScalar, DrawCellScalar, nullptr},
        {Route::GridScalar, nullptr, nullptr},
        {Route::BfgdScalar, DrawBfgdScalar, nullptr},
        {Route::FEScalar, DrawFEScalar, nullptr},
        {Route::GMTScalar, DrawGMTScalar, nullptr},
        {Route::FvScalar, DrawFvScalar, nullptr},
        {Route::CellVector, DrawCellVector, nullptr},
        {Route::GridVector, nullptr, nullptr},
        {Route::BfgdVector, DrawBfgdVector, nullptr},
        {Route::FEVector, DrawFEVector, nullptr},
        {Route::GMTVector, DrawGMTVector, nullptr},
        {Route::TriplePair, nullptr, nullptr},
        {Route::CellScalarTimed, nullptr, DrawCellScalarTimed},
        {Route::GridScalarTimed, nullptr, DrawGridScalarTimed},
        {Route::BfgdScalarTimed, nullptr, DrawBfgdScalarTimed},
        {Route::FEScalarTimed, nullptr, DrawFEScalarTimed},
        {Route::FVScalarTimed, nullptr, DrawFVScalarTimed},
        {Route::CellVectorTimed, nullptr, DrawCellVectorTimed},
        {Route::GridVectorTimed, nullptr, DrawGridVectorTimed},
        {Route::BfgdVectorTimed, nullptr, DrawBfgdVectorTimed},
        {Route::FEVectorTimed, nullptr, DrawFEVectorTimed},
        {Route::GridTripleTimed, nullptr, DrawGridTripleTimed},
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
                if (route.renderer == Route::None) {
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
