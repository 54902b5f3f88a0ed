// The cell-list scalar maps, one step and animated: a small station file read through the
// dataset library, drawn into a recording picture (boxes, texts, legend, "Scales" write-back,
// messages, a few pixels), and a fake dataset for the failures and the cells without a
// position.
#include "viewer/scalar/DrawCellScalar.h"
#include "gui/PictureWidget.h"
#include "kelvadlib/IKelvad.h"
#include "tests/support/MovingPoints.h"
#include "tests/support/NcBuilder.h"
#include "tests/viewer/ScalarFixture.h"
#include "viewer/map/BusyGuard.h"
#include "viewer/shell/FormColor.h"

#include <cmath>
#include <limits>
#include <memory>

namespace {

// Five stations along a diagonal, four daily records; temp(t, k) = 10 t + k + 0.5 with station 3
// missing on day 2; depth has no time dimension.
class CellFileTest : public ScalarFixture {
protected:
    std::unique_ptr<IKelvad> kelvad{CreateKelvad()};
    Long nvTemp = 0, nvDepth = 0;

    void SetUp() override {
        ScalarFixture::SetUp();
        NcBuilder nc(dir.file("stations.nc"));
        nc.unlimitedDim("time", 4);
        nc.dim("station", 5);
        nc.var("time", NC_DOUBLE, {"time"})
            .att("units", "days since 2005-07-01 00:00:00")
            .values({0.0, 1.0, 2.0, 3.0});
        nc.var("lon", NC_FLOAT, {"station"})
            .att("units", "degrees_east")
            .values({120.0, 121.0, 122.0, 123.0, 124.0});
        nc.var("lat", NC_FLOAT, {"station"})
            .att("units", "degrees_north")
            .values({10.0, 11.0, 12.0, 13.0, 14.0});
        std::vector<double> temp;
        for (int t = 1; t <= 4; ++t)
            for (int k = 1; k <= 5; ++k)
                temp.push_back(t == 2 && k == 3 ? -999.0 : 10.0 * t + k + 0.5);
        nc.var("temp", NC_FLOAT, {"time", "station"})
            .att("units", "degC")
            .att("_FillValue", NC_FLOAT, -999.0f)
            .values(temp);
        nc.var("depth", NC_FLOAT, {"station"}).values({5.0, 6.0, 7.0, 8.0, 9.0});
        nc.write();

        ASSERT_NO_FATAL_FAILURE(openThroughLibrary(*kelvad, dir.file("stations.nc"), kGridCells));
        ASSERT_EQ(Data.clsNC->nCells(1), 5);
        nvTemp = Data.clsNC->variNum("temp", 1);
        nvDepth = Data.clsNC->variNum("depth", 1);
        pick(nvTemp);
        recordLegend();
    }

