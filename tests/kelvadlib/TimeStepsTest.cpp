// Time-step lookup and labels: GetTimePt, GetTstep, GetTstepByMin, GetDate and GetOrvMin, on
// axes with and without dates.
#include "TimeFixture.h"
#include "common/Calendar.h"
#include "kelvadlib/Utils.h"
#include "runtime/Date.h"
#include "runtime/Text.h"
#include "tests/support/ErrorOf.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct Pt {
    Long result, nt1, nt2;
    float tw1, tw2;
};

Pt timePt(Kelvad& k, Long slot, const Variant& when) {
    Pt p{};
    p.result = k.GetTimePt(slot, when, p.nt1, p.nt2, p.tw1, p.tw2);
    return p;
}

void expectPt(const Pt& p, const Pt& expect) {
    EXPECT_EQ(p.result, expect.result);
    EXPECT_EQ(p.nt1, expect.nt1);
    EXPECT_EQ(p.nt2, expect.nt2);
    EXPECT_FLOAT_EQ(p.tw1, expect.tw1);
    EXPECT_FLOAT_EQ(p.tw2, expect.tw2);
}

// A daily axis from a file: days since 2000-03-01, values 0, 1, 2 (1 to 3 March).
class DailyAxisTest : public ::testing::Test {
protected:
    DailyAxisTest() {
        readTimeSlot(
            k, writeTimeFile(dir, "daily.nc", {"days since 2000-03-01", NC_DOUBLE, {0, 1, 2}}), 1);
        if (CLng(k.SetTimeExtent(1)) != 1) throw std::runtime_error(k.ErrorMessage);
    }
    TempDir dir;
    Kelvad k;
};

} // namespace

TEST_F(DailyAxisTest, TimePtBracketsAndWeighsDatedSteps) {
    const std::string outside = "[getTimePt] out of Time domain (dated)";
    struct Case {
        const char* when;
        Pt expect;
        Long tstep;
        const char* message; // "" when ErrorMessage stays as it was
    };
    const Case cases[] = {
        {"2000-03-01 06:00", {1, 1, 2, 0.75f, 0.25f}, 1, ""},
        {"2000-03-01 12:00", {1, 1, 2, 0.5f, 0.5f}, 2, ""}, // a tie goes to the later step
        {"2000-03-01 18:00", {1, 1, 2, 0.25f, 0.75f}, 2, ""},
        {"2000-03-02", {1, 2, 2, 1, 0}, 2, ""},          // on an inner step
        {"2000-03-02 00:00:59", {1, 2, 2, 1, 0}, 2, ""}, // seconds dropped
        {"2000-03-01", {1, 1, 1, 1, 0}, 1, ""},
        {"2000-02-29 12:00", {1, 1, 1, 1, 0}, 1, ""}, // within one step before the first
        {"2000-02-29 00:00", {1, 1, 1, 1, 0}, 1, ""},
        {"2000-02-28 23:00", {0, 0, 0, 0, 0}, 0, outside.c_str()},
        {"2000-03-03 12:00", {1, 3, 3, 1, 0}, 3, ""},
        {"2000-03-04", {1, 3, 3, 1, 0}, 3, ""},
        {"2000-03-04 00:01", {0, 0, 0, 0, 0}, 0, outside.c_str()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.when);
        const Long minutes = minutesOf(c.when);
        // A Date, a date text, a number of minutes and a numeric text all name the same time.
        for (const Variant& when :
             {Variant(at(c.when)), Variant(std::string(c.when)), Variant(minutes),
              Variant(CStr(minutes)), Variant(static_cast<double>(minutes) + 0.4)}) {
            k.ErrorMessage = "";
            expectPt(timePt(k, 1, when), c.expect);
            EXPECT_EQ(k.ErrorMessage, c.message);
        }
        EXPECT_EQ(k.GetTstep(1, at(c.when)), c.tstep);
        EXPECT_EQ(k.GetTstepByMin(1, minutes), c.tstep);
    }
}

