#include "viewer/shell/PicForm.h"

#include "common/Ui.h"
#include "gui/PictureWidget.h"
#include "gui/QtText.h"
#include "gui/ScreenPlace.h"
#include "gui/Twips.h"
#include "runtime/Convert.h"
#include "runtime/Text.h"
#include "viewer/map/AnimationStop.h"
#include "viewer/map/BusyGuard.h"
#include "viewer/map/ErrorBox.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"
#include "viewer/section/ShowTyxSection.h"
#include "viewer/shell/FormColor.h"
#include "viewer/shell/FormFaces.h"
#include "viewer/shell/FormIJ.h"
#include "viewer/shell/Ini_Win.h"
#include "viewer/shell/PlotPicked.h"
#include "viewer/shell/Probe.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QResizeEvent>
#include <QShowEvent>

#include <algorithm>
#include <cmath>
#include <utility>

float MouseX0 = 0, MouseY0 = 0;
float MouseX1 = 0, MouseY1 = 0;
Long MouseMoves = 0;

namespace {

PicForm* theForm = nullptr;
bool unloading = false;     // the unload procedure runs
bool closePending = false;  // a close waits for the running command to end
bool resizePending = false; // a resize waits for the running drawing to end

// The window's size before any is stored.
constexpr int kDesignWidth = 640;
constexpr int kDesignHeight = 480;
// Bounds of a stored size that the window takes (pixels).
constexpr int kMinSide = 100;
constexpr int kMaxSide = 16000;

// The zoom box's first corner in view units, from its press until its release.
double zoomLon0 = 0, zoomLat0 = 0;
// True from a press in zoom mode until its release: only such a release takes a zoom box (the
// release after a double click, or after the double click that ends a section path, does not).
bool zoomPressed = false;

std::function<void()>& showTyxSectionAction() {
    static std::function<void()> action = ShowTyxSection;
    return action;
}

Picture& mapPicture() {
    return PicFormForm().Picture1->picture();
}
// The forms that draw into the map window reach its picture through its face.
[[maybe_unused]] const bool mapMakerSet = (SetMapPictureMaker(mapPicture), true);

// Clears the picture and gives it the window's inner size.
Picture& fitPictureToWindow() {
    PicForm& f = PicFormForm();
    Picture& pic = f.Picture1->picture();
    pic.Cls();
    f.Picture1->setGeometry(0, 0, f.width(), f.height());
    pic.resize(f.width(), f.height());
    return pic;
}

// Clears the picture and redraws the frame and coastline of the view in force.
void redrawFrame() {
    mapPicture().Cls();
    PlotPicked(0);
}

// True when a zoom record exists (a dataset has been loaded): zoom-out and pans need it.
bool haveZoomRecord() {
    return View.ZoomStack.IsAllocated();
}

void scheduleCloseRetry() {
    if (closePending || !theForm) return;
    closePending = true;
    WhenIdle([] {
        // A form destroyed meanwhile took its waiting close with it.
        if (!closePending) return;
        closePending = false;
        UnloadPicForm();
    });
}

// A resize while a drawing runs: the drawing goes on at the size it started with, and the
// resize step runs once it has ended.
void deferResize() {
    if (resizePending) return;
    resizePending = true;
    WhenIdle([] {
        if (!resizePending) return;
        resizePending = false;
        if (theForm && !unloading) PicForm_Form_Resize();
    });
}

// What a close does while a long command runs: the animation is asked to stop, the window
// goes out of sight, and the unload waits until the command no longer draws into the picture.
void deferClose() {
    RequestAnimationStop();
    if (theForm) theForm->hide();
    scheduleCloseRetry();
}

// Esc released in any of the viewer's windows stops a running animation: the user presses it
// wherever the focus is (in the order window whose Animate was just clicked, as often as not).
// Only the map picture's own Esc also ends the section path.
class EscWatcher : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape && !key->isAutoRepeat()) RequestAnimationStop();
        }
        return false;
    }
};

void watchEscEverywhere() {
    static QPointer<QObject> watcher;
    if (watcher || !qApp) return;
    watcher = new EscWatcher(qApp);
    qApp->installEventFilter(watcher);
}

