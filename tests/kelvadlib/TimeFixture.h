#pragma once
// Slots with a time axis for the time tests: a small file with a time dimension and a time
// variable, its header read into a slot, and the time fields that recognition would set
// filled in by hand.
#include "kelvadlib/Kelvad.h"
#include "kelvadlib/Utils.h"
#include "runtime/Date.h"
#include "tests/support/NcBuilder.h"
#include "tests/support/TempDir.h"

#include <netcdf.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using TextAtts = std::vector<std::pair<std::string, std::string>>;

// A date and its Orv minutes from a date text.
inline Date at(const char* text) {
    return CDate(text);
}
inline Long minutesOf(const char* text) {
    return DateToOrvMin(CDate(text));
}

// n time values from first, step apart.
inline std::vector<double> steps(double first, Long n, double step = 1) {
    std::vector<double> v;
    for (Long i = 0; i < n; ++i)
        v.push_back(first + i * step);
    return v;
}

struct TimeFile {
    std::string units; // no units attribute when empty
    nc_type type = NC_DOUBLE;
    std::vector<double> values;
    TextAtts varAtts = {};
    TextAtts globalAtts = {};
    NcFormat format = NcFormat::Classic;
};

inline std::string writeTimeFile(const TempDir& dir, const std::string& name, const TimeFile& f) {
    NcBuilder nc(dir.file(name), f.format);
    nc.dim("time", f.values.size());
    auto& t = nc.var("time", f.type, {"time"});
    if (!f.units.empty()) t.att("units", f.units);
    for (const auto& [att, value] : f.varAtts)
        t.att(att, value);
    t.values(f.values);
    for (const auto& [att, value] : f.globalAtts)
        nc.globalAtt(att, value);
    return nc.write();
}

// Reads the header of path into slot and sets time_dId, time_vId and nTime from the variable
// named "time". The slot is counted as Initialize counts it.
inline void readTimeSlot(Kelvad& k, const std::string& path, Long slot) {
    if (slot > k.nNcMax) k.nNcMax = slot;
    if (k.GetNCHeader(path, slot) != 1) throw std::runtime_error(k.ErrorMessage);
    NcfRec& r = k.ncf(slot);
    for (Long v = 1; v <= r.nVars; ++v) {
        if (r.vari(v).name != "time") continue;
        r.time_vId = v;
        r.time_dId = r.vari(v).arrayDimId(1);
        r.nTime = r.dime(r.time_dId + 1).size;
        r.TimePick = 1;
        return;
    }
    throw std::runtime_error("no time variable in " + path);
}

// A record with a time axis set by hand, for the lookups that read the record alone.
struct HandAxis {
    std::string unit;
    Long dated = 0;
    std::vector<double> values;
    Date epoch = Date();
};

inline NcfRec& handSlot(Kelvad& k, Long slot, const HandAxis& a) {
    if (!k.ncf.IsAllocated() || k.ncf.UBound() < slot) k.ncf.ReDimPreserve(0, slot);
    if (slot > k.nNcMax) k.nNcMax = slot;
    NcfRec& r = k.ncf(slot);
    r.timeUnit = a.unit;
    r.Dated = a.dated;
    r.EpochDate = a.epoch;
    r.nTime = static_cast<Long>(a.values.size());
    r.timeArr.Erase();
    if (!a.values.empty()) {
        r.timeArr.ReDim(1, r.nTime);
        for (Long i = 1; i <= r.nTime; ++i)
            r.timeArr(i) = a.values[static_cast<std::size_t>(i - 1)];
    }
    return r;
}
