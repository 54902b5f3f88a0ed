#pragma once
// "Auto Division": a value range and a number of divisions for the colour-key editor. Result is
// 0 when the dialog loads, 1 after OK, -1 after Cancel; the values are read back after Show.
// OK refuses a number of divisions below 1 (or beyond the editor's rows) and stays open.
#include "runtime/Types.h"

#include "tyxsection/dialogs/DialogKit.h"

class NumberEdit;
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
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();
};

// The most rows a key editor keeps.
constexpr Long kMaxDivisions = 32767;
