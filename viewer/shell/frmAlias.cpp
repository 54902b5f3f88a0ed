#include "viewer/shell/frmAlias.h"

#include "common/Strings.h"
#include "common/Ui.h"
#include "gui/QtText.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/RuntimeError.h"
#include "viewer/map/ErrorBox.h"
#include "viewer/map/SharedState.h"
#include "viewer/shell/FormFaces.h"
#include "viewer/shell/FormShow.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct Role {
    const char* caption;
    const char* key;
    std::string (IKelvad::*get)();
    void (IKelvad::*let)(const std::string&);
};

constexpr Integer kFaceRole = 9;

const Role kRoles[10] = {
    {"Water_U", "water_u", &IKelvad::waterUaKa, &IKelvad::waterUaKa},
    {"Water_V", "water_v", &IKelvad::waterVaKa, &IKelvad::waterVaKa},
    {"Wind_U", "wind_u", &IKelvad::windUaKa, &IKelvad::windUaKa},
    {"Wind_V", "wind_v", &IKelvad::windVaKa, &IKelvad::windVaKa},
    {"Lon", "lon", &IKelvad::lonaKa, &IKelvad::lonaKa},
    {"Lat", "lat", &IKelvad::lataKa, &IKelvad::lataKa},
    {"Z coord.", "level", &IKelvad::levelaKa, &IKelvad::levelaKa},
    {"Time", "time", &IKelvad::timeaKa, &IKelvad::timeaKa},
    {"Temperature", "temperature", &IKelvad::tempaKa, &IKelvad::tempaKa},
    {"Nodes/Element", "face", &IKelvad::faceaKa, &IKelvad::faceaKa},
};

const Role& roleOf(Integer Index) {
    if (Index < 0 || Index > kFaceRole) throw RuntimeError(err::Subscript);
    return kRoles[Index];
}

// The name a pick adds to the role's list. The nodes-per-element list holds dimension names: a
// mesh's corner table picked for it gives its shorter dimension, the corners of one element.
std::string nameToAdd(IKelvad& nc, Integer Index, const std::string& picked) {
    if (Index != kFaceRole) return picked;
    const Long nv = nc.variNum(picked, 1);
    if (nv < 1 || nc.variNarray(nv, 1) != 2) return picked;
    auto sizeOf = [&](Long d) { return nc.dimeSize(nc.variArrayDimID(nv, d, 1) + 1, 1); };
    return nc.variArrayDimName(nv, sizeOf(2) <= sizeOf(1) ? 2 : 1, 1);
}

// The dialog works on the dataset object in use; without one there is nothing to name.
IKelvad& datasetObject() {
    if (!Data.clsNC) throw RuntimeError(err::ObjectNotSet);
    return *Data.clsNC;
}

} // namespace

std::string AliasKeyOfRole(Integer Index) {
    return roleOf(Index).key;
}

frmAlias::frmAlias(QWidget* parent) : QDialog(parent) {
    setWindowTitle(qtText("Variable Alias Builder"));
    auto* layout = new QHBoxLayout(this);

    auto* left = new QVBoxLayout;
    layout->addLayout(left, 1);
    Frame2 = new QGroupBox(qtText("Varables in the file loaded"), this);
    auto* frame2Layout = new QVBoxLayout(Frame2);
    List1 = new QListWidget(Frame2);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    frame2Layout->addWidget(List1);
    left->addWidget(Frame2, 1);
    Command2 = new QPushButton(qtText("View Existing Alias List"), this);
    left->addWidget(Command2);
    connect(Command2, &QPushButton::clicked, this,
            [this] { runEvent([this] { Command2_Click(); }); });

    Frame1 = new QGroupBox(qtText("Add as"), this);
    auto* frame1Layout = new QVBoxLayout(Frame1);
    for (int i = 0; i <= kFaceRole; ++i) {
        auto* b = new QPushButton(qtText(kRoles[i].caption), Frame1);
        Command1[static_cast<std::size_t>(i)] = b;
        frame1Layout->addWidget(b);
        connect(b, &QPushButton::clicked, this,
                [this, i] { runEvent([this, i] { Command1_Click(static_cast<Integer>(i)); }); });
    }
    frame1Layout->addStretch();
    layout->addWidget(Frame1);

    Form_Load();
}

void frmAlias::FillList1() {
    List1->clear();
    IKelvad& nc = datasetObject();
    const Long n = nc.nVars(1);
    for (Long i = 1; i <= n; ++i)
        List1->addItem(qtText(nc.variName(i, 1)));
}

void frmAlias::Form_Load() {
    if (Data.clsNC) FillList1();
}

void frmAlias::Command1_Click(Integer Index) {
    const Role& role = roleOf(Index);
    if (AliasViewMode == 0) {
        QListWidgetItem* item = List1->currentItem();
        if (!item || !item->isSelected()) return;
        IKelvad& nc = datasetObject();
        (nc.*role.let)(nameToAdd(nc, Index, programText(item->text())));
        ui().MsgBox((nc.*role.get)(), kOkOnly, "");
        PutString(role.key, "variable alias", Opt.IniFile, (nc.*role.get)());
    } else {
        IKelvad& nc = datasetObject();
        const std::string list = (nc.*role.get)();
        PutString(role.key, "variable alias", Opt.IniFile, list);
        List1->clear();
        for (const std::string_view word : ListTokens(list))
            List1->addItem(qtText(std::string(word)));
    }
}

void frmAlias::Command2_Click() {
    if (AliasViewMode == 0) {
        AliasViewMode = 1;
        Frame1->setTitle(qtText("Show"));
        Command2->setText(qtText("Add Variable Alias"));
        List1->clear();
        Frame2->setTitle(qtText("Loaded alias"));
    } else {
        AliasViewMode = 0;
        Frame1->setTitle(qtText("Add as"));
        Command2->setText(qtText("View Existing Alias"));
        FillList1();
        Frame2->setTitle(qtText("Variables in the loaded file"));
    }
}

void ShowAliasDialog() {
    MainFormFace* main = loadedMainForm();
    frmAlias dialog(main ? main->Window : nullptr);
    ShowModalForm(dialog);
}
