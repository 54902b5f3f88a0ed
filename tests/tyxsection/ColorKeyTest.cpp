// The colours of the section: the key's divisions, the ramp's bands, the colour of a cell and
// the two legends.
#include "tyxsection/ColorKey.h"
#include "gui/Picture.h"
#include "runtime/Color.h"
#include "tests/support/QtTestApp.h"

#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace {

ColorKeyRec keyOf(const std::vector<std::vector<float>>& divisions) {
    ColorKeyRec key;
    key.count = static_cast<Long>(divisions.size());
    if (key.count > 0) {
        key.low.ReDim(1, key.count);
        key.high.ReDim(1, key.count);
        key.color.ReDim(1, key.count);
    }
    Long i = 0;
    for (const auto& d : divisions) {
        ++i;
        key.low(i) = d[0];
        key.high(i) = d[1];
        key.color(i) = static_cast<Long>(d[2]);
    }
    return key;
}

std::vector<DrawRecord> recordsOf(const Picture& p, DrawKind kind) {
    std::vector<DrawRecord> out;
    for (const DrawRecord& r : p.records())
        if (r.kind == kind) out.push_back(r);
    return out;
}

} // namespace

TEST(ColorKey, TheFirstDivisionHoldingTheValueGivesItsColour) {
    const ColorKeyRec key = keyOf({{0, 3, 0x0000FF}, {3, 6, 0x00FF00}, {2, 4, 0xFF0000}});
    struct Case {
        float v;
        Long colour;
    };
    const Case cases[] = {
        {0, 0x0000FF},
        {2.5f, 0x0000FF},
        {3, 0x00FF00},
        {3.5f, 0x00FF00}, // the overlapping third division comes too late
        // Beyond the key's ends, the nearer end's colour; only no number is white.
        {6, 0x00FF00},
        {1e30f, 0x00FF00},
        {-0.5f, 0x0000FF},
        {std::numeric_limits<float>::quiet_NaN(), kKeyWhite},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetKeyColor(key, c.v), c.colour) << c.v;

    ColorKeyRec empty;
    EXPECT_EQ(GetKeyColor(empty, 1), kKeyWhite);
    empty.count = -1; // after a failed read
    EXPECT_EQ(GetKeyColor(empty, 1), kKeyWhite);

    // A value in a gap between divisions belongs to none of them.
    const ColorKeyRec gapped = keyOf({{0, 1, 0x0000FF}, {2, 3, 0x00FF00}});
    EXPECT_EQ(GetKeyColor(gapped, 1.5f), kKeyWhite);
    EXPECT_EQ(GetKeyColor(gapped, 3), 0x00FF00);
}

TEST(ColorKey, TheRampRunsThroughGreenBlueAndRed) {
    struct Case {
        float f;
        Long colour;
    };
    const Case cases[] = {
        {0, kKeyWhite},
        {5e-8f, kKeyWhite},
        {0.1f, RGB(171, 245, 171)},
        {1.0f / 3.0f, RGB(0, 245, 0)},
        {0.5f, RGB(122, 122, 245)},
        {2.0f / 3.0f, RGB(0, 0, 245)},
        {1, RGB(245, 0, 0)},
        {1.5f, kKeyWhite},
        {-0.2f, kKeyWhite},
        {std::numeric_limits<float>::quiet_NaN(), kKeyWhite},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ocxColorRampThirds(c.f), c.colour) << c.f;
        EXPECT_EQ(GetRampColor(c.f), c.colour) << c.f;
    }
}

TEST(ColorKey, ACellTakesTheKeyOrTheRampColour) {
    ModColorState colour;
    colour.ColorKey = keyOf({{0, 10, 0x123456}});
    colour.RampLow = 10;
    colour.RampRange = 20;
    // The ramp unless the key is in use.
    // Below the ramp: its lowest colour, not white.
    EXPECT_EQ(CellColor(colour, 5), RGB(245, 245, 245));
    EXPECT_EQ(CellColor(colour, 10), RGB(245, 245, 245));
    EXPECT_EQ(CellColor(colour, 20), RGB(122, 122, 245));
    EXPECT_EQ(CellColor(colour, 99), RGB(245, 0, 0)); // above the top: fraction 1
    EXPECT_FLOAT_EQ(RampFraction(colour, 99), 1);
    colour.UseColorKeyFlag = -1;
    EXPECT_EQ(CellColor(colour, 5), 0x123456);
    EXPECT_EQ(CellColor(colour, 20), 0x123456); // above the key's one division

    // A constant field: every value takes the ramp's first colour, none divides by zero.
    colour.UseColorKeyFlag = 0;
    colour.RampRange = 0;
    const Long first = GetRampColor(kRampFirstFraction);
    EXPECT_NE(first, kKeyWhite);
    for (float v : {10.0f, 11.0f, -3.0f})
        EXPECT_EQ(CellColor(colour, v), first) << v;
    EXPECT_EQ(RampColorOfValue(colour, 10), first);
}

