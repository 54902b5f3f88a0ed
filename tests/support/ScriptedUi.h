#pragma once
// A Ui for tests: answers from queues that the test fills, and records every box, dialog,
// pointer change and event pump. An empty queue gives the answer of a box closed without a
// choice (DefaultMsgBoxAnswer), kCancel for the three-button question, "" for a file dialog
// and false (cancel) for the colour dialog and the input box. A modal dialog is handed to the
// next script of dialogScripts, which works its controls as a user would (and may show
// further dialogs, which take the scripts after it); without a script the dialog ends at once,
// as if closed with its window's close button.
#include "common/Ui.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class ScriptedUi : public Ui {
public:
    struct Box {
        std::string text;
        int style = 0;
        std::string title;
    };
    struct ShortBox {
        std::string caption, text, button1, button2, button3;
    };
    enum class DialogKind { Open, Save };
    struct FileDialogCall {
        DialogKind kind;
        FileDialogRequest request;
    };
    struct InputCall {
        std::string prompt, title, defaultValue;
    };

    // Answers, taken from the front.
    std::deque<int> msgBoxAnswers;
    std::deque<int> shortMsgAnswers;
    std::deque<std::string> fileAnswers;                 // "" answers cancel
    std::deque<std::optional<Long>> colorAnswers;        // nullopt answers cancel
    std::deque<std::optional<std::string>> inputAnswers; // nullopt answers cancel
    std::deque<std::function<void(QDialog&)>> dialogScripts;

    // What was asked.
    std::vector<Box> boxes;
    std::vector<ShortBox> shortBoxes;
    std::vector<FileDialogCall> fileDialogs;
    std::vector<Long> colorDialogs; // the colour each dialog opened on
    std::vector<InputCall> inputs;
    std::vector<int> pointerChanges;
    int doEventsCount = 0;
    int modalDialogs = 0; // dialogs shown modally, scripted or not

    int MsgBox(const std::string& text, int style, const std::string& title) override;
    int ShortMsg(const std::string& caption, const std::string& text, const std::string& button1,
                 const std::string& button2, const std::string& button3) override;
    std::string OpenFileDialog(const FileDialogRequest& req) override;
    std::string SaveFileDialog(const FileDialogRequest& req) override;
    bool ColorDialog(Long& color) override;
    bool InputBox(const std::string& prompt, const std::string& title, std::string& value) override;
    void SetMousePointer(int pointer) override;
    int MousePointer() const override { return pointer_; }
    void DoEvents() override { ++doEventsCount; }
    void ShowModal(QDialog& dialog) override;

private:
    int pointer_ = kPointerDefault;
};

// Installs a Ui for the lifetime of the guard and puts back the one before.
class ScopedUi {
public:
    explicit ScopedUi(Ui& u) : previous_(setUi(&u)) {}
    ~ScopedUi() { setUi(previous_); }
    ScopedUi(const ScopedUi&) = delete;
    ScopedUi& operator=(const ScopedUi&) = delete;

private:
    Ui* previous_;
};

// A scripted Ui that is installed while it lives.
class InstalledScriptedUi : public ScriptedUi {
public:
    InstalledScriptedUi() : guard_(*this) {}

private:
    ScopedUi guard_;
};
