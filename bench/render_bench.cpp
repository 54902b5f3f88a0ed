// Times the scalar maps with the picture in memory: one frame of the largest regular sample at
// stride 1 and at the default strides, one frame of the largest mesh sample, and the steps per
// second of an animation. Usage: render_bench [samples folder] [repeats]
#include "bench/BenchSupport.h"
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

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

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
    std::filesystem::remove(ini);
    return 0;
}
