#include "viewer/section/OCXHost.h"

#include "common/Ui.h"
#include "gui/QtText.h"
#include "gui/ScreenPlace.h"
#include "platform/Component.h"
#include "tyxsection/TyxSectionFactory.h"
#include "viewer/map/ErrorBox.h"
#include "viewer/map/SharedState.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPluginLoader>
#include <QRect>
#include <QResizeEvent>

#include <map>
#include <utility>

namespace {

OCXHost* theForm = nullptr;
int runs = 0;               // section driver runs under way
QRect* mapBeside = nullptr; // the frame of the map window the form opens beside, once known

// The window's size before the user gives it one.
constexpr int kDesignWidth = 640;
constexpr int kDesignHeight = 480;

constexpr const char* kPluginName = "libTyxSection.so";

std::string& resourceFolder() {
    static std::string folder;
    return folder;
}

// The plug-in stays loaded for the whole run once loaded (its loader is never released): the
// controls' shared state and the Ui handed to it live in it. One loader per path, so that a
// test may point elsewhere.
TyxSectionFactory* pluginFactory(std::string& error) {
    static auto* loaders = new std::map<std::string, QPluginLoader*>();
    const std::string path = PathJoin(SectionResourceFolder(), kPluginName);
    QPluginLoader*& loader = (*loaders)[path];
    if (!loader) loader = new QPluginLoader(qtText(path));
    auto* factory = qobject_cast<TyxSectionFactory*>(loader->instance());
    if (!factory) {
        error = programText(loader->errorString());
        if (error.empty()) error = path;
    }
    return factory;
}

TyxSectionFactory* factoryInUse = nullptr; // the factory that made the form's control

QWidget* pluginControl(QWidget* parent, std::string& error) {
    TyxSectionFactory* factory = pluginFactory(error);
    if (!factory) return nullptr;
    QWidget* control = factory->CreateControl(parent);
    // The plug-in shows its boxes through the program's Ui, and keeps the colour keys of URL
    // datasets beside the program's settings.
    factory->SetUi(&ui());
    factory->SetSettingsFile(Opt.IniFile);
    factoryInUse = factory;
    return control;
}

TyxControlMaker& maker() {
    static TyxControlMaker m;
    return m;
}

void destroyForm() {
    OCXHost* form = std::exchange(theForm, nullptr);
    delete form;
}

} // namespace

// ---- The form ---------------------------------------------------------------------------------

OCXHost::OCXHost() {
    setWindowTitle(qtText("OCXHost"));
    resize(kDesignWidth, kDesignHeight);
    std::string error;
    control_ = maker() ? maker()(this, error) : pluginControl(this, error);
    if (!control_) {
        std::string text = "Unable to load the section control ";
        text.append(kPluginName).append("\r\n").append(error);
        ui().MsgBox(text, kOkOnly, kProgramTitle);
        return;
    }
    TyxSect1.setObject(control_);
    control_->setGeometry(0, 0, width(), height());
    hint_ = new QLabel(qtText(kSectionHint), this);
    hint_->setObjectName("hint");
    hint_->setAlignment(Qt::AlignCenter);
    hint_->setAttribute(Qt::WA_TransparentForMouseEvents);
    hint_->setGeometry(0, 0, width(), height());
    hint_->raise();
}

void OCXHost::sectionShown(const std::string& caption) {
    setWindowTitle(qtText(caption));
    if (hint_) hint_->hide();
}

OCXHost::~OCXHost() {
    if (theForm == this) theForm = nullptr;
    // The control goes first, while the plug-in still shows through the program's Ui; after
    // it the plug-in no longer holds the Ui, which may end before the plug-in does (unless a
    // newer form made since a close uses it).
    delete std::exchange(control_, nullptr);
    TyxSect1.setObject(nullptr);
    if (factoryInUse && !theForm) {
        factoryInUse->SetUi(nullptr);
        factoryInUse = nullptr;
    }
}

void OCXHost::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (this == theForm) runEvent([] { OCXHost_Form_Resize(); });
}

void OCXHost::closeEvent(QCloseEvent* event) {
    if (this != theForm) {
        event->accept();
        return;
    }
    // The control is in use: it stays, out of sight, until the next section shows it again.
    if (runs > 0) {
        event->ignore();
        hide();
        return;
    }
    event->accept();
    theForm = nullptr;
    deleteLater();
}

OCXHost& OCXHostForm() {
    if (!theForm) theForm = new OCXHost();
    return *theForm;
}

bool OCXHostLoaded() {
    return theForm != nullptr;
}

void UnloadOCXHost() {
    if (!theForm) return;
    if (runs > 0) {
        theForm->hide();
        return;
    }
    destroyForm();
}

void ShowOCXHost() {
    OCXHost& form = OCXHostForm();
    if (form.isVisible()) return;
    form.show();
    // The frame round the window is known once it is shown. A place that would still cover
    // the main window's controls moves off them where the screen has room.
    const QPoint at =
        mapBeside ? BesidePosition(*mapBeside, form.frameGeometry().size()) : form.pos();
    const QRect placed = PlaceOnScreen(QRect(at, form.size()), FrameMarginsOf(form), form.screen());
    if (placed.topLeft() != form.pos()) form.move(placed.topLeft());
}

void ShowOCXHostBeside(const QRect& mapFrame) {
    if (!mapBeside) mapBeside = new QRect();
    *mapBeside = mapFrame;
    ShowOCXHost();
}

void OCXHost_Form_Resize() {
    OCXHost& form = OCXHostForm();
    if (QWidget* control = form.control()) control->setGeometry(0, 0, form.width(), form.height());
    if (QLabel* hint = form.hint()) hint->setGeometry(0, 0, form.width(), form.height());
}

SectionRunGuard::SectionRunGuard() {
    ++runs;
}

SectionRunGuard::~SectionRunGuard() {
    --runs;
}

TyxControlMaker SetTyxControlMaker(TyxControlMaker m) {
    return std::exchange(maker(), std::move(m));
}

std::string SectionResourceFolder() {
    return resourceFolder().empty() ? ProgramFolder() : resourceFolder();
}

std::string SetSectionResourceFolder(std::string folder) {
    return std::exchange(resourceFolder(), std::move(folder));
}
