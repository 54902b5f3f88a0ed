#include "viewer/shell/MainForm.h"

#include "common/CMDialog.h"
#include "common/Strings.h"
#include "common/Ui.h"
#include "gui/PictureWidget.h"
#include "gui/QtText.h"
#include "gui/ScreenPlace.h"
#include "gui/Twips.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "viewer/map/AnimationStop.h"
#include "viewer/map/BusyGuard.h"
#include "viewer/map/DataChoices.h"
#include "viewer/map/DrawCost.h"
#include "viewer/map/ErrorBox.h"
#include "viewer/map/Options.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"
#include "viewer/section/frmVsect.h"
#include "viewer/section/OCXHost.h"
#include "viewer/shell/CdlDump.h"
#include "viewer/shell/FormColor.h"
#include "viewer/shell/Ini_Win.h"
#include "viewer/shell/MainOPaP.h"
#include "viewer/shell/Note1.h"
#include "viewer/shell/OrderFrm.h"
#include "viewer/shell/PicForm.h"
#include "viewer/shell/URLList.h"
#include "viewer/shell/frmAbout.h"
#include "viewer/shell/frmAlias.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <initializer_list>

namespace {

MainForm* theForm = nullptr;

// The forms under the main window make it through its face on first use, as mainForm() does.
MainFormFace& makeMainForm() {
    return mainForm();
}
[[maybe_unused]] const bool makerSet = (SetMainFormMaker(makeMainForm), true);

void defaultEndProgram() {
    QCoreApplication::exit(0);
}

std::function<void()>& endProgramAction() {
    static std::function<void()> action = defaultEndProgram;
    return action;
}

constexpr int kPreviewWidth = 300;
constexpr int kPreviewHeight = 220;

const char* const kSecondFileHint =
    "(the other half component; eg. water_u  +  water_v, if not in a single file)";

// Marks one item of a radio group and unmarks its siblings.
void setMarks(QAction* on, std::initializer_list<QAction*> off) {
    on->setChecked(true);
    for (QAction* a : off)
        a->setChecked(false);
}

QAction* radioItem(QMenu* menu, const char* caption) {
    QAction* a = menu->addAction(qtText(caption));
    a->setCheckable(true);
    return a;
}

} // namespace

MainForm::MainForm() {
    setWindowTitle(qtText("Pelorin - netCDF and OPeNDAP viewer"));
    buildMenus();
    buildControls();
    connectEvents();
    Window = this;
    openAsTyped_ = [this](const std::string& path) {
        setComboText(path);
        AddToURLList();
        LoadFile(0);
    };
    RegisterMainForm(this);
    // Windows opened beside this one leave its menus and dataset entry free where they can.
    SetKeepClearArea([this] { return controlsArea(); });
}

QRect MainForm::controlsArea() const {
    if (!isVisible() || isMinimized()) return {};
    const QRect frame = frameGeometry();
    int bottom = frame.top();
    for (const QWidget* w : std::initializer_list<const QWidget*>{
             menuBar(), Combo1, cmdBrowse, cmdLoad, Text3, Command3, Text2, cmdStartEnd})
        if (w && w->isVisible())
            bottom = std::max(bottom, w->mapToGlobal(QPoint(0, w->height() - 1)).y());
    return QRect(frame.topLeft(), QPoint(frame.right(), bottom));
}

void MainForm::restorePlace() {
    if (Opt.IniFile.empty() || GetMainWinPos(Opt.IniFile) != 1) return;
    // Stored on another screen layout the place may lie beyond today's screens.
    const QRect placed = FitOnScreen(
        QRect(wholePixelsFromTwips(MaiLeft), wholePixelsFromTwips(MaiTop),
              std::max(wholePixelsFromTwips(MaiWidth), minimumSizeHint().width()),
              std::max(wholePixelsFromTwips(MaiHeight), minimumSizeHint().height())),
        FrameMarginsOf(*this), screen());
    resize(placed.size());
    move(placed.topLeft());
}

