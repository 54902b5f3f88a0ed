#include "kelvadlib/Kelvad.h"
#include "kelvadlib/Utils.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

namespace {

// Linear weights of t1 < m <= t2: tw1 for the earlier step, tw2 = 1 - tw1.
void weights(Long t1, Long t2, Long m, float& tw1, float& tw2) {
    tw1 = static_cast<float>((static_cast<double>(t2) - m) / (static_cast<double>(t2) - t1));
    tw2 = 1.0f - tw1;
}

// How GetTimePt reads its time: a date (a Date, or a text that reads as one in the axis's
// calendar), or a number.
enum class TimeKind { Date, Number, Neither };

TimeKind kindOf(Calendar cal, const Variant& v, Date& date, double& number) {
    using T = Variant::Type;
    switch (v.type()) {
    case T::kDate:
        date = v.toDate();
        return TimeKind::Date;
    case T::kString:
        if (ParseCalendarDate(cal, v.toString(), date)) return TimeKind::Date;
        if (TextToNumber(v.toString(), number)) return TimeKind::Number;
        return TimeKind::Neither;
    default: // Empty, Boolean and the numbers convert as numbers
        number = v.toDouble();
        return TimeKind::Number;
    }
}

// The date of step nt of a dated axis: EpochDate plus the step's time value in days. False
// for a step without a time (a fill).
bool stepDate(const NcfRec& r, const std::string& key, Long nt, Date& out) {
    const double v = r.timeArr(nt);
    if (std::isnan(v)) return false;
    double days = 0;
    if (key == "DAY")
        days = v;
    else if (key == "HOU")
        days = v / 24;
    else if (key == "MIN")
        days = v / 24 / 60;
    else if (key == "SEC")
        days = v / 24 / 60 / 60;
    else
        return false;
    out = Date(r.EpochDate.serial + days);
    return true;
}

// Where GetTimePt leaves its answer: the two steps and their weights.
struct TimePt {
    Long& nt1;
    Long& nt2;
    float& tw1;
    float& tw2;
    // Both steps on one, all its weight.
    Long at(Long nt) {
        nt1 = nt2 = nt;
        tw1 = 1;
        return 1;
    }
};

// A dated axis: minute m between the steps whose times the first step's text and the step
// values give.
Long datedTimePt(const NcfRec& r, Long m, const std::string& key, TimePt& pt,
                 std::string& error) {
    const double d = r.dTimeSec / 60.0;
    if (m < r.StartTimeMin - d || m > r.endTimeMin + d) {
        error = "[getTimePt] out of Time domain (dated)";
        return 0;
    }
    // Steps without a time (fills) are passed over: the axis runs from the first step that has
    // one to the last.
    const Long firstTimed = std::max<Long>(1, FirstTimedStep(r));
    const Long lastTimed = LastTimedStep(r) > 0 ? LastTimedStep(r) : r.nTime;
    if (m <= r.StartTimeMin) return pt.at(firstTimed);
    if (m >= r.endTimeMin) return pt.at(lastTimed);
    const float f = MinutesPerTimeUnit(key);
    if (f == 0.0f) {
        error = "[getTimePt] Unknown Time unit (dated)";
        return -1;
    }
    // The step times are rebuilt from the first step's text, one rounded step at a time.
    Long p = DateToOrvMin(CalendarCDate(r.calendar, r.StartTime));
    Long before = firstTimed;
    for (Long i = firstTimed + 1; i <= r.nTime; ++i) {
        if (std::isnan(r.timeArr(i))) continue;
        const Long c = CLng(p + (r.timeArr(i) - r.timeArr(before)) * static_cast<double>(f));
        if (m == c) {
            pt.at(i);
            pt.tw2 = 0;
            return 1;
        }
        if (p < m && m < c) {
            pt.nt1 = before;
            pt.nt2 = i;
            weights(p, c, m, pt.tw1, pt.tw2);
            return 1;
        }
        p = c;
        before = i;
    }
    error = "[getTimePt] missed Time slot (dated)";
    return -1;
}

// Entry k of a climatology laid into year yr, in Orv minutes: step k at its day, entry 0 the
// step before the first (the last, wrapped) and the entries past nTime the first steps again.
// Empty for a unit a climatology cannot have. last: the entries the scan may reach.
std::function<Long(Long)> climatologyEntry(const NcfRec& r, const std::string& key, Integer yr,
                                           Long& last) {
    const Calendar cal = r.calendar;
    const Long nTime = r.nTime;
    last = nTime < 1 ? 0 : AddL(nTime, 3);
    if (key == "SEA") {
        // Season k starts on the first of month 3k - 1: February, May, August, November.
        return [cal, yr](Long k) { return MonthStartOrvMin(cal, yr, 3 * int64_t{k} - 1); };
    }
    if (key == "MON") {
        // A monthly axis shorter than a year does not run on past its last month.
        if (nTime >= 1 && nTime < 12) last = nTime;
        return [cal, yr](Long k) { return MonthStartOrvMin(cal, yr, k); };
    }
    if (key == "DAY") {
        const Long day0 = CalendarOrvMin(cal, yr, 1, 0, 0, 0); // the last day of yr - 1
        return [day0](Long k) { return AddL(day0, MulL(k, 1440)); };
    }
    return {};
}

// An axis without dates: a climatology laid into the year of the given time (the date's, or
// that of minute m); it wraps at the year's ends.
Long climatologyTimePt(const NcfRec& r, TimeKind kind, const Date& date, Long m,
                       const std::string& key, TimePt& pt, std::string& error) {
    const Calendar cal = r.calendar;
    Integer yr = 0;
    if (kind == TimeKind::Date) {
        yr = static_cast<Integer>(CalendarTimeOf(cal, date).year);
    } else {
        Integer mo = 0, dy = 0, hh = 0, mi = 0;
        OrvMinToYMDHM(m, yr, mo, dy, hh, mi, cal);
    }
    // Entries are made as the scan reaches them, so an axis of any length costs only the
    // entries up to the given time.
    Long last = 0;
    const std::function<Long(Long)> entry = climatologyEntry(r, key, yr, last);
    if (!entry) {
        error = "[getTimePt] Unknown Time unit (not dated)";
        return -1;
    }
    // Steps past the axis wrap onto it, however short it is.
    const Long nTime = r.nTime;
    auto wrapped = [nTime](Long k) { return k == 0 ? nTime : (k - 1) % nTime + 1; };
    Long before = last > 0 ? entry(0) : 0;
    for (Long k = 1; k <= last; ++k) {
        const Long at = entry(k);
        if (before < m && m <= at) {
            pt.nt1 = wrapped(k - 1);
            pt.nt2 = wrapped(k);
            weights(before, at, m, pt.tw1, pt.tw2);
            return 1;
        }
        before = at;
    }
    error = "[getTimePt] missed Time slot (non-dated)";
    pt.nt1 = pt.nt2 = 0;
    return 0;
}

} // namespace