void runUnloadProcedure() {
    unloading = true;
    Integer cancel = 0;
    runEvent([&] { PicForm_Form_Unload(cancel); });
    unloading = false;
}

} // namespace

// ---- The form ---------------------------------------------------------------------------------

PicForm::PicForm() {
    setWindowTitle(qtText("Picture Form"));
    // Every animation draws into this window: from its first load on, Esc anywhere stops one.
    watchEscEverywhere();
    resize(kDesignWidth, kDesignHeight);
    // The order window and the colour key open beside the map.
    SetBesideAnchor(this);
    Picture1 = new PictureWidget(this);
    Picture1->setGeometry(0, 0, kDesignWidth, kDesignHeight);
    Picture1->picture().resize(kDesignWidth, kDesignHeight);

    Picture1->onMouseDown = [](int b, int s, float x, float y) {
        runEvent([=] {
            PicForm_Picture1_MouseDown(static_cast<Integer>(b), static_cast<Integer>(s), x, y);
        });
    };
    Picture1->onMouseMove = [](int b, int s, float x, float y) {
        runEvent([=] {
            PicForm_Picture1_MouseMove(static_cast<Integer>(b), static_cast<Integer>(s), x, y);
        });
    };
    Picture1->onMouseUp = [](int b, int s, float x, float y) {
        runEvent([=] {
            PicForm_Picture1_MouseUp(static_cast<Integer>(b), static_cast<Integer>(s), x, y);
        });
    };
    Picture1->onDblClick = [] { runEvent([] { PicForm_Picture1_DblClick(); }); };
    Picture1->onKeyDown = [](int k, int s) {
        runEvent(
            [=] { PicForm_Picture1_KeyDown(static_cast<Integer>(k), static_cast<Integer>(s)); });
    };
    Picture1->onKeyUp = [](int k, int s) {
        runEvent([=] { PicForm_Picture1_KeyUp(static_cast<Integer>(k), static_cast<Integer>(s)); });
    };

    setMapCaptionSink([](const std::string& text) {
        if (theForm) theForm->setCaption(text);
    });
}

PicForm::~PicForm() {
    // A waiting close or resize dies with its form.
    closePending = false;
    resizePending = false;
    if (theForm == this) {
        theForm = nullptr;
        setMapCaptionSink({});
    }
}

std::string PicForm::caption() const {
    return programText(windowTitle());
}

void PicForm::setCaption(const std::string& text) {
    setWindowTitle(qtText(text));
}

void PicForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (this == theForm && !unloading) runEvent([] { PicForm_Form_Resize(); });
}

void PicForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (placed_) return;
    placed_ = true;
    // The frame is known once shown, and the main window may have come up since the load: a
    // window as large as the screen is cut by its frame too.
    const QRect placed = PlaceOnScreen(QRect(pos(), size()), FrameMarginsOf(*this), screen());
    if (placed.size() != size()) resize(placed.size());
    if (placed.topLeft() != pos()) move(placed.topLeft());
}

void PicForm::closeEvent(QCloseEvent* event) {
    if (this != theForm || unloading) {
        event->accept();
        return;
    }
    if (IsBusy()) {
        event->ignore();
        deferClose();
        return;
    }
    runUnloadProcedure();
    theForm = nullptr;
    setMapCaptionSink({});
    event->accept();
    deleteLater();
}

PicForm& PicFormForm() {
    // A close that waited for a command is done before the window is wanted again.
    if (theForm && closePending && !unloading && !IsBusy()) UnloadPicForm();
    if (!theForm) {
        theForm = new PicForm();
        PicForm_Form_Load();
    }
    return *theForm;
}

bool PicFormLoaded() {
    return theForm != nullptr;
}

void UnloadPicForm() {
    if (!theForm || unloading) return;
    if (IsBusy()) {
        deferClose();
        return;
    }
    runUnloadProcedure();
    delete theForm;
}

std::function<void()> setShowTyxSectionAction(std::function<void()> action) {
    if (!action) action = ShowTyxSection;
    return std::exchange(showTyxSectionAction(), std::move(action));
}

// ---- Event procedures -------------------------------------------------------------------------