    bool prepare() {
        if (CalculateGridScalar(Data.Picks(1).varNumber, 1) != 1) return false;
        pic.clearRecords();
        return true;
    }
    // The box of station k.
    std::vector<double> boxAt(Long k) const { return BoxAround(Data.lonV(k), Data.latV(k)); }
    Long pixelAt(Long k) const { return pixelAtPoint(Data.lonV(k), Data.latV(k)); }
};

TEST_F(CellFileTest, DrawsEveryCellWithLegendBeforeTheFooterAndStoresTheRange) {
    Scale.ColorCode = 10; // another scheme in force: the cells must not be coloured with it
    Scale.col_opt = 3;
    Data.CurTimeStep = 2;
    view(120, 121.5, 10, 11.5); // two stations in the view; all are read and drawn
    ASSERT_TRUE(prepare());
    size_t legendAtPump = 99, printsAtPump = 99;
    ui.onDoEvents = [&] {
        legendAtPump = legend().records().size();
        printsAtPump = texts().size();
    };
    DrawCellScalar(pic);

    const std::string date = Data.clsNC->DatePicked(2, 1);
    ASSERT_FALSE(date.empty());
    const auto prints = recordsOf(DrawKind::Print);
    ASSERT_EQ(prints.size(), 4u);
    EXPECT_EQ(prints[0].text, "temp");
    EXPECT_EQ(prints[0].at, (std::vector<double>{1, 1}));
    EXPECT_EQ(prints[1].text, date);
    EXPECT_NEAR(prints[1].at[0], pic.ScaleWidth() - 1.1 * pic.TextWidth(date), 1e-3);
    EXPECT_EQ(prints[1].at[1], 0);
    EXPECT_EQ(prints[2].text, "temp /Scale/  25.5 to  21.5");
    EXPECT_EQ(prints[2].at, (std::vector<double>{1, 1}));
    EXPECT_EQ(prints[3].text, "temp /Range/  25.5 to  21.5");
    EXPECT_NEAR(prints[3].at[1], 300 - pic.TextHeight(prints[3].text), 1e-3);

    // Scheme 30/0 before the first colour; no time bar; one box per valid cell in list order.
    EXPECT_EQ(Scale.ColorCode, 30);
    EXPECT_EQ(Scale.col_opt, 0);
    const auto boxes = dataBoxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(recordsOf(DrawKind::FilledBox).size(), 4u);
    const Long drawn[] = {1, 2, 4, 5};
    for (size_t n = 0; n < 4; ++n) {
        const Long k = drawn[n];
        const float v = 20.5f + static_cast<float>(k);
        EXPECT_EQ(boxes[n].color, ValueToColor(v)) << k;
        for (size_t c = 0; c < 4; ++c)
            EXPECT_NEAR(boxes[n].at[c], boxAt(k)[c], 1e-3) << k;
    }
    EXPECT_EQ(pixelAt(2), ValueToColor(22.5f));
    EXPECT_EQ(pixelAt(5), -1) << "drawn outside the picture: no mark";

    // The whole list at the pinned step, not the view's window; the module count untouched.
    EXPECT_EQ(arr(Win.startp), (std::vector<Long>{2, 1}));
    EXPECT_EQ(arr(Win.countp), (std::vector<Long>{1, 5}));
    EXPECT_EQ(arr(Win.stride), (std::vector<Long>{1, 1}));
    EXPECT_EQ(Win.scalarV.UBound(), 5);

    // Events once, then the legend, then the footer.
    EXPECT_EQ(ui.doEventsCount, 1);
    EXPECT_EQ(legendAtPump, 0u);
    EXPECT_EQ(printsAtPump, 2u);
    EXPECT_FALSE(legend().records().empty());

    EXPECT_EQ(scales("temp"), "4   25.5   21.5");
    EXPECT_EQ(ui.pointerChanges, (std::vector<int>{kPointerHourglass, kPointerDefault}));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_FALSE(IsBusy());
}

TEST_F(CellFileTest, BoxesTakeTheDrawModeAnEarlierDrawLeft) {
    pic.setDrawMode(kDrawMaskPen);
    pic.setFillStyle(kFillSolid);
    view(119, 125, 9, 15);
    Data.CurTimeStep = 2;
    ASSERT_TRUE(prepare());
    DrawCellScalar(pic);
    const auto boxes = dataBoxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].drawMode, kDrawMaskPen);
    for (const Long k : {1, 2, 4, 5})
        EXPECT_EQ(pixelAt(k), ValueToColor(20.5f + static_cast<float>(k))) << k;
    EXPECT_EQ(pixelAt(3), 0xFFFFFF) << "the missing cell leaves no mark";
    EXPECT_EQ(pic.DrawMode(), kDrawMaskPen);
    EXPECT_EQ(pic.FillStyle(), kFillSolid);
}

TEST_F(CellFileTest, PixelFillMatchesTheBoxesOfTheLog) {
    pic.setDrawMode(kDrawMaskPen);
    view(119, 125, 9, 15);
    Data.CurTimeStep = 2;
    PutString("temp", "Scales", Opt.IniFile, "0  30  0");
    expectSamePictureWithoutLog([&] {
        ASSERT_TRUE(prepare());
        DrawCellScalar(pic);
    });
}

