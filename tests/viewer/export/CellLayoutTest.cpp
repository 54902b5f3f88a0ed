// The cell-layout file: read back with netCDF-C (dimensions, variables, attributes with their
// types and values, cells, items read through the subset in their own dimension order), its
// time axis in minutes since 2000-01-01 from days, hours, seconds and model calendars, the
// refusals leaving the target as it was, the file loaded again by the dataset library, and
// the save command's route to it (the alias question, append refused, overwrite).
#include "tests/viewer/export/ExportFixture.h"

#include "kelvadlib/IKelvad.h"
#include "viewer/export/CreateOrvNc.h"
#include "viewer/export/RecastTime.h"
#include "viewer/export/SaveFlow.h"
#include "viewer/export/SubsetWindow.h"

#include <memory>

namespace {

using Strings = std::vector<std::string>;

constexpr float kFill = -999.0f;

// cells.nc: 4 steps, 2 depths, latitudes 10..12, longitudes 120..123. water_u and water_v
// (cm/s) over (time, depth, lat, lon) hold +-U with holes of their own; wind_u and wind_v (m/s)
// lie over (time, lon, lat); water_temp has a hole at the last point of every level.
float U(int t, int z, int y, int x) {
    return static_cast<float>(t * 1000 + z * 100 + y * 10 + x);
}
bool uHole(int t, int y, int x) {
    return (t + y + x) % 5 == 0;
}
bool vHole(int t, int y, int x) {
    return (t + y + x) % 7 == 3;
}
float W(int t, int x, int y) {
    return static_cast<float>(t * 100 + x * 10 + y) + 0.25f;
}
float T(int t, int z, int y, int x) {
    return 15.0f + static_cast<float>(t) + 0.5f * static_cast<float>(z) +
           0.125f * static_cast<float>(y * 4 + x);
}
bool tHole(int y, int x) {
    return y == 2 && x == 3;
}

std::string CellFixture(const std::string& path,
                        const std::string& units = "hours since 2001-02-27 18:00:00",
                        const std::string& calendar = "",
                        const std::vector<double>& times = {0, 6, 12, 18}) {
    NcBuilder nc(path);
    nc.unlimitedDim("time", times.size());
    nc.dim("depth", 2);
    nc.dim("lat", 3);
    nc.dim("lon", 4);
    auto& time = nc.var("time", NC_DOUBLE, {"time"});
    time.att("units", units);
    if (!calendar.empty()) time.att("calendar", calendar);
    time.values(times);
    nc.var("depth", NC_FLOAT, {"depth"}).att("units", "m").values({0.0, 10.0});
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({10.0, 11.0, 12.0});
    nc.var("lon", NC_FLOAT, {"lon"})
        .att("units", "degrees_east")
        .values({120.0, 121.0, 122.0, 123.0});
    const int nt = static_cast<int>(times.size());
    std::vector<double> u, v, temp, wu, wv;
    for (int t = 0; t < nt; ++t) {
        for (int z = 0; z < 2; ++z)
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 4; ++x) {
                    u.push_back(uHole(t, y, x) ? kFill : U(t, z, y, x));
                    v.push_back(vHole(t, y, x) ? kFill : -U(t, z, y, x));
                    temp.push_back(tHole(y, x) ? kFill : T(t, z, y, x));
                }
        for (int x = 0; x < 4; ++x)
            for (int y = 0; y < 3; ++y) {
                wu.push_back(W(t, x, y));
                wv.push_back(W(t, x, y) + 0.5f);
            }
    }
    for (const char* name : {"water_u", "water_v"})
        nc.var(name, NC_FLOAT, {"time", "depth", "lat", "lon"})
            .att("units", "cm/s")
            .att("_FillValue", kFill)
            .values(name[6] == 'u' ? u : v);
    nc.var("wind_u", NC_FLOAT, {"time", "lon", "lat"}).att("units", "m/s").values(wu);
    nc.var("wind_v", NC_FLOAT, {"time", "lon", "lat"}).att("units", "m/s").values(wv);
    nc.var("water_temp", NC_FLOAT, {"time", "depth", "lat", "lon"})
        .att("units", "degC")
        .att("_FillValue", kFill)
        .values(temp);
    nc.globalAtt("title", "cell source");
    nc.globalAtt("version", NC_BYTE, 3);
    return nc.write();
}

