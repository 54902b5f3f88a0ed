// Times one map frame of large fields at stride 1 into a 1200 x 600 picture: a 4320 x 2160
// regular grid, a 1000 x 1000 boundary-fitted grid, a finite-element mesh of a million nodes and
// a finite-volume mesh of about a million elements: each field's first frame (a new read buffer,
// the range worked out) and the best of the frames after it. Each is printed beside the time that
// nc_get_var_float takes to read the same field (the first frame beside a read into a new
// buffer, the later ones beside a read into one read into before), and the regular grid's beside
// matplotlib's imshow of the same values where python3 with matplotlib is installed.
// Usage: frame_bench [folder for the files] [repeats] [regular|bfgd|fe|fv: only that one]
#include "bench/BenchSupport.h"
#include "bench/MatplotlibReference.h"
#include "viewer/scalar/DrawBfgdScalar.h"
#include "viewer/scalar/DrawFEScalar.h"
#include "viewer/scalar/DrawFVScalar.h"
#include "viewer/scalar/DrawGridScalar.h"

#include <QApplication>

#include <netcdf.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace bench;

namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 600;
constexpr double kPi = 3.14159265358979323846;
constexpr float kFill = -999.0f;

// A classic netCDF file written in one go; any failing call stops the bench.
class File {
public:
    explicit File(const fs::path& path) : path_(path) {
        check(nc_create(path.c_str(), NC_CLOBBER | NC_64BIT_OFFSET, &id_), "create");
    }
    ~File() {
        if (id_ >= 0) nc_close(id_);
    }
    int dim(const char* name, std::size_t n) {
        int d = -1;
        check(nc_def_dim(id_, name, n, &d), name);
        return d;
    }
    int var(const char* name, nc_type type, std::vector<int> dims, const char* units = nullptr) {
        int v = -1;
        check(nc_def_var(id_, name, type, static_cast<int>(dims.size()), dims.data(), &v), name);
        if (units) check(nc_put_att_text(id_, v, "units", std::string(units).size(), units), name);
        return v;
    }
    void fill(int v) { check(nc_put_att_float(id_, v, "_FillValue", NC_FLOAT, 1, &kFill), "fill"); }
    void endDefine() { check(nc_enddef(id_), "enddef"); }
    void put(int v, const std::vector<float>& f) {
        check(nc_put_var_float(id_, v, f.data()), "put");
    }
    void put(int v, const std::vector<int>& f) { check(nc_put_var_int(id_, v, f.data()), "put"); }
    void put(int v, const std::vector<double>& f) {
        check(nc_put_var_double(id_, v, f.data()), "put");
    }
    void close() {
        check(nc_close(id_), "close");
        id_ = -1;
    }

private:
    void check(int status, const char* what) {
        if (status == NC_NOERR) return;
        std::fprintf(stderr, "%s: %s: %s\n", path_.c_str(), what, nc_strerror(status));
        std::exit(1);
    }
    fs::path path_;
    int id_ = -1;
};

// A smooth field over (x, y) in 0..1 with a round hole of missing values.
float fieldAt(double x, double y) {
    const double dx = x - 0.3, dy = y - 0.6;
    if (dx * dx + dy * dy < 0.005) return kFill;
    return static_cast<float>(10 + 8 * std::sin(7 * x) * std::cos(5 * y) + 3 * x);
}

void writeRegular(const fs::path& path, int nLon, int nLat, std::vector<float>& values) {
    File f(path);
    const int dt = f.dim("time", 1), dy = f.dim("lat", nLat), dx = f.dim("lon", nLon);
    const int vt = f.var("time", NC_DOUBLE, {dt}, "days since 2000-01-01");
    const int vy = f.var("lat", NC_FLOAT, {dy}, "degrees_north");
    const int vx = f.var("lon", NC_FLOAT, {dx}, "degrees_east");
    const int vs = f.var("sst", NC_FLOAT, {dt, dy, dx}, "degC");
    f.fill(vs);
    f.endDefine();
    std::vector<float> lat(nLat), lon(nLon);
    for (int j = 0; j < nLat; ++j)
        lat[j] = static_cast<float>(-90 + (j + 0.5) * 180.0 / nLat);
    for (int i = 0; i < nLon; ++i)
        lon[i] = static_cast<float>((i + 0.5) * 360.0 / nLon);
    values.resize(static_cast<std::size_t>(nLon) * nLat);
    for (int j = 0; j < nLat; ++j)
        for (int i = 0; i < nLon; ++i)
            values[static_cast<std::size_t>(j) * nLon + i] =
                fieldAt(static_cast<double>(i) / nLon, static_cast<double>(j) / nLat);
    f.put(vt, std::vector<double>{0});
    f.put(vy, lat);
    f.put(vx, lon);
    f.put(vs, values);
    f.close();
}

