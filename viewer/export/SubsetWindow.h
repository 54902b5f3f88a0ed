#pragma once
// The subset window kept in section "subsetpara" of the settings file: after a save, the
// source dataset, its first and last time, the map view (in degrees, "East" holding the west
// edge and "West" the east edge, as the section has always had them) and the cut of every
// dimension of the first pick. "Subset from Ini" brings the view back and loads the time
// window, which the cell-layout writer places on its recast time axis.
#include "runtime/Types.h"

struct SubsetDescription;

// The time window last loaded, in minutes since 2000-01-01 00:00 on the day numbering of the
// file helper library, and the fields of its start. A window stored from a dataset without
// dated times (" 0 0 0 0 0") leaves Dated false and the minutes 0.
struct SubsetWindowState {
    Long SubsetStartMin = 0;
    Long SubsetEndMin = 0;
    Integer SubsetStartYear = 0, SubsetStartMonth = 0, SubsetStartDay = 0, SubsetStartHour = 0,
            SubsetStartMinute = 0;
    bool Dated = false;

    void Reset() { *this = {}; }
};
extern SubsetWindowState SubsetWin;

// Writes section "subsetpara" for the main dataset, the current view and the description.
void PutSubsetParams(const SubsetDescription& sd);
// Reads it back: the time window into SubsetWin, the view into ViewExtent (pushed onto the
// zoom stack), and the map frame redrawn. A section missing or not holding a window of five
// whole numbers per time and four numeric edges is refused with a message; nothing changes.
void LoadSubsetExtent();