class CellLayoutTest : public ExportFixture {
protected:
    std::string src;

    void loadCells(const std::string& units = "hours since 2001-02-27 18:00:00",
                   const std::string& calendar = "",
                   const std::vector<double>& times = {0, 6, 12, 18}) {
        src = CellFixture(dir.file("cells.nc"), units, calendar, times);
        load(src);
    }

    // The items the library recognised.
    static OrvItems items() {
        IKelvad& nc = *Data.clsNC;
        return {nc.waterUvId(1), nc.waterVvId(1), nc.windUvId(1), nc.windVvId(1),
                nc.waterTempvId(1)};
    }

    // Describes the picks with the rows as typed and writes path.
    Long save(const std::string& path) {
        SubsetDescription sd;
        EXPECT_EQ(SubSetNcDomain(sd), 1) << testing::PrintToString(messages());
        return CreateOrvNc(path, sd, items());
    }

    // The first pick water_temp, the rows of the example: steps 2 to 4, the second level,
    // latitudes 1 and 3, longitudes 2 to 4.
    void exampleRows() {
        pick({"water_temp"});
        row(1, 2, 4, 1);
        row(2, 2, 2, 1);
        row(3, 1, 3, 2);
        row(4, 2, 4, 1);
    }
};

TEST_F(CellLayoutTest, TheFileHoldsTheItemsOnTheCellsOfTheCut) {
    loadCells();
    exampleRows();
    const std::string out = dir.file("out.nc");
    ASSERT_EQ(save(out), 1);
    EXPECT_EQ(messages(), Strings{});
    EXPECT_EQ(folderNames(dir.path()), (Strings{"Pelorin.ini", "cells.nc", "out.nc"}));

    NcRead r(out);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.format(), NC_FORMAT_CLASSIC);
    EXPECT_EQ(r.dims(), (Strings{"ncells=6", "time*=3"}));
    EXPECT_EQ(r.vars(),
              (Strings{"ncells(4:ncells)", "time(4:time)", "lon(5:ncells)", "lat(5:ncells)",
                       "U(5:time,ncells)", "V(5:time,ncells)", "wind_u(5:time,ncells)",
                       "wind_v(5:time,ncells)", "water_temp(5:time,ncells)"}));

    // Attributes: all text, the missing value too.
    const std::vector<std::pair<std::string, Strings>> atts = {
        {"ncells", {}},
        {"time", {"units=minutes since 2000-01-01 00:00", "reference=UTC"}},
        {"lon", {"long_name=Cell longitude", "units=degrees_east"}},
        {"lat", {"long_name=Cell latitude", "units=degrees_north"}},
        {"U", {"long_name=eastward water velocity", "units=meter/sec", "missing_value=-99999.0"}},
        {"V", {"long_name=northward water velocity", "units=meter/sec", "missing_value=-99999.0"}},
        {"wind_u",
         {"long_name=eastward wind velocity", "units=meter/sec", "missing_value=-99999.0",
          "direction=blow toward"}},
        {"wind_v",
         {"long_name=northward wind velocity", "units=meter/sec", "missing_value=-99999.0",
          "direction=blow toward"}},
        {"water_temp",
         {"long_name=surface water temperature", "units=degC", "missing_value=-99999.0"}},
    };
    for (const auto& [var, want] : atts) {
        SCOPED_TRACE(var);
        Strings got;
        for (const std::string& a : r.attNames(var)) {
            EXPECT_EQ(r.attType(var, a), NC_CHAR) << a;
            got.push_back(a + "=" + r.attText(var, a));
        }
        EXPECT_EQ(got, want);
    }
    // Globals: the comment, the source's own as they were, the origin, the cut of the pick.
    EXPECT_EQ(r.attNames(""), (Strings{"Orv_Comment", "title", "version", "origin1", "time",
                                       "depth", "lat", "lon"}));
    EXPECT_EQ(r.attText("", "Orv_Comment"),
              "Original global attributes are copied and may not reflect actual contents");
    EXPECT_EQ(r.attType("", "version"), NC_BYTE);
    EXPECT_EQ(r.attValues("", "version"), std::vector<double>{3});
    EXPECT_EQ(r.attText("", "origin1"), src);
    EXPECT_EQ(r.attText("", "time"), " 4 2 3 1");
    EXPECT_EQ(r.attText("", "depth"), " 2 2 1 1");
    EXPECT_EQ(r.attText("", "lat"), " 3 1 2 2");
    EXPECT_EQ(r.attText("", "lon"), " 4 2 3 1");

    // Cells: longitude fastest; "ncells" only its fill value.
    EXPECT_EQ(r.values("ncells"), std::vector<double>(6, NC_FILL_INT));
    EXPECT_EQ(r.values("lon"), (std::vector<double>{121, 122, 123, 121, 122, 123}));
    EXPECT_EQ(r.values("lat"), (std::vector<double>{10, 10, 10, 12, 12, 12}));
    // Steps 2 to 4: 2001-02-28 00:00, 06:00 and 12:00.
    EXPECT_EQ(r.values("time"), (std::vector<double>{610560, 610920, 611280}));

    // Values: source steps 2 to 4 at the second level, in cell order whatever the source's
    // order; a pair missing in either component is missing in both; cm/s become m/s.
    const int ys[2] = {0, 2}, xs[3] = {1, 2, 3};
    std::vector<double> wantU, wantV, wantWu, wantWv, wantT;
    for (int t = 1; t <= 3; ++t)
        for (int y : ys)
            for (int x : xs) {
                const bool hole = uHole(t, y, x) || vHole(t, y, x);
                wantU.push_back(hole ? -99999.0 : U(t, 1, y, x) * 0.01f);
                wantV.push_back(hole ? -99999.0 : -U(t, 1, y, x) * 0.01f);
                wantWu.push_back(W(t, x, y));
                wantWv.push_back(W(t, x, y) + 0.5f);
                wantT.push_back(tHole(y, x) ? -99999.0 : T(t, 1, y, x));
            }
    EXPECT_EQ(r.values("U"), wantU);
    EXPECT_EQ(r.values("V"), wantV);
    EXPECT_EQ(r.values("wind_u"), wantWu);
    EXPECT_EQ(r.values("wind_v"), wantWv);
    EXPECT_EQ(r.values("water_temp"), wantT);
    // The holes of the example show in both components.
    EXPECT_NE(std::count(wantU.begin(), wantU.end(), -99999.0), 0);
}

