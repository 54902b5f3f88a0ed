#pragma once
// "Auto Division": a value range and a number of divisions for the colour-key editor. Result is
// 0 when the dialog loads, 1 after OK, -1 after Cancel; the values are read back after Show.
// OK refuses a number of divisions outside 1 to kMaxAutoDivisions, which the dialog states
// under the field, and stays open.
#include "runtime/Types.h"

#include "tyxsection/dialogs/DialogKit.h"

class NumberEdit;
class QLabel;
class QPushButton;

class frmAutoDiv : public SmallDialog {
public:
    explicit frmAutoDiv(QWidget* parent = nullptr);

    double MinVal = 0;
    double MaxVal = 0;
    Long Divisions = 0;
    Long Result = 0;

    // Loads the dialog with the values set and shows it modally.
    void Show();

    NumberEdit* fldMinVal = nullptr;
    NumberEdit* fldMaxVal = nullptr;
    NumberEdit* fldDivisions = nullptr;
    QLabel* lblBound = nullptr; // the bound of the number of divisions
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();
};

// The most rows a key editor keeps.
constexpr Long kMaxDivisions = 32767;
// The most divisions Auto Division makes: the editor makes a row of widgets for each, and more
// than this can neither be seen at once nor be made without holding the window up.
constexpr Long kMaxAutoDivisions = 256;
