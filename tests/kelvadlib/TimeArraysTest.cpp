// The time arrays handed to the caller: doFill_Time and doFill_OrvTime, on axes with and without
// dates.
#include "TimeFixture.h"
#include "common/Calendar.h"
#include "kelvadlib/Utils.h"
#include "runtime/Date.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

TEST(FillTime, CopiesTheCacheOfTheSlot) {
    Kelvad k;
    handSlot(k, 1, {"hours", 1, {0, 6, 12}});
    handSlot(k, 2, {"hours", 1, {1, 2}});
    VArray<double> t(5, 9);
    EXPECT_EQ(k.doFill_Time(1, t), 1);
    ASSERT_EQ(t.LBound(), 1);
    ASSERT_EQ(t.UBound(), 3);
    EXPECT_EQ(t(2), 6);
    EXPECT_EQ(k.doFill_Time(2, t), 1);
    EXPECT_EQ(t.UBound(), 2);
    EXPECT_EQ(k.doFill_Time(3, t), -1);
    EXPECT_EQ(k.ErrorMessage, "Error message (number 9)is:\r\n\"Subscript out of range\"");
}

TEST(FillOrvTime, DatedAxesInMinutesWithAStride) {
    const Date epoch = at("2000-01-01");
    const Long base = minutesOf("2000-01-01");
    struct Case {
        const char* unit;
        std::vector<double> values;
        std::optional<Long> stride; // element 1 on entry; none: the array is not dimensioned
        std::vector<Long> expect;   // minus base
    };
    const Case cases[] = {
        {"hours", {0, 6, 12}, std::nullopt, {0, 360, 720}},
        {"hours", {0, 6, 12}, 0, {0, 360, 720}},
        {"hours", {0, 6, 12}, 1, {0, 360, 720}},
        {"hours", {0, 6, 12}, -4, {0, 360, 720}},
        {"minutes", steps(0, 10), 3, {0, 3, 6, 9}},
        {"minutes", steps(0, 11), 3, {0, 3, 6, 9, 10}},
        {"minutes", steps(0, 3), 5, {0, 2}},
        {"days", {0, 0.5, 2}, 2, {0, 2880}},
        // Seconds are multiplied by the Single 1/60: 30 s make 0.50000003 min, rounded up.
        {"seconds", {0, 30, 1e9}, std::nullopt, {0, 1, 16666668}},
        {"seconds", {100, 190}, std::nullopt, {0, 2}}, // 1.5000001 min rounds to 2
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.unit) + " " + std::to_string(c.values.size()));
        Kelvad k;
        NcfRec& r = handSlot(k, 1, {c.unit, 1, c.values, epoch});
        r.StartTime = "2000-01-01";
        VArray<Long> out;
        if (c.stride) {
            out.ReDim(1, 1);
            out(1) = *c.stride;
        }
        const Long n = static_cast<Long>(c.expect.size());
        EXPECT_EQ(k.doFill_OrvTime(1, out, at("1999-06-01")), n);
        ASSERT_EQ(out.LBound(), 1);
        ASSERT_EQ(out.UBound(), n);
        for (Long i = 1; i <= n; ++i)
            EXPECT_EQ(out(i) - base, c.expect[static_cast<std::size_t>(i - 1)]) << i;
    }
}

TEST(FillOrvTime, AxesWithoutDatesAreLaidIntoTheYearOfShowDate) {
    struct Case {
        const char* unit;
        Long nTime;
        Long stride;
        std::vector<const char*> expect;
    };
    const Case cases[] = {
        {"months",
         12,
         1,
         {"2004-01-01", "2004-02-01", "2004-03-01", "2004-04-01", "2004-05-01", "2004-06-01",
          "2004-07-01", "2004-08-01", "2004-09-01", "2004-10-01", "2004-11-01", "2004-12-01"}},
        {"months", 12, 5, {"2004-01-01", "2004-06-01", "2004-11-01", "2004-12-01"}},
        {"seasons", 4, 1, {"2004-01-01", "2004-04-01", "2004-07-01", "2004-10-01"}},
        {"seasons", 4, 2, {"2004-01-01", "2004-07-01", "2004-10-01"}},
        // Long axes run on month by month into the years after showDate's.
        {"months", 1200, 599, {"2004-01-01", "2053-12-01", "2103-11-01", "2103-12-01"}},
        {"seasons", 40, 13, {"2004-01-01", "2007-04-01", "2010-07-01", "2013-10-01"}},
        {"days", 3, 1, {"2004-01-01", "2004-01-02", "2004-01-03"}},
        {"days", 400, 399, {"2004-01-01", "2005-02-03"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.unit) + " " + std::to_string(c.stride));
        Kelvad k;
        handSlot(k, 1, {c.unit, 0, steps(1, c.nTime)});
        VArray<Long> out(1, 1);
        out(1) = c.stride;
        const Date showDate = at("2004-06-15 13:00");
        const Long n = static_cast<Long>(c.expect.size());
        EXPECT_EQ(k.doFill_OrvTime(1, out, showDate), n);
        ASSERT_EQ(out.UBound(), n);
        for (Long i = 1; i <= n; ++i)
            EXPECT_EQ(out(i), minutesOf(c.expect[static_cast<std::size_t>(i - 1)])) << i;
    }
    // A daily axis fills every day of its length.
    Kelvad k;
    handSlot(k, 1, {"days", 0, steps(1, 400)});
    VArray<Long> out;
    ASSERT_EQ(k.doFill_OrvTime(1, out, at("2004-06-15")), 400);
    EXPECT_EQ(out(366), minutesOf("2004-12-31"));
    EXPECT_EQ(out(400), minutesOf("2005-02-03"));
}

