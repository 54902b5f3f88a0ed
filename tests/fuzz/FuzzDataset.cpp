// A dataset from bytes: the load the viewer makes and the calls that follow it (extents, time
// axis, variable and attribute lists, a 2-D read of the first data variable).
//
// An input that starts with "NC4H" is no file but a netCDF-4 header described line by line,
// which the target writes through netCDF-C (and HDF5, for names netCDF-C will not write)
// before the load: the names, lengths and sizes our buffers and allocations take from a
// header, not HDF5's own parsing, are what it varies.
//   dim NAME LENGTH        (LENGTH 0: unlimited)
//   var NAME TYPE DIM...   (TYPE a netCDF type number)
//   att VAR NAME TEXT      (VAR "-": global)
//   longatt VAR LENGTH     (an int attribute whose name is LENGTH letters long)
//   fill VAR FIRST STEP    (the values FIRST, FIRST + STEP, ...; a variable of a few thousand
//                           values at most, so that its reads read what was written)
#include "tests/fuzz/FuzzInput.h"

#include "kelvadlib/IKelvad.h"
#include "tests/support/LongNames.h"

#include <netcdf.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <sstream>
#include <vector>

namespace {

// netCDF-4 files are HDF5 files, opened by netCDF-C and HDF5 themselves: their own faults on
// malformed files are not ours to find here. HDF5 looks for its signature at 0, 512, 1024, ...
bool isHdf5(const std::uint8_t* data, std::size_t size) {
    static const char sig[] = "\x89HDF\r\n\x1a\n";
    for (std::size_t at = 0; at + 8 <= size; at = at == 0 ? 512 : at * 2)
        if (std::memcmp(data + at, sig, 8) == 0) return true;
    return false;
}

constexpr char kHeaderMark[] = "NC4H";

int varIdOf(int ncid, const std::string& name) {
    if (name == "-") return NC_GLOBAL;
    int id = -2;
    if (nc_inq_varid(ncid, name.c_str(), &id) != NC_NOERR) return -2;
    return id;
}

// The netCDF-4 file the header text describes, at path; false when not even the file could be
// made. Lines netCDF-C refuses are passed over.
bool writeDescribedHeader(const std::string& text, const std::string& path) {
    int ncid = -1;
    if (nc_create(path.c_str(), NC_NETCDF4 | NC_CLOBBER, &ncid) != NC_NOERR) return false;
    std::istringstream lines(text);
    std::string line;
    std::vector<std::pair<std::string, std::size_t>> longAtts;
    struct Fill {
        int var;
        double first, step;
    };
    std::vector<Fill> fills;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string what, name;
        words >> what >> name;
        if (what == "dim") {
            unsigned long long length = 0;
            words >> length;
            int dim = -1;
            nc_def_dim(ncid, name.c_str(), length == 0 ? NC_UNLIMITED : length, &dim);
        } else if (what == "var") {
            int type = NC_FLOAT;
            words >> type;
            std::vector<int> dims;
            std::string dimName;
            while (dims.size() < 8 && words >> dimName) {
                int dim = -1;
                if (nc_inq_dimid(ncid, dimName.c_str(), &dim) == NC_NOERR) dims.push_back(dim);
            }
            int var = -1;
            if (nc_def_var(ncid, name.c_str(), type, static_cast<int>(dims.size()), dims.data(),
                           &var) != NC_NOERR)
                continue;
            // Chunks that are never written take no room: the file stays small whatever the
            // header declares.
            if (!dims.empty()) {
                std::vector<std::size_t> chunks(dims.size(), 1);
                std::size_t last = 0;
                nc_inq_dimlen(ncid, dims.back(), &last);
                chunks.back() = last == 0 ? 64 : std::min<std::size_t>(last, 64);
                nc_def_var_chunking(ncid, var, NC_CHUNKED, chunks.data());
            }
        } else if (what == "att") {
            std::string attName, value;
            words >> attName;
            std::getline(words >> std::ws, value);
            const int var = varIdOf(ncid, name);
            if (var != -2)
                nc_put_att_text(ncid, var, attName.c_str(), value.size(), value.data());
        } else if (what == "longatt") {
            std::size_t length = 0;
            words >> length;
            if (varIdOf(ncid, name) != -2) longAtts.emplace_back(name, std::min<std::size_t>(length, 60000));
        } else if (what == "fill") {
            Fill f{varIdOf(ncid, name), 0, 1};
            words >> f.first >> f.step;
            if (f.var >= 0) fills.push_back(f);
        }
    }
    // The values once the whole header is defined.
    for (const Fill& f : fills) {
        int rank = 0;
        int dims[NC_MAX_VAR_DIMS];
        if (nc_inq_varndims(ncid, f.var, &rank) != NC_NOERR || rank > NC_MAX_VAR_DIMS ||
            nc_inq_vardimid(ncid, f.var, dims) != NC_NOERR)
            continue;
        std::vector<std::size_t> count(static_cast<std::size_t>(rank), 0);
        std::size_t n = 1;
        for (int d = 0; d < rank; ++d) {
            nc_inq_dimlen(ncid, dims[d], &count[static_cast<std::size_t>(d)]);
            n *= count[static_cast<std::size_t>(d)];
            if (n > 4096) break;
        }
        if (n == 0 || n > 4096) continue;
        std::vector<double> values(n);
        for (std::size_t i = 0; i < n; ++i)
            values[i] = f.first + f.step * static_cast<double>(i);
        const std::vector<std::size_t> start(count.size(), 0);
        nc_put_vara_double(ncid, f.var, start.data(), count.data(), values.data());
    }
    if (nc_close(ncid) != NC_NOERR) return false;
    for (const auto& [var, length] : longAtts)
        AddLongNamedAttribute(path, var == "-" ? "" : var, std::string(length, 'n'), 1);
    return true;
}

