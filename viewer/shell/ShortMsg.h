#pragma once
// The three-button message form. Its caller fills the caption, Label1 and the button captions,
// hides the buttons it does not need, sets ShortMsgAnswer to 0 and shows it with Show(): the
// answer is 6 for Command1(0), 7 for Command1(1), 2 for Command1(2), and stays 0 when the form
// is closed by its close box. The form is shown through the Ui's three-button question, so the
// same answers come from the program's dialog and from a test's script.
#include "runtime/Types.h"

#include <QDialog>
#include <array>
#include <string>

class QLabel;
class QPushButton;

class ShortMsg : public QDialog {
    Q_OBJECT
public:
    explicit ShortMsg(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    std::array<QPushButton*, 3> Command1{}; // "Overwrite", "Append", "Cancel"

    // Shows the form modally and returns ShortMsgAnswer.
    Long Show();

    // Event procedure: stores the answer of the button and unloads the form.
    void Command1_Click(Integer Index);
};

// The form filled, shown and answered in one call: 6, 7, 2 for the three buttons, 0 when
// closed. An empty caption hides its button.
Long ShowShortMsg(const std::string& caption, const std::string& text, const std::string& button1,
                  const std::string& button2, const std::string& button3);
