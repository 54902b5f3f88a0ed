#pragma once
// Dates of a time axis as the writers state them, in the axis's own calendar (its "calendar"
// attribute): the base date of a units text, and the fields of a date text.
#include "runtime/Date.h"

#include <cstdint>
#include <string>

// "YYYY-MM-DD" for a date at midnight, "YYYY-MM-DDTHH:MM:SS" otherwise: the form every
// netCDF reader takes after "since", whatever the desktop's locale. RuntimeError(6) for a
// year beyond -9999..9999.
std::string SinceDateText(Date d, const std::string& calendar);

// The fields of a date text of the calendar (as the dataset library writes its time texts);
// false when the text is no date of it.
struct DateFields {
    int64_t year = 0;
    int month = 0, day = 0, hour = 0, minute = 0;
};
bool DateTextFields(const std::string& text, const std::string& calendar, DateFields& out);
