// Coordinate arrays and time axis of the control's reader: time values and labels in the
// axis's calendar, the vertical coordinate, the grid positions and spacing, and the reads
// bounded by their targets.
#include "TyxFixture.h"

#include <netcdf.h>

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

// A grid of two longitudes and latitudes with a time variable as given.
struct TimeAxis {
    std::string units;
    std::vector<double> values;
    nc_type type;
    std::string calendar;
    NcFormat format;
};

TimeAxis axis(std::string units, std::vector<double> values, nc_type type = NC_DOUBLE,
              std::string calendar = "", NcFormat format = NcFormat::Classic) {
    return {std::move(units), std::move(values), type, std::move(calendar), format};
}

std::string writeTimeGrid(const TempDir& dir, const std::string& name, const TimeAxis& a) {
    NcBuilder nc(dir.file(name), a.format);
    nc.dim("time", a.values.size());
    nc.dim("lat", 2);
    nc.dim("lon", 2);
    auto& t = nc.var("time", a.type, {"time"});
    t.att("units", a.units);
    if (!a.calendar.empty()) t.att("calendar", a.calendar);
    t.values(a.values);
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({0, 1});
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values({0, 1});
    return nc.write();
}

// Header, recognition and coordinate arrays of a file, as NcFile runs them.
struct Opened {
    OcxNcf ncf;
    GeoArrays geo;
    std::string message;
    Long result = 0;
};

Opened open(const std::string& path) {
    Opened o;
    if (ocxGetNCHeader(o.ncf, path, 0, o.message) != 1) throw std::runtime_error(o.message);
    if (ocxPickCoordVariables(o.ncf) != 1) throw std::runtime_error("not recognised");
    o.result = SetGeoWindow(o.ncf, o.geo, o.message);
    return o;
}

std::string dateOf(const Opened& o, Long n) {
    std::string message;
    return CalendarDateText(o.ncf.calendar, ocxGetDate(o.ncf, o.geo, n, message));
}

} // namespace

TEST(SetGeoWindow, TimeAxesAndTheirLabels) {
    struct Case {
        TimeAxis axis;
        const char* unit;
        const char* start;
        const char* end;
        const char* lastDate; // ocxGetDate of the last step
    };
    const Case cases[] = {
        {axis("days since 1990-01-01", {0, 31}), "days", "1990-01-01", "1990-02-01", "1990-02-01"},
        // A time of day after the date, as a fourth word or after "T", is the base's.
        {axis("hours since 1990-01-01 12:00:00", {36}), "hours", "1990-01-03", "1990-01-03",
         "1990-01-03"},
        {axis("days since 1990-01-01T00:00:00Z", {1}), "days", "1990-01-02", "1990-01-02",
         "1990-01-02"},
        {axis("days since 1990-01-01T06:00:00Z", {0, 1}), "days", "1990-01-01 06:00:00",
         "1990-01-02 06:00:00", "1990-01-02 06:00:00"},
        {axis("seconds since 2000-01-01", {90}, NC_INT), "seconds", "2000-01-01 00:01:30",
         "2000-01-01 00:01:30", "2000-01-01 00:01:30"},
        {axis("minutes since 2004-03-15 06:00", {0, 90}, NC_SHORT), "minutes",
         "2004-03-15 06:00:00", "2004-03-15 07:30:00", "2004-03-15 07:30:00"},
        {axis("months", {1, 12}), "months", "Month 1", "Month 12", "00:00:00"},
        {axis("season", {2, 3}, NC_FLOAT), "season", "Season 2", "Season 3", "00:00:00"},
        // Model calendars and climatologies of year 0 count in their own calendar.
        {axis("days since 2000-02-28", {0, 1}, NC_DOUBLE, "noleap"), "days", "2000-02-28",
         "2000-03-01", "2000-03-01"},
        {axis("days since 2000-02-29", {0, 1}, NC_DOUBLE, "360_day"), "days", "2000-02-29",
         "2000-02-30", "2000-02-30"},
        {axis("days since 0000-01-01 00:00:00", {15.5, 45}, NC_DOUBLE, "noleap"), "days",
         "0000-01-16 12:00:00", "0000-02-15", "0000-02-15"},
        // xarray's int64 times.
        {axis("hours since 2010-01-01", {0, 6}, NC_INT64, "", NcFormat::Netcdf4), "hours",
         "2010-01-01", "2010-01-01 06:00:00", "2010-01-01 06:00:00"},
        // Years beyond 3000 are labelled 2000 years earlier.
        {axis("days since 3001-01-01", {0, 1.25}), "days", " 1001- 1- 1 0: 0", " 1001- 1- 2 6: 0",
         "3001-01-02 06:00:00"},
    };
    TempDir dir;
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.axis.units + " " + c.axis.calendar);
        const Opened o = open(writeTimeGrid(dir, numbered("t", ++n, ".nc"), c.axis));
        ASSERT_EQ(o.result, 1) << o.message;
        EXPECT_EQ(o.message, "");
        EXPECT_EQ(o.geo.nTime, static_cast<Long>(c.axis.values.size()));
        EXPECT_EQ(o.geo.TimeValue(1), c.axis.values[0]);
        EXPECT_EQ(o.ncf.timeUnit, c.unit);
        EXPECT_EQ(o.ncf.StartTime, c.start);
        EXPECT_EQ(o.ncf.endTime, c.end);
        EXPECT_EQ(dateOf(o, o.geo.nTime), c.lastDate);
        EXPECT_EQ(o.ncf.ncid, -1);
    }
}

