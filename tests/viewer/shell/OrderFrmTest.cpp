// The order window's commands: building the picks from the selection, the step and level
// boxes, the checks and messages of Draw and Animate, next step, erase, section, the vector
// scale, the browse and picture-saving menus, the refusals while a long command runs, and the
// boxes the maps read.
#include "tests/viewer/OrderWinFixture.h"
#include "tests/viewer/shell/ListClicks.h"

#include "common/Strings.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "viewer/map/BusyGuard.h"
#include "viewer/map/CScale.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/section/OCXHost.h"
#include "viewer/shell/PickList.h"
#include "viewer/shell/PlotPicked.h"
#include "viewer/shell/URLList.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <unistd.h>

namespace {

using Strings = std::vector<std::string>;

const std::string kNoPick = "Please select variable first";
const std::string kRanks = "You picked a pair of items, but\r\nwith different ranks (number of "
                           "dimensions)\r\n\r\nPlease reseclect";
const std::string kTooMany = "You can plot only one item a time:\r\n\r\nScalar or pair of vector "
                             "components\r\n(as many when save)\r\n\r\nPlease reseclect";

class OrderFrmTest : public OrderWinFixture {
protected:
    // The regular fixture: 3 steps, 2 levels; entries temp (rank 4), mask (2), swapped (3).
    void loadGrid() { load(RegularFixture(dir.file("grid.nc"))); }
    static Picture& map() { return PicFormForm().Picture1->picture(); }
    // True when the map picture holds a pixel that is neither white nor black (data drawn).
    static bool coloured() {
        const Picture& pic = map();
        for (int y = 0; y < pic.height(); ++y)
            for (int x = 0; x < pic.width(); ++x) {
                const Long c = pic.pixel(x, y);
                if (c != 0xFFFFFF && c != 0) return true;
            }
        return false;
    }
};

// A scripted Ui whose event pumps run the test's own step: where the user's events come in
// while an animation runs.
struct PumpingUi : ScriptedUi {
    std::function<void()> pump;
    void DoEvents() override {
        ScriptedUi::DoEvents();
        if (pump) pump();
    }
};

TEST_F(OrderFrmTest, PicksFollowTheSelectionFromTheTop) {
    loadGrid();
    OrderFrm& f = order();
    Data.Picks.ReDim(1, 1);
    Data.Picks(1) = PickItem{42, 1, 1};
    Data.PickCount = 1;
    select({});
    EXPECT_FALSE(BuildPicks());
    EXPECT_EQ(messages(), Strings{kNoPick});
    EXPECT_EQ(Data.PickCount, 0);
    EXPECT_EQ(Data.Picks(1).varNumber, 42); // left as it was

    select({2, 0});
    ASSERT_TRUE(BuildPicks());
    ASSERT_EQ(Data.PickCount, 2);
    EXPECT_EQ(Data.Picks(1).varNumber, 5); // temp
    EXPECT_EQ(Data.Picks(1).narray, 4);
    EXPECT_EQ(Data.Picks(2).varNumber, 10); // swapped
    EXPECT_EQ(Data.Picks(2).narray, 3);
    EXPECT_EQ(Data.Picks(2).datasetIndex, 1);
    (void)f;
}

TEST_F(OrderFrmTest, StepAndLevelBoxesAreRoundedAndClamped) {
    loadGrid(); // 3 steps, 2 levels
    OrderFrm& f = order();
    const std::vector<std::pair<std::string, Long>> steps = {
        {"0", 1},   {"", 1},   {"abc", 1}, {"-4", 1},   {"2.5", 2}, {"1.5", 2},
        {"3.5", 3}, {"99", 3}, {" 2", 2},  {"2: x", 2}, {"2 9", 3}};
    for (const auto& [box, step] : steps) {
        Data.CurTimeStep = 77;
        f.Text10[0]->setText(qtText(box));
        f.Text10[1]->setText(qtText(box));
        TakeStepAndLevel();
        EXPECT_EQ(Data.CurTimeStep, step) << box;
        EXPECT_EQ(Data.CurLevel, std::min<Long>(step, 2)) << box;
    }
    // A box whose number overflows is passed over: the step stays.
    Data.CurTimeStep = 2;
    f.Text10[0]->setText("1e20");
    TakeStepAndLevel();
    EXPECT_EQ(Data.CurTimeStep, 2);
    EXPECT_TRUE(messages().empty());
}

TEST_F(OrderFrmTest, WithoutATimeAxisTheStepStaysAndNextStepDrawsStepOne) {
    load(sample("gmt_grid.nc"));
    ASSERT_EQ(Data.clsNC->nTime(1), 0);
    OrderFrm& f = order();
    Data.CurTimeStep = 5;
    f.Text10[0]->setText("2");
    TakeStepAndLevel();
    EXPECT_EQ(Data.CurTimeStep, 5);
    select({0});
    f.Command6_Click(0);
    EXPECT_EQ(Data.CurTimeStep, 1);
    EXPECT_EQ(text(f.Text10[0]), " 1");
    f.Command6_Click(0);
    EXPECT_EQ(Data.CurTimeStep, 1);
}

TEST_F(OrderFrmTest, DrawAndAnimateCheckThePicks) {
    load(sample("fv_mesh.nc")); // code(node), zeta(time, nele), temp, u, v (time, layer, nele),
                                // lon, lat (nele)
    OrderFrm& f = order();
    struct Case {
        std::vector<Long> selected;
        Strings boxes;
    };
    const std::vector<Case> cases = {
        {{}, {kNoPick}},
        {{0, 1}, {kRanks}},
        {{0, 1, 2, 3}, {kTooMany}},
        {{0, 1, 2, 3, 4}, {kTooMany}},
    };
    for (Integer command : {0, 1}) {
        for (const Case& c : cases) {
            select(c.selected);
            ui.boxes.clear();
            map().Cls();
            if (command == 0)
                f.Command1_Click(0);
            else
                f.Command6_Click(1);
            EXPECT_EQ(messages(), c.boxes) << command << " picks " << c.selected.size();
            EXPECT_FALSE(coloured());
        }
    }
}

TEST_F(OrderFrmTest, DrawPlotsThePickAtTheBoxesStepOverThePicture) {
    loadGrid();
    OrderFrm& f = order();
    EXPECT_FALSE(PicFormForm().isVisible());
    select({0});
    f.Text10[0]->setText("3");
    f.Text10[1]->setText("2");
    f.Command1_Click(0);
    EXPECT_EQ(Data.CurTimeStep, 3);
    EXPECT_EQ(Data.CurLevel, 2);
    EXPECT_TRUE(PicFormForm().isVisible());
    EXPECT_TRUE(coloured());
    EXPECT_EQ(messages(), Strings{});
    // A double click in the list draws as well, over what the picture holds.
    map().setRecording(true);
    f.List1_DblClick();
    bool cleared = false;
    for (const DrawRecord& r : map().records())
        cleared = cleared || r.kind == DrawKind::Cls;
    EXPECT_FALSE(cleared);
    EXPECT_FALSE(map().records().empty());
}

TEST_F(OrderFrmTest, NextStepWrapsAfterTheLastStep) {
    loadGrid();
    OrderFrm& f = order();
    select({0});
    Data.CurTimeStep = 2;
    f.Command6_Click(0);
    EXPECT_EQ(Data.CurTimeStep, 3);
    EXPECT_EQ(text(f.Text10[0]), " 3");
    f.Command6_Click(0);
    EXPECT_EQ(Data.CurTimeStep, 1);
    EXPECT_EQ(text(f.Text10[0]), " 1");
    EXPECT_TRUE(coloured());
}

// Space on the variable list, as the user presses it.
void pressSpace(QListWidget* list) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
    QCoreApplication::sendEvent(list, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " ");
    QCoreApplication::sendEvent(list, &release);
}

