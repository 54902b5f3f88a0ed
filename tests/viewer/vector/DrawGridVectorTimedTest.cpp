// The animated regular-grid vector map: the steps after the step box, each read from its own
// slot, Esc at a step, the legend that only a run without steps keeps, and the picture's state
// on every exit.
#include "viewer/vector/DrawGridVectorTimed.h"

#include "tests/viewer/vector/VectorFixture.h"

#include "viewer/map/BusyGuard.h"

#include <vector>

namespace {

class DrawGridVectorTimedTest : public VectorFixture {
protected:
    void SetUp() override {
        VectorFixture::SetUp();
        fake.steps = 6;
        fake.dimLen[kTime] = 6;
        // u is the step, v the column: every step's arrows differ.
        field = [](Long, Long t, Long i, Long) {
            return std::pair<float, float>{static_cast<float>(t) / 10, static_cast<float>(i) / 10};
        };
        ASSERT_EQ(CalculateGridScalar(1), 1);
        pic.clearRecords();
    }
};

TEST_F(DrawGridVectorTimedTest, DrawsTheStepsAfterTheStepBox) {
    defaultOrderBoxes().step = "3";
    Anim.CancelFlag = -1; // an Esc released while nothing ran
    int busyInPump = 0;
    ui.onDoEvents = [&] { busyInPump += IsBusy() ? 1 : 0; };
    oddStyles();
    EXPECT_EQ(DrawGridVectorTimed(pic), 6);
    EXPECT_EQ(stepsRead(), (std::vector<Long>{4, 4, 5, 5, 6, 6}));
    EXPECT_EQ(fake.reads[0].nv, 1);
    EXPECT_EQ(fake.reads[1].nv, 2);
    EXPECT_EQ(defaultOrderBoxes().step, " 6");
    EXPECT_EQ(busyInPump, 3) << "other plots are refused while the animation runs";
    EXPECT_EQ(recordsOf(DrawKind::Cls).size(), 3u);
    // The last step: its date, its twelve arrows, then the footer over the title's place.
    const size_t last = lastCls();
    EXPECT_EQ(textsFrom(last), (std::vector<std::string>{"2004-03-6", "u & v  Scale=  10"}));
    const auto a = arrows(last);
    ASSERT_EQ(a.size(), 12u);
    expectArrow(a[0], 0, 10, 0.6f, 0.1f, "step 6, column 1");
    expectArrow(a[11], 3, 12, 0.6f, 0.4f, "step 6, column 4");
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    EXPECT_FALSE(IsBusy());
    expectOddStyles();
}

TEST_F(DrawGridVectorTimedTest, EscAtAStepStopsAfterThatStep) {
    defaultOrderBoxes().step = "1";
    ui.onDoEvents = [&] {
        if (defaultOrderBoxes().step == " 4") Anim.CancelFlag = -1;
    };
    oddStyles();
    EXPECT_EQ(DrawGridVectorTimed(pic), 4);
    EXPECT_EQ(stepsRead(), (std::vector<Long>{2, 2, 3, 3, 4, 4}));
    EXPECT_EQ(Anim.CancelFlag, 0);
    EXPECT_EQ(LastMapCaption(), "Drawing Coastline: Canceled");
    EXPECT_EQ(texts().back(), "u & v  Scale=  10");
    EXPECT_EQ(arrows(lastCls()).size(), 12u);
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    expectOddStyles();
}

TEST_F(DrawGridVectorTimedTest, WithoutStepsTheLegendStaysWithKindZerosMagnitude) {
    fake.steps = 1;
    PutString("vscale", "Scales", Opt.IniFile, "2.5");
    EXPECT_EQ(DrawGridVectorTimed(pic), 1);
    EXPECT_TRUE(fake.reads.empty());
    EXPECT_EQ(texts(), (std::vector<std::string>{"u & v", "10 m/s", "u & v  Scale=  2.5"}));
    const auto a = arrows();
    ASSERT_EQ(a.size(), 1u);
    EXPECT_NEAR(a[0].dx, 2.5 * 10, 1e-4) << "kind 0 takes 10 here";
    EXPECT_EQ(scales("vscale"), "2.5");
}

TEST_F(DrawGridVectorTimedTest, ReadFailureShowsWhereTheLastWalkStood) {
    defaultOrderBoxes().step = "1";
    fake.failRead = 4; // v of the second step
    oddStyles();
    EXPECT_EQ(DrawGridVectorTimed(pic), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "[DrawGridVectorTimed] NetCDF Error");
    EXPECT_EQ(ui.boxes[0].text,
              "[do_get_vars_any] NetCDF Error: Index exceeds dimension bound\r\n\r\n"
              "i,j=  4  3\r\nstartp, count=  3  1\r\nstartp, count=  1  3\r\n"
              "startp, count=  1  4\r\n");
    EXPECT_EQ(texts().back(), "2004-03-3") << "no footer";
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    EXPECT_FALSE(IsBusy());
    expectOddStyles();
}

TEST_F(DrawGridVectorTimedTest, WindowCheckAndExtent) {
    Win.countp(3) = 0;
    EXPECT_EQ(DrawGridVectorTimed(pic), -1);
    EXPECT_EQ(ui.boxes.at(0).text, "[DrawGridVectorTimed] Code error: Geogrphical miss-match");
    view(0, 0, 0, 0);
    EXPECT_EQ(DrawGridVectorTimed(pic), -1);
    EXPECT_TRUE(fake.reads.empty());
}

} // namespace