TEST_F(DailyAxisTest, LabelsAndMinutesOfEachStep) {
    EXPECT_EQ(k.GetDate(1, 1), "2000-03-01");
    EXPECT_EQ(k.GetDate(1, 3), "2000-03-03");
    EXPECT_EQ(k.GetOrvMin(1, 2), 36587 * 1440); // 2000-03-02 is day 36587
    for (Long nt : {0, 4, -1}) {
        EXPECT_EQ(k.GetDate(1, nt), "");
        EXPECT_EQ(k.GetOrvMin(1, nt), 0);
    }
    // A slot outside the records reaches the caller.
    EXPECT_EQ(errorOf([&] { k.GetDate(5, 1); }), 9);
    EXPECT_EQ(errorOf([&] { k.GetOrvMin(5, 1); }), 9);
}

TEST_F(DailyAxisTest, EachSlotKeepsItsOwnAxis) {
    readTimeSlot(
        k, writeTimeFile(dir, "hourly.nc", {"hours since 1990-01-01", NC_FLOAT, {0, 6, 12, 18}}),
        2);
    ASSERT_EQ(CLng(k.SetTimeExtent(2)), 1);
    // Slot 1 still answers with its own values after slot 2 was set up.
    EXPECT_EQ(k.GetDate(1, 2), "2000-03-02");
    EXPECT_EQ(k.GetDate(2, 2), "1990-01-01 06:00:00");
    EXPECT_EQ(k.GetTstep(1, at("2000-03-02 23:00")), 3);
    EXPECT_EQ(k.GetTstep(2, at("1990-01-01 10:00")), 3);
    VArray<double> t;
    ASSERT_EQ(k.doFill_Time(1, t), 1);
    ASSERT_EQ(t.UBound(), 3);
    EXPECT_EQ(t(3), 2);
    VArray<Long> m;
    ASSERT_EQ(k.doFill_OrvTime(1, m), 3);
    EXPECT_EQ(m(3), minutesOf("2000-03-03"));
    m.Erase(); // element 1 would be taken for a stride
    ASSERT_EQ(k.doFill_OrvTime(2, m), 4);
    EXPECT_EQ(m(4), minutesOf("1990-01-01 18:00"));
}

