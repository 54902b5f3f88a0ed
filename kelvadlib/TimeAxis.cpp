#include "common/Calendar.h"
#include "common/NetCDF.h"
#include "common/Strings.h"
#include "kelvadlib/Kelvad.h"
#include "kelvadlib/NCUtils.h"
#include "kelvadlib/Utils.h"
#include "kelvadlib/ValueMarks.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"

#include <netcdf.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace {

constexpr const char* kCrLf = "\r\n";

// The date of the first four words read as year, month, day and hour. Words whose numbers
// do not fit an Integer cannot form a date.
bool rebuiltDate(Calendar cal, const std::string& text, Date& out) {
    Integer parts[4] = {0, 0, 0, 0};
    for (Long i = 0; i < 4; ++i) {
        double v = 0;
        try {
            v = Val(GetToken(text, i + 1));
        } catch (const RuntimeError&) {
            return false;
        }
        if (!(v > -32768.5 && v < 32767.5)) return false;
        parts[i] = CInt(v);
    }
    return ParseCalendarDate(cal, BuiltDateText(parts[0], parts[1], parts[2], parts[3], 0), out);
}

// The base date from an attribute value. The whole value is tried first (it may be a date as
// it stands, "15-MAR-2004 06:00:00" among them); only then the part from its first "20" on
// (at most 19 characters), that part rebuilt from its first four numbers, and last the whole
// value rebuilt from its first four numbers.
bool attributeDate(Calendar cal, const std::string& value, Date& out) {
    if (ReadDateText(cal, value, out)) return true;
    const Long at = InStr(value, "20");
    if (at > 0) {
        const std::string cut = Mid(value, at, 19);
        if (ReadDateText(cal, cut, out) || rebuiltDate(cal, cut, out)) return true;
    }
    return rebuiltDate(cal, value, out);
}

// Single values are hyperslabs of one, so that values held for the slot serve them too.
template <class T> int getVar1(const DapSlabs& held, int id, int v, const size_t* i, T* p) {
    const std::vector<size_t> ones(kMaxVarDims, 1);
    return GetVara(held, id, v, i, ones.data(), p);
}

// Reads the time values into out: the first and the last only into 1 To 2 (scratch slot),
// or the first nTime values into 1 To nTime along the time dimension, never more than out holds.
template <class T>
int readTimes(const DapSlabs& held, int ncid, int varid, Long nTime, bool firstAndLast,
              VArray<double>& out) {
    int ndims = 0;
    int status = nc_inq_varndims(ncid, varid, &ndims);
    if (status != NC_NOERR) return status;
    std::vector<size_t> start(static_cast<std::size_t>(ndims) + 1, 0);
    if (firstAndLast) {
        T value{};
        status = getVar1(held, ncid, varid, start.data(), &value);
        if (status != NC_NOERR) return status;
        out(1) = static_cast<double>(value);
        if (nTime > 1) {
            if (ndims > 0) start[0] = static_cast<size_t>(nTime - 1);
            status = getVar1(held, ncid, varid, start.data(), &value);
            if (status != NC_NOERR) return status;
            out(out.UBound()) = static_cast<double>(value);
        }
        return NC_NOERR;
    }
    std::vector<size_t> count(static_cast<std::size_t>(ndims) + 1, 1);
    count[0] = static_cast<size_t>(nTime);
    if constexpr (std::is_same_v<T, double>) {
        return GetVara(held, ncid, varid, start.data(), count.data(), out.data());
    } else {
        VArray<T> buffer(1, nTime);
        status = GetVara(held, ncid, varid, start.data(), count.data(), buffer.data());
        if (status != NC_NOERR) return status;
        for (Long i = 1; i <= nTime; ++i)
            out(i) = static_cast<double>(buffer(i));
        return NC_NOERR;
    }
}

// The days of a time value v counted in units that CF readers date by whole days: weeks in any
// calendar, and months and years in the model calendars, whose years are all alike. Months go
// from the base date month by month in the calendar (a fraction takes that part of the month it
// falls in: 30 days a month in the 360-day calendar, as cftime counts them); years are 360,
// 365 or 366 days. False for another unit or calendar, which keeps its own meaning.
class DaysOfUnits {
public:
    DaysOfUnits(const std::string& key, Calendar cal, Date epoch) : cal_(cal) {
        const bool model =
            cal == Calendar::Day360 || cal == Calendar::NoLeap || cal == Calendar::AllLeap;
        if (key == "WEE") {
            perUnit_ = 7;
        } else if (key == "YEA" && model) {
            perUnit_ = cal == Calendar::Day360 ? 360 : cal == Calendar::NoLeap ? 365 : 366;
        } else if (key == "MON" && model) {
            months_ = true;
            base_ = CalendarTimeOf(cal, Date(std::floor(epoch.serial)));
        }
    }
    bool counts() const { return perUnit_ > 0 || months_; }
    double days(double v) const {
        if (!months_) return v * perUnit_;
        const double whole = std::floor(v);
        auto dayOf = [&](double month) {
            return static_cast<double>(CalendarDay(cal_, base_.year,
                                                   base_.month + static_cast<int64_t>(month),
                                                   base_.day) -
                                       base_.dayNumber);
        };
        const double from = dayOf(whole);
        return from + (v - whole) * (dayOf(whole + 1) - from);
    }

private:
    Calendar cal_;
    double perUnit_ = 0;
    bool months_ = false;
    CalendarTime base_;
};

