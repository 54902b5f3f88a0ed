#pragma once
// Dates as the program holds them: a serial of days since 1899-12-30 in a double, the time of
// day as its fraction. Negative serials are linear (-1.5 is 1899-12-28 12:00).
#include <cstdint>
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
// The same text from a day's parts, for days counted in other calendars: showDate false
// leaves the date out (day 0). A negative year is written "-0001".
std::string DateText(int64_t year, int month, int day, int seconds, bool showDate);

// Proleptic Gregorian day counts from 1970-01-01 (negative before it), and back.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day);
void CivilFromDays(int64_t days, int64_t& year, int& month, int& day);
// A serial split into whole days (floor) and seconds of the day, rounded to the nearest
// second with a full day carried over. No range check beyond what the numbers can hold:
// RuntimeError(6) for a serial that is not finite or beyond +-1e12 days.
void SplitSerial(Date d, int64_t& day, int& seconds);

// The date parser. Accepts the general text, "yyyy-mm-dd" with "-", "/" or blanks between the
// parts and blanks inside them, "T" between date and time, a trailing "Z" or zone word,
// fractional seconds, "mm/dd/yyyy", "dd-MON-yyyy", a time alone, AM/PM. Rejects plain numbers,
// "Month 1", "Season 2" and the empty text.
bool ParseDate(const std::string& text, Date& out);

// What a date text says, before a calendar turns it into a day: the forms ParseDate reads,
// plus any year written with the date ("0000-01-01", "1-1-1" as year-month-day, "-0001-12-31"),
// any day of a month up to 31, and a zone offset after the time or the date ("+05:00",
// "-0330", "+5"). ParseDate is this followed by the Gregorian checks, years 100..9999 and no
// offset.
struct DateParts {
    bool hasDate = false;
    int year = 0, month = 0, day = 0;
    bool hasTime = false;
    double time = 0; // fraction of a day
    bool hasOffset = false;
    int offsetMinutes = 0; // "+05:30" is 330, "-3" is -180
};
bool ParseDateParts(const std::string& text, DateParts& out);
bool IsDate(const std::string& text);
// ParseDate or RuntimeError(13).
Date CDate(const std::string& text);
