// The cell-list vector maps, one step and animated: a described list of five cells for the
// arrows (bases, directions, missing and zero cells), the legend and scale, the slots of a pair
// across two files, Esc and the read failures; and a station file read through the dataset
// library whose components carry only a fill value, for the missing rule.
#include "viewer/vector/DrawCellVector.h"

#include "kelvadlib/IKelvad.h"
#include "runtime/Color.h"
#include "tests/support/MovingPoints.h"
#include "tests/support/NcBuilder.h"
#include "tests/viewer/vector/VectorPairFixture.h"

#include <memory>

namespace {

constexpr Long kU = 3, kV = 4, kSecondV = 7;
constexpr Long kTimeDim = 1, kCellDim = 2;

float cellLon(Long k) {
    return 119.0f + static_cast<float>(k);
}
float cellLat(Long k) {
    return 9.0f + static_cast<float>(k);
}

class CellVectorTest : public VectorPairFixture {
protected:
    void SetUp() override {
        VectorPairFixture::SetUp();
        fake.grid = kGridCells;
        fake.cells = 5;
        fake.steps = 4;
        fake.timeDid = kTimeDim;
        fake.dimLen = {{kTimeDim, 4}, {kCellDim, 5}};
        fake.addVar(1, kU, "u", {kTimeDim, kCellDim}).unit = "m/s";
        fake.addVar(1, kV, "v", {kTimeDim, kCellDim}).unit = "m/s";
        fake.addVar(2, kSecondV, "vv", {kTimeDim, kCellDim}).unit = "m/s";
        Data.lonV.ReDim(1, 5);
        Data.latV.ReDim(1, 5);
        for (Long k = 1; k <= 5; ++k) {
            Data.lonV(k) = cellLon(k);
            Data.latV(k) = cellLat(k);
        }
        Data.DataExtent = {120, 124, 10, 14};
        View.ViewExtent = Data.DataExtent;
        // East, north, north-east, zero, and u missing.
        fake.value = [](Long slot, Long nv, const std::vector<Long>& idx) {
            static const float u[] = {1, 0, 1, 0, NoVal};
            static const float v[] = {0, 1, 1, 0, 1};
            const std::size_t k = static_cast<std::size_t>(idx[1] - 1);
            if (slot == 2) return 2.0f * v[k];
            return nv == kU ? u[k] : v[k];
        };
        pickPair(kU, kV);
    }
};

TEST_F(CellVectorTest, OneArrowPerCellAtItsPositionAndAPixelForAMissingCell) {
    ASSERT_TRUE(prepare());
    DrawCellVector(pic);
    EXPECT_TRUE(messages().empty());

    // The reference arrow right of its label, one unit long at the scale of the data.
    const std::vector<Arrow> all = arrows();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_NEAR(all[0].x, pic.TextWidth("1 m/s") + 10, 1e-3);
    EXPECT_NEAR(all[0].y, 1.5 * pic.TextHeight("1 m/s"), 1e-3);
    EXPECT_NEAR(all[0].dx, 10, 1e-3);
    EXPECT_NEAR(all[0].dy, 0, 1e-3);

    const std::vector<Arrow> data = dataArrows();
    expectArrow(data[0], cellLon(1), cellLat(1), 1, 0);
    expectArrow(data[1], cellLon(2), cellLat(2), 0, 1);
    expectArrow(data[2], cellLon(3), cellLat(3), 1, 1);

    // The missing cell has its light-red pixel; the zero cell has nothing.
    const std::vector<DrawRecord> pixels = recordsOf(DrawKind::SetPixel);
    ASSERT_EQ(pixels.size(), 1u);
    EXPECT_EQ(pixels[0].color, QBColor(12));
    const auto [x5, y5] = at(cellLon(5), cellLat(5));
    EXPECT_EQ(pixels[0].px, (std::vector<int>{pic.toPixel(x5), pic.toPixel(y5)}));

    EXPECT_EQ(Win.cellMisnVal, NoVal);
    for (const FakeGrid::ReadCall& r : fake.reads) {
        EXPECT_EQ(r.start, (std::vector<Long>{1, 1}));
        EXPECT_EQ(r.cnt, (std::vector<Long>{1, 5}));
    }
    const std::vector<std::string> t = texts();
    EXPECT_EQ(t.front(), "u & v");
    EXPECT_NE(std::find(t.begin(), t.end(), "1 m/s"), t.end());
    EXPECT_NE(std::find(t.begin(), t.end(), "2004-03-1"), t.end());
    EXPECT_EQ(t.back(), "u & v  Scale=  10");
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
}

TEST_F(CellVectorTest, AWestwardOrSouthwardArrowIsDrawnWhateverTheMissingValue) {
    fake.value = [](Long, Long nv, const std::vector<Long>& idx) {
        if (idx[1] == 2) return NoVal; // a fill value, as the read marks it
        return nv == kU ? -1.0f : -0.5f;
    };
    ASSERT_TRUE(prepare());
    DrawCellVector(pic);
    const std::vector<Arrow> data = dataArrows();
    ASSERT_EQ(data.size(), 4u);
    expectArrow(data[0], cellLon(1), cellLat(1), -1, -0.5f);
    expectArrow(data[1], cellLon(3), cellLat(3), -1, -0.5f);
    EXPECT_EQ(recordsOf(DrawKind::SetPixel).size(), 1u);
}

TEST_F(CellVectorTest, LegendAndScaleFollowTheKindAndTheUnit) {
    struct Case {
        Long kind;
        const char* unit;
        const char* label;
        float reference; // the reference arrow's magnitude
        float factor;    // the factor of the data arrows
    };
    const Case cases[] = {
        {1, "m/s", "1 m/s", 1, 1},
        {1, "cm/s", "1 m/sec", 1, 0.01f},
        {1, "(CM/S)", "1 m/sec", 1, 0.01f},
        {2, " m/s ", "10 m/s", 10, 1},
        {2, "Cm s-1", "10 m/sec", 10, 0.01f},
        {0, "knots", "10 knots", 10, 1},
        {7, "cm/s", "", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        fake.vectorKind = c.kind;
        fake.vars[{1, kU}].unit = c.unit;
        ASSERT_TRUE(prepare());
        DrawCellVector(pic);
        const std::vector<std::string> t = texts();
        ASSERT_GE(t.size(), 2u);
        EXPECT_EQ(t[1], c.label);
        const std::vector<Arrow> all = arrows();
        ASSERT_EQ(all.size(), 4u);
        EXPECT_NEAR(all[0].dx, 10 * c.reference, 1e-3);
        expectArrow(all[1], cellLon(1), cellLat(1), c.factor, 0);
        // The probe reads the values as drawn.
        EXPECT_FLOAT_EQ(Win.uV(1), c.factor);
    }
}

TEST_F(CellVectorTest, AMissingOrNonPositiveScaleBecomesTenAndIsStored) {
    struct Case {
        const char* settings;
        float scale;
        const char* stored; // the key's text in the file afterwards
    };
    const Case cases[] = {
        {"[parameters]\r\n", 10, "vscale= 10"},
        {"[Scales]\r\nvscale=\r\n", 10, "vscale= 10"},
        {"[Scales]\r\nvscale=-3\r\n", 10, "vscale= 10"},
        {"[Scales]\r\nvscale=2.5\r\n", 2.5f, "vscale=2.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings);
        useSettings(c.settings);
        ASSERT_TRUE(prepare());
        DrawCellVector(pic);
        EXPECT_EQ(Opt.vscale, c.scale);
        EXPECT_NE(readFile(Opt.IniFile).find(c.stored), std::string::npos);
        EXPECT_NEAR(arrows().at(0).dx, c.scale, 1e-3);
        EXPECT_EQ(texts().back(), "u & v  Scale= " + Str(c.scale));
    }
}

TEST_F(CellVectorTest, EachItemOfAPairAcrossTwoFilesComesFromItsOwnSlot) {
    pickPair(kU, kSecondV, 1, 2);
    ASSERT_TRUE(prepare());
    DrawCellVector(pic);
    ASSERT_EQ(fake.reads.size(), 2u);
    EXPECT_EQ(fake.reads[0].nv, kU);
    EXPECT_EQ(fake.reads[0].slot, 1);
    EXPECT_EQ(fake.reads[1].nv, kSecondV);
    EXPECT_EQ(fake.reads[1].slot, 2);
    const std::vector<Arrow> data = dataArrows();
    ASSERT_EQ(data.size(), 3u);
    expectArrow(data[1], cellLon(2), cellLat(2), 0, 2); // v of the second file
    EXPECT_EQ(texts().back(), "u & vv  Scale=  10");
}

TEST_F(CellVectorTest, AnimationStopsAtEscAndSkipsMissingCells) {
    orderBoxes().SetStepText("1");
    Anim.CancelFlag = -1; // released while nothing ran: must not stop this run
    int pumps = 0;
    ui.onDoEvents = [&] {
        if (++pumps == 2) Anim.CancelFlag = -1;
    };
    ASSERT_TRUE(prepare());
    EXPECT_EQ(DrawCellVectorTimed(pic), 3);
    EXPECT_EQ(pumps, 2);
    EXPECT_EQ(Anim.CancelFlag, 0);
    EXPECT_EQ(LastMapCaption(), "Drawing Coastline: Canceled");
    EXPECT_EQ(orderBoxes().StepText(), " 3");
    // Steps 2 and 3, at the time index of each.
    ASSERT_EQ(fake.reads.size(), 4u);
    EXPECT_EQ(fake.reads[0].start[0], 2);
    EXPECT_EQ(fake.reads[2].start[0], 3);
    // The last frame: its three arrows, no mark for the missing cell, the footer.
    EXPECT_EQ(lastFrameArrows().size(), 3u);
    EXPECT_TRUE(recordsOf(DrawKind::SetPixel).empty());
    EXPECT_EQ(texts().back(), "u & v  Scale=  10");
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
}

// The animation steps by the stride typed for the first dimension (time): from step 1 of 10,
// a stride of 3 draws 4, 7 and 10; of 9 steps, 4 and 7. An empty, zero or negative box steps
// by 1; a stride past the last step draws nothing.
TEST_F(CellVectorTest, AnimationStepsByTheTimeStride) {
    struct Case {
        const char* stride;
        Long steps;
        std::vector<Long> drawn;
        Long result;
    };
    const std::vector<Case> cases = {{"3", 10, {4, 7, 10}, 10}, {"3", 9, {4, 7}, 7},
                                     {"2.6", 5, {4}, 4},         {"", 4, {2, 3, 4}, 4},
                                     {"0", 3, {2, 3}, 3},        {"-2", 3, {2, 3}, 3},
                                     {"9", 9, {}, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("stride '") + c.stride + "' of " + std::to_string(c.steps));
        fake.steps = c.steps;
        fake.dimLen[kTimeDim] = c.steps;
        fake.reads.clear();
        defaultOrderBoxes().strides[0] = c.stride;
        orderBoxes().SetStepText("1");
        ASSERT_TRUE(prepare());
        pic.clearRecords();
        EXPECT_EQ(DrawCellVectorTimed(pic), c.result);
        // One clear per step drawn, u then v read at that step's time index.
        EXPECT_EQ(recordsOf(DrawKind::Cls).size(), c.drawn.size());
        ASSERT_EQ(fake.reads.size(), 2 * c.drawn.size());
        for (std::size_t k = 0; k < c.drawn.size(); ++k) {
            EXPECT_EQ(fake.reads[2 * k].start[0], c.drawn[k]);
            EXPECT_EQ(fake.reads[2 * k + 1].start[0], c.drawn[k]);
        }
        EXPECT_EQ(orderBoxes().StepText(), c.drawn.empty() ? "1" : Str(c.drawn.back()));
        EXPECT_EQ(texts().back(), "u & v  Scale=  10");
    }
}

TEST_F(CellVectorTest, AFailedReadShowsItsBoxAndStops) {
    fake.failRead = 2; // v
    ASSERT_TRUE(prepare());
    DrawCellVector(pic);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "[DrawGridScalar] NetCDF Error");
    EXPECT_EQ(ui.boxes[0].text, "[do_get_vars_any] NetCDF Error: Index exceeds dimension bound"
                                "\r\n\r\ni,j=  0  0\r\nstartp, count=  1  1\r\n"
                                "startp, count=  1  5\r\n");
    EXPECT_EQ(dataArrows().size(), 0u);
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);

    ui.boxes.clear();
    fake.failRead = 3; // u of the second step
    orderBoxes().SetStepText("1");
    ASSERT_TRUE(prepare());
    EXPECT_EQ(DrawCellVectorTimed(pic), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "[DrawCellVectorTimed] NetCDF Error");
    // The first step's walk has run; the cell list's box still shows 0 0, not where it ended.
    EXPECT_NE(ui.boxes[0].text.find("\r\n\r\ni,j=  0  0\r\nstartp, count= "), std::string::npos)
        << ui.boxes[0].text;
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
}

// Stations whose components carry only a fill value, read through the dataset library.
TEST_F(CellVectorTest, FillValuesAreSkippedAndNegativeComponentsDrawnFromAFile) {
    NcBuilder nc(dir.file("buoys.nc"));
    nc.unlimitedDim("time", 2);
    nc.dim("station", 3);
    nc.var("time", NC_DOUBLE, {"time"})
        .att("units", "days since 2005-07-01 00:00:00")
        .values({0.0, 1.0});
    nc.var("lon", NC_FLOAT, {"station"}).att("units", "degrees_east").values({-40.0, -39.0, -38.0});
    nc.var("lat", NC_FLOAT, {"station"}).att("units", "degrees_north").values({30.0, 31.0, 32.0});
    const double fill = 9.96921e36;
    nc.var("u", NC_FLOAT, {"time", "station"})
        .att("units", "m/s")
        .att("_FillValue", NC_FLOAT, static_cast<float>(fill))
        .values({-0.5, fill, 0.25, -0.5, fill, 0.25});
    nc.var("v", NC_FLOAT, {"time", "station"})
        .att("units", "m/s")
        .att("_FillValue", NC_FLOAT, static_cast<float>(fill))
        .values({0.0, 0.5, -0.75, 0.0, 0.5, -0.75});
    nc.write();

    std::unique_ptr<IKelvad> kelvad{CreateKelvad()};
    ASSERT_NO_FATAL_FAILURE(openThroughLibrary(*kelvad, dir.file("buoys.nc"), kGridCells));
    const Long u = Data.clsNC->variNum("u", 1), v = Data.clsNC->variNum("v", 1);
    Data.Picks.ReDim(1, 2);
    Data.Picks(1) = PickItem{u, 2, 1};
    Data.Picks(2) = PickItem{v, 2, 1};
    ASSERT_EQ(CalculateGridScalar(u, 1), 1);
    pic.clearRecords();

    DrawCellVector(pic);
    EXPECT_TRUE(messages().empty());
    const std::vector<Arrow> data = dataArrows();
    ASSERT_EQ(data.size(), 2u);
    expectArrow(data[0], -40, 30, -0.5f, 0); // westward
    expectArrow(data[1], -38, 32, 0.25f, -0.75f);
    EXPECT_EQ(recordsOf(DrawKind::SetPixel).size(), 1u) << "the fill value's mark";
    Data.clsNC = &fake;
}

// Drifting buoys, positions over (time, buoy): each step's arrows stand at that step's positions,
// the one-step map and the animation alike; a buoy without a position in a step has no arrow.
TEST_F(CellVectorTest, DriftersAreDrawnAtEachStepsPositions) {
    const std::string path = dir.file("drifters.nc");
    writeCdl(kDriftersCdl, path);
    std::unique_ptr<IKelvad> kelvad{CreateKelvad()};
    ASSERT_NO_FATAL_FAILURE(openThroughLibrary(*kelvad, path, kGridCells));
    const Long u = Data.clsNC->variNum("u", 1), v = Data.clsNC->variNum("v", 1);
    Data.Picks.ReDim(1, 2);
    Data.Picks(1) = PickItem{u, 2, 1};
    Data.Picks(2) = PickItem{v, 2, 1};

    Data.CurTimeStep = 2;
    ASSERT_EQ(CalculateGridScalar(u, 1), 1);
    pic.clearRecords();
    DrawCellVector(pic);
    EXPECT_TRUE(messages().empty());
    std::vector<Arrow> data = dataArrows();
    ASSERT_EQ(data.size(), 1u);
    expectArrow(data[0], -29, 41, 1, 0);

    Data.CurTimeStep = 1;
    defaultOrderBoxes().step = "2";
    pic.clearRecords();
    EXPECT_EQ(DrawCellVectorTimed(pic), 3);
    data = lastFrameArrows();
    ASSERT_EQ(data.size(), 2u);
    expectArrow(data[0], -27, 43, 0, 1);
    expectArrow(data[1], -18, 34, 1, 0);
    Data.clsNC = &fake;
}

} // namespace
