#include "common/ClassicHeader.h"
#include "tests/support/TempDir.h"

#include <netcdf.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kSampleNames = {
    "regular_global.nc", "regular_wind.nc", "bfg_coastal.nc", "fe_mesh.nc",     "fv_mesh.nc",
    "gmt_grid.nc",       "gmt_currents.nc", "stations.nc",    "regular_2deg.nc"};

int runTool(const std::string& args) {
    const std::string command = std::string("'") + MAKE_SAMPLES_PATH + "' " + args + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string quoted(const fs::path& p) {
    const std::string path = p.string();
    return "'" + path + "'";
}

std::vector<char> bytesOf(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.insert(e.path().filename().string());
    return names;
}

// Read access to one sample through the netCDF-C calls; every failure fails the test.
class Nc {
public:
    explicit Nc(const fs::path& p) {
        // Every sample is a classic file whose header holds up to the checks made before a load.
        std::string why;
        ClassicLayout layout;
        if (!CheckClassicFile(p.string(), why, &layout)) ADD_FAILURE() << why;
        if (layout.version == 0) ADD_FAILURE() << p << ": not a classic file";
        const int status = nc_open(p.c_str(), NC_NOWRITE, &id_);
        if (status != NC_NOERR) ADD_FAILURE() << p << ": " << nc_strerror(status);
    }
    ~Nc() {
        if (id_ >= 0) nc_close(id_);
    }
    Nc(const Nc&) = delete;
    Nc& operator=(const Nc&) = delete;

    int id() const { return id_; }

    std::size_t dimLength(const std::string& name) const {
        int d = -1;
        std::size_t n = 0;
        if (nc_inq_dimid(id_, name.c_str(), &d) != NC_NOERR) {
            ADD_FAILURE() << "no dimension " << name;
            return 0;
        }
        nc_inq_dimlen(id_, d, &n);
        return n;
    }

    int varId(const std::string& name) const {
        int v = -1;
        if (nc_inq_varid(id_, name.c_str(), &v) != NC_NOERR)
            ADD_FAILURE() << "no variable " << name;
        return v;
    }

    std::vector<std::string> dimsOf(const std::string& name) const {
        const int v = varId(name);
        int n = 0;
        nc_inq_varndims(id_, v, &n);
        std::vector<int> ids(n);
        nc_inq_vardimid(id_, v, ids.data());
        std::vector<std::string> names;
        for (int d : ids) {
            char buf[NC_MAX_NAME + 1] = {};
            nc_inq_dimname(id_, d, buf);
            names.emplace_back(buf);
        }
        return names;
    }

    // The stored values, converted to double; no scale or offset applied.
    std::vector<double> raw(const std::string& name) const {
        const int v = varId(name);
        int n = 0;
        nc_inq_varndims(id_, v, &n);
        std::vector<int> ids(n);
        nc_inq_vardimid(id_, v, ids.data());
        std::size_t total = 1;
        for (int d : ids) {
            std::size_t len = 0;
            nc_inq_dimlen(id_, d, &len);
            total *= len;
        }
        std::vector<double> values(total);
        EXPECT_EQ(nc_get_var_double(id_, v, values.data()), NC_NOERR) << name;
        return values;
    }

    bool hasAtt(const std::string& var, const std::string& att) const {
        const int v = var.empty() ? NC_GLOBAL : varId(var);
        return nc_inq_attid(id_, v, att.c_str(), nullptr) == NC_NOERR;
    }
    int attCount(const std::string& var) const {
        int n = 0;
        nc_inq_varnatts(id_, varId(var), &n);
        return n;
    }
    std::string text(const std::string& var, const std::string& att) const {
        const int v = var.empty() ? NC_GLOBAL : varId(var);
        std::size_t len = 0;
        if (nc_inq_attlen(id_, v, att.c_str(), &len) != NC_NOERR) return {};
        std::string s(len, '\0');
        nc_get_att_text(id_, v, att.c_str(), s.data());
        return s;
    }
    double number(const std::string& var, const std::string& att) const {
        double x = 0;
        EXPECT_EQ(nc_get_att_double(id_, varId(var), att.c_str(), &x), NC_NOERR)
            << var << ":" << att;
        return x;
    }

private:
    int id_ = -1;
};

// A variable's values as a reader shows them: unpacked, with NaN where the fill value stands.
std::vector<double> values(const Nc& nc, const std::string& name) {
    std::vector<double> v = nc.raw(name);
    const bool filled = nc.hasAtt(name, "_FillValue");
    const double fill = filled ? nc.number(name, "_FillValue") : 0.0;
    const double scale = nc.hasAtt(name, "scale_factor") ? nc.number(name, "scale_factor") : 1.0;
    const double offset = nc.hasAtt(name, "add_offset") ? nc.number(name, "add_offset") : 0.0;
    for (double& x : v) {
        EXPECT_FALSE(std::isnan(x)) << name << " holds a NaN";
        x = filled && x == fill ? NAN : x * scale + offset;
    }
    return v;
}

std::size_t countFill(const std::vector<double>& v) {
    return static_cast<std::size_t>(
        std::count_if(v.begin(), v.end(), [](double x) { return std::isnan(x); }));
}

// Every valid value lies within [lo, hi].
void expectRange(const std::vector<double>& v, double lo, double hi, const std::string& what) {
    for (double x : v)
        if (!std::isnan(x)) {
            ASSERT_GE(x, lo) << what;
            ASSERT_LE(x, hi) << what;
        }
}

// The tool runs once for all the tests that only read its output.
class MakeSamplesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir();
        exitCode_ = runTool(quoted(dir_->path() / "samples"));
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    void SetUp() override { ASSERT_EQ(exitCode_, 0); }

    static fs::path sample(const std::string& name) { return dir_->path() / "samples" / name; }

    static TempDir* dir_;
    static int exitCode_;
};
TempDir* MakeSamplesTest::dir_ = nullptr;
int MakeSamplesTest::exitCode_ = -1;

