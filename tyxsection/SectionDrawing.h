#pragma once
// The vertical section: the cells of the section coloured by value, the header lines, the
// distance or longitude/latitude axis, the depth axis, the legend and the contour lines, drawn
// in three layer pictures and combined in the visible one.
#include "tyxsection/TyxMain.h"
#include "tyxsection/TyxModel.h"

// Draws the values held (SectData of item SectDataItem) as a section; nothing while none are
// held. The drawing works on its own copy of what it draws, so that calls that come in while
// it lets window events run cannot pull the data from under it.
void DrawVSection(TyxModel& m, TyxPictures& pictures);
