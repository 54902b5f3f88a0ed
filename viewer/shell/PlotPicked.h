#pragma once
// The plot dispatcher: every redraw of the map picture goes through PlotPicked. Mode 0 redraws
// the frame and coastline (resize, zoom, pan, subset extent); mode 1 draws the picks at the
// current step and level ("Draw", ">"); mode 3 steps them through time (">>"). It sets the map
// transform, has the read window worked out, chooses the renderer by grid kind and pick count,
// then brings up the colour key and draws the coastline over the data.
#include "runtime/Types.h"
#include "viewer/map/VectorStages.h" // FindTriplePair

// What a mode-1 or mode-3 plot runs for a grid type and a pick count.
enum class PlotRenderer {
    None,         // no renderer: nothing drawn, colour key and coastline as usual
    NotAvailable, // the drawing needs a renderer that does not exist yet
    TriplePair,   // a scalar and a vector pair on a regular grid: cells, then arrows
    CellScalar,
    GridScalar,
    BfgdScalar,
    FEScalar,
    GMTScalar,
    FvScalar,
    CellScalarTimed,
    GridScalarTimed,
    BfgdScalarTimed,
    FEScalarTimed,
    FVScalarTimed,
    GridVector,
    GMTVector,
    GridVectorTimed,
    GridTripleTimed,
    CellVector,
    BfgdVector,
    FEVector, // finite-element and finite-volume meshes
    CellVectorTimed,
    BfgdVectorTimed,
    FEVectorTimed,
};

class Picture;

struct PlotRoute {
    PlotRenderer renderer = PlotRenderer::None;
    bool feMesh = false;                     // DrawFeMesh before the data
    bool fvMesh = false;                     // DrawFvMesh, then DrawFvBounds, before the data
    void (*outline)(Picture& pic) = nullptr; // the mesh outlines of feMesh or fvMesh
    void (*draw)(Picture& pic) = nullptr;    // the renderer of mode 1
    Long (*loop)(Picture& pic) = nullptr;    // the renderer of mode 3: the time loop's result
};

// The renderer of mode (1 or 3) for gridType and pickCount; the mesh outlines of a mesh in
// mode 1 with optShowMesh = 1, for one, two or three picks.
PlotRoute ChoosePlotRoute(Long mode, Long gridType, Long pickCount, Long optShowMesh);

// The dispatcher. -1 when nothing was plotted (mode 0, a failed precondition, a refusal); 0
// after mode 1; after mode 3 the last step drawn, or 1 when no renderer exists for the grid
// type and pick count. Modes 1 and 3 are refused (-1) while a long command runs.
Long PlotPicked(Long PlotMode);

// The plain message given when a pick needs a drawing that does not exist yet.
inline constexpr const char* kNotAvailableText = "The drawing is not available for this pick";
