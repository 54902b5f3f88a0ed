// Horizontal and vertical set-up of a slot: caches, bounding box, spacing, levels, and the
// failures with the state they leave.
#include "kelvadlib/Kelvad.h"
#include "runtime/RuntimeError.h"
#include "tests/support/NcBuilder.h"
#include "tests/support/TempDir.h"
#include "tests/support/VArrayItems.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

std::vector<float> ramp(std::size_t n, float first, float last) {
    std::vector<float> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = n == 1 ? first : first + (last - first) * static_cast<float>(i) / (n - 1.0f);
    return v;
}

class ExtentsTest : public ::testing::Test {
protected:
    ExtentsTest() : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir.path());
    }
    ~ExtentsTest() override { std::filesystem::current_path(old_); }

    // The header into slot 1, as Initialize would count it.
    NcfRec& load(const std::string& path) {
        k.nNcMax = 1;
        EXPECT_EQ(k.GetNCHeader(path, 1), 1) << k.ErrorMessage;
        return k.ncf(1);
    }
    void expectBox(const NcfRec& r, float w, float e, float s, float n) {
        EXPECT_FLOAT_EQ(r.westEnd, w);
        EXPECT_FLOAT_EQ(r.eastEnd, e);
        EXPECT_FLOAT_EQ(r.southEnd, s);
        EXPECT_FLOAT_EQ(r.northEnd, n);
    }

    TempDir dir;
    std::filesystem::path old_;
    Kelvad k;
};

// ---- Regular grids -----------------------------------------------------------------------

struct RegularCase {
    const char* what;
    std::vector<float> lon, lat;
    std::optional<float> lonFill, latMissing;
    std::vector<float> cache; // lonArr afterwards
    float w, e, s, n;
    float dLon, dLat; // 7 means "left as it was"
};

TEST_F(ExtentsTest, RegularGrids) {
    const float fill = NC_FILL_FLOAT;
    const RegularCase cases[] = {
        {"crossing the date line continues past 180",
         {170, 175, 180, -175, -170},
         {0, 10},
         {},
         {},
         {170, 175, 180, 185, 190},
         170,
         190,
         0,
         10,
         5,
         10},
        {"a descending axis keeps its extent",
         {10, 9, 8},
         {60, 50, 40},
         {},
         {},
         {10, 9, 8},
         8,
         10,
         40,
         60,
         -1,
         -10},
        {"a global axis from 0",
         {0, 90, 180, 270},
         {-45, 45},
         {},
         {},
         {0, 90, 180, 270},
         0,
         270,
         -45,
         45,
         90,
         90},
        {"one longitude widens the box",
         {10},
         {0, 10, 20},
         {},
         {},
         {10},
         9.5,
         10.5,
         -0.5,
         20.5,
         7,
         10},
        {"one longitude at 0 widens too", {0}, {5}, {}, {}, {0}, -0.5, 0.5, 4.5, 5.5, 7, 7},
        {"fill values and NaN take no part",
         {-999, 0, 10},
         {1, kNaN, 2},
         -999.0f,
         {},
         {-999, 0, 10},
         0,
         10,
         1,
         2,
         504.5,
         0.5},
        {"a NaN fill (xarray) marks only NaN, not the coordinate 1",
         {1, 5, 10},
         {0, kNaN, 2},
         kNaN,
         {},
         {1, 5, 10},
         1,
         10,
         0,
         2,
         4.5,
         1},
        {"the type's default fill takes no part",
         {0, fill, 20},
         {0, 1},
         {},
         {},
         {0, fill, 20},
         0,
         20,
         0,
         1,
         10,
         1},
        {"missing values take no part",
         {0, 1},
         {99, 10, 20},
         {},
         99.0f,
         {0, 1},
         0,
         1,
         10,
         20,
         1,
         -39.5},
    };
    for (const RegularCase& c : cases) {
        SCOPED_TRACE(c.what);
        NcBuilder nc(dir.file("grid.nc"));
        nc.dim("lon", c.lon.size());
        nc.dim("lat", c.lat.size());
        auto& lon = nc.var("lon", NC_FLOAT, {"lon"});
        if (c.lonFill) lon.att("_FillValue", *c.lonFill);
        lon.values(c.lon);
        auto& lat = nc.var("lat", NC_FLOAT, {"lat"});
        if (c.latMissing) lat.att("missing_value", *c.latMissing);
        lat.values(c.lat);
        nc.write();
        NcfRec& r = load(nc.path());
        r.GridType = kGridRegular;
        r.lon_vId = 1;
        r.lat_vId = 2;
        r.nLon = static_cast<Long>(c.lon.size());
        r.nLat = static_cast<Long>(c.lat.size());
        r.dLon = r.dLat = 7;
        ASSERT_EQ(k.SetHorizontalExtent(1), 1) << k.ErrorMessage;
        EXPECT_EQ(items(r.lonArr), c.cache);
        EXPECT_EQ(r.latArr.size(), c.lat.size());
        expectBox(r, c.w, c.e, c.s, c.n);
        EXPECT_FLOAT_EQ(r.dLon, c.dLon);
        EXPECT_FLOAT_EQ(r.dLat, c.dLat);
        EXPECT_GE(r.ncid, 0); // CloseAfterRead 0: left open
    }
}

