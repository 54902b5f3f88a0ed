// The section through the real plug-in, as a user gets it: a grid with levels and time loaded,
// the order window's "Section" command, a diagonal path clicked on the map and ended with a
// double click, and the section drawn by the control in the host window.
#include "tests/viewer/OrderWinFixture.h"
#include "tests/viewer/SectionHooks.h"

#include "gui/LateBound.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"
#include "viewer/section/OCXHost.h"
#include "viewer/section/ShowTyxSection.h"

#include <QImage>
#include <QLabel>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#ifndef PELORIN_BIN_DIR
#error "PELORIN_BIN_DIR: the program's folder in the build, with the section plug-in"
#endif

namespace {

using Strings = std::vector<std::string>;

struct Pt {
    float x = 0, y = 0;
};

// temp(time, depth, lat, lon) over lon 100..130 by 10 and lat -10..0 by 5, 4 levels, 3 steps;
// value 2 t + 7 k + j + i (all from 0), within the default key's 0..33; salt(depth, lat, lon)
// and the surface field ssh(time, lat, lon) after it.
std::string SectionGrid(const std::string& path) {
    NcBuilder nc(path);
    nc.unlimitedDim("time", 3);
    nc.dim("depth", 4);
    nc.dim("lat", 3);
    nc.dim("lon", 4);
    nc.var("time", NC_DOUBLE, {"time"})
        .att("units", "days since 1990-01-01")
        .values({0.0, 31.0, 59.0});
    nc.var("depth", NC_FLOAT, {"depth"})
        .att("units", "m")
        .att("positive", "down")
        .values({5.0, 15.0, 30.0, 60.0});
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({-10.0, -5.0, 0.0});
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values({100, 110, 120, 130});
    std::vector<double> temp;
    for (int t = 0; t < 3; ++t)
        for (int k = 0; k < 4; ++k)
            for (int j = 0; j < 3; ++j)
                for (int i = 0; i < 4; ++i)
                    temp.push_back(2 * t + 7 * k + j + i);
    nc.var("temp", NC_FLOAT, {"time", "depth", "lat", "lon"})
        .att("long_name", "sea water temperature")
        .att("units", "degC")
        .values(temp);
    nc.var("salt", NC_FLOAT, {"depth", "lat", "lon"}).values(std::vector<double>(48, 34.0));
    nc.var("ssh", NC_FLOAT, {"time", "lat", "lon"}).values(std::vector<double>(36, 0.5));
    return nc.write();
}

class SectionLaunchTest : public OrderWinFixture {
protected:
    void SetUp() override {
        OrderWinFixture::SetUp();
        previousFolder_ = SetSectionResourceFolder(PELORIN_BIN_DIR);
    }
    void TearDown() override {
        OrderWinFixture::TearDown();
        SetSectionResourceFolder(previousFolder_);
    }

    // The grid loaded, temp picked, and "Section" pressed: the host window up with the
    // plug-in's control, whose pictures log what they draw.
    void startSection(const std::string& variable = "temp", const std::string& file = "grid.nc") {
        load(SectionGrid(dir.file(file)));
        const Strings list = entries();
        const auto temp = std::find_if(list.begin(), list.end(), [&](const std::string& e) {
            return e.find(": " + variable) != std::string::npos;
        });
        ASSERT_NE(temp, list.end());
        select({static_cast<Long>(temp - list.begin())});
        // The map window up first: a resize ends path picking.
        PicForm& map = PicFormForm();
        map.show();
        QApplication::processEvents();
        order().Command1_Click(3);
        ASSERT_TRUE(messages().empty()) << messages().front();
        ASSERT_TRUE(OCXHostLoaded());
        ASSERT_NE(control(), nullptr);
        ASSERT_EQ(View.MouseState, kMouseSectionPath);
        RecordControlPictures(control());
        InitMapScale(map.Picture1->picture());
    }

    static QWidget* control() { return OCXHostForm().control(); }
    static LateBound tyx() { return LateBound(control()); }

    // The mouse on the map at a position in degrees.
    static Pt at(float lon, float lat) {
        Pt p;
        EXPECT_EQ(ll2_to_xy2(lon, lat, p.x, p.y), 0);
        return p;
    }
    static void click(float lon, float lat) {
        const Pt p = at(lon, lat);
        ClickMap(p.x, p.y);
    }
    static void doubleClick(float lon, float lat) {
        const Pt p = at(lon, lat);
        DoubleClickMap(p.x, p.y);
    }

