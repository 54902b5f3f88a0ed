// The calendars of time axes: names, day counts each way, the link of the real-world
// calendars through real days, and date texts read and written in a calendar.
#include "common/Calendar.h"
#include "runtime/RuntimeError.h"
#include "tests/support/ErrorOf.h"

#include <gtest/gtest.h>

namespace {

constexpr Calendar kAll[] = {Calendar::Standard, Calendar::ProlepticGregorian,
                             Calendar::Julian,   Calendar::NoLeap,
                             Calendar::AllLeap,  Calendar::Day360};

int64_t day(Calendar cal, int64_t y, int64_t m, int64_t d) {
    return CalendarDay(cal, y, m, d);
}

} // namespace

TEST(Calendar, NamesOfTheAttribute) {
    struct Case {
        const char* name;
        Calendar cal;
    };
    const Case cases[] = {
        {"standard", Calendar::Standard},
        {"gregorian", Calendar::Standard},
        {"", Calendar::Standard},
        {"none", Calendar::Standard},
        {"proleptic_gregorian", Calendar::ProlepticGregorian},
        {"julian", Calendar::Julian},
        {"Julian", Calendar::Julian},
        {"noleap", Calendar::NoLeap},
        {" NOLEAP ", Calendar::NoLeap},
        {"365_day", Calendar::NoLeap},
        {"all_leap", Calendar::AllLeap},
        {"366_day", Calendar::AllLeap},
        {"360_day", Calendar::Day360},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CalendarOf(c.name), c.cal) << c.name;
}

TEST(Calendar, EveryDateHasOneDayNumberAndTheNextDateTheNext) {
    // Around year 0, the reform, and the centuries of most data.
    const int64_t spans[][2] = {{-5, 5}, {1579, 1585}, {1895, 1905}, {1995, 2005}, {2098, 2102}};
    for (Calendar cal : kAll) {
        for (const auto& span : spans) {
            SCOPED_TRACE(static_cast<int>(cal));
            int64_t expected = day(cal, span[0], 1, 1);
            int dates = 0;
            for (int64_t y = span[0]; y <= span[1]; ++y) {
                for (int m = 1; m <= 12; ++m) {
                    for (int d = 1; d <= 31; ++d) {
                        if (!IsCalendarDate(cal, y, m, d)) continue;
                        ++dates;
                        ASSERT_EQ(day(cal, y, m, d), expected) << y << "-" << m << "-" << d;
                        int64_t yy = 0;
                        int mm = 0, dd = 0;
                        CalendarYMD(cal, expected, yy, mm, dd);
                        ASSERT_EQ(yy, y);
                        ASSERT_EQ(mm, m);
                        ASSERT_EQ(dd, d);
                        ++expected;
                    }
                }
            }
            EXPECT_GT(dates, 0);
        }
    }
    // Year lengths: 2100 is no leap year in Gregorian, 1900 is one in Julian.
    auto yearLength = [](Calendar cal, int64_t y) {
        return day(cal, y + 1, 1, 1) - day(cal, y, 1, 1);
    };
    EXPECT_EQ(yearLength(Calendar::ProlepticGregorian, 2100), 365);
    EXPECT_EQ(yearLength(Calendar::ProlepticGregorian, 2000), 366);
    EXPECT_EQ(yearLength(Calendar::ProlepticGregorian, 0), 366);
    EXPECT_EQ(yearLength(Calendar::Julian, 1900), 366);
    EXPECT_EQ(yearLength(Calendar::Standard, 1582), 355);
    EXPECT_EQ(yearLength(Calendar::NoLeap, 2000), 365);
    EXPECT_EQ(yearLength(Calendar::AllLeap, 2001), 366);
    EXPECT_EQ(yearLength(Calendar::Day360, 2000), 360);
}

