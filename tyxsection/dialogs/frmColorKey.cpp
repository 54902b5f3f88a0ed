#include "tyxsection/dialogs/frmColorKey.h"
#include "common/Ui.h"
#include "gui/QtText.h"
#include "gui/Twips.h"
#include "platform/Kovra.h"
#include "runtime/Color.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "tyxsection/KewFile.h"
#include "tyxsection/dialogs/DialogKit.h"
#include "tyxsection/dialogs/frmAutoDiv.h"
#include "tyxsection/dialogs/frmColorRamp.h"
#include "tyxsection/dialogs/frmVarName.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>

namespace {

// Row geometry in twips.
constexpr Long kRowHeight = 345;
constexpr Long kRowPitch = 375; // the row's height and 30 between rows
constexpr Long kFrame1Height = 3885;
constexpr Long kClientHeight = 5025;

Long rowTop(Long i) {
    return 30 + kRowPitch * i;
}

// One colour channel (0 red, 1 green, 2 blue) of a Long RGB colour.
Long channel(Long colour, int which) {
    return (static_cast<Long>(static_cast<std::uint32_t>(colour) >> (8 * which))) & 0xFF;
}

QPushButton* rowButton(QWidget* parent, const char* caption, const char* tip, int points) {
    auto* b = new QPushButton(qtText(caption), parent);
    QFont f = b->font();
    f.setBold(true);
    if (points > 0) f.setPointSize(points);
    b->setFont(f);
    b->setToolTip(qtText(tip));
    return b;
}

// A field's value, as far beyond any Single as it gets when its text is beyond a Double.
double valueOrHuge(const NumberEdit& field) {
    try {
        return field.Value();
    } catch (const RuntimeError&) {
        return HUGE_VAL;
    }
}

} // namespace

frmColorKey::frmColorKey(TyxModel& model, QWidget* parent) : QDialog(parent), m_(model) {
    setWindowTitle(qtText("Edit Legend"));
    cmdImport = addButton(*this, "cmdImport", "Import", 428, 30, 1155, 315);
    cmdAutoDiv = addButton(*this, "cmdAutoDiv", "Auto Division", 1628, 30, 1155, 315);
    cmdColorRamp = addButton(*this, "cmdColorRamp", "Color Ramp", 2828, 30, 1155, 315);
    cmdOK = addButton(*this, "cmdOK", "OK", 2670, 4710, 825, 315);
    cmdCancel = addButton(*this, "cmdCancel", "Cancel", 3570, 4710, 825, 315);

    Line2 = new QFrame(this);
    Line2->setObjectName("Line2");
    Line2->setStyleSheet("background-color: white;");
    Line1 = new QFrame(this);
    Line1->setObjectName("Line1");
    Line1->setStyleSheet("background-color: grey;");

    const char* headings[4] = {"Low", "High", "Color", "Ins  Del"};
    const Long headingLeft[4] = {750, 1950, 3150, 60};
    const Long headingWidth[4] = {1125, 1125, 1245, 645};
    for (Long i = 0; i < 4; ++i) {
        auto* label = new QLabel(qtText(headings[i]), this);
        label->setObjectName(qtText(arrayName("Label1", i)));
        label->setAlignment(Qt::AlignCenter);
        placeTwips(*label, headingLeft[i], 510, headingWidth[i], 195);
    }

    Frame1 = new QWidget(this);
    Frame1->setObjectName("Frame1");
    placeTwips(*Frame1, 0, 750, 4695, kFrame1Height);
    Frame2 = new QWidget(Frame1);
    Frame2->setObjectName("Frame2");
    VScroll1 = new QScrollBar(Qt::Vertical, Frame1);
    VScroll1->setObjectName("VScroll1");
    placeTwips(*VScroll1, 4410, 0, 255, 3855);
    VScroll1->hide();

    createRow(); // row 0 of the layout: bounds 0, the button-face colour
    ResetScrollbar();

    connect(cmdImport, &QPushButton::clicked, this, [this] { cmdImport_Click(); });
    connect(cmdAutoDiv, &QPushButton::clicked, this, [this] {
        dialogEvent("frmColorKey cmdAutoDiv_Click0", [this] { cmdAutoDiv_Click(); });
    });
    connect(cmdColorRamp, &QPushButton::clicked, this, [this] {
        dialogEvent("frmColorKey cmdColorRamp_Click0", [this] { cmdColorRamp_Click(); });
    });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(VScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });
}

