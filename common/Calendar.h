#pragma once
// The calendars of time axes, as a time variable's "calendar" attribute names them, and the
// day arithmetic of each.
//
// How an axis date is held: a Date serial (and the Orv minutes made from it) of an axis counts
// days since 1899-12-30 in the axis's own calendar, so that it grows linearly with the file's
// time values and every date of the calendar (2000-02-30 of 360_day, 1900-02-29 of julian) has
// exactly one serial. For the real-world calendars (standard, proleptic_gregorian, julian)
// that count is the count of real days, the serials of the runtime's proleptic Gregorian
// dates: a serial names the same day whichever of them wrote it, and the standard calendar
// after 1582-10-15 gives what the runtime gives. For the model calendars (noleap, all_leap,
// 360_day) it is the count of that calendar's days since its own 1899-12-30. Labels and texts
// are made and read in the calendar (CalendarDateText, ParseCalendarDate), never through the
// runtime's Gregorian date parts.
#include "runtime/Date.h"
#include "runtime/Types.h"

#include <cstddef>
#include <cstdint>
#include <string>

enum class Calendar {
    Standard,           // standard, gregorian: Julian before 1582-10-15, Gregorian from it
    ProlepticGregorian, // proleptic_gregorian
    Julian,             // julian
    NoLeap,             // noleap, 365_day
    AllLeap,            // all_leap, 366_day
    Day360,             // 360_day
};

// The calendar of an attribute value (any case, blanks around it ignored); standard for an
// empty or unknown one.
Calendar CalendarOf(const std::string& attribute);

// Days since 1899-12-30 of year-month-day in the calendar. Months and days out of range roll
// over (month 13 is January of the next year, day 0 the last day of the month before).
int64_t CalendarDay(Calendar cal, int64_t year, int64_t month, int64_t day);
// The year, month and day of a day count.
void CalendarYMD(Calendar cal, int64_t days, int64_t& year, int& month, int& day);
// Whether year-month-day is a date of the calendar (1582-10-05 to 14 are none of standard).
bool IsCalendarDate(Calendar cal, int64_t year, int month, int day);

// A serial's date and time of day in the calendar, the time rounded to the nearest second.
// RuntimeError(6) for a year outside -9999..9999 (or a serial that is not finite).
struct CalendarTime {
    int64_t dayNumber = 0; // days since 1899-12-30 in the calendar
    int64_t year = 0;
    int month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
CalendarTime CalendarTimeOf(Calendar cal, Date d);

// The general date text of a serial in the calendar: "yyyy-mm-dd hh:nn:ss", the time left out
// at midnight and the date left out on day 0, as the runtime writes its dates.
std::string CalendarDateText(Calendar cal, Date d);

// Reads a date text in the calendar: any form the runtime's date parser reads, years -9999 to
// 9999 as written (no century is added), days the calendar has. A zone offset after the time
// is taken as CF units take it: the time is local time there, so "00:00 +05:00" is 19:00 UTC
// of the day before. An offset right after a date without a time is read as the time of day
// ("2000-01-01 +05:00" is 05:00), as udunits and ncdump read it.
bool ParseCalendarDate(Calendar cal, const std::string& text, Date& out);
// ParseCalendarDate or RuntimeError(13).
Date CalendarCDate(Calendar cal, const std::string& text);

// The text with every character other than a digit, "-", ":" or a blank turned into a blank.
std::string CleanDateText(std::string text);
// A date text made from numbers, each in its Str form: " 2004- 3- 15 6: 0".
std::string BuiltDateText(Integer year, Integer month, Integer day, Integer hour, Integer minute);
// A date text of the calendar as it stands, or else with everything but digits, "-", ":" and
// blanks blanked out (which drops unit words, "T", "Z" and slashes).
bool ReadDateText(Calendar cal, const std::string& text, Date& out);
// The base date of a time unit "<unit> since <date> [<time>] [<zone>] ...": the third token on
// read together with as many of the words after it as still form a date, so a time of day
// (with "T", "Z", a zone word or offset, fractional seconds) counts and trailing words that
// are no date are left out. The one reading of such units for every reader of time axes.
bool SinceDate(Calendar cal, const std::string& unit, Date& out);

// A time unit that writes each time as its date, "<unit> as <format>" (CDO and ICON write
// "day as %Y%m%d.%f": 20981118.25 is 2098-11-18 06:00). The format runs %Y, %m, %d, %H, %M, %S
// from the year on, each field after the year two digits of the whole number; ".%f" after the
// last field is a fraction of that field's unit (of a day and shorter units only). False for
// any other units or format.
struct AbsoluteTimeFormat {
    int fields = 0;        // 1 = %Y .. 6 = %Y%m%d%H%M%S
    bool fraction = false; // ".%f" follows
};
bool AbsoluteTimeUnits(const std::string& unit, AbsoluteTimeFormat& format);
// The serial of a time value written in the format; false when the value names no date of
// the calendar (a negative value, month 13, a 25th hour, a year beyond 9999).
bool AbsoluteTimeDate(Calendar cal, const AbsoluteTimeFormat& format, double value, Date& out);
// n time values of such units, in place, as days since the midnight of the first that names a
// date, which is the epoch (the zero date when none does); NaN for a value that names none.
// False, the values untouched, for units that are no such format.
bool AbsoluteTimesToDays(Calendar cal, const std::string& unit, double* values, std::size_t n,
                         Date& epoch);