// Reads the first data variable over its last two dimensions at the first index of the
// others, as the map's read window does for one step and level.
void readFirstField(IKelvad& k, Long n) {
    const Long nv = k.Var1st(n);
    if (nv < 1) return;
    const Long rank = k.variNarray(nv, n);
    if (rank < 1) return;
    VArray<Long> start(1, rank), count(1, rank);
    Long total = 1;
    for (Long d = 1; d <= rank; ++d) {
        const Long size = k.dimeSize(k.variArrayDimID(nv, d, n) + 1, n);
        start(d) = 1; // the reads count from 1
        count(d) = d > rank - 2 ? size : (size > 0 ? 1 : 0);
        if (count(d) < 1) return;
        total *= count(d);
        // A field the size of a large map at most: the read itself is what is tested.
        if (total > (1 << 22)) return;
    }
    VArray<float> values(1, total);
    k.GetVaraAny(nv, -1e35f, values, start, count, total, n);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string path;
    if (size >= 4 && std::memcmp(data, kHeaderMark, 4) == 0) {
        path = fuzz::scratchDir() + "/described.nc";
        if (!writeDescribedHeader(std::string(reinterpret_cast<const char*>(data), size), path))
            return 0;
    } else {
        if (isHdf5(data, size)) return 0;
        path = fuzz::writeInput(data, size, "input.nc");
    }
    std::unique_ptr<IKelvad> k(CreateKelvad());
    // The time range the file list shows and the header of the CDL dump, through slot 0.
    std::string first, last;
    k->StartEndDate(path, first, last);
    k->GetHeadOnly(path);
    const Long n = k->Initialize(path);
    if (n < 1) {
        (void)k->ErrorMessage();
        return 0;
    }
    (void)k->westEnd(n);
    (void)k->eastEnd(n);
    (void)k->southEnd(n);
    (void)k->northEnd(n);
    (void)k->GridType(n);
    (void)k->dLon(n);
    (void)k->dLat(n);
    for (Long d = 1; d <= k->nDimes(n); ++d) {
        (void)k->dimeName(d, n);
        (void)k->dimeSize(d, n);
    }
    for (Long a = 1; a <= k->nGatts(n); ++a) {
        (void)k->gAttName(a, n);
        (void)k->gAttValue(a, n);
    }
    for (Long v = 1; v <= k->nVars(n); ++v) {
        (void)k->variName(v, n);
        (void)k->variKind(v, n);
        (void)k->variUnit(v, n);
        (void)k->variLongName(v, n);
        (void)k->variScale(v, n);
        (void)k->variMisnVal(v, n);
        for (Long d = 1; d <= k->variNarray(v, n); ++d)
            (void)k->variArrayDimName(v, d, n);
        for (Long a = 1; a <= k->variNattri(v, n); ++a) {
            (void)k->variAttName(v, a, n);
            (void)k->variAttValue(v, a, n);
        }
    }

    VArray<float> lon, lat;
    lon.ReDim(0, 1);
    k->FillLonLatDeg(lon, lat, n);

    const Long nTime = k->nTime(n);
    if (nTime > 0) {
        VArray<double> timeV(1, nTime);
        k->FillTime(timeV, n);
        VArray<Long> orv;
        k->FillOrvTime(orv, n);
        (void)k->StartTime(n);
        (void)k->endTime(n);
        (void)k->DatePicked(1, n);
        (void)k->DatePicked(nTime, n);
        Long nt1 = 0, nt2 = 0;
        float tw1 = 0, tw2 = 0;
        k->TimePt(Variant(k->StartTimeMin(n)), nt1, nt2, tw1, tw2, n);
        (void)k->ClosestTstep(Date(k->StartTimeMin(n) / 1440.0), n);
    }
    const Long kMax = k->kMax(n);
    if (kMax > 1) {
        VArray<double> levels(1, kMax);
        k->FillvCoord(levels, n);
    }
    readFirstField(*k, n);
    return 0;
}
