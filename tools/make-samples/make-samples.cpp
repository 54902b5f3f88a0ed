// make-samples <output-folder>
//
// Writes the bundled sample datasets, one for each horizontal layout that the dataset library
// recognises, as classic netCDF files:
//
//   regular_global.nc  regular longitude/latitude grid, monthly, depth levels, temp, u, v
//   regular_2deg.nc    the same at 2 degrees (180 x 90), January to March: the size the
//                      start-up is timed on
//   bfg_coastal.nc     boundary-fitted grid around a cape, 2-D lon/lat, hourly tidal currents
//   fe_mesh.nc         finite-element mesh of an estuary, coordinates and values per node
//   fv_mesh.nc         finite-volume mesh of a lagoon with layers, node codes, element values,
//                      coordinates on the nodes and on the elements
//   gmt_grid.nc        GMT grid (x_range, y_range, z_range, spacing, dimension, z)
//   stations.nc        station list, daily values per station
//
// The values are synthetic but smooth and plausible, so that a map shows structure. Nothing
// depends on the clock or on chance: two runs write identical files. Each file is written
// under a temporary name in the target folder and renamed once it is complete, so an
// interrupted run never leaves a half-written sample under its real name.
#include <netcdf.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr double kM2Hours = 12.42; // period of the principal lunar tide

constexpr short kShortFill = -32767;
constexpr float kFloatFill = -999.0f;

void check(int status, const std::string& what) {
    if (status != NC_NOERR) throw std::runtime_error(what + ": " + nc_strerror(status));
}

// One output file, defined and written through the netCDF-C calls. The file lives under a
// temporary name until commit() renames it over the target; if commit() is never reached the
// temporary file is removed.
class SampleFile {
public:
    explicit SampleFile(fs::path target) : target_(std::move(target)) {
        temp_ = target_.parent_path() /
                ("." + target_.filename().string() + "." + std::to_string(::getpid()) + ".part");
        check(nc_create(temp_.c_str(), NC_CLOBBER, &ncid_), "cannot create " + temp_.string());
        open_ = true;
    }
    ~SampleFile() {
        if (open_) nc_close(ncid_);
        if (!committed_) {
            std::error_code ec;
            fs::remove(temp_, ec);
        }
    }
    SampleFile(const SampleFile&) = delete;
    SampleFile& operator=(const SampleFile&) = delete;

    int dim(const std::string& name, std::size_t length) {
        int id = -1;
        check(nc_def_dim(ncid_, name.c_str(), length, &id), "dimension " + name);
        return id;
    }
    int unlimitedDim(const std::string& name) { return dim(name, NC_UNLIMITED); }

    int var(const std::string& name, nc_type type, const std::vector<int>& dims) {
        int id = -1;
        check(
            nc_def_var(ncid_, name.c_str(), type, static_cast<int>(dims.size()), dims.data(), &id),
            "variable " + name);
        return id;
    }

    void att(int var, const std::string& name, const std::string& text) {
        check(nc_put_att_text(ncid_, var, name.c_str(), text.size(), text.c_str()),
              "attribute " + name);
    }
    void att(int var, const std::string& name, const char* text) {
        att(var, name, std::string(text));
    }
    void att(int var, const std::string& name, short value) {
        check(nc_put_att_short(ncid_, var, name.c_str(), NC_SHORT, 1, &value), "attribute " + name);
    }
    void att(int var, const std::string& name, int value) {
        check(nc_put_att_int(ncid_, var, name.c_str(), NC_INT, 1, &value), "attribute " + name);
    }
    void att(int var, const std::string& name, float value) {
        check(nc_put_att_float(ncid_, var, name.c_str(), NC_FLOAT, 1, &value), "attribute " + name);
    }
    void att(int var, const std::string& name, double value) {
        check(nc_put_att_double(ncid_, var, name.c_str(), NC_DOUBLE, 1, &value),
              "attribute " + name);
    }
    void globalAtt(const std::string& name, const std::string& text) { att(NC_GLOBAL, name, text); }

    void endDefine() { check(nc_enddef(ncid_), "end of definitions"); }

    // Whole-variable writes; for a variable over the unlimited dimension the count is given.
    void put(int var, const std::vector<double>& v, const std::vector<std::size_t>& count = {}) {
        if (count.empty())
            check(nc_put_var_double(ncid_, var, v.data()), "write");
        else
            check(nc_put_vara_double(ncid_, var, zeros(count).data(), count.data(), v.data()),
                  "write");
    }
    void put(int var, const std::vector<float>& v, const std::vector<std::size_t>& count = {}) {
        if (count.empty())
            check(nc_put_var_float(ncid_, var, v.data()), "write");
        else
            check(nc_put_vara_float(ncid_, var, zeros(count).data(), count.data(), v.data()),
                  "write");
    }
    void put(int var, const std::vector<short>& v, const std::vector<std::size_t>& count = {}) {
        if (count.empty())
            check(nc_put_var_short(ncid_, var, v.data()), "write");
        else
            check(nc_put_vara_short(ncid_, var, zeros(count).data(), count.data(), v.data()),
                  "write");
    }
    void put(int var, const std::vector<int>& v, const std::vector<std::size_t>& count = {}) {
        if (count.empty())
            check(nc_put_var_int(ncid_, var, v.data()), "write");
        else
            check(nc_put_vara_int(ncid_, var, zeros(count).data(), count.data(), v.data()),
                  "write");
    }

    void commit() {
        open_ = false;
        check(nc_close(ncid_), "closing " + temp_.string());
        fs::rename(temp_, target_);
        committed_ = true;
    }

private:
    static std::vector<std::size_t> zeros(const std::vector<std::size_t>& count) {
        return std::vector<std::size_t>(count.size(), 0);
    }

    fs::path target_;
    fs::path temp_;
    int ncid_ = -1;
    bool open_ = false;
    bool committed_ = false;
};

short pack(double value, double scale, double offset) {
    return static_cast<short>(std::lround((value - offset) / scale));
}

void commonGlobals(SampleFile& f, const std::string& title) {
    f.globalAtt("title", title);
    f.globalAtt("Conventions", "CF-1.6");
    f.globalAtt("institution", "Pelorin");
    f.globalAtt("source", "make-samples: synthetic values for trying out the viewer");
    f.globalAtt("comment", "Smooth made-up fields, not observations; do not use for science.");
}

// ---------------------------------------------------------------------------------------------
// Land of the global grid: rough outlines of the continents, fine enough for a 5-degree grid.

using Polygon = std::vector<std::pair<double, double>>; // (longitude, latitude) in degrees

