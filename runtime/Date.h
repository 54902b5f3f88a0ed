#pragma once
// Dates as the program holds them: a serial of days since 1899-12-30 in a double, the time of
// day as its fraction. Negative serials are linear (-1.5 is 1899-12-28 12:00).
#include <string>

struct Date {
    double serial = 0.0;
    constexpr Date() = default;
    constexpr explicit Date(double s) : serial(s) {}
    friend constexpr bool operator==(Date a, Date b) { return a.serial == b.serial; }
};

// The date of year, month and day; months and days out of range roll over (month 13 is
// January of the next year, day 0 the last day of the month before). Proleptic Gregorian.
// Raises RuntimeError(6) when the result lies outside years 100..9999... (see Date.cpp).
Date DateSerial(int year, int month, int day);
// The fraction of a day of hour, minute, second (rolling over as DateSerial does).
double TimeSerial(int hour, int minute, double second);

// The parts of a date, its time rounded to the nearest second. A serial outside years
// 100..9999 (or not finite) raises RuntimeError(6), here and in DateText.
int Year(Date d);
int Month(Date d);
int Day(Date d);
int Hour(Date d);
int Minute(Date d);
int Second(Date d);

// The general date text "yyyy-mm-dd hh:nn:ss": the time left out at midnight, the date left
// out on day 0.
std::string DateText(Date d);

// The date parser. Accepts the general text, "yyyy-mm-dd" with "-", "/" or blanks between the
// parts and blanks inside them, "T" between date and time, a trailing "Z" or zone word,
// fractional seconds, "mm/dd/yyyy", "dd-MON-yyyy", a time alone, AM/PM. Rejects plain numbers,
// "Month 1", "Season 2" and the empty text.
bool ParseDate(const std::string& text, Date& out);
bool IsDate(const std::string& text);
// ParseDate or RuntimeError(13).
Date CDate(const std::string& text);