TEST(ColorKey, TheKeyLegendPutsTheLastDivisionOnTop) {
    testApp();
    Picture pic(200, 300);
    pic.setForeColor(0x0000FF);
    pic.setFillStyle(kFillTransparent);
    pic.setFontSize(10);
    pic.setRecording(true);
    const ColorKeyRec key = keyOf({{0, 1.5f, 0x0000FF}, {1.5f, 3, 0x00FF00}, {3, 4.5f, 0xFF0000}});
    DrawKeyLegend(pic, key, 10, 20, 80, 280);

    const auto boxes = recordsOf(pic, DrawKind::FilledBox);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].color, 0xFF0000);
    EXPECT_EQ(boxes[2].color, 0x0000FF);
    const float boxH = std::min(280.0f / 7, pic.TextHeight("1"));
    EXPECT_FLOAT_EQ(static_cast<float>(boxes[0].at[1]), 20);
    EXPECT_FLOAT_EQ(static_cast<float>(boxes[1].at[1]), 20 + boxH * 1.25f);
    EXPECT_FLOAT_EQ(static_cast<float>(boxes[0].at[2]), 30);
    const auto prints = recordsOf(pic, DrawKind::Print);
    ASSERT_EQ(prints.size(), 3u);
    EXPECT_EQ(prints[0].text, "3 - 4.5");
    EXPECT_EQ(prints[1].text, "1.5 - 3");
    EXPECT_EQ(prints[2].text, "0 - 1.5");
    EXPECT_FLOAT_EQ(static_cast<float>(prints[0].at[0]), 40);
    // The picture's pen is as it was.
    EXPECT_EQ(pic.ForeColor(), 0x0000FF);
    EXPECT_EQ(pic.FillStyle(), kFillTransparent);
    EXPECT_FLOAT_EQ(pic.FontSize(), 10);

    // Negative bounds keep their fractions; nothing for a key without divisions.
    pic.clearRecords();
    DrawKeyLegend(pic, keyOf({{-2.5f, -1, 0}}), 10, 20, 80, 280);
    ASSERT_EQ(recordsOf(pic, DrawKind::Print).size(), 1u);
    EXPECT_EQ(recordsOf(pic, DrawKind::Print)[0].text, "-2.5 - -1");
    pic.clearRecords();
    ColorKeyRec failed;
    failed.count = -1;
    DrawKeyLegend(pic, failed, 10, 20, 80, 280);
    EXPECT_TRUE(pic.records().empty());
}

TEST(ColorKey, TheRampLegendNamesEveryTenth) {
    testApp();
    Picture pic(200, 600);
    pic.setRecording(true);
    ModColorState colour;
    colour.RampLow = -2;
    colour.RampRange = 10;
    DrawRampLegend(pic, colour, 0, 54, 40, 540);
    const auto boxes = recordsOf(pic, DrawKind::FilledBox);
    ASSERT_EQ(boxes.size(), 50u);
    // Bottom to top: the first box is the lowest, in the colour of the top of its interval.
    EXPECT_FLOAT_EQ(static_cast<float>(boxes[0].at[1]), 10 * 50 + 54);
    EXPECT_FLOAT_EQ(static_cast<float>(boxes[49].at[1]), 10 + 54);
    EXPECT_EQ(boxes[0].color, GetRampColor(0.02f));
    EXPECT_EQ(boxes[49].color, RGB(245, 0, 0));
    EXPECT_FLOAT_EQ(static_cast<float>(boxes[0].at[0]), 5);
    EXPECT_FLOAT_EQ(static_cast<float>(boxes[0].at[2]), 15);
    const auto prints = recordsOf(pic, DrawKind::Print);
    ASSERT_EQ(prints.size(), 10u);
    EXPECT_EQ(prints[0].text, "-1.00");
    EXPECT_EQ(prints[1].text, "0.00");
    EXPECT_EQ(prints[9].text, "8.00");
    EXPECT_FLOAT_EQ(static_cast<float>(prints[0].at[0]), 20);
    EXPECT_FLOAT_EQ(static_cast<float>(prints[0].at[1]), 10 * 46 + 54 - 5);
}
