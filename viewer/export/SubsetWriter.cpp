#include "viewer/export/SubsetWriter.h"

#include "common/NetCDF.h"
#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "platform/Component.h"
#include "platform/RegularFile.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "viewer/export/AttributeCopier.h"
#include "viewer/export/ExportKinds.h"
#include "viewer/export/NcWriter.h"
#include "viewer/export/SafeOutput.h"
#include "viewer/export/SubsetDescription.h"
#include "viewer/export/TimeText.h"
#include "viewer/map/SharedState.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kCrLf = "\r\n";

void plainMessage(const std::string& text) {
    ui().MsgBox(text, kOkOnly, kProgramTitle);
}

void readOk(const Variant& result) {
    if (result.IsEmpty() || result.toLong() != 1) throw ReadFailure();
}

// Values of one read and write of a cut: the cut goes slab by slab, so that the memory a
// save takes is bounded by this, whatever the size of the subset.
constexpr int64_t kSlabValues = int64_t{1} << 20;

// The cut start/count/stride (1-based, of the source) into var at outStart, slab by slab: the
// slowest dimensions are stepped one index at a time until what is left of a slab is within
// kSlabValues, and the dimension where that happens is taken in runs of as many indices as fit.
template <class T, class Read>
void copySlabs(NcOut& out, int var, const std::vector<std::size_t>& outStart,
               const VArray<Long>& start, const VArray<Long>& count, const VArray<Long>& stride,
               Read&& readInto) {
    const std::size_t n = count.size();
    std::vector<int64_t> inner(n, 1); // values below each dimension
    for (std::size_t k = n - 1; k > 0; --k)
        inner[k - 1] = inner[k] * count.data()[k];
    std::size_t split = 0;
    while (inner[split] > kSlabValues)
        ++split;
    const Long along = count.data()[split];
    const Long run = static_cast<Long>(
        std::clamp<int64_t>(kSlabValues / inner[split], 1, std::max<Long>(along, 1)));
    VArray<T> values(1, static_cast<Long>(inner[split] * run));
    VArray<Long> s(1, static_cast<Long>(n)), c(1, static_cast<Long>(n)),
        st(1, static_cast<Long>(n));
    std::vector<std::size_t> at(outStart), len(n);
    for (std::size_t k = 0; k < n; ++k) {
        s.data()[k] = start.data()[k];
        st.data()[k] = stride.data()[k];
        c.data()[k] = k < split ? 1 : count.data()[k];
        len[k] = static_cast<std::size_t>(c.data()[k]);
    }
    std::vector<Long> index(split + 1, 0); // position along the stepped dimensions
    for (;;) {
        const Long take = std::min(run, along - index[split]);
        for (std::size_t k = 0; k <= split; ++k) {
            s.data()[k] = start.data()[k] + index[k] * stride.data()[k];
            at[k] = outStart[k] + static_cast<std::size_t>(index[k]);
        }
        c.data()[split] = take;
        len[split] = static_cast<std::size_t>(take);
        readOk(readInto(s, c, st, values));
        out.PutVara(var, at, len, values.data());
        // The next slab: along the split dimension, then the odometer of the ones above it.
        index[split] += take;
        std::size_t k = split;
        while (index[k] >= count.data()[k]) {
            if (k == 0) return;
            index[k] = 0;
            ++index[--k];
        }
    }
}

template <class T> void putAlong(NcOut& out, int var, const VArray<T>& values, Long n) {
    if (n < 1) return;
    out.PutVara(var, {0}, {static_cast<std::size_t>(n)}, values.data());
}

// The whole of a variable's block in the new file: its length along each dimension.
void wholeBlock(const NcOut& out, int var, std::vector<std::size_t>& start,
                std::vector<std::size_t>& count) {
    int nd = 0;
    NcCheck(nc_inq_varndims(out.id(), var, &nd), "nc_inq_varndims");
    std::vector<int> dims(static_cast<std::size_t>(nd));
    NcCheck(nc_inq_vardimid(out.id(), var, dims.data()), "nc_inq_vardimid");
    start.assign(dims.size(), 0);
    count.clear();
    for (int d : dims) {
        std::size_t len = 0;
        NcCheck(nc_inq_dimlen(out.id(), d, &len), "nc_inq_dimlen");
        count.push_back(len);
    }
}