TEST_F(CellFileTest, StoredRangeEntries) {
    struct Case {
        const char* entry;
        float max, min;
        const char* scaleLine;
        const char* after;
    };
    // Step 1: values 11.5 .. 15.5.
    for (const Case c : {
             Case{"10  20  10", 20, 10, "temp /Scale/  20 to  10", "10  20  10"},
             Case{"10  10  20", 20, 10, "temp /Scale/  10 to  20", "10  10  20"},
             // Not usable: the automatic range starts from the two words and covers the data.
             Case{"0  13  13", 15.5f, 11.5f, "temp /Scale/  15.5 to  11.5", "4   15.5   11.5"},
             Case{"0  30  30", 30, 11.5f, "temp /Scale/  30 to  11.5", "18.5   30   11.5"},
             Case{"7", 15.5f, 0, "temp /Scale/  15.5 to  0", "15.5   15.5   0"},
         }) {
        PutString("temp", "Scales", Opt.IniFile, c.entry);
        ASSERT_TRUE(prepare());
        DrawCellScalar(pic);
        EXPECT_EQ(Scale.ScaleMax, c.max) << c.entry;
        EXPECT_EQ(Scale.ScaleMin, c.min) << c.entry;
        EXPECT_EQ(texts().at(2), c.scaleLine) << c.entry;
        EXPECT_EQ(texts().at(3), "temp /Range/  15.5 to  11.5") << c.entry;
        EXPECT_EQ(scales("temp"), c.after) << c.entry;
    }
}

TEST_F(CellFileTest, AVariableWithoutTimeIsDrawnButNotAnimated) {
    pick(nvDepth);
    Data.CurTimeStep = 3;
    ASSERT_TRUE(prepare());
    DrawCellScalar(pic);
    EXPECT_EQ(dataBoxes().size(), 5u);
    EXPECT_EQ(arr(Win.startp), (std::vector<Long>{1}));
    EXPECT_EQ(scales("depth"), "4   9   5");

    pic.clearRecords();
    ui.pointerChanges.clear();
    defaultOrderBoxes().step = "1";
    EXPECT_EQ(DrawCellScalarTimed(pic), -1);
    EXPECT_TRUE(dataBoxes().empty());
    EXPECT_TRUE(recordsOf(DrawKind::Cls).empty());
    EXPECT_EQ(defaultOrderBoxes().step, "1");
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    EXPECT_EQ(ui.pointerChanges.back(), kPointerDefault);
}

TEST_F(CellFileTest, ARuntimeErrorEndsWithItsDescription) {
    ASSERT_TRUE(prepare());
    Data.lonV.ReDim(1, 2); // fewer positions than cells
    Data.latV.ReDim(1, 2);
    DrawCellScalar(pic);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "[DrawCellScalar] Subscript out of range");
    EXPECT_EQ(ui.boxes[0].title, kProgramTitle);
    EXPECT_EQ(ui.boxes[0].style, kOkOnly);
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    EXPECT_FALSE(IsBusy());
    EXPECT_EQ(scales("temp"), "");

    ui.boxes.clear();
    Data.CurTimeStep = 1;
    defaultOrderBoxes().step = "1";
    EXPECT_EQ(DrawCellScalarTimed(pic), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Error(9):\r\n\r\n\"Subscript out of range\"");
    EXPECT_EQ(ui.boxes[0].title, "[DrawCellScalar]");
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    EXPECT_FALSE(IsBusy());
}

TEST_F(CellFileTest, NoExtentPrintsOnlyTheNotice) {
    view(1, 1, 10, 10);
    DrawCellScalar(pic);
    ASSERT_EQ(pic.records().size(), 1u);
    EXPECT_EQ(pic.records()[0].text, "(no geographical extent)");
    EXPECT_EQ(DrawCellScalarTimed(pic), -1);
    EXPECT_TRUE(ui.pointerChanges.empty());
}