void MainForm::buildMenus() {
    EditIni = menuBar()->addAction(qtText("Edit Ini"));
    Options = menuBar()->addMenu(qtText("Options"));
    mnuURL = Options->addMenu(qtText("URL"));
    Both = radioItem(mnuURL, "Both");
    httpOnly = radioItem(mnuURL, "HTTP Only");
    LocalOnly = radioItem(mnuURL, "Local Only");
    Both->setChecked(true);
    mnuProjection = Options->addMenu(qtText("Projection"));
    Cartesian = radioItem(mnuProjection, "Cartesian (x/y=lon/lat)");
    Marcator = radioItem(mnuProjection, "Marcator");
    GridPoint = Options->addMenu(qtText("Grid Point"));
    doShow = radioItem(GridPoint, "Show (only vector & step)");
    Notshow = radioItem(GridPoint, "Not to show");
    Notshow->setChecked(true);
    mnuMesh = Options->addMenu(qtText("Mesh"));
    ShowMesh = radioItem(mnuMesh, "Show");
    NoShowMesh = radioItem(mnuMesh, "Not to show");
    ArrowStyle = Options->addMenu(qtText("Arrow Style"));
    ThinArrow = radioItem(ArrowStyle, "Thin Arrow");
    PolyArrow = radioItem(ArrowStyle, "Poly Arrow");
    FontArrow = radioItem(ArrowStyle, "Font Arrow");
    CoastlineOpt = Options->addMenu(qtText("Coastline"));
    ThinLine = radioItem(CoastlineOpt, "Thin Line");
    PolygonFill = radioItem(CoastlineOpt, "Polygon");
    Options->addSeparator();
    Aboutmenu = Options->addAction(qtText("About.."));
}

namespace {

// The dataset entry, the second file and the time span, one row each.
void entryRows(MainForm& f, QWidget* central, QVBoxLayout* layout) {
    auto* entry = new QGridLayout;
    layout->addLayout(entry);
    f.lblFile[0] = new QLabel(qtText("URL or NC File"), central);
    f.Combo1 = new QComboBox(central);
    f.Combo1->setEditable(true);
    f.Combo1->setInsertPolicy(QComboBox::NoInsert);
    f.Combo1->setMinimumWidth(420);
    f.Combo1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    f.cmdBrowse = new QPushButton(central);
    f.cmdBrowse->setToolTip(qtText("Browse for File"));
    f.cmdLoad = new QPushButton(qtText("Load"), central);
    entry->addWidget(f.lblFile[0], 0, 0);
    entry->addWidget(f.Combo1, 0, 1);
    entry->addWidget(f.cmdBrowse, 0, 2);
    entry->addWidget(f.cmdLoad, 0, 3);

    f.lblFile[1] = new QLabel(qtText("Secondary File"), central);
    f.Text3 = new QLineEdit(qtText(kSecondFileHint), central);
    f.Text3->setToolTip(qtText(kSecondFileHint));
    f.Command3 = new QPushButton(central);
    f.Command3->setToolTip(qtText("Copy top URL to second URL window."));
    entry->addWidget(f.lblFile[1], 1, 0);
    entry->addWidget(f.Text3, 1, 1);
    entry->addWidget(f.Command3, 1, 2);

    f.label4 = new QLabel(qtText("Time"), central);
    f.Text2 = new QLineEdit(central);
    f.cmdStartEnd = new QPushButton(qtText("<"), central);
    f.cmdStartEnd->setMaximumWidth(32);
    entry->addWidget(f.label4, 2, 0);
    entry->addWidget(f.Text2, 2, 1);
    entry->addWidget(f.cmdStartEnd, 2, 2);
    entry->setColumnStretch(1, 1);
}

// The header summaries, the preview and the other file's variables.
void summaryBoxes(MainForm& f, QWidget* central, QVBoxLayout* layout) {
    auto* boxes = new QGridLayout;
    layout->addLayout(boxes, 1);
    const char* titles[5] = {"Dimensions", "Coordinates", "Fixed Variables",
                             "Record Variables (time,,)", "(in the other file)"};
    for (std::size_t i = 0; i < 5; ++i) {
        f.Label1[i] = new QLabel(qtText(titles[i]), central);
        f.Text1[i] = new QPlainTextEdit(central);
        f.Text1[i]->setReadOnly(true);
        f.Text1[i]->setLineWrapMode(QPlainTextEdit::NoWrap);
    }
    // Left: dimensions and coordinates; middle: fixed and record variables; right: the preview
    // and the second file's variables.
    boxes->addWidget(f.Label1[0], 0, 0);
    boxes->addWidget(f.Text1[0], 1, 0);
    boxes->addWidget(f.Label1[1], 2, 0);
    boxes->addWidget(f.Text1[1], 3, 0);
    boxes->addWidget(f.Label1[2], 0, 1);
    boxes->addWidget(f.Text1[2], 1, 1);
    boxes->addWidget(f.Label1[3], 2, 1);
    boxes->addWidget(f.Text1[3], 3, 1);
    f.Label2 = new QLabel(qtText("Geographic Coverage"), central);
    f.Picture1 = new PictureWidget(central);
    f.Picture1->setMinimumSize(kPreviewWidth, kPreviewHeight);
    f.Picture1->resize(kPreviewWidth, kPreviewHeight);
    // The loader draws into the preview before the window is first laid out.
    f.Picture1->picture().resize(kPreviewWidth, kPreviewHeight);
    boxes->addWidget(f.Label2, 0, 2);
    boxes->addWidget(f.Picture1, 1, 2);
    boxes->addWidget(f.Label1[4], 2, 2);
    boxes->addWidget(f.Text1[4], 3, 2);
    f.Label3 = new QLabel(qtText("Numbers prefixed are variable-order"), central);
    boxes->addWidget(f.Label3, 4, 1);
}

void commandRow(MainForm& f, QWidget* central, QVBoxLayout* layout) {
    auto* commands = new QHBoxLayout;
    layout->addLayout(commands);
    f.Command2[0] = new QPushButton(qtText("Plot"), central);
    f.Command2[0]->setToolTip(qtText("Plot or Save File As.."));
    f.Command2[1] = new QPushButton(qtText("Subset to local"), central);
    f.Command1 = new QPushButton(qtText("List CDL Header"), central);
    f.Command4 = new QPushButton(qtText("Alias Tool"), central);
    f.Command4->setToolTip(
        qtText("Click here to assign temporary names to Dimensions and Variables"));
    f.Command5 = new QPushButton(qtText("About"), central);
    for (QPushButton* b : {f.Command2[0], f.Command2[1], f.Command1, f.Command4, f.Command5})
        commands->addWidget(b);
    commands->addStretch();
}

} // namespace

