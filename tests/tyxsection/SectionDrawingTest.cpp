// The drawings on the control's state: the section's contour lines, the colours of cells and
// legends, and the frames of sections that cannot be plotted; the profiles' curves, colours
// and axes.
#include "tyxsection/SectionDrawing.h"
#include "TyxFixture.h"
#include "common/SectionGeometry.h"
#include "gui/Picture.h"
#include "runtime/Color.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ScriptedUi.h"
#include "tyxsection/ProfileDrawing.h"
#include "tyxsection/TyxMain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

// The control's four pictures, recording.
struct Pictures {
    Picture view{640, 480}, date{640, 480}, sect{640, 480}, cont{640, 480};
    Pictures() {
        testApp();
        for (Picture* p : {&view, &date, &sect, &cont})
            p->setRecording(true);
    }
    TyxPictures refs() { return TyxPictures{view, date, sect, cont}; }
    void clear() {
        for (Picture* p : {&view, &date, &sect, &cont})
            p->clearRecords();
    }
};

std::vector<DrawRecord> kindOf(const Picture& p, DrawKind kind) {
    std::vector<DrawRecord> out;
    for (const DrawRecord& r : p.records())
        if (r.kind == kind) out.push_back(r);
    return out;
}

// A model with the grid file open and a section along latitude -10.
void openRow(TyxModel& m, const TempDir& dir) {
    ASSERT_EQ(OpenDataset(m, writeGridFile(dir, "grid.nc")), 1) << m.ErrorMessage;
    NewSection(m);
    AddSection(m, 123, -9);
    AddSection(m, 102, -9);
    ASSERT_EQ(EndSection(m), 1) << m.ErrorMessage;
}

} // namespace

TEST(DrawVSection, ContourLinesInTheirColourAndWidth) {
    TempDir dir;
    InstalledScriptedUi ui;
    TyxModel m;
    openRow(m, dir);
    m.contour.ContourFlag = 1;
    m.contour.ContourColor = 0x0000FF;
    m.contour.ContourWidth = 0; // raised to 1
    Pictures p;
    TyxPictures refs = p.refs();
    ASSERT_TRUE(DrawCurrent(m, refs).IsEmpty()) << m.ErrorMessage;
    EXPECT_EQ(m.contour.ContourWidth, 1);

    // Values 0 to 302 along the row; the item's step of 60 gives levels 60 to 300.
    EXPECT_FLOAT_EQ(m.main.items.DrawAbleItem(1).step, 60);
    const std::vector<DrawRecord> lines = kindOf(p.cont, DrawKind::Line);
    ASSERT_FALSE(lines.empty());
    for (const DrawRecord& l : lines) {
        EXPECT_EQ(l.color, 0x0000FF);
        EXPECT_EQ(l.drawWidth, 1);
    }
    // Events run once before the plot and once after each line.
    EXPECT_GE(ui.doEventsCount, 2);
    EXPECT_EQ(p.cont.ForeColor(), 0);
    EXPECT_EQ(p.cont.DrawWidth(), 1);
    EXPECT_FALSE(p.cont.FontBold());

    // Contour pixels reach the visible picture through the AND of the layers: over the cells
    // (every level's band is coloured) each shows the red part of the cell beneath it.
    int red = 0;
    for (int y = 0; y < p.view.height(); ++y)
        for (int x = 0; x < p.view.width(); ++x) {
            if (p.cont.pixel(x, y) != 0x0000FF) continue;
            ++red;
            EXPECT_EQ(p.view.pixel(x, y), p.sect.pixel(x, y) & p.date.pixel(x, y) & 0x0000FF)
                << x << " " << y;
        }
    EXPECT_GT(red, 0);

    // Without contours the layer is only cleared.
    m.contour.ContourFlag = 0;
    p.clear();
    DrawHeld(m, refs);
    ASSERT_EQ(p.cont.records().size(), 1u);
    EXPECT_EQ(p.cont.records()[0].kind, DrawKind::Cls);
}

TEST(DrawVSection, EachDrawingStartsInBlack) {
    TempDir dir;
    InstalledScriptedUi ui;
    TyxModel m;
    openRow(m, dir);
    Pictures p;
    p.sect.setForeColor(QBColor(11));
    TyxPictures refs = p.refs();
    ASSERT_TRUE(DrawCurrent(m, refs).IsEmpty()) << m.ErrorMessage;
    const std::vector<DrawRecord> axes = kindOf(p.sect, DrawKind::Line);
    ASSERT_FALSE(axes.empty());
    for (const DrawRecord& l : axes)
        EXPECT_EQ(l.color, 0);
}

