#include "viewer/export/AppendNc.h"

#include "common/Calendar.h"
#include "common/NetCDF.h"
#include "common/Strings.h"
#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "viewer/export/AttributeCopier.h"
#include "viewer/export/NcWriter.h"
#include "viewer/export/SafeOutput.h"
#include "viewer/export/SubsetDescription.h"
#include "viewer/export/SubsetWriter.h"
#include "viewer/map/SharedState.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kWho = "AppendNc";

[[noreturn]] void refuse(const std::string& text) {
    ui().MsgBox(text, kOkOnly, kProgramTitle);
    throw Refused();
}

// The cut a subset file records for one of its dimensions: the source's length, the first
// index, the count and the step.
struct Recorded {
    bool present = false;
    Long length = 0, start = 0, count = 0, step = 0;
};

struct TargetDim {
    std::string name;
    Long length = 0;
    Recorded recorded;
};

struct TargetVar {
    std::string name;
    nc_type type = NC_NAT;
    std::vector<int> dims;
    std::string units, calendar;
};

// What the append needs of the file's header.
struct TargetHeader {
    std::vector<TargetDim> dims;
    std::vector<TargetVar> vars;
    int recordDim = -1; // the unlimited dimension, -1 when there is none
};

// A text attribute's value; "" when there is none or it is not text.
std::string textAtt(int id, int var, const std::string& name) {
    nc_type type = NC_NAT;
    std::size_t len = 0;
    if (nc_inq_att(id, var, name.c_str(), &type, &len) != NC_NOERR || type != NC_CHAR) return {};
    std::string s(len, '\0');
    NcCheck(nc_get_att_text(id, var, name.c_str(), s.data()), "nc_get_att_text " + name);
    return s;
}

// Read with a dataset of its own, closed again before anything is written.
TargetHeader readHeader(const std::string& path) {
    NcSource src(path);
    const int id = src.id();
    TargetHeader h;
    int nd = 0, nv = 0;
    NcCheck(nc_inq(id, &nd, &nv, nullptr, &h.recordDim), "nc_inq");
    for (int d = 0; d < nd; ++d) {
        std::size_t len = 0;
        TargetDim t;
        NcCheck(NcDimName(id, d, t.name, len), "nc_inq_dim");
        t.length = static_cast<Long>(len);
        const std::string cut = textAtt(id, NC_GLOBAL, t.name);
        if (!cut.empty()) {
            t.recorded.present = true;
            t.recorded.length = CLng(GetWord(cut, 1));
            t.recorded.start = CLng(GetWord(cut, 2));
            t.recorded.count = CLng(GetWord(cut, 3));
            t.recorded.step = CLng(GetWord(cut, 4));
        }
        h.dims.push_back(t);
    }
    for (int v = 0; v < nv; ++v) {
        int n = 0;
        int dims[NC_MAX_VAR_DIMS] = {};
        TargetVar t;
        NcCheck(NcVarName(id, v, t.name), "nc_inq_var");
        NcCheck(nc_inq_var(id, v, nullptr, &t.type, &n, dims, nullptr), "nc_inq_var");
        t.dims.assign(dims, dims + n);
        t.units = textAtt(id, v, "units");
        t.calendar = textAtt(id, v, "calendar");
        h.vars.push_back(t);
    }
    return h;
}

bool realWorld(Calendar c) {
    return c == Calendar::Standard || c == Calendar::ProlepticGregorian || c == Calendar::Julian;
}

class Appender {
public:
    Appender(IKelvad& nc, SubsetDescription& sd, std::string path)
        : nc_(nc), sd_(sd), path_(std::move(path)) {}

    // Every check, before any copy is made.
    void prepare() {
        try {
            h_ = readHeader(path_);
        } catch (const NcFailure& f) {
            refuse(std::string("[AppendNc] clsNC.Initialize&(tobeAppeded$) failed") + kCrLf +
                   kCrLf + nc_strerror(f.status()));
        }
        checkDimensions();
        NameSet names(kWho);
        CheckPicks(nc_, sd_, kWho, names);
        Long present = 0;
        const std::vector<PickItem>& picks = sd_.picks;
        targetIds_.assign(picks.size(), -1);
        for (std::size_t i = 0; i < picks.size(); ++i) {
            const std::string name = nc_.variName(picks[i].varNumber, picks[i].datasetIndex);
            for (std::size_t v = 0; v < h_.vars.size(); ++v)
                if (h_.vars[v].name == name) targetIds_[i] = int(v);
            if (targetIds_[i] >= 0) ++present;
        }
        if (present != 0 && present != static_cast<Long>(picks.size()))
            refuse(std::string("Target file already have some variables and some not:") + kCrLf +
                   kCrLf + "Must be picked all new different variables" + kCrLf +
                   "or all exact same variables (time-step appending) " + kCrLf);
        steps_ = present > 0;
        takeWindows();
        if (steps_) prepareSteps();
    }

