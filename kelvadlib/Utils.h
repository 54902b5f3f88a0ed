#pragma once
// Small helpers of the dataset library: debugging lines, INI values, not-a-number tests,
// printable texts, Orv minutes, and the text frame of a caught runtime error.
#include "common/Calendar.h"
#include "platform/DebugOut.h"
#include "runtime/Date.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "runtime/Types.h"

#include <string>
#include <type_traits>

// The text form that a debugging line gives an item.
inline std::string DebugItemText(const std::string& s) {
    return s;
}
inline std::string DebugItemText(const char* s) {
    return s ? std::string(s) : std::string();
}
template <class T>
requires std::is_arithmetic_v<T> std::string DebugItemText(T x) {
    if constexpr (std::is_same_v<T, bool>)
        return x ? "True" : "False";
    else if constexpr (std::is_same_v<T, float>)
        return CStr(x);
    else if constexpr (std::is_floating_point_v<T>)
        return CStr(static_cast<double>(x));
    else
        return CStr(static_cast<int64_t>(x));
}

// Lays the items out on a line of 1024 columns, each item four columns after the end of the
// one before (text past column 1024 is dropped), and trims the line. One item is taken whole.
std::string ComposeDebugLine(const std::string* items, std::size_t count);

// One debugging line of zero, two or more items (one item goes straight to the platform's
// DebugOut(const std::string&)).
template <class... T>
requires(sizeof...(T) != 1) void DebugOut(const T&... items) {
    const std::string texts[sizeof...(T) + 1] = {DebugItemText(items)..., std::string()};
    DebugOut(ComposeDebugLine(texts, sizeof...(T)));
}

// A value of an INI-format file, trimmed of blanks; "" when the file, section or key is
// missing or the value empty. Values are cut at 2047 characters.
std::string GetIniString(const std::string& file, const std::string& section,
                         const std::string& key);

// True for a not-a-number or an infinite value.
bool IsNanText(float value);
bool IsNanText(double value);

// The characters of codes 32 to 126 of text, in order, trimmed of blanks.
std::string PrintableOnly(const std::string& text);

// Orv minutes: days since 1899-12-30 x 1440 + hour x 60 + minute (seconds dropped), the days
// counted in the calendar of the dates (Calendar.h; proleptic Gregorian, as the day numbers of
// Date2Num, unless an axis says otherwise). Raise RuntimeError(6) when a value does not fit.
// (OrvMinutes.cpp)
Long DateToOrvMin(Date d);
// The minutes of a date in the calendar; month and day limited to 0..99, then rolled over.
Long CalendarOrvMin(Calendar cal, Integer year, Integer month, Integer day, Integer hour,
                    Integer minute);
// The minutes of 00:00 on the first day of month `month` counted on from January of `year` in
// the calendar: month 0 is December of the year before, 13 January of the year after. Unlike
// CalendarOrvMin, any number of months rolls on into the following years, so that every step of
// a long monthly or seasonal axis has a month of its own.
Long MonthStartOrvMin(Calendar cal, int64_t year, int64_t month);
void OrvMinToYMDHM(Long minutes, Integer& year, Integer& month, Integer& day, Integer& hour,
                   Integer& minute, Calendar cal = Calendar::ProlepticGregorian);
// Minutes per unit of a dated time axis by its unit key (the first three letters upper-cased),
// held as a Single (a second is 0.016666668); 0 for any other key.
inline float MinutesPerTimeUnit(const std::string& key) {
    if (key == "DAY") return 1440.0f;
    if (key == "HOU") return 60.0f;
    if (key == "MIN") return 1.0f;
    if (key == "SEC") return 1.0f / 60.0f;
    return 0.0f;
}

// The text of a caught runtime error: tag, "Error message (number ", n, ")is:", CR LF and the
// description in double quotes. Most handlers of the library write this frame.
std::string ErrorFrame(const std::string& tag, const RuntimeError& e);
