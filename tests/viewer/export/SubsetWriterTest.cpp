// The subset netCDF writer: the file read back with netCDF-C (dimensions, variables, attributes
// with their types and values, coordinates, time units and values), the time units read back by
// the dataset library to the same dates, cell lists, GMT grids and picks of a second file, and
// every refusal and failure leaving the target as it was, a writer killed half way included.
#include "tests/viewer/export/ExportFixture.h"

#include "tests/support/PackedGrid.h"
#include "viewer/export/CreateNc.h"
#include "viewer/export/NcWriter.h"
#include "viewer/export/SafeOutput.h"
#include "viewer/export/SubsetWriter.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Strings = std::vector<std::string>;

class SubsetWriterTest : public ExportFixture {
protected:
    std::string grid;

    void loadGrid(const std::string& calendar = "",
                  const std::string& units = "hours since 1990-01-01 06:00:00") {
        grid = ExportGridFixture(dir.file("grid.nc"), calendar, units);
        load(grid);
    }

    // Describes the picks with the rows as typed and writes path; the description must build.
    Long save(const std::string& path) {
        SubsetDescription sd;
        EXPECT_EQ(SubSetNcDomain(sd), 1) << testing::PrintToString(messages());
        return CreateNc(path, sd);
    }
};

TEST_F(SubsetWriterTest, TheFileKeepsTheSourcesStructureCutToTheRows) {
    loadGrid();
    pick({"temp", "sal"});
    row(1, 2, 4, 2); // time: steps 2 and 4
    row(2, 1, 3, 1); // depth: whole
    row(3, 2, 5, 3); // lat: 2 and 5
    row(4, 1, 8, 2); // lon: 1, 3, 5, 7
    const std::string out = dir.file("out.nc");
    ASSERT_EQ(save(out), 1);
    EXPECT_EQ(messages(), Strings{});
    // Nothing beside the new file but what was there.
    EXPECT_EQ(folderNames(dir.path()), (Strings{"Pelorin.ini", "grid.nc", "out.nc"}));

    NcRead r(out);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.format(), NC_FORMAT_CLASSIC);
    EXPECT_EQ(r.dims(), (Strings{"time*=2", "depth=3", "lat=2", "lon=4"}));
    // The coordinates in their roles' types (positions in their own: lat stays Double), then
    // the picks as they were.
    EXPECT_EQ(r.vars(), (Strings{"time(6:time)", "depth(6:depth)", "lat(6:lat)", "lon(5:lon)",
                                 "temp(3:time,depth,lat,lon)", "sal(5:time,depth,lat,lon)"}));
    EXPECT_EQ(r.values("time"), (std::vector<double>{6, 18}));
    EXPECT_EQ(r.values("depth"), (std::vector<double>{0, 10, 20}));
    EXPECT_EQ(r.values("lat"), (std::vector<double>{11, 14}));
    EXPECT_EQ(r.values("lon"), (std::vector<double>{100, 102, 104, 106}));

    // The values: one strided cut of the source.
    NcRead src(grid);
    for (const char* name : {"temp", "sal"}) {
        SCOPED_TRACE(name);
        const std::vector<double> want = src.values(name, {1, 0, 1, 0}, {2, 3, 2, 4}, {2, 1, 3, 2});
        EXPECT_TRUE(SameValues(r.values(name), want));
    }
    EXPECT_EQ(r.values("temp")[0], GridValue(1, 0, 1, 0));

    // Attributes exactly: names in order, types and values.
    EXPECT_EQ(r.attNames("temp"), (Strings{"long_name", "scale_factor", "add_offset", "_FillValue",
                                           "valid_range", "flag"}));
    EXPECT_EQ(r.attType("temp", "scale_factor"), NC_FLOAT);
    EXPECT_EQ(r.attValues("temp", "scale_factor"), std::vector<double>{0.01f});
    EXPECT_EQ(r.attType("temp", "add_offset"), NC_DOUBLE);
    EXPECT_EQ(r.attType("temp", "_FillValue"), NC_SHORT);
    EXPECT_EQ(r.attValues("temp", "_FillValue"), std::vector<double>{-32767});
    EXPECT_EQ(r.attType("temp", "valid_range"), NC_SHORT);
    EXPECT_EQ(r.attValues("temp", "valid_range"), (std::vector<double>{-2000, 5000}));
    EXPECT_EQ(r.attType("temp", "flag"), NC_BYTE);
    EXPECT_EQ(r.attValues("temp", "flag"), (std::vector<double>{1, -2}));
    EXPECT_EQ(r.attText("temp", "long_name"), "sea water temperature");
    EXPECT_TRUE(std::isnan(r.attValues("sal", "_FillValue").at(0)));
    // The latitude keeps its type, and its fill value with it.
    EXPECT_EQ(r.attType("lat", "_FillValue"), NC_DOUBLE);
    EXPECT_EQ(r.attValues("lat", "_FillValue"), std::vector<double>{9.96921e36});
    // The time units stated from the base date, with its time of day.
    EXPECT_EQ(r.attText("time", "units"), "hours since 1990-01-01T06:00:00");
    EXPECT_EQ(r.attType("time", "units_per_step"), NC_SHORT);
    EXPECT_EQ(r.attValues("time", "units_per_step"), std::vector<double>{6});

    // Globals: the source's (byte included), the origin, the cut of each dimension.
    EXPECT_EQ(r.attNames(""), (Strings{"title", "version", "weights", "count", "origin1", "time",
                                       "depth", "lat", "lon"}));
    EXPECT_EQ(r.attType("", "version"), NC_BYTE);
    EXPECT_EQ(r.attValues("", "weights"), (std::vector<double>{0.5, 0.25}));
    EXPECT_EQ(r.attType("", "count"), NC_INT);
    EXPECT_EQ(r.attText("", "origin1"), grid);
    EXPECT_EQ(r.attText("", "time"), " 5 2 2 2");
    EXPECT_EQ(r.attText("", "depth"), " 3 1 3 1");
    EXPECT_EQ(r.attText("", "lat"), " 6 2 2 3");
    EXPECT_EQ(r.attText("", "lon"), " 8 1 4 2");
}

