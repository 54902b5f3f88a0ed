// Times the any-type read of a whole 4320 x 2160 field against the library's own read of the
// same file into floats: a float field and a double one, both with a fill value, the double one
// scaled. Both read into outputs made beforehand, runs alternating; the best and the median
// time of each, their ratios, the same into fresh outputs, and the memory the any-type read
// holds beyond its output.
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
#include <fstream>
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

double msSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

struct Times {
    std::vector<double> ms;
    double best() const { return *std::min_element(ms.begin(), ms.end()); }
    double median() const {
        std::vector<double> s(ms);
        std::sort(s.begin(), s.end());
        const std::size_t n = s.size();
        return n % 2 ? s[n / 2] : (s[n / 2 - 1] + s[n / 2]) / 2;
    }
};

// The resident set and its high-water mark, in bytes; writing 5 to clear_refs starts the mark
// afresh from the current resident set.
long statusBytes(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(in, line))
        if (line.rfind(prefix, 0) == 0) return std::atol(line.c_str() + prefix.size()) * 1024;
    return -1;
}
bool resetPeak() {
    std::ofstream out("/proc/self/clear_refs");
    out << "5";
    out.flush();
    return static_cast<bool>(out);
}

// The memory a call holds at its peak beyond what was resident before it, in bytes (-1 where
// the system does not tell).
template <class F> long peakGrowth(F&& f) {
    if (!resetPeak()) return -1;
    const long before = statusBytes("VmRSS");
    f();
    const long peak = statusBytes("VmHWM");
    return before < 0 || peak < 0 ? -1 : peak - before;
}

Long varNumber(IKelvad& nc, const std::string& name) {
    for (Long nv = 1; nv <= nc.nVars(); ++nv)
        if (nc.variName(nv) == name) return nv;
    return 0;
}

double mb(double bytes) {
    return bytes / (1024.0 * 1024.0);
}

void timeField(IKelvad& nc, const std::string& path, const char* name, const char* label,
               int repeats) {
    const Long nv = varNumber(nc, name);
    if (nv < 1) {
        std::fprintf(stderr, "%s: no variable %s\n", path.c_str(), name);
        return;
    }
    const std::size_t n = std::size_t{kLon} * kLat;
    VArray<Long> start(1, 2), count(1, 2), stride(1, 2);
    start(1) = 1;
    start(2) = 1;
    count(1) = kLat;
    count(2) = kLon;
    stride(1) = 1;
    stride(2) = 1;
    int ncid = -1, varid = -1;
    if (!check(nc_open(path.c_str(), NC_NOWRITE, &ncid), "open")) return;
    nc_inq_varid(ncid, name, &varid);

    // Both read into an output of the right size made beforehand, so that neither pays for
    // fresh pages in the runs timed; the first read of each also warms the file's pages.
    VArray<float> out(1, static_cast<Long>(n));
    std::vector<float> raw(n);
    Long valid = 0;
    auto any = [&] {
        valid = nc.GetVarsAny(nv, -999.f, out, start, count, stride, static_cast<Long>(n)).toLong();
    };
    auto lib = [&] { nc_get_var_float(ncid, varid, raw.data()); };
    // The memory beyond the output: the first read of the field, while any buffer it keeps is
    // new.
    const long extra = peakGrowth(any);
    lib();

    // The runs alternate, so that both meet the same load of the machine.
    Times a, b;
    for (int r = 0; r < repeats; ++r) {
        auto t0 = Clock::now();
        any();
        a.ms.push_back(msSince(t0));
        t0 = Clock::now();
        lib();
        b.ms.push_back(msSince(t0));
    }
    // Into a fresh output each time: both outputs are zeroed allocations (a VArray is made
    // with its elements zeroed, as a std::vector is), their pages touched for the first time.
    Times fa, fb;
    for (int r = 0; r < std::max(1, repeats / 4); ++r) {
        auto t0 = Clock::now();
        {
            VArray<float> fresh;
            nc.GetVarsAny(nv, -999.f, fresh, start, count, stride, static_cast<Long>(n));
            fa.ms.push_back(msSince(t0));
        }
        t0 = Clock::now();
        {
            std::vector<float> fresh(n);
            nc_get_var_float(ncid, varid, fresh.data());
            fb.ms.push_back(msSince(t0));
        }
    }
    nc_close(ncid);
    // The part of the time that does not grow with the field: the reopen and the checks.
    VArray<Long> one(1, 2);
    one(1) = 1;
    one(2) = 1;
    VArray<float> first;
    Times fixed;
    for (int r = 0; r < repeats; ++r) {
        const auto t0 = Clock::now();
        nc.GetVarsAny(nv, -999.f, first, start, one, stride, 1);
        fixed.ms.push_back(msSince(t0));
    }

    std::printf("%s field, %d x %d (%zu values, %ld valid), %d runs each:\n", label, kLon, kLat, n,
                static_cast<long>(valid), repeats);
    std::printf("  GetVarsAny        best %6.1f ms  median %6.1f ms\n", a.best(), a.median());
    std::printf("  nc_get_var_float  best %6.1f ms  median %6.1f ms\n", b.best(), b.median());
    std::printf("  ratio             best %6.2f     median %6.2f     (goal: at most 1.20)\n",
                a.best() / b.best(), a.median() / b.median());
    std::printf("  fresh output: GetVarsAny %.1f ms, nc_get_var_float %.1f ms (best), ratio %.2f\n",
                fa.best(), fb.best(), fa.best() / fb.best());
    if (extra >= 0)
        std::printf(
            "  memory beyond the output at the peak of a read: %.1f MB (one slice: %.1f MB)\n",
            mb(static_cast<double>(extra)), mb(static_cast<double>(n * sizeof(float))));
    std::printf("  one-value read (the fixed part): %.3f ms (median)\n", fixed.median());
}

} // namespace

int main(int argc, char** argv) {
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
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