const std::vector<Polygon>& continents() {
    static const std::vector<Polygon> polygons = {
        // North America
        {{-168, 66}, {-156, 71}, {-130, 70}, {-110, 73}, {-85, 72},  {-80, 63},  {-93, 58},
         {-82, 52},  {-78, 62},  {-65, 60},  {-56, 52},  {-66, 44},  {-70, 41},  {-76, 35},
         {-81, 31},  {-80, 26},  {-82, 30},  {-90, 30},  {-97, 27},  {-97, 21},  {-91, 19},
         {-87, 21},  {-88, 16},  {-83, 10},  {-78, 8},   {-80, 7},   {-86, 11},  {-92, 14},
         {-105, 20}, {-110, 24}, {-112, 30}, {-118, 34}, {-124, 40}, {-124, 48}, {-133, 56},
         {-142, 60}, {-152, 59}, {-158, 56}, {-165, 55}, {-158, 60}, {-166, 62}},
        // Greenland
        {{-55, 60}, {-42, 60}, {-20, 70}, {-20, 82}, {-60, 82}, {-70, 78}, {-55, 70}},
        // South America
        {{-78, 8},   {-72, 12},  {-60, 10},  {-50, 0},   {-35, -5},  {-35, -10}, {-40, -22},
         {-48, -26}, {-58, -35}, {-62, -40}, {-65, -45}, {-68, -52}, {-74, -53}, {-75, -45},
         {-73, -35}, {-71, -25}, {-70, -18}, {-76, -14}, {-81, -6},  {-80, 0},   {-77, 4}},
        // Africa
        {{-17, 15}, {-17, 21}, {-10, 30}, {-6, 36}, {10, 37},  {11, 33},  {20, 31},  {32, 31},
         {35, 28},  {43, 12},  {51, 12},  {40, -2}, {40, -15}, {35, -24}, {32, -29}, {20, -35},
         {18, -30}, {12, -17}, {13, -5},  {9, 4},   {-5, 5},   {-13, 8}},
        // Europe and Asia
        {{-10, 36}, {-9, 43},  {-2, 44},  {-5, 48},  {2, 51},   {8, 54},   {10, 57},  {5, 62},
         {15, 68},  {25, 71},  {40, 68},  {60, 69},  {70, 73},  {80, 73},  {100, 78}, {110, 76},
         {140, 72}, {160, 70}, {180, 69}, {180, 65}, {178, 62}, {163, 60}, {157, 51}, {155, 58},
         {142, 59}, {135, 55}, {140, 48}, {130, 42}, {127, 35}, {122, 40}, {118, 38}, {122, 30},
         {120, 23}, {110, 20}, {108, 15}, {109, 11}, {105, 9},  {100, 14}, {100, 3},  {104, 1},
         {98, 8},   {94, 16},  {90, 22},  {80, 15},  {77, 8},   {73, 18},  {67, 25},  {57, 25},
         {59, 22},  {55, 17},  {45, 13},  {35, 28},  {34, 31},  {36, 36},  {28, 36},  {26, 40},
         {20, 40},  {13, 45},  {16, 41},  {8, 44},   {3, 43},   {-1, 37}},
        // Australia
        {{114, -22},
         {114, -34},
         {118, -35},
         {124, -33},
         {131, -31},
         {138, -35},
         {141, -38},
         {147, -38},
         {150, -37},
         {153, -28},
         {153, -25},
         {146, -19},
         {142, -11},
         {136, -12},
         {136, -16},
         {131, -12},
         {126, -14},
         {122, -18}},
        // Borneo, New Guinea, Madagascar, Japan, Great Britain
        {{109, 1}, {117, 7}, {119, 5}, {116, -4}, {110, -3}},
        {{131, -1}, {141, -3}, {150, -10}, {141, -9}, {138, -8}},
        {{44, -25}, {50, -15}, {49, -12}, {44, -17}},
        {{130, 31}, {141, 41}, {145, 44}, {141, 36}, {135, 33}},
        {{-5, 50}, {2, 51}, {-2, 58}, {-6, 56}},
    };
    return polygons;
}

bool inside(const Polygon& p, double lon, double lat) {
    bool in = false;
    for (std::size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
        const auto [xi, yi] = p[i];
        const auto [xj, yj] = p[j];
        if ((yi > lat) != (yj > lat) && lon < (xj - xi) * (lat - yi) / (yj - yi) + xi) in = !in;
    }
    return in;
}

bool isLand(double lon, double lat) {
    if (lat < -70.0) return true; // Antarctica
    for (const auto& p : continents())
        if (inside(p, lon, lat)) return true;
    return false;
}

// A streamfunction with closed cells: subtropical and subpolar gyres in every basin.
double gyreStream(double lonDeg, double latDeg) {
    const double phi = latDeg * kDeg;
    const double lam = lonDeg * kDeg;
    return std::sin(3.0 * phi) * std::cos(phi) * (0.6 + 0.4 * std::sin(2.0 * lam + 0.5));
}

// ---------------------------------------------------------------------------------------------

// The time axis of a sample: "time" over dTime in units, standard calendar.
int defineTime(SampleFile& f, int dTime, const std::string& units) {
    const int v = f.var("time", NC_DOUBLE, {dTime});
    f.att(v, "long_name", "time");
    f.att(v, "units", units);
    f.att(v, "calendar", "standard");
    f.att(v, "axis", "T");
    return v;
}

// The latitude and longitude axes of a regular grid, in that order.
std::pair<int, int> defineLatLon(SampleFile& f, int dLat, int dLon) {
    const int vLat = f.var("lat", NC_FLOAT, {dLat});
    f.att(vLat, "long_name", "latitude");
    f.att(vLat, "units", "degrees_north");
    const int vLon = f.var("lon", NC_FLOAT, {dLon});
    f.att(vLon, "long_name", "longitude");
    f.att(vLon, "units", "degrees_east");
    return {vLat, vLon};
}

// A variable stored as shorts with a scale, no offset and the short fill value.
int definePacked(SampleFile& f, const std::string& name, const std::vector<int>& dims,
                 const std::string& longName, const std::string& units, double scale,
                 double offset = 0.0) {
    const int v = f.var(name, NC_SHORT, dims);
    f.att(v, "long_name", longName);
    f.att(v, "units", units);
    f.att(v, "scale_factor", static_cast<float>(scale));
    f.att(v, "add_offset", static_cast<float>(offset));
    f.att(v, "_FillValue", kShortFill);
    return v;
}

