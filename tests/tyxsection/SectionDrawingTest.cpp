// The section drawing on the control's state: contour lines, the colours of cells and
// legends, and the frames of sections that cannot be plotted.
#include "tyxsection/SectionDrawing.h"
#include "TyxFixture.h"
#include "gui/Picture.h"
#include "runtime/Color.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ScriptedUi.h"
#include "tyxsection/TyxMain.h"

#include <gtest/gtest.h>

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
    AddSection(m, 125, -7);
    AddSection(m, 102, -7);
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

    // Red contour pixels reach the visible picture through the AND of the layers.
    bool red = false;
    for (int y = 0; y < p.view.height() && !red; ++y)
        for (int x = 0; x < p.view.width() && !red; ++x)
            red = p.view.pixel(x, y) == 0x0000FF;
    EXPECT_TRUE(red);

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
  time = 0 ; depth = -10, 0 ; lat = 0, 1 ; lon = 0, 1, 2 ;
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
