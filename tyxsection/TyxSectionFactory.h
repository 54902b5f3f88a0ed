#pragma once
// What a host sees of the section-control plug-in libTyxSection.so, loaded with
// QPluginLoader:
//
//   QPluginLoader loader(path);
//   auto* factory = qobject_cast<TyxSectionFactory*>(loader.instance());
//   QWidget* control = factory->CreateControl(parent);
//   LateBound tyx(control);                       // members by name only (gui/LateBound.h)
//   tyx.Call("NcFile", {Variant(std::string(path))});
//
// The control's class stays inside the plug-in: a host reaches its members through the
// meta-object (the 24 dispatch members, their dispatch ids in the class info "DispId.<name>").
// Every control of one process shares one state, kept while any control exists.
#include "common/Ui.h"

#include <string>

#include <QtPlugin>

class QWidget;

class TyxSectionFactory {
public:
    virtual ~TyxSectionFactory() = default;
    // A new control, a child of parent.
    virtual QWidget* CreateControl(QWidget* parent) = 0;
    // The Ui through which the plug-in shows its boxes and dialogs (not owned; nullptr puts
    // back the plug-in's own Qt one); returns the one it replaces. The plug-in keeps its own
    // copy of the shared code, so the host's Ui is not the plug-in's until given here.
    virtual Ui* SetUi(Ui* ui) = 0;
    // The host's settings file: the colour keys of datasets opened by URL are kept in its
    // folder (beside the program until a host names one).
    virtual void SetSettingsFile(const std::string& path) = 0;
};

#define TyxSectionFactory_iid "org.pelorin.TyxSection.Factory/2"
Q_DECLARE_INTERFACE(TyxSectionFactory, TyxSectionFactory_iid)