TEST(Calendar, RealWorldCalendarsCountRealDays) {
    const Calendar gregorian = Calendar::ProlepticGregorian;
    // The serials of the runtime's dates, 1899-12-30 being day 0.
    EXPECT_EQ(day(gregorian, 1899, 12, 30), 0);
    EXPECT_EQ(day(gregorian, 2000, 1, 1), 36526);
    EXPECT_EQ(day(Calendar::Standard, 2000, 1, 1), 36526);
    // The reform: Julian 1582-10-04 was followed by Gregorian 1582-10-15.
    EXPECT_EQ(day(Calendar::Julian, 1582, 10, 4) + 1, day(gregorian, 1582, 10, 15));
    EXPECT_EQ(day(Calendar::Standard, 1582, 10, 4) + 1, day(Calendar::Standard, 1582, 10, 15));
    EXPECT_EQ(day(Calendar::Standard, 1582, 10, 4), day(Calendar::Julian, 1582, 10, 4));
    EXPECT_EQ(day(Calendar::Standard, 1000, 3, 1), day(Calendar::Julian, 1000, 3, 1));
    EXPECT_FALSE(IsCalendarDate(Calendar::Standard, 1582, 10, 5));
    EXPECT_FALSE(IsCalendarDate(Calendar::Standard, 1582, 10, 14));
    EXPECT_TRUE(IsCalendarDate(Calendar::Julian, 1582, 10, 10));
    // Julian 1900-02-29 is Gregorian 1900-03-13.
    EXPECT_EQ(day(Calendar::Julian, 1900, 2, 29), day(gregorian, 1900, 3, 13));
    // The model calendars count their own days from their own 1899-12-30.
    EXPECT_EQ(day(Calendar::NoLeap, 1899, 12, 30), 0);
    EXPECT_EQ(day(Calendar::NoLeap, 2000, 1, 1), 36526 - 24); // no 29 February 1904 .. 1996
    EXPECT_EQ(day(Calendar::Day360, 1900, 1, 1), 1);          // 12-30 is the last of the year
    EXPECT_EQ(day(Calendar::Day360, 2000, 2, 30) + 1, day(Calendar::Day360, 2000, 3, 1));
}

TEST(Calendar, MonthsAndDaysRollOver) {
    for (Calendar cal : kAll) {
        SCOPED_TRACE(static_cast<int>(cal));
        EXPECT_EQ(day(cal, 2004, 13, 1), day(cal, 2005, 1, 1));
        EXPECT_EQ(day(cal, 2004, 0, 1), day(cal, 2003, 12, 1));
        EXPECT_EQ(day(cal, 2004, -12, 1), day(cal, 2002, 12, 1));
        EXPECT_EQ(day(cal, 2004, 1, 0), day(cal, 2004, 1, 1) - 1);
        EXPECT_EQ(day(cal, 2004, 3, 0) + 1, day(cal, 2004, 3, 1));
        EXPECT_EQ(day(cal, 2004, 1, 40), day(cal, 2004, 1, 1) + 39);
    }
    // Day 0 of March is the last day of February, whatever that is.
    int64_t y = 0;
    int m = 0, d = 0;
    CalendarYMD(Calendar::Day360, day(Calendar::Day360, 2001, 3, 0), y, m, d);
    EXPECT_EQ(d, 30);
    CalendarYMD(Calendar::NoLeap, day(Calendar::NoLeap, 2004, 3, 0), y, m, d);
    EXPECT_EQ(d, 28);
    CalendarYMD(Calendar::AllLeap, day(Calendar::AllLeap, 2001, 3, 0), y, m, d);
    EXPECT_EQ(d, 29);
}