void frmColorKey::Show() {
    Result = 0;
    Form_Load();
    ui().ShowModal(*this);
}

void frmColorKey::Form_Load() {
    CenterForm(*this);
    LoadColorKey();
}

void frmColorKey::createRow() {
    const Long i = RowCount();
    Row row;
    row.low = new NumberEdit(NumberEdit::Kind::Double, Frame2);
    row.high = new NumberEdit(NumberEdit::Kind::Double, Frame2);
    row.color = new Swatch(Frame2);
    row.del = rowButton(Frame2, "X", "Delete Division", 0);
    row.add = rowButton(Frame2, "+", "Insert Division", 12);
    row.low->setObjectName(qtText(arrayName("fldLowRange", i)));
    row.high->setObjectName(qtText(arrayName("fldHighRange", i)));
    row.color->setObjectName(qtText(arrayName("lblColor", i)));
    row.del->setObjectName(qtText(arrayName("cmdDelete", i)));
    row.add->setObjectName(qtText(arrayName("cmdAdd", i)));
    placeTwips(*row.add, 30, rowTop(i), 345, kRowHeight);
    placeTwips(*row.del, 390, rowTop(i), 345, kRowHeight);
    placeTwips(*row.low, 750, rowTop(i), 1125, kRowHeight);
    placeTwips(*row.high, 1950, rowTop(i), 1125, kRowHeight);
    placeTwips(*row.color, 3150, rowTop(i), 1245, kRowHeight);
    // A new row starts as row 0 stands.
    if (i > 0) {
        row.low->setText(rows_[0].low->text());
        row.high->setText(rows_[0].high->text());
        row.color->setColor(rows_[0].color->Color());
    }
    connect(row.add, &QPushButton::clicked, this, [this, i] {
        dialogEvent("frmColorKey cmdAdd_Click0", [this, i] { cmdAdd_Click(i); });
    });
    connect(row.del, &QPushButton::clicked, this, [this, i] {
        dialogEvent("frmColorKey cmdDelete_Click0", [this, i] { cmdDelete_Click(i); });
    });
    connect(row.color, &QPushButton::clicked, this, [this, i] {
        dialogEvent("frmColorKey lblColor_Click0", [this, i] { lblColor_Click(i); });
    });
    for (QWidget* w : {static_cast<QWidget*>(row.low), static_cast<QWidget*>(row.high),
                       static_cast<QWidget*>(row.color), static_cast<QWidget*>(row.del),
                       static_cast<QWidget*>(row.add)})
        w->show();
    rows_.push_back(row);
}

void frmColorKey::removeLastRow() {
    const Row row = rows_.back();
    rows_.pop_back();
    // The row's own button may be the one being clicked: it goes once the click is over.
    for (QWidget* w : {static_cast<QWidget*>(row.low), static_cast<QWidget*>(row.high),
                       static_cast<QWidget*>(row.color), static_cast<QWidget*>(row.del),
                       static_cast<QWidget*>(row.add)}) {
        w->hide();
        w->setObjectName(QString());
        w->disconnect(this);
        w->deleteLater();
    }
}

void frmColorKey::copyRow(Long to, Long from) {
    const Row& source = rows_[static_cast<std::size_t>(from)];
    const Row& target = rows_[static_cast<std::size_t>(to)];
    target.low->setText(source.low->text());
    target.high->setText(source.high->text());
    target.color->setColor(source.color->Color());
}

