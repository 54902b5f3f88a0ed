#pragma once
// The plug-in's root object: the factory of TyxSect controls and the keeper of their shared
// state.
#include "gui/QtUi.h"
#include "tyxsection/TyxSectionFactory.h"

#include <QObject>

#include <memory>
#include <string>

struct TyxModel;

class TyxSectionPlugin : public QObject, public TyxSectionFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TyxSectionFactory_iid)
    Q_INTERFACES(TyxSectionFactory)

public:
    TyxSectionPlugin();
    ~TyxSectionPlugin() override;

    QWidget* CreateControl(QWidget* parent) override;
    Ui* SetUi(Ui* ui) override;
    void SetSettingsFile(const std::string& path) override;

private:
    // The state lives while a control does: the first control makes it, the last one's end
    // releases it, as the control's module state did.
    std::weak_ptr<TyxModel> model_;
    std::string settingsFile_;
    QtUi qtUi_;
};
