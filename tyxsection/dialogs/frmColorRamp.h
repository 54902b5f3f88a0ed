#pragma once
// "Color Ramps": the first and the last colour of a ramp over the colour-key editor's rows.
// Result is -1 when the dialog loads and after Cancel, 1 after OK; FirstColor starts red and
// LastColor blue. A click on a swatch offers the colour dialog.
#include "runtime/Types.h"

#include "tyxsection/dialogs/DialogKit.h"

class QPushButton;
class Swatch;

class frmColorRamp : public SmallDialog {
public:
    explicit frmColorRamp(QWidget* parent = nullptr);

    Long FirstColor = 0xFF;
    Long LastColor = 0xFF0000;
    Long Result = -1;

    void Show();

    Swatch* lblFirstColor = nullptr;
    Swatch* lblLastColor = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    void Form_Load();
    void lblFirstColor_Click();
    void lblLastColor_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
};
