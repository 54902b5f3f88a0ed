#pragma once
// What the program asks of the user: message boxes, the three-button question, file and colour
// dialogs, the input box, the mouse pointer and the event pump. The Qt implementation lives in
// gui/; tests install a scripted one. Nothing here needs Qt, so the dataset library can link
// the routines that use it without linking Qt.
#include "runtime/Types.h"
#include <string>

// Dialogs are Qt's; the Ui only hands them on, so a declaration is enough here.
class QDialog;

// Answers of MsgBox and the three-button question.
constexpr int kOk = 1;
constexpr int kCancel = 2;
constexpr int kYes = 6;
constexpr int kNo = 7;

// Message box styles (buttons + icon), combined by addition.
constexpr int kOkOnly = 0;
constexpr int kOkCancel = 1;
constexpr int kYesNoCancel = 3;
constexpr int kYesNo = 4;
constexpr int kCritical = 16;
constexpr int kQuestion = 32;
constexpr int kExclamation = 48;
constexpr int kInformation = 64;

// Mouse pointers.
constexpr int kPointerDefault = 0;
constexpr int kPointerCross = 2;
constexpr int kPointerHourglass = 11;

struct FileDialogRequest {
    std::string initDir;           // folder the dialog opens in
    std::string fileName;          // proposed file name
    std::string filter;            // "desc|pattern|desc|pattern", patterns like "*.nc;*.cdf"
    int filterIndex = 1;           // 1-based
    bool mustExist = false;        // open: the chosen file must exist
    bool confirmOverwrite = false; // save: ask before replacing a file
    std::string title;
    bool programsOnly = false;     // open: list only programs (files that may be run)
};

class Ui {
public:
    virtual ~Ui() = default;

    // Returns kOk, kCancel, kYes or kNo as the style's buttons allow.
    virtual int MsgBox(const std::string& text, int style, const std::string& title) = 0;
    // The three-button form: kYes for the first button, kNo for the second, kCancel for the
    // third, 0 when closed without a button. An empty caption hides its button.
    virtual int ShortMsg(const std::string& caption, const std::string& text,
                         const std::string& button1, const std::string& button2,
                         const std::string& button3) = 0;
    // The chosen path, "" on cancel.
    virtual std::string OpenFileDialog(const FileDialogRequest& req) = 0;
    virtual std::string SaveFileDialog(const FileDialogRequest& req) = 0;
    // True with the chosen colour (Long RGB) in color; false on cancel. color comes in as the
    // colour the dialog opens on.
    virtual bool ColorDialog(Long& color) = 0;
    // True with the typed text in value; false on cancel. value comes in as the default.
    virtual bool InputBox(const std::string& prompt, const std::string& title,
                          std::string& value) = 0;
    // Sets the screen's mouse pointer (not stacked: the last set holds).
    virtual void SetMousePointer(int pointer) = 0;
    virtual int MousePointer() const = 0;
    // Lets pending window events run once.
    virtual void DoEvents() = 0;
    // Shows a dialog modally and returns once it has closed. The Qt Ui runs the dialog's own
    // modal loop; a scripted one hands the dialog to the test. The default shows nothing: the
    // dialog ends at once, as if closed with its window's close button, without OK or Cancel.
    virtual void ShowModal(QDialog& dialog);
};

// The Ui in use. Until one is installed, a silent one answers every box with its default
// (OK, or Cancel/No where the style offers them), every dialog with cancel.
Ui& ui();
// Installs u (not owned) and returns the one it replaces; nullptr restores the silent one.
Ui* setUi(Ui* u);

// The answer of a box closed without a choice: kOk for an OK-only box, else kCancel where the
// style offers Cancel, else kNo. The silent Ui gives it; scripted Uis use it when out of answers.
int DefaultMsgBoxAnswer(int style);

// The hourglass pointer while a piece of work runs; the default pointer once it ends.
class Hourglass {
public:
    Hourglass() { ui().SetMousePointer(kPointerHourglass); }
    ~Hourglass() { ui().SetMousePointer(kPointerDefault); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};
