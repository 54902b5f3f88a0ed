// The stages that every renderer shares, each over a table of its cases, apart from any
// renderer: the start step of an animation, the automatic colour range over values with missing
// ones among them, and the time loop ended by an Esc, by its body, or by the last step.
#include "tests/viewer/StubKelvad.h"
#include "tests/viewer/ViewerFixture.h"

#include "runtime/Text.h"
#include "runtime/VArray.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"

#include <limits>
#include <vector>

namespace {

TEST(RenderStagesTable, StartStepFromTheStepBox) {
    struct Case {
        const char* box;
        Long steps;
        Long start;
    };
    const Case cases[] = {
        {"", 5, 1},      // an empty box starts after the first step
        {"x", 5, 1},     // no number
        {"0", 5, 1},     // below the first step
        {"-3", 5, 1},    //
        {" 2", 5, 2},    // as the loop writes it (Str)
        {"2.5", 5, 2},   // halves to even
        {"3.5", 5, 4},   //
        {"4", 5, 4},     // the step before the last
        {"5", 5, 1},     // at the last step: starts again
        {"9", 5, 1},     // beyond it
        {"1e30", 5, 1},  // beyond any step number
        {"1e400", 5, 1}, // beyond any number
        {"2", 1, 1},     // a single-step dataset
        {"", 0, 1},      // no steps at all
    };
    for (const Case& c : cases)
        EXPECT_EQ(StartStep(c.box, c.steps), c.start) << '"' << c.box << "\" of " << c.steps;
}

class RenderStagesFixture : public ViewerFixture {
protected:
    struct Steps : StubKelvad {
        Long n = 5;
        Long nTime(Long) override { return n; }
    } dataset;
    Picture pic{200, 100};

    void SetUp() override {
        ViewerFixture::SetUp();
        Data.clsNC = &dataset;
        Data.nNcMain = 1;
    }