TEST_F(MakeSamplesTest, WritesSmallClassicFilesAndNoTemporaryOnes) {
    EXPECT_EQ(namesIn(dir_->path() / "samples"),
              std::set<std::string>(kSampleNames.begin(), kSampleNames.end()));
    for (const auto& name : kSampleNames) {
        SCOPED_TRACE(name);
        EXPECT_LT(fs::file_size(sample(name)), 1024u * 1024u);
        Nc nc(sample(name));
        int format = -1;
        nc_inq_format(nc.id(), &format);
        EXPECT_EQ(format, NC_FORMAT_CLASSIC);
    }
}

TEST_F(MakeSamplesTest, SecondRunWritesTheSameBytes) {
    TempDir again;
    ASSERT_EQ(runTool(quoted(again.path())), 0);
    for (const auto& name : kSampleNames)
        EXPECT_TRUE(bytesOf(sample(name)) == bytesOf(again.path() / name)) << name;
}

// The names that the dataset library's recognition keys on, one row per sample.
struct Layout {
    std::string file;
    std::map<std::string, std::size_t> dims;
    std::map<std::string, std::vector<std::string>> vars;
};

// The two regular grids differ only in their sizes.
Layout regularLayout(const std::string& file, std::size_t times, std::size_t lats,
                     std::size_t lons) {
    const std::vector<std::string> field = {"time", "depth", "lat", "lon"};
    return {file,
            {{"time", times}, {"depth", 3}, {"lat", lats}, {"lon", lons}},
            {{"time", {"time"}},
             {"depth", {"depth"}},
             {"lat", {"lat"}},
             {"lon", {"lon"}},
             {"temp", field},
             {"u", field},
             {"v", field}}};
}

