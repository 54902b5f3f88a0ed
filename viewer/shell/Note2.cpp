#include "viewer/shell/Note2.h"

#include "gui/QtText.h"
#include "viewer/map/ErrorBox.h"
#include "viewer/shell/FormShow.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

Note2::Note2(QWidget* parent) : QDialog(parent) {
    setWindowTitle(qtText("Append or Overwrite?"));
    auto* layout = new QVBoxLayout(this);
    const char* notes[4][2] = {
        {"Overwrite",
         "\"Overwrite\" simply erase the existing file and make a new file. You can currently "
         "sub-set only variables with the SAME RANK a time. Suppose there are depth (lon, lat), "
         "u (time, lon, lat) and v (time, lon, lat), you can save u and v, but not depth and u "
         "(or v, or u and v)"},
        {"Append", "As mentioned above, you may need \"appending\". You can append in two ways; "
                   "1) append new variables or 2) append new time steps"},
        {"1) Append new variables",
         "All variables to be added must be none of the variable in the file, and must be the "
         "same rank among. Regardress the map window shown, the initial dimension parameters "
         "will be used for sub-setting arrays."},
        {"2) Append in time",
         "Varaibles to be added must be the same variables in the file and with the same rank "
         "and aslo the first dimension must be \"Time\" with unlimited qulification."}};
    for (std::size_t i = 0; i < 4; ++i) {
        Frame1[i] = new QGroupBox(qtText(notes[i][0]), this);
        auto* inner = new QVBoxLayout(Frame1[i]);
        Label1[i] = new QLabel(qtText(notes[i][1]), Frame1[i]);
        Label1[i]->setWordWrap(true);
        inner->addWidget(Label1[i]);
        layout->addWidget(Frame1[i]);
    }
    auto* row = new QHBoxLayout;
    layout->addLayout(row);
    row->addStretch();
    Command1 = new QPushButton(qtText("close"), this);
    row->addWidget(Command1);
    connect(Command1, &QPushButton::clicked, this,
            [this] { runEvent([this] { Command1_Click(); }); });
}

void Note2::Command1_Click() {
    accept();
}

void ShowNote2Form() {
    Note2 form;
    ShowModalForm(form);
}
