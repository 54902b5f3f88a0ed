#include "tests/viewer/section/VsectFixture.h"

#include "common/SectionGeometry.h"
#include "gui/Picture.h"
#include "runtime/Color.h"
#include "viewer/map/ColorSchemes.h"
#include "viewer/section/ModVsect.h"
#include "viewer/section/VsectSection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr float kNoVal = -1e35f;

class VsectSectionTest : public VsectFixture {
protected:
    // 6000 by 3300 twips: the section draws in the top 2150.
    Picture pic{400, 220};
    Picture bar{132, 40};
    std::vector<std::string> barTexts;

    void SetUp() override {
        VsectFixture::SetUp();
        for (Picture* p : {&pic, &bar}) {
            p->setScaleMode(kScaleTwips);
            p->setRecording(true);
        }
    }

    void draw() {
        DrawVsectSection(pic, bar, [this](const std::string& s) { barTexts.push_back(s); });
    }

    // The transform the section is drawn with, for a width of the given twips.
    static PlotTransform transform(Long width, Long points, double bottom) {
        PlotTransform t;
        EXPECT_EQ(
            xycordCartesian(t, PlotWindow{0, static_cast<double>(points), -bottom, 0}, width, 2150),
            0);
        return t;
    }

    static Long thirds(float f) {
        Long c = 0;
        SchemeColor(30, Vsect.col_opt, f, c);
        return c;
    }
};

} // namespace

TEST(VsectScaling, TheWindowFillsThePictureInsideItsMargins) {
    InstalledScriptedUi ui;
    PlotTransform t;
    ASSERT_EQ(xycordCartesian(t, PlotWindow{0, 10, -100, 0}, 1000, 500), 0);
    EXPECT_DOUBLE_EQ(t.OffX, 20);
    EXPECT_DOUBLE_EQ(t.OffY, 25);
    EXPECT_DOUBLE_EQ(t.ScaleX, 96);
    EXPECT_DOUBLE_EQ(t.ScaleY, 4.5);
    struct Point {
        float x, y, X, Y;
    };
    for (const Point& p :
         {Point{5, -50, 500, 250}, Point{0, 0, 20, 25}, Point{10, -100, 980, 475}}) {
        float X = 0, Y = 0;
        xy_scale(t, p.x, p.y, X, Y);
        EXPECT_FLOAT_EQ(X, p.X) << p.x;
        EXPECT_FLOAT_EQ(Y, p.Y) << p.y;
    }
    // A picture without width still scales: every point lies at X 0.
    PlotTransform narrow;
    ASSERT_EQ(xycordCartesian(narrow, PlotWindow{0, 10, -100, 0}, 0, 500), 0);
    float X = 1, Y = 0;
    xy_scale(narrow, 7, -3, X, Y);
    EXPECT_FLOAT_EQ(X, 0);

    // A window without width is refused before any division, the transform kept (the texts
    // of the refusals are the control's, tested with it).
    PlotTransform kept = t;
    EXPECT_EQ(xycordCartesian(kept, PlotWindow{3, 3, -5, 0}, 100, 100), -1);
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_DOUBLE_EQ(kept.ScaleX, t.ScaleX);
    EXPECT_DOUBLE_EQ(kept.OffY, t.OffY);
}

