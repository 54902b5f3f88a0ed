#pragma once
// Vertical profiles of the current item at the points of the section path: value across,
// depth downward, all in one graph (a colour per point) or each in a panel of its own.
#include "tyxsection/TyxModel.h"
#include "tyxsection/TyxPictures.h"

// Draws the values held (SectData of item SectDataItem) as one profile per path point whose
// cell lies on the section; points outside it are left out. Nothing while no values, item or
// section are held. Works on its own copy of what it draws, since window events run while it
// draws.
void DrawProfiles(TyxModel& m, TyxPictures& pictures);

// The frame, ticks and labels of one profile panel (px, py, panelW, panelH): values low to
// high across it with ticks every step (labels above for valueLabels 1, below for -1), y from
// top down to bottom with ticks every depthStep (labels left for labelMode -1, right for 1).
// A panel without a value or y span, or a step of 0, gets no ticks on that axis.
void DrawProfileAxes(Picture& pic, float px, float panelW, float py, float panelH, float high,
                     float low, float step, Long valueLabels, float top, float bottom,
                     float depthStep, Long labelMode);
