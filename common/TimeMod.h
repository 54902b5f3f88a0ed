#pragma once
// Dates and times as Orv minutes: the day number of the file helper library times 1440 plus
// the minutes of the day.
#include "runtime/Types.h"
#include <string>

// Limits the caller's n to 0..99, then gives it in two digits ("07").
std::string Pad2(Integer& n);

// The Orv minutes of a date and time. Month and day are limited to 0..99 in the caller's
// variables (months and days beyond their range roll over in the day number). Raises
// RuntimeError(6) when the minutes do not fit a Long.
Long DateTextToNum(Integer& year, Integer& month, Integer& day, Integer& hour, Integer& minute);
