#include "viewer/export/SaveFlow.h"

#include "common/CMDialog.h"
#include "common/Strings.h"
#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "viewer/export/AppendNc.h"
#include "viewer/export/CreateNc.h"
#include "viewer/export/CreateOrvNc.h"
#include "viewer/export/ExportHost.h"
#include "viewer/export/SafeOutput.h"
#include "viewer/export/SaveBFLocal.h"
#include "viewer/export/SubsetDescription.h"
#include "viewer/export/SubsetWindow.h"
#include "viewer/export/ToCir.h"
#include "viewer/export/ToTimeSerText.h"
#include "viewer/export/ToTxt.h"
#include "viewer/map/BusyGuard.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/SharedState.h"

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kNcFilter = "NetCDF file(*.nc)|*.nc|All files(*.*)|*.*";
constexpr const char* kCirFilter = "Orv CIR file(*.CIR)|*.CIR|All files(*.*)|*.*";
constexpr const char* kCscFilter = "Orv CSC (ASCII) file(*.CSC)|*.CSC|All files(*.*)|*.*";
constexpr const char* kTextFilter = "ASCII file(*.txt)|*.txt|All files(*.*)|*.*";

void message(const std::string& text) {
    ui().MsgBox(text, kOkOnly, kProgramTitle);
}

// The CIR and CSC formats take a pair of components on a grid with longitude and latitude.
bool pairOnGrid(const char* format) {
    if (Data.PickCount != 2) {
        message(std::string("You need to pick a pair of U and V items:") + kCrLf + kCrLf +
                "Please re-seclect");
        return false;
    }
    if (Data.clsNC->lonlatOrder(1) <= 0) {
        message(std::string("You can not save this data structure in ") + format + " mode:" +
                kCrLf + kCrLf + "Must be gridded with lon() and lat() coordinates" + kCrLf);
        return false;
    }
    return true;
}

// Loading the new file replaces the dataset object and closes the order and map windows: it
// waits until the save has ended and let go of them.
void loadWhenDone(const std::string& path) {
    WhenIdle([path] { exportHost().LoadDataset(path); });
}

} // namespace

bool SaveFormatAvailable(Long format, Long gridType) {
    switch (format) {
    case kSaveSubsetNc:
        return true;
    case kSaveOrvNc:
        // A cell list is refused by the writer itself, with its own message.
        return gridType == kGridRegular || gridType == kGridCells;
    case kSaveCir:
        // Cells of a regular longitude/latitude grid.
        return gridType == kGridRegular;
    case kSaveXyuvText:
        // Nodes of a boundary-fitted grid, or the points of a GMT grid.
        return gridType == kGridBfg || gridType == kGridGmt;
    case kSaveCsc:
    case kSaveTimeSer:
        return true;
    default:
        return false;
    }
}

Long ShowSubsetMsg(Long kind, const std::string& path) {
    const std::string text = std::string(kind == 1 ? "File made:" : "File already exists:") + "\r" +
                             kCrLf + kCrLf + "file   : " + path;
    if (kind == 1)
        return exportHost().AskShortMsg("Successful Sub-setting", text, "Load", "Continue", "");
    return exportHost().AskShortMsg("Sub-setting to local file", text, "Append", "Overwrite",
                                    "Cancel");
}

void To_Csc(const std::string&) {
    message("[To_Csc] this part not written");
}

void SaveToLocal(const std::string& path, Long mode, const SubsetDescription& sd) {
    try {
        ui().SetMousePointer(kPointerHourglass);
        Long result = 0;
        const bool boundaryFitted = Data.clsNC != nullptr && Data.clsNC->GridType(1) == kGridBfg;
        SubsetDescription written = sd;
        // Overwriting writes the new file beside the old one, which it replaces only once
        // whole: nothing is deleted first.
        if (mode == kSaveNew || mode == kSaveOverwrite)
            result = boundaryFitted ? SaveBFLocal(path, sd) : CreateNc(path, sd);
        else if (mode == kSaveAppend && !boundaryFitted)
            result = AppendNc(path, written);
        ui().SetMousePointer(kPointerDefault);
        if (result <= 0) return;
        // A boundary-fitted subset is never appended to, so its window is not kept.
        OfferSavedSubset(path, boundaryFitted ? nullptr : &written);
    } catch (const std::exception& e) {
        ShowSaveToLocalError(path, e);
    }
}

