#include "tests/viewer/section/VsectFixture.h"

#include "gui/Picture.h"
#include "runtime/Color.h"
#include "viewer/section/ModVsect.h"
#include "viewer/section/VsectProfiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr float kNoVal = -1e35f;

class VsectProfilesTest : public VsectFixture {
protected:
    // 9000 by 3750 twips.
    Picture pic{600, 250};

    void SetUp() override {
        VsectFixture::SetUp();
        pic.setScaleMode(kScaleTwips);
        pic.setRecording(true);
        pic.setForeColor(0x123456);
    }

    // Levels at 0, 500, 1000 and 1250 m; the value at point p, level k is p * k.
    static void threePoints(float high, float low, float step) {
        filledSection(
            3, {0, 500, 1000, 1250}, [](Long p, Long k) { return static_cast<float>(p * k); }, high,
            low, step);
    }

    // The lines of the curves: drawn two pixels wide.
    std::vector<DrawRecord> curves() const {
        std::vector<DrawRecord> out;
        for (const DrawRecord& r : recordsOf(pic, DrawKind::Line))
            if (r.drawWidth == 2) out.push_back(r);
        return out;
    }

    static long countOf(const std::vector<std::string>& v, const std::string& s) {
        return std::count(v.begin(), v.end(), s);
    }
};

} // namespace

TEST_F(VsectProfilesTest, OnePanelPerPathVertexSideBySide) {
    threePoints(20, 0, 5);
    profilePanels(3);
    DrawVsectProfiles(pic);

    const std::vector<DrawRecord> frames = recordsOf(pic, DrawKind::Box);
    ASSERT_EQ(frames.size(), 3u);
    const double width = frames[0].at[2] - frames[0].at[0];
    for (std::size_t n = 0; n < 3; ++n) {
        SCOPED_TRACE(n);
        EXPECT_NEAR(frames[n].at[2] - frames[n].at[0], width, 1e-3);
        EXPECT_EQ(frames[n].at[1], frames[0].at[1]);
        EXPECT_EQ(frames[n].color, QBColor(0));
        if (n > 0) {
            EXPECT_GT(frames[n].at[0], frames[n - 1].at[2]);
        }
    }
    // The panels fill the width but the wide margin at the right, which takes the depth labels.
    pic.setFontBold(true); // as the panels were laid out
    const float margin = pic.TextWidth(" -200 ");
    pic.setFontBold(false);
    EXPECT_NEAR(frames[2].at[2], 9000 - margin, 1);

    const std::vector<std::string> got = texts(pic);
    for (const char* title : {"Cell: 1 ( 11, 40)", "Cell: 2 ( 12, 40)", "Cell: 3 ( 13, 40)"})
        EXPECT_EQ(countOf(got, title), 1) << title;
    // Value labels below every panel; depth labels (0, 500 and 1000: 1500 lies below the
    // bottom) at the right edge of the last one only.
    for (const char* value : {" 5", " 10", " 15", " 20"})
        EXPECT_EQ(countOf(got, value), 3) << value;
    EXPECT_EQ(countOf(got, " 0"), 3 + 1);
    EXPECT_EQ(countOf(got, " 500"), 1);
    EXPECT_EQ(countOf(got, " 1000"), 1);
    EXPECT_EQ(countOf(got, " 1500"), 0);
    const double lastRight = frames[2].at[2];
    for (const DrawRecord& r : recordsOf(pic, DrawKind::Print))
        if (r.text == " 500" || r.text == " 1000") {
            EXPECT_DOUBLE_EQ(r.at[0], lastRight);
        }

    // Each panel's curve joins its four levels: three lines in the first variable's colour,
    // from the value at the top (p * 1) to the one at the bottom (p * 4).
    const std::vector<DrawRecord> lines = curves();
    ASSERT_EQ(lines.size(), 9u);
    for (const DrawRecord& r : lines)
        EXPECT_EQ(r.color, QBColor(9));
    const double x0 = frames[0].at[0];
    EXPECT_NEAR(lines[0].at[0], x0 + width * 1 / 20, 1e-2);
    EXPECT_NEAR(lines[0].at[1], frames[0].at[1], 1e-2);
    EXPECT_NEAR(lines[2].at[2], x0 + width * 4 / 20, 1e-2);
    EXPECT_NEAR(lines[2].at[3], frames[0].at[3], 1e-2);

    EXPECT_EQ(pic.ForeColor(), 0x123456);
    EXPECT_FALSE(pic.FontBold());
    EXPECT_EQ(pic.DrawWidth(), 1);
}