void MainForm::buildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* layout = new QVBoxLayout(central);
    entryRows(*this, central, layout);
    summaryBoxes(*this, central, layout);
    commandRow(*this, central, layout);
}

void MainForm::connectEvents() {
    auto on = [this](auto* sender, auto signal, void (MainForm::*procedure)()) {
        connect(sender, signal, this,
                [this, procedure] { runEvent([&] { (this->*procedure)(); }); });
    };
    on(cmdLoad, &QPushButton::clicked, &MainForm::cmdLoad_Click);
    on(cmdBrowse, &QPushButton::clicked, &MainForm::cmdBrowse_Click);
    on(Command3, &QPushButton::clicked, &MainForm::Command3_Click);
    on(cmdStartEnd, &QPushButton::clicked, &MainForm::cmdStartEnd_Click);
    on(Command1, &QPushButton::clicked, &MainForm::Command1_Click);
    on(Command4, &QPushButton::clicked, &MainForm::Command4_Click);
    on(Command5, &QPushButton::clicked, &MainForm::Command5_Click);
    for (int i = 0; i < 2; ++i)
        connect(Command2[static_cast<std::size_t>(i)], &QPushButton::clicked, this,
                [this, i] { runEvent([&] { Command2_Click(static_cast<Integer>(i)); }); });
    on(EditIni, &QAction::triggered, &MainForm::EditIni_Click);
    on(Both, &QAction::triggered, &MainForm::Both_Click);
    on(httpOnly, &QAction::triggered, &MainForm::httpOnly_Click);
    on(LocalOnly, &QAction::triggered, &MainForm::LocalOnly_Click);
    on(Cartesian, &QAction::triggered, &MainForm::Cartesian_Click);
    on(Marcator, &QAction::triggered, &MainForm::Marcator_Click);
    on(doShow, &QAction::triggered, &MainForm::doShow_Click);
    on(Notshow, &QAction::triggered, &MainForm::Notshow_Click);
    on(ShowMesh, &QAction::triggered, &MainForm::ShowMesh_Click);
    on(NoShowMesh, &QAction::triggered, &MainForm::NoShowMesh_Click);
    on(ThinArrow, &QAction::triggered, &MainForm::ThinArrow_Click);
    on(PolyArrow, &QAction::triggered, &MainForm::PolyArrow_Click);
    on(FontArrow, &QAction::triggered, &MainForm::FontArrow_Click);
    on(ThinLine, &QAction::triggered, &MainForm::ThinLine_Click);
    on(PolygonFill, &QAction::triggered, &MainForm::PolygonFill_Click);
    on(Aboutmenu, &QAction::triggered, &MainForm::Aboutmenu_Click);
    Picture1->onKeyUp = [this](int keyCode, int shift) {
        runEvent(
            [&] { Picture1_KeyUp(static_cast<Integer>(keyCode), static_cast<Integer>(shift)); });
    };
    // The style's icons come from the desktop's icon theme, whose first look-up (index files
    // read, folders searched) costs as much as the rest of the window: they are put on the
    // buttons once the window has been painted.
    Picture1->installEventFilter(this);
    Combo1->installEventFilter(this);
    if (Combo1->lineEdit()) Combo1->lineEdit()->installEventFilter(this);
    // An item picked from the list brings its own bytes.
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { comboHeld_.clear(); });
}