// A grid turned 30 degrees and bent along a coast, nx x ny nodes.
void writeBfgd(const fs::path& path, int nx, int ny) {
    File f(path);
    const int dt = f.dim("time", 1), dy = f.dim("ypos", ny), dx = f.dim("xpos", nx);
    const int vt = f.var("time", NC_DOUBLE, {dt}, "hours since 2004-03-15 00:00:00");
    const int vx = f.var("lon", NC_FLOAT, {dy, dx}, "degrees_east");
    const int vy = f.var("lat", NC_FLOAT, {dy, dx}, "degrees_north");
    const int vz = f.var("zeta", NC_FLOAT, {dt, dy, dx}, "m");
    f.fill(vz);
    f.endDefine();
    const std::size_t n = static_cast<std::size_t>(nx) * ny;
    std::vector<float> lon(n), lat(n), z(n);
    const double c = std::cos(kPi / 6), s = std::sin(kPi / 6);
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            const double x = static_cast<double>(i) / nx, y = static_cast<double>(j) / ny;
            const double bx = 4 * x, by = 2 * y + 0.3 * std::sin(3 * x);
            const std::size_t k = static_cast<std::size_t>(j) * nx + i;
            lon[k] = static_cast<float>(-70 + c * bx - s * by);
            lat[k] = static_cast<float>(40 + s * bx + c * by);
            z[k] = fieldAt(x, y);
        }
    f.put(vt, std::vector<double>{0});
    f.put(vx, lon);
    f.put(vy, lat);
    f.put(vz, z);
    f.close();
}

// Triangles over an nx x ny block of nodes numbered j * nx + i (0-based).
std::vector<int> triangles(int nx, int ny) {
    std::vector<int> nv;
    nv.reserve(static_cast<std::size_t>(nx - 1) * (ny - 1) * 6);
    for (int j = 0; j + 1 < ny; ++j)
        for (int i = 0; i + 1 < nx; ++i) {
            const int a = j * nx + i, b = a + 1, d = a + nx, e = d + 1;
            nv.insert(nv.end(), {a, b, e, a, e, d});
        }
    return nv;
}

void meshNodes(int nx, int ny, std::vector<float>& lon, std::vector<float>& lat) {
    lon.resize(static_cast<std::size_t>(nx) * ny);
    lat.resize(lon.size());
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            const double x = static_cast<double>(i) / nx, y = static_cast<double>(j) / ny;
            lon[static_cast<std::size_t>(j) * nx + i] =
                static_cast<float>(-10 + 6 * x + 0.2 * std::sin(9 * y));
            lat[static_cast<std::size_t>(j) * nx + i] = static_cast<float>(50 + 3 * y);
        }
}

void writeFe(const fs::path& path, int nx, int ny) {
    std::vector<float> lon, lat;
    meshNodes(nx, ny, lon, lat);
    const std::vector<int> nv = triangles(nx, ny);
    File f(path);
    const int dt = f.dim("time", 1), dn = f.dim("node", lon.size());
    const int de = f.dim("nele", nv.size() / 3), df = f.dim("nface", 3);
    const int vt = f.var("time", NC_DOUBLE, {dt}, "seconds since 2004-03-15 00:00:00");
    const int vx = f.var("lon", NC_FLOAT, {dn}, "degrees_east");
    const int vy = f.var("lat", NC_FLOAT, {dn}, "degrees_north");
    const int vv = f.var("nv", NC_INT, {de, df});
    const int vz = f.var("zeta", NC_FLOAT, {dt, dn}, "m");
    f.endDefine();
    std::vector<float> z(lon.size());
    for (std::size_t k = 0; k < z.size(); ++k)
        z[k] = fieldAt((k % nx) / double(nx), (k / nx) / double(ny));
    f.put(vt, std::vector<double>{0});
    f.put(vx, lon);
    f.put(vy, lat);
    f.put(vv, nv);
    f.put(vz, z);
    f.close();
}