// A global grid of spacing degrees, cells centred half a spacing in from the date line and
// the poles, with the first months of the year (at most 12).
void writeRegularGlobal(const fs::path& target, int spacing, int months) {
    const int nLon = 360 / spacing, nLat = 180 / spacing;
    const int nTime = months;
    const std::vector<double> depths = {0.0, 100.0, 500.0};
    const int nDepth = static_cast<int>(depths.size());
    // Mid-month days of a common year.
    std::vector<double> days = {14, 45, 73, 104, 134, 165, 195, 226, 257, 287, 318, 348};
    days.resize(static_cast<std::size_t>(nTime));

    std::vector<double> lon(nLon), lat(nLat);
    for (int i = 0; i < nLon; ++i)
        lon[i] = -180.0 + spacing * (i + 0.5);
    for (int j = 0; j < nLat; ++j)
        lat[j] = -90.0 + spacing * (j + 0.5);

    // Surface land, then a shelf of 200 m on every sea cell next to land: deeper levels lose
    // those cells, so the mask thickens with depth as a real one does.
    std::vector<char> land(nLat * nLon);
    for (int j = 0; j < nLat; ++j)
        for (int i = 0; i < nLon; ++i)
            land[j * nLon + i] = isLand(lon[i], lat[j]);
    std::vector<double> bottom(nLat * nLon, 5000.0);
    for (int j = 0; j < nLat; ++j)
        for (int i = 0; i < nLon; ++i) {
            if (land[j * nLon + i]) continue;
            const int near[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
            for (const auto& [di, dj] : near) {
                const int jj = j + dj;
                const int ii = (i + di + nLon) % nLon;
                if (jj >= 0 && jj < nLat && land[jj * nLon + ii]) bottom[j * nLon + i] = 200.0;
            }
        }

    const std::size_t plane = static_cast<std::size_t>(nLat) * nLon;
    const std::size_t total = plane * nDepth * nTime;
    std::vector<short> temp(total), u(total), v(total);
    constexpr double tScale = 0.001, tOffset = 20.0, uvScale = 0.0001;
    constexpr double h = 0.5; // degrees, for the streamfunction's differences
    for (int t = 0; t < nTime; ++t) {
        const double season = std::cos(2.0 * kPi * (t - 1) / 12.0); // 1 in February
        for (int k = 0; k < nDepth; ++k) {
            const double z = depths[k];
            for (int j = 0; j < nLat; ++j) {
                const double phi = lat[j] * kDeg;
                for (int i = 0; i < nLon; ++i) {
                    const std::size_t n =
                        ((static_cast<std::size_t>(t) * nDepth + k) * nLat + j) * nLon + i;
                    if (land[j * nLon + i] || z > bottom[j * nLon + i]) {
                        temp[n] = u[n] = v[n] = kShortFill;
                        continue;
                    }
                    // Surface: warm tropics, cold poles, a warm pool in the western Pacific,
                    // and a seasonal swing of opposite phase in the two hemispheres.
                    const double dl = std::remainder(lon[i] - 150.0, 360.0);
                    double sst = -1.5 + 29.5 * std::cos(phi) * std::cos(phi) +
                                 1.5 * std::exp(-(dl * dl) / 900.0 - lat[j] * lat[j] / 225.0) -
                                 3.0 * std::sin(2.0 * phi) * season;
                    sst = std::max(sst, -1.8);
                    const double deep = 2.0;
                    const double value = std::max(deep + (sst - deep) * std::exp(-z / 250.0), -1.8);
                    temp[n] = pack(value, tScale, tOffset);

                    // Currents from the gyre streamfunction, stronger in winter, fading with
                    // depth; an eastward circumpolar current in the Southern Ocean.
                    const double scale =
                        0.35 * (1.0 + 0.25 * std::sin(2.0 * phi) * season) * std::exp(-z / 300.0);
                    const double dPsiDLat =
                        (gyreStream(lon[i], lat[j] + h) - gyreStream(lon[i], lat[j] - h)) /
                        (2.0 * h * kDeg);
                    const double dPsiDLon =
                        (gyreStream(lon[i] + h, lat[j]) - gyreStream(lon[i] - h, lat[j])) /
                        (2.0 * h * kDeg);
                    const double acc =
                        0.3 * std::exp(-std::pow((lat[j] + 55.0) / 8.0, 2)) * std::exp(-z / 1000.0);
                    const double ue = -scale * dPsiDLat / 3.0 + acc;
                    const double vn = scale * dPsiDLon / (3.0 * std::max(std::cos(phi), 0.1));
                    u[n] = pack(ue, uvScale, 0.0);
                    v[n] = pack(vn, uvScale, 0.0);
                }
            }
        }
    }

    SampleFile f(target);
    const int dTime = f.unlimitedDim("time");
    const int dDepth = f.dim("depth", nDepth);
    const int dLat = f.dim("lat", nLat);
    const int dLon = f.dim("lon", nLon);

    const int vTime = defineTime(f, dTime, "days since 2001-01-01 00:00:00");
    const int vDepth = f.var("depth", NC_FLOAT, {dDepth});
    f.att(vDepth, "long_name", "depth below sea surface");
    f.att(vDepth, "units", "m");
    f.att(vDepth, "positive", "down");
    f.att(vDepth, "axis", "Z");
    const auto [vLat, vLon] = defineLatLon(f, dLat, dLon);

    const std::vector<int> dims = {dTime, dDepth, dLat, dLon};
    const int vTemp =
        definePacked(f, "temp", dims, "sea water temperature", "degC", tScale, tOffset);
    const int vU = definePacked(f, "u", dims, "eastward sea water velocity", "m/s", uvScale);
    const int vV = definePacked(f, "v", dims, "northward sea water velocity", "m/s", uvScale);
    commonGlobals(f, "Sample: monthly climatology on a regular " + std::to_string(spacing) +
                         "-degree global grid");
    f.endDefine();

    const std::vector<std::size_t> count = {
        static_cast<std::size_t>(nTime), static_cast<std::size_t>(nDepth),
        static_cast<std::size_t>(nLat), static_cast<std::size_t>(nLon)};
    f.put(vTime, days, {static_cast<std::size_t>(nTime)});
    f.put(vDepth, std::vector<float>(depths.begin(), depths.end()));
    f.put(vLat, std::vector<float>(lat.begin(), lat.end()));
    f.put(vLon, std::vector<float>(lon.begin(), lon.end()));
    f.put(vTemp, temp, count);
    f.put(vU, u, count);
    f.put(vV, v, count);
    f.commit();
}

// ---------------------------------------------------------------------------------------------

void writeRegularWind(const fs::path& target) {
    // A reanalysis-style wind pair and sea-level pressure on a 2.5-degree global grid, 6-hourly
    // over four days: trade winds, westerlies and polar easterlies, with weather systems
    // drifting eastwards, lows where the systems turn cyclonic.
    constexpr int nLon = 144, nLat = 73, nTime = 16;
    std::vector<float> lon(nLon), lat(nLat);
    std::vector<double> hours(nTime);
    for (int i = 0; i < nLon; ++i)
        lon[i] = static_cast<float>(2.5 * i);
    for (int j = 0; j < nLat; ++j)
        lat[j] = static_cast<float>(-90.0 + 2.5 * j);
    for (int t = 0; t < nTime; ++t)
        hours[t] = 6.0 * t;

    const std::size_t plane = static_cast<std::size_t>(nLat) * nLon;
    std::vector<short> u(plane * nTime), v(plane * nTime), slp(plane * nTime);
    constexpr double scale = 0.01;
    for (int t = 0; t < nTime; ++t) {
        for (int j = 0; j < nLat; ++j) {
            const double phi = lat[j] * kDeg;
            // Zonal mean: easterly trades, westerly jets near 45 degrees, easterlies at the poles.
            const double zonal = -6.0 * std::cos(3.0 * phi) * std::cos(phi) +
                                 4.0 * std::exp(-std::pow((std::fabs(lat[j]) - 45.0) / 12.0, 2));
            for (int i = 0; i < nLon; ++i) {
                const double lambda = lon[i] * kDeg;
                // Wavenumber-6 systems moving east by 10 degrees a day in the mid-latitudes.
                const double phase = 6.0 * lambda - 2.0 * kPi * (10.0 * t / 4.0) / 60.0;
                const double storm = std::exp(-std::pow((std::fabs(lat[j]) - 50.0) / 15.0, 2));
                const std::size_t n =
                    static_cast<std::size_t>(t) * plane + static_cast<std::size_t>(j) * nLon + i;
                u[n] = pack(zonal + 5.0 * storm * std::cos(phase), scale, 0.0);
                v[n] = pack(8.0 * storm * std::sin(phase) * std::cos(phi), scale, 0.0);
                // Subtropical highs, subpolar lows, and the systems' own lows and highs.
                const double p = 1013.0 + 8.0 * std::cos(4.0 * phi) * std::cos(phi) -
                                 12.0 * storm * std::sin(phase - kPi / 2);
                slp[n] = pack(p, 0.1, 1000.0);
            }
        }
    }

    SampleFile f(target);
    const int dTime = f.unlimitedDim("time");
    const int dLat = f.dim("lat", nLat);
    const int dLon = f.dim("lon", nLon);
    const int vTime = defineTime(f, dTime, "hours since 2001-01-01 00:00:00");
    const auto [vLat, vLon] = defineLatLon(f, dLat, dLon);
    const std::vector<int> dims = {dTime, dLat, dLon};
    const int vU = definePacked(f, "uwnd", dims, "zonal wind at 10 m", "m/s", scale);
    const int vV = definePacked(f, "vwnd", dims, "meridional wind at 10 m", "m/s", scale);
    const int vSlp = definePacked(f, "slp", dims, "sea level pressure", "hPa", 0.1, 1000.0);
    commonGlobals(f, "Sample: 6-hourly 10 m wind on a regular 2.5-degree global grid");
    f.endDefine();

    f.put(vTime, hours, {nTime});
    f.put(vLat, lat);
    f.put(vLon, lon);
    const std::vector<std::size_t> count = {nTime, nLat, nLon};
    f.put(vU, u, count);
    f.put(vV, v, count);
    f.put(vSlp, slp, count);
    f.commit();
}

// ---------------------------------------------------------------------------------------------

void writeBfgCoastal(const fs::path& target) {
    // A grid fitted around a cape: along the coast (xpos) and away from it (ypos), the rows
    // closer together near the shore.
    constexpr int nx = 40, ny = 24, nTime = 25;
    constexpr double lon0 = -70.2, lat0 = 42.0;
    constexpr double r1 = 1.2;
    const double cosLat0 = std::cos(lat0 * kDeg);
    const double islandTheta = 290.0 * kDeg, islandR = 0.6, islandRadius = 0.09;
    const double islandLon = lon0 + islandR * std::cos(islandTheta) / cosLat0;
    const double islandLat = lat0 + islandR * std::sin(islandTheta);

    const std::size_t plane = static_cast<std::size_t>(nx) * ny;
    std::vector<float> lon(plane), lat(plane), depth(plane);
    std::vector<double> theta(plane), rel(plane), radius(plane);
    std::vector<char> land(plane);
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            const std::size_t n = static_cast<std::size_t>(j) * nx + i;
            const double th = (200.0 + 140.0 * i / (nx - 1)) * kDeg;
            const double r0 = 0.15 + 0.03 * std::sin(3.0 * th);
            const double s = std::pow(static_cast<double>(j) / (ny - 1), 1.3);
            const double r = r0 + (r1 - r0) * s;
            theta[n] = th;
            rel[n] = s;
            radius[n] = r;
            lon[n] = static_cast<float>(lon0 + r * std::cos(th) / cosLat0);
            lat[n] = static_cast<float>(lat0 + r * std::sin(th));
            const double dx = (lon[n] - islandLon) * cosLat0;
            const double dy = lat[n] - islandLat;
            land[n] = dx * dx + dy * dy < islandRadius * islandRadius;
            depth[n] = land[n] ? kFloatFill : static_cast<float>(5.0 + 80.0 * std::pow(s, 0.8));
        }

    std::vector<double> hours(nTime);
    for (int t = 0; t < nTime; ++t)
        hours[t] = t;
    std::vector<float> u(plane * nTime), v(plane * nTime), zeta(plane * nTime);
    const double omega = 2.0 * kPi / kM2Hours;
    for (int t = 0; t < nTime; ++t)
        for (std::size_t n = 0; n < plane; ++n) {
            const std::size_t k = static_cast<std::size_t>(t) * plane + n;
            if (land[n]) {
                u[k] = v[k] = zeta[k] = kFloatFill;
                continue;
            }
            // A tide running along the coast: strongest near the shore, its phase travelling
            // round the cape; a weak flow across the coast alternates with it.
            const double th = theta[n];
            const double phase = omega * t - 0.8 * (th - 200.0 * kDeg);
            const double along = 0.6 * std::sqrt(0.15 / radius[n]) * std::cos(phase);
            const double across = 0.05 * std::sin(omega * t);
            u[k] = static_cast<float>(-along * std::sin(th) + across * std::cos(th));
            v[k] = static_cast<float>(along * std::cos(th) + across * std::sin(th));
            zeta[k] = static_cast<float>(1.2 * std::cos(phase - kPi / 2.0) * (1.0 - 0.2 * rel[n]));
        }

    SampleFile f(target);
    const int dTime = f.unlimitedDim("time");
    const int dY = f.dim("ypos", ny);
    const int dX = f.dim("xpos", nx);

    const int vTime = f.var("time", NC_DOUBLE, {dTime});
    f.att(vTime, "long_name", "time");
    f.att(vTime, "units", "hours since 2004-03-15 00:00:00");
    const int vLon = f.var("lon", NC_FLOAT, {dY, dX});
    f.att(vLon, "long_name", "longitude");
    f.att(vLon, "units", "degrees_east");
    const int vLat = f.var("lat", NC_FLOAT, {dY, dX});
    f.att(vLat, "long_name", "latitude");
    f.att(vLat, "units", "degrees_north");
    const int vH = f.var("h", NC_FLOAT, {dY, dX});
    f.att(vH, "long_name", "bathymetry");
    f.att(vH, "units", "m");
    f.att(vH, "_FillValue", kFloatFill);
    const std::vector<int> dims = {dTime, dY, dX};
    const int vZeta = f.var("zeta", NC_FLOAT, dims);
    f.att(vZeta, "long_name", "sea surface elevation");
    f.att(vZeta, "units", "m");
    f.att(vZeta, "_FillValue", kFloatFill);
    const int vU = f.var("u", NC_FLOAT, dims);
    f.att(vU, "long_name", "eastward depth-averaged current");
    f.att(vU, "units", "m/s");
    f.att(vU, "_FillValue", kFloatFill);
    const int vV = f.var("v", NC_FLOAT, dims);
    f.att(vV, "long_name", "northward depth-averaged current");
    f.att(vV, "units", "m/s");
    f.att(vV, "_FillValue", kFloatFill);
    commonGlobals(f, "Sample: tidal currents on a boundary-fitted coastal grid");
    f.endDefine();

    const std::vector<std::size_t> count = {nTime, ny, nx};
    f.put(vTime, hours, {nTime});
    f.put(vLon, lon);
    f.put(vLat, lat);
    f.put(vH, depth);
    f.put(vZeta, zeta, count);
    f.put(vU, u, count);
    f.put(vV, v, count);
    f.commit();
}