TEST(SetGeoWindow, TheSameBaseDateAsTheDatasetLibrary) {
    // The one date parser of the program reads the base of both; its own tests are in
    // common/. Here: the start date that follows from it.
    TempDir dir;
    const Opened o = open(writeTimeGrid(dir, "t.nc", axis("days since 1990-01-01 06:00:00", {0})));
    Date expected;
    ASSERT_TRUE(ParseCalendarDate(Calendar::Standard, "1990-01-01 06:00:00", expected));
    EXPECT_DOUBLE_EQ(o.ncf.EpochDate.serial, expected.serial);
    EXPECT_DOUBLE_EQ(o.ncf.startDate.serial, expected.serial);
}

TEST(SetGeoWindow, TimesWrittenAsTheirDatesAreDatedAsTheDatasetLibraryDatesThem) {
    // CDO's "day as %Y%m%d.%f": held as days from the first step's midnight.
    TempDir dir;
    const Opened o = open(writeTimeGrid(
        dir, "t.nc",
        axis("day as %Y%m%d.%f", {20981118.25, 20981119}, NC_DOUBLE, "proleptic_gregorian")));
    ASSERT_EQ(o.result, 1) << o.message;
    EXPECT_EQ(o.ncf.timeUnit, "days");
    EXPECT_EQ(o.ncf.StartTime, "2098-11-18 06:00:00");
    EXPECT_EQ(o.ncf.endTime, "2098-11-19");
    EXPECT_EQ(dateOf(o, 2), "2098-11-19");
}

TEST(SetGeoWindow, AnUnknownTimeUnitIsAWarning) {
    TempDir dir;
    const Opened o = open(writeTimeGrid(dir, "t.nc", axis("level", {1, 2})));
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.message, "Time has no unit:\n\nlevel");
    EXPECT_EQ(o.ncf.StartTime, "");
    EXPECT_EQ(o.ncf.startDate.serial, 0);
}

