#include "viewer/section/frmVsect.h"

#include "common/CMDialog.h"
#include "common/Strings.h"
#include "common/Ui.h"
#include "gui/Picture.h"
#include "gui/PictureWidget.h"
#include "gui/QtText.h"
#include "gui/ScreenPlace.h"
#include "gui/Twips.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "viewer/map/ErrorBox.h"
#include "viewer/map/SharedState.h"
#include "viewer/section/ModVsect.h"
#include "viewer/section/VsectProfiles.h"
#include "viewer/section/VsectSection.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScreen>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

VsectPlace VsectLastPosition;

namespace {
[[maybe_unused]] const bool kResetRegistered =
    RegisterSharedStateReset([] { VsectLastPosition = {}; });
} // namespace

namespace {

frmVsect* theForm = nullptr;

constexpr const char* kPosition = "position";
constexpr const char* kParameters = "parameters";
constexpr const char* kLineEnd = "\r\n";

// The window's size before any is stored, in twips.
constexpr float kDefaultHeight = 3000;
constexpr float kDefaultWidth = 9000;

QMenuBar* menuBarOf(const frmVsect& f) {
    return f.findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
}

int menuHeight(const frmVsect& f) {
    const QMenuBar* bar = menuBarOf(f);
    return bar ? bar->sizeHint().height() : 0;
}

// A whole number of a settings value: its leading number rounded, 0 when it has none or it
// lies beyond a Long.
Long wholeNumber(double v) {
    if (!(std::fabs(v) < 2147483647.0)) return 0;
    return CLng(v);
}

Long parameter(const char* key) {
    return wholeNumber(Val(GetString(key, kParameters, Opt.IniFile)));
}

// The current section variable, or nullptr when there is none.
VsectVarRec* currentRecord() {
    if (Vsect.CurVsectVar < 1 || Vsect.CurVsectVar > Vsect.nVsectVars) return nullptr;
    return &Vsect.VsectVars(Vsect.CurVsectVar);
}

void setText(QLineEdit* box, const std::string& text) {
    box->setText(qtText(text));
}

// The boxes of the data and plot ranges and the frame's caption, from record e.
void showRecord(frmVsect& f, Long e) {
    if (e < 1 || e > Vsect.nVsectVars) return;
    const VsectVarRec& rec = Vsect.VsectVars(e);
    const float values[5] = {rec.vMax, rec.vMin, rec.high, rec.low, rec.step};
    for (std::size_t i = 0; i < 5; ++i)
        setText(f.Text1[i], Format(values[i], "#.000"));
    std::string caption = programText(f.Combo1->itemText(static_cast<int>(e - 1)));
    caption.append(" (").append(Trim(rec.unit)).append(")");
    f.Frame1->setTitle(qtText(caption));
}

// Reads record e's variable and sets the scales of every record once it has been read.
void readRecord(Long e) {
    Long nvar = Vsect.VsectVars(e).nvar;
    if (ReadVSData(nvar) > 0) SetVsectScales();
}

// Text2 as the colour bar writes it: no change event of its own.
void writeBarText(const std::string& text) {
    if (!theForm) return;
    const QSignalBlocker quiet(theForm->Text2);
    setText(theForm->Text2, text);
}

Picture& sectionPicture() {
    return frmVsectForm().Picture1->picture();
}

Picture& barPicture() {
    return frmVsectForm().Picture2->picture();
}

void drawBar() {
    DrawVsectColorBar(barPicture(), writeBarText);
}

// The picture of what VsectMode says.
void drawMode() {
    if (Vsect.VsectMode == 1)
        DrawVsectProfiles(sectionPicture());
    else if (Vsect.VsectMode == 2)
        DrawVsectSection(sectionPicture(), barPicture(), writeBarText);
}

QRect screenTwips() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect r = screen ? screen->geometry() : QRect(0, 0, 800, 600);
    return {0, 0, static_cast<int>(twipsFromPixels(r.width())),
            static_cast<int>(twipsFromPixels(r.height()))};
}

} // namespace

// ---- The window ---------------------------------------------------------------------------

frmVsect::frmVsect() {
    setWindowTitle(qtText("Vertical Section"));
    createMenus();
    // The controls fill a strip at the top; the picture lies below it.
    const int top = menuHeight(*this);
    createItemFrame(top);
    createDrawControls(top);
    createColorOptions(top);
    Picture1 = new PictureWidget(this);
    Picture1->picture().setScaleMode(kScaleTwips);
    const int strip = wholePixelsFromTwips(kVsectStripHeight);
    Picture1->setGeometry(0, top + strip, 600, 200);
    Picture1->picture().resize(600, 200);
    connectMenus();
    connectControls();
    resize(wholePixelsFromTwips(kDefaultWidth), wholePixelsFromTwips(kDefaultHeight));
}