// ---------------------------------------------------------------------------------------------

// Triangles of an nx by ny block of nodes numbered node(i, j); the diagonal alternates so the
// mesh has no preferred direction. Corners are 0-based node numbers, three per element.
template <class NodeOf> std::vector<int> triangulate(int nx, int ny, NodeOf node) {
    std::vector<int> corners;
    for (int i = 0; i + 1 < nx; ++i)
        for (int j = 0; j + 1 < ny; ++j) {
            const int a = node(i, j), b = node(i + 1, j), c = node(i + 1, j + 1),
                      d = node(i, j + 1);
            if ((i + j) % 2 == 0)
                corners.insert(corners.end(), {a, b, c, a, c, d});
            else
                corners.insert(corners.end(), {a, b, d, b, c, d});
        }
    return corners;
}

void writeFeMesh(const fs::path& target) {
    // An estuary that narrows upstream; the tide comes in at its mouth (s = 0).
    constexpr int nx = 32, ny = 12, nTime = 25;
    constexpr int nNodes = nx * ny;
    auto node = [](int i, int j) { return i * ny + j; };

    std::vector<float> lon(nNodes), lat(nNodes), depth(nNodes);
    std::vector<double> along(nNodes), across(nNodes), tx(nNodes), ty(nNodes);
    for (int i = 0; i < nx; ++i)
        for (int j = 0; j < ny; ++j) {
            const double s = static_cast<double>(i) / (nx - 1);
            const double q = static_cast<double>(j) / (ny - 1);
            const double width = 0.6 - 0.4 * s;
            double x = 150.0 + 3.0 * s;
            double y = -34.0 + 0.5 * std::sin(kPi * s) + (q - 0.5) * width;
            if (i > 0 && i + 1 < nx && j > 0 && j + 1 < ny) {
                // Nudge the inner nodes so that the mesh looks less like a lattice.
                x += 0.25 * (3.0 / (nx - 1)) * std::sin(7.3 * i + 3.1 * j);
                y += 0.25 * (width / (ny - 1)) * std::cos(5.7 * i + 1.9 * j);
            }
            const int n = node(i, j);
            lon[n] = static_cast<float>(x);
            lat[n] = static_cast<float>(y);
            along[n] = s;
            across[n] = q;
            // Direction of the channel's centre line, east and north in metres alike.
            const double dx = 3.0 * std::cos(-34.0 * kDeg);
            const double dy = 0.5 * kPi * std::cos(kPi * s);
            const double len = std::hypot(dx, dy);
            tx[n] = dx / len;
            ty[n] = dy / len;
            const double c = 2.0 * q - 1.0;
            depth[n] = static_cast<float>(2.0 + 25.0 * (1.0 - c * c) * (1.0 - 0.6 * s));
        }
    const std::vector<int> corners = triangulate(nx, ny, node);
    const std::size_t nElements = corners.size() / 3;

    std::vector<double> seconds(nTime);
    for (int t = 0; t < nTime; ++t)
        seconds[t] = 3600.0 * t;
    std::vector<float> zeta(static_cast<std::size_t>(nNodes) * nTime), u(zeta.size()),
        v(zeta.size());
    const double omega = 2.0 * kPi / kM2Hours;
    for (int t = 0; t < nTime; ++t)
        for (int n = 0; n < nNodes; ++n) {
            const std::size_t k = static_cast<std::size_t>(t) * nNodes + n;
            const double s = along[n];
            const double c = 2.0 * across[n] - 1.0;
            const double phase = omega * t - 2.0 * s;
            zeta[k] = static_cast<float>(0.8 * (1.0 + 0.5 * s) * std::cos(phase));
            const double speed = 0.8 * (1.0 + s) * std::sin(phase) * (1.0 - 0.6 * c * c);
            u[k] = static_cast<float>(speed * tx[n]);
            v[k] = static_cast<float>(speed * ty[n]);
        }

    SampleFile f(target);
    const int dTime = f.unlimitedDim("time");
    const int dNode = f.dim("node", nNodes);
    const int dEle = f.dim("nele", nElements);
    const int dFace = f.dim("nface", 3);

    const int vTime = f.var("time", NC_DOUBLE, {dTime});
    f.att(vTime, "long_name", "time");
    f.att(vTime, "units", "seconds since 2004-03-15 00:00:00");
    const int vLon = f.var("lon", NC_FLOAT, {dNode});
    f.att(vLon, "long_name", "nodal longitude");
    f.att(vLon, "units", "degrees_east");
    const int vLat = f.var("lat", NC_FLOAT, {dNode});
    f.att(vLat, "long_name", "nodal latitude");
    f.att(vLat, "units", "degrees_north");
    const int vNv = f.var("nv", NC_INT, {dEle, dFace});
    f.att(vNv, "long_name", "nodes of each element, counted from 0");
    const int vH = f.var("h", NC_FLOAT, {dNode});
    f.att(vH, "long_name", "bathymetry");
    f.att(vH, "units", "m");
    const int vZeta = f.var("zeta", NC_FLOAT, {dTime, dNode});
    f.att(vZeta, "long_name", "sea surface elevation");
    f.att(vZeta, "units", "m");
    const int vU = f.var("u", NC_FLOAT, {dTime, dNode});
    f.att(vU, "long_name", "eastward depth-averaged current");
    f.att(vU, "units", "m/s");
    const int vV = f.var("v", NC_FLOAT, {dTime, dNode});
    f.att(vV, "long_name", "northward depth-averaged current");
    f.att(vV, "units", "m/s");
    commonGlobals(f, "Sample: tide in an estuary on a finite-element mesh");
    f.endDefine();

    const std::vector<std::size_t> count = {nTime, nNodes};
    f.put(vTime, seconds, {nTime});
    f.put(vLon, lon);
    f.put(vLat, lat);
    f.put(vNv, corners);
    f.put(vH, depth);
    f.put(vZeta, zeta, count);
    f.put(vU, u, count);
    f.put(vV, v, count);
    f.commit();
}

