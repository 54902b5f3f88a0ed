#include "tyxsection/dialogs/frmAutoDiv.h"
#include "common/Ui.h"
#include "gui/QtText.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "tyxsection/dialogs/DialogKit.h"

#include <QLabel>
#include <QPushButton>

#include <cmath>

frmAutoDiv::frmAutoDiv(QWidget* parent) : SmallDialog(parent) {
    setWindowTitle(qtText("Auto Division"));
    const char* captions[3] = {"Minimum", "Maximum", "Divisions"};
    for (Long i = 0; i < 3; ++i) {
        auto* label = new QLabel(qtText(captions[i]), this);
        label->setObjectName(qtText(arrayName("Label1", i)));
        placeTwips(*label, 120, 180 + 330 * i, 705, 255);
    }
    fldMinVal = new NumberEdit(NumberEdit::Kind::Double, this);
    fldMinVal->setObjectName("fldMinVal");
    placeTwips(*fldMinVal, 900, 120, 1305, 315);
    fldMaxVal = new NumberEdit(NumberEdit::Kind::Double, this);
    fldMaxVal->setObjectName("fldMaxVal");
    placeTwips(*fldMaxVal, 900, 450, 1305, 315);
    fldDivisions = new NumberEdit(NumberEdit::Kind::Whole, this);
    fldDivisions->setObjectName("fldDivisions");
    placeTwips(*fldDivisions, 900, 780, 1305, 315);
    lblBound = new QLabel(qtText("(1 to " + CStr(kMaxAutoDivisions) + ")"), this);
    lblBound->setObjectName("lblBound");
    placeTwips(*lblBound, 900, 1110, 1305, 255);
    cmdOK = addButton(*this, "cmdOK", "OK", 390, 1440, 615, 495);
    cmdOK->setDefault(true);
    cmdCancel = addButton(*this, "cmdCancel", "Cancel", 1020, 1440, 945, 495);
    setFixedSize(2325 / 15, 2025 / 15);
    connect(cmdOK, &QPushButton::clicked, this,
            [this] { dialogEvent("frmAutoDiv cmdOK_Click0", [this] { cmdOK_Click(); }); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void frmAutoDiv::Show() {
    Form_Load();
    ui().ShowModal(*this);
}

void frmAutoDiv::Form_Load() {
    CenterForm(*this);
    fldMinVal->setValue(MinVal);
    fldMaxVal->setValue(MaxVal);
    fldDivisions->setValue(Divisions);
}

void frmAutoDiv::cmdOK_Click() {
    const double minVal = fldMinVal->Value();
    const double maxVal = fldMaxVal->Value();
    // Every division is a row of the key; a key has at least one.
    const double typed = Val(programText(fldDivisions->text()));
    const Long divisions = std::fabs(typed) < 1e9 ? CLng(typed) : 0;
    if (divisions < 1 || divisions > kMaxAutoDivisions) {
        ui().MsgBox("The number of divisions must be from 1 to " + CStr(kMaxAutoDivisions) + ".",
                    kExclamation, "Auto Division");
        fldDivisions->setFocus();
        return;
    }
    Result = 1;
    MinVal = minVal;
    MaxVal = maxVal;
    Divisions = divisions;
    accept();
}

void frmAutoDiv::cmdCancel_Click() {
    Result = -1;
    reject();
}
