#include "viewer/shell/OrderFrm.h"

#include "common/CMDialog.h"
#include "common/MinMax.h"
#include "common/Strings.h"
#include "common/Ui.h"
#include "gui/PictureWidget.h"
#include "gui/QtText.h"
#include "gui/ScreenPlace.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "viewer/export/ExportHost.h"
#include "viewer/export/SaveFlow.h"
#include "viewer/export/SubsetDescription.h"
#include "viewer/export/SubsetWindow.h"
#include "viewer/map/BusyGuard.h"
#include "viewer/map/DataChoices.h"
#include "viewer/map/DrawCost.h"
#include "viewer/map/ErrorBox.h"
#include "viewer/map/Options.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"
#include "viewer/section/OCXHost.h"
#include "viewer/shell/FormFaces.h"
#include "viewer/shell/Note2.h"
#include "viewer/shell/PicForm.h"
#include "viewer/shell/PickList.h"
#include "viewer/shell/PlotPicked.h"
#include "viewer/shell/ShortMsg.h"
#include "viewer/shell/URLList.h"
#include "viewer/shell/frmAlias.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QStyle>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace {

OrderFrm* theForm = nullptr;

// The forms that reach the order window through its face make it on first use, as
// OrderFrmForm() does, and unload it as UnloadOrderFrm() does.
OrderFrmFace& makeOrderFrm() {
    return OrderFrmForm();
}
[[maybe_unused]] const bool makersSet = (SetOrderFrmMakers(makeOrderFrm, UnloadOrderFrm), true);

constexpr const char* kCrLf = "\r\n";

// The order window's strides and step box as the maps read and write them.
class OrderFrmBoxes : public OrderBoxes {
public:
    explicit OrderFrmBoxes(OrderFrm& form) : form_(form) {}
    std::string StrideText(Long d) const override {
        // Four rows: a fifth dimension has no box and takes its default stride.
        if (d < 1 || d > static_cast<Long>(form_.Text11.size())) return {};
        return programText(form_.Text11[static_cast<std::size_t>(d - 1)]->text());
    }
    std::string StepText() const override { return programText(form_.Text10[0]->text()); }
    void SetStepText(const std::string& text) override { form_.Text10[0]->setText(qtText(text)); }

private:
    OrderFrm& form_;
};

OrderFrmBoxes* theBoxes = nullptr;
OrderBoxes* boxesBefore = nullptr;

// A saved subset becomes the dataset as a dataset typed into the main window does.
void loadSavedSubset(const std::string& path) {
    SetCurrentEntry(path);
    mainFormFace().openDataset(path);
}

// The subset rows, the size and target boxes and the cursor entry, as the save routines read
// and write them.
class OrderFrmExportHost : public ExportHost {
public:
    explicit OrderFrmExportHost(OrderFrm& form) : form_(form) {}
    Long SubsetRows() const override { return static_cast<Long>(form_.Text5.size()); }
    std::string StartText(Long d) const override { return text(form_.Text5, d); }
    std::string EndText(Long d) const override { return text(form_.Text6, d); }
    std::string StepText(Long d) const override { return text(form_.Text7, d); }
    void SetRow(Long d, const std::string& start, const std::string& end, const std::string& step,
                const std::string& count) override {
        if (d < 1 || d > SubsetRows()) return;
        const auto row = static_cast<std::size_t>(d - 1);
        form_.Text5[row]->setText(qtText(start));
        form_.Text6[row]->setText(qtText(end));
        form_.Text7[row]->setText(qtText(step));
        form_.Text3[row]->setText(qtText(count));
    }
    void SetSizeText(const std::string& t) override { form_.Text8->setText(qtText(t)); }
    bool CursorPick(PickItem& item) const override {
        const Long cursor = form_.ListIndex();
        if (cursor == -1) return false;
        item = DecodePick(CLng(ListNumberOf(form_.ListText(cursor))));
        return true;
    }
    std::string TargetText() const override { return programText(form_.Text2->text()); }
    void SetTargetText(const std::string& t) override { form_.Text2->setText(qtText(t)); }
    Long AskShortMsg(const std::string& caption, const std::string& t, const std::string& button1,
                     const std::string& button2, const std::string& button3) override {
        return ShowShortMsg(caption, t, button1, button2, button3);
    }
    void LoadDataset(const std::string& path) override {
        // The load closes this window and its host with it: nothing of this object is
        // touched after it.
        const std::string target = path;
        loadSavedSubset(target);
    }
    void RedrawFrame() override {
        MapPicture().Cls();
        PlotPicked(0);
    }
    void AddVariableAlias() override { ShowAliasDialog(); }

private:
    static std::string text(const std::array<QLineEdit*, 4>& boxes, Long d) {
        if (d < 1 || d > static_cast<Long>(boxes.size())) return {};
        return programText(boxes[static_cast<std::size_t>(d - 1)]->text());
    }
    OrderFrm& form_;
};

