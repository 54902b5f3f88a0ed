// Times the any-type read of a whole 4320 x 2160 field against the library's own read of the
// same file: a float field and a double one, both with a fill value, the double one scaled.
// Usage: read_bench [repeats]
#include "kelvadlib/IKelvad.h"
#include "runtime/VArray.h"

#include <netcdf.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kLon = 4320;
constexpr int kLat = 2160;

bool check(int status, const char* what) {
    if (status == NC_NOERR) return true;
    std::fprintf(stderr, "%s: %s\n", what, nc_strerror(status));
    return false;
}

// A global grid with a float field "tf" and a double field "td", a few cells marked.
bool writeFile(const std::string& path) {
    int ncid = -1, dims[2], lat = -1, lon = -1, tf = -1, td = -1;
    if (!check(nc_create(path.c_str(), NC_CLOBBER | NC_64BIT_OFFSET, &ncid), "create"))
        return false;
    nc_def_dim(ncid, "lat", kLat, &dims[0]);
    nc_def_dim(ncid, "lon", kLon, &dims[1]);
    nc_def_var(ncid, "lat", NC_DOUBLE, 1, &dims[0], &lat);
    nc_def_var(ncid, "lon", NC_DOUBLE, 1, &dims[1], &lon);
    nc_put_att_text(ncid, lat, "units", 13, "degrees_north");
    nc_put_att_text(ncid, lon, "units", 12, "degrees_east");
    nc_def_var(ncid, "tf", NC_FLOAT, 2, dims, &tf);
    nc_def_var(ncid, "td", NC_DOUBLE, 2, dims, &td);
    const float fillF = 1e20f;
    const double fillD = -9999, scale = 0.01, offset = 273.15;
    nc_put_att_float(ncid, tf, "_FillValue", NC_FLOAT, 1, &fillF);
    nc_put_att_double(ncid, td, "_FillValue", NC_DOUBLE, 1, &fillD);
    nc_put_att_double(ncid, td, "scale_factor", NC_DOUBLE, 1, &scale);
    nc_put_att_double(ncid, td, "add_offset", NC_DOUBLE, 1, &offset);
    if (!check(nc_enddef(ncid), "enddef")) return false;
    std::vector<double> la(kLat), lo(kLon);
    for (int j = 0; j < kLat; ++j)
        la[j] = -90 + (j + 0.5) * 180.0 / kLat;
    for (int i = 0; i < kLon; ++i)
        lo[i] = (i + 0.5) * 360.0 / kLon;
    nc_put_var_double(ncid, lat, la.data());
    nc_put_var_double(ncid, lon, lo.data());
    std::vector<float> f(std::size_t{kLon} * kLat);
    std::vector<double> d(f.size());
    for (std::size_t k = 0; k < f.size(); ++k) {
        const bool marked = k % 97 == 0;
        f[k] = marked ? fillF : static_cast<float>(std::sin(k * 1e-4) * 30);
        d[k] = marked ? fillD : std::cos(k * 1e-4) * 3000;
    }
    const bool ok = check(nc_put_var_float(ncid, tf, f.data()), "write tf") &&
                    check(nc_put_var_double(ncid, td, d.data()), "write td");
    return check(nc_close(ncid), "close") && ok;
}

using Clock = std::chrono::steady_clock;

// The fastest of the runs, in milliseconds: the figure least disturbed by the machine.
template <class F> double bestMs(int repeats, F&& f) {
    double best = 1e30;
    for (int r = 0; r < repeats; ++r) {
        const auto t0 = Clock::now();
        f();
        best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    return best;
}

Long varNumber(IKelvad& nc, const std::string& name) {
    for (Long nv = 1; nv <= nc.nVars(); ++nv)
        if (nc.variName(nv) == name) return nv;
    return 0;
}

void timeField(IKelvad& nc, const std::string& path, const char* name, const char* label,
               int repeats) {
    const Long nv = varNumber(nc, name);
    if (nv < 1) {
        std::fprintf(stderr, "%s: no variable %s\n", path.c_str(), name);
        return;
    }
    VArray<Long> start(1, 2), count(1, 2), stride(1, 2);
    start(1) = 1;
    start(2) = 1;
    count(1) = kLat;
    count(2) = kLon;
    stride(1) = 1;
    stride(2) = 1;
    VArray<float> out;
    Long valid = 0;
    const double any = bestMs(repeats, [&] {
        valid = nc.GetVarsAny(nv, -999.f, out, start, count, stride, Long{kLon} * kLat).toLong();
    });
    // The part of the time that does not grow with the field: the reopen and the checks.
    VArray<Long> one(1, 2);
    one(1) = 1;
    one(2) = 1;
    VArray<float> first;
    const double fixed =
        bestMs(repeats, [&] { nc.GetVarsAny(nv, -999.f, first, start, one, stride, 1).toLong(); });
    int ncid = -1, varid = -1;
    if (!check(nc_open(path.c_str(), NC_NOWRITE, &ncid), "open")) return;
    nc_inq_varid(ncid, name, &varid);
    std::vector<float> raw(std::size_t{kLon} * kLat);
    const double lib = bestMs(repeats, [&] { nc_get_var_float(ncid, varid, raw.data()); });
    nc_close(ncid);
    std::printf("GetVarsAny %s %dx%d: %.1f ms; nc_get_var_float: %.1f ms; ratio %.2f"
                " (%d valid; one value: %.2f ms)\n",
                label, kLon, kLat, any, lib, any / lib, valid, fixed);
}

} // namespace

int main(int argc, char** argv) {
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const auto path = (std::filesystem::temp_directory_path() /
                       ("read_bench_" + std::to_string(::getpid()) + ".nc"))
                          .string();
    if (!writeFile(path)) return 1;
    std::unique_ptr<IKelvad> nc(CreateKelvad());
    if (nc->Initialize(path) < 1) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), nc->ErrorMessage().c_str());
        std::filesystem::remove(path);
        return 1;
    }
    timeField(*nc, path, "tf", "float", repeats);
    timeField(*nc, path, "td", "double", repeats);
    nc.reset();
    std::filesystem::remove(path);
    return 0;
}