// The time values into r.timeArr as the variable's type reads them: the netCDF status, or
// nothing for a type a time axis cannot have.
std::optional<int> readTimeValues(NcfRec& r, const VariRec& tv, bool scratch) {
    const int varid = r.time_vId - 1;
    switch (tv.type) {
    case NC_SHORT:
        return readTimes<short>(r.held, r.ncid, varid, r.nTime, scratch, r.timeArr);
    case NC_INT:
        return readTimes<int>(r.held, r.ncid, varid, r.nTime, scratch, r.timeArr);
    case NC_FLOAT:
        return readTimes<float>(r.held, r.ncid, varid, r.nTime, scratch, r.timeArr);
    case NC_DOUBLE:
    // The netCDF-4 integers (xarray writes int64 times) are read as doubles.
    case NC_INT64:
    case NC_UINT64:
    case NC_UINT:
    case NC_USHORT:
    case NC_UBYTE:
        return readTimes<double>(r.held, r.ncid, varid, r.nTime, scratch, r.timeArr);
    default:
        return std::nullopt;
    }
}

// The base date from "since" in the units (or, for "since BASE_DATE", the global BASE_DATE
// and BASE_TIME); true when the units text gave it.
bool unitsEpoch(Kelvad& kv, Long nH, const VariRec& tv, Calendar cal, Date& base) {
    if (SinceDate(cal, tv.unit, base)) return true;
    if (UCase(GetToken(tv.unit, 3)) != "BASE_DATE") return false;
    const std::string b = kv.GetAttVal(nH, "", "BASE_DATE");
    const std::string t = kv.GetAttVal(nH, "", "BASE_TIME");
    const std::string text =
        BuiltDateText(CInt(Val(Mid(b, 1, 4))), CInt(Val(Mid(b, 5, 2))), CInt(Val(Mid(b, 7, 2))),
                      CInt(Val(Mid(t, 1, 2))), CInt(Val(Mid(t, 3, 2))));
    return ParseCalendarDate(cal, text, base);
}

// Without "since": the first origin attribute of the variable, else a global one.
std::string originAttribute(Kelvad& kv, Long nH, const VariRec& tv) {
    for (const std::string& owner : {tv.name, std::string()}) {
        for (const char* att : {"time_origin", "base_date", "model_integration_date"}) {
            std::string value = kv.GetAttVal(nH, owner, att);
            if (!value.empty()) return value;
        }
    }
    return {};
}

// r.EpochDate from the units or an origin attribute (left empty when neither gives one);
// true when the units text dated it.
bool setEpoch(Kelvad& kv, Long nH, NcfRec& r, const VariRec& tv, Calendar cal) {
    Date base;
    if (UCase(GetToken(tv.unit, 2)) == "SINCE") {
        if (!unitsEpoch(kv, nH, tv, cal, base)) return false;
        r.EpochDate = base;
        return true;
    }
    const std::string value = originAttribute(kv, nH, tv);
    if (!value.empty() && attributeDate(cal, value, base)) r.EpochDate = base;
    return false;
}

// Times written as their dates ("day as %Y%m%d.%f"): held as days since the first step's
// midnight, which becomes the epoch, as every reader of the axis knows days. False for units
// that are no such format.
bool takeAbsoluteDates(NcfRec& r, const VariRec& tv, Calendar cal) {
    Date epoch;
    if (!AbsoluteTimesToDays(cal, tv.unit, r.timeArr.data(), r.timeArr.size(), epoch)) return false;
    r.EpochDate = epoch;
    r.timeUnit = "days";
    return true;
}

// A step that holds the fill value (a record not yet written) or another mark of no value is
// left without a time (NaN); the other steps keep theirs.
void blankUnmarkedSteps(const VariRec& tv, VArray<double>& t) {
    const ValueMarks marks(tv, HeldType(tv), false);
    for (Long i = 1; i <= t.UBound(); ++i) {
        t(i) = StoredValue(tv, t(i));
        if (!marks.valid(t(i))) t(i) = std::numeric_limits<double>::quiet_NaN();
    }
}