void frmVsect::createMenus() {
    auto* bar = new QMenuBar(this);
    MainMenu = bar->addMenu(qtText("&File"));
    SaveBmp = MainMenu->addAction(qtText("save as BMP"));
    OptionMenus = bar->addMenu(qtText("&Options"));
    DrawVerticalAxis = OptionMenus->addAction(qtText("Draw Vertical Axis"));
    DrawHorizontalAxis = OptionMenus->addAction(qtText("Draw Horizontal Axis"));
    ContourLine = OptionMenus->addMenu(qtText("Contour Line"));
    ContourLineOn = ContourLine->addAction(qtText("On"));
    ContourLineOff = ContourLine->addAction(qtText("Off"));
    ContourLineColor = ContourLine->addAction(qtText("Color"));
    ContourLineThickness = ContourLine->addAction(qtText("Thickness"));
    for (QAction* a : {DrawVerticalAxis, DrawHorizontalAxis, ContourLineOn, ContourLineOff})
        a->setCheckable(true);
}

void frmVsect::createItemFrame(int top) {
    Frame1 = new QGroupBox(qtText("Item Name"), this);
    Frame1->setGeometry(2, top, 244, 76);
    Combo1 = new QComboBox(Frame1);
    Combo1->setGeometry(6, 18, 84, 22);
    Label2 = new QLabel(qtText("Data"), Frame1);
    Label2->setGeometry(94, 34, 32, 18);
    Label3 = new QLabel(qtText("Plot"), Frame1);
    Label3->setGeometry(94, 54, 32, 18);
    const char* heads[3] = {"Max=", "Min=", "Inc="};
    for (int i = 0; i < 3; ++i) {
        Label1[static_cast<std::size_t>(i)] = new QLabel(qtText(heads[i]), Frame1);
        Label1[static_cast<std::size_t>(i)]->setGeometry(126 + 38 * i, 16, 38, 16);
    }
    for (int i = 0; i < 5; ++i) {
        auto* box = new QLineEdit(qtText("Text1"), Frame1);
        const int row = i < 2 ? 0 : 1;
        const int col = i < 2 ? i : i - 2;
        box->setGeometry(126 + 38 * col, 34 + 20 * row, 36, 18);
        Text1[static_cast<std::size_t>(i)] = box;
    }
}

void frmVsect::createDrawControls(int top) {
    Frame2 = new QGroupBox(qtText("Draw"), this);
    Frame2->setGeometry(248, top, 64, 76);
    const char* draws[2] = {"Section", "Profile"};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QPushButton(qtText(draws[i]), Frame2);
        b->setGeometry(4, 18 + 28 * i, 56, 24);
        Command1[static_cast<std::size_t>(i)] = b;
    }
    Command2 = new QPushButton(qtText("<"), this);
    Command2->setGeometry(316, top + 4, 24, 22);
    Label4 = new QLabel(qtText("max="), this);
    Label4->setGeometry(342, top + 6, 30, 18);
    Text2 = new QLineEdit(qtText("Text2"), this);
    Text2->setGeometry(372, top + 4, 50, 22);
    Picture2 = new PictureWidget(this);
    Picture2->setGeometry(316, top + 30, 106, 44);
    Picture2->picture().resize(106, 44);
    Picture2->picture().setScaleMode(kScaleTwips);
}

void frmVsect::createColorOptions(int top) {
    Frame3 = new QGroupBox(qtText("Color Opt."), this);
    Frame3->setGeometry(426, top, 172, 76);
    const char* options[5] = {"GBR", "Grey", "R", "G", "B"};
    for (int i = 0; i < 5; ++i) {
        auto* o = new QRadioButton(qtText(options[i]), Frame3);
        o->setGeometry(6 + 54 * (i % 3), 18 + 26 * (i / 3), 54, 22);
        Option1[static_cast<std::size_t>(i)] = o;
    }
}

