// Orv minutes: whole minutes from day numbers and back, their overflow, and calendars.
#include "TimeFixture.h"
#include "common/Calendar.h"
#include "kelvadlib/Utils.h"
#include "runtime/Date.h"
#include "tests/support/ErrorOf.h"

#include <gtest/gtest.h>

TEST(OrvMinutes, CountWholeMinutesFromTheDayNumbers) {
    // 2000-01-01 is day 36526 after 1899-12-30.
    EXPECT_EQ(DateToOrvMin(at("2000-01-01")), 36526 * 1440);
    EXPECT_EQ(DateToOrvMin(at("1899-12-30")), 0);
    EXPECT_EQ(DateToOrvMin(at("2000-01-01 10:30:59")), 36526 * 1440 + 630); // seconds dropped
    EXPECT_EQ(DateToOrvMin(at("2000-01-01 10:30:00")), 36526 * 1440 + 630);
    EXPECT_EQ(DateToOrvMin(at("2000-03-01")) - DateToOrvMin(at("2000-02-29")), 1440);
    EXPECT_EQ(DateToOrvMin(at("2000-03-01 01:00")) - DateToOrvMin(at("2000-03-01")), 60);
    EXPECT_EQ(DateToOrvMin(at("1899-12-29")), -1440);
}

TEST(OrvMinutes, SplitBackIntoDateAndTime) {
    struct Case {
        Long minutes;
        Integer year, month, day, hour, minute;
    };
    const Case cases[] = {
        {0, 1899, 12, 30, 0, 0},         {1439, 1899, 12, 30, 23, 59},
        {1440, 1899, 12, 31, 0, 0},      {36526 * 1440 + 630, 2000, 1, 1, 10, 30},
        {-1, 1899, 12, 30, 0, -1},       // truncated toward zero
        {-1441, 1899, 12, 29, 0, -1},    // day -1, one minute before its midnight
        {2147483647, 5983, 1, 22, 2, 7}, // the last Orv minute
    };
    for (const auto& c : cases) {
        Integer y = 0, mo = 0, d = 0, h = 0, mi = 0;
        OrvMinToYMDHM(c.minutes, y, mo, d, h, mi);
        EXPECT_EQ(y, c.year) << c.minutes;
        EXPECT_EQ(mo, c.month) << c.minutes;
        EXPECT_EQ(d, c.day) << c.minutes;
        EXPECT_EQ(h, c.hour) << c.minutes;
        EXPECT_EQ(mi, c.minute) << c.minutes;
    }
    for (const char* text : {"1950-06-30 23:59", "2004-02-29 12:01", "1001-01-02", "5000-12-31"}) {
        const Date d = at(text);
        Integer y = 0, mo = 0, dd = 0, h = 0, mi = 0;
        OrvMinToYMDHM(DateToOrvMin(d), y, mo, dd, h, mi);
        EXPECT_EQ(DateSerial(y, mo, dd).serial + TimeSerial(h, mi, 0), d.serial) << text;
    }
}

TEST(OrvMinutes, MinutesBeyondALongOverflow) {
    // Day numbers from about 5983 on do not fit a Long once times 1440.
    EXPECT_EQ(errorOf([] { DateToOrvMin(at("6000-01-01")); }), 6);
    EXPECT_EQ(errorOf([] { DateToOrvMin(at("5983-01-22 02:08")); }), 6);
    EXPECT_EQ(DateToOrvMin(at("5983-01-22 02:07")), 2147483647);
}

TEST(OrvMinutes, CountTheDaysOfACalendar) {
    // Months and days limited to 0..99 and rolled over, as for a day-number text.
    EXPECT_EQ(CalendarOrvMin(Calendar::ProlepticGregorian, 2000, 1, 1, 10, 30), 36526 * 1440 + 630);
    EXPECT_EQ(CalendarOrvMin(Calendar::Standard, 2004, 13, 1, 0, 0),
              DateToOrvMin(at("2005-01-01")));
    EXPECT_EQ(CalendarOrvMin(Calendar::Standard, 2004, 150, 1, 0, 0),
              CalendarOrvMin(Calendar::Standard, 2004, 99, 1, 0, 0));
    EXPECT_EQ(CalendarOrvMin(Calendar::Day360, 2000, 3, 1, 0, 0) -
                  CalendarOrvMin(Calendar::Day360, 2000, 2, 29, 0, 0),
              2 * 1440);
    EXPECT_EQ(CalendarOrvMin(Calendar::NoLeap, 2004, 3, 1, 0, 0) -
                  CalendarOrvMin(Calendar::NoLeap, 2004, 2, 28, 0, 0),
              1440);
    EXPECT_EQ(errorOf([] { CalendarOrvMin(Calendar::Standard, 6000, 1, 1, 0, 0); }), 6);
    // And split back in the same calendar (minutes before day 0 are split toward zero, so
    // those cases are midnights); year 0 is within reach.
    struct Case {
        Calendar cal;
        Integer year, month, day, hour, minute;
    };
    const Case cases[] = {
        {Calendar::Day360, 2000, 2, 30, 12, 5},  {Calendar::AllLeap, 2001, 2, 29, 0, 0},
        {Calendar::Julian, 1900, 2, 29, 23, 59}, {Calendar::NoLeap, 0, 1, 16, 0, 0},
        {Calendar::Standard, 1582, 10, 4, 0, 0}, {Calendar::Standard, 1582, 10, 15, 0, 0},
    };
    for (const auto& c : cases) {
        const Long m = CalendarOrvMin(c.cal, c.year, c.month, c.day, c.hour, c.minute);
        Integer y = 0, mo = 0, d = 0, h = 0, mi = 0;
        OrvMinToYMDHM(m, y, mo, d, h, mi, c.cal);
        EXPECT_EQ(y, c.year) << m;
        EXPECT_EQ(mo, c.month) << m;
        EXPECT_EQ(d, c.day) << m;
        EXPECT_EQ(h, c.hour) << m;
        EXPECT_EQ(mi, c.minute) << m;
    }
}
