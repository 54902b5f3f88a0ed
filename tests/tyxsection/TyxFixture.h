#pragma once
// Datasets for the section control's tests: files written from CDL, and the regular grid with
// levels and time that most tests open.
#include "tests/support/NcBuilder.h"
#include "tests/support/TempDir.h"
#include "tyxsection/ocxNetNc.h"

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// prefix followed by the number: "t3.nc" from ("t", 3, ".nc"). (Built by appending: GCC 12
// warns wrongly about a text put in front of a number's.)
inline std::string numbered(const char* prefix, int n, const char* suffix = "") {
    std::string s = prefix;
    s += std::to_string(n);
    s += suffix;
    return s;
}

// The whole content of a file, "" when there is none.
inline std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Writes the CDL text into the folder; the file's path.
inline std::string cdlFile(const TempDir& dir, const std::string& name, const std::string& cdl,
                           NcFormat format = NcFormat::Classic) {
    const std::string path = dir.file(name);
    writeCdl(cdl, path, format);
    return path;
}

// The header of a file read into a fresh record (its file closed again).
inline OcxNcf headerOf(const std::string& path, std::string& message) {
    OcxNcf ncf;
    if (ocxGetNCHeader(ncf, path, 1, message) != 1)
        throw std::runtime_error("header not read: " + message);
    return ncf;
}

// What the regular grid file holds.
struct GridFile {
    bool descendingLat = false;
    bool withLevels = true;
    bool withTime = true;
    std::string timeUnits = "days since 1990-01-01";
    std::vector<double> times = {0, 31, 59};
    NcFormat format = NcFormat::Classic;
};

// A model's grid: time(3), depth(4) in metres, lat(3) from -10 by 5 (or from 0 down by 5),
// lon(4) from 100 by 10; temp(time, depth, lat, lon) as floats with a fill value, salt(depth,
// lat, lon) as packed shorts, and a surface field ssh(time, lat, lon). Value of temp at
// (t, k, j, i), all from 0: 1000 t + 100 k + 10 j + i.
inline std::string writeGridFile(const TempDir& dir, const std::string& name,
                                 const GridFile& f = {}) {
    NcBuilder nc(dir.file(name), f.format);
    const std::size_t nt = f.withTime ? f.times.size() : 1, nk = f.withLevels ? 4 : 1, nj = 3,
                      ni = 4;
    if (f.withTime) nc.unlimitedDim("time", nt);
    if (f.withLevels) nc.dim("depth", nk);
    nc.dim("lat", nj);
    nc.dim("lon", ni);
    if (f.withTime) nc.var("time", NC_DOUBLE, {"time"}).att("units", f.timeUnits).values(f.times);
    if (f.withLevels)
        nc.var("depth", NC_FLOAT, {"depth"})
            .att("units", "m")
            .att("positive", "down")
            .values({5.0, 15.0, 30.0, 60.0});
    std::vector<double> lat;
    for (std::size_t j = 0; j < nj; ++j)
        lat.push_back(f.descendingLat ? -5.0 * j : -10.0 + 5.0 * j);
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values(lat);
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values({100, 110, 120, 130});

    std::vector<std::string> dims4, dims3, dims2;
    if (f.withTime) {
        dims4.push_back("time");
        dims2.push_back("time");
    }
    if (f.withLevels) {
        dims4.push_back("depth");
        dims3.push_back("depth");
    }
    for (const char* d : {"lat", "lon"}) {
        dims4.push_back(d);
        dims3.push_back(d);
        dims2.push_back(d);
    }
    std::vector<double> temp;
    for (std::size_t t = 0; t < nt; ++t)
        for (std::size_t k = 0; k < nk; ++k)
            for (std::size_t j = 0; j < nj; ++j)
                for (std::size_t i = 0; i < ni; ++i)
                    temp.push_back(1000.0 * t + 100.0 * k + 10.0 * j + i);
    nc.var("temp", NC_FLOAT, dims4)
        .att("long_name", "sea water temperature")
        .att("units", "degC")
        .att("_FillValue", NC_FLOAT, 1e20f)
        .values(temp);
    nc.var("salt", NC_SHORT, dims3)
        .att("units", "psu")
        .att("scale_factor", 0.01f)
        .att("add_offset", 30.0f)
        .att("missing_value", NC_SHORT, -32767)
        .values(std::vector<double>(nk * nj * ni, 500));
    nc.var("ssh", NC_FLOAT, dims2).values(std::vector<double>(nt * nj * ni, 0.5));
    nc.globalAtt("title", "a small model run");
    return nc.write();
}