// ---------------------------------------------------------------------------------------------

void writeFvMesh(const fs::path& target) {
    // A lagoon open to the sea on its southern side. The node dimension counts every node of
    // every column (layers + 1 levels each, consecutive); elements carry the values, one per
    // layer. Elements named lon/lat make the library take the file for a finite-volume mesh;
    // the nodes' own coordinates (units east and north, no alias name) then take their place,
    // so that node variables and the mesh outline can be placed too. Each element's lon/lat is
    // the mean of its corners, worked out as the library works it out from the nodes.
    constexpr int nx = 14, ny = 10, nLayers = 4, nTime = 13;
    constexpr int nNodes2d = nx * ny;
    constexpr int levels = nLayers + 1;
    auto node = [](int i, int j) { return j * nx + i; };

    std::vector<double> x(nNodes2d), y(nNodes2d);
    std::vector<int> code(static_cast<std::size_t>(nNodes2d) * levels);
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            const double s = static_cast<double>(i) / (nx - 1);
            const double q = static_cast<double>(j) / (ny - 1);
            const int n = node(i, j);
            x[n] = 12.20 + 0.50 * s + 0.06 * q * q;
            y[n] = 45.20 + 0.30 * q + 0.03 * std::sin(kPi * s) * (1.0 - q);
            if (i > 0 && i + 1 < nx && j > 0 && j + 1 < ny) {
                x[n] += 0.01 * std::sin(4.1 * i + 2.3 * j);
                y[n] += 0.008 * std::cos(3.3 * i + 5.2 * j);
            }
            // 2 open sea (the southern side, its corners included), 1 land, 0 water.
            int c = 0;
            if (j == 0)
                c = 2;
            else if (i == 0 || i + 1 == nx || j + 1 == ny)
                c = 1;
            for (int k = 0; k < levels; ++k)
                code[static_cast<std::size_t>(n) * levels + k] = c;
        }
    const std::vector<int> corners2d = triangulate(nx, ny, node);
    const std::size_t nElements = corners2d.size() / 3;
    // The file numbers the surface node of each column.
    std::vector<int> corners(corners2d.size());
    for (std::size_t k = 0; k < corners2d.size(); ++k)
        corners[k] = corners2d[k] * levels;
    // Node coordinates repeated for every level of a column, as the node dimension counts them.
    std::vector<float> nodeLon(code.size()), nodeLat(code.size());
    for (std::size_t k = 0; k < code.size(); ++k) {
        nodeLon[k] = static_cast<float>(x[k / levels]);
        nodeLat[k] = static_cast<float>(y[k / levels]);
    }
    std::vector<float> lon(nElements), lat(nElements);
    std::vector<double> es(nElements), eq(nElements);
    for (std::size_t e = 0; e < nElements; ++e) {
        const std::size_t a = static_cast<std::size_t>(corners2d[3 * e]) * levels,
                          b = static_cast<std::size_t>(corners2d[3 * e + 1]) * levels,
                          c = static_cast<std::size_t>(corners2d[3 * e + 2]) * levels;
        const double cx = (double{nodeLon[a]} + double{nodeLon[b]} + double{nodeLon[c]}) / 3.0;
        const double cy = (double{nodeLat[a]} + double{nodeLat[b]} + double{nodeLat[c]}) / 3.0;
        lon[e] = static_cast<float>(cx);
        lat[e] = static_cast<float>(cy);
        es[e] = (cx - 12.20) / 0.56;
        eq[e] = (cy - 45.20) / 0.30;
    }
    std::vector<float> sigma(nLayers);
    for (int k = 0; k < nLayers; ++k)
        sigma[k] = static_cast<float>(-(k + 0.5) / nLayers);

    std::vector<double> days(nTime);
    for (int t = 0; t < nTime; ++t)
        days[t] = t / 12.0;
    const std::size_t perStep = static_cast<std::size_t>(nLayers) * nElements;
    std::vector<float> zeta(nElements * nTime), temp(perStep * nTime), u(temp.size()),
        v(temp.size());
    const double omega = 2.0 * kPi / kM2Hours;
    for (int t = 0; t < nTime; ++t) {
        const double hours = 2.0 * t;
        for (std::size_t e = 0; e < nElements; ++e) {
            const double q = std::clamp(eq[e], 0.0, 1.0);
            const double s = std::clamp(es[e], 0.0, 1.0);
            const double phase = omega * hours - 0.6 * q;
            zeta[t * nElements + e] = static_cast<float>(0.45 * (1.0 - 0.3 * q) * std::cos(phase));
            for (int k = 0; k < nLayers; ++k) {
                const double deep = (k + 0.5) / nLayers;
                const std::size_t n = t * perStep + k * nElements + e;
                // Warmer inside the lagoon and near the surface; the flood brings cooler water.
                temp[n] =
                    static_cast<float>(13.0 + 2.5 * q - 1.2 * deep +
                                       0.6 * std::cos(phase) * (1.0 - q) + 0.3 * std::sin(kPi * s));
                // Flood and ebb through the mouth, turning round a slow clockwise eddy.
                const double tide = -0.35 * std::sin(phase) * (1.0 - 0.7 * q) * (1.0 - 0.3 * deep);
                u[n] = static_cast<float>(0.08 * std::sin(kPi * q) * std::cos(kPi * s));
                v[n] = static_cast<float>(tide - 0.08 * std::sin(kPi * s) * std::cos(kPi * q));
            }
        }
    }

    SampleFile f(target);
    const int dTime = f.unlimitedDim("time");
    const int dNode = f.dim("node", static_cast<std::size_t>(nNodes2d) * levels);
    const int dEle = f.dim("nele", nElements);
    const int dFace = f.dim("nface", 3);
    const int dLayers = f.dim("layers", nLayers);
    f.dim("dimensions", 3);

    const int vTime = f.var("time", NC_DOUBLE, {dTime});
    f.att(vTime, "long_name", "time");
    f.att(vTime, "units", "days since 2004-03-15 00:00:00");
    const int vSigma = f.var("sigma", NC_FLOAT, {dLayers});
    f.att(vSigma, "long_name", "sigma of the layer middles");
    f.att(vSigma, "units", "1");
    f.att(vSigma, "positive", "up");
    const int vNodeLon = f.var("node_lon", NC_FLOAT, {dNode});
    f.att(vNodeLon, "long_name", "nodal longitude");
    f.att(vNodeLon, "units", "degrees_east");
    const int vNodeLat = f.var("node_lat", NC_FLOAT, {dNode});
    f.att(vNodeLat, "long_name", "nodal latitude");
    f.att(vNodeLat, "units", "degrees_north");
    const int vNv = f.var("nv", NC_INT, {dEle, dFace});
    f.att(vNv, "long_name", "surface nodes of each element, counted from 0");
    const int vCode = f.var("code", NC_INT, {dNode});
    f.att(vCode, "long_name", "node code: 0 water, 1 land boundary, 2 open boundary");
    const int vZeta = f.var("zeta", NC_FLOAT, {dTime, dEle});
    f.att(vZeta, "long_name", "sea surface elevation");
    f.att(vZeta, "units", "m");
    const std::vector<int> dims = {dTime, dLayers, dEle};
    const int vTemp = f.var("temp", NC_FLOAT, dims);
    f.att(vTemp, "long_name", "sea water temperature");
    f.att(vTemp, "units", "degC");
    const int vU = f.var("u", NC_FLOAT, dims);
    f.att(vU, "long_name", "eastward sea water velocity");
    f.att(vU, "units", "m/s");
    const int vV = f.var("v", NC_FLOAT, dims);
    f.att(vV, "long_name", "northward sea water velocity");
    f.att(vV, "units", "m/s");
    // Last, so that the viewer lists the data variables (code first) before them.
    const int vLon = f.var("lon", NC_FLOAT, {dEle});
    f.att(vLon, "long_name", "element longitude");
    f.att(vLon, "units", "degrees_east");
    const int vLat = f.var("lat", NC_FLOAT, {dEle});
    f.att(vLat, "long_name", "element latitude");
    f.att(vLat, "units", "degrees_north");
    commonGlobals(f, "Sample: lagoon on a finite-volume mesh with layers");
    f.endDefine();

    f.put(vTime, days, {nTime});
    f.put(vSigma, sigma);
    f.put(vNodeLon, nodeLon);
    f.put(vNodeLat, nodeLat);
    f.put(vNv, corners);
    f.put(vCode, code);
    f.put(vZeta, zeta, {nTime, nElements});
    const std::vector<std::size_t> count = {nTime, nLayers, nElements};
    f.put(vTemp, temp, count);
    f.put(vU, u, count);
    f.put(vV, v, count);
    f.put(vLon, lon);
    f.put(vLat, lat);
    f.commit();
}