TEST(TimePt, ClimatologiesWrapAroundTheYear) {
    struct Case {
        const char* unit;
        Long nTime;
        const char* when;
        Pt expect;
        Long tstep;
    };
    const Case cases[] = {
        {"months", 12, "2003-01-01", {1, 12, 1, 0, 1}, 1},
        {"months", 12, "2003-01-15", {1, 1, 2, 17.0f / 31, 14.0f / 31}, 1},
        {"months", 12, "2003-01-01 06:00", {1, 1, 2, 1 - 0.25f / 31, 0.25f / 31}, 1},
        {"months", 12, "2003-12-20", {1, 12, 1, 12.0f / 31, 19.0f / 31}, 1},
        {"months", 12, "2003-12-01", {1, 11, 12, 0, 1}, 12}, // on a table entry: the later step
        {"months", 6, "2003-06-01", {1, 5, 6, 0, 1}, 6},
        {"months", 6, "2003-06-02", {0, 0, 0, 0, 0}, 0}, // past the first day of the last month
        {"seasons", 4, "2003-03-15", {1, 1, 2, 47.0f / 89, 42.0f / 89}, 1},
        {"seasons", 4, "2003-12-15", {1, 4, 1, 48.0f / 92, 44.0f / 92}, 4},
        {"seasons", 4, "2004-01-10", {1, 4, 1, 22.0f / 92, 70.0f / 92}, 1},
        {"days", 365, "2003-01-01 06:00", {1, 1, 2, 0.75f, 0.25f}, 1},
        {"days", 365, "2003-01-01", {1, 365, 1, 0, 1}, 1},
        {"days", 365, "2003-12-31 18:00", {1, 365, 1, 0.25f, 0.75f}, 1},
        {"days", 3, "2003-01-03 12:00", {1, 3, 1, 0.5f, 0.5f}, 1},
        {"days", 3, "2003-01-05 12:00", {1, 2, 3, 0.5f, 0.5f}, 3}, // the axis runs on, wrapped
        {"days", 3, "2003-01-07", {0, 0, 0, 0, 0}, 0},
        // An axis shorter than its wrap still wraps onto its own steps.
        {"days", 2, "2003-01-04 12:00", {1, 2, 1, 0.5f, 0.5f}, 1},
        {"seasons", 1, "2003-06-01", {1, 1, 1, 61.0f / 92, 31.0f / 92}, 1},
        // Short monthly axes end on their last month, also where a year's table would go on.
        {"months", 11, "2003-12-15", {0, 0, 0, 0, 0}, 0},
        {"months", 10, "2003-11-15", {0, 0, 0, 0, 0}, 0},
        // Longer ones run on into the next year from December: step 13 is January after it.
        {"months", 13, "2003-12-20", {1, 12, 13, 12.0f / 31, 19.0f / 31}, 13},
        {"months", 16, "2003-12-20", {1, 12, 13, 12.0f / 31, 19.0f / 31}, 13},
        {"months", 16, "2003-01-01", {1, 16, 1, 0, 1}, 1},
        {"months", 16, "2003-06-15", {1, 6, 7, 16.0f / 30, 14.0f / 30}, 6},
        {"months", 1200, "2003-12-20", {1, 12, 13, 12.0f / 31, 19.0f / 31}, 13},
        {"months", 1200, "2003-01-01", {1, 1200, 1, 0, 1}, 1},
        {"seasons", 8, "2003-12-15", {1, 4, 5, 48.0f / 92, 44.0f / 92}, 4},
        {"seasons", 400, "2003-01-10", {1, 400, 1, 22.0f / 92, 70.0f / 92}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.unit) + " " + c.when);
        Kelvad k;
        handSlot(k, 1, {c.unit, 0, steps(1, c.nTime)});
        for (const Variant& when : {Variant(at(c.when)), Variant(minutesOf(c.when))}) {
            const Pt p = timePt(k, 1, when);
            EXPECT_EQ(p.result, c.expect.result);
            EXPECT_EQ(p.nt1, c.expect.nt1);
            EXPECT_EQ(p.nt2, c.expect.nt2);
            EXPECT_FLOAT_EQ(p.tw1, c.expect.tw1);
            if (p.result == 1) {
                EXPECT_EQ(p.tw2, 1.0f - p.tw1);
            }
            EXPECT_NEAR(p.tw2, c.expect.tw2, 1e-6);
        }
        EXPECT_EQ(k.GetTstep(1, at(c.when)), c.tstep);
        EXPECT_EQ(k.GetTstepByMin(1, minutesOf(c.when)), c.tstep);
        if (c.expect.result == 0) {
            EXPECT_EQ(k.ErrorMessage, "[getTimePt] missed Time slot (non-dated)");
        }
    }
}