MainForm::~MainForm() {
    SetKeepClearArea({});
    if (theForm == this) theForm = nullptr;
    if (loadedMainForm() == this) RegisterMainForm(nullptr);
}

void MainForm::setButtonIcons() {
    cmdBrowse->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    Command3->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
}

bool MainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Picture1 && event->type() == QEvent::Paint) {
        Picture1->removeEventFilter(this);
        QMetaObject::invokeMethod(this, &MainForm::setButtonIcons, Qt::QueuedConnection);
    }
    if (event->type() == QEvent::FocusOut && (watched == Combo1 || watched == Combo1->lineEdit())) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Opening the list or leaving the window does not leave the box.
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
            !Combo1->hasFocus())
            runEvent([this] { Combo1_LostFocus(); });
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainForm::closeEvent(QCloseEvent* event) {
    if (unloaded_) {
        event->accept();
        return;
    }
    Integer cancel = 0;
    runEvent([&] { Form_Unload(cancel); });
    if (cancel != 0)
        event->ignore();
    else
        event->accept();
}

// ---- Load and the dataset entry ----------------------------------------------------------------

namespace {

const char* const kNcFilter = "NetCDF file(*.nc)|*.nc|All files(*.*)|*.*";

// The open-file dialog of the dataset entry; a chosen file becomes the entry and joins the
// remembered list. False when cancelled.
bool chooseDataset(MainForm& f, std::string start) {
    const std::string chosen = ShowOpenDlg(start, kNcFilter);
    if (chosen.empty()) return false;
    PutString("local nc", "FilePath", Opt.IniFile, chosen);
    SetCurrentEntry(chosen);
    f.setComboText(chosen);
    AddToURLList();
    // The list may show another item when the filter hides the new entry.
    f.setComboText(Opt.URL(0));
    return true;
}

// Where the dataset dialog starts for the entry text: its folder, or for a URL (which has no
// folder here) the last local file chosen.
std::string wildcardStart(const std::string& text) {
    if (IsURL(text)) return GetString("local nc", "FilePath", Opt.IniFile);
    return FolderOf(text) + "/*.NC";
}

} // namespace

void MainForm::Form_Load() {
    Command1->setEnabled(false);
    Command2[0]->setEnabled(false);
    Command2[1]->setEnabled(false);
    Command4->setEnabled(false);
    FillURLCombo();
}

void MainForm::cmdLoad_Click() {
    if (IsBusy()) {
        refuseLoad();
        return;
    }
    BusyGuard busy;
    ui().DoEvents();
    const std::string text = comboText();
    if (text == "?") {
        if (!chooseDataset(*this, GetString("local nc", "FilePath", Opt.IniFile))) return;
    } else if (!text.empty() && text.back() == '*') {
        if (!chooseDataset(*this, wildcardStart(text))) return;
    } else {
        SetCurrentEntry(text);
    }

    std::string main = Trim(comboText());
    std::string second = Trim(secondHeld_.of(Text3->text()));
    if (second.empty() || second == main) {
        LoadFile(0);
        return;
    }
    const std::string mainFolder = GetFolderUpper(main);
    const std::string secondFolder = GetFolderUpper(second);
    if (secondFolder.empty()) {
        LoadFile(0);
        return;
    }
    if (mainFolder != secondFolder) {
        const int answer = ui().MsgBox("URL paths are different:\r\n\r\n" + mainFolder + "\r\n" +
                                           secondFolder + "\r\n\r\nDo you want to proceed?",
                                       kYesNo, "");
        if (answer == kNo) return;
    }
    SetSecondFile(second);
    LoadFile(1);
}

