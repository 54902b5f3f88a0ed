#pragma once
// A path of longitude/latitude points turned into the grid cells it crosses on a regular,
// increasing longitude/latitude grid: each sample takes the cell whose centre (grid point) is
// nearest, never the same cell twice in a row, up to the cell of the last vertex. On a grid
// round the earth in longitude a segment takes the shorter way, across the seam when that is
// shorter, and a path given in -180..180 is placed on a 0..360 grid (or the reverse). Also
// the cell of each path vertex with its position and label, whether the section runs along
// one row or one column, and its length.
#include "runtime/Types.h"
#include "runtime/VArray.h"

#include <string>

struct SectPointRec {
    float lon = 0; // degrees
    float lat = 0;
};

struct SectCellRec {
    Long i = 0; // longitude index from 1
    Long j = 0; // latitude index from 1
};

// The section along a path.
struct SectionCells {
    Long nSectCell = 0;
    VArray<SectCellRec> SectCell; // 1 To nSectCell, in path order
    Long nSectVertex = 0;         // the path's points
    VArray<SectPointRec> PathLL;  // the path's points as given, 1 To nSectVertex
    // Per vertex (1 To nSectVertex): the position in SectCell of its cell (0: none), the
    // cell's grid indices, its grid longitude and latitude, and its label ("10.50E/45.25S").
    VArray<Long> VertexCell;
    VArray<SectCellRec> VertexIJ;
    VArray<SectPointRec> VertexLL;
    VArray<std::string> VertexLabel;
    // 0 a general path (distance axis), 1 along one latitude (longitude axis), 2 along one
    // longitude (latitude axis). Sections of kind 1 and 2 run west to east or south to north.
    Long SectionKind = 0;
    double SectLength = 0; // km
};

// The grid the walk takes: LonGrid(1 To nlon) and LatGrid(1 To nlat) in degrees, with their
// mean spacings dlon and dlat. The walk takes the grid as cells dlon wide and dlat high
// centred on LonGrid(1) + (i - 1) dlon, LatGrid(1) + (j - 1) dlat.
struct SectionGrid {
    const VArray<float>& LonGrid;
    const VArray<float>& LatGrid;
    Long nlon = 0, nlat = 0;
    float dlon = 0, dlat = 0;
};

// Builds the section of points 1 .. nPoints into cells. 1 on success; -1 with the reason in
// errorMessage ("[Set_cell_Section] ncf.dlon <= 0 Or ncf.dlat <= 0" for a grid that is not
// regular and increasing, "[MakeTyxSection] Section distance is too short, or input error"
// for fewer than two cells). cells is replaced only on success.
Long MakeTyxSection(const VArray<SectPointRec>& points, Long nPoints, const SectionGrid& grid,
                    SectionCells& cells, std::string& errorMessage);

// The label of a grid position: "10.50E/45.25S"; a longitude or latitude of 0 takes W or S.
std::string VertexLabelOf(float lon, float lat);
