#include "common/CMDialog.h"

#include "common/Strings.h"
#include "common/Ui.h"
#include "platform/Component.h"
#include "runtime/RuntimeError.h"

namespace {

// The colour the dialog control holds between calls.
Long dialogColor = 0;

enum class FileDialogKind { Open, Save };

std::string showFileDialog(FileDialogKind kind, std::string& path, const std::string& filter,
                           bool confirmOverwrite) {
    std::string result;
    try {
        if (path.empty()) path = ProgramFolder();
        FileDialogRequest req;
        req.initDir = FolderOf(path);
        req.fileName = FileNameOf(path) + "." + FileExtensionOf(path);
        req.filter = filter;
        req.filterIndex = 1;
        if (kind == FileDialogKind::Open) {
            req.mustExist = true;
            result = ui().OpenFileDialog(req);
        } else {
            req.confirmOverwrite = confirmOverwrite;
            result = ui().SaveFileDialog(req);
        }
    } catch (const RuntimeError&) {
        result.clear();
    }
    ui().DoEvents();
    return result;
}

} // namespace

std::string ShowOpenDlg(std::string& path, const std::string& filter) {
    return showFileDialog(FileDialogKind::Open, path, filter, false);
}

std::string ShowSaveDlg(std::string& path, const std::string& filter, bool confirmOverwrite) {
    return showFileDialog(FileDialogKind::Save, path, filter, confirmOverwrite);
}

Long PickColorDlg() {
    Long result = 0;
    try {
        Long color = dialogColor;
        if (ui().ColorDialog(color)) {
            dialogColor = color;
            result = color;
        }
    } catch (const RuntimeError&) {
        result = 0;
    }
    ui().DoEvents();
    return result;
}