void MainForm::refuseLoad() {
    // The entry goes back to the dataset on show, so that the box names what is loaded.
    if (Data.clsNC && Data.nNcMain > 0) {
        const std::string loaded = Data.clsNC->FName(Data.nNcMain);
        if (!loaded.empty()) {
            SetCurrentEntry(loaded);
            setComboText(loaded);
        }
    }
    ui().MsgBox(kLoadRefusedText, kOkOnly + kExclamation, kProgramTitle);
}

void MainForm::cmdBrowse_Click() {
    chooseDataset(*this, wildcardStart(comboText()));
}

void MainForm::Combo1_LostFocus() {
    const std::string text = comboText();
    if (Len(text) < 5 || (Opt.URL.IsAllocated() && text == Opt.URL(0))) return;
    SetCurrentEntry(text);
    AddToURLList();
    setComboText(Opt.URL(0));
}

void MainForm::Command3_Click() {
    const std::string text = comboText();
    std::size_t count = 0, at = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == 'U' || text[i] == 'u') {
            ++count;
            at = i;
        }
    }
    std::string second = text;
    if (count == 1) second[at] = 'V';
    Text3->setText(secondHeld_.hold(second));
}

void MainForm::cmdStartEnd_Click() {
    if (IsBusy()) return;
    if (Len(comboText()) < 3) return;
    // The query holds the busy guard itself, and lets it go before it closes the windows of
    // the dataset it released.
    ShowTimeRange();
}

// ---- The other windows
// ----------------------------------------------------------------------------

void MainForm::Command2_Click(Integer /*Index*/) {
    if (IsBusy()) return;
    if (!Opt.URL.IsAllocated() || Opt.URL(0).empty()) return;
    ui().SetMousePointer(kPointerHourglass);
    // The map window and the order window, modeless, then the tips. Without a dataset in slot 1
    // (after a failed load) there is nothing for them to show.
    if (DatasetReady()) {
        PicFormForm().show();
        OrderFrmForm().show();
    }
    if (Opt.ShowNote1 == 1) ShowNote1Form();
    ui().SetMousePointer(kPointerDefault);
}

void MainForm::Command1_Click() {
    if (IsBusy()) return;
    BusyGuard busy;
    if (Make_CDL() > 0) OpenCdlInEditor();
}

void MainForm::Command4_Click() {
    if (IsBusy()) return;
    ShowAliasDialog();
}

void MainForm::Command5_Click() {
    ShowAboutBox();
}

void MainForm::Aboutmenu_Click() {
    ShowAboutBox();
}

void MainForm::Picture1_KeyUp(Integer KeyCode, Integer /*Shift*/) {
    if (KeyCode == 27) RequestAnimationStop();
}

void MainForm::EditIni_Click() {
    // The settings file in use, in the user's own editor; one gone missing leaves nothing to
    // edit.
    OpenInUserEditor(Opt.IniFile, "[EditIni]");
}

// ---- Options
// -------------------------------------------------------------------------------------

void MainForm::Both_Click() {
    setMarks(Both, {httpOnly, LocalOnly});
    SetURLFilter(0);
}

void MainForm::httpOnly_Click() {
    setMarks(httpOnly, {Both, LocalOnly});
    SetURLFilter(1);
}

void MainForm::LocalOnly_Click() {
    setMarks(LocalOnly, {Both, httpOnly});
    SetURLFilter(2);
}

namespace {

// The projection switch reloads the dataset so that every coordinate comes in the new units.
void switchProjection(MainForm& f, Long projection) {
    if (IsBusy()) {
        // Refused while a load runs: the marks stay with the projection in force.
        if (View.Projection == 1)
            setMarks(f.Marcator, {f.Cartesian});
        else
            setMarks(f.Cartesian, {f.Marcator});
        return;
    }
    BusyGuard busy;
    if (projection == 1)
        setMarks(f.Marcator, {f.Cartesian});
    else
        setMarks(f.Cartesian, {f.Marcator});
    SetProjection(projection);
    PutString("Projection", "parameters", Opt.IniFile, projection == 0 ? "0" : "1");
    LoadFile(0);
}

} // namespace

