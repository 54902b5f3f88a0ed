#pragma once
// What the vector-map tests of the cell lists, boundary-fitted grids and meshes share beside
// VectorFixture: an empty described dataset for each test's own points and pair (a water pair,
// scale 10), the read window of the pick, and the arrows of a drawing without its reference
// arrow or of the last frame of an animation.
#include "tests/viewer/vector/VectorFixture.h"

#include <string>
#include <vector>

class VectorPairFixture : public VectorFixture {
protected:
    void SetUp() override {
        VectorFixture::SetUp();
        fake.vars.clear(); // each test describes its own points and pair
        fake.vectorKind = 1;
        useSettings("[Scales]\r\nvscale=10\r\n");
    }

    // The read window of the first pick for the view, and a fresh log of primitives and reads.
    bool prepare() {
        if (CalculateGridScalar(Data.Picks(1).varNumber, Data.Picks(1).datasetIndex) != 1)
            return false;
        pic.clearRecords();
        fake.reads.clear();
        return true;
    }

    // The data arrows of a one-step drawing: all but its reference arrow.
    std::vector<Arrow> dataArrows() const {
        std::vector<Arrow> all = arrows();
        if (!all.empty()) all.erase(all.begin());
        return all;
    }
    // The arrows of an animation's last frame (which has no reference arrow).
    std::vector<Arrow> lastFrameArrows() const { return arrows(lastCls()); }

    using VectorFixture::expectArrow;
    static void expectArrow(const Arrow& a, float lon, float lat, float u, float v) {
        expectArrow(a, lon, lat, u, v, std::to_string(lon) + "," + std::to_string(lat));
    }
    // The primitives of one kind in a given colour.
    std::vector<DrawRecord> recordsOf(DrawKind kind, Long color) const {
        std::vector<DrawRecord> out;
        for (const DrawRecord& r : recordsOf(kind))
            if (r.color == color) out.push_back(r);
        return out;
    }
    using VectorFixture::recordsOf;
};