TEST(DrawVSection, LevelsWithoutDepthDrawTheFrameOnly) {
    TempDir dir;
    InstalledScriptedUi ui;
    const std::string path = cdlFile(dir, "flat.nc", R"(netcdf flat {
dimensions: time = 1 ; depth = 2 ; lat = 2 ; lon = 3 ;
variables:
  double time(time) ; time:units = "days since 2000-01-01" ;
  float depth(depth) ;
  float lat(lat) ; lat:units = "degrees_north" ;
  float lon(lon) ; lon:units = "degrees_east" ;
  float temp(time, depth, lat, lon) ;
data:
  time = 0 ; depth = 0, 0 ; lat = 0, 1 ; lon = 0, 1, 2 ;
  temp = 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 ;
}
)");
    TyxModel m;
    ASSERT_EQ(OpenDataset(m, path), 1) << m.ErrorMessage;
    NewSection(m);
    AddSection(m, 0.2f, 0.5f);
    AddSection(m, 2.8f, 0.5f);
    ASSERT_EQ(EndSection(m), 1) << m.ErrorMessage;
    m.contour.ContourFlag = 1;
    Pictures p;
    TyxPictures refs = p.refs();
    ASSERT_TRUE(DrawCurrent(m, refs).IsEmpty()) << m.ErrorMessage;
    // Header and legend, no cells, no axes, no contours, and no box about the scale.
    EXPECT_EQ(kindOf(p.sect, DrawKind::FilledBox).size(), 50u);
    EXPECT_TRUE(kindOf(p.sect, DrawKind::Line).empty());
    EXPECT_TRUE(kindOf(p.cont, DrawKind::Line).empty());
    EXPECT_EQ(kindOf(p.view, DrawKind::BitBlt).size(), 3u);
    EXPECT_TRUE(ui.boxes.empty());
}

namespace {

// The curves of a profile drawing: its lines of width 2, in drawing order.
std::vector<DrawRecord> curveLines(const Picture& p) {
    std::vector<DrawRecord> out;
    for (const DrawRecord& r : kindOf(p, DrawKind::Line))
        if (r.drawWidth == 2) out.push_back(r);
    return out;
}

std::vector<std::string> textsOf(const Picture& p) {
    std::vector<std::string> out;
    for (const DrawRecord& r : kindOf(p, DrawKind::Print))
        out.push_back(r.text);
    return out;
}

} // namespace

TEST(DrawProfiles, OneGraphCyclesThroughTheColoursThatShowOnWhite) {
    TempDir dir;
    InstalledScriptedUi ui;
    TyxModel m;
    ASSERT_EQ(OpenDataset(m, writeGridFile(dir, "grid.nc")), 1) << m.ErrorMessage;
    // Eight points zigzagging over the grid, each in a cell of its own.
    NewSection(m);
    for (const auto& [lon, lat] : std::initializer_list<std::pair<float, float>>{
             {102, -9}, {112, -9}, {122, -9}, {122, -4}, {112, -4}, {102, -4}, {102, 1}, {112, 1}})
        AddSection(m, lon, lat);
    ASSERT_EQ(EndSection(m), 1) << m.ErrorMessage;
    m.main.ViewStyle = 1;
    m.main.SingleGraph = 1;
    Pictures p;
    p.sect.setForeColor(QBColor(12));
    TyxPictures refs = p.refs();
    ASSERT_TRUE(DrawCurrent(m, refs).IsEmpty()) << m.ErrorMessage;

    // One panel; each point's label and its curve of three lines in the same colour.
    EXPECT_EQ(kindOf(p.sect, DrawKind::Box).size(), 1u);
    const std::vector<DrawRecord> curves = curveLines(p.sect);
    ASSERT_EQ(curves.size(), 8u * 3u);
    const std::vector<Long> colours = {9, 10, 11, 12, 13, 14, 9, 10};
    std::vector<DrawRecord> labels;
    for (const DrawRecord& r : kindOf(p.sect, DrawKind::Print))
        if (r.text.find('/') != std::string::npos) labels.push_back(r);
    ASSERT_EQ(labels.size(), 8u);
    for (std::size_t q = 0; q < 8; ++q) {
        for (std::size_t n = 0; n < 3; ++n)
            EXPECT_EQ(curves[q * 3 + n].color, QBColor(colours[q])) << q;
        EXPECT_EQ(labels[q].color, QBColor(colours[q])) << q;
        if (q > 0) {
            EXPECT_GT(labels[q].at[1], labels[q - 1].at[1]);
        }
    }
    // The frame and the axes in black, and the picture left in black for the next drawing.
    EXPECT_EQ(kindOf(p.sect, DrawKind::Box)[0].color, 0);
    EXPECT_EQ(p.sect.ForeColor(), 0);
    EXPECT_EQ(p.sect.DrawWidth(), 1);
    EXPECT_FALSE(p.date.FontBold());
    // The visible picture: the date layer and the profile layer combined.
    EXPECT_EQ(kindOf(p.view, DrawKind::BitBlt).size(), 2u);
}