// ---- The animation ----------------------------------------------------------------------------

TEST_F(CellFileTest, AnimatesTheStepsAfterTheStepBoxWideningTheRange) {
    defaultOrderBoxes().step = "1";
    ASSERT_TRUE(prepare());
    int busyInPump = 0;
    std::vector<float> scaleMaxInPump;
    ui.onDoEvents = [&] {
        busyInPump += IsBusy() ? 1 : 0;
        scaleMaxInPump.push_back(Scale.ScaleMax);
    };
    EXPECT_EQ(DrawCellScalarTimed(pic), 4);

    EXPECT_EQ(defaultOrderBoxes().step, " 4");
    EXPECT_EQ(ui.doEventsCount, 3);
    EXPECT_EQ(busyInPump, 3);
    EXPECT_EQ(recordsOf(DrawKind::Cls).size(), 3u);
    EXPECT_EQ(arr(Win.startp), (std::vector<Long>{4, 1}));
    // Each step coloured with the range of the steps drawn so far.
    EXPECT_EQ(scaleMaxInPump, (std::vector<float>{25.5f, 35.5f, 45.5f}));
    const auto t = texts();
    ASSERT_GE(t.size(), 2u);
    EXPECT_EQ(t[t.size() - 2], "temp /Scale/  45.5 to  21.5");
    EXPECT_EQ(t.back(), "temp /Range/  45.5 to  21.5");
    EXPECT_EQ(scales("temp"), "24   45.5   21.5");
    // Only the last step's boxes, date and bar are on the picture with the footer.
    EXPECT_EQ(std::count(t.begin(), t.end(), Data.clsNC->DatePicked(4, 1)), 1);
    const auto& all = pic.records();
    size_t lastCls = 0;
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i].kind == DrawKind::Cls) lastCls = i;
    std::vector<DrawRecord> lastStep;
    for (size_t i = lastCls; i < all.size(); ++i)
        if (all[i].kind == DrawKind::FilledBox && !isTimeBar(all[i])) lastStep.push_back(all[i]);
    ASSERT_EQ(lastStep.size(), 5u);
    EXPECT_EQ(lastStep.back().color, ValueToColor(45.5f));
    EXPECT_EQ(legend().records().size(), 0u) << "the dispatcher draws the legend after";
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    EXPECT_FALSE(IsBusy());
}

TEST_F(CellFileTest, StartStepFromTheBox) {
    struct Case {
        const char* box;
        Long result;
        Long reads; // steps drawn
    };
    for (const Case c : {Case{"", 4, 3}, Case{"x", 4, 3}, Case{"0", 4, 3}, Case{"2", 4, 2},
                         Case{"2.5", 4, 2}, Case{"3", 4, 1}, Case{"4", 4, 3}, Case{"9", 4, 3}}) {
        defaultOrderBoxes().step = c.box;
        ASSERT_TRUE(prepare());
        ui.doEventsCount = 0;
        EXPECT_EQ(DrawCellScalarTimed(pic), c.result) << c.box;
        EXPECT_EQ(ui.doEventsCount, c.reads) << c.box;
    }
}

TEST_F(CellFileTest, EscAtAStepStopsAfterThatStep) {
    defaultOrderBoxes().step = "1";
    ASSERT_TRUE(prepare());
    ui.onDoEvents = [&] {
        if (defaultOrderBoxes().step == " 3") Anim.CancelFlag = -1;
    };
    EXPECT_EQ(DrawCellScalarTimed(pic), 3);
    EXPECT_EQ(ui.doEventsCount, 2);
    EXPECT_EQ(Anim.CancelFlag, 0);
    EXPECT_EQ(LastMapCaption(), "Drawing Coastline: Canceled");
    EXPECT_EQ(texts().back(), "temp /Range/  35.5 to  21.5");
    EXPECT_EQ(scales("temp"), "14   35.5   21.5");
}