void writeFv(const fs::path& path, int nx, int ny) {
    std::vector<float> nodeLon, nodeLat;
    meshNodes(nx, ny, nodeLon, nodeLat);
    const std::vector<int> nv = triangles(nx, ny);
    const std::size_t nEle = nv.size() / 3;
    std::vector<float> lon(nEle), lat(nEle), z(nEle);
    for (std::size_t e = 0; e < nEle; ++e) {
        double x = 0, y = 0;
        for (int c = 0; c < 3; ++c) {
            x += nodeLon[nv[3 * e + c]] / 3.0;
            y += nodeLat[nv[3 * e + c]] / 3.0;
        }
        lon[e] = static_cast<float>(x);
        lat[e] = static_cast<float>(y);
        z[e] = fieldAt((x + 10) / 6, (y - 50) / 3);
    }
    File f(path);
    const int dt = f.dim("time", 1), dn = f.dim("node", nodeLon.size());
    const int de = f.dim("nele", nEle), df = f.dim("nface", 3);
    const int vt = f.var("time", NC_DOUBLE, {dt}, "days since 2004-03-15 00:00:00");
    const int vnx = f.var("node_lon", NC_FLOAT, {dn}, "degrees_east");
    const int vny = f.var("node_lat", NC_FLOAT, {dn}, "degrees_north");
    const int vv = f.var("nv", NC_INT, {de, df});
    const int vz = f.var("zeta", NC_FLOAT, {dt, de}, "m");
    const int vx = f.var("lon", NC_FLOAT, {de}, "degrees_east");
    const int vy = f.var("lat", NC_FLOAT, {de}, "degrees_north");
    f.endDefine();
    f.put(vt, std::vector<double>{0});
    f.put(vnx, nodeLon);
    f.put(vny, nodeLat);
    f.put(vv, nv);
    f.put(vz, z);
    f.put(vx, lon);
    f.put(vy, lat);
    f.close();
}

// The times nc_get_var_float takes to read the variable name of path whole: into a buffer
// read into before (the reference of the later frames), and into a new one, whose memory the
// system hands over page by page as the read first writes it (the reference of a field's first
// frame, which reads into a new buffer too).
struct ReadTimes {
    double held = 0;
    double fresh = 0;
};
ReadTimes readMs(const fs::path& path, const char* name, std::size_t n, int repeats) {
    int id = -1, v = -1;
    if (nc_open(path.c_str(), NC_NOWRITE, &id) != NC_NOERR) return {};
    ReadTimes t;
    if (nc_inq_varid(id, name, &v) == NC_NOERR) {
        std::vector<float> out(n);
        t.held = bestMs(repeats, [&] { nc_get_var_float(id, v, out.data()); });
        t.fresh = bestMs(repeats, [&] {
            std::unique_ptr<float[]> fresh(new float[n]);
            nc_get_var_float(id, v, fresh.get());
        });
    }
    nc_close(id);
    return t;
}

// matplotlib's imshow of the values (nLat rows of nLon, southern row first) into a figure of
// the picture's size: the best of a few runs, in milliseconds; 0 when it cannot be run.
double imshowMs(const std::string& python, const fs::path& folder, const std::vector<float>& values,
                int nLon, int nLat) {
    return matplotlibMs(python, folder, {&values}, kWidth, kHeight,
                        "a = np.ma.masked_equal(a0.reshape(" + std::to_string(nLat) + ", " +
                            std::to_string(nLon) + "), -999.0)\n",
                        "ax.imshow(a, origin='lower', extent=(0, 360, -90, 90), cmap='jet', "
                        "interpolation='nearest')");
}

// One frame, from the read window to the last box, at stride 1. first: the field's first
// frame, as a user meets it: no values held from an earlier read and no stored range, so the
// read fills a new buffer and the range is worked out. Then the best of the runs that follow.
struct FrameTimes {
    double first = 0;
    double best = 0;
};
FrameTimes frameMs(Picture& pic, int repeats, const fs::path& ini,
                   const std::function<void()>& draw) {
    setStrides("1");
    auto frame = [&] {
        CalculateGridScalar(Data.Picks(1).varNumber);
        pic.Cls();
        draw();
    };
    fs::remove(ini);
    Win.scalarV.Erase();
    FrameTimes t;
    t.first = bestMs(1, frame);
    t.best = bestMs(repeats, frame);
    return t;
}

