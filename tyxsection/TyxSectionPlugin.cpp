#include "tyxsection/TyxSectionPlugin.h"
#include "common/NcHttp.h"
#include "tyxsection/TyxSect.h"
#include "tyxsection/ocxNetNc.h"

TyxSectionPlugin::TyxSectionPlugin() {
    // The plug-in's copy of the shared code has a Ui of its own: until a host gives one,
    // the plug-in shows its boxes with Qt itself.
    setUi(&qtUi_);
    PrepareNcHttpTimeouts();
}

TyxSectionPlugin::~TyxSectionPlugin() {
    setUi(nullptr);
}

QWidget* TyxSectionPlugin::CreateControl(QWidget* parent) {
    std::shared_ptr<TyxModel> model = model_.lock();
    if (!model) {
        model = std::shared_ptr<TyxModel>(new TyxModel, [](TyxModel* m) {
            CloseNc(m->reader.ncid);
            delete m;
        });
        model->SettingsFile = settingsFile_;
        model_ = model;
    }
    return new TyxSect(std::move(model), parent);
}

Ui* TyxSectionPlugin::SetUi(Ui* ui) {
    Ui* previous = setUi(ui ? ui : &qtUi_);
    return previous == &qtUi_ ? nullptr : previous;
}

void TyxSectionPlugin::SetSettingsFile(const std::string& path) {
    settingsFile_ = path;
    if (std::shared_ptr<TyxModel> model = model_.lock()) model->SettingsFile = path;
}
