#include "runtime/Date.h"
#include "runtime/RuntimeError.h"
#include "tests/support/ErrorOf.h"

#include <gtest/gtest.h>

namespace {

double ds(int y, int m, int d) {
    return DateSerial(y, m, d).serial;
}

TEST(DateSerial, SerialsFromTheEpoch) {
    EXPECT_EQ(ds(1899, 12, 30), 0);
    EXPECT_EQ(ds(1899, 12, 31), 1);
    EXPECT_EQ(ds(1900, 1, 1), 2);
    EXPECT_EQ(ds(1900, 3, 1), 61); // 1900 is no leap year (proleptic Gregorian)
    EXPECT_EQ(ds(2000, 1, 1), 36526);
    EXPECT_EQ(ds(2000, 3, 1) - ds(2000, 2, 28), 2); // 2000 is a leap year
    EXPECT_EQ(ds(1899, 12, 28), -2);
    EXPECT_EQ(ds(100, 1, 1), -657434);
    EXPECT_EQ(ds(9999, 12, 31), 2958465);
}

TEST(DateSerial, MonthsAndDaysRollOver) {
    struct Case {
        int y, m, d, ey, em, ed;
    } cases[] = {
        {2004, 13, 1, 2005, 1, 1},    {2004, 3, 0, 2004, 2, 29},   {2004, 0, 1, 2003, 12, 1},
        {2004, 1, 32, 2004, 2, 1},    {2004, -1, 1, 2003, 11, 1},  {2004, 25, 1, 2006, 1, 1},
        {2004, -12, 1, 2002, 12, 1},  {2004, 1, -30, 2003, 12, 1}, {2003, 2, 29, 2003, 3, 1},
        {2004, 1, 366, 2004, 12, 31},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.y) + "/" + std::to_string(c.m) + "/" + std::to_string(c.d));
        EXPECT_EQ(ds(c.y, c.m, c.d), ds(c.ey, c.em, c.ed));
    }
}

TEST(DateSerial, OutsideYears100To9999IsOverflow) {
    EXPECT_EQ(errorOf([] { DateSerial(10000, 1, 1); }), err::Overflow);
    EXPECT_EQ(errorOf([] { DateSerial(9999, 12, 32); }), err::Overflow);
    EXPECT_EQ(errorOf([] { DateSerial(99, 12, 31); }), err::Overflow);
    EXPECT_EQ(errorOf([] { DateSerial(2000, 2147483647, 1); }), err::Overflow);
    EXPECT_EQ(errorOf([] { DateText(Date(1e10)); }), err::Overflow);
    EXPECT_EQ(errorOf([] { Year(Date(-1e7)); }), err::Overflow);
}

TEST(DateParts, SplitsSerials) {
    Date d(ds(2004, 3, 15) + TimeSerial(6, 30, 15));
    EXPECT_EQ(Year(d), 2004);
    EXPECT_EQ(Month(d), 3);
    EXPECT_EQ(Day(d), 15);
    EXPECT_EQ(Hour(d), 6);
    EXPECT_EQ(Minute(d), 30);
    EXPECT_EQ(Second(d), 15);
    // Negative serials are linear: -1.5 is half a day before -1.
    Date n(-1.5);
    EXPECT_EQ(Day(n), 28);
    EXPECT_EQ(Month(n), 12);
    EXPECT_EQ(Year(n), 1899);
    EXPECT_EQ(Hour(n), 12);
    // 59.6 seconds round to the next minute, 23:59:59.6 to the next day.
    Date r(ds(2004, 12, 31) + TimeSerial(23, 59, 59.6));
    EXPECT_EQ(Year(r), 2005);
    EXPECT_EQ(Hour(r), 0);
    EXPECT_EQ(Second(r), 0);
    EXPECT_DOUBLE_EQ(TimeSerial(36, 0, 0), 1.5);
}

