#include "viewer/shell/MainBase.h"

#include "common/CMDialog.h"
#include "common/MStringSortRoutines.h"
#include "common/Strings.h"
#include "common/Ui.h"
#include "gui/QtText.h"
#include "kelvadlib/IKelvad.h"
#include "platform/Component.h"
#include "runtime/Color.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "viewer/map/DrawCost.h"
#include "viewer/shell/MainForm.h"

#include <QAction>
#include <QComboBox>
#include <algorithm>
#include <cmath>
#include <vector>

std::string IniFile;
IKelvad* clsNC = nullptr;
Long nNcMain = 0;
Long nNcSecond = 0;
VArray<std::string> URL;
Long nURL = 0;
Long URLFilter = 0;
std::string SecondFile;
Long CurTimeStep = 0;
Long CurLevel = 0;
VArray<PickItem> Picks;
Long PickCount = 0;
VArray<float> lonV, latV;
VArray<float> nodeLonV, nodeLatV;
VArray<Long> node1, node2, node3;
VArray<double> timeV;
VArray<double> vCoordV;
ViewRec DataExtent;
ViewRec ViewExtent;
Long MouseState = 0;
Long CancelFlag = 0;
std::string CoastFile;
Long CoastFlag = 0;
Long Projection = 0;
float LonPeriod = 0;
Long OptShowGrid = 0;
Long OptShowMesh = 0;
float vscale = 0;
Long SaveFormat = 0;
Long ShowNote1 = 0, ShowNote2 = 0, ShowNote3 = 0;
Long ShortMsgAnswer = 0;
Long SectionPathCount = 0;
VArray<PathVertex> SectionPath;
Long water_U_vId = 0, water_V_vId = 0, wind_U_vId = 0, wind_V_vId = 0;
VArray<float> uV, vV;
float cellMisnVal = 0;
Long OptArrowStyle = 0;

void ResetSharedState() {
    IniFile.clear();
    clsNC = nullptr;
    nNcMain = nNcSecond = 0;
    URL.Erase();
    nURL = URLFilter = 0;
    SecondFile.clear();
    CurTimeStep = CurLevel = 0;
    Picks.Erase();
    PickCount = 0;
    lonV.Erase();
    latV.Erase();
    nodeLonV.Erase();
    nodeLatV.Erase();
    node1.Erase();
    node2.Erase();
    node3.Erase();
    timeV.Erase();
    vCoordV.Erase();
    DataExtent = ViewRec{};
    ViewExtent = ViewRec{};
    MouseState = CancelFlag = 0;
    CoastFile.clear();
    CoastFlag = 0;
    Projection = 0;
    LonPeriod = 0;
    OptShowGrid = OptShowMesh = 0;
    vscale = 0;
    SaveFormat = 0;
    ShowNote1 = ShowNote2 = ShowNote3 = 0;
    ShortMsgAnswer = 0;
    SectionPathCount = 0;
    SectionPath.Erase();
    water_U_vId = water_V_vId = wind_U_vId = wind_V_vId = 0;
    uV.Erase();
    vV.Erase();
    cellMisnVal = 0;
    OptArrowStyle = 0;
}

bool IsOpenDataset(const std::string& path) {
    if (clsNC == nullptr) return false;
    for (const Long slot : {nNcMain, nNcSecond}) {
        if (slot < 1) continue;
        if (SameFile(clsNC->FName(slot), path)) return true;
    }
    return false;
}

// ---- Start-up
// ------------------------------------------------------------------------------------

