#pragma once
// The GMT point text: one CR LF line for each value of a GMT grid that is not missing, in grid
// order: longitude (" ##0.00", shifted by -360 beyond 180), latitude (" ##0.00000") in degrees
// and the value (" ###0.00"); a negative field puts its minus sign after the blank. The grid's
// vector holds rows from the northernmost latitude down, each from the first longitude to the
// last.
#include "runtime/Types.h"
#include "viewer/export/SafeOutput.h"
#include "viewer/map/SharedState.h"

#include <string>

// Writes the point text of pick, at the current time step and level where it has those
// dimensions, to path. The file replaces path only once it is whole and closed; a refusal, a
// failed read or a failed write leaves path as it was. 1 when written, else -1 (after the
// message).
Long WriteGMTTxt(const PickItem& pick, SaveTarget target);