TEST_F(ExtentsTest, CellListsAndTheNarrowBox) {
    struct Case {
        std::vector<float> lon;
        bool widened;
    };
    const Case cases[] = {
        {{0}, true},
        {{0, 0.01f}, true},
        {{0, static_cast<float>(1.0 / 60.0)}, false}, // the limit itself is not below it
        {{-30, 40}, false},
    };
    for (const Case& c : cases) {
        NcBuilder nc(dir.file("cells.nc"));
        nc.dim("cell", c.lon.size());
        nc.var("lon", NC_FLOAT, {"cell"}).values(c.lon);
        nc.var("lat", NC_FLOAT, {"cell"}).values(std::vector<float>(c.lon.size(), 3));
        nc.write();
        NcfRec& r = load(nc.path());
        r.GridType = kGridCells;
        r.lon_vId = 1;
        r.lat_vId = 2;
        r.nCells = static_cast<Long>(c.lon.size());
        ASSERT_EQ(k.SetHorizontalExtent(1), 1) << k.ErrorMessage;
        const float half = c.widened ? 0.5f : 0.0f;
        expectBox(r, c.lon.front() - half, c.lon.back() + half, 3 - half, 3 + half);
    }
}

// Coordinates stored in radians: the caches, the box and the spacing in degrees, for every
// layout that reads its coordinates; marks of no position stay marks; a coordinate in degrees
// beside one in radians stays as it is.
TEST_F(ExtentsTest, RadianCoordinatesBecomeDegrees) {
    const double d = 3.14159265358979323846 / 180;
    struct Case {
        const char* what;
        const char* lonUnits;
        const char* latUnits;
        std::vector<float> lon, lat; // degrees; the file holds radians where the units say so
        Long gridType;
        std::vector<float> lonCache, latCache;
        float w, e, s, n;
    };
    const float fill = NC_FILL_FLOAT;
    const Case cases[] = {
        {"regular grid across the date line",
         "radians",
         "radians_north",
         {170, 180, -175},
         {-10, 0, 10},
         kGridRegular,
         {170, 180, 185},
         {-10, 0, 10},
         170,
         185,
         -10,
         10},
        {"cell list with a missing position",
         "radians_east",
         "rad",
         {10, fill, 30},
         {1, 2, 3},
         kGridCells,
         {10, fill, 30},
         {1, 2, 3},
         10,
         30,
         1,
         3},
        {"finite-element nodes, latitudes in degrees",
         "Radian",
         "degrees_north",
         {-60, -50, -55},
         {40, 40, 45},
         kGridFeMesh,
         {-60, -50, -55},
         {40, 40, 45},
         -60,
         -50,
         40,
         45},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const bool latRad = std::string(c.latUnits) != "degrees_north";
        const auto stored = [&](const std::vector<float>& v, bool rad) {
            std::vector<float> out;
            for (float x : v)
                out.push_back(rad && x != fill ? static_cast<float>(x * d) : x);
            return out;
        };
        NcBuilder nc(dir.file("radians.nc"));
        const std::string lonDim = c.gridType == kGridRegular ? "lon"
                                   : c.gridType == kGridCells ? "cell"
                                                              : "node";
        const std::string latDim = c.gridType == kGridRegular ? "lat" : lonDim;
        nc.dim(lonDim, c.lon.size());
        if (latDim != lonDim) nc.dim(latDim, c.lat.size());
        nc.var("lon", NC_FLOAT, {lonDim}).att("units", c.lonUnits).values(stored(c.lon, true));
        nc.var("lat", NC_FLOAT, {latDim}).att("units", c.latUnits).values(stored(c.lat, latRad));
        nc.write();
        NcfRec& r = load(nc.path());
        r.GridType = c.gridType;
        r.lon_vId = 1;
        r.lat_vId = 2;
        r.nCells = r.nNodes = r.nLon = static_cast<Long>(c.lon.size());
        r.nLat = static_cast<Long>(c.lat.size());
        ASSERT_EQ(k.SetHorizontalExtent(1), 1) << k.ErrorMessage;
        ASSERT_EQ(r.lonArr.size(), c.lonCache.size());
        for (Long i = 1; i <= r.lonArr.UBound(); ++i)
            EXPECT_NEAR(r.lonArr(i), c.lonCache[static_cast<std::size_t>(i - 1)], 1e-4) << i;
        for (Long j = 1; j <= r.latArr.UBound(); ++j)
            EXPECT_NEAR(r.latArr(j), c.latCache[static_cast<std::size_t>(j - 1)], 1e-4) << j;
        EXPECT_NEAR(r.westEnd, c.w, 1e-4);
        EXPECT_NEAR(r.eastEnd, c.e, 1e-4);
        EXPECT_NEAR(r.southEnd, c.s, 1e-4);
        EXPECT_NEAR(r.northEnd, c.n, 1e-4);
        if (c.gridType == kGridRegular) {
            EXPECT_NEAR(r.dLon, 7.5, 1e-4);
            EXPECT_NEAR(r.dLat, 10, 1e-4);
        }
        // The coordinate members hand out the caches: degrees, and the program's radians.
        VArray<float> lon, lat;
        ASSERT_EQ(k.doFill_LonLatDeg(1, lon, lat).toLong(), 1);
        EXPECT_NEAR(lon(1), c.lonCache[0], 1e-4);
        if (c.gridType == kGridRegular) continue;
        VArray<Long> start(1, 1), end(1, 1), stride(1, 1);
        start(1) = end(1) = stride(1) = 1;
        ASSERT_EQ(k.GetLonLatRad(lon, lat, start, end, stride, 1, 1), 1) << k.ErrorMessage;
        EXPECT_NEAR(lon(1), c.lonCache[0] * 0.017453292222222222, 1e-6);
    }
}