OrderFrmExportHost* theHost = nullptr;
ExportHost* hostBefore = nullptr;

// The handlers of the drawing commands go on past a step that fails, without a word.
template <class Step> void resumeNext(Step&& step) {
    try {
        std::forward<Step>(step)();
    } catch (const std::exception&) {}
}

void message(const std::string& text) {
    ui().MsgBox(text, kOkOnly, kProgramTitle);
}

// A value typed into a step or level box, rounded and held within 1..last.
Long boxValue(const QLineEdit* box, Long last) {
    return MinL(MaxL(CLng(ListNumberOf(programText(box->text()))), 1), last);
}

// Two picks must be a pair of the same rank, and no more than three can be drawn at once.
bool picksDrawable() {
    if (Data.PickCount == 2 && Data.Picks(1).narray != Data.Picks(2).narray) {
        message(std::string("You picked a pair of items, but") + kCrLf +
                "with different ranks (number of dimensions)" + kCrLf + kCrLf + "Please reseclect");
        return false;
    }
    if (Data.PickCount >= 4) {
        message(std::string("You can plot only one item a time:") + kCrLf + kCrLf +
                "Scalar or pair of vector components" + kCrLf + "(as many when save)" + kCrLf +
                kCrLf + "Please reseclect");
        return false;
    }
    return true;
}

// The commands that load, plot or save wait for the long command under way, and need a
// dataset.
bool mayStart() {
    return DatasetReady() && !IsBusy();
}

void showMapWindow() {
    PicForm& map = PicFormForm();
    if (!map.isVisible()) map.show();
}

// Sizes come from the font and the layouts, never from fixed pixels, so that the window reads
// the same at any scale and device pixel ratio.
constexpr int kListRows = 6;      // entries the list shows at the least
constexpr int kListChars = 20;    // its width in average characters, at the least ...
constexpr int kListMaxChars = 40; // ... and at the most when an entry is wider
constexpr int kDescriptionLines = 4;

// A box wide enough for chars digits (or letters) besides its frame and margins.
void fitChars(QLineEdit* box, int chars) {
    const int text = box->fontMetrics().horizontalAdvance(QString(chars, QLatin1Char('0')));
    const int one = box->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    box->setMinimumWidth(box->minimumSizeHint().width() + text - one);
}

// The list keeps kListRows entries in sight and its widest entry (within bounds) whole.
void fitList(QListWidget* list) {
    const QFontMetrics fm = list->fontMetrics();
    int widest = fm.averageCharWidth() * kListChars;
    int row = fm.lineSpacing();
    for (int i = 0; i < list->count(); ++i) {
        widest = std::max(widest, fm.horizontalAdvance(list->item(i)->text()));
        row = std::max(row, list->sizeHintForRow(i));
    }
    widest = std::min(widest, fm.averageCharWidth() * kListMaxChars);
    const int frame = 2 * list->frameWidth();
    const int bar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list);
    list->setMinimumSize(widest + frame + bar + 2 * margin + fm.averageCharWidth(),
                         kListRows * row + frame);
}

// The scroll area reports the whole window's wish, not its own bounded one, so that the
// window opens at the size its layout asks for, as far as the screen allows.
class ContentArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override {
        const int frame = 2 * frameWidth();
        return widget() ? widget()->sizeHint() + QSize(frame, frame) : QScrollArea::sizeHint();
    }
};

} // namespace

OrderFrm::OrderFrm() {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(qtText("Drawable Variables"));
    buildMenus();
    buildControls();
    connectEvents();

    theBoxes = new OrderFrmBoxes(*this);
    boxesBefore = setOrderBoxes(theBoxes);
    theHost = new OrderFrmExportHost(*this);
    hostBefore = setExportHost(theHost);
}