// The steps of the time cache that the start and end are taken from: the first and the last
// that have a time (1 and last when every step has one), and their step numbers in the axis
// (the scratch slot holds steps 1 and n).
struct AxisEnds {
    Long first = 1, last = 1, firstStep = 1, lastStep = 1;
};
AxisEnds axisEnds(const NcfRec& r) {
    const VArray<double>& t = r.timeArr;
    AxisEnds e;
    e.last = t.UBound(); // n, or 2 in the scratch slot
    while (e.first < e.last && std::isnan(t(e.first)))
        ++e.first;
    while (e.last > e.first && std::isnan(t(e.last)))
        --e.last;
    e.firstStep = e.first;
    e.lastStep = e.last == t.UBound() ? r.nTime : e.last;
    return e;
}

// StartTime, endTime and dTimeSec by the unit key. False for a unit that is none of them.
bool setStartEndTexts(NcfRec& r, const VariRec& tv, const std::string& key, bool converted,
                      Calendar cal, const AxisEnds& e) {
    VArray<double>& t = r.timeArr;
    auto stepSeconds = [&](double secondsPerUnit) {
        if (e.lastStep > e.firstStep && !std::isnan(t(e.first)) && !std::isnan(t(e.last)))
            r.dTimeSec =
                CLng((t(e.last) - t(e.first)) / (e.lastStep - e.firstStep) * secondsPerUnit);
    };
    // An axis without a single time gets no texts, and so no dates.
    auto dateTextOf = [&](double serial) {
        return std::isnan(serial) ? std::string() : CalendarDateText(cal, Date(serial));
    };
    if (key == "SEA" || key == "MON") {
        const std::string word = key == "SEA" ? "Season " : "Month ";
        auto numberText = [&](double x) { return std::isnan(x) ? "" : word + CStr(x); };
        r.StartTime = numberText(t(e.first));
        r.endTime = numberText(t(e.last));
        r.dTimeSec = key == "SEA" ? 10368000 : 2592000;
    } else if (key == "DAY") {
        // Float days this large lose their last second; the nudge keeps the texts on it.
        if (tv.type == NC_FLOAT && !converted && t(e.first) > 1000000) {
            for (Long i = 1; i <= t.UBound(); ++i)
                t(i) = t(i) + 1.1574E-05;
        }
        r.StartTime = dateTextOf(r.EpochDate.serial + t(e.first));
        r.endTime = dateTextOf(r.EpochDate.serial + t(e.last));
        stepSeconds(86400);
    } else if (key == "HOU") {
        r.StartTime = dateTextOf(t(e.first) / 24 + r.EpochDate.serial);
        r.endTime = dateTextOf(t(e.last) / 24 + r.EpochDate.serial);
        stepSeconds(3600);
    } else if (key == "MIN") {
        r.StartTime = dateTextOf(t(e.first) / 24 / 60 + r.EpochDate.serial);
        r.endTime = dateTextOf(t(e.last) / 24 / 60 + r.EpochDate.serial);
        stepSeconds(60);
    } else if (key == "SEC") {
        r.StartTime = dateTextOf(t(e.first) / 24 / 60 / 60 + r.EpochDate.serial);
        r.endTime = dateTextOf(t(e.last) / 24 / 60 / 60 + r.EpochDate.serial);
        stepSeconds(1);
    } else {
        return false;
    }
    return true;
}

// Years beyond 3000 are shown 2000 years earlier, the axis counted from its first step.
void shiftFarYears(NcfRec& r, Calendar& cal, Long first) {
    auto builtText = [](const CalendarTime& ct) {
        return BuiltDateText(static_cast<Integer>(ct.year - 2000), static_cast<Integer>(ct.month),
                             static_cast<Integer>(ct.day), static_cast<Integer>(ct.hour),
                             static_cast<Integer>(ct.minute));
    };
    Date firstDate;
    if (!ParseCalendarDate(cal, r.StartTime, firstDate) ||
        CalendarTimeOf(cal, firstDate).year <= 3000)
        return;
    const CalendarTime start = CalendarTimeOf(cal, firstDate);
    const CalendarTime end = CalendarTimeOf(cal, CalendarCDate(cal, r.endTime));
    // 2000 years are whole 400-year cycles of the Gregorian rules that such years follow; the
    // standard calendar would turn the earlier years Julian.
    if (cal == Calendar::Standard) cal = r.calendar = Calendar::ProlepticGregorian;
    r.StartTime = builtText(start);
    r.endTime = builtText(end);
    r.EpochDate = CalendarCDate(cal, r.StartTime);
    VArray<double>& t = r.timeArr;
    for (Long i = 1; i <= t.UBound(); ++i)
        if (i != first) t(i) = t(i) - t(first);
    t(first) = 0;
}

