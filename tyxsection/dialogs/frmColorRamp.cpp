#include "tyxsection/dialogs/frmColorRamp.h"
#include "common/Ui.h"
#include "gui/QtText.h"
#include "tyxsection/dialogs/DialogKit.h"

#include <QLabel>
#include <QPushButton>

namespace {

// The colour dialog on a swatch's colour; a cancelled dialog changes nothing.
bool chooseColour(Swatch& swatch, Long& colour) {
    Long chosen = swatch.Color();
    if (!ui().ColorDialog(chosen)) return false;
    swatch.setColor(chosen);
    colour = swatch.Color();
    return true;
}

} // namespace

frmColorRamp::frmColorRamp(QWidget* parent) : SmallDialog(parent) {
    setWindowTitle(qtText("Color Ramps"));
    auto* first = new QLabel(qtText("First Color"), this);
    first->setObjectName("Label1(0)");
    placeTwips(*first, 150, 180, 825, 225);
    auto* last = new QLabel(qtText("Last Color"), this);
    last->setObjectName("Label1(1)");
    placeTwips(*last, 150, 510, 855, 225);
    lblFirstColor = new Swatch(this);
    lblFirstColor->setObjectName("lblFirstColor");
    lblFirstColor->setColor(0xFF);
    placeTwips(*lblFirstColor, 1080, 120, 1215, 315);
    lblLastColor = new Swatch(this);
    lblLastColor->setObjectName("lblLastColor");
    lblLastColor->setColor(0xFF0000);
    placeTwips(*lblLastColor, 1080, 450, 1215, 315);
    cmdOK = addButton(*this, "cmdOK", "OK", 1080, 870, 465, 405);
    cmdOK->setDefault(true);
    cmdCancel = addButton(*this, "cmdCancel", "Cancel", 1590, 870, 675, 405);
    setFixedSize(2385 / 15, 1365 / 15);
    connect(lblFirstColor, &QPushButton::clicked, this, [this] { lblFirstColor_Click(); });
    connect(lblLastColor, &QPushButton::clicked, this, [this] { lblLastColor_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void frmColorRamp::Show() {
    Form_Load();
    ui().ShowModal(*this);
}

void frmColorRamp::Form_Load() {
    Result = -1;
    FirstColor = 0xFF;
    LastColor = 0xFF0000;
    CenterForm(*this);
}

void frmColorRamp::lblFirstColor_Click() {
    chooseColour(*lblFirstColor, FirstColor);
}

void frmColorRamp::lblLastColor_Click() {
    chooseColour(*lblLastColor, LastColor);
}

void frmColorRamp::cmdOK_Click() {
    Result = 1;
    accept();
}

void frmColorRamp::cmdCancel_Click() {
    Result = -1;
    reject();
}
