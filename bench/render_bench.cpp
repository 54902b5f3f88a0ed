// Times the maps with the picture in memory: one frame of the largest regular sample at
// stride 1 and at the default strides, one frame of the largest mesh sample, and the steps per
// second of an animation; then the vector maps of the wind sample (144 x 73) into 1200 x 600 at
// stride 1: one frame, the animation of the pair, and the animation of pressure cells with the
// wind's arrows over them, held against matplotlib's quiver of the same arrows where python3
// with matplotlib is installed; and the vector pair of the mesh samples, one frame and animated.
// Usage: render_bench [samples folder] [repeats]
#include "bench/BenchSupport.h"
#include "bench/MatplotlibReference.h"
#include "gui/Picture.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/VArray.h"
#include "viewer/map/CScale.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/SharedState.h"
#include "viewer/scalar/DrawFEScalar.h"
#include "viewer/scalar/DrawFVScalar.h"
#include "viewer/scalar/DrawGridScalar.h"
#include "viewer/scalar/DrawGridScalarTimed.h"
#include "viewer/vector/DrawFEVector.h"
#include "viewer/vector/DrawGridScalarVectorTimed.h"
#include "viewer/vector/DrawGridVector.h"
#include "viewer/vector/DrawGridVectorTimed.h"

#include <QApplication>

#include <netcdf.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace bench;

double secondsOf(const std::function<void()>& f) {
    return bestMs(1, f) / 1000;
}

// One frame of a mesh sample through its renderer.
void meshFrame(const std::filesystem::path& file, bool finiteVolume, int repeats,
               const std::string& ini) {
    std::unique_ptr<IKelvad> nc(CreateKelvad());
    if (!load(*nc, file.string())) return;
    Opt.IniFile = ini;
    const Long dim = finiteVolume ? nc->elemdId(Data.nNcMain) : nc->nodedId(Data.nNcMain);
    if (!pickMeshScalar(*nc, dim)) {
        std::printf("%s: no variable on the mesh\n", file.filename().c_str());
        Data.clsNC = nullptr;
        return;
    }
    Picture pic(1024, 768);
    const Long points = finiteVolume ? nc->nElements(Data.nNcMain) : nc->nNodes(Data.nNcMain);
    const double t = secondsOf([&] {
        for (int r = 0; r < repeats; ++r) {
            CalculateGridScalar(Data.Picks(1).varNumber);
            pic.Cls();
            if (finiteVolume)
                DrawFvScalar(pic);
            else
                DrawFEScalar(pic);
        }
    });
    std::printf("%s: one frame of %s (%d %s): %.3f ms\n", file.filename().c_str(),
                nc->variName(Data.Picks(1).varNumber, Data.nNcMain).c_str(), points,
                finiteVolume ? "elements" : "nodes", 1000 * t / repeats);
    Data.clsNC = nullptr;
}

// The time nc_get_vara_float takes to read the slice a frame at stride 1 reads: index 0 of
// every dimension but the last two, which are read whole. 0 when it cannot be read.
double sliceReadMs(const std::string& path, Long nvar, int repeats) {
    int id = -1, nd = 0;
    if (nc_open(path.c_str(), NC_NOWRITE, &id) != NC_NOERR) return 0;
    const int v = static_cast<int>(nvar) - 1;
    int dims[NC_MAX_VAR_DIMS] = {};
    double ms = 0;
    if (nc_inq_varndims(id, v, &nd) == NC_NOERR && nd >= 2 &&
        nc_inq_vardimid(id, v, dims) == NC_NOERR) {
        std::vector<std::size_t> start(static_cast<std::size_t>(nd), 0), count(start.size(), 1);
        std::size_t values = 1;
        for (int d = nd - 2; d < nd; ++d) {
            nc_inq_dimlen(id, dims[d], &count[static_cast<std::size_t>(d)]);
            values *= count[static_cast<std::size_t>(d)];
        }
        std::vector<float> out(values);
        ms = bestMs(repeats,
                    [&] { nc_get_vara_float(id, v, start.data(), count.data(), out.data()); });
    }
    nc_close(id);
    return ms;
}