// The start and end dates and minutes from their texts; Dated when the start is a date.
void setStartEndDates(NcfRec& r, Calendar cal) {
    Date d;
    if (ParseCalendarDate(cal, r.StartTime, d)) {
        r.startDate = d;
        r.StartTimeMin = DateToOrvMin(d);
        r.Dated = 1;
    } else {
        r.startDate = Date();
        r.Dated = 0;
    }
    if (ParseCalendarDate(cal, r.endTime, d)) {
        r.endDate = d;
        r.endTimeMin = DateToOrvMin(d);
    } else {
        r.endDate = Date();
    }
}

} // namespace

Variant Kelvad::SetTimeExtent(Long nH) {
    const Integer failed = -1;
    try {
        NcfRec& r = ncf(nH);
        if (r.nTime <= 0) {
            ErrorMessage = "[SetTimeExtent2] Time size is 0";
            DebugOut(ErrorMessage);
            return Variant(failed);
        }
        // The scratch slot (a start and end date) reads the first and last values only, and
        // holds no more than those: a declared length is no reason to allocate.
        const bool scratch = nH == 0;
        r.timeArr.ReDim(1, scratch ? std::min<Long>(r.nTime, 2) : r.nTime);

        auto netcdfFailure = [&](int status) {
            ErrorMessage = "[SetTimeExtent] NetCDF Error: " + NcErrorText(status);
            if (r.ncid >= 0) nc_close(r.ncid);
            r.ncid = -1;
            DebugOut(ErrorMessage);
            return Variant(failed);
        };

        const int opened = ReopenSlot(nH);
        if (opened != NC_NOERR) return netcdfFailure(opened);
        const VariRec& tv = r.vari(r.time_vId);
        // Times that cannot be dated: the caller keeps the axis without dates.
        auto undated = [&] {
            r.StartTime = r.endTime = "";
            r.startDate = r.endDate = Date();
            r.Dated = 0;
            ErrorMessage = std::string(kUndatedTime) + kCrLf + tv.unit;
            return Variant(failed);
        };
        const std::optional<int> status = readTimeValues(r, tv, scratch);
        if (!status) {
            ErrorMessage = std::string("Variable-Type of time coodrinate not expected:") + kCrLf +
                           "Variable Name = " + tv.name + "\n" + "Tyep Number = " + Str(tv.type);
            DebugOut(ErrorMessage);
            return Variant(failed);
        }
        if (*status != NC_NOERR) return netcdfFailure(*status);

        // Unit word, calendar and base date.
        r.EpochDate = Date();
        r.timeUnit = GetToken(tv.unit, 1);
        r.calendar = CalendarOf(GetAttVal(nH, tv.name, "calendar"));
        Calendar cal = r.calendar;
        const bool sinceDated = setEpoch(*this, nH, r, tv, cal);
        blankUnmarkedSteps(tv, r.timeArr);

        // Units that CF readers count in days are held in days: every reader of the axis (the
        // labels, the lookups, the subsets) knows days, and the epoch stays the file's.
        std::string key = UCase(Left(r.timeUnit, 3));
        const DaysOfUnits inDays(key, cal, r.EpochDate);
        bool converted = sinceDated && inDays.counts();
        if (takeAbsoluteDates(r, tv, cal)) {
            converted = true;
            key = "DAY";
        } else if (UCase(GetToken(tv.unit, 2)) == "AS") {
            return undated();
        } else if (converted) {
            for (Long i = 1; i <= r.timeArr.UBound(); ++i)
                r.timeArr(i) = inDays.days(r.timeArr(i));
            r.timeUnit = "days";
            key = "DAY";
        }

        const AxisEnds ends = axisEnds(r);
        try {
            if (!setStartEndTexts(r, tv, key, converted, cal, ends)) {
                ErrorMessage = std::string("Time has no unit:") + kCrLf + tv.unit;
                return Variant(failed);
            }
            shiftFarYears(r, cal, ends.first);
            setStartEndDates(r, cal);
        } catch (const RuntimeError& e) {
            // Times whose dates lie beyond the calendar's years: the axis has steps, no dates.
            DebugOut(ErrorFrame("[SetTimeExtent] ", e));
            return undated();
        }
        CloseIfAfterRead(nH);
        return Variant(Integer{1});
    } catch (const RuntimeError& e) {
        ErrorMessage = ErrorFrame("[SetTimeExtent] ", e);
        DebugOut(ErrorMessage);
        return Variant(failed);
    }
}