TEST_F(ExtentsTest, ReadsStopAtTheRecordedSize) {
    // A cell list over the unlimited dimension that grows after the header read.
    NcBuilder nc(dir.file("grow.nc"));
    nc.unlimitedDim("cell", 3);
    nc.var("lon", NC_FLOAT, {"cell"}).values(std::vector<float>{1, 2, 3});
    nc.var("lat", NC_FLOAT, {"cell"}).values(std::vector<float>{4, 5, 6});
    nc.write();
    NcfRec& r = load(nc.path());
    r.GridType = kGridCells;
    r.lon_vId = 1;
    r.lat_vId = 2;
    r.nCells = 3;
    k.CloseSlot(1);
    int id = -1;
    ASSERT_EQ(nc_open(nc.path().c_str(), NC_WRITE, &id), NC_NOERR);
    const std::size_t start[] = {3}, count[] = {3};
    const float more[] = {100, 200, 300};
    ASSERT_EQ(nc_put_vara_float(id, 0, start, count, more), NC_NOERR);
    ASSERT_EQ(nc_put_vara_float(id, 1, start, count, more), NC_NOERR);
    ASSERT_EQ(nc_close(id), NC_NOERR);

    ASSERT_EQ(k.SetHorizontalExtent(1), 1) << k.ErrorMessage;
    EXPECT_EQ(items(r.lonArr), (std::vector<float>{1, 2, 3}));
    expectBox(r, 1, 3, 4, 6);

    // A record count that does not match the variable is refused, not over-read.
    r.nCells = 2;
    EXPECT_EQ(k.SetHorizontalExtent(1), -1);
    EXPECT_EQ(k.ErrorMessage.rfind("[SetHorizontalExtent] Size of variable lon", 0), 0u)
        << k.ErrorMessage;
}

// ---- Boundary-fitted grids ---------------------------------------------------------------