// A boundary-fitted grid's index dimensions under the names its subsets give them.
std::string boundaryFittedName(const std::string& name) {
    if (name == "gridi") return "xpos";
    if (name == "gridj") return "ypos";
    return name;
}

} // namespace

std::string UnexpectedTypeText(const std::string& who, const std::string& name, Long type) {
    return "[" + who + "] Unexpected Type of 2-d constant Variable:" + kCrLf + kCrLf +
           "Variable Name = " + name + kCrLf + "Tyep Number = " + Str(type);
}

void NameSet::take(const std::string& name) {
    if (names_.insert(name).second) return;
    plainMessage("[" + who_ + "] Two variables of the subset are named " + name + ":" + kCrLf +
                 kCrLf + "Please reseclect");
    throw Refused();
}

void CheckPicks(IKelvad& nc, const SubsetDescription& sd, const std::string& who, NameSet& names) {
    if (sd.rank() < 1) throw RuntimeError(err::Subscript);
    if (sd.picks.empty() || !PicksShareDimensions(sd.picks)) throw Refused();
    std::vector<Long> first;
    std::string why;
    PickDimsInMain(sd.picks.front(), first, why);
    const std::vector<Long> described(sd.dimIds.data(), sd.dimIds.data() + sd.rank());
    // A description made for other picks is not written with these.
    if (first != described) throw RuntimeError(err::InvalidCall);
    for (const PickItem& p : sd.picks) {
        if (p.datasetIndex < 1 || p.datasetIndex > 2) throw RuntimeError(err::Subscript);
        const Long type = nc.variType(p.varNumber, p.datasetIndex);
        if (type < NC_BYTE || type > NC_DOUBLE) {
            plainMessage(UnexpectedTypeText(who, nc.variName(p.varNumber, p.datasetIndex), type));
            throw Refused();
        }
        names.take(nc.variName(p.varNumber, p.datasetIndex));
    }
}

std::string SubsetTimeUnits(IKelvad& nc) {
    const Date epoch = nc.EpochDate(1);
    if (epoch.serial == 0) return {};
    const std::string calendar = nc.GetAttVbyVarNumbyAttname(nc.TimevId(1), "calendar", 1);
    return nc.timeUnit(1) + " since " + SinceDateText(epoch, calendar);
}

double UnitsPerDay(const std::string& unitWord) {
    const std::string key = UCase(Left(unitWord, 3));
    if (key == "DAY") return 1;
    if (key == "HOU") return 24;
    if (key == "MIN") return 1440;
    if (key == "SEC") return 86400;
    return 0;
}

namespace {

constexpr double kLongMax = 2147483647.0;

// Every time times factor a whole number that a Long holds (within rounding of the source's
// doubles); with rounded, merely held once rounded and no two of them equal.
bool wholeTimes(const double* times, std::size_t n, double factor, bool rounded) {
    std::vector<double> kept;
    kept.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = times[i] * factor;
        const double r = std::nearbyint(t);
        if (!std::isfinite(t) || std::fabs(r) > kLongMax) return false;
        if (!rounded && std::fabs(t - r) > std::max(1e-9, 1e-12 * std::fabs(t))) return false;
        kept.push_back(r);
    }
    if (!rounded) return true;
    std::sort(kept.begin(), kept.end());
    return std::adjacent_find(kept.begin(), kept.end()) == kept.end();
}

} // namespace

