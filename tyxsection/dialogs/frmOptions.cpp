#include "tyxsection/dialogs/frmOptions.h"
#include "common/Ui.h"
#include "gui/QtText.h"
#include "tyxsection/KewFile.h"
#include "tyxsection/dialogs/DialogKit.h"
#include "tyxsection/dialogs/frmColorKey.h"

#include <QFrame>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

frmOptions::frmOptions(TyxModel& model, QWidget* parent) : QDialog(parent), m_(model) {
    setWindowTitle(qtText("Section View Options"));
    // The frame is taller than it once was, so that Edit Legend lies inside what it shows.
    Frame1 = new QGroupBox(qtText("View Options"), this);
    Frame1->setObjectName("Frame1");
    Frame1->setStyleSheet("QGroupBox { color: blue; font-weight: bold; }");
    placeTwips(*Frame1, 15, 60, 3315, 1995);
    const char* captions[4] = {
        "Vertical Section without Contour Lines", "Vertical Section with Contour Lines",
        "Vertical Profile (Single Graph)", "Vertical Profile (Seperate Graphs)"};
    const Long tops[4] = {210, 510, 1140, 810};
    const Long heights[4] = {345, 345, 285, 345};
    for (Long i = 0; i < 4; ++i) {
        auto* o = new QRadioButton(qtText(captions[i]), Frame1);
        o->setObjectName(qtText(arrayName("optViewStyle", i)));
        o->setStyleSheet("font-weight: normal; color: black;");
        placeTwips(*o, 120, tops[i], 3045, heights[i]);
        optViewStyle[static_cast<std::size_t>(i)] = o;
        connect(o, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) optViewStyle_Click(i);
        });
    }
    for (Long i = 0; i < 2; ++i) {
        auto* line = new QFrame(Frame1);
        line->setStyleSheet(i == 0 ? "background-color: white;" : "background-color: grey;");
        placeTwips(*line, 120, 1470 + 15 * i, 3120, 15);
    }
    cmdLegend = addButton(*Frame1, "cmdLegend", "Edit Legend", 1118, 1560, 1155, 375);
    cmdLegend->setStyleSheet("font-weight: normal; color: black;");
    cmdOK = addButton(*this, "cmdOK", "OK", 638, 2160, 1035, 345);
    cmdCancel = addButton(*this, "cmdCancel", "Cancel", 1718, 2160, 1035, 345);
    setFixedSize(3330 / 15, 2550 / 15);
    connect(cmdLegend, &QPushButton::clicked, this,
            [this] { dialogEvent("frmOptions cmdLegend_Click0", [this] { cmdLegend_Click(); }); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

Long frmOptions::OpenOptionsForm() {
    Result = -1;
    Form_Load();
    ui().ShowModal(*this);
    // A dialog that ended without OK or Cancel was closed: that cancels too.
    if (!closed_) cmdCancel_Click();
    return Result;
}

void frmOptions::Form_Load() {
    CenterForm(*this);
    TyxMainState& main = m_.main;
    keptItem_ = main.Item_shown;
    keptViewStyle_ = main.ViewStyle;
    keptContourFlag_ = m_.contour.ContourFlag;
    keptSingleGraph_ = main.SingleGraph;
    if (main.Item_shown < 1) main.Item_shown = 1;
    std::size_t option = 0;
    if (main.ViewStyle == 1)
        option = main.SingleGraph == 1 ? 2 : 3;
    else
        option = m_.contour.ContourFlag > 0 ? 1 : 0;
    optViewStyle[option]->setChecked(true);
}

void frmOptions::optViewStyle_Click(Long Index) {
    TyxMainState& main = m_.main;
    switch (Index) {
    case 0:
        main.ViewStyle = 2;
        m_.contour.ContourFlag = 0;
        break;
    case 1:
        main.ViewStyle = 2;
        m_.contour.ContourFlag = 1;
        break;
    case 2:
        main.ViewStyle = 1;
        main.SingleGraph = 1;
        break;
    case 3:
        main.ViewStyle = 1;
        main.SingleGraph = 0;
        break;
    default:
        break;
    }
}

void frmOptions::cmdOK_Click() {
    Result = 1;
    closed_ = true;
    accept();
}

void frmOptions::cmdCancel_Click() {
    Result = -1;
    closed_ = true;
    TyxMainState& main = m_.main;
    main.ViewStyle = keptViewStyle_;
    m_.contour.ContourFlag = keptContourFlag_;
    main.SingleGraph = keptSingleGraph_;
    if (main.Item_shown != keptItem_) {
        main.Item_shown = keptItem_;
        // An item that is no item of the list (none before a dataset) names no variable.
        const ItemList& items = main.items;
        if (keptItem_ >= 1 && keptItem_ <= items.NumDrawAbleItems)
            main.nvar_it = items.DrawAbleItem(keptItem_).nvar;
    }
    QDialog::reject();
}

void frmOptions::reject() {
    if (!closed_) cmdCancel_Click();
}

void frmOptions::cmdLegend_Click() {
    frmColorKey editor(m_, this);
    editor.Show();
    if (editor.Result > 0) SaveKEW(m_);
}

Long ShowOptionsDialog(TyxModel& m) {
    frmOptions dialog(m);
    return dialog.OpenOptionsForm();
}