TEST_F(ExtentsTest, BoundaryFittedSpacing) {
    struct Case {
        Long iMax, jMax;
        float lonSpan, latSpan;
        float dLon, dLat;
    };
    const Case cases[] = {
        {4, 3, 20, 10, 20.0f / 3, 5}, // jMax <= iMax, latitude span smaller
        {4, 3, 10, 20, 5, 20.0f / 3}, // jMax <= iMax, latitude span larger
        {3, 4, 20, 10, 20.0f / 3, 5}, // jMax > iMax, latitude span smaller
        {3, 4, 10, 20, 5, 20.0f / 3}, // jMax > iMax, latitude span larger
        {4, 3, 10, 10, 5, 10.0f / 3}, // equal spans count as latitude span larger
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.iMax) + "x" + std::to_string(c.jMax));
        const std::size_t n = static_cast<std::size_t>(c.iMax * c.jMax);
        NcBuilder nc(dir.file("bf.nc"));
        nc.dim("gridi", static_cast<std::size_t>(c.iMax));
        nc.dim("gridj", static_cast<std::size_t>(c.jMax));
        nc.var("lon", NC_FLOAT, {"gridi", "gridj"}).values(ramp(n, 100, 100 + c.lonSpan));
        nc.var("lat", NC_FLOAT, {"gridi", "gridj"}).values(ramp(n, -5, -5 + c.latSpan));
        nc.write();
        NcfRec& r = load(nc.path());
        r.GridType = kGridBfg;
        r.lon_vId = 1;
        r.lat_vId = 2;
        r.iMax = c.iMax;
        r.jMax = c.jMax;
        ASSERT_EQ(k.SetHorizontalExtent(1), 1) << k.ErrorMessage;
        EXPECT_EQ(r.lonArr.UBound(), c.iMax * c.jMax);
        expectBox(r, 100, 100 + c.lonSpan, -5, -5 + c.latSpan);
        EXPECT_FLOAT_EQ(r.dLon, c.dLon);
        EXPECT_FLOAT_EQ(r.dLat, c.dLat);
    }
}

// Two-dimensional positions over the time axis are reports, a list of points, one per station
// at the first report that gives a position; the same positions over other dimensions stay a
// grid, also with a position missing.
TEST_F(ExtentsTest, PositionsOverTheTimeAxisAreReportsNotAGrid) {
    const float fill = NC_FILL_FLOAT;
    for (const bool hourly : {true, false}) {
        SCOPED_TRACE(hourly ? "by hour" : "a grid");
        NcBuilder nc(dir.file("reports.nc"));
        nc.dim("row", 2);
        nc.dim("col", 3);
        if (hourly)
            nc.var("row", NC_INT, {"row"})
                .att("units", "hours since 2022-05-01 00:00:00")
                .values(std::vector<int>{0, 1});
        nc.var("lon", NC_FLOAT, {"row", "col"})
            .values(std::vector<float>{-70.8f, fill, 2.5f, -70.8f, 151.2f, 2.5f});
        nc.var("lat", NC_FLOAT, {"row", "col"})
            .values(std::vector<float>{-33.4f, fill, 49, -33.4f, -33.9f, 49});
        nc.write();
        NcfRec& r = load(nc.path());
        ASSERT_EQ(k.PickCoordVariables(1), 1) << k.ErrorMessage;
        ASSERT_EQ(r.GridType, kGridBfg);
        ASSERT_EQ(k.SetHorizontalExtent(1), 1) << k.ErrorMessage;
        EXPECT_EQ(r.GridType, hourly ? kGridCells : kGridBfg);
        if (!hourly) continue;
        EXPECT_EQ(r.nCells, 3);
        EXPECT_EQ(r.nCell_dId, 1);
        EXPECT_EQ(items(r.lonArr), (std::vector<float>{-70.8f, 151.2f, 2.5f}));
        expectBox(r, -70.8f, 151.2f, -33.9f, 49);
    }
}

