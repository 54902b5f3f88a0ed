#pragma once
// The variable-alias dialog: adds a variable of the loaded dataset to the alias list of a role
// on clsNC and keeps the list in section "variable alias" of the settings file, from where the
// loader hands it to every later dataset object. It also lists the words of a role's list.
#include "runtime/Types.h"

#include <QDialog>
#include <array>
#include <string>

class QGroupBox;
class QListWidget;
class QPushButton;

class frmAlias : public QDialog {
    Q_OBJECT
public:
    explicit frmAlias(QWidget* parent = nullptr);

    QGroupBox* Frame2 = nullptr;             // holds List1
    QListWidget* List1 = nullptr;            // the variables, or the words of a list
    QPushButton* Command2 = nullptr;         // switches between adding and viewing
    QGroupBox* Frame1 = nullptr;             // "Add as" / "Show"
    std::array<QPushButton*, 10> Command1{}; // the ten roles

    Long AliasViewMode = 0; // 0 add mode, 1 view mode

    void FillList1();
    // Event procedures.
    void Form_Load();
    void Command1_Click(Integer Index);
    void Command2_Click();
};

// The key of section "variable alias" of each role, by button index.
std::string AliasKeyOfRole(Integer Index);

// Makes the dialog, shows it modally and destroys it.
void ShowAliasDialog();
