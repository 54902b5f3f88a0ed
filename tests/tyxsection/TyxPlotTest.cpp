// The plot transform of the control's drawings, the panels of profile graphs and curves.
#include "tyxsection/TyxPlot.h"
#include "gui/Picture.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ScriptedUi.h"

#include <gtest/gtest.h>

TEST(Cartesian, TheWindowSpansThePlotFromItsOffsets) {
    InstalledScriptedUi ui;
    PlotTransform t;
    ASSERT_EQ(Cartesian(t, PlotWindow{0, 10, -100, 0}, 500, 300, 50, 20), 0);
    float X = 0, Y = 0;
    t.PicHeight = 330;
    xy_scale(t, 0, 0, X, Y);
    EXPECT_FLOAT_EQ(X, 50);
    EXPECT_FLOAT_EQ(Y, 30); // the top of the plot: 330 - 300
    xy_scale(t, 10, -100, X, Y);
    EXPECT_FLOAT_EQ(X, 500);
    EXPECT_FLOAT_EQ(Y, 310); // 20 above the reference line
    // One side of the size above 0 is enough.
    EXPECT_EQ(Cartesian(t, PlotWindow{0, 10, -100, 0}, 0, 100, 0, 0), 0);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST(Cartesian, RefusesAWindowWithoutHeightOrWidthAndAPlotWithoutSize) {
    InstalledScriptedUi ui;
    PlotTransform t;
    t.ScaleX = 7;
    struct Case {
        PlotWindow w;
        Long width, height;
        const char* text;
    };
    const Case cases[] = {
        {{0, 10, -5, -5},
         100,
         100,
         "[Cartesian] scale parameters out of rangexy4:x= 0 10xy4:y=-5-5"},
        {{3, 3, -5, 0}, 100, 100, "[Cartesian] scale parameters out of rangexy4:x= 3 3xy4:y=-5 0"},
        {{0, 10, -5, 0}, 0, 0, "[Cartesian] screen size out of rangepwidth, phight =  0 0"},
    };
    for (const Case& c : cases) {
        ui.boxes.clear();
        EXPECT_EQ(Cartesian(t, c.w, c.width, c.height, 0, 0), -1) << c.text;
        ASSERT_EQ(ui.boxes.size(), 1u) << c.text;
        EXPECT_EQ(ui.boxes[0].text, c.text);
        EXPECT_EQ(ui.boxes[0].style, kOkOnly);
        EXPECT_EQ(t.ScaleX, 7);
    }
}

TEST(LayoutPanels, EqualPanelsInsideTheMargins) {
    testApp();
    Picture pic(600, 400);
    PlotMargins m;
    float h = 0, w = 0, px = 0, py = 0;
    LayoutPanels(pic, m, 1, 1, 1, 1, h, w, px, py, 1);
    const float line = pic.TextHeight("A");
    EXPECT_FLOAT_EQ(m.MarginTop, 4 * line);
    EXPECT_FLOAT_EQ(m.MarginRight, pic.TextWidth(" -2000 "));
    EXPECT_FLOAT_EQ(m.MarginLeft, pic.TextWidth("00"));
    EXPECT_FLOAT_EQ(px, m.MarginLeft);
    EXPECT_FLOAT_EQ(py, m.MarginTop);
    EXPECT_FLOAT_EQ(w, 600 - m.MarginLeft - m.MarginRight);
    EXPECT_FLOAT_EQ(h, 400 - 8 * line);

    // Three columns: two gaps of a twentieth of the inner width; the last ends at the margin.
    LayoutPanels(pic, m, 1, 3, 1, 3, h, w, px, py, -1);
    const float inner = 600 - m.MarginLeft - m.MarginRight;
    EXPECT_FLOAT_EQ(m.MarginLeft, pic.TextWidth(" -2000 "));
    EXPECT_FLOAT_EQ(w, (inner - 2 * inner / 20) / 3);
    EXPECT_NEAR(px + w, 600 - m.MarginRight, 1e-3);
    // Another axis mode keeps the side margins of the call before.
    const PlotMargins before = m;
    LayoutPanels(pic, m, 2, 1, 2, 1, h, w, px, py, 2);
    EXPECT_EQ(m.MarginLeft, before.MarginLeft);
    EXPECT_EQ(m.MarginRight, before.MarginRight);
    const float innerH = 400 - 8 * line;
    EXPECT_FLOAT_EQ(h, (innerH - innerH / 20) / 2);
    EXPECT_FLOAT_EQ(py, innerH / 20 + h + m.MarginTop);
}

TEST(DrawPolyline, PointsMappedIntoTheRectangle) {
    testApp();
    Picture pic(200, 200);
    pic.setRecording(true);
    VArray<float> xs(1, 3), ys(1, 3);
    xs(1) = 0;
    ys(1) = 0;
    xs(2) = 5;
    ys(2) = -50;
    xs(3) = 10;
    ys(3) = -100;
    DrawPolyline(pic, 1, xs, ys, 10, 100, 20, 50, 10, 0, 0, -100);
    DrawPolyline(pic, 3, xs, ys, 10, 100, 20, 50, 0, 0, 0, -100);
    EXPECT_TRUE(pic.records().empty());
    DrawPolyline(pic, 3, xs, ys, 10, 100, 20, 50, 10, 0, 0, -100);
    ASSERT_EQ(pic.records().size(), 2u);
    EXPECT_EQ(pic.records()[0].at, (std::vector<double>{10, 20, 60, 45}));
    EXPECT_EQ(pic.records()[1].at, (std::vector<double>{60, 45, 110, 70}));
}