TEST_F(CellFileTest, AnEscReleasedWhileIdleDoesNotStopTheAnimation) {
    defaultOrderBoxes().step = "1";
    ASSERT_TRUE(prepare());
    Anim.CancelFlag = -1;
    EXPECT_EQ(DrawCellScalarTimed(pic), 4);
    EXPECT_EQ(ui.doEventsCount, 3);
    EXPECT_EQ(LastMapCaption(), "");
}

TEST_F(CellFileTest, ASingleStepFileDrawsNothingAndStoresNothing) {
    // Nothing drawn, result 1, the footer over the title, the starting range not written back.
    NcBuilder nc(dir.file("one.nc"));
    nc.unlimitedDim("time", 1);
    nc.dim("station", 2);
    nc.var("time", NC_DOUBLE, {"time"}).att("units", "days since 2005-07-01").values({0.0});
    nc.var("lon", NC_FLOAT, {"station"}).att("units", "degrees_east").values({120.0, 121.0});
    nc.var("lat", NC_FLOAT, {"station"}).att("units", "degrees_north").values({10.0, 11.0});
    nc.var("salt", NC_FLOAT, {"time", "station"}).values({30.0, 31.0});
    nc.write();
    std::unique_ptr<IKelvad> one{CreateKelvad()};
    Data.clsNC = one.get();
    ASSERT_EQ(Data.clsNC->Initialize(dir.file("one.nc")), 1) << Data.clsNC->ErrorMessage();
    ASSERT_GE(Data.clsNC->FillLonLatDeg(Data.lonV, Data.latV, 1), 0);
    pick(Data.clsNC->variNum("salt", 1));
    ASSERT_TRUE(prepare());
    EXPECT_EQ(DrawCellScalarTimed(pic), 1);
    EXPECT_EQ(texts(), (std::vector<std::string>{"salt", "salt /Scale/ -1E+10 to  1E+10",
                                                 "salt /Range/ -1E+10 to  1E+10"}));
    EXPECT_EQ(scales("salt"), "");
    Data.clsNC = nullptr;
}

// ---- Moving cells -------------------------------------------------------------------------------

// The drifters and the CF trajectory of MovingPoints.h, read through the dataset library.
class MovingCellsTest : public ScalarFixture {
protected:
    std::unique_ptr<IKelvad> kelvad{CreateKelvad()};

    void open(const std::string& path) {
        ASSERT_NO_FATAL_FAILURE(openThroughLibrary(*kelvad, path, kGridCells));
        recordLegend();
    }
    void openDrifters() {
        const std::string path = dir.file("drifters.nc");
        writeCdl(kDriftersCdl, path);
        open(path);
        pick(Data.clsNC->variNum("sst", 1));
    }
    struct Point {
        float lon, lat, value;
    };
    void expectBoxes(const std::vector<Point>& points) {
        const auto boxes = dataBoxes();
        ASSERT_EQ(boxes.size(), points.size());
        for (size_t n = 0; n < points.size(); ++n) {
            EXPECT_EQ(boxes[n].color, ValueToColor(points[n].value)) << n;
            const auto want = BoxAround(points[n].lon, points[n].lat);
            for (size_t c = 0; c < 4; ++c)
                EXPECT_NEAR(boxes[n].at[c], want[c], 1e-3) << n;
        }
    }
};

