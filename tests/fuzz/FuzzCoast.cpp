// The coastline reader on a .bdm file of any content, drawn into a small picture over the whole
// world in both projections. A file it refuses shows its box and keeps nothing.
#include "tests/fuzz/FuzzInput.h"

#include "gui/Picture.h"
#include "viewer/map/DrawCost.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"

#include <QApplication>

#include <cstdlib>

namespace {

void application() {
    static int argc = 1;
    static char name[] = "fuzz_coast";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication app(argc, argv);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    application();
    Coast.CoastFile = fuzz::writeInput(data, size, "coast.bdm");
    for (Long projection : {0, 1}) {
        ForgetCoastline();
        View.Projection = projection;
        const double f = projection == 1 ? 3.14159265358979 / 180 : 1.0;
        View.ViewExtent = {-180 * f, 180 * f, -80 * f, 80 * f};
        Picture pic(64, 48);
        if (SetMapScale(pic.width(), pic.height()) != 0) std::abort();
        DrawCoast(pic);
        // What is held describes points that are there (entry 0 is the file's own box).
        const auto& dir = Coast.CoastSegDir;
        for (std::size_t i = 1; i < dir.size(); ++i)
            if (dir[i].PointCount < 1 ||
                dir[i].First + static_cast<std::size_t>(dir[i].PointCount) >
                    Coast.CoastPoints.size() / 2)
                std::abort();
        // Drawing again from what is held in memory (or reading again after a refusal).
        DrawCoast(pic);
    }
    return 0;
}