CellTimeLayout ChooseCellTimeLayout(const std::string& unitWord, const double* times,
                                    std::size_t n) {
    CellTimeLayout layout;
    if (wholeTimes(times, n, 1, false)) {
        layout.type = NC_INT;
        return layout;
    }
    const double perDay = UnitsPerDay(unitWord);
    if (perDay <= 0) return layout;
    struct Finer {
        const char* word;
        double perDay;
    };
    static constexpr Finer kFiner[] = {{"hours", 24}, {"minutes", 1440}, {"seconds", 86400}};
    for (const Finer& f : kFiner) {
        if (f.perDay <= perDay) continue;
        const double factor = f.perDay / perDay;
        if (wholeTimes(times, n, factor, false) ||
            (f.perDay == 86400 && wholeTimes(times, n, factor, true)))
            return {NC_INT, factor, f.word};
    }
    return layout;
}

void WindowOf(IKelvad& nc, const SubsetDescription& sd, Long v, Long slot, VArray<Long>& start,
              VArray<Long>& count, VArray<Long>& stride) {
    const Long r = nc.variNarray(v, slot);
    if (r < 1) throw RuntimeError(err::Subscript);
    start.ReDim(1, r);
    count.ReDim(1, r);
    stride.ReDim(1, r);
    for (Long k = 1; k <= r; ++k) {
        const Long g = nc.variArrayDimID(v, k, slot);
        start(k) = 1;
        count(k) = nc.dimeSize(g + 1, slot);
        stride(k) = 1;
        for (Long d = 1; d <= sd.rank(); ++d) {
            if (sd.dimIds(d) != g) continue;
            start(k) = sd.startSub(d);
            count(k) = sd.countSub(d);
            stride(k) = sd.strideSub(d);
            break;
        }
    }
}

void CopyCut(IKelvad& nc, Long v, Long slot, const VArray<Long>& start, const VArray<Long>& count,
             const VArray<Long>& stride, NcOut& out, int var,
             const std::vector<std::size_t>& outStart, const std::string& who) {
    int64_t total = 1;
    for (std::size_t d = 0; d < count.size(); ++d)
        total *= std::max(count.data()[d], Long{0});
    if (total < 1 || count.size() != outStart.size()) return;
    switch (nc.variType(v, slot)) {
    case NC_BYTE:
    case NC_SHORT:
        copySlabs<Integer>(out, var, outStart, start, count, stride,
                           [&](auto& s, auto& c, auto& st, VArray<Integer>& a) {
                               return nc.GetVarSShort(v, s, c, st, a, slot);
                           });
        break;
    case NC_INT:
        copySlabs<Long>(out, var, outStart, start, count, stride,
                        [&](auto& s, auto& c, auto& st, VArray<Long>& a) {
                            return nc.GetVarSLong(v, s, c, st, a, slot);
                        });
        break;
    case NC_FLOAT:
        copySlabs<float>(out, var, outStart, start, count, stride,
                         [&](auto& s, auto& c, auto& st, VArray<float>& a) {
                             return nc.GetVarSFloat(v, s, c, st, a, slot);
                         });
        break;
    case NC_DOUBLE:
        copySlabs<double>(out, var, outStart, start, count, stride,
                          [&](auto& s, auto& c, auto& st, VArray<double>& a) {
                              return nc.GetVarSDouble(v, s, c, st, a, slot);
                          });
        break;
    default:
        // Text is kept out of the values; the variable stays with its attributes.
        plainMessage(UnexpectedTypeText(who, nc.variName(v, slot), nc.variType(v, slot)));
        break;
    }
}

// ---- SubsetWriter ----------------------------------------------------------------------------

SubsetWriter::SubsetWriter(IKelvad& nc, const SubsetDescription& sd, Flavour flavour)
    : nc_(nc), sd_(sd), flavour_(std::move(flavour)) {}

SubsetWriter::~SubsetWriter() = default;

void SubsetWriter::message(const std::string& text) const {
    plainMessage(text);
}

void SubsetWriter::check() {
    NameSet names(flavour_.who);
    for (const Written& w : coordinates())
        names.take(nc_.variName(w.var, 1));
    CheckPicks(nc_, sd_, flavour_.who, names);
}