// The u/v pair of a mesh sample: one frame, and the steps per second of its animation.
void meshVectors(const std::filesystem::path& file, int repeats, const std::string& ini) {
    std::unique_ptr<IKelvad> nc(CreateKelvad());
    if (!load(*nc, file.string())) return;
    Opt.IniFile = ini;
    const Long u = nc->variNum("u", Data.nNcMain), v = nc->variNum("v", Data.nNcMain);
    if (u < 1 || v < 1) {
        std::printf("%s: no u/v pair\n", file.filename().c_str());
        Data.clsNC = nullptr;
        return;
    }
    Data.Picks.ReDim(1, 2);
    Data.Picks(1) = PickItem{u, nc->variNarray(u, Data.nNcMain), Data.nNcMain};
    Data.Picks(2) = PickItem{v, nc->variNarray(v, Data.nNcMain), Data.nNcMain};
    Data.PickCount = 2;
    Picture pic(1024, 768);
    Long arrows = 0;
    const double tf = secondsOf([&] {
        for (int r = 0; r < repeats; ++r) {
            CalculateGridScalar(u);
            arrows = Win.tcount;
            pic.Cls();
            DrawFEVector(pic);
        }
    });
    Long steps = 0;
    const double ta = secondsOf([&] {
        for (int r = 0; r < repeats; ++r) {
            defaultOrderBoxes().step = "";
            CalculateGridScalar(u);
            steps += DrawFEVectorTimed(pic) - 1;
        }
    });
    std::printf("%s: vector pair u & v (%d arrows): one frame %.3f ms, animation %.1f steps per "
                "second (%d steps)\n",
                file.filename().c_str(), arrows, 1000 * tf / repeats, ta > 0 ? steps / ta : 0.0,
                steps);
    Data.clsNC = nullptr;
}

// Picks the variables named, in that order, as the order window would.
bool pickNamed(IKelvad& nc, const std::vector<std::string>& names) {
    Data.Picks.ReDim(1, static_cast<Long>(names.size()));
    Data.PickCount = static_cast<Long>(names.size());
    for (Long k = 1; k <= Data.PickCount; ++k) {
        const Long nv = nc.variNum(names[static_cast<std::size_t>(k - 1)], Data.nNcMain);
        if (nv < 1) return false;
        Data.Picks(k) = PickItem{nv, nc.variNarray(nv, Data.nNcMain), Data.nNcMain};
    }
    // The pair among three picks, as the order window identifies it.
    Data.wind_U_vId = nc.windUvId(Data.nNcMain);
    Data.wind_V_vId = nc.windVvId(Data.nNcMain);
    Data.water_U_vId = nc.waterUvId(Data.nNcMain);
    Data.water_V_vId = nc.waterVvId(Data.nNcMain);
    return true;
}

// matplotlib's quiver of the pair the last vector frame read (the whole grid at stride 1, in
// the read window's order: rows of latitude) into a 1200 x 600 figure; 0 when it cannot be run.
double quiverMs(const std::filesystem::path& folder) {
    const std::string python = pythonWithMatplotlib();
    if (python.empty() || Win.countp.UBound() < 2) return 0;
    auto flat = [](const VArray<float>& a, Long first, Long step, Long n) {
        std::vector<float> out;
        for (Long k = 0; k < n; ++k)
            out.push_back(a(first + k * step));
        return out;
    };
    const Long nd = Win.countp.UBound();
    const std::vector<float> u = flat(Win.uV, 1, 1, Win.tcount), v = flat(Win.vV, 1, 1, Win.tcount);
    const std::vector<float> lat =
        flat(Data.latV, Win.startp(nd - 1), Win.stride(nd - 1), Win.countp(nd - 1));
    const std::vector<float> lon = flat(Data.lonV, Win.startp(nd), Win.stride(nd), Win.countp(nd));
    return matplotlibMs(python, folder, {&u, &v, &lon, &lat}, 1200, 600,
                        "x, y = np.meshgrid(a2, a3)\n"
                        "u = np.ma.masked_less_equal(a0.reshape(y.shape), -1e29)\n"
                        "v = np.ma.masked_less_equal(a1.reshape(y.shape), -1e29)\n",
                        "ax.quiver(x, y, u, v)");
}

