// The GMT-grid scalar map: the value vector laid out from the northern row, missing values
// keeping their places, a vector longer or shorter than the grid, and the frame's messages.
#include "viewer/scalar/DrawGmtScalar.h"
#include "tests/viewer/ScalarFixture.h"

namespace {

constexpr Long kTime = 0, kXy = 6;

class DrawGmtScalarTest : public ScalarFixture {
protected:
    void SetUp() override {
        ScalarFixture::SetUp();
        // 3 columns (100..102) by 2 rows (20..21); the vector holds value k at place k.
        regularGrid(range(100, 1, 3), range(20, 1, 2));
        fake.grid = kGridGmt;
        fake.xysize = 6;
        fake.timeDid = kTime;
        fake.steps = 2;
        fake.addVar(1, 1, "depth", {kTime, kXy});
        fake.value = [](Long, Long, const std::vector<Long>& ix) {
            return static_cast<float>(ix.back());
        };
        pick(1);
    }
    void draw() {
        ASSERT_EQ(CalculateGridScalar(1), 1);
        pic.clearRecords();
        DrawGMTScalar(pic);
    }
    // Centre of each box drawn, in map units.
    std::vector<std::pair<double, double>> centres() const {
        std::vector<std::pair<double, double>> out;
        for (const auto& r : recordsOf(DrawKind::FilledBox)) {
            double lon = 0, lat = 0;
            pix_to_ll(static_cast<float>((r.at[0] + r.at[2]) / 2),
                      static_cast<float>((r.at[1] + r.at[3]) / 2), lon, lat);
            out.emplace_back(std::round(lon * 1000) / 1000, std::round(lat * 1000) / 1000);
        }
        return out;
    }
};

using Centres = std::vector<std::pair<double, double>>;

TEST_F(DrawGmtScalarTest, TheVectorRunsFromTheNorthernRowWestToEast) {
    Scale.ColorCode = 10;
    Data.CurTimeStep = 2;
    draw();
    EXPECT_EQ(centres(),
              (Centres{{100, 21}, {101, 21}, {102, 21}, {100, 20}, {101, 20}, {102, 20}}));
    const auto boxes = recordsOf(DrawKind::FilledBox);
    float x = 0, y = 0;
    EXPECT_EQ(Scale.ColorCode, 30) << "scheme set before any colour";
    for (size_t k = 0; k < boxes.size(); ++k)
        EXPECT_EQ(boxes[k].color, ValueToColor(static_cast<float>(k + 1)));
    // Every box is one spacing wide and high, the last column and the northern row included,
    // and neighbours share their edges.
    for (const auto& b : boxes) {
        EXPECT_NEAR(std::fabs(b.at[2] - b.at[0]), std::fabs(boxes[0].at[2] - boxes[0].at[0]), 1e-3);
        EXPECT_NEAR(std::fabs(b.at[3] - b.at[1]), std::fabs(boxes[0].at[3] - boxes[0].at[1]), 1e-3);
    }
    EXPECT_EQ(boxes[1].at[2], boxes[2].at[0]);
    EXPECT_EQ(boxes[0].at[1], boxes[3].at[3]);
    ll2_to_xy2(102, 21, x, y);
    EXPECT_EQ(pic.pixel(std::lround(x) + 2, std::lround(y) - 2), ValueToColor(3))
        << "the north-east corner point's box reaches beyond it";
    ll2_to_xy2(101, 20, x, y);
    EXPECT_EQ(pic.pixel(std::lround(x), std::lround(y)), ValueToColor(5));

    EXPECT_EQ(fake.reads.at(0).start, (std::vector<Long>{2, 1}));
    EXPECT_EQ(texts(), (std::vector<std::string>{"depth", "2004-03-2", "depth /Scale/  6 to  1",
                                                 "depth /Range/  6 to  1"}));
    EXPECT_EQ(scales("depth"), "5   6   1");
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
}

TEST_F(DrawGmtScalarTest, MissingValuesKeepTheirPlaces) {
    fake.value = [](Long, Long, const std::vector<Long>& ix) {
        return ix.back() == 2 ? NoVal : static_cast<float>(ix.back());
    };
    draw();
    EXPECT_EQ(centres(), (Centres{{100, 21}, {102, 21}, {100, 20}, {101, 20}, {102, 20}}));
}

TEST_F(DrawGmtScalarTest, AVectorLongerThanTheGridStopsAtItsLastRow) {
    fake.xysize = 8;
    draw();
    EXPECT_EQ(centres().size(), 6u);
    EXPECT_EQ(texts()[2], "depth /Scale/  8 to  1") << "the range saw the whole read";
    EXPECT_EQ(texts()[3], "depth /Range/  6 to  1") << "only the values drawn";
}

TEST_F(DrawGmtScalarTest, AShorterVectorLeavesTheSouthernRowsEmpty) {
    fake.xysize = 4;
    draw();
    EXPECT_EQ(centres(), (Centres{{100, 21}, {101, 21}, {102, 21}, {100, 20}}));
}

TEST_F(DrawGmtScalarTest, AllMissingDrawsNoBoxAndStoresNothing) {
    fake.value = [](Long, Long, const std::vector<Long>&) { return NoVal; };
    draw();
    EXPECT_TRUE(centres().empty());
    EXPECT_EQ(texts().back(), "depth /Range/ -1E+10 to  1E+10");
    EXPECT_EQ(scales("depth"), "");
}

TEST_F(DrawGmtScalarTest, AGlobalGridIsDrawnAgainBeyondTheSeam) {
    // 12 columns 0 .. 330 by 3 rows; place k of the vector is row 3 - (k - 1) / 12 (north
    // first), column (k - 1) mod 12 + 1, and holds k.
    regularGrid(range(0, 30, 12), range(-30, 30, 3));
    fake.xysize = 36;
    view(-75, 45, -30, 30);
    draw();
    auto valueAt = [](Long i, Long j) { return static_cast<float>((3 - j) * 12 + i); };
    // The columns 300 and 330 show a period to the west, beside column 0.
    for (Long j = 1; j <= 3; ++j) {
        const float lat = Data.latV(j);
        EXPECT_EQ(pixelAtPoint(-60, lat), ValueToColor(valueAt(11, j))) << j;
        EXPECT_EQ(pixelAtPoint(-30, lat), ValueToColor(valueAt(12, j))) << j;
        EXPECT_EQ(pixelAtPoint(0, lat), ValueToColor(valueAt(1, j))) << j;
        EXPECT_EQ(pixelAtPoint(30, lat), ValueToColor(valueAt(2, j))) << j;
        // Across the seam every pixel of the row belongs to one of the two cells beside it.
        float xw = 0, xe = 0, y = 0;
        ll2_to_xy2(-30, lat, xw, y);
        ll2_to_xy2(0, lat, xe, y);
        for (long x = std::lround(xw); x <= std::lround(xe); ++x) {
            const Long c = pic.pixel(static_cast<int>(x), static_cast<int>(std::lround(y)));
            EXPECT_TRUE(c == ValueToColor(valueAt(12, j)) || c == ValueToColor(valueAt(1, j)))
                << "pixel " << x << " row " << j << " is " << c;
        }
    }
}

TEST_F(DrawGmtScalarTest, PixelFillMatchesTheBoxesOfTheLog) {
    // A global grid finer than the picture, seen across the seam.
    regularGrid(range(0.25f, 0.5f, 720), range(-89.75f, 0.5f, 360));
    fake.xysize = 720 * 360;
    view(-200, 200, -90, 90);
    PutString("depth", "Scales", Opt.IniFile, "0  300000  0");
    expectSamePictureWithoutLog([&] { draw(); });
}

TEST_F(DrawGmtScalarTest, FailuresNameTheGmtRenderer) {
    fake.failRead = 1;
    draw();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "[DrawGMTScalar] NetCDF Error");
    EXPECT_EQ(ui.boxes[0].text, fake.error + "\r\n\r\nnvar, tcount=  1  6\r\n"
                                             "start, count, stride =  1  1  1\r\n"
                                             "start, count, stride =  1  6  1\r\n");
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);

    ui.boxes.clear();
    fake.xysize = 0;
    draw();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "[DrawGMTScalar] Code error: Geogrphical miss-match");
    EXPECT_EQ(texts(), (std::vector<std::string>{"depth", "2004-03-1"}));
}

} // namespace