TEST_F(MakeSamplesTest, DimensionsAndVariablesOfEachLayout) {
    const std::vector<Layout> layouts = {
        regularLayout("regular_global.nc", 12, 36, 72),
        regularLayout("regular_2deg.nc", 3, 90, 180),
        {"bfg_coastal.nc",
         {{"time", 25}, {"ypos", 24}, {"xpos", 40}},
         {{"time", {"time"}},
          {"lon", {"ypos", "xpos"}},
          {"lat", {"ypos", "xpos"}},
          {"h", {"ypos", "xpos"}},
          {"zeta", {"time", "ypos", "xpos"}},
          {"u", {"time", "ypos", "xpos"}},
          {"v", {"time", "ypos", "xpos"}}}},
        {"fe_mesh.nc",
         {{"time", 25}, {"node", 384}, {"nele", 682}, {"nface", 3}},
         {{"time", {"time"}},
          {"lon", {"node"}},
          {"lat", {"node"}},
          {"nv", {"nele", "nface"}},
          {"h", {"node"}},
          {"zeta", {"time", "node"}},
          {"u", {"time", "node"}},
          {"v", {"time", "node"}}}},
        {"fv_mesh.nc",
         {{"time", 13},
          {"node", 700},
          {"nele", 234},
          {"nface", 3},
          {"layers", 4},
          {"dimensions", 3}},
         {{"time", {"time"}},
          {"sigma", {"layers"}},
          {"lon", {"nele"}},
          {"lat", {"nele"}},
          {"nv", {"nele", "nface"}},
          {"code", {"node"}},
          {"node_lon", {"node"}},
          {"node_lat", {"node"}},
          {"zeta", {"time", "nele"}},
          {"temp", {"time", "layers", "nele"}},
          {"u", {"time", "layers", "nele"}},
          {"v", {"time", "layers", "nele"}}}},
        {"gmt_grid.nc",
         {{"side", 2}, {"xysize", 101 * 81}},
         {{"x_range", {"side"}},
          {"y_range", {"side"}},
          {"z_range", {"side"}},
          {"spacing", {"side"}},
          {"dimension", {"side"}},
          {"z", {"xysize"}}}},
        {"regular_wind.nc",
         {{"time", 16}, {"lat", 73}, {"lon", 144}},
         {{"time", {"time"}},
          {"lat", {"lat"}},
          {"lon", {"lon"}},
          {"uwnd", {"time", "lat", "lon"}},
          {"vwnd", {"time", "lat", "lon"}},
          {"slp", {"time", "lat", "lon"}}}},
        {"gmt_currents.nc",
         {{"side", 2}, {"xysize", 41 * 33}},
         {{"x_range", {"side"}},
          {"y_range", {"side"}},
          {"z_range", {"side"}},
          {"spacing", {"side"}},
          {"dimension", {"side"}},
          {"z", {"xysize"}},
          {"u", {"xysize"}},
          {"v", {"xysize"}}}},
        {"stations.nc",
         {{"time", 31}, {"station", 36}},
         {{"time", {"time"}},
          {"lon", {"station"}},
          {"lat", {"station"}},
          {"temp", {"time", "station"}},
          {"u", {"time", "station"}},
          {"v", {"time", "station"}}}},
    };
    for (const auto& layout : layouts) {
        SCOPED_TRACE(layout.file);
        Nc nc(sample(layout.file));
        int nDims = 0, nVars = 0;
        nc_inq(nc.id(), &nDims, &nVars, nullptr, nullptr);
        EXPECT_EQ(static_cast<std::size_t>(nDims), layout.dims.size());
        EXPECT_EQ(static_cast<std::size_t>(nVars), layout.vars.size());
        for (const auto& [name, length] : layout.dims)
            EXPECT_EQ(nc.dimLength(name), length) << name;
        for (const auto& [name, dims] : layout.vars) {
            EXPECT_EQ(nc.dimsOf(name), dims) << name;
            // The header reader keeps only 20 attributes of a variable.
            EXPECT_LE(nc.attCount(name), 20) << name;
        }
    }
}

TEST_F(MakeSamplesTest, TimeAxesCountFromADateAndAscend) {
    const std::map<std::string, std::string> units = {
        {"regular_global.nc", "days since 2001-01-01 00:00:00"},
        {"bfg_coastal.nc", "hours since 2004-03-15 00:00:00"},
        {"fe_mesh.nc", "seconds since 2004-03-15 00:00:00"},
        {"fv_mesh.nc", "days since 2004-03-15 00:00:00"},
        {"stations.nc", "days since 2005-07-01 00:00:00"},
    };
    for (const auto& [file, unit] : units) {
        SCOPED_TRACE(file);
        Nc nc(sample(file));
        EXPECT_EQ(nc.text("time", "units"), unit);
        const auto t = nc.raw("time");
        ASSERT_GE(t.size(), 2u);
        EXPECT_TRUE(std::is_sorted(t.begin(), t.end()));
        EXPECT_EQ(std::adjacent_find(t.begin(), t.end()), t.end());
    }
    // Monthly steps of one year, the 15th of each month.
    Nc nc(sample("regular_global.nc"));
    EXPECT_EQ(nc.raw("time"),
              (std::vector<double>{14, 45, 73, 104, 134, 165, 195, 226, 257, 287, 318, 348}));
}

