#include "viewer/map/gencord.h"

#include "tests/viewer/ViewerFixture.h"

#include "gui/Picture.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ScriptedUi.h"
#include "viewer/map/SharedState.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class GencordTest : public ViewerFixture {};

void expectView(const ViewRec& v, double w, double e, double s, double n, double tol = 1e-9) {
    EXPECT_NEAR(v.West, w, tol);
    EXPECT_NEAR(v.East, e, tol);
    EXPECT_NEAR(v.South, s, tol);
    EXPECT_NEAR(v.North, n, tol);
}

// The worked example: one scale on both axes set by the tighter axis, the other centred.
TEST_F(GencordTest, CartesianThousandByFiveHundred) {
    View.ViewExtent = {0, 100, 0, 100};
    ASSERT_EQ(SetMapScale(1000, 500), 0);
    EXPECT_DOUBLE_EQ(View.MapScale, 4.8);
    EXPECT_DOUBLE_EQ(View.MapXOff, 260);
    EXPECT_DOUBLE_EQ(View.MapYOff, 10);
    float x = -1, y = -1;
    ASSERT_EQ(ll2_to_xy2(0, 0, x, y), 0);
    EXPECT_FLOAT_EQ(x, 260);
    EXPECT_FLOAT_EQ(y, 490);
    ASSERT_EQ(ll2_to_xy2(100, 100, x, y), 0);
    EXPECT_FLOAT_EQ(x, 740);
    EXPECT_FLOAT_EQ(y, 10);
    double lon = 0, lat = 0;
    EXPECT_EQ(pix_to_ll(500, 250, lon, lat), 0);
    EXPECT_NEAR(lon, 50, 1e-9);
    EXPECT_NEAR(lat, 50, 1e-9);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(GencordTest, SetMapScaleRefusals) {
    View.ViewExtent = {0, 100, 5, 5}; // no north-south extent
    EXPECT_EQ(SetMapScale(1000, 500), -1);
    View.ViewExtent = {0, 100, 0, 100};
    EXPECT_EQ(SetMapScale(0, 0), -1);
    EXPECT_EQ(SetMapScale(-3, 0), -1);
    View.ViewExtent = {20, 20, 0, 100}; // no east-west extent
    EXPECT_EQ(SetMapScale(1000, 500), -1);
    // One positive size is enough: a zero-width picture maps everything to its left edge.
    View.ViewExtent = {0, 100, 0, 100};
    ASSERT_EQ(SetMapScale(0, 500), 0);
    EXPECT_EQ(View.MapScale, 0);
    float x = -1, y = -1;
    ll2_to_xy2(37, 81, x, y);
    EXPECT_FLOAT_EQ(x, 0);
    EXPECT_FLOAT_EQ(y, 250);
    double lon = -1, lat = -1;
    EXPECT_EQ(pix_to_ll(10, 10, lon, lat), 0);
    EXPECT_TRUE(std::isfinite(lon) && std::isfinite(lat));
}

TEST_F(GencordTest, InitMapScalePrintsNoticeWithoutExtent) {
    testApp();
    Picture pic(401, 300);
    pic.setRecording(true);
    View.ViewExtent = {0, 10, 3, 3};
    EXPECT_EQ(InitMapScale(pic), -1);
    ASSERT_EQ(pic.records().size(), 1u);
    const DrawRecord& r = pic.records()[0];
    EXPECT_EQ(r.kind, DrawKind::Print);
    EXPECT_EQ(r.text, "(no geographical extent)");
    EXPECT_FLOAT_EQ(r.at[0], 401.0f / 4);
    EXPECT_FLOAT_EQ(r.at[1], 150);

    pic.clearRecords();
    View.ViewExtent = {0, 10, 0, 10};
    EXPECT_EQ(InitMapScale(pic), 1);
    EXPECT_TRUE(pic.records().empty());
    EXPECT_FLOAT_EQ(View.MapPicHeight, 300);
    EXPECT_DOUBLE_EQ(View.MapScale, 300 * 0.96 / 10);
}

TEST_F(GencordTest, RoundTripBothProjections) {
    struct Case {
        Long projection;
        ViewRec view;
        float points[4][2];
    };
    const Case cases[] = {
        {0, {-30, 50, -60, 10}, {{-30, -60}, {50, 10}, {12.5f, -20.25f}, {-7, 3}}},
        {1, {-0.5, 0.8, -0.3, 1.2}, {{-0.5f, -0.3f}, {0.8f, 1.2f}, {0.1f, 0.45f}, {-0.2f, 1.0f}}},
    };
    for (const Case& c : cases) {
        View.Projection = c.projection;
        View.ViewExtent = c.view;
        ASSERT_EQ(SetMapScale(800, 600), 0);
        for (const auto& p : c.points) {
            float x = 0, y = 0;
            ASSERT_EQ(ll2_to_xy2(p[0], p[1], x, y), 0);
            EXPECT_GE(x, 0);
            EXPECT_LE(x, 800);
            EXPECT_GE(y, 0);
            EXPECT_LE(y, 600);
            double lon = 0, lat = 0;
            pix_to_ll(x, y, lon, lat);
            const double tol = c.projection == 1 ? 1e-5 : 1e-3;
            EXPECT_NEAR(lon, p[0], tol) << "projection " << c.projection;
            EXPECT_NEAR(lat, p[1], tol) << "projection " << c.projection;
        }
    }
    EXPECT_TRUE(ui.boxes.empty());
}

// Points at or beyond the poles stay on their own side of the equator.
TEST_F(GencordTest, MercatorLatitudesHeldNearPoles) {
    const double limit = 89.9 * kDegToRad;
    EXPECT_DOUBLE_EQ(MercatorY(-M_PI / 2), MercatorY(-limit));
    EXPECT_DOUBLE_EQ(MercatorY(M_PI / 2), MercatorY(limit));
    EXPECT_LT(MercatorY(-M_PI / 2), -7);
    EXPECT_GT(MercatorY(M_PI / 2), 7);
    EXPECT_NEAR(MercatorY(0.5), std::log(std::tan(0.25 + 0.78539815)), 1e-15);
    EXPECT_NEAR(MercatorY(0), std::log(std::tan(0.78539815)), 1e-15);

    View.Projection = 1;
    View.ViewExtent = {-1, 1, -1.5, 1.5};
    ASSERT_EQ(SetMapScale(500, 500), 0);
    float x = 0, yPole = 0, yEdge = 0, yEquator = 0;
    ll2_to_xy2(0, static_cast<float>(-M_PI / 2), x, yPole);
    ll2_to_xy2(0, -1.5f, x, yEdge);
    ll2_to_xy2(0, 0, x, yEquator);
    EXPECT_GT(yPole, yEdge); // further south, not back on the equator
    EXPECT_GT(yEdge, yEquator);
}

TEST_F(GencordTest, MercatorOutOfRangeIsReported) {
    View.Projection = 1;
    View.ViewExtent = {-1, 1, -1, 1};
    ASSERT_EQ(SetMapScale(500, 500), 0);
    float x = 7, y = 8;
    EXPECT_EQ(ll2_to_xy2(40000, 0, x, y), -1);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 8);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, "[rad_to_xy] out of range xlng=  40000");
    EXPECT_EQ(ui.boxes[1].text, "[rad_to_xy] rad_to_xy returned -1");
    EXPECT_EQ(ll2_to_xy2(0, -40000, x, y), -1);
    ASSERT_EQ(ui.boxes.size(), 4u);
    EXPECT_EQ(ui.boxes[2].text, "[rad_to_xy] out of range ylat= -40000");
    // The quiet form refuses the same point without a word.
    EXPECT_EQ(ll2_to_xy2Quiet(40000, 0, x, y), -1);
    EXPECT_EQ(ui.boxes.size(), 4u);
    // A view whose north-east corner is out of range cannot be set.
    View.ViewExtent = {-1, 40000, -1, 1};
    EXPECT_EQ(SetMapScale(500, 500), -1);
}

