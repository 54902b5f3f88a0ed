#include "viewer/map/Vectors.h"

#include "tests/viewer/ViewerFixture.h"

#include "gui/Picture.h"
#include "runtime/Color.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ScriptedUi.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

class VectorsTest : public ViewerFixture {
protected:
    void SetUp() override {
        ViewerFixture::SetUp();
        pic.setRecording(true);
        View.ViewExtent = {0, 100, 0, 100};
        ASSERT_EQ(SetMapScale(400, 400), 0);
        Opt.vscale = 1;
    }

    using ViewerFixture::recordsOf;
    std::vector<DrawRecord> recordsOf(DrawKind kind) const { return recordsOf(pic, kind); }

    Picture pic{400, 400};
};

TEST(Atan2Test, AnglesOfTheFourQuadrantsAndTheAxes) {
    struct Case {
        double dx, dy, angle;
    };
    const Case cases[] = {
        {0, -2, -1.5707963267949}, {0, 3, 1.5707963267949},  {0, 0, 0},
        {-1, 0, 3.14159265358979}, {-1, -1, -2.35619449019}, {1, 1, 0.785398163397},
        {2, -2, -0.785398163397},  {-1, 1, 2.35619449019},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(Atan2(c.dx, c.dy), c.angle, 1e-9) << c.dx << ", " << c.dy;
}

// The line arrow of (10, 0) at (100, 100): shaft, then the head's three sides.
TEST_F(VectorsTest, LineArrowShaftAndHead) {
    DrawLineArrow(pic, 100, 100, 10, 0, 0.15f, 0.3f);
    const auto lines = recordsOf(DrawKind::Line);
    ASSERT_EQ(lines.size(), 4u);
    const double expected[4][4] = {{100, 100, 105.5, 100},
                                   {110, 100, 105.5, 98.5},
                                   {105.5, 98.5, 105.5, 101.5},
                                   {105.5, 101.5, 110, 100}};
    for (std::size_t i = 0; i < 4; ++i)
        for (std::size_t c = 0; c < 4; ++c)
            EXPECT_NEAR(lines[i].at[c], expected[i][c], 1e-4) << "line " << i << " coord " << c;
}

// The polygon arrow of (0, 100) at (200, 200), in light blue, and every drawing property of
// the picture comes back afterwards, FillStyle and DrawStyle included.
TEST_F(VectorsTest, PolygonArrowPointsAndRestoredStyles) {
    pic.setFillStyle(kFillTransparent);
    pic.setDrawStyle(kDrawDot);
    pic.setFillColor(QBColor(12));
    pic.setForeColor(QBColor(10));
    pic.setDrawMode(kDrawCopyPen);
    DrawPolyArrow(pic, QBColor(9), 200, 200, 0, 100);

    const auto polys = recordsOf(DrawKind::Polygon);
    ASSERT_EQ(polys.size(), 1u);
    const std::vector<int> expected = {200, 100, 185, 145, 197, 145, 197, 200,
                                       203, 200, 203, 145, 215, 145, 200, 100};
    EXPECT_EQ(polys[0].px, expected);
    EXPECT_EQ(polys[0].fillStyle, kFillSolid);
    EXPECT_EQ(polys[0].fillColor, QBColor(9));
    EXPECT_EQ(polys[0].color, QBColor(9));

    EXPECT_EQ(pic.FillStyle(), kFillTransparent);
    EXPECT_EQ(pic.DrawStyle(), kDrawDot);
    EXPECT_EQ(pic.FillColor(), QBColor(12));
    EXPECT_EQ(pic.ForeColor(), QBColor(10));
    EXPECT_EQ(pic.DrawMode(), kDrawCopyPen);

    EXPECT_EQ(pic.pixel(200, 170), QBColor(9)); // shaft
    EXPECT_EQ(pic.pixel(192, 140), QBColor(9)); // head
    EXPECT_EQ(pic.pixel(180, 180), QBColor(15));
}

// Which style draws what, through DrawVectorLL; a zero vector draws nothing in any style.
TEST_F(VectorsTest, StylesThroughDrawVectorLL) {
    struct Case {
        Long style;
        std::size_t lines, polygons;
    };
    const Case cases[] = {{0, 4, 0},  {1, 4, 0},  {2, 0, 1},  {3, 0, 0},
                          {50, 0, 0}, {90, 0, 0}, {91, 0, 1}, {108, 0, 1}};
    for (const Case& c : cases) {
        Opt.OptArrowStyle = c.style;
        pic.clearRecords();
        EXPECT_EQ(DrawVectorLL(pic, 3, 4, 50, 50), 0);
        EXPECT_EQ(recordsOf(DrawKind::Line).size(), c.lines) << "style " << c.style;
        EXPECT_EQ(recordsOf(DrawKind::Polygon).size(), c.polygons) << "style " << c.style;

        pic.clearRecords();
        EXPECT_EQ(DrawVectorLL(pic, 0, 0, 50, 50), 0);
        EXPECT_TRUE(pic.records().empty()) << "style " << c.style;
    }
    EXPECT_TRUE(ui.boxes.empty());
}

// DrawVectorLL places the arrow at the map position, scaled by vscale; u = 0, v > 0 points up.
TEST_F(VectorsTest, DataArrowAtMapPositionScaledByVscale) {
    Opt.OptArrowStyle = 1;
    Opt.vscale = 5;
    float x = 0, y = 0;
    ASSERT_EQ(ll2_to_xy2(25, 75, x, y), 0);
    DrawVectorLL(pic, 0, 2, 25, 75);
    const auto lines = recordsOf(DrawKind::Line);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NEAR(lines[0].at[0], x, 1e-4);
    EXPECT_NEAR(lines[0].at[1], y, 1e-4);
    // Tip: the head's last side ends on it, 10 units above the anchor.
    EXPECT_NEAR(lines[3].at[2], x, 1e-4);
    EXPECT_NEAR(lines[3].at[3], y - 10, 1e-4);
}

// A position with no picture position draws nothing and says nothing: the drawing that made
// the call reports it once. A value far out of range is passed over.
TEST_F(VectorsTest, PositionsWithoutPlaceAndBadValuesDrawNothing) {
    // Positions that mark none (NaN, fill values, a longitude beyond any turn, which the
    // Mercator transform would refuse): no arrow, nothing said, and not a failure.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        Long projection;
        float lon, lat;
    };
    for (const Case c :
         {Case{0, nan, 50}, Case{0, 50, nan}, Case{0, inf, 50}, Case{0, 1e20f, 1e20f},
          Case{0, 50, -999}, Case{1, 40000, 0.5f}, Case{1, 0.5f, nan}}) {
        View.Projection = c.projection;
        View.LonPeriod = c.projection == 0 ? 360.0f : 6.283185f;
        View.ViewExtent = c.projection == 0 ? ViewRec{0, 100, 0, 100} : ViewRec{0, 1, 0, 1};
        ASSERT_EQ(SetMapScale(400, 400), 0);
        for (Long style : {1, 2, 108}) {
            Opt.OptArrowStyle = style;
            EXPECT_EQ(DrawVectorLL(pic, 1, 1, c.lon, c.lat), 0) << c.lon << " " << c.lat;
        }
    }
    EXPECT_TRUE(pic.records().empty());
    EXPECT_TRUE(ui.boxes.empty());

    // Values that make no arrow at a good position.
    for (Long style : {1, 2, 108}) {
        Opt.OptArrowStyle = style;
        EXPECT_EQ(DrawVectorLL(pic, nan, 1, 0.5f, 0.5f), 0);
        EXPECT_EQ(DrawVectorLL(pic, 3e38f, 3e38f, 0.5f, 0.5f), 0);
    }
    EXPECT_TRUE(ui.boxes.empty());
}