TEST_F(MovingCellsTest, EachStepIsDrawnAtThatStepsPositions) {
    openDrifters();
    EXPECT_EQ(Data.DataExtent.West, -30);
    EXPECT_EQ(Data.DataExtent.East, -18);
    EXPECT_EQ(Data.DataExtent.South, 34);
    EXPECT_EQ(Data.DataExtent.North, 43);
    PutString("sst", "Scales", Opt.IniFile, "0  20  14");
    struct Case {
        Long step;
        std::vector<Point> points;
    };
    for (const Case& c : {Case{1, {{-30, 40, 15}, {-20, 35, 18}}},
                          Case{2, {{-29, 41, 15.5f}}}, // buoy 2 has no position: no box at all
                          Case{3, {{-27, 43, 15.2f}, {-18, 34, 18.4f}}}}) {
        SCOPED_TRACE(c.step);
        Data.CurTimeStep = c.step;
        ASSERT_EQ(CalculateGridScalar(Data.Picks(1).varNumber, 1), 1);
        pic.clearRecords();
        DrawCellScalar(pic);
        expectBoxes(c.points);
        EXPECT_TRUE(ui.boxes.empty());
    }

    // Animated from step 2: the last frame is step 3's, at step 3's positions.
    Data.CurTimeStep = 1;
    ASSERT_EQ(CalculateGridScalar(Data.Picks(1).varNumber, 1), 1);
    defaultOrderBoxes().step = "2";
    pic.clearRecords();
    EXPECT_EQ(DrawCellScalarTimed(pic), 3);
    const auto all = dataBoxes();
    ASSERT_GE(all.size(), 2u);
    const auto want = BoxAround(-18, 34);
    for (size_t c = 0; c < 4; ++c)
        EXPECT_NEAR(all.back().at[c], want[c], 1e-3);
}

TEST_F(MovingCellsTest, EveryTrajectoryIsDrawnAtItsOwnPositions) {
    const std::string path = dir.file("trajectory.nc");
    writeCdl(kTrajectoryCdl, path);
    open(path);
    pick(Data.clsNC->variNum("temp", 1));
    PutString("temp", "Scales", Opt.IniFile, "0  30  10");
    ASSERT_EQ(CalculateGridScalar(Data.Picks(1).varNumber, 1), 1);
    pic.clearRecords();
    DrawCellScalar(pic);
    // The observation without a position has a value but no place: no box at 0, 0 or -999.
    expectBoxes(
        {{-150, 10, 25}, {-149, 11, 25.5f}, {-148, 12, 26}, {160, -40, 12}, {162, -42, 11}});
    EXPECT_TRUE(ui.boxes.empty());
}

// ---- Failures on a fake dataset -----------------------------------------------------------------

constexpr Long kTime = 0, kCell = 1;

class CellFakeTest : public ScalarFixture {
protected:
    void SetUp() override {
        ScalarFixture::SetUp();
        fake.grid = kGridCells;
        fake.cells = 3;
        fake.steps = 3;
        fake.timeDid = kTime;
        fake.dimLen = {{kTime, 3}, {kCell, 3}};
        fake.addVar(1, 1, "temp", {kTime, kCell});
        fake.value = [](Long, Long nv, const std::vector<Long>& ix) {
            const Long t = ix.size() > 1 ? ix[0] : 0;
            return static_cast<float>(nv * 100 + t * 10 + ix.back());
        };
        Data.lonV.ReDim(1, 3);
        Data.latV.ReDim(1, 3);
        for (Long k = 1; k <= 3; ++k) {
            Data.lonV(k) = static_cast<float>(k);
            Data.latV(k) = static_cast<float>(k);
        }
        Data.DataExtent = {1, 3, 1, 3};
        View.ViewExtent = Data.DataExtent;
        pick(1);
        Data.CurTimeStep = 2;
        ASSERT_EQ(CalculateGridScalar(1), 1);
        pic.clearRecords();
    }
};