    static std::vector<ControlDrawn> boxes() {
        return ControlRecords(control(), "picSection", "FilledBox");
    }
    static bool has(const Strings& texts, const std::string& t) {
        return std::find(texts.begin(), texts.end(), t) != texts.end();
    }

private:
    std::string previousFolder_;
};

} // namespace

TEST_F(SectionLaunchTest, ADiagonalPathOnTheMapOpensItsSection) {
    startSection();
    if (HasFatalFailure()) return;
    click(102, -9);
    click(115, -5);
    doubleClick(128, -1);

    ASSERT_EQ(View.SectionPathCount, 3);
    EXPECT_NEAR(View.SectionPath(1).lon, 102, 0.5);
    EXPECT_NEAR(View.SectionPath(3).lat, -1, 0.5);
    EXPECT_EQ(View.MouseState, kMouseZoom);
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    EXPECT_TRUE(messages().empty()) << messages().front();
    EXPECT_TRUE(OCXHostForm().isVisible());
    EXPECT_EQ(control()->geometry(), OCXHostForm().rect());

    // The control's state: the first item, the vertical section, coloured by its own ramp.
    LateBound t = tyx();
    EXPECT_EQ(t.Call("ItemName", {Variant(Long{1})}).toString(), "temp");
    EXPECT_EQ(t.Get("DrawVerticalSection").toLong(), -1);
    EXPECT_EQ(t.Get("DrawProfile").toLong(), 0);
    EXPECT_EQ(t.Get("UseColorKey").toLong(), 0);
    EXPECT_EQ(t.Get("ErrorMessage").toString(), "");
    const Strings texts = ControlPrinted(control(), "picSection");
    EXPECT_TRUE(has(texts, "Data Set: grid.nc"));
    EXPECT_TRUE(has(texts, "sea water temperature [degC]"));
    EXPECT_EQ(ControlPrinted(control(), "picDateTime"), Strings{"Date/Time: 1990-01-01"});

    // Four bands of cells (each level's value down to the next level, the deepest as thick as
    // the layer above it) and the ramp's legend of 50 boxes: the lowest value at the ramp's
    // start, its palest colour, and so on screen.
    const std::vector<ControlDrawn> ramp = boxes();
    ASSERT_GT(ramp.size(), 50u + 4u);
    const std::size_t cells = (ramp.size() - 50) / 4;
    ASSERT_EQ(ramp.size(), 50 + 4 * cells);
    ASSERT_GE(cells, 3u);
    EXPECT_EQ(ramp[0].color, 0xF5F5F5);
    const QImage view = ControlImage(control(), "Picture1");
    EXPECT_EQ(view.size(), OCXHostForm().size());
    for (std::size_t n : {std::size_t{0}, cells - 1, 2 * cells, 4 * cells - 1}) {
        const ControlDrawn& b = ramp[n];
        const int x = static_cast<int>((b.at[0] + b.at[2]) / 2);
        const int y = static_cast<int>((b.at[1] + b.at[3]) / 2);
        EXPECT_EQ(RgbAt(view, x, y), b.color) << "box " << n;
    }
    EXPECT_NE(ramp[4 * cells - 1].color, ramp[0].color);

    // The default key is the control's: switched on, it colours the first cell (value 0) dark
    // blue and the third band of the first cell (14) in its fifth division.
    t.Let("UseColorKey", Variant(true));
    ASSERT_EQ(t.Get("UseColorKey").toLong(), -1);
    RecordControlPictures(control());
    t.Call("ReDraw");
    const std::vector<ControlDrawn> keyed = boxes();
    ASSERT_GE(keyed.size(), 4 * cells);
    EXPECT_EQ(keyed[0].color, 0xBD0000);
    EXPECT_EQ(keyed[2 * cells].color, 0xFFC8C8);
    // The bundled key file holds a key for the item.
    EXPECT_EQ(t.Call("KewFile", {Variant(SectionKeyFile())}).toLong(), 1);
    EXPECT_TRUE(messages().empty());
}

