// The regular-grid scalar map of one step: its stages through the picture's primitive log, the
// "Scales" entry, the messages and a few pixels.
#include "viewer/scalar/DrawGridScalar.h"
#include "tests/support/NcBuilder.h"
#include "tests/viewer/ScalarFixture.h"
#include "tests/viewer/scalar/DrawGridScalarFixture.h"
#include "viewer/map/BusyGuard.h"
#include "viewer/scalar/DrawGridScalarTimed.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <set>

namespace {

class DrawGridScalarTest : public DrawGridScalarFixture {};

TEST_F(DrawGridScalarTest, DrawsTitleDateCellsFooterAndStoresTheRange) {
    Scale.ColorCode = 10; // another scheme in force: the map must not use it
    Scale.col_opt = 2;
    Data.CurTimeStep = 2;
    draw();

    const auto prints = recordsOf(DrawKind::Print);
    ASSERT_GE(prints.size(), 4u);
    EXPECT_EQ(prints[0].text, "sst");
    EXPECT_EQ(prints[0].at, (std::vector<double>{1, 1}));
    EXPECT_EQ(prints[1].text, "2004-03-2");
    EXPECT_EQ(prints[1].at[1], 0);
    EXPECT_NEAR(prints[1].at[0], pic.ScaleWidth() - 1.1 * pic.TextWidth("2004-03-2"), 1e-3);
    EXPECT_EQ(prints[2].text, "sst /Scale/  30.5 to  2.5");
    EXPECT_EQ(prints[2].at, (std::vector<double>{1, 1}));
    EXPECT_EQ(prints[3].text, "sst /Range/  30.5 to  2.5");
    EXPECT_NEAR(prints[3].at[1], 300 - pic.TextHeight(prints[3].text), 1e-3);

    // One box per grid point, every one in the colours of scheme 30 variant 0.
    EXPECT_EQ(Scale.ColorCode, 30);
    EXPECT_EQ(Scale.col_opt, 0);
    const auto boxes = dataBoxes();
    ASSERT_EQ(boxes.size(), 12u);
    EXPECT_EQ(boxes.front().color, ValueToColor(2.5f));
    EXPECT_EQ(boxes.back().color, ValueToColor(30.5f));
    EXPECT_EQ(pixelAtPoint(1, 11), ValueToColor(7.5f)) << "mask pen over white keeps the colour";
    EXPECT_EQ(pixelAtPoint(3, 10), ValueToColor(5.5f));
    // Every box is one spacing wide and high, the last column and row included.
    for (const auto& b : boxes) {
        EXPECT_NEAR(std::fabs(b.at[2] - b.at[0]), std::fabs(boxes[0].at[2] - boxes[0].at[0]), 1e-3);
        EXPECT_NEAR(std::fabs(b.at[3] - b.at[1]), std::fabs(boxes[0].at[3] - boxes[0].at[1]), 1e-3);
    }
    EXPECT_EQ(pic.FillStyle(), kFillTransparent);
    EXPECT_EQ(pic.DrawMode(), kDrawMaskPen);

    ASSERT_EQ(fake.reads.size(), 1u);
    EXPECT_EQ(fake.reads[0].start, (std::vector<Long>{2, 1, 1}));
    EXPECT_EQ(GetWord(scales("sst"), 1), 28);
    EXPECT_EQ(GetWord(scales("sst"), 2), 30.5);
    EXPECT_EQ(GetWord(scales("sst"), 3), 2.5);
    EXPECT_EQ(scales("sst"), "28   30.5   2.5");
    EXPECT_EQ(ui.pointerChanges, (std::vector<int>{kPointerHourglass, kPointerDefault}));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(DrawGridScalarTest, StoredRangeEntries) {
    struct Case {
        const char* entry;
        float max, min;
        const char* scaleLine;
        const char* after; // the entry after the draw
    };
    for (const Case c : {
             Case{"5  20  10", 20, 10, "sst /Scale/  20 to  10", "5  20  10"},
             Case{"5  10  20", 20, 10, "sst /Scale/  10 to  20", "5  10  20"},
             // Not usable: equal words, or a word missing; the automatic range starts from them.
             Case{"0  50  50", 50, 2.5f, "sst /Scale/  50 to  2.5", "47.5   50   2.5"},
             Case{"7", 30.5f, 0, "sst /Scale/  30.5 to  0", "30.5   30.5   0"},
             Case{"1  40", 40, 0, "sst /Scale/  40 to  0", "1  40"},
         }) {
        PutString("sst", "Scales", Opt.IniFile, c.entry);
        draw();
        EXPECT_EQ(Scale.ScaleMax, c.max) << c.entry;
        EXPECT_EQ(Scale.ScaleMin, c.min) << c.entry;
        EXPECT_TRUE(hasText(c.scaleLine)) << c.entry;
        EXPECT_EQ(scales("sst"), c.after) << c.entry;
    }
}

TEST_F(DrawGridScalarTest, NoValidValueDrawsNothingAndStoresNothing) {
    fake.value = [](Long, Long, const std::vector<Long>&) { return NoVal; };
    draw();
    EXPECT_TRUE(dataBoxes().empty());
    EXPECT_TRUE(hasText("sst /Scale/ -1E+10 to  1E+10"));
    EXPECT_TRUE(hasText("sst /Range/ -1E+10 to  1E+10"));
    EXPECT_EQ(scales("sst"), "");
}

TEST_F(DrawGridScalarTest, AVariableWithoutANameStoresNothing) {
    fake.vars[{1, 1}].name = "";
    draw();
    EXPECT_EQ(dataBoxes().size(), 12u);
    EXPECT_EQ(readFile(Opt.IniFile).find("Scales"), std::string::npos);
}

TEST_F(DrawGridScalarTest, APickFromTheSecondFileUsesItsOwnDataset) {
    // Slot 2's variable has no time dimension: slot 1's time position must not be pinned.
    fake.addVar(2, 1, "vwind", {kLat, kLon}, 2);
    Data.CurTimeStep = 3;
    pick(1, 2);
    draw();
    ASSERT_EQ(fake.reads.size(), 1u);
    EXPECT_EQ(fake.reads[0].slot, 2);
    EXPECT_EQ(fake.reads[0].start, (std::vector<Long>{1, 1}));
    EXPECT_EQ(texts().front(), "vwind");
    EXPECT_EQ(dataBoxes().size(), 12u);
    EXPECT_EQ(scales("vwind"), "28   30.5   2.5");
    EXPECT_EQ(scales("sst"), "");
}

TEST_F(DrawGridScalarTest, ReadFailureShowsTheWindowAndStops) {
    fake.failRead = 1;
    draw();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "[DrawGridScalar] NetCDF Error");
    EXPECT_EQ(ui.boxes[0].style, kCritical);
    EXPECT_EQ(ui.boxes[0].text, "[do_get_vars_any] NetCDF Error: Index exceeds dimension bound"
                                "\r\n\r\nnvar, tcount=  1  12\r\n"
                                "start, count, stride =  1  1  1\r\n"
                                "start, count, stride =  1  3  1\r\n"
                                "start, count, stride =  1  4  1\r\n");
    EXPECT_FALSE(hasText("sst /Scale/  30.5 to  2.5"));
    EXPECT_TRUE(dataBoxes().empty());
    EXPECT_EQ(scales("sst"), "");
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
}

TEST_F(DrawGridScalarTest, EmptyWindowAndMissingExtent) {
    ASSERT_EQ(CalculateGridScalar(1), 1);
    Win.countp(3) = 0;
    DrawGridScalar(pic, 1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "[DrawGridScalar] Code error: Geogrphical miss-match");
    EXPECT_TRUE(fake.reads.empty());
    EXPECT_EQ(texts(), (std::vector<std::string>{"sst", "2004-03-1"}));
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);

