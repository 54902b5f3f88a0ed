#pragma once
// The About box: the program's name, its purpose, and the licence note of the bundled coastline.
#include <QDialog>
#include <string>

class QFrame;
class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;
    QFrame* Shape1 = nullptr;
    QLabel* Label1 = nullptr;        // the three lines set at load
    QLabel* Label2 = nullptr;        // link: the coastline's licence note beside the program
    QLabel* Label3 = nullptr;        // introduces label4
    QLabel* label4 = nullptr;        // link: the licence text
    QPushButton* Command1 = nullptr; // "OK"

    // Event procedures.
    void Form_Load();
    void Label2_Click();
    void label4_Click();
    void Command1_Click();
};

// The three lines of the box.
extern const char* const kAboutText;
// What the two links open, both local files: the licence note of the coastline file beside the
// program, and the licence's text as the system keeps it.
std::string AboutLicenceNotePath();
extern const char* const kAboutLicenceFile;

// Makes the box (owned by the main window when it exists), shows it modally and destroys it.
void ShowAboutBox();