// Positions are written as the source holds them for the places kept: a date-line axis whose
// longitudes the viewer moved east stays as stored, Mercator mode's radians do not come back
// changed by the program's degree factor, and doubles stay doubles.
TEST_F(SubsetWriterTest, PositionsAreTheSourcesValues) {
    NcBuilder nc(dir.file("dateline.nc"));
    nc.unlimitedDim("time", 1);
    nc.dim("lat", 3);
    nc.dim("lon", 6);
    nc.var("time", NC_DOUBLE, {"time"}).att("units", "days since 2000-01-01").values({0.0});
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({-10.1, 33.3, 47.7});
    nc.var("lon", NC_DOUBLE, {"lon"})
        .att("units", "degrees_east")
        .values({-180.0, -175.0, -125.0, -0.3, 90.7, 175.0});
    nc.var("t", NC_FLOAT, {"time", "lat", "lon"}).values(std::vector<double>(18, 1.0));
    const std::string source = nc.write();
    const std::string out = dir.file("out.nc");
    for (const int projection : {0, 1}) {
        SCOPED_TRACE(projection);
        load(source);
        // As the viewer holds them: east of the date line, and in radians for Mercator.
        for (std::size_t n = 0; n < Data.lonV.size(); ++n) {
            float& v = Data.lonV.data()[n];
            if (v < -170) v += 360;
            if (projection == 1) v = static_cast<float>(v * kDegToRad);
        }
        if (projection == 1)
            for (std::size_t n = 0; n < Data.latV.size(); ++n)
                Data.latV.data()[n] = static_cast<float>(Data.latV.data()[n] * kDegToRad);
        View.Projection = projection;
        pick({"t"});
        row(1, 1, 1, 1);
        row(2, 1, 3, 1);
        row(3, 1, 6, 1);
        ASSERT_EQ(save(out), 1) << testing::PrintToString(messages());
        NcRead r(out), src(source);
        EXPECT_EQ(r.vars(),
                  (Strings{"time(6:time)", "lat(5:lat)", "lon(6:lon)", "t(5:time,lat,lon)"}));
        EXPECT_EQ(r.values("lon"), src.values("lon"));
        EXPECT_EQ(r.values("lat"), src.values("lat"));

        // A strided window keeps the values of the rows it takes.
        row(2, 2, 3, 1);
        row(3, 2, 6, 2);
        ASSERT_EQ(save(out), 1);
        EXPECT_EQ(NcRead(out).values("lon"), (std::vector<double>{-175.0, -0.3, 175.0}));
        EXPECT_EQ(NcRead(out).values("lat"),
                  (std::vector<double>{static_cast<float>(33.3), static_cast<float>(47.7)}));
        View.Projection = 0;
        ReleaseKelvad();
    }
}

