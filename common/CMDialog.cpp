#include "common/CMDialog.h"

#include "common/Strings.h"
#include "common/Ui.h"
#include "platform/Component.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"

#include <filesystem>
#include <system_error>

namespace {

// The colour the dialog control holds between calls.
Long dialogColor = 0;

enum class FileDialogKind { Open, Save };

std::string showFileDialog(FileDialogKind kind, std::string& path, const std::string& filter,
                           FileDialogRequest req = {}) {
    std::string result;
    try {
        if (path.empty()) path = ProgramFolder();
        // A folder opens the box in it with no file name proposed; a file proposes its own
        // name, as it stands.
        std::error_code ec;
        if (std::filesystem::is_directory(NativePath(path), ec)) {
            req.initDir = path;
        } else {
            req.initDir = FolderOf(path);
            req.fileName = Trim(PathFileName(path));
        }
        req.filter = filter;
        req.filterIndex = 1;
        if (kind == FileDialogKind::Open) {
            req.mustExist = true;
            result = ui().OpenFileDialog(req);
        } else {
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
    return showFileDialog(FileDialogKind::Open, path, filter);
}

std::string ShowOpenDlg(std::string& path, const std::string& filter,
                        const FileDialogRequest& look) {
    return showFileDialog(FileDialogKind::Open, path, filter, look);
}

std::string ShowSaveDlg(std::string& path, const std::string& filter, bool confirmOverwrite) {
    FileDialogRequest req;
    req.confirmOverwrite = confirmOverwrite;
    return showFileDialog(FileDialogKind::Save, path, filter, req);
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
