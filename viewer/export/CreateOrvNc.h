#pragma once
// The cell-layout file ("as Orv Nc"): the grid points of the subset of a regular longitude/
// latitude grid flattened into one list of cells, with the ocean and weather items the dataset
// library recognised by name written on it for every time step of the subset, under fixed
// names, units and attributes, whatever the source called them.
//
// A classic-format file. Dimensions "ncells" (longitudes times latitudes of the cut) and "time"
// (unlimited). Variables: "ncells" (int, no values of its own: its fill value), "time" (int,
// "minutes since 2000-01-01 00:00", "reference" "UTC"), "lon" and "lat" (float, per cell), and
// as the items are there: "U" and "V" (the water pair, in metres a second: a pair in cm/s is
// scaled), "wind_u" and "wind_v" (with "direction" "blow toward"), "water_temp"; each float over
// (time, ncells) with a text "missing_value" of "-99999.0", the value missing values take.
// Globals: "Orv_Comment", the main dataset's own, "origin1" (and "origin2"), the cut of each
// dimension of the first pick. Cell k = (j - 1) * nLon + i is longitude i and latitude j of the
// cut, whatever order the source's dimensions have.
//
// Every item is read through the subset description in its own dimension order: the
// longitude and latitude cut, and per record one step of the time cut (the first pick's time
// row, or every step when it has none), whose minutes since 2000-01-01 the record's "time"
// holds. Of a vertical dimension one level is taken: the first pick's level row, which must
// then name one level, or else the level on the map.
#include "runtime/Types.h"
#include "viewer/export/SafeOutput.h"

#include <string>

struct SubsetDescription;

// Variable numbers in the main dataset of the items the library recognised; -1 when absent.
struct OrvItems {
    Long waterU = -1, waterV = -1;
    Long windU = -1, windV = -1;
    Long temp = -1;
};

// Writes the file at path, which is replaced only once the new one is whole. 1 when written;
// -1 after the reason's message with path as it was. Everything that can be checked is checked
// before anything is written: the target is not an open dataset, the grid is not a cell list,
// the cut has cells, the time axis can be written in minutes since 2000-01-01, and every item
// lies over the longitude, latitude and time of the grid. The picks' datasets are closed on the
// way out (the next read reopens them).
Long CreateOrvNc(SaveTarget target, const SubsetDescription& sd, const OrvItems& items);

// A cell-layout file is never appended to: says so and leaves the file as it was. 0.
Long AppendOrvNc(const std::string& path);
