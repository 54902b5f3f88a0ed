#pragma once
// The time-series text of a point dataset: CR LF lines holding the path of the main dataset,
// its first position in degrees (Str form, then " =lon" and " =lat"), "Year Mo Dy Hr Mn "
// followed by the name of each pick of the subset description and then by each pick's unit,
// each with five blanks after it (names and units from the pick's own dataset), and the date
// text of every time step of the main dataset. It holds no values.
#include "runtime/Types.h"
#include "viewer/export/SafeOutput.h"

#include <string>

struct SubsetDescription;

// Writes the time-series text to path. Everything is gathered first: a position that cannot
// be taken (two-dimensional or empty coordinates) is reported before anything is written, and
// the file replaces path only once it is whole and closed. 1 when written, else -1.
Long To_TimeSerText(SaveTarget target, const SubsetDescription& sd);
