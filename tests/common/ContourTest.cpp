#include "common/Contour.h"
#include "tests/support/ScriptedUi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

// Records what the tracer draws.
class RecordingCanvas : public ContourCanvas {
public:
    struct Stroke {
        float x1, y1, x2, y2;
        Long color;
    };
    struct Text {
        float x, y;
        std::string text;
    };
    Long fore = 0x123456;
    std::vector<Stroke> strokes;
    std::vector<Text> texts;
    int refreshes = 0;

    Long ForeColor() const override { return fore; }
    void setForeColor(Long c) override { fore = c; }
    void Line(float x1, float y1, float x2, float y2) override {
        strokes.push_back({x1, y1, x2, y2, fore});
    }
    void PrintAt(float x, float y, const std::string& text) override {
        texts.push_back({x, y, text});
    }
    void Refresh() override { ++refreshes; }
};

// Picture units equal to world units, y turned over: a depth d lies at picture y = d.
PlotTransform identity() {
    PlotTransform t;
    t.ScaleX = 1;
    t.ScaleY = 1;
    return t;
}

// A grid of nI columns by nK levels 10 apart (level k at depth 10 (k - 1)), with the value of
// every point from f and every point valid unless missing says otherwise.
struct Field {
    VArray<float> values;
    VArray<Integer> codes;
    VArray<double> vCoord;
    Field(Long nI, Long nK, const std::function<float(Long, Long)>& f)
        : values(1, nI, 1, nK), codes(1, nI, 1, nK), vCoord(0, nK) {
        for (Long k = 1; k <= nK; ++k) {
            vCoord(k) = 10.0 * (k - 1);
            for (Long i = 1; i <= nI; ++i) {
                values(i, k) = f(i, k);
                codes(i, k) = 1;
            }
        }
    }
    ContourField field() const {
        return ContourField{
            values,           codes, vCoord,          0, 0, 1, 1.0 / vCoord(vCoord.UBound()), 1,
            values.UBound(1), 1,     values.UBound(2)};
    }
};

struct Traced {
    std::vector<Long> points;                                      // of each line, in order
    std::vector<float> levels;                                     // of each line
    std::map<float, std::vector<RecordingCanvas::Stroke>> strokes; // by level
};

Traced trace(RecordingCanvas& canvas, const Field& f, float& step, float high, float low) {
    Traced t;
    std::size_t seen = 0;
    ContourGrid(canvas, identity(), f.field(), step, high, low, 0xFF, [&](Long n, float level) {
        t.points.push_back(n);
        t.levels.push_back(level);
        for (; seen < canvas.strokes.size(); ++seen)
            t.strokes[level].push_back(canvas.strokes[seen]);
    });
    return t;
}

} // namespace

TEST(ContourGrid, LevelsAcrossAKnownFieldBecomeLines) {
    // Columns valued 0, 10, 20, 30 from west to east at every depth.
    const Field f(4, 4, [](Long i, Long) { return 10.0f * static_cast<float>(i - 1); });
    RecordingCanvas canvas;
    float step = 15;
    const Traced t = trace(canvas, f, step, 30, 0);

    // Levels 15 and 30 (level 0 crosses nothing: a level must lie above a cell's lowest value).
    ASSERT_FALSE(t.strokes.empty());
    EXPECT_EQ(t.strokes.size(), 2u);
    // Level 15 runs straight down between the columns of 10 and 20, at x = 2, from depth 0 to
    // depth 30: one line through the three cells and three lines of their own.
    std::vector<Long> points15;
    for (std::size_t n = 0; n < t.levels.size(); ++n)
        if (t.levels[n] == 15) points15.push_back(t.points[n]);
    EXPECT_EQ(points15, (std::vector<Long>{2, 7, 2, 2}));
    float top = 1e9f, bottom = -1e9f;
    for (const auto& s : t.strokes.at(15)) {
        EXPECT_FLOAT_EQ(s.x1, 2);
        EXPECT_FLOAT_EQ(s.x2, 2);
        EXPECT_EQ(s.color, 0xFF);
        top = std::min({top, s.y1, s.y2});
        bottom = std::max({bottom, s.y1, s.y2});
    }
    EXPECT_FLOAT_EQ(top, 0);
    EXPECT_FLOAT_EQ(bottom, 30);
    // The line of seven points carries its level at its fourth point, the middle of cell 2.
    ASSERT_EQ(canvas.texts.size(), 1u);
    EXPECT_EQ(canvas.texts[0].text, " 15");
    EXPECT_FLOAT_EQ(canvas.texts[0].x, 2);
    EXPECT_FLOAT_EQ(canvas.texts[0].y, 15);
    // Level 30 is the largest value: it is drawn, along the last column's middle.
    for (const auto& s : t.strokes.at(30)) {
        EXPECT_FLOAT_EQ(s.x1, 3.5f);
        EXPECT_FLOAT_EQ(s.x2, 3.5f);
    }
    EXPECT_EQ(canvas.refreshes, static_cast<int>(t.points.size()));
    EXPECT_EQ(canvas.fore, 0x123456);
    EXPECT_EQ(step, 15);
}

