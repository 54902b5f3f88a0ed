#pragma once
// The colour-scale window: the colour key of the range in force, the two ends of the range to
// type, and the variant of the scheme to pick.
#include "runtime/Types.h"

#include <QWidget>
#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class PictureWidget;

class FormColor : public QWidget {
    Q_OBJECT
public:
    FormColor();
    ~FormColor() override;

    std::array<QLineEdit*, 2> Text1{};      // 0 upper end ("Max"), 1 lower end ("Min.")
    std::array<QLabel*, 3> Label1{};        // 1 "Max", 2 "Min." (0 unused)
    QGroupBox* Frame1 = nullptr;            // "Color Opt."
    std::array<QRadioButton*, 5> Option1{}; // "GBR", "Grey", "R", "G", "B"
    PictureWidget* Picture1 = nullptr;      // the colour key

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool placed_ = false; // the first show put the window beside the map
};

// The form, loaded (and its load procedure run) on first use, as any reference to it does.
FormColor& FormColorForm();
// True while the form is loaded (shown or hidden).
bool FormColorLoaded();
// Unloads the form (the map and main windows do it as they close).
void UnloadFormColor();

// Event procedures.
void FormColor_Form_Load();
void FormColor_Option1_Click(Integer Index);
void FormColor_Text1_KeyUp(Integer Index, Integer KeyCode, Integer Shift);
