#pragma once
// The grid kinds of the viewer: one entry per grid type of the dataset (kGridCells ..
// kGridFvMesh), with what the map and the layers above it need to know of the kind. Everything
// that behaves differently by grid type looks the kind up once with MapKindOf and reads its
// entry, so that a new kind is one more entry rather than a branch in every module. The
// renderers sit above the map and keep their own columns beside the plot dispatcher, keyed by
// MapGridKind::index.
#include "runtime/Types.h"
#include "runtime/VArray.h"

class IKelvad;
struct MapGridKind;

// Works out the read window of variable nvar (of dataset slot nNc, nd dimensions) for the view.
// Sets result to 1 once the window describes the view (it stays -1 when there is nothing to
// draw); a setup may go on after that (the seam windows), and an error there keeps the window.
using ReadWindowSetup = void (*)(const MapGridKind& kind, IKelvad& nc, Long nvar, Long nNc, Long nd,
                                 Long& result);

// Where the values of a kind whose values lie at listed points are placed.
enum class MapPoints {
    None,            // not a point list
    Cells,           // one position per cell (lonV/latV), the cell list's stride rule
    Nodes,           // the finite-element nodes (lonV/latV)
    NodesOrElements, // the finite-volume mesh: by the variable's last dimension
};

// The mesh a kind draws its outlines from and fills at the load.
enum class MapMesh { None, FiniteElement, FiniteVolume };

// What the probe searches for the point clicked.
enum class MapProbe {
    None,              // the window shows what it held
    Cell,              // the nearest cell of the read window
    GridPoint,         // the nearest point of the read and seam windows
    BoundaryFittedNode // the nearest node of the boundary-fitted grid
};

// How the points preview marks the dataset's positions.
enum class MapPreview {
    None,           // "undefined nc type"
    CellList,       // every cell
    AxisBoxes,      // a box per axis crossing in the view (regular and GMT grids)
    BoundaryFitted, // the nodes of the grid in the view
    MeshPoints,     // the nodes or the elements, as the dataset places them
};

struct MapGridKind {
    Long index = 0; // the place of the kind in tables keyed by kind: its grid type, 0 for none
    ReadWindowSetup readWindow = nullptr;
    MapPoints points = MapPoints::None;
    MapMesh mesh = MapMesh::None;
    bool timeStepped = false; // has time-stepped maps
    MapProbe probe = MapProbe::None;
    MapPreview preview = MapPreview::None;
    // Whether the last dimensions of variable n of slot are the horizontal ones of the slot's
    // grid: the pick list offers only those.
    bool (*fitsGrid)(IKelvad& nc, Long n, Long slot) = nullptr;
};

// The number of places in tables keyed by kind (kGridNone .. kGridFvMesh).
inline constexpr Long kMapGridKindCount = 7;

// The entry of gridType; a type without horizontal coordinates, or one the viewer does not
// know, gets the entry of no grid (index 0).
const MapGridKind& MapKindOf(Long gridType);

// The positions the values of variable nvar (of dataset slot) lie at on a point-list kind, and
// their number; null arrays when they cannot be placed (a finite-volume variable on neither
// mesh dimension, node positions that cannot be had, or a kind that is no point list).
struct ValuePoints {
    const VArray<float>* lon = nullptr;
    const VArray<float>* lat = nullptr;
    Long count = 0;
    bool onNodes = false; // the mesh's nodes, not its cells or elements
};
ValuePoints PointsOfValues(const MapGridKind& kind, IKelvad& nc, Long nvar, Long slot);
