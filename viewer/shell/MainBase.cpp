#include "viewer/shell/MainBase.h"

#include "common/CMDialog.h"
#include "common/MStringSortRoutines.h"
#include "common/Strings.h"
#include "common/Ui.h"
#include "gui/QtText.h"
#include "platform/Component.h"
#include "runtime/Color.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "viewer/shell/DrawCost.h"
#include "viewer/shell/MainForm.h"

#include <QAction>
#include <QComboBox>
#include <cmath>

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

// ---- Start-up
// ------------------------------------------------------------------------------------

namespace {

constexpr const char* kParameters = "parameters";
constexpr const char* kUrlSection = "URL List";
// The remembered entries are keys "URLfile 1" to "URLfile 200".
constexpr Long kUrlKeys = 200;
// The shut-down's compaction rewrites only the first hundred keys.
constexpr Long kCompactKeys = 100;

bool endsWithIni(const std::string& arg) {
    return arg.size() >= 4 && UCase(arg.substr(arg.size() - 4)) == ".INI";
}

// A whole-number setting: the leading number of the text, to the nearest whole number, halves
// to even; no number, or one beyond a Long, reads as 0 and then takes the key's own rule.
Long settingLong(const std::string& key) {
    try {
        const double v = Val(GetString(key, kParameters, IniFile));
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
        if (endsWithIni(a)) {
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

Long firstFreeUrlKey() {
    for (Long n = 1; n <= kUrlKeys; ++n)
        if (readUrlKey(n).empty()) return n;
    return 0;
}

// Keys 1 to kUrlKeys without repeats (regardless of case) and without gaps, in key order.
void closeUpUrlKeys() {
    std::vector<std::string> held, kept;
    for (Long n = 1; n <= kUrlKeys; ++n)
        held.push_back(readUrlKey(n));
    std::vector<std::string> seen;
    for (const std::string& v : held) {
        if (v.empty()) continue;
        const std::string up = UCase(v);
        bool repeat = false;
        for (const std::string& s : seen)
            if (s == up) repeat = true;
        if (repeat) continue;
        seen.push_back(up);
        kept.push_back(v);
    }
    for (Long n = 1; n <= kUrlKeys; ++n) {
        const std::size_t i = static_cast<std::size_t>(n - 1);
        const std::string want = i < kept.size() ? kept[i] : std::string();
        if (held[i] != want) writeUrlKey(n, want);
    }
}

// The oldest entry (key 1) gives way: keys 2 to kUrlKeys move down one. Key kUrlKeys is left
// for the caller.
void dropOldestUrlKey() {
    std::vector<std::string> held;
    for (Long n = 1; n <= kUrlKeys; ++n)
        held.push_back(readUrlKey(n));
    for (Long n = 1; n < kUrlKeys; ++n)
        writeUrlKey(n, held[static_cast<std::size_t>(n)]);
}

// URL holds at least URL(0), also before the start-up built the list.
void ensureUrlArray() {
    if (!URL.IsAllocated()) {
        URL.ReDim(0, 0);
        nURL = 0;
    }
}

bool passesUrlFilter(const std::string& entry) {
    const bool http = UCase(Left(entry, 5)) == "HTTP:";
    switch (URLFilter) {
    case 1:
        return http;
    case 2:
        return !http;
    default:
        return true;
    }
}

} // namespace

void AddToURLList() {
    ensureUrlArray();
    const std::string current = URL(0);
    const std::string up = UCase(current);
    for (Long n = 1; n <= kUrlKeys; ++n)
        if (UCase(readUrlKey(n)) == up) return;

    // A full list never grows past its last key: it is closed up first, and when it is still
    // full its oldest entry gives way.
    Long key = firstFreeUrlKey();
    if (key == 0) {
        closeUpUrlKeys();
        key = firstFreeUrlKey();
    }
    if (key == 0) {
        dropOldestUrlKey();
        key = kUrlKeys;
    }
    writeUrlKey(key, current);

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
    for (Long n = 1; n <= kUrlKeys; ++n) {
        if (UCase(readUrlKey(n)) == up) {
            writeUrlKey(n, "");
            break;
        }
    }
    std::vector<std::string> entries;
    for (Long n = 1; n <= kUrlKeys; ++n) {
        const std::string v = readUrlKey(n);
        if (!v.empty()) entries.push_back(v);
    }
    setRememberedList(entries);
    FillURLCombo();
}

void CompactURLList() {
    std::vector<std::string> values;
    Long highest = 0;
    for (Long n = 1; n <= kCompactKeys; ++n) {
        const std::string v = readUrlKey(n);
        if (v.empty()) continue;
        values.push_back(v);
        highest = n;
    }
    if (values.empty()) return;

    VArray<std::string> sorted(1, static_cast<Long>(values.size()));
    for (Long i = 1; i <= sorted.UBound(); ++i)
        sorted(i) = values[static_cast<std::size_t>(i - 1)];
    SortStrings(sorted, true, false);

    Long written = 0;
    std::string last;
    for (Long i = 1; i <= sorted.UBound(); ++i) {
        const std::string up = UCase(sorted(i));
        if (written > 0 && up == last) continue;
        ++written;
        writeUrlKey(written, sorted(i));
        last = up;
    }
    for (Long n = written + 1; n <= highest; ++n)
        writeUrlKey(n, "");
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
