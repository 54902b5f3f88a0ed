// The read window over grids described in a few fields: strides, view edges, the seam window,
// descending latitudes, point lists, boundary-fitted spans, GMT vectors and failures.
#include "tests/viewer/ScalarFixture.h"

namespace {

constexpr Long kTime = 0, kLat = 1, kLon = 2, kCell = 3, kJ = 4, kI = 5, kXy = 6, kLev = 7;

class ReadWindowTest : public ScalarFixture {
protected:
    // A regular grid variable (time, lat, lon) or (time, lon, lat).
    void gridVar(Long llOrder, Long nv = 1, Long slot = 1) {
        fake.addVar(slot, nv, "t",
                    llOrder == 2 ? std::vector<Long>{kTime, kLat, kLon}
                                 : std::vector<Long>{kTime, kLon, kLat},
                    llOrder);
    }
    // The window entries (start, count, stride, end) of dimension d.
    std::vector<Long> dim(Long d) const {
        return {Win.startp(d), Win.countp(d), Win.stride(d), Win.endp(d)};
    }
    // The same of seam window w (0: the westernmost).
    std::vector<Long> seamDim(Long d, size_t w = 0) const {
        if (w >= Win.seamWindows.size()) return {};
        const SeamWindow& s = Win.seamWindows[w];
        return {s.startp(d), s.countp(d), s.stride(d), s.endp(d)};
    }
    std::vector<float> seamShifts() const {
        std::vector<float> out;
        for (const SeamWindow& w : Win.seamWindows)
            out.push_back(w.shift);
        return out;
    }
    std::string lastBox() const { return ui.boxes.empty() ? "" : ui.boxes.back().text; }
};

TEST_F(ReadWindowTest, DefaultStridesFollowTheCountsInTheView) {
    // 40 columns and 30 rows across the view; halves go to the even neighbour.
    struct Case {
        int lonsInView, latsInView;
        Long lonStride, latStride;
    };
    for (const Case c :
         {Case{100, 45, 2, 2}, Case{60, 15, 2, 1}, Case{40, 30, 1, 1}, Case{20, 10, 1, 1}}) {
        regularGrid(range(0, 1, 200), range(0, 1, 100));
        view(0, c.lonsInView - 1, 0, c.latsInView - 1);
        gridVar(2);
        ASSERT_EQ(CalculateGridScalar(1), 1);
        EXPECT_EQ(Win.stride(3), c.lonStride) << c.lonsInView;
        EXPECT_EQ(Win.stride(2), c.latStride) << c.latsInView;
        EXPECT_EQ(dim(1), (std::vector<Long>{1, 1, 1, 1})) << "time stays at 1";
        EXPECT_EQ(Win.tcount, Win.countp(2) * Win.countp(3));
        EXPECT_EQ(Win.tcount2, 0);
    }
}

TEST_F(ReadWindowTest, ViewEdgesAndStrideBoxesInBothOrders) {
    // Longitudes 0..359: a view from 10.5 to 20.2 at stride 2 takes 12, 14, ..., 20.
    regularGrid(range(0, 1, 360), range(-5, 1, 11));
    view(10.5, 20.2, -5, 5);
    for (Long order : {1L, 2L}) {
        gridVar(order);
        const Long lonDim = order == 1 ? 2 : 3;
        const Long latDim = order == 1 ? 3 : 2;
        defaultOrderBoxes().strides[lonDim - 1] = "2";
        defaultOrderBoxes().strides[latDim - 1] = "";
        ASSERT_EQ(CalculateGridScalar(1), 1);
        EXPECT_EQ(dim(lonDim), (std::vector<Long>{12, 5, 2, 20})) << order;
        EXPECT_EQ(dim(latDim), (std::vector<Long>{1, 11, 1, 11})) << order;
        defaultOrderBoxes() = MemoryOrderBoxes();
    }

    struct Box {
        const char* text;
        Long stride;
    };
    gridVar(2);
    for (const Box b : {Box{"2.5", 2}, Box{"3", 3}, Box{"0.4", 1}, Box{"0", 1}, Box{"", 1},
                        Box{"abc", 1}, Box{"-3", 1}, Box{" 4x", 4}}) {
        defaultOrderBoxes().strides[2] = b.text;
        ASSERT_EQ(CalculateGridScalar(1), 1);
        EXPECT_EQ(Win.stride(3), b.stride) << "box '" << b.text << "'";
    }
}

TEST_F(ReadWindowTest, DescendingLatitudesAreWindowedWhicheverDimensionComesLast) {
    // Latitudes 90 .. -90: a view from 10 to 20 takes the rows of 20 down to 10.
    regularGrid(range(0, 1, 30), range(90, -1, 181));
    view(0, 9, 10, 20);
    for (Long order : {1L, 2L}) {
        gridVar(order);
        const Long latDim = order == 1 ? 3 : 2;
        defaultOrderBoxes().strides[latDim - 1] = "1";
        ASSERT_EQ(CalculateGridScalar(1), 1) << order;
        EXPECT_EQ(dim(latDim), (std::vector<Long>{71, 11, 1, 81})) << order;
        EXPECT_EQ(Win.tcount, 11 * 10);
        defaultOrderBoxes() = MemoryOrderBoxes();
    }
}

TEST_F(ReadWindowTest, GlobalGridGetsASeamWindowForEachCopyInTheView) {
    regularGrid(range(0, 1, 360), range(-10, 1, 21));
    gridVar(2);
    defaultOrderBoxes().strides[2] = "2";
    defaultOrderBoxes().strides[1] = "1";

    // West of the first longitude: the last columns come round, drawn a period to the west.
    view(-30, 60, -10, 10);
    ASSERT_EQ(CalculateGridScalar(1), 1);
    EXPECT_EQ(dim(3), (std::vector<Long>{1, 31, 2, 61}));
    ASSERT_EQ(seamShifts(), std::vector<float>{-360});
    EXPECT_EQ(seamDim(3), (std::vector<Long>{331, 15, 2, 359}));
    EXPECT_EQ(seamDim(2), dim(2));
    EXPECT_EQ(Win.seamWindows[0].tcount, 15 * 21);
    EXPECT_EQ(Win.tcount2, 15 * 21);

    // East of the last longitude: the first columns.
    view(300, 380, -10, 10);
    ASSERT_EQ(CalculateGridScalar(1), 1);
    ASSERT_EQ(seamShifts(), std::vector<float>{360});
    EXPECT_EQ(seamDim(3), (std::vector<Long>{1, 11, 2, 21}));

    // Both sides at once, west first.
    view(-30, 400, -10, 10);
    ASSERT_EQ(CalculateGridScalar(1), 1);
    ASSERT_EQ(seamShifts(), (std::vector<float>{-360, 360}));
    EXPECT_EQ(seamDim(3, 0), (std::vector<Long>{331, 15, 2, 359}));
    EXPECT_EQ(seamDim(3, 1), (std::vector<Long>{1, 21, 2, 41}));
    EXPECT_EQ(Win.tcount2, (15 + 21) * 21);

    // A view wider than two periods holds four copies, the inner two whole.
    view(-400, 800, -10, 10);
    ASSERT_EQ(CalculateGridScalar(1), 1);
    ASSERT_EQ(seamShifts(), (std::vector<float>{-720, -360, 360, 720}));
    EXPECT_EQ(seamDim(3, 0), (std::vector<Long>{321, 20, 2, 359}));
    EXPECT_EQ(seamDim(3, 1), (std::vector<Long>{1, 180, 2, 359}));
    EXPECT_EQ(seamDim(3, 2), (std::vector<Long>{1, 180, 2, 359}));
    EXPECT_EQ(seamDim(3, 3), (std::vector<Long>{1, 41, 2, 81}));

    // A view wholly over a copy: the read window takes that copy's columns (read once, drawn
    // a period away), whichever side it lies on.
    for (const auto& [west, east, shift, seam] :
         {std::tuple{-60.0, -10.0, -360.0f, std::vector<Long>{301, 26, 2, 351}},
          std::tuple{370.0, 400.0, 360.0f, std::vector<Long>{11, 16, 2, 41}}}) {
        view(west, east, -10, 10);
        ASSERT_EQ(CalculateGridScalar(1), 1) << west;
        ASSERT_EQ(seamShifts(), std::vector<float>{shift});
        EXPECT_EQ(seamDim(3), seam);
        EXPECT_EQ(dim(3), seam);
        EXPECT_EQ(Win.tcount, Win.tcount2);
    }

    // Inside the grid: nothing across the seam.
    view(100, 200, -10, 10);
    ASSERT_EQ(CalculateGridScalar(1), 1);
    EXPECT_TRUE(Win.seamWindows.empty());
    EXPECT_EQ(Win.tcount2, 0);

    // One value across the seam is a cell like any other: the copy takes the grid's own
    // columns (odd indices at this stride), and column 359, whose cell reaches from -3 to -0.5,
    // covers the view's strip west of the grid.
    view(-1, 60, 0, 0);
    ASSERT_EQ(CalculateGridScalar(1), 1);
    EXPECT_EQ(seamDim(3), (std::vector<Long>{359, 1, 2, 359}));
    EXPECT_EQ(Win.tcount2, 1);

    // A grid spanning less than 300 degrees has no seam.
    regularGrid(range(0, 1, 290), range(-10, 1, 21));
    view(-30, 60, -10, 10);
    ASSERT_EQ(CalculateGridScalar(1), 1);
    EXPECT_EQ(Win.tcount2, 0);
}

TEST_F(ReadWindowTest, AGridWhoseLastColumnRepeatsItsFirstShowsEachPlaceOnce) {
    // 0 .. 360: copies to the west leave out the last column, copies to the east the first.
    regularGrid(range(0, 1, 361), range(-10, 1, 21));
    gridVar(2);
    defaultOrderBoxes().strides[2] = "2";
    view(-30, 400, -10, 10);
    ASSERT_EQ(CalculateGridScalar(1), 1);
    ASSERT_EQ(Win.seamWindows.size(), 2u);
    EXPECT_EQ(Win.seamWindows[0].lonFirst, 1);
    EXPECT_EQ(Win.seamWindows[0].lonLast, 360);
    EXPECT_EQ(seamDim(3, 0), (std::vector<Long>{331, 15, 2, 359}));
    EXPECT_EQ(Win.seamWindows[1].lonFirst, 2);
    EXPECT_EQ(Win.seamWindows[1].lonLast, 361);
    // The grid's window takes the odd columns; so does each copy, though the eastern one
    // begins at column 2.
    EXPECT_EQ(seamDim(3, 1), (std::vector<Long>{3, 20, 2, 41}));
    for (const SeamWindow& w : Win.seamWindows)
        EXPECT_FALSE(w.read) << "nothing is read until a drawing reads it";
}

TEST_F(ReadWindowTest, SeamLongitudeFollowsTheVariablesOwnOrder) {
    // A dataset holding variables of both orders: each gets its seam on its own longitude.
    regularGrid(range(0, 1, 360), range(-10, 1, 21));
    gridVar(2, 1);
    gridVar(1, 2);
    fake.order = 3;
    view(-30, 60, -10, 10);
    ASSERT_EQ(CalculateGridScalar(1), 1);
    EXPECT_EQ(seamDim(3).at(0), 331);
    ASSERT_EQ(CalculateGridScalar(2), 1);
    EXPECT_EQ(seamDim(2).at(0), 331);
    EXPECT_EQ(seamDim(3).at(1), Win.countp(3));
}

TEST_F(ReadWindowTest, MercatorWorksInRadiansAndConvertsOnlyTheSpan) {
    View.Projection = 1;
    View.LonPeriod = 6.283185f;
    std::vector<float> lon, lat;
    for (int i = 0; i < 360; ++i)
        lon.push_back(static_cast<float>(i * kDegToRad));
    for (int j = -10; j <= 10; ++j)
        lat.push_back(static_cast<float>(j * kDegToRad));
    regularGrid(lon, lat);
    gridVar(2);
    defaultOrderBoxes().strides[2] = "2";
    view(-30 * kDegToRad, 60 * kDegToRad, -10 * kDegToRad, 10 * kDegToRad);
    ASSERT_EQ(CalculateGridScalar(1), 1);
    EXPECT_EQ(dim(3), (std::vector<Long>{1, 31, 2, 61}));
    EXPECT_EQ(seamDim(3), (std::vector<Long>{331, 15, 2, 359}));
    ASSERT_EQ(seamShifts(), std::vector<float>{-6.283185f});

    // 5 radians (286 degrees) is no global grid.
    lon.resize(287);
    regularGrid(lon, lat);
    view(-30 * kDegToRad, 60 * kDegToRad, -10 * kDegToRad, 10 * kDegToRad);
    ASSERT_EQ(CalculateGridScalar(1), 1);
    EXPECT_EQ(Win.tcount2, 0);
}

// After zoom-outs the picture shows latitudes beyond the view's (the view is wider than the
// picture's shape): the window takes every row whose cell reaches into the picture, in both
// projections. Without a transform set for the view (the order window's detail, the save) the
// view's own edges hold.
TEST_F(ReadWindowTest, TheRowsAreThoseThePictureShows) {
    for (const Long projection : {1L, 0L}) {
        SCOPED_TRACE(projection);
        View.Projection = projection;
        const double unit = projection == 1 ? kDegToRad : 1.0;
        View.LonPeriod = static_cast<float>(360 * unit);
        std::vector<float> lon, lat;
        for (int i = 0; i < 360; ++i)
            lon.push_back(static_cast<float>((i + 0.5) * unit));
        for (int j = 0; j < 180; ++j)
            lat.push_back(static_cast<float>((j - 89.5) * unit));
        regularGrid(lon, lat);
        gridVar(2);
        // Two zoom-outs from the whole grid, in Mercator held within its latitude bounds.
        view(-72 * unit, 432 * unit, (projection == 1 ? -69.9 : -60) * unit,
             (projection == 1 ? 79.6 : 60) * unit);
        ASSERT_EQ(SetMapScale(640, 480), 0);
        double south = 0, north = 0;
        ASSERT_TRUE(PictureLatEdges(south, north));
        ASSERT_LT(south, View.ViewExtent.South - 5 * unit);
        ASSERT_GT(north, View.ViewExtent.North + 5 * unit);

        ASSERT_EQ(CalculateGridScalar(1), 1);
        const Long first = Win.startp(2), last = Win.endp(2), stride = Win.stride(2);
        const float half = static_cast<float>(0.5 * unit) * stride;
        EXPECT_TRUE(first == 1 || lat[first - 1] - half <= south) << first;
        EXPECT_TRUE(last + stride > 180 || lat[last - 1] + half >= north) << last;
        EXPECT_EQ(Win.countp(2), CountSteps(first, last, stride));
        // The copies across the seam take the same rows.
        ASSERT_FALSE(Win.seamWindows.empty());
        for (size_t w = 0; w < Win.seamWindows.size(); ++w)
            EXPECT_EQ(seamDim(2, w), dim(2));

        // The view changed since the transform was set: the view's edges.
        view(0, 359 * unit, -30 * unit, 30 * unit);
        ASSERT_EQ(CalculateGridScalar(1), 1);
        EXPECT_GE(lat[Win.startp(2) - 1], -30 * unit);
        EXPECT_LE(lat[Win.endp(2) - 1], 30 * unit);
    }
}

TEST_F(ReadWindowTest, RegularGridFailures) {
    regularGrid(range(0, 1, 10), range(0, 1, 10));
    gridVar(2);
    view(20, 30, 0, 9);
    EXPECT_EQ(CalculateGridScalar(1), -1);
    EXPECT_EQ(lastBox(),
              "[CalculateGridScalar]xcount <= 0 Or ycount <= 0\r\n\r\nNo data in the view");

    // A one-dimensional variable has no grid window, and nothing is said.
    fake.addVar(1, 2, "x", {kLon}, 0);
    view(0, 9, 0, 9);
    const size_t boxes = ui.boxes.size();
    EXPECT_EQ(CalculateGridScalar(2), -1);
    EXPECT_EQ(ui.boxes.size(), boxes);

    // A value count beyond the Long range, and a stride box beyond it.
    regularGrid(range(0, 1, 50000), range(0, 0.001f, 50000));
    defaultOrderBoxes().strides[1] = "1";
    defaultOrderBoxes().strides[2] = "1";
    EXPECT_EQ(CalculateGridScalar(1), -1);
    EXPECT_EQ(lastBox(), "[CalculateGridScalar] Error(# 6):\r\n\r\n\"Overflow\"");
    defaultOrderBoxes().strides[2] = "1e12";
    EXPECT_EQ(CalculateGridScalar(1), -1);
    EXPECT_EQ(lastBox(), "[CalculateGridScalar] Error(# 6):\r\n\r\n\"Overflow\"");
}

TEST_F(ReadWindowTest, FifthDimensionTakesItsDefaultStride) {
    regularGrid(range(0, 1, 100), range(0, 1, 10));
    fake.addVar(1, 1, "t5", {kTime, kLev, 8, kLat, kLon}, 2);
    for (auto& s : defaultOrderBoxes().strides)
        s = std::string("7");
    ASSERT_EQ(CalculateGridScalar(1), 1);
    EXPECT_EQ(Win.stride(4), 7);
    EXPECT_EQ(Win.stride(5), 2) << "100 longitudes / 40, rounded";
}

TEST_F(ReadWindowTest, PickFromTheSecondFileUsesItsOwnRank) {
    regularGrid(range(0, 1, 10), range(0, 1, 10));
    fake.addVar(1, 1, "a", {kTime, kLat, kLon}, 2);
    fake.addVar(2, 1, "b", {kLat, kLon}, 2);
    ASSERT_EQ(CalculateGridScalar(1, 2), 1);
    EXPECT_EQ(arr(Win.countp), (std::vector<Long>{10, 10}));
}

TEST_F(ReadWindowTest, CellListTakesTheRangeOfCellsInTheView) {
    fake.grid = kGridCells;
    fake.cells = 100;
    Data.lonV.ReDim(1, 100);
    Data.latV.ReDim(1, 100);
    for (Long i = 1; i <= 100; ++i) {
        Data.lonV(i) = 50;
        Data.latV(i) = 50;
    }
    Data.lonV(3) = Data.latV(3) = 1;
    Data.lonV(97) = Data.latV(97) = 2;
    fake.addVar(1, 1, "c", {kTime, kCell});
    view(0, 5, 0, 5);

    struct Case {
        const char* box;
        Long count, stride;
    };
    for (const Case c :
         {Case{"", 95, 1}, Case{"10", 10, 10}, Case{"-3", 0, -3}, Case{"0.4", 95, 1}}) {
        defaultOrderBoxes().strides[1] = c.box;
        ASSERT_EQ(CalculateGridScalar(1), 1) << c.box;
        EXPECT_EQ(dim(2), (std::vector<Long>{3, c.count, c.stride, 97})) << c.box;
        EXPECT_EQ(Win.tcount, c.count);
        EXPECT_EQ(Win.tcount2, 0);
    }

    view(10, 20, 10, 20);
    EXPECT_EQ(CalculateGridScalar(1), -1);
    EXPECT_EQ(lastBox(), "No data in the view");
}

TEST_F(ReadWindowTest, MeshStrideFollowsTheIndexSpan) {
    fake.grid = kGridFeMesh;
    fake.addVar(1, 1, "z", {kTime, kCell});
    struct Case {
        Long span, stride, count;
    };
    for (const Case c : {Case{1500, 2, 751}, Case{2500, 2, 1251}, Case{1000, 1, 1001}}) {
        fake.nodes = c.span + 10;
        Data.lonV.ReDim(1, fake.nodes);
        Data.latV.ReDim(1, fake.nodes);
        for (Long i = 1; i <= fake.nodes; ++i)
            Data.lonV(i) = Data.latV(i) = 100;
        Data.lonV(5) = Data.latV(5) = 1;
        Data.lonV(5 + c.span) = Data.latV(5 + c.span) = 1;
        view(0, 2, 0, 2);
        ASSERT_EQ(CalculateGridScalar(1), 1);
        EXPECT_EQ(dim(2), (std::vector<Long>{5, c.count, c.stride, 5 + c.span})) << c.span;
    }
    defaultOrderBoxes().strides[1] = "-3"; // only the cell list takes a negative box
    ASSERT_EQ(CalculateGridScalar(1), 1);
    EXPECT_EQ(Win.stride(2), 1);
}

TEST_F(ReadWindowTest, FiniteVolumeMeshTestsNodesOrElements) {
    fake.grid = kGridFvMesh;
    fake.nodes = 4;
    fake.elems = 3;
    fake.nodeDid = 10;
    fake.elemDid = 11;
    fake.addVar(1, 1, "zeta", {kTime, 10});
    fake.addVar(1, 2, "u", {kTime, 11});
    fake.addVar(1, 3, "other", {kTime, 12});
    Data.lonV.ReDim(1, 3);
    Data.latV.ReDim(1, 3);
    for (Long i = 1; i <= 3; ++i)
        Data.lonV(i) = Data.latV(i) = static_cast<float>(i);
    view(1.5, 3, 1.5, 3);

    ASSERT_EQ(CalculateGridScalar(2), 1);
    EXPECT_EQ(dim(2), (std::vector<Long>{2, 2, 1, 3}));

    // Node positions are fetched once when they are short.
    Data.nodeLonV.ReDim(0, 1);
    Data.nodeLatV.ReDim(0, 1);
    fake.fillLon = {0, 2, 2.5f, 9};
    fake.fillLat = {0, 2, 2.5f, 9};
    ASSERT_EQ(CalculateGridScalar(1), 1);
    EXPECT_EQ(fake.fills, 1);
    EXPECT_EQ(dim(2), (std::vector<Long>{2, 2, 1, 3}));
    ASSERT_EQ(CalculateGridScalar(1), 1);
    EXPECT_EQ(fake.fills, 1);

    // Neither dimension: nothing to draw, nothing said.
    const size_t boxes = ui.boxes.size();
    EXPECT_EQ(CalculateGridScalar(3), -1);
    EXPECT_EQ(ui.boxes.size(), boxes);
}

TEST_F(ReadWindowTest, FailedNodeRefillMakesTheNodeVariableNotDrawable) {
    fake.grid = kGridFvMesh;
    fake.nodes = 4;
    fake.nodeDid = 10;
    fake.addVar(1, 1, "zeta", {kTime, 10});
    fake.fillResult = -1;
    view(-1, 1, -1, 1); // would hold (0, 0), where unfilled positions lie
    EXPECT_EQ(CalculateGridScalar(1), -1);
    EXPECT_EQ(lastBox(), "This file does not have node coordinates");
    EXPECT_FALSE(Data.nodeLonV.IsAllocated()) << "asked again at the next draw";
    EXPECT_EQ(CalculateGridScalar(1), -1);
    EXPECT_EQ(fake.fills, 2);
}

TEST_F(ReadWindowTest, BoundaryFittedGridSpansAndOrders) {
    fake.grid = kGridBfg;
    struct Case {
        Long span, stride;
    };
    for (Long order : {1L, 2L, 4L}) {
        for (const Case c : {Case{75, 2}, Case{125, 2}, Case{51, 1}, Case{50, 1}}) {
            fake.order = order;
            fake.imax = c.span + 3; // i along the span
            fake.jmax = 4;
            const bool jFirst = order == 2;
            const Long n1 = jFirst ? fake.jmax : fake.imax, n2 = jFirst ? fake.imax : fake.jmax;
            Data.lonV.ReDim(1, n1, 1, n2);
            Data.latV.ReDim(1, n1, 1, n2);
            for (Long a = 1; a <= n1; ++a)
                for (Long b = 1; b <= n2; ++b) {
                    const Long i = jFirst ? b : a, j = jFirst ? a : b;
                    const bool in = i >= 2 && i <= 2 + c.span && j >= 2 && j <= 3;
                    Data.lonV(a, b) = in ? 1.0f : 9.0f;
                    Data.latV(a, b) = 1;
                }
            fake.addVar(1, 1, "h",
                        jFirst ? std::vector<Long>{kTime, kJ, kI}
                               : std::vector<Long>{kTime, kI, kJ});
            view(0, 2, 0, 2);
            ASSERT_EQ(CalculateGridScalar(1), 1);
            const Long iDim = jFirst ? 3 : 2, jDim = jFirst ? 2 : 3;
            EXPECT_EQ(dim(iDim),
                      (std::vector<Long>{2, c.span / c.stride + 1, c.stride, 2 + c.span}))
                << order << " " << c.span;
            EXPECT_EQ(dim(jDim), (std::vector<Long>{2, 2, 1, 3}));
        }
    }
    fake.order = 3;
    EXPECT_EQ(CalculateGridScalar(1), -1);
    EXPECT_EQ(lastBox(), "No data in the view");
}

TEST_F(ReadWindowTest, GmtGridTakesTheWholeVectorWhateverTheView) {
    fake.grid = kGridGmt;
    fake.xysize = 12;
    fake.addVar(1, 1, "z", {kTime, kXy});
    view(500, 600, 500, 600);
    ASSERT_EQ(CalculateGridScalar(1), 1);
    EXPECT_EQ(dim(2), (std::vector<Long>{1, 12, 1, 12}));
    EXPECT_EQ(Win.tcount, 12);
    EXPECT_EQ(Win.tcount2, 0);
}

TEST_F(ReadWindowTest, NoHorizontalCoordinatesReadsIndexOne) {
    fake.grid = kGridNone;
    fake.addVar(1, 1, "series", {kTime, kLev});
    ASSERT_EQ(CalculateGridScalar(1), 1);
    EXPECT_EQ(arr(Win.countp), (std::vector<Long>{1, 1}));
    EXPECT_EQ(Win.tcount, 1);
    EXPECT_EQ(CalculateGridScalar(5), -1) << "an unknown variable";
}

} // namespace
