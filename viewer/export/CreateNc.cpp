#include "viewer/export/CreateNc.h"

#include "common/NetCDF.h"
#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "viewer/export/AttributeCopier.h"
#include "viewer/export/NcWriter.h"
#include "viewer/export/SafeOutput.h"
#include "viewer/export/SubsetDescription.h"
#include "viewer/export/TimeText.h"
#include "viewer/map/SharedState.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <set>
#include <vector>

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kWho = "CreateNc";

void message(const std::string& text) {
    ui().MsgBox(text, kOkOnly, kProgramTitle);
}

// A read through the dataset object that did not give its values; its reason is in the
// object's ErrorMessage.
struct ReadFailure : std::runtime_error {
    ReadFailure() : std::runtime_error("read failed") {}
};

// A refusal before anything is written; its message is shown.
struct Refused : std::runtime_error {
    Refused() : std::runtime_error("refused") {}
};

enum class Role { Lon, Lat, Time, Level, Cell, Described };

struct Written {
    int out = -1; // id in the new file
    Long var = 0; // variable number in the main dataset
    Role role = Role::Lon;
};

std::string unexpectedType(const std::string& name, Long type) {
    return std::string("[CreateNc] Unexpected Type of 2-d constant Variable:") + kCrLf + kCrLf +
           "Variable Name = " + name + kCrLf + "Tyep Number = " + Str(type);
}

class SubsetWriter {
public:
    SubsetWriter(IKelvad& nc, const SubsetDescription& sd) : nc_(nc), sd_(sd) {}

    // The checks that come before any file: what the picks are and whether they can be
    // written together.
    void check() {
        if (sd_.rank() < 1) throw RuntimeError(err::Subscript);
        std::set<std::string> names;
        auto takeName = [&](const std::string& name) {
            if (names.insert(name).second) return;
            message("[CreateNc] Two variables of the subset are named " + name + ":" + kCrLf +
                    kCrLf + "Please reseclect");
            throw Refused();
        };
        for (const Written& w : coordinates())
            takeName(nc_.variName(w.var, 1));
        if (!PicksShareDimensions()) throw Refused();
        std::vector<Long> first;
        std::string why;
        PickDimsInMain(Data.Picks(1), first, why);
        const std::vector<Long> described(sd_.dimIds.data(), sd_.dimIds.data() + sd_.rank());
        // A description made for other picks is not written with these.
        if (first != described) throw RuntimeError(err::InvalidCall);
        for (Long i = 1; i <= Data.PickCount; ++i) {
            const PickItem& p = Data.Picks(i);
            if (p.datasetIndex < 1 || p.datasetIndex > 2) throw RuntimeError(err::Subscript);
            const Long type = nc_.variType(p.varNumber, p.datasetIndex);
            if (type < NC_BYTE || type > NC_DOUBLE) {
                message(unexpectedType(nc_.variName(p.varNumber, p.datasetIndex), type));
                throw Refused();
            }
            takeName(nc_.variName(p.varNumber, p.datasetIndex));
        }
    }

    // Everything else, into the file at temp.
    void write(const std::string& temp) {
        sources_[1] = std::make_unique<NcSource>(nc_.FName(1));
        for (Long i = 1; i <= Data.PickCount; ++i) {
            const Long slot = Data.Picks(i).datasetIndex;
            if (!sources_[slot]) sources_[slot] = std::make_unique<NcSource>(nc_.FName(slot));
        }
        NcOut out = NcOut::Create(temp);
        // Every value of every variable is written below.
        out.NoFill();
        defineDimensions(out);
        const std::vector<Written> coords = defineCoordinates(out);
        const std::vector<int> picks = definePicks(out);
        PutSubsetGlobals(out, *sources_[1], nc_, sd_);
        out.EndDef();
        for (const Written& w : coords)
            writeCoordinate(out, w);
        for (Long i = 1; i <= Data.PickCount; ++i)
            writePick(out, Data.Picks(i), picks[static_cast<std::size_t>(i - 1)]);
        out.Close();
    }

private:
    // The coordinate variables the file takes, in dataset order: the one-dimensional
    // coordinate variables of the five axes, a cell list's longitudes and latitudes, a GMT
    // grid's description over "side".
    std::vector<Written> coordinates() const {
        std::vector<Written> list;
        const Long gridType = nc_.GridType(1);
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
        if (cellD >= 0) {
            for (Long v = 1; v <= nVars; ++v) {
                if (taken(v)) continue;
                if (v == nc_.lonvId(1))
                    list.push_back({-1, v, Role::Lon});
                else if (v == nc_.latvId(1))
                    list.push_back({-1, v, Role::Lat});
            }
        }
        if (gridType == kGridGmt) {
            for (Long v = 1; v <= nVars; ++v)
                if (!taken(v) && UCase(nc_.variArrayDimName(v, 1, 1)) == "SIDE")
                    list.push_back({-1, v, Role::Described});
        }
        return list;
    }

