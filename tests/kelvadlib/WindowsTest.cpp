// Coordinates of index windows in degrees and radians, the longitude shift towards a window,
// and the positions of dimensions among a variable's dimensions.
#include "kelvadlib/Kelvad.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/TempDir.h"
#include "tests/support/VArrayItems.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr double kFactor = 0.017453292222222222;

VArray<float> ramp(Long n, float first) {
    VArray<float> a(1, n);
    for (Long i = 1; i <= n; ++i)
        a(i) = first + static_cast<float>(i - 1);
    return a;
}

// Slots set up by hand: the windows read only the record and its caches.
class WindowsTest : public ::testing::Test {
protected:
    WindowsTest() : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir.path());
    }
    ~WindowsTest() override { std::filesystem::current_path(old_); }

    NcfRec& slot(Long n) {
        if (!k.ncf.IsAllocated() || k.ncf.UBound() < n) k.ncf.ReDimPreserve(0, n);
        if (k.nNcMax < n) k.nNcMax = n;
        return k.ncf(n);
    }
    // A window over one dimension (point lists) or two (the last two entries).
    Long deg(const std::vector<Long>& start, const std::vector<Long>& end,
             const std::vector<Long>& step, Long tcount, Long nNc = 1) {
        return window(false, start, end, step, tcount, nNc);
    }
    Long rad(const std::vector<Long>& start, const std::vector<Long>& end,
             const std::vector<Long>& step, Long tcount, Long nNc = 1) {
        return window(true, start, end, step, tcount, nNc);
    }
    Long window(bool radians, const std::vector<Long>& start, const std::vector<Long>& end,
                const std::vector<Long>& step, Long tcount, Long nNc) {
        auto arr = [](const std::vector<Long>& v) {
            VArray<Long> a(1, static_cast<Long>(v.size()));
            for (std::size_t i = 0; i < v.size(); ++i)
                a(static_cast<Long>(i + 1)) = v[i];
            return a;
        };
        const VArray<Long> s = arr(start), e = arr(end), t = arr(step);
        return radians ? k.GetLonLatRad(lon, lat, s, e, t, tcount, nNc)
                       : k.GetLonLatDeg(lon, lat, s, e, t, tcount, nNc);
    }

    TempDir dir;
    std::filesystem::path old_;
    Kelvad k;
    VArray<float> lon, lat;
};

TEST_F(WindowsTest, PointListsStopAtTcount) {
    NcfRec& r = slot(1);
    r.GridType = kGridCells;
    r.nCells = 10;
    r.lonArr = ramp(10, 1);
    r.latArr = ramp(10, 101);

    lon = ramp(2, 5);
    EXPECT_EQ(deg({1}, {10}, {1}, 0), -1);
    EXPECT_EQ(k.ErrorMessage, "[GetLonLatDeg] passed tcount <= 0");
    EXPECT_EQ(items(lon), (std::vector<float>{5, 6})); // untouched
    EXPECT_EQ(rad({1}, {10}, {1}, -3), -1);
    EXPECT_EQ(k.ErrorMessage, "[GetLonLatRad] passed tcount <= 0");

    ASSERT_EQ(deg({1}, {10}, {1}, 4), 1);
    EXPECT_EQ(items(lon), (std::vector<float>{1, 2, 3, 4}));
    EXPECT_EQ(items(lat), (std::vector<float>{101, 102, 103, 104}));

    ASSERT_EQ(deg({1}, {10}, {1}, 12), 1);
    EXPECT_EQ(lon(10), 10.0f);
    EXPECT_EQ(lon(11), 0.0f);
    EXPECT_EQ(lon(12), 0.0f);

    // Strided, and only the last entry counts for a point list.
    ASSERT_EQ(deg({7, 2}, {7, 9}, {0, 3}, 5), 1);
    EXPECT_EQ(items(lon), (std::vector<float>{2, 5, 8, 0, 0}));
}