// ---------------------------------------------------------------------------------------------

// The description of a GMT grid over "side": ranges, spacing and size, and their values.
struct GmtHeader {
    int x = 0, y = 0, z = 0, spacing = 0, dimension = 0;
};
GmtHeader defineGmtHeader(SampleFile& f, int dSide) {
    GmtHeader h;
    h.x = f.var("x_range", NC_DOUBLE, {dSide});
    f.att(h.x, "units", "degrees");
    h.y = f.var("y_range", NC_DOUBLE, {dSide});
    f.att(h.y, "units", "degrees");
    h.z = f.var("z_range", NC_DOUBLE, {dSide});
    f.att(h.z, "units", "meters");
    h.spacing = f.var("spacing", NC_DOUBLE, {dSide});
    h.dimension = f.var("dimension", NC_INT, {dSide});
    return h;
}
void putGmtHeader(SampleFile& f, const GmtHeader& h, double west, double east, double south,
                  double north, double zMin, double zMax, double step, int nx, int ny) {
    f.put(h.x, std::vector<double>{west, east});
    f.put(h.y, std::vector<double>{south, north});
    f.put(h.z, std::vector<double>{zMin, zMax});
    f.put(h.spacing, std::vector<double>{step, step});
    f.put(h.dimension, std::vector<int>{nx, ny});
}

