// The time axis: unit forms, base dates, start and end texts, step lengths, the scratch slot,
// and the failures.
#include "TimeFixture.h"
#include "kelvadlib/Utils.h"
#include "platform/Kovra.h"
#include "runtime/Date.h"
#include "runtime/Strings.h"
#include "tests/support/ErrorOf.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace {

// An axis of a calendar whose steps have the dates given.
struct DatedAxis {
    const char* units;
    const char* calendar;
    std::vector<double> values;
    std::vector<const char*> dates;
};

class TimeAxisTest : public ::testing::Test {
protected:
    TempDir dir;
    Kelvad k;

    // Writes the file, reads it into slot 1 with sentinels in the fields that a run may leave
    // alone, and sets up its time axis.
    Long setUp(const TimeFile& f, Long slot = 1) {
        const std::string path = writeTimeFile(dir, "t" + std::to_string(++files_) + ".nc", f);
        readTimeSlot(k, path, slot);
        NcfRec& r = k.ncf(slot);
        r.StartTimeMin = 777;
        r.endTimeMin = 888;
        r.dTimeSec = 999;
        return CLng(k.SetTimeExtent(slot));
    }

    // The axis set up and held in days, its start, end, labels, Orv minutes and step lookups
    // those of its dates.
    void expectDatesInDays(const DatedAxis& a) {
        SCOPED_TRACE(std::string(a.units) + " " + a.calendar);
        ASSERT_EQ(setUp({a.units, NC_DOUBLE, a.values, {{"calendar", a.calendar}}}), 1)
            << k.ErrorMessage;
        const NcfRec& r = k.ncf(1);
        EXPECT_EQ(r.Dated, 1);
        EXPECT_EQ(r.timeUnit, "days");
        EXPECT_EQ(r.StartTime, a.dates.front());
        EXPECT_EQ(r.endTime, a.dates.back());
        EXPECT_EQ(r.endTimeMin, DateToOrvMin(CalendarCDate(r.calendar, a.dates.back())));
        VArray<Long> minutes;
        ASSERT_EQ(k.doFill_OrvTime(1, minutes), static_cast<Long>(a.values.size()));
        for (Long i = 1; i <= r.nTime; ++i) {
            const char* date = a.dates[static_cast<std::size_t>(i - 1)];
            EXPECT_EQ(k.GetDate(1, i), date) << i;
            EXPECT_EQ(minutes(i), DateToOrvMin(CalendarCDate(r.calendar, date))) << i;
            EXPECT_EQ(k.GetTstep(1, CalendarCDate(r.calendar, date)), i) << i;
        }
    }

private:
    int files_ = 0;
};

std::vector<double> range(double from, double to) {
    std::vector<double> v;
    for (double x = from; x <= to; x += 1)
        v.push_back(x);
    return v;
}

} // namespace

