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
#include "viewer/export/ExportKinds.h"
#include "viewer/export/SafeOutput.h"
#include "viewer/export/SaveBFLocal.h"
#include "viewer/export/SubsetDescription.h"
#include "viewer/export/SubsetWindow.h"
#include "viewer/export/ToCir.h"
#include "viewer/export/ToTimeSerText.h"
#include "viewer/export/ToTxt.h"
#include "viewer/map/BusyGuard.h"
#include "viewer/map/DataChoices.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/SharedState.h"

#include <exception>
#include <functional>

namespace {

constexpr const char* kCrLf = "\r\n";

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

// What follows a subset file written: its window (when given) recorded in "subsetpara", the
// success box, and the file loaded once the save is over when the answer is "Load".
void OfferSavedSubset(const std::string& path, const SubsetDescription* recorded) {
    if (recorded != nullptr) PutSubsetParams(*recorded);
    if (ShowSubsetMsg(1, path) == kYes) loadWhenDone(path);
}

// The box of a failure that reached the saving of a local file (titled "SaveToLocal"); the
// pointer back to the default.
void ShowSaveToLocalError(const std::string& path, const std::exception& e) {
    ui().SetMousePointer(kPointerDefault);
    const auto* r = dynamic_cast<const RuntimeError*>(&e);
    ui().MsgBox(std::string("Error occured while accessing file:") + kCrLf + path + kCrLf + kCrLf +
                    "Error message (number " + CStr(Long{r ? r->number() : 0}) + ")" + kCrLf +
                    "\"" + (r ? r->description() : std::string(e.what())) + "\"",
                kOkOnly, "SaveToLocal");
}

// A netCDF save in the mode asked, the busy pointer shown meanwhile: made new (overwriting
// writes the new file beside the old one, which it replaces only once whole: nothing is deleted
// first) or appended to; once written, the window recorded (when given) and the file offered.
void saveLocal(const std::string& path, Long mode, const std::function<Long()>& create,
               const std::function<Long()>& append, const SubsetDescription* recorded) {
    try {
        ui().SetMousePointer(kPointerHourglass);
        Long result = 0;
        if (mode == kSaveNew || mode == kSaveOverwrite)
            result = create();
        else if (mode == kSaveAppend)
            result = append();
        ui().SetMousePointer(kPointerDefault);
        if (result <= 0) return;
        OfferSavedSubset(path, recorded);
    } catch (const std::exception& e) {
        ShowSaveToLocalError(path, e);
    }
}

// The items of the cell layout, as the dataset library recognises them by name; while it
// recognises no vector pair the user is asked to add variable aliases. False when declined.
bool orvItemsKnown(IKelvad& nc, OrvItems& items) {
    if (nc.Vector(1) == 0) {
        Variant found = nc.pickUVVariables(1);
        while (!found.IsEmpty() && found.toLong() == -1) {
            if (ui().MsgBox("Can not identify vector varaibles; do you want to add variable alias",
                            kYesNo, kProgramTitle) != kYes)
                return false;
            exportHost().AddVariableAlias();
            found = nc.pickUVVariables(1);
        }
    }
    items.waterU = nc.waterUvId(1);
    items.waterV = nc.waterVvId(1);
    items.windU = nc.windUvId(1);
    items.windV = nc.windVvId(1);
    SetWaterComponents(items.waterU, items.waterV);
    SetWindComponents(items.windU, items.windV);
    items.temp = nc.waterTempvId(1);
    return true;
}

const SaveFormat kFormats[] = {
    {.id = kSaveSubsetNc,
     .control = "asOriginalNc",
     .caption = "as Original Nc",
     .filter = "NetCDF file(*.nc)|*.nc|All files(*.*)|*.*",
     .asksAboutExisting = true,
     // Refused before the file dialog where no writer takes the kind (the meshes).
     .available = [](const ExportKind& kind) { return kind.subsetNc; },
     // A grid saved whole is never appended to.
     .appendable = [](const ExportKind& kind) { return !kind.wholeGrid; },
     .write = SaveToLocal},
    {.id = kSaveOrvNc,
     .control = "asOrvNc",
     .caption = "as Orv Nc (sequential)",
     .filter = "NetCDF file(*.nc)|*.nc|All files(*.*)|*.*",
     .asksAboutExisting = true,
     // A cell list is refused by the writer itself, with its own message.
     .available = [](const ExportKind& kind) { return kind.orvNc; },
     .write = SaveToLocalOrv},
    {.id = kSaveCir,
     .control = "asOrvCir",
     .caption = "as Orv Cir",
     .filter = "Orv CIR file(*.CIR)|*.CIR|All files(*.*)|*.*",
     .pairName = "CIR",
     .available = [](const ExportKind& kind) { return kind.cir; },
     .write = [](const SaveTarget& target, Long,
                 const SubsetDescription& sd) { To_Cir(target, sd); }},
    {.id = kSaveCsc,
     .control = "asOrvCsc",
     .caption = "as Orv Csc",
     .filter = "Orv CSC (ASCII) file(*.CSC)|*.CSC|All files(*.*)|*.*",
     .pairName = "CSC",
     .available = [](const ExportKind&) { return true; },
     .write = [](const SaveTarget& target, Long,
                 const SubsetDescription&) { To_Csc(target.Path()); }},
    {.id = kSaveXyuvText,
     .control = "asXyuvText",
     .caption = "as x,y,u,v text",
     .filter = "ASCII file(*.txt)|*.txt|All files(*.*)|*.*",
     .available = [](const ExportKind& kind) { return kind.xyuvText; },
     .write = [](const SaveTarget& target, Long,
                 const SubsetDescription& sd) { To_Txt(target, sd); }},
    {.id = kSaveTimeSer,
     .control = "asTimeSerText",
     .caption = "as date, u,v ( text, only for point time ser. file)",
     .filter = "ASCII file(*.txt)|*.txt|All files(*.*)|*.*",
     .available = [](const ExportKind&) { return true; },
     .write = [](const SaveTarget& target, Long,
                 const SubsetDescription& sd) { To_TimeSerText(target, sd); }},
};

// The read window of the view for the first pick (its messages are its own), and every pick
// over the first one's dimensions.
bool picksSavable() {
    try {
        CalculateGridScalar(Data.Picks(1).varNumber, Data.Picks(1).datasetIndex);
    } catch (const std::exception&) {}
    return Data.PickCount < 2 || PicksShareDimensions();
}

// The target of the save, claimed, kept under "local nc" and in the target box; "" when there
// is none to write. mode takes the answer about a netCDF target that exists.
SaveTarget chooseTarget(const SaveFormat& format, const ExportKind& kind, Long& mode) {
    if (format.pairName != nullptr && !pairOnGrid(format.pairName)) return {""};
    ExportHost& host = exportHost();
    std::string path = host.TargetText();
    if (path.empty()) path = GetString("local nc", "FilePath", Opt.IniFile);
    // An existing netCDF file gets the program's own Append / Overwrite / Cancel question alone.
    SaveTarget target(ShowSaveDlg(path, format.filter, !format.asksAboutExisting));
    if (target.Path().empty() || !target.Claim("Saving to local file")) return {""};
    const Long existing = FileExistsOpen(target.Path());
    // A missing file is made; a FIFO or a device in its place is nothing to write over.
    if (existing == -err::PathFileAccess) {
        message(
            SafeOutput::FailureText("Saving to local file", target.Path(), err::PathFileAccess));
        return {""};
    }
    if (format.asksAboutExisting && existing == 1) {
        mode = ShowSubsetMsg(3, target.Path());
        if (mode != kSaveAppend && mode != kSaveOverwrite) return {""};
        if (mode == kSaveAppend && format.appendable != nullptr && !format.appendable(kind)) {
            message(kBfgAppendNotAvailableText);
            return {""};
        }
    }
    PutString("local nc", "FilePath", Opt.IniFile, target.Path());
    host.SetTargetText(target.Path());
    return target;
}

} // namespace

