#include "viewer/shell/Probe.h"
#include "viewer/vector/DrawGridVector.h"

#include "tests/viewer/ViewerFixture.h"

#include "gui/Picture.h"
#include "gui/PictureWidget.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Color.h"
#include "tests/support/NcBuilder.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TempDir.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"
#include "viewer/scalar/DrawGridScalar.h"
#include "viewer/shell/FormIJ.h"
#include "viewer/shell/PicForm.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr Integer kBoxes[] = {0, 1, 4, 7, 9, 10, 12, 14};

class ProbeTest : public ViewerFixture {
protected:
    void TearDown() override {
        ViewerFixture::TearDown();
        kelvad.reset();
    }

    // Opens path as the viewer's dataset in slot 1, with its coordinates in lonV/latV.
    void open(const std::string& path, bool radians = false) {
        kelvad.reset(CreateKelvad());
        Data.clsNC = kelvad.get();
        ASSERT_EQ(Data.clsNC->Initialize(path), 1) << Data.clsNC->ErrorMessage();
        Data.nNcMain = 1;
        View.Projection = radians ? 1 : 0;
        const Long r = radians ? Data.clsNC->FillLonLatRad(Data.lonV, Data.latV, 1)
                               : Data.clsNC->FillLonLatDeg(Data.lonV, Data.latV, 1);
        ASSERT_GE(r, 0) << Data.clsNC->ErrorMessage();
    }

    static void pick(std::initializer_list<Long> vars) {
        Data.PickCount = static_cast<Long>(vars.size());
        Data.Picks.ReDim(1, Data.PickCount);
        Long n = 0;
        for (Long v : vars) {
            ++n;
            Data.Picks(n).varNumber = v;
            Data.Picks(n).narray = Data.clsNC->variNarray(v, 1);
            Data.Picks(n).datasetIndex = 1;
        }
    }

    // The read window of a plot: per dimension start, end, stride.
    static void window(std::initializer_list<std::array<Long, 3>> dims) {
        const Long nd = static_cast<Long>(dims.size());
        Win.startp.ReDim(1, nd);
        Win.endp.ReDim(1, nd);
        Win.stride.ReDim(1, nd);
        Win.countp.ReDim(1, nd);
        Long d = 0;
        for (const auto& e : dims) {
            ++d;
            Win.startp(d) = e[0];
            Win.endp(d) = e[1];
            Win.stride(d) = e[2];
            Win.countp(d) = CountSteps(e[0], e[1], e[2]);
        }
        Win.tcount = WindowCount(Win.countp);
    }

    static void values(VArray<float>& a, Long count, float first = 1) {
        a.ReDim(1, count);
        for (Long k = 1; k <= count; ++k)
            a(k) = first + static_cast<float>(k - 1);
    }

    // Every box of FormIJ set to a mark, to see which ones a probe writes.
    static void markBoxes() {
        for (Integer i : kBoxes)
            FormIJForm().setText1(i, "old");
    }
    static std::string box(Integer i) { return FormIJForm().text1(i); }

    // A regular grid: lon 0..3, lat 10..12, one time step; "t" in (time, lat, lon), "w" in
    // (time, lon, lat), "u" and "v" in (time, lat, lon).
    std::string regularGrid() {
        NcBuilder nc(dir.file("grid.nc"));
        nc.dim("lon", 4);
        nc.dim("lat", 3);
        nc.unlimitedDim("time", 1);
        nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values({0.0, 1.0, 2.0, 3.0});
        nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({10.0, 11.0, 12.0});
        nc.var("time", NC_DOUBLE, {"time"}).att("units", "days since 2000-01-01").values({0.0});
        nc.var("t", NC_FLOAT, {"time", "lat", "lon"}).values(std::vector<double>(12, 1.0));
        nc.var("w", NC_FLOAT, {"time", "lon", "lat"}).values(std::vector<double>(12, 1.0));
        return nc.write();
    }

    std::string cellList() {
        NcBuilder nc(dir.file("cells.nc"));
        nc.unlimitedDim("time", 1);
        nc.dim("station", 5);
        nc.var("time", NC_DOUBLE, {"time"}).att("units", "days since 2000-01-01").values({0.0});
        nc.var("lon", NC_FLOAT, {"station"})
            .att("units", "degrees_east")
            .values({-10.0, -5.0, 0.0, 5.0, 10.0});
        nc.var("lat", NC_FLOAT, {"station"})
            .att("units", "degrees_north")
            .values({40.0, 41.0, 42.0, 43.0, 44.0});
        nc.var("temp", NC_FLOAT, {"time", "station"}).values(std::vector<double>(5, 1.0));
        return nc.write();
    }