TEST_F(MakeSamplesTest, CoordinateUnitsNameEastAndNorth) {
    for (const std::string file : {"regular_global.nc", "regular_2deg.nc", "bfg_coastal.nc",
                                   "fe_mesh.nc", "fv_mesh.nc", "stations.nc"}) {
        SCOPED_TRACE(file);
        Nc nc(sample(file));
        EXPECT_EQ(nc.text("lon", "units"), "degrees_east");
        EXPECT_EQ(nc.text("lat", "units"), "degrees_north");
        const auto lon = nc.raw("lon");
        const auto lat = nc.raw("lat");
        expectRange(lon, -180.0, 180.0, "lon");
        expectRange(lat, -90.0, 90.0, "lat");
        EXPECT_FALSE(nc.hasAtt("lon", "_FillValue"));
    }
}

// Indexes of the regular grid's temp(time, depth, lat, lon).
std::size_t at(int t, int k, int j, int i) {
    return ((static_cast<std::size_t>(t) * 3 + k) * 36 + j) * 72 + i;
}
int lonIndex(double lon) {
    return static_cast<int>(std::lround((lon + 177.5) / 5.0));
}
int latIndex(double lat) {
    return static_cast<int>(std::lround((lat + 87.5) / 5.0));
}

TEST_F(MakeSamplesTest, RegularGridHasLandMaskedAndPlausibleOcean) {
    Nc nc(sample("regular_global.nc"));
    EXPECT_EQ(nc.raw("lon").front(), -177.5);
    EXPECT_EQ(nc.raw("lon").back(), 177.5);
    EXPECT_EQ(nc.raw("lat").front(), -87.5);
    EXPECT_EQ(nc.raw("depth"), (std::vector<double>{0, 100, 500}));
    EXPECT_EQ(nc.text("temp", "units"), "degC");

    const auto temp = values(nc, "temp");
    const auto u = values(nc, "u");
    const auto v = values(nc, "v");
    expectRange(temp, -1.8, 31.0, "temp");
    expectRange(u, -1.5, 1.5, "u");
    expectRange(v, -1.5, 1.5, "v");

    // One mask for the three variables, the same in every month, growing with depth.
    for (std::size_t n = 0; n < temp.size(); ++n) {
        ASSERT_EQ(std::isnan(temp[n]), std::isnan(u[n])) << n;
        ASSERT_EQ(std::isnan(temp[n]), std::isnan(v[n])) << n;
    }
    for (int t = 1; t < 12; ++t)
        for (int k = 0; k < 3; ++k)
            for (int j = 0; j < 36; ++j)
                for (int i = 0; i < 72; ++i)
                    ASSERT_EQ(std::isnan(temp[at(t, k, j, i)]), std::isnan(temp[at(0, k, j, i)]));
    for (int k = 1; k < 3; ++k)
        for (int j = 0; j < 36; ++j)
            for (int i = 0; i < 72; ++i)
                if (std::isnan(temp[at(0, k - 1, j, i)])) {
                    ASSERT_TRUE(std::isnan(temp[at(0, k, j, i)]));
                }

    // Land: the middle of North America, Africa, Asia and Antarctica; sea: the open oceans.
    const std::vector<std::pair<double, double>> land = {
        {-102.5, 42.5}, {22.5, 2.5}, {97.5, 52.5}, {2.5, -82.5}, {132.5, -22.5}};
    const std::vector<std::pair<double, double>> sea = {
        {-152.5, 2.5}, {-32.5, 32.5}, {77.5, -22.5}, {-152.5, 42.5}, {-2.5, -57.5}};
    for (auto [lon, lat] : land)
        EXPECT_TRUE(std::isnan(temp[at(0, 0, latIndex(lat), lonIndex(lon))])) << lon << " " << lat;
    for (auto [lon, lat] : sea)
        for (int k = 0; k < 3; ++k)
            EXPECT_FALSE(std::isnan(temp[at(0, k, latIndex(lat), lonIndex(lon))]))
                << lon << " " << lat << " level " << k;
    const std::size_t surfaceLand = countFill(
        std::vector<double>(temp.begin() + at(0, 0, 0, 0), temp.begin() + at(0, 1, 0, 0)));
    EXPECT_GT(surfaceLand, 36u * 72u / 5);
    EXPECT_LT(surfaceLand, 36u * 72u / 2);

    // Warm tropics, cold poles; cooler with depth; each hemisphere warmest in its summer.
    const int pacific = lonIndex(-152.5);
    EXPECT_GT(temp[at(0, 0, latIndex(2.5), pacific)], 25.0);
    EXPECT_LT(temp[at(0, 0, latIndex(62.5), lonIndex(-32.5))], 12.0);
    EXPECT_GT(temp[at(0, 0, latIndex(2.5), pacific)], temp[at(0, 1, latIndex(2.5), pacific)]);
    EXPECT_GT(temp[at(0, 1, latIndex(2.5), pacific)], temp[at(0, 2, latIndex(2.5), pacific)]);
    const int north = latIndex(42.5), south = latIndex(-42.5);
    EXPECT_GT(temp[at(7, 0, north, pacific)], temp[at(1, 0, north, pacific)] + 3.0);
    EXPECT_LT(temp[at(7, 0, south, pacific)], temp[at(1, 0, south, pacific)] - 3.0);

    // A current that is not zero and turns: both signs of u and of v occur at the surface.
    double uMin = 0, uMax = 0, vMin = 0, vMax = 0;
    for (std::size_t n = at(0, 0, 0, 0); n < at(0, 1, 0, 0); ++n)
        if (!std::isnan(u[n])) {
            uMin = std::min(uMin, u[n]);
            uMax = std::max(uMax, u[n]);
            vMin = std::min(vMin, v[n]);
            vMax = std::max(vMax, v[n]);
        }
    EXPECT_LT(uMin, -0.1);
    EXPECT_GT(uMax, 0.1);
    EXPECT_LT(vMin, -0.05);
    EXPECT_GT(vMax, 0.05);
}

