#pragma once
// A regular grid whose positions and levels are stored packed, as scaled shorts: longitudes
// 100, 101, 102 (offset 100), latitudes 10 and 20 (with a fill value declared), depths 5 and 10,
// two hourly steps and a float field "sst" of 15 everywhere.
#include "tests/support/NcBuilder.h"

#include <netcdf.h>

#include <string>
#include <vector>

inline std::string WritePackedGrid(const std::string& path) {
    NcBuilder nc(path);
    nc.unlimitedDim("time", 2);
    nc.dim("depth", 2);
    nc.dim("lat", 2);
    nc.dim("lon", 3);
    nc.var("time", NC_DOUBLE, {"time"}).att("units", "hours since 2000-01-01").values({0.0, 6.0});
    nc.var("depth", NC_SHORT, {"depth"})
        .att("units", "m")
        .att("positive", "down")
        .att("scale_factor", 0.5)
        .values({10, 20});
    nc.var("lat", NC_SHORT, {"lat"})
        .att("units", "degrees_north")
        .att("scale_factor", 0.01)
        .att("_FillValue", NC_SHORT, -32767)
        .values({1000, 2000});
    nc.var("lon", NC_SHORT, {"lon"})
        .att("units", "degrees_east")
        .att("long_name", "longitude")
        .att("scale_factor", 0.01)
        .att("add_offset", 100.0)
        .values({0, 100, 200});
    nc.var("sst", NC_FLOAT, {"time", "depth", "lat", "lon"}).values(std::vector<double>(24, 15.0));
    return nc.write();
}