// The vector maps of the wind sample into a 1200 x 600 picture at stride 1.
void vectorMaps(const std::filesystem::path& file, int repeats, const std::string& ini) {
    std::unique_ptr<IKelvad> nc(CreateKelvad());
    if (!load(*nc, file.string()) || !pickNamed(*nc, {"uwnd", "vwnd"})) {
        std::printf("%s: no wind pair\n", file.filename().c_str());
        Data.clsNC = nullptr;
        return;
    }
    Opt.IniFile = ini;
    Opt.OptArrowStyle = 0;
    setStrides("1");
    Picture pic(1200, 600);
    std::printf("%s: %d x %d, %d steps, pair uwnd & vwnd, picture 1200 x 600, stride 1\n",
                file.filename().c_str(), nc->nLon(Data.nNcMain), nc->nLat(Data.nNcMain),
                nc->nTime(Data.nNcMain));
    Long arrows = 0;
    const double tf = secondsOf([&] {
        for (int r = 0; r < repeats; ++r) {
            CalculateGridScalar(Data.Picks(1).varNumber);
            arrows = Win.tcount;
            pic.Cls();
            DrawGridVector(pic, 1);
        }
    });
    // The same arrows through matplotlib's quiver, from the values the frame read.
    const double frameMs = 1000 * tf / repeats;
    const double quiver = quiverMs(std::filesystem::temp_directory_path());
    if (quiver > 0)
        std::printf("  vector frame (%d arrows): %.3f ms   quiver %.1f ms (x%.3f)\n", arrows,
                    frameMs, quiver, frameMs / quiver);
    else
        std::printf("  vector frame (%d arrows): %.3f ms   quiver not available\n", arrows,
                    frameMs);

    auto animate = [&](const char* what, const std::function<Long()>& run) {
        Long steps = 0;
        const double t = secondsOf([&] {
            for (int r = 0; r < repeats; ++r) {
                defaultOrderBoxes().step = "";
                CalculateGridScalar(Data.Picks(1).varNumber);
                steps += run() - 1;
            }
        });
        std::printf("  %s: %.1f steps per second (%d steps)", what, t > 0 ? steps / t : 0.0, steps);
        if (quiver > 0 && steps > 0)
            std::printf("   a step x%.3f of quiver's frame", 1000 * t / steps / quiver);
        std::printf("\n");
    };
    animate("vector animation", [&] { return DrawGridVectorTimed(pic); });
    if (pickNamed(*nc, {"slp", "uwnd", "vwnd"}))
        animate("three-item animation (cells and arrows)",
                [&] { return DrawGridTripleTimed(pic); });
    Data.clsNC = nullptr;
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    setColorKeyPicture(keyPicture);
    const std::filesystem::path samples = argc > 1 ? argv[1] : PELORIN_SAMPLES_DIR;
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 50;
    const auto ini = std::filesystem::temp_directory_path() / "render_bench.ini";
    std::filesystem::remove(ini);

    std::unique_ptr<IKelvad> nc(CreateKelvad());
    const std::string regular = (samples / "regular_global.nc").string();
    if (!load(*nc, regular) || !pickScalar(*nc)) {
        std::fprintf(stderr, "cannot set up %s\n", regular.c_str());
        return 1;
    }
    Opt.IniFile = ini.string();
    Picture pic(1024, 768);
    std::printf("regular_global.nc: %d x %d, %d steps, variable %s, picture 1024 x 768\n",
                nc->nLon(Data.nNcMain), nc->nLat(Data.nNcMain), nc->nTime(Data.nNcMain),
                nc->variName(Data.Picks(1).varNumber, Data.nNcMain).c_str());

    {
        // The field's first frame: a new read buffer and no stored range, beside
        // nc_get_vara_float of the same slice (first step and level, every column and row).
        setStrides("1");
        std::filesystem::remove(ini);
        Win.scalarV.Erase();
        const double first = bestMs(1, [&] {
            CalculateGridScalar(Data.Picks(1).varNumber);
            pic.Cls();
            DrawGridScalar(pic, 1);
        });
        const double read = sliceReadMs(regular, Data.Picks(1).varNumber, repeats);
        std::printf("  first frame at stride 1: %.3f ms   read %.3f ms (x%.2f)\n", first, read,
                    read > 0 ? first / read : 0.0);
    }

    for (const char* s : {"1", ""}) {
        setStrides(s);
        Long cells = 0;
        const double t = secondsOf([&] {
            for (int r = 0; r < repeats; ++r) {
                CalculateGridScalar(Data.Picks(1).varNumber);
                cells = Win.tcount;
                pic.Cls();
                DrawGridScalar(pic, 1);
            }
        });
        std::printf("  one frame at %s (%d values): %.3f ms\n",
                    *s ? "stride 1" : "the default strides", cells, 1000 * t / repeats);
    }

    setStrides("1");
    Long steps = 0;
    const double ta = secondsOf([&] {
        for (int r = 0; r < repeats; ++r) {
            defaultOrderBoxes().step = "";
            CalculateGridScalar(Data.Picks(1).varNumber);
            steps += DrawGridScalarTimed(pic) - 1;
        }
    });
    std::printf("  animation at stride 1: %.1f steps per second (%d steps)\n",
                ta > 0 ? steps / ta : 0.0, steps);

    Data.clsNC = nullptr;
    setStrides("");
    meshFrame(samples / "fe_mesh.nc", false, repeats, ini.string());
    meshFrame(samples / "fv_mesh.nc", true, repeats, ini.string());
    vectorMaps(samples / "regular_wind.nc", repeats, ini.string());
    meshVectors(samples / "fe_mesh.nc", repeats, ini.string());
    meshVectors(samples / "fv_mesh.nc", repeats, ini.string());
    std::filesystem::remove(ini);
    return 0;
}