void OrderFrm::buildMenus() {
    QMenuBar* menus = menuBar();
    SaveBmp = menus->addAction(qtText("Save Pic"));
    Options = menus->addMenu(qtText("Save Options"));
    // One radio group of marks: each click sets them all (markSaveFormat).
    for (const SaveFormat& format : SaveFormats()) {
        QAction* entry = Options->addAction(qtText(format.caption));
        entry->setObjectName(QString::fromLatin1(format.control));
        entry->setCheckable(true);
        asFormat.push_back(entry);
    }
    asFormat.front()->setChecked(true);
    SubsetfromIni = menus->addAction(qtText("Subset from Ini"));
}

void OrderFrm::buildControls() {
    // On a screen too small for the layout the window scrolls rather than squeezing its
    // lists and boxes below their size.
    auto* area = new ContentArea(this);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    setCentralWidget(area);
    auto* central = new QWidget(area);
    area->setWidget(central);
    auto* layout = new QHBoxLayout(central);

    auto* left = new QVBoxLayout;
    layout->addLayout(left, 1);
    List1 = new QListWidget(central);
    List1->setSelectionMode(QAbstractItemView::MultiSelection);
    fitList(List1);
    left->addWidget(List1, 2);
    Text1 = new QPlainTextEdit(central);
    Text1->setMinimumHeight(kDescriptionLines * Text1->fontMetrics().lineSpacing() +
                            2 * Text1->frameWidth() +
                            2 * static_cast<int>(Text1->document()->documentMargin()));
    left->addWidget(Text1, 1);

    auto* right = new QVBoxLayout;
    layout->addLayout(right, 1);
    right->addWidget(buildDrawFrame(central));
    right->addWidget(buildSaveFrame(central));
    right->addStretch();

    // Room for what the boxes hold: ranges "1 to 99999", indices and strides of six digits,
    // dimension names, a path.
    for (QLineEdit* box : Text9)
        fitChars(box, 10);
    for (QLineEdit* box : Text10)
        fitChars(box, 6);
    for (auto* column : {&Text5, &Text6, &Text3, &Text7, &Text11})
        for (QLineEdit* box : *column)
            fitChars(box, 6);
    for (QLineEdit* box : Text4)
        fitChars(box, 8);
    fitChars(Text2, 24);
    fitChars(Text8, 10);
}

// The drawing commands, the vector scale and the time and level boxes.
QGroupBox* OrderFrm::buildDrawFrame(QWidget* central) {
    Frame2 = new QGroupBox(qtText("Draw to Picture Box"), central);
    auto* drawGrid = new QGridLayout(Frame2);
    const char* cmd1[4] = {"Draw", "Save to local file", "Erase", "Section"};
    for (std::size_t i = 0; i < Command1.size(); ++i)
        Command1[i] = new QPushButton(qtText(cmd1[i]), this);
    drawGrid->addWidget(Command1[0], 0, 0);
    drawGrid->addWidget(Command1[2], 0, 1);
    drawGrid->addWidget(Command1[3], 0, 2);
    Command6[0] = new QPushButton(qtText(">"), Frame2);
    Command6[1] = new QPushButton(qtText(">>"), Frame2);
    drawGrid->addWidget(Command6[0], 1, 0);
    drawGrid->addWidget(Command6[1], 1, 1);
    label4 = new QLabel(qtText("v scale"), Frame2);
    Command5[0] = new QPushButton(qtText("<"), Frame2);
    Command5[1] = new QPushButton(qtText(">"), Frame2);
    auto* vRow = new QHBoxLayout;
    vRow->addWidget(Command5[0]);
    vRow->addWidget(label4);
    vRow->addWidget(Command5[1]);
    drawGrid->addLayout(vRow, 1, 2);
    const char* label3[4] = {"Time", "Level", "Range", "Picked"};
    for (std::size_t i = 0; i < Label3.size(); ++i)
        Label3[i] = new QLabel(qtText(label3[i]), Frame2);
    drawGrid->addWidget(Label3[2], 2, 1);
    drawGrid->addWidget(Label3[3], 2, 2);
    for (std::size_t i = 0; i < 2; ++i) {
        Text9[i] = new QLineEdit(Frame2);
        Text10[i] = new QLineEdit(Frame2);
        drawGrid->addWidget(Label3[i], static_cast<int>(3 + i), 0);
        drawGrid->addWidget(Text9[i], static_cast<int>(3 + i), 1);
        drawGrid->addWidget(Text10[i], static_cast<int>(3 + i), 2);
    }
    return Frame2;
}

