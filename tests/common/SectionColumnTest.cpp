// The read step both section readers share: the column window, where the horizontal indices
// go, the range of the valid values and the report of a failed read.
#include "common/SectionColumn.h"
#include "runtime/RuntimeError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::vector<Long> startsOf(const SectionWindow& w) {
    std::vector<Long> s;
    for (Long d = 1; d <= w.startp.UBound(); ++d)
        s.push_back(w.startp(d));
    return s;
}

} // namespace

TEST(SectionColumn, TheHorizontalIndicesGoWhereTheVariableKeepsThem) {
    struct Case {
        Long order;
        std::vector<Long> starts; // after placing (i, j) = (7, 3) in a window of four from 0
    };
    const Case cases[] = {
        {1, {0, 0, 7, 3}},  // (..., lon, lat)
        {2, {0, 0, 3, 7}},  // (..., lat, lon)
        {0, {0, 0, 7, 0}},  // a cell list: the cell before the last
        {-1, {0, 0, 0, 0}}, // not known: nothing moves
    };
    for (const Case& c : cases) {
        SectionWindow w = ColumnWindow(4, 0);
        PlaceColumn(w, HorizontalDimsOf(4, c.order), 7, 3);
        EXPECT_EQ(startsOf(w), c.starts) << "order " << c.order;
    }
    // A window too short for its order is out of range, not written beside it.
    SectionWindow one = ColumnWindow(1, 1);
    EXPECT_THROW(PlaceColumn(one, HorizontalDimsOf(1, 1), 7, 3), RuntimeError);
    EXPECT_THROW(ColumnWindow(0, 0), RuntimeError);
}

TEST(SectionColumn, OnlyValuesAboveTheMarkCountForTheRange) {
    float max = kEmptyRangeMax, min = kEmptyRangeMin;
    EXPECT_FALSE(TakeIntoRange(-1e35f, -1e35f, max, min));
    EXPECT_FALSE(TakeIntoRange(std::nanf(""), -1e35f, max, min));
    EXPECT_EQ(max, kEmptyRangeMax);
    EXPECT_EQ(min, kEmptyRangeMin);
    EXPECT_TRUE(TakeIntoRange(4.5f, -1e35f, max, min));
    EXPECT_TRUE(TakeIntoRange(-2.0f, -1e35f, max, min));
    EXPECT_FLOAT_EQ(max, 4.5f);
    EXPECT_FLOAT_EQ(min, -2.0f);
}

TEST(SectionColumn, AFailedReadReportsItsWindowInTheReadersOwnNumbers) {
    SectionWindow w = ColumnWindow(2, 0);
    w.startp(1) = -1;
    w.countp(2) = 12;
    EXPECT_EQ(FailedReadReport("bad", 5, 12, w, "\n", ReportNumbers::CStr),
              "bad\n\nnvar, tcount= 5 12\n"
              "start, count, stride = -1 1 1\n"
              "start, count, stride = 0 12 1\n");
    EXPECT_EQ(FailedReadReport("bad", 5, 12, w, "\r\n", ReportNumbers::Str),
              "bad\r\n\r\nnvar, tcount=  5  12\r\n"
              "start, count, stride = -1  1  1\r\n"
              "start, count, stride =  0  12  1\r\n");
}
