#include "viewer/shell/ShortMsg.h"

#include "common/Ui.h"
#include "gui/QtText.h"
#include "runtime/RuntimeError.h"
#include "viewer/map/ErrorBox.h"
#include "viewer/map/Options.h"
#include "viewer/map/SharedState.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ShortMsg::ShortMsg(QWidget* parent) : QDialog(parent) {
    auto* layout = new QVBoxLayout(this);
    Label1 = new QLabel(this);
    Label1->setWordWrap(true);
    layout->addWidget(Label1);
    auto* row = new QHBoxLayout;
    layout->addLayout(row);
    const char* captions[3] = {"Overwrite", "Append", "Cancel"};
    for (int i = 0; i < 3; ++i) {
        Command1[static_cast<std::size_t>(i)] = new QPushButton(qtText(captions[i]), this);
        row->addWidget(Command1[static_cast<std::size_t>(i)]);
        connect(Command1[static_cast<std::size_t>(i)], &QPushButton::clicked, this,
                [this, i] { runEvent([this, i] { Command1_Click(static_cast<Integer>(i)); }); });
    }
}

Long ShortMsg::Show() {
    auto caption = [this](std::size_t i) {
        // A button the caller hid is not offered.
        return Command1[i]->isVisibleTo(this) ? programText(Command1[i]->text()) : std::string();
    };
    const int answer = ui().ShortMsg(programText(windowTitle()), programText(Label1->text()),
                                     caption(0), caption(1), caption(2));
    switch (answer) {
    case kYes:
        Command1_Click(0);
        break;
    case kNo:
        Command1_Click(1);
        break;
    case kCancel:
        Command1_Click(2);
        break;
    default:
        reject(); // the close box: the answer stays as the caller set it
        break;
    }
    return Opt.ShortMsgAnswer;
}

void ShortMsg::Command1_Click(Integer Index) {
    static constexpr Long answers[3] = {kYes, kNo, kCancel};
    if (Index < 0 || Index > 2) throw RuntimeError(err::Subscript);
    SetShortMsgAnswer(answers[Index]);
    done(static_cast<int>(Opt.ShortMsgAnswer));
}

Long ShowShortMsg(const std::string& caption, const std::string& text, const std::string& button1,
                  const std::string& button2, const std::string& button3) {
    ShortMsg form;
    form.setWindowTitle(qtText(caption));
    form.Label1->setText(qtText(text));
    const std::string* captions[3] = {&button1, &button2, &button3};
    for (std::size_t i = 0; i < 3; ++i) {
        form.Command1[i]->setText(qtText(*captions[i]));
        form.Command1[i]->setHidden(captions[i]->empty());
    }
    SetShortMsgAnswer(0);
    return form.Show();
}