// The target file and the subset rows of the save command.
QGroupBox* OrderFrm::buildSaveFrame(QWidget* central) {
    Frame1 = new QGroupBox(qtText("Save to Local File"), central);
    auto* saveGrid = new QGridLayout(Frame1);
    Text2 = new QLineEdit(Frame1);
    Command2 = new QPushButton(qtText("<"), Frame1);
    Command4 = new QPushButton(qtText("Append ?"), Frame1);
    Command1[1]->setParent(Frame1);
    saveGrid->addWidget(Text2, 0, 0, 1, 4);
    saveGrid->addWidget(Command2, 0, 4);
    saveGrid->addWidget(Command1[1], 1, 0, 1, 3);
    saveGrid->addWidget(Command4, 1, 3, 1, 2);
    const char* label1[8] = {"", "Dimensions", "Start", "End", "Count", "Stride", "Auto", "Manual"};
    for (std::size_t i = 1; i < Label1.size(); ++i)
        Label1[i] = new QLabel(qtText(label1[i]), Frame1);
    saveGrid->addWidget(Label1[5], 2, 4, 1, 2, Qt::AlignHCenter);
    saveGrid->addWidget(Label1[1], 3, 0);
    saveGrid->addWidget(Label1[2], 3, 1);
    saveGrid->addWidget(Label1[3], 3, 2);
    saveGrid->addWidget(Label1[4], 3, 3);
    saveGrid->addWidget(Label1[6], 3, 4);
    saveGrid->addWidget(Label1[7], 3, 5);
    for (std::size_t row = 0; row < Text4.size(); ++row) {
        Text4[row] = new QLineEdit(Frame1);
        Text5[row] = new QLineEdit(Frame1);
        Text6[row] = new QLineEdit(Frame1);
        Text3[row] = new QLineEdit(Frame1);
        Text7[row] = new QLineEdit(Frame1);
        Text11[row] = new QLineEdit(Frame1);
        const int r = static_cast<int>(4 + row);
        saveGrid->addWidget(Text4[row], r, 0);
        saveGrid->addWidget(Text5[row], r, 1);
        saveGrid->addWidget(Text6[row], r, 2);
        saveGrid->addWidget(Text3[row], r, 3);
        saveGrid->addWidget(Text7[row], r, 4);
        saveGrid->addWidget(Text11[row], r, 5);
    }
    Command3 = new QPushButton(qtText("recount"), Frame1);
    Label2 = new QLabel(qtText("Transfer Size per variable"), Frame1);
    Text8 = new QLineEdit(Frame1);
    saveGrid->addWidget(Command3, 8, 0);
    saveGrid->addWidget(Label2, 8, 1, 1, 3);
    saveGrid->addWidget(Text8, 8, 4, 1, 2);
    return Frame1;
}

void OrderFrm::connectEvents() {
    for (std::size_t i = 0; i < Command1.size(); ++i)
        connect(Command1[i], &QPushButton::clicked, this,
                [this, i] { runEvent([this, i] { Command1_Click(static_cast<Integer>(i)); }); });
    for (std::size_t i = 0; i < Command6.size(); ++i)
        connect(Command6[i], &QPushButton::clicked, this,
                [this, i] { runEvent([this, i] { Command6_Click(static_cast<Integer>(i)); }); });
    for (std::size_t i = 0; i < Command5.size(); ++i)
        connect(Command5[i], &QPushButton::clicked, this,
                [this, i] { runEvent([this, i] { Command5_Click(static_cast<Integer>(i)); }); });
    connect(Command2, &QPushButton::clicked, this,
            [this] { runEvent([this] { Command2_Click(); }); });
    connect(Command3, &QPushButton::clicked, this,
            [this] { runEvent([this] { Command3_Click(); }); });
    connect(Command4, &QPushButton::clicked, this,
            [this] { runEvent([this] { Command4_Click(); }); });
    connect(SaveBmp, &QAction::triggered, this, [this] { runEvent([this] { SaveBmp_Click(); }); });
    connect(SubsetfromIni, &QAction::triggered, this,
            [this] { runEvent([this] { SubsetfromIni_Click(); }); });
    for (std::size_t i = 0; i < asFormat.size(); ++i)
        connect(asFormat[i], &QAction::triggered, this,
                [this, i] { runEvent([this, i] { asFormat_Click(static_cast<Integer>(i)); }); });
    connect(List1, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        keepOnePicked(item);
        runEvent([this] { List1_Click(); });
    });
    connect(List1, &QListWidget::itemDoubleClicked, this,
            [this] { runEvent([this] { List1_DblClick(); }); });
    List1->installEventFilter(this);
}