void SubsetWriter::write(const std::string& path) {
    sources_[1] = std::make_unique<NcSource>(nc_.FName(1));
    times_ = nc_.nCelldId(1) >= 0 ? cellTimes() : CellTimeLayout{};
    for (const PickItem& p : sd_.picks) {
        const Long slot = p.datasetIndex;
        if (!sources_[slot]) sources_[slot] = std::make_unique<NcSource>(nc_.FName(slot));
    }
    NcOut out = NcOut::Create(path);
    // Every value of every variable is written below.
    out.NoFill();
    defineDimensions(out);
    const std::vector<Written> coords = defineCoordinates(out);
    const std::vector<int> picks = definePicks(out);
    PutSubsetGlobals(out, *sources_[1], nc_, sd_);
    out.EndDef();
    for (const Written& w : coords)
        writeCoordinate(out, w);
    const std::vector<std::size_t> origin(static_cast<std::size_t>(sd_.rank()), 0);
    for (std::size_t i = 0; i < sd_.picks.size(); ++i) {
        const PickItem& p = sd_.picks[i];
        CopyCut(nc_, p.varNumber, p.datasetIndex, sd_.startSub, sd_.countSub, sd_.strideSub, out,
                picks[i], origin, flavour_.who);
    }
    out.Close();
}

// The coordinate variables the file takes, in dataset order: the one-dimensional coordinate
// variables of the five axes, the longitudes and latitudes of a cell list or a boundary-fitted
// grid, a GMT grid's description over "side".
std::vector<SubsetWriter::Written> SubsetWriter::coordinates() const {
    std::vector<Written> list;
    const Long lonD = nc_.LondId(1), latD = nc_.LatdId(1), timeD = nc_.TimedId(1);
    const Long levelD = nc_.LeveldId(1), cellD = nc_.nCelldId(1);
    const Long nVars = nc_.nVars(1);
    for (Long v = 1; v <= nVars; ++v) {
        if (nc_.variKind(v, 1) != 1 || nc_.variNarray(v, 1) != 1) continue;
        const Long g = nc_.variArrayDimID(v, 1, 1);
        if (g < 0) continue;
        if (g == lonD)
            list.push_back({-1, v, Role::Lon});
        else if (g == latD)
            list.push_back({-1, v, Role::Lat});
        else if (g == timeD)
            list.push_back({-1, v, Role::Time});
        else if (g == levelD)
            list.push_back({-1, v, Role::Level});
        else if (g == cellD)
            list.push_back({-1, v, Role::Cell});
    }
    auto taken = [&](Long v) {
        for (const Written& w : list)
            if (w.var == v) return true;
        return false;
    };
    if (cellD >= 0 || flavour_.boundaryFitted) {
        for (Long v = 1; v <= nVars; ++v) {
            if (taken(v)) continue;
            if (v == nc_.lonvId(1))
                list.push_back({-1, v, Role::Lon});
            else if (v == nc_.latvId(1))
                list.push_back({-1, v, Role::Lat});
        }
    }
    if (ExportKindOf(nc_.GridType(1)).gmtLayout) {
        for (Long v = 1; v <= nVars; ++v)
            if (!taken(v) && UCase(nc_.variArrayDimName(v, 1, 1)) == "SIDE")
                list.push_back({-1, v, Role::Described});
    }
    return list;
}

void SubsetWriter::defineDimensions(NcOut& out) {
    const Long timeD = nc_.TimedId(1);
    for (Long n = 1; n <= static_cast<Long>(sd_.SubsetDims.size()); ++n) {
        const DimRecord& rec = sd_.SubsetDims(n);
        const bool unlimited = rec.dimeUnLimited != 0 || n - 1 == timeD;
        std::size_t length = static_cast<std::size_t>(rec.dimeSize);
        // The file holds the cut of every dimension of the picks, so each value keeps the
        // coordinates of its own place.
        for (Long d = 1; d <= sd_.rank(); ++d)
            if (sd_.dimIds(d) == n - 1) length = static_cast<std::size_t>(sd_.countSub(d));
        std::string name = rec.dimeName;
        if (flavour_.boundaryFitted && !unlimited) name = boundaryFittedName(name);
        const int id = out.DefDim(name, unlimited ? NC_UNLIMITED : length);
        if (id != n - 1) message("[" + flavour_.who + "] new_dId <> n - 1");
    }
}