TEST(Calendar, DateTextsAreWrittenInTheCalendar) {
    struct Case {
        Calendar cal;
        int64_t y, m, d;
        double time;
        const char* text;
    };
    const Case cases[] = {
        {Calendar::Day360, 2000, 2, 30, 0.5, "2000-02-30 12:00:00"},
        {Calendar::AllLeap, 2001, 2, 29, 0, "2001-02-29"},
        {Calendar::NoLeap, 0, 1, 16, 0.5, "0000-01-16 12:00:00"},
        {Calendar::Julian, 1900, 2, 29, 0, "1900-02-29"},
        {Calendar::Standard, 1582, 10, 4, 0.25, "1582-10-04 06:00:00"},
        {Calendar::NoLeap, -1, 12, 31, 0, "-0001-12-31"},
        {Calendar::Day360, 1899, 12, 30, 0.75, "18:00:00"}, // day 0: the time alone
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Date serial(static_cast<double>(day(c.cal, c.y, c.m, c.d)) + c.time);
        EXPECT_EQ(CalendarDateText(c.cal, serial), c.text);
        // And read back as the same serial.
        Date back;
        ASSERT_TRUE(ParseCalendarDate(c.cal, c.text, back));
        EXPECT_DOUBLE_EQ(back.serial, serial.serial);
    }
    // Seconds round to the nearest, a full day carried over.
    EXPECT_EQ(CalendarDateText(Calendar::Day360,
                               Date(day(Calendar::Day360, 2000, 2, 30) + 1 - 0.2 / 86400)),
              "2000-03-01");
    // Years beyond 9999 are no dates.
    EXPECT_EQ(errorOf([] { CalendarDateText(Calendar::NoLeap, Date(3650000)); }), err::Overflow);
    EXPECT_EQ(errorOf([] { CalendarDateText(Calendar::Standard, Date(1.0 / 0.0)); }),
              err::Overflow);
}

TEST(Calendar, DateTextsAreReadInTheCalendar) {
    auto serial = [](Calendar cal, int64_t y, int64_t m, int64_t d, double hours = 0) {
        return static_cast<double>(day(cal, y, m, d)) + hours / 24;
    };
    struct Case {
        Calendar cal;
        const char* text;
        double serial;
    };
    const Calendar std_ = Calendar::Standard;
    const Case cases[] = {
        // Years as written, no century added.
        {Calendar::NoLeap, "0000-01-01", serial(Calendar::NoLeap, 0, 1, 1)},
        {std_, "0001-01-01 00:00:00", serial(std_, 1, 1, 1)},
        {Calendar::Day360, "1-1-1", serial(Calendar::Day360, 1, 1, 1)},
        {std_, "0050-06-15 06:00", serial(std_, 50, 6, 15, 6)},
        {std_, "-0001-12-31", serial(std_, -1, 12, 31)},
        // Days that only some calendars have.
        {Calendar::Day360, "2000-02-30", serial(Calendar::Day360, 2000, 2, 30)},
        {Calendar::AllLeap, "2001-02-29", serial(Calendar::AllLeap, 2001, 2, 29)},
        {Calendar::Julian, "1900-02-29", serial(Calendar::Julian, 1900, 2, 29)},
        // Zone offsets: the time is local time there.
        {std_, "2000-01-01 00:00:00 +05:00", serial(std_, 1999, 12, 31, 19)},
        {std_, "2000-01-01T00:00:00+05:00", serial(std_, 1999, 12, 31, 19)},
        {std_, "2000-01-01 00:00:00 +0530", serial(std_, 1999, 12, 31, 18.5)},
        {std_, "2000-01-01 00:00:00 -3", serial(std_, 2000, 1, 1, 3)},
        {std_, "2000-01-01 10:00:00 -03:30", serial(std_, 2000, 1, 1, 13.5)},
        {std_, "2000-01-01 00:00 UTC", serial(std_, 2000, 1, 1)},
        // Without a time the offset is the time, as udunits reads it.
        {std_, "2000-01-01 +05:00", serial(std_, 2000, 1, 1, 5)},
        {std_, "2000-01-01 -3", serial(std_, 2000, 1, 1, -3)},
        // The runtime's other forms.
        {std_, "15-MAR-2004 06:00:00", serial(std_, 2004, 3, 15, 6)},
        {std_, " 1001- 1- 2 12: 0", serial(std_, 1001, 1, 2, 12)},
        {Calendar::Day360, "06:00", 0.25},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Date d;
        ASSERT_TRUE(ParseCalendarDate(c.cal, c.text, d));
        EXPECT_NEAR(d.serial, c.serial, 1e-9);
        EXPECT_NEAR(CalendarCDate(c.cal, c.text).serial, c.serial, 1e-9);
    }
    struct Bad {
        Calendar cal;
        const char* text;
    };
    const Bad bad[] = {
        {Calendar::ProlepticGregorian, "2001-02-29"},
        {Calendar::NoLeap, "2004-02-29"},
        {Calendar::Day360, "2000-01-31"},
        {Calendar::Julian, "1900-02-30"},
        {Calendar::Standard, "1582-10-10"},
        {Calendar::Standard, "10000-01-01"},
        {Calendar::Standard, "2000-13-01"},
        {Calendar::Standard, "2000-01-01 00:00 +25:00"},
        {Calendar::Standard, "Month 1"},
        {Calendar::Standard, "+5"},
        {Calendar::Standard, ""},
    };
    for (const auto& b : bad) {
        SCOPED_TRACE(b.text);
        Date d(7.0);
        EXPECT_FALSE(ParseCalendarDate(b.cal, b.text, d));
        EXPECT_EQ(d.serial, 7.0);
        EXPECT_EQ(errorOf([&] { CalendarCDate(b.cal, b.text); }), err::TypeMismatch);
    }
}