TEST_F(VsectSectionTest, CellsAreColouredByTheirShareOfTheLargestValue) {
    // Three points, levels at 0, 10, 50 and 100 m; level k colours the band below it, so the
    // last level has none. Point 2 has no value at level 2.
    const float values[3][4] = {{0, 5, 10, 99}, {12, kNoVal, 40, 99}, {20, 30, 20, 99}};
    filledSection(
        3, {0, 10, 50, 100}, [&](Long p, Long k) { return values[p - 1][k - 1]; }, 40, 0, 0);
    Vsect.col_opt = 0;
    Scale.col_opt = 2;
    Scale.ColorCode = 10;
    draw();

    // The largest value, 99, lies in the bottom level, which has no band of its own.
    const std::vector<DrawRecord> boxes = recordsOf(pic, DrawKind::FilledBox);
    ASSERT_EQ(boxes.size(), 8u);
    const PlotTransform t = transform(6000, 3, 100);
    std::size_t n = 0;
    const double depths[4] = {0, 10, 50, 100};
    for (Long k = 1; k <= 3; ++k)
        for (Long p = 1; p <= 3; ++p) {
            if (p == 2 && k == 2) continue;
            SCOPED_TRACE(testing::Message() << "p " << p << " k " << k);
            const DrawRecord& b = boxes[n++];
            float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
            xy_scale(t, static_cast<float>(p - 1), static_cast<float>(-depths[k - 1]), X1, Y1);
            xy_scale(t, static_cast<float>(p), static_cast<float>(-depths[k]), X2, Y2);
            EXPECT_FLOAT_EQ(static_cast<float>(b.at[0]), X1);
            EXPECT_FLOAT_EQ(static_cast<float>(b.at[1]), Y1);
            EXPECT_FLOAT_EQ(static_cast<float>(b.at[2]), X2);
            EXPECT_FLOAT_EQ(static_cast<float>(b.at[3]), Y2);
            EXPECT_EQ(b.color, thirds(std::min(values[p - 1][k - 1] / 99, 1.0f)));
        }
    EXPECT_EQ(boxes[0].color, 0xFFFFFF); // 0: the bottom of the ramp

    // Reversed, the ends swap; the map's colour scheme stayed as it was throughout.
    pic.clearRecords();
    Vsect.ColorReverse = 1;
    draw();
    const std::vector<DrawRecord> reversed = recordsOf(pic, DrawKind::FilledBox);
    ASSERT_EQ(reversed.size(), 8u);
    EXPECT_EQ(reversed[0].color, thirds(1));
    EXPECT_EQ(reversed[6].color, thirds(1 - 40.0f / 99)); // point 2, level 3
    EXPECT_EQ(Scale.col_opt, 2);
    EXPECT_EQ(Scale.ColorCode, 10);
}

TEST_F(VsectSectionTest, AxesTickTheDepthAndTheDistanceInNiceSteps) {
    filledSection(
        2, {0, 1000, 5000}, [](Long, Long k) { return static_cast<float>(k); }, 3, 0, 0);
    Vsect.VsectLengthKm = 120;
    Vsect.ifDrawHorizontalAxis = 1;
    Vsect.ifDrawVerticalAxis = 1;
    draw();
    const std::vector<std::string> got = texts(pic);
    const std::vector<std::string> want = {"0 km", "20",   "40",   "60",   "80",   "100",
                                           "120",  "0 m",  "500",  "1000", "1500", "2000",
                                           "2500", "3000", "3500", "4000", "4500", "5000"};
    EXPECT_EQ(got, want);
    EXPECT_FALSE(pic.FontBold());

    // The distance axis leaves room at the right; the depth ticks run down the section's right
    // edge from its top to its bottom.
    const PlotTransform t = transform(CLng(6000 - pic.TextWidth("-2000")), 2, 5000);
    float topX = 0, topY = 0, bottomX = 0, bottomY = 0;
    xy_scale(t, 2, 0, topX, topY);
    xy_scale(t, 2, -5000, bottomX, bottomY);
    std::vector<DrawRecord> depthTicks;
    for (const DrawRecord& r : recordsOf(pic, DrawKind::Line))
        if (r.at[0] == topX && r.at[1] == r.at[3]) depthTicks.push_back(r);
    ASSERT_EQ(depthTicks.size(), 11u);
    EXPECT_FLOAT_EQ(static_cast<float>(depthTicks.front().at[1]), topY);
    EXPECT_NEAR(depthTicks.back().at[1], bottomY, 1);
}

