// The regular-grid vector map: one arrow per grid point for a known field, the legend and
// reference arrow by vector kind and unit, the vector scale's default, the seam copies, a pair
// split over two files, and the frame's messages; the shared legend stages on their own.
#include "viewer/vector/DrawGridVector.h"

#include "tests/viewer/vector/VectorFixture.h"

#include "viewer/map/BusyGuard.h"

#include <string>
#include <vector>

namespace {

class DrawGridVectorTest : public VectorFixture {
protected:
    void draw() {
        ASSERT_EQ(CalculateGridScalar(Data.Picks(1).varNumber, Data.Picks(1).datasetIndex), 1);
        pic.clearRecords();
        DrawGridVector(pic, 1);
    }
};

TEST_F(DrawGridVectorTest, OneArrowPerGridPointOfAKnownField) {
    static constexpr float M = NoVal;
    // Row 10: east, north, diagonal, zero; row 11: u missing, v missing, west, south;
    // row 12: (0.5, 0.5) everywhere.
    field = [](Long, Long, Long i, Long j) -> std::pair<float, float> {
        const std::pair<float, float> rows[2][4] = {{{1, 0}, {0, 1}, {1, 1}, {0, 0}},
                                                    {{M, 1}, {1, M}, {-2, 0}, {0, -0.5f}}};
        return j <= 2 ? rows[j - 1][i - 1] : std::pair<float, float>{0.5f, 0.5f};
    };
    Opt.OptArrowStyle = 1;
    draw();
    EXPECT_EQ(Opt.vscale, 10);
    const auto a = arrows();
    ASSERT_EQ(a.size(), 1u + 3 + 2 + 4);
    // The reference arrow: magnitude 1 right of the label, one line below the title.
    const float th = pic.TextHeight("1 m/s");
    EXPECT_NEAR(a[0].x, pic.TextWidth("1 m/s") + 10, 1e-3);
    EXPECT_NEAR(a[0].y, 1.5 * th, 1e-3);
    EXPECT_NEAR(a[0].dx, 10, 1e-3);
    EXPECT_NEAR(a[0].dy, 0, 1e-3);
    expectArrow(a[1], 0, 10, 1, 0, "east");
    expectArrow(a[2], 1, 10, 0, 1, "north");
    expectArrow(a[3], 2, 10, 1, 1, "diagonal");
    expectArrow(a[4], 2, 11, -2, 0, "west");
    expectArrow(a[5], 3, 11, 0, -0.5f, "south");
    for (Long i = 0; i < 4; ++i)
        expectArrow(a[6 + i], static_cast<float>(i), 12, 0.5f, 0.5f, "row 12");
    EXPECT_EQ(texts(),
              (std::vector<std::string>{"u & v", "1 m/s", "2004-03-1", "u & v  Scale=  10"}));
    const auto label = recordsOf(DrawKind::Print).at(1);
    EXPECT_EQ(label.at, (std::vector<double>{1, th}));
    EXPECT_EQ(recordsOf(DrawKind::Print).back().at, (std::vector<double>{1, 1}));
    // The values drawn stay for the probe; missing ones as read.
    EXPECT_EQ(Win.uV(5), M);
    EXPECT_EQ(Win.vV(6), NoVal);
    EXPECT_EQ(Win.uV(7), -2);
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    EXPECT_FALSE(IsBusy());
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(DrawGridVectorTest, LegendAndReferenceArrowByKindAndUnit) {
    struct Case {
        Long kind;
        const char* unit;
        const char* label;
        float magnitude;
        float factor;
    };
    const std::vector<Case> cases = {
        {0, "m/s", "1 m/s", 1, 1},
        {1, "m/s", "1 m/s", 1, 1},
        {2, "m/s", "10 m/s", 10, 1},
        {1, "cm/s", "1 m/sec", 1, 0.01f},
        {2, "CM S-1", "10 m/sec", 10, 0.01f},
        {0, "(cm/s)", "1 m/sec", 1, 0.01f},
        {1, " cm/s ", "1 cm/s", 1, 1},
        {1, "centimeter/s", "1 m/sec", 1, 0.01f},
        {2, "centimeters per second", "10 m/sec", 10, 0.01f},
        {1, "cm s-1", "1 m/sec", 1, 0.01f},
        {1, "(Centimetres/s)", "1 m/sec", 1, 0.01f},
        {1, "centi", "1 centi", 1, 1},
        {2, "", "10 ", 10, 1},
        {3, "cm/s", "", 0, 1},
        {-1, "m/s", "", 0, 1},
    };
    field = [](Long, Long, Long, Long) { return std::pair<float, float>{100, 0}; };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.kind) + " '" + c.unit + "'");
        fake.vectorKind = c.kind;
        fake.vars[{1, 1}].unit = c.unit;
        draw();
        EXPECT_EQ(texts().at(1), c.label);
        const auto a = arrows();
        ASSERT_EQ(a.size(), 13u);
        EXPECT_NEAR(a[0].x, pic.TextWidth(c.label) + 10, 1e-3);
        EXPECT_NEAR(a[0].dx, 10 * c.magnitude, 1e-3);
        EXPECT_NEAR(a[1].dx, 10 * 100 * c.factor, 1e-2) << "the data in the legend's unit";
        EXPECT_FLOAT_EQ(Win.uV(1), 100 * c.factor);
    }
}

