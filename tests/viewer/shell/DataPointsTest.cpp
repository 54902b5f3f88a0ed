// The preview of the grid points: which marks stand where in which colour for each grid type,
// the thinning strides, the single point, the boundary-fitted orders (the "gridi" alternation
// drawn as order 1), points whose coordinates mark no position, and arrays shorter than the
// counts.
#include "viewer/shell/DataPoints.h"
#include "tests/viewer/ViewerDatasetFixture.h"

#include "gui/Picture.h"
#include "runtime/Color.h"
#include "viewer/map/CScale.h"
#include "viewer/map/gencord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

std::vector<double> Range(int n, double first, double step) {
    std::vector<double> v;
    for (int k = 0; k < n; ++k)
        v.push_back(first + k * step);
    return v;
}

class DataPointsTest : public ViewerDatasetFixture {
protected:
    void SetUp() override {
        ViewerDatasetFixture::SetUp();
        ASSERT_TRUE(NewKelvad());
        pic.setRecording(true);
    }

    // Opens the file as the next slot and fills the coordinate arrays as the loader does.
    Long open(const std::string& path) {
        const Long slot = Data.clsNC->Initialize(path);
        EXPECT_GE(slot, 1) << Data.clsNC->ErrorMessage();
        Data.lonV.ReDim(0, 1);
        const Long rc = View.Projection == 1
                            ? Data.clsNC->FillLonLatRad(Data.lonV, Data.latV, slot)
                            : Data.clsNC->FillLonLatDeg(Data.lonV, Data.latV, slot);
        EXPECT_GE(rc, 0) << Data.clsNC->ErrorMessage();
        return slot;
    }
    std::string grid(const std::string& name, const std::vector<double>& lon,
                     const std::vector<double>& lat) {
        NcBuilder nc(dir.file(name));
        nc.dim("lon", lon.size());
        nc.dim("lat", lat.size());
        nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values(lon);
        nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values(lat);
        nc.var("t", NC_FLOAT, {"lat", "lon"})
            .values(std::vector<double>(lon.size() * lat.size(), 1.0));
        return nc.write();
    }
    std::string stations(const std::string& name, const std::vector<double>& lon,
                         const std::vector<double>& lat) {
        NcBuilder nc(dir.file(name));
        nc.dim("station", lon.size());
        nc.var("lon", NC_FLOAT, {"station"}).att("units", "degrees_east").values(lon);
        nc.var("lat", NC_FLOAT, {"station"}).att("units", "degrees_north").values(lat);
        nc.var("t", NC_FLOAT, {"station"}).values(std::vector<double>(lon.size(), 1.0));
        return nc.write();
    }
    // A boundary-fitted grid of ni x nj points over the index dimensions i and j (named as
    // given), coordinates stored (i, j) or (j, i) as iFirst says.
    std::string boundaryFitted(const std::string& name, const std::string& iName,
                               const std::string& jName, bool iFirst, int ni, int nj) {
        NcBuilder nc(dir.file(name));
        std::vector<double> lon, lat;
        if (iFirst) {
            nc.dim(iName, ni);
            nc.dim(jName, nj);
            for (int i = 1; i <= ni; ++i)
                for (int j = 1; j <= nj; ++j) {
                    lon.push_back(100 + i + 0.1 * j);
                    lat.push_back(10 + j + 0.1 * i);
                }
        } else {
            nc.dim(jName, nj);
            nc.dim(iName, ni);
            for (int j = 1; j <= nj; ++j)
                for (int i = 1; i <= ni; ++i) {
                    lon.push_back(100 + i + 0.1 * j);
                    lat.push_back(10 + j + 0.1 * i);
                }
        }
        const std::vector<std::string> dims = iFirst ? std::vector<std::string>{iName, jName}
                                                     : std::vector<std::string>{jName, iName};
        nc.var("lon", NC_FLOAT, dims).att("units", "degrees_east").values(lon);
        nc.var("lat", NC_FLOAT, dims).att("units", "degrees_north").values(lat);
        nc.var("t", NC_FLOAT, dims).values(std::vector<double>(lon.size(), 1.0));
        return nc.write();
    }
    void view(double west, double east, double south, double north) {
        View.ViewExtent = ViewRec{west, east, south, north};
    }
    std::vector<DrawRecord> filledBoxes() const { return recordsOf(pic, DrawKind::FilledBox); }
    // The picture position of a point, with the transform the preview set.
    std::pair<float, float> at(float lon, float lat) const {
        float x = 0, y = 0;
        ll2_to_xy2(lon, lat, x, y);
        return {x, y};
    }
    static void expectSquare(const DrawRecord& r, std::pair<float, float> c, double half,
                             Long color) {
        ASSERT_EQ(r.at.size(), 4u);
        EXPECT_NEAR(r.at[0], c.first - half, 1e-3);
        EXPECT_NEAR(r.at[1], c.second - half, 1e-3);
        EXPECT_NEAR(r.at[2], c.first + half, 1e-3);
        EXPECT_NEAR(r.at[3], c.second + half, 1e-3);
        EXPECT_EQ(r.color, color);
    }