TEST(DrawProfiles, APointWithoutACellOnTheSectionIsLeftOut) {
    TempDir dir;
    InstalledScriptedUi ui;
    TyxModel m;
    ASSERT_EQ(OpenDataset(m, writeGridFile(dir, "grid.nc")), 1) << m.ErrorMessage;
    NewSection(m);
    AddSection(m, 102, -9);
    AddSection(m, 123, -9);
    AddSection(m, 123, -4);
    ASSERT_EQ(EndSection(m), 1) << m.ErrorMessage;
    m.main.section.VertexCell(2) = 0;
    m.main.ViewStyle = 1;
    Pictures p;
    TyxPictures refs = p.refs();
    ASSERT_TRUE(DrawCurrent(m, refs).IsEmpty()) << m.ErrorMessage;
    // Two panels, for the first and the last point.
    EXPECT_EQ(kindOf(p.sect, DrawKind::Box).size(), 2u);
    const std::vector<std::string> texts = textsOf(p.sect);
    auto has = [&](const std::string& t) {
        return std::find(texts.begin(), texts.end(), t) != texts.end();
    };
    EXPECT_TRUE(has("100.00E/10.00S"));
    EXPECT_FALSE(has("120.00E/10.00S"));
    EXPECT_TRUE(has("120.00E/5.00S"));
    EXPECT_EQ(curveLines(p.sect).size(), 2u * 3u);

    // In one graph as well: two curves, two labels.
    m.main.SingleGraph = 1;
    p.clear();
    DrawHeld(m, refs);
    EXPECT_EQ(curveLines(p.sect).size(), 2u * 3u);
    EXPECT_EQ(kindOf(p.sect, DrawKind::Box).size(), 1u);
}

TEST(DrawProfileAxes, TicksAndLabelsOfBothAxes) {
    testApp();
    struct Case {
        float high, low, step, maxDepth;
        std::vector<std::string> values; // trimmed labels below the panel
        std::vector<std::string> depths; // trimmed labels right of it
    };
    const std::vector<Case> cases = {
        {20,
         10,
         2,
         750,
         {"10", "12", "14", "16", "18", "20"},
         {"0", "100", "200", "300", "400", "500", "600", "700"}},
        {1.5f, 0.5f, 0.5f, 60, {".5", "1", "1.5"}, {"0", "10", "20", "30", "40", "50", "60"}},
        // No value ticks without a step or a range; no depth ticks without a depth span.
        {20, 10, 0, 60, {}, {"0", "10", "20", "30", "40", "50", "60"}},
        {10, 10, 2, 60, {}, {"0", "10", "20", "30", "40", "50", "60"}},
        {20, 10, 5, 0, {"10", "15", "20"}, {}},
    };
    for (const Case& c : cases) {
        Picture pic(640, 480);
        pic.setRecording(true);
        const float px = 100, py = 50, w = 400, h = 300;
        DrawProfileAxes(pic, px, w, py, h, c.high, c.low, c.step, -1, 0, -c.maxDepth,
                        NiceStep(c.maxDepth), 1);
        const std::vector<DrawRecord> frame = kindOf(pic, DrawKind::Box);
        ASSERT_EQ(frame.size(), 1u);
        EXPECT_EQ(frame[0].at, (std::vector<double>{px, py, px + w, py + h}));
        std::vector<std::string> values, depths;
        for (const DrawRecord& r : kindOf(pic, DrawKind::Print)) {
            const std::string t = r.text.substr(r.text.find_first_not_of(' '));
            if (r.at[0] >= px + w)
                depths.push_back(t);
            else
                values.push_back(t);
        }
        EXPECT_EQ(values, c.values) << c.high << " " << c.low << " " << c.step;
        EXPECT_EQ(depths, c.depths) << c.maxDepth;
        // Two short ticks into the panel for every label.
        EXPECT_EQ(kindOf(pic, DrawKind::Line).size(), 2 * (c.values.size() + c.depths.size()));
    }
}