    pic.clearRecords();
    ui.pointerChanges.clear();
    view(1, 1, 10, 10);
    DrawGridScalar(pic, 1);
    ASSERT_EQ(pic.records().size(), 1u);
    EXPECT_EQ(pic.records()[0].text, "(no geographical extent)");
    EXPECT_EQ(pic.records()[0].at, (std::vector<double>{100, 150}));
    EXPECT_TRUE(ui.pointerChanges.empty());
}

TEST_F(DrawGridScalarTest, SeamCopiesShareTheStepTheRangeAndTheReadWindow) {
    // 36 columns 0 .. 350 holding their index: the view from -60 to 60 reaches the columns
    // 300 .. 350 a period to the west.
    regularGrid(range(0, 10, 36), range(-10, 10, 3));
    fake.dimLen = {{kTime, 3}, {kLat, 3}, {kLon, 36}};
    fake.value = [](Long, Long, const std::vector<Long>& ix) { return static_cast<float>(ix[2]); };
    Data.CurTimeStep = 2;
    view(-60, 60, -10, 10);
    draw();
    ASSERT_EQ(fake.reads.size(), 2u);
    EXPECT_EQ(fake.reads[0].start, (std::vector<Long>{2, 1, 1}));
    EXPECT_EQ(fake.reads[1].start, (std::vector<Long>{2, 1, 31}));
    EXPECT_EQ(fake.reads[1].cnt, (std::vector<Long>{1, 3, 6}));
    // The read window stays the grid's own, with the values of its read; the seam window keeps
    // its values for the probe.
    EXPECT_EQ(Win.tcount, 21);
    EXPECT_EQ(Win.startp(3), 1);
    EXPECT_EQ(Win.scalarV(1), 1);
    ASSERT_EQ(Win.seamWindows.size(), 1u);
    EXPECT_TRUE(Win.seamWindows[0].read);
    EXPECT_EQ(Win.seamWindows[0].values(1), 31);

    const auto boxes = dataBoxes();
    ASSERT_EQ(boxes.size(), 21u + 18u);
    float x0 = 0, y0 = 0, xw = 0, yw = 0;
    ll2_to_xy2(0, 0, x0, y0);
    ll2_to_xy2(-60, 0, xw, yw);
    for (size_t k = 21; k < boxes.size(); ++k)
        EXPECT_LT((boxes[k].at[0] + boxes[k].at[2]) / 2, x0 - 1);
    EXPECT_NEAR((boxes[21].at[0] + boxes[21].at[2]) / 2, xw, 1e-3) << "lon 300 drawn at -60";
    // One range for both: indices 1..7 and 31..36, and every box, the grid's own first,
    // coloured on it, as the legend shows it.
    EXPECT_EQ(scales("sst"), "35   36   1");
    EXPECT_EQ(Scale.ScaleMax, 36);
    EXPECT_EQ(Scale.ScaleMin, 1);
    for (Long i : {1L, 4L, 7L})
        EXPECT_EQ(pixelAtPoint(Data.lonV(i), 0), ValueToColor(static_cast<float>(i))) << i;
    for (Long i : {31L, 34L, 36L})
        EXPECT_EQ(pixelAtPoint(Data.lonV(i) - 360, 0), ValueToColor(static_cast<float>(i))) << i;
    // No white strip at the seam: the last column's box meets the first column's.
    EXPECT_EQ(boxes.back().at[2], boxes[14].at[0]) << "the row at latitude 10: 355 = -5";
}

