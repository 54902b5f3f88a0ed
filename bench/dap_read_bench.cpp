// Times the read of a whole etopo5-shaped field (4320 x 2160 shorts) over OPeNDAP from the DAP
// test server (tools/dapserve on 127.0.0.1) against netCDF-C's nc_get_vara_float of the same
// URL: the requests each read makes and its time, best of the runs, and their ratios. The
// requests of opening the dataset are not counted; both reads run on a dataset just opened.
// Usage: dap_read_bench [repeats]
#include "bench/BenchFields.h"
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
    if (!bench::writeSource(dir.file("etopo5.nc"), bench::kEtopo5)) {
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
        const Long nvar = k->variNum("elev");
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
            nc_inq_varid(ncid, "elev", &varid) != NC_NOERR) {
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