TEST(FillOrvTime, AxesWithoutDatesAreLaidIntoAYearOfTheirCalendar) {
    struct Case {
        const char* unit;
        Calendar cal;
        Long nTime;
        std::vector<std::pair<Long, const char*>> expect; // step, its date in the calendar
    };
    const Case cases[] = {
        {"months",
         Calendar::Day360,
         12,
         {{1, "2004-01-01"}, {3, "2004-03-01"}, {12, "2004-12-01"}}},
        {"days",
         Calendar::NoLeap,
         366,
         {{59, "2004-02-28"}, {60, "2004-03-01"}, {366, "2005-01-01"}}},
        {"days", Calendar::Standard, 366, {{60, "2004-02-29"}, {366, "2004-12-31"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.unit) + " " + std::to_string(static_cast<int>(c.cal)));
        Kelvad k;
        handSlot(k, 1, {c.unit, 0, steps(1, c.nTime)}).calendar = c.cal;
        VArray<Long> out;
        ASSERT_EQ(k.doFill_OrvTime(1, out, CalendarCDate(c.cal, "2004-06-15")), c.nTime);
        for (const auto& [step, date] : c.expect)
            EXPECT_EQ(out(step), DateToOrvMin(CalendarCDate(c.cal, date))) << step;
        for (Long i = 2; i <= c.nTime; ++i)
            EXPECT_GT(out(i), out(i - 1));
    }
}

TEST(FillOrvTime, FailuresLeaveTheArrayAsFarAsItGot) {
    // An axis without dates and no showDate: -1, N zeros, no message.
    {
        Kelvad k;
        handSlot(k, 1, {"months", 0, steps(1, 12)});
        k.ErrorMessage = "kept";
        VArray<Long> out;
        EXPECT_EQ(k.doFill_OrvTime(1, out), -1);
        ASSERT_EQ(out.UBound(), 12);
        for (Long i = 1; i <= 12; ++i)
            EXPECT_EQ(out(i), 0);
        EXPECT_EQ(k.ErrorMessage, "kept");
    }
    struct Case {
        HandAxis axis;
        const char* startTime;
        const char* message;
    };
    const Case cases[] = {
        {{"years", 1, {0, 1}}, "2000-01-01", "[doFill_OrvTime] Unknown Time unit (dated time)"},
        {{"hours", 0, {0, 1}}, "", "[doFill_OrvTime] Unknown Time unit (not dated)"},
        {{"hours", 1, {0, 1}}, "Month 1", "[doFill_OrvTime] Error (13) :\"Type mismatch\""},
        {{"hours", 1, {}}, "2000-01-01", "[doFill_OrvTime] Error (9) :\"Subscript out of range\""},
        {{"hours", 1, {0, 1}}, "7000-01-01", "[doFill_OrvTime] Error (6) :\"Overflow\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Kelvad k;
        handSlot(k, 1, c.axis).StartTime = c.startTime;
        VArray<Long> out;
        EXPECT_EQ(k.doFill_OrvTime(1, out, at("2004-01-01")), -1);
        EXPECT_EQ(k.ErrorMessage, c.message);
    }
    Kelvad k;
    VArray<Long> out;
    EXPECT_EQ(k.doFill_OrvTime(1, out), -1);
    EXPECT_EQ(k.ErrorMessage, "[doFill_OrvTime] Error (9) :\"Subscript out of range\"");
}
