// Reading the current item along the section, and the display range taken from it.
#include "tyxsection/SectionRead.h"
#include "TyxFixture.h"
#include "tests/support/ScriptedUi.h"
#include "tyxsection/DrawAbleItems.h"
#include "tyxsection/TyxMain.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

// temp of the grid file at step t, level k, cell (i, j), all from 1.
float tempAt(Long t, Long k, Long i, Long j) {
    return static_cast<float>(1000 * (t - 1) + 100 * (k - 1) + 10 * (j - 1) + (i - 1));
}

void pathOf(TyxModel& m, std::initializer_list<std::pair<float, float>> points) {
    NewSection(m);
    for (const auto& p : points)
        AddSection(m, p.first, p.second);
}

// The same grid as writeGridFile's, with temp stored (time, depth, lon, lat).
std::string lonLatFile(const TempDir& dir) {
    NcBuilder nc(dir.file("lonlat.nc"));
    nc.unlimitedDim("time", 3);
    nc.dim("depth", 4);
    nc.dim("lon", 4);
    nc.dim("lat", 3);
    nc.var("time", NC_DOUBLE, {"time"}).att("units", "days since 1990-01-01").values({0, 31, 59});
    nc.var("depth", NC_FLOAT, {"depth"}).att("units", "m").values({5.0, 15.0, 30.0, 60.0});
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values({100, 110, 120, 130});
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({-10, -5, 0});
    std::vector<double> temp;
    for (Long t = 1; t <= 3; ++t)
        for (Long k = 1; k <= 4; ++k)
            for (Long i = 1; i <= 4; ++i)
                for (Long j = 1; j <= 3; ++j)
                    temp.push_back(tempAt(t, k, i, j));
    nc.var("temp", NC_FLOAT, {"time", "depth", "lon", "lat"}).values(temp);
    return nc.write();
}

} // namespace

TEST(ReadVSData, TheValuesOfEveryLevelAtTheCellsOfTheSection) {
    TempDir dir;
    InstalledScriptedUi ui;
    struct Path {
        const char* what;
        std::vector<std::pair<float, float>> points;
        std::vector<std::pair<Long, Long>> cells;
        Long latCount, lonCount; // of the last read's window
    };
    const Path paths[] = {
        {"diagonal",
         {{102, -9}, {132, 4}},
         {{1, 1}, {2, 1}, {2, 2}, {3, 2}, {3, 3}, {4, 3}},
         1,
         1},
        {"a row, east to west", {{123, -9}, {102, -9}}, {{1, 1}, {2, 1}, {3, 1}}, 1, 3},
        // Down to the cell of the last vertex, whose centre (0N) is the nearest.
        {"a column, north to south", {{112, -1}, {112, -9}}, {{2, 1}, {2, 2}, {2, 3}}, 3, 1},
    };
    for (const std::string& file : {writeGridFile(dir, "grid.nc"), lonLatFile(dir)}) {
        TyxModel m;
        ASSERT_EQ(OpenDataset(m, file), 1) << m.ErrorMessage;
        const bool latLon = file.find("grid.nc") != std::string::npos;
        for (const Path& p : paths) {
            SCOPED_TRACE(std::string(p.what) + " in " + file);
            NewSection(m);
            for (const auto& q : p.points)
                AddSection(m, q.first, q.second);
            ASSERT_EQ(EndSection(m), 1) << m.ErrorMessage;
            ASSERT_EQ(ReadVSData(m, m.main.nvar_it, 2), 2) << m.ErrorMessage;
            const auto n = static_cast<Long>(p.cells.size());
            ASSERT_EQ(m.main.SectData.UBound(1), n);
            ASSERT_EQ(m.main.SectData.UBound(2), 4);
            for (Long cell = 1; cell <= n; ++cell)
                for (Long k = 1; k <= 4; ++k) {
                    const auto& c = p.cells[static_cast<std::size_t>(cell - 1)];
                    EXPECT_EQ(m.main.SectData(cell, k), tempAt(2, k, c.first, c.second))
                        << cell << " " << k;
                }
            EXPECT_FLOAT_EQ(m.main.MaxDepth, 60);
            const DrawAbleItemRec& item = m.main.items.DrawAbleItem(1);
            EXPECT_EQ(item.min, tempAt(2, 1, p.cells.front().first, p.cells.front().second));
            EXPECT_EQ(item.max, tempAt(2, 4, p.cells.back().first, p.cells.back().second));
            // A row or a column is one read along its dimension, in the variable's order.
            const ReadWindow& w = m.main.window;
            EXPECT_EQ(w.countp(latLon ? 3 : 4), p.latCount);
            EXPECT_EQ(w.countp(latLon ? 4 : 3), p.lonCount);
            EXPECT_EQ(m.reader.ncid, -1);
        }
    }
    EXPECT_TRUE(ui.boxes.empty());
}