Long Kelvad::GetTimePt(Long nf, const Variant& showDate, Long& nt1, Long& nt2, float& tw1,
                       float& tw2) {
    nt1 = 0;
    nt2 = 0;
    tw1 = 0;
    tw2 = 0;
    try {
        const NcfRec& r = ncf(nf);
        Date date;
        double number = 0;
        const TimeKind kind = kindOf(r.calendar, showDate, date, number);
        if (kind == TimeKind::Neither) {
            ErrorMessage = "[getTimePt] given time is not date nor number";
            return -1;
        }
        const Long m = kind == TimeKind::Date ? DateToOrvMin(date) : CLng(number);
        const std::string key = UCase(Left(r.timeUnit, 3));
        TimePt pt{nt1, nt2, tw1, tw2};
        if (r.Dated == 1) return datedTimePt(r, m, key, pt, ErrorMessage);
        return climatologyTimePt(r, kind, date, m, key, pt, ErrorMessage);
    } catch (const RuntimeError& e) {
        ErrorMessage = "[getTimePt] Error (" + CStr(static_cast<Long>(e.number())) + ") :\"" +
                       e.description() + "\"";
        return -1;
    }
}

Long Kelvad::GetTstep(Long nNc, Date showDate) {
    Long nt1 = 0, nt2 = 0;
    float tw1 = 0, tw2 = 0;
    if (GetTimePt(nNc, Variant(showDate), nt1, nt2, tw1, tw2) < 0) return -1;
    // A tie goes to the later step.
    return tw1 > tw2 ? nt1 : nt2;
}

Long Kelvad::GetTstepByMin(Long nNc, Long showDate) {
    Long nt1 = 0, nt2 = 0;
    float tw1 = 0, tw2 = 0;
    if (GetTimePt(nNc, Variant(showDate), nt1, nt2, tw1, tw2) < 0) return -1;
    return tw1 > tw2 ? nt1 : nt2;
}

std::string Kelvad::GetDate(Long nH, Long nt) {
    // The step is checked outside the handler: a slot outside the records is the caller's.
    const NcfRec& r = ncf(nH);
    if (nt <= 0 || nt > r.nTime) return "";
    try {
        const std::string key = UCase(Left(r.timeUnit, 3));
        if (std::isnan(r.timeArr(nt))) return ""; // a step without a time
        if (key == "SEA") return "Season " + CStr(r.timeArr(nt));
        if (key == "MON") return "Month " + CStr(r.timeArr(nt));
        // The steps of an axis whose times could not be dated have no dates either.
        Date d;
        if (r.Dated == 1 && stepDate(r, key, nt, d)) return CalendarDateText(r.calendar, d);
        return "";
    } catch (const RuntimeError& e) {
        ErrorMessage = ErrorFrame("[GetDate] ", e);
        return "";
    }
}

Long Kelvad::GetOrvMin(Long nH, Long nt) {
    const NcfRec& r = ncf(nH);
    if (nt <= 0 || nt > r.nTime) return 0;
    try {
        Date d;
        if (!ParseCalendarDate(r.calendar, GetDate(nH, nt), d)) return 0;
        if (stepDate(r, UCase(Left(r.timeUnit, 3)), nt, d)) return DateToOrvMin(d);
        return 0;
    } catch (const RuntimeError& e) {
        ErrorMessage = ErrorFrame("[GetOrvMin] ", e);
        return 0;
    }
}
