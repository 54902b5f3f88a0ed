#include "viewer/shell/FormColor.h"

#include "common/MinMax.h"
#include "common/Ui.h"
#include "gui/Picture.h"
#include "gui/PictureWidget.h"
#include "gui/QtText.h"
#include "gui/ScreenPlace.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "viewer/map/CScale.h"
#include "viewer/map/ErrorBox.h"
#include "viewer/map/SharedState.h"

#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace {

FormColor* theForm = nullptr;

Picture& keyPicture() {
    return FormColorForm().Picture1->picture();
}

// The maps draw their colour key in this window from the program's start on; the first key
// drawn loads it.
[[maybe_unused]] const bool keyInstalled = (setColorKeyPicture(keyPicture), true);

constexpr int kPictureWidth = 140;
constexpr int kPictureHeight = 450;

} // namespace

FormColor::FormColor() {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(qtText("Elevation(m)"));
    setFixedSize(kPictureWidth + 128, kPictureHeight + 16);

    Label1[1] = new QLabel(qtText("Max"), this);
    Label1[1]->setGeometry(8, 8, 100, 18);
    Text1[0] = new QLineEdit(this);
    Text1[0]->setGeometry(8, 26, 100, 24);
    Label1[2] = new QLabel(qtText("Min."), this);
    Label1[2]->setGeometry(8, 58, 100, 18);
    Text1[1] = new QLineEdit(this);
    Text1[1]->setGeometry(8, 76, 100, 24);

    Frame1 = new QGroupBox(qtText("Color Opt."), this);
    Frame1->setGeometry(8, 112, 100, 160);
    const char* captions[5] = {"GBR", "Grey", "R", "G", "B"};
    for (int i = 0; i < 5; ++i) {
        Option1[i] = new QRadioButton(qtText(captions[i]), Frame1);
        Option1[i]->setGeometry(10, 22 + 26 * i, 80, 22);
        connect(Option1[i], &QRadioButton::clicked, this,
                [i] { runEvent([i] { FormColor_Option1_Click(static_cast<Integer>(i)); }); });
    }

    Picture1 = new PictureWidget(this);
    Picture1->setGeometry(120, 8, kPictureWidth, kPictureHeight);
    // The key is drawn while the form may still be hidden, before any resize event.
    Picture1->picture().resize(kPictureWidth, kPictureHeight);

    for (QLineEdit* t : Text1)
        t->installEventFilter(this);
}

FormColor::~FormColor() {
    if (theForm == this) theForm = nullptr;
}

void FormColor::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (placed_) return;
    placed_ = true;
    // Beside the map and the order window, not over them or the main window's controls.
    PlaceBesideAnchor(*this);
}

bool FormColor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        for (Integer i = 0; i < 2; ++i) {
            if (watched != Text1[static_cast<std::size_t>(i)] || key->isAutoRepeat()) continue;
            int shift = 0;
            if (key->modifiers() & Qt::ShiftModifier) shift |= kShiftMask;
            if (key->modifiers() & Qt::ControlModifier) shift |= kCtrlMask;
            if (key->modifiers() & Qt::AltModifier) shift |= kAltMask;
            const auto code = static_cast<Integer>(keyCodeOfQtKey(key->key()));
            runEvent([=] { FormColor_Text1_KeyUp(i, code, static_cast<Integer>(shift)); });
        }
    }
    return QWidget::eventFilter(watched, event);
}

FormColor& FormColorForm() {
    if (!theForm) {
        theForm = new FormColor();
        FormColor_Form_Load();
    }
    return *theForm;
}

bool FormColorLoaded() {
    return theForm != nullptr;
}

void UnloadFormColor() {
    delete theForm;
    theForm = nullptr;
}

void FormColor_Form_Load() {
    FormColor& f = FormColorForm();
    f.Text1[0]->setText(qtText(Str(MaxS(Scale.ScaleMax, Scale.ScaleMin))));
    f.Text1[1]->setText(qtText(Str(MinS(Scale.ScaleMax, Scale.ScaleMin))));
    // A variant that has no button (the section window keeps its own) marks none.
    if (Scale.col_opt >= 0 && Scale.col_opt < 5)
        f.Option1[static_cast<std::size_t>(Scale.col_opt)]->setChecked(true);
    if (Scale.ColorCode < 1) SetColourScheme(30, Scale.col_opt);
    DrawColorLegend();
}

void FormColor_Option1_Click(Integer Index) {
    SetColourScheme(Scale.ColorCode, Index);
    DrawColorLegend();
    ui().DoEvents();
}

void FormColor_Text1_KeyUp(Integer Index, Integer /*KeyCode*/, Integer /*Shift*/) {
    if (Index < 0 || Index > 1) throw RuntimeError(err::Subscript);
    FormColor& f = FormColorForm();
    const float x = CSng(Val(programText(f.Text1[static_cast<std::size_t>(Index)]->text())));
    if (Index == 0)
        SetColourRange(x, Scale.ScaleMin);
    else
        SetColourRange(Scale.ScaleMax, x);
    DrawColorLegend();
}
