#include "viewer/export/SubsetWindow.h"

#include "common/Strings.h"
#include "common/TimeMod.h"
#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "viewer/export/ExportHost.h"
#include "viewer/export/RecastTime.h"
#include "viewer/export/SubsetDescription.h"
#include "viewer/export/TimeText.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"

#include <cmath>

SubsetWindowState SubsetWin;

namespace {
[[maybe_unused]] const bool kResetRegistered = RegisterSharedStateReset([] { SubsetWin.Reset(); });
} // namespace

namespace {

constexpr const char* kSection = "subsetpara";
constexpr const char* kCrLf = "\r\n";

void put(const std::string& key, const std::string& value) {
    PutString(key, kSection, Opt.IniFile, value);
}

std::string get(const std::string& key) {
    return GetString(key, kSection, Opt.IniFile);
}

// " 2005 1 15 12 30" for a date text of the time axis; " 0 0 0 0 0" for a text that is no date.
std::string timeFields(IKelvad& nc, const std::string& text) {
    const std::string calendar = nc.GetAttVbyVarNumbyAttname(nc.TimevId(1), "calendar", 1);
    DateFields f;
    if (!DateTextFields(text, calendar, f)) return " 0 0 0 0 0";
    return Str(f.year) + Str(Long{f.month}) + Str(Long{f.day}) + Str(Long{f.hour}) +
           Str(Long{f.minute});
}

// The five whole numbers of a stored time; false when the text does not hold them.
bool storedTime(const std::string& text, Integer (&fields)[5]) {
    if (CountTokens(text) != 5) return false;
    for (Long i = 0; i < 5; ++i) {
        const std::string token = GetToken(text, i + 1);
        if (!IsNumeric(token)) return false;
        const double v = Val(token);
        if (v != std::floor(v) || v < -32768 || v > 32767) return false;
        fields[i] = static_cast<Integer>(v);
    }
    return true;
}

// Minutes since 2000-01-01 00:00 of stored fields (the count holds months and days within
// 0..99 in the fields it is given: copies).
Long minutesSince2000(const Integer (&stored)[5]) {
    Integer f[5] = {stored[0], stored[1], stored[2], stored[3], stored[4]};
    Integer y = 2000, m = 1, d = 1, h = 0, n = 0;
    const Long base = DateTextToNum(y, m, d, h, n);
    return SubL(DateTextToNum(f[0], f[1], f[2], f[3], f[4]), base);
}

// A seasonal or monthly axis has no dates of its own: the window names the first and last
// step of the time cut as the starts the cell layout's recasting gives those steps, so that
// "Subset from Ini" places it on the same steps again.
bool seasonalWindow(IKelvad& nc, const SubsetDescription& sd, std::string& first,
                    std::string& last) {
    const std::string key = UCase(Left(nc.timeUnit(1), 3));
    if (key != "MON" && key != "SEA") return false;
    Long from = 1, to = nc.nTime(1);
    for (Long d = 1; d <= sd.rank(); ++d)
        if (sd.dimIds(d) == nc.TimedId(1) && sd.countSub(d) >= 1) {
            from = sd.startSub(d);
            to = sd.startSub(d) + (sd.countSub(d) - 1) * sd.strideSub(d);
        }
    if (to < from) return false;
    const Integer year = SeasonalAxisYear(SubsetWin);
    auto fields = [&](Long p) {
        Long y = 0, m = 0;
        SeasonalStepStart(key == "SEA", year, p, y, m);
        return Str(y) + Str(m) + Str(Long{1}) + Str(Long{0}) + Str(Long{0});
    };
    first = fields(from);
    last = fields(to);
    return true;
}

} // namespace

void PutSubsetParams(const SubsetDescription& sd) {
    IKelvad& nc = *Data.clsNC;
    put("file 1", nc.FName(1));
    std::string first, last;
    if (!seasonalWindow(nc, sd, first, last)) {
        first = timeFields(nc, nc.StartTime(1));
        last = timeFields(nc, nc.endTime(1));
    }
    put("Start Time", first);
    put("End Time", last);
    const double f = View.Projection == 1 ? kDegToRad : 1.0;
    put("North", CStr(View.ViewExtent.North / f));
    put("South", CStr(View.ViewExtent.South / f));
    put("East", CStr(View.ViewExtent.West / f));
    put("West", CStr(View.ViewExtent.East / f));
    for (Long d = 1; d <= sd.rank(); ++d) {
        const Long k = sd.dimIds(d) + 1;
        put(nc.dimeName(k, 1), Str(nc.dimeSize(k, 1)) + Str(sd.startSub(d)) + Str(sd.countSub(d)) +
                                   Str(sd.strideSub(d)));
    }
}

void LoadSubsetExtent() {
    const std::string start = get("Start Time"), end = get("End Time");
    const char* edgeKeys[4] = {"East", "West", "North", "South"};
    std::string edges[4];
    for (int i = 0; i < 4; ++i)
        edges[i] = get(edgeKeys[i]);
    if (start.empty() && end.empty() && edges[0].empty()) {
        ui().MsgBox(std::string("[LoadSubsetExtent] The settings file holds no subset window:") +
                        kCrLf + kCrLf + "Save a subset first; its window is kept in section \"" +
                        kSection + "\".",
                    kOkOnly, kProgramTitle);
        return;
    }
    Integer s[5] = {}, e[5] = {};
    std::string bad;
    if (!storedTime(start, s))
        bad = "Start Time=" + start;
    else if (!storedTime(end, e))
        bad = "End Time=" + end;
    for (int i = 0; i < 4 && bad.empty(); ++i)
        if (!IsNumeric(edges[i])) bad = std::string(edgeKeys[i]) + "=" + edges[i];
    if (!bad.empty()) {
        ui().MsgBox(std::string("[LoadSubsetExtent] The subset window in the settings file is "
                                "not valid:") +
                        kCrLf + kCrLf + bad,
                    kOkOnly, kProgramTitle);
        return;
    }

    // A window of a dataset without dated times has no place on a time axis.
    const bool dated = s[0] != 0 || s[1] != 0 || s[2] != 0;
    const Long startMin = dated ? minutesSince2000(s) : 0;
    const Long endMin = dated ? minutesSince2000(e) : 0;
    SubsetWin.Dated = dated;
    SubsetWin.SubsetStartMin = startMin;
    SubsetWin.SubsetEndMin = endMin;
    SubsetWin.SubsetStartYear = s[0];
    SubsetWin.SubsetStartMonth = s[1];
    SubsetWin.SubsetStartDay = s[2];
    SubsetWin.SubsetStartHour = s[3];
    SubsetWin.SubsetStartMinute = s[4];

    const double f = View.Projection == 1 ? kDegToRad : 1.0;
    ViewRec view;
    view.West = Val(edges[0]) * f;
    view.East = Val(edges[1]) * f;
    view.North = Val(edges[2]) * f;
    view.South = Val(edges[3]) * f;
    ZoomTo(view);
    exportHost().RedrawFrame();
}