    void write(const std::string& temp) {
        NcOut out = NcOut::OpenForWrite(temp);
        std::vector<std::size_t> outStart(static_cast<std::size_t>(sd_.rank()), 0);
        if (steps_) {
            putRecordCut(out);
            const std::size_t records = static_cast<std::size_t>(recordsBefore_);
            out.PutVara(timeVar_, {records}, {times_.size()}, times_.data());
            outStart[static_cast<std::size_t>(recordPos_ - 1)] = records;
        } else {
            defineNewVariables(out);
        }
        for (std::size_t i = 0; i < sd_.picks.size(); ++i) {
            const PickItem& p = sd_.picks[i];
            const int id = targetIds_[i];
            if (runs_.empty()) {
                CopyCut(nc_, p.varNumber, p.datasetIndex, sd_.startSub, sd_.countSub, sd_.strideSub,
                        out, id, outStart, kWho);
                continue;
            }
            // The records of the file, each from the source step of its own time.
            VArray<Long> start = sd_.startSub, count = sd_.countSub, stride = sd_.strideSub;
            std::vector<std::size_t> at = outStart;
            for (const Run& r : runs_) {
                start(recordPos_) = r.source;
                count(recordPos_) = r.length;
                stride(recordPos_) = r.step;
                at[static_cast<std::size_t>(recordPos_ - 1)] = static_cast<std::size_t>(r.record);
                CopyCut(nc_, p.varNumber, p.datasetIndex, start, count, stride, out, id, at, kWho);
            }
        }
        out.Close();
    }

private:
    // The file holds the main dataset's dimensions, by number and by name, in their order.
    void checkDimensions() {
        const Long n1 = nc_.nDimes(1);
        const Long nt = static_cast<Long>(h_.dims.size());
        if (n1 != nt)
            refuse(std::string("Numbers of dimension do not match:") + kCrLf + kCrLf +
                   "Original source has" + Str(n1) + kCrLf + "Target file has" + Str(nt));
        for (Long d = 1; d <= nt; ++d) {
            if (nc_.dimeName(d, 1) == h_.dims[static_cast<std::size_t>(d - 1)].name) continue;
            std::string source, target;
            for (Long k = 1; k <= nt; ++k) {
                source += nc_.dimeName(k, 1) + ", ";
                target += h_.dims[static_cast<std::size_t>(k - 1)].name + ", ";
            }
            refuse(std::string("Names of dimension do not match:") + kCrLf + kCrLf +
                   "Original source: (" + source + ")" + kCrLf + "To be appended: (" + target +
                   ")");
        }
    }

    // The cut of each dimension of the picks: the one the file records (the whole dimension,
    // as the file was made, when it records none); for time steps the record dimension keeps
    // the subset's own. A cut the source no longer holds, or that does not give the file's
    // length, is refused.
    void takeWindows() {
        for (Long d = 1; d <= sd_.rank(); ++d) {
            const Long g = sd_.dimIds(d);
            const TargetDim& t = h_.dims[static_cast<std::size_t>(g)];
            if (g == h_.recordDim) recordPos_ = d;
            if (steps_ && g == h_.recordDim) continue;
            // New variables over the time records take the records the file has now, each
            // from the source's step of the same time.
            if (g == h_.recordDim && g == nc_.TimedId(1) && recordsByTime()) continue;
            const Long length = nc_.dimeSize(g + 1, 1);
            const bool unlimited = g == h_.recordDim;
            const Recorded& r = t.recorded;
            Long start = 1, count = t.length, step = 1;
            bool fits = unlimited ? t.length <= length : t.length == length;
            if (r.present) {
                start = r.start;
                step = r.step;
                // The records the file has, however many appends it has had since its cut
                // was recorded.
                count = unlimited ? t.length : r.count;
                fits = unlimited || (r.length == length && count == t.length);
            }
            fits = fits && start >= 1 && step >= 1 && count >= 1 &&
                   start + int64_t{count - 1} * step <= length;
            if (!fits)
                refuse("[AppendNc] The dimension " + t.name +
                       " of the source does not fit the target file:" + kCrLf + kCrLf +
                       "length in the source" + Str(length) + kCrLf + "cut recorded in the file" +
                       Str(r.length) + Str(r.start) + Str(r.count) + Str(r.step) + kCrLf +
                       "length in the file" + Str(t.length));
            sd_.startSub(d) = start;
            sd_.countSub(d) = count;
            sd_.strideSub(d) = step;
            sd_.endSub(d) = start + (count - 1) * step;
        }
    }