// The units of the time axis as the writer states them, and the dates the dataset library
// reads from the file written: the same as from the source, whatever the calendar or the way
// the source gives its base date.
TEST_F(SubsetWriterTest, TimeUnitsReadBackToTheSameDates) {
    struct Case {
        const char* calendar;
        const char* units;
        const char* origin;
        const char* written;
    };
    const Case cases[] = {
        {"", "hours since 1990-01-01 06:00:00", "", "hours since 1990-01-01T06:00:00"},
        {"standard", "days since 2000-01-01 00:00:00", "", "days since 2000-01-01"},
        {"gregorian", "minutes since 1979-12-31 23:30", "", "minutes since 1979-12-31T23:30:00"},
        {"noleap", "days since 0001-01-01", "", "days since 0001-01-01"},
        {"360_day", "days since 2000-02-30 12:00", "", "days since 2000-02-30T12:00:00"},
        {"", "hours", "15-MAR-2004 06:00:00", "hours since 2004-03-15T06:00:00"},
        {"", "days since 2000-01-01 00:00:00 +05:00", "", "days since 1999-12-31T19:00:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.units) + " " + c.calendar);
        ReleaseKelvad();
        const std::string source =
            ExportGridFixture(dir.file("grid.nc"), c.calendar, c.units, c.origin);
        load(source);
        pick({"temp"});
        wholeRows();
        row(1, 2, 5, 1);
        const std::string out = dir.file("out.nc");
        ASSERT_EQ(save(out), 1) << testing::PrintToString(messages());
        NcRead r(out);
        EXPECT_EQ(r.attText("time", "units"), c.written);
        // Only the text attributes of the units' name change.
        EXPECT_EQ(r.attText("time", "calendar"), NcRead(source).attText("time", "calendar"));
        EXPECT_EQ(r.attText("time", "time_origin"), NcRead(source).attText("time", "time_origin"));
        std::unique_ptr<IKelvad> back(CreateKelvad());
        ASSERT_EQ(back->Initialize(out), 1) << back->ErrorMessage();
        ASSERT_EQ(back->nTime(1), 4);
        for (Long n = 1; n <= 4; ++n)
            EXPECT_EQ(back->DatePicked(n, 1), Data.clsNC->DatePicked(n + 1, 1)) << n;
    }
}

TEST_F(SubsetWriterTest, NcdumpReadsTheTimesAsTheSourceHasThem) {
    loadGrid();
    pick({"temp"});
    wholeRows();
    row(1, 2, 4, 2);
    const std::string out = dir.file("out.nc");
    ASSERT_EQ(save(out), 1);
    const std::string listing = dir.file("listing.txt");
    ASSERT_EQ(std::system(("ncdump -t -v time " + out + " > " + listing).c_str()), 0);
    EXPECT_NE(readFile(listing).find("time = \"1990-01-01 12\", \"1990-01-02\" ;"),
              std::string::npos)
        << readFile(listing);
}

// A file as xarray writes it: netCDF-4, int64 times, Double coordinates, NaN fill values,
// string attributes. The subset is a classic file: the times as Doubles, a single string as
// text, an attribute of a type a classic file cannot hold left out with its message.
TEST_F(SubsetWriterTest, AnXarrayFileIsSavedAsClassic) {
    NcBuilder nc(dir.file("xr.nc"), NcFormat::Netcdf4);
    nc.dim("time", 3);
    nc.dim("lat", 2);
    nc.dim("lon", 3);
    nc.var("time", NC_INT64, {"time"})
        .att("units", "days since 2000-01-01")
        .att("calendar", "proleptic_gregorian")
        .values({0.0, 1.0, 2.0});
    nc.var("lat", NC_DOUBLE, {"lat"})
        .att("_FillValue", std::nan(""))
        .stringAtt("units", "degrees_north")
        .values({10.0, 20.0});
    nc.var("lon", NC_DOUBLE, {"lon"}).att("units", "degrees_east").values({1.0, 2.0, 3.0});
    nc.var("t", NC_FLOAT, {"time", "lat", "lon"})
        .att("_FillValue", std::nanf(""))
        .att("count", NC_INT64, 5)
        .att("coordinates", "lat lon")
        .values({1.0, std::nan(""), 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0, 10.0, 11.0, 12.0, 13.0, 14.0,
                 15.0, 16.0, 17.0, 18.0});
    nc.globalStringAtt("history", "made by xarray");
    const std::string source = nc.write();
    load(source);
    pick({"t"});
    wholeRows();
    const std::string out = dir.file("out.nc");
    ASSERT_EQ(save(out), 1);
    EXPECT_EQ(messages(), Strings{"Variable-Type of Attribute not expected:\r\n\r\nVariable Name = "
                                  "t\r\nAttribute Name = count\r\nTyep Number =  10"});
    NcRead r(out);
    EXPECT_EQ(r.format(), NC_FORMAT_CLASSIC);
    // Positions keep their type (double here).
    EXPECT_EQ(r.vars(), (Strings{"time(6:time)", "lat(6:lat)", "lon(6:lon)", "t(5:time,lat,lon)"}));
    EXPECT_EQ(r.values("time"), (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(r.attText("time", "units"), "days since 2000-01-01");
    EXPECT_EQ(r.attType("lat", "units"), NC_CHAR);
    EXPECT_EQ(r.attText("lat", "units"), "degrees_north");
    EXPECT_EQ(r.attType("lat", "_FillValue"), NC_DOUBLE);
    EXPECT_TRUE(std::isnan(r.attValues("lat", "_FillValue").at(0)));
    EXPECT_EQ(r.attNames("t"), (Strings{"_FillValue", "coordinates"}));
    EXPECT_TRUE(SameValues(r.values("t"), NcRead(source).values("t")));
    EXPECT_EQ(r.attText("", "history"), "made by xarray");
}

// A cell list keeps all its cells, their longitudes and latitudes as Singles, and takes the
// time rows; its time counts whole units, as an int.
TEST_F(SubsetWriterTest, ACellListKeepsEveryCell) {
    load(sample("stations.nc"));
    ASSERT_EQ(Data.clsNC->GridType(1), kGridCells);
    pick({"temp", "u"});
    row(1, 3, 6, 1);
    row(2, 5, 9, 2); // the cells: taken whole all the same
    const std::string out = dir.file("out.nc");
    ASSERT_EQ(save(out), 1);
    EXPECT_EQ(messages(), Strings{});
    NcRead r(out), src(sample("stations.nc"));
    EXPECT_EQ(r.dims(), (Strings{"time*=4", "station=36"}));
    EXPECT_EQ(r.vars(), (Strings{"time(4:time)", "lon(5:station)", "lat(5:station)",
                                 "temp(5:time,station)", "u(5:time,station)"}));
    EXPECT_EQ(r.values("lon"), src.values("lon"));
    EXPECT_EQ(r.values("lat"), src.values("lat"));
    EXPECT_EQ(r.values("time"), src.values("time", {2}, {4}, {1}));
    EXPECT_EQ(r.values("temp"), src.values("temp", {2, 0}, {4, 36}, {1, 1}));
    EXPECT_EQ(r.attText("lon", "long_name"), "station longitude");
    EXPECT_EQ(r.attText("", "station"), " 36 1 36 1");

    std::unique_ptr<IKelvad> back(CreateKelvad());
    ASSERT_EQ(back->Initialize(out), 1) << back->ErrorMessage();
    EXPECT_EQ(back->GridType(1), kGridCells);
    EXPECT_EQ(back->nCells(1), 36);
}

// Packed positions are copied as stored, with the attributes that unpack them; levels are
// written as the dataset library unpacks them, without the attributes that would have them
// unpacked a second time. Either way a CF reader finds the source's values.
TEST_F(SubsetWriterTest, PackedPositionsKeepTheirPackingAndLevelsAreWrittenUnpacked) {
    const std::string src = WritePackedGrid(dir.file("packed.nc"));
    load(src);
    pick({"sst"});
    row(1, 1, 2, 1);
    row(2, 1, 2, 1);
    row(3, 1, 2, 1);
    row(4, 1, 3, 1);
    const std::string out = dir.file("out.nc");
    ASSERT_EQ(save(out), 1);
    NcRead r(out);
    EXPECT_EQ(r.values("lon"), (std::vector<double>{0, 100, 200}));
    EXPECT_EQ(r.values("lat"), (std::vector<double>{1000, 2000}));
    EXPECT_EQ(r.values("depth"), (std::vector<double>{5, 10}));
    EXPECT_EQ(r.attNames("lon"), (Strings{"units", "long_name", "scale_factor", "add_offset"}));
    EXPECT_EQ(r.attNames("lat"), (Strings{"units", "scale_factor", "_FillValue"}));
    EXPECT_EQ(r.attNames("depth"), (Strings{"units", "positive"}));

    std::unique_ptr<IKelvad> back(CreateKelvad());
    ASSERT_EQ(back->Initialize(out), 1) << back->ErrorMessage();
    EXPECT_FLOAT_EQ(back->westEnd(1), 100);
    EXPECT_FLOAT_EQ(back->eastEnd(1), 102);
}

// A GMT grid goes whole, with the variables that describe it, and loads as a GMT grid again.
TEST_F(SubsetWriterTest, AGmtGridGoesWholeWithItsDescription) {
    load(sample("gmt_grid.nc"));
    ASSERT_EQ(Data.clsNC->GridType(1), kGridGmt);
    pick({"z"});
    row(1, 10, 20, 5);
    const std::string out = dir.file("out.nc");
    ASSERT_EQ(save(out), 1);
    EXPECT_EQ(messages(), Strings{});
    NcRead r(out), src(sample("gmt_grid.nc"));
    EXPECT_EQ(r.dims(), (Strings{"side=2", "xysize=8181"}));
    EXPECT_EQ(r.vars(), (Strings{"x_range(6:side)", "y_range(6:side)", "z_range(6:side)",
                                 "spacing(6:side)", "dimension(4:side)", "z(5:xysize)"}));
    for (const char* name : {"x_range", "y_range", "z_range", "spacing", "dimension", "z"})
        EXPECT_EQ(r.values(name), src.values(name)) << name;
    EXPECT_EQ(r.attText("x_range", "units"), "degrees");
    EXPECT_EQ(r.attType("z", "node_offset"), NC_INT);

    std::unique_ptr<IKelvad> back(CreateKelvad());
    ASSERT_EQ(back->Initialize(out), 1) << back->ErrorMessage();
    EXPECT_EQ(back->GridType(1), kGridGmt);
    EXPECT_EQ(back->nXysize(1), 8181);
}

TEST_F(SubsetWriterTest, PicksOfTheSecondFileTakeTheMainDimensionsByName) {
    grid = ExportGridFixture(dir.file("grid.nc"));
    const std::string second = SecondFile(dir.file("second.nc"));
    load(grid, second);
    ASSERT_GT(Data.clsNC->nVars(2), 0);
    pick({"temp", "2:u"});
    row(1, 1, 5, 2);
    row(2, 2, 2, 1);
    row(3, 1, 6, 1);
    row(4, 3, 8, 5);
    const std::string out = dir.file("out.nc");
    ASSERT_EQ(save(out), 1) << testing::PrintToString(messages());
    NcRead r(out);
    EXPECT_EQ(r.vars().back(), "u(6:time,depth,lat,lon)");
    EXPECT_EQ(r.values("u"), NcRead(second).values("u", {0, 1, 0, 2}, {3, 1, 6, 2}, {2, 1, 1, 5}));
    EXPECT_EQ(r.attText("u", "units"), "m/s");
    EXPECT_EQ(r.attText("", "origin2"), second);
}

// A refusal or a failure leaves the target as it was and nothing beside it.
TEST_F(SubsetWriterTest, RefusalsAndFailuresLeaveTheTargetAsItWas) {
    const std::string out = dir.file("old.nc");
    writeFile("old.nc", "the old file");
    const std::string netcdfError = std::string(nc_strerror(NC_EUNLIMIT));
    struct Case {
        const char* name;
        std::function<void()> prepare;
        std::string target; // "" the old file
        Strings messages;
    };
    const std::string readReport = "Error message (number 0)is:\r\n\r\n\"\"";
    std::vector<Case> cases = {
        {"the target is the dataset, otherwise spelt",
         [&] {
             loadGrid();
             pick({"temp"});
         },
         dir.file("./grid.nc"),
         {"[CreateNc] This file is one of the open datasets; choose another name:\r\n\r\n"
          "file   : " +
          dir.file("./grid.nc")}},
        {"two picks of one name",
         [&] {
             load(ExportGridFixture(dir.file("grid.nc")), SecondFile(dir.file("second.nc")));
             pick({"temp", "2:temp"});
         },
         "",
         {"[CreateNc] Two variables of the subset are named temp:\r\n\r\nPlease reseclect"}},
        {"a dimension of the second file without its match",
         [&] {
             load(ExportGridFixture(dir.file("grid.nc")), SecondFile(dir.file("second.nc"), 9));
             pick({"temp", "2:u"});
         },
         "",
         {"Variable u of the second file cannot be saved with the main dataset:\r\n\r\n"
          "its dimension lon (9 values) has no dimension of that name and length in the main "
          "dataset."}},
        {"a netCDF call failing",
         [&] {
             // An unlimited record dimension besides the time axis: the time axis cannot be
             // unlimited too.
             NcBuilder nc(dir.file("two.nc"));
             nc.unlimitedDim("rec", 2);
             nc.dim("time", 3);
             nc.dim("lat", 2);
             nc.dim("lon", 2);
             nc.var("time", NC_DOUBLE, {"time"})
                 .att("units", "days since 2000-01-01")
                 .values({0.0, 1.0, 2.0});
             nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({1.0, 2.0});
             nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values({1.0, 2.0});
             nc.var("t", NC_FLOAT, {"time", "lat", "lon"}).values(std::vector<double>(12, 1.0));
             load(nc.write());
             pick({"t"});
         },
         "",
         {netcdfError}},
        {"a read failing half way",
         [&] {
             loadGrid();
             pick({"temp", "sal"});
             // The file changes under the dataset object: sal is no longer there to read.
             Data.clsNC->CloseNC(1);
             GridWithoutSal(dir.file("grid.nc"));
         },
         "",
         {"(the library's reason)", readReport}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReleaseKelvad();
        ui.boxes.clear();
        c.prepare();
        wholeRows();
        const std::string target = c.target.empty() ? out : c.target;
        const std::string before = readFile(target);
        const Strings names = folderNames(dir.path());
        SubsetDescription sd;
        ASSERT_EQ(SubSetNcDomain(sd), 1) << testing::PrintToString(messages());
        EXPECT_EQ(CreateNc(target, sd), -1);
        Strings want = c.messages;
        if (want.front() == "(the library's reason)") want.front() = Data.clsNC->ErrorMessage();
        EXPECT_EQ(messages(), want);
        EXPECT_TRUE(readFile(target) == before) << "the target changed";
        EXPECT_EQ(folderNames(dir.path()), names);
        if (c.messages == Strings{netcdfError}) {
            EXPECT_EQ(ui.boxes.at(0).title, "NetCDF Error");
            EXPECT_EQ(ui.boxes.at(0).style, kOkOnly + kCritical);
        }
    }
}

// Overwriting keeps the old file's permissions and replaces it only once the new one is whole.
TEST_F(SubsetWriterTest, OverwritingKeepsThePermissions) {
    loadGrid();
    pick({"mask"});
    wholeRows();
    const std::string out = writeFile("old.nc", "the old file");
    ASSERT_EQ(::chmod(out.c_str(), 0640), 0);
    ASSERT_EQ(save(out), 1);
    struct stat st {};
    ASSERT_EQ(::stat(out.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(NcRead(out).vars().back(), "mask(4:lat,lon)");
}

// A writer in a child process, its result as the exit status (0 written, 1 refused).
template <class Run> pid_t forkWriter(Run&& run) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const Long result = run();
        ::_exit(result == 1 ? 0 : 1);
    }
    return pid;
}

// A file that cannot grow beyond a few hundred bytes: the writes fail (the close's among them,
// which flushes what the library kept), and the target stays as it was.
TEST_F(SubsetWriterTest, AFailedWriteOrCloseKeepsTheOldFile) {
    loadGrid();
    pick({"temp", "sal"});
    wholeRows();
    SubsetDescription sd;
    ASSERT_EQ(SubSetNcDomain(sd), 1);
    const std::string out = writeFile("old.nc", "the old file");
    // The whole file, then limits inside its header, its first variable and its last bytes.
    ASSERT_EQ(CreateNc(dir.file("whole.nc"), sd), 1);
    const auto size = static_cast<rlim_t>(std::filesystem::file_size(dir.file("whole.nc")));
    std::filesystem::remove(dir.file("whole.nc"));
    for (const rlim_t limit : {rlim_t{100}, size / 2, size - 1}) {
        SCOPED_TRACE(limit);
        const pid_t pid = forkWriter([&] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit r{limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &r);
            return CreateNc(out, sd);
        });
        ASSERT_GT(pid, 0);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 1);
        EXPECT_TRUE(readFile(out) == "the old file") << "the target changed";
        EXPECT_EQ(folderNames(dir.path()), (Strings{"Pelorin.ini", "grid.nc", "old.nc"}));
    }
}

// A full disk says which file could not be written: netCDF-C's text alone ("No space left on
// device") names no disk. The failure is put where the library's writes fail; a file that may
// not grow gives the system's own failure of that kind.
TEST_F(SubsetWriterTest, AFullDiskNamesTheTarget) {
    loadGrid();
    pick({"temp"});
    wholeRows();
    SubsetDescription sd;
    ASSERT_EQ(SubSetNcDomain(sd), 1);
    const std::string out = writeFile("old.nc", "the old file");
    const Long result = RunSubsetWriter(*Data.clsNC, sd, "CreateNc", ReportForm::ErrorMessage, [&] {
        SaveTarget target(out);
        EXPECT_TRUE(target.Claim("CreateNc"));
        return WriteWhole(target, "CreateNc", [](const std::string& temp) {
            NcOut file = NcOut::Create(temp);
            throw NcFailure(ENOSPC, "nc_close");
        });
    });
    EXPECT_EQ(result, -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "NetCDF Error");
    EXPECT_EQ(ui.boxes[0].text, "No space left on device\r\n\r\nfile   : " + out);
    EXPECT_TRUE(readFile(out) == "the old file") << "the target changed";
    EXPECT_EQ(folderNames(dir.path()), (Strings{"Pelorin.ini", "grid.nc", "old.nc"}));

    EXPECT_TRUE(InChildWithFileLimit(300, [&] {
        ui.boxes.clear();
        return CreateNc(out, sd) == -1 && ui.boxes.size() == 1 &&
               ui.boxes[0].text == std::string(std::strerror(EFBIG)) + "\r\n\r\nfile   : " + out;
    }));
    EXPECT_TRUE(readFile(out) == "the old file") << "the target changed";
}

// Killed at any moment, the writer leaves the old file or the new one under the target's name.
TEST_F(SubsetWriterTest, AWriterKilledHalfWayLeavesTheOldFileOrTheNewOne) {
    // Big enough for the kill to land inside the writing: 40 steps of 180 x 360.
    NcBuilder nc(dir.file("big.nc"));
    nc.unlimitedDim("time", 40);
    nc.dim("lat", 180);
    nc.dim("lon", 360);
    std::vector<double> lat(180), lon(360), t(40 * 180 * 360);
    for (std::size_t i = 0; i < lat.size(); ++i)
        lat[i] = -89.5 + static_cast<double>(i);
    for (std::size_t i = 0; i < lon.size(); ++i)
        lon[i] = 0.5 + static_cast<double>(i);
    for (std::size_t i = 0; i < t.size(); ++i)
        t[i] = static_cast<double>(i % 1000);
    nc.var("time", NC_DOUBLE, {"time"})
        .att("units", "days since 2000-01-01")
        .values(std::vector<double>(40, 0.0));
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values(lat);
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values(lon);
    nc.var("t", NC_FLOAT, {"time", "lat", "lon"}).values(t);
    load(nc.write());
    pick({"t"});
    wholeRows();
    SubsetDescription sd;
    ASSERT_EQ(SubSetNcDomain(sd), 1);

    // The new file as a writer left alone makes it, and how long that takes.
    const std::string reference = dir.file("reference.nc");
    const auto begin = std::chrono::steady_clock::now();
    ASSERT_EQ(CreateNc(reference, sd), 1);
    const auto took = std::chrono::steady_clock::now() - begin;
    const std::string newBytes = readFile(reference);
    std::filesystem::remove(reference);

    const std::string out = writeFile("target.nc", "the old file");
    const std::string old = readFile(out);
    std::random_device seed;
    const unsigned s = seed();
    std::mt19937 random(s);
    const auto span = std::chrono::duration_cast<std::chrono::microseconds>(took).count() * 3 / 2;
    std::uniform_int_distribution<long> delay(0, std::max<long>(span, 1));
    int olds = 0, news = 0;
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE("seed " + std::to_string(s) + " round " + std::to_string(i));
        const pid_t pid = forkWriter([&] { return CreateNc(out, sd); });
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        const std::string now = readFile(out);
        const bool isOld = now == old, isNew = now == newBytes;
        EXPECT_TRUE(isOld || isNew) << now.size() << " bytes";
        olds += isOld;
        news += isNew;
        // The next round starts from the old file again.
        writeFile("target.nc", "the old file");
    }
    std::cout << "killed writers left the old file " << olds << " times, the new one " << news
              << " times\n";

    // What the killed writers left beside the target (and one left for certain, by a writer
    // that has ended) goes at the next write into the folder.
    const pid_t ended = forkWriter([] { return Long{1}; });
    ASSERT_GT(ended, 0);
    ASSERT_EQ(::waitpid(ended, nullptr, 0), ended);
    writeFile(".target.nc.tmp-" + std::to_string(ended) + "-a1b2c3", "partial");
    ASSERT_EQ(CreateNc(out, sd), 1);
    EXPECT_EQ(readFile(out), newBytes);
    EXPECT_EQ(folderNames(dir.path()), (Strings{"Pelorin.ini", "big.nc", "target.nc"}));
}

} // namespace