    void defineDimensions(NcOut& out) {
        const Long timeD = nc_.TimedId(1);
        for (Long n = 1; n <= static_cast<Long>(sd_.SubsetDims.size()); ++n) {
            const DimRecord& rec = sd_.SubsetDims(n);
            const bool unlimited = rec.dimeUnLimited != 0 || n - 1 == timeD;
            const int id = out.DefDim(
                rec.dimeName, unlimited ? NC_UNLIMITED : static_cast<std::size_t>(rec.dimeSize));
            if (id != n - 1) message("[CreateNc] new_dId <> n - 1");
        }
    }

    static nc_type typeOf(Role role, nc_type own) {
        switch (role) {
        case Role::Lon:
        case Role::Lat:
            return NC_FLOAT;
        case Role::Time:
        case Role::Level:
            return NC_DOUBLE;
        case Role::Cell:
            return NC_INT;
        default:
            return own;
        }
    }

    std::vector<int> dimsOf(Long v, Long slot) const {
        std::vector<int> dims;
        for (Long d = 1; d <= nc_.variNarray(v, slot); ++d)
            dims.push_back(static_cast<int>(nc_.variArrayDimID(v, d, slot)));
        return dims;
    }

    // The units of the time axis, stated from its base date; "" (copied as they are) when the
    // axis has none.
    std::string timeUnits() const {
        const Date epoch = nc_.EpochDate(1);
        if (epoch.serial == 0) return {};
        const std::string calendar = nc_.GetAttVbyVarNumbyAttname(nc_.TimevId(1), "calendar", 1);
        return nc_.timeUnit(1) + " since " + SinceDateText(epoch, calendar);
    }

    std::vector<Written> defineCoordinates(NcOut& out) {
        std::vector<Written> list = coordinates();
        bool lon = false, lat = false;
        for (Written& w : list) {
            const std::string name = nc_.variName(w.var, 1);
            const nc_type own = static_cast<nc_type>(nc_.variType(w.var, 1));
            AttCopyRules rules;
            rules.retype = typeOf(w.role, own);
            if (w.role == Role::Time) rules.unitsText = timeUnits();
            w.out = out.DefVar(name, rules.retype, dimsOf(w.var, 1));
            CopyAttributes(*sources_[1], static_cast<int>(w.var - 1), out, w.out, name, rules);
            lon = lon || w.var == nc_.lonvId(1);
            lat = lat || w.var == nc_.latvId(1);
        }
        if (nc_.nCelldId(1) >= 0 && (!lon || !lat))
            message("[CreateNc] multi-cell grid: new_lon_vId& < 0 Or new_lat_vId& < 0");
        return list;
    }

    std::vector<int> definePicks(NcOut& out) {
        std::vector<int> ids;
        std::vector<int> dims;
        for (Long d = 1; d <= sd_.rank(); ++d)
            dims.push_back(static_cast<int>(sd_.dimIds(d)));
        for (Long i = 1; i <= Data.PickCount; ++i) {
            const PickItem& p = Data.Picks(i);
            ids.push_back(
                out.DefVar(nc_.variName(p.varNumber, p.datasetIndex),
                           static_cast<nc_type>(nc_.variType(p.varNumber, p.datasetIndex)), dims));
        }
        for (Long i = 1; i <= Data.PickCount; ++i) {
            const PickItem& p = Data.Picks(i);
            CopyAttributes(*sources_[p.datasetIndex], static_cast<int>(p.varNumber - 1), out,
                           ids[static_cast<std::size_t>(i - 1)],
                           nc_.variName(p.varNumber, p.datasetIndex));
        }
        return ids;
    }

    // The whole of a variable's block in the new file: its length along each dimension.
    static void wholeBlock(const NcOut& out, int var, std::vector<std::size_t>& start,
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

    template <class T> static void putAlong(NcOut& out, int var, const VArray<T>& values, Long n) {
        if (n < 1) return;
        out.PutVara(var, {0}, {static_cast<std::size_t>(n)}, values.data());
    }

    void writeCoordinate(NcOut& out, const Written& w) {
        switch (w.role) {
        case Role::Lon:
        case Role::Lat: {
            const VArray<float>& cut = w.role == Role::Lon ? sd_.lonSub : sd_.latSub;
            std::vector<std::size_t> start, count;
            wholeBlock(out, w.out, start, count);
            std::size_t n = 1;
            for (std::size_t c : count)
                n *= c;
            if (n != cut.size()) throw RuntimeError(err::Subscript);
            if (n > 0) out.PutVara(w.out, start, count, cut.data());
            break;
        }
        case Role::Time:
            putAlong(out, w.out, sd_.timeSub, sd_.nTimeSub);
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
            read(nc_.GetVarSDouble(w.var, start, count, stride, values, 1));
            putAlong(out, w.out, values, length);
            break;
        }
        }
    }

