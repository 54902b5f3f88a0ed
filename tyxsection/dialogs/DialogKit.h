#pragma once
// What the control's dialogs share: their place in twips, the centring on the screen, the numeric
// edit fields, colour swatches, and the trap of their event procedures.
//
// Controls carry their names as object names, control-array members with their index
// ("fldLowRange(2)"), so that a script can find them.
#include "runtime/Types.h"
#include "tyxsection/CaughtError.h"
#include "tyxsection/KewFile.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include <string>

class QKeyEvent;
class QWidget;

// Places w at left, top with width and height, all in twips.
void placeTwips(QWidget& w, Long left, Long top, Long width, Long height);
// The name of element index of a control array: "name(index)".
std::string arrayName(const char* name, Long index);

// Moves a form to the middle of its screen, sizes unchanged; a minimised or maximised form, or
// one without a screen, stays where it is.
void CenterForm(QWidget& form);

// A numeric edit field: a Double field (or a whole-number Long one) whose value is the leading
// number of its text, 0 when there is none.
class NumberEdit : public QLineEdit {
public:
    enum class Kind { Double, Whole };
    NumberEdit(Kind kind, QWidget* parent);

    // The value; error 6 when the text's number lies beyond a Double (or, for a Long field,
    // beyond a Long once rounded).
    double Value() const;
    void setValue(double v);
    // Shows a Single with its own digits (0.1, not 0.100000001490116).
    void setSingle(float v);

private:
    Kind kind_;
};

// A colour swatch: a bordered patch in its colour (Long RGB, also its property "color"); a
// click runs onClick.
class Swatch : public QPushButton {
public:
    explicit Swatch(QWidget* parent);
    Long Color() const { return color_; }
    void setColor(Long color);

private:
    Long color_ = 0;
};

// The colour of the system's buttons, the swatch colour of a row that has none yet.
Long ButtonFaceColor();

// Runs an event procedure of a dialog; an error it raises is shown in the control's error box
// with the caption and the dialog goes on.
template <class F> void dialogEvent(const char* caption, F&& procedure) {
    try {
        procedure();
    } catch (...) {
        const CaughtError e = CurrentError();
        ShowErrorBox(caption, e.number, e.description);
    }
}

// A button named name with its caption, placed in twips.
QPushButton* addButton(QWidget& parent, const char* name, const char* caption, Long left, Long top,
                       Long width, Long height);

// The small dialogs of the key editor: OK is their default button, and Escape answers none.
class SmallDialog : public QDialog {
public:
    explicit SmallDialog(QWidget* parent) : QDialog(parent) {}

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