void frmVsect::connectMenus() {
    // The procedures set the check marks themselves: a checkable entry's own toggle is undone
    // before its procedure runs.
    auto on = [this](QAction* a, void (*procedure)()) {
        connect(a, &QAction::triggered, this, [a, procedure] {
            if (a->isCheckable()) {
                const QSignalBlocker quiet(a);
                a->setChecked(!a->isChecked());
            }
            runEvent(procedure);
        });
    };
    on(SaveBmp, frmVsect_SaveBmp_Click);
    on(DrawVerticalAxis, frmVsect_DrawVerticalAxis_Click);
    on(DrawHorizontalAxis, frmVsect_DrawHorizontalAxis_Click);
    on(ContourLineOn, frmVsect_ContourLineOn_Click);
    on(ContourLineOff, frmVsect_ContourLineOff_Click);
    on(ContourLineColor, frmVsect_ContourLineColor_Click);
    on(ContourLineThickness, frmVsect_ContourLineThickness_Click);
}

void frmVsect::connectControls() {
    // The boxes' key releases and the list's focus loss come through eventFilter.
    for (QLineEdit* box : Text1)
        box->installEventFilter(this);
    for (int i = 0; i < 2; ++i)
        connect(Command1[static_cast<std::size_t>(i)], &QPushButton::clicked, this,
                [i] { runEvent([i] { frmVsect_Command1_Click(static_cast<Integer>(i)); }); });
    connect(Command2, &QPushButton::clicked, this, [] { runEvent(frmVsect_Command2_Click); });
    connect(Text2, &QLineEdit::textChanged, this, [] { runEvent(frmVsect_Text2_Change); });
    for (int i = 0; i < 5; ++i)
        connect(Option1[static_cast<std::size_t>(i)], &QRadioButton::clicked, this,
                [i] { runEvent([i] { frmVsect_Option1_Click(static_cast<Integer>(i)); }); });
    connect(Combo1, qOverload<int>(&QComboBox::activated), this,
            [] { runEvent(frmVsect_Combo1_Click); });
    Combo1->installEventFilter(this);
}

bool frmVsect::runUnloadProcedure() {
    if (unloading_) return false;
    unloading_ = true;
    runEvent([] { frmVsect_Form_Unload(); });
    unloading_ = false;
    return true;
}

frmVsect::~frmVsect() {
    if (theForm == this) theForm = nullptr;
}

float frmVsect::ScaleWidth() const {
    return static_cast<float>(twipsFromPixels(width()));
}

float frmVsect::ScaleHeight() const {
    return static_cast<float>(twipsFromPixels(height() - menuHeight(*this)));
}

void frmVsect::setTwipsGeometry(float top, float left, float width, float height) {
    // A place stored on another screen comes back inside the one that shows it, off the main
    // window's controls where there is room.
    const QRect placed = PlaceOnScreen(
        QRect(wholePixelsFromTwips(left), wholePixelsFromTwips(top),
              std::max(1, wholePixelsFromTwips(width)), std::max(1, wholePixelsFromTwips(height))),
        FrameMarginsOf(*this), screen());
    move(placed.topLeft());
    resize(placed.size());
}

float frmVsect::TopTwips() const {
    return static_cast<float>(twipsFromPixels(y()));
}
float frmVsect::LeftTwips() const {
    return static_cast<float>(twipsFromPixels(x()));
}
float frmVsect::WidthTwips() const {
    return static_cast<float>(twipsFromPixels(width()));
}
float frmVsect::HeightTwips() const {
    return static_cast<float>(twipsFromPixels(height()));
}

void frmVsect::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (QMenuBar* bar = menuBarOf(*this)) bar->setGeometry(0, 0, width(), bar->sizeHint().height());
    if (this == theForm && !unloading_) runEvent(frmVsect_Form_Resize);
}

void frmVsect::closeEvent(QCloseEvent* event) {
    if (this == theForm && !unloading_) {
        runUnloadProcedure();
        theForm = nullptr;
        deleteLater();
    }
    event->accept();
}

bool frmVsect::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        for (Integer i = 0; i < 5; ++i)
            if (watched == Text1[static_cast<std::size_t>(i)])
                runEvent([i] { frmVsect_Text1_KeyUp(i); });
    } else if (event->type() == QEvent::FocusOut && watched == Combo1) {
        runEvent(frmVsect_Combo1_LostFocus);
    }
    return QWidget::eventFilter(watched, event);
}

frmVsect& frmVsectForm() {
    if (!theForm) {
        theForm = new frmVsect();
        frmVsect_Form_Load();
    }
    return *theForm;
}

bool frmVsectLoaded() {
    return theForm != nullptr;
}

void UnloadfrmVsect() {
    if (!theForm || !theForm->runUnloadProcedure()) return;
    delete theForm;
}

// ---- The place in the settings --------------------------------------------------------------