// The one variable a dataset offers comes picked; clicking it (or Space on it) keeps it
// picked, so Draw draws it. Where the list holds more, a click on a picked entry still takes
// it away.
TEST_F(OrderFrmTest, TheOnlyVariableStaysPickedWhenClicked) {
    NcBuilder nc(dir.file("one.nc"));
    nc.dim("time", 2);
    nc.dim("lat", 3);
    nc.dim("lon", 4);
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({10, 11, 12});
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values({20, 21, 22, 23});
    nc.var("time", NC_DOUBLE, {"time"}).att("units", "days since 2000-01-01").values({0, 1});
    nc.var("sst", NC_FLOAT, {"time", "lat", "lon"}).values(std::vector<double>(24, 15.0));
    load(nc.write());
    OrderFrm& f = order();
    f.show();
    QCoreApplication::processEvents();
    ASSERT_EQ(f.ListCount(), 1);
    ASSERT_EQ(selection(), std::vector<Long>{0});

    for (int click = 0; click < 2; ++click) {
        ClickEntry(f.List1, 0);
        EXPECT_EQ(selection(), std::vector<Long>{0}) << "click " << click;
    }
    pressSpace(f.List1);
    EXPECT_EQ(selection(), std::vector<Long>{0});
    f.Command1_Click(0);
    EXPECT_EQ(messages(), Strings{});
    EXPECT_EQ(Data.PickCount, 1);
    EXPECT_TRUE(coloured());

    loadGrid();
    OrderFrm& g = order();
    g.show();
    QCoreApplication::processEvents();
    ASSERT_GT(g.ListCount(), 1);
    select({0});
    ClickEntry(g.List1, 0);
    EXPECT_EQ(selection(), std::vector<Long>{});
}