void MainForm::Cartesian_Click() {
    switchProjection(*this, 0);
}

void MainForm::Marcator_Click() {
    switchProjection(*this, 1);
}

void MainForm::doShow_Click() {
    setMarks(doShow, {Notshow});
    SetGridShown(1);
}

void MainForm::Notshow_Click() {
    setMarks(Notshow, {doShow});
    SetGridShown(0);
}

void MainForm::ShowMesh_Click() {
    if (IsBusy()) {
        if (Opt.OptShowMesh != 0)
            setMarks(ShowMesh, {NoShowMesh});
        else
            setMarks(NoShowMesh, {ShowMesh});
        return;
    }
    BusyGuard busy;
    setMarks(ShowMesh, {NoShowMesh});
    SetMeshShown(1);
    PutString("OptShowMesh", "parameters", Opt.IniFile, Str(Opt.OptShowMesh));
    LoadFile(0);
}

void MainForm::NoShowMesh_Click() {
    setMarks(NoShowMesh, {ShowMesh});
    SetMeshShown(0);
    PutString("OptShowMesh", "parameters", Opt.IniFile, Str(Opt.OptShowMesh));
}

void MainForm::ThinArrow_Click() {
    setMarks(ThinArrow, {PolyArrow, FontArrow});
    SetArrowStyle(1);
}

void MainForm::PolyArrow_Click() {
    setMarks(PolyArrow, {ThinArrow, FontArrow});
    SetArrowStyle(2);
}

void MainForm::FontArrow_Click() {
    setMarks(FontArrow, {ThinArrow, PolyArrow});
    SetArrowStyle(108);
}

void MainForm::ThinLine_Click() {
    setMarks(ThinLine, {PolygonFill});
    SetCoastlineStyle(1);
}

void MainForm::PolygonFill_Click() {
    setMarks(PolygonFill, {ThinLine});
    SetCoastlineStyle(2);
}

// ---- Shut-down
// ------------------------------------------------------------------------------------

void MainForm::Form_Unload(Integer& /*Cancel*/) {
    unloaded_ = true;
    ui().SetMousePointer(kPointerHourglass);
    if (!Opt.IniFile.empty()) {
        PutString("ShowNote1", "parameters", Opt.IniFile, CStr(Opt.ShowNote1));
        PutString("ShowNote2", "parameters", Opt.IniFile, CStr(Opt.ShowNote2));
        PutString("ShowNote3", "parameters", Opt.IniFile, CStr(Opt.ShowNote3));
        PutString("OptArrowStyle", "parameters", Opt.IniFile, CStr(Opt.OptArrowStyle));
        PutString("OptCoastLine", "parameters", Opt.IniFile, CStr(Coast.OptCoastLine));
        if (Opt.URL.IsAllocated() && Len(Opt.URL(0)) > 6)
            PutString("URLfile 0", "URL List", Opt.IniFile, Opt.URL(0));
    }
    // The order and map windows go first (the map window keeps its position and zoom), then
    // the colour window.
    if (OrderFrmLoaded()) UnloadOrderFrm();
    if (PicFormLoaded()) UnloadPicForm();
    if (FormColorLoaded()) UnloadFormColor();
    if (frmVsectLoaded()) UnloadfrmVsect();
    if (OCXHostLoaded()) UnloadOCXHost();
    if (!Opt.IniFile.empty()) {
        PutMainWinPos(Opt.IniFile);
        CompactURLList();
    }
    ui().SetMousePointer(kPointerDefault);
    endProgramAction()();
}

// ---- The form
// ----------------------------------------------------------------------------------------

MainForm& mainForm() {
    if (!theForm) {
        theForm = new MainForm();
        theForm->Form_Load();
    }
    return *theForm;
}

bool mainFormLoaded() {
    return theForm != nullptr;
}

void UnloadMainForm() {
    delete theForm;
    theForm = nullptr;
}

std::function<void()> setEndProgramAction(std::function<void()> action) {
    auto old = std::move(endProgramAction());
    endProgramAction() = action ? std::move(action) : defaultEndProgram;
    return old;
}
