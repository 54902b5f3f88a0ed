// The animation of three picks on a regular grid: each step's cells with the pair's arrows over
// them, in both pick orders, the pick without a pair, Esc at a step, and the picture's state.
#include "viewer/vector/DrawGridScalarVectorTimed.h"

#include "tests/viewer/vector/VectorFixture.h"

#include "viewer/map/BusyGuard.h"

#include <algorithm>
#include <vector>

namespace {

class DrawGridTripleTimedTest : public VectorFixture {
protected:
    void SetUp() override {
        VectorFixture::SetUp();
        fake.steps = 4;
        fake.dimLen[kTime] = 4;
        fake.addVar(1, 3, "sst", {kTime, kLat, kLon}, 2);
        // sst = 10 t + i; the pair points east with the step's length.
        fake.value = [](Long, Long nv, const std::vector<Long>& ix) {
            const Long t = ix[0], i = ix[2];
            return nv == 3   ? static_cast<float>(10 * t + i)
                   : nv == 1 ? static_cast<float>(t) / 10
                             : 0.0f;
        };
        Data.water_U_vId = 1;
        Data.water_V_vId = 2;
        picks({3, 1, 2});
        defaultOrderBoxes().step = "1";
    }
    void picks(const std::vector<Long>& vars) {
        Data.Picks.ReDim(1, 3);
        for (Long k = 1; k <= 3; ++k)
            Data.Picks(k) = PickItem{vars[static_cast<size_t>(k - 1)], 3, 1};
        Data.PickCount = 3;
    }
    Long run() {
        EXPECT_EQ(CalculateGridScalar(Data.Picks(1).varNumber), 1);
        pic.clearRecords();
        fake.reads.clear();
        return DrawGridTripleTimed(pic);
    }
    std::vector<Long> varsRead() const {
        std::vector<Long> v;
        for (const auto& r : fake.reads)
            v.push_back(r.nv * 10 + r.start[0]);
        return v;
    }
};

TEST_F(DrawGridTripleTimedTest, CellsThenArrowsAtEveryStepInBothPickOrders) {
    for (const std::vector<Long>& order :
         {std::vector<Long>{3, 1, 2}, std::vector<Long>{1, 2, 3}}) {
        SCOPED_TRACE(order[0]);
        picks(order);
        oddStyles();
        EXPECT_EQ(run(), 4);
        // Scalar, u, v of steps 2, 3, 4.
        EXPECT_EQ(varsRead(), (std::vector<Long>{32, 12, 22, 33, 13, 23, 34, 14, 24}));
        const size_t last = lastCls();
        const auto& recs = pic.records();
        size_t lastCell = 0, firstArrow = recs.size();
        Long cells = 0;
        for (size_t k = last; k < recs.size(); ++k) {
            if (recs[k].kind == DrawKind::FilledBox && !isTimeBar(recs[k])) {
                lastCell = k;
                ++cells;
            }
            if (recs[k].kind == DrawKind::Line) firstArrow = std::min(firstArrow, k);
        }
        EXPECT_EQ(cells, 12);
        EXPECT_LT(lastCell, firstArrow) << "the arrows lie over the cells";
        const auto a = arrows(last);
        ASSERT_EQ(a.size(), 12u);
        expectArrow(a[5], 1, 11, 0.4f, 0, "step 4, column 2, row 2");
        // The range widened over the steps drawn; the pair's names in the one footer.
        EXPECT_EQ(Scale.ScaleMax, 44);
        EXPECT_EQ(Scale.ScaleMin, 21);
        EXPECT_EQ(textsFrom(last), (std::vector<std::string>{"2004-03-4", "u & v  Scale=  10"}));
        EXPECT_EQ(scales("sst"), "") << "no range is stored";
        expectOddStyles();
        EXPECT_EQ(ui.MousePointer(), kPointerDefault);
        EXPECT_FALSE(IsBusy());
    }
}

TEST_F(DrawGridTripleTimedTest, WithoutAPairNothingIsDrawn) {
    for (const std::vector<Long>& order :
         {std::vector<Long>{2, 3, 1}, std::vector<Long>{3, 2, 1}, std::vector<Long>{1, 3, 2}}) {
        SCOPED_TRACE(order[0]);
        picks(order);
        ui.boxes.clear();
        EXPECT_EQ(run(), -1);
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, "Picked 3 items, but cannot determine which are vector");
        EXPECT_TRUE(pic.records().empty());
        EXPECT_TRUE(fake.reads.empty());
        EXPECT_TRUE(ui.pointerChanges.empty());
    }
}

TEST_F(DrawGridTripleTimedTest, EscAtAStepAndAReadFailure) {
    ui.onDoEvents = [&] {
        if (defaultOrderBoxes().step == " 3") Anim.CancelFlag = -1;
    };
    EXPECT_EQ(run(), 3);
    EXPECT_EQ(varsRead(), (std::vector<Long>{32, 12, 22, 33, 13, 23}));
    EXPECT_EQ(Anim.CancelFlag, 0);
    EXPECT_EQ(LastMapCaption(), "Drawing Coastline: Canceled");
    EXPECT_EQ(texts().back(), "u & v  Scale=  10");

    ui.onDoEvents = {};
    fake.failRead = 2; // u of the first step, after its cells
    oddStyles();
    EXPECT_EQ(run(), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "[DrawGridTripleTimed] NetCDF Error");
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    expectOddStyles();
}

// A read that fails at a step, whichever of the three it is, comes before the step draws
// anything: the picture keeps only that step's time bar and date, and the box tells the walk's
// place and the window in the pair's layout.
TEST_F(DrawGridTripleTimedTest, AFailedReadLeavesOnlyTheTimeBarAndDate) {
    struct Case {
        Long failRead; // 1-based read: scalar, u, v of step 2, then of step 3
        const char* ij;
        Long step;
    };
    const std::vector<Case> cases = {
        {1, "i,j=  0  0", 2}, {2, "i,j=  0  0", 2}, {3, "i,j=  0  0", 2},
        {4, "i,j=  4  3", 3}, {6, "i,j=  4  3", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failRead);
        ui.boxes.clear();
        defaultOrderBoxes().step = "1";
        fake.failRead = c.failRead;
        EXPECT_EQ(run(), -1);
        EXPECT_EQ(fake.reads.size(), static_cast<size_t>(c.failRead)) << "no read after it";
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].title, "[DrawGridTripleTimed] NetCDF Error");
        EXPECT_EQ(ui.boxes[0].style, kCritical);
        EXPECT_EQ(ui.boxes[0].text, std::string("[do_get_vars_any] NetCDF Error: Index exceeds "
                                                "dimension bound\r\n\r\n") +
                                        c.ij + "\r\nstartp, count= " +
                                        Str(c.step) + "  1\r\nstartp, count=  1  3\r\n" +
                                        "startp, count=  1  4\r\n");
        // After the failing step's clear: the time bar and the date, no cell, no arrow.
        const auto& recs = pic.records();
        std::vector<std::string> after;
        for (size_t k = lastCls() + 1; k < recs.size(); ++k) {
            if (isTimeBar(recs[k])) continue;
            after.push_back(recs[k].kind == DrawKind::Print ? "text " + recs[k].text : "drawing");
        }
        EXPECT_EQ(after, (std::vector<std::string>{"text 2004-03-" + std::to_string(c.step)}));
        EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    }
}

} // namespace