OrderFrm::~OrderFrm() {
    if (theForm == this) {
        theForm = nullptr;
        RegisterOrderFrm(nullptr);
    }
    if (theBoxes) {
        setOrderBoxes(boxesBefore);
        delete theBoxes;
        theBoxes = nullptr;
        boxesBefore = nullptr;
    }
    if (theHost) {
        setExportHost(hostBefore);
        delete theHost;
        theHost = nullptr;
        hostBefore = nullptr;
    }
}

bool OrderFrm::eventFilter(QObject* watched, QEvent* event) {
    // Moving the cursor with the keys describes the new entry, as a click does.
    if (watched == List1 && event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
            key == Qt::Key_PageDown || key == Qt::Key_Home || key == Qt::Key_End ||
            key == Qt::Key_Space) {
            if (key == Qt::Key_Space) keepOnePicked(List1->currentItem());
            runEvent([this] { List1_Click(); });
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void OrderFrm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (sized_) return;
    sized_ = true;
    // The first time it is shown the window takes the size its layout asks for, as far as the
    // screen allows with the window's frame, and opens beside the map rather than over it, off
    // the main window's menus and dataset entry where the screen has room.
    resize(sizeHint());
    PlaceBesideAnchor(*this);
}

void OrderFrm::closeEvent(QCloseEvent* event) {
    // A drawing started here still reads and writes the window's boxes.
    if (IsBusy()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

// ---- List access ------------------------------------------------------------------------------

void OrderFrm::keepOnePicked(QListWidgetItem* item) {
    // The list toggles an entry at each click: the one variable a dataset offers comes picked,
    // and a click on it (to read its description) would leave nothing to draw. Where there are
    // others, taking the last pick away is how the user moves to another entry.
    if (item && List1->count() == 1 && !item->isSelected()) item->setSelected(true);
}

void OrderFrm::setListIndex(Long index) {
    List1->setCurrentRow(index, QItemSelectionModel::NoUpdate);
    List1_Click();
}

// ---- Event procedures -------------------------------------------------------------------------

void OrderFrm::Form_Load() {
    if (Opt.SaveFormat > 0) markSaveFormat(Opt.SaveFormat);
    List1->clear();
    FillOrderVarList();
    fitList(List1);
    if (ListCount() > 0) setListIndex(0);
}

void OrderFrm::List1_Click() {
    // The description works out a read window: not while a drawing uses the one in force.
    if (IsBusy() || !DatasetReady()) return;
    if (ListIndex() != -1) ShowOrderDetail();
}

void OrderFrm::List1_DblClick() {
    Command1_Click(0);
}

void OrderFrm::Command1_Click(Integer Index) {
    switch (Index) {
    case 0: { // Draw
        if (!mayStart()) return;
        if (!BuildPicks()) return;
        if (!picksDrawable()) return;
        TakeStepAndLevel();
        resumeNext(showMapWindow);
        resumeNext([] { PlotPicked(1); });
        break;
    }
    case 1: // Save to local file
        if (!mayStart()) return;
        if (!BuildPicks()) return;
        SaveCommand();
        break;
    case 2: // Erase
        resumeNext([] {
            Picture& pic = MapPicture();
            pic.Cls();
            if (Coast.CoastFlag == 1) DrawCoast(pic);
        });
        break;
    case 3: // Section
        if (!mayStart()) return;
        if (!BuildPicks()) return;
        if (Data.clsNC->kMax(1) < 1) {
            message("This File does not have vertical structure");
            return;
        }
        // The host window comes up beside the map (still empty, or with the last section) and
        // the map takes a new path: clicks add vertices, a double click draws the section.
        resumeNext([] {
            if (PicFormLoaded())
                ShowOCXHostBeside(PicFormForm().frameGeometry());
            else
                ShowOCXHost();
        });
        StartSectionPath();
        ui().SetMousePointer(kPointerCross);
        break;
    default:
        break;
    }
}

void OrderFrm::Command6_Click(Integer Index) {
    if (!mayStart()) return;
    if (!BuildPicks()) return;
    if (Index == 0) { // next step
        resumeNext([] { MapPicture().Cls(); });
        const Long next = AddL(Data.CurTimeStep, 1);
        SetTimeStep(next > Data.clsNC->nTime(1) ? 1 : next);
        const QPointer<OrderFrm> self(this);
        resumeNext([] { PlotPicked(1); });
        const std::string step = CStr(Data.CurTimeStep);
        if (self) Text10[0]->setText(qtText(" " + step));
    } else if (Index == 1) { // all steps from the step box on
        if (!picksDrawable()) return;
        TakeStepAndLevel();
        resumeNext(showMapWindow);
        Long r = -1;
        resumeNext([&r] { r = PlotPicked(3); });
        if (r > 0) SetTimeStep(r);
    }
}

void OrderFrm::Command5_Click(Integer Index) {
    if (!mayStart()) return;
    const float scale = Index == 0 ? Opt.vscale * 0.5f : Opt.vscale * 1.5f;
    SetVectorScale(scale <= 0 ? 1.0f : scale);
    PutString("vscale", "Scales", Opt.IniFile, Str(Opt.vscale));
    MapPicture().Cls();
    Command1_Click(0);
}

void OrderFrm::Command2_Click() {
    std::string path = programText(Text2->text());
    if (path.empty()) path = GetString("local nc", "FilePath", Opt.IniFile);
    // The save asks its own question about an existing target.
    path = ShowSaveDlg(path, "NetCDF file(*.nc)|*.nc|All files(*.*)|*.*", false);
    if (path.empty()) return;
    PutString("local nc", "FilePath", Opt.IniFile, path);
    Text2->setText(qtText(path));
}

void OrderFrm::Command3_Click() {
    // The recount rewrites the rows that a drawing under way still reads.
    if (!mayStart()) return;
    EstimateSubsetSize();
}

void OrderFrm::Command4_Click() {
    ShowNote2Form();
}

void OrderFrm::SaveBmp_Click() {
    // A picture half drawn is not saved.
    if (IsBusy()) return;
    std::string path = GetString("BMP", "FilePath", Opt.IniFile);
    path = ShowSaveDlg(path, "BMP files|*.BMP");
    if (path.empty()) return;
    // A picture written over a dataset in use would destroy it.
    if (IsOpenDataset(path)) {
        message(std::string("[SaveBmp] Picture not saved:") + kCrLf + path + kCrLf +
                "This file is one of the open datasets; choose another name.");
        return;
    }
    PutString("BMP", "FilePath", Opt.IniFile, path);
    try {
        MapPicture().SavePicture(path);
    } catch (const RuntimeError& e) {
        message(std::string("[SaveBmp] Picture not saved:") + kCrLf + path + kCrLf +
                e.description());
    }
}

void OrderFrm::SubsetfromIni_Click() {
    // The view is not replaced under a drawing.
    if (IsBusy()) return;
    LoadSubsetExtent();
}

void OrderFrm::markSaveFormat(Long format) {
    const std::span<const SaveFormat> formats = SaveFormats();
    for (std::size_t i = 0; i < asFormat.size(); ++i)
        asFormat[i]->setChecked(formats[i].id == format);
}

void OrderFrm::asFormat_Click(Integer Index) {
    const Long format = SaveFormats()[static_cast<std::size_t>(Index)].id;
    markSaveFormat(format);
    SetSaveFormat(format);
    PutString("SaveFormat", "parameters", Opt.IniFile, Str(format));
}

// ---- Picks, step and level ------------------------------------------------------------------

bool BuildPicks() {
    OrderFrm& f = OrderFrmForm();
    ClearPicks();
    Long count = 0;
    for (Long i = 0; i < f.ListCount(); ++i)
        if (f.Selected(i)) ++count;
    if (count == 0) {
        message("Please select variable first");
        return false;
    }
    VArray<PickItem> picks;
    picks.ReDim(1, count);
    Long n = 0;
    for (Long i = 0; i < f.ListCount(); ++i) {
        if (!f.Selected(i)) continue;
        ++n;
        picks(n) = DecodePick(CLng(ListNumberOf(f.ListText(i))));
    }
    SetPicks(std::move(picks));
    return true;
}

void TakeStepAndLevel() {
    OrderFrm& f = OrderFrmForm();
    const Long nTime = Data.clsNC->nTime(1);
    if (nTime > 0) resumeNext([&] { SetTimeStep(boxValue(f.Text10[0], nTime)); });
    const Long kMax = Data.clsNC->kMax(1);
    if (kMax > 0) resumeNext([&] { SetLevel(boxValue(f.Text10[1], kMax)); });
}

// ---- The form -----------------------------------------------------------------------------------

OrderFrm& OrderFrmForm() {
    if (!theForm) {
        theForm = new OrderFrm();
        RegisterOrderFrm(theForm);
        theForm->Form_Load();
    }
    return *theForm;
}

bool OrderFrmLoaded() {
    return theForm != nullptr;
}

void UnloadOrderFrm() {
    delete theForm;
    theForm = nullptr;
}
