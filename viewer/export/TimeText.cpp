#include "viewer/export/TimeText.h"

// The calendar routines are shared with the dataset library; they are on their way to
// common/, and the viewer takes them from wherever they stand.
#include "common/Calendar.h"

#include <cstdio>
#include <cstdlib>

std::string SinceDateText(Date d, const std::string& calendar) {
    const CalendarTime t = CalendarTimeOf(CalendarOf(calendar), d);
    char text[40];
    const char* sign = t.year < 0 ? "-" : "";
    const long long year = std::llabs(static_cast<long long>(t.year));
    if (t.hour == 0 && t.minute == 0 && t.second == 0)
        std::snprintf(text, sizeof text, "%s%04lld-%02d-%02d", sign, year, t.month, t.day);
    else
        std::snprintf(text, sizeof text, "%s%04lld-%02d-%02dT%02d:%02d:%02d", sign, year, t.month,
                      t.day, t.hour, t.minute, t.second);
    return text;
}

bool DateTextFields(const std::string& text, const std::string& calendar, DateFields& out) {
    const Calendar cal = CalendarOf(calendar);
    Date d;
    if (!ParseCalendarDate(cal, text, d)) return false;
    const CalendarTime t = CalendarTimeOf(cal, d);
    out.year = t.year;
    out.month = t.month;
    out.day = t.day;
    out.hour = t.hour;
    out.minute = t.minute;
    return true;
}
