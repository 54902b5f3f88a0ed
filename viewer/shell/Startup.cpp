#include "viewer/shell/Startup.h"

#include "common/CMDialog.h"
#include "common/Strings.h"
#include "common/Ui.h"
#include "platform/Component.h"
#include "runtime/Color.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "viewer/map/DrawCost.h"
#include "viewer/map/Options.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"
#include "viewer/shell/MainForm.h"
#include "viewer/shell/URLList.h"

#include <QAction>
#include <cmath>

namespace {

// A settings file named on the command line: a file (not a URL) ending in ".ini".
bool namesSettingsFile(const std::string& arg) {
    return !IsURL(arg) && arg.size() >= 4 && UCase(arg.substr(arg.size() - 4)) == ".INI";
}

void setMarks(QAction* on, std::initializer_list<QAction*> off) {
    on->setChecked(true);
    for (QAction* a : off)
        a->setChecked(false);
}

} // namespace

Long settingLong(const std::string& key, const char* section) {
    return SettingLongOf(GetString(key, section, Opt.IniFile));
}

std::string SettingsFileBeside(const std::string& programFolder) {
    const std::string lower = PathJoin(programFolder, "Pelorin.ini");
    if (ExistFile(lower)) return lower;
    const std::string upper = PathJoin(programFolder, "Pelorin.INI");
    if (ExistFile(upper)) return upper;
    return lower;
}

namespace {

// The command line: a settings file (".ini") and a dataset, either or both, in any order.
struct CommandLine {
    std::string settings, dataset;
    bool haveDataset = false;
};

CommandLine readCommandLine(const std::vector<std::string>& args) {
    CommandLine c;
    for (const std::string& a : args) {
        if (a.empty()) continue;
        if (namesSettingsFile(a)) {
            if (c.settings.empty()) c.settings = a;
        } else if (!c.haveDataset) {
            c.dataset = a;
            c.haveDataset = true;
        }
    }
    return c;
}

// The coastline file of the settings, or one the user picks when it cannot be opened; false
// when the user picks none.
bool findCoastline(const std::string& programFolder) {
    std::string file = GetString("coastline 1", "coast lines", Opt.IniFile);
    if (FileExistsOpen(file) != 1) {
        std::string start = PathJoin(programFolder, "coasts/WORLD_E.bdm");
        const std::string chosen =
            ShowOpenDlg(start, "Coastline bdm file(*.bdm)|*.bdm|All files(*.*)|*.*");
        if (chosen.empty()) return false;
        file = chosen;
        PutString("coastline 1", "coast lines", Opt.IniFile, file);
    }
    SetCoastlineFile(file);
    return true;
}

void readOptions() {
    SetNoteShown(1, settingLong("ShowNote1"));
    SetNoteShown(2, settingLong("ShowNote2"));
    SetNoteShown(3, settingLong("ShowNote3"));
    // Line and polygon arrows, and the glyph arrows (above 90) that the menu stores.
    const Long arrowStyle = settingLong("OptArrowStyle");
    SetArrowStyle(arrowStyle == 1 || arrowStyle == 2 || arrowStyle > 90 ? arrowStyle : 1);
    const Long coastStyle = settingLong("OptCoastLine");
    SetCoastlineStyle(coastStyle == 1 || coastStyle == 2 ? coastStyle : 1);
    const Long saveFormat = settingLong("SaveFormat");
    SetSaveFormat(saveFormat == 0 ? 1 : saveFormat);
    SetProjection(settingLong("Projection"));
}

// The menu marks of the options read.
void markOptions(MainForm& f) {
    if (View.Projection == 1)
        setMarks(f.Marcator, {f.Cartesian});
    else
        setMarks(f.Cartesian, {f.Marcator});
    if (Opt.OptArrowStyle == 0 || Opt.OptArrowStyle == 1)
        setMarks(f.ThinArrow, {f.PolyArrow, f.FontArrow});
    else if (Opt.OptArrowStyle == 2)
        setMarks(f.PolyArrow, {f.ThinArrow, f.FontArrow});
    else if (Opt.OptArrowStyle > 90)
        setMarks(f.FontArrow, {f.ThinArrow, f.PolyArrow});
    if (Coast.OptCoastLine == 1)
        setMarks(f.ThinLine, {f.PolygonFill});
    else
        setMarks(f.PolygonFill, {f.ThinLine});
}

// The grid point and mesh options, read once the window is shown, and their marks.
void readDisplayOptions(MainForm& f) {
    SetGridShown(settingLong("OptShowGrid"));
    SetMeshShown(settingLong("OptShowMesh"));
    if (Opt.OptShowMesh != 0)
        setMarks(f.ShowMesh, {f.NoShowMesh});
    else
        setMarks(f.NoShowMesh, {f.ShowMesh});
    if (Opt.OptShowGrid != 0)
        setMarks(f.doShow, {f.Notshow});
    else
        setMarks(f.Notshow, {f.doShow});
}

} // namespace

bool Main(const std::vector<std::string>& args, const std::string& programFolder) {
    SetCoastlineColour(QBColor(7));
    const CommandLine line = readCommandLine(args);

    const std::string path =
        line.settings.empty() ? SettingsFileBeside(programFolder) : line.settings;
    if (!ExistFile(path)) {
        ui().MsgBox("Unable to Locate INI file", kOkOnly + kCritical, path);
        return false;
    }
    SetSettingsFile(path);
    if (!findCoastline(programFolder)) return false;
    readOptions();

    // The remembered list: the dataset of the command line (or the one open at the last
    // shut-down) first, then the stored entries without it.
    std::string first = line.dataset;
    if (first.size() >= 2 && first.front() == '"' && first.back() == '"')
        first = first.substr(1, first.size() - 2);
    if (!line.haveDataset) first = lastOpenUrl();
    startUrlList(first);

    MainForm& f = mainForm();
    f.restorePlace();
    f.show();
    markOptions(f);
    readDisplayOptions(f);
    return true;
}