void line(const char* what, const FrameTimes& t, const ReadTimes& read, double other = 0,
          const char* otherName = nullptr) {
    const double ms = t.best;
    auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    std::printf("%-44s first %8.1f ms (x%.2f of a read into a new buffer, %.1f ms)   next %8.1f "
                "ms (x%.2f of a read, %.1f ms)",
                what, t.first, ratio(t.first, read.fresh), read.fresh, ms, ratio(ms, read.held),
                read.held);
    if (otherName) {
        if (other > 0)
            std::printf("   %s %7.1f ms (x%.2f)", otherName, other, ms / other);
        else
            std::printf("   %s not available", otherName);
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    setColorKeyPicture(keyPicture);
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const std::string only = argc > 3 ? argv[3] : "";
    const auto wanted = [&](const char* kind) { return only.empty() || only == kind; };
    const fs::path ini = folder / "frame_bench.ini";
    Picture pic(kWidth, kHeight);
    std::printf("one frame at stride 1 into %d x %d (best of %d); read: nc_get_var_float of the "
                "same field\n",
                kWidth, kHeight, repeats);

    // One case: the file written, loaded and picked, one frame timed, the file removed.
    struct Case {
        const char* kind;
        const char* label;
        const char* file;
        const char* variable;
        std::size_t values;
        std::function<void(const fs::path&)> write;
        std::function<bool(IKelvad&)> pickIt;
        std::function<void()> draw;
    };
    constexpr int nLon = 4320, nLat = 2160, n = 1000, nFv = 708;
    std::vector<float> regular;
    const Case cases[] = {
        {"regular", "regular 4320 x 2160 (9.3 M cells)", "frame_bench_regular.nc", "sst",
         std::size_t{nLon} * nLat, [&](const fs::path& p) { writeRegular(p, nLon, nLat, regular); },
         pickScalar, [&] { DrawGridScalar(pic, 1); }},
        {"bfgd", "boundary-fitted 1000 x 1000 (1 M cells)", "frame_bench_bfgd.nc", "zeta",
         std::size_t{n} * n, [](const fs::path& p) { writeBfgd(p, n, n); }, pickScalar,
         [&] { DrawBfgdScalar(pic); }},
        {"fe", "finite-element mesh (1 M nodes)", "frame_bench_fe.nc", "zeta", std::size_t{n} * n,
         [](const fs::path& p) { writeFe(p, n, n); },
         [](IKelvad& nc) { return pickMeshScalar(nc, nc.nodedId(Data.nNcMain)); },
         [&] { DrawFEScalar(pic); }},
        {"fv", "finite-volume mesh (1 M elements)", "frame_bench_fv.nc", "zeta",
         std::size_t{nFv - 1} * (nFv - 1) * 2, [](const fs::path& p) { writeFv(p, nFv, nFv); },
         [](IKelvad& nc) { return pickMeshScalar(nc, nc.elemdId(Data.nNcMain)); },
         [&] { DrawFvScalar(pic); }},
    };
    for (const Case& c : cases) {
        if (!wanted(c.kind)) continue;
        const fs::path path = folder / c.file;
        c.write(path);
        std::unique_ptr<IKelvad> nc(CreateKelvad());
        if (!load(*nc, path.string()) || !c.pickIt(*nc)) return 1;
        Opt.IniFile = ini.string();
        const FrameTimes ms = frameMs(pic, repeats, ini, c.draw);
        const ReadTimes read = readMs(path, c.variable, c.values, repeats);
        if (regular.empty()) {
            line(c.label, ms, read);
        } else {
            // The regular grid is also held against matplotlib's imshow of the same values.
            const std::string python = pythonWithMatplotlib();
            const double imshow =
                python.empty() ? 0 : imshowMs(python, folder, regular, nLon, nLat);
            line(c.label, ms, read, imshow, "imshow");
            regular.clear();
        }
        Data.clsNC = nullptr;
        fs::remove(path);
    }
    fs::remove(ini);
    return 0;
}
