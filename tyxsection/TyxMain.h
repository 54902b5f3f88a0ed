#pragma once
// What the control's members do with the shared state, apart from Qt: opening a dataset, the
// section path, a colour key for the current item, the current item and time step, reading
// and drawing.
#include "runtime/Variant.h"
#include "tyxsection/TyxModel.h"

#include <string>

struct TyxPictures;

// Opens the dataset and makes it the control's: header, coordinates, drawable items,
// coordinate arrays, then the defaults (section view, item 1, step 1) and the titles.
// Everything is read before anything is replaced: a dataset that fails to open leaves the
// one before in place. A section made on the dataset before stays drawable when the new one
// has the same grid. 1, or -1 with the reason in ErrorMessage.
Long OpenDataset(TyxModel& m, const std::string& filename);

void NewSection(TyxModel& m);
void AddSection(TyxModel& m, float lon, float lat);
// Turns the path into the grid cells along it for the dataset held; 1, or -1 with the reason
// in ErrorMessage. The values read along an earlier section are let go either way.
Long EndSection(TyxModel& m);

// The key's own edits (NewColorKey, AddColorKey, SetUseColorKey) are in ColorKey.h, its
// files (KewFile) in KewFile.h.

// Provides a key for the current item when none is held: read from the KEW file filename, or
// made over the item's display range and saved to the dataset's KEW file.
void InitColorKey(TyxModel& m, const std::string& filename);

// Draw: reads the current item at CurTime along the section and draws it in the view style.
// -1 with the reason in ErrorMessage when there is no section of this dataset (nothing is
// drawn) or the read fails (the values held before are drawn); Empty when drawn.
Variant DrawCurrent(TyxModel& m, TyxPictures& pictures);
// SetCurrentTime: the step, read and drawn when it is 1 or more.
void SetCurrentTime(TyxModel& m, TyxPictures& pictures, Long lTime);
// AdvanceTime: nt steps on, past the last step to the first and before the first to the
// last; then read and drawn. The new step.
Long AdvanceTime(TyxModel& m, TyxPictures& pictures, Long nt);
// ReDraw: draws again from the values held, by the view style, without reading.
void DrawHeld(TyxModel& m, TyxPictures& pictures);
