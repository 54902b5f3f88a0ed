#pragma once
// The notice on appending to or overwriting a subset file.
#include <QDialog>
#include <array>

class QGroupBox;
class QLabel;
class QPushButton;

class Note2 : public QDialog {
    Q_OBJECT
public:
    explicit Note2(QWidget* parent = nullptr);

    std::array<QGroupBox*, 4> Frame1{}; // the four notes
    std::array<QLabel*, 4> Label1{};
    QPushButton* Command1 = nullptr; // "close"

    // Event procedure.
    void Command1_Click();
};

// Makes the notice, shows it modally and destroys it.
void ShowNote2Form();
