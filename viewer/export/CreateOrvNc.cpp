#include "viewer/export/CreateOrvNc.h"

#include "common/NetCDF.h"
#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "viewer/export/NcWriter.h"
#include "viewer/export/RecastTime.h"
#include "viewer/export/SafeOutput.h"
#include "viewer/export/SubsetDescription.h"
#include "viewer/export/SubsetWriter.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/VectorStages.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kWho = "CreateOrvNc";
constexpr float kNoVal = -1e35f;
constexpr float kOrvMissing = -99999.0f;
constexpr const char* kMismatchText =
    "[CreateOrvNc] countp&(nd&) <= 0 Or tcount& <= 0: Geogrphical miss-match";

void message(const std::string& text) {
    ui().MsgBox(text, kOkOnly, kProgramTitle);
}

[[noreturn]] void refuse(const std::string& text) {
    message(text);
    throw Refused();
}

// The indices taken along one dimension (1-based).
struct Cut {
    Long start = 1, count = 0, stride = 1;
    bool byRow = false; // the first pick's row cuts it
};

// Dimension g of the main dataset as the description cuts it: the first pick's row, or the
// whole dimension when the pick does not lie over it.
Cut cutOf(const SubsetDescription& sd, Long g, Long length) {
    for (Long d = 1; d <= sd.rank(); ++d)
        if (sd.dimIds(d) == g) return {sd.startSub(d), sd.countSub(d), sd.strideSub(d), true};
    return {1, length, 1, false};
}

// One variable of the file and the source variable it is read from.
struct OrvVar {
    const char* name = "";
    const char* longName = "";
    const char* units = "";
    bool wind = false;
    Long source = -1; // variable number in the main dataset
    int out = -1;
    // The read of one step, in the source variable's own dimension order.
    VArray<Long> start, count, stride;
    Long timePos = 0;
    bool lonBeforeLat = false;
    VArray<float> values;
};

// The water pair, the wind pair or the temperature, written one after the other.
struct OrvItem {
    std::vector<OrvVar> vars;
    float factor = 1;
};

class CellLayoutWriter {
public:
    CellLayoutWriter(IKelvad& nc, const SubsetDescription& sd, const OrvItems& ids)
        : nc_(nc), sd_(sd), ids_(ids) {}

    // Everything that decides whether the file can be written, before there is one.
    void check() {
        const Long lonD = nc_.LondId(1), latD = nc_.LatdId(1), cellD = nc_.nCelldId(1);
        if (cellD >= 0 && lonD < 0 && latD < 0)
            refuse("[CreateOrvNc] File passed is NCELL type; expecting other kind");
        if (cellD < 0 && lonD < 0 && latD < 0)
            message("[CreateOrvNc] All dimension id are invalid");
        if (sd_.rank() < 1) throw RuntimeError(err::Subscript);
        if (lonD < 0 || latD < 0) refuse(kMismatchText);

        lon_ = cutOf(sd_, lonD, nc_.dimeSize(lonD + 1, 1));
        lat_ = cutOf(sd_, latD, nc_.dimeSize(latD + 1, 1));
        const int64_t cells = int64_t{lon_.count} * lat_.count;
        if (lon_.count < 1 || lat_.count < 1 || lon_.count != sd_.nLonSub ||
            lat_.count != sd_.nLatSub || cells > std::numeric_limits<Long>::max())
            refuse(kMismatchText);
        ncells_ = static_cast<Long>(cells);

        recasttime(axis_);
        if (!axis_.carried) throw Refused();
        const Long timeD = nc_.TimedId(1);
        const Cut time = cutOf(sd_, timeD, nc_.nTime(1));
        for (Long r = 0; r < time.count; ++r)
            steps_.push_back(time.start + r * time.stride);

        const Long levelD = nc_.LeveldId(1);
        if (levelD >= 0) {
            const Cut level = cutOf(sd_, levelD, nc_.kMax(1));
            if (level.byRow && level.count != 1)
                refuse(std::string("[CreateOrvNc] The cell layout holds one level:") + kCrLf +
                       kCrLf + "set the row of dimension " + nc_.dimeName(levelD + 1, 1) +
                       " to a single level.");
            level_ = level.byRow
                         ? level.start
                         : std::clamp(Data.CurLevel, Long{1}, std::max(Long{1}, nc_.kMax(1)));
        }

        if (ids_.waterU >= 1 && ids_.waterV >= 1) {
            OrvItem water;
            water.vars = {var("U", "eastward water velocity", "meter/sec", false, ids_.waterU),
                          var("V", "northward water velocity", "meter/sec", false, ids_.waterV)};
            // Velocities go out in metres a second.
            if (IsCentimetreUnit(nc_.variUnit(ids_.waterU, 1))) water.factor = 0.01f;
            items_.push_back(std::move(water));
        }
        if (ids_.windU >= 1 && ids_.windV >= 1) {
            OrvItem wind;
            wind.vars = {var("wind_u", "eastward wind velocity", "meter/sec", true, ids_.windU),
                         var("wind_v", "northward wind velocity", "meter/sec", true, ids_.windV)};
            items_.push_back(std::move(wind));
        }
        if (ids_.temp >= 1) {
            OrvItem temp;
            temp.vars = {var("water_temp", "surface water temperature", "degC", false, ids_.temp)};
            items_.push_back(std::move(temp));
        }
    }

