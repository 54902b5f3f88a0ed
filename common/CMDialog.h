#pragma once
// The file and colour dialogs of the main window, over the Ui in use. Like the dialog control
// they stand for, they keep the colour chosen last and open the next colour dialog on it.
#include "common/Ui.h"
#include "runtime/Types.h"
#include <string>

// The file chosen in an open-file dialog (the file must exist), "" on cancel. An empty path
// becomes the program folder, in the caller's variable too; the dialog starts in the folder
// of path on its file name, or in path itself when it is a folder. filter is
// "desc|pattern|desc|pattern".
std::string ShowOpenDlg(std::string& path, const std::string& filter);
// As above, with the box's title and listing taken from look (its other fields are set here).
std::string ShowOpenDlg(std::string& path, const std::string& filter,
                        const FileDialogRequest& look);
// As ShowOpenDlg, for a save-file dialog that asks before replacing a file; without
// confirmOverwrite it asks nothing, for a caller that puts its own question about an existing
// file.
std::string ShowSaveDlg(std::string& path, const std::string& filter, bool confirmOverwrite = true);
// The colour chosen in the colour dialog (Long RGB), 0 on cancel.
Long PickColorDlg();