TEST(DateText, GeneralDateText) {
    struct Case {
        double serial;
        const char* text;
    } cases[] = {
        {0, "00:00:00"},
        {0.25, "06:00:00"},
        {ds(2004, 3, 15), "2004-03-15"},
        {ds(2004, 3, 15) + 0.25, "2004-03-15 06:00:00"},
        {ds(1990, 1, 2) + 0.5, "1990-01-02 12:00:00"},
        {-1.5, "1899-12-28 12:00:00"},
        {ds(2000, 1, 1) + 90.0 / 86400, "2000-01-01 00:01:30"},
        {ds(100, 1, 1), "0100-01-01"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DateText(Date(c.serial)), c.text);
        // Every text written is read back as the same date (to the second).
        Date back;
        ASSERT_TRUE(ParseDate(c.text, back)) << c.text;
        EXPECT_NEAR(back.serial, c.serial, 0.5 / 86400) << c.text;
    }
}

TEST(ParseDate, AcceptedForms) {
    const double mar15 = ds(2004, 3, 15);
    struct Case {
        const char* text;
        double serial;
    } cases[] = {
        {"2004-03-15", mar15},
        {"2004-3-15", mar15},
        {"2004/03/15", mar15},
        {"2004 03 15", mar15},
        {"  2004-03-15  ", mar15},
        {"2004-03-15 06:30:15", mar15 + TimeSerial(6, 30, 15)},
        {" 2004- 3- 15 6: 0", mar15 + 0.25},
        {" 1005- 3- 15 6: 0", ds(1005, 3, 15) + 0.25},
        {"2000-01-01T12:00:00Z", ds(2000, 1, 1) + 0.5},
        {"2000-01-01t12:00", ds(2000, 1, 1) + 0.5},
        {"2000-01-01 12:00:00 ", ds(2000, 1, 1) + 0.5},
        {"1990-01-01 00:00:00 UTC", ds(1990, 1, 1)},
        {"1990-01-01 06:00 GMT", ds(1990, 1, 1) + 0.25},
        {"2004-03-15 06:00:00.5", mar15 + TimeSerial(6, 0, 0.5)},
        {"2004-03-15 06:00:30.25Z", mar15 + TimeSerial(6, 0, 30.25)},
        {"03/15/2004", mar15},
        {"3/15/2004 18:00", mar15 + 0.75},
        {"01/15/ 2005", ds(2005, 1, 15)},
        {"15-MAR-2004", mar15},
        {"15-mar-2004 12:30:00", mar15 + TimeSerial(12, 30, 0)},
        {"1-Jan-1990", ds(1990, 1, 1)},
        {"06:00", 0.25},
        {"6:00:00", 0.25},
        {"6:00 PM", 0.75},
        {"6 PM", 0.75},
        {"12:00 AM", 0},
        {"12:30 pm", TimeSerial(12, 30, 0)},
        {"2004-03-15 6:00 PM", mar15 + 0.75},
        {"2004-02-29", ds(2004, 2, 29)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Date d;
        ASSERT_TRUE(ParseDate(c.text, d));
        EXPECT_NEAR(d.serial, c.serial, 1e-9);
        EXPECT_TRUE(IsDate(c.text));
        EXPECT_NEAR(CDate(c.text).serial, c.serial, 1e-9);
    }
}

TEST(ParseDate, RejectedForms) {
    const char* bad[] = {
        "",
        "   ",
        "2004",
        "12",
        "1.5",
        "-5",
        "Month 1",
        "Season 2",
        "Season 2.5",
        "Month 0",
        "2004-02-30",
        "2003-02-29",
        "2004-13-01",
        "2004-00-10",
        "2004-03-00",
        "2004-03-15 25:00",
        "2004-03-15 12:60",
        "2004-03-15 12:00:60",
        "13:00 PM",
        "2004-03-15T",
        "hello",
        "2004-03-15 garbage",
        "0050-01-01",
        "15-XYZ-2004",
        "03/15/04",
        "2004-03",
        "2004-03-15 06",
        "12:00 UTC junk",
        "2004-03-15 06:00 +05:00",
        "10000-01-01",
    };
    for (const char* t : bad) {
        SCOPED_TRACE(t);
        Date d(123.0);
        EXPECT_FALSE(ParseDate(t, d));
        EXPECT_EQ(d.serial, 123.0); // untouched
        EXPECT_FALSE(IsDate(t));
        EXPECT_EQ(errorOf([t] { CDate(t); }), err::TypeMismatch);
    }
}

TEST(ParseDateParts, FieldsAsWrittenForOtherCalendars) {
    struct Case {
        const char* text;
        bool hasDate;
        int year, month, day;
        bool hasTime;
        double time;
        bool hasOffset;
        int offset;
    };
    const Case cases[] = {
        {"0000-01-01", true, 0, 1, 1, false, 0, false, 0},
        {"0050-06-15 06:00", true, 50, 6, 15, true, 0.25, false, 0},
        {"1-1-1", true, 1, 1, 1, false, 0, false, 0},
        {"1-1-1 0:0:0", true, 1, 1, 1, true, 0, false, 0},
        {"-0001-12-31", true, -1, 12, 31, false, 0, false, 0},
        {"2000-02-30", true, 2000, 2, 30, false, 0, false, 0}, // a day of 360_day
        {"2000-01-01 00:00:00 +05:00", true, 2000, 1, 1, true, 0, true, 300},
        {"2000-01-01T06:00:00+05:30", true, 2000, 1, 1, true, 0.25, true, 330},
        {"2000-01-01 00:00:00 +0530", true, 2000, 1, 1, true, 0, true, 330},
        {"2000-01-01 12:00 -3", true, 2000, 1, 1, true, 0.5, true, -180},
        {"2000-01-01 00:00:00-05:00", true, 2000, 1, 1, true, 0, true, -300},
        {"2000-01-01 +05:00", true, 2000, 1, 1, false, 0, true, 300},
        {"2000-01-01 00:00 UTC", true, 2000, 1, 1, true, 0, false, 0},
        {"15-MAR-2004", true, 2004, 3, 15, false, 0, false, 0},
        {"06:00", false, 0, 0, 0, true, 0.25, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        DateParts p;
        ASSERT_TRUE(ParseDateParts(c.text, p));
        EXPECT_EQ(p.hasDate, c.hasDate);
        EXPECT_EQ(p.year, c.year);
        EXPECT_EQ(p.month, c.month);
        EXPECT_EQ(p.day, c.day);
        EXPECT_EQ(p.hasTime, c.hasTime);
        EXPECT_NEAR(p.time, c.time, 1e-12);
        EXPECT_EQ(p.hasOffset, c.hasOffset);
        EXPECT_EQ(p.offsetMinutes, c.offset);
        // None of these is a date of the runtime that ParseDate did not read before.
        if ((c.hasDate && (c.year < 100 || c.day > 29)) || c.hasOffset) {
            EXPECT_FALSE(IsDate(c.text));
        }
    }
    for (const char* bad :
         {"", "2004", "-5", "+5", "2000-13-01", "2000-01-32", "2000-01-01 00:00 +25:00",
          "2000-01-01 00:00 +0570", "2000-01-01 00:00 +530", "2000-01-01 00:00 UTC +05:00",
          "12-05-2004", "Month 1", "2004-03-15T"}) {
        DateParts p;
        EXPECT_FALSE(ParseDateParts(bad, p)) << bad;
    }
}

TEST(DateText, FromPartsOfAnyCalendar) {
    EXPECT_EQ(DateText(2000, 2, 30, 43200, true), "2000-02-30 12:00:00");
    EXPECT_EQ(DateText(0, 1, 16, 0, true), "0000-01-16");
    EXPECT_EQ(DateText(-1, 12, 31, 61, true), "-0001-12-31 00:01:01");
    EXPECT_EQ(DateText(1899, 12, 30, 3600, false), "01:00:00");
    EXPECT_EQ(DateText(1899, 12, 30, 0, false), "00:00:00");
}

} // namespace
