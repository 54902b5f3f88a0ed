#pragma once
// The map window: its picture Picture1 is the surface of every map. The window keeps the
// picture filling it, shows the pointed position in its caption, zooms to a box dragged with
// the left button, goes back a zoom with a double click, pans with the arrow keys, cancels a
// running animation with Esc (released in any of the viewer's windows), probes the point
// under a right click, and collects the section path click by click in section-path mode
// (kMouseSectionPath). It keeps its geometry and the zoom in force in the settings file, and comes
// back inside the screen that shows it, clear of the main window's menus and dataset entry
// where the screen has room. While a drawing runs in the picture the mouse leaves its draw
// mode and colours alone (no zoom box or path segment starts); a resize redraws the frame
// between the steps of an animation, which draws its next steps at the new size, and waits
// for the end of any other drawing.
#include "runtime/Types.h"

#include <QWidget>
#include <functional>
#include <string>

class PictureWidget;
class QCloseEvent;
class QResizeEvent;
class QShowEvent;

class PicForm : public QWidget {
    Q_OBJECT
public:
    PicForm();
    ~PicForm() override;

    PictureWidget* Picture1 = nullptr;

    // The caption as the program's text.
    std::string caption() const;
    void setCaption(const std::string& text);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool placed_ = false; // the first show put the window clear of the main window's controls
};

// The form, made (and its Form_Load run) on first use, hidden, as any reference to it does.
// A close still waiting for a command (see UnloadPicForm) is completed first once the command
// has ended, so the reference gets a fresh window.
PicForm& PicFormForm();
// True while the form is loaded (shown or hidden).
bool PicFormLoaded();
// Closes the window as the user does: runs PicForm_Form_Unload and destroys the form. While a
// long command runs it only cancels a running animation and hides the window; the unload then
// follows once the command has ended (the command still draws into the picture).
void UnloadPicForm();

// ---- State of the mouse handling (MouseState is shared state) -----------------------------
extern float MouseX0, MouseY0; // fixed corner of the zoom box, or fixed end of the rubber line
extern float MouseX1, MouseY1; // moving corner or end as last drawn
extern Long MouseMoves;        // moves with the left button held since the zoom box started

// ---- Event procedures --------------------------------------------------------------------------
void PicForm_Form_Load();
void PicForm_Form_Resize();
void PicForm_Form_Unload(Integer& Cancel);
void PicForm_Picture1_MouseDown(Integer Button, Integer Shift, float X, float Y);
void PicForm_Picture1_MouseMove(Integer Button, Integer Shift, float X, float Y);
void PicForm_Picture1_MouseUp(Integer Button, Integer Shift, float X, float Y);
void PicForm_Picture1_DblClick();
void PicForm_Picture1_KeyUp(Integer KeyCode, Integer Shift);
void PicForm_Picture1_KeyDown(Integer KeyCode, Integer Shift);

// The caption of a pointer position (view units; radians in Mercator mode), as the read-out
// shows it: " 05.25000E  41.25000N".
std::string PositionCaption(double lon, double lat);

// The section view along SectionPath that a double click in section-path mode starts:
// ShowTyxSection unless replaced (tests watch the double click with their own); an empty action
// puts ShowTyxSection back. Returns the action replaced.
std::function<void()> setShowTyxSectionAction(std::function<void()> action);