// Load clicked while an animation runs loads nothing: the entry goes back to the dataset on
// show and a box says why, and the animation runs on to its end.
TEST_F(OrderFrmTest, LoadDuringAnAnimationSaysWhyAndKeepsTheEntry) {
    loadGrid();
    const std::string shown = Data.clsNC->FName(Data.nNcMain);
    MainForm& main = mainForm();
    main.setComboText(shown);
    const std::string other = sample("regular_global.nc");

    PumpingUi pumping;
    ScopedUi scoped(pumping);
    int pumps = 0;
    pumping.pump = [&] {
        if (!IsBusy() || ++pumps != 1) return;
        main.setComboText(other);
        SetCurrentEntry(other); // as leaving the box does
        main.cmdLoad->click();
    };
    OrderFrm& f = order();
    select({0});
    f.Text10[0]->setText("1");
    f.Command6_Click(1);
    EXPECT_EQ(Data.CurTimeStep, 3);
    ASSERT_GE(pumps, 1);
    ASSERT_NE(Data.clsNC, nullptr);
    EXPECT_EQ(Data.clsNC->FName(Data.nNcMain), shown);
    EXPECT_EQ(main.comboText(), shown);
    EXPECT_EQ(CurrentEntry(), shown);
    ASSERT_EQ(pumping.boxes.size(), 1u);
    EXPECT_EQ(pumping.boxes[0].text, kLoadRefusedText);
    EXPECT_TRUE(coloured());
}

TEST_F(OrderFrmTest, AnimateKeepsTheLastStepDrawn) {
    loadGrid();
    OrderFrm& f = order();
    select({0});
    f.Text10[0]->setText("1");
    Data.CurTimeStep = 1;
    f.Command6_Click(1);
    EXPECT_EQ(Data.CurTimeStep, 3);
    EXPECT_TRUE(PicFormForm().isVisible());
}