TEST(CleanDateText, BlanksOutEverythingButDigitsDashColonBlank) {
    EXPECT_EQ(CleanDateText("2000-01-01T12:00:00Z"), "2000-01-01 12:00:00 ");
    EXPECT_EQ(CleanDateText("2004/03/15 06:00:00.5"), "2004 03 15 06:00:00 5");
    EXPECT_EQ(CleanDateText("1990-01-01 00:00"), "1990-01-01 00:00");
}

TEST(SinceDate, TheDateAfterSinceWithItsTimeOfDay) {
    struct Case {
        Calendar cal;
        const char* unit;
        int64_t y, m, d;
        double hours;
    };
    const Case cases[] = {
        {Calendar::Standard, "days since 1990-01-01T00:00:00Z", 1990, 1, 1, 0},
        {Calendar::Standard, "days since 1990-01-01T06:00:00Z", 1990, 1, 1, 6},
        {Calendar::Standard, "days since 1990-01-01 06:00:00", 1990, 1, 1, 6},
        {Calendar::Standard, "hours since 1990-01-01 12:00:00 UTC", 1990, 1, 1, 12},
        {Calendar::Standard, "seconds since 2000-01-01", 2000, 1, 1, 0},
        {Calendar::NoLeap, "days since 0000-01-01 00:00:00", 0, 1, 1, 0},
        {Calendar::Day360, "days since 2000-02-30", 2000, 2, 30, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.unit);
        Date d;
        ASSERT_TRUE(SinceDate(c.cal, c.unit, d));
        EXPECT_NEAR(d.serial, static_cast<double>(day(c.cal, c.y, c.m, c.d)) + c.hours / 24, 1e-9);
    }
    for (const char* unit : {"days", "days since", "days since BASE_DATE", "months since x"}) {
        SCOPED_TRACE(unit);
        Date d(7.0);
        EXPECT_FALSE(SinceDate(Calendar::Standard, unit, d));
    }
}

TEST(BuiltDateText, NumbersInTheirStrForms) {
    EXPECT_EQ(BuiltDateText(2004, 3, 15, 6, 0), " 2004- 3- 15 6: 0");
    Date d;
    ASSERT_TRUE(
        ParseCalendarDate(Calendar::ProlepticGregorian, BuiltDateText(1001, 1, 2, 12, 0), d));
    EXPECT_EQ(CalendarDateText(Calendar::ProlepticGregorian, d), "1001-01-02 12:00:00");
}
