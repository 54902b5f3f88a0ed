#include "viewer/shell/frmAbout.h"

#include "gui/QtText.h"
#include "platform/Component.h"
#include "viewer/map/ErrorBox.h"
#include "viewer/shell/FormFaces.h"
#include "viewer/shell/FormShow.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

const char* const kAboutText =
    "Pelorin\r\n"
    "A viewer of netCDF model output and observations, from local files and OPeNDAP URLs, on "
    "maps with coastlines.\r\n"
    "The bundled coastline is made from the GSHHG 2.3.7 shorelines, copyright (c) 2014 The GMT "
    "Team, under the GNU LGPL 3.0 or later.";

const char* const kAboutLicenceFile = "/usr/share/common-licenses/LGPL-3";

std::string AboutLicenceNotePath() {
    return PathJoin(ProgramFolder(), "coasts/README.md");
}

namespace {

// A label that acts as a link: a click runs its procedure.
class LinkFilter : public QObject {
public:
    LinkFilter(QObject* parent, std::function<void()> click)
        : QObject(parent), click_(std::move(click)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) runEvent(click_);
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> click_;
};

QLabel* linkLabel(QWidget* parent, const char* text, std::function<void()> click) {
    auto* l = new QLabel(qtText(text), parent);
    l->setCursor(Qt::PointingHandCursor);
    l->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
    l->installEventFilter(new LinkFilter(l, std::move(click)));
    return l;
}

} // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setWindowTitle(qtText("About Pelorin"));
    auto* layout = new QVBoxLayout(this);

    Shape1 = new QFrame(this);
    Shape1->setFrameShape(QFrame::Box);
    auto* top = new QHBoxLayout(Shape1);
    Image1 = new QLabel(Shape1);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
    Image1->setAlignment(Qt::AlignTop);
    top->addWidget(Image1);
    Label1 = new QLabel(Shape1);
    Label1->setWordWrap(true);
    Label1->setMinimumWidth(360);
    top->addWidget(Label1, 1);
    layout->addWidget(Shape1);

    Label2 = linkLabel(this, "Licence note of the coastline", [this] { Label2_Click(); });
    layout->addWidget(Label2);
    Label3 = new QLabel(qtText("The licence:"), this);
    layout->addWidget(Label3);
    label4 =
        linkLabel(this, "GNU Lesser General Public License, version 3", [this] { label4_Click(); });
    layout->addWidget(label4);

    auto* row = new QHBoxLayout;
    layout->addLayout(row);
    row->addStretch();
    Command1 = new QPushButton(qtText("OK"), this);
    Command1->setDefault(true);
    row->addWidget(Command1);
    connect(Command1, &QPushButton::clicked, this,
            [this] { runEvent([this] { Command1_Click(); }); });

    Form_Load();
}

void frmAbout::Form_Load() {
    Label1->setText(qtText(kAboutText));
}

void frmAbout::Label2_Click() {
    OpenDocument(AboutLicenceNotePath());
}

void frmAbout::label4_Click() {
    OpenDocument(kAboutLicenceFile);
}

void frmAbout::Command1_Click() {
    accept();
}

void ShowAboutBox() {
    MainFormFace* main = loadedMainForm();
    frmAbout box(main ? main->Window : nullptr);
    ShowModalForm(box);
}