CellTimeLayout SubsetWriter::cellTimes() const {
    const double* times = sd_.nTimeSub > 0 ? &sd_.timeSub(1) : nullptr;
    CellTimeLayout layout = ChooseCellTimeLayout(
        nc_.timeUnit(1), times, static_cast<std::size_t>(std::max<Long>(sd_.nTimeSub, 0)));
    // A finer unit needs a base date to be stated with.
    if (!layout.unitWord.empty() && SubsetTimeUnits(nc_).empty()) layout = {};
    return layout;
}

nc_type SubsetWriter::typeOf(Role role, nc_type own) const {
    switch (role) {
    case Role::Lon:
    case Role::Lat:
        // Written as the source holds them: a double stays a double.
        return own;
    case Role::Time:
        // A cell list counts its time in whole units where its times allow it.
        return times_.type;
    case Role::Level:
        return NC_DOUBLE;
    case Role::Cell:
        return NC_INT;
    default:
        return own;
    }
}

std::vector<int> SubsetWriter::dimsOf(Long v, Long slot) const {
    std::vector<int> dims;
    for (Long d = 1; d <= nc_.variNarray(v, slot); ++d)
        dims.push_back(static_cast<int>(nc_.variArrayDimID(v, d, slot)));
    return dims;
}

std::vector<SubsetWriter::Written> SubsetWriter::defineCoordinates(NcOut& out) {
    std::vector<Written> list = coordinates();
    bool lon = false, lat = false;
    for (Written& w : list) {
        const std::string name = nc_.variName(w.var, 1);
        const nc_type own = static_cast<nc_type>(nc_.variType(w.var, 1));
        AttCopyRules rules;
        rules.retype = typeOf(w.role, own);
        if (w.role == Role::Time) {
            rules.unitsText = SubsetTimeUnits(nc_);
            // The same origin, counted in the finer unit.
            if (!times_.unitWord.empty())
                rules.unitsText = times_.unitWord + " " +
                                  Mid(rules.unitsText, InStr(rules.unitsText, " ") + 1);
        }
        // Levels are written from the library's cache, which holds them unpacked. Positions are
        // copied as stored, so they keep the attributes that unpack them.
        const bool fromCaches = w.role == Role::Level;
        rules.unpacked = fromCaches &&
                         (Val(nc_.variScale(w.var, 1)) != 1 || Val(nc_.variOffset(w.var, 1)) != 0 ||
                          !nc_.GetAttVbyVarNumbyAttname(w.var, "_Unsigned", 1).empty());
        w.out = out.DefVar(name, rules.retype, dimsOf(w.var, 1));
        CopyAttributes(*sources_[1], static_cast<int>(w.var - 1), out, w.out, name, rules);
        lon = lon || w.var == nc_.lonvId(1);
        lat = lat || w.var == nc_.latvId(1);
    }
    if ((nc_.nCelldId(1) >= 0 || flavour_.boundaryFitted) && (!lon || !lat))
        message("[" + flavour_.who + "] multi-cell grid: new_lon_vId& < 0 Or new_lat_vId& < 0");
    return list;
}