// During an animation the user presses on the map and resizes it: the press leaves the steps'
// mode and colours alone; the resize redraws the frame at the new size between two steps, the
// animation goes on into the resized picture, and its last step stays on the map.
TEST_F(OrderFrmTest, AnAnimationIsNotDisturbedByThePressAndTheResizeOfItsMap) {
    loadGrid();
    PicForm& m = PicFormForm();
    m.resize(400, 300);
    for (int i = 0; i < 3; ++i)
        PicForm_Form_Resize();
    ASSERT_EQ(View.MouseState, kMouseZoom);

    // The event pumps of the animation are where the user's events come in.
    PumpingUi pumping;
    ScopedUi scoped(pumping);
    int pumps = 0;
    std::vector<std::string> trouble;
    bool colouredAfterResize = false;
    pumping.pump = [&] {
        if (!IsBusy()) return;
        Picture& pic = m.Picture1->picture();
        ++pumps;
        if (pumps > 1) {
            // The step drawn after the resize fills the new picture through its transform.
            if (pic.width() != 320 || pic.height() != 240) trouble.push_back("old size drawn");
            if (View.MapPicHeight != 240) trouble.push_back("old transform");
            colouredAfterResize = colouredAfterResize || coloured();
            return;
        }
        if (pic.width() != 400 || pic.height() != 300) trouble.push_back("resized too soon");
        const int mode = pic.DrawMode();
        const Long fore = pic.ForeColor(), fill = pic.FillColor();
        const QPointF p(100, 100);
        QMouseEvent press(QEvent::MouseButtonPress, p, p, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(m.Picture1, &press);
        if (pic.DrawMode() != mode || pic.ForeColor() != fore || pic.FillColor() != fill)
            trouble.push_back("mode or colours changed by the press");
        m.resize(320, 240);
        QCoreApplication::processEvents();
        if (m.width() != 320) trouble.push_back("the window was not resized");
        // The frame at the new size, under the loop: no cells until its next step.
        if (pic.width() != 320 || pic.height() != 240) trouble.push_back("frame not resized");
        if (coloured()) trouble.push_back("the old step left in the resized frame");
        if (pic.DrawMode() != mode) trouble.push_back("mode changed by the resize");
    };

    OrderFrm& f = order();
    select({0});
    f.Text10[0]->setText("1");
    f.Command6_Click(1);
    EXPECT_EQ(Data.CurTimeStep, 3);
    EXPECT_GE(pumps, 2);
    EXPECT_TRUE(trouble.empty()) << trouble.front();
    EXPECT_TRUE(colouredAfterResize);

    // Nothing waits to redraw the map once the animation has ended: its last step stays.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(map().width(), 320);
    EXPECT_EQ(map().height(), 240);
    EXPECT_TRUE(coloured());
    EXPECT_EQ(f.Text10[0]->text().toStdString(), " 3");
    EXPECT_EQ(View.MouseState, kMouseZoom);
    EXPECT_TRUE(pumping.boxes.empty());
}

// The time-range button releases the dataset: the map and order windows close with it (the map
// keeps its place), and the next load's Plot opens windows that draw again.
TEST_F(OrderFrmTest, TheTimeRangeButtonClosesTheWindowsOfTheDataset) {
    const std::string grid = RegularFixture(dir.file("grid.nc"));
    load(grid);
    mainForm().Command2_Click(0);
    ASSERT_TRUE(PicFormForm().isVisible());
    ASSERT_TRUE(order().isVisible());
    select({0});
    order().Command1_Click(0);
    ASSERT_TRUE(coloured());

    mainForm().setComboText(grid);
    mainForm().cmdStartEnd_Click();
    EXPECT_NE(programText(mainForm().Text2->text()), "");
    EXPECT_FALSE(PicFormLoaded());
    EXPECT_FALSE(OrderFrmLoaded());
    EXPECT_NE(GetString("Pic width", "position", Opt.IniFile), "");
    EXPECT_TRUE(messages().empty());

    load(grid);
    mainForm().Command2_Click(0);
    select({0});
    order().Command1_Click(0);
    EXPECT_TRUE(coloured());
    EXPECT_TRUE(messages().empty());
}

// Esc stops an animation whichever window has the focus: the order window whose Animate was
// clicked (its button or its list), the main window; the animation ends after the step drawn.
TEST_F(OrderFrmTest, EscReleasedInAnyWindowStopsTheAnimation) {
    loadGrid();
    PumpingUi pumping;
    ScopedUi scoped(pumping);
    OrderFrm& f = order();
    const struct {
        const char* where;
        QWidget* widget;
    } targets[] = {
        {"Animate button", f.Command6[1]},
        {"variable list", f.List1},
        {"main window", &mainForm()},
    };
    for (const auto& t : targets) {
        SCOPED_TRACE(t.where);
        int pumps = 0;
        pumping.pump = [&] {
            if (++pumps != 1) return;
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(t.widget, &release);
        };
        PicFormForm().setCaption("");
        select({0});
        f.Text10[0]->setText("1");
        f.Command6_Click(1);
        EXPECT_EQ(Data.CurTimeStep, 2);
        EXPECT_EQ(PicFormForm().caption(), "Drawing Coastline: Canceled");
        EXPECT_EQ(Anim.CancelFlag, 0);
    }
    // Another key goes by; an Esc released while nothing runs stops no later animation.
    int pumps = 0;
    pumping.pump = [&] {
        ++pumps;
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier);
        QCoreApplication::sendEvent(f.List1, &release);
    };
    QKeyEvent idleEsc(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(f.List1, &idleEsc);
    f.Text10[0]->setText("1");
    f.Command6_Click(1);
    EXPECT_GE(pumps, 2);
    EXPECT_EQ(Data.CurTimeStep, 3);
    EXPECT_TRUE(pumping.boxes.empty());
}

// The window opens within the screen and scrolls where the screen is too small; its lists,
// boxes, buttons and labels keep sizes from the font, whatever the scale (this test runs
// again with QT_SCALE_FACTOR=2, where the screen is half as wide in the window's units).
TEST_F(OrderFrmTest, TheWindowAndItsListsFitTheScreenAndTheFont) {
    NcBuilder nc(dir.file("names.nc"));
    nc.dim("time", 2);
    nc.dim("lat", 2);
    nc.dim("lon", 2);
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({1, 2});
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values({1, 2});
    nc.var("time", NC_DOUBLE, {"time"}).att("units", "days since 2000-01-01").values({0, 1});
    nc.var("sea_surface_temperature_anomaly", NC_FLOAT, {"time", "lat", "lon"})
        .values(std::vector<double>(8, 1.0));
    load(nc.write());
    OrderFrm& f = order();
    f.show();
    QCoreApplication::processEvents();

    const QRect screen = f.screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(f.frameGeometry()));

    QListWidget* list = f.List1;
    ASSERT_GT(list->count(), 0);
    const QFontMetrics fm = list->fontMetrics();
    EXPECT_GE(list->viewport()->height(), 6 * list->sizeHintForRow(0));
    for (int i = 0; i < list->count(); ++i)
        EXPECT_GE(list->viewport()->width(), fm.horizontalAdvance(list->item(i)->text()))
            << programText(list->item(i)->text());
    EXPECT_GE(f.Text1->viewport()->height(), 4 * f.Text1->fontMetrics().lineSpacing());

    const int frame = f.style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 2;
    auto fits = [&](const QLineEdit* box, const char* text) {
        return box->width() >= box->fontMetrics().horizontalAdvance(text) + 2 * frame;
    };
    for (std::size_t row = 0; row < 4; ++row) {
        for (const QLineEdit* box :
             {f.Text5[row], f.Text6[row], f.Text3[row], f.Text7[row], f.Text11[row]})
            EXPECT_TRUE(fits(box, "123456")) << row << " " << box->width();
        EXPECT_TRUE(fits(f.Text4[row], "latitude")) << row;
    }
    for (const QLineEdit* box : f.Text9)
        EXPECT_TRUE(fits(box, "1 to 99999"));
    for (const QLineEdit* box : f.Text10)
        EXPECT_TRUE(fits(box, "123456"));
    for (const QPushButton* b : f.findChildren<QPushButton*>()) {
        EXPECT_GE(b->width(), b->minimumSizeHint().width()) << programText(b->text());
        EXPECT_GE(b->height(), b->minimumSizeHint().height()) << programText(b->text());
    }
    for (const QLabel* l : f.findChildren<QLabel*>())
        EXPECT_GE(l->width(), l->minimumSizeHint().width()) << programText(l->text());
}

