#pragma once
// The title lines of the drawings.
#include "tyxsection/TyxModel.h"

#include <string>

// Fills main.Titles: the dataset's file name, the date of time step timeIndex, the dataset's
// title attribute, and long name and units of variable nvar. Returns the number of lines.
Long MakeTitles(TyxModel& m, Long nvar, Long timeIndex);
// The text after the last "\" or "/" of a path; the path itself without either; "" for a
// blank path.
std::string GetFileTitle(const std::string& path);
