// The control's state behind its members: what opening a dataset sets, the drawable items,
// the current item, and the titles.
#include "tyxsection/TyxMain.h"
#include "TyxFixture.h"
#include "tests/support/ScriptedUi.h"
#include "tyxsection/DrawAbleItems.h"
#include "tyxsection/Titles.h"

#include <gtest/gtest.h>
#include <string>

TEST(OpenDataset, SetsTheDefaultsAndTheTitles) {
    TempDir dir;
    InstalledScriptedUi ui;
    TyxModel m;
    m.main.SingleGraph = 1;
    m.contour.ContourFlag = 1;
    const std::string path = writeGridFile(dir, "grid.nc");
    ASSERT_EQ(OpenDataset(m, path), 1) << m.ErrorMessage;
    EXPECT_EQ(m.reader.ncid, -1);
    EXPECT_EQ(m.main.NcFileName, path);
    EXPECT_EQ(m.main.ViewStyle, 2);
    EXPECT_EQ(m.main.Item_shown, 1);
    EXPECT_EQ(m.reader.vari(m.main.nvar_it).name, "temp");
    EXPECT_EQ(m.main.CurTime, 1);
    EXPECT_EQ(m.main.ShowLegend, 1);
    EXPECT_EQ(m.main.ShowDepthAxis, 1);
    EXPECT_EQ(m.contour.ContourFlag, 0);
    EXPECT_EQ(m.contour.ContourColor, 0);
    EXPECT_EQ(m.contour.ContourWidth, 1);
    EXPECT_EQ(m.main.SingleGraph, 1); // not the dataset's
    EXPECT_EQ(m.main.geo.nTime, 3);
    EXPECT_EQ(m.main.geo.nvcoord, 4);
    EXPECT_FLOAT_EQ(m.reader.dlon, 10);
    EXPECT_FLOAT_EQ(m.reader.dlat, 5);

    ASSERT_EQ(m.main.nTitles, 4);
    EXPECT_EQ(m.main.Titles(1), "grid.nc");
    EXPECT_EQ(m.main.Titles(2), "1990-01-01");
    EXPECT_EQ(m.main.Titles(3), "a small model run");
    EXPECT_EQ(m.main.Titles(4), "sea water temperature [degC]");
    EXPECT_EQ(MakeTitles(m, 6, 3), 4); // salt at step 3
    EXPECT_EQ(m.main.Titles(2), "1990-03-01");
    EXPECT_EQ(m.main.Titles(4), " [psu]");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST(OpenDataset, NothingOfTheDatasetBeforeStays) {
    TempDir dir;
    TyxModel m;
    ASSERT_EQ(OpenDataset(m, writeGridFile(dir, "grid.nc")), 1);
    GridFile still;
    still.withTime = false;
    ASSERT_EQ(OpenDataset(m, writeGridFile(dir, "still.nc", still)), 1) << m.ErrorMessage;
    EXPECT_EQ(m.main.geo.nTime, 0);
    EXPECT_FALSE(m.main.geo.TimeValue.IsAllocated());
    EXPECT_EQ(m.reader.time_dId, -1);
    EXPECT_EQ(m.reader.StartTime, "");
    EXPECT_EQ(m.main.Titles(2), "");

    // A grid of cells has no spacing of the grid before.
    const std::string cells = cdlFile(dir, "cells.nc", R"(netcdf cells {
dimensions: icel = 2 ; jcel = 2 ; depth = 2 ;
variables:
  float depth(depth) ;
  float lon(jcel, icel) ; lon:units = "degrees_east" ;
  float lat(jcel, icel) ; lat:units = "degrees_north" ;
  float temp(depth, jcel, icel) ;
}
)");
    ASSERT_EQ(OpenDataset(m, cells), 1) << m.ErrorMessage;
    EXPECT_EQ(m.reader.dlon, 0);
    EXPECT_EQ(m.reader.dlat, 0);
    EXPECT_EQ(m.main.geo.nlon, 0);
    EXPECT_EQ(m.main.geo.icells, 2);
}