TEST_F(OrderFrmTest, EraseClearsThePictureAndKeepsThePicks) {
    loadGrid();
    OrderFrm& f = order();
    select({0});
    f.Command1_Click(0);
    ASSERT_TRUE(coloured());
    const Long picks = Data.PickCount;
    select({});
    f.Command1_Click(2);
    EXPECT_FALSE(coloured());
    EXPECT_EQ(Data.PickCount, picks);
    EXPECT_TRUE(messages().empty());
}

TEST_F(OrderFrmTest, SectionStartsAPathWithTheHostWindowUpAndSaveNeedsAPick) {
    // A plain widget stands for the control: the host window is what counts here.
    struct PlainControl {
        TyxControlMaker before = SetTyxControlMaker(
            [](QWidget* parent, std::string&) -> QWidget* { return new QWidget(parent); });
        ~PlainControl() { SetTyxControlMaker(before); }
    } plain;
    loadGrid(); // has levels
    OrderFrm& f = order();
    select({});
    f.Command1_Click(3);
    f.Command1_Click(1);
    EXPECT_EQ(messages(), (Strings{kNoPick, kNoPick}));
    EXPECT_TRUE(ui.fileDialogs.empty());
    EXPECT_FALSE(OCXHostLoaded());
    ui.boxes.clear();

    // The host window up, the map picking a new path with the cross pointer.
    View.SectionPathCount = 2;
    select({0});
    f.Command1_Click(3);
    EXPECT_TRUE(messages().empty());
    ASSERT_TRUE(OCXHostLoaded());
    EXPECT_TRUE(OCXHostForm().isVisible());
    EXPECT_EQ(View.MouseState, kMouseSectionPath);
    EXPECT_EQ(View.SectionPathCount, 0);
    EXPECT_EQ(ui.MousePointer(), kPointerCross);

    UnloadOrderFrm();
    UnloadOCXHost();
    View.MouseState = kMouseZoom;
    load(sample("regular_global.nc"));
    ASSERT_GE(Data.clsNC->kMax(1), 1);
    load(sample("bfg_coastal.nc"));
    ASSERT_LT(Data.clsNC->kMax(1), 1);
    select({0});
    order().Command1_Click(3);
    EXPECT_EQ(messages(), Strings{"This File does not have vertical structure"});
    EXPECT_FALSE(OCXHostLoaded());
    EXPECT_EQ(View.MouseState, kMouseZoom);
}