TEST_F(DrawGridVectorTest, VectorScaleDefaultsToTenAndIsStored) {
    struct Case {
        const char* stored; // nullptr: no key
        float used;
        const char* after;
    };
    // " 10" as written, read back trimmed.
    const std::vector<Case> cases = {{nullptr, 10, "10"},  {"", 10, "10"},    {"0", 10, "10"},
                                     {"-3", 10, "10"},     {"abc", 10, "10"}, {"1e99", 10, "10"},
                                     {"2.5", 2.5f, "2.5"}, {"4 x", 4, "4 x"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "(none)");
        useSettings(c.stored ? std::string("[Scales]\r\nvscale=") + c.stored + "\r\n"
                             : std::string("[parameters]\r\n"));
        draw();
        EXPECT_EQ(Opt.vscale, c.used);
        EXPECT_EQ(scales("vscale"), c.after);
        EXPECT_NEAR(arrows().at(1).dx, c.used, 1e-4);
        EXPECT_EQ(texts().back(), "u & v  Scale= " + Str(c.used));
    }
}

// 36 columns 0 .. 350, u = the column index / 10: copies a period west or east of the grid get
// their arrows and keep their values. Copies whose columns the grid's window holds take the pair
// from its read: one read of u and one of v whatever the number of copies, and one more of each
// only for the columns it lacks.
TEST_F(DrawGridVectorTest, SeamCopiesGetTheirArrowsAndKeepTheirValues) {
    struct ArrowAt {
        int index; // from the end when negative
        float lon, lat, u;
        const char* what;
    };
    struct Case {
        double west, east;
        size_t copies, reads;
        Long lackStart, lackCount; // the columns the grid's window lacks; 0: none
        size_t arrows;             // with the reference arrow
        std::vector<ArrowAt> some;
    };
    const Case cases[] = {
        // The view reaches the columns 300 .. 350 a period to the west.
        {-60,
         60,
         1,
         4,
         31,
         6,
         1 + 21 + 18,
         {{1, 0, -10, 0.1f, "the grid's own first point"},
          {22, -60, -10, 3.1f, "lon 300 drawn at -60"},
          {-1, -10, 10, 3.6f, "lon 350 drawn at -10"}}},
        // The copy to the west reaches past the columns the grid's window takes (0 .. 300).
        {-100, 300, 1, 4, 32, 5, 1 + 93 + 30, {{-1, -10, 10, 3.6f, "lon 350 drawn at -10"}}},
        // Copies on both sides: the grid's window holds every column they take.
        {-400, 700, 3, 2, 0, 0, 1 + 3 * 111, {}},
    };
    regularGrid(range(0, 10, 36), range(-10, 10, 3));
    fake.dimLen = {{kTime, 3}, {kLat, 3}, {kLon, 36}};
    field = [](Long, Long, Long i, Long) {
        return std::pair<float, float>{static_cast<float>(i) / 10, 0.1f};
    };
    Data.CurTimeStep = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.west << " .. " << c.east);
        fake.reads.clear();
        view(c.west, c.east, -10, 10);
        draw();
        ASSERT_EQ(Win.seamWindows.size(), c.copies);
        ASSERT_EQ(fake.reads.size(), c.reads);
        if (c.lackStart > 0) {
            for (size_t r : {2u, 3u}) {
                EXPECT_EQ(fake.reads[r].nv, static_cast<Long>(r) - 1);
                EXPECT_EQ(fake.reads[r].start, (std::vector<Long>{2, 1, c.lackStart}));
                EXPECT_EQ(fake.reads[r].cnt, (std::vector<Long>{1, 3, c.lackCount}));
            }
        }
        for (const SeamWindow& w : Win.seamWindows) {
            EXPECT_TRUE(w.pairRead);
            for (Long k = 1; k <= w.countp(3); ++k)
                EXPECT_FLOAT_EQ(w.uValues(k), static_cast<float>(w.startp(3) + k - 1) / 10) << k;
        }
        EXPECT_FLOAT_EQ(Win.uV(1), 0.1f);
        const auto a = arrows();
        ASSERT_EQ(a.size(), c.arrows);
        for (const ArrowAt& s : c.some) {
            const size_t n = s.index < 0 ? a.size() - static_cast<size_t>(-s.index)
                                         : static_cast<size_t>(s.index);
            ASSERT_LT(n, a.size()) << s.what;
            expectArrow(a[n], s.lon, s.lat, s.u, 0.1f, s.what);
        }
    }
}