    static VArray<float> valuesOf(const std::vector<float>& v) {
        VArray<float> out(1, static_cast<Long>(v.size()));
        for (size_t k = 0; k < v.size(); ++k)
            out(static_cast<Long>(k) + 1) = v[k];
        return out;
    }
};

TEST_F(RenderStagesFixture, AutoRangeSkipsMissingValuesAndKeepsAStoredRange) {
    constexpr float M = NoVal;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        std::vector<float> values;
        Long count;
        bool stored;
        bool ordered;
        float a, b;   // the context's ends afterwards
        bool saw;     // a value was taken
        float max, min; // ScaleMax and ScaleMin afterwards
    };
    const Case cases[] = {
        {"missing among values", {M, 3, M, -2, 7}, 5, false, false, 7, -2, true, 7, -2},
        {"only the first count", {4, 1, 99}, 2, false, false, 4, 1, true, 4, 1},
        // The maximum starts at -1e10: a value below it widens the minimum alone.
        {"a value just above the mark", {-1e34f, M}, 2, false, false, -1e10f, -1e34f, true,
         -1e10f, -1e34f},
        {"not a number is skipped", {nan, 2}, 2, false, false, 2, 2, true, 2, 2},
        // Nothing taken: the start values stay, and so does the range they give.
        {"all missing", {M, M}, 2, false, false, -1e10f, 1e10f, false, -1e10f, 1e10f},
        {"all missing, ordered", {M, M}, 2, false, true, -1e10f, 1e10f, false, 1e10f, -1e10f},
        {"no values", {1}, 0, false, false, -1e10f, 1e10f, false, -1e10f, 1e10f},
        // A stored range is left alone, and so is the colour scale.
        {"stored", {M, 3}, 2, true, false, -1e10f, 1e10f, false, 0.5f, 0.25f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RenderContext rc(pic, "[Table]");
        rc.stored = c.stored;
        Scale.ScaleMax = 0.5f;
        Scale.ScaleMin = 0.25f;
        AutoRange(rc, valuesOf(c.values), c.count, c.ordered);
        EXPECT_EQ(rc.a, c.a);
        EXPECT_EQ(rc.b, c.b);
        EXPECT_EQ(rc.sawValue, c.saw);
        EXPECT_EQ(Scale.ScaleMax, c.max);
        EXPECT_EQ(Scale.ScaleMin, c.min);
    }
}

TEST_F(RenderStagesFixture, AutoRangeWidensOverSteps) {
    // The loop ranges each step into the same context: a step of missing values changes
    // nothing, and a window past the values raises before anything changes.
    RenderContext rc(pic, "[Table]");
    AutoRange(rc, valuesOf({1, NoVal, 5}), 3);
    AutoRange(rc, valuesOf({NoVal, NoVal}), 2);
    AutoRange(rc, valuesOf({-4, 2}), 2);
    EXPECT_EQ(rc.a, 5);
    EXPECT_EQ(rc.b, -4);
    EXPECT_TRUE(rc.sawValue);
    EXPECT_ANY_THROW(AutoRange(rc, valuesOf({100, -100}), 3));
    EXPECT_EQ(rc.a, 5);
    EXPECT_EQ(rc.b, -4);
}

TEST_F(RenderStagesFixture, TimeLoopEndsAtTheLastStepAnEscOrAFailedStep) {
    struct Case {
        const char* what;
        const char* box;  // the step box when the loop starts
        Long stride;
        bool escLeft;     // an Esc released before the loop (ignored)
        Long escAt;       // the step after whose drawing Esc is pressed (0: none)
        Long failAt;      // the step whose body fails (0: none)
        Long result;
        std::vector<Long> drawn;
        bool canceled;    // the caption tells of the cancel
    };
    const Case cases[] = {
        {"to the last step", "1", 1, false, 0, 0, 5, {2, 3, 4, 5}, false},
        {"from the box", "3", 1, false, 0, 0, 5, {4, 5}, false},
        {"box at the last step starts again", "5", 1, false, 0, 0, 5, {2, 3, 4, 5}, false},
        {"stride two", "1", 2, false, 0, 0, 5, {3, 5}, false},
        {"stride past the end stops short", "2", 2, false, 0, 0, 4, {4}, false},
        {"stride below one counts as one", "3", 0, false, 0, 0, 5, {4, 5}, false},
        {"esc at a step", "1", 1, false, 3, 0, 3, {2, 3}, true},
        {"esc at the last step", "1", 1, false, 5, 0, 5, {2, 3, 4, 5}, true},
        {"an esc left from before", "1", 1, true, 0, 0, 5, {2, 3, 4, 5}, false},
        {"failed step", "1", 1, false, 0, 4, -1, {2, 3, 4}, false},
        {"nothing after the start", "4", 3, false, 0, 0, 4, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        defaultOrderBoxes().step = c.box;
        SetMapCaption("");
        Anim.CancelFlag = c.escLeft ? -1 : 0;
        std::vector<Long> drawn;
        ui.onDoEvents = [&] {
            if (c.escAt != 0 && !drawn.empty() && drawn.back() == c.escAt) Anim.CancelFlag = -1;
        };
        RenderContext rc(pic, "[Table]");
        TimeLoopOptions options;
        options.clearBarFirst = options.timeBar = options.dateLabel = false;
        options.pinStep = options.coastline = false;
        options.timeStride = c.stride;
        const Long result = TimeLoop(rc, [&](RenderContext&, Long step) {
            drawn.push_back(step);
            return step != c.failAt;
        }, options);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(drawn, c.drawn);
        EXPECT_EQ(Anim.CancelFlag, 0);
        EXPECT_EQ(LastMapCaption(), c.canceled ? "Drawing Coastline: Canceled" : "");
        if (!drawn.empty()) {
            EXPECT_EQ(defaultOrderBoxes().step, Str(drawn.back()));
        }
    }
}

} // namespace