TEST(TimePt, AxesAreLookedUpInTheirOwnCalendar) {
    // A 360_day axis from a file: 27 February to 1 March 2000 across 29 and 30 February.
    TempDir dir;
    Kelvad k;
    readTimeSlot(
        k,
        writeTimeFile(
            dir, "d360.nc",
            {"days since 2000-02-27", NC_DOUBLE, {0, 1, 2, 3, 4}, {{"calendar", "360_day"}}}),
        1);
    ASSERT_EQ(CLng(k.SetTimeExtent(1)), 1) << k.ErrorMessage;
    ASSERT_EQ(k.ncf(1).calendar, Calendar::Day360);
    struct Case {
        const char* when;
        Pt expect;
        Long tstep;
    };
    const Case dated[] = {
        {"2000-02-29 06:00", {1, 3, 4, 0.75f, 0.25f}, 3}, {"2000-02-30", {1, 4, 4, 1, 0}, 4},
        {"2000-02-30 12:00", {1, 4, 5, 0.5f, 0.5f}, 5},   {"2000-03-02", {1, 5, 5, 1, 0}, 5},
        {"2000-03-02 00:01", {0, 0, 0, 0, 0}, 0},         {"2000-02-26", {1, 1, 1, 1, 0}, 1},
    };
    for (const auto& c : dated) {
        SCOPED_TRACE(c.when);
        const Date date = CalendarCDate(Calendar::Day360, c.when);
        const Long minutes = DateToOrvMin(date);
        for (const Variant& when : {Variant(date), Variant(std::string(c.when)), Variant(minutes)})
            expectPt(timePt(k, 1, when), c.expect);
        EXPECT_EQ(k.GetTstep(1, date), c.tstep);
        EXPECT_EQ(k.GetTstepByMin(1, minutes), c.tstep);
    }

    // Climatologies are laid into a year of their calendar.
    struct Climatology {
        const char* unit;
        Calendar cal;
        Long nTime;
        const char* when;
        Pt expect;
        Long tstep;
    };
    const Climatology climatologies[] = {
        {"days", Calendar::NoLeap, 365, "2004-12-31 18:00", {1, 365, 1, 0.25f, 0.75f}, 1},
        {"days", Calendar::Standard, 365, "2004-12-31 18:00", {1, 1, 2, 0.25f, 0.75f}, 2},
        {"days", Calendar::Day360, 360, "2003-01-01 06:00", {1, 1, 2, 0.75f, 0.25f}, 1},
        {"days", Calendar::Day360, 360, "2003-12-30 18:00", {1, 360, 1, 0.25f, 0.75f}, 1},
        {"months", Calendar::Day360, 12, "2003-01-15", {1, 1, 2, 16.0f / 30, 14.0f / 30}, 1},
        {"months", Calendar::Day360, 12, "2003-02-30", {1, 2, 3, 1.0f / 30, 29.0f / 30}, 3},
        {"months", Calendar::Day360, 12, "2003-12-30 12:00", {1, 12, 1, 0.5f / 30, 29.5f / 30}, 1},
        {"seasons", Calendar::AllLeap, 4, "2003-03-15", {1, 1, 2, 47.0f / 90, 43.0f / 90}, 1},
    };
    for (const auto& c : climatologies) {
        SCOPED_TRACE(std::string(c.unit) + " " + c.when);
        Kelvad kc;
        handSlot(kc, 1, {c.unit, 0, steps(1, c.nTime)}).calendar = c.cal;
        const Date date = CalendarCDate(c.cal, c.when);
        for (const Variant& when : {Variant(date), Variant(DateToOrvMin(date))}) {
            const Pt p = timePt(kc, 1, when);
            EXPECT_EQ(p.result, c.expect.result);
            EXPECT_EQ(p.nt1, c.expect.nt1);
            EXPECT_EQ(p.nt2, c.expect.nt2);
            EXPECT_FLOAT_EQ(p.tw1, c.expect.tw1);
            EXPECT_NEAR(p.tw2, c.expect.tw2, 1e-6);
        }
        EXPECT_EQ(kc.GetTstep(1, date), c.tstep);
    }
}