TEST_F(MakeSamplesTest, CoastalGridIsCurvilinearWithAnIsland) {
    Nc nc(sample("bfg_coastal.nc"));
    const auto lon = nc.raw("lon");
    const auto lat = nc.raw("lat");
    ASSERT_EQ(lon.size(), 24u * 40u);
    // Not a product of two axes: longitude changes along both index directions.
    EXPECT_NE(lon[0], lon[40]);
    EXPECT_NE(lon[0], lon[1]);
    EXPECT_NE(lat[0], lat[40]);
    EXPECT_NE(lat[0], lat[1]);

    const auto h = values(nc, "h");
    const auto u = values(nc, "u");
    const auto v = values(nc, "v");
    const auto zeta = values(nc, "zeta");
    const std::size_t plane = lon.size();
    const std::size_t island = countFill(h);
    EXPECT_GT(island, 0u);
    EXPECT_LT(island, plane / 20);
    for (std::size_t n = 0; n < u.size(); ++n) {
        ASSERT_EQ(std::isnan(u[n]), std::isnan(h[n % plane])) << n;
        ASSERT_EQ(std::isnan(v[n]), std::isnan(h[n % plane])) << n;
        ASSERT_EQ(std::isnan(zeta[n]), std::isnan(h[n % plane])) << n;
    }
    expectRange(h, 1.0, 200.0, "h");
    expectRange(u, -1.5, 1.5, "u");
    expectRange(v, -1.5, 1.5, "v");
    expectRange(zeta, -2.0, 2.0, "zeta");
    // The tide turns: the current at a point near the shore changes sign within the day.
    const std::size_t point = 20;
    double lo = 0, hi = 0;
    for (std::size_t t = 0; t < 25; ++t) {
        lo = std::min(lo, u[t * plane + point]);
        hi = std::max(hi, u[t * plane + point]);
    }
    EXPECT_LT(lo, -0.1);
    EXPECT_GT(hi, 0.1);
}

// Twice the signed area of a triangle.
double area2(double x1, double y1, double x2, double y2, double x3, double y3) {
    return (x2 - x1) * (y3 - y1) - (x3 - x1) * (y2 - y1);
}

