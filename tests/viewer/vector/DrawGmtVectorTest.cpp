// The GMT-grid vector map: the value vectors laid out from the northern row, a vector longer
// than the grid, the cleared picture, the legend of kind 0, and a column without a place.
#include "viewer/vector/DrawGmtVector.h"

#include "tests/viewer/vector/VectorFixture.h"

#include <vector>

namespace {

constexpr Long kXy = 6;

class DrawGmtVectorTest : public VectorFixture {
protected:
    void SetUp() override {
        VectorFixture::SetUp();
        // 3 columns (100..102) by 2 rows (20..21); value k of u is k / 10, of v minus that.
        regularGrid(range(100, 1, 3), range(20, 1, 2));
        fake.grid = kGridGmt;
        fake.xysize = 6;
        fake.steps = 0;
        fake.timeDid = -1;
        fake.vars.clear();
        fake.addVar(1, 1, "u", {kXy}).unit = "m/s";
        fake.addVar(1, 2, "v", {kXy}).unit = "m/s";
        fake.dimLen.clear();
        fake.value = [](Long, Long nv, const std::vector<Long>& ix) {
            const float k = static_cast<float>(ix.back()) / 10;
            return nv == 1 ? k : -k;
        };
    }
    void draw() {
        ASSERT_EQ(CalculateGridScalar(1), 1);
        pic.clearRecords();
        DrawGMTVector(pic);
    }
};

TEST_F(DrawGmtVectorTest, TheVectorRunsFromTheNorthernRowWestToEast) {
    fake.vars[{1, 1}].unit = "cm/s";
    draw();
    // Cleared after the title: the pair's names come back only in the footer.
    ASSERT_EQ(recordsOf(DrawKind::Cls).size(), 1u);
    EXPECT_EQ(textsFrom(lastCls()),
              (std::vector<std::string>{"10 m/sec", "", "u & v  Scale=  10"}));
    const auto a = arrows();
    ASSERT_EQ(a.size(), 7u);
    EXPECT_NEAR(a[0].dx, 100, 1e-3) << "kind 0 takes 10 here";
    const float lon[] = {100, 101, 102, 100, 101, 102};
    const float lat[] = {21, 21, 21, 20, 20, 20};
    for (int k = 1; k <= 6; ++k)
        expectArrow(a[static_cast<size_t>(k)], lon[k - 1], lat[k - 1], 0.001f * k, -0.001f * k,
                    "value " + std::to_string(k));
    EXPECT_FLOAT_EQ(Win.uV(6), 0.006f);
}

TEST_F(DrawGmtVectorTest, AVectorLongerThanTheGridStopsAtItsLastRow) {
    fake.xysize = 8;
    field = {};
    draw();
    EXPECT_EQ(arrows().size(), 1u + 6);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(texts().back(), "u & v  Scale=  10");
}

TEST_F(DrawGmtVectorTest, MissingValuesKeepTheirPlaces) {
    fake.value = [](Long, Long nv, const std::vector<Long>& ix) {
        const Long k = ix.back();
        if (nv == 1 && k == 2) return NoVal;
        if (nv == 2 && k == 4) return NoVal;
        return 0.5f;
    };
    draw();
    const auto a = arrows();
    ASSERT_EQ(a.size(), 1u + 4);
    expectArrow(a[2], 102, 21, 0.5f, 0.5f, "value 3 in its own place");
    expectArrow(a[3], 101, 20, 0.5f, 0.5f, "value 5 in its own place");
}

TEST_F(DrawGmtVectorTest, AColumnWithoutAPlaceOnTheMapIsLeftOutQuietly) {
    // The walk has no view test: a column far beyond any longitude is reached, and skipped.
    UseProjection(1);
    regularGrid({0.01f, 0.02f, 70000}, {0.01f, 0.02f});
    fake.grid = kGridGmt;
    view(0, 0.03, 0, 0.03);
    draw();
    EXPECT_EQ(arrows().size(), 1u + 4);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(texts().back(), "u & v  Scale=  10");
}

TEST_F(DrawGmtVectorTest, ReadFailureShowsTheWalksCounters) {
    fake.failRead = 2;
    draw();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "[DrawGridVector] NetCDF Error");
    EXPECT_EQ(ui.boxes[0].text,
              "[do_get_vars_any] NetCDF Error: Index exceeds dimension bound\r\n\r\n"
              "i,j=  0  0\r\nstartp, count=  1  6\r\n");
    EXPECT_EQ(arrows().size(), 1u);
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
}

} // namespace
