#pragma once
// Appending to a subset netCDF file made earlier (CreateNc): new variables when none of the
// picks is in it yet, cut as the file records its cuts (its per-dimension global attributes),
// or further time steps when every pick is in it already, written after its last record with
// their times stated in the file's own time units.
//
// The file's header is read by itself, read-only and closed again; the viewer's dataset object
// is not asked about it. Every check comes first; then a copy of the file beside it takes the
// append and replaces it once whole, so a failure anywhere leaves the file as it was.
#include "runtime/Types.h"
#include "viewer/export/SafeOutput.h"

#include <string>

struct SubsetDescription;

// Appends the picks of the description sd to the file at path. 1 when appended, -1
// after the refusal's or failure's message with the file as it was. sd takes the cuts written
// (the file's recorded cuts for new variables and for the dimensions beside the time axis),
// for the subset window kept in the settings. The datasets of the picks are closed on the way
// out.
Long AppendNc(SaveTarget target, SubsetDescription& sd);
