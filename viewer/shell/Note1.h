#pragma once
// The tips notice of the map picture, shown with the map windows while ShowNote1 is 1.
#include <QDialog>
#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

class Note1 : public QDialog {
    Q_OBJECT
public:
    explicit Note1(QWidget* parent = nullptr);

    std::array<QGroupBox*, 4> Frame1{}; // the four tips
    std::array<QLabel*, 4> Label1{};
    QCheckBox* Check1 = nullptr; // "Do not show this again"
    QPushButton* Command1 = nullptr;

    // Event procedures.
    void Check1_Click();
    void Command1_Click();
    void Form_Unload();

protected:
    void done(int r) override;

private:
    bool unloaded_ = false;
};

// Makes the notice, shows it modally and destroys it.
void ShowNote1Form();