TEST_F(OrderFrmTest, VectorScaleButtonsScaleStoreAndRedraw) {
    loadGrid();
    OrderFrm& f = order();
    struct Case {
        float before;
        Integer button;
        float after;
        std::string stored;
    };
    const std::vector<Case> cases = {{0, 0, 1.0f, " 1"},
                                     {0, 1, 1.0f, " 1"},
                                     {1, 1, 1.5f, " 1.5"},
                                     {1, 0, 0.5f, " .5"},
                                     {-3, 1, 1.0f, " 1"}};
    for (const Case& c : cases) {
        Opt.vscale = c.before;
        select({0});
        f.Command5_Click(c.button);
        EXPECT_FLOAT_EQ(Opt.vscale, c.after);
        EXPECT_EQ(GetString("vscale", "Scales", Opt.IniFile), Trim(c.stored));
    }
    EXPECT_TRUE(coloured());
    EXPECT_TRUE(messages().empty());

    // Without picks the scale still changes, is stored and the picture cleared.
    Opt.vscale = 2;
    select({});
    f.Command5_Click(1);
    EXPECT_FLOAT_EQ(Opt.vscale, 3.0f);
    EXPECT_FALSE(coloured());
    EXPECT_EQ(messages(), Strings{kNoPick});
}

TEST_F(OrderFrmTest, BrowseForTheTarget) {
    loadGrid();
    OrderFrm& f = order();
    PutString("local nc", "FilePath", Opt.IniFile, "/data/old/sub.nc");
    ui.fileAnswers.push_back(""); // cancelled
    f.Command2_Click();
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    EXPECT_EQ(ui.fileDialogs[0].request.initDir, "/data/old");
    EXPECT_EQ(ui.fileDialogs[0].request.fileName, "sub.nc");
    EXPECT_EQ(ui.fileDialogs[0].request.filter, "NetCDF file(*.nc)|*.nc|All files(*.*)|*.*");
    EXPECT_EQ(text(f.Text2), "");

    ui.fileAnswers.push_back("/data/new/a.nc");
    f.Command2_Click();
    EXPECT_EQ(text(f.Text2), "/data/new/a.nc");
    EXPECT_EQ(GetString("local nc", "FilePath", Opt.IniFile), "/data/new/a.nc");
    // The box's text is the next start.
    ui.fileAnswers.push_back("");
    f.Command2_Click();
    EXPECT_EQ(ui.fileDialogs.back().request.initDir, "/data/new");
}

