#pragma once
// The host window of the section control: one program-wide form holding the control TyxSect1,
// which it keeps filling its inner area. The control comes from the plug-in libTyxSection.so
// beside the program, loaded on the first reference to the form; the viewer reaches its members
// by name only (LateBound), never through its class.
#include "gui/LateBound.h"

#include <QWidget>

#include <functional>
#include <string>

class QCloseEvent;
class QLabel;
class QRect;
class QResizeEvent;

// The line the host window shows until a section is drawn in it.
inline constexpr const char* kSectionHint =
    "Click the points of the section on the map; double click the last one to end it.";

class OCXHost : public QWidget {
    Q_OBJECT
public:
    OCXHost();
    ~OCXHost() override;

    // The control as the host calls it; without an object (error 91 on every call) when no
    // control could be made.
    LateBound TyxSect1;
    QWidget* control() const { return control_; }
    // The how-to line over the empty control; hidden once a section is drawn.
    QLabel* hint() const { return hint_; }
    // A section is drawn: the how-to line goes and the caption names what is shown.
    void sectionShown(const std::string& caption);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* control_ = nullptr; // a child of the form
    QLabel* hint_ = nullptr;     // a child of the form, over the control
};

// The form, made hidden on the first reference (with its control) as any reference does. A
// window the user closed is made again by the next reference.
OCXHost& OCXHostForm();
// True while the form is loaded (shown or hidden).
bool OCXHostLoaded();
// Unloads the form and its control (the main window does it at shut-down); nothing when it is
// not loaded.
void UnloadOCXHost();
// Shows the form when it is hidden, beside the map window last given to ShowOCXHostBeside.
void ShowOCXHost();
// Shows the form beside the window whose frame is mapFrame (on its right, else on its left),
// inside the screen that window is on; a form already shown stays where it is.
void ShowOCXHostBeside(const QRect& mapFrame);

// The control takes the form's whole inner area.
void OCXHost_Form_Resize();

// A run of the section driver holds one: the form is not destroyed under it (a close while it
// runs only hides the window).
class SectionRunGuard {
public:
    SectionRunGuard();
    ~SectionRunGuard();
    SectionRunGuard(const SectionRunGuard&) = delete;
    SectionRunGuard& operator=(const SectionRunGuard&) = delete;
};

// Where controls come from. The default loads the plug-in from SectionResourceFolder(), hands
// it the program's Ui and settings file, and makes the control with its factory; it returns
// nullptr with the reason in error when the plug-in cannot be had. Tests put in a maker of
// their own; an empty maker puts the default back. Returns the maker replaced.
using TyxControlMaker = std::function<QWidget*(QWidget* parent, std::string& error)>;
TyxControlMaker SetTyxControlMaker(TyxControlMaker maker);

// The folder of the section resources: the plug-in and the colour-key file TEMPeRaTURE.KEW.
// The program's own folder unless set (tests point it at the build's program folder); an
// empty text puts the program's folder back. Returns the folder replaced ("" for the default).
std::string SectionResourceFolder();
std::string SetSectionResourceFolder(std::string folder);