TEST(ReadVSData, RefusalsLeaveTheValuesHeld) {
    TempDir dir;
    InstalledScriptedUi ui;
    TyxModel m;
    ASSERT_EQ(OpenDataset(m, writeGridFile(dir, "grid.nc")), 1);
    EXPECT_EQ(ReadVSData(m, m.main.nvar_it, 1), -1);
    EXPECT_EQ(m.ErrorMessage, "[ReadVSData&] No section: EndSection has not made one");

    pathOf(m, {{123, -9}, {102, -9}});
    ASSERT_EQ(EndSection(m), 1);
    ASSERT_EQ(ReadVSData(m, m.main.nvar_it, 1), 1);
    const float held = m.main.SectData(2, 3);

    // A step below 1 says nothing.
    m.ErrorMessage = "before";
    EXPECT_EQ(ReadVSData(m, m.main.nvar_it, 0), -1);
    EXPECT_EQ(m.ErrorMessage, "before");
    EXPECT_EQ(ReadVSData(m, 0, 1), -1);
    EXPECT_EQ(m.ErrorMessage, "[ReadVSData&] nvar_it& <= 0; need to specify variable id");
    // A step beyond the axis: the library's text and the window.
    EXPECT_EQ(ReadVSData(m, m.main.nvar_it, 9), -1);
    EXPECT_EQ(m.ErrorMessage, "NetCDF: Index exceeds dimension bound\n\nnvar, tcount= 5 12\n"
                              "start, count, stride = 8 1 1\n"
                              "start, count, stride = 0 4 1\n"
                              "start, count, stride = 0 1 1\n"
                              "start, count, stride = 0 3 1\n");
    EXPECT_EQ(m.main.SectData(2, 3), held);
    EXPECT_EQ(m.reader.ncid, -1);
    // A variable that is no gridded item.
    EXPECT_EQ(ReadVSData(m, 1, 1), -1);
    EXPECT_EQ(m.ErrorMessage, "[ReadVSData&] not proper nc grid ");
    EXPECT_EQ(m.main.SectData(2, 3), held);
}

TEST(ReadVSData, AVariableWithoutTimeReadsTheSameAtEveryStep) {
    TempDir dir;
    InstalledScriptedUi ui;
    TyxModel m;
    ASSERT_EQ(OpenDataset(m, writeGridFile(dir, "grid.nc")), 1);
    ASSERT_EQ(SelectVarByName(m, "salt").toLong(), 1);
    pathOf(m, {{102, -9}, {132, 4}});
    ASSERT_EQ(EndSection(m), 1);
    for (Long t : {1, 3}) {
        ASSERT_EQ(ReadVSData(m, m.main.nvar_it, t), t) << m.ErrorMessage;
        EXPECT_FLOAT_EQ(m.main.SectData(4, 4), 35);
    }
}

TEST(SetItemScales, TheRangeOfTheFirstReadThatSawAValue) {
    TempDir dir;
    InstalledScriptedUi ui;
    // temp missing everywhere at the first step, valid at the second.
    const std::string path = cdlFile(dir, "gaps.nc", R"(netcdf gaps {
dimensions: time = 2 ; depth = 2 ; lat = 2 ; lon = 3 ;
variables:
  double time(time) ; time:units = "days since 2000-01-01" ;
  float depth(depth) ;
  float lat(lat) ; lat:units = "degrees_north" ;
  float lon(lon) ; lon:units = "degrees_east" ;
  float temp(time, depth, lat, lon) ; temp:_FillValue = -999.f ;
data:
  time = 0, 1 ; depth = 0, 100 ; lat = 0, 1 ; lon = 0, 1, 2 ;
  temp = -999, -999, -999, -999, -999, -999, -999, -999, -999, -999, -999, -999,
         3.7, 4, 5, 6, 7, 8, 9, 10, 27.2, 11, 12, 13 ;
}
)");
    TyxModel m;
    ASSERT_EQ(OpenDataset(m, path), 1) << m.ErrorMessage;
    pathOf(m, {{0.2f, 0.2f}, {2.8f, 0.2f}});
    ASSERT_EQ(EndSection(m), 1) << m.ErrorMessage;
    DrawAbleItemRec& item = m.main.items.DrawAbleItem(1);

    ASSERT_EQ(ReadVSData(m, m.main.nvar_it, 1), 1);
    EXPECT_EQ(item.max, -1e35f);
    EXPECT_EQ(item.min, 1e35f);
    EXPECT_EQ(m.main.SectData(1, 1), kNoVal);
    SetItemScales(m);
    EXPECT_EQ(item.high, 0);
    EXPECT_EQ(item.low, 0);

    ASSERT_EQ(ReadVSData(m, m.main.nvar_it, 2), 2);
    SetItemScales(m);
    EXPECT_FLOAT_EQ(item.low, 3);
    EXPECT_FLOAT_EQ(item.high, 27.2f);
    EXPECT_FLOAT_EQ(item.step, 5); // (28 - 3) / 5
    // Widened where a later read leaves it, with its step; never narrowed.
    item.max = 1000;
    item.min = 5;
    SetItemScales(m);
    EXPECT_FLOAT_EQ(item.low, 3);
    EXPECT_FLOAT_EQ(item.high, 1000);
    EXPECT_FLOAT_EQ(item.step, 199); // (1001 - 3) / 5, whole
    item.max = 20;
    item.min = -7.5f;
    SetItemScales(m);
    EXPECT_FLOAT_EQ(item.low, -7.5f);
    EXPECT_FLOAT_EQ(item.high, 1000);
    item.max = 10;
    item.min = 0;
    SetItemScales(m);
    EXPECT_FLOAT_EQ(item.low, -7.5f);
    EXPECT_FLOAT_EQ(item.high, 1000);

    // Small values keep their low and their fractional step.
    item.high = item.low = 0;
    item.min = 0.2f;
    item.max = 0.9f;
    SetItemScales(m);
    EXPECT_FLOAT_EQ(item.low, 0.2f);
    EXPECT_FLOAT_EQ(item.high, 0.9f);
    EXPECT_FLOAT_EQ(item.step, 0.14f);
}
