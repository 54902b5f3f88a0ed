// Times the read of a whole etopo5-shaped field (4320 x 2160 shorts) over OPeNDAP from the DAP
// test server (tools/dapserve on 127.0.0.1) against netCDF-C's nc_get_vara_float of the same
// URL: the requests each read makes and its time, best of the runs, and their ratios. The
// requests of opening the dataset are not counted; both reads run on a dataset just opened.
// Usage: dap_read_bench [repeats]
#include "kelvadlib/IKelvad.h"
#include "runtime/VArray.h"
#include "tests/support/DapServer.h"
#include "tests/support/TempDir.h"

#include <netcdf.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kLon = 4320;
constexpr int kLat = 2160;

// Heights in metres as etopo5 holds them, shorts on a 5-minute grid.
bool writeEtopo5(const std::string& path) {
    int ncid = -1, dims[2], lat = -1, lon = -1, h = -1;
    if (nc_create(path.c_str(), NC_CLOBBER, &ncid) != NC_NOERR) return false;
    nc_def_dim(ncid, "lat", kLat, &dims[0]);
    nc_def_dim(ncid, "lon", kLon, &dims[1]);
    nc_def_var(ncid, "lat", NC_DOUBLE, 1, &dims[0], &lat);
    nc_def_var(ncid, "lon", NC_DOUBLE, 1, &dims[1], &lon);
    nc_put_att_text(ncid, lat, "units", 13, "degrees_north");
    nc_put_att_text(ncid, lon, "units", 12, "degrees_east");
    nc_def_var(ncid, "height", NC_SHORT, 2, dims, &h);
    nc_put_att_text(ncid, h, "units", 1, "m");
    if (nc_enddef(ncid) != NC_NOERR) return false;
    std::vector<double> la(kLat), lo(kLon);
    for (int j = 0; j < kLat; ++j)
        la[static_cast<std::size_t>(j)] = 90.0 - j / 12.0;
    for (int i = 0; i < kLon; ++i)
        lo[static_cast<std::size_t>(i)] = i / 12.0;
    nc_put_var_double(ncid, lat, la.data());
    nc_put_var_double(ncid, lon, lo.data());
    std::vector<short> v(std::size_t{kLon} * kLat);
    for (std::size_t k = 0; k < v.size(); ++k)
        v[k] = static_cast<short>(static_cast<int>(k % 9000) - 5000);
    const int put = nc_put_var_short(ncid, h, v.data());
    return nc_close(ncid) == NC_NOERR && put == NC_NOERR;
}

std::size_t lines(const std::string& path) {
    std::ifstream in(path);
    std::size_t n = 0;
    for (std::string line; std::getline(in, line);)
        ++n;
    return n;
}

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

struct Figure {
    double bestMs = 1e300;
    std::size_t requests = 0;
};

} // namespace

int main(int argc, char** argv) {
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    TempDir dir;
    if (!writeEtopo5(dir.file("etopo5.nc"))) {
        std::fprintf(stderr, "dap_read_bench: cannot write the field\n");
        return 1;
    }
    const std::string log = dir.file("requests.log");
    setenv("DAPSERVE_LOG", log.c_str(), 1);
    DapServer server(DAPSERVE_PATH, dir.path().string());
    unsetenv("DAPSERVE_LOG");
    const std::string url = server.url("etopo5.nc");

    const std::size_t n = std::size_t{kLon} * kLat;
    VArray<Long> start(1, 2), count(1, 2);
    start(1) = 1, start(2) = 1, count(1) = kLat, count(2) = kLon;
    VArray<float> values(1, static_cast<Long>(n));
    std::vector<float> reference(n);
    const std::size_t ncStart[2] = {0, 0}, ncCount[2] = {kLat, kLon};

    // The client keeps what it fetched: every run opens the dataset afresh, so that each read
    // goes to the server.
    Figure ours, theirs;
    for (int r = 0; r < repeats; ++r) {
        std::unique_ptr<IKelvad> k(CreateKelvad());
        if (k->Initialize(url) != 1) {
            std::fprintf(stderr, "dap_read_bench: %s\n", k->ErrorMessage().c_str());
            return 1;
        }
        const Long nvar = k->variNum("height");
        std::size_t before = lines(log);
        Clock::time_point t0 = Clock::now();
        if (CLng(k->GetVaraAny(nvar, -1e35f, values, start, count, static_cast<Long>(n))) <= 0) {
            std::fprintf(stderr, "dap_read_bench: %s\n", k->ErrorMessage().c_str());
            return 1;
        }
        ours.bestMs = std::min(ours.bestMs, msSince(t0));
        ours.requests = lines(log) - before;

        int ncid = -1, varid = -1;
        if (nc_open(url.c_str(), NC_NOWRITE, &ncid) != NC_NOERR ||
            nc_inq_varid(ncid, "height", &varid) != NC_NOERR) {
            std::fprintf(stderr, "dap_read_bench: nc_open of %s failed\n", url.c_str());
            return 1;
        }
        before = lines(log);
        t0 = Clock::now();
        if (nc_get_vara_float(ncid, varid, ncStart, ncCount, reference.data()) != NC_NOERR) {
            std::fprintf(stderr, "dap_read_bench: nc_get_vara_float failed\n");
            return 1;
        }
        theirs.bestMs = std::min(theirs.bestMs, msSince(t0));
        theirs.requests = lines(log) - before;
        nc_close(ncid);
    }
    for (std::size_t i = 0; i < n; i += 4099)
        if (values(static_cast<Long>(i) + 1) != reference[i]) {
            std::fprintf(stderr, "dap_read_bench: value %zu differs\n", i);
            return 1;
        }
    std::printf("whole etopo5 (%d x %d shorts) over OPeNDAP, best of %d\n", kLon, kLat, repeats);
    std::printf("  GetVaraAny         %8.1f ms  %zu requests\n", ours.bestMs, ours.requests);
    std::printf("  nc_get_vara_float  %8.1f ms  %zu requests\n", theirs.bestMs, theirs.requests);
    std::printf("  ratio              %8.2f      %.2f\n", ours.bestMs / theirs.bestMs,
                static_cast<double>(ours.requests) / static_cast<double>(theirs.requests));
    return 0;
}