TEST_F(TimeAxisTest, UnitFormsGiveTheirBaseDateTextsAndStep) {
    constexpr Long kUnchanged = -1;
    struct Case {
        TimeFile file;
        const char* unit;
        const char* epoch; // DateText of EpochDate ("00:00:00" for the zero date)
        const char* start;
        const char* end;
        Long dTimeSec;
        Long dated;
        Long spanMin; // endTimeMin - StartTimeMin; kUnchanged: both keep their values
    };
    const Case cases[] = {
        // "since" with and without a time of day; T, Z, zone words, fractions, offsets.
        {{"hours since 1990-01-01 00:00:00", NC_DOUBLE, {0, 6, 12}},
         "hours",
         "1990-01-01",
         "1990-01-01",
         "1990-01-01 12:00:00",
         21600,
         1,
         720},
        {{"hours since 1990-01-01", NC_FLOAT, {0, 6, 12}},
         "hours",
         "1990-01-01",
         "1990-01-01",
         "1990-01-01 12:00:00",
         21600,
         1,
         720},
        {{"days since 2000-01-01T12:00:00Z", NC_DOUBLE, {0, 1}},
         "days",
         "2000-01-01 12:00:00",
         "2000-01-01 12:00:00",
         "2000-01-02 12:00:00",
         86400,
         1,
         1440},
        {{"days since 2000-01-01 06:30:00", NC_INT, {0, 2}},
         "days",
         "2000-01-01 06:30:00",
         "2000-01-01 06:30:00",
         "2000-01-03 06:30:00",
         172800,
         1,
         2880},
        {{"hours since 1990-1-1 6:0:0", NC_DOUBLE, {0, 6}},
         "hours",
         "1990-01-01 06:00:00",
         "1990-01-01 06:00:00",
         "1990-01-01 12:00:00",
         21600,
         1,
         360},
        {{"seconds since 1970-01-01 00:00:00.0", NC_INT, {0, 3600}},
         "seconds",
         "1970-01-01",
         "1970-01-01",
         "1970-01-01 01:00:00",
         3600,
         1,
         60},
        {{"minutes since 2004-03-15T06:00:00.0Z", NC_SHORT, {0, 90}},
         "minutes",
         "2004-03-15 06:00:00",
         "2004-03-15 06:00:00",
         "2004-03-15 07:30:00",
         5400,
         1,
         90},
        {{"days since 1950-01-01 00:00:00 UTC", NC_DOUBLE, {0, 0.5}},
         "days",
         "1950-01-01",
         "1950-01-01",
         "1950-01-01 12:00:00",
         43200,
         1,
         720},
        {{"hours since 1990-01-01 00:00:00 +00:00", NC_DOUBLE, {0, 6}},
         "hours",
         "1990-01-01",
         "1990-01-01",
         "1990-01-01 06:00:00",
         21600,
         1,
         360},
        {{"days since 2004/03/15", NC_FLOAT, {0, 1}},
         "days",
         "2004-03-15",
         "2004-03-15",
         "2004-03-16",
         86400,
         1,
         1440},
        // Axes without dates.
        {{"months", NC_FLOAT, range(1, 12)},
         "months",
         "00:00:00",
         "Month 1",
         "Month 12",
         2592000,
         0,
         kUnchanged},
        {{"months since 2000-01-01", NC_DOUBLE, range(0, 11)},
         "months",
         "2000-01-01",
         "Month 0",
         "Month 11",
         2592000,
         0,
         kUnchanged},
        {{"seasons", NC_FLOAT, {1, 2, 3, 4}},
         "seasons",
         "00:00:00",
         "Season 1",
         "Season 4",
         10368000,
         0,
         kUnchanged},
        {{"Season", NC_DOUBLE, {1.5, 2.5}},
         "Season",
         "00:00:00",
         "Season 1.5",
         "Season 2.5",
         10368000,
         0,
         kUnchanged},
        // No base date anywhere: counted from the zero date, time alone on day 0.
        {{"days", NC_DOUBLE, {1, 2}},
         "days",
         "00:00:00",
         "1899-12-31",
         "1900-01-01",
         86400,
         1,
         1440},
        {{"hours", NC_DOUBLE, {0, 6}, {{"time_origin", "20040315"}}},
         "hours",
         "00:00:00",
         "00:00:00",
         "06:00:00",
         21600,
         1,
         360},
        // Base-date attributes: the variable's before the global ones; whole value, cut,
        // rebuilt.
        {{"hours", NC_DOUBLE, {0, 6}, {}, {{"base_date", "model run 2004-03-15 06:00:00 UTC"}}},
         "hours",
         "2004-03-15 06:00:00",
         "2004-03-15 06:00:00",
         "2004-03-15 12:00:00",
         21600,
         1,
         360},
        {{"hours", NC_DOUBLE, {0, 6}, {{"time_origin", "15-MAR-2004 06:00:00"}}},
         "hours",
         "2004-03-15 06:00:00",
         "2004-03-15 06:00:00",
         "2004-03-15 12:00:00",
         21600,
         1,
         360},
        {{"hours", NC_DOUBLE, {0, 6}, {{"base_date", "1920-02-20"}}},
         "hours",
         "1920-02-20",
         "1920-02-20",
         "1920-02-20 06:00:00",
         21600,
         1,
         360},
        {{"hours", NC_DOUBLE, {0, 6}, {}, {{"time_origin", "2004 3 15 6"}}},
         "hours",
         "2004-03-15 06:00:00",
         "2004-03-15 06:00:00",
         "2004-03-15 12:00:00",
         21600,
         1,
         360},
        {{"hours", NC_DOUBLE, {0, 6}, {}, {{"model_integration_date", "1999 12 31 18"}}},
         "hours",
         "1999-12-31 18:00:00",
         "1999-12-31 18:00:00",
         "2000-01-01",
         21600,
         1,
         360},
        {{"hours",
          NC_DOUBLE,
          {0, 6},
          {{"model_integration_date", "1990-01-01"}},
          {{"time_origin", "2004-01-01"}}},
         "hours",
         "1990-01-01",
         "1990-01-01",
         "1990-01-01 06:00:00",
         21600,
         1,
         360},
        {{"hours since BASE_DATE",
          NC_DOUBLE,
          {0, 6},
          {},
          {{"BASE_DATE", "20040315"}, {"BASE_TIME", "0630"}}},
         "hours",
         "2004-03-15 06:30:00",
         "2004-03-15 06:30:00",
         "2004-03-15 12:30:00",
         21600,
         1,
         360},
        // Float days above 1e6 gain 1.1574E-05 (a second once the text is made); doubles not.
        // (Without a calendar attribute the base date is Julian, as ncdump -t reads it.)
        {{"days since 0100-01-01", NC_FLOAT, {1000001, 1000003}},
         "days",
         "0100-01-01",
         "2837-11-27 00:00:01",
         "2837-11-29 00:00:01",
         172800,
         1,
         2880},
        {{"days since 0100-01-01", NC_DOUBLE, {1000001, 1000003}},
         "days",
         "0100-01-01",
         "2837-11-27",
         "2837-11-29",
         172800,
         1,
         2880},
        // A first step after the year 3000: shown 2000 years earlier, without seconds.
        {{"hours since 3001-01-01 00:00:30", NC_DOUBLE, {24, 30, 36}},
         "hours",
         "1001-01-02",
         " 1001- 1- 2 0: 0",
         " 1001- 1- 2 12: 0",
         21600,
         1,
         720},
        // The years 2000 earlier keep the Gregorian rules of the years they stand for.
        {{"days since 3100-02-28", NC_DOUBLE, {0, 1}},
         "days",
         "1100-02-28",
         " 1100- 2- 28 0: 0",
         " 1100- 3- 1 0: 0",
         86400,
         1,
         1440},
        // One step: no step length.
        {{"seconds since 2000-01-01", NC_INT, {5}},
         "seconds",
         "2000-01-01",
         "2000-01-01 00:00:05",
         "2000-01-01 00:00:05",
         999,
         1,
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.units);
        k.ErrorMessage = "before";
        ASSERT_EQ(setUp(c.file), 1) << k.ErrorMessage;
        const NcfRec& r = k.ncf(1);
        EXPECT_EQ(k.ErrorMessage, "before");
        EXPECT_EQ(r.timeUnit, c.unit);
        const Calendar cal = r.calendar;
        EXPECT_EQ(CalendarDateText(cal, r.EpochDate), c.epoch);
        EXPECT_EQ(r.StartTime, c.start);
        EXPECT_EQ(r.endTime, c.end);
        EXPECT_EQ(r.dTimeSec, c.dTimeSec);
        EXPECT_EQ(r.Dated, c.dated);
        const Long n = r.nTime;
        if (c.dated == 1) {
            EXPECT_EQ(r.startDate, CalendarCDate(cal, c.start));
            EXPECT_EQ(r.endDate, CalendarCDate(cal, c.end));
            EXPECT_EQ(r.endTimeMin - r.StartTimeMin, c.spanMin);
            // The labels of the first and last step name the same dates, in Orv minutes too.
            EXPECT_EQ(CalendarCDate(cal, k.GetDate(1, 1)), CalendarCDate(cal, c.start));
            EXPECT_EQ(CalendarCDate(cal, k.GetDate(1, n)), CalendarCDate(cal, c.end));
            EXPECT_EQ(k.GetOrvMin(1, 1), r.StartTimeMin);
            EXPECT_EQ(k.GetOrvMin(1, n), r.endTimeMin);
        } else {
            EXPECT_EQ(r.startDate, Date());
            EXPECT_EQ(r.endDate, Date());
            EXPECT_EQ(r.StartTimeMin, 777);
            EXPECT_EQ(r.endTimeMin, 888);
            EXPECT_EQ(k.GetDate(1, 1), c.start);
            EXPECT_EQ(k.GetDate(1, n), c.end);
            EXPECT_EQ(k.GetOrvMin(1, 1), 0);
        }
        EXPECT_GE(r.ncid, 0); // CloseAfterRead 0 leaves it open
    }
}