// Items only as the library recognised them; without a level row the map's level is taken.
TEST_F(CellLayoutTest, OnlyTheRecognisedItemsAreWritten) {
    loadCells();
    pick({"wind_u"}); // no level dimension: the map's level
    wholeRows();
    Data.CurLevel = 2;
    OrvItems only;
    only.windU = Data.clsNC->variNum("wind_u");
    only.windV = Data.clsNC->variNum("wind_v");
    only.waterU = Data.clsNC->variNum("water_u"); // half a pair is no item
    SubsetDescription sd;
    ASSERT_EQ(SubSetNcDomain(sd), 1);
    const std::string out = dir.file("wind.nc");
    ASSERT_EQ(CreateOrvNc(out, sd, only), 1);
    NcRead r(out);
    EXPECT_EQ(r.dims(), (Strings{"ncells=12", "time*=4"}));
    EXPECT_EQ(r.vars(),
              (Strings{"ncells(4:ncells)", "time(4:time)", "lon(5:ncells)", "lat(5:ncells)",
                       "wind_u(5:time,ncells)", "wind_v(5:time,ncells)"}));

    OrvItems temp;
    temp.temp = Data.clsNC->variNum("water_temp");
    ASSERT_EQ(CreateOrvNc(out, sd, temp), 1);
    NcRead t(out);
    EXPECT_EQ(t.vars().back(), "water_temp(5:time,ncells)");
    EXPECT_EQ(t.values("water_temp", {3, 0}, {1, 1}), std::vector<double>{T(3, 1, 0, 0)});
}

