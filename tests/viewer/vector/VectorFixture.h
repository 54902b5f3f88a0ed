#pragma once
// The vector maps' tests: a regular grid of 4 columns (0..3) by 3 rows (10..12) holding a u/v
// pair "u", "v" (m/s) in (time, lat, lon) over 3 steps, picked as a pair, line arrows, and the
// arrows read back from the picture's log.
#include "tests/viewer/ScalarFixture.h"

#include "viewer/map/VectorStages.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

class VectorFixture : public ScalarFixture {
protected:
    static constexpr Long kTime = 0, kLat = 1, kLon = 2;

    // The pair at step t, column i and row j (1-based), per slot.
    std::function<std::pair<float, float>(Long slot, Long t, Long i, Long j)> field =
        [](Long, Long, Long, Long) {
            return std::pair<float, float>{1, 0};
        };

    void SetUp() override {
        ScalarFixture::SetUp();
        regularGrid(range(0, 1, 4), range(10, 1, 3));
        fake.addVar(1, 1, "u", {kTime, kLat, kLon}, 2).unit = "m/s";
        fake.addVar(1, 2, "v", {kTime, kLat, kLon}, 2).unit = "m/s";
        fake.dimLen = {{kTime, 3}, {kLat, 3}, {kLon, 4}};
        fake.steps = 3;
        fake.timeDid = kTime;
        // u is the first variable of each slot and v the second; a slot-2 variable 1 is the v of
        // a pair split over two files.
        fake.value = [this](Long slot, Long nv, const std::vector<Long>& ix) {
            const auto [u, v] = field(slot, ix[0], ix[2], ix[1]);
            return nv == 1 && slot == 1 ? u : v;
        };
        Opt.OptArrowStyle = 0;
        pickPair(1, 2);
    }

    void pickPair(Long u, Long v, Long uSlot = 1, Long vSlot = 1) {
        Data.Picks.ReDim(1, 2);
        Data.Picks(1) = PickItem{u, 3, uSlot};
        Data.Picks(2) = PickItem{v, 3, vSlot};
        Data.PickCount = 2;
    }

    // A line arrow as DrawLineArrow draws it: four lines, the shaft from the base first, then
    // the head from the tip.
    struct Arrow {
        double x = 0, y = 0;   // base, picture units
        double dx = 0, dy = 0; // tip - base (dy grows downwards)
    };
    // The arrows of the log from record from on.
    std::vector<Arrow> arrows(size_t from = 0) const {
        std::vector<Arrow> out;
        const auto& recs = pic.records();
        for (size_t k = from; k + 3 < recs.size(); ++k) {
            if (recs[k].kind != DrawKind::Line) continue;
            const DrawRecord& shaft = recs[k];
            const DrawRecord& head = recs[k + 1];
            out.push_back(
                {shaft.at[0], shaft.at[1], head.at[0] - shaft.at[0], head.at[1] - shaft.at[1]});
            k += 3;
        }
        return out;
    }
    // The record of the last clearing (0 when none): what a time loop's last step drew
    // follows it.
    size_t lastCls() const {
        size_t at = 0;
        const auto& recs = pic.records();
        for (size_t k = 0; k < recs.size(); ++k)
            if (recs[k].kind == DrawKind::Cls) at = k;
        return at;
    }
    // The texts printed from record from on.
    std::vector<std::string> textsFrom(size_t from) const {
        std::vector<std::string> out;
        const auto& recs = pic.records();
        for (size_t k = from; k < recs.size(); ++k)
            if (recs[k].kind == DrawKind::Print) out.push_back(recs[k].text);
        return out;
    }
    // The picture position of a map point.
    static std::pair<double, double> at(float lon, float lat) {
        float x = 0, y = 0;
        ll2_to_xy2(lon, lat, x, y);
        return {x, y};
    }
    // Expects an arrow of (u, v) data units (vscale applied) based at (lon, lat).
    static void expectArrow(const Arrow& a, float lon, float lat, float u, float v,
                            const std::string& what) {
        const auto [x, y] = at(lon, lat);
        EXPECT_NEAR(a.x, x, 1e-3) << what;
        EXPECT_NEAR(a.y, y, 1e-3) << what;
        EXPECT_NEAR(a.dx, Opt.vscale * u, 1e-3) << what;
        EXPECT_NEAR(a.dy, -Opt.vscale * v, 1e-3) << what;
    }
    bool hasText(const std::string& t) const {
        for (const auto& s : texts())
            if (s == t) return true;
        return false;
    }
    // The picture's styles set to values no drawing uses, to see that they come back.
    void oddStyles() {
        pic.setFillStyle(4);
        pic.setDrawStyle(2);
        pic.setDrawMode(6);
        pic.setForeColor(0x123456);
        pic.setFillColor(0x654321);
    }
    void expectOddStyles() const {
        EXPECT_EQ(pic.FillStyle(), 4);
        EXPECT_EQ(pic.DrawStyle(), 2);
        EXPECT_EQ(pic.DrawMode(), 6);
        EXPECT_EQ(pic.ForeColor(), 0x123456);
        EXPECT_EQ(pic.FillColor(), 0x654321);
    }
};
