#pragma once
// The subset netCDF file: the picks cut to the subset description, in the source's own
// structure. A classic-format file with the main dataset's dimensions in their order (cut
// ones shortened, time unlimited), its longitude, latitude, time, vertical and cell coordinate
// variables over the cut (a cell list also keeps its longitude and latitude variables, a GMT
// grid the variables that describe it over "side"), the picks with their names, types and
// dimensions, every attribute of those exactly as the source has it, the source's global
// attributes, "origin1" (and "origin2" with a second file) naming the sources, and one global
// text attribute per dimension of the first pick recording its cut: the Str forms of the
// dimension's length, start, count and step run together (" 180 11 50 2").
//
// The time axis's units text says "<unit> since <date>" in the axis's calendar; its values are
// the dataset's own. A pick of the second file takes the main dataset's dimensions of the same
// names and lengths.
#include "runtime/Types.h"
#include "viewer/export/SafeOutput.h"

#include <string>

struct SubsetDescription;

// Writes the file for the description and its picks: everything goes to a
// temporary file beside path, which replaces path only once it is whole and closed. 1 when
// the file is written; -1 after the failure's message, with path as it was. A target that is
// one of the open datasets, a pick that cannot share the main dataset's dimensions, two picks
// of one name and a pick of a type the file cannot hold are refused before anything is
// written. The datasets of the picks are closed on the way out (the next read reopens them).
Long CreateNc(SaveTarget target, const SubsetDescription& sd);
