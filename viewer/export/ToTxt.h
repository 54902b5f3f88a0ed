#pragma once
// The vector text (xyuv) of a boundary-fitted grid: CR LF lines; for every time step of the
// subset a header line (the step's number with a blank before and after it, then its date
// text), then one line per node of the subset window in the variable's own order: i ("000"),
// j (" 000"), longitude ("  000.00000"), latitude ("  00.00000") in degrees and the values of
// the first and second pick ("  0.000"); a negative field puts its minus sign in place of the
// last blank of the mask. Three or more picks give the positions only. A missing value is
// written as 0; with two picks in centimetres per second both are written in metres per second.
// A GMT grid with one pick is handed to WriteGMTTxt.
#include "runtime/Types.h"
#include "viewer/export/SafeOutput.h"

#include <string>

struct SubsetDescription;

// Writes the vector text of the description's picks cut to it, at the current
// level. Every grid-type, pick and window check comes before the file is started; the file
// replaces path only once every step is read and written and the file is closed: a failure
// leaves path as it was. 1 when written, else -1 (after the message).
Long To_Txt(SaveTarget target, const SubsetDescription& sd);
