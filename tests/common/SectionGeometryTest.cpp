#include "common/SectionGeometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// World x 0 to 10 and y -100 to 0 on a picture 1000 by 500 with margins of 20 and 25.
PlotTransform sectionTransform() {
    PlotTransform t;
    t.OrgX = 0;
    t.OrgY = -100;
    t.ScaleX = 96;
    t.ScaleY = 4.5;
    t.OffX = 20;
    t.OffY = 25;
    t.PicHeight = 500;
    return t;
}

// Picture units equal to world units, y turned over.
PlotTransform identity() {
    PlotTransform t;
    t.ScaleX = 1;
    t.ScaleY = 1;
    return t;
}

} // namespace

TEST(SectionGeometry, TheTransformMapsWorldToPicture) {
    const PlotTransform t = sectionTransform();
    struct Case {
        float x, y, X, Y;
    };
    const Case cases[] = {{5, -50, 500, 250}, {0, 0, 20, 25}, {10, -100, 980, 475}};
    for (const Case& c : cases) {
        float X = 0, Y = 0;
        xy_scale(t, c.x, c.y, X, Y);
        EXPECT_FLOAT_EQ(X, c.X) << c.x;
        EXPECT_FLOAT_EQ(Y, c.Y) << c.y;
    }
    // The squared distance in picture units, not in world units.
    EXPECT_FLOAT_EQ(SegDistance(t, 0, 0, 10, -100), 960.0f * 960 + 450.0f * 450);
    EXPECT_FLOAT_EQ(SegDistance(t, 1, -1, 1, -1), 0);
}

TEST(SectionGeometry, TheNearestFreeSegmentEnd) {
    const PlotTransform t = identity();
    const std::vector<ContourSegment> segs = {
        {0, 0, 1, 0}, {5, 5, 2, 0}, {2, 0, 9, 9}, {0, 1, 0, -1}};
    std::vector<Integer> state = {1, 1, 1, 1};
    Long idx = -5;
    Integer end = -5;
    float dist = 0;

    // Two segments equally near: the earlier one.
    NearestSegment(t, 2, 0.1f, 0, state, segs, 3, idx, end, dist, 1);
    EXPECT_EQ(idx, 2);
    EXPECT_EQ(end, 2);
    EXPECT_NEAR(dist, 0.01f, 1e-6);
    // Leaving out the current segment, or one below the state asked for.
    NearestSegment(t, 2, 0.1f, 2, state, segs, 3, idx, end, dist, 1);
    EXPECT_EQ(idx, 3);
    EXPECT_EQ(end, 1);
    state[2] = 0;
    NearestSegment(t, 2, 0.1f, 2, state, segs, 3, idx, end, dist, 1);
    EXPECT_EQ(idx, 1);
    EXPECT_EQ(end, 2);
    NearestSegment(t, 2, 0.1f, 2, state, segs, 3, idx, end, dist, 0);
    EXPECT_EQ(idx, 3);
    // Both ends equally near: end 2.
    NearestSegment(t, 0, 0, 0, state, segs, 4, idx, end, dist, 1);
    EXPECT_EQ(idx, 1);
    NearestSegment(t, 0, 0, 1, state, segs, 4, idx, end, dist, 1);
    EXPECT_EQ(idx, 4);
    EXPECT_EQ(end, 2);
    // Nothing qualifies: the answer before stays, the distance is 1e20.
    state.assign(4, -1);
    NearestSegment(t, 0, 0, 0, state, segs, 4, idx, end, dist, 0);
    EXPECT_EQ(idx, 4);
    EXPECT_EQ(end, 2);
    EXPECT_EQ(dist, 1e20f);
}

TEST(SectionGeometry, WhereALevelCrossesATriangle) {
    // a = (0, 0), b = (1, 0), c = (0.5, 0.5) with the values of each case.
    struct Case {
        const char* what;
        float va, vb, vc, level;
        float x1, y1, x2, y2;
    };
    const Case cases[] = {
        {"a-b crossed, b-c not: from c-a to a-b", 0, 10, 8, 5, 0.3125f, 0.3125f, 0.5f, 0},
        {"a-b and b-c, not c-a", 0, 10, 0, 5, 0.5f, 0, 0.75f, 0.25f},
        {"b-c and c-a", 0, 0, 10, 5, 0.75f, 0.25f, 0.25f, 0.25f},
        {"the largest value is crossed", 0, 10, 5, 10, 1, 0, 1, 0},
        {"the smallest is not", 0, 10, 5, 0, -999.9f, 0, -999.9f, 0},
    };
    for (const Case& c : cases) {
        float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        TriangleLevelSegment(0, 1, 0.5f, 0, 0, 0.5f, c.va, c.vb, c.vc, c.level, x1, y1, x2, y2);
        EXPECT_FLOAT_EQ(x1, c.x1) << c.what;
        EXPECT_FLOAT_EQ(y1, c.y1) << c.what;
        EXPECT_FLOAT_EQ(x2, c.x2) << c.what;
        EXPECT_FLOAT_EQ(y2, c.y2) << c.what;
    }
}

TEST(SectionGeometry, TickSteps) {
    struct Case {
        float span, step, step2;
    };
    const Case cases[] = {{0, 0, 0},
                          {4.99f, 1, 1},
                          {5, 2, 2},
                          {-7, 2, 2},
                          {12.5f, 5, 5},
                          {750, 100, 100},
                          {1000, 500, 500},
                          {9999, 500, 500},
                          {25000, 20000, 2000},
                          {0.3f, 0.2f, 0.02f},
                          {0.05f, 0.02f, 0.002f},
                          // The smallest Single still gets a step above 0.
                          {1e-45f, 1e-45f, 1e-45f}};
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(NiceStep(c.span), c.step) << c.span;
        EXPECT_FLOAT_EQ(NiceStep2(c.span), c.step2) << c.span;
    }
    struct Fraction {
        double x, step;
    };
    const Fraction fractions[] = {{0.3, 0.5}, {0.2, 0.2}, {0.07, 0.1}, {1.5, 2}, {0, 0}, {-1, 0}};
    for (const Fraction& f : fractions)
        EXPECT_DOUBLE_EQ(FractionalTickStep(f.x), f.step) << f.x;
}

TEST(SectionGeometry, DistancesOnTheEarth) {
    // One degree along the equator, with the program's degree and radius.
    EXPECT_NEAR(GeoDistance(0.5, 0, 1.5, 0) / 1000, 111.11099809630643, 1e-9);
    EXPECT_NEAR(GeoDistance(10, -5, 10, -4) / 1000, 111.11099809630643, 1e-9);
    // Shorter along a parallel away from the equator.
    EXPECT_NEAR(GeoDistance(0, 60, 1, 60) / GeoDistance(0, 0, 1, 0), 0.5, 1e-6);
    EXPECT_EQ(GeoDistance(3, 4, 3, 4), 0);
}