TEST_F(MakeSamplesTest, FiniteElementMeshIsAValidTriangulation) {
    Nc nc(sample("fe_mesh.nc"));
    const std::size_t nNodes = nc.dimLength("node");
    const auto lon = nc.raw("lon");
    const auto lat = nc.raw("lat");
    const auto nv = nc.raw("nv");
    ASSERT_EQ(nv.size(), 3 * nc.dimLength("nele"));
    std::vector<int> used(nNodes, 0);
    for (std::size_t e = 0; e < nv.size() / 3; ++e) {
        const double a = nv[3 * e], b = nv[3 * e + 1], c = nv[3 * e + 2];
        for (double n : {a, b, c}) {
            ASSERT_GE(n, 0.0) << e; // node numbers count from 0
            ASSERT_LT(n, static_cast<double>(nNodes)) << e;
            used[static_cast<std::size_t>(n)] = 1;
        }
        const auto ia = static_cast<std::size_t>(a), ib = static_cast<std::size_t>(b),
                   ic = static_cast<std::size_t>(c);
        ASSERT_GT(std::abs(area2(lon[ia], lat[ia], lon[ib], lat[ib], lon[ic], lat[ic])), 1e-8)
            << "element " << e << " is degenerate";
    }
    EXPECT_EQ(std::count(used.begin(), used.end(), 1), static_cast<long>(nNodes));

    const auto zeta = values(nc, "zeta");
    EXPECT_EQ(countFill(zeta), 0u);
    expectRange(zeta, -2.0, 2.0, "zeta");
    expectRange(values(nc, "u"), -2.0, 2.0, "u");
    expectRange(values(nc, "v"), -2.0, 2.0, "v");
    expectRange(values(nc, "h"), 0.5, 50.0, "h");
    // A tide: the elevation at the mouth rises and falls by more than half a metre.
    const auto [lo, hi] = std::minmax_element(zeta.begin(), zeta.end());
    EXPECT_LT(*lo, -0.5);
    EXPECT_GT(*hi, 0.5);
}

TEST_F(MakeSamplesTest, FiniteVolumeMeshNumbersColumnsOfNodes) {
    Nc nc(sample("fv_mesh.nc"));
    const std::size_t levels = nc.dimLength("layers") + 1;
    const std::size_t nodesAll = nc.dimLength("node");
    ASSERT_EQ(nodesAll % levels, 0u);
    const std::size_t nodes2d = nodesAll / levels;

    // Corners name the surface node of a column: a multiple of layers + 1, inside the node
    // dimension, so that the library's division gives 1-based horizontal nodes.
    const auto nv = nc.raw("nv");
    std::set<double> corners(nv.begin(), nv.end());
    for (double n : nv) {
        ASSERT_GE(n, 0.0);
        ASSERT_LT(n, static_cast<double>(nodesAll));
        ASSERT_EQ(std::fmod(n, static_cast<double>(levels)), 0.0) << n;
    }
    EXPECT_EQ(corners.size(), nodes2d);

    // Codes: the same for every node of a column; land and open boundary both present.
    const auto code = nc.raw("code");
    ASSERT_EQ(code.size(), nodesAll);
    std::map<double, int> count;
    for (std::size_t n = 0; n < nodes2d; ++n) {
        for (std::size_t k = 1; k < levels; ++k)
            ASSERT_EQ(code[n * levels + k], code[n * levels]);
        ++count[code[n * levels]];
    }
    EXPECT_EQ(count.size(), 3u);
    EXPECT_GT(count[0.0], 0);
    EXPECT_GT(count[1.0], 0);
    EXPECT_GT(count[2.0], 0);

    // Node coordinates: east and north units, the same for every node of a column.
    EXPECT_EQ(nc.text("node_lon", "units"), "degrees_east");
    EXPECT_EQ(nc.text("node_lat", "units"), "degrees_north");
    const auto nodeLon = nc.raw("node_lon");
    const auto nodeLat = nc.raw("node_lat");
    ASSERT_EQ(nodeLon.size(), nodesAll);
    ASSERT_EQ(nodeLat.size(), nodesAll);
    expectRange(nodeLon, 12.0, 13.0, "node_lon");
    expectRange(nodeLat, 45.0, 46.0, "node_lat");
    for (std::size_t n = 0; n < nodes2d; ++n)
        for (std::size_t k = 1; k < levels; ++k) {
            ASSERT_EQ(nodeLon[n * levels + k], nodeLon[n * levels]) << n;
            ASSERT_EQ(nodeLat[n * levels + k], nodeLat[n * levels]) << n;
        }

    // Element coordinates: the mean of the three corners as a Single, exactly as a reader
    // that has the nodes works it out; no element is degenerate.
    const auto lon = nc.raw("lon");
    const auto lat = nc.raw("lat");
    const std::size_t nElements = nc.dimLength("nele");
    ASSERT_EQ(lon.size(), nElements);
    ASSERT_EQ(lat.size(), nElements);
    ASSERT_EQ(nv.size(), 3 * nElements);
    for (std::size_t e = 0; e < nElements; ++e) {
        const auto a = static_cast<std::size_t>(nv[3 * e]),
                   b = static_cast<std::size_t>(nv[3 * e + 1]),
                   c = static_cast<std::size_t>(nv[3 * e + 2]);
        ASSERT_EQ(lon[e], static_cast<float>((nodeLon[a] + nodeLon[b] + nodeLon[c]) / 3.0)) << e;
        ASSERT_EQ(lat[e], static_cast<float>((nodeLat[a] + nodeLat[b] + nodeLat[c]) / 3.0)) << e;
        ASSERT_GT(
            std::abs(area2(nodeLon[a], nodeLat[a], nodeLon[b], nodeLat[b], nodeLon[c], nodeLat[c])),
            1e-8)
            << "element " << e << " is degenerate";
    }

    // Values: no fill anywhere on the mesh.
    const auto temp = values(nc, "temp");
    EXPECT_EQ(countFill(temp), 0u);
    expectRange(temp, 5.0, 25.0, "temp");
    expectRange(values(nc, "zeta"), -1.0, 1.0, "zeta");
    expectRange(values(nc, "u"), -1.0, 1.0, "u");
    expectRange(values(nc, "v"), -1.0, 1.0, "v");
    const auto sigma = nc.raw("sigma");
    expectRange(sigma, -1.0, 0.0, "sigma");
    EXPECT_TRUE(std::is_sorted(sigma.rbegin(), sigma.rend()));
}

