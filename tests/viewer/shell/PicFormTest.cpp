#include "viewer/shell/PicForm.h"

#include "tests/viewer/SectionHooks.h"
#include "tests/viewer/ViewerFixture.h"

#include "common/Strings.h"
#include "gui/Picture.h"
#include "gui/PictureWidget.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TempDir.h"
#include "viewer/map/BusyGuard.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"
#include "viewer/shell/FormColor.h"
#include "viewer/shell/FormIJ.h"
#include "viewer/shell/Ini_Win.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

#include <fstream>
#include <string>

namespace {

struct Pt {
    float x = 0, y = 0;
};

class PicFormTest : public ViewerFixture {
protected:
    void SetUp() override {
        ViewerFixture::SetUp();
        useSettings("[parameters]\r\nProjection=0\r\n");
        // What the loader leaves: the view and zoom record 0.
        View.ViewExtent = {0, 100, 0, 100};
        View.ZoomStack.ReDim(0, 0);
        View.ZoomStack(0) = View.ViewExtent;
        View.ZoomIndex = 0;
        setShowTyxSectionAction([this] {
            ++sections;
            sectionVertices = View.SectionPathCount;
        });
    }
    void TearDown() override {
        setShowTyxSectionAction({});
        // The map window goes without writing its place into the test's settings.
        if (PicFormLoaded()) {
            Opt.IniFile.clear();
            UnloadPicForm();
        }
        ViewerFixture::TearDown();
    }

    // The map window up and sized 400 x 400, past the resizes that follow its load, with the
    // frame drawn once and the picture's log on.
    PicForm& openForm() {
        PicForm& f = PicFormForm();
        f.resize(400, 400);
        for (int i = 0; i < 3; ++i)
            PicForm_Form_Resize();
        EXPECT_EQ(View.MouseState, kMouseZoom);
        pic().setRecording(true);
        pic().clearRecords();
        return f;
    }
    static Picture& pic() { return PicFormForm().Picture1->picture(); }

    static Pt at(float lon, float lat) {
        Pt p;
        EXPECT_EQ(ll2_to_xy2(lon, lat, p.x, p.y), 0);
        return p;
    }

    // Press at a, moves with the left button held in even steps to b, release at b.
    static void drag(Pt a, Pt b, int moves, Integer button = kLeftButton) {
        PicForm_Picture1_MouseDown(button, 0, a.x, a.y);
        for (int m = 1; m <= moves; ++m) {
            const float f = static_cast<float>(m) / static_cast<float>(moves);
            PicForm_Picture1_MouseMove(button, 0, a.x + f * (b.x - a.x), a.y + f * (b.y - a.y));
        }
        PicForm_Picture1_MouseUp(button, 0, b.x, b.y);
    }
    static void click(Pt a, Integer button = kLeftButton) {
        PicForm_Picture1_MouseDown(button, 0, a.x, a.y);
        PicForm_Picture1_MouseUp(button, 0, a.x, a.y);
    }

    static std::size_t count(DrawKind kind) { return recordsOf(pic(), kind).size(); }

    static void expectView(const ViewRec& v, double w, double e, double s, double n) {
        EXPECT_NEAR(v.West, w, 1e-3);
        EXPECT_NEAR(v.East, e, 1e-3);
        EXPECT_NEAR(v.South, s, 1e-3);
        EXPECT_NEAR(v.North, n, 1e-3);
    }

