// dapserve is checked through the client that the program uses, netCDF-C's DAP2 client: what
// arrives over the URL must equal what the local file holds.
#include "tests/support/DapServer.h"
#include "tests/support/NcBuilder.h"
#include "tests/support/TempDir.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

class Nc {
public:
    explicit Nc(const std::string& path) {
        const int status = nc_open(path.c_str(), NC_NOWRITE, &id);
        if (status != NC_NOERR) throw std::runtime_error(path + ": " + nc_strerror(status));
    }
    ~Nc() { nc_close(id); }
    Nc(const Nc&) = delete;
    Nc& operator=(const Nc&) = delete;
    int id = -1;
};

std::string name(int ncid, int varid) {
    char n[NC_MAX_NAME + 1] = {};
    EXPECT_EQ(nc_inq_varname(ncid, varid, n), NC_NOERR);
    return n;
}

std::string dimName(int ncid, int dimid) {
    char n[NC_MAX_NAME + 1] = {};
    EXPECT_EQ(nc_inq_dimname(ncid, dimid, n), NC_NOERR);
    return n;
}

int varid(int ncid, const std::string& var) {
    int v = -1;
    EXPECT_EQ(nc_inq_varid(ncid, var.c_str(), &v), NC_NOERR) << var;
    return v;
}

// An attribute as text: its type, then its values (numbers as doubles, text as it stands).
std::string attribute(int ncid, int varid, const std::string& att) {
    nc_type type = NC_NAT;
    size_t len = 0;
    if (nc_inq_att(ncid, varid, att.c_str(), &type, &len) != NC_NOERR) return "(missing)";
    std::string out = std::to_string(type) + ":";
    if (type == NC_CHAR) {
        std::string s(len, '\0');
        EXPECT_EQ(nc_get_att_text(ncid, varid, att.c_str(), s.data()), NC_NOERR);
        return out + s;
    }
    std::vector<double> v(len);
    EXPECT_EQ(nc_get_att_double(ncid, varid, att.c_str(), v.data()), NC_NOERR);
    for (double x : v)
        out += " " + std::to_string(x);
    return out;
}

// A regular grid with records, packed and filled floats, shorts, a text variable and text
// attributes that need escaping.
void writeFixture(const std::string& path) {
    constexpr std::size_t nt = 3, ny = 5, nx = 7;
    NcBuilder nc(path);
    nc.unlimitedDim("time", nt);
    nc.dim("lat", ny);
    nc.dim("lon", nx);
    nc.dim("slen", 6);
    std::vector<float> lon(nx), lat(ny);
    for (std::size_t i = 0; i < nx; ++i)
        lon[i] = -180.0f + 60.0f * static_cast<float>(i);
    for (std::size_t j = 0; j < ny; ++j)
        lat[j] = -60.0f + 30.0f * static_cast<float>(j);
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values(lon);
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values(lat);
    nc.var("time", NC_DOUBLE, {"time"})
        .att("units", "days since 1990-01-01 00:00:00")
        .values({0.0, 31.0, 59.5});
    std::vector<float> sst(nt * ny * nx);
    for (std::size_t k = 0; k < sst.size(); ++k)
        sst[k] = static_cast<float>(k % 11) * 2.5f - 3.0f;
    sst[5] = -999.0f;
    sst[nx * ny + 12] = -999.0f;
    nc.var("sst", NC_FLOAT, {"time", "lat", "lon"})
        .att("long_name", "sea \"surface\" temperature\nrecorded")
        .att("scale_factor", 0.5f)
        .att("_FillValue", -999.0f)
        .values(sst);
    std::vector<short> depth(ny * nx);
    for (std::size_t k = 0; k < depth.size(); ++k)
        depth[k] = static_cast<short>(1000 - 37 * static_cast<int>(k));
    depth[3] = -32767;
    nc.var("depth", NC_SHORT, {"lat", "lon"})
        .att("_FillValue", NC_SHORT, -32767)
        .att("valid_range", NC_SHORT, {-500, 1000})
        .values(depth);
    nc.var("label", NC_CHAR, {"time", "slen"}).text(std::string("jan\0\0\0feb\0\0\0march\0", 18));
    nc.var("level", NC_INT).values({42});
    nc.globalAtt("title", "dapserve fixture");
    nc.globalAtt("history", std::string("made\tby a test"));
    nc.globalAtt("version", 2.25);
    nc.write();
}

// One server over a folder with the fixture, for all the tests of this file.
class DapServe : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir;
        writeFixture(dir_->file("grid.nc"));
        server_ = new DapServer(DAPSERVE_PATH, dir_->path().string());
    }
    static void TearDownTestSuite() {
        delete server_;
        delete dir_;
        server_ = nullptr;
        dir_ = nullptr;
    }
    static TempDir* dir_;
    static DapServer* server_;
};

TempDir* DapServe::dir_ = nullptr;
DapServer* DapServe::server_ = nullptr;