TEST(ContourGrid, TheStepFollowsTheDataWhenItIsNoLessThanTheRange) {
    const Field f(5, 3, [](Long i, Long) { return 5.0f * static_cast<float>(i - 1); }); // 0..20
    RecordingCanvas canvas;
    float step = 50;
    const Traced wide = trace(canvas, f, step, 10, 0);
    EXPECT_FLOAT_EQ(step, -2); // (minimum - maximum) / 10, written back
    // The levels follow the data up to 20, beyond the display range.
    EXPECT_FLOAT_EQ(*std::max_element(wide.levels.begin(), wide.levels.end()), 20);

    // A step within the range keeps the levels within it.
    step = 2.5f;
    RecordingCanvas inRange;
    const Traced narrow = trace(inRange, f, step, 10, 0);
    EXPECT_FLOAT_EQ(step, 2.5f);
    EXPECT_FLOAT_EQ(*std::max_element(narrow.levels.begin(), narrow.levels.end()), 10);
}

TEST(ContourGrid, NothingIsDrawnForAStepOf0OrTooFewPieces) {
    RecordingCanvas canvas;
    // A level needs three pieces: each level of this cell has two.
    const Field square(2, 2, [](Long i, Long k) { return 10.0f * static_cast<float>(i + k - 2); });
    float step = 10;
    EXPECT_TRUE(trace(canvas, square, step, 20, 0).points.empty());

    const Field ramp(4, 4, [](Long i, Long) { return static_cast<float>(i); });
    step = 0; // within a range: levels 0 apart
    EXPECT_TRUE(trace(canvas, ramp, step, 4, 1).points.empty());
    const Field flat(4, 4, [](Long, Long) { return 5.0f; });
    step = 1; // a constant field: the data range, and so the step, is 0
    EXPECT_TRUE(trace(canvas, flat, step, 5, 5).points.empty());
    EXPECT_EQ(step, 0);
    EXPECT_TRUE(canvas.strokes.empty());
    EXPECT_EQ(canvas.fore, 0x123456);
}

TEST(ContourGrid, PointsWithoutAValue) {
    // The same field as a known one with column 3 missing at level 2: the cells of column 2
    // beside it lose one neighbour (it takes the cell's own value) or two (not contoured).
    Field f(4, 4, [](Long i, Long) { return 10.0f * static_cast<float>(i - 1); });
    f.codes(3, 2) = 9;
    f.codes(3, 3) = 0;
    RecordingCanvas canvas;
    float step = 15;
    const Traced t = trace(canvas, f, step, 30, 0);
    // Cell (2, 1): neighbour (3, 2) missing, taken as 10; cell (2, 2): two missing, skipped;
    // cell (2, 3): (3, 3) missing only. Level 15 is drawn above depth 10 and below depth 20,
    // and nothing between.
    bool above = false, below = false;
    for (const auto& s : t.strokes.at(15)) {
        const bool up = s.y1 <= 10 && s.y2 <= 10, down = s.y1 >= 20 && s.y2 >= 20;
        EXPECT_TRUE(up || down) << s.y1 << " " << s.y2;
        above = above || up;
        below = below || down;
    }
    EXPECT_TRUE(above);
    EXPECT_TRUE(below);
}

TEST(ContourGrid, ALevelAroundAPeakIsOneClosedRing) {
    // 10 at column 3, level 3, 0 everywhere else: level 5 rings the peak through the four
    // cells that share it, two pieces in each.
    const Field f(5, 5, [](Long i, Long k) { return i == 3 && k == 3 ? 10.0f : 0.0f; });
    RecordingCanvas canvas;
    float step = 5;
    const Traced t = trace(canvas, f, step, 10, 0);
    std::vector<Long> ring;
    for (std::size_t n = 0; n < t.levels.size(); ++n)
        if (t.levels[n] == 5) ring.push_back(t.points[n]);
    ASSERT_EQ(ring, (std::vector<Long>{9}));
    const auto& strokes = t.strokes.at(5);
    ASSERT_EQ(strokes.size(), 8u);
    EXPECT_FLOAT_EQ(strokes.front().x1, strokes.back().x2);
    EXPECT_FLOAT_EQ(strokes.front().y1, strokes.back().y2);
    // The ring lies round the peak (x 2.5, depth 20), half a cell out at most.
    float left = 1e9f, right = -1e9f, top = 1e9f, bottom = -1e9f;
    for (const auto& s : strokes) {
        left = std::min({left, s.x1, s.x2});
        right = std::max({right, s.x1, s.x2});
        top = std::min({top, s.y1, s.y2});
        bottom = std::max({bottom, s.y1, s.y2});
    }
    EXPECT_LT(left, 2.5f);
    EXPECT_GT(right, 2.5f);
    EXPECT_LT(top, 20);
    EXPECT_GT(bottom, 20);
    EXPECT_GE(left, 2.0f);
    EXPECT_LE(right, 3.0f);
    // Nine points: the label sits at the fourth.
    ASSERT_FALSE(canvas.texts.empty());
    EXPECT_EQ(canvas.texts[0].text, " 5");
}

TEST(ContourGrid, AStepTooSmallForTheRangeIsRefusedWithAMessage) {
    InstalledScriptedUi ui;
    const Field ramp(5, 3, [](Long i, Long) { return 5.0f * static_cast<float>(i - 1); });
    RecordingCanvas canvas;
    float step = 0.0001f; // 100000 levels between 0 and 10
    EXPECT_TRUE(trace(canvas, ramp, step, 10, 0).points.empty());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text.rfind("[ContourGrid] more than 32767 contour levels", 0), 0u)
        << ui.boxes[0].text;
    EXPECT_TRUE(canvas.strokes.empty());
    EXPECT_EQ(canvas.fore, 0x123456);

    // A step that gives just under the limit is traced.
    ui.boxes.clear();
    step = 10.0f / 30000;
    trace(canvas, ramp, step, 10, 0);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_FALSE(canvas.strokes.empty());
}
