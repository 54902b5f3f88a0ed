#pragma once
// What the control's members do with the shared state, apart from Qt: opening a dataset, the
// section path, the colour key, the current item and time step, reading and drawing.
#include "runtime/Variant.h"
#include "tyxsection/TyxModel.h"

#include <string>

class Picture;

// The control's four pictures: the visible one and the three layers it is made of.
struct TyxPictures {
    Picture& Picture1;
    Picture& picDateTime;
    Picture& picSection;
    Picture& picContours;
};

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

void NewColorKey(TyxModel& m);
// Appends a division; a key left without divisions by a failed read starts again from none.
void AddColorKey(TyxModel& m, float low, float high, Long color);
// Reads the current item's key from a KEW file; 1 or -1 (the division count then -1). A file
// without the item's key leaves no message; one that cannot be read is shown in a box.
Long KewFile(TyxModel& m, const std::string& filename);
// Provides a key for the current item when none is held: read from the KEW file filename, or
// made over the item's display range and saved to the dataset's KEW file.
void InitColorKey(TyxModel& m, const std::string& filename);
// True only while the key has a division.
void SetUseColorKey(TyxModel& m, bool on);

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