TEST_F(DapServe, HeaderOverUrlMatchesLocalFile) {
    Nc local(dir_->file("grid.nc"));
    Nc remote(server_->url("grid.nc"));

    int unlimited = -1;
    ASSERT_EQ(nc_inq_unlimdim(remote.id, &unlimited), NC_NOERR);
    ASSERT_GE(unlimited, 0);
    EXPECT_EQ(dimName(remote.id, unlimited), "time");

    int nvars = 0, remoteVars = 0;
    ASSERT_EQ(nc_inq_nvars(local.id, &nvars), NC_NOERR);
    ASSERT_EQ(nc_inq_nvars(remote.id, &remoteVars), NC_NOERR);
    EXPECT_EQ(remoteVars, nvars);
    for (int v = 0; v < nvars; ++v) {
        const std::string var = name(local.id, v);
        SCOPED_TRACE(var);
        const int rv = varid(remote.id, var);
        nc_type lt = NC_NAT, rt = NC_NAT;
        int lnd = 0, rnd = 0, lnatts = 0;
        int ldims[NC_MAX_VAR_DIMS], rdims[NC_MAX_VAR_DIMS];
        ASSERT_EQ(nc_inq_var(local.id, v, nullptr, &lt, &lnd, ldims, &lnatts), NC_NOERR);
        ASSERT_EQ(nc_inq_var(remote.id, rv, nullptr, &rt, &rnd, rdims, nullptr), NC_NOERR);
        EXPECT_EQ(rt, lt);
        ASSERT_EQ(rnd, lnd);
        for (int d = 0; d < lnd; ++d) {
            EXPECT_EQ(dimName(remote.id, rdims[d]), dimName(local.id, ldims[d]));
            size_t llen = 0, rlen = 0;
            nc_inq_dimlen(local.id, ldims[d], &llen);
            nc_inq_dimlen(remote.id, rdims[d], &rlen);
            EXPECT_EQ(rlen, llen);
        }
        for (int a = 0; a < lnatts; ++a) {
            char att[NC_MAX_NAME + 1] = {};
            ASSERT_EQ(nc_inq_attname(local.id, v, a, att), NC_NOERR);
            EXPECT_EQ(attribute(remote.id, rv, att), attribute(local.id, v, att)) << att;
        }
    }
    for (const char* att : {"title", "history", "version"})
        EXPECT_EQ(attribute(remote.id, NC_GLOBAL, att), attribute(local.id, NC_GLOBAL, att));
}

struct Slice {
    const char* var;
    std::vector<size_t> start, count;
    std::vector<ptrdiff_t> stride;
};

TEST_F(DapServe, StridedSlicesEqualLocalValues) {
    const Slice slices[] = {
        {"sst", {0, 1, 0}, {2, 2, 4}, {2, 3, 2}}, // strided in every dimension
        {"sst", {2, 4, 6}, {1, 1, 1}, {1, 1, 1}}, // the last value
        {"sst", {1, 0, 3}, {1, 5, 1}, {1, 1, 1}}, // a column of one record
        {"sst", {0, 0, 0}, {3, 5, 7}, {1, 1, 1}}, // whole, fill values included
        {"depth", {1, 1}, {2, 3}, {3, 2}},        {"lon", {1}, {3}, {2}}, {"time", {0}, {2}, {2}},
    };
    Nc local(dir_->file("grid.nc"));
    // The client fetches small variables whole at the first read unless told not to; without
    // that it asks the server for each hyperslab.
    for (const char* file : {"grid.nc", "grid.nc#noprefetch"}) {
        SCOPED_TRACE(file);
        Nc remote(server_->url(file));
        for (const Slice& s : slices) {
            SCOPED_TRACE(std::string(s.var) + " start " + std::to_string(s.start[0]) + " stride " +
                         std::to_string(s.stride[0]));
            size_t n = 1;
            for (size_t c : s.count)
                n *= c;
            std::vector<float> want(n, 12345.0f), got(n, 54321.0f);
            ASSERT_EQ(nc_get_vars_float(local.id, varid(local.id, s.var), s.start.data(),
                                        s.count.data(), s.stride.data(), want.data()),
                      NC_NOERR);
            ASSERT_EQ(nc_get_vars_float(remote.id, varid(remote.id, s.var), s.start.data(),
                                        s.count.data(), s.stride.data(), got.data()),
                      NC_NOERR);
            EXPECT_EQ(got, want);
        }

        char labels[3][6] = {};
        size_t start[2] = {1, 0}, count[2] = {2, 6};
        ASSERT_EQ(
            nc_get_vara_text(remote.id, varid(remote.id, "label"), start, count, &labels[0][0]),
            NC_NOERR);
        EXPECT_EQ(std::string(labels[0]), "feb");
        EXPECT_EQ(std::string(labels[1], 5), "march");
        int level = 0;
        ASSERT_EQ(nc_get_var_int(remote.id, varid(remote.id, "level"), &level), NC_NOERR);
        EXPECT_EQ(level, 42);
    }
}