void PicForm_Form_Load() {
    PicForm& f = PicFormForm();
    SetMouseMode(kMouseLoading);
    zoomPressed = false;
    // No place stored: the first show puts the window clear of the main window's controls.
    if (GetWinPos(Opt.IniFile, 2) != 1) return;
    // Stored on another screen (or at another pixel ratio) the window may lie beyond this one's
    // edge: it comes back inside the screen that shows it.
    const QRect placed =
        PlaceOnScreen(QRect(wholePixelsFromTwips(PicLeft), wholePixelsFromTwips(PicTop),
                            std::clamp(wholePixelsFromTwips(PicWidth), kMinSide, kMaxSide),
                            std::clamp(wholePixelsFromTwips(PicHeight), kMinSide, kMaxSide)),
                      FrameMarginsOf(f), f.screen());
    f.move(placed.topLeft());
    // Each size set is a resize of the window, as the window system reports it.
    f.resize(f.width(), placed.height());
    PicForm_Form_Resize();
    f.resize(placed.width(), f.height());
    PicForm_Form_Resize();
}

void PicForm_Form_Resize() {
    const Long next = AddL(View.MouseState, 1);
    if (next < 0) {
        SetMouseMode(next);
        return;
    }
    if (IsBusy()) {
        // A time loop lets events in only between its steps: the picture takes the new size
        // and frame there, and the loop draws its next steps into it, keeping the picture's
        // mode. Any other drawing keeps the picture's size and mode until it has ended.
        if (!AnimationRunning()) {
            deferResize();
            return;
        }
        resizePending = false;
        fitPictureToWindow();
        PlotPicked(0);
        return;
    }
    const bool endsPath = next == kMouseSectionPath + 1;
    SetMouseMode(kMouseZoom);
    Picture& pic = fitPictureToWindow();
    // A path cut short by the resize leaves no rubber line to erase: back to copying.
    if (endsPath) pic.setDrawMode(kDrawCopyPen);
    PlotPicked(0);
}

void PicForm_Form_Unload(Integer& /*Cancel*/) {
    PicForm& f = PicFormForm();
    PicTop = static_cast<float>(twipsFromPixels(f.y()));
    PicLeft = static_cast<float>(twipsFromPixels(f.x()));
    PicHeight = static_cast<float>(twipsFromPixels(f.height()));
    PicWidth = static_cast<float>(twipsFromPixels(f.width()));
    if (!Opt.IniFile.empty()) {
        PutWinPos(Opt.IniFile);
        PutZoomExtent(Opt.IniFile);
    }
    CloseOrderWindow();
    if (FormColorLoaded()) UnloadFormColor();
    if (FormIJLoaded()) UnloadFormIJ();
}

std::string PositionCaption(double lon, double lat) {
    if (View.Projection == 1) {
        lon /= kDegToRad;
        lat /= kDegToRad;
    }
    const std::string lonText =
        lon < 0 ? Format(std::fabs(lon), " #00.00000W") : Format(lon, " #00.00000E ");
    const std::string latText =
        lat < 0 ? Format(std::fabs(lat), " #00.00000S") : Format(lat, " #00.00000N");
    return lonText + latText;
}

void PicForm_Picture1_MouseDown(Integer Button, Integer /*Shift*/, float X, float Y) {
    if (Button == kRightButton) return;
    // The draw mode and colours belong to a drawing under way: no zoom box or path segment
    // starts until it has ended.
    if (IsBusy()) return;
    Picture& pic = mapPicture();
    if (View.MouseState == kMouseZoom) {
        MouseX0 = MouseX1 = X;
        MouseY0 = MouseY1 = Y;
        MouseMoves = 0;
        pix_to_ll(X, Y, zoomLon0, zoomLat0);
        zoomPressed = true;
        pic.setDrawMode(kDrawInvert);
    } else if (View.MouseState == kMouseSectionPath) {
        pic.setDrawMode(kDrawInvert);
        MouseX0 = MouseX1 = X;
        MouseY0 = MouseY1 = Y;
    }
}