    void write(const std::string& temp) {
        const NcSource mainSource(nc_.FName(1));
        NcOut out = NcOut::Create(temp);
        // Every value of every variable is written below.
        out.NoFill();
        const int cells = out.DefDim("ncells", static_cast<std::size_t>(ncells_));
        const int time = out.DefDim("time", NC_UNLIMITED);
        const int cellVar = out.DefVar("ncells", NC_INT, {cells});
        const int timeVar = out.DefVar("time", NC_INT, {time});
        out.PutAttText(timeVar, "units", "minutes since 2000-01-01 00:00");
        out.PutAttText(timeVar, "reference", "UTC");
        const int lonVar = out.DefVar("lon", NC_FLOAT, {cells});
        out.PutAttText(lonVar, "long_name", "Cell longitude");
        out.PutAttText(lonVar, "units", "degrees_east");
        const int latVar = out.DefVar("lat", NC_FLOAT, {cells});
        out.PutAttText(latVar, "long_name", "Cell latitude");
        out.PutAttText(latVar, "units", "degrees_north");
        for (OrvItem& item : items_)
            for (OrvVar& v : item.vars) {
                v.out = out.DefVar(v.name, NC_FLOAT, {time, cells});
                out.PutAttText(v.out, "long_name", v.longName);
                out.PutAttText(v.out, "units", v.units);
                out.PutAttText(v.out, "missing_value", "-99999.0");
                if (v.wind) out.PutAttText(v.out, "direction", "blow toward");
            }
        out.PutAttText(NC_GLOBAL, "Orv_Comment",
                       "Original global attributes are copied and may not reflect actual contents");
        PutSubsetGlobals(out, mainSource, nc_, sd_);
        out.EndDef();

        const std::vector<std::size_t> all{static_cast<std::size_t>(ncells_)};
        // "ncells" has no values: readers see the fill value, as for a variable never written.
        const std::vector<int> fill(static_cast<std::size_t>(ncells_), NC_FILL_INT);
        out.PutVara(cellVar, {0}, all, fill.data());
        const VArray<float> lonCut = positions(nc_.lonvId(1), nc_.LondId(1), lon_, sd_.lonSub);
        const VArray<float> latCut = positions(nc_.latvId(1), nc_.LatdId(1), lat_, sd_.latSub);
        std::vector<float> lon, lat;
        for (Long j = 1; j <= lat_.count; ++j)
            for (Long i = 1; i <= lon_.count; ++i) {
                lon.push_back(lonCut(i));
                lat.push_back(latCut(j));
            }
        out.PutVara(lonVar, {0}, all, lon.data());
        out.PutVara(latVar, {0}, all, lat.data());
        std::vector<int> minutes;
        for (Long k : steps_)
            minutes.push_back(axis_.RecastMinutes(k));
        if (!minutes.empty()) out.PutVara(timeVar, {0}, {minutes.size()}, minutes.data());

        std::vector<float> record(static_cast<std::size_t>(ncells_));
        for (OrvItem& item : items_)
            for (std::size_t r = 0; r < steps_.size(); ++r) {
                for (OrvVar& v : item.vars)
                    read(v, steps_[r]);
                convert(item);
                for (OrvVar& v : item.vars) {
                    placeInCells(v, record);
                    out.PutVara(v.out, {r, 0}, {1, static_cast<std::size_t>(ncells_)},
                                record.data());
                }
            }
        out.Close();
    }

private:
    // A file variable read from source variable v, with its read laid out over v's own
    // dimensions; refused when v does not lie over the grid and the time axis alone.
    OrvVar var(const char* name, const char* longName, const char* units, bool wind, Long v) {
        OrvVar out;
        out.name = name;
        out.longName = longName;
        out.units = units;
        out.wind = wind;
        out.source = v;
        auto notInLayout = [&](const std::string& why) {
            std::string text("[CreateOrvNc] ");
            text.append(nc_.variName(v, 1)).append(" cannot be written in the cell layout:");
            refuse(text.append(kCrLf).append(kCrLf).append(why));
        };
        const Long rank = nc_.variNarray(v, 1);
        const Long lonD = nc_.LondId(1), latD = nc_.LatdId(1), timeD = nc_.TimedId(1);
        const Long levelD = nc_.LeveldId(1);
        Long lonPos = 0, latPos = 0;
        if (rank >= 1) {
            out.start.ReDim(1, rank);
            out.count.ReDim(1, rank);
            out.stride.ReDim(1, rank);
        }
        for (Long d = 1; d <= rank; ++d) {
            const Long g = nc_.variArrayDimID(v, d, 1);
            Cut c{1, 1, 1};
            if (g == lonD) {
                c = lon_;
                lonPos = d;
            } else if (g == latD) {
                c = lat_;
                latPos = d;
            } else if (g == timeD) {
                out.timePos = d;
            } else if (g == levelD) {
                c.start = level_;
            } else if (nc_.dimeSize(g + 1, 1) != 1) {
                notInLayout("its dimension " + nc_.dimeName(g + 1, 1) +
                            " is none of longitude, latitude, level and time.");
            }
            out.start(d) = c.start;
            out.count(d) = c.count;
            out.stride(d) = c.stride;
        }
        if (lonPos == 0 || latPos == 0)
            notInLayout("it does not lie over the longitude and latitude of the grid.");
        if (out.timePos == 0)
            notInLayout("it has no time dimension; the file holds one record per time step.");
        out.lonBeforeLat = lonPos < latPos;
        return out;
    }

