#include "viewer/shell/PlotPicked.h"

#include "common/MinMax.h"
#include "common/Ui.h"
#include "gui/Picture.h"
#include "kelvadlib/IKelvad.h"
#include "viewer/map/BusyGuard.h"
#include "viewer/map/CScale.h"
#include "viewer/map/DrawCost.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"
#include "viewer/shell/FormColor.h"
#include "viewer/shell/FormFaces.h"

#include "viewer/map/FvBounds.h"
#include "viewer/map/MeshOutlines.h"
#include "viewer/scalar/DrawBfgdScalar.h"
#include "viewer/scalar/DrawCellScalar.h"
#include "viewer/scalar/DrawFEScalar.h"
#include "viewer/scalar/DrawFVScalar.h"
#include "viewer/scalar/DrawGmtScalar.h"
#include "viewer/scalar/DrawGridScalar.h"
#include "viewer/scalar/DrawGridScalarTimed.h"
#include "viewer/vector/DrawBfgdVector.h"
#include "viewer/vector/DrawBfgdVectorTimed.h"
#include "viewer/vector/DrawCellVector.h"
#include "viewer/vector/DrawFEVector.h"
#include "viewer/vector/DrawGmtVector.h"
#include "viewer/vector/DrawGridScalarVectorTimed.h"
#include "viewer/vector/DrawGridVector.h"
#include "viewer/vector/DrawGridVectorTimed.h"
#include <optional>

namespace {

// The vector maps of two picks, by grid type.
PlotRenderer pairRenderer(Long gridType, bool timed) {
    switch (gridType) {
    case kGridCells:
        return timed ? PlotRenderer::CellVectorTimed : PlotRenderer::CellVector;
    case kGridRegular:
        return timed ? PlotRenderer::GridVectorTimed : PlotRenderer::GridVector;
    case kGridBfg:
        return timed ? PlotRenderer::BfgdVectorTimed : PlotRenderer::BfgdVector;
    case kGridFeMesh:
    case kGridFvMesh:
        return timed ? PlotRenderer::FEVectorTimed : PlotRenderer::FEVector;
    case kGridGmt:
        // A GMT grid has no time-stepped maps at all.
        return timed ? PlotRenderer::None : PlotRenderer::GMTVector;
    default:
        return PlotRenderer::None;
    }
}

PlotRenderer singleStep(Long gridType, Long pickCount) {
    if (pickCount == 2) return pairRenderer(gridType, false);
    if (pickCount == 3)
        return gridType == kGridRegular ? PlotRenderer::TriplePair : PlotRenderer::None;
    if (pickCount != 1) return PlotRenderer::None;
    switch (gridType) {
    case kGridCells:
        return PlotRenderer::CellScalar;
    case kGridRegular:
        return PlotRenderer::GridScalar;
    case kGridBfg:
        return PlotRenderer::BfgdScalar;
    case kGridFeMesh:
        return PlotRenderer::FEScalar;
    case kGridGmt:
        return PlotRenderer::GMTScalar;
    case kGridFvMesh:
        return PlotRenderer::FvScalar;
    default:
        return PlotRenderer::None;
    }
}

PlotRenderer timeStepped(Long gridType, Long pickCount) {
    // A GMT grid has no time-stepped maps at all.
    if (gridType == kGridGmt) return PlotRenderer::None;
    if (pickCount == 2) return pairRenderer(gridType, true);
    if (pickCount == 3)
        return gridType == kGridRegular ? PlotRenderer::GridTripleTimed : PlotRenderer::None;
    if (pickCount != 1) return PlotRenderer::None;
    switch (gridType) {
    case kGridCells:
        return PlotRenderer::CellScalarTimed;
    case kGridRegular:
        return PlotRenderer::GridScalarTimed;
    case kGridBfg:
        return PlotRenderer::BfgdScalarTimed;
    case kGridFeMesh:
        return PlotRenderer::FEScalarTimed;
    case kGridFvMesh:
        return PlotRenderer::FVScalarTimed;
    default:
        return PlotRenderer::None;
    }
}

void message(const std::string& text) {
    ui().MsgBox(text, kOkOnly, kProgramTitle);
}

// Three picks draw only with a u/v pair among them; without one the message, and nothing.
bool tripleWithoutPair(PlotRenderer renderer) {
    if (renderer != PlotRenderer::TriplePair && renderer != PlotRenderer::GridTripleTimed)
        return false;
    Long p = 0, s = 0;
    FindTriplePair(p, s);
    if (s != 0) return false;
    message(kNoTriplePairText);
    return true;
}

} // namespace

PlotRoute ChoosePlotRoute(Long mode, Long gridType, Long pickCount, Long optShowMesh) {
    PlotRoute route;
    if (mode == 1) {
        route.renderer = singleStep(gridType, pickCount);
        // The outlines go under whatever the picks draw on a mesh: a scalar, a vector pair, or
        // three picks that draw nothing over them.
        if (optShowMesh == 1 && pickCount >= 1 && pickCount <= 3) {
            route.feMesh = gridType == kGridFeMesh;
            route.fvMesh = gridType == kGridFvMesh;
        }
    } else if (mode == 3) {
        route.renderer = timeStepped(gridType, pickCount);
    }
    return route;
}

