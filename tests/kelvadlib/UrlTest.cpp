// A dataset served over OPeNDAP by tools/dapserve on 127.0.0.1 opens through Initialize like the
// local file: the same header, the same grid type and time axis, and strided slices equal to the
// local file's values.
#include "kelvadlib/IKelvad.h"
#include "runtime/Convert.h"
#include "runtime/Variant.h"
#include "tests/support/DapServer.h"
#include "tests/support/NcBuilder.h"
#include "tests/support/TempDir.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Slice {
    Long count[4];
    Long stride[4];
};

class UrlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir();
        const std::string command =
            std::string(MAKE_SAMPLES_PATH) + " '" + dir_->path().string() + "' > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        server_ = new DapServer(DAPSERVE_PATH, dir_->path().string());
    }
    static void TearDownTestSuite() {
        delete server_;
        delete dir_;
        server_ = nullptr;
        dir_ = nullptr;
    }

    static std::unique_ptr<IKelvad> open(const std::string& path) {
        std::unique_ptr<IKelvad> k(CreateKelvad());
        EXPECT_EQ(k->Initialize(path), 1) << path << ": " << k->ErrorMessage();
        return k;
    }

    static TempDir* dir_;
    static DapServer* server_;
};

TempDir* UrlTest::dir_ = nullptr;
DapServer* UrlTest::server_ = nullptr;

TEST_F(UrlTest, HeaderGridTypeAndTimeAxisMatchTheLocalFile) {
    auto local = open(dir_->file("regular_global.nc"));
    auto remote = open(server_->url("regular_global.nc"));

    EXPECT_EQ(remote->GridType(), kGridRegular);
    EXPECT_EQ(remote->GridType(), local->GridType());
    EXPECT_EQ(remote->nVars(), local->nVars());
    EXPECT_EQ(remote->nLon(), local->nLon());
    EXPECT_EQ(remote->nLat(), local->nLat());
    EXPECT_EQ(remote->kMax(), local->kMax());
    EXPECT_EQ(remote->nTime(), local->nTime());
    EXPECT_EQ(remote->StartTime(), local->StartTime());
    EXPECT_EQ(remote->endTime(), local->endTime());
    EXPECT_FLOAT_EQ(remote->westEnd(), local->westEnd());
    EXPECT_FLOAT_EQ(remote->eastEnd(), local->eastEnd());
    for (const char* name : {"temp", "u", "v"})
        EXPECT_EQ(remote->variNum(name), local->variNum(name)) << name;
}

TEST_F(UrlTest, StridedSlicesEqualTheLocalValues) {
    auto local = open(dir_->file("regular_global.nc"));
    // Without prefetching, the client asks the server for each hyperslab.
    auto remote = open(server_->url("regular_global.nc#noprefetch"));
    const Long nvar = local->variNum("temp");
    ASSERT_GT(nvar, 0);
    ASSERT_EQ(local->variNarray(nvar), 4);

    const Slice slices[] = {
        {{1, 1, local->nLat(), local->nLon()}, {1, 1, 1, 1}},
        {{3, 2, 6, 10}, {4, 2, 5, 7}},
        {{12, 3, 3, 3}, {1, 1, 10, 20}},
    };
    for (const Slice& s : slices) {
        VArray<Long> start(1, 4), count(1, 4), stride(1, 4);
        Long n = 1;
        for (Long d = 1; d <= 4; ++d) {
            start(d) = 1;
            count(d) = s.count[d - 1];
            stride(d) = s.stride[d - 1];
            n *= count(d);
        }
        VArray<float> a, b;
        const Variant ra = local->GetVarsAny(nvar, -1e35f, a, start, count, stride, n);
        const Variant rb = remote->GetVarsAny(nvar, -1e35f, b, start, count, stride, n);
        ASSERT_EQ(CLng(rb), CLng(ra)) << remote->ErrorMessage();
        ASSERT_GT(CLng(ra), 0) << local->ErrorMessage();
        ASSERT_EQ(b.size(), a.size());
        for (Long i = LBound(a); i <= UBound(a); ++i)
            ASSERT_EQ(b(i), a(i)) << "value " << i;
    }
}