void writeGmtGrid(const fs::path& target) {
    // Topography and bathymetry: a coast in the west, an island and a seamount offshore.
    constexpr double west = 120.0, east = 130.0, south = 20.0, north = 28.0, step = 0.1;
    constexpr int nx = 101, ny = 81;
    std::vector<float> z(static_cast<std::size_t>(nx) * ny);
    double zMin = 1e30, zMax = -1e30;
    for (int r = 0; r < ny; ++r) {
        const double y = north - step * r; // GMT stores the northern row first
        for (int c = 0; c < nx; ++c) {
            const double x = west + step * c;
            const double d = x - (121.5 + 0.4 * std::sin(1.3 * y));
            double h = d < 0.0 ? 600.0 * std::tanh(-d) : -3500.0 * std::tanh(d / 1.5);
            h += 4400.0 * std::exp(-((x - 125.5) * (x - 125.5) + (y - 24.0) * (y - 24.0)) / 0.4);
            h += 2500.0 * std::exp(-((x - 128.0) * (x - 128.0) + (y - 22.0) * (y - 22.0)) / 0.3);
            z[static_cast<std::size_t>(r) * nx + c] = static_cast<float>(h);
            zMin = std::min(zMin, static_cast<double>(static_cast<float>(h)));
            zMax = std::max(zMax, static_cast<double>(static_cast<float>(h)));
        }
    }

    SampleFile f(target);
    const int dSide = f.dim("side", 2);
    const int dXy = f.dim("xysize", z.size());
    const GmtHeader header = defineGmtHeader(f, dSide);
    const int vZ = f.var("z", NC_FLOAT, {dXy});
    f.att(vZ, "long_name", "height above sea level");
    f.att(vZ, "units", "meters");
    f.att(vZ, "scale_factor", 1.0);
    f.att(vZ, "add_offset", 0.0);
    f.att(vZ, "node_offset", 0);
    f.globalAtt("title", "Sample: topography and bathymetry on a GMT grid");
    f.globalAtt("source", "make-samples: synthetic values for trying out the viewer");
    f.endDefine();

    putGmtHeader(f, header, west, east, south, north, zMin, zMax, step, nx, ny);
    f.put(vZ, z);
    f.commit();
}

// ---------------------------------------------------------------------------------------------