TEST_F(MakeSamplesTest, GmtGridRangesSpacingAndDimensionAgree) {
    Nc nc(sample("gmt_grid.nc"));
    const auto x = nc.raw("x_range");
    const auto y = nc.raw("y_range");
    const auto zr = nc.raw("z_range");
    const auto spacing = nc.raw("spacing");
    const auto dimension = nc.raw("dimension");
    ASSERT_EQ(dimension.size(), 2u);
    EXPECT_EQ(dimension[0] * dimension[1], static_cast<double>(nc.dimLength("xysize")));
    EXPECT_NEAR(x[0] + spacing[0] * (dimension[0] - 1), x[1], 1e-9);
    EXPECT_NEAR(y[0] + spacing[1] * (dimension[1] - 1), y[1], 1e-9);
    EXPECT_LT(x[0], x[1]);
    EXPECT_LT(y[0], y[1]);

    // The ranges need an attribute each, and their units must not read as east or north
    // degrees: the library would then take x_range for a longitude list.
    for (const std::string name : {"x_range", "y_range", "z_range"}) {
        EXPECT_GE(nc.attCount(name), 1) << name;
        const std::string unit = nc.text(name, "units");
        EXPECT_EQ(unit.find("east"), std::string::npos) << name;
        EXPECT_EQ(unit.find("north"), std::string::npos) << name;
    }

    const auto z = values(nc, "z");
    EXPECT_EQ(countFill(z), 0u);
    const auto [lo, hi] = std::minmax_element(z.begin(), z.end());
    EXPECT_EQ(*lo, zr[0]);
    EXPECT_EQ(*hi, zr[1]);
    EXPECT_LT(*lo, -2000.0); // deep sea
    EXPECT_GT(*hi, 500.0);   // land
    // Northern row first: the island's peak lies where a north-first layout puts it.
    const auto nx = static_cast<std::size_t>(dimension[0]);
    const auto peak = static_cast<std::size_t>(std::distance(z.begin(), hi));
    EXPECT_NEAR(x[0] + spacing[0] * static_cast<double>(peak % nx), 125.5, 0.3);
    EXPECT_NEAR(y[1] - spacing[1] * static_cast<double>(peak / nx), 24.0, 0.3);
}

