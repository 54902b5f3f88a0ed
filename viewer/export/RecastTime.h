#pragma once
// The time axis of the cell-layout file: the main dataset's steps as whole minutes since
// 2000-01-01 00:00, and where the stored subset window (SubsetWin) falls on that axis.
//
// Axes in days, hours, minutes or seconds are converted from their own values, anchored at the
// date of their first step. Seasonal and monthly axes are not read from their values: they
// become consecutive season or month starts from January of the stored window's year ("Subset
// from Ini"), or of 2000 while no window is loaded. An axis that cannot be stated in minutes
// since 2000-01-01 is refused with a message, and nothing is to be written from it: another
// unit, minutes beyond a Long, or a calendar whose dates the conversion from the first step
// would not keep (a noleap axis across a 29 February, a 360_day axis across a month's 30th).
#include "runtime/Date.h"
#include "runtime/Types.h"
#include "runtime/VArray.h"

#include <string>

struct SubsetWindowState;

struct RecastAxis {
    // Minutes since 2000-01-01 00:00 of steps 1 To nTime; seasonal and monthly axes hold twice
    // as many consecutive starts (the window search looks beyond the last step).
    VArray<Long> RecastMinutes;
    // The entries at or before the window's start and end (0: none).
    Long nt_start = 0, nt_end = 0;
    // False when the axis was refused: RecastMinutes then holds nothing to write.
    bool carried = false;
};

// What the conversion reads of a time axis.
struct TimeAxisSource {
    std::string unit;     // the first word of its units ("hours")
    std::string calendar; // its "calendar" attribute
    Date start;           // the date of its first step, in that calendar
    VArray<double> time;  // its raw values, 1 To nTime
};

// The year from whose January a seasonal or monthly axis runs: the loaded window's, or 2000
// (the file's own base) while none is loaded.
Integer SeasonalAxisYear(const SubsetWindowState& win);

// The start of step p (1-based) of a seasonal or monthly axis that runs from January of year:
// its year and month (day 1, 00:00).
void SeasonalStepStart(bool seasons, Integer year, Long p, Long& stepYear, Long& stepMonth);

// Converts the axis and searches the window on it. 1 when the axis is carried and the window
// found; -1 otherwise (a seasonal or monthly window not found is said in a message, and the
// axis is still carried).
Integer RecastTimes(const TimeAxisSource& src, const SubsetWindowState& win, RecastAxis& axis);

// The same for the main dataset of the viewer (Data.clsNC, slot 1) and the window loaded last.
Integer recasttime(RecastAxis& axis);