TEST_F(GencordTest, BoxInViewCases) {
    const double deg = 1 / kDegToRad;
    struct Case {
        const char* what;
        ViewRec view, box;
        double unit;
        Long result;
        double shift;
    };
    const Case cases[] = {
        {"inside", {0, 40, 0, 40}, {10, 20, 10, 20}, deg, 1, 0},
        {"edges count as inside", {0, 40, 0, 40}, {0, 40, 0, 40}, deg, 1, 0},
        {"partly", {0, 40, 0, 40}, {30, 50, 10, 20}, deg, 0, 0},
        {"north of view", {0, 40, 0, 40}, {10, 20, 41, 50}, deg, -1, 0},
        {"south of view", {0, 40, 0, 40}, {10, 20, -10, -1}, deg, -1, 0},
        {"east at every shift", {0, 40, 0, 40}, {100, 110, 10, 20}, deg, -1, 0},
        {"beyond date line, minus a turn",
         {-180, -150, -10, 10},
         {170, 190, -5, 5},
         deg,
         0,
         -6.2831852 * deg},
        {"plus a turn, wholly inside",
         {170, 200, -10, 10},
         {-180, -170, -5, 5},
         deg,
         1,
         6.2831852 * deg},
        {"unshifted wins over a shift", {-200, 200, -10, 10}, {150, 170, -5, 5}, deg, 1, 0},
        {"radians", {3.0, 3.5, -1, 1}, {-3.2, -3.0, 0, 0.5}, 1, 1, 6.2831852},
        {"radians, partly", {3.0, 3.5, -1, 1}, {-3.3, -3.0, 0, 0.5}, 1, 0, 6.2831852},
    };
    for (const Case& c : cases) {
        float shift = 99;
        EXPECT_EQ(BoxInView(c.view, c.box, c.unit, shift), c.result) << c.what;
        EXPECT_NEAR(shift, c.shift, 1e-4) << c.what;
    }
}

