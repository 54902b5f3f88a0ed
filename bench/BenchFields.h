#pragma once
// Benchmark fields of familiar shapes, written with netCDF-C: coordinate variables for every
// dimension and one field, written one outer step at a time.
#include <netcdf.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace bench {

inline bool check(int status, const char* what) {
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
inline bool writeSource(const std::string& path, const Shape& s) {
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

// An etopo5-shaped relief: heights as shorts on a 5-minute grid, with double coordinates.
inline const Shape kEtopo5{"etopo5", "elev", NC_SHORT, {{"lat", 2160}, {"lon", 4320}},
                           NC_DOUBLE, 1.0 / 12};

} // namespace bench
