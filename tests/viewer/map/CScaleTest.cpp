#include "viewer/map/CScale.h"

#include "tests/viewer/ViewerFixture.h"

#include "gui/Picture.h"
#include "gui/PictureWidget.h"
#include "runtime/Color.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ScriptedUi.h"
#include "viewer/map/ProgressBar.h"
#include "viewer/shell/FormColor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

Long rgb(Long r, Long g, Long b) {
    return r + 256 * g + 65536 * b;
}
constexpr Long kWhite = 0xFFFFFF;
constexpr Long kBlack = 0;
const float kNaN = std::numeric_limits<float>::quiet_NaN();

class CScaleTest : public ViewerFixture {};

// Each ramp by variant (col_opt) and position t. Components are rounded to the nearest whole
// number, halves to even: 127.5 gives 128 (not the 127 of a truncation), 191.25 gives 191; a
// component above 255 counts as 255.
TEST_F(CScaleTest, RampsByVariantAndPosition) {
    struct Point {
        Long variant;
        float t;
        Long color;
    };
    struct Ramp {
        const char* name;
        Long (*colour)(float);
        std::vector<Point> points;
    };
    const Ramp ramps[] = {
        {"single hue",
         ColorRampSingle,
         {
             {1, -1, rgb(0, 0, 0)},
             {2, -1, rgb(255, 0, 0)},
             {3, -1, rgb(0, 255, 0)},
             {4, -1, rgb(0, 0, 255)},
             {1, 0, kWhite},
             {2, 0, kWhite},
             {1, 0.5f, rgb(191, 191, 191)},
             {2, 0.5f, rgb(128, 191, 191)},
             {3, 0.5f, rgb(191, 128, 191)},
             {4, 0.5f, rgb(191, 191, 128)},
             {2, -0.5f, rgb(255, 191, 191)},
             {2, 1, kBlack},
             {4, 1, kBlack},
             {2, 1.5f, kBlack},
             {2, -1.01f, kBlack},
             {0, 0.5f, kBlack},
             {5, 0.5f, kBlack},
             {2, kNaN, kBlack},
         }},
        {"diverging",
         ColorDiverging,
         {
             {0, -1, rgb(0, 0, 255)},
             {0, -0.5f, rgb(128, 128, 255)},
             {0, 0, kWhite},
             {0, 0.5f, rgb(255, 128, 128)},
             {0, 1, rgb(255, 0, 0)},
             {0, 1.5f, kBlack},
             {0, -1.5f, kBlack},
             {0, kNaN, kBlack},
             {3, 0.5f, rgb(255, 128, 128)},
         }},
        {"three parts",
         ColorRampThirds,
         {
             // GBR: three thirds, each from white.
             {0, -1, kWhite},
             {0, 0, kWhite},
             {0, 5e-8f, kWhite},
             {0, 0.2f, rgb(102, 255, 102)},
             {0, 0.33333334f, rgb(0, 255, 0)},
             {0, 0.5f, rgb(127, 127, 255)},
             {0, 0.6666667f, rgb(0, 0, 255)},
             {0, 0.9f, rgb(255, 76, 76)},
             {0, 1, rgb(255, 0, 0)},
             {0, 1.5f, kWhite},
             {0, kNaN, kWhite},
             // Grey.
             {1, 0.5f, rgb(128, 128, 128)},
             {1, 1, kBlack},
             {1, -0.5f, kWhite},
             // R, G, B: white to the channel, then to black.
             {2, 0.25f, rgb(255, 128, 128)},
             {2, 0.5f, rgb(255, 0, 0)},
             {2, 0.75f, rgb(128, 0, 0)},
             {2, 1, kBlack},
             {3, 0.25f, rgb(128, 255, 128)},
             {3, 0.75f, rgb(0, 128, 0)},
             {4, 0.25f, rgb(128, 128, 255)},
             {4, 0.75f, rgb(0, 0, 128)},
             {4, 1.5f, kWhite},
             {5, 0.5f, kWhite},
             {-1, 0.5f, kWhite},
         }},
    };
    for (const Ramp& r : ramps)
        for (const Point& p : r.points) {
            Scale.col_opt = p.variant;
            EXPECT_EQ(r.colour(p.t), p.color) << r.name << " variant " << p.variant << " t " << p.t;
        }
}