    void prepareSteps() {
        if (h_.recordDim < 0)
            refuse(std::string("[AppendNc] The target file has no unlimited dimension to take "
                               "further time steps:") +
                   kCrLf + kCrLf + "file   : " + path_);
        const TargetDim& record = h_.dims[static_cast<std::size_t>(h_.recordDim)];
        recordsBefore_ = record.length;
        const std::string first = nc_.variName(sd_.picks[0].varNumber, sd_.picks[0].datasetIndex);
        if (recordPos_ == 0 || nc_.TimedId(1) != h_.recordDim)
            refuse("[AppendNc] Time steps are appended along the time axis " + record.name +
                   " of the target file; " + first + " does not lie over it.");
        // Each pick as the file has it: the same dimensions and type.
        const std::vector<int> dims(sd_.dimIds.data(), sd_.dimIds.data() + sd_.rank());
        for (std::size_t i = 0; i < sd_.picks.size(); ++i) {
            const PickItem& p = sd_.picks[i];
            const TargetVar& t = h_.vars[static_cast<std::size_t>(targetIds_[i])];
            if (t.dims != dims || t.type != nc_.variType(p.varNumber, p.datasetIndex))
                refuse("[AppendNc] Variable " + t.name +
                       " of the target file has other dimensions or another type than the "
                       "source's.");
        }
        findTimeVariable(record.name);
        stateTimes();
    }

    // The coordinate variable of the record dimension, else the first one-dimensional variable
    // over it whose name begins with "TIME".
    void findTimeVariable(const std::string& recordName, bool required = true) {
        auto overRecord = [&](const TargetVar& v) {
            return v.dims.size() == 1 && v.dims[0] == h_.recordDim;
        };
        for (std::size_t v = 0; v < h_.vars.size() && timeVar_ < 0; ++v)
            if (h_.vars[v].name == recordName && overRecord(h_.vars[v])) timeVar_ = int(v);
        for (std::size_t v = 0; v < h_.vars.size() && timeVar_ < 0; ++v)
            if (UCase(Left(h_.vars[v].name, 4)) == "TIME" && overRecord(h_.vars[v]))
                timeVar_ = int(v);
        if (timeVar_ < 0 && required)
            refuse("[AppendNc] The target file has no time variable over its record dimension " +
                   recordName + ":" + kCrLf + kCrLf + "file   : " + path_);
    }

    // The subset's times in the file's time units, each refused when the file has that time
    // already: a step is appended once.
    void stateTimes() {
        double offset = 0, scale = 1;
        std::string why;
        if (!timeConversion(offset, scale, why)) refuse(why);
        const Long n = sd_.countSub(recordPos_);
        if (sd_.nTimeSub != n) throw RuntimeError(err::InvalidCall);
        const std::vector<double> held = targetTimes();
        times_.clear();
        for (Long i = 1; i <= n; ++i) {
            const double t = inFile(offset + sd_.timeSub(i) * scale);
            for (std::size_t r = 0; r < held.size(); ++r) {
                if (!sameTime(held[r], t)) continue;
                const Long position =
                    sd_.startSub(recordPos_) + (i - 1) * sd_.strideSub(recordPos_);
                const TargetVar& tv = h_.vars[static_cast<std::size_t>(timeVar_)];
                refuse("[AppendNc] The target file holds the time step " +
                       nc_.DatePicked(position, 1) + " already:" + kCrLf + kCrLf + "step" +
                       Str(position) + " of the source: " + tv.name + " =" + Str(t) + " " +
                       tv.units + " (record" + Str(static_cast<Long>(r + 1)) + " of the file)" +
                       kCrLf + kCrLf + "Nothing was appended.");
            }
            times_.push_back(t);
        }
    }