    // A boundary-fitted grid of 4 (i) by 3 (j) nodes: lon = 10 + i + 0.1 j, lat = 50 + j.
    // firstDims names the two grid dimensions, j first ("ypos", "xpos") or i first ("gridi",
    // "gridj").
    std::string bfGrid(bool iFirst) {
        NcBuilder nc(dir.file(iFirst ? "bfg_i.nc" : "bfg_j.nc"));
        std::vector<double> lon, lat;
        if (iFirst) {
            nc.dim("gridi", 4);
            nc.dim("gridj", 3);
            for (int i = 1; i <= 4; ++i)
                for (int j = 1; j <= 3; ++j) {
                    lon.push_back(10 + i + 0.1 * j);
                    lat.push_back(50 + j);
                }
        } else {
            nc.dim("ypos", 3);
            nc.dim("xpos", 4);
            for (int j = 1; j <= 3; ++j)
                for (int i = 1; i <= 4; ++i) {
                    lon.push_back(10 + i + 0.1 * j);
                    lat.push_back(50 + j);
                }
        }
        nc.unlimitedDim("time", 1);
        const std::vector<std::string> grid = iFirst ? std::vector<std::string>{"gridi", "gridj"}
                                                     : std::vector<std::string>{"ypos", "xpos"};
        nc.var("time", NC_DOUBLE, {"time"}).att("units", "days since 2000-01-01").values({0.0});
        nc.var("lon", NC_FLOAT, grid).att("units", "degrees_east").values(lon);
        nc.var("lat", NC_FLOAT, grid).att("units", "degrees_north").values(lat);
        nc.var("h", NC_FLOAT, {"time", grid[0], grid[1]}).values(std::vector<double>(12, 1.0));
        return nc.write();
    }

    Picture& mapPicture() { return PicFormForm().Picture1->picture(); }

    std::unique_ptr<IKelvad> kelvad;
};

// One scalar on a regular grid: the nearest point of the window walk gives I, J, the position
// and S; the other boxes keep what they held; the click position becomes the point's.
TEST_F(ProbeTest, RegularGridScalarNearestPoint) {
    open(regularGrid());
    ASSERT_EQ(Data.clsNC->GridType(1), kGridRegular);
    const Long t = Data.clsNC->variNum("t", 1);
    pick({t});
    window({{1, 1, 1}, {1, 3, 1}, {1, 4, 1}});
    values(Win.scalarV, 12, 101);
    markBoxes();

    double lon = 2.2, lat = 10.9;
    ShowPointValues(lon, lat);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(box(0), " 3");
    EXPECT_EQ(box(1), " 2");
    EXPECT_EQ(box(7), "2.00000");
    EXPECT_EQ(box(9), "11.00000");
    // lat index 2 is the outer walk, lon index 3 the inner: value number 4 + 3.
    EXPECT_EQ(box(14), "107.00000");
    for (Integer i : {4, 10, 12})
        EXPECT_EQ(box(i), "old") << i;
    EXPECT_DOUBLE_EQ(lon, 2.0);
    EXPECT_DOUBLE_EQ(lat, 11.0);
    EXPECT_TRUE(FormIJForm().isVisible());
}