TEST(SetGeoWindow, RefusesCoordinatesItCannotHold) {
    struct Case {
        const char* what;
        const char* cdl;
        const char* message; // its beginning
    };
    const Case cases[] = {
        {"a byte time",
         R"(dimensions: time = 1 ; lat = 2 ; lon = 2 ;
            variables: byte time(time) ; time:units = "days since 2000-01-01" ;
            float lat(lat) ; lat:units = "degrees_north" ;
            float lon(lon) ; lon:units = "degrees_east" ;)",
         "Variable-Type of time coodrinate not expected:\n\nVariable Name = time\nType Number = 1"},
        {"a char depth",
         R"(dimensions: depth = 2 ; lat = 2 ; lon = 2 ;
            variables: char depth(depth) ;
            float lat(lat) ; lat:units = "degrees_north" ;
            float lon(lon) ; lon:units = "degrees_east" ;)",
         "Variable-Type of vertical coodrinate not expected:\n\nVariable Name = depth\nTyep "
         "Number = 2"},
        {"an int longitude",
         R"(dimensions: lat = 2 ; lon = 2 ;
            variables: float lat(lat) ; lat:units = "degrees_north" ;
            int lon(lon) ; lon:units = "degrees_east" ;)",
         "Variable-Type of Geographical coodrinate(lon/lat) not expected:\n\nVariable Name = "
         "lon\nTyep Number = 4"},
        {"a longitude with more values than the axis",
         R"(dimensions: lat = 2 ; lon = 2 ; two = 2 ;
            variables: float lat(lat) ; lat:units = "degrees_north" ;
            float lon(lon, two) ; lon:units = "degrees_east" ;)",
         "[SetGeoWindow] Variable lon holds 4 values where 2 are expected"},
        {"a latitude of one value",
         R"(dimensions: lat = 1 ; lon = 2 ;
            variables: float lat(lat) ; lat:units = "degrees_north" ;
            float lon(lon) ; lon:units = "degrees_east" ;
            data: lat = 5 ; lon = 1, 2 ;)",
         "Error: 6 Overflow"},
        {"an empty longitude axis",
         R"(dimensions: lat = 2 ; lon = UNLIMITED ;
            variables: float lat(lat) ; lat:units = "degrees_north" ;
            float lon(lon) ; lon:units = "degrees_east" ;)",
         "[SetGeoWindow] nlon& <= 0 Or nlat& <= 0"},
    };
    TempDir dir;
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path =
            cdlFile(dir, numbered("g", ++n, ".nc"), std::string("netcdf g {\n") + c.cdl + "\n}\n");
        const Opened o = open(path);
        EXPECT_EQ(o.result, -1);
        EXPECT_EQ(o.message, c.message);
        EXPECT_EQ(o.ncf.ncid, -1); // closed on every way out
    }
}

TEST(SetGeoWindow, LevelsPositionsAndSpacingOfARegularGrid) {
    TempDir dir;
    const std::string path = cdlFile(dir, "grid.nc", R"(netcdf grid {
dimensions: depth = 3 ; lat = 3 ; lon = 4 ;
variables:
  float depth(depth) ;
  double lat(lat) ; lat:units = "degrees_north" ;
  double lon(lon) ; lon:units = "degrees_east" ;
data:
  depth = 5, 15, 30 ;
  lat = 60, 55, 50 ;
  lon = 170, 180, -170, -160 ;
}
)");
    const Opened o = open(path);
    ASSERT_EQ(o.result, 1) << o.message;
    EXPECT_EQ(o.geo.nvcoord, 3);
    EXPECT_EQ(o.geo.vCoord(0), 0);
    EXPECT_EQ(o.geo.vCoord(1), 5);
    EXPECT_EQ(o.geo.vCoord(3), 30);
    EXPECT_EQ(o.geo.nTime, 0);
    EXPECT_FALSE(o.geo.TimeValue.IsAllocated());
    ASSERT_EQ(o.geo.nlon, 4);
    // A longitude axis across the date line is made increasing.
    EXPECT_EQ(o.geo.LonGrid(3), 190);
    EXPECT_EQ(o.geo.LonGrid(4), 200);
    EXPECT_FLOAT_EQ(o.ncf.dlon, 10);
    // A latitude axis from north to south keeps its order: its spacing is negative.
    EXPECT_EQ(o.geo.LatGrid(1), 60);
    EXPECT_FLOAT_EQ(o.ncf.dlat, -5);
}