void OfferSavedSubset(const std::string& path, const SubsetDescription* recorded) {
    if (recorded != nullptr) PutSubsetParams(*recorded);
    if (ShowSubsetMsg(1, path) == kYes) loadWhenDone(path);
}

void ShowSaveToLocalError(const std::string& path, const std::exception& e) {
    ui().SetMousePointer(kPointerDefault);
    const auto* r = dynamic_cast<const RuntimeError*>(&e);
    ui().MsgBox(std::string("Error occured while accessing file:") + kCrLf + path + kCrLf + kCrLf +
                    "Error message (number " + CStr(Long{r ? r->number() : 0}) + ")" + kCrLf +
                    "\"" + (r ? r->description() : std::string(e.what())) + "\"",
                kOkOnly, "SaveToLocal");
}

void SaveCommand() {
    if (Data.clsNC == nullptr || Data.PickCount < 1) return;
    BusyGuard busy;
    IKelvad& nc = *Data.clsNC;
    const Long gridType = nc.GridType(1);

    // The read window of the view for the first pick; its messages are its own.
    try {
        CalculateGridScalar(Data.Picks(1).varNumber, Data.Picks(1).datasetIndex);
    } catch (const std::exception&) {}
    if (Data.PickCount >= 2 && !PicksShareDimensions()) return;

    const Long format = Opt.SaveFormat;
    if (!SaveFormatAvailable(format, gridType)) {
        message(kFormatNotAvailableText);
        return;
    }

    ExportHost& host = exportHost();
    std::string path = host.TargetText();
    if (path.empty()) path = GetString("local nc", "FilePath", Opt.IniFile);
    Long mode = kSaveNew;
    switch (format) {
    case kSaveSubsetNc:
    case kSaveOrvNc:
        // An existing file gets the program's own Append / Overwrite / Cancel question alone.
        path = ShowSaveDlg(path, kNcFilter, false);
        if (path.empty() || RefuseOpenDatasetTarget(path, "Saving to local file")) return;
        if (FileExistsOpen(path) == 1) {
            mode = ShowSubsetMsg(3, path);
            if (mode != kSaveAppend && mode != kSaveOverwrite) return;
            // The cell layout's own writer says that it cannot be appended to.
            if (mode == kSaveAppend && format == kSaveSubsetNc && gridType == kGridBfg) {
                message(kBfgAppendNotAvailableText);
                return;
            }
        }
        break;
    case kSaveCir:
    case kSaveCsc:
        if (!pairOnGrid(format == kSaveCir ? "CIR" : "CSC")) return;
        path = ShowSaveDlg(path, format == kSaveCir ? kCirFilter : kCscFilter);
        break;
    case kSaveXyuvText:
    case kSaveTimeSer:
        path = ShowSaveDlg(path, kTextFilter);
        break;
    default:
        break;
    }
    if (path.empty()) return;
    if (RefuseOpenDatasetTarget(path, "Saving to local file")) return;

    PutString("local nc", "FilePath", Opt.IniFile, path);
    host.SetTargetText(path);
    ui().DoEvents();

    SubsetDescription sd;
    if (SubSetNcDomain(sd) != 1) {
        message("[Saving to local file] SubSetNcDomain() failed");
        return;
    }
    switch (format) {
    case kSaveSubsetNc:
        if (gridType == kGridRegular || gridType == kGridCells || gridType == kGridGmt ||
            gridType == kGridBfg)
            SaveToLocal(path, mode, sd);
        else
            message("clsNC.GridType: wrong type");
        break;
    case kSaveOrvNc:
        SaveToLocalOrv(path, mode, sd);
        break;
    case kSaveCir:
        To_Cir(path, sd);
        break;
    case kSaveCsc:
        To_Csc(path);
        break;
    case kSaveXyuvText:
        To_Txt(path, sd);
        break;
    case kSaveTimeSer:
        To_TimeSerText(path);
        break;
    default:
        break;
    }
}