void PicForm_Picture1_MouseMove(Integer Button, Integer /*Shift*/, float X, float Y) {
    PicForm& f = PicFormForm();
    double lon = 0, lat = 0;
    pix_to_ll(X, Y, lon, lat);
    f.setCaption(PositionCaption(lon, lat));

    if (IsBusy()) return; // no rubber lines over a drawing under way
    Picture& pic = f.Picture1->picture();
    if (View.MouseState == kMouseZoom) {
        if (Button != kLeftButton || !zoomPressed) return;
        // Drawn twice in invert mode a box vanishes: the old one goes, the new one comes.
        pic.Line(MouseX0, MouseY0, MouseX1, MouseY1, {}, LineFlag::B);
        pic.Line(MouseX0, MouseY0, X, Y, {}, LineFlag::B);
        MouseX1 = X;
        MouseY1 = Y;
        MouseMoves = AddL(MouseMoves, 1);
    } else if (View.MouseState == kMouseSectionPath) {
        if (pic.DrawMode() != kDrawInvert) return;
        pic.Line(MouseX0, MouseY0, MouseX1, MouseY1);
        pic.Line(MouseX0, MouseY0, X, Y);
        MouseX1 = X;
        MouseY1 = Y;
    }
}

void PicForm_Picture1_MouseUp(Integer Button, Integer /*Shift*/, float X, float Y) {
    if (Button == kRightButton) {
        double lon = 0, lat = 0;
        pix_to_ll(X, Y, lon, lat);
        ShowPointValues(lon, lat);
        return;
    }
    if (IsBusy()) {
        // A box begun before the drawing is dropped; the drawing keeps its mode.
        zoomPressed = false;
        return;
    }
    Picture& pic = mapPicture();
    if (View.MouseState == kMouseZoom) {
        if (!zoomPressed) return;
        zoomPressed = false;
        if (MouseMoves < 5) {
            // A click or a short jitter: the view stays.
            pic.setDrawMode(kDrawCopyPen);
            return;
        }
        double lon1 = 0, lat1 = 0;
        pix_to_ll(X, Y, lon1, lat1);
        ZoomTo({std::min(zoomLon0, lon1), std::max(zoomLon0, lon1), std::min(zoomLat0, lat1),
                std::max(zoomLat0, lat1)});
        pic.setDrawMode(kDrawCopyPen);
        redrawFrame();
    } else if (View.MouseState == kMouseSectionPath) {
        double lon = 0, lat = 0;
        pix_to_ll(X, Y, lon, lat);
        AddSectionPathVertex(static_cast<float>(lon), static_cast<float>(lat));
        // The rubber line now starts at this vertex; the segment drawn stays.
        MouseX0 = MouseX1 = X;
        MouseY0 = MouseY1 = Y;
    } else {
        SetMouseMode(kMouseZoom);
    }
}

void PicForm_Picture1_DblClick() {
    zoomPressed = false;
    // Neither a zoom-out nor the end of a path redraws under a drawing under way.
    if (IsBusy()) return;
    if (View.MouseState == kMouseZoom) {
        if (!haveZoomRecord()) return;
        SetMapView(ZoomOut());
        redrawFrame();
    } else if (View.MouseState == kMouseSectionPath) {
        SetMouseMode(kMouseZoom);
        mapPicture().setDrawMode(kDrawCopyPen);
        ui().SetMousePointer(kPointerHourglass);
        showTyxSectionAction()();
        ui().SetMousePointer(kPointerDefault);
    }
}

void PicForm_Picture1_KeyUp(Integer KeyCode, Integer /*Shift*/) {
    NoteAnimationKey(KeyCode);
    if (KeyCode == kKeyEscape) {
        if (View.MouseState == kMouseSectionPath) {
            SetMouseMode(kMouseZoom);
            // A drawing under way keeps its own mode.
            if (!IsBusy()) mapPicture().setDrawMode(kDrawCopyPen);
            ui().SetMousePointer(kPointerDefault);
        }
        return;
    }
    if (KeyCode >= kKeyLeft && KeyCode <= kKeyDown) {
        if (!haveZoomRecord()) return;
        PanByArrowKey(KeyCode);
        redrawFrame();
    }
}

void PicForm_Picture1_KeyDown(Integer /*KeyCode*/, Integer /*Shift*/) {}