TEST_F(UrlTest, AnAnswerWhoseDdsTheBatchCannotReadFallsBackToTheClient) {
    // The set-up's own request for all coordinates (no prefetching by the client) gets a DDS
    // with a dimension of 20 digits; netCDF-C's reads then get sound answers.
    server_->badDds();
    std::unique_ptr<IKelvad> remote(CreateKelvad());
    ASSERT_EQ(remote->Initialize(server_->url("regular_global.nc#noprefetch")), 1)
        << remote->ErrorMessage();
    auto local = open(dir_->file("regular_global.nc"));
    EXPECT_EQ(remote->GridType(), local->GridType());
    EXPECT_EQ(remote->StartTime(), local->StartTime());
    EXPECT_EQ(remote->endTime(), local->endTime());
    VArray<float> lon, lat, localLon, localLat;
    ASSERT_EQ(remote->FillLonLatDeg(lon, lat), 1) << remote->ErrorMessage();
    ASSERT_EQ(local->FillLonLatDeg(localLon, localLat), 1);
    ASSERT_EQ(lon.size(), localLon.size());
    for (Long i = LBound(lon); i <= UBound(lon); ++i)
        ASSERT_EQ(lon(i), localLon(i)) << i;
}

TEST_F(UrlTest, AMissingDatasetFailsWithTheLibrarysText) {
    std::unique_ptr<IKelvad> k(CreateKelvad());
    EXPECT_EQ(k->Initialize(server_->url("no-such-file.nc")), -1);
    EXPECT_NE(k->ErrorMessage().find("NetCDF"), std::string::npos) << k->ErrorMessage();
}

// The requests that opening a dataset makes, read from the server's log: netCDF-C's three for
// the header, then one for all the values the set-up and the coordinate fills read, however
// many coordinate variables there are and however large.
class OpenRequests : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir();
        const std::string log = dir_->file("requests.log");
        setenv("DAPSERVE_LOG", log.c_str(), 1);
        server_ = new DapServer(DAPSERVE_PATH, dir_->path().string());
        unsetenv("DAPSERVE_LOG");
    }
    static void TearDownTestSuite() {
        delete server_;
        delete dir_;
        server_ = nullptr;
        dir_ = nullptr;
    }

    // The requests logged for file, as ".dds", ".das" or ".dods?<constraint>".
    static std::vector<std::string> requestsFor(const std::string& file) {
        std::ifstream in(dir_->file("requests.log"));
        std::vector<std::string> out;
        std::string line;
        const std::string lead = "GET /" + file + ".";
        while (std::getline(in, line))
            if (line.rfind(lead, 0) == 0) out.push_back(line.substr(lead.size() - 1));
        return out;
    }

    static TempDir* dir_;
    static DapServer* server_;
};

TempDir* OpenRequests::dir_ = nullptr;
DapServer* OpenRequests::server_ = nullptr;

void timeAxis(NcBuilder& nc, std::size_t n) {
    std::vector<double> days;
    for (std::size_t i = 0; i < n; ++i)
        days.push_back(30.0 * static_cast<double>(i));
    nc.unlimitedDim("time", n);
    nc.var("time", NC_DOUBLE, {"time"})
        .att("units", "days since 2001-01-01 00:00:00")
        .att("calendar", "noleap")
        .values(days);
}

// A global grid of 4200 x 100 with 5 depths: the longitudes are more than the client fetches
// together with the small variables by itself. The field itself is never written.
void bigRegular(const std::string& path) {
    NcBuilder nc(path, NcFormat::Netcdf4);
    timeAxis(nc, 10);
    nc.dim("depth", 5);
    nc.dim("lat", 100);
    nc.dim("lon", 4200);
    nc.var("depth", NC_FLOAT, {"depth"})
        .att("units", "m")
        .att("positive", "down")
        .values(std::vector<double>{0, 10, 20, 50, 100});
    std::vector<double> lat, lon;
    for (int j = 0; j < 100; ++j)
        lat.push_back(-89.1 + 1.8 * j);
    for (int i = 0; i < 4200; ++i)
        lon.push_back(-180.0 + 360.0 / 4200 * i);
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values(lat);
    nc.var("lon", NC_DOUBLE, {"lon"}).att("units", "degrees_east").values(lon);
    nc.var("temp", NC_SHORT, {"time", "depth", "lat", "lon"})
        .att("scale_factor", 0.01f)
        .att("_FillValue", NC_SHORT, -32767);
    nc.write();
}