void writeGmtCurrents(const fs::path& target) {
    // Surface currents on a GMT grid: a clockwise eddy round an island, NaN over land, as GMT
    // writes its grids.
    constexpr double west = 120.0, east = 130.0, south = 20.0, north = 28.0, step = 0.25;
    constexpr int nx = 41, ny = 33;
    const std::size_t n = static_cast<std::size_t>(nx) * ny;
    std::vector<float> z(n), u(n), v(n);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (int r = 0; r < ny; ++r) {
        const double y = north - step * r; // the northern row first
        for (int c = 0; c < nx; ++c) {
            const double x = west + step * c;
            const std::size_t k = static_cast<std::size_t>(r) * nx + c;
            const double coast = x - 121.5;
            const double island = (x - 125.5) * (x - 125.5) + (y - 24.0) * (y - 24.0);
            const bool land = coast < 0.0 || island < 0.5;
            z[k] = static_cast<float>(land ? 200.0 : -3000.0);
            if (land) {
                u[k] = v[k] = nan;
                continue;
            }
            const double dx = x - 125.5, dy = y - 24.0;
            const double speed = 0.8 * std::exp(-(dx * dx + dy * dy) / 8.0);
            u[k] = static_cast<float>(speed * dy + 0.1);
            v[k] = static_cast<float>(-speed * dx);
        }
    }

    SampleFile f(target);
    const int dSide = f.dim("side", 2);
    const int dXy = f.dim("xysize", n);
    const GmtHeader header = defineGmtHeader(f, dSide);
    const int vZ = f.var("z", NC_FLOAT, {dXy});
    f.att(vZ, "long_name", "height above sea level");
    f.att(vZ, "units", "meters");
    const int vU = f.var("u", NC_FLOAT, {dXy});
    f.att(vU, "long_name", "eastward surface current");
    f.att(vU, "units", "m/s");
    const int vV = f.var("v", NC_FLOAT, {dXy});
    f.att(vV, "long_name", "northward surface current");
    f.att(vV, "units", "m/s");
    f.globalAtt("title", "Sample: surface currents on a GMT grid");
    f.globalAtt("source", "make-samples: synthetic values for trying out the viewer");
    f.endDefine();

    putGmtHeader(f, header, west, east, south, north, -3000.0, 200.0, step, nx, ny);
    f.put(vZ, z);
    f.put(vU, u);
    f.put(vV, v);
    f.commit();
}

// ---------------------------------------------------------------------------------------------

void writeStations(const fs::path& target) {
    // Moored buoys in the North Atlantic, daily means for July 2005; one buoy has a gap.
    constexpr int nStations = 36, nTime = 31;
    constexpr int gapStation = 7, gapFirst = 10, gapLast = 13;
    std::vector<float> lon(nStations), lat(nStations);
    for (int k = 0; k < nStations; ++k) {
        const int row = k / 6, col = k % 6;
        lon[k] = static_cast<float>(-58.0 + 6.0 * col + 1.5 * row + 1.5 * std::sin(1.7 * k));
        lat[k] = static_cast<float>(15.0 + 6.0 * row + 1.2 * std::cos(2.3 * k));
    }
    std::vector<double> days(nTime);
    for (int t = 0; t < nTime; ++t)
        days[t] = t;
    std::vector<float> temp(static_cast<std::size_t>(nStations) * nTime), u(temp.size()),
        v(temp.size());
    for (int t = 0; t < nTime; ++t)
        for (int k = 0; k < nStations; ++k) {
            const std::size_t n = static_cast<std::size_t>(t) * nStations + k;
            if (k == gapStation && t >= gapFirst && t <= gapLast) {
                temp[n] = u[n] = v[n] = kFloatFill;
                continue;
            }
            const double y = lat[k];
            temp[n] = static_cast<float>(28.5 - 0.42 * (y - 15.0) + 0.04 * t * (y - 15.0) / 30.0 +
                                         0.4 * std::sin(2.0 * kPi * t / 7.0 + k));
            const double stream = 0.35 * std::exp(-std::pow((y - 38.0) / 5.0, 2));
            u[n] = static_cast<float>(stream + 0.1 * std::sin(2.0 * kPi * t / 5.0 + k));
            v[n] = static_cast<float>(0.1 * std::cos(2.0 * kPi * t / 5.0 + 0.7 * k));
        }

    SampleFile f(target);
    const int dTime = f.unlimitedDim("time");
    const int dStation = f.dim("station", nStations);
    const int vTime = f.var("time", NC_DOUBLE, {dTime});
    f.att(vTime, "long_name", "time");
    f.att(vTime, "units", "days since 2005-07-01 00:00:00");
    const int vLon = f.var("lon", NC_FLOAT, {dStation});
    f.att(vLon, "long_name", "station longitude");
    f.att(vLon, "units", "degrees_east");
    const int vLat = f.var("lat", NC_FLOAT, {dStation});
    f.att(vLat, "long_name", "station latitude");
    f.att(vLat, "units", "degrees_north");
    const std::vector<int> dims = {dTime, dStation};
    const int vTemp = f.var("temp", NC_FLOAT, dims);
    f.att(vTemp, "long_name", "sea water temperature at 1 m");
    f.att(vTemp, "units", "degC");
    f.att(vTemp, "_FillValue", kFloatFill);
    const int vU = f.var("u", NC_FLOAT, dims);
    f.att(vU, "long_name", "eastward sea water velocity at 10 m");
    f.att(vU, "units", "m/s");
    f.att(vU, "_FillValue", kFloatFill);
    const int vV = f.var("v", NC_FLOAT, dims);
    f.att(vV, "long_name", "northward sea water velocity at 10 m");
    f.att(vV, "units", "m/s");
    f.att(vV, "_FillValue", kFloatFill);
    commonGlobals(f, "Sample: daily means at moored stations");
    f.endDefine();

    const std::vector<std::size_t> count = {nTime, nStations};
    f.put(vTime, days, {nTime});
    f.put(vLon, lon);
    f.put(vLat, lat);
    f.put(vTemp, temp, count);
    f.put(vU, u, count);
    f.put(vV, v, count);
    f.commit();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-samples <output-folder>\n");
        return 2;
    }
    try {
        const fs::path folder = argv[1];
        fs::create_directories(folder);
        writeRegularGlobal(folder / "regular_global.nc", 5, 12);
        writeBfgCoastal(folder / "bfg_coastal.nc");
        writeFeMesh(folder / "fe_mesh.nc");
        writeFvMesh(folder / "fv_mesh.nc");
        writeGmtGrid(folder / "gmt_grid.nc");
        writeStations(folder / "stations.nc");
        writeRegularWind(folder / "regular_wind.nc");
        writeGmtCurrents(folder / "gmt_currents.nc");
        writeRegularGlobal(folder / "regular_2deg.nc", 2, 3);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make-samples: %s\n", e.what());
        return 1;
    }
    return 0;
}
