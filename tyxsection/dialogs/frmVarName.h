#pragma once
// "Available Variables": the variables a KEW file holds keys for, one to pick. Result is -1
// when the dialog loads and after Cancel, 1 after OK, with varname the chosen line ("" when
// none is chosen).
#include "runtime/Types.h"

#include "tyxsection/dialogs/DialogKit.h"

#include <string>

class QListWidget;
class QPushButton;

class frmVarName : public SmallDialog {
public:
    explicit frmVarName(QWidget* parent = nullptr);

    std::string filename; // the KEW file, set before Show
    std::string varname;
    Long Result = -1;

    // Lists the file's variables and shows the dialog modally. A variable element without a
    // name raises error 91 before the dialog shows.
    void Show();

    QListWidget* lstVarNames = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    void Form_Load();
    void ListVarNames();
    void cmdOK_Click();
    void cmdCancel_Click();
};