void GetMyLastPosition() {
    VsectPlace& p = VsectLastPosition;
    p = {0, 0, kDefaultWidth, kDefaultHeight};
    const QRect screen = screenTwips();
    auto stored = [](const char* key, double& v) {
        const std::string text = GetString(key, kPosition, Opt.IniFile);
        if (text.empty()) return false;
        v = Val(text);
        return true;
    };
    double v = 0;
    if (stored("Vsect top", v))
        p.top = static_cast<float>(std::clamp(v, 0.0, 1.0 * screen.height()));
    if (stored("Vsect left", v))
        p.left = static_cast<float>(std::clamp(v, 0.0, 1.0 * screen.width()));
    if (stored("Vsect height", v)) p.height = static_cast<float>(std::max(v, 100.0));
    if (stored("Vsect width", v)) p.width = static_cast<float>(std::max(v, 200.0));
}

void PutMyLastPosition() {
    const frmVsect& f = frmVsectForm();
    PutString("Vsect top", kPosition, Opt.IniFile, Str(f.TopTwips()));
    PutString("Vsect left", kPosition, Opt.IniFile, Str(f.LeftTwips()));
    PutString("Vsect height", kPosition, Opt.IniFile, Str(f.HeightTwips()));
    PutString("Vsect width", kPosition, Opt.IniFile, Str(f.WidthTwips()));
}

// ---- Event procedures -----------------------------------------------------------------------

void frmVsect_Form_Load() {
    frmVsect& f = frmVsectForm();
    GetMyLastPosition();
    const VsectPlace& p = VsectLastPosition;
    f.setTwipsGeometry(p.top, p.left, p.width, p.height);

    Vsect.ConLinThk = parameter("ConLinThk");
    if (Vsect.ConLinThk < 1) Vsect.ConLinThk = 2;
    Vsect.ConLinCol = parameter("ConLinCol");
    Vsect.col_opt = parameter("col_opt");
    Vsect.ifDrawHorizontalAxis = parameter("ifDrawHorizontalaxis");
    Vsect.ifDrawVerticalAxis = parameter("ifDrawVerticalAxis");
    Vsect.ifDrawContour = parameter("ifDrawContour");
    Vsect.ColorCode = 30;

    f.DrawHorizontalAxis->setChecked(Vsect.ifDrawHorizontalAxis == 1);
    f.DrawVerticalAxis->setChecked(Vsect.ifDrawVerticalAxis == 1);
    f.ContourLineOn->setChecked(Vsect.ifDrawContour == 1);
    f.ContourLineOff->setChecked(false);
    if (Vsect.col_opt >= 0 && Vsect.col_opt <= 4)
        f.Option1[static_cast<std::size_t>(Vsect.col_opt)]->setChecked(true);
    f.Picture1->picture().Cls();

    f.Combo1->clear();
    for (Long n = 1; n <= Vsect.nVsectVars; ++n)
        f.Combo1->addItem(qtText(Vsect.VsectVars(n).name));
    // Without a section variable there is nothing to pick or show.
    if (Vsect.nVsectVars >= 1) {
        Vsect.CurVsectVar = std::clamp<Long>(Vsect.CurVsectVar, 1, Vsect.nVsectVars);
        f.Combo1->setCurrentIndex(static_cast<int>(Vsect.CurVsectVar - 1));
        frmVsect_Combo1_Click();
        showRecord(f, Vsect.CurVsectVar);
    }
    Vsect.VsectMode = 1;
}

void frmVsect_Form_Resize() {
    if (Vsect.VsectMode == 0) return;
    frmVsect& f = frmVsectForm();
    Picture& pic = f.Picture1->picture();
    pic.Cls();
    const int top = menuHeight(f) + wholePixelsFromTwips(kVsectStripHeight);
    const int width = std::max(1, f.width());
    const int height = std::max(1, f.height() - menuHeight(f));
    f.Picture1->setGeometry(0, top, width, height);
    pic.resize(width, height);
    drawMode();
}

void frmVsect_Form_Unload() {
    PutMyLastPosition();
    PutString("ConLinThk", kParameters, Opt.IniFile, CStr(Vsect.ConLinThk));
    PutString("ConLinCol", kParameters, Opt.IniFile, CStr(Vsect.ConLinCol));
    PutString("col_opt", kParameters, Opt.IniFile, CStr(Vsect.col_opt));
    PutString("ifDrawHorizontalAxis", kParameters, Opt.IniFile, CStr(Vsect.ifDrawHorizontalAxis));
    PutString("ifDrawVerticalAxis", kParameters, Opt.IniFile, CStr(Vsect.ifDrawVerticalAxis));
    PutString("ifDrawContour", kParameters, Opt.IniFile, CStr(Vsect.ifDrawContour));
}