    // A time as the file holds it: rounded where its time variable holds whole numbers, as the
    // file was made (a cell list's times in its whole unit), so that records and repeats are
    // matched on the values the file has.
    double inFile(double t) const {
        const nc_type type = h_.vars[static_cast<std::size_t>(timeVar_)].type;
        const bool whole = type != NC_FLOAT && type != NC_DOUBLE;
        return whole ? std::nearbyint(t) : t;
    }

    static bool sameTime(double a, double b) {
        return std::fabs(a - b) <= std::max(1e-6, 1e-12 * std::fabs(b));
    }

    // The values of the file's time variable.
    std::vector<double> targetTimes() const {
        NcSource src(path_);
        const std::size_t n = static_cast<std::size_t>(h_.dims[std::size_t(h_.recordDim)].length);
        std::vector<double> held(n);
        if (n > 0) NcCheck(nc_get_var_double(src.id(), timeVar_, held.data()), "nc_get_var_double");
        return held;
    }

    // The file's records over time, each found among the source's steps by its time: runs of
    // records whose source steps are evenly spaced. False when the file has no time variable
    // over them (the recorded cut is taken then); a record whose time the source lacks is
    // refused.
    bool recordsByTime() {
        const TargetDim& record = h_.dims[static_cast<std::size_t>(h_.recordDim)];
        findTimeVariable(record.name, false);
        if (timeVar_ < 0) return false;
        double offset = 0, scale = 1;
        std::string why;
        if (!timeConversion(offset, scale, why)) {
            timeVar_ = -1;
            return false;
        }
        const std::vector<double> held = targetTimes();
        const Long nTime = nc_.nTime(1);
        VArray<double> source;
        if (nTime >= 1) {
            source.ReDim(1, nTime);
            if (nc_.FillTime(source, 1) < 0)
                throw RuntimeError(err::InvalidCall, nc_.ErrorMessage());
        }
        runs_.clear();
        Long hint = 1;
        for (std::size_t r = 0; r < held.size(); ++r) {
            Long found = 0;
            // Records mostly follow the source's order: look on from the last one found.
            for (Long k = 0; k < nTime && found == 0; ++k) {
                const Long p = (hint - 1 + k) % nTime + 1;
                if (sameTime(inFile(offset + source(p) * scale), held[r])) found = p;
            }
            if (found == 0)
                refuse("[AppendNc] The source has no time step for record" +
                       Str(static_cast<Long>(r + 1)) + " of the target file:" + kCrLf + kCrLf +
                       h_.vars[static_cast<std::size_t>(timeVar_)].name + " =" + Str(held[r]) +
                       " " + h_.vars[static_cast<std::size_t>(timeVar_)].units + kCrLf + kCrLf +
                       "Nothing was appended.");
            hint = found;
            const Long rec = static_cast<Long>(r);
            if (!runs_.empty()) {
                Run& last = runs_.back();
                const Long next = last.source + last.length * last.step;
                if (last.length == 1 && found > last.source) {
                    last.step = found - last.source;
                    ++last.length;
                    continue;
                }
                if (found == next) {
                    ++last.length;
                    continue;
                }
            }
            runs_.push_back({rec, found, 1, 1});
        }
        const Long d = recordPos_;
        sd_.startSub(d) = runs_.empty() ? 1 : runs_.front().source;
        sd_.countSub(d) = static_cast<Long>(held.size());
        sd_.strideSub(d) = runs_.size() == 1 ? runs_.front().step : 1;
        sd_.endSub(d) =
            runs_.empty() ? 0 : runs_.back().source + (runs_.back().length - 1) * runs_.back().step;
        return true;
    }

    // The record dimension's cut, counting the records the file has after the append.
    void putRecordCut(NcOut& out) {
        const TargetDim& record = h_.dims[static_cast<std::size_t>(h_.recordDim)];
        const Recorded& r = record.recorded;
        const Long d = recordPos_;
        const Long start = r.present ? r.start : sd_.startSub(d);
        const Long step = r.present ? r.step : sd_.strideSub(d);
        const Long count = recordsBefore_ + static_cast<Long>(times_.size());
        out.Redef();
        out.PutAttText(NC_GLOBAL, record.name,
                       Str(nc_.dimeSize(h_.recordDim + 1, 1)) + Str(start) + Str(count) +
                           Str(step));
        out.EndDef();
    }