namespace {

constexpr const char* kParameters = "parameters";
constexpr const char* kUrlSection = "URL List";
// The remembered entries are keys "URLfile 1" to "URLfile 200".
constexpr Long kUrlKeys = 200;
// The shut-down's compaction rewrites only the first hundred keys.
constexpr Long kCompactKeys = 100;

// A settings file named on the command line: a file (not a URL) ending in ".ini".
bool namesSettingsFile(const std::string& arg) {
    return !IsURL(arg) && arg.size() >= 4 && UCase(arg.substr(arg.size() - 4)) == ".INI";
}

// A whole-number setting: the leading number of the text, to the nearest whole number, halves
// to even; no number, or one beyond a Long, reads as 0 and then takes the key's own rule.
Long settingLong(const std::string& key, const char* section = kParameters) {
    try {
        const double v = Val(GetString(key, section, IniFile));
        if (!std::isfinite(v) || v < -2147483648.5 || v > 2147483647.5) return 0;
        return CLng(v);
    } catch (const RuntimeError&) {
        return 0;
    }
}

std::string urlKey(Long n) {
    return "URLfile" + Str(n);
}

std::string readUrlKey(Long n) {
    return GetString(urlKey(n), kUrlSection, IniFile);
}

void writeUrlKey(Long n, const std::string& value) {
    PutString(urlKey(n), kUrlSection, IniFile, value);
}

// URL(1..) := entries; URL(0) is kept.
void setRememberedList(const std::vector<std::string>& entries) {
    std::string current;
    if (URL.IsAllocated() && URL.LBound() <= 0 && URL.UBound() >= 0) current = URL(0);
    nURL = static_cast<Long>(entries.size());
    URL.ReDim(0, nURL);
    URL(0) = current;
    for (Long i = 1; i <= nURL; ++i)
        URL(i) = entries[static_cast<std::size_t>(i - 1)];
}

void setMarks(QAction* on, std::initializer_list<QAction*> off) {
    on->setChecked(true);
    for (QAction* a : off)
        a->setChecked(false);
}

} // namespace

std::string SettingsFileBeside(const std::string& programFolder) {
    const std::string lower = PathJoin(programFolder, "Pelorin.ini");
    if (ExistFile(lower)) return lower;
    const std::string upper = PathJoin(programFolder, "Pelorin.INI");
    if (ExistFile(upper)) return upper;
    return lower;
}

bool Main(const std::vector<std::string>& args, const std::string& programFolder) {
    CoastColor = QBColor(7);

    // The command line: a settings file (".ini") and a dataset, either or both, in any order.
    std::string settingsArg, datasetArg;
    bool haveDataset = false;
    for (const std::string& a : args) {
        if (a.empty()) continue;
        if (namesSettingsFile(a)) {
            if (settingsArg.empty()) settingsArg = a;
        } else if (!haveDataset) {
            datasetArg = a;
            haveDataset = true;
        }
    }

    const std::string path = settingsArg.empty() ? SettingsFileBeside(programFolder) : settingsArg;
    if (!ExistFile(path)) {
        ui().MsgBox("Unable to Locate INI file", kOkOnly + kCritical, path);
        return false;
    }
    IniFile = path;

    CoastFile = GetString("coastline 1", "coast lines", IniFile);
    if (FileExistsOpen(CoastFile) != 1) {
        std::string start = PathJoin(programFolder, "coasts/WORLD_E.bdm");
        const std::string chosen =
            ShowOpenDlg(start, "Coastline bdm file(*.bdm)|*.bdm|All files(*.*)|*.*");
        if (chosen.empty()) return false;
        CoastFile = chosen;
        PutString("coastline 1", "coast lines", IniFile, CoastFile);
    }
    CoastFlag = 1;

    ShowNote1 = settingLong("ShowNote1");
    ShowNote2 = settingLong("ShowNote2");
    ShowNote3 = settingLong("ShowNote3");
    // Line and polygon arrows, and the glyph arrows (above 90) that the menu stores.
    OptArrowStyle = settingLong("OptArrowStyle");
    if (OptArrowStyle != 1 && OptArrowStyle != 2 && OptArrowStyle <= 90) OptArrowStyle = 1;
    OptCoastLine = settingLong("OptCoastLine");
    if (OptCoastLine != 1 && OptCoastLine != 2) OptCoastLine = 1;
    SaveFormat = settingLong("SaveFormat");
    if (SaveFormat == 0) SaveFormat = 1;
    Projection = settingLong("Projection");
    LonPeriod = Projection == 0 ? 360.0f : 6.283185f;

    // The remembered list: the dataset of the command line (or the one open at the last
    // shut-down) first, then the stored entries without it.
    std::string first = datasetArg;
    if (first.size() >= 2 && first.front() == '"' && first.back() == '"')
        first = first.substr(1, first.size() - 2);
    if (!haveDataset) first = GetString("URLfile 0", kUrlSection, IniFile);
    std::vector<std::string> entries;
    if (!first.empty()) entries.push_back(first);
    for (Long n = 1; n <= kUrlKeys; ++n) {
        const std::string v = readUrlKey(n);
        if (v.empty() || v == first) continue;
        entries.push_back(v);
    }
    URL.ReDim(0, 0);
    setRememberedList(entries);

    MainForm& f = mainForm();
    f.show();

    if (Projection == 1)
        setMarks(f.Marcator, {f.Cartesian});
    else
        setMarks(f.Cartesian, {f.Marcator});
    if (OptArrowStyle == 0 || OptArrowStyle == 1)
        setMarks(f.ThinArrow, {f.PolyArrow, f.FontArrow});
    else if (OptArrowStyle == 2)
        setMarks(f.PolyArrow, {f.ThinArrow, f.FontArrow});
    else if (OptArrowStyle > 90)
        setMarks(f.FontArrow, {f.ThinArrow, f.PolyArrow});
    if (OptCoastLine == 1)
        setMarks(f.ThinLine, {f.PolygonFill});
    else
        setMarks(f.PolygonFill, {f.ThinLine});

    OptShowGrid = settingLong("OptShowGrid");
    OptShowMesh = settingLong("OptShowMesh");
    if (OptShowMesh != 0)
        setMarks(f.ShowMesh, {f.NoShowMesh});
    else
        setMarks(f.NoShowMesh, {f.ShowMesh});
    if (OptShowGrid != 0)
        setMarks(f.doShow, {f.Notshow});
    else
        setMarks(f.Notshow, {f.doShow});
    return true;
}