    // The positions of the cut as the source's coordinate variable v holds them (not the
    // viewer's arrays, which may be moved across the date line or held in radians); the cut's
    // own when v is no coordinate variable of the dimension.
    VArray<float> positions(Long v, Long dim, const Cut& cut, const VArray<float>& fallback) {
        if (v < 1 || nc_.variNarray(v, 1) != 1 || nc_.variArrayDimID(v, 1, 1) != dim)
            return fallback;
        VArray<Long> start(1, 1), count(1, 1), stride(1, 1);
        start(1) = cut.start;
        count(1) = cut.count;
        stride(1) = cut.stride;
        VArray<float> values(1, cut.count);
        const Variant result = nc_.GetVarSFloat(v, start, count, stride, values, 1);
        if (result.IsEmpty() || result.toLong() != 1) throw ReadFailure();
        return values;
    }

    // One strided read of step k of the variable.
    void read(OrvVar& v, Long k) {
        v.start(v.timePos) = k;
        const Variant result =
            nc_.GetVarsAny(v.source, kNoVal, v.values, v.start, v.count, v.stride, ncells_, 1);
        if (result.IsEmpty() || result.toLong() < 0 ||
            static_cast<Long>(v.values.size()) != ncells_)
            throw ReadFailure();
    }

    // Missing values become the file's mark (a point of a pair missing in either component is
    // missing in both); velocities go to metres a second.
    static void convert(OrvItem& item) {
        const std::size_t n = item.vars[0].values.size();
        float* u = item.vars[0].values.data();
        float* v = item.vars.size() > 1 ? item.vars[1].values.data() : nullptr;
        for (std::size_t k = 0; k < n; ++k) {
            if (u[k] <= kNoVal || (v && v[k] <= kNoVal)) {
                u[k] = kOrvMissing;
                if (v) v[k] = kOrvMissing;
            } else {
                u[k] *= item.factor;
                if (v) v[k] *= item.factor;
            }
        }
    }

    // The values of a read, in the variable's order, into cell order (latitude outer).
    void placeInCells(const OrvVar& v, std::vector<float>& record) const {
        const Long nLon = lon_.count, nLat = lat_.count;
        const float* read = v.values.data();
        std::size_t k = 0;
        for (Long j = 0; j < nLat; ++j)
            for (Long i = 0; i < nLon; ++i)
                record[k++] = read[v.lonBeforeLat ? i * nLat + j : j * nLon + i];
    }

    IKelvad& nc_;
    const SubsetDescription& sd_;
    const OrvItems& ids_;
    Cut lon_, lat_;
    Long ncells_ = 0;
    Long level_ = 1;
    RecastAxis axis_;
    std::vector<Long> steps_;
    std::vector<OrvItem> items_;
};

// Closes the picks' datasets however the writer leaves.
struct PickDatasetsClosed {
    IKelvad& nc;
    const SubsetDescription& sd;
    ~PickDatasetsClosed() { ClosePickDatasets(nc, sd); }
};

} // namespace

Long CreateOrvNc(SaveTarget target, const SubsetDescription& sd, const OrvItems& items) {
    if (Data.clsNC == nullptr) return -1;
    IKelvad& nc = *Data.clsNC;
    if (!target.Claim(kWho)) return -1;
    const PickDatasetsClosed closed{nc, sd};
    Long result = -1;
    try {
        CellLayoutWriter writer(nc, sd, items);
        writer.check();
        result = WriteWhole(target, kWho, [&](const std::string& temp) { writer.write(temp); });
    } catch (const Refused&) {
    } catch (const NcFailure& f) {
        ui().MsgBox(f.Text(), kOkOnly + kCritical, "NetCDF Error");
    } catch (const ReadFailure&) {
        ui().MsgBox(nc.ErrorMessage(), kOkOnly + kCritical, "NetCDF Error");
    }
    return result;
}

Long AppendOrvNc(const std::string& path) {
    message(std::string("[AppendOrvNc] Appending to a cell-layout file is not supported:") + kCrLf +
            kCrLf + "file   : " + path + kCrLf + kCrLf + "The file is left as it was.");
    return 0;
}
