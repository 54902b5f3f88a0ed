#include "viewer/shell/PlotPicked.h"

#include "common/MinMax.h"
#include "common/Ui.h"
#include "gui/Picture.h"
#include "kelvadlib/IKelvad.h"
#include "viewer/map/BusyGuard.h"
#include "viewer/map/CScale.h"
#include "viewer/map/DrawCost.h"
#include "viewer/map/GridKinds.h"
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

#include <array>
#include <optional>

namespace {

// A renderer of one map, and one of the time loop.
struct OneStep {
    PlotRenderer renderer;
    void (*draw)(Picture& pic);
};
struct Timed {
    PlotRenderer renderer;
    Long (*loop)(Picture& pic);
};
constexpr OneStep kNoStep{PlotRenderer::None, nullptr};
constexpr Timed kNoLoop{PlotRenderer::None, nullptr};

// The scalar's cells first, the arrows over them.
void drawTriplePair(Picture& pic) {
    Long p = 0, s = 0;
    FindTriplePair(p, s);
    DrawGridScalar(pic, s);
    DrawGridVector(pic, p);
}

void drawFvOutlines(Picture& pic) {
    DrawFvMesh(pic);
    DrawFvBounds(pic);
}

// What the picks of a grid kind draw: one pick, a vector pair, three picks (a scalar and a
// pair), in one map and in the time loop; and the mesh outlines under them.
struct PlotKind {
    Long gridType;
    OneStep scalar, pair, triple;
    Timed scalarTimed, pairTimed, tripleTimed;
    void (*outline)(Picture& pic);
};

// Indexed by MapGridKind::index.
constexpr std::array<PlotKind, kMapGridKindCount> kPlotKinds = {{
    {kGridNone, kNoStep, kNoStep, kNoStep, kNoLoop, kNoLoop, kNoLoop, nullptr},
    {kGridCells,
     {PlotRenderer::CellScalar, DrawCellScalar},
     {PlotRenderer::CellVector, DrawCellVector},
     kNoStep,
     {PlotRenderer::CellScalarTimed, DrawCellScalarTimed},
     {PlotRenderer::CellVectorTimed, DrawCellVectorTimed},
     kNoLoop,
     nullptr},
    {kGridRegular,
     {PlotRenderer::GridScalar, [](Picture& pic) { DrawGridScalar(pic, 1); }},
     {PlotRenderer::GridVector, [](Picture& pic) { DrawGridVector(pic, 1); }},
     {PlotRenderer::TriplePair, drawTriplePair},
     {PlotRenderer::GridScalarTimed, DrawGridScalarTimed},
     {PlotRenderer::GridVectorTimed, DrawGridVectorTimed},
     {PlotRenderer::GridTripleTimed, DrawGridTripleTimed},
     nullptr},
    {kGridBfg,
     {PlotRenderer::BfgdScalar, DrawBfgdScalar},
     {PlotRenderer::BfgdVector, DrawBfgdVector},
     kNoStep,
     {PlotRenderer::BfgdScalarTimed, DrawBfgdScalarTimed},
     {PlotRenderer::BfgdVectorTimed, DrawBfgdVectorTimed},
     kNoLoop,
     nullptr},
    {kGridFeMesh,
     {PlotRenderer::FEScalar, DrawFEScalar},
     {PlotRenderer::FEVector, DrawFEVector},
     kNoStep,
     {PlotRenderer::FEScalarTimed, DrawFEScalarTimed},
     {PlotRenderer::FEVectorTimed, DrawFEVectorTimed},
     kNoLoop,
     DrawFeMesh},
    {kGridGmt,
     {PlotRenderer::GMTScalar, DrawGMTScalar},
     {PlotRenderer::GMTVector, DrawGMTVector},
     kNoStep,
     kNoLoop,
     kNoLoop,
     kNoLoop,
     nullptr},
    {kGridFvMesh,
     {PlotRenderer::FvScalar, DrawFvScalar},
     {PlotRenderer::FEVector, DrawFEVector},
     kNoStep,
     {PlotRenderer::FVScalarTimed, DrawFVScalarTimed},
     {PlotRenderer::FEVectorTimed, DrawFEVectorTimed},
     kNoLoop,
     drawFvOutlines},
}};

constexpr bool rowsFollowGridTypes() {
    for (std::size_t i = 0; i < kPlotKinds.size(); ++i)
        if (kPlotKinds[i].gridType != static_cast<Long>(i)) return false;
    return true;
}
static_assert(rowsFollowGridTypes(), "the rows are indexed by grid type");

// The column of a pick count: one, two or three picks draw; any other count nothing.
template <class Column>
Column byPickCount(Long pickCount, const Column& one, const Column& two, const Column& three,
                   const Column& none) {
    switch (pickCount) {
    case 1:
        return one;
    case 2:
        return two;
    case 3:
        return three;
    default:
        return none;
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
    const MapGridKind& kind = MapKindOf(gridType);
    const PlotKind& row = kPlotKinds[static_cast<std::size_t>(kind.index)];
    PlotRoute route;
    if (mode == 1) {
        const OneStep step = byPickCount(pickCount, row.scalar, row.pair, row.triple, kNoStep);
        route.renderer = step.renderer;
        route.draw = step.draw;
        // The outlines go under whatever the picks draw on a mesh: a scalar, a vector pair, or
        // three picks that draw nothing over them.
        if (optShowMesh == 1 && pickCount >= 1 && pickCount <= 3) {
            route.feMesh = kind.mesh == MapMesh::FiniteElement;
            route.fvMesh = kind.mesh == MapMesh::FiniteVolume;
            route.outline = row.outline;
        }
    } else if (mode == 3 && kind.timeStepped) {
        const Timed loop =
            byPickCount(pickCount, row.scalarTimed, row.pairTimed, row.tripleTimed, kNoLoop);
        route.renderer = loop.renderer;
        route.loop = loop.loop;
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
    if (route.outline) route.outline(pic);
    if (route.renderer == PlotRenderer::NotAvailable) {
        message(kNotAvailableText);
        return false;
    }
    if (route.draw) route.draw(pic);
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
    if (route.renderer == PlotRenderer::NotAvailable) {
        message(kNotAvailableText);
        return std::nullopt;
    }
    return route.loop ? route.loop(pic) : 1;
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