TEST_F(DrawGridScalarTest, AViewWiderThanAPeriodShowsEveryCopy) {
    regularGrid(range(0, 30, 12), range(-30, 30, 3));
    fake.dimLen = {{kTime, 3}, {kLat, 3}, {kLon, 12}};
    fake.value = [](Long, Long, const std::vector<Long>& ix) { return static_cast<float>(ix[2]); };
    PutString("sst", "Scales", Opt.IniFile, "12  12  0"); // no value at the white end
    view(-500, 800, -30, 30);
    draw();
    // Copies at -720, -360, +360 and +720: the grid's window holds every column they take, so
    // they all take their values from the grid's one read.
    EXPECT_EQ(Win.seamWindows.size(), 4u);
    EXPECT_EQ(fake.reads.size(), 1u);
    for (float lon = -480; lon <= 780; lon += 30) {
        const Long i = columnAt(lon, 30);
        EXPECT_EQ(pixelAtPoint(lon, 0), ValueToColor(static_cast<float>(i))) << lon;
    }
    // Wall to wall along the middle row from the westernmost to the easternmost point drawn.
    float xw = 0, xe = 0, y = 0;
    ll2_to_xy2(-480, 0, xw, y);
    ll2_to_xy2(780, 0, xe, y);
    for (long x = std::lround(xw); x <= std::lround(xe); ++x)
        EXPECT_NE(pic.pixel(static_cast<int>(x), static_cast<int>(std::lround(y))), 0xFFFFFF) << x;
}