    static void read(const Variant& result) {
        if (result.IsEmpty() || result.toLong() != 1) throw ReadFailure();
    }

    template <class T, class Read>
    void copyBlock(NcOut& out, int var, const std::vector<std::size_t>& count, Long size,
                   Read&& readInto) {
        VArray<T> values(1, size);
        read(readInto(values));
        out.PutVara(var, std::vector<std::size_t>(count.size(), 0), count, values.data());
    }

    // One strided read of the pick's cut and one block write.
    void writePick(NcOut& out, const PickItem& p, int var) {
        const int64_t total = sd_.valueCount();
        if (total < 1) return;
        if (total > std::numeric_limits<Long>::max()) throw RuntimeError(err::Overflow);
        const Long size = static_cast<Long>(total);
        std::vector<std::size_t> count;
        for (Long d = 1; d <= sd_.rank(); ++d)
            count.push_back(static_cast<std::size_t>(sd_.countSub(d)));
        const Long v = p.varNumber, slot = p.datasetIndex;
        const auto& s = sd_.startSub;
        const auto& c = sd_.countSub;
        const auto& k = sd_.strideSub;
        switch (nc_.variType(v, slot)) {
        case NC_BYTE:
        case NC_SHORT:
            copyBlock<Integer>(out, var, count, size, [&](VArray<Integer>& a) {
                return nc_.GetVarSShort(v, s, c, k, a, slot);
            });
            break;
        case NC_INT:
            copyBlock<Long>(out, var, count, size,
                            [&](VArray<Long>& a) { return nc_.GetVarSLong(v, s, c, k, a, slot); });
            break;
        case NC_FLOAT:
            copyBlock<float>(out, var, count, size, [&](VArray<float>& a) {
                return nc_.GetVarSFloat(v, s, c, k, a, slot);
            });
            break;
        case NC_DOUBLE:
            copyBlock<double>(out, var, count, size, [&](VArray<double>& a) {
                return nc_.GetVarSDouble(v, s, c, k, a, slot);
            });
            break;
        default:
            // Text is kept out of the values; the variable stays with its attributes.
            message(unexpectedType(nc_.variName(v, slot), nc_.variType(v, slot)));
            break;
        }
    }

    IKelvad& nc_;
    const SubsetDescription& sd_;
    std::unique_ptr<NcSource> sources_[3];
};

void errorReport(int number, const std::string& text) {
    ui().MsgBox("Error message (number " + CStr(Long{number}) + ")is:" + kCrLf + kCrLf + "\"" +
                    text + "\"",
                kOkOnly, kWho);
}

} // namespace

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

void ClosePickDatasets(IKelvad& nc) {
    if (Data.PickCount < 1) return;
    const Long first = Data.Picks(1).datasetIndex;
    nc.CloseNC(first);
    if (Data.PickCount > 1 && Data.Picks(2).datasetIndex > first)
        nc.CloseNC(Data.Picks(2).datasetIndex);
}

Long CreateNc(const std::string& path, const SubsetDescription& sd) {
    if (Data.clsNC == nullptr || Data.PickCount < 1) return -1;
    IKelvad& nc = *Data.clsNC;
    if (RefuseOpenDatasetTarget(path, kWho)) return -1;
    Long result = -1;
    try {
        SubsetWriter writer(nc, sd);
        writer.check();
        if (nc.nCelldId(1) < 0 && nc.LondId(1) < 0 && nc.LatdId(1) < 0 &&
            nc.GridType(1) != kGridGmt)
            message("[CreateNc] clsNC.ncelldId & < 0 And clsNC.londId  < 0 And clsNC.latdId  < 0");
        if (SafeOutput::WriteWhole(kWho, path,
                                   [&](const std::string& temp) { writer.write(temp); }))
            result = 1;
    } catch (const Refused&) {
    } catch (const NcFailure& f) {
        ui().MsgBox(NcErrorText(f.status()), kOkOnly + kCritical, "NetCDF Error");
    } catch (const ReadFailure&) {
        message(nc.ErrorMessage());
        errorReport(0, "");
    } catch (const RuntimeError& e) {
        errorReport(e.number(), e.description());
    } catch (const std::exception& e) {
        errorReport(0, e.what());
    }
    ClosePickDatasets(nc);
    return result;
}