// A failed read of a seam copy is told as a failed read of the view's own window is: the walk's
// place, then the copy's window.
TEST_F(DrawGridVectorTest, AFailedSeamReadIsToldInThePairLayout) {
    regularGrid(range(0, 10, 36), range(-10, 10, 3));
    fake.dimLen = {{kTime, 3}, {kLat, 3}, {kLon, 36}};
    Data.CurTimeStep = 2;
    view(-60, 60, -10, 10);
    for (Long failing : {3, 4}) {
        SCOPED_TRACE(failing);
        ui.boxes.clear();
        fake.reads.clear();
        fake.failRead = failing; // u, then v of the copy a period west
        draw();
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].title, "[DrawGridVector] NetCDF Error");
        EXPECT_EQ(ui.boxes[0].text, "[do_get_vars_any] NetCDF Error: Index exceeds dimension "
                                    "bound\r\n\r\ni,j=  0  0\r\nstartp, count=  2  1\r\n"
                                    "startp, count=  1  3\r\nstartp, count=  31  6\r\n");
    }
}

TEST_F(DrawGridVectorTest, APairSplitOverTwoFilesReadsAndNamesEachFromItsOwn) {
    fake.addVar(2, 1, "vwind", {kTime, kLat, kLon}, 2).unit = "knots";
    fake.vars[{1, 1}].unit = "cm/s";
    field = [](Long slot, Long, Long, Long) {
        return slot == 1 ? std::pair<float, float>{100, 0} : std::pair<float, float>{0, 200};
    };
    pickPair(1, 1, 1, 2);
    draw();
    ASSERT_EQ(fake.reads.size(), 2u);
    EXPECT_EQ(fake.reads[0].slot, 1);
    EXPECT_EQ(fake.reads[1].slot, 2);
    EXPECT_EQ(fake.reads[1].nv, 1);
    EXPECT_EQ(texts().front(), "u & vwind");
    EXPECT_EQ(texts().at(1), "1 m/sec") << "the legend follows u's unit";
    const auto a = arrows();
    ASSERT_EQ(a.size(), 13u);
    expectArrow(a[1], 0, 10, 1, 2, "u from the main file, v from the second");
}

TEST_F(DrawGridVectorTest, ReadFailuresShowTheWindowAndStop) {
    for (Long failing : {1, 2}) {
        SCOPED_TRACE(failing);
        fake.reads.clear();
        fake.failRead = failing;
        ui.boxes.clear();
        draw();
        EXPECT_EQ(fake.reads.size(), static_cast<size_t>(failing)) << "v is not read after u";
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].title, "[DrawGridVector] NetCDF Error");
        EXPECT_EQ(ui.boxes[0].style, kCritical);
        EXPECT_EQ(ui.boxes[0].text,
                  "[do_get_vars_any] NetCDF Error: Index exceeds dimension bound\r\n\r\n"
                  "i,j=  0  0\r\nstartp, count=  1  1\r\nstartp, count=  1  3\r\n"
                  "startp, count=  1  4\r\n");
        EXPECT_EQ(arrows().size(), 1u) << "the reference arrow only";
        EXPECT_EQ(texts().back(), "2004-03-1") << "no footer";
        EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    }
}

TEST_F(DrawGridVectorTest, EmptyWindowMissingExtentAndAnEmptyRead) {
    ASSERT_EQ(CalculateGridScalar(1), 1);
    Win.countp(3) = 0;
    pic.clearRecords();
    DrawGridVector(pic, 1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "[DrawGridVector] Code error: Geogrphical miss-match");
    EXPECT_TRUE(fake.reads.empty());
    EXPECT_TRUE(hasText("1 m/s"));

    field = [](Long, Long, Long, Long) { return std::pair<float, float>{NoVal, 1}; };
    draw();
    EXPECT_EQ(arrows().size(), 1u);
    EXPECT_EQ(texts().back(), "u & v  Scale=  10");

    view(0, 0, 0, 0);
    pic.clearRecords();
    DrawGridVector(pic, 1);
    ASSERT_EQ(pic.records().size(), 1u);
    EXPECT_EQ(pic.records()[0].text, "(no geographical extent)");
}

TEST_F(DrawGridVectorTest, ThePicturesStylesComeBackOnEveryExit) {
    Opt.OptArrowStyle = 2; // polygon arrows set their own fill and pen
    oddStyles();
    draw();
    EXPECT_EQ(recordsOf(DrawKind::Polygon).size(), 13u);
    expectOddStyles();
    fake.failRead = 1;
    draw();
    expectOddStyles();
    EXPECT_FALSE(IsBusy());
}

// The legend stages the other vector maps share: kind 0 takes each map's own magnitude.
TEST(VectorStagesTest, KindZeroMagnitudeIsEachMapsOwn) {
    VectorFrame vf;
    UnitLegend(vf, kKindZeroMagnitude, "m s-1");
    EXPECT_EQ(vf.label, "10 m s-1");
    EXPECT_EQ(vf.refMagnitude, 10);
    UnitLegend(vf, kGridKindZeroMagnitude, "Cm/s");
    EXPECT_EQ(vf.label, "1 m/sec");
    EXPECT_FLOAT_EQ(vf.unitFactor, 0.01f);
    vf.uName = "uwnd";
    vf.vName = "vwnd";
    EXPECT_EQ(PairTitle(vf), "uwnd & vwnd");
}

} // namespace
