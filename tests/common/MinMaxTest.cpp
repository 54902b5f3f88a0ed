#include "common/MinMax.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {
const float kNaN = std::numeric_limits<float>::quiet_NaN();
const double kNaND = std::numeric_limits<double>::quiet_NaN();

// Same value, NaN equal to NaN, and -0 told from +0.
bool same(double x, double y) {
    if (std::isnan(x) || std::isnan(y)) return std::isnan(x) && std::isnan(y);
    return x == y && std::signbit(x) == std::signbit(y);
}
} // namespace

TEST(MinMax, Longs) {
    EXPECT_EQ(MaxL(3, -4), 3);
    EXPECT_EQ(MaxL(-4, 3), 3);
    EXPECT_EQ(MinL(3, -4), -4);
    EXPECT_EQ(MinL(-2147483647 - 1, 2147483647), -2147483647 - 1);
}

TEST(MinMax, SinglesWithTiesAndNaN) {
    struct Case {
        float a, b, max, min;
    };
    const Case cases[] = {
        {1.0f, 2.0f, 2.0f, 1.0f},
        {2.0f, 1.0f, 2.0f, 1.0f},
        {0.0f, -0.0f, -0.0f, -0.0f}, // a tie gives b
        {-0.0f, 0.0f, 0.0f, 0.0f},
        {kNaN, 1.0f, 1.0f, kNaN}, // max passes the NaN over, min keeps a
        {1.0f, kNaN, kNaN, 1.0f},
        {kNaN, kNaN, kNaN, kNaN},
        {-INFINITY, 5.0f, 5.0f, -INFINITY},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(same(MaxS(c.a, c.b), c.max)) << c.a << " " << c.b;
        EXPECT_TRUE(same(MinS(c.a, c.b), c.min)) << c.a << " " << c.b;
        EXPECT_TRUE(same(MinD(c.a, c.b), c.min)) << c.a << " " << c.b;
    }
    EXPECT_TRUE(same(MinD(kNaND, 1.0), kNaND));
    EXPECT_EQ(MinD(1.0, 1.0 + 1e-12), 1.0); // no rounding to Single
}

TEST(MinMax, ThreeAndFourFromTheLeft) {
    EXPECT_EQ(Max3S(1, 3, 2), 3.0f);
    EXPECT_EQ(Max4S(1, 3, 2, 4), 4.0f);
    EXPECT_EQ(Min3S(3, 1, 2), 1.0f);
    EXPECT_EQ(Min4S(3, 1, 2, 0), 0.0f);
    // A NaN first is dropped by the max and kept by the min.
    EXPECT_EQ(Max3S(kNaN, 1, 2), 2.0f);
    EXPECT_TRUE(std::isnan(Min3S(kNaN, 1, 2)));
    // A NaN last: MaxS gives it back, MinS keeps what it has.
    EXPECT_TRUE(std::isnan(Max4S(1, 2, 3, kNaN)));
    EXPECT_EQ(Min4S(1, 2, 3, kNaN), 1.0f);
}