// The time axis in minutes since 2000-01-01, from the units and calendars a source may have;
// an axis the count cannot carry is refused before the file exists.
TEST_F(CellLayoutTest, TheTimeAxisIsInMinutesSince2000) {
    struct Case {
        const char* units;
        const char* calendar;
        std::vector<double> times;
        std::vector<double> minutes; // empty: refused
        std::string refusal;
    };
    const std::vector<Case> cases = {
        {"days since 1999-12-31", "", {0, 1, 1.5, 2}, {-1440, 0, 720, 1440}, ""},
        {"hours since 2000-01-02 06:00", "gregorian", {0, 6, 12, 18}, {1800, 2160, 2520, 2880}, ""},
        {"seconds since 2000-01-01", "", {120, 180, 3600, 86400}, {2, 3, 60, 1440}, ""},
        {"minutes since 2000-01-01 00:00",
         "proleptic_gregorian",
         {5, 10, 15, 20},
         {5, 10, 15, 20},
         ""},
        // 2001 has no 29 February: the noleap dates are the standard ones.
        {"days since 2001-02-27", "noleap", {0, 1, 2, 3}, {609120, 610560, 612000, 613440}, ""},
        {"days since 2004-02-27",
         "noleap",
         {0, 1, 2, 3},
         {},
         "[recasttime] The time axis cannot be written in minutes since 2000-01-01:\r\n\r\n"
         "its noleap calendar has dates that a count from its first step would not keep "
         "(step 3, 2004-03-01)."},
        {"days since 2000-02-28",
         "360_day",
         {0, 1, 2, 3},
         {},
         "[recasttime] The time axis cannot be written in minutes since 2000-01-01:\r\n\r\n"
         "its 360_day calendar has dates that a count from its first step would not keep "
         "(step 3, 2000-02-30)."},
        {"fortnights since 2000-01-01", "", {0, 1, 2, 3}, {}, "Unexpected time unit:\r\n\r\n"},
    };
    const std::string out = dir.file("out.nc");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.units + std::string(" ") + c.calendar);
        ReleaseKelvad();
        ui.boxes.clear();
        loadCells(c.units, c.calendar, c.times);
        pick({"water_temp"});
        wholeRows();
        row(2, 1, 1, 1); // one level
        writeFile("out.nc", "the old file");
        if (c.minutes.empty()) {
            EXPECT_EQ(save(out), -1);
            std::string want = c.refusal;
            if (want.rfind("Unexpected", 0) == 0) want += Data.clsNC->timeUnit(1);
            EXPECT_EQ(messages(), Strings{want});
            EXPECT_EQ(readFile(out), "the old file");
            EXPECT_EQ(folderNames(dir.path()), (Strings{"Pelorin.ini", "cells.nc", "out.nc"}));
        } else {
            ASSERT_EQ(save(out), 1) << testing::PrintToString(messages());
            EXPECT_EQ(messages(), Strings{});
            EXPECT_EQ(NcRead(out).values("time"), c.minutes);
        }
    }
}

// Seasonal and monthly axes start in January of the window's year; the window is placed on the
// axis by the bracketing rule.
TEST_F(CellLayoutTest, RecastingTablesAndTheWindowSearch) {
    ui.boxes.clear();
    SubsetWindowState win;
    win.Dated = true;
    win.SubsetStartYear = 2003;
    win.SubsetStartMin = 1578240; // 2003-01-01
    win.SubsetEndMin = 1622880;   // 2003-02-01
    TimeAxisSource months;
    months.unit = "months";
    months.time.ReDim(1, 4);
    RecastAxis axis;
    EXPECT_EQ(RecastTimes(months, win, axis), 1);
    ASSERT_EQ(axis.RecastMinutes.size(), 8u);
    EXPECT_EQ(axis.RecastMinutes(1), 1578240);
    EXPECT_EQ(axis.RecastMinutes(2), 1622880);
    EXPECT_EQ(axis.nt_start, 1);
    EXPECT_EQ(axis.nt_end, 2);

    TimeAxisSource seasons = months;
    seasons.unit = "seasons";
    EXPECT_EQ(RecastTimes(seasons, win, axis), 1);
    ASSERT_EQ(axis.RecastMinutes.size(), 8u);
    EXPECT_EQ(axis.RecastMinutes(2), 1707840);              // 2003-04-01
    EXPECT_EQ(axis.RecastMinutes(5), 1578240 + 365 * 1440); // 2004-01-01

    // A window before the table: said, and the axis still carried.
    win.SubsetStartMin = 1578239;
    EXPECT_EQ(RecastTimes(months, win, axis), -1);
    EXPECT_TRUE(axis.carried);
    EXPECT_EQ(messages(), Strings{"[recasttime:case 'month'] nt_start& = 0"});

    // Hourly from 2000-01-02 06:00: a start on an entry takes it, one before the first finds
    // nothing; an end at or past the last entry is the last step.
    TimeAxisSource hours;
    hours.unit = "hours";
    hours.start = Date(36527.25);
    hours.time.ReDim(1, 3);
    hours.time(2) = 6;
    hours.time(3) = 12;
    win.SubsetStartMin = 2160;
    win.SubsetEndMin = 9999;
    EXPECT_EQ(RecastTimes(hours, win, axis), 1);
    EXPECT_EQ((std::vector<Long>(axis.RecastMinutes.data(), axis.RecastMinutes.data() + 3)),
              (std::vector<Long>{1800, 2160, 2520}));
    EXPECT_EQ(axis.nt_start, 2);
    EXPECT_EQ(axis.nt_end, 3);
    win.SubsetStartMin = 1799;
    EXPECT_EQ(RecastTimes(hours, win, axis), -1);
    EXPECT_EQ(axis.nt_start, 0);
    EXPECT_EQ(messages().size(), 1u); // no message on a day, hour or minute axis

    // Without a window loaded a monthly axis runs from January 2000, all of it the window.
    ui.boxes.clear();
    EXPECT_EQ(RecastTimes(months, SubsetWindowState(), axis), 1);
    EXPECT_TRUE(axis.carried);
    EXPECT_EQ(axis.RecastMinutes(1), 0);
    EXPECT_EQ(axis.RecastMinutes(2), 31 * 1440);
    EXPECT_EQ(axis.nt_start, 1);
    EXPECT_EQ(axis.nt_end, 4);
    EXPECT_EQ(messages(), Strings{});
}