void frmColorKey::LoadColorKey() {
    dialogEvent("frmColorKey LoadColorKey0", [this] {
        const ColorKeyRec& key = m_.colour.ColorKey;
        for (Long i = 0; i < key.count; ++i) {
            if (i > 0) createRow();
            Row& row = rows_[static_cast<std::size_t>(i)];
            row.low->setSingle(key.low(i + 1));
            row.high->setSingle(key.high(i + 1));
            row.color->setColor(key.color(i + 1));
        }
        ResetScrollbar();
    });
}

bool frmColorKey::SaveColorKey() {
    // The key holds Singles: a bound beyond them is refused before anything is copied.
    for (Long i = 0; i < RowCount(); ++i) {
        const Row& row = rows_[static_cast<std::size_t>(i)];
        for (NumberEdit* field : {row.low, row.high}) {
            if (std::fabs(valueOrHuge(*field)) <= FLT_MAX) continue;
            ui().MsgBox("Row " + CStr(i + 1) + ": " + Trim(programText(field->text())) +
                            " lies outside the range of the key's values (" + CStr(-FLT_MAX) +
                            " to " + CStr(FLT_MAX) + ").",
                        kExclamation, "Edit Legend");
            field->setFocus();
            field->selectAll();
            return false;
        }
    }
    dialogEvent("frmColorKey SaveColorKey0", [this] {
        ColorKeyRec& key = m_.colour.ColorKey;
        const Long n = RowCount();
        key.count = n;
        key.color.ReDim(1, n);
        key.low.ReDim(1, n);
        key.high.ReDim(1, n);
        for (Long i = 0; i < n; ++i) {
            const Row& row = rows_[static_cast<std::size_t>(i)];
            key.low(i + 1) = CSng(row.low->Value());
            key.high(i + 1) = CSng(row.high->Value());
            key.color(i + 1) = row.color->Color();
        }
    });
    return true;
}

void frmColorKey::cmdAdd_Click(Long Index) {
    const Long n = RowCount();
    if (n >= kMaxDivisions) return;
    createRow();
    for (Long i = n; i >= Index + 1; --i)
        copyRow(i, i - 1);
    ResetScrollbar();
}

void frmColorKey::cmdDelete_Click(Long Index) {
    const Long n = RowCount();
    if (n <= 1) return;
    for (Long i = Index; i <= n - 2; ++i)
        copyRow(i, i + 1);
    removeLastRow();
    ResetScrollbar();
}

void frmColorKey::cmdAutoDiv_Click() {
    frmAutoDiv dialog(this);
    dialog.MinVal = rows_.front().low->Value();
    dialog.MaxVal = rows_.back().high->Value();
    dialog.Divisions = RowCount();
    dialog.Show();
    if (dialog.Result > 0) AutoDivide(dialog.MinVal, dialog.MaxVal, dialog.Divisions);
}

void frmColorKey::AutoDivide(double MinVal, double MaxVal, Long Divisions) {
    // The key keeps at least one row.
    if (Divisions < 1 || Divisions > kMaxAutoDivisions) return;
    while (RowCount() < Divisions)
        createRow();
    while (RowCount() > Divisions)
        removeLastRow();
    const double step = std::fabs(MaxVal - MinVal) / Divisions;
    for (Long i = 0; i < Divisions; ++i) {
        const Row& row = rows_[static_cast<std::size_t>(i)];
        row.low->setValue(MinVal + i * step);
        row.high->setValue(MinVal + (i + 1) * step);
    }
    ResetScrollbar();
}

void frmColorKey::cmdColorRamp_Click() {
    frmColorRamp dialog(this);
    dialog.Show();
    if (dialog.Result >= 0) ApplyColorRamp(dialog.FirstColor, dialog.LastColor);
}

