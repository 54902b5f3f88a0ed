#pragma once
// The regular grid of the one-step and the animated scalar map: 4 columns by 3 rows of "sst"
// in (time, lat, lon) over 3 steps, picked.
#include "tests/viewer/ScalarFixture.h"

#include "viewer/scalar/DrawGridScalar.h"

#include <string>
#include <vector>

class DrawGridScalarFixture : public ScalarFixture {
protected:
    static constexpr Long kTime = 0, kLat = 1, kLon = 2;

    void SetUp() override {
        ScalarFixture::SetUp();
        // 4 columns (0..3) by 3 rows (10..12); values 2.5 .. 13.5 and 30.5 at the last point.
        regularGrid(range(0, 1, 4), range(10, 1, 3));
        fake.addVar(1, 1, "sst", {kTime, kLat, kLon}, 2);
        fake.dimLen = {{kTime, 3}, {kLat, 3}, {kLon, 4}};
        fake.steps = 3;
        fake.timeDid = kTime;
        fake.value = [](Long, Long, const std::vector<Long>& ix) {
            const Long j = ix[ix.size() - 2], i = ix.back();
            return i == 4 && j == 3 ? 30.5f : 2.5f + static_cast<float>((j - 1) * 4 + (i - 1));
        };
        pick(1);
    }

    // The 1-based column showing lon, whole periods away or not, of a grid whose columns lie
    // every `spacing` degrees from 0.
    static Long columnAt(float lon, int spacing) {
        return (static_cast<Long>(lon) % 360 + 360) % 360 / spacing + 1;
    }
    bool hasText(const std::string& t) const {
        for (const auto& s : texts())
            if (s == t) return true;
        return false;
    }
    void draw() {
        ASSERT_EQ(CalculateGridScalar(Data.Picks(1).varNumber, Data.Picks(1).datasetIndex), 1);
        pic.clearRecords();
        DrawGridScalar(pic, 1);
    }
};