namespace {

// One map of the picks at the current step: the mesh outlines first, then the picks' renderer.
// False when nothing was drawn (the colour key and the coast then stay off too).
bool drawSingleStep(Picture& pic) {
    const Long gridType = Data.clsNC->GridType(1);
    const PlotRoute route = ChoosePlotRoute(1, gridType, Data.PickCount, Opt.OptShowMesh);
    if (tripleWithoutPair(route.renderer)) return false;
    // The outlines first, also under a drawing that is not there yet.
    if (route.feMesh) DrawFeMesh(pic);
    if (route.fvMesh) {
        DrawFvMesh(pic);
        DrawFvBounds(pic);
    }
    if (route.renderer == PlotRenderer::NotAvailable) {
        message(kNotAvailableText);
        return false;
    }
    switch (route.renderer) {
    case PlotRenderer::CellScalar:
        DrawCellScalar(pic);
        break;
    case PlotRenderer::GridScalar:
        DrawGridScalar(pic, 1);
        break;
    case PlotRenderer::BfgdScalar:
        DrawBfgdScalar(pic);
        break;
    case PlotRenderer::FEScalar:
        DrawFEScalar(pic);
        break;
    case PlotRenderer::GMTScalar:
        DrawGMTScalar(pic);
        break;
    case PlotRenderer::FvScalar:
        DrawFvScalar(pic);
        break;
    case PlotRenderer::CellVector:
        DrawCellVector(pic);
        break;
    case PlotRenderer::BfgdVector:
        DrawBfgdVector(pic);
        break;
    case PlotRenderer::FEVector:
        DrawFEVector(pic);
        break;
    case PlotRenderer::GridVector:
        DrawGridVector(pic, 1);
        break;
    case PlotRenderer::GMTVector:
        DrawGMTVector(pic);
        break;
    case PlotRenderer::TriplePair: {
        // The scalar's cells first, the arrows over them.
        Long p = 0, s = 0;
        FindTriplePair(p, s);
        DrawGridScalar(pic, s);
        DrawGridVector(pic, p);
        break;
    }
    default:
        break;
    }
    return true;
}

// The maps of the picks step after step; the result is the time loop's, none when nothing was
// drawn (the colour key and the coast then stay off too).
std::optional<Long> drawTimeStepped(Picture& pic) {
    if (Data.clsNC->nTime(1) <= 0) {
        message("This file does not have multiple time dimensions");
        return std::nullopt;
    }
    const PlotRoute route =
        ChoosePlotRoute(3, Data.clsNC->GridType(1), Data.PickCount, Opt.OptShowMesh);
    if (tripleWithoutPair(route.renderer)) return std::nullopt;
    switch (route.renderer) {
    case PlotRenderer::NotAvailable:
        message(kNotAvailableText);
        return std::nullopt;
    case PlotRenderer::CellScalarTimed:
        return DrawCellScalarTimed(pic);
    case PlotRenderer::GridScalarTimed:
        return DrawGridScalarTimed(pic);
    case PlotRenderer::BfgdScalarTimed:
        return DrawBfgdScalarTimed(pic);
    case PlotRenderer::FEScalarTimed:
        return DrawFEScalarTimed(pic);
    case PlotRenderer::FVScalarTimed:
        return DrawFVScalarTimed(pic);
    case PlotRenderer::CellVectorTimed:
        return DrawCellVectorTimed(pic);
    case PlotRenderer::BfgdVectorTimed:
        return DrawBfgdVectorTimed(pic);
    case PlotRenderer::FEVectorTimed:
        return DrawFEVectorTimed(pic);
    case PlotRenderer::GridVectorTimed:
        return DrawGridVectorTimed(pic);
    case PlotRenderer::GridTripleTimed:
        return DrawGridTripleTimed(pic);
    default:
        return 1;
    }
}

// A scalar (alone or under a pair) gets its colour key; the coast goes over everything.
void finishMap(Picture& pic) {
    if (Data.PickCount == 1 || Data.PickCount == 3) {
        FormColor& colour = FormColorForm();
        if (!colour.isVisible()) colour.show();
        DrawColorLegend();
    }
    if (Coast.CoastFlag == 1) DrawCoast(pic);
}

} // namespace

Long PlotPicked(Long PlotMode) {
    Long result = -1;
    if (PlotMode != 0 && PlotMode != 1 && PlotMode != 3) return -1;
    // A second plot does not start from an event let in by the one under way.
    if (PlotMode != 0 && IsBusy()) return -1;
    std::optional<BusyGuard> busy;
    if (PlotMode != 0) busy.emplace();

    Picture& pic = MapPicture();
    if (InitMapScale(pic) != 1) return -1;
    if (PlotMode == 0 && Coast.CoastFlag == 1) DrawCoast(pic);
    if (Data.PickCount == 0 || PlotMode == 0) return -1;
    if (!Data.clsNC) return -1;

    // The read window of the first pick, in its own dataset.
    if (CalculateGridScalar(Data.Picks(1).varNumber, MaxL(Data.Picks(1).datasetIndex, 1)) != 1)
        return -1;

    if (PlotMode == 1) {
        if (!drawSingleStep(pic)) return -1;
        result = 0;
    } else if (PlotMode == 3) {
        const std::optional<Long> loop = drawTimeStepped(pic);
        if (!loop) return -1;
        result = *loop;
    }

    finishMap(pic);
    ui().DoEvents();
    return result;
}