// After a drawing across the longitude seam of a global grid the probe answers for the grid's
// own points and for the copies beyond the seam, each with the value drawn there: the scalar's,
// or the pair's.
TEST_F(ProbeTest, RegularGridAfterASeamDrawing) {
    // 12 columns 0 .. 330 by 3 rows -30 .. 30; t = 100 j + i.
    NcBuilder nc(dir.file("global.nc"));
    nc.dim("lon", 12);
    nc.dim("lat", 3);
    nc.unlimitedDim("time", 1);
    std::vector<double> lon, t;
    for (int i = 0; i < 12; ++i)
        lon.push_back(30.0 * i);
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= 12; ++i)
            t.push_back(100.0 * j + i);
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values(lon);
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({-30.0, 0.0, 30.0});
    nc.var("time", NC_DOUBLE, {"time"}).att("units", "days since 2000-01-01").values({0.0});
    nc.var("t", NC_FLOAT, {"time", "lat", "lon"}).values(t);
    std::vector<double> u, v;
    for (double x : t) {
        u.push_back(x / 100);
        v.push_back(-x / 100);
    }
    nc.var("u", NC_FLOAT, {"time", "lat", "lon"}).values(u);
    nc.var("v", NC_FLOAT, {"time", "lat", "lon"}).values(v);
    open(nc.write());
    Opt.IniFile = dir.file("Pelorin.ini");
    Data.DataExtent = {0, 330, -30, 30};
    View.ViewExtent = {-75, 45, -30, 30};
    View.LonPeriod = 360;
    Data.CurTimeStep = 1;
    pick({Data.clsNC->variNum("t", 1)});
    Picture& pic = mapPicture();
    pic.resize(400, 300);
    ASSERT_EQ(CalculateGridScalar(Data.Picks(1).varNumber), 1);
    ASSERT_EQ(Win.seamWindows.size(), 1u);
    DrawGridScalar(pic, 1);
    ASSERT_TRUE(ui.boxes.empty());

    struct Case {
        double lon, lat;
        const char* i;
        const char* j;
        const char* shownLon;
        const char* s;
    };
    for (const Case& c : {Case{-28, 1, " 12", " 2", "-30.00000", "212.00000"},
                          Case{-50, 25, " 11", " 3", "-60.00000", "311.00000"},
                          Case{2, -29, " 1", " 1", "0.00000", "101.00000"},
                          Case{40, 2, " 2", " 2", "30.00000", "202.00000"}}) {
        markBoxes();
        double plon = c.lon, plat = c.lat;
        ShowPointValues(plon, plat);
        EXPECT_EQ(box(0), c.i) << c.lon;
        EXPECT_EQ(box(1), c.j) << c.lon;
        EXPECT_EQ(box(7), c.shownLon) << c.lon;
        EXPECT_EQ(box(14), c.s) << c.lon;
    }
    EXPECT_TRUE(ui.boxes.empty());

    // The pair drawn the same way: U and V of the copy, and its arrow in red.
    pick({Data.clsNC->variNum("u", 1), Data.clsNC->variNum("v", 1)});
    ASSERT_EQ(CalculateGridScalar(Data.Picks(1).varNumber), 1);
    DrawGridVector(pic, 1);
    ASSERT_TRUE(ui.boxes.empty());
    pic.setRecording(true);
    for (const Case& c : {Case{-28, 1, " 12", " 2", "2.12000", "-2.12000"},
                          Case{40, 2, " 2", " 2", "2.02000", "-2.02000"}}) {
        markBoxes();
        pic.clearRecords();
        double plon = c.lon, plat = c.lat;
        ShowPointValues(plon, plat);
        EXPECT_EQ(box(0), c.i) << c.lon;
        EXPECT_EQ(box(10), c.shownLon) << c.lon;
        EXPECT_EQ(box(12), c.s) << c.lon;
        ASSERT_FALSE(pic.records().empty());
        EXPECT_EQ(pic.records()[0].color, QBColor(12));
    }
    EXPECT_TRUE(ui.boxes.empty());
}

// The walk follows the plot's window and strides, the variable's own order of longitude and
// latitude, and the first of two equally near points wins.
TEST_F(ProbeTest, RegularGridWalkOrderStridesAndTies) {
    open(regularGrid());
    ASSERT_EQ(Data.clsNC->GridType(1), kGridRegular);
    struct Case {
        const char* var;
        std::array<Long, 3> outer, inner;
        double lon, lat;
        const char* i;
        const char* j;
        const char* s;
    };
    const Case cases[] = {
        // (time, lat, lon): latitude outer.
        {"t", {1, 3, 2}, {1, 3, 2}, 2.9, 12.5, " 3", " 3", "4.00000"},
        {"t", {2, 3, 1}, {2, 4, 1}, 3.0, 12.0, " 4", " 3", "6.00000"},
        // A tie between lon 0 and lon 1: the first met.
        {"t", {1, 3, 1}, {1, 4, 1}, 0.5, 10.0, " 1", " 1", "1.00000"},
        // (time, lon, lat): longitude outer.
        {"w", {1, 4, 1}, {1, 3, 1}, 2.2, 10.9, " 3", " 2", "8.00000"},
    };
    for (const Case& c : cases) {
        pick({Data.clsNC->variNum(c.var, 1)});
        window({{1, 1, 1}, c.outer, c.inner});
        values(Win.scalarV, Win.tcount);
        double lon = c.lon, lat = c.lat;
        ShowPointValues(lon, lat);
        EXPECT_EQ(box(0), c.i) << c.var << " " << c.lon << " " << c.lat;
        EXPECT_EQ(box(1), c.j) << c.var << " " << c.lon << " " << c.lat;
        EXPECT_EQ(box(14), c.s) << c.var << " " << c.lon << " " << c.lat;
    }
    EXPECT_TRUE(ui.boxes.empty());
}

