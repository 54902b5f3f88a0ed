#include "common/Calendar.h"
#include "common/NetCDF.h"
#include "common/Strings.h"
#include "kelvadlib/Kelvad.h"
#include "kelvadlib/NCUtils.h"
#include "kelvadlib/Utils.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"

#include <netcdf.h>

#include <algorithm>
#include <cmath>
#include <limits>
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

        int status = ReopenSlot(nH);
        if (status != NC_NOERR) return netcdfFailure(status);

        const VariRec& tv = r.vari(r.time_vId);
        const int varid = r.time_vId - 1;
        switch (tv.type) {
        case NC_SHORT:
            status = readTimes<short>(r.held, r.ncid, varid, r.nTime, scratch, r.timeArr);
            break;
        case NC_INT:
            status = readTimes<int>(r.held, r.ncid, varid, r.nTime, scratch, r.timeArr);
            break;
        case NC_FLOAT:
            status = readTimes<float>(r.held, r.ncid, varid, r.nTime, scratch, r.timeArr);
            break;
        case NC_DOUBLE:
        // The netCDF-4 integers (xarray writes int64 times) are read as doubles.
        case NC_INT64:
        case NC_UINT64:
        case NC_UINT:
        case NC_USHORT:
        case NC_UBYTE:
            status = readTimes<double>(r.held, r.ncid, varid, r.nTime, scratch, r.timeArr);
            break;
        default:
            ErrorMessage = std::string("Variable-Type of time coodrinate not expected:") + kCrLf +
                           "Variable Name = " + tv.name + "\n" + "Tyep Number = " + Str(tv.type);
            DebugOut(ErrorMessage);
            return Variant(failed);
        }
        if (status != NC_NOERR) return netcdfFailure(status);

        // Unit word, calendar and base date.
        r.EpochDate = Date();
        r.timeUnit = GetToken(tv.unit, 1);
        r.calendar = CalendarOf(GetAttVal(nH, tv.name, "calendar"));
        Calendar cal = r.calendar;
        Date base;
        if (UCase(GetToken(tv.unit, 2)) == "SINCE") {
            if (SinceDate(cal, tv.unit, base)) {
                r.EpochDate = base;
            } else if (UCase(GetToken(tv.unit, 3)) == "BASE_DATE") {
                const std::string b = GetAttVal(nH, "", "BASE_DATE");
                const std::string t = GetAttVal(nH, "", "BASE_TIME");
                const std::string text = BuiltDateText(
                    CInt(Val(Mid(b, 1, 4))), CInt(Val(Mid(b, 5, 2))), CInt(Val(Mid(b, 7, 2))),
                    CInt(Val(Mid(t, 1, 2))), CInt(Val(Mid(t, 3, 2))));
                if (ParseCalendarDate(cal, text, base)) r.EpochDate = base;
            }
        } else {
            std::string value;
            for (const std::string& owner : {tv.name, std::string()}) {
                for (const char* att : {"time_origin", "base_date", "model_integration_date"}) {
                    value = GetAttVal(nH, owner, att);
                    if (!value.empty()) break;
                }
                if (!value.empty()) break;
            }
            if (!value.empty() && attributeDate(cal, value, base)) r.EpochDate = base;
        }

        // Start, end and step by the unit key.
        const std::string key = UCase(Left(r.timeUnit, 3));
        VArray<double>& t = r.timeArr;
        const Long n = r.nTime;
        const Long last = t.UBound(); // n, or 2 in the scratch slot
        auto stepSeconds = [&](double secondsPerUnit) {
            if (n > 1) r.dTimeSec = CLng((t(last) - t(1)) / (n - 1) * secondsPerUnit);
        };
        auto dateTextOf = [&](double serial) { return CalendarDateText(cal, Date(serial)); };
        if (key == "SEA" || key == "MON") {
            const std::string word = key == "SEA" ? "Season " : "Month ";
            r.StartTime = word + CStr(t(1));
            r.endTime = word + CStr(t(last));
            r.dTimeSec = key == "SEA" ? 10368000 : 2592000;
        } else if (key == "DAY") {
            // Float days this large lose their last second; the nudge keeps the texts on it.
            if (tv.type == NC_FLOAT && t(1) > 1000000) {
                for (Long i = 1; i <= last; ++i)
                    t(i) = t(i) + 1.1574E-05;
            }
            r.StartTime = dateTextOf(r.EpochDate.serial + t(1));
            r.endTime = dateTextOf(r.EpochDate.serial + t(last));
            stepSeconds(86400);
        } else if (key == "HOU") {
            r.StartTime = dateTextOf(t(1) / 24 + r.EpochDate.serial);
            r.endTime = dateTextOf(t(last) / 24 + r.EpochDate.serial);
            stepSeconds(3600);
        } else if (key == "MIN") {
            r.StartTime = dateTextOf(t(1) / 24 / 60 + r.EpochDate.serial);
            r.endTime = dateTextOf(t(last) / 24 / 60 + r.EpochDate.serial);
            stepSeconds(60);
        } else if (key == "SEC") {
            r.StartTime = dateTextOf(t(1) / 24 / 60 / 60 + r.EpochDate.serial);
            r.endTime = dateTextOf(t(last) / 24 / 60 / 60 + r.EpochDate.serial);
            stepSeconds(1);
        } else {
            ErrorMessage = std::string("Time has no unit:") + kCrLf + tv.unit;
            return Variant(failed);
        }

        // Years beyond 3000 are shown 2000 years earlier, the axis counted from its first step.
        auto builtText = [](const CalendarTime& ct) {
            return BuiltDateText(static_cast<Integer>(ct.year - 2000),
                                 static_cast<Integer>(ct.month), static_cast<Integer>(ct.day),
                                 static_cast<Integer>(ct.hour), static_cast<Integer>(ct.minute));
        };
        Date first;
        if (ParseCalendarDate(cal, r.StartTime, first) && CalendarTimeOf(cal, first).year > 3000) {
            const CalendarTime start = CalendarTimeOf(cal, first);
            const CalendarTime end = CalendarTimeOf(cal, CalendarCDate(cal, r.endTime));
            // 2000 years are whole 400-year cycles of the Gregorian rules that such years
            // follow; the standard calendar would turn the earlier years Julian.
            if (cal == Calendar::Standard) cal = r.calendar = Calendar::ProlepticGregorian;
            r.StartTime = builtText(start);
            r.endTime = builtText(end);
            r.EpochDate = CalendarCDate(cal, r.StartTime);
            for (Long i = 2; i <= last; ++i)
                t(i) = t(i) - t(1);
            t(1) = 0;
        }

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

        CloseIfAfterRead(nH);
        return Variant(Integer{1});
    } catch (const RuntimeError& e) {
        ErrorMessage = ErrorFrame("[SetTimeExtent] ", e);
        DebugOut(ErrorMessage);
        return Variant(failed);
    }
}