// A copy whose columns the grid's window holds only in part reads just the others, as a window of
// its own at the step drawn; its cells show the values of their columns all the same.
TEST_F(DrawGridScalarTest, SeamCopiesReadOnlyTheColumnsTheGridsWindowLacks) {
    struct Case {
        const char* name;
        double west, east;
        std::vector<Long> partStart, partCount;
    };
    const Case cases[] = {
        // The grid's window takes 0 .. 300; the copy to the west needs 260 .. 350 - 360.
        {"to the west", -100, 300, {2, 1, 32}, {1, 3, 5}},
        // The grid's window takes 60 .. 350; the copy to the east needs 0 .. 100 + 360.
        {"to the east", 60, 460, {2, 1, 1}, {1, 3, 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        regularGrid(range(0, 10, 36), range(-10, 10, 3));
        fake.dimLen = {{kTime, 3}, {kLat, 3}, {kLon, 36}};
        fake.value = [](Long, Long, const std::vector<Long>& ix) {
            return static_cast<float>(ix[0] * 100 + ix[2]);
        };
        PutString("sst", "Scales", Opt.IniFile, "200  240  0");
        Data.CurTimeStep = 2;
        fake.reads.clear();
        pic.Cls();
        view(c.west, c.east, -10, 10);
        draw();
        ASSERT_EQ(Win.seamWindows.size(), 1u);
        ASSERT_EQ(fake.reads.size(), 2u);
        EXPECT_EQ(fake.reads[1].start, c.partStart);
        EXPECT_EQ(fake.reads[1].cnt, c.partCount);
        const SeamWindow& w = Win.seamWindows[0];
        ASSERT_TRUE(w.read);
        for (Long k = 1; k <= w.countp(3); ++k)
            for (Long j = 1; j <= 3; ++j)
                EXPECT_EQ(w.values((j - 1) * w.countp(3) + k), 200 + w.startp(3) + k - 1)
                    << "column " << k << ", row " << j;
        // Every place in the view in the colour of its own column, on the grid and the copy.
        for (float lon = static_cast<float>(c.west); lon <= c.east; lon += 10) {
            const Long i = columnAt(lon, 10);
            EXPECT_EQ(pixelAtPoint(lon, 0), ValueToColor(static_cast<float>(200 + i))) << lon;
        }
    }
}

TEST_F(DrawGridScalarTest, CellsTileTheMapAtEveryStride) {
    // Uneven spacing: the boxes reach half way to the next point walked on each side.
    const std::vector<float> lon{0, 1, 3, 4, 7, 8, 10, 13, 14};
    const std::vector<float> lat{10, 11, 13, 14, 17, 18};
    fake.dimLen = {{kTime, 3}, {kLat, 6}, {kLon, 9}};
    fake.value = [](Long, Long, const std::vector<Long>& ix) {
        return static_cast<float>(ix[1] * 10 + ix[2]);
    };
    PutString("sst", "Scales", Opt.IniFile, "0  70  0");
    for (const char* step : {"1", "2", "3"}) {
        regularGrid(lon, lat);
        view(-1, 15, 9, 19);
        defaultOrderBoxes().strides[1] = step;
        defaultOrderBoxes().strides[2] = step;
        pic.Cls();
        draw();
        std::set<Long> colours;
        for (const auto& b : dataBoxes())
            colours.insert(b.color);
        // Every pixel between the outer edges of the boxes drawn has the colour of one box:
        // no white gap, no pixel masked by two boxes.
        const auto boxes = dataBoxes();
        double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
        for (const auto& b : boxes) {
            left = std::min({left, b.at[0], b.at[2]});
            right = std::max({right, b.at[0], b.at[2]});
            top = std::min({top, b.at[1], b.at[3]});
            bottom = std::max({bottom, b.at[1], b.at[3]});
        }
        int wrong = 0;
        for (int y = static_cast<int>(std::ceil(top)); y < bottom; ++y)
            for (int x = static_cast<int>(std::ceil(left)); x < right; ++x)
                if (!colours.count(pic.pixel(x, y)) && y > 20 && y < 280) ++wrong;
        EXPECT_EQ(wrong, 0) << "stride " << step;
        // The grid reaches half a spacing beyond its first and last points at every stride.
        float xa = 0, ya = 0, xb = 0, yb = 0;
        ll2_to_xy2(-0.5f, 9.5f, xa, ya);
        ll2_to_xy2(14.5f, 18.5f, xb, yb);
        EXPECT_NEAR(left, xa, 1e-3) << step;
        EXPECT_NEAR(right, xb, 1e-3) << step;
        EXPECT_NEAR(bottom, ya, 1e-3) << step;
        EXPECT_NEAR(top, yb, 1e-3) << step;
    }
}

TEST_F(DrawGridScalarTest, EachVariableIsWalkedInItsOwnOrder) {
    // The dataset holds both orders; this variable has longitude before latitude.
    fake.order = 3;
    fake.addVar(1, 2, "ice", {kTime, kLon, kLat}, 1);
    fake.value = [](Long, Long, const std::vector<Long>& ix) {
        return static_cast<float>(ix[1] * 10 + ix[2]); // lon index * 10 + lat index
    };
    pick(2);
    draw();
    EXPECT_EQ(dataBoxes().size(), 12u);
    for (Long i = 1; i <= 4; ++i)
        for (Long j = 1; j <= 3; ++j)
            EXPECT_EQ(pixelAtPoint(Data.lonV(i), Data.latV(j)),
                      ValueToColor(static_cast<float>(i * 10 + j)))
                << i << "," << j;
}

TEST_F(DrawGridScalarTest, AnErrorPassesToTheCallerWithThePointerRestored) {
    ASSERT_EQ(CalculateGridScalar(1), 1);
    Data.lonV.ReDim(1, 2);
    EXPECT_THROW(DrawGridScalar(pic, 1), RuntimeError);
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    EXPECT_FALSE(IsBusy());
}

TEST_F(DrawGridScalarTest, RefusedTransformsSkipTheirBoxesWithOneMessage) {
    View.Projection = 1;
    regularGrid({0, 0.01f, 0.02f, 70000}, {0, 0.01f, 0.02f});
    view(0, 0.02, 0, 0.02);
    fake.dimLen.clear();
    draw();
    EXPECT_EQ(dataBoxes().size(), 6u) << "the third column reaches half way to 70000 radians";
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "[rad_to_xy] rad_to_xy returned -1");
}

// The cells go straight into the picture's pixels unless the primitive log is recording: both
// ways must give the same picture, pixel for pixel, in every case the walk has.
TEST_F(DrawGridScalarTest, PixelFillMatchesTheBoxesOfTheLog) {
    struct Case {
        const char* name;
        std::function<void()> setUp;
    };
    const auto byIndex = [](Long, Long, const std::vector<Long>& ix) {
        return static_cast<float>(ix[1] * 10 + ix[2]);
    };
    const std::vector<Case> cases = {
        {"small grid", [] {}},
        {"uneven spacing at stride 2",
         [&] {
             regularGrid({0, 1, 3, 4, 7, 8, 10, 13, 14}, {10, 11, 13, 14, 17, 18});
             fake.dimLen = {{kTime, 3}, {kLat, 6}, {kLon, 9}};
             fake.value = byIndex;
             view(-1, 15, 9, 19);
             defaultOrderBoxes().strides[1] = "2";
             defaultOrderBoxes().strides[2] = "3";
         }},
        {"more cells than pixels",
         [&] {
             regularGrid(range(0, 0.5f, 720), range(-89.75f, 0.5f, 360));
             fake.dimLen = {{kTime, 3}, {kLat, 360}, {kLon, 720}};
             fake.value = byIndex;
             defaultOrderBoxes().strides[1] = "1";
             defaultOrderBoxes().strides[2] = "1";
         }},
        {"copies across the seam",
         [&] {
             regularGrid(range(0, 10, 36), range(-10, 10, 3));
             fake.dimLen = {{kTime, 3}, {kLat, 3}, {kLon, 36}};
             fake.value = byIndex;
             view(-500, 800, -10, 10);
         }},
        {"longitude before latitude",
         [&] {
             fake.order = 3;
             fake.addVar(1, 2, "ice", {kTime, kLon, kLat}, 1);
             fake.value = byIndex;
             pick(2);
         }},
        {"twips", [&] { pic.setScaleMode(kScaleTwips); }},
        {"Mercator with refused edges",
         [&] {
             View.Projection = 1;
             regularGrid({0, 0.01f, 0.02f, 70000}, {0, 0.01f, 0.02f});
             view(0, 0.02, 0, 0.02);
             fake.dimLen.clear();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake.order = 1;
        pick(1);
        regularGrid(range(0, 1, 4), range(10, 1, 3));
        fake.dimLen = {{kTime, 3}, {kLat, 3}, {kLon, 4}};
        pic.setScaleMode(kScalePixels);
        View.Projection = 0;
        for (auto& st : defaultOrderBoxes().strides)
            st = "";
        c.setUp();
        PutString(Data.Picks(1).varNumber == 2 ? "ice" : "sst", "Scales", Opt.IniFile, "0  400  0");
        // The transform first, as the plot does, so that both frames see the same picture.
        expectSamePictureWithoutLog([&] {
            InitMapScale(pic);
            draw();
        });
    }
}

// ---- A real file --------------------------------------------------------------------------------

class DrawGridScalarFileTest : public ScalarFixture {
protected:
    std::unique_ptr<IKelvad> kelvad{CreateKelvad()};
    void TearDown() override {
        Data.clsNC = nullptr;
        ScalarFixture::TearDown();
    }
};

TEST_F(DrawGridScalarFileTest, DrawsASmallFileThroughTheDatasetLibrary) {
    NcBuilder nc(dir.file("sst.nc"));
    nc.dim("lon", 4);
    nc.dim("lat", 3);
    nc.unlimitedDim("time", 2);
    nc.var("lon", NC_FLOAT, {"lon"})
        .att("units", "degrees_east")
        .values({120.0, 121.0, 122.0, 123.0});
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({10.0, 11.0, 12.0});
    nc.var("time", NC_DOUBLE, {"time"}).att("units", "hours since 2000-01-01").values({0.0, 1.0});
    std::vector<double> v;
    for (int t = 0; t < 2; ++t)
        for (int k = 0; k < 12; ++k)
            v.push_back(k == 5 ? -999.0 : t * 100.0 + k);
    nc.var("sst", NC_FLOAT, {"time", "lat", "lon"})
        .att("units", "degC")
        .att("_FillValue", NC_FLOAT, -999.0f)
        .values(v);
    nc.write();

    Data.clsNC = kelvad.get();
    const Long slot = Data.clsNC->Initialize(dir.file("sst.nc"));
    ASSERT_EQ(slot, 1) << Data.clsNC->ErrorMessage();
    ASSERT_EQ(Data.clsNC->GridType(slot), kGridRegular);
    ASSERT_GE(Data.clsNC->FillLonLatDeg(Data.lonV, Data.latV, slot), 0);
    Data.DataExtent = {120, 123, 10, 12};
    View.ViewExtent = Data.DataExtent;
    pick(Data.clsNC->variNum("sst", slot));
    Data.CurTimeStep = 2;
    ASSERT_EQ(CalculateGridScalar(Data.Picks(1).varNumber), 1);
    DrawGridScalar(pic, 1);

    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(texts().front(), "sst");
    EXPECT_EQ(texts()[1], Data.clsNC->DatePicked(2, slot));
    EXPECT_FALSE(texts()[1].empty());
    EXPECT_EQ(scales("sst"), "11   111   100");
    size_t cells = 0;
    for (const auto& r : recordsOf(DrawKind::FilledBox))
        cells += isTimeBar(r) ? 0 : 1;
    EXPECT_EQ(cells, 11u) << "the missing value gets no box";
    float x = 0, y = 0;
    ll2_to_xy2(122, 11, x, y); // k = 6: 106
    EXPECT_EQ(pic.pixel(std::lround(x), std::lround(y)), ValueToColor(106));
    ll2_to_xy2(121, 11, x, y); // k = 5: missing, left white
    EXPECT_EQ(pic.pixel(std::lround(x), std::lround(y)), 0xFFFFFF);
}

} // namespace