// In Mercator mode the search runs in radians and the boxes show degrees.
TEST_F(ProbeTest, MercatorShowsDegrees) {
    open(regularGrid(), true);
    pick({Data.clsNC->variNum("t", 1)});
    window({{1, 1, 1}, {1, 3, 1}, {1, 4, 1}});
    values(Win.scalarV, 12);
    double lon = 1.1 * kDegToRad, lat = 11.8 * kDegToRad;
    ShowPointValues(lon, lat);
    EXPECT_EQ(box(0), " 2");
    EXPECT_EQ(box(1), " 3");
    EXPECT_EQ(box(7), "1.00000");
    EXPECT_EQ(box(9), "12.00000");
    EXPECT_NEAR(lon, 1 * kDegToRad, 1e-7);
}

// A vector pair: U and V written and the arrow drawn at the point in red, the picture's own
// ForeColor back afterwards. Three picks: indices and position only.
TEST_F(ProbeTest, VectorPairArrowAndThreePicks) {
    open(regularGrid());
    const Long t = Data.clsNC->variNum("t", 1);
    pick({t, t});
    window({{1, 1, 1}, {1, 3, 1}, {1, 4, 1}});
    values(Win.uV, 12, 1);
    values(Win.vV, 12, -1);
    Opt.OptArrowStyle = 1;
    Opt.vscale = 10;
    Picture& pic = mapPicture();
    View.ViewExtent = {0, 3, 10, 12};
    ASSERT_EQ(InitMapScale(pic), 1);
    pic.setForeColor(QBColor(2));
    pic.setRecording(true);
    markBoxes();

    double lon = 1.0, lat = 12.0;
    ShowPointValues(lon, lat);
    EXPECT_EQ(box(10), "10.00000");
    EXPECT_EQ(box(12), "8.00000");
    EXPECT_EQ(box(14), "old");
    std::size_t redLines = 0;
    for (const DrawRecord& r : pic.records())
        if (r.kind == DrawKind::Line && r.color == QBColor(12)) ++redLines;
    EXPECT_EQ(redLines, 4u);
    EXPECT_EQ(pic.ForeColor(), QBColor(2));

    pick({t, t, t});
    pic.clearRecords();
    markBoxes();
    lon = 3.0;
    lat = 10.0;
    ShowPointValues(lon, lat);
    EXPECT_EQ(box(0), " 4");
    EXPECT_EQ(box(1), " 1");
    for (Integer i : {10, 12, 14})
        EXPECT_EQ(box(i), "old");
    EXPECT_TRUE(pic.records().empty());
    EXPECT_TRUE(ui.boxes.empty());
}

// A cell list: only the cells of the plot's walk are searched; N is the cell number and the
// value the running count of the walk.
TEST_F(ProbeTest, CellListNearestWalkedCell) {
    open(cellList());
    ASSERT_EQ(Data.clsNC->GridType(1), kGridCells);
    pick({Data.clsNC->variNum("temp", 1)});
    window({{1, 1, 1}, {1, 5, 2}});
    values(Win.scalarV, 3, 21);
    markBoxes();

    double lon = 0.4, lat = 42.2;
    ShowPointValues(lon, lat);
    EXPECT_EQ(box(4), " 3");
    EXPECT_EQ(box(7), "0.00000");
    EXPECT_EQ(box(9), "42.00000");
    EXPECT_EQ(box(14), "22.00000");
    EXPECT_EQ(box(0), "old");

    // Cell 4 was not plotted: cell 5 is the nearest of the walk.
    lon = 5.5;
    lat = 43.5;
    ShowPointValues(lon, lat);
    EXPECT_EQ(box(4), " 5");
    EXPECT_EQ(box(7), "10.00000");
    EXPECT_EQ(box(14), "23.00000");
    EXPECT_TRUE(ui.boxes.empty());
}