// The cells' positions are the source's: Mercator mode's radians do not come back changed by
// the program's degree factor.
TEST_F(CellLayoutTest, CellPositionsAreTheSourcesInMercatorMode) {
    loadCells();
    View.Projection = 1;
    for (VArray<float>* a : {&Data.lonV, &Data.latV})
        for (std::size_t n = 0; n < a->size(); ++n)
            a->data()[n] = static_cast<float>(a->data()[n] * kDegToRad);
    pick({"water_temp"});
    wholeRows();
    row(2, 1, 1, 1);
    row(4, 2, 4, 2); // longitudes 121 and 123
    const std::string out = dir.file("out.nc");
    ASSERT_EQ(save(out), 1) << testing::PrintToString(messages());
    View.Projection = 0;
    NcRead r(out);
    EXPECT_EQ(r.values("lon"), (std::vector<double>{121, 123, 121, 123, 121, 123}));
    EXPECT_EQ(r.values("lat"), (std::vector<double>{10, 10, 11, 11, 12, 12}));
}

// A monthly or seasonal dataset through the whole flow: saved in the cell layout with no window
// loaded, its window stored naming the steps saved, read back by "Subset from Ini", placed by
// the recasting on those steps, and saved again; no step refuses what another asked for.
TEST_F(CellLayoutTest, AMonthlyDatasetGoesThroughSubsetFromIniToTheCellLayout) {
    struct Case {
        const char* units;
        std::vector<Long> minutes; // of steps 2 and 3
        const char* start;
        const char* end;
    };
    const Case cases[] = {
        {"months", {31 * 1440, 60 * 1440}, " 2000 2 1 0 0", " 2000 3 1 0 0"},
        {"seasons", {91 * 1440, 182 * 1440}, " 2000 4 1 0 0", " 2000 7 1 0 0"},
    };
    const std::string out = dir.file("out.nc");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.units);
        ReleaseKelvad();
        SubsetWin.Reset();
        ui.boxes.clear();
        loadCells(c.units, "", {1, 2, 3, 4});
        pick({"water_temp"});
        wholeRows();
        row(1, 2, 3, 1);
        row(2, 1, 1, 1);
        SubsetDescription sd;
        ASSERT_EQ(SubSetNcDomain(sd), 1);
        ASSERT_EQ(CreateOrvNc(out, sd, items()), 1) << testing::PrintToString(messages());
        EXPECT_EQ(NcRead(out).values("time"),
                  (std::vector<double>(c.minutes.begin(), c.minutes.end())));

        // The window stored after the save names the steps saved...
        PutSubsetParams(sd);
        EXPECT_NE(readFile(Opt.IniFile).find(std::string("Start Time=") + c.start),
                  std::string::npos);
        EXPECT_NE(readFile(Opt.IniFile).find(std::string("End Time=") + c.end), std::string::npos);
        // ... "Subset from Ini" reads it back, and the recasting places it on them.
        LoadSubsetExtent();
        EXPECT_TRUE(SubsetWin.Dated);
        RecastAxis axis;
        EXPECT_EQ(recasttime(axis), 1);
        EXPECT_EQ(axis.nt_start, 2);
        EXPECT_EQ(axis.nt_end, 3);
        ASSERT_EQ(CreateOrvNc(out, sd, items()), 1);
        EXPECT_EQ(NcRead(out).values("time"),
                  (std::vector<double>(c.minutes.begin(), c.minutes.end())));
        EXPECT_EQ(messages(), Strings{});
    }
}