    int sections = 0;
    Long sectionVertices = -1;
};

// A drag of 5 moves or more zooms to the box whichever corner it starts from: a new zoom
// record, the picture cleared and the frame drawn for the new view, the copy mode back.
TEST_F(PicFormTest, ZoomBoxFromAnyCorner) {
    openForm();
    struct Case {
        float lon0, lat0, lon1, lat1;
    };
    const Case cases[] = {{20, 80, 60, 30}, {60, 30, 20, 80}, {20, 30, 60, 80}, {60, 80, 20, 30}};
    for (const Case& c : cases) {
        View.ViewExtent = View.ZoomStack(0);
        View.ZoomIndex = 0;
        InitMapScale(pic());
        pic().clearRecords();
        drag(at(c.lon0, c.lat0), at(c.lon1, c.lat1), 5);
        expectView(View.ViewExtent, 20, 60, 30, 80);
        EXPECT_EQ(View.ZoomIndex, 1);
        expectView(View.ZoomStack(1), 20, 60, 30, 80);
        EXPECT_EQ(count(DrawKind::Box), 10u); // each move erases the last box, draws the next
        EXPECT_EQ(count(DrawKind::Cls), 1u);
        EXPECT_EQ(pic().DrawMode(), kDrawCopyPen);
        // The new view fills the picture's height: its south edge maps near the bottom.
        const Pt sw = at(20, 30);
        EXPECT_NEAR(sw.y, 392, 1);
    }
    EXPECT_TRUE(ui.boxes.empty());
}

// Fewer than 5 moves is a click: the view stays and the last box stays drawn.
TEST_F(PicFormTest, ShortDragKeepsTheView) {
    openForm();
    const Pt a = at(20, 80), b = at(60, 30);
    drag(a, b, 4);
    expectView(View.ViewExtent, 0, 100, 0, 100);
    EXPECT_EQ(View.ZoomIndex, 0);
    EXPECT_EQ(count(DrawKind::Cls), 0u);
    EXPECT_EQ(pic().DrawMode(), kDrawCopyPen);
    EXPECT_EQ(pic().pixel(static_cast<int>(a.x + 10), pic().toPixel(a.y)), 0x000000);
}

// The rubber box is drawn in invert mode: the next move erases the box before.
TEST_F(PicFormTest, RubberBoxIsErasedByTheNextMove) {
    openForm();
    const Pt a = at(20, 80);
    PicForm_Picture1_MouseDown(kLeftButton, 0, a.x, a.y);
    EXPECT_EQ(pic().DrawMode(), kDrawInvert);
    PicForm_Picture1_MouseMove(kLeftButton, 0, a.x + 100, a.y + 100);
    const int xr = pic().toPixel(a.x + 100);
    const int ymid = pic().toPixel(a.y + 50);
    EXPECT_EQ(pic().pixel(xr, ymid), 0x000000);
    PicForm_Picture1_MouseMove(kLeftButton, 0, a.x + 50, a.y + 50);
    EXPECT_EQ(pic().pixel(xr, ymid), 0xFFFFFF);
    EXPECT_EQ(pic().pixel(pic().toPixel(a.x + 50), pic().toPixel(a.y + 25)), 0x000000);
    // A move with another button, or with no button, draws no box.
    pic().clearRecords();
    PicForm_Picture1_MouseMove(kLeftButton | kRightButton, 0, a.x + 60, a.y + 60);
    PicForm_Picture1_MouseMove(0, 0, a.x + 70, a.y + 70);
    EXPECT_EQ(count(DrawKind::Box), 0u);
}

// A double click goes back one zoom record, and at the first one widens it; the release that
// follows a double click never takes a zoom box, however the pointer moved.
TEST_F(PicFormTest, DoubleClickZoomsOutAndItsReleaseIsIgnored) {
    openForm();
    drag(at(20, 80), at(60, 30), 6);
    ASSERT_EQ(View.ZoomIndex, 1);

    // Down, up, double click, up: as the window system reports a double click.
    const Pt p = at(40, 50);
    click(p);
    pic().clearRecords();
    PicForm_Picture1_DblClick();
    expectView(View.ViewExtent, 0, 100, 0, 100);
    EXPECT_EQ(View.ZoomIndex, 0);
    EXPECT_EQ(count(DrawKind::Cls), 1u);
    for (int m = 1; m <= 8; ++m)
        PicForm_Picture1_MouseMove(kLeftButton, 0, p.x + 10 * m, p.y + 10 * m);
    PicForm_Picture1_MouseUp(kLeftButton, 0, p.x + 80, p.y + 80);
    EXPECT_EQ(count(DrawKind::Box), 0u);
    expectView(View.ViewExtent, 0, 100, 0, 100);
    EXPECT_EQ(View.ZoomIndex, 0);

    // At the first record: widened by a tenth on each side.
    click(p);
    PicForm_Picture1_DblClick();
    PicForm_Picture1_MouseUp(kLeftButton, 0, p.x, p.y);
    expectView(View.ViewExtent, -10, 110, -10, 110);
    EXPECT_TRUE(ui.boxes.empty());
}

// The section path: a vertex per release of the left or middle button, a rubber line in
// invert mode between them, the double click ends it and starts the section view; the zoom
// is untouched even though the last zoom box was dragged with many moves.
TEST_F(PicFormTest, SectionPathPickedAndEndedByDoubleClick) {
    openForm();
    drag(at(10, 90), at(90, 10), 8);
    ASSERT_EQ(View.ZoomIndex, 1);
    const ViewRec zoomed = View.ViewExtent;
    InitMapScale(pic());

    View.MouseState = kMouseSectionPath;
    View.SectionPathCount = 0;
    const Pt a = at(20, 20), b = at(60, 70), c = at(80, 30);
    pic().clearRecords();
    PicForm_Picture1_MouseMove(0, 0, a.x, a.y);
    EXPECT_EQ(count(DrawKind::Line), 0u); // nothing before the first press

    click(a);
    EXPECT_EQ(pic().DrawMode(), kDrawInvert);
    PicForm_Picture1_MouseMove(0, 0, b.x, b.y);
    EXPECT_EQ(count(DrawKind::Line), 2u);
    click(b, kMiddleButton);
    // A right click probes and adds no vertex.
    click(c, kRightButton);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Error interrogating cell");
    ui.boxes.clear();
    click(c);
    ASSERT_EQ(View.SectionPathCount, 3);

    double lon = 0, lat = 0;
    pix_to_ll(b.x, b.y, lon, lat);
    EXPECT_FLOAT_EQ(View.SectionPath(2).lon, static_cast<float>(lon));
    EXPECT_FLOAT_EQ(View.SectionPath(2).lat, static_cast<float>(lat));
    EXPECT_NEAR(View.SectionPath(3).lon, 80, 1e-3);
    EXPECT_NEAR(View.SectionPath(3).lat, 30, 1e-3);

    ui.pointerChanges.clear();
    PicForm_Picture1_DblClick();
    EXPECT_EQ(sections, 1);
    EXPECT_EQ(sectionVertices, 3);
    EXPECT_EQ(View.MouseState, kMouseZoom);
    EXPECT_EQ(pic().DrawMode(), kDrawCopyPen);
    EXPECT_EQ(ui.pointerChanges, (std::vector<int>{kPointerHourglass, kPointerDefault}));
    for (int m = 1; m <= 6; ++m)
        PicForm_Picture1_MouseMove(kLeftButton, 0, c.x - 10 * m, c.y - 10 * m);
    PicForm_Picture1_MouseUp(kLeftButton, 0, c.x - 60, c.y - 60);
    expectView(View.ViewExtent, zoomed.West, zoomed.East, zoomed.South, zoomed.North);
    EXPECT_EQ(View.ZoomIndex, 1);
    EXPECT_EQ(View.SectionPathCount, 3);
    EXPECT_TRUE(ui.boxes.empty());
}

// The mouse as Qt delivers it to the picture: a click is a press and a release; a double click
// is a press, a release, the double click and a release. The double click that ends a path
// adds its first click's vertex and no other, and zooms nothing, even after a zoom box dragged
// with many moves; in zoom mode the same gesture goes back one zoom.
TEST_F(PicFormTest, TheDoubleClickThatEndsAPathAddsNoVertexAndDoesNotZoom) {
    PicForm& f = openForm();
    f.show();
    auto sendAt = [](QEvent::Type type, Pt p) { SendMapMouse(type, p.x, p.y); };
    auto clickAt = [](Pt p) { ClickMap(p.x, p.y); };
    auto doubleClickAt = [](Pt p) { DoubleClickMap(p.x, p.y); };

    // A zoom box of many moves first.
    const Pt z0 = at(10, 90), z1 = at(90, 10);
    sendAt(QEvent::MouseButtonPress, z0);
    for (int m = 1; m <= 8; ++m)
        sendAt(QEvent::MouseMove, {z0.x + (z1.x - z0.x) * m / 8, z0.y + (z1.y - z0.y) * m / 8});
    sendAt(QEvent::MouseButtonRelease, z1);
    ASSERT_EQ(View.ZoomIndex, 1);
    const ViewRec zoomed = View.ViewExtent;
    InitMapScale(pic());

    View.MouseState = kMouseSectionPath;
    View.SectionPathCount = 0;
    const Pt a = at(20, 20), b = at(60, 70), c = at(80, 30);
    clickAt(a);
    SendMapMouse(QEvent::MouseMove, b.x, b.y, false);
    clickAt(b);
    SendMapMouse(QEvent::MouseMove, c.x, c.y, false);
    doubleClickAt(c);
    EXPECT_EQ(sections, 1);
    EXPECT_EQ(sectionVertices, 3);
    EXPECT_EQ(View.SectionPathCount, 3);
    EXPECT_NEAR(View.SectionPath(3).lon, 80, 0.5);
    EXPECT_NEAR(View.SectionPath(3).lat, 30, 0.5);
    EXPECT_EQ(View.MouseState, kMouseZoom);
    EXPECT_EQ(View.ZoomIndex, 1);
    expectView(View.ViewExtent, zoomed.West, zoomed.East, zoomed.South, zoomed.North);

    // Back in zoom mode the double click goes back to the first view; its clicks add nothing.
    doubleClickAt(c);
    EXPECT_EQ(View.ZoomIndex, 0);
    expectView(View.ViewExtent, 0, 100, 0, 100);
    EXPECT_EQ(View.SectionPathCount, 3);
    EXPECT_EQ(sections, 1);
    EXPECT_TRUE(ui.boxes.empty());
}

// Keys: every release stores its code in CancelFlag, Esc -1; Esc also ends a section path
// without a section; the arrow keys pan a third of the view in any mode and redraw.
TEST_F(PicFormTest, KeysCancelEndPathsAndPan) {
    openForm();
    PicForm_Picture1_KeyUp(kKeyEscape, 0);
    EXPECT_EQ(Anim.CancelFlag, -1);
    PicForm_Picture1_KeyUp(65, 0);
    EXPECT_EQ(Anim.CancelFlag, 65);
    PicForm_Picture1_KeyDown(kKeyEscape, 0);
    EXPECT_EQ(Anim.CancelFlag, 65);

    View.MouseState = kMouseSectionPath;
    View.SectionPathCount = 0;
    click(at(50, 50));
    ui.pointerChanges.clear();
    PicForm_Picture1_KeyUp(kKeyEscape, 0);
    EXPECT_EQ(Anim.CancelFlag, -1);
    EXPECT_EQ(View.MouseState, kMouseZoom);
    EXPECT_EQ(pic().DrawMode(), kDrawCopyPen);
    EXPECT_EQ(ui.pointerChanges, std::vector<int>{kPointerDefault});
    EXPECT_EQ(View.SectionPathCount, 1);
    EXPECT_EQ(sections, 0);

    struct Case {
        Integer key;
        double w, e, s, n;
    };
    const Case cases[] = {{kKeyLeft, -30, 60, 0, 60},
                          {kKeyRight, 30, 120, 0, 60},
                          {kKeyUp, 0, 90, 20, 80},
                          {kKeyDown, 0, 90, -20, 40}};
    for (Long mode : {kMouseZoom, kMouseSectionPath}) {
        for (const Case& c : cases) {
            View.MouseState = mode;
            View.ViewExtent = {0, 90, 0, 60};
            View.ZoomStack(0) = View.ViewExtent;
            View.ZoomIndex = 0;
            pic().clearRecords();
            PicForm_Picture1_KeyUp(c.key, 0);
            expectView(View.ViewExtent, c.w, c.e, c.s, c.n);
            expectView(View.ZoomStack(0), c.w, c.e, c.s, c.n);
            EXPECT_EQ(Anim.CancelFlag, c.key);
            EXPECT_EQ(count(DrawKind::Cls), 1u);
            EXPECT_EQ(View.MouseState, mode);
        }
    }
    EXPECT_TRUE(ui.boxes.empty());
}

// Before any dataset there is no zoom record: pans and zoom-out do nothing.
TEST_F(PicFormTest, NoZoomRecordNoPanNoZoomOut) {
    openForm();
    View.ZoomStack.Erase();
    View.ViewExtent = {0, 100, 0, 100};
    PicForm_Picture1_KeyUp(kKeyLeft, 0);
    PicForm_Picture1_DblClick();
    expectView(View.ViewExtent, 0, 100, 0, 100);
    EXPECT_EQ(count(DrawKind::Cls), 0u);
    EXPECT_TRUE(ui.boxes.empty());
}

// The first two resizes after the load do nothing; from the third on the picture is cleared,
// fitted to the window and the frame drawn. A resize ends section-path picking.
TEST_F(PicFormTest, ResizesAfterLoadAndDuringAPath) {
    PicForm& f = PicFormForm();
    EXPECT_EQ(View.MouseState, kMouseLoading);
    f.resize(300, 200);
    pic().setRecording(true);
    PicForm_Form_Resize();
    PicForm_Form_Resize();
    EXPECT_EQ(View.MouseState, kMouseLoading + 2);
    EXPECT_TRUE(pic().records().empty());
    EXPECT_NE(pic().width(), 300);
    PicForm_Form_Resize();
    EXPECT_EQ(View.MouseState, kMouseZoom);
    EXPECT_EQ(pic().width(), 300);
    EXPECT_EQ(pic().height(), 200);
    EXPECT_EQ(count(DrawKind::Cls), 1u);

    View.MouseState = kMouseSectionPath;
    View.SectionPathCount = 0;
    click(at(50, 50));
    f.resize(320, 240);
    PicForm_Form_Resize();
    EXPECT_EQ(View.MouseState, kMouseZoom);
    EXPECT_EQ(pic().DrawMode(), kDrawCopyPen);
    EXPECT_EQ(pic().width(), 320);
    EXPECT_EQ(View.SectionPathCount, 1);
    EXPECT_EQ(sections, 0);

    // Any other mode goes to zoom mode on a left or middle release, not on a right one.
    View.MouseState = kMouseLoading + 1;
    PicForm_Picture1_MouseUp(kMiddleButton, 0, 10, 10);
    EXPECT_EQ(View.MouseState, kMouseZoom);
    EXPECT_TRUE(ui.boxes.empty());
}

// While a drawing runs, the mouse leaves the picture's mode and colours as the drawing set
// them: no zoom box, no path segment, no zoom-out or path end; the read-out and the probe go
// on. Once the drawing is over the mouse works as before.
TEST_F(PicFormTest, TheMouseLeavesADrawingUnderWayAlone) {
    openForm();
    const Pt a = at(20, 80), b = at(60, 30), c = at(40, 40);
    for (Long mode : {kMouseZoom, kMouseSectionPath}) {
        View.MouseState = mode;
        View.SectionPathCount = 0;
        // A press made before the drawing started, released during it, is dropped too.
        PicForm_Picture1_MouseDown(kLeftButton, 0, c.x, c.y);
        {
            BusyGuard drawing;
            // What a map drawing sets.
            pic().setDrawMode(kDrawMaskPen);
            pic().setForeColor(0x123456);
            pic().setFillColor(0x654321);
            pic().clearRecords();
            for (Integer button : {kLeftButton, kMiddleButton})
                drag(a, b, 8, button);
            click(c);
            PicForm_Picture1_DblClick();
            PicForm_Picture1_MouseUp(kLeftButton, 0, b.x, b.y);
            PicForm_Picture1_KeyUp(kKeyEscape, 0);
            EXPECT_EQ(pic().DrawMode(), kDrawMaskPen) << mode;
            EXPECT_EQ(pic().ForeColor(), 0x123456) << mode;
            EXPECT_EQ(pic().FillColor(), 0x654321) << mode;
            EXPECT_EQ(count(DrawKind::Box), 0u) << mode;
            EXPECT_EQ(count(DrawKind::Line), 0u) << mode;
            EXPECT_EQ(count(DrawKind::Cls), 0u) << mode;
            expectView(View.ViewExtent, 0, 100, 0, 100);
            EXPECT_EQ(View.ZoomIndex, 0);
            EXPECT_EQ(View.SectionPathCount, 0);
            EXPECT_EQ(sections, 0);
            // The pointer's position is still read out.
            const Pt p = at(5.25f, 41.25f);
            PicForm_Picture1_MouseMove(0, 0, p.x, p.y);
            EXPECT_EQ(PicFormForm().caption(), " 05.25000E  41.25000N");
        }
        pic().setDrawMode(kDrawCopyPen);
    }
    EXPECT_TRUE(ui.boxes.empty());

    View.MouseState = kMouseZoom;
    drag(a, b, 6);
    EXPECT_EQ(View.ZoomIndex, 1);
    expectView(View.ViewExtent, 20, 60, 30, 80);
}

// A resize while a drawing runs: the drawing goes on at the size it started with; once it has
// ended the resize step runs, as a resize does (picture fitted and cleared, frame drawn, a
// section path ended).
TEST_F(PicFormTest, AResizeDuringADrawingTakesEffectWhenItEnds) {
    PicForm& f = openForm();
    View.MouseState = kMouseSectionPath;
    View.SectionPathCount = 0;
    click(at(50, 50));
    {
        BusyGuard drawing;
        pic().setDrawMode(kDrawMaskPen);
        f.resize(300, 200);
        PicForm_Form_Resize();
        f.resize(320, 240);
        PicForm_Form_Resize();
        EXPECT_EQ(pic().width(), 400);
        EXPECT_EQ(pic().height(), 400);
        EXPECT_EQ(f.Picture1->width(), 400);
        EXPECT_EQ(count(DrawKind::Cls), 0u);
        EXPECT_EQ(View.MouseState, kMouseSectionPath);
        EXPECT_EQ(pic().DrawMode(), kDrawMaskPen);
        pic().Line(0, 0, 399, 399); // the drawing still reaches the whole picture
        EXPECT_EQ(pic().pixel(399, 399), 0x000000);
        {
            BusyGuard nested; // the end of an inner command is not the end of the drawing
        }
        QCoreApplication::processEvents();
        EXPECT_EQ(pic().width(), 400);
    }
    EXPECT_EQ(pic().width(), 400); // not from inside the command's end
    QElapsedTimer waited;
    waited.start();
    while (pic().width() == 400 && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(pic().width(), 320);
    EXPECT_EQ(pic().height(), 240);
    EXPECT_EQ(f.Picture1->width(), 320);
    EXPECT_EQ(count(DrawKind::Cls), 1u); // one resize step for the two resizes
    EXPECT_EQ(View.MouseState, kMouseZoom);
    EXPECT_EQ(pic().DrawMode(), kDrawCopyPen);
    EXPECT_EQ(View.SectionPathCount, 1);

    // The first resizes after a load are skipped also while a drawing runs, and a window closed
    // meanwhile leaves no resize behind.
    UnloadPicForm();
    std::ofstream(Opt.IniFile) << "[parameters]\r\n"; // no stored geometry: no resizes at load
    {
        BusyGuard drawing;
        PicFormForm();
        PicForm_Form_Resize();
        EXPECT_EQ(View.MouseState, kMouseLoading + 1);
        PicForm_Form_Resize();
        PicForm_Form_Resize(); // this one waits
        EXPECT_EQ(View.MouseState, kMouseLoading + 2);
    }
    UnloadPicForm();
    std::ofstream(Opt.IniFile) << "[parameters]\r\n";
    PicFormForm();
    QCoreApplication::processEvents();
    EXPECT_EQ(View.MouseState, kMouseLoading);
    EXPECT_TRUE(ui.boxes.empty());
}

// The caption: "Picture Form" until the pointer moves, then the position; the time loops'
// cancel text through the caption sink.
TEST_F(PicFormTest, CaptionReadsThePointer) {
    PicForm& f = openForm();
    EXPECT_EQ(f.caption(), "Picture Form");
    const Pt p = at(5.25f, 41.25f);
    PicForm_Picture1_MouseMove(0, 0, p.x, p.y);
    EXPECT_EQ(f.caption(), " 05.25000E  41.25000N");
    EXPECT_EQ(PositionCaption(-70.5, -33.9), " 70.50000W 33.90000S");
    EXPECT_EQ(PositionCaption(123.456789, 0), " 123.45679E  00.00000N");
    View.Projection = 1;
    EXPECT_EQ(PositionCaption(5.25 * kDegToRad, -41.25 * kDegToRad), " 05.25000E  41.25000S");
    SetMapCaption("Drawing Coastline: Canceled");
    EXPECT_EQ(f.caption(), "Drawing Coastline: Canceled");
}

TEST_F(PicFormTest, StoredGeometryAccepted) {
    struct Case {
        const char *top, *left, *height, *width;
        Long result;
    };
    const Case cases[] = {
        {"1500", "-500", "4500", "6000", 1}, {"30001", "0", "4500", "6000", 0},
        {"-1", "0", "4500", "6000", 0},      {"0", "30001", "4500", "6000", 0},
        {"0", "30000", "4500", "", 0},       {"", "0", "4500", "6000", 0},
        {"0", "0", "abc", "6000", 1},
    };
    for (const Case& c : cases) {
        std::ofstream(Opt.IniFile)
            << "[position]\r\nPic top=" << c.top << "\r\nPic left=" << c.left
            << "\r\nPic height=" << c.height << "\r\nPic width=" << c.width << "\r\n";
        EXPECT_EQ(GetWinPos(Opt.IniFile, 2), c.result) << c.top << " " << c.left;
    }
    EXPECT_EQ(GetWinPos(Opt.IniFile, 1), 0);
}

// The load takes the stored geometry (two resizes of the window); the unload writes it back
// with the zoom record in force, and closes the colour-scale and point-value windows.
TEST_F(PicFormTest, GeometryAndZoomKeysRoundTrip) {
    std::ofstream(Opt.IniFile)
        << "[position]\r\nPic top=1500\r\nPic left=300\r\nPic height=4500\r\n"
           "Pic width=6000\r\n";
    PicForm& f = PicFormForm();
    EXPECT_EQ(f.y(), 100);
    EXPECT_EQ(f.x(), 20);
    EXPECT_EQ(f.width(), 400);
    EXPECT_EQ(f.height(), 300);
    EXPECT_EQ(View.MouseState, kMouseLoading + 2);

    View.ViewExtent = {10, 20, 30, 40};
    PushZoom();
    FormColorForm();
    FormIJForm();
    UnloadPicForm();
    EXPECT_FALSE(PicFormLoaded());
    EXPECT_FALSE(FormColorLoaded());
    EXPECT_FALSE(FormIJLoaded());
    auto key = [this](const char* k, const char* s) { return GetString(k, s, Opt.IniFile); };
    EXPECT_EQ(key("Pic top", "position"), "1500");
    EXPECT_EQ(key("Pic left", "position"), "300");
    EXPECT_EQ(key("Pic width", "position"), "6000");
    EXPECT_EQ(key("Pic height", "position"), "4500");
    EXPECT_EQ(key("mai width", "position"), "0");
    EXPECT_EQ(key("top", "zoom"), "40");
    EXPECT_EQ(key("bottom", "zoom"), "30");
    EXPECT_EQ(key("left", "zoom"), "10");
    EXPECT_EQ(key("right", "zoom"), "20");

    // Without a dataset there is no zoom record and no "zoom" section.
    std::ofstream(Opt.IniFile) << "[parameters]\r\n";
    View.ZoomStack.Erase();
    PicFormForm();
    UnloadPicForm();
    EXPECT_EQ(key("Pic width", "position"), "9600");
    EXPECT_EQ(key("top", "zoom"), "");
}

// A place stored on a larger screen, or at another pixel ratio, comes back inside this one's
// free area: beyond the right and bottom edges, before the left edge, larger than the screen.
// (Runs again at QT_SCALE_FACTOR=2, where the same twips lie twice as far in the screen's units.)
TEST_F(PicFormTest, StoredPlaceBeyondTheScreenComesBackInsideIt) {
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    const auto twips = [](int pixels) { return std::to_string(pixels * 15); };
    struct Case {
        const char* what;
        int left, top, width, height; // pixels of the screen
        QSize size;                   // the window's inside; none: the frame fills the room
        Qt::Edges meets;              // the room's edges the frame lies against
    };
    const Case cases[] = {
        {"inside", room.x() + 10, room.y() + 20, 200, 150, QSize(200, 150), Qt::Edges()},
        {"beyond the bottom right", room.right() + 400, room.bottom() + 300, 200, 150,
         QSize(200, 150), Qt::RightEdge | Qt::BottomEdge},
        {"half over the right edge", room.right() - 100, room.y() + 20, 200, 150, QSize(200, 150),
         Qt::RightEdge},
        {"before the left edge", room.x() - 20, room.y() + 20, 200, 150, QSize(200, 150),
         Qt::LeftEdge},
        {"larger than the screen", room.x() + 300, room.y() + 10, room.width() * 2,
         room.height() + 200, QSize(), Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::ofstream(Opt.IniFile) << "[position]\r\nPic top=" << twips(c.top)
                                   << "\r\nPic left=" << twips(c.left)
                                   << "\r\nPic height=" << twips(c.height)
                                   << "\r\nPic width=" << twips(c.width) << "\r\n";
        if (GetWinPos(Opt.IniFile, 2) != 1) continue; // beyond what the settings take at all
        PicForm& f = PicFormForm();
        f.show();
        // Once shown, the window's frame is known: against an edge of the room it is the frame
        // that meets the edge; along the other edges the stored place stands. The whole frame
        // lies inside the room, a larger window's cut to it.
        const QRect frame = f.frameGeometry();
        if (c.size.isValid()) {
            EXPECT_EQ(f.size(), c.size);
        }
        EXPECT_TRUE(room.contains(frame))
            << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
        if (c.meets & Qt::LeftEdge) {
            EXPECT_EQ(frame.left(), room.left());
        } else if (!(c.meets & Qt::RightEdge)) {
            EXPECT_EQ(frame.left(), c.left);
        }
        if (c.meets & Qt::TopEdge) {
            EXPECT_EQ(frame.top(), room.top());
        } else if (!(c.meets & Qt::BottomEdge)) {
            EXPECT_EQ(frame.top(), c.top);
        }
        if (c.meets & Qt::RightEdge) {
            EXPECT_EQ(frame.right(), room.right());
        }
        if (c.meets & Qt::BottomEdge) {
            EXPECT_EQ(frame.bottom(), room.bottom());
        }
        EXPECT_EQ(f.Picture1->picture().width(), c.size.isValid() ? c.size.width() : f.width());
        UnloadPicForm();
        // What the unload keeps is the place the window had on this screen.
        EXPECT_EQ(GetString("Pic left", "position", Opt.IniFile), twips(frame.x()));
    }
}

// Closing the window while a long command runs cancels the animation and hides the window;
// the unload follows once the command has ended, so the picture outlives the drawing.
TEST_F(PicFormTest, CloseDuringACommandWaitsForIt) {
    PicForm& f = openForm();
    f.show();
    {
        BusyGuard busy;
        Anim.CancelFlag = 0;
        f.close();
        EXPECT_EQ(Anim.CancelFlag, -1);
        ASSERT_TRUE(PicFormLoaded());
        EXPECT_FALSE(f.isVisible());
        pic().Line(0, 0, 10, 10); // the running drawing still has its picture
        UnloadPicForm();
        EXPECT_TRUE(PicFormLoaded());
        EXPECT_EQ(GetString("Pic width", "position", Opt.IniFile), "");
    }
    // The waiting close comes back by itself once the command is over, or at the next
    // reference to the window, which then gets a fresh one.
    QElapsedTimer waited;
    waited.start();
    while (PicFormLoaded() && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_FALSE(PicFormLoaded());
    EXPECT_EQ(GetString("Pic width", "position", Opt.IniFile), "6000");

    {
        PicForm& h = openForm();
        BusyGuard busy;
        h.close();
        ASSERT_TRUE(PicFormLoaded());
        EXPECT_EQ(&PicFormForm(), &h); // the command still draws into it
    }
    std::ofstream(Opt.IniFile) << "[parameters]\r\n";
    EXPECT_EQ(View.MouseState, kMouseZoom);
    PicFormForm();
    EXPECT_EQ(GetString("Pic width", "position", Opt.IniFile), "6000");
    // A fresh load, sized from the geometry just written.
    EXPECT_EQ(View.MouseState, kMouseLoading + 2);
    UnloadPicForm();

    // An ordinary close unloads at once.
    PicForm& g = PicFormForm();
    g.close();
    EXPECT_FALSE(PicFormLoaded());
    EXPECT_TRUE(ui.boxes.empty());
}

// The picture widget's events reach the event procedures: a key release and a right click.
TEST_F(PicFormTest, WidgetEventsReachTheProcedures) {
    PicForm& f = openForm();
    QKeyEvent esc(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(f.Picture1, &esc);
    EXPECT_EQ(Anim.CancelFlag, -1);
    const QPointF p(50, 60);
    QMouseEvent press(QEvent::MouseButtonPress, p, p, Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, p, p, Qt::RightButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(f.Picture1, &press);
    QCoreApplication::sendEvent(f.Picture1, &release);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Error interrogating cell");
}

} // namespace
