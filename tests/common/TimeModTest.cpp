#include "common/TimeMod.h"
#include "platform/Kovra.h"
#include "runtime/RuntimeError.h"

#include <gtest/gtest.h>

TEST(TimeMod, Pad2LimitsTheCallersNumber) {
    const std::vector<std::tuple<Integer, std::string, Integer>> cases = {
        {-5, "00", 0}, {0, "00", 0}, {7, "07", 7}, {10, "10", 10}, {99, "99", 99}, {123, "99", 99},
    };
    for (const auto& [in, text, out] : cases) {
        Integer n = in;
        EXPECT_EQ(Pad2(n), text) << in;
        EXPECT_EQ(n, out) << in;
    }
}

TEST(TimeMod, DateTextToNumGivesMinutesOfTheDayNumber) {
    Integer y = 2000, mo = 1, d = 1, h = 0, mi = 0;
    EXPECT_EQ(DateTextToNum(y, mo, d, h, mi), Date2Num("01/01/ 2000") * 1440);
    EXPECT_EQ(DateTextToNum(y, mo, d, h, mi), 36526 * 1440); // days since 1899-12-30

    y = 2005, mo = 1, d = 15, h = 6, mi = 30;
    EXPECT_EQ(DateTextToNum(y, mo, d, h, mi), Date2Num("01/15/ 2005") * 1440 + 390);

    // Consecutive days are 1440 minutes apart, also over a leap day.
    Integer y1 = 2004, m1 = 2, d1 = 29, y2 = 2004, m2 = 3, d2 = 1, z1 = 0, z2 = 0, z3 = 0, z4 = 0;
    EXPECT_EQ(DateTextToNum(y2, m2, d2, z1, z2) - DateTextToNum(y1, m1, d1, z3, z4), 1440);
}

TEST(TimeMod, DateTextToNumLimitsMonthAndDayInTheCallersVariables) {
    Integer y = 2000, mo = 123, d = 1, h = 0, mi = 0;
    const Long minutes = DateTextToNum(y, mo, d, h, mi);
    EXPECT_EQ(mo, 99);
    EXPECT_EQ(minutes, Date2Num("99/01/ 2000") * 1440);

    y = 2000, mo = 1, d = -3;
    DateTextToNum(y, mo, d, h, mi);
    EXPECT_EQ(d, 0);
}

TEST(TimeMod, DateTextToNumOverflowRaisesError6) {
    for (Integer year : {Integer{9999}, Integer{-9999}}) {
        Integer y = year, mo = 1, d = 1, h = 0, mi = 0;
        try {
            DateTextToNum(y, mo, d, h, mi);
            ADD_FAILURE() << "no overflow for year " << year;
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), 6);
        }
    }
}
