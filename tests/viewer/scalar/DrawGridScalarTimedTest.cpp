// The animated regular-grid scalar map: the time loop from the step box, its range, and an event
// pump that presses Esc.
#include "viewer/scalar/DrawGridScalarTimed.h"

#include "tests/viewer/scalar/DrawGridScalarFixture.h"

#include "viewer/map/BusyGuard.h"

#include <vector>

namespace {

class DrawGridScalarTimedTest : public DrawGridScalarFixture {
protected:
    void SetUp() override {
        DrawGridScalarFixture::SetUp();
        fake.steps = 10;
        fake.dimLen[kTime] = 10;
        // The values grow with the step, so the range widens as the animation goes.
        fake.value = [](Long, Long, const std::vector<Long>& ix) {
            return static_cast<float>(ix[0] * 100 + ix[1] * 10 + ix[2]);
        };
        ASSERT_EQ(CalculateGridScalar(1), 1);
        pic.clearRecords();
    }
};

// A view wider than a period shows copies of the grid on both sides, all of whose columns the
// grid's window holds: each step is one read, and each copy shows that step's values.
TEST_F(DrawGridScalarTimedTest, CopiesTheGridsWindowHoldsCostNoReadOfTheirOwn) {
    regularGrid(range(0, 30, 12), range(10, 1, 3));
    fake.dimLen = {{kTime, 10}, {kLat, 3}, {kLon, 12}};
    PutString("sst", "Scales", Opt.IniFile, "1000  1150  0");
    view(-500, 800, 10, 12);
    ASSERT_EQ(CalculateGridScalar(1), 1);
    ASSERT_EQ(Win.seamWindows.size(), 4u);
    defaultOrderBoxes().step = "7";
    fake.reads.clear();
    EXPECT_EQ(DrawGridScalarTimed(pic), 10);
    EXPECT_EQ(stepsRead(), (std::vector<Long>{8, 9, 10})) << "one read a step";
    for (const FakeGrid::ReadCall& r : fake.reads)
        EXPECT_EQ(r.cnt, (std::vector<Long>{1, 3, 12}));
    // The last step on the map, on the grid and on every copy.
    for (float lon = -480; lon <= 780; lon += 30) {
        const Long i = columnAt(lon, 30);
        EXPECT_EQ(pixelAtPoint(lon, 11), ValueToColor(static_cast<float>(1000 + 20 + i))) << lon;
    }
}

TEST_F(DrawGridScalarTimedTest, DrawsTheStepsAfterTheStepBox) {
    defaultOrderBoxes().step = "5";
    int busyInPump = 0;
    ui.onDoEvents = [&] { busyInPump += IsBusy() ? 1 : 0; };
    EXPECT_EQ(DrawGridScalarTimed(pic), 10);
    EXPECT_EQ(stepsRead(), (std::vector<Long>{6, 7, 8, 9, 10}));
    EXPECT_EQ(defaultOrderBoxes().step, " 10");
    EXPECT_EQ(ui.doEventsCount, 5);
    EXPECT_EQ(busyInPump, 5) << "other plots are refused while the animation runs";
    EXPECT_EQ(recordsOf(DrawKind::Cls).size(), 5u);
    // The footer after the loop, over the last step, with the range of every step drawn.
    const auto t = texts();
    ASSERT_GE(t.size(), 2u);
    EXPECT_EQ(t[t.size() - 2], "sst /Scale/  1034 to  611");
    EXPECT_EQ(t.back(), "sst /Range/  1034 to  611");
    EXPECT_EQ(scales("sst"), "423   1034   611");
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    EXPECT_FALSE(IsBusy());
}

TEST_F(DrawGridScalarTimedTest, StartStepFromTheBox) {
    struct Case {
        const char* box;
        Long first;
    };
    for (const Case c :
         {Case{"", 2}, Case{"abc", 2}, Case{"0", 2}, Case{"10", 2}, Case{"12", 2}, Case{"-4", 2},
          Case{"8.5", 9}, Case{"7.5", 9}, Case{" 3", 4}, Case{"1e99", 2}}) {
        fake.reads.clear();
        defaultOrderBoxes().step = c.box;
        ASSERT_EQ(CalculateGridScalar(1), 1);
        EXPECT_EQ(DrawGridScalarTimed(pic), 10) << c.box;
        ASSERT_FALSE(fake.reads.empty()) << c.box;
        EXPECT_EQ(fake.reads.front().start[0], c.first) << c.box;
    }
}

TEST_F(DrawGridScalarTimedTest, OneStepDatasetDrawsNothing) {
    fake.steps = 1;
    EXPECT_EQ(DrawGridScalarTimed(pic), 1);
    EXPECT_TRUE(fake.reads.empty());
    EXPECT_EQ(texts(), (std::vector<std::string>{"sst", "sst /Scale/ -1E+10 to  1E+10",
                                                 "sst /Range/ -1E+10 to  1E+10"}));
    EXPECT_EQ(scales("sst"), "") << "a range that saw no value is not stored";
}

TEST_F(DrawGridScalarTimedTest, EscAtAStepStopsAfterThatStep) {
    defaultOrderBoxes().step = "2";
    ui.onDoEvents = [&] {
        if (defaultOrderBoxes().step == " 5") Anim.CancelFlag = -1;
    };
    EXPECT_EQ(DrawGridScalarTimed(pic), 5);
    EXPECT_EQ(stepsRead(), (std::vector<Long>{3, 4, 5}));
    EXPECT_EQ(Anim.CancelFlag, 0);
    EXPECT_EQ(LastMapCaption(), "Drawing Coastline: Canceled");
    EXPECT_EQ(texts().back(), "sst /Range/  534 to  311");
    EXPECT_EQ(scales("sst"), "223   534   311");
}

TEST_F(DrawGridScalarTimedTest, AnEscReleasedWhileIdleDoesNotStopTheNextAnimation) {
    Anim.CancelFlag = -1;
    EXPECT_EQ(DrawGridScalarTimed(pic), 10);
    EXPECT_EQ(fake.reads.size(), 9u);
    EXPECT_EQ(LastMapCaption(), "");
}

TEST_F(DrawGridScalarTimedTest, OtherKeysDoNotStopIt) {
    ui.onDoEvents = [&] { Anim.CancelFlag = 27; };
    EXPECT_EQ(DrawGridScalarTimed(pic), 10);
}

TEST_F(DrawGridScalarTimedTest, ReadFailureEndsWithMinusOne) {
    fake.failRead = 3;
    EXPECT_EQ(DrawGridScalarTimed(pic), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "[DrawGridScalar] NetCDF Error");
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    EXPECT_EQ(scales("sst"), "");
    EXPECT_EQ(texts().back(), "2004-03-4") << "the failing step's date, no footer";
}

TEST_F(DrawGridScalarTimedTest, WindowCheckAndExtent) {
    Win.countp(3) = 0;
    EXPECT_EQ(DrawGridScalarTimed(pic), -1);
    EXPECT_EQ(ui.boxes.at(0).text, "[DrawGridScalar] Code error: Geogrphical miss-match");
    view(0, 0, 0, 0);
    EXPECT_EQ(DrawGridScalarTimed(pic), -1);
}

} // namespace
