#include "common/Ui.h"

int DefaultMsgBoxAnswer(int style) {
    switch (style & 15) {
    case kOkCancel:
    case kYesNoCancel:
    case 2: // abort, retry, ignore: take the safe way out
    case 5: // retry, cancel
        return kCancel;
    case kYesNo:
        return kNo;
    default:
        return kOk;
    }
}

void Ui::ShowModal(QDialog&) {}

namespace {

// Answers every question with its default, cancels every dialog, shows nothing.
class SilentUi final : public Ui {
public:
    int MsgBox(const std::string&, int style, const std::string&) override {
        return DefaultMsgBoxAnswer(style);
    }
    int ShortMsg(const std::string&, const std::string&, const std::string&, const std::string&,
                 const std::string&) override {
        return 0;
    }
    std::string OpenFileDialog(const FileDialogRequest&) override { return {}; }
    std::string SaveFileDialog(const FileDialogRequest&) override { return {}; }
    bool ColorDialog(Long&) override { return false; }
    bool InputBox(const std::string&, const std::string&, std::string&) override { return false; }
    void SetMousePointer(int pointer) override { pointer_ = pointer; }
    int MousePointer() const override { return pointer_; }
    void DoEvents() override {}

private:
    int pointer_ = kPointerDefault;
};

SilentUi& silentUi() {
    static SilentUi silent;
    return silent;
}

Ui* current = nullptr;

} // namespace

Ui& ui() {
    return current != nullptr ? *current : silentUi();
}

Ui* setUi(Ui* u) {
    Ui* previous = current;
    current = u;
    return previous;
}