// ---- The remembered list -----------------------------------------------------------------------

namespace {

// When each stored entry was added: "URLadded n" beside "URLfile n" holds a count that grows
// with every add, so that a full list knows its oldest entry even after the compaction has
// sorted the keys. An entry without one (stored before the counts were kept) is older than
// every counted one.
std::string addedKey(Long n) {
    return "URLadded" + Str(n);
}

struct StoredEntry {
    std::string value;
    Long added = 0;
};

// Keys 1 to last as they are stored (empty values included).
std::vector<StoredEntry> readStored(Long last) {
    std::vector<StoredEntry> out;
    for (Long n = 1; n <= last; ++n) {
        StoredEntry e;
        e.value = readUrlKey(n);
        if (!e.value.empty()) e.added = settingLong(addedKey(n), kUrlSection);
        out.push_back(std::move(e));
    }
    return out;
}

// Writes keys 1 to after.size() where they differ from before (as read by readStored).
void writeStored(const std::vector<StoredEntry>& before, const std::vector<StoredEntry>& after) {
    for (std::size_t i = 0; i < after.size(); ++i) {
        const Long n = static_cast<Long>(i + 1);
        const StoredEntry was = i < before.size() ? before[i] : StoredEntry{};
        const StoredEntry& now = after[i];
        if (now.value != was.value) writeUrlKey(n, now.value);
        const std::string added = now.value.empty() ? std::string() : CStr(now.added);
        const std::string wasAdded = was.value.empty() ? std::string() : CStr(was.added);
        if (added != wasAdded || now.value != was.value)
            PutString(addedKey(n), kUrlSection, IniFile, added);
    }
}

Long newestAdded(const std::vector<StoredEntry>& entries) {
    Long newest = 0;
    for (const StoredEntry& e : entries)
        if (!e.value.empty()) newest = std::max(newest, e.added);
    return newest;
}

// The entries without repeats (regardless of case; the first place keeps the newest count of
// its copies) and without gaps, in key order, padded with free keys to the same length.
std::vector<StoredEntry> closedUp(const std::vector<StoredEntry>& entries) {
    std::vector<StoredEntry> kept;
    for (const StoredEntry& e : entries) {
        if (e.value.empty()) continue;
        const std::string up = UCase(e.value);
        auto same = std::find_if(kept.begin(), kept.end(),
                                 [&](const StoredEntry& k) { return UCase(k.value) == up; });
        if (same == kept.end())
            kept.push_back(e);
        else
            same->added = std::max(same->added, e.added);
    }
    kept.resize(entries.size());
    return kept;
}

// URL holds at least URL(0), also before the start-up built the list.
void ensureUrlArray() {
    if (!URL.IsAllocated()) {
        URL.ReDim(0, 0);
        nURL = 0;
    }
}

bool passesUrlFilter(const std::string& entry) {
    const bool url = IsURL(entry);
    switch (URLFilter) {
    case 1:
        return url;
    case 2:
        return !url;
    default:
        return true;
    }
}

} // namespace