// A vector pair on a cell list: U and V always, the arrow only above the missing-value mark.
TEST_F(ProbeTest, CellListArrowOnlyForPresentValues) {
    open(cellList());
    const Long temp = Data.clsNC->variNum("temp", 1);
    pick({temp, temp});
    window({{1, 1, 1}, {1, 5, 1}});
    values(Win.uV, 5, 1);
    values(Win.vV, 5, 1);
    Win.uV(2) = -1e35f;
    Win.cellMisnVal = -1e30f;
    Opt.OptArrowStyle = 1;
    Opt.vscale = 1;
    Picture& pic = mapPicture();
    View.ViewExtent = {-10, 10, 40, 44};
    ASSERT_EQ(InitMapScale(pic), 1);
    pic.setRecording(true);

    double lon = -5, lat = 41;
    ShowPointValues(lon, lat);
    EXPECT_EQ(box(12), "2.00000");
    EXPECT_FALSE(box(10).empty());
    EXPECT_TRUE(pic.records().empty());

    lon = 5;
    lat = 43;
    ShowPointValues(lon, lat);
    EXPECT_EQ(box(10), "4.00000");
    EXPECT_EQ(pic.records().size(), 4u);
    EXPECT_TRUE(ui.boxes.empty());
}

// A boundary-fitted grid: every node searched, I and J the node's, the value that of the
// first window point within one stride of it; stored j-first (order 2) or i-first with the
// dimension "gridi" (lonlatOrder 4 after the fill, taken as 1).
TEST_F(ProbeTest, BoundaryFittedGridBothStorageOrders) {
    for (bool iFirst : {false, true}) {
        SCOPED_TRACE(iFirst ? "gridi first" : "j first");
        open(bfGrid(iFirst));
        ASSERT_EQ(Data.clsNC->GridType(1), kGridBfg);
        if (iFirst) {
            EXPECT_EQ(Data.clsNC->lonlatOrder(1), 4);
        }
        pick({Data.clsNC->variNum("h", 1)});
        // Stride 2 along both grid dimensions.
        if (iFirst)
            window({{1, 1, 1}, {1, 4, 2}, {1, 3, 2}});
        else
            window({{1, 1, 1}, {1, 3, 2}, {1, 4, 2}});
        values(Win.scalarV, 4, 1);
        markBoxes();

        // Node i = 4, j = 1 lies within one stride of window point (i 3, j 1).
        double lon = 14.1, lat = 51.0;
        ShowPointValues(lon, lat);
        EXPECT_EQ(box(0), " 4");
        EXPECT_EQ(box(1), " 1");
        EXPECT_EQ(box(7), "14.10000");
        EXPECT_EQ(box(9), "51.00000");
        // (i 3, j 1) is walk point 2 when j is outer, 3 when i is outer.
        EXPECT_EQ(box(14), iFirst ? "3.00000" : "2.00000");

        // Node i = 2, j = 3: window point (i 1, j 3).
        lon = 12.3;
        lat = 53.0;
        ShowPointValues(lon, lat);
        EXPECT_EQ(box(0), " 2");
        EXPECT_EQ(box(1), " 3");
        EXPECT_EQ(box(14), iFirst ? "2.00000" : "3.00000");
        EXPECT_TRUE(ui.boxes.empty());
        EXPECT_FLOAT_EQ(static_cast<float>(lon), 12.3f);
    }
}

// Nothing to answer for: the message, no window, and the picture's colour back.
TEST_F(ProbeTest, FailuresSayErrorInterrogatingCell) {
    Picture& pic = mapPicture();
    pic.setForeColor(QBColor(5));
    double lon = 1, lat = 1;
    // No dataset, nothing picked.
    ShowPointValues(lon, lat);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Error interrogating cell");
    EXPECT_EQ(ui.boxes[0].style, kOkOnly);

    // Picked but never plotted: no read window, no values.
    open(regularGrid());
    pick({Data.clsNC->variNum("t", 1)});
    ShowPointValues(lon, lat);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[1].text, "Error interrogating cell");

    // A window with a value array too short for the point found.
    window({{1, 1, 1}, {1, 3, 1}, {1, 4, 1}});
    values(Win.scalarV, 2);
    lon = 3;
    lat = 12;
    ShowPointValues(lon, lat);
    ASSERT_EQ(ui.boxes.size(), 3u);
    EXPECT_EQ(ui.boxes[2].text, "Error interrogating cell");

    EXPECT_FALSE(FormIJLoaded() && FormIJForm().isVisible());
    EXPECT_EQ(pic.ForeColor(), QBColor(5));
}

} // namespace
