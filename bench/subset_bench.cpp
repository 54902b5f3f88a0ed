// Times the subset save against nccopy of the same window on two fields of familiar shapes:
// an etopo5-shaped relief (2160 x 4320 shorts at 5 minutes, with double coordinates) and a
// levitus-shaped climatology (12 months x 24 depths x 180 x 360 floats). The window is the
// whole field with its coordinates, which nccopy can copy too. The save reads and writes slab
// by slab, so it is to take at most 1.5 times nccopy's time, and the memory it takes beyond
// what the program held before is bounded by the slab, not by the field. Without nccopy on the
// PATH its figures say "not available" (Debian's netcdf-bin has it).
// Usage: subset_bench [folder] [repeats]
#include "bench/BenchSupport.h"

#include "kelvadlib/IKelvad.h"
#include "runtime/Text.h"
#include "viewer/export/CreateNc.h"
#include "viewer/export/ExportHost.h"
#include "viewer/export/SubsetDescription.h"

#include <netcdf.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

bool check(int status, const char* what) {
    if (status == NC_NOERR) return true;
    std::fprintf(stderr, "%s: %s\n", what, nc_strerror(status));
    return false;
}

struct Shape {
    const char* name;
    const char* variable;
    nc_type type;
    std::vector<std::pair<const char*, std::size_t>> dims; // slowest first; lat, lon last
    nc_type coordType;
    double spacing; // degrees between grid points
};

// A source of the shape: coordinate variables for every dimension and the field.
bool writeSource(const std::string& path, const Shape& s) {
    int ncid = -1;
    if (!check(nc_create(path.c_str(), NC_CLOBBER | NC_64BIT_OFFSET, &ncid), "create"))
        return false;
    std::vector<int> dims, coords;
    for (const auto& [name, len] : s.dims) {
        int d = -1, v = -1;
        const bool time = std::string(name) == "time";
        nc_def_dim(ncid, name, time ? NC_UNLIMITED : len, &d);
        nc_def_var(ncid, name, time ? NC_DOUBLE : s.coordType, 1, &d, &v);
        const std::string units = time                         ? "days since 2000-1-1"
                                  : std::string(name) == "lat" ? "degrees_north"
                                  : std::string(name) == "lon" ? "degrees_east"
                                                               : "m";
        nc_put_att_text(ncid, v, "units", units.size(), units.c_str());
        dims.push_back(d);
        coords.push_back(v);
    }
    int field = -1;
    nc_def_var(ncid, s.variable, s.type, static_cast<int>(dims.size()), dims.data(), &field);
    if (!check(nc_enddef(ncid), "enddef")) return false;
    for (std::size_t k = 0; k < s.dims.size(); ++k) {
        const std::string name = s.dims[k].first;
        std::vector<double> values(s.dims[k].second);
        for (std::size_t i = 0; i < values.size(); ++i)
            values[i] = name == "lat"    ? -90 + (i + 0.5) * s.spacing
                        : name == "lon"  ? -180 + i * s.spacing
                        : name == "time" ? 30.0 * i
                                         : 10.0 * i;
        const std::size_t start = 0, count = values.size();
        nc_put_vara_double(ncid, coords[k], &start, &count, values.data());
    }
    // One outer step at a time.
    const std::size_t n = s.dims.size();
    std::size_t plane = 1;
    for (std::size_t k = 2; k < n; ++k)
        plane *= s.dims[k].second;
    plane *= s.dims[1].second;
    std::vector<float> values(plane);
    for (std::size_t outer = 0; outer < s.dims[0].second; ++outer) {
        for (std::size_t i = 0; i < plane; ++i)
            values[i] = static_cast<float>((i * 7 + outer * 13) % 4000) - 2000;
        std::vector<std::size_t> start(n, 0), count(n);
        for (std::size_t k = 0; k < n; ++k)
            count[k] = s.dims[k].second;
        start[0] = outer;
        count[0] = 1;
        if (!check(nc_put_vara_float(ncid, field, start.data(), count.data(), values.data()),
                   "put"))
            return false;
    }
    return check(nc_close(ncid), "close");
}

bool haveNccopy() {
    return std::system("command -v nccopy >/dev/null 2>&1") == 0;
}

double peakMb() {
    struct rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024;
}

void run(const std::string& folder, int repeats, const Shape& s) {
    const std::string source = folder + "/subset_bench_source.nc";
    const std::string saved = folder + "/subset_bench_saved.nc";
    const std::string copied = folder + "/subset_bench_copied.nc";
    std::printf("== %s-shaped: %s", s.name, s.variable);
    for (const auto& [name, len] : s.dims)
        std::printf(" %s=%zu", name, len);
    std::printf("\n");
    if (!writeSource(source, s)) return;

    std::unique_ptr<IKelvad> nc(CreateKelvad());
    if (!bench::load(*nc, source)) return;
    const Long rank = static_cast<Long>(s.dims.size());
    bench::pick(nc->variNum(s.variable, 1), rank);
    for (Long d = 1; d <= rank; ++d)
        defaultExportHost().rows[static_cast<std::size_t>(d - 1)] = {
            Str(Long{1}), Str(static_cast<Long>(s.dims[static_cast<std::size_t>(d - 1)].second)),
            Str(Long{1}), ""};
    SubsetDescription sd;
    if (SubSetNcDomain(sd) != 1) return;
    const double bytes = static_cast<double>(sd.valueCount()) * (s.type == NC_SHORT ? 2 : 4);

    const double before = peakMb();
    const double ms = bench::bestMs(repeats, [&] { CreateNc(saved, sd); });
    const double grown = peakMb() - before;
    std::printf("%-34s %9.1f ms  %7.1f MB/s\n", "subset save, whole field", ms,
                bytes / 1e6 / (ms / 1000));
    std::printf("%-34s %9.1f MB (the field: %.1f MB)\n", "peak memory grown by the save", grown,
                bytes / 1e6);
    if (haveNccopy()) {
        std::string vars;
        for (const auto& d : s.dims)
            vars.append(d.first).append(",");
        vars += s.variable;
        const std::string command =
            "nccopy -k classic -v " + vars + " '" + source + "' '" + copied + "'";
        const double copyMs = bench::bestMs(repeats, [&] {
            if (std::system(command.c_str()) != 0) std::fprintf(stderr, "nccopy failed\n");
        });
        std::printf("%-34s %9.1f ms\n", "nccopy, the same window", copyMs);
        std::printf("%-34s %9.2f (at most 1.5)\n", "save / nccopy", ms / copyMs);
        std::filesystem::remove(copied);
    } else {
        std::printf("%-34s not available\n", "nccopy, the same window");
    }
    std::filesystem::remove(saved);
    std::filesystem::remove(source);
    Data.clsNC = nullptr;
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 3;
    const Shape etopo5{"etopo5",  "elev",  NC_SHORT, {{"lat", 2160}, {"lon", 4320}},
                       NC_DOUBLE, 1.0 / 12};
    const Shape levitus{"levitus", "t_an",
                        NC_FLOAT,  {{"time", 12}, {"depth", 24}, {"lat", 180}, {"lon", 360}},
                        NC_FLOAT,  1.0};
    run(folder, repeats, etopo5);
    run(folder, repeats, levitus);
    return 0;
}