// A small regular grid: everything fits in the client's own first fetch.
void smallRegular(const std::string& path) {
    NcBuilder nc(path);
    timeAxis(nc, 4);
    nc.dim("depth", 2);
    nc.dim("lat", 18);
    nc.dim("lon", 36);
    nc.var("depth", NC_INT, {"depth"}).att("units", "m").values(std::vector<int>{5, 15});
    std::vector<double> lat, lon;
    for (int j = 0; j < 18; ++j)
        lat.push_back(-85.0 + 10.0 * j);
    for (int i = 0; i < 36; ++i)
        lon.push_back(5.0 + 10.0 * i);
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values(lat);
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values(lon);
    nc.var("temp", NC_FLOAT, {"time", "depth", "lat", "lon"})
        .values(std::vector<double>(4 * 2 * 18 * 36, 12.5));
    nc.write();
}

// An ocean model's curvilinear grid of 70 x 70 that wraps at 0/360.
void curvilinear(const std::string& path) {
    NcBuilder nc(path);
    timeAxis(nc, 3);
    nc.dim("y", 70);
    nc.dim("x", 70);
    std::vector<double> lon, lat;
    for (int j = 0; j < 70; ++j)
        for (int i = 0; i < 70; ++i) {
            lon.push_back(std::fmod(300.0 + 1.5 * i + 0.2 * j, 360.0));
            lat.push_back(-30.0 + 0.8 * j + 0.05 * i);
        }
    nc.var("lon", NC_FLOAT, {"y", "x"}).att("units", "degrees_east").values(lon);
    nc.var("lat", NC_FLOAT, {"y", "x"}).att("units", "degrees_north").values(lat);
    nc.var("zeta", NC_FLOAT, {"time", "y", "x"}).values(std::vector<double>(3 * 70 * 70, 0.25));
    nc.write();
}

// A finite-element mesh of 4200 nodes numbered from 1.
void mesh(const std::string& path) {
    const int nodes = 4200, elements = nodes - 2;
    NcBuilder nc(path);
    timeAxis(nc, 3);
    nc.dim("node", nodes);
    nc.dim("nele", elements);
    nc.dim("nvert", 3);
    std::vector<double> lon, lat;
    for (int i = 0; i < nodes; ++i) {
        lon.push_back(7.0 + 0.001 * i);
        lat.push_back(54.0 + 0.01 * (i % 2));
    }
    std::vector<int> nv;
    for (int e = 0; e < elements; ++e)
        for (int c = 1; c <= 3; ++c)
            nv.push_back(e + c);
    nc.var("lon", NC_FLOAT, {"node"}).att("units", "degrees_east").values(lon);
    nc.var("lat", NC_FLOAT, {"node"}).att("units", "degrees_north").values(lat);
    nc.var("nv", NC_INT, {"nele", "nvert"}).values(nv);
    nc.var("zeta", NC_FLOAT, {"time", "node"}).values(std::vector<double>(3 * nodes, 0.5));
    nc.write();
}

// What an open and the coordinate fills give.
struct Opened {
    Long gridType = 0, nTime = 0, kMax = 0;
    std::string start, end;
    VArray<float> lon, lat;
    VArray<double> time, levels;
    VArray<Long> n1, n2, n3;
};

Opened openAndFill(const std::string& name) {
    std::unique_ptr<IKelvad> k(CreateKelvad());
    Opened o;
    EXPECT_EQ(k->Initialize(name), 1) << name << ": " << k->ErrorMessage();
    o.gridType = k->GridType();
    o.nTime = k->nTime();
    o.kMax = k->kMax();
    o.start = k->StartTime();
    o.end = k->endTime();
    EXPECT_EQ(k->FillLonLatDeg(o.lon, o.lat), 1) << k->ErrorMessage();
    EXPECT_EQ(k->FillTime(o.time), 1) << k->ErrorMessage();
    if (o.kMax > 0) {
        EXPECT_EQ(k->FillvCoord(o.levels), 1) << k->ErrorMessage();
    }
    if (o.gridType == kGridFeMesh) {
        EXPECT_EQ(k->FillNodeMesh(o.n1, o.n2, o.n3), 1) << k->ErrorMessage();
    }
    return o;
}

template <class T>
void expectSame(const VArray<T>& remote, const VArray<T>& local, const char* what) {
    ASSERT_EQ(remote.IsAllocated(), local.IsAllocated()) << what;
    if (!local.IsAllocated()) return;
    ASSERT_EQ(remote.size(), local.size()) << what;
    for (std::size_t i = 0; i < local.size(); ++i)
        ASSERT_EQ(remote.data()[i], local.data()[i]) << what << " " << i;
}

