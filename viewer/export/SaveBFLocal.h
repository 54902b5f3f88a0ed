#pragma once
// The subset netCDF file of a boundary-fitted grid: the file of CreateNc with the grid's index
// dimensions "gridi" and "gridj" called "xpos" and "ypos", cut like every other dimension of the
// picks, and the two-dimensional longitude and latitude variables over the same cut, so that
// every value keeps its own grid point.
#include "runtime/Types.h"
#include "viewer/export/SafeOutput.h"

#include <string>

struct SubsetDescription;

// Writes the file for the description and its picks, whole or not at all, as
// CreateNc does: 1 when written; -1 after the failure's message with path as it was. The
// datasets of the picks are closed on the way out.
Long SaveBFLocal(SaveTarget target, const SubsetDescription& sd);