TEST(TimePt, MonthlyAxesFromFilesOfAnyLengthAndCalendar) {
    // "months since" axes of the real-world calendars carry no dates: they are laid into the
    // year of the given time, the steps after the twelfth running on into the years after it.
    // (The model calendars date them: TimeAxisTest.)
    struct Case {
        const char* calendar;
        Calendar cal;
        Long nTime;
        float decemberDays; // length of December in the calendar
    };
    const Case cases[] = {
        {"standard", Calendar::Standard, 16, 31},
        {"standard", Calendar::Standard, 1200, 31},
        {"julian", Calendar::Julian, 1200, 31},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.calendar) + " " + std::to_string(c.nTime));
        Kelvad k;
        const std::string path = writeTimeFile(
            dir, std::string(c.calendar) + std::to_string(c.nTime) + ".nc",
            {"months since 1900-01-01", NC_INT, steps(0, c.nTime), {{"calendar", c.calendar}}});
        readTimeSlot(k, path, 1);
        ASSERT_EQ(CLng(k.SetTimeExtent(1)), 1) << k.ErrorMessage;
        ASSERT_EQ(k.ncf(1).Dated, 0);
        auto when = [&](const char* text) { return CalendarCDate(c.cal, text); };

        // 20 December lies between step 12 and step 13, the January after it.
        const Pt p = timePt(k, 1, Variant(when("2003-12-20")));
        expectPt(p, {1, 12, 13, (c.decemberDays - 19) / c.decemberDays, 19 / c.decemberDays});
        EXPECT_EQ(k.GetTstep(1, when("2003-12-20")), 13);
        EXPECT_EQ(k.GetTstep(1, when("2003-03-02")), 3);
        EXPECT_EQ(k.GetTstepByMin(1, DateToOrvMin(when("2003-01-01"))), 1);

        // The filled steps are the first days of the months from January of the given year on.
        VArray<Long> out;
        ASSERT_EQ(k.doFill_OrvTime(1, out, when("2003-06-15")), c.nTime);
        const Long lastYear = 2003 + (c.nTime - 1) / 12, lastMonth = (c.nTime - 1) % 12 + 1;
        EXPECT_EQ(out(1), DateToOrvMin(when("2003-01-01")));
        EXPECT_EQ(out(13), DateToOrvMin(when("2004-01-01")));
        EXPECT_EQ(out(c.nTime), MonthStartOrvMin(c.cal, lastYear, lastMonth));
        for (Long i = 2; i <= c.nTime; ++i) {
            ASSERT_GT(out(i) - out(i - 1), 27 * 1440) << i;
            ASSERT_LE(out(i) - out(i - 1), 31 * 1440) << i;
        }
        // Every third step with the last one added, as a stride asks.
        out.ReDim(1, 1);
        out(1) = 3;
        const Long sampled = (c.nTime - 1) / 3 + 1 + ((c.nTime - 1) % 3 != 0 ? 1 : 0);
        ASSERT_EQ(k.doFill_OrvTime(1, out, when("2003-06-15")), sampled);
        EXPECT_EQ(out(2), DateToOrvMin(when("2003-04-01")));
        EXPECT_EQ(out(out.UBound()), MonthStartOrvMin(c.cal, lastYear, lastMonth));
    }
}

