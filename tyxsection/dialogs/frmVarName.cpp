#include "tyxsection/dialogs/frmVarName.h"
#include "common/Ui.h"
#include "gui/QtText.h"
#include "tyxsection/KewFile.h"
#include "tyxsection/dialogs/DialogKit.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

frmVarName::frmVarName(QWidget* parent) : SmallDialog(parent) {
    setWindowTitle(qtText("Available Variables"));
    auto* label = new QLabel(qtText("Choose one of the available variable settings"), this);
    label->setObjectName("Label1");
    placeTwips(*label, 60, 30, 3555, 225);
    lstVarNames = new QListWidget(this);
    lstVarNames->setObjectName("lstVarNames");
    lstVarNames->setSelectionMode(QAbstractItemView::SingleSelection);
    placeTwips(*lstVarNames, 30, 270, 3675, 1230);
    cmdOK = addButton(*this, "cmdOK", "OK", 2490, 1560, 465, 405);
    cmdOK->setDefault(true);
    cmdCancel = addButton(*this, "cmdCancel", "Cancel", 3000, 1560, 675, 405);
    setFixedSize(3735 / 15, 1980 / 15);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void frmVarName::Show() {
    Form_Load();
    ui().ShowModal(*this);
}

void frmVarName::Form_Load() {
    Result = -1;
    CenterForm(*this);
    ListVarNames();
}

void frmVarName::ListVarNames() {
    const std::vector<std::string> names = KewVariableNames(filename);
    lstVarNames->clear();
    for (const std::string& name : names)
        lstVarNames->addItem(qtText(name));
}

void frmVarName::cmdOK_Click() {
    Result = 1;
    const QListWidgetItem* item = lstVarNames->currentItem();
    varname = item && item->isSelected() ? programText(item->text()) : std::string();
    accept();
}

void frmVarName::cmdCancel_Click() {
    Result = -1;
    reject();
}