std::span<const SaveFormat> SaveFormats() {
    return kFormats;
}

const SaveFormat* FindSaveFormat(Long id) {
    for (const SaveFormat& format : kFormats)
        if (format.id == id) return &format;
    return nullptr;
}

bool SaveFormatAvailable(Long format, Long gridType) {
    const SaveFormat* entry = FindSaveFormat(format);
    return entry != nullptr && entry->available(ExportKindOf(gridType));
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

void SaveToLocal(const SaveTarget& target, Long mode, const SubsetDescription& sd) {
    const ExportKind& kind = MainExportKind();
    if (!kind.subsetNc) {
        message("clsNC.GridType: wrong type");
        return;
    }
    SubsetDescription written = sd;
    saveLocal(
        target.Path(), mode,
        [&] { return kind.wholeGrid ? SaveBFLocal(target, sd) : CreateNc(target, sd); },
        [&] { return kind.wholeGrid ? Long{0} : AppendNc(target, written); },
        // A subset saved whole is never appended to, so its window is not kept.
        kind.wholeGrid ? nullptr : &written);
}

void SaveToLocalOrv(const SaveTarget& target, Long mode, const SubsetDescription& sd) {
    if (Data.clsNC == nullptr) return;
    OrvItems items;
    try {
        if (!orvItemsKnown(*Data.clsNC, items)) return;
    } catch (const std::exception& e) {
        ShowSaveToLocalError(target.Path(), e);
        return;
    }
    saveLocal(
        target.Path(), mode, [&] { return CreateOrvNc(target, sd, items); },
        [&] { return AppendOrvNc(target.Path()); }, &sd);
}

void SaveCommand() {
    if (Data.clsNC == nullptr || Data.PickCount < 1) return;
    BusyGuard busy;
    const ExportKind& kind = MainExportKind();
    if (!picksSavable()) return;
    const SaveFormat* format = FindSaveFormat(Opt.SaveFormat);
    if (format == nullptr || !format->available(kind)) {
        message(kFormatNotAvailableText);
        return;
    }
    Long mode = kSaveNew;
    const SaveTarget target = chooseTarget(*format, kind, mode);
    if (target.Path().empty()) return;
    ui().DoEvents();

    SubsetDescription sd;
    if (SubSetNcDomain(sd) != 1) {
        message("[Saving to local file] SubSetNcDomain() failed");
        return;
    }
    format->write(target, mode, sd);
}