void frmVsect_Combo1_Click() {
    frmVsect& f = frmVsectForm();
    const Long e = f.Combo1->currentIndex() + 1;
    if (e < 1 || e > Vsect.nVsectVars) return;
    const VsectVarRec& rec = Vsect.VsectVars(e);
    if (rec.vMax == 0 && rec.vMin == 0) {
        Vsect.CurVsectVar = e;
        readRecord(e);
    }
    showRecord(f, e);
}

void frmVsect_Combo1_LostFocus() {
    frmVsect& f = frmVsectForm();
    const Long e = f.Combo1->currentIndex() + 1;
    if (e < 1 || e > Vsect.nVsectVars || Vsect.CurVsectVar == e) return;
    Vsect.CurVsectVar = e;
    readRecord(e);
    showRecord(f, e);
}

void frmVsect_Text1_KeyUp(Integer Index) {
    if (Index < 0 || Index > 4) throw RuntimeError(err::Subscript);
    VsectVarRec* rec = currentRecord();
    if (Index < 2 || !rec) return;
    const float v =
        CSng(Val(programText(frmVsectForm().Text1[static_cast<std::size_t>(Index)]->text())));
    if (Index == 2)
        rec->high = v;
    else if (Index == 3)
        rec->low = v;
    else
        rec->step = v;
}

void frmVsect_Command1_Click(Integer Index) {
    sectionPicture().Cls();
    Vsect.VsectMode = Index == 0 ? 2 : 1;
    drawMode();
}

void frmVsect_Command2_Click() {
    frmVsect& f = frmVsectForm();
    if (Vsect.ColorReverse == 0) {
        Vsect.ColorReverse = 1;
        f.Command2->setText(qtText(">"));
    } else if (Vsect.ColorReverse == 1) {
        Vsect.ColorReverse = 0;
        f.Command2->setText(qtText("<"));
    }
    drawBar();
}

void frmVsect_Option1_Click(Integer Index) {
    Vsect.col_opt = Index;
    drawBar();
}

void frmVsect_Text2_Change() {
    Vsect.ColorBarMax = CSng(Val(programText(frmVsectForm().Text2->text())));
    if (Vsect.ColorBarMax > 0) drawBar();
}

void frmVsect_SaveBmp_Click() {
    const std::string name = AskBmpFile();
    if (name.empty()) return;
    std::string reason;
    if (IsOpenDataset(name)) {
        reason = "This file is one of the open datasets.";
    } else {
        try {
            sectionPicture().SavePicture(name);
            return;
        } catch (const RuntimeError& e) {
            reason = e.what();
        }
    }
    std::string text("[SaveBmp] Unable to write ");
    text.append(name).append(kLineEnd).append(reason);
    ui().MsgBox(text, kOkOnly + kExclamation, kProgramTitle);
}

namespace {

// Toggles the entry's check mark: 1 when it is checked now, else 0.
Long toggle(QAction* entry) {
    entry->setChecked(!entry->isChecked());
    return entry->isChecked() ? 1 : 0;
}

void setContour(bool on) {
    frmVsect& f = frmVsectForm();
    f.ContourLineOn->setChecked(on);
    f.ContourLineOff->setChecked(!on);
    Vsect.ifDrawContour = on ? 1 : 0;
}

} // namespace

void frmVsect_DrawHorizontalAxis_Click() {
    Vsect.ifDrawHorizontalAxis = toggle(frmVsectForm().DrawHorizontalAxis);
}

void frmVsect_DrawVerticalAxis_Click() {
    Vsect.ifDrawVerticalAxis = toggle(frmVsectForm().DrawVerticalAxis);
}

void frmVsect_ContourLineOn_Click() {
    setContour(!frmVsectForm().ContourLineOn->isChecked());
}

void frmVsect_ContourLineOff_Click() {
    setContour(frmVsectForm().ContourLineOff->isChecked());
}

void frmVsect_ContourLineColor_Click() {
    Vsect.ConLinCol = PickColorDlg();
}

void frmVsect_ContourLineThickness_Click() {
    std::string answer = CStr(Vsect.ConLinThk);
    if (!ui().InputBox("Specify Contour Line Thickness in pixels", "", answer)) answer.clear();
    Vsect.ConLinThk = wholeNumber(GetTokenValue(answer, 1));
}