// The glyph style: an arrow 1.3 times the vector's length, its foot on the anchor, its tip in
// the vector's direction, filled in ForeColor and copied whatever the draw mode.
TEST_F(VectorsTest, GlyphArrowRotatedToTheVector) {
    Opt.OptArrowStyle = 108;
    pic.setForeColor(QBColor(12));
    pic.setDrawMode(kDrawInvert);
    pic.setFillStyle(kFillTransparent);
    struct Case {
        float u, v;
    };
    const Case cases[] = {{0, 40}, {40, 0}, {0, -40}, {-40, 0}, {30, 30}, {-20, 35}};
    for (const Case& c : cases) {
        pic.clearRecords();
        DrawVectorXY(pic, c.u, c.v, 200, 200);
        const auto polys = recordsOf(DrawKind::Polygon);
        ASSERT_EQ(polys.size(), 1u);
        const std::vector<int>& p = polys[0].px;
        ASSERT_EQ(p.size(), 14u);
        // Point 0 is the tip; points 3 and 4 the two corners of the shaft's foot.
        EXPECT_NEAR(p[0], 200 + 1.3 * c.u, 1.5) << c.u << ", " << c.v;
        EXPECT_NEAR(p[1], 200 - 1.3 * c.v, 1.5) << c.u << ", " << c.v;
        EXPECT_NEAR((p[6] + p[8]) / 2.0, 200, 1.5) << c.u << ", " << c.v;
        EXPECT_NEAR((p[7] + p[9]) / 2.0, 200, 1.5) << c.u << ", " << c.v;
        EXPECT_EQ(polys[0].color, QBColor(12));
        EXPECT_EQ(polys[0].fillColor, QBColor(12));
        EXPECT_EQ(polys[0].drawMode, kDrawCopyPen);
    }
    EXPECT_EQ(pic.DrawMode(), kDrawInvert);
    EXPECT_EQ(pic.FillStyle(), kFillTransparent);
    EXPECT_EQ(pic.ForeColor(), QBColor(12));

    // The north arrow exactly: height -52, width -26 (half of -52), no rotation.
    pic.clearRecords();
    DrawVectorXY(pic, 0, 40, 200, 200);
    const std::vector<int> north = {200, 148, 213, 171, 203, 171, 203,
                                    200, 197, 200, 197, 171, 187, 171};
    EXPECT_EQ(recordsOf(DrawKind::Polygon).at(0).px, north);

    // A zero vector has no direction and its glyph no size: nothing.
    pic.clearRecords();
    DrawVectorXY(pic, 0, 0, 200, 200);
    EXPECT_TRUE(pic.records().empty());
}

} // namespace