// A path the control cannot make a section of (one point, or no length) gets the control's
// message; nothing is drawn and the program goes on to the next path.
TEST_F(SectionLaunchTest, APathWithoutLengthGetsTheControlsMessage) {
    startSection();
    if (HasFatalFailure()) return;
    const std::string tooShort = "[MakeTyxSection] Section distance is too short, or input error";
    doubleClick(115, -5);
    ASSERT_EQ(View.SectionPathCount, 1);
    EXPECT_EQ(messages(), Strings{tooShort});
    EXPECT_TRUE(boxes().empty());

    ui.boxes.clear();
    order().Command1_Click(3);
    click(115, -5);
    doubleClick(115, -5);
    ASSERT_EQ(View.SectionPathCount, 2);
    EXPECT_EQ(View.SectionPath(1).lon, View.SectionPath(2).lon);
    EXPECT_EQ(messages(), Strings{tooShort});
    EXPECT_TRUE(boxes().empty());

    ui.boxes.clear();
    order().Command1_Click(3);
    click(102, -9);
    doubleClick(128, -1);
    EXPECT_TRUE(messages().empty()) << messages().front();
    EXPECT_FALSE(boxes().empty());
}

// The section shows the variable picked in the order window at the step the map shows, and
// says so in the host's caption; a path drawn after another dataset was loaded opens that one.
TEST_F(SectionLaunchTest, ThePickedVariableAtTheMapsStep) {
    startSection("salt");
    if (HasFatalFailure()) return;
    EXPECT_TRUE(OCXHostForm().hint()->isVisible());
    Data.CurTimeStep = 3;
    click(102, -9);
    doubleClick(128, -1);
    EXPECT_TRUE(messages().empty()) << messages().front();
    EXPECT_EQ(OCXHostForm().windowTitle().toStdString(), "OCXHost: salt, time step 3");
    EXPECT_FALSE(OCXHostForm().hint()->isVisible());
    EXPECT_EQ(ControlPrinted(control(), "picDateTime"), Strings{"Date/Time: 1990-03-01"});
    // salt is 34 everywhere: one colour in every cell.
    const std::vector<ControlDrawn> drawn = boxes();
    ASSERT_GT(drawn.size(), 50u);
    for (std::size_t n = 0; n + 50 < drawn.size(); ++n)
        EXPECT_EQ(drawn[n].color, drawn[0].color) << n;

    // temp at step 3: the values of the third step, 4 + 7 k + j + i.
    ui.boxes.clear();
    startSection("temp");
    if (HasFatalFailure()) return;
    // Loading the dataset again closed the host window: a new one says how to draw.
    EXPECT_TRUE(OCXHostForm().hint()->isVisible());
    Data.CurTimeStep = 3;
    click(100, -10);
    doubleClick(130, -10);
    EXPECT_TRUE(messages().empty()) << messages().front();
    EXPECT_EQ(OCXHostForm().windowTitle().toStdString(), "OCXHost: temp, time step 3");
    EXPECT_EQ(ControlPrinted(control(), "picDateTime"), Strings{"Date/Time: 1990-03-01"});
    // The legend spans the step's values: 4 at the first cell at the top to 4 + 21 + 3.
    const Strings texts = ControlPrinted(control(), "picSection");
    EXPECT_TRUE(has(texts, "28.00")) << ::testing::PrintToString(texts);

    // A variable without levels has no section: the control's first item stands in for it,
    // and the caption says so.
    ui.boxes.clear();
    startSection("ssh");
    if (HasFatalFailure()) return;
    Data.CurTimeStep = 2;
    click(100, -10);
    doubleClick(130, -10);
    EXPECT_TRUE(messages().empty()) << messages().front();
    EXPECT_EQ(OCXHostForm().windowTitle().toStdString(),
              "OCXHost: temp (ssh has no vertical section), time step 2");
    EXPECT_EQ(ControlPrinted(control(), "picDateTime"), Strings{"Date/Time: 1990-02-01"});

    // Another dataset loaded: its section, not the one the control held.
    ui.boxes.clear();
    startSection("temp", "other.nc");
    if (HasFatalFailure()) return;
    click(100, -10);
    doubleClick(130, -10);
    EXPECT_TRUE(messages().empty()) << messages().front();
    EXPECT_TRUE(has(ControlPrinted(control(), "picSection"), "Data Set: other.nc"));
}