TEST(TimePt, FailuresGiveTheirMessages) {
    struct Case {
        HandAxis axis;
        Variant when;
        Long result;
        const char* message;
    };
    const Date day1 = at("2000-01-01");
    const Case cases[] = {
        {{"days", 1, {0, 1}, day1},
         Variant("not a time"),
         -1,
         "[getTimePt] given time is not date nor number"},
        {{"months", 0, steps(1, 12)},
         Variant("Month 1"),
         -1,
         "[getTimePt] given time is not date nor number"},
        {{"years", 1, {0, 1, 2}, day1},
         Variant(at("2000-01-02 12:00")),
         -1,
         "[getTimePt] Unknown Time unit (dated)"},
        {{"hours", 0, {0, 1}},
         Variant(at("2000-01-02")),
         -1,
         "[getTimePt] Unknown Time unit (not dated)"},
        // Minutes beyond a Long.
        {{"months", 0, steps(1, 12)}, Variant(3e9), -1, "[getTimePt] Error (6) :\"Overflow\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Kelvad k;
        NcfRec& r = handSlot(k, 1, c.axis);
        if (c.axis.dated == 1) {
            // A dated axis of days from its epoch: the first and last step in minutes.
            r.StartTime = DateText(c.axis.epoch);
            r.StartTimeMin = DateToOrvMin(c.axis.epoch);
            r.endTimeMin = r.StartTimeMin + static_cast<Long>(c.axis.values.back()) * 1440;
            r.dTimeSec = 86400;
        }
        const Pt p = timePt(k, 1, c.when);
        EXPECT_EQ(p.result, c.result);
        EXPECT_EQ(p.nt1, 0);
        EXPECT_EQ(p.nt2, 0);
        EXPECT_EQ(k.ErrorMessage, c.message);
    }
    // The steps re-added from the first step's text miss the last step's minutes.
    Kelvad k;
    NcfRec& r = handSlot(k, 1, {"days", 1, {0, 1, 2}, day1});
    r.StartTime = "2000-01-01";
    r.StartTimeMin = minutesOf("2000-01-01");
    r.endTimeMin = minutesOf("2000-01-05");
    r.dTimeSec = 86400;
    EXPECT_EQ(timePt(k, 1, Variant(at("2000-01-04"))).result, -1);
    EXPECT_EQ(k.ErrorMessage, "[getTimePt] missed Time slot (dated)");
    EXPECT_EQ(k.GetTstep(1, at("2000-01-04")), -1);
    // A first step whose text is not a date.
    r.StartTime = "Month 1";
    EXPECT_EQ(timePt(k, 1, Variant(at("2000-01-02"))).result, -1);
    EXPECT_EQ(k.ErrorMessage, "[getTimePt] Error (13) :\"Type mismatch\"");
    // A slot outside the records.
    EXPECT_EQ(timePt(k, 4, Variant(at("2000-01-02"))).result, -1);
    EXPECT_EQ(k.ErrorMessage, "[getTimePt] Error (9) :\"Subscript out of range\"");
    EXPECT_EQ(k.GetTstepByMin(4, 0), -1);
}

TEST(GetDate, LabelsByUnit) {
    const Date epoch = at("2000-01-01");
    struct Case {
        HandAxis axis;
        Long nt;
        const char* label;
        Long orvMin; // -1: the minutes of the label's date
    };
    const Case cases[] = {
        {{"months", 0, {1, 2, 3}}, 3, "Month 3", 0},
        {{"Seasons", 0, {1, 2.5}}, 2, "Season 2.5", 0},
        {{"hours", 1, {0, 6, 12, 24, 36}, epoch}, 5, "2000-01-02 12:00:00", -1},
        {{"hours", 1, {0, 1.5}, epoch}, 2, "2000-01-01 01:30:00", -1},
        {{"DAYS", 1, {0, 31.25}, epoch}, 2, "2000-02-01 06:00:00", -1},
        {{"minutes", 1, {0, 1440}, epoch}, 2, "2000-01-02", -1},
        {{"seconds", 1, {0, 90}, epoch}, 2, "2000-01-01 00:01:30", -1},
        {{"hours", 1, {0, 6}}, 2, "06:00:00", -1}, // on the zero date: the time alone
        {{"years", 1, {0, 1}, epoch}, 2, "", 0},
        {{"months", 0, {1, 2, 3}}, 4, "", 0},
        {{"months", 0, {1, 2, 3}}, 0, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.axis.unit + " " + std::to_string(c.nt));
        Kelvad k;
        handSlot(k, 1, c.axis);
        k.ErrorMessage = "kept";
        EXPECT_EQ(k.GetDate(1, c.nt), c.label);
        EXPECT_EQ(k.GetOrvMin(1, c.nt), c.orvMin == -1 ? minutesOf(c.label) : c.orvMin);
        EXPECT_EQ(k.ErrorMessage, "kept");
    }
}

TEST(GetDate, RuntimeErrorsNameTheirOwnProcedure) {
    Kelvad k;
    // A step beyond the calendar: GetDate reports it, and GetOrvMin finds no date.
    handSlot(k, 1, {"days", 1, {0, 1e7}, at("2000-01-01")});
    EXPECT_EQ(k.GetDate(1, 2), "");
    EXPECT_EQ(k.ErrorMessage, "[GetDate] Error message (number 6)is:\r\n\"Overflow\"");
    k.ErrorMessage = "";
    EXPECT_EQ(k.GetOrvMin(1, 2), 0);
    EXPECT_EQ(k.ErrorMessage, "[GetDate] Error message (number 6)is:\r\n\"Overflow\"");
    // A date that has a label but whose minutes do not fit a Long.
    handSlot(k, 1, {"days", 1, {0, 1}, at("7000-01-01")});
    EXPECT_EQ(k.GetDate(1, 2), "7000-01-02");
    EXPECT_EQ(k.GetOrvMin(1, 2), 0);
    EXPECT_EQ(k.ErrorMessage, "[GetOrvMin] Error message (number 6)is:\r\n\"Overflow\"");
    // A cache shorter than the step count.
    NcfRec& r = handSlot(k, 1, {"months", 0, {1, 2}});
    r.nTime = 3;
    EXPECT_EQ(k.GetDate(1, 3), "");
    EXPECT_EQ(k.ErrorMessage,
              "[GetDate] Error message (number 9)is:\r\n\"Subscript out of range\"");
}