TEST(OpenDataset, EachStepThatFailsLeavesTheDatasetBefore) {
    TempDir dir;
    const std::string grid = writeGridFile(dir, "grid.nc");
    struct Case {
        const char* what;
        std::string path;
        std::string message;
    };
    GridFile flat;
    flat.withLevels = false;
    const std::string noLevels = writeGridFile(dir, "surface.nc", flat);
    const std::string noLon = cdlFile(dir, "nolon.nc", R"(netcdf nolon {
dimensions: depth = 2 ; lat = 2 ;
variables: float depth(depth) ; float lat(lat) ; lat:units = "degrees_north" ;
}
)");
    const std::string noLat = cdlFile(dir, "nolat.nc", R"(netcdf nolat {
dimensions: depth = 2 ; lon = 2 ;
variables: float depth(depth) ; float lon(lon) ; lon:units = "degrees_east" ;
}
)");
    const std::string noGrid = cdlFile(dir, "nogrid.nc", R"(netcdf nogrid {
dimensions: depth = 2 ; ny = 2 ; nx = 2 ;
variables: float depth(depth) ;
  float lon2d(ny, nx) ; lon2d:units = "degrees_east" ;
  float lat2d(ny, nx) ; lat2d:units = "degrees_north" ;
}
)");
    const std::string flatItems = cdlFile(dir, "noitems.nc", R"(netcdf noitems {
dimensions: depth = 2 ; lat = 2 ; lon = 2 ;
variables: float depth(depth) ; float lat(lat) ; lat:units = "degrees_north" ;
  float lon(lon) ; lon:units = "degrees_east" ; float sst(lat, lon) ;
}
)");
    const std::string oneLat = cdlFile(dir, "onelat.nc", R"(netcdf onelat {
dimensions: depth = 2 ; lat = 1 ; lon = 2 ;
variables: float depth(depth) ; float lat(lat) ; lat:units = "degrees_north" ;
  float lon(lon) ; lon:units = "degrees_east" ; float t(depth, lat, lon) ;
}
)");
    const Case cases[] = {
        {"no levels", noLevels, "[NcFile] No vertical coordinate in " + noLevels},
        {"no longitude", noLon, "[NcFile] No longitude coordinate in " + noLon},
        {"no latitude", noLat, "[NcFile] No latitude coordinate in " + noLat},
        {"no grid", noGrid,
         "[NcFile] Neither a longitude/latitude grid nor grid cells in " + noGrid},
        {"nothing to draw", flatItems,
         "[NcFile] No variable with the vertical dimension to draw in " + flatItems},
        {"coordinates that do not read", oneLat, "Error: 6 Overflow"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TyxModel m;
        ASSERT_EQ(OpenDataset(m, grid), 1);
        ASSERT_EQ(SelectVarByOrder(m, 2).toLong(), 1);
        m.main.CurTime = 3;
        EXPECT_EQ(OpenDataset(m, c.path), -1);
        EXPECT_EQ(m.ErrorMessage, c.message);
        EXPECT_EQ(m.main.NcFileName, grid);
        EXPECT_EQ(m.reader.FName, grid);
        EXPECT_EQ(m.reader.nVars, 7);
        EXPECT_EQ(m.reader.ncid, -1);
        EXPECT_EQ(m.main.items.NumDrawAbleItems, 2);
        EXPECT_EQ(m.main.Item_shown, 2);
        EXPECT_EQ(m.main.CurTime, 3);
        EXPECT_EQ(m.main.geo.nTime, 3);
    }
}