std::vector<int> SubsetWriter::definePicks(NcOut& out) {
    std::vector<int> ids;
    std::vector<int> dims;
    for (Long d = 1; d <= sd_.rank(); ++d)
        dims.push_back(static_cast<int>(sd_.dimIds(d)));
    for (const PickItem& p : sd_.picks) {
        ids.push_back(out.DefVar(nc_.variName(p.varNumber, p.datasetIndex),
                                 static_cast<nc_type>(nc_.variType(p.varNumber, p.datasetIndex)),
                                 dims));
    }
    for (std::size_t i = 0; i < sd_.picks.size(); ++i) {
        const PickItem& p = sd_.picks[i];
        CopyAttributes(*sources_[p.datasetIndex], static_cast<int>(p.varNumber - 1), out, ids[i],
                       nc_.variName(p.varNumber, p.datasetIndex));
    }
    return ids;
}

void SubsetWriter::writeCoordinate(NcOut& out, const Written& w) {
    // Positions are the source's values of the places kept, read from the file in its own
    // type: not the viewer's arrays, which may be moved across the date line or held in
    // radians. A boundary-fitted grid's cell numbers go over the same cut.
    if (w.role == Role::Lon || w.role == Role::Lat ||
        (flavour_.boundaryFitted && w.role == Role::Cell)) {
        VArray<Long> start, count, stride;
        WindowOf(nc_, sd_, w.var, 1, start, count, stride);
        std::vector<std::size_t> first, whole;
        wholeBlock(out, w.out, first, whole);
        for (std::size_t d = 0; d < whole.size() && d < count.size(); ++d)
            if (whole[d] != static_cast<std::size_t>(count.data()[d]) && whole[d] != 0)
                throw RuntimeError(err::Subscript);
        CopyCut(nc_, w.var, 1, start, count, stride, out, w.out, first, flavour_.who);
        return;
    }
    switch (w.role) {
    case Role::Lon:
    case Role::Lat:
        break;
    case Role::Time:
        if (times_.type == NC_INT) {
            VArray<Long> whole;
            if (sd_.nTimeSub < 1) break;
            whole.ReDim(1, sd_.nTimeSub);
            for (Long i = 1; i <= sd_.nTimeSub; ++i)
                whole(i) = CLng(sd_.timeSub(i) * times_.factor);
            putAlong(out, w.out, whole, sd_.nTimeSub);
        } else {
            putAlong(out, w.out, sd_.timeSub, sd_.nTimeSub);
        }
        break;
    case Role::Level:
        putAlong(out, w.out, sd_.levelSub, sd_.nLevelSub);
        break;
    case Role::Cell: {
        const Long n = nc_.nCells(1);
        VArray<Long> numbers;
        if (n < 1) break;
        numbers.ReDim(1, n);
        for (Long k = 1; k <= n; ++k)
            numbers(k) = k;
        putAlong(out, w.out, numbers, n);
        break;
    }
    case Role::Described: {
        // Taken whole, as the source has it.
        const Long length = nc_.dimeSize(nc_.variArrayDimID(w.var, 1, 1) + 1, 1);
        VArray<Long> start(1, 1), count(1, 1), stride(1, 1);
        start(1) = 1;
        count(1) = length;
        stride(1) = 1;
        VArray<double> values(1, length);
        readOk(nc_.GetVarSDouble(w.var, start, count, stride, values, 1));
        putAlong(out, w.out, values, length);
        break;
    }
    }
}

// ---- The file in place ------------------------------------------------------------------------

namespace {

// The target's bytes into the temporary, as many as the target held when opened: 0 or the
// error number.
int copyInto(SafeOutput& out) {
    int fd = -1;
    struct stat st {};
    if (const int e = OpenRegularFile(NativePath(out.Target()), fd, st)) return e;
    std::vector<char> buffer(1 << 20);
    const std::int64_t size = st.st_size;
    std::int64_t pos = 0;
    int e = 0;
    while (e == 0 && pos < size) {
        const std::size_t want = static_cast<std::size_t>(
            std::min<std::int64_t>(size - pos, std::int64_t(buffer.size())));
        const ssize_t got = ::pread(fd, buffer.data(), want, static_cast<off_t>(pos));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            e = got < 0 ? err::DeviceIO : err::InputPastEnd; // failed, or shrunk under us
            break;
        }
        e = out.File().WriteAt(pos, buffer.data(), static_cast<std::size_t>(got));
        pos += got;
    }
    ::close(fd);
    return e;
}

} // namespace