TEST_F(CScaleTest, ValueToColorMapsTheRangeIntoTheScheme) {
    Scale.ColorCode = 30;
    Scale.col_opt = 0;
    Scale.ScaleMin = 0;
    Scale.ScaleMax = 10;
    EXPECT_EQ(ValueToColor(2), rgb(102, 255, 102));
    EXPECT_EQ(ValueToColor(5), rgb(127, 127, 255));
    EXPECT_EQ(ValueToColor(9), rgb(255, 76, 76));
    EXPECT_EQ(ValueToColor(10), rgb(255, 0, 0));
    EXPECT_EQ(ValueToColor(0), kWhite);
    EXPECT_EQ(ValueToColor(12), kWhite);

    Scale.ColorCode = 31; // same scheme, other key layout
    EXPECT_EQ(ValueToColor(2), rgb(102, 255, 102));
    Scale.ColorCode = 25; // diverging: values below the range show the blue half
    EXPECT_EQ(ValueToColor(-5), rgb(128, 128, 255));
    EXPECT_EQ(ValueToColor(5), rgb(255, 128, 128));
    Scale.ColorCode = 12;
    Scale.col_opt = 2;
    EXPECT_EQ(ValueToColor(5), rgb(128, 191, 191));

    Scale.ColorCode = 0; // never set: black
    EXPECT_EQ(ValueToColor(5), kBlack);
    Scale.ColorCode = 40;
    EXPECT_EQ(ValueToColor(5), kBlack);

    // No span: every value takes t = 0.
    Scale.ColorCode = 30;
    Scale.col_opt = 0;
    Scale.ScaleMax = Scale.ScaleMin = 3;
    EXPECT_EQ(ValueToColor(-100), kWhite);
    EXPECT_EQ(ValueToColor(100), kWhite);
    Scale.ColorCode = 20;
    EXPECT_EQ(ValueToColor(100), kWhite);
}

std::vector<const DrawRecord*> ofKind(const Picture& p, DrawKind k) {
    std::vector<const DrawRecord*> out;
    for (const DrawRecord& r : p.records())
        if (r.kind == k) out.push_back(&r);
    return out;
}

TEST_F(CScaleTest, ColorLegendLayouts) {
    Scale.ScaleMin = 0;
    Scale.ScaleMax = 10;
    Scale.ColorCode = 30;
    Picture& p = FormColorForm().Picture1->picture();
    ASSERT_EQ(p.width(), 140);
    ASSERT_EQ(p.height(), 450);
    p.setRecording(true);
    const float x1 = 140.0f / 5;
    const float h = 450.0f / 55;

    struct Case {
        Long code;
        std::size_t boxes;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {30,
         51,
         {"10.00", "9.02", "8.04", "7.06", "6.08", "5.10", "4.12", "3.14", "2.16", "1.18", "0.00"}},
        {10,
         51,
         {"10.00", "9.02", "8.04", "7.06", "6.08", "5.10", "4.12", "3.14", "2.16", "1.18", "0.00"}},
        {31,
         0,
         {"10.00", "9.02", "8.04", "7.06", "6.08", "5.10", "4.12", "3.14", "2.16", "1.18", "0.00"}},
        {20, 51, {"9.22", "8.24", "7.25", "6.27", "5.29", "4.31", "3.33", "2.35", "1.37", "0.39"}},
        {0, 0, {}},
        {21, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        Scale.ColorCode = c.code;
        Scale.col_opt = 0;
        p.clearRecords();
        DrawColorLegend();
        ASSERT_FALSE(p.records().empty());
        EXPECT_EQ(p.records()[0].kind, DrawKind::Cls);
        EXPECT_EQ(ofKind(p, DrawKind::FilledBox).size(), c.boxes);
        auto prints = ofKind(p, DrawKind::Print);
        ASSERT_EQ(prints.size(), c.labels.size());
        for (std::size_t i = 0; i < prints.size(); ++i) {
            EXPECT_EQ(prints[i]->text, c.labels[i]);
            EXPECT_EQ(prints[i]->color, kBlack);
            EXPECT_FLOAT_EQ(static_cast<float>(prints[i]->at[0]), 2 * x1 + x1 / 2);
        }
    }

    // Boxes of code 30 run down from the top colour of the range.
    Scale.ColorCode = 30;
    p.clearRecords();
    DrawColorLegend();
    auto boxes = ofKind(p, DrawKind::FilledBox);
    ASSERT_EQ(boxes.size(), 51u);
    EXPECT_EQ(boxes[0]->color, rgb(255, 0, 0));
    EXPECT_EQ(boxes[50]->color, ValueToColor(10 - 50 * (10.0f / 51)));
    EXPECT_FLOAT_EQ(static_cast<float>(boxes[0]->at[0]), x1);
    EXPECT_FLOAT_EQ(static_cast<float>(boxes[0]->at[1]), h);
    EXPECT_FLOAT_EQ(static_cast<float>(boxes[0]->at[2]), 2 * x1);
    EXPECT_FLOAT_EQ(static_cast<float>(boxes[50]->at[3]), 52 * h);
    auto prints = ofKind(p, DrawKind::Print);
    EXPECT_FLOAT_EQ(static_cast<float>(prints[0]->at[1]), h - h / 2);
    EXPECT_EQ(p.pixel(static_cast<int>(x1) + 5, static_cast<int>(h) + 3), rgb(255, 0, 0));

    // An empty range: white boxes and equal labels, the last one the lower end.
    Scale.ScaleMax = Scale.ScaleMin = 2.5f;
    p.clearRecords();
    DrawColorLegend();
    for (const DrawRecord* b : ofKind(p, DrawKind::FilledBox))
        EXPECT_EQ(b->color, kWhite);
    for (const DrawRecord* t : ofKind(p, DrawKind::Print))
        EXPECT_EQ(t->text, "2.50");
}

} // namespace