void AddToURLList() {
    ensureUrlArray();
    const std::string current = URL(0);
    const std::string up = UCase(current);
    const std::vector<StoredEntry> before = readStored(kUrlKeys);
    for (const StoredEntry& e : before)
        if (UCase(e.value) == up) return;

    // A full list never grows past its last key: it is closed up first, and when it is still
    // full its oldest entry gives way and the later ones move down.
    std::vector<StoredEntry> after = before;
    auto isFree = [](const StoredEntry& e) { return e.value.empty(); };
    auto freeKey = std::find_if(after.begin(), after.end(), isFree);
    if (freeKey == after.end()) {
        after = closedUp(before);
        freeKey = std::find_if(after.begin(), after.end(), isFree);
    }
    if (freeKey == after.end()) {
        const auto oldest =
            std::min_element(after.begin(), after.end(),
                             [](const auto& a, const auto& b) { return a.added < b.added; });
        after.erase(oldest);
        after.push_back(StoredEntry{});
        freeKey = after.end() - 1;
    }
    *freeKey = StoredEntry{current, AddL(newestAdded(before), 1)};
    writeStored(before, after);

    std::vector<std::string> entries;
    for (Long n = 1; n <= kUrlKeys; ++n) {
        const std::string v = readUrlKey(n);
        if (v.empty()) break;
        entries.push_back(v);
    }
    setRememberedList(entries);
    FillURLCombo();

    QComboBox* combo = mainForm().Combo1;
    for (int i = 0; i < combo->count(); ++i) {
        if (programText(combo->itemText(i)) == current) {
            combo->setCurrentIndex(i);
            break;
        }
    }
}

void RemoveFromURLList() {
    ensureUrlArray();
    const std::string up = UCase(URL(0));
    const std::vector<StoredEntry> before = readStored(kUrlKeys);
    std::vector<StoredEntry> after = before;
    for (StoredEntry& e : after) {
        if (UCase(e.value) == up) {
            e = StoredEntry{};
            break;
        }
    }
    writeStored(before, after);
    std::vector<std::string> entries;
    for (const StoredEntry& e : after)
        if (!e.value.empty()) entries.push_back(e.value);
    setRememberedList(entries);
    FillURLCombo();
}

void CompactURLList() {
    const std::vector<StoredEntry> before = readStored(kCompactKeys);
    std::vector<std::string> values;
    for (const StoredEntry& e : before)
        if (!e.value.empty()) values.push_back(e.value);
    if (values.empty()) return;

    VArray<std::string> sorted(1, static_cast<Long>(values.size()));
    for (Long i = 1; i <= sorted.UBound(); ++i)
        sorted(i) = values[static_cast<std::size_t>(i - 1)];
    SortStrings(sorted, true, false);

    // Of the copies of an entry (regardless of case) the first in sorted order is kept, with
    // the newest count of them.
    std::vector<StoredEntry> kept;
    for (Long i = 1; i <= sorted.UBound(); ++i) {
        const std::string up = UCase(sorted(i));
        if (!kept.empty() && UCase(kept.back().value) == up) continue;
        StoredEntry e{sorted(i), 0};
        for (const StoredEntry& b : before)
            if (UCase(b.value) == up) e.added = std::max(e.added, b.added);
        kept.push_back(std::move(e));
    }
    // Free keys after the last one written, up to the last key that held an entry.
    std::size_t highest = 0;
    for (std::size_t i = 0; i < before.size(); ++i)
        if (!before[i].value.empty()) highest = i + 1;
    kept.resize(std::max(highest, kept.size()));
    writeStored(before, kept);
}

void FillURLCombo() {
    ensureUrlArray();
    QComboBox* combo = mainForm().Combo1;
    combo->clear();
    for (Long i = 1; i <= nURL; ++i)
        if (passesUrlFilter(URL(i))) combo->addItem(qtText(URL(i)));
    // The hidden entries stay in memory for a later change of filter.
    if (combo->count() == 0) {
        ui().MsgBox("No initial file or target address exist", kOkOnly, "");
        URL(0) = "?";
        combo->addItem(QStringLiteral("?"));
    }
    combo->setCurrentIndex(0);
}
