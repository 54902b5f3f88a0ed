// Positions on the map: which coordinates mark no position in either projection, the copy of a
// longitude nearest another, and the copies of a figure that the view shows.
#include "viewer/map/MapPositions.h"
#include "tests/viewer/ScalarFixture.h"

#include <limits>

namespace {

class MapPositionsTest : public ViewerFixture {};

TEST_F(MapPositionsTest, CoordinatesThatMarkNoPosition) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        Long projection;
        float lon, lat; // in degrees
        bool known;
    };
    for (const Case c :
         {Case{0, 359.5f, 89.9f, true}, Case{0, -280, -90, true}, Case{0, 720, 90, true},
          Case{0, nan, 0, false}, Case{0, 0, inf, false}, Case{0, 1e20f, 1e20f, false},
          Case{0, 9.96921e36f, 0, false}, Case{0, 10, -999, false}, Case{0, -9999, 0, false},
          Case{1, 359.5f, 90, true}, Case{1, -180, -90, true}, Case{1, 0, 91, false},
          Case{1, 1e20f, 0, false}, Case{1, 0, nan, false}}) {
        UseProjection(c.projection);
        const double u = c.projection == 0 ? 1.0 : kDegToRad;
        EXPECT_EQ(PositionKnown(static_cast<float>(c.lon * u), static_cast<float>(c.lat * u)),
                  c.known)
            << c.projection << " " << c.lon << " " << c.lat;
    }
    // Before a dataset has set the period, the projection's own turn.
    View.LonPeriod = 0;
    View.Projection = 1;
    EXPECT_EQ(MapLonPeriod(), 6.283185f);
    View.Projection = 0;
    EXPECT_EQ(MapLonPeriod(), 360.0f);
}

TEST_F(MapPositionsTest, CornersKeptWholeAndTheirCopiesInTheView) {
    EXPECT_EQ(NearestCopy(0.5f, 359.5f, 360), 360.5f);
    EXPECT_EQ(NearestCopy(359.5f, 0.5f, 360), -0.5f);
    EXPECT_EQ(NearestCopy(190, 10, 360), 190.0f) << "half a turn away stays";
    EXPECT_EQ(NearestCopy(730, 10, 360), 10.0f);
    EXPECT_EQ(NearestCopy(730, 10, 0), 730.0f) << "no period, no move";

    float lon[4] = {359.5f, 0.5f, 1.0f, 358};
    float lo = 0, hi = 0;
    KeepWhole(lon, 4, 360, lo, hi);
    EXPECT_EQ(lon[1], 360.5f);
    EXPECT_EQ(lon[2], 361.0f);
    EXPECT_EQ(lon[3], 358.0f);
    EXPECT_EQ(lo, 358.0f);
    EXPECT_EQ(hi, 361.0f);

    struct Case {
        float lo, hi, west, east;
        std::vector<float> shifts;
    };
    for (const Case& c : std::vector<Case>{
             {358, 361, 0, 360, {0, -360}},       // across the east edge: again on the west
             {-1, 1, 0, 360, {0, 360}},           // across the west edge: again on the east
             {10, 20, 0, 360, {0}},               // inside: once
             {270, 280, -180, 180, {0, -360}},    // outside, its copy inside
             {359, 360, 0, 360, {0}},             // touching the west edge's copy only
             {10, 20, -360, 720, {0, -360, 360}}, // a view wider than a turn
         }) {
        const LonCopies copies = CopiesInView(c.lo, c.hi, c.west, c.east, 360);
        EXPECT_EQ(std::vector<float>(copies.shift, copies.shift + copies.count), c.shifts)
            << c.lo << " " << c.hi << " " << c.west << " " << c.east;
    }
}

} // namespace