Long WriteWhole(const SaveTarget& target, const std::string& who,
                const std::function<void(const std::string&)>& body, bool fromCopy) {
    SafeOutput out;
    int e = out.Open(target);
    if (e == 0 && fromCopy) e = copyInto(out);
    if (e != 0) {
        out.Abandon();
        plainMessage(SafeOutput::FailureText(who, target.Path(), e));
        return -1;
    }
    try {
        body(out.TempPath());
    } catch (const NcFailure& f) {
        // The temporary's name means nothing to the user: the failure is the target's.
        throw NcFailure(f.status(), f.call(), target.Path());
    }
    if (const int e2 = out.Commit()) {
        plainMessage(SafeOutput::FailureText(who, target.Path(), e2));
        return -1;
    }
    return 1;
}

void PutSubsetGlobals(NcOut& out, const NcSource& main, IKelvad& nc, const SubsetDescription& sd) {
    CopyAttributes(main, NC_GLOBAL, out, NC_GLOBAL, "");
    out.PutAttText(NC_GLOBAL, "origin1", nc.FName(1));
    if (nc.nVars(2) > 0) out.PutAttText(NC_GLOBAL, "origin2", nc.FName(2));
    for (Long d = 1; d <= sd.rank(); ++d) {
        const Long g = sd.dimIds(d);
        out.PutAttText(NC_GLOBAL, nc.dimeName(g + 1, 1),
                       Str(nc.dimeSize(g + 1, 1)) + Str(sd.startSub(d)) + Str(sd.countSub(d)) +
                           Str(sd.strideSub(d)));
    }
}

// ---- The way out -----------------------------------------------------------------------------

void ClosePickDatasets(IKelvad& nc, const SubsetDescription& sd) {
    if (sd.picks.empty()) return;
    const Long first = sd.picks[0].datasetIndex;
    nc.CloseNC(first);
    if (sd.picks.size() > 1 && sd.picks[1].datasetIndex > first)
        nc.CloseNC(sd.picks[1].datasetIndex);
}

Long RunSubsetWriter(IKelvad& nc, const SubsetDescription& sd, const std::string& who,
                     ReportForm form, const std::function<Long()>& body) {
    auto report = [&](int number, const std::string& text) {
        const std::string head = form == ReportForm::Error
                                     ? "Error(" + CStr(Long{number}) + "):"
                                     : "Error message (number " + CStr(Long{number}) + ")is:";
        ui().MsgBox(head + kCrLf + kCrLf + "\"" + text + "\"", kOkOnly, who);
    };
    Long result = -1;
    try {
        result = body();
    } catch (const Refused&) {
    } catch (const NcFailure& f) {
        ui().MsgBox(f.Text(), kOkOnly + kCritical, "NetCDF Error");
    } catch (const ReadFailure&) {
        plainMessage(nc.ErrorMessage());
        report(0, "");
    } catch (const RuntimeError& e) {
        report(e.number(), e.description());
    } catch (const std::exception& e) {
        report(0, e.what());
    }
    ClosePickDatasets(nc, sd);
    return result;
}

Long WriteSubsetFile(SaveTarget target, const SubsetDescription& sd,
                     const SubsetWriter::Flavour& flavour, const std::function<void()>& warn) {
    if (Data.clsNC == nullptr || sd.picks.empty()) return -1;
    IKelvad& nc = *Data.clsNC;
    if (!target.Claim(flavour.who)) return -1;
    return RunSubsetWriter(nc, sd, flavour.who, ReportForm::ErrorMessage, [&]() -> Long {
        SubsetWriter writer(nc, sd, flavour);
        writer.check();
        if (warn) warn();
        return WriteWhole(target, flavour.who,
                          [&](const std::string& temp) { writer.write(temp); });
    });
}