TEST_F(GencordTest, ZoomStackPushBackAndWiden) {
    View.ZoomStack.ReDim(0, 0);
    View.ZoomStack(0) = {0, 100, 0, 50};
    View.ZoomIndex = 0;

    View.ViewExtent = {10, 20, 10, 20};
    PushZoom();
    View.ViewExtent = {12, 14, 12, 14};
    PushZoom();
    EXPECT_EQ(View.ZoomIndex, 2);
    EXPECT_EQ(View.ZoomStack.UBound(), 2);

    expectView(ZoomOut(), 10, 20, 10, 20);
    EXPECT_EQ(View.ZoomIndex, 1);
    EXPECT_EQ(View.ZoomStack.UBound(), 1);
    expectView(ZoomOut(), 0, 100, 0, 50);
    EXPECT_EQ(View.ZoomIndex, 0);

    // Past the first record: record 0 widens by 10 % on every side, compounding.
    expectView(ZoomOut(), -10, 110, -5, 55);
    EXPECT_EQ(View.ZoomIndex, -1);
    expectView(ZoomOut(), -22, 122, -11, 61);
    EXPECT_EQ(View.ZoomIndex, -2);
    expectView(View.ZoomStack(0), -22, 122, -11, 61);

    // A pan below record 0 leaves the stack alone; the next push brings the index back to 0.
    View.ViewExtent = {1, 2, 3, 4};
    PanByArrowKey(37);
    expectView(View.ZoomStack(0), -22, 122, -11, 61);
    View.ViewExtent = {5, 6, 7, 8};
    PushZoom();
    EXPECT_EQ(View.ZoomIndex, 0);
    EXPECT_EQ(View.ZoomStack.UBound(), 0);
    expectView(View.ZoomStack(0), 5, 6, 7, 8);
}

TEST_F(GencordTest, ZoomOutMercatorClamps) {
    View.Projection = 1;
    View.ZoomStack.ReDim(0, 0);
    View.ZoomStack(0) = {-3, 3, -1.2, 1.35};
    View.ZoomIndex = 0;
    for (int i = 0; i < 3; ++i) {
        const ViewRec r = ZoomOut();
        EXPECT_LE(r.North, static_cast<double>(1.39f));
        EXPECT_GE(r.South, static_cast<double>(-1.22f));
        EXPECT_GE(r.West, static_cast<double>(-3.14f));
        EXPECT_LE(r.East, static_cast<double>(3.14f));
    }
    expectView(View.ZoomStack(0), -3.14f, 3.14f, -1.22f, 1.39f, 0);
}

TEST_F(GencordTest, ZoomOutMercatorKeepsAGridFrom0To360Whole) {
    // The longitude clamp gives way to the dataset's own extent, so a grid kept from 0 to 359
    // degrees shows whole; westwards the half turn still holds, and so do the latitudes.
    View.Projection = 1;
    Data.DataExtent = {0, 359 * kDegToRad, -80 * kDegToRad, 80 * kDegToRad};
    View.ZoomStack.ReDim(0, 0);
    View.ZoomStack(0) = Data.DataExtent;
    View.ZoomIndex = 0;
    ViewRec r = ZoomOut();
    EXPECT_LT(r.West, 0);
    EXPECT_NEAR(r.East, static_cast<float>(Data.DataExtent.East), 1e-6);
    for (int i = 0; i < 20; ++i)
        r = ZoomOut();
    expectView(r, -3.14f, static_cast<float>(Data.DataExtent.East), -1.22f, 1.39f, 1e-6);

    // A grid of -150 .. 150 is held at the half turn each way, one of -180 .. 180 at its own
    // edges.
    Data.DataExtent = {-150 * kDegToRad, 150 * kDegToRad, -80 * kDegToRad, 80 * kDegToRad};
    View.ZoomStack(0) = Data.DataExtent;
    View.ZoomIndex = 0;
    expectView(ZoomOut(), -3.14f, 3.14f, -1.22f, 1.39f, 1e-6);
    Data.DataExtent = {-180 * kDegToRad, 180 * kDegToRad, -80 * kDegToRad, 80 * kDegToRad};
    View.ZoomStack(0) = Data.DataExtent;
    View.ZoomIndex = 0;
    const float pi = static_cast<float>(180 * kDegToRad);
    expectView(ZoomOut(), -pi, pi, -1.22f, 1.39f, 1e-6);
}

TEST_F(GencordTest, ArrowKeysMoveTheViewAndTheRecordInForce) {
    View.ZoomStack.ReDim(0, 2);
    View.ZoomIndex = 2;
    struct Case {
        Long key;
        ViewRec after;
    };
    const Case cases[] = {
        {37, {0, 30, 0, 60}},    {39, {20, 50, 0, 60}}, {38, {10, 40, 20, 80}},
        {40, {10, 40, -20, 40}}, {13, {10, 40, 0, 60}},
    };
    for (const Case& c : cases) {
        View.ViewExtent = {10, 40, 0, 60};
        const ViewRec r = PanByArrowKey(c.key);
        expectView(r, c.after.West, c.after.East, c.after.South, c.after.North, 1e-5);
        expectView(View.ViewExtent, c.after.West, c.after.East, c.after.South, c.after.North, 1e-5);
        expectView(View.ZoomStack(2), c.after.West, c.after.East, c.after.South, c.after.North,
                   1e-5);
    }
    expectView(View.ZoomStack(1), 0, 0, 0, 0);
}

} // namespace