TEST_F(VsectProfilesTest, NothingIsDrawnWithoutPanelsOrPoints) {
    struct Case {
        std::string what;
        Long vertices, points, cellOfLast;
    };
    const Case cases[] = {
        {"no path vertex", 0, 3, 0},
        {"no section point", 2, 0, 2},
        {"a panel beyond the points", 2, 3, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Vsect.Reset();
        pic.clearRecords();
        threePoints(20, 0, 5);
        if (c.points == 0) Vsect.nVsectPoints = 0;
        profilePanels(c.vertices);
        if (c.vertices > 0) Vsect.VsectProfileCells(c.vertices) = c.cellOfLast;
        pic.setFontBold(false);
        DrawVsectProfiles(pic);
        EXPECT_TRUE(pic.records().empty());
        EXPECT_EQ(pic.ForeColor(), 0x123456);
    }
}

TEST_F(VsectProfilesTest, RangesWithoutSizeDrawNoTicksOrCurves) {
    struct Case {
        std::string what;
        float high, low, step;
        bool valueLabels, curve;
    };
    const Case cases[] = {
        {"a step of 0", 20, 0, 0, false, true},
        {"no value range", 5, 5, 1, false, false},
        {"a negative step", 20, 0, -5, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Vsect.Reset();
        pic.clearRecords();
        threePoints(c.high, c.low, c.step);
        profilePanels(1);
        DrawVsectProfiles(pic);
        const std::vector<std::string> got = texts(pic);
        EXPECT_EQ(countOf(got, " 5") + countOf(got, " 20"), c.valueLabels ? 2 : 0);
        EXPECT_EQ(!curves().empty(), c.curve);
        EXPECT_EQ(countOf(got, " 500"), 1); // the depth ticks stay
    }

    // A point with one valid level: frame, ticks and title, no curve.
    Vsect.Reset();
    pic.clearRecords();
    filledSection(
        1, {0, 500, 1000}, [](Long, Long k) { return k == 2 ? 3.0f : kNoVal; }, 10, 0, 2);
    profilePanels(1);
    DrawVsectProfiles(pic);
    EXPECT_EQ(recordsOf(pic, DrawKind::Box).size(), 1u);
    EXPECT_TRUE(curves().empty());

    // No depth: frame and title, no depth ticks or curve.
    Vsect.Reset();
    pic.clearRecords();
    filledSection(
        1, {0, 0}, [](Long, Long) { return 1.0f; }, 10, 0, 2);
    profilePanels(1);
    DrawVsectProfiles(pic);
    EXPECT_EQ(recordsOf(pic, DrawKind::Box).size(), 1u);
    EXPECT_TRUE(curves().empty());
    EXPECT_EQ(countOf(texts(pic), "Cell: 1 ( 11, 40)"), 1);
}

TEST_F(VsectProfilesTest, EachVariableHasItsCurveColour) {
    struct Case {
        Long variable, color;
    };
    for (const Case& c : {Case{1, 9}, Case{4, 12}, Case{7, 15}, Case{8, 9}}) {
        SCOPED_TRACE(c.variable);
        Vsect.Reset();
        pic.clearRecords();
        threePoints(20, 0, 5);
        // As many variables as the case needs, all with the first one's range.
        Vsect.nVsectVars = c.variable;
        Vsect.VsectVars.ReDimPreserve(1, c.variable);
        Vsect.VsectVars(c.variable) = Vsect.VsectVars(1);
        Vsect.CurVsectVar = c.variable;
        profilePanels(1);
        DrawVsectProfiles(pic);
        const std::vector<DrawRecord> lines = curves();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0].color, QBColor(c.color));
    }
}