TEST_F(OrderFrmTest, SavePicWritesTheMapAsBmp) {
    loadGrid();
    OrderFrm& f = order();
    select({0});
    f.Command1_Click(0);
    const std::string path = dir.file("map.bmp");
    ui.fileAnswers.push_back(path);
    f.SaveBmp_Click();
    EXPECT_EQ(ui.fileDialogs.back().request.filter, "BMP files|*.BMP");
    EXPECT_EQ(GetString("BMP", "FilePath", Opt.IniFile), path);
    QImage saved(QString::fromStdString(path));
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.width(), map().width());
    EXPECT_EQ(saved.pixel(200, 150) & 0xFFFFFF, map().image().pixel(200, 150) & 0xFFFFFF);

    // A cancelled dialog changes nothing; a folder that does not exist is reported.
    ui.fileAnswers.push_back("");
    f.SaveBmp_Click();
    EXPECT_EQ(GetString("BMP", "FilePath", Opt.IniFile), path);
    const std::string bad = dir.file("none/map.bmp");
    ui.fileAnswers.push_back(bad);
    f.SaveBmp_Click();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].rfind("[SaveBmp] Picture not saved:\r\n" + bad + "\r\n", 0), 0u)
        << messages()[0];
    EXPECT_FALSE(std::filesystem::exists(bad));
}

// A picture is never written over an open dataset, however the target is spelt: a clear
// message, nothing written, the stored picture path kept.
TEST_F(OrderFrmTest, SavePicRefusesAnOpenDataset) {
    const std::string grid = RegularFixture(dir.file("grid.nc"));
    const std::string second = dir.file("grid_v.nc");
    std::filesystem::copy_file(grid, second);
    load(grid, second);
    ASSERT_GE(Data.nNcSecond, 2);
    std::filesystem::create_symlink(grid, dir.file("link.bmp"));
    ASSERT_EQ(::link(second.c_str(), dir.file("hard.bmp").c_str()), 0);
    std::filesystem::create_directory(dir.file("sub"));
    PutString("BMP", "FilePath", Opt.IniFile, "/pictures/kept.bmp");
    const std::string gridBytes = readFile(grid);
    const std::string secondBytes = readFile(second);
    const std::string folder = dir.path().string();

    OrderFrm& f = order();
    select({0});
    f.Command1_Click(0);
    const std::vector<std::string> targets = {
        grid,
        folder + "/./grid.nc",
        folder + "/sub/../grid.nc",
        folder + "\\grid.nc",
        dir.file("link.bmp"),
        second,
        dir.file("hard.bmp"),
    };
    for (const std::string& target : targets) {
        ui.boxes.clear();
        ui.fileAnswers.push_back(target);
        f.SaveBmp_Click();
        ASSERT_EQ(messages().size(), 1u) << target;
        EXPECT_EQ(messages()[0], "[SaveBmp] Picture not saved:\r\n" + target +
                                     "\r\nThis file is one of the open datasets; choose another "
                                     "name.");
        EXPECT_EQ(GetString("BMP", "FilePath", Opt.IniFile), "/pictures/kept.bmp");
    }
    EXPECT_EQ(readFile(grid), gridBytes);
    EXPECT_EQ(readFile(second), secondBytes);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.bmp")));
    // Nothing else appeared beside them (no temporary left behind).
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Pelorin.ini", "grid.nc", "grid_v.nc", "hard.bmp",
                                               "link.bmp", "sub"}));

    // Another file is written as ever.
    ui.boxes.clear();
    ui.fileAnswers.push_back(dir.file("grid.bmp"));
    f.SaveBmp_Click();
    EXPECT_TRUE(messages().empty());
    EXPECT_FALSE(QImage(QString::fromStdString(dir.file("grid.bmp"))).isNull());
}

