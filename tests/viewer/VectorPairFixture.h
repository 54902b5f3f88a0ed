#pragma once
// What the vector-map tests of the cell lists, boundary-fitted grids and meshes share: the
// described dataset of ScalarFixture with a vector kind, a pair picked from one or two slots,
// and the arrows of the picture's primitive log with their base points and directions.
#include "tests/viewer/ScalarFixture.h"

#include "viewer/map/VectorStages.h"
#include "viewer/map/Vectors.h"

#include <cmath>
#include <string>
#include <vector>

// A described dataset whose pair is of a given vector kind (1 water, 2 wind, 0 none).
class PairGrid : public FakeGrid {
public:
    Long kind = 1;
    Long Vector(Long) override { return kind; }
};

// One line arrow as the log keeps it: its base, and its shaft as far as the head (0.55 of the
// arrow: x to the right, y downwards, in picture units).
struct LoggedArrow {
    double x = 0, y = 0, dx = 0, dy = 0;
};

class VectorPairFixture : public ScalarFixture {
protected:
    PairGrid grid;

    void SetUp() override {
        ScalarFixture::SetUp();
        Data.clsNC = &grid;
        Opt.OptArrowStyle = 0; // line arrows: four lines each, the shaft first
        useSettings("[Scales]\r\nvscale=10\r\n");
    }

    void pickPair(Long u, Long v, Long uSlot = 1, Long vSlot = 1) {
        Data.Picks.ReDim(1, 2);
        Data.Picks(1) = PickItem{u, grid.variNarray(u, uSlot), uSlot};
        Data.Picks(2) = PickItem{v, grid.variNarray(v, vSlot), vSlot};
        Data.PickCount = 2;
    }

    // The read window of the first pick for the view, and a fresh log of primitives and reads.
    bool prepare() {
        if (CalculateGridScalar(Data.Picks(1).varNumber, Data.Picks(1).datasetIndex) != 1)
            return false;
        pic.clearRecords();
        grid.reads.clear();
        return true;
    }

    // Every line arrow in drawing order; the reference arrow is the first of a drawing.
    std::vector<LoggedArrow> arrows() const { return arrowsOf(recordsOf(DrawKind::Line)); }
    // The line arrows drawn since the picture was last cleared (the last frame of an
    // animation, which has no reference arrow).
    std::vector<LoggedArrow> lastFrameArrows() const {
        std::vector<DrawRecord> lines;
        for (const DrawRecord& r : pic.records()) {
            if (r.kind == DrawKind::Cls) lines.clear();
            if (r.kind == DrawKind::Line) lines.push_back(r);
        }
        return arrowsOf(lines);
    }
    static std::vector<LoggedArrow> arrowsOf(const std::vector<DrawRecord>& lines) {
        std::vector<LoggedArrow> out;
        for (std::size_t k = 0; k + 3 < lines.size(); k += 4) {
            const auto& a = lines[k].at;
            out.push_back({a[0], a[1], a[2] - a[0], a[3] - a[1]});
        }
        return out;
    }
    // The data arrows: all but the reference arrow.
    std::vector<LoggedArrow> dataArrows() const {
        std::vector<LoggedArrow> all = arrows();
        if (!all.empty()) all.erase(all.begin());
        return all;
    }
    // The picture point of a map position under the transform in force.
    static std::pair<float, float> at(float lon, float lat) {
        float x = 0, y = 0;
        ll2_to_xy2(lon, lat, x, y);
        return {x, y};
    }
    // An arrow of (u, v) drawn at (lon, lat): its base there and its shaft 0.55 vscale (u, -v).
    static void expectArrow(const LoggedArrow& a, float lon, float lat, float u, float v) {
        const auto [x, y] = at(lon, lat);
        EXPECT_NEAR(a.x, x, 1e-3);
        EXPECT_NEAR(a.y, y, 1e-3);
        EXPECT_NEAR(a.dx, 0.55 * Opt.vscale * u, 1e-3);
        EXPECT_NEAR(a.dy, -0.55 * Opt.vscale * v, 1e-3);
    }
    // The primitives of one kind in a given colour.
    std::vector<DrawRecord> recordsOf(DrawKind kind, Long color) const {
        std::vector<DrawRecord> out;
        for (const DrawRecord& r : recordsOf(kind))
            if (r.color == color) out.push_back(r);
        return out;
    }
    using ScalarFixture::recordsOf;
};