// With a time dimension the coordinates are the first step's slice, counted in the order of the
// variable's own dimensions: stored (time, i, j) or (time, j, i), with iMax 2 and jMax 3 the
// slice counts 2 x 3 or 3 x 2. A shape the slice cannot take fails: one row of j divides the
// spacing by zero and leaves the dataset open; counts beyond the variable's dimensions are the
// library's error, not a read past them.
TEST_F(ExtentsTest, BoundaryFittedWithTimeTakesTheFirstSliceInTheVariablesOwnOrder) {
    struct Case {
        const char* what;
        const char* first; // the grid dimension stored after time
        const char* second;
        Long lonlatOrder; // set on the coordinate variables; 0 leaves them as read
        Long badIMax, badJMax;
        std::string error;
        bool wholeError; // else the error's start
        bool staysOpen;
    };
    const Case cases[] = {
        {"i first", "i", "j", 0, 2, 1, "Error message (number 11)is:\r\n\"" + ErrorText(11) + "\"",
         true, true},
        {"j first", "j", "i", 2, 3, 3, "NetCDF Error: ", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NcBuilder nc(dir.file(std::string("bf3") + c.first + c.second + ".nc"));
        nc.unlimitedDim("time", 2);
        nc.dim("i", 2);
        nc.dim("j", 3);
        std::vector<float> lon = {1, 2, 3, 4, 5, 6, 100, 100, 100, 100, 100, 100};
        std::vector<float> lat = {7, 8, 9, 10, 11, 12, -100, -100, -100, -100, -100, -100};
        nc.var("lon", NC_FLOAT, {"time", c.first, c.second}).values(lon);
        nc.var("lat", NC_FLOAT, {"time", c.first, c.second}).values(lat);
        nc.write();
        NcfRec& r = load(nc.path());
        r.GridType = kGridBfg;
        r.lon_vId = 1;
        r.lat_vId = 2;
        if (c.lonlatOrder != 0) {
            r.vari(1).lonlatOrder = c.lonlatOrder;
            r.vari(2).lonlatOrder = c.lonlatOrder;
        }
        r.iMax = 2;
        r.jMax = 3;
        ASSERT_EQ(k.SetHorizontalExtent(1), 1) << k.ErrorMessage;
        EXPECT_EQ(items(r.lonArr), (std::vector<float>{1, 2, 3, 4, 5, 6}));
        EXPECT_EQ(items(r.latArr), (std::vector<float>{7, 8, 9, 10, 11, 12}));
        expectBox(r, 1, 6, 7, 12);

        r.iMax = c.badIMax;
        r.jMax = c.badJMax;
        EXPECT_EQ(k.SetHorizontalExtent(1), -1);
        EXPECT_EQ(c.wholeError ? k.ErrorMessage : k.ErrorMessage.substr(0, c.error.size()), c.error)
            << k.ErrorMessage;
        if (c.staysOpen) {
            EXPECT_GE(r.ncid, 0);
        }
    }
}

// ---- Meshes and GMT grids ----------------------------------------------------------------

TEST_F(ExtentsTest, FiniteElementNodes) {
    NcBuilder nc(dir.file("fe.nc"));
    nc.dim("node", 4);
    nc.var("x", NC_DOUBLE, {"node"}).values(std::vector<double>{5, -3, 8, 1});
    nc.var("y", NC_DOUBLE, {"node"}).values(std::vector<double>{50, 51, 49, 52});
    nc.write();
    NcfRec& r = load(nc.path());
    r.GridType = kGridFeMesh;
    r.lon_vId = 1;
    r.lat_vId = 2;
    r.nNodes = 4;
    r.dLon = 7;
    ASSERT_EQ(k.SetHorizontalExtent(1), 1) << k.ErrorMessage;
    expectBox(r, -3, 8, 49, 52);
    EXPECT_EQ(r.dLon, 7.0f);
    EXPECT_EQ(r.lonArr.UBound(), 4);
}

// A GMT grid as GMT writes it: ranges, spacing and dimension over "side", the values over
// "xysize", node_offset on the value variable (0 gridline, 1 pixel registration).
std::string gmtFile(const std::string& path, std::vector<int> dimension, std::size_t xysize,
                    int nodeOffset) {
    NcBuilder nc(path);
    nc.dim("side", 2);
    nc.dim("xysize", xysize);
    nc.var("x_range", NC_DOUBLE, {"side"})
        .att("units", "degrees")
        .values(std::vector<double>{100, 110});
    nc.var("y_range", NC_DOUBLE, {"side"})
        .att("units", "degrees")
        .values(std::vector<double>{0, 10});
    nc.var("z_range", NC_DOUBLE, {"side"})
        .att("units", "meters")
        .values(std::vector<double>{-5, 5});
    nc.var("spacing", NC_DOUBLE, {"side"}).values(std::vector<double>{0.5, 0.25});
    nc.var("dimension", NC_INT, {"side"}).values(dimension);
    nc.var("z", NC_FLOAT, {"xysize"})
        .att("scale_factor", 1.0)
        .att("add_offset", 0.0)
        .att("node_offset", nodeOffset)
        .values(std::vector<float>(xysize, 1.5f));
    nc.globalAtt("title", "grid");
    return nc.write();
}

TEST_F(ExtentsTest, GmtGridsArePlacedByTheirRegistration) {
    struct Case {
        const char* what;
        int nodeOffset;
        Long nLon, nLat;
        float lon1, lon2, lonLast, lat1, latLast;
    };
    const Case cases[] = {
        // Gridline: the ranges are the outer points.
        {"gridline", 0, 21, 41, 100, 100.5f, 110, 0, 10},
        // Pixel: the ranges are the outer cell edges, the points half a step inside.
        {"pixel", 1, 20, 40, 100.25f, 100.75f, 109.75f, 0.125f, 9.875f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::size_t n = static_cast<std::size_t>(c.nLon * c.nLat);
        NcfRec& r = load(gmtFile(dir.file("gmt.nc"), {c.nLon, c.nLat}, n, c.nodeOffset));
        r.GridType = kGridGmt;
        r.lon_vId = 1;
        r.lat_vId = 2;
        r.spacing_vId = 4;
        r.dimension_vId = 5;
        r.nSide = 2;
        r.nXysize = static_cast<Long>(n);
        ASSERT_EQ(k.SetHorizontalExtent(1), 1) << k.ErrorMessage;
        EXPECT_EQ(r.nLon, c.nLon);
        EXPECT_EQ(r.nLat, c.nLat);
        EXPECT_EQ(r.dLon, 0.5f);
        EXPECT_EQ(r.dLat, 0.25f);
        expectBox(r, 100, 110, 0, 10); // the ranges as stored
        ASSERT_EQ(r.lonArr.UBound(), c.nLon);
        EXPECT_EQ(r.lonArr(1), c.lon1);
        EXPECT_EQ(r.lonArr(2), c.lon2);
        EXPECT_EQ(r.lonArr(c.nLon), c.lonLast);
        ASSERT_EQ(r.latArr.UBound(), c.nLat);
        EXPECT_EQ(r.latArr(1), c.lat1);
        EXPECT_EQ(r.latArr(c.nLat), c.latLast);
        EXPECT_FALSE(r.gmtDimension.IsAllocated()); // the work arrays are released
    }
}

TEST_F(ExtentsTest, GmtGridWhoseDimensionDoesNotMatchItsValuesIsRefusedAtLoad) {
    struct Case {
        const char* what;
        std::vector<int> dimension;
        std::size_t xysize;
        bool loads;
        std::string text;
    };
    const std::string tag = "[SetHorizontalExtent] GMT grid of ";
    const Case cases[] = {
        {"matching", {4, 3}, 12, true, ""},
        {"more values than the grid",
         {4, 3},
         13,
         false,
         tag + "4 x 3 values does not match its 13 stored values"},
        {"fewer values than the grid",
         {21, 41},
         4,
         false,
         tag + "21 x 41 values does not match its 4 stored values"},
        {"no columns", {0, 3}, 3, false, tag + "0 x 3 values does not match its 3 stored values"},
        {"negative sizes",
         {-4, -3},
         12,
         false,
         tag + "-4 x -3 values does not match its 12 stored values"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Kelvad kv;
        const std::string path =
            gmtFile(dir.file(std::string("gmt-") + c.what + ".nc"), c.dimension, c.xysize, 0);
        const Long slot = kv.Initialize(path);
        if (c.loads) {
            ASSERT_EQ(slot, 1) << kv.ErrorMessage;
            EXPECT_EQ(kv.ncf(1).GridType, kGridGmt);
            EXPECT_EQ(kv.ncf(1).nLon * kv.ncf(1).nLat, kv.ncf(1).nXysize);
        } else {
            EXPECT_EQ(slot, -1);
            EXPECT_EQ(kv.nNcMax, 0);
            EXPECT_EQ(kv.ErrorMessage, c.text);
            EXPECT_EQ(kv.ncf(1).ncid, -1); // the refused dataset is not left open
        }
    }
}

class FiniteVolumeExtent : public ExtentsTest {
protected:
    // 12 stored nodes in columns of 3 (FV_layers 2), 2 elements; coordinates on the nodes or
    // on the elements.
    NcfRec& mesh(bool onNodes, std::vector<int> nv = {0, 3, 6, 3, 9, 6}) {
        NcBuilder nc(dir.file("fv.nc"));
        nc.dim("node", 12);
        nc.dim("nele", 2);
        nc.dim("three", 3);
        nc.dim("other", 1);
        const std::string on = onNodes ? "node" : "nele";
        const std::vector<float> x = onNodes ? ramp(12, 0, 11) : std::vector<float>{20, 30};
        const std::vector<float> y = onNodes ? ramp(12, 40, 51) : std::vector<float>{-2, -1};
        nc.var("x", NC_FLOAT, {on}).values(x);
        nc.var("y", NC_FLOAT, {on}).values(y);
        nc.var("nv", NC_INT, {"nele", "three"}).values(nv);
        nc.var("odd", NC_FLOAT, {"other"});
        nc.write();
        NcfRec& r = load(nc.path());
        r.GridType = kGridFvMesh;
        r.lon_vId = 1;
        r.lat_vId = 2;
        r.node_dId = 0;
        r.elem_dId = 1;
        r.face_dId = 2;
        r.nSide = 3;
        r.nNodes = 12;
        r.nElements = 2;
        r.FV_layers = 2;
        r.vari(3).kind = 2;
        return r;
    }
};

TEST_F(FiniteVolumeExtent, NodesTakeTheFirstOfEachColumn) {
    NcfRec& r = mesh(true);
    ASSERT_EQ(k.SetHorizontalExtent(1), 1) << k.ErrorMessage;
    EXPECT_EQ(r.nNodesAll, 12);
    EXPECT_EQ(r.nNodes, 4);
    EXPECT_EQ(items(r.lonArr), (std::vector<float>{0, 3, 6, 9}));
    EXPECT_EQ(items(r.latArr), (std::vector<float>{40, 43, 46, 49}));
    expectBox(r, 0, 9, 40, 49);
    EXPECT_EQ(items(r.node1Arr), (std::vector<Long>{1, 2}));
    EXPECT_EQ(items(r.node2Arr), (std::vector<Long>{2, 4}));
    EXPECT_EQ(items(r.node3Arr), (std::vector<Long>{3, 3}));
}

TEST_F(FiniteVolumeExtent, ElementsAndFailures) {
    NcfRec& r = mesh(false);
    ASSERT_EQ(k.SetHorizontalExtent(1), 1) << k.ErrorMessage;
    EXPECT_EQ(r.nNodes, 4); // divided for this layout as well
    EXPECT_EQ(items(r.lonArr), (std::vector<float>{20, 30}));
    expectBox(r, 20, 30, -2, -1);
    EXPECT_FALSE(r.node1Arr.IsAllocated());

    NcfRec& odd = mesh(false);
    odd.lon_vId = 4;
    EXPECT_EQ(k.SetHorizontalExtent(1), -1);
    EXPECT_EQ(k.ErrorMessage, "[SetHorizontalExtent] ncf(nH).vari(ncf(nH).lon_vId).arrayDimId(1) "
                              "<> ncf(nH).elem_dId/node_dId");

    // A corner outside the mesh ends the set-up with the corner table's message.
    NcfRec& bad = mesh(true, {0, 3, 12, 3, 9, 6});
    EXPECT_EQ(k.SetHorizontalExtent(1), -1);
    EXPECT_EQ(k.ErrorMessage.rfind("[doFill_NodeMesh] Node number 5", 0), 0u) << k.ErrorMessage;
    EXPECT_FALSE(bad.lonArr.IsAllocated());
}

// ---- Failures and the open/close policy ----------------------------------------------------

TEST_F(ExtentsTest, FailuresAndClosing) {
    NcBuilder nc(dir.file("cells.nc"));
    nc.dim("cell", 2);
    nc.dim("len", 2);
    nc.var("lon", NC_FLOAT, {"cell"}).values(std::vector<float>{1, 2});
    nc.var("lat", NC_FLOAT, {"cell"}).values(std::vector<float>{3, 4});
    nc.var("name", NC_CHAR, {"len"}).text("ab");
    nc.write();
    NcfRec& r = load(nc.path());
    r.lon_vId = 1;
    r.lat_vId = 2;
    r.nCells = 2;

    for (Long gt : {kGridNone, kGridFvMesh + 1}) {
        r.GridType = gt;
        EXPECT_EQ(k.SetHorizontalExtent(1), -1);
        EXPECT_EQ(k.ErrorMessage, "[SetHorizontalExtent] undefined GridType");
        expectBox(r, 900, -900, 900, -900);
        EXPECT_GE(r.ncid, 0);
    }

    // An unreadable latitude: the library's text, the dataset closed, the longitudes read.
    r.GridType = kGridCells;
    r.lat_vId = 3;
    EXPECT_EQ(k.SetHorizontalExtent(1), -1);
    EXPECT_EQ(k.ErrorMessage, "NetCDF Error: " + std::string(nc_strerror(NC_ECHAR)));
    EXPECT_EQ(r.ncid, -1);
    EXPECT_EQ(items(r.lonArr), (std::vector<float>{1, 2}));
    expectBox(r, 900, -900, 900, -900);

    // Reopened by name; closed at the end when CloseAfterRead is 1.
    r.lat_vId = 2;
    k.CloseAfterRead = 1;
    ASSERT_EQ(k.SetHorizontalExtent(1), 1) << k.ErrorMessage;
    EXPECT_EQ(r.ncid, -1);
    expectBox(r, 1, 2, 3, 4);

    // A dataset that cannot be opened.
    r.FName = dir.file("gone.nc");
    EXPECT_EQ(k.SetHorizontalExtent(1), -1);
    EXPECT_EQ(k.ErrorMessage.rfind("NetCDF Error: ", 0), 0u);

    // A slot outside the records ends in the handler.
    EXPECT_EQ(k.SetHorizontalExtent(9), -1);
    EXPECT_EQ(k.ErrorMessage, "Error message (number 9)is:\r\n\"Subscript out of range\"");
}

// ---- Vertical extent ---------------------------------------------------------------------

TEST_F(ExtentsTest, LevelValuesOfEveryType) {
    struct Case {
        nc_type type;
        NcFormat format;
        Long result;
        std::vector<double> cache;
        std::string message; // "" when none is written
    };
    const std::string unexpected = "Variable-Type of vertical coodrinate not expected:\r\n"
                                   "Variable Name = depth\nTyep Number = ";
    const Case cases[] = {
        {NC_SHORT, NcFormat::Classic, 1, {0, -1, 0, 5}, ""},
        {NC_INT, NcFormat::Classic, 1, {0, -1, 0, 5}, ""},
        {NC_FLOAT, NcFormat::Classic, 1, {0, -1, 0, 5}, ""},
        {NC_DOUBLE, NcFormat::Classic, 1, {0, -1, 0, 5}, ""},
        {NC_BYTE, NcFormat::Classic, 1, {0, 0, 0, 0}, unexpected + " 1"},
        {NC_CHAR, NcFormat::Classic, 1, {0, 0, 0, 0}, unexpected + " 2"},
        {NC_UBYTE, NcFormat::Netcdf4, 1, {0, 0, 0, 0}, unexpected + " 7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        NcBuilder nc(dir.file("levels.nc"), c.format);
        nc.dim("depth", 3);
        auto& v = nc.var("depth", c.type, {"depth"});
        if (c.type == NC_CHAR)
            v.text("abc");
        else if (c.type == NC_UBYTE)
            v.values(std::vector<int>{1, 0, 5});
        else
            v.values(std::vector<double>{-1, 0, 5});
        nc.write();
        NcfRec& r = load(nc.path());
        r.kMax = 3;
        r.level_vId = 1;
        k.ErrorMessage = "";
        EXPECT_EQ(k.SetVerticalExtent(1), c.result);
        EXPECT_EQ(items(r.vCoordArr), c.cache);
        EXPECT_EQ(k.ErrorMessage, c.message);
        EXPECT_GE(r.ncid, 0);
    }
}

TEST_F(ExtentsTest, LevelFailuresNeverFailTheLoad) {
    NcBuilder nc(dir.file("levels.nc"));
    nc.dim("level", 3);
    nc.dim("x", 2);
    nc.var("level", NC_FLOAT, {"level"}).values(std::vector<float>{10, 20, 30});
    nc.var("siglay", NC_FLOAT, {"level", "x"}).values(std::vector<float>(6, 1));
    nc.write();
    NcfRec& r = load(nc.path());
    r.level_vId = 1;

    // No levels: nothing read, written or closed.
    r.kMax = 0;
    r.vCoordArr.ReDim(0, 1);
    r.vCoordArr(1) = 42;
    k.ErrorMessage = "before";
    EXPECT_EQ(k.SetVerticalExtent(1), 0);
    EXPECT_EQ(r.vCoordArr(1), 42);
    EXPECT_EQ(k.ErrorMessage, "before");
    EXPECT_GE(r.ncid, 0);

    // A level variable with more values than levels is refused, not over-read (only levels over
    // a mesh are read at its first node).
    r.kMax = 3;
    r.level_vId = 2;
    EXPECT_EQ(k.SetVerticalExtent(1), 0);
    EXPECT_EQ(k.ErrorMessage.rfind("[SetVerticalExtent] Size of variable siglay", 0), 0u)
        << k.ErrorMessage;
    EXPECT_EQ(items(r.vCoordArr), (std::vector<double>{0, 0, 0, 0}));

    // A level variable number outside the records.
    r.level_vId = 0;
    EXPECT_GE(k.SetVerticalExtent(1), 0);
    EXPECT_EQ(k.ErrorMessage,
              "[SetVerticalExtent] Error message (number 9)is:\r\n\"Subscript out of range\"");

    // Closed after a good read when CloseAfterRead is 1, and reopened by name next time.
    r.level_vId = 1;
    k.CloseAfterRead = 1;
    EXPECT_EQ(k.SetVerticalExtent(1), 1);
    EXPECT_EQ(r.ncid, -1);
    EXPECT_EQ(items(r.vCoordArr), (std::vector<double>{0, 10, 20, 30}));

    // A dataset that cannot be opened: the library's text right after the colon.
    r.FName = dir.file("gone.nc");
    EXPECT_EQ(k.SetVerticalExtent(1), 0);
    EXPECT_EQ(k.ErrorMessage.rfind("NetCDF Error:", 0), 0u);
    EXPECT_NE(k.ErrorMessage.substr(13, 1), " ");
    EXPECT_EQ(r.ncid, -1);
}

} // namespace
