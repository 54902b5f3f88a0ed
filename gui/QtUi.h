#pragma once
// The Ui of the running program: Qt message boxes and dialogs, the three-button message form,
// the override cursor as the screen's mouse pointer, and the event pump.
#include "common/Ui.h"
#include <QCursor>
#include <QStringList>

class QFileDialog;

class QtUi final : public Ui {
public:
    int MsgBox(const std::string& text, int style, const std::string& title) override;
    int ShortMsg(const std::string& caption, const std::string& text, const std::string& button1,
                 const std::string& button2, const std::string& button3) override;
    std::string OpenFileDialog(const FileDialogRequest& req) override;
    std::string SaveFileDialog(const FileDialogRequest& req) override;
    bool ColorDialog(Long& color) override;
    bool InputBox(const std::string& prompt, const std::string& title, std::string& value) override;
    void SetMousePointer(int pointer) override;
    int MousePointer() const override { return pointer_; }
    void DoEvents() override;
    void ShowModal(QDialog& dialog) override;

private:
    int pointer_ = kPointerDefault;
};

// "desc|pattern|desc|pattern" (patterns separated by ";") as Qt's name filters,
// "desc (pattern pattern)".
QStringList qtNameFilters(const std::string& filter);
// Sets up a file dialog for the request: Qt's own dialog (the native ones may match names
// case-sensitively), names matched without regard to case, the filters and the chosen one,
// the folder, the proposed name, open or save.
void setUpFileDialog(QFileDialog& dialog, const FileDialogRequest& req, bool save);
// The cursor shape of a mouse pointer number (0 has none: the default cursor).
Qt::CursorShape cursorOfPointer(int pointer);