// The vector samples: a global wind pair of plausible speeds that changes from step to step,
// beside a plausible pressure, and GMT currents with no value over land (NaN, as GMT writes
// it) and a value over the sea.
TEST_F(MakeSamplesTest, VectorSamplesHavePlausiblePairs) {
    Nc wind(sample("regular_wind.nc"));
    EXPECT_EQ(wind.raw("lon").front(), 0.0);
    EXPECT_EQ(wind.raw("lon").back(), 357.5);
    const auto u = values(wind, "uwnd");
    const auto v = values(wind, "vwnd");
    ASSERT_EQ(u.size(), 16u * 73 * 144);
    EXPECT_EQ(countFill(u), 0u);
    double most = 0;
    for (std::size_t k = 0; k < u.size(); ++k)
        most = std::max(most, std::hypot(u[k], v[k]));
    EXPECT_GT(most, 5.0);
    EXPECT_LT(most, 40.0);
    const std::size_t plane = 73 * 144;
    EXPECT_FALSE(std::equal(v.begin(), v.begin() + plane, v.begin() + plane)) << "steps differ";
    const auto slp = values(wind, "slp");
    EXPECT_EQ(countFill(slp), 0u);
    expectRange(slp, 970.0, 1040.0, "slp");

    Nc gmt(sample("gmt_currents.nc"));
    const auto z = gmt.raw("z");
    const auto cu = gmt.raw("u");
    const auto cv = gmt.raw("v");
    std::size_t sea = 0;
    for (std::size_t k = 0; k < z.size(); ++k) {
        EXPECT_EQ(std::isnan(cu[k]), z[k] > 0) << k;
        EXPECT_EQ(std::isnan(cv[k]), z[k] > 0) << k;
        sea += z[k] < 0 ? 1 : 0;
    }
    EXPECT_GT(sea, z.size() / 2);
    EXPECT_LT(sea, z.size());
}

TEST_F(MakeSamplesTest, StationsHaveOneGapAndPlausibleValues) {
    Nc nc(sample("stations.nc"));
    const std::size_t nStations = nc.dimLength("station");
    expectRange(nc.raw("lon"), -80.0, -5.0, "lon");
    expectRange(nc.raw("lat"), 5.0, 55.0, "lat");
    const auto temp = values(nc, "temp");
    const auto u = values(nc, "u");
    expectRange(temp, 5.0, 31.0, "temp");
    expectRange(u, -1.0, 1.0, "u");
    expectRange(values(nc, "v"), -1.0, 1.0, "v");
    // The gap: a few days of one station, the same days in every variable.
    const std::size_t gap = countFill(temp);
    EXPECT_GT(gap, 0u);
    EXPECT_LT(gap, temp.size() / nStations);
    for (std::size_t n = 0; n < temp.size(); ++n)
        ASSERT_EQ(std::isnan(temp[n]), std::isnan(u[n]));
    std::set<std::size_t> stationsWithGap;
    for (std::size_t n = 0; n < temp.size(); ++n)
        if (std::isnan(temp[n])) stationsWithGap.insert(n % nStations);
    EXPECT_EQ(stationsWithGap.size(), 1u);
}

TEST(MakeSamplesRun, RefusesAWrongCommandLine) {
    TempDir dir;
    EXPECT_NE(runTool(""), 0);
    EXPECT_NE(runTool(quoted(dir.path() / "a") + " " + quoted(dir.path() / "b")), 0);
    EXPECT_TRUE(namesIn(dir.path()).empty());
}

TEST(MakeSamplesRun, FailsWhenTheFolderCannotBeMade) {
    TempDir dir;
    std::ofstream(dir.path() / "plain") << "x";
    EXPECT_EQ(runTool(quoted(dir.path() / "plain" / "samples")), 1);
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"plain"});
}

TEST(MakeSamplesRun, ReplacesOldSamplesWhole) {
    TempDir dir;
    std::ofstream(dir.path() / "stations.nc") << "not a netCDF file";
    ASSERT_EQ(runTool(quoted(dir.path())), 0);
    Nc nc(dir.path() / "stations.nc");
    EXPECT_EQ(nc.dimLength("station"), 36u);
}

TEST(MakeSamplesRun, AFailedFileLeavesNoPartialFileBehind) {
    // A folder in the way of one sample makes its final rename fail: the samples before it
    // are complete, the one in the way is untouched, and no temporary file is left.
    TempDir dir;
    fs::create_directory(dir.path() / "fe_mesh.nc");
    EXPECT_EQ(runTool(quoted(dir.path())), 1);
    EXPECT_EQ(namesIn(dir.path()),
              (std::set<std::string>{"regular_global.nc", "bfg_coastal.nc", "fe_mesh.nc"}));
    EXPECT_TRUE(fs::is_directory(dir.path() / "fe_mesh.nc"));
    EXPECT_TRUE(fs::is_empty(dir.path() / "fe_mesh.nc"));
    Nc nc(dir.path() / "bfg_coastal.nc");
    EXPECT_EQ(nc.dimLength("xpos"), 40u);
}

} // namespace