    // From the source's time values to the file's: the distance between the two base dates and
    // the scale from the source's unit to the file's. False, with the reason, when the source's
    // times cannot be stated in the file's units.
    bool timeConversion(double& offset, double& scale, std::string& why) {
        const TargetVar& t = h_.vars[static_cast<std::size_t>(timeVar_)];
        const Long tv = nc_.TimevId(1);
        std::string sourceUnits = SubsetTimeUnits(nc_);
        const bool sourceDated = !sourceUnits.empty();
        if (!sourceDated) sourceUnits = nc_.GetAttVbyVarNumbyAttname(tv, "units", 1);
        const Calendar sourceCal = CalendarOf(nc_.GetAttVbyVarNumbyAttname(tv, "calendar", 1));
        const Calendar targetCal = CalendarOf(t.calendar);

        offset = 0;
        scale = 1;
        if (Trim(sourceUnits) != Trim(t.units) || sourceCal != targetCal) {
            const double perDaySource = UnitsPerDay(nc_.timeUnit(1));
            const double perDayTarget = UnitsPerDay(GetToken(t.units, 1));
            Date targetEpoch;
            const bool targetDated = UCase(GetToken(t.units, 2)) == "SINCE" &&
                                     SinceDate(targetCal, t.units, targetEpoch);
            const bool comparable =
                sourceCal == targetCal || (realWorld(sourceCal) && realWorld(targetCal));
            if (!sourceDated || !targetDated || !comparable || perDaySource == 0 ||
                perDayTarget == 0) {
                why = std::string("[AppendNc] The times of the source cannot be stated in the "
                                  "time units of the target file:") +
                      kCrLf + kCrLf + "source: " + sourceUnits + kCrLf + "target: " + t.units;
                return false;
            }
            offset = (nc_.EpochDate(1).serial - targetEpoch.serial) * perDayTarget;
            scale = perDayTarget / perDaySource;
        }
        return true;
    }

    void defineNewVariables(NcOut& out) {
        std::unique_ptr<NcSource> sources[3];
        const std::vector<int> dims(sd_.dimIds.data(), sd_.dimIds.data() + sd_.rank());
        out.Redef();
        for (std::size_t i = 0; i < sd_.picks.size(); ++i) {
            const PickItem& p = sd_.picks[i];
            targetIds_[i] =
                out.DefVar(nc_.variName(p.varNumber, p.datasetIndex),
                           static_cast<nc_type>(nc_.variType(p.varNumber, p.datasetIndex)), dims);
        }
        for (std::size_t i = 0; i < sd_.picks.size(); ++i) {
            const PickItem& p = sd_.picks[i];
            auto& src = sources[p.datasetIndex];
            if (!src) src = std::make_unique<NcSource>(nc_.FName(p.datasetIndex));
            CopyAttributes(*src, static_cast<int>(p.varNumber - 1), out, targetIds_[i],
                           nc_.variName(p.varNumber, p.datasetIndex));
        }
        out.EndDef();
    }

    IKelvad& nc_;
    SubsetDescription& sd_;
    std::string path_;
    TargetHeader h_;
    std::vector<int> targetIds_; // per pick, its variable id in the file
    bool steps_ = false;
    Long recordPos_ = 0;     // time steps: the position of the record dimension among the pick's
    Long recordsBefore_ = 0; // time steps: the records the file had
    int timeVar_ = -1;
    std::vector<double> times_;
    // New variables over the records: runs of records (from 0) read from evenly spaced source
    // steps (1-based); empty when the cut is taken as recorded.
    struct Run {
        Long record = 0, source = 1, length = 1, step = 1;
    };
    std::vector<Run> runs_;
};

} // namespace

Long AppendNc(SaveTarget target, SubsetDescription& sd) {
    if (Data.clsNC == nullptr || sd.picks.empty()) return -1;
    IKelvad& nc = *Data.clsNC;
    if (!target.Claim(kWho)) return -1;
    // The cuts change only with an append that is made.
    SubsetDescription work = sd;
    const Long result = RunSubsetWriter(nc, work, kWho, ReportForm::Error, [&]() -> Long {
        Appender append(nc, work, target.Path());
        append.prepare();
        return WriteWhole(
            target, kWho, [&](const std::string& temp) { append.write(temp); }, true);
    });
    if (result == 1) sd = work;
    return result;
}