TEST_F(WindowsTest, RegularGridOrders) {
    NcfRec& r = slot(1);
    r.GridType = kGridRegular;
    r.lonArr = ramp(6, 10); // 10..15
    r.latArr = ramp(5, 50); // 50..54

    // Order 2: entry u over longitudes (inner), u - 1 over latitudes (outer): row by row.
    r.lonlatOrder = 2;
    ASSERT_EQ(deg({1, 2, 1}, {1, 4, 4}, {1, 1, 1}, 12), 1);
    EXPECT_EQ(items(lon), (std::vector<float>{10, 11, 12, 13, 10, 11, 12, 13, 10, 11, 12, 13}));
    EXPECT_EQ(items(lat), (std::vector<float>{51, 51, 51, 51, 52, 52, 52, 52, 53, 53, 53, 53}));

    // Order 1: longitudes outer.
    r.lonlatOrder = 1;
    ASSERT_EQ(deg({2, 1}, {3, 2}, {1, 1}, 4), 1);
    EXPECT_EQ(items(lon), (std::vector<float>{11, 11, 12, 12}));
    EXPECT_EQ(items(lat), (std::vector<float>{50, 51, 50, 51}));

    // Any other order fills nothing.
    r.lonlatOrder = 0;
    ASSERT_EQ(deg({1, 1}, {2, 2}, {1, 1}, 4), 1);
    EXPECT_EQ(items(lon), (std::vector<float>(4, 0)));

    // No stop at tcount on two axes: the window runs past the arrays.
    r.lonlatOrder = 1;
    EXPECT_EQ(deg({1, 1}, {2, 2}, {1, 1}, 3), -1);
    EXPECT_EQ(k.ErrorMessage, "[GetLonLatDeg] 9");
}

TEST_F(WindowsTest, BoundaryFittedIndexesTheFlatCaches) {
    NcfRec& r = slot(1);
    r.GridType = kGridBfg;
    r.iMax = 2;
    r.jMax = 3;
    r.lonArr = ramp(6, 1);
    r.latArr = ramp(6, 11);
    r.lonlatOrder = 1; // k = jMax (j - 1) + i
    ASSERT_EQ(deg({1, 1}, {2, 3}, {1, 2}, 4), 1);
    EXPECT_EQ(items(lon), (std::vector<float>{1, 3, 4, 6}));
    EXPECT_EQ(items(lat), (std::vector<float>{11, 13, 14, 16}));
    r.lonlatOrder = 2; // k = iMax (j - 1) + i
    ASSERT_EQ(deg({1, 1}, {3, 2}, {1, 1}, 6), 1);
    EXPECT_EQ(items(lon), (std::vector<float>{1, 2, 3, 4, 5, 6}));
    // Past tcount the inner loop ends, the outer one runs on without writing.
    r.lonlatOrder = 1;
    ASSERT_EQ(deg({1, 1}, {2, 3}, {1, 1}, 4), 1) << k.ErrorMessage;
    EXPECT_EQ(items(lon), (std::vector<float>{1, 2, 3, 4}));
    EXPECT_EQ(items(lat), (std::vector<float>{11, 12, 13, 14}));
}

TEST_F(WindowsTest, RadiansAreDegreesTimesTheFactorForEveryGridType) {
    struct Case {
        Long gridType, order;
        std::vector<Long> start, end, step;
        Long tcount;
    };
    const Case cases[] = {
        {kGridCells, 1, {1}, {10}, {2}, 5},           {kGridRegular, 1, {1, 2}, {3, 4}, {1, 1}, 9},
        {kGridRegular, 2, {1, 2}, {3, 4}, {2, 1}, 6}, {kGridBfg, 1, {1, 1}, {2, 3}, {1, 1}, 6},
        {kGridBfg, 2, {1, 1}, {3, 2}, {1, 1}, 6},     {kGridFeMesh, 1, {3}, {8}, {1}, 6},
        {kGridGmt, 2, {2, 1}, {2, 6}, {1, 1}, 6},     {kGridFvMesh, 1, {1}, {9}, {4}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gridType);
        NcfRec& r = slot(1);
        r.GridType = c.gridType;
        r.lonlatOrder = c.order;
        r.nCells = 0; // meshes have none; the radians must not stop there
        r.iMax = 2;
        r.jMax = 3;
        r.lonArr = ramp(10, 170);
        r.latArr = ramp(10, -60);
        ASSERT_EQ(deg(c.start, c.end, c.step, c.tcount), 1) << k.ErrorMessage;
        const std::vector<float> dLon = items(lon), dLat = items(lat);
        ASSERT_EQ(rad(c.start, c.end, c.step, c.tcount), 1) << k.ErrorMessage;
        ASSERT_EQ(lon.size(), dLon.size());
        bool filled = false;
        for (std::size_t i = 0; i < dLon.size(); ++i) {
            EXPECT_EQ(lon.data()[i], static_cast<float>(dLon[i] * kFactor));
            EXPECT_EQ(lat.data()[i], static_cast<float>(dLat[i] * kFactor));
            filled = filled || dLon[i] != 0;
        }
        EXPECT_TRUE(filled);
    }
}