void frmColorKey::ApplyColorRamp(Long FirstColor, Long LastColor) {
    const Long n = RowCount();
    Long first[3], step[3];
    for (int c = 0; c < 3; ++c) {
        first[c] = channel(FirstColor, c);
        step[c] = CLng(static_cast<double>(channel(LastColor, c) - first[c]) / n);
    }
    for (Long i = 0; i < n; ++i) {
        Long value[3];
        // Rounded steps can overshoot over many rows: the channels stay within 0 to 255.
        for (int c = 0; c < 3; ++c)
            value[c] = std::clamp<Long>(first[c] + i * step[c], 0, 255);
        rows_[static_cast<std::size_t>(i)].color->setColor(RGB(value[0], value[1], value[2]));
    }
}

void frmColorKey::lblColor_Click(Long Index) {
    Swatch& swatch = *rows_[static_cast<std::size_t>(Index)].color;
    Long colour = swatch.Color();
    if (ui().ColorDialog(colour)) swatch.setColor(colour);
}

void frmColorKey::cmdImport_Click() {
    // Whatever goes wrong, the import ends without a word and the rows stay.
    try {
        FileDialogRequest request;
        request.filter = "KEW Files(*.kew)|*.kew";
        const std::string file = ui().OpenFileDialog(request);
        if (file.empty()) return;
        if (Exist(file)) OpenColorKey(file);
    } catch (...) {}
}

void frmColorKey::OpenColorKey(const std::string& file) {
    frmVarName dialog(this);
    dialog.filename = file;
    dialog.Show();
    if (dialog.Result < 0) return;
    // The file is read whole before a row changes, so that a failed import keeps them.
    ColorKeyRec read;
    if (!ReadKewKey(file, dialog.varname, read) || read.count < 1) return;
    while (RowCount() > 1)
        removeLastRow();
    for (Long i = 0; i < read.count; ++i) {
        if (i > 0) createRow();
        const Row& row = rows_[static_cast<std::size_t>(i)];
        row.low->setSingle(read.low(i + 1));
        row.high->setSingle(read.high(i + 1));
        row.color->setColor(read.color(i + 1));
    }
    ResetScrollbar();
}

void frmColorKey::placeLines(Long right) {
    placeTwips(*Line2, 0, 405, right, 15);
    placeTwips(*Line1, 0, 420, right, 15);
}

void frmColorKey::ResetScrollbar() {
    dialogEvent("frmColorKey ResetScrollbar0", [this] {
        frame2Height_ = rowTop(RowCount() - 1) + kRowHeight + 30;
        if (frame2Height_ > kFrame1Height) {
            VScroll1->setMinimum(0);
            VScroll1->setMaximum(CLng((frame2Height_ - kFrame1Height) / 10.0));
            placeTwips(*Frame2, 0, frame2Top_, 4455, frame2Height_);
            VScroll1->setValue(0);
            VScroll1->setSingleStep(10 * TwipsPerPixelY());
            VScroll1->setPageStep(VScroll1->singleStep());
            VScroll1->show();
            PrevScroll = 0;
            windowWidth_ = 4770;
            placeLines(4670);
        } else {
            VScroll1->hide();
            frame2Top_ = 0;
            placeTwips(*Frame2, 0, frame2Top_, 4455, frame2Height_);
            windowWidth_ = 4500;
            placeLines(4400);
        }
        setFixedSize(wholePixelsFromTwips(windowWidth_), wholePixelsFromTwips(kClientHeight));
    });
}

void frmColorKey::VScroll1_Change() {
    try {
        ScrollDivisionFrame();
    } catch (...) {}
}

void frmColorKey::ScrollDivisionFrame() {
    const Long v = VScroll1->value();
    frame2Top_ = PrevScroll + frame2Top_ - 10 * v;
    if (frame2Top_ > 0) frame2Top_ = 0;
    PrevScroll = 10 * v;
    placeTwips(*Frame2, 0, frame2Top_, 4455, frame2Height_);
}

void frmColorKey::cmdOK_Click() {
    if (!SaveColorKey()) return;
    Result = 1;
    accept();
}

void frmColorKey::cmdCancel_Click() {
    Result = -1;
    reject();
}