TEST_F(OpenRequests, TheHeaderAndOneRequestForAllCoordinates) {
    struct Case {
        const char* file;
        std::function<void(const std::string&)> make;
        const char* suffix; // client parameters
        Long gridType;
    };
    const Case cases[] = {
        {"regular.nc", bigRegular, "", kGridRegular},
        {"curvilinear.nc", curvilinear, "", kGridBfg},
        {"mesh.nc", mesh, "", kGridFeMesh},
        {"small.nc", smallRegular, "", kGridRegular},
        // The client's own prefetching turned off: the batch brings even small axes together.
        {"small_noprefetch.nc", smallRegular, "#noprefetch", kGridRegular},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        c.make(dir_->file(c.file));
        const Opened remote = openAndFill(server_->url(std::string(c.file) + c.suffix));
        const Opened local = openAndFill(dir_->file(c.file));

        const std::vector<std::string> requests = requestsFor(c.file);
        ASSERT_EQ(requests.size(), 4u) << ::testing::PrintToString(requests);
        EXPECT_EQ(requests[0], ".dds");
        EXPECT_EQ(requests[1], ".das");
        EXPECT_EQ(requests[2], ".dds");
        EXPECT_EQ(requests[3].rfind(".dods?", 0), 0u) << requests[3];

        EXPECT_EQ(remote.gridType, c.gridType);
        EXPECT_EQ(remote.gridType, local.gridType);
        EXPECT_EQ(remote.nTime, local.nTime);
        EXPECT_EQ(remote.kMax, local.kMax);
        EXPECT_EQ(remote.start, local.start);
        EXPECT_EQ(remote.end, local.end);
        expectSame(remote.lon, local.lon, "lon");
        expectSame(remote.lat, local.lat, "lat");
        expectSame(remote.time, local.time, "time");
        expectSame(remote.levels, local.levels, "levels");
        expectSame(remote.n1, local.n1, "node1");
        expectSame(remote.n2, local.n2, "node2");
        expectSame(remote.n3, local.n3, "node3");
    }
}

} // namespace

// A field of 600 x 400: more values than the reads take at a time from a local file.
void wideField(const std::string& path) {
    NcBuilder nc(path);
    timeAxis(nc, 2);
    nc.dim("lat", 400);
    nc.dim("lon", 600);
    std::vector<double> lat, lon, field;
    for (int j = 0; j < 400; ++j)
        lat.push_back(-79.8 + 0.4 * j);
    for (int i = 0; i < 600; ++i)
        lon.push_back(-180.0 + 0.6 * i);
    for (int i = 0; i < 2 * 400 * 600; ++i)
        field.push_back(i % 1000);
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values(lat);
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values(lon);
    nc.var("h", NC_FLOAT, {"time", "lat", "lon"}).values(field);
    nc.write();
}

TEST_F(OpenRequests, ASliceIsOneRequestAndTheHeaderDumpDoesNotReopenTheDataset) {
    const std::string file = "wide.nc";
    wideField(dir_->file(file));
    std::unique_ptr<IKelvad> k(CreateKelvad());
    ASSERT_EQ(k->Initialize(server_->url(file)), 1) << k->ErrorMessage();
    Long h = 0;
    for (Long v = 1; v <= k->nVars(); ++v)
        if (k->variName(v) == "h") h = v;
    ASSERT_GT(h, 0);
    // The header dump reads the header of its own through slot 0.
    ASSERT_EQ(k->GetHeadOnly(server_->url(file)), 1) << k->ErrorMessage();
    const std::size_t before = requestsFor(file).size();
    VArray<Long> start(1, 3), count(1, 3);
    start(1) = 2, start(2) = 1, start(3) = 1;
    count(1) = 1, count(2) = 400, count(3) = 600;
    VArray<float> values(1, 400 * 600);
    for (int read = 0; read < 2; ++read)
        ASSERT_EQ(CLng(k->GetVaraAny(h, -1e35f, values, start, count, 400 * 600)), 400 * 600)
            << k->ErrorMessage();
    EXPECT_EQ(values(1), 0.0f); // 240000 % 1000
    EXPECT_EQ(values(400 * 600), 999.0f);
    const std::vector<std::string> all = requestsFor(file);
    const std::vector<std::string> reads(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
    ASSERT_EQ(reads.size(), 2u) << ::testing::PrintToString(reads);
    for (const std::string& r : reads)
        EXPECT_EQ(r.rfind(".dods?h", 0), 0u) << r;
}