TEST_F(OrderFrmTest, LongCommandsAreRefusedWhileOneRuns) {
    loadGrid();
    OrderFrm& f = order();
    select({0});
    f.Command1_Click(0);
    ASSERT_TRUE(coloured());
    Data.CurTimeStep = 2;
    Opt.vscale = 4;
    {
        BusyGuard busy;
        select({});
        f.Command1_Click(0);
        f.Command1_Click(1);
        f.Command1_Click(3);
        f.Command6_Click(0);
        f.Command6_Click(1);
        f.Command5_Click(1);
        ui.fileAnswers.push_back(dir.file("busy.bmp"));
        f.SaveBmp_Click();
        EXPECT_TRUE(messages().empty());
        EXPECT_EQ(Data.CurTimeStep, 2);
        EXPECT_FLOAT_EQ(Opt.vscale, 4.0f);
        EXPECT_TRUE(ui.fileDialogs.empty());
        EXPECT_EQ(PlotPicked(1), -1);
        EXPECT_EQ(PlotPicked(3), -1);
        // Erase still acts.
        f.Command1_Click(2);
        EXPECT_FALSE(coloured());
        // The window stays while a drawing may still use its boxes.
        f.show();
        f.close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_TRUE(OrderFrmLoaded());
    }
    select({0});
    f.Command1_Click(0);
    EXPECT_TRUE(coloured());
    f.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(OrderFrmLoaded());
}

TEST_F(OrderFrmTest, ADatasetWithNothingToListOpensAnEmptyWindow) {
    NcBuilder nc(dir.file("coords.nc"));
    nc.dim("lat", 2);
    nc.dim("lon", 2);
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({10, 11});
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values({120, 121});
    load(nc.write());
    OrderFrm& f = order();
    EXPECT_EQ(f.ListCount(), 0);
    EXPECT_EQ(f.ListIndex(), -1);
    EXPECT_EQ(programText(f.Text1->toPlainText()), "");
    for (Integer i : {0, 1, 3})
        f.Command1_Click(i);
    f.Command6_Click(0);
    f.Command6_Click(1);
    EXPECT_EQ(messages(), Strings(5, kNoPick));
}

TEST_F(OrderFrmTest, TheMapsReadTheStrideAndStepBoxes) {
    loadGrid();
    OrderFrm& f = order();
    for (std::size_t i = 0; i < 4; ++i)
        f.Text11[i]->setText(qtText(std::to_string(i + 2)));
    for (Long d = 1; d <= 4; ++d)
        EXPECT_EQ(orderBoxes().StrideText(d), std::to_string(d + 1));
    EXPECT_EQ(orderBoxes().StrideText(5), "");
    EXPECT_EQ(orderBoxes().StrideText(0), "");
    orderBoxes().SetStepText(" 7");
    EXPECT_EQ(text(f.Text10[0]), " 7");
    EXPECT_EQ(orderBoxes().StepText(), " 7");

    // Once the window is gone the maps read empty boxes again.
    UnloadOrderFrm();
    EXPECT_EQ(&orderBoxes(), &defaultOrderBoxes());
}

} // namespace
