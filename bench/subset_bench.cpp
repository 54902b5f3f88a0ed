// Times the subset save of a 100 MB field (25 steps of 720 x 1440 floats) against nccopy of
// the same window (the whole field with its coordinates), and the save of a strided window
// alone: the save reads each pick with one strided read and writes it in one block, and is to
// run at no less than half nccopy's speed. Without nccopy on the PATH its figures say "not
// available" (Debian's netcdf-bin has it).
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
#include <vector>

namespace {

constexpr int kTime = 25, kLat = 720, kLon = 1440;

bool check(int status, const char* what) {
    if (status == NC_NOERR) return true;
    std::fprintf(stderr, "%s: %s\n", what, nc_strerror(status));
    return false;
}

bool writeSource(const std::string& path) {
    int ncid = -1, dims[3], time = -1, lat = -1, lon = -1, t = -1;
    if (!check(nc_create(path.c_str(), NC_CLOBBER | NC_64BIT_OFFSET, &ncid), "create"))
        return false;
    nc_def_dim(ncid, "time", NC_UNLIMITED, &dims[0]);
    nc_def_dim(ncid, "lat", kLat, &dims[1]);
    nc_def_dim(ncid, "lon", kLon, &dims[2]);
    nc_def_var(ncid, "time", NC_DOUBLE, 1, &dims[0], &time);
    nc_def_var(ncid, "lat", NC_FLOAT, 1, &dims[1], &lat);
    nc_def_var(ncid, "lon", NC_FLOAT, 1, &dims[2], &lon);
    nc_def_var(ncid, "t", NC_FLOAT, 3, dims, &t);
    nc_put_att_text(ncid, time, "units", 20, "days since 2000-1-1 ");
    nc_put_att_text(ncid, lat, "units", 13, "degrees_north");
    nc_put_att_text(ncid, lon, "units", 12, "degrees_east");
    const float fill = 1e20f;
    nc_put_att_float(ncid, t, "_FillValue", NC_FLOAT, 1, &fill);
    if (!check(nc_enddef(ncid), "enddef")) return false;
    std::vector<float> la(kLat), lo(kLon), plane(static_cast<std::size_t>(kLat) * kLon);
    for (int j = 0; j < kLat; ++j)
        la[j] = -90 + (j + 0.5f) * 0.25f;
    for (int i = 0; i < kLon; ++i)
        lo[i] = (i + 0.5f) * 0.25f;
    nc_put_var_float(ncid, lat, la.data());
    nc_put_var_float(ncid, lon, lo.data());
    for (int n = 0; n < kTime; ++n) {
        const double day = n;
        const std::size_t one = 1, at = static_cast<std::size_t>(n);
        nc_put_vara_double(ncid, time, &at, &one, &day);
        for (std::size_t k = 0; k < plane.size(); ++k)
            plane[k] = static_cast<float>((k * 7 + static_cast<std::size_t>(n)) % 1000) / 10;
        const std::size_t start[3] = {at, 0, 0}, count[3] = {1, kLat, kLon};
        if (!check(nc_put_vara_float(ncid, t, start, count, plane.data()), "put")) return false;
    }
    return check(nc_close(ncid), "close");
}

bool haveNccopy() {
    return std::system("command -v nccopy >/dev/null 2>&1") == 0;
}

void setRow(Long d, Long start, Long end, Long step) {
    defaultExportHost().rows[static_cast<std::size_t>(d - 1)] = {Str(start), Str(end), Str(step),
                                                                 ""};
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 3;
    const std::string source = folder + "/subset_bench_source.nc";
    const std::string saved = folder + "/subset_bench_saved.nc";
    const std::string copied = folder + "/subset_bench_copied.nc";
    if (!writeSource(source)) return 1;

    std::unique_ptr<IKelvad> nc(CreateKelvad());
    if (!bench::load(*nc, source)) return 1;
    bench::pick(nc->variNum("t", 1), 3);

    auto save = [&](const char* what) {
        SubsetDescription sd;
        if (SubSetNcDomain(sd) != 1) return -1.0;
        const double ms = bench::bestMs(repeats, [&] { CreateNc(saved, sd); });
        std::printf("%-34s %9.1f ms  %7.1f MB/s\n", what, ms,
                    static_cast<double>(sd.valueCount()) * 4 / 1e6 / (ms / 1000));
        return ms;
    };

    setRow(1, 1, kTime, 1);
    setRow(2, 1, kLat, 1);
    setRow(3, 1, kLon, 1);
    const double whole = save("subset save, whole field");
    if (haveNccopy()) {
        const std::string command =
            "nccopy -k classic -v time,lat,lon,t '" + source + "' '" + copied + "'";
        const double ms = bench::bestMs(repeats, [&] {
            if (std::system(command.c_str()) != 0) std::fprintf(stderr, "nccopy failed\n");
        });
        std::printf("%-34s %9.1f ms\n", "nccopy, the same window", ms);
        std::printf("%-34s %9.2f (at most 2)\n", "save / nccopy", whole / ms);
        std::filesystem::remove(copied);
    } else {
        std::printf("%-34s not available\n", "nccopy, the same window");
    }

    setRow(1, 1, kTime, 2);
    setRow(2, 1, kLat, 2);
    setRow(3, 1, kLon, 2);
    save("subset save, every second index");

    std::filesystem::remove(saved);
    std::filesystem::remove(source);
    Data.clsNC = nullptr;
    return 0;
}