    Picture pic{400, 300};
};

TEST_F(DataPointsTest, RegularGridThinnedToThirtyMarksAnAxisColouredByPosition) {
    const Long slot = open(grid("world.nc", Range(360, 0.5, 1), Range(180, -89.5, 1)));
    view(-17.5, 377.5, -98.5, 98.5);
    Scale.ColorCode = 10;
    Scale.col_opt = 3;
    DrawDataPoints(pic, slot);

    EXPECT_EQ(Scale.ColorCode, 30);
    EXPECT_EQ(Scale.col_opt, 0);
    EXPECT_EQ(Scale.ScaleMin, 1);
    EXPECT_EQ(Scale.ScaleMax, 360.0f * 180.0f);
    EXPECT_EQ(pic.DrawMode(), kDrawMaskPen);
    EXPECT_EQ(pic.FillStyle(), kFillTransparent);
    const auto marks = filledBoxes();
    ASSERT_EQ(marks.size(), 900u); // strides 12 and 6
    for (const auto& r : marks)
        EXPECT_EQ(r.drawMode, kDrawMaskPen);

    // Row j = 7 (second sampled), column i = 13 (second sampled): value 91, a box centred on
    // the point spanning half the stride on each side.
    const DrawRecord& m = marks[30 + 1];
    const auto lo = at(12.5f - 6, -83.5f - 3);
    const auto hi = at(12.5f + 6, -83.5f + 3);
    EXPECT_NEAR(m.at[0], lo.first, 1e-3);
    EXPECT_NEAR(m.at[1], lo.second, 1e-3);
    EXPECT_NEAR(m.at[2], hi.first, 1e-3);
    EXPECT_NEAR(m.at[3], hi.second, 1e-3);
    EXPECT_EQ(m.color, ValueToColor(91));
    // The last sampled column (i = 349) reaches to the last index, 360.
    const DrawRecord& last = marks[29];
    EXPECT_NEAR(last.at[2] - last.at[0], (359.5 - 348.5) * View.MapScale, 1e-2);
    EXPECT_EQ(ui.pointerChanges.back(), kPointerDefault);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(DataPointsTest, StrideRoundsTheCountInViewHalvesToEven) {
    const struct {
        int inView;
        size_t marks;
    } cases[] = {{45, 23}, {75, 38}, {15, 15}};
    for (const auto& c : cases) {
        pic.clearRecords();
        // 100 longitudes, of which c.inView lie in the view; one latitude row.
        const std::string number = std::to_string(c.inView);
        const Long slot = open(grid("s" + number + ".nc", Range(100, 1, 1), {5.0, 6.0}));
        view(0.5, c.inView + 0.5, 4, 7);
        DrawDataPoints(pic, slot);
        // Two rows (stride 1): each shows the sampled columns inside the view.
        EXPECT_EQ(filledBoxes().size(), 2 * c.marks) << c.inView;
    }
}

TEST_F(DataPointsTest, SinglePointGetsABlueSquareUnderAZeroWidthMark) {
    const Long slot = open(grid("one.nc", {20.0}, {30.0}));
    view(19.75, 20.25, 29.75, 30.25);
    DrawDataPoints(pic, slot);
    const auto marks = filledBoxes();
    ASSERT_EQ(marks.size(), 2u);
    const auto c = at(20, 30);
    expectSquare(marks[0], c, 2, QBColor(9));
    EXPECT_NEAR(marks[1].at[0], c.first, 1e-3);
    EXPECT_NEAR(marks[1].at[2], c.first, 1e-3);
    EXPECT_EQ(marks[1].color, ValueToColor(1));
}

TEST_F(DataPointsTest, CellListDrawsEveryCellInCopyMode) {
    const Long slot = open(stations("cells.nc", {10.0, 11.0, 50.0}, {0.0, 1.0, 2.0}));
    view(9, 12, -1, 3); // the third cell lies outside the view and is drawn all the same
    DrawDataPoints(pic, slot);
    const auto marks = filledBoxes();
    ASSERT_EQ(marks.size(), 3u);
    EXPECT_EQ(Scale.ScaleMax, 3);
    expectSquare(marks[0], at(10, 0), 1, ValueToColor(1));
    expectSquare(marks[2], at(50, 2), 1, ValueToColor(3));
    EXPECT_EQ(marks[0].drawMode, kDrawCopyPen);
}

TEST_F(DataPointsTest, BoundaryFittedOrdersAndTheGridiAlternation) {
    const struct {
        const char* name;
        const char* iName;
        const char* jName;
        bool iFirst;
        Long orderAfterFill;
    } cases[] = {
        {"xy.nc", "xpos", "ypos", true, 1},
        {"yx.nc", "xpos", "ypos", false, 2},
        // A file whose first dimension is "gridi" is left at order 4 after its fill; its
        // arrays are laid out as order 1 and drawn so.
        {"gridi.nc", "gridi", "gridj", true, 4},
    };
    for (const auto& c : cases) {
        pic.clearRecords();
        const Long slot = open(boundaryFitted(c.name, c.iName, c.jName, c.iFirst, 4, 3));
        ASSERT_EQ(Data.clsNC->GridType(slot), kGridBfg) << c.name;
        EXPECT_EQ(Data.clsNC->lonlatOrder(slot), c.orderAfterFill) << c.name;
        view(100, 106, 10, 15);
        DrawDataPoints(pic, slot);
        const auto marks = filledBoxes();
        ASSERT_EQ(marks.size(), 12u) << c.name;
        EXPECT_EQ(Scale.ScaleMax, 12);
        // Point i = 2, j = 3 stands at lon 102.3, lat 13.2 with colour value 6.
        const auto want = at(102.3f, 13.2f);
        const auto hit = std::find_if(marks.begin(), marks.end(), [&](const DrawRecord& r) {
            return std::fabs(r.at[0] + 1 - want.first) < 1e-3 &&
                   std::fabs(r.at[1] + 1 - want.second) < 1e-3;
        });
        ASSERT_NE(hit, marks.end()) << c.name;
        EXPECT_EQ(hit->color, ValueToColor(6)) << c.name;
    }
}

TEST_F(DataPointsTest, PointsWithoutAPositionAreSkippedQuietly) {
    // Stations whose coordinates mark no position: NaN, the coordinates' fill value, and
    // longitudes beyond any turn (in Mercator mode also beyond what the transform takes).
    const double nan = std::nan("");
    for (const Long projection : {0, 1}) {
        SCOPED_TRACE(projection);
        View.Projection = projection;
        View.LonPeriod = projection == 0 ? 360.0f : 6.283185f;
        const double u = projection == 0 ? 1.0 : kDegToRad;
        const Long slot = open(stations("far.nc", {10.0, 3.0e6, 11.0, -3.0e6, nan, 10.5, 1e20},
                                        {0.0, 1.0, 2.0, 3.0, 1.0, nan, 1e20}));
        view(9 * u, 12 * u, -1 * u, 4 * u);
        ui.boxes.clear();
        pic.clearRecords();
        DrawDataPoints(pic, slot);
        EXPECT_EQ(filledBoxes().size(), 2u);
        EXPECT_TRUE(ui.boxes.empty()) << ui.boxes[0].text;
    }
}

TEST_F(DataPointsTest, ArraysShorterThanTheCountsAreNotReadBeyond) {
    const Long slot = open(stations("cells.nc", {10.0, 11.0, 12.0}, {0.0, 1.0, 2.0}));
    Data.lonV.ReDimPreserve(1, 2);
    view(9, 13, -1, 3);
    DrawDataPoints(pic, slot);
    EXPECT_EQ(filledBoxes().size(), 2u);

    pic.clearRecords();
    const Long g = open(grid("g.nc", Range(4, 1, 1), Range(3, 1, 1)));
    Data.latV.ReDimPreserve(1, 1);
    view(0, 5, 0, 4);
    DrawDataPoints(pic, g);
    EXPECT_EQ(filledBoxes().size(), 4u); // one row left
}

TEST_F(DataPointsTest, NoExtentPrintsTheNoticeAndUnknownTypeSaysSo) {
    view(0, 10, 5, 5);
    DrawDataPoints(pic, 1);
    ASSERT_EQ(pic.records().size(), 1u);
    EXPECT_EQ(pic.records()[0].kind, DrawKind::Print);
    EXPECT_EQ(pic.records()[0].text, "(no geographical extent)");
    EXPECT_FLOAT_EQ(pic.records()[0].at[0], 100);
    EXPECT_FLOAT_EQ(pic.records()[0].at[1], 150);
    EXPECT_TRUE(ui.pointerChanges.empty());

    pic.clearRecords();
    view(0, 10, 0, 10);
    DrawDataPoints(pic, 7); // no such slot: grid type 0
    EXPECT_TRUE(filledBoxes().empty());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "[DrawDataPoints] undefined nc type");
    EXPECT_EQ(ui.pointerChanges.back(), kPointerDefault);
}

} // namespace