TEST_F(VsectSectionTest, AZeroDivisorLeavesOutWhatItWouldScale) {
    struct Case {
        std::string what;
        std::vector<double> depths;
        float value;
        double lengthKm;
        bool cells, km, m, refused;
    };
    const Case cases[] = {
        {"all values 0", {0, 10, 20}, 0, 50, false, true, true, false},
        {"no section length", {0, 10, 20}, 5, 0, true, false, true, false},
        {"no depth", {0, 0}, 5, 50, false, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Vsect.Reset();
        pic.clearRecords();
        bar.clearRecords();
        ui.boxes.clear();
        filledSection(
            2, c.depths, [&](Long, Long) { return c.value; }, 10, 0, 0);
        Vsect.VsectLengthKm = c.lengthKm;
        Vsect.ifDrawHorizontalAxis = 1;
        Vsect.ifDrawVerticalAxis = 1;
        Vsect.ifDrawContour = 1;
        draw();
        EXPECT_EQ(!recordsOf(pic, DrawKind::FilledBox).empty(), c.cells);
        const std::vector<std::string> got = texts(pic);
        EXPECT_EQ(std::count(got.begin(), got.end(), "0 km"), c.km ? 1 : 0);
        EXPECT_EQ(std::count(got.begin(), got.end(), "0 m"), c.m ? 1 : 0);
        EXPECT_EQ(ui.boxes.size(), c.refused ? 1u : 0u);
        // The colour bar is drawn whatever the section.
        EXPECT_EQ(recordsOf(bar, DrawKind::FilledBox).size(), 31u);
    }
}

TEST_F(VsectSectionTest, TheColourBarLabelsEveryThirdStep) {
    filledSection(
        1, {0, 10}, [](Long, Long) { return 1.0f; }, 31, 0, 0);
    draw();
    EXPECT_EQ(barTexts, (std::vector<std::string>{" 31"}));
    const std::vector<std::string> labels = {"1.",  "4.",  "7.",  "10.", "13.", "16.",
                                             "19.", "22.", "25.", "28.", "31.>"};
    EXPECT_EQ(texts(bar), labels);
    const std::vector<DrawRecord> steps = recordsOf(bar, DrawKind::FilledBox);
    ASSERT_EQ(steps.size(), 31u);
    // 33 steps' room across the bar, the steps from the second on, in the lower half.
    const double cell = 132.0 * 15 / 33;
    EXPECT_NEAR(steps[0].at[0], cell, 1e-3);
    EXPECT_NEAR(steps[30].at[2], 32 * cell, 1e-3);
    EXPECT_NEAR(steps[0].at[1], 300, 1e-3);
    EXPECT_NEAR(steps[0].at[3], 600, 1e-3);
    EXPECT_EQ(steps[0].color, thirds(1.0f / 31));
    EXPECT_EQ(steps[30].color, thirds(1));

    // Reversed, the colours run the other way and the labels still rise.
    bar.clearRecords();
    Vsect.ColorReverse = 1;
    draw();
    EXPECT_EQ(texts(bar), labels);
    EXPECT_EQ(recordsOf(bar, DrawKind::FilledBox)[0].color, thirds(1 - 1.0f / 31));

    // Small values show a decimal; a scheme code that is not a multiple of 10 hatches the top.
    bar.clearRecords();
    Vsect.ColorReverse = 0;
    Vsect.VsectVars(1).high = 3.1f;
    Vsect.ColorCode = 31;
    draw();
    const std::vector<std::string> small = texts(bar);
    ASSERT_GE(small.size(), 2u);
    EXPECT_EQ(small[0], "0.1");
    EXPECT_EQ(small[1], "0.4");
    Long hatched = 0, crossed = 0;
    for (const DrawRecord& r : recordsOf(bar, DrawKind::Box))
        (r.fillStyle == kFillUpwardDiagonal ? hatched : crossed) += 1;
    EXPECT_EQ(recordsOf(bar, DrawKind::FilledBox).size(), 24u);
    EXPECT_EQ(hatched, 7); // steps 25 to 31
    EXPECT_EQ(crossed, 4); // steps 28 to 31

    // No bar for a top value of 0, and the box keeps its text.
    bar.clearRecords();
    barTexts.clear();
    Vsect.VsectVars(1).high = 0;
    draw();
    EXPECT_TRUE(bar.records().empty());
    EXPECT_TRUE(barTexts.empty());
}

TEST_F(VsectSectionTest, ContoursFollowTheOptions) {
    // Columns valued 0, 10, 20, 30: contours at 15 and 30 run down between them.
    filledSection(
        4, {0, 10, 20, 30}, [](Long p, Long) { return 10.0f * static_cast<float>(p - 1); }, 30, 0,
        15);
    Vsect.ConLinCol = 0x0000FF;
    auto contourLines = [&] {
        Long n = 0, widths = 0;
        for (const DrawRecord& r : recordsOf(pic, DrawKind::Line))
            if (r.color == 0x0000FF) {
                ++n;
                widths +=
                    r.drawWidth == Vsect.ConLinThk || (Vsect.ConLinThk < 1 && r.drawWidth == 1);
            }
        EXPECT_EQ(widths, n);
        return n;
    };
    struct Case {
        Long on, thickness;
        bool lines;
    };
    for (const Case& c : {Case{0, 3, false}, Case{1, 3, true}, Case{1, 0, true}}) {
        SCOPED_TRACE(testing::Message() << c.on << " " << c.thickness);
        pic.clearRecords();
        Vsect.ifDrawContour = c.on;
        Vsect.ConLinThk = c.thickness;
        draw();
        EXPECT_EQ(contourLines() > 0, c.lines);
        EXPECT_EQ(pic.DrawWidth(), 1);
        EXPECT_FALSE(pic.FontBold());
    }
    // The label of the long line at level 15.
    const std::vector<std::string> got = texts(pic);
    EXPECT_NE(std::find(got.begin(), got.end(), " 15"), got.end());
}