TEST_F(TimeAxisTest, CalendarAxesAreLabelledWithTheDatesCfReadersGive) {
    // The labels are the dates that ncdump -t prints for the same files, written as the
    // program writes dates; where ncdump differs, the note says whose dates they are.
    auto calendar = [](const char* name) { return TextAtts{{"calendar", name}}; };
    struct Case {
        TimeFile file;
        std::vector<const char*> labels;
    };
    const Case cases[] = {
        // Year-0 climatologies: the year as written.
        {{"days since 0000-01-01",
          NC_DOUBLE,
          {15.5, 45, 74.5, 105, 135.5, 166, 196.5, 227.5, 258, 288.5, 319, 349.5},
          calendar("noleap")},
         {"0000-01-16 12:00:00", "0000-02-15", "0000-03-16 12:00:00", "0000-04-16",
          "0000-05-16 12:00:00", "0000-06-16", "0000-07-16 12:00:00", "0000-08-16 12:00:00",
          "0000-09-16", "0000-10-16 12:00:00", "0000-11-16", "0000-12-16 12:00:00"}},
        {{"days since 0000-01-01",
          NC_FLOAT,
          {15, 45, 75, 105, 135, 165, 195, 225, 255, 285, 315, 345},
          calendar("360_day")},
         {"0000-01-16", "0000-02-16", "0000-03-16", "0000-04-16", "0000-05-16", "0000-06-16",
          "0000-07-16", "0000-08-16", "0000-09-16", "0000-10-16", "0000-11-16", "0000-12-16"}},
        {{"days since 0000-01-01", NC_DOUBLE, {15.5, 45, 74.5}},
         {"0000-01-16 12:00:00", "0000-02-15", "0000-03-15 12:00:00"}}, // year 0 is leap
        {{"days since 0001-01-01 00:00:00", NC_DOUBLE, {0, 1, 59}},
         {"0001-01-01", "0001-01-02", "0001-03-01"}},
        {{"days since 0001-01-01 00:00:00", NC_DOUBLE, {730119, 730120}},
         {"1999-12-30", "1999-12-31"}},
        {{"days since 1-1-1", NC_DOUBLE, {0, 59}, calendar("360_day")},
         {"0001-01-01", "0001-02-30"}},
        {{"days since 1-1-1", NC_DOUBLE, {719999, 720000}, calendar("360_day")},
         {"2000-12-30", "2001-01-01"}},
        {{"days since 0000-01-01", NC_DOUBLE, {-366, -365, -1}, calendar("noleap")},
         {"-0002-12-31", "-0001-01-01", "-0001-12-31"}},
        // 360_day across the end of February.
        {{"days since 2000-02-27", NC_DOUBLE, {0, 1, 2, 3, 4}, calendar("360_day")},
         {"2000-02-27", "2000-02-28", "2000-02-29", "2000-02-30", "2000-03-01"}},
        {{"minutes since 2000-02-29 23:00", NC_INT, {0, 60, 1500}, calendar("360_day")},
         {"2000-02-29 23:00:00", "2000-02-30", "2000-03-01"}},
        {{"hours since 2000-02-30 00:00:00", NC_DOUBLE, {0, 12, 24}, calendar("360_day")},
         {"2000-02-30", "2000-02-30 12:00:00", "2000-03-01"}},
        // noleap over a leap year; all_leap over a common one.
        {{"days since 2004-02-27", NC_DOUBLE, {0, 1, 2, 3}, calendar("noleap")},
         {"2004-02-27", "2004-02-28", "2004-03-01", "2004-03-02"}},
        {{"days since 2004-01-01", NC_SHORT, {0, 365, 366}, calendar("365_day")},
         {"2004-01-01", "2005-01-01", "2005-01-02"}},
        {{"days since 2001-02-28", NC_DOUBLE, {0, 1, 2}, calendar("all_leap")},
         {"2001-02-28", "2001-02-29", "2001-03-01"}},
        {{"days since 2001-02-28", NC_DOUBLE, {0, 1, 366}, calendar("366_day")},
         {"2001-02-28", "2001-02-29", "2002-02-28"}},
        // julian, and the mixed standard calendar around the reform.
        {{"days since 1900-01-01", NC_DOUBLE, {0, 58, 59}, calendar("julian")},
         {"1900-01-01", "1900-02-28", "1900-02-29"}},
        {{"seconds since 1900-02-28", NC_DOUBLE, {0, 86400}, calendar("Julian")},
         {"1900-02-28", "1900-02-29"}},
        // (ncdump -t prints 1582-10-05 for the day after 10-04; it is 10-15, as cftime has it.)
        {{"days since 1582-10-01", NC_DOUBLE, {0, 3, 4, 5, 10}, calendar("standard")},
         {"1582-10-01", "1582-10-04", "1582-10-15", "1582-10-16", "1582-10-21"}},
        {{"days since 1582-10-01", NC_DOUBLE, {0, 20}}, {"1582-10-01", "1582-10-31"}},
        {{"days since 1500-01-01", NC_DOUBLE, {0, 4, 36500}, calendar("gregorian")},
         {"1500-01-01", "1500-01-05", "1599-12-17"}},
        {{"days since 1582-10-01", NC_DOUBLE, {0, 4, 20}, calendar("proleptic_gregorian")},
         {"1582-10-01", "1582-10-05", "1582-10-21"}},
        // An int64 time as xarray writes it.
        {{"hours since 1970-01-01", NC_INT64, {438288, 438294, 438312}, {}, {}, NcFormat::Netcdf4},
         {"2020-01-01", "2020-01-01 06:00:00", "2020-01-02"}},
        // Zone offsets, as udunits applies them (ncdump -t leaves them out): the base time
        // is local time at the offset. Right after a date an offset is read as the time.
        {{"hours since 2000-01-01 00:00:00 +05:00", NC_DOUBLE, {0, 5, 6}},
         {"1999-12-31 19:00:00", "2000-01-01", "2000-01-01 01:00:00"}},
        {{"hours since 2000-01-01T00:00:00+0530", NC_DOUBLE, {0, 6}},
         {"1999-12-31 18:30:00", "2000-01-01 00:30:00"}},
        {{"hours since 2000-01-01 00:00:00 -3", NC_FLOAT, {0, 1}},
         {"2000-01-01 03:00:00", "2000-01-01 04:00:00"}},
        {{"hours since 2000-01-01 +05:00", NC_DOUBLE, {0, 1}},
         {"2000-01-01 05:00:00", "2000-01-01 06:00:00"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.units + (c.file.varAtts.empty() ? "" : " " + c.file.varAtts[0].second));
        ASSERT_EQ(setUp(c.file), 1) << k.ErrorMessage;
        const NcfRec& r = k.ncf(1);
        const Long n = r.nTime;
        ASSERT_EQ(n, static_cast<Long>(c.labels.size()));
        EXPECT_EQ(r.Dated, 1);
        EXPECT_EQ(r.StartTime, c.labels.front());
        EXPECT_EQ(r.endTime, c.labels.back());
        EXPECT_EQ(r.endTimeMin, k.GetOrvMin(1, n));
        const std::string key = UCase(Left(r.timeUnit, 3));
        const double perUnit = key == "DAY"   ? 1440
                               : key == "HOU" ? 60
                               : key == "MIN" ? 1
                                              : 1 / 60.0;
        VArray<Long> filled;
        ASSERT_EQ(k.doFill_OrvTime(1, filled), n);
        for (Long i = 1; i <= n; ++i) {
            const char* label = c.labels[static_cast<std::size_t>(i - 1)];
            SCOPED_TRACE(label);
            EXPECT_EQ(k.GetDate(1, i), label);
            // The minutes follow the file's values step for step, so they grow where they do.
            const Long m = k.GetOrvMin(1, i);
            EXPECT_EQ(m - r.StartTimeMin, std::llround((r.timeArr(i) - r.timeArr(1)) * perUnit));
            EXPECT_EQ(filled(i), m);
            // A label, as a date or as a text, finds its own step.
            EXPECT_EQ(k.GetTstep(1, CalendarCDate(r.calendar, label)), i);
            Long nt1 = 0, nt2 = 0;
            float tw1 = 0, tw2 = 0;
            EXPECT_EQ(k.GetTimePt(1, Variant(std::string(label)), nt1, nt2, tw1, tw2), 1);
            EXPECT_EQ(nt1, i);
            EXPECT_EQ(nt2, i);
        }
    }
}

TEST_F(TimeAxisTest, StartMinutesAreThoseOfTheFirstStep) {
    ASSERT_EQ(setUp({"hours since 1990-01-01 00:00:00", NC_DOUBLE, {6, 12}}), 1);
    EXPECT_EQ(k.ncf(1).StartTimeMin, 32874 * 1440 + 360); // 1990-01-01 is day 32874
    EXPECT_EQ(k.ncf(1).endTimeMin, 32874 * 1440 + 720);
}

TEST_F(TimeAxisTest, TheCacheHoldsTheValuesOfTheSlot) {
    struct Case {
        TimeFile file;
        std::vector<double> cache;
    };
    const Case cases[] = {
        {{"hours since 1990-01-01", NC_SHORT, {0, 6, 12}}, {0, 6, 12}},
        {{"hours since 1990-01-01", NC_INT, {-5, 70000}}, {-5, 70000}},
        {{"hours since 1990-01-01", NC_FLOAT, {0.25, 0.5}}, {0.25, 0.5}},
        {{"days since 0100-01-01", NC_FLOAT, {1000001, 1000003}},
         {1000001 + 1.1574E-05, 1000003 + 1.1574E-05}},
        {{"days since 0100-01-01", NC_DOUBLE, {1000001, 1000003}}, {1000001, 1000003}},
        {{"hours since 3001-01-01", NC_DOUBLE, {24, 30, 36}}, {0, 6, 12}},
        {{"months", NC_DOUBLE, {1, 2}}, {1, 2}},
        // The integers of netCDF-4 files (xarray writes int64 hours) are read as doubles.
        {{"hours since 1970-01-01", NC_INT64, {438288, 438294}, {}, {}, NcFormat::Netcdf4},
         {438288, 438294}},
        {{"seconds since 1970-01-01", NC_UINT64, {0, 2e9, 4e9}, {}, {}, NcFormat::Netcdf4},
         {0, 2e9, 4e9}},
        {{"seconds since 1970-01-01", NC_UINT, {0, 2e9, 4e9}, {}, {}, NcFormat::Netcdf4},
         {0, 2e9, 4e9}},
        {{"hours since 2000-01-01", NC_USHORT, {0, 65534}, {}, {}, NcFormat::Netcdf4}, {0, 65534}},
        {{"days since 2000-01-01", NC_UBYTE, {1, 254}, {}, {}, NcFormat::Netcdf4}, {1, 254}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.units);
        ASSERT_EQ(setUp(c.file), 1) << k.ErrorMessage;
        const VArray<double>& t = k.ncf(1).timeArr;
        ASSERT_EQ(t.LBound(), 1);
        ASSERT_EQ(t.UBound(), static_cast<Long>(c.cache.size()));
        for (Long i = 1; i <= t.UBound(); ++i)
            EXPECT_DOUBLE_EQ(t(i), c.cache[static_cast<std::size_t>(i - 1)]) << i;
    }
}

TEST_F(TimeAxisTest, ScratchSlotReadsOnlyTheFirstAndLastValueAndClosesAfterRead) {
    k.CloseAfterRead = 1;
    ASSERT_EQ(setUp({"hours since 2000-01-01", NC_FLOAT, {0, 1, 2, 3, 4}}, 0), 1);
    const NcfRec& r = k.ncf(0);
    ASSERT_EQ(r.timeArr.UBound(), 2);
    EXPECT_EQ(r.timeArr(1), 0);
    EXPECT_EQ(r.timeArr(2), 4);
    EXPECT_EQ(r.StartTime, "2000-01-01");
    EXPECT_EQ(r.endTime, "2000-01-01 04:00:00");
    EXPECT_EQ(r.dTimeSec, 3600);
    EXPECT_EQ(r.ncid, -1);

    // One step: one read.
    ASSERT_EQ(setUp({"hours since 2000-01-01", NC_INT, {7}}, 0), 1);
    EXPECT_EQ(k.ncf(0).endTime, "2000-01-01 07:00:00");
}

TEST_F(TimeAxisTest, ClosedDatasetIsReopenedByName) {
    const std::string path =
        writeTimeFile(dir, "re.nc", {"hours since 2000-01-01", NC_DOUBLE, {0, 1}});
    readTimeSlot(k, path, 1);
    k.CloseSlot(1);
    EXPECT_EQ(CLng(k.SetTimeExtent(1)), 1);
    EXPECT_EQ(k.ncf(1).endTime, "2000-01-01 01:00:00");
    EXPECT_GE(k.ncf(1).ncid, 0);
}

TEST_F(TimeAxisTest, FailuresGiveTheirMessagesAndLeaveTheRestAsItWas) {
    // Time size 0: nothing touched, the cache included.
    {
        ASSERT_EQ(setUp({"hours since 2000-01-01", NC_DOUBLE, {3, 4}}), 1);
        k.ncf(1).nTime = 0;
        EXPECT_EQ(CLng(k.SetTimeExtent(1)), -1);
        EXPECT_EQ(k.ErrorMessage, "[SetTimeExtent2] Time size is 0");
        EXPECT_EQ(k.ncf(1).timeArr.UBound(), 2);
        EXPECT_EQ(k.ncf(1).timeArr(2), 4);
    }
    // An unexpected type: byte. The dataset stays open.
    {
        EXPECT_EQ(setUp({"hours since 2000-01-01", NC_BYTE, {1, 2}}), -1);
        EXPECT_EQ(k.ErrorMessage, "Variable-Type of time coodrinate not expected:\r\n"
                                  "Variable Name = time\nTyep Number =  1");
        EXPECT_GE(k.ncf(1).ncid, 0);
    }
    // No unit key: the cache and the unit word are set, the start and end are not.
    struct NoUnit {
        const char* units;
        const char* word;
    };
    for (const NoUnit c :
         {NoUnit{"d", "d"}, NoUnit{"", ""}, NoUnit{"furlongs since 2000-01-01", "furlongs"}}) {
        SCOPED_TRACE(c.units);
        ASSERT_EQ(setUp({"seasons", NC_DOUBLE, {1.5, 2}}), 1);
        EXPECT_EQ(setUp({c.units, NC_DOUBLE, {5, 6}}), -1);
        EXPECT_EQ(k.ErrorMessage, std::string("Time has no unit:\r\n") + c.units);
        EXPECT_EQ(k.ncf(1).timeArr(2), 6);
        EXPECT_EQ(k.ncf(1).timeUnit, c.word);
        EXPECT_EQ(k.ncf(1).StartTime, "Season 1.5"); // the earlier axis's, untouched
        EXPECT_GE(k.ncf(1).ncid, 0);
    }
}

TEST_F(TimeAxisTest, NetcdfFailuresCloseTheDataset) {
    // A header that promises more steps than the file holds: the read stays within the
    // recorded size and fails instead of running past the cache.
    const std::string path =
        writeTimeFile(dir, "short.nc", {"hours since 2000-01-01", NC_FLOAT, {0, 1, 2}});
    readTimeSlot(k, path, 1);
    k.ncf(1).nTime = 5;
    EXPECT_EQ(CLng(k.SetTimeExtent(1)), -1);
    EXPECT_EQ(k.ErrorMessage,
              "[SetTimeExtent] NetCDF Error: NetCDF: Start+count exceeds dimension bound");
    EXPECT_EQ(k.ncf(1).ncid, -1);

    // A file gone since its header was read.
    k.CloseSlot(1);
    k.ncf(1).nTime = 3;
    std::filesystem::remove(path);
    EXPECT_EQ(CLng(k.SetTimeExtent(1)), -1);
    EXPECT_EQ(k.ErrorMessage, "[SetTimeExtent] NetCDF Error: No such file or directory");
    EXPECT_EQ(k.ncf(1).ncid, -1);
}

TEST_F(TimeAxisTest, RuntimeErrorsAreCaughtAndReported) {
    const std::string subscript =
        "[SetTimeExtent] Error message (number 9)is:\r\n\"Subscript out of range\"";
    ASSERT_EQ(setUp({"hours since 2000-01-01", NC_DOUBLE, {0, 1}}), 1);
    k.ncf(1).time_vId = 5;
    EXPECT_EQ(CLng(k.SetTimeExtent(1)), -1);
    EXPECT_EQ(k.ErrorMessage, subscript);
    EXPECT_EQ(CLng(k.SetTimeExtent(7)), -1);
    EXPECT_EQ(k.ErrorMessage, subscript);
    // A step whose date lies beyond the calendar: the axis cannot be dated, and says so.
    EXPECT_EQ(setUp({"days since 2000-01-01", NC_DOUBLE, {0, 1e7}}), -1);
    EXPECT_EQ(k.ErrorMessage, "Time cannot be dated:\r\ndays since 2000-01-01");
    EXPECT_EQ(k.ncf(1).Dated, 0);
    EXPECT_EQ(k.ncf(1).StartTime, "");
    EXPECT_EQ(k.GetDate(1, 1), "");
}

TEST_F(TimeAxisTest, TimesWrittenAsTheirDatesAreDatedAsCdoDatesThem) {
    // CDO and ICON write "day as %Y%m%d.%f": the whole number is the date, the fraction the
    // part of the day (the dates of cdo showtimestamp). The axis is held in days from the
    // first step's midnight.
    const DatedAxis cases[] = {
        {"day as %Y%m%d.%f",
         "proleptic_gregorian",
         {20981118.25, 20981118.5, 20981130.75, 20981201},
         {"2098-11-18 06:00:00", "2098-11-18 12:00:00", "2098-11-30 18:00:00", "2098-12-01"}},
        {"day as %Y%m%d.%f",
         "360_day",
         {20000229, 20000230.5, 20000301},
         {"2000-02-29", "2000-02-30 12:00:00", "2000-03-01"}},
        {"day as %Y%m%d", "standard", {19991231, 20000101}, {"1999-12-31", "2000-01-01"}},
        {"hour as %Y%m%d%H.%f",
         "standard",
         {2000010106.5, 2000010123},
         {"2000-01-01 06:30:00", "2000-01-01 23:00:00"}},
        {"second as %Y%m%d%H%M%S",
         "standard",
         {20200229235930, 20200301000000},
         {"2020-02-29 23:59:30", "2020-03-01"}},
        // A month has no length to take a fraction of: CDO passes it over.
        {"month as %Y%m.%f", "noleap", {200001, 200002.5}, {"2000-01-01", "2000-02-01"}},
    };
    for (const auto& c : cases)
        expectDatesInDays(c);
    // Six hours a step.
    ASSERT_EQ(setUp({"day as %Y%m%d.%f", NC_DOUBLE, {20981118.25, 20981118.5, 20981118.75}}), 1);
    EXPECT_EQ(k.ncf(1).dTimeSec, 21600);
    // A value that names no date (month 13) is a step without a time; the others keep theirs.
    ASSERT_EQ(setUp({"day as %Y%m%d.%f", NC_DOUBLE, {20001301, 20000102, 20000103}}), 1);
    EXPECT_EQ(k.ncf(1).StartTime, "2000-01-02");
    EXPECT_EQ(k.GetDate(1, 1), "");
    EXPECT_EQ(k.GetDate(1, 3), "2000-01-03");
    // A format that is not read leaves the axis without dates, and says so.
    for (const char* units : {"day as %j", "day as %Y-%m-%d", "day as %Y%d%m"}) {
        SCOPED_TRACE(units);
        EXPECT_EQ(setUp({units, NC_DOUBLE, {32, 33}}), -1);
        EXPECT_EQ(k.ErrorMessage, std::string("Time cannot be dated:\r\n") + units);
        EXPECT_EQ(k.ncf(1).Dated, 0);
        EXPECT_EQ(k.ncf(1).StartTime, "");
        EXPECT_EQ(k.GetDate(1, 1), "");
    }
    // The scratch slot's first and last value give the range.
    std::string start, end;
    const std::string path = writeTimeFile(
        dir, "range.nc", {"day as %Y%m%d.%f", NC_DOUBLE, {20981118.25, 20981119, 20981120.5}});
    ASSERT_EQ(k.StartEndDate(path, start, end), 1) << k.ErrorMessage;
    EXPECT_EQ(start, "2098-11-18 06:00:00");
    EXPECT_EQ(end, "2098-11-20 12:00:00");
}

TEST_F(TimeAxisTest, WeeksAndTheMonthsAndYearsOfModelCalendarsAreDated) {
    // The dates of ncdump -t and cftime: weeks in every calendar; months and years in the
    // calendars whose years are all alike (30-day months of 360_day as cftime counts them,
    // calendar months of noleap, years of 360 and 365 days). The axis is held in days.
    const DatedAxis cases[] = {
        {"months since 2000-01-01",
         "360_day",
         {0, 1, 1.5, 13, 25},
         {"2000-01-01", "2000-02-01", "2000-02-16", "2001-02-01", "2002-02-01"}},
        {"months since 2000-01-01",
         "noleap",
         {0, 1, 2, 13},
         {"2000-01-01", "2000-02-01", "2000-03-01", "2001-02-01"}},
        {"months since 2000-01-01", "365_day", {1, 14}, {"2000-02-01", "2001-03-01"}},
        {"years since 2000-01-01",
         "360_day",
         {0, 1, 1.5, 13},
         {"2000-01-01", "2001-01-01", "2001-07-01", "2013-01-01"}},
        {"years since 2000-01-01",
         "noleap",
         {1, 1.5, 13},
         {"2001-01-01", "2001-07-02 12:00:00", "2013-01-01"}},
        {"weeks since 2000-01-01",
         "standard",
         {0, 1, 1.5, 13, 25},
         {"2000-01-01", "2000-01-08", "2000-01-11 12:00:00", "2000-04-01", "2000-06-24"}},
        {"weeks since 2000-01-01 06:00",
         "360_day",
         {0, 25},
         {"2000-01-01 06:00:00", "2000-06-26 06:00:00"}},
    };
    for (const auto& c : cases)
        expectDatesInDays(c);
    // 30-day months step by 30 days.
    ASSERT_EQ(setUp({"months since 2000-01-01", NC_INT, {0, 1, 2}, {{"calendar", "360_day"}}}), 1);
    EXPECT_EQ(k.ncf(1).dTimeSec, 30 * 86400);
    // Months of the real-world calendars keep their meaning: steps of a climatology.
    ASSERT_EQ(setUp({"months since 2000-01-01", NC_INT, {0, 1}, {{"calendar", "standard"}}}), 1);
    EXPECT_EQ(k.ncf(1).Dated, 0);
    EXPECT_EQ(k.ncf(1).StartTime, "Month 0");
}

TEST_F(TimeAxisTest, AStepHoldingTheFillIsLeftUndatedAndTheRestDated) {
    // The last record of a file still being written holds the default fill; an integer axis
    // gives its own fill.
    NcBuilder nc(dir.file("filled.nc"));
    nc.unlimitedDim("time", 4);
    nc.var("time", NC_DOUBLE, {"time"})
        .att("units", "hours since 1990-01-01")
        .values({0.0, 6.0, 12.0, NC_FILL_DOUBLE});
    readTimeSlot(k, nc.write(), 1);
    ASSERT_EQ(CLng(k.SetTimeExtent(1)), 1) << k.ErrorMessage;
    const NcfRec& r = k.ncf(1);
    EXPECT_EQ(r.Dated, 1);
    EXPECT_EQ(r.StartTime, "1990-01-01");
    EXPECT_EQ(r.endTime, "1990-01-01 12:00:00");
    EXPECT_EQ(r.dTimeSec, 21600);
    EXPECT_TRUE(std::isnan(r.timeArr(4)));
    EXPECT_EQ(k.GetDate(1, 3), "1990-01-01 12:00:00");
    EXPECT_EQ(k.GetDate(1, 4), "");
    EXPECT_EQ(k.GetOrvMin(1, 4), 0);
    EXPECT_EQ(k.GetTstep(1, at("1990-01-01 12:00")), 3);
    EXPECT_EQ(k.GetTstep(1, at("1990-01-01 05:00")), 2);
    VArray<Long> minutes;
    ASSERT_EQ(k.doFill_OrvTime(1, minutes), 4);
    EXPECT_EQ(minutes(3) - minutes(1), 720);
    EXPECT_EQ(minutes(4), 0);

    NcBuilder gap(dir.file("gap.nc"));
    gap.dim("time", 4);
    gap.var("time", NC_INT, {"time"})
        .att("units", "days since 2000-01-01")
        .att("_FillValue", NC_INT, -1)
        .values({-1, 1, -1, 3});
    Kelvad k2;
    readTimeSlot(k2, gap.write(), 1);
    ASSERT_EQ(CLng(k2.SetTimeExtent(1)), 1) << k2.ErrorMessage;
    const NcfRec& g = k2.ncf(1);
    EXPECT_EQ(g.StartTime, "2000-01-02");
    EXPECT_EQ(g.endTime, "2000-01-04");
    EXPECT_EQ(g.dTimeSec, 86400);
    EXPECT_EQ(k2.GetDate(1, 1), "");
    EXPECT_EQ(k2.GetDate(1, 2), "2000-01-02");
    EXPECT_EQ(k2.GetTstep(1, at("2000-01-03 06:00")), 4);
    EXPECT_EQ(k2.GetTstep(1, at("2000-01-02")), 2);

    // An axis of fills alone has no dates, and no failure.
    NcBuilder none(dir.file("none.nc"));
    none.dim("time", 2);
    none.var("time", NC_DOUBLE, {"time"})
        .att("units", "hours since 1990-01-01")
        .values({NC_FILL_DOUBLE, NC_FILL_DOUBLE});
    Kelvad k3;
    readTimeSlot(k3, none.write(), 1);
    ASSERT_EQ(CLng(k3.SetTimeExtent(1)), 1) << k3.ErrorMessage;
    EXPECT_EQ(k3.ncf(1).Dated, 0);
    EXPECT_EQ(k3.ncf(1).StartTime, "");
}