TEST(BuildItemList, VariablesWithTheLevelAndTwoMoreDimensionsInFileOrder) {
    TempDir dir;
    const std::string path = cdlFile(dir, "items.nc", R"(netcdf items {
dimensions: time = 1 ; depth = 2 ; lat = 2 ; lon = 2 ;
variables:
  float depth(depth) ;
  float profile(depth, lat) ;
  float w(time, depth, lat, lon) ; w:units = "m/s" ;
  float lat(lat) ; lat:units = "degrees_north" ;
  float lon(lon) ; lon:units = "degrees_east" ;
  float sst(time, lat, lon) ;
  float odd(lon, lat, depth) ;
}
)");
    std::string message;
    OcxNcf ncf = headerOf(path, message);
    ASSERT_EQ(ocxPickCoordVariables(ncf), 1);
    ItemList items;
    ASSERT_EQ(BuildItemList(ncf, items, message), 2);
    EXPECT_EQ(items.DrawAbleItem(1).name, "w");
    EXPECT_EQ(items.DrawAbleItem(1).units, "m/s");
    EXPECT_EQ(items.DrawAbleItem(1).nvar, 3);
    EXPECT_EQ(items.DrawAbleItem(1).high, 0);
    EXPECT_EQ(items.DrawAbleItem(2).name, "odd");
    EXPECT_EQ(ItemMatch(ncf, items, 2, message), 7);

    // Without a vertical coordinate: no items, and the list before stays.
    ncf.level_dId = -1;
    EXPECT_EQ(BuildItemList(ncf, items, message), 0);
    EXPECT_EQ(items.NumDrawAbleItems, 2);
}

TEST(SelectVarByName, TheFirstItemOfTheNameWhateverItsCase) {
    TempDir dir;
    const std::string path = cdlFile(dir, "case.nc", R"(netcdf case {
dimensions: depth = 2 ; lat = 2 ; lon = 2 ;
variables:
  float depth(depth) ;
  float lat(lat) ; lat:units = "degrees_north" ;
  float lon(lon) ; lon:units = "degrees_east" ;
  float Temp(depth, lat, lon) ;
  float TEMP(depth, lat, lon) ;
  float salt(depth, lat, lon) ;
}
)");
    TyxModel m;
    ASSERT_EQ(OpenDataset(m, path), 1) << m.ErrorMessage;
    ASSERT_EQ(m.main.items.NumDrawAbleItems, 3);

    EXPECT_EQ(SelectVarByName(m, "SALT").toLong(), 1);
    EXPECT_EQ(m.main.Item_shown, 3);
    EXPECT_EQ(m.main.nvar_it, 6);
    EXPECT_EQ(SelectVarByName(m, "temp").toLong(), 1);
    EXPECT_EQ(m.main.Item_shown, 1);
    EXPECT_EQ(m.main.nvar_it, 4);

    // Nothing found: the choice stays.
    EXPECT_EQ(SelectVarByName(m, "depth").toLong(), -1);
    EXPECT_EQ(m.ErrorMessage, "[SelectVarByName] nc varable not identified");
    EXPECT_EQ(m.main.Item_shown, 1);
    EXPECT_EQ(m.main.nvar_it, 4);

    m.ErrorMessage = "earlier";
    EXPECT_EQ(SelectVarByOrder(m, 2).toLong(), 1);
    EXPECT_EQ(m.main.nvar_it, 5);
    for (Long order : {0, 4}) {
        EXPECT_EQ(SelectVarByOrder(m, order).toLong(), -1);
        EXPECT_EQ(m.main.Item_shown, 2);
        EXPECT_EQ(m.ErrorMessage, "earlier");
    }
}

TEST(GetFileTitle, TheLastPartOfAPathOrUrl) {
    EXPECT_EQ(GetFileTitle("http://host/data/file.nc"), "file.nc");
    EXPECT_EQ(GetFileTitle("C:\\data/run\\a.nc"), "a.nc");
    EXPECT_EQ(GetFileTitle("plain.nc"), "plain.nc");
    EXPECT_EQ(GetFileTitle("   "), "");
}