TEST(SetGeoWindow, PositionsOfACellGridInFileOrder) {
    TempDir dir;
    const std::string path = cdlFile(dir, "cells.nc", R"(netcdf cells {
dimensions: icel = 4 ; jcel = 3 ;
variables:
  float lon(icel, jcel) ; lon:units = "degrees_east" ;
  float lat(icel, jcel) ; lat:units = "degrees_north" ;
data:
  lon = 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11 ;
  lat = 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11 ;
}
)");
    Opened o;
    ASSERT_EQ(ocxGetNCHeader(o.ncf, path, 0, o.message), 1);
    ASSERT_EQ(ocxPickCoordVariables(o.ncf), 1);
    o.ncf.dlon = o.ncf.dlat = 7; // left from a dataset before
    ASSERT_EQ(SetGeoWindow(o.ncf, o.geo, o.message), 1) << o.message;
    EXPECT_EQ(o.geo.icells, 4);
    EXPECT_EQ(o.geo.jcells, 3);
    EXPECT_EQ(o.geo.LonGrid.UBound(1), 3);
    EXPECT_EQ(o.geo.LonGrid.UBound(2), 4);
    // The value at (i, j) of the file goes to (j, i).
    EXPECT_EQ(o.geo.LonGrid(1, 1), 0);
    EXPECT_EQ(o.geo.LonGrid(2, 1), 1);
    EXPECT_EQ(o.geo.LonGrid(1, 2), 3);
    EXPECT_EQ(o.geo.LatGrid(3, 4), 11);
    // A grid of cells has no spacing, whatever the dataset before had.
    EXPECT_EQ(o.ncf.dlon, 0);
    EXPECT_EQ(o.ncf.dlat, 0);
}

// MPAS positions in plain radians, named as longitude and latitude: a list of cells in
// degrees, its latitude the one over the cells even where another grid's comes first.
TEST(SetGeoWindow, PositionsInRadiansNamedAsPositionsAreHeldInDegrees) {
    TempDir dir;
    const std::string path = cdlFile(dir, "mpas.nc", R"(netcdf mpas {
dimensions: nCells = 3 ; nEdges = 2 ; nVertLevels = 2 ;
variables:
  double latEdge(nEdges) ; latEdge:units = "radians" ;
  double lonCell(nCells) ; lonCell:units = "radians" ;
  double latCell(nCells) ; latCell:units = "radians" ;
  double angleEdge(nEdges) ; angleEdge:units = "radians" ;
  float theta(nCells, nVertLevels) ;
data:
  latEdge = 0.1, 0.2 ;
  lonCell = 4.3633231, 4.3807764, 4.3982297 ;
  latCell = 0.6981317, 0.7155850, 0.7330383 ;
}
)");
    Opened o;
    ASSERT_EQ(ocxGetNCHeader(o.ncf, path, 0, o.message), 1);
    ASSERT_EQ(ocxPickCoordVariables(o.ncf), 1);
    EXPECT_EQ(o.ncf.vari(o.ncf.lon_vId).name, "lonCell");
    EXPECT_EQ(o.ncf.vari(o.ncf.lat_vId).name, "latCell");
    ASSERT_EQ(SetGeoWindow(o.ncf, o.geo, o.message), 1) << o.message;
    ASSERT_EQ(o.geo.ncells, 3);
    EXPECT_NEAR(o.geo.LonGrid(1), 250, 1e-4);
    EXPECT_NEAR(o.geo.LonGrid(3), 252, 1e-4);
    EXPECT_NEAR(o.geo.LatGrid(1), 40, 1e-4);
    EXPECT_NEAR(o.geo.LatGrid(3), 42, 1e-4);
}

TEST(ocxGetDate, AStepOutsideTheAxisIsAnError) {
    TempDir dir;
    const Opened o = open(writeTimeGrid(dir, "t.nc", axis("days since 2000-01-01", {0, 1})));
    std::string message;
    EXPECT_EQ(ocxGetDate(o.ncf, o.geo, 3, message).serial, 0);
    EXPECT_EQ(message, "Error: 9 Subscript out of range");
}
