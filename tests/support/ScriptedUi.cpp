#include "tests/support/ScriptedUi.h"

namespace {

template <typename T> std::optional<T> take(std::deque<T>& queue) {
    if (queue.empty()) return std::nullopt;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

} // namespace

int ScriptedUi::MsgBox(const std::string& text, int style, const std::string& title) {
    boxes.push_back({text, style, title});
    return take(msgBoxAnswers).value_or(DefaultMsgBoxAnswer(style));
}

int ScriptedUi::ShortMsg(const std::string& caption, const std::string& text,
                         const std::string& button1, const std::string& button2,
                         const std::string& button3) {
    shortBoxes.push_back({caption, text, button1, button2, button3});
    return take(shortMsgAnswers).value_or(kCancel);
}

std::string ScriptedUi::OpenFileDialog(const FileDialogRequest& req) {
    fileDialogs.push_back({DialogKind::Open, req});
    return take(fileAnswers).value_or(std::string());
}

std::string ScriptedUi::SaveFileDialog(const FileDialogRequest& req) {
    fileDialogs.push_back({DialogKind::Save, req});
    return take(fileAnswers).value_or(std::string());
}

bool ScriptedUi::ColorDialog(Long& color) {
    colorDialogs.push_back(color);
    const auto answer = take(colorAnswers);
    if (!answer || !*answer) return false;
    color = **answer;
    return true;
}

bool ScriptedUi::InputBox(const std::string& prompt, const std::string& title, std::string& value) {
    inputs.push_back({prompt, title, value});
    const auto answer = take(inputAnswers);
    if (!answer || !*answer) return false;
    value = **answer;
    return true;
}

void ScriptedUi::SetMousePointer(int pointer) {
    pointer_ = pointer;
    pointerChanges.push_back(pointer);
}

void ScriptedUi::ShowModal(QDialog& dialog) {
    ++modalDialogs;
    if (auto script = take(dialogScripts)) (*script)(dialog);
}
