// Times the load of a 346-variable file with the built-in alias lists and with every alias list
// grown by about 2,000 characters of extra names, as a long "variable alias" section of the
// settings file makes them; and the merging of those values into the lists.
// Usage: alias_bench [repeats]
#include "bench/BenchClock.h"
#include "kelvadlib/IKelvad.h"

#include <netcdf.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kVariables = 346; // four coordinates and 342 fields

bool check(int status, const char* what) {
    if (status == NC_NOERR) return true;
    std::fprintf(stderr, "%s: %s\n", what, nc_strerror(status));
    return false;
}

// A model output of the usual shape: time, depth, lat, lon and 342 fields over them.
bool writeFile(const std::string& path) {
    int ncid = -1, t = -1, z = -1, y = -1, x = -1;
    if (!check(nc_create(path.c_str(), NC_CLOBBER, &ncid), "create")) return false;
    nc_def_dim(ncid, "time", NC_UNLIMITED, &t);
    nc_def_dim(ncid, "depth", 3, &z);
    nc_def_dim(ncid, "lat", 10, &y);
    nc_def_dim(ncid, "lon", 12, &x);
    const struct {
        const char* name;
        int dim;
        const char* units;
    } coords[] = {{"time", t, "hours since 2000-01-01 00:00:00"},
                  {"depth", z, "m"},
                  {"lat", y, "degrees_north"},
                  {"lon", x, "degrees_east"}};
    for (const auto& c : coords) {
        int v = -1;
        nc_def_var(ncid, c.name, NC_DOUBLE, 1, &c.dim, &v);
        nc_put_att_text(ncid, v, "units", std::string(c.units).size(), c.units);
    }
    const int dims[4] = {t, z, y, x};
    for (int i = 1; i <= kVariables - 4; ++i) {
        const std::string name = "field_" + std::to_string(i);
        const std::string longName = "model field number " + std::to_string(i);
        int v = -1;
        nc_def_var(ncid, name.c_str(), NC_FLOAT, 2 + i % 3, dims + 2 - i % 3, &v);
        nc_put_att_text(ncid, v, "units", 4, "degC");
        nc_put_att_text(ncid, v, "long_name", longName.size(), longName.c_str());
    }
    if (!check(nc_enddef(ncid), "enddef")) return false;
    const double times[2] = {0, 6};
    const size_t start = 0, count = 2;
    int tv = -1;
    nc_inq_varid(ncid, "time", &tv);
    nc_put_vara_double(ncid, tv, &start, &count, times);
    return check(nc_close(ncid), "close");
}

// About 2,000 characters of names that no variable of the file has.
std::string longAliasValue(const std::string& key) {
    std::string value;
    for (int i = 1; value.size() < 2000; ++i) {
        value.append(key);
        value.append("_alias_");
        value.append(std::to_string(i));
        value.push_back(' ');
    }
    return value;
}

using Let = void (IKelvad::*)(const std::string&);
const std::pair<const char*, Let> kLists[] = {
    {"water_u", &IKelvad::waterUaKa}, {"water_v", &IKelvad::waterVaKa},
    {"wind_u", &IKelvad::windUaKa},   {"wind_v", &IKelvad::windVaKa},
    {"time", &IKelvad::timeaKa},      {"lon", &IKelvad::lonaKa},
    {"lat", &IKelvad::lataKa},        {"level", &IKelvad::levelaKa},
    {"cell", &IKelvad::cellaKa},      {"node", &IKelvad::nodeaKa},
    {"element", &IKelvad::elementaKa}, {"ix", &IKelvad::ixaKa},
    {"jy", &IKelvad::jyaKa},          {"water_temp", &IKelvad::tempaKa},
};

} // namespace

int main(int argc, char** argv) {
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const auto path = (std::filesystem::temp_directory_path() /
                       ("alias_bench_" + std::to_string(::getpid()) + ".nc"))
                          .string();
    if (!writeFile(path)) return 1;

    std::vector<std::string> values;
    for (const auto& [key, let] : kLists)
        values.push_back(longAliasValue(key));

    bool ok = true;
    auto load = [&](bool longLists, bool timeMerge) {
        std::unique_ptr<IKelvad> nc(CreateKelvad());
        double merge = 0;
        if (longLists) {
            merge = bench::bestMs(1, [&] {
                for (std::size_t i = 0; i < values.size(); ++i)
                    ((*nc).*kLists[i].second)(values[i]);
            });
        }
        if (timeMerge) return merge;
        double ms = bench::bestMs(1, [&] {
            if (nc->Initialize(path) < 1) {
                std::fprintf(stderr, "%s: %s\n", path.c_str(), nc->ErrorMessage().c_str());
                ok = false;
            }
        });
        if (ok && nc->nVars() != kVariables) {
            std::fprintf(stderr, "%ld variables read, %d expected\n", static_cast<long>(nc->nVars()),
                         kVariables);
            ok = false;
        }
        return ms;
    };
    auto best = [&](bool longLists, bool timeMerge) {
        double b = 1e30;
        for (int r = 0; r < repeats && ok; ++r)
            b = std::min(b, load(longLists, timeMerge));
        return b;
    };
    const double builtIn = best(false, false);
    const double grown = best(true, false);
    const double merge = best(true, true);
    std::filesystem::remove(path);
    if (!ok) return 1;

    std::printf("load of a %d-variable file, best of %d:\n", kVariables, repeats);
    std::printf("  built-in alias lists                   %8.2f ms\n", builtIn);
    std::printf("  every list grown by ~2,000 characters  %8.2f ms  (ratio %.1f)\n", grown,
                grown / builtIn);
    std::printf("  merging the 14 grown values            %8.2f ms\n", merge);
    return 0;
}