TEST_F(CellFakeTest, ReadFailureShowsTheListWindowAndStops) {
    fake.failRead = 1;
    DrawCellScalar(pic);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "[DrawCellScalar] NetCDF Error");
    EXPECT_EQ(ui.boxes[0].style, kCritical);
    EXPECT_EQ(ui.boxes[0].text, "[do_get_vars_any] NetCDF Error: Index exceeds dimension bound"
                                "\r\n\r\ni,j=  0  0\r\n"
                                "startp, count=  2  1\r\n"
                                "startp, count=  1  3\r\n");
    EXPECT_EQ(texts(), (std::vector<std::string>{"temp", "2004-03-2"})) << "no footer";
    EXPECT_EQ(ui.doEventsCount, 0) << "no legend";
    EXPECT_EQ(scales("temp"), "");
    EXPECT_EQ(ui.pointerChanges, (std::vector<int>{kPointerHourglass, kPointerDefault}));

    // The animation: the same box, at the second step drawn, and -1.
    ui.boxes.clear();
    fake.reads.clear();
    fake.failRead = 2;
    defaultOrderBoxes().step = "1";
    EXPECT_EQ(DrawCellScalarTimed(pic), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "[DrawCellScalar] NetCDF Error");
    EXPECT_NE(ui.boxes[0].text.find("startp, count=  3  1\r\n"), std::string::npos);
    EXPECT_EQ(scales("temp"), "");
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
}

TEST_F(CellFakeTest, NoValidValueDrawsTheLegendAndFooterButStoresNothing) {
    fake.value = [](Long, Long, const std::vector<Long>&) { return NoVal; };
    DrawCellScalar(pic);
    EXPECT_TRUE(recordsOf(DrawKind::FilledBox).empty());
    EXPECT_EQ(ui.doEventsCount, 1);
    EXPECT_EQ(texts(),
              (std::vector<std::string>{"temp", "2004-03-2", "temp /Scale/ -1E+10 to  1E+10",
                                        "temp /Range/ -1E+10 to  1E+10"}));
    EXPECT_EQ(scales("temp"), "");

    defaultOrderBoxes().step = "1";
    EXPECT_EQ(DrawCellScalarTimed(pic), 3);
    EXPECT_EQ(scales("temp"), "");
}

TEST_F(CellFakeTest, APickFromTheSecondFileUsesItsOwnDataset) {
    // Slot 2's variable 1 has no time dimension and a name of its own.
    fake.addVar(2, 1, "vcell", {kCell});
    pick(1, 2);
    DrawCellScalar(pic);
    ASSERT_EQ(fake.reads.size(), 1u);
    EXPECT_EQ(fake.reads[0].slot, 2);
    EXPECT_EQ(fake.reads[0].start, (std::vector<Long>{1}));
    EXPECT_EQ(fake.reads[0].cnt, (std::vector<Long>{3}));
    EXPECT_EQ(texts().front(), "vcell");
    EXPECT_EQ(scales("vcell"), "2   103   101");
    EXPECT_EQ(scales("temp"), "");
}

TEST_F(CellFakeTest, CellsWithoutAPositionAreSkippedQuietly) {
    // Cells 2 and 3 at coordinates that mark no position: NaN as xarray writes, fill values, or
    // in Mercator mode a longitude beyond any turn.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        Long projection;
        float lon2, lat3;
    };
    for (const Case c : {Case{0, nan, nan}, Case{0, 1e20f, -999}, Case{1, 70000, 70000},
                         Case{1, nan, 9.96921e36f}}) {
        SCOPED_TRACE(std::to_string(c.projection) + " " + std::to_string(c.lon2));
        UseProjection(c.projection);
        for (Long k = 1; k <= 3; ++k)
            Data.lonV(k) = Data.latV(k) = static_cast<float>(c.projection == 0 ? k : k * 0.5);
        Data.lonV(2) = c.lon2;
        Data.latV(3) = c.lat3;
        if (c.projection == 0)
            view(0.5, 3.5, 0.5, 3.5);
        else
            view(0.25, 1.75, 0.25, 1.25);
        ui.boxes.clear();
        pic.clearRecords();
        DrawCellScalar(pic);
        EXPECT_EQ(recordsOf(DrawKind::FilledBox).size(), 1u);
        EXPECT_TRUE(ui.boxes.empty()) << ui.boxes[0].text;
        ASSERT_EQ(texts().size(), 4u) << "the drawing goes on to its footer";
        EXPECT_EQ(texts().back(), "temp /Range/  123 to  121") << "their values still count";
    }
}

} // namespace
