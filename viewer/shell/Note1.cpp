#include "viewer/shell/Note1.h"

#include "gui/QtText.h"
#include "viewer/map/ErrorBox.h"
#include "viewer/map/Options.h"
#include "viewer/map/SharedState.h"
#include "viewer/shell/FormShow.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

Note1::Note1(QWidget* parent) : QDialog(parent) {
    setWindowTitle(qtText("Picture Box Tips"));
    auto* layout = new QVBoxLayout(this);
    const char* tips[4][2] = {
        {"To Zoom-In", "Drag the cursor from one corner to other coner"},
        {"To Zoom-Out", "Double ckick anywhere in the picture frame"},
        {"To Pan-Move", "Hit arrow keys when the frame is in focus"},
        {"Stop Drawing", "To interrupt drawing, pres ESC key as the picture box is in focus"}};
    for (std::size_t i = 0; i < 4; ++i) {
        Frame1[i] = new QGroupBox(qtText(tips[i][0]), this);
        auto* inner = new QVBoxLayout(Frame1[i]);
        Label1[i] = new QLabel(qtText(tips[i][1]), Frame1[i]);
        Label1[i]->setWordWrap(true);
        inner->addWidget(Label1[i]);
        layout->addWidget(Frame1[i]);
    }
    auto* row = new QHBoxLayout;
    layout->addLayout(row);
    Check1 = new QCheckBox(qtText("Do not show this again"), this);
    row->addWidget(Check1);
    row->addStretch();
    Command1 = new QPushButton(qtText("Ok"), this);
    row->addWidget(Command1);
    connect(Check1, &QCheckBox::clicked, this, [this] { runEvent([this] { Check1_Click(); }); });
    connect(Command1, &QPushButton::clicked, this,
            [this] { runEvent([this] { Command1_Click(); }); });
}

void Note1::Check1_Click() {
    SetNoteShown(1, Check1->isChecked() ? 0 : 1);
}

void Note1::Command1_Click() {
    accept();
}

void Note1::Form_Unload() {
    SetNoteShown(1, Check1->isChecked() ? 0 : 1);
}

void Note1::done(int r) {
    if (!unloaded_) {
        unloaded_ = true;
        runEvent([this] { Form_Unload(); });
    }
    QDialog::done(r);
}

void ShowNote1Form() {
    Note1 form;
    ShowModalForm(form);
}
