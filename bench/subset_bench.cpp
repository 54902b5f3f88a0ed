// Times the subset save against nccopy of the same window on two fields of familiar shapes:
// an etopo5-shaped relief (2160 x 4320 shorts at 5 minutes, with double coordinates) and a
// levitus-shaped climatology (12 months x 24 depths x 180 x 360 floats). The window is the
// whole field with its coordinates, which nccopy can copy too. The save reads and writes slab
// by slab, so it is to take at most 1.5 times nccopy's time, and the memory it takes beyond
// what the program held before is bounded by the slab, not by the field. Without nccopy on the
// PATH its figures say "not available" (Debian's netcdf-bin has it).
// Usage: subset_bench [folder] [repeats]
#include "bench/BenchFields.h"
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

using bench::check;
using bench::Shape;
using bench::writeSource;

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
    const Shape levitus{"levitus", "t_an",
                        NC_FLOAT,  {{"time", 12}, {"depth", 24}, {"lat", 180}, {"lon", 360}},
                        NC_FLOAT,  1.0};
    run(folder, repeats, bench::kEtopo5);
    run(folder, repeats, levitus);
    return 0;
}