TEST_F(WindowsTest, StridesBelowOneAndBadSlots) {
    NcfRec& r = slot(1);
    r.GridType = kGridRegular;
    r.lonlatOrder = 1;
    r.lonArr = ramp(4, 0);
    r.latArr = ramp(4, 0);
    for (const auto& step : {std::vector<Long>{1, 0}, {0, 1}, {-1, 1}}) {
        EXPECT_EQ(deg({1, 1}, {2, 2}, step, 4), -1);
        EXPECT_EQ(k.ErrorMessage, "[GetLonLatDeg] passed stride <= 0");
        EXPECT_EQ(rad({1, 1}, {2, 2}, step, 4), -1);
        EXPECT_EQ(k.ErrorMessage, "[GetLonLatRad] passed stride <= 0");
    }
    r.GridType = kGridFeMesh;
    EXPECT_EQ(deg({3}, {1}, {0}, 4), -1);

    EXPECT_EQ(deg({1}, {2}, {1}, 4, 5), -1);
    EXPECT_EQ(k.ErrorMessage, "[GetLonLatDeg] 9");
    // A window beyond the cache.
    EXPECT_EQ(rad({3}, {5}, {1}, 4), -1);
    EXPECT_EQ(k.ErrorMessage, "[GetLonLatRad] 9");
}

TEST_F(WindowsTest, EachSlotUsesItsOwnCaches) {
    NcfRec& one = slot(1);
    one.GridType = kGridCells;
    one.lonArr = ramp(3, 1);
    one.latArr = ramp(3, 1);
    NcfRec& two = slot(2);
    two.GridType = kGridCells;
    two.lonArr = ramp(3, 100);
    two.latArr = ramp(3, 100);
    ASSERT_EQ(deg({1}, {3}, {1}, 3, 1), 1);
    EXPECT_EQ(items(lon), (std::vector<float>{1, 2, 3}));
    ASSERT_EQ(deg({1}, {3}, {1}, 3, 2), 1);
    EXPECT_EQ(items(lon), (std::vector<float>{100, 101, 102}));
}

TEST_F(WindowsTest, LongitudeOffset) {
    struct Case {
        float west, east;   // the dataset
        float wWest, wEast; // the window asked for
        float offset;
    };
    const Case cases[] = {
        {0, 360, -180, 180, 0}, // no shift and -360 are equally near: 0
        {180, 540, -180, 180, -360}, {-180, 180, 180, 540, 360},
        {-180, 180, 0, 360, 0}, // 360 apart both ways from 0 and +360: 0
        {10, 20, 10, 20, 0},
    };
    for (const Case& c : cases) {
        NcfRec& r = slot(1);
        r.westEnd = c.west;
        r.eastEnd = c.east;
        EXPECT_EQ(k.GLonOffSet(c.wWest, c.wEast, 1), c.offset) << c.west << " " << c.wWest;
    }
    EXPECT_EQ(k.GLonOffSet(180, 540, 0), 0.0f);
    EXPECT_EQ(k.GLonOffSet(180, 540, 2), 0.0f);
}

TEST_F(WindowsTest, DimensionPositions) {
    NcfRec& r = slot(1);
    r.nVars = 2;
    r.vari.ReDim(1, 2);
    r.vari(1).narray = 3; // (level, time, cell)
    r.vari(1).arrayDimId(1) = 4;
    r.vari(1).arrayDimId(2) = 0;
    r.vari(1).arrayDimId(3) = 2;
    r.vari(2).narray = 0;
    r.time_dId = 0;
    r.level_dId = 4;
    r.nTime = 3;

    EXPECT_EQ(k.DofTime(1, 1), 2);
    EXPECT_EQ(k.DofLevel(1, 1), 1);
    EXPECT_EQ(k.DofTime(2, 1), 0);
    EXPECT_EQ(k.indexOfDID(1, 2, 1), 3);
    EXPECT_EQ(k.indexOfDID(1, 0, 1), 2);
    EXPECT_EQ(k.indexOfDID(1, -1, 1), 0);
    EXPECT_EQ(k.indexOfDID(1, 7, 1), 0);
    // Unused entries hold 0, which is also a dimension id: only 1 To narray count.
    EXPECT_EQ(k.indexOfDID(2, 0, 1), 0);

    // Slots outside the range answer 0; no time steps, no position.
    EXPECT_EQ(k.DofTime(1, 2), 0);
    EXPECT_EQ(k.indexOfDID(1, 2, 0), 0);
    r.nTime = 0;
    EXPECT_EQ(k.DofTime(1, 1), 0);
    EXPECT_EQ(k.DofLevel(1, 1), 0);

    // The variable number is not checked here: the caller's handler gets 9.
    r.nTime = 3;
    EXPECT_EQ(errorOf([&] { k.DofTime(3, 1); }), err::Subscript);
    EXPECT_EQ(errorOf([&] { k.indexOfDID(0, 1, 1); }), err::Subscript);
}

} // namespace