// DAP2 has no empty arrays: record variables of a file without records are left out, and the
// rest of the file stays readable.
TEST_F(DapServe, FileWithoutRecordsKeepsItsOtherVariables) {
    NcBuilder nc(dir_->file("norecords.nc"));
    nc.dim("time", NC_UNLIMITED);
    nc.dim("x", 3);
    nc.var("v", NC_FLOAT, {"time", "x"});
    nc.var("names", NC_CHAR, {"time", "x"});
    nc.var("y", NC_FLOAT, {"x"}).values({1.5f, 2.5f, 3.5f});
    nc.write();

    for (const char* file : {"norecords.nc", "norecords.nc#noprefetch"}) {
        SCOPED_TRACE(file);
        Nc remote(server_->url(file));
        int v = -1;
        EXPECT_NE(nc_inq_varid(remote.id, "v", &v), NC_NOERR);
        std::vector<float> y(3);
        ASSERT_EQ(nc_get_var_float(remote.id, varid(remote.id, "y"), y.data()), NC_NOERR);
        EXPECT_EQ(y, (std::vector<float>{1.5f, 2.5f, 3.5f}));
    }
}

// The status line of a raw GET of `target`.
std::string statusOf(int port, const std::string& target) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        return "(no connection)";
    }
    const std::string request = "GET " + target + " HTTP/1.1\r\nHost: x\r\n\r\n";
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    std::string reply;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = recv(fd, buffer, sizeof buffer, 0)) > 0)
        reply.append(buffer, static_cast<size_t>(n));
    close(fd);
    return reply.substr(0, reply.find("\r\n"));
}

TEST_F(DapServe, ServesOnlyNetcdfFilesInsideItsFolder) {
    const auto& root = dir_->path();
    std::filesystem::create_directory(root / "sub");
    std::filesystem::copy_file(root / "grid.nc", root / "sub" / "inner.nc");
    std::ofstream(root / "notes.nc") << "not netCDF";
    TempDir outside;
    writeFixture(outside.file("secret.nc"));
    std::filesystem::create_symlink(outside.file("secret.nc"), root / "link.nc");
    const std::string secret = outside.file("secret.nc");
    const std::string up = "/../" + outside.path().filename().string() + "/secret.nc.dds";

    const struct {
        std::string target;
        const char* status;
    } cases[] = {
        {"/grid.nc.dds", "HTTP/1.0 200 OK"},
        {"/grid.nc.das", "HTTP/1.0 200 OK"},
        {"/grid.nc.dods?sst%5B0:2:2%5D%5B1%5D%5B0:3:6%5D,lat", "HTTP/1.0 200 OK"},
        {"/sub/inner.nc.dds", "HTTP/1.0 200 OK"},
        {"/grid.nc.dods?nosuch", "HTTP/1.0 400 Bad Request"},
        {"/grid.nc.dods?sst%5B0:1:9%5D", "HTTP/1.0 400 Bad Request"},
        {"/grid.nc", "HTTP/1.0 404 Not Found"},
        {"/missing.nc.dds", "HTTP/1.0 404 Not Found"},
        {"/notes.nc.dds", "HTTP/1.0 404 Not Found"},
        {"/sub.dds", "HTTP/1.0 404 Not Found"},
        {up, "HTTP/1.0 404 Not Found"},
        {"/%2e%2e/" + outside.path().filename().string() + "/secret.nc.dds",
         "HTTP/1.0 404 Not Found"},
        {"/" + secret + ".dds", "HTTP/1.0 404 Not Found"},
        {"/link.nc.dds", "HTTP/1.0 404 Not Found"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(statusOf(server_->port(), c.target), c.status) << c.target;

    int ncid = -1;
    EXPECT_NE(nc_open(server_->url("missing.nc").c_str(), NC_NOWRITE, &ncid), NC_NOERR);
}

TEST(DapServeLifetime, StopsWithItsOwnerAndRefusesABadFolder) {
    TempDir dir;
    int port = 0;
    {
        DapServer server(DAPSERVE_PATH, dir.path().string());
        port = server.port();
        EXPECT_EQ(statusOf(port, "/none.nc.dds"), "HTTP/1.0 404 Not Found");
    }
    EXPECT_EQ(statusOf(port, "/none.nc.dds"), "(no connection)");

    EXPECT_THROW(DapServer(DAPSERVE_PATH, dir.file("no-such-folder")), std::runtime_error);
}

TEST(DapServeLifetime, StopsWhenItsStdinCloses) {
    TempDir dir;
    int in[2], out[2];
    ASSERT_EQ(pipe2(in, O_CLOEXEC), 0);
    ASSERT_EQ(pipe2(out, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    const std::string folder = dir.path().string();
    char* argv[] = {const_cast<char*>(DAPSERVE_PATH), const_cast<char*>(folder.c_str()), nullptr};
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, DAPSERVE_PATH, &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    char first[64] = {};
    ASSERT_GT(read(out[0], first, sizeof first - 1), 0);
    EXPECT_EQ(std::string(first).compare(0, 5, "PORT "), 0) << first;
    close(out[0]);

    close(in[1]);
    int status = -1;
    pid_t done = 0;
    for (int i = 0; i < 100 && done == 0; ++i) {
        done = waitpid(pid, &status, WNOHANG);
        if (done == 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (done == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        FAIL() << "dapserve kept running after its stdin closed";
    }
    EXPECT_TRUE(WIFEXITED(status));
}

} // namespace