// A refusal or a failure leaves the target as it was and nothing beside it.
TEST_F(CellLayoutTest, RefusalsAndFailuresLeaveTheTargetAsItWas) {
    const std::string out = dir.file("old.nc");
    struct Case {
        const char* name;
        std::function<void()> prepare;
        std::string target; // "" the old file
        Strings messages;
    };
    std::vector<Case> cases = {
        {"the target is the dataset",
         [&] {
             loadCells();
             pick({"water_temp"});
         },
         dir.file("./cells.nc"),
         {"[CreateOrvNc] This file is one of the open datasets; choose another name:\r\n\r\n"
          "file   : " +
          dir.file("./cells.nc")}},
        {"a cell list",
         [&] {
             NcBuilder nc(dir.file("list.nc"));
             nc.unlimitedDim("time", 2);
             nc.dim("ncells", 3);
             nc.var("time", NC_DOUBLE, {"time"})
                 .att("units", "days since 2000-01-01")
                 .values({0.0, 1.0});
             nc.var("lon", NC_FLOAT, {"ncells"}).att("units", "degrees_east").values({1, 2, 3});
             nc.var("lat", NC_FLOAT, {"ncells"}).att("units", "degrees_north").values({1, 2, 3});
             nc.var("water_temp", NC_FLOAT, {"time", "ncells"}).values(std::vector<double>(6, 1.0));
             load(nc.write());
             pick({"water_temp"});
         },
         "",
         {"[CreateOrvNc] File passed is NCELL type; expecting other kind"}},
        {"several levels",
         [&] {
             loadCells();
             pick({"water_temp"});
             wholeRows();
         },
         "",
         {"[CreateOrvNc] The cell layout holds one level:\r\n\r\nset the row of dimension depth "
          "to a single level."}},
        {"an item without a time dimension",
         [&] {
             NcBuilder nc(dir.file("static.nc"));
             nc.unlimitedDim("time", 2);
             nc.dim("lat", 2);
             nc.dim("lon", 2);
             nc.var("time", NC_DOUBLE, {"time"})
                 .att("units", "days since 2000-01-01")
                 .values({0.0, 1.0});
             nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({1, 2});
             nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values({1, 2});
             nc.var("water_temp", NC_FLOAT, {"lat", "lon"}).values(std::vector<double>(4, 1.0));
             load(nc.write());
             pick({"water_temp"});
         },
         "",
         {"[CreateOrvNc] water_temp cannot be written in the cell layout:\r\n\r\nit has no "
          "time dimension; the file holds one record per time step."}},
        {"a read failing half way",
         [&] {
             loadCells();
             exampleRows();
             // The file changes under the dataset object: wind_v and what follows it are no
             // longer there to read.
             Data.clsNC->CloseNC(1);
             NcBuilder nc(dir.file("cells.nc"));
             nc.unlimitedDim("time", 4);
             nc.dim("depth", 2);
             nc.dim("lat", 3);
             nc.dim("lon", 4);
             nc.var("time", NC_DOUBLE, {"time"}).values({0.0, 6.0, 12.0, 18.0});
             nc.var("depth", NC_FLOAT, {"depth"}).values({0.0, 10.0});
             nc.var("lat", NC_FLOAT, {"lat"}).values({10.0, 11.0, 12.0});
             nc.var("lon", NC_FLOAT, {"lon"}).values({120.0, 121.0, 122.0, 123.0});
             for (const char* name : {"water_u", "water_v"})
                 nc.var(name, NC_FLOAT, {"time", "depth", "lat", "lon"})
                     .values(std::vector<double>(96, 1.0));
             nc.var("wind_u", NC_FLOAT, {"time", "lon", "lat"})
                 .values(std::vector<double>(48, 1.0));
             nc.write();
         },
         "",
         {"(the library's reason)"}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReleaseKelvad();
        ui.boxes.clear();
        defaultExportHost() = MemoryExportHost();
        c.prepare();
        if (defaultExportHost().rows[0].start.empty()) wholeRows();
        const std::string target = c.target.empty() ? out : c.target;
        if (c.target.empty()) writeFile("old.nc", "the old file");
        const std::string before = readFile(target);
        const Strings names = folderNames(dir.path());
        EXPECT_EQ(save(target), -1);
        Strings want = c.messages;
        if (want.front() == "(the library's reason)") {
            want.front() = Data.clsNC->ErrorMessage();
            EXPECT_EQ(ui.boxes.at(0).title, "NetCDF Error");
        }
        EXPECT_EQ(messages(), want);
        EXPECT_TRUE(readFile(target) == before) << "the target changed";
        EXPECT_EQ(folderNames(dir.path()), names);
    }
}

// Loaded by the dataset library, the file gives the same values at the same places and the
// same dates as the source.
TEST_F(CellLayoutTest, TheFileLoadsWithTheSameValuesAtTheSameCells) {
    loadCells();
    exampleRows();
    const std::string out = dir.file("out.nc");
    ASSERT_EQ(save(out), 1);

    std::unique_ptr<IKelvad> back(CreateKelvad());
    const Long s = back->Initialize(out);
    ASSERT_GE(s, 1) << back->ErrorMessage();
    EXPECT_EQ(back->GridType(s), kGridCells);
    ASSERT_EQ(back->nTime(s), 3);
    IKelvad& source = *Data.clsNC;
    auto readAll = [](IKelvad& nc, Long slot, const std::string& name, std::vector<Long> start,
                      std::vector<Long> count) {
        const Long nv = nc.variNum(name, slot);
        const std::size_t n = start.size();
        VArray<Long> st(1, static_cast<Long>(n)), co(1, static_cast<Long>(n)),
            sr(1, static_cast<Long>(n));
        Long total = 1;
        for (std::size_t d = 0; d < n; ++d) {
            st(static_cast<Long>(d + 1)) = start[d];
            co(static_cast<Long>(d + 1)) = count[d];
            sr(static_cast<Long>(d + 1)) = 1;
            total *= count[d];
        }
        VArray<float> values;
        EXPECT_GE(nc.GetVarsAny(nv, -1e35f, values, st, co, sr, total, slot).toLong(), 0)
            << nc.ErrorMessage();
        return std::vector<float>(values.data(), values.data() + values.size());
    };
    const std::vector<float> lon = readAll(*back, s, "lon", {1}, {6});
    const std::vector<float> lat = readAll(*back, s, "lat", {1}, {6});
    for (Long r = 1; r <= 3; ++r) {
        SCOPED_TRACE(r);
        // Record r is step r + 1 of the source, on the same date.
        EXPECT_EQ(back->DatePicked(r, s), source.DatePicked(r + 1, 1));
        const std::vector<float> u = readAll(*back, s, "U", {r, 1}, {1, 6});
        const std::vector<float> temp = readAll(*back, s, "water_temp", {r, 1}, {1, 6});
        for (std::size_t k = 0; k < 6; ++k) {
            const Long x = static_cast<Long>(lon[k] - 120) + 1,
                       y = static_cast<Long>(lat[k] - 10) + 1;
            const float su = readAll(source, 1, "water_u", {r + 1, 2, y, x}, {1, 1, 1, 1})[0];
            const float sv = readAll(source, 1, "water_v", {r + 1, 2, y, x}, {1, 1, 1, 1})[0];
            const float st = readAll(source, 1, "water_temp", {r + 1, 2, y, x}, {1, 1, 1, 1})[0];
            const bool hole = su <= -1e35f || sv <= -1e35f;
            EXPECT_EQ(u[k] <= -1e35f || u[k] == -99999.0f, hole) << k;
            if (!hole) {
                EXPECT_EQ(u[k], su * 0.01f) << k;
            }
            EXPECT_EQ(temp[k] <= -1e35f || temp[k] == -99999.0f, st <= -1e35f) << k;
            if (st > -1e35f) {
                EXPECT_EQ(temp[k], st) << k;
            }
        }
    }
}

// The save command's route: format 2 writes the cell layout with the flow's question, success
// box and stored window; "Append" says it is not supported; "Overwrite" replaces the file.
TEST_F(CellLayoutTest, TheSaveCommandWritesTheCellLayout) {
    loadCells();
    exampleRows();
    Opt.SaveFormat = kSaveOrvNc;
    const std::string out = dir.file("out.nc");
    ui.fileAnswers = {out};
    ui.shortMsgAnswers = {kNo}; // "Continue"
    SaveCommand();
    EXPECT_EQ(messages(), Strings{});
    ASSERT_EQ(ui.shortBoxes.size(), 1u);
    EXPECT_EQ(ui.shortBoxes[0].caption, "Successful Sub-setting");
    EXPECT_EQ(NcRead(out).dims(), (Strings{"ncells=6", "time*=3"}));
    EXPECT_EQ(GetString("file 1", "subsetpara", Opt.IniFile), src);
    EXPECT_EQ(Data.water_U_vId, Data.clsNC->variNum("water_u"));

    const std::string made = readFile(out);
    ui.fileAnswers = {out};
    ui.shortMsgAnswers = {kYes}; // "Append"
    SaveCommand();
    EXPECT_EQ(messages(), Strings{"[AppendOrvNc] Appending to a cell-layout file is not "
                                  "supported:\r\n\r\nfile   : " +
                                  out + "\r\n\r\nThe file is left as it was."});
    EXPECT_TRUE(readFile(out) == made);

    writeFile("out.nc", "the old file");
    ui.boxes.clear();
    ui.fileAnswers = {out};
    ui.shortMsgAnswers = {kNo, kNo}; // "Overwrite", "Continue"
    SaveCommand();
    EXPECT_EQ(messages(), Strings{});
    EXPECT_TRUE(readFile(out) == made);
    EXPECT_EQ(folderNames(dir.path()), (Strings{"Pelorin.ini", "cells.nc", "out.nc"}));

    // A grid that is neither regular nor a cell list is not offered the format.
    ReleaseKelvad();
    load(sample("bfg_coastal.nc"));
    pick({"zeta"});
    ui.boxes.clear();
    const std::size_t dialogs = ui.fileDialogs.size();
    SaveCommand();
    EXPECT_EQ(messages(), Strings{kFormatNotAvailableText});
    EXPECT_EQ(ui.fileDialogs.size(), dialogs);
}

// A dataset without recognised items asks for variable aliases until one is added or the
// user declines.
TEST_F(CellLayoutTest, WithoutRecognisedItemsTheAliasesAreAskedFor) {
    NcBuilder nc(dir.file("plain.nc"));
    nc.unlimitedDim("time", 2);
    nc.dim("lat", 2);
    nc.dim("lon", 3);
    nc.var("time", NC_DOUBLE, {"time"}).att("units", "days since 2000-01-01").values({0.0, 1.0});
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({1, 2});
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values({1, 2, 3});
    nc.var("sst", NC_FLOAT, {"time", "lat", "lon"})
        .values({1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0, 10.0, 11.0, 12.0});
    load(nc.write());
    pick({"sst"});
    wholeRows();
    SubsetDescription sd;
    ASSERT_EQ(SubSetNcDomain(sd), 1);
    const std::string out = dir.file("out.nc");
    const std::string question =
        "Can not identify vector varaibles; do you want to add variable alias";

    // "Yes" without adding a name asks again; "No" ends the save with nothing written.
    ui.msgBoxAnswers = {kYes, kNo};
    SaveToLocalOrv(out, kSaveNew, sd);
    EXPECT_EQ(messages(), (Strings{question, question}));
    EXPECT_EQ(ui.boxes[0].style, kYesNo);
    EXPECT_EQ(defaultExportHost().aliasDialogs, 1);
    EXPECT_TRUE(ui.shortBoxes.empty());
    EXPECT_FALSE(std::filesystem::exists(out));

    // A temperature named in the dialog is the file's one item.
    ui.boxes.clear();
    defaultExportHost().onAliasDialog = [] { Data.clsNC->tempaKa("sst"); };
    ui.msgBoxAnswers = {kYes};
    ui.shortMsgAnswers = {kNo};
    SaveToLocalOrv(out, kSaveNew, sd);
    EXPECT_EQ(messages(), Strings{question});
    EXPECT_EQ(NcRead(out).vars().back(), "water_temp(5:time,ncells)");
    EXPECT_EQ(NcRead(out).values("water_temp"),
              (std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

} // namespace
