#include "viewer/export/RecastTime.h"

#include "common/Calendar.h"
#include "common/TimeMod.h"
#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "viewer/export/SubsetWindow.h"
#include "viewer/map/SharedState.h"

#include <cmath>

namespace {

constexpr const char* kCrLf = "\r\n";

void message(const std::string& text) {
    ui().MsgBox(text, kOkOnly, kProgramTitle);
}

// A refusal: its message is shown and the axis holds nothing to write.
struct Refused {
    std::string text;
};

Integer fieldOf(int64_t v) {
    if (v < -32768 || v > 32767) throw RuntimeError(err::Overflow);
    return static_cast<Integer>(v);
}

// Minutes since 2000-01-01 00:00 of a date and time, on the program's day numbering.
Long minutesSince2000(int64_t year, int month, int day, int hour, int minute) {
    Integer y = fieldOf(year), m = fieldOf(month), d = fieldOf(day), h = fieldOf(hour),
            n = fieldOf(minute);
    Integer y0 = 2000, m0 = 1, d0 = 1, h0 = 0, n0 = 0;
    const Long base = DateTextToNum(y0, m0, d0, h0, n0);
    return SubL(DateTextToNum(y, m, d, h, n), base);
}

// The first nt of first..last with entry nt <= bound < entry nt + 1; 0 when none.
Long bracket(const VArray<Long>& m, Long first, Long last, Long bound) {
    for (Long nt = first; nt <= last; ++nt)
        if (m(nt) <= bound && bound < m(nt + 1)) return nt;
    return 0;
}

// Seasonal and monthly axes: consecutive starts from January of the window's year. Without a
// window the axis runs from January 2000, and all of it is the window.
Integer seasonsOrMonths(bool seasons, Long nTime, const SubsetWindowState& win, RecastAxis& axis) {
    const char* what = seasons ? "season" : "month";
    const Long n = MulL(2, nTime);
    axis.RecastMinutes.ReDim(1, n);
    const Integer year = SeasonalAxisYear(win);
    for (Long i = 1; i <= n; ++i) {
        Long y = 0, m = 0;
        SeasonalStepStart(seasons, year, i, y, m);
        axis.RecastMinutes(i) = minutesSince2000(y, static_cast<int>(m), 1, 0, 0);
    }
    axis.carried = true;
    if (!win.Dated) {
        axis.nt_start = 1;
        axis.nt_end = nTime;
        return 1;
    }
    const std::string label = std::string("[recasttime:case '") + what + "'] ";
    axis.nt_start = bracket(axis.RecastMinutes, 1, nTime, win.SubsetStartMin);
    if (axis.nt_start == 0) {
        message(label + "nt_start& = 0");
        return -1;
    }
    axis.nt_end = bracket(axis.RecastMinutes, 1, n - 1, win.SubsetEndMin);
    if (axis.nt_end == 0) {
        message(label + "nt_end& = 0");
        return -1;
    }
    return 1;
}

// Days, hours, minutes and seconds: each value converted from the first step's date. The
// dates of the axis's calendar must come out as the same dates in the file's count.
Integer converted(const TimeAxisSource& src, double minutesPerUnit, const SubsetWindowState& win,
                  RecastAxis& axis) {
    const Long nTime = static_cast<Long>(src.time.size());
    const Calendar cal = CalendarOf(src.calendar);
    const CalendarTime s = CalendarTimeOf(cal, src.start);
    const Long startRel = minutesSince2000(s.year, s.month, s.day, s.hour, s.minute);
    const double t1 = src.time(1);
    axis.RecastMinutes.ReDim(1, nTime);
    for (Long i = 1; i <= nTime; ++i) {
        const double elapsed = (src.time(i) - t1) * minutesPerUnit;
        axis.RecastMinutes(i) = CLng(elapsed + startRel);
        // Where the step falls in its own calendar, and whether that is the same moment.
        const Date at(src.start.serial + elapsed / 1440);
        const CalendarTime c = CalendarTimeOf(cal, at);
        const double own =
            minutesSince2000(c.year, c.month, c.day, c.hour, c.minute) + c.second / 60.0;
        if (!IsCalendarDate(Calendar::ProlepticGregorian, c.year, c.month, c.day) ||
            std::fabs(own - (startRel + s.second / 60.0 + elapsed)) > 1.0 / 60)
            throw Refused{"[recasttime] The time axis cannot be written in minutes since "
                          "2000-01-01:" +
                          std::string(kCrLf) + kCrLf + "its " + src.calendar +
                          " calendar has dates that a count from its first step would not "
                          "keep (step" +
                          Str(i) + ", " + CalendarDateText(cal, at) + ")."};
    }
    axis.carried = true;
    axis.nt_start = bracket(axis.RecastMinutes, 1, nTime - 1, win.SubsetStartMin);
    if (axis.nt_start == 0) return -1;
    axis.nt_end = bracket(axis.RecastMinutes, 1, nTime - 1, win.SubsetEndMin);
    if (axis.nt_end == 0) axis.nt_end = nTime;
    return 1;
}

} // namespace

Integer SeasonalAxisYear(const SubsetWindowState& win) {
    return win.Dated ? win.SubsetStartYear : Integer{2000};
}

void SeasonalStepStart(bool seasons, Integer year, Long p, Long& stepYear, Long& stepMonth) {
    const int64_t months = (int64_t{p} - 1) * (seasons ? 3 : 1);
    stepYear = static_cast<Long>(year + months / 12);
    stepMonth = static_cast<Long>(months % 12 + 1);
}

Integer RecastTimes(const TimeAxisSource& src, const SubsetWindowState& win, RecastAxis& axis) {
    axis = RecastAxis();
    const Long nTime = src.time.IsAllocated() ? static_cast<Long>(src.time.size()) : 0;
    const std::string key = UCase(Left(src.unit, 3));
    try {
        if (nTime < 1) throw Refused{"[recasttime] The dataset has no time steps to write."};
        if (key == "SEA" || key == "MON") return seasonsOrMonths(key == "SEA", nTime, win, axis);
        if (key == "DAY") return converted(src, 1440, win, axis);
        if (key == "HOU") return converted(src, 60, win, axis);
        if (key == "MIN") return converted(src, 1, win, axis);
        if (key == "SEC") return converted(src, 1.0 / 60, win, axis);
        throw Refused{std::string("Unexpected time unit:") + kCrLf + kCrLf + src.unit};
    } catch (const Refused& r) {
        message(r.text);
    } catch (const RuntimeError& e) {
        if (e.number() != err::Overflow) throw;
        message(std::string("[recasttime] The time axis cannot be written in minutes since "
                            "2000-01-01:") +
                kCrLf + kCrLf + "its times lie beyond the minutes a Long holds.");
    }
    axis = RecastAxis();
    return -1;
}

Integer recasttime(RecastAxis& axis) {
    if (Data.clsNC == nullptr) throw RuntimeError(err::ObjectNotSet);
    IKelvad& nc = *Data.clsNC;
    TimeAxisSource src;
    src.unit = nc.timeUnit(1);
    src.calendar = nc.GetAttVbyVarNumbyAttname(nc.TimevId(1), "calendar", 1);
    src.start = nc.startDate(1);
    const Long nTime = nc.nTime(1);
    if (nTime >= 1) {
        src.time.ReDim(1, nTime);
        if (nc.FillTime(src.time, 1) < 0) throw RuntimeError(err::InvalidCall, nc.ErrorMessage());
    }
    return RecastTimes(src, SubsetWin, axis);
}
