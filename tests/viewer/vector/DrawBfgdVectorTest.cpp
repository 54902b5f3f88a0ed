// The boundary-fitted vector maps on a described 3 x 2 grid: the arrows of one step in both
// storage orders and both coordinate layouts, speed-and-direction pairs from two files, the node
// marks; the animation with its period mean, average.uv to the character, Esc, a failed write,
// a u without a time dimension and a failed read.
#include "viewer/vector/DrawBfgdVector.h"
#include "viewer/vector/DrawBfgdVectorTimed.h"

#include "runtime/Color.h"
#include "tests/viewer/vector/VectorPairFixture.h"

#include <filesystem>
#include <functional>

namespace {

constexpr Long kIMax = 3, kJMax = 2;
constexpr Long kTimeDim = 1, kIDim = 2, kJDim = 3;
// u and v stored j last (order 1) and i last (order 2).
constexpr Long kU = 4, kV = 5, kUiLast = 6, kViLast = 7;
// A direction and a speed, in two files.
constexpr Long kDir = 8, kSpeed = 9;

float lonAt(Long i, Long j) {
    return -1.0f + static_cast<float>(i - 1) + 0.25f * static_cast<float>(j - 1);
}
float latAt(Long, Long j) {
    return 40.0f + static_cast<float>(j - 1);
}

// The vector of node (i, j) at step t: (1, 1) eastward t; (2, 1) zero at step 2, else
// northward 1; (3, 1) south-west of north-east; (1, 2) zero; (2, 2) missing; (3, 2) (3, 4).
void vectorAt(Long t, Long i, Long j, float& u, float& v) {
    u = v = 0;
    if (j == 1 && i == 1) u = static_cast<float>(t);
    if (j == 1 && i == 2 && t != 2) v = 1;
    if (j == 1 && i == 3) u = -0.5f, v = 0.25f;
    if (j == 2 && i == 2) u = v = NoVal;
    if (j == 2 && i == 3) u = 3, v = 4;
}

class BfgdVectorTest : public VectorPairFixture {
protected:
    void SetUp() override {
        VectorPairFixture::SetUp();
        fake.grid = kGridBfg;
        fake.imax = kIMax;
        fake.jmax = kJMax;
        fake.order = 1;
        fake.steps = 4;
        fake.timeDid = kTimeDim;
        fake.dimLen = {{kTimeDim, 4}, {kIDim, kIMax}, {kJDim, kJMax}};
        fake.addVar(1, kU, "u", {kTimeDim, kIDim, kJDim}, 1).unit = "m/s";
        fake.addVar(1, kV, "v", {kTimeDim, kIDim, kJDim}, 1).unit = "m/s";
        fake.addVar(1, kUiLast, "ui", {kTimeDim, kJDim, kIDim}, 2).unit = "m/s";
        fake.addVar(1, kViLast, "vi", {kTimeDim, kJDim, kIDim}, 2).unit = "m/s";
        fake.value = [](Long, Long nv, const std::vector<Long>& ix) {
            const bool iLast = nv == kUiLast || nv == kViLast;
            const Long i = iLast ? ix[2] : ix[1], j = iLast ? ix[1] : ix[2];
            float u = 0, v = 0;
            vectorAt(ix[0], i, j, u, v);
            return nv == kU || nv == kUiLast ? u : v;
        };
        coordinates(false);
        Data.DataExtent = {-1.5, 1.5, 39.5, 41.5};
        View.ViewExtent = Data.DataExtent;
        pickPair(kU, kV);
    }

    // lonV/latV laid out (j, i) or (i, j).
    void coordinates(bool jFirst) {
        const Long n1 = jFirst ? kJMax : kIMax, n2 = jFirst ? kIMax : kJMax;
        Data.lonV.ReDim(1, n1, 1, n2);
        Data.latV.ReDim(1, n1, 1, n2);
        for (Long p = 1; p <= n1; ++p)
            for (Long q = 1; q <= n2; ++q) {
                const Long i = jFirst ? q : p, j = jFirst ? p : q;
                Data.lonV(p, q) = lonAt(i, j);
                Data.latV(p, q) = latAt(i, j);
            }
    }

    std::string averagePath() const { return dir.file("average.uv"); }
};

TEST_F(BfgdVectorTest, OneArrowPerNodeInReadOrderInEitherStorageOrderAndLayout) {
    struct Case {
        Long u, v;
        bool coordsJFirst;
        bool iOuter; // the read walks i in the outer loop
    };
    const Case cases[] = {
        {kU, kV, false, true},
        {kU, kV, true, true},
        {kUiLast, kViLast, false, false},
        {kUiLast, kViLast, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.u) + (c.coordsJFirst ? " (j, i)" : " (i, j)"));
        coordinates(c.coordsJFirst);
        pickPair(c.u, c.v);
        ASSERT_TRUE(prepare());
        DrawBfgdVector(pic);
        EXPECT_TRUE(messages().empty());

        std::vector<std::pair<Long, Long>> drawn; // (i, j) in the read's order
        for (Long a = 1; a <= (c.iOuter ? kIMax : kJMax); ++a)
            for (Long b = 1; b <= (c.iOuter ? kJMax : kIMax); ++b) {
                const Long i = c.iOuter ? a : b, j = c.iOuter ? b : a;
                float u = 0, v = 0;
                vectorAt(1, i, j, u, v);
                if (u > NoVal && (u != 0 || v != 0)) drawn.emplace_back(i, j);
            }
        const std::vector<Arrow> data = dataArrows();
        ASSERT_EQ(data.size(), drawn.size());
        for (std::size_t n = 0; n < drawn.size(); ++n) {
            const auto [i, j] = drawn[n];
            float u = 0, v = 0;
            vectorAt(1, i, j, u, v);
            expectArrow(data[n], lonAt(i, j), latAt(i, j), u, v);
        }
        const std::vector<std::string> t = texts();
        ASSERT_GE(t.size(), 4u);
        EXPECT_EQ(t[1], "1 m/s");
        EXPECT_EQ(t[t.size() - 2],
                  fake.variName(c.u, 1) + " & " + fake.variName(c.v, 1) + "  Scale=  10");
        EXPECT_EQ(t.back(), "/Speed Range/ 0 to  5");
        EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    }
}

TEST_F(BfgdVectorTest, ASpeedAndADirectionFromTwoFilesPointAwayFromTheBearing) {
    fake.vectorKind = 0;
    fake.addVar(1, kDir, "dir", {kTimeDim, kIDim, kJDim}, 1).unit = "degrees";
    fake.addVar(2, kSpeed, "spd", {kTimeDim, kIDim, kJDim}, 1).unit = " m/s";
    fake.value = [](Long, Long nv, const std::vector<Long>& ix) {
        static const float bearing[3][2] = {{0, 90}, {270, 180}, {45, 0}};
        if (nv == kSpeed) return 2.0f;
        return bearing[ix[1] - 1][ix[2] - 1];
    };
    pickPair(kDir, kSpeed, 1, 2);
    ASSERT_TRUE(prepare());
    DrawBfgdVector(pic);
    const std::vector<Arrow> all = arrows();
    ASSERT_EQ(all.size(), 7u);
    EXPECT_NEAR(all[0].dx, 100, 1e-3) << "a reference of 10";
    EXPECT_EQ(texts()[1], "10 m/s");
    expectArrow(all[1], lonAt(1, 1), latAt(1, 1), 0, -2); // 0: southward
    expectArrow(all[2], lonAt(1, 2), latAt(1, 2), -2, 0); // 90: westward
    expectArrow(all[3], lonAt(2, 1), latAt(2, 1), 2, 0);  // 270: eastward
    expectArrow(all[4], lonAt(2, 2), latAt(2, 2), 0, 2);  // 180: northward
    EXPECT_EQ(texts().back(), "/Speed Range/ 0 to  2");
    // The reads keep what they read.
    EXPECT_EQ(Win.uV(2), 90);

    // Both from one file: components, whatever the units.
    fake.addVar(1, kSpeed, "spd", {kTimeDim, kIDim, kJDim}, 1).unit = "m/s";
    pickPair(kDir, kSpeed, 1, 1);
    ASSERT_TRUE(prepare());
    DrawBfgdVector(pic);
    EXPECT_EQ(texts()[1], "10 degrees");
    expectArrow(dataArrows().at(0), lonAt(1, 1), latAt(1, 1), 0, 2);
}

TEST_F(BfgdVectorTest, NodeMarksShowEveryNodeTheEdgesAndTheWindow) {
    Opt.OptShowGrid = 1;
    ASSERT_TRUE(prepare());
    DrawBfgdVector(pic);
    const std::vector<DrawRecord> pixels = recordsOf(DrawKind::SetPixel);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(kIMax * kJMax));
    for (const DrawRecord& p : pixels)
        EXPECT_EQ(p.color, QBColor(0));
    const std::vector<DrawRecord> circles = recordsOf(DrawKind::Circle);
    std::size_t arcs = 0, small = 0;
    for (const DrawRecord& r : circles) {
        if (r.at[2] == 10) ++arcs;
        if (r.at[2] == 2) ++small;
    }
    EXPECT_EQ(arcs, 2u * kJMax + 2u * kIMax);
    EXPECT_EQ(small, static_cast<std::size_t>(kIMax * kJMax));
    // Node (1, 1): the left half in light red, the lower half in light blue.
    const auto [x, y] = at(lonAt(1, 1), latAt(1, 1));
    ASSERT_GE(circles.size(), 2u);
    EXPECT_EQ(circles[0].color, QBColor(12));
    EXPECT_EQ(circles[0].at[0], x);
    EXPECT_EQ(circles[0].at[1], y);
    EXPECT_NEAR(circles[0].at[3], 3.1415926 / 2, 1e-9);
    EXPECT_NEAR(circles[0].at[4], 9.4247778 / 2, 1e-9);
    EXPECT_EQ(circles[1].color, QBColor(9));
    EXPECT_NEAR(circles[1].at[3], 3.1415926, 1e-9);
    EXPECT_EQ(circles[1].at[4], 0);
    // The marks come before the arrows.
    EXPECT_EQ(dataArrows().size(), 4u);
}

// The mean of steps 2 to 4 at the nodes that had a vector: (1, 1) 3 east, (2, 1) north 1 over
// two steps, (3, 1) as it stands, (3, 2) as it stands; (1, 2) zero and (2, 2) missing throughout.
const char* const kAverage = "001 001-001.00000  040.00000  300.0  000.0\r\n"
                             "002 001 000.00000  040.00000  000.0  100.0\r\n"
                             "003 001 001.00000  040.00000 -050.0  025.0\r\n"
                             "003 002 001.25000  041.00000  300.0  400.0\r\n";

TEST_F(BfgdVectorTest, TheAnimationEndsWithThePeriodMeanDrawnAndWritten) {
    orderBoxes().SetStepText("1");
    Anim.CancelFlag = -1; // left from an Esc while nothing ran
    ASSERT_TRUE(prepare());
    EXPECT_EQ(DrawBfgdVectorTimed(pic), 4);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(readFile(averagePath()), kAverage);
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 2u) << "the settings and average.uv: no temporary file left";

    // The mean picture alone: cleared, the legend and four mean arrows in light blue, the
    // caption, then the title and the speed of the last step in the picture's own colour.
    const auto& recs = pic.records();
    const auto cls = std::find_if(recs.rbegin(), recs.rend(),
                                  [](const DrawRecord& r) { return r.kind == DrawKind::Cls; });
    ASSERT_NE(cls, recs.rend());
    std::vector<DrawRecord> after(cls.base(), recs.end());
    std::vector<std::string> t;
    std::size_t lines = 0;
    for (const DrawRecord& r : after) {
        if (r.kind == DrawKind::Print) t.push_back(r.text);
        if (r.kind != DrawKind::Line) continue;
        ++lines;
        EXPECT_EQ(r.color, QBColor(9));
    }
    EXPECT_EQ(lines, 4u * 5u) << "the reference arrow and four means";
    EXPECT_EQ(t, (std::vector<std::string>{"1 m/s", "Average for the file period",
                                           "u & v  Scale=  10", "/Speed Range/ 0 to  5"}));
    EXPECT_EQ(pic.ForeColor(), 0);
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
}

TEST_F(BfgdVectorTest, EscAtAStepAveragesTheStepsDrawnSoFar) {
    orderBoxes().SetStepText("1");
    int pumps = 0;
    ui.onDoEvents = [&] {
        if (++pumps == 2) Anim.CancelFlag = -1;
    };
    ASSERT_TRUE(prepare());
    EXPECT_EQ(DrawBfgdVectorTimed(pic), 3);
    EXPECT_EQ(Anim.CancelFlag, 0);
    EXPECT_EQ(LastMapCaption(), "Drawing Coastline: Canceled");
    EXPECT_EQ(readFile(averagePath()), "001 001-001.00000  040.00000  250.0  000.0\r\n"
                                       "002 001 000.00000  040.00000  000.0  100.0\r\n"
                                       "003 001 001.00000  040.00000 -050.0  025.0\r\n"
                                       "003 002 001.25000  041.00000  300.0  400.0\r\n");
}

TEST_F(BfgdVectorTest, AMeanThatCannotBeWrittenIsReportedAndTheDrawingStands) {
    std::filesystem::create_directory(averagePath()); // a folder where the file would go
    orderBoxes().SetStepText("1");
    ASSERT_TRUE(prepare());
    EXPECT_EQ(DrawBfgdVectorTimed(pic), 4);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "[DrawBfgdVector] Unable to write " + averagePath() + "\r\n" + ErrorText(75));
    EXPECT_TRUE(std::filesystem::is_directory(averagePath()));
    EXPECT_EQ(texts().back(), "/Speed Range/ 0 to  5");
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
}

TEST_F(BfgdVectorTest, NoTimeDimensionOrAFailedReadLeaveTheFileAlone) {
    writeFile("average.uv", "earlier\r\n");
    fake.addVar(1, 10, "uc", {kIDim, kJDim}, 1).unit = "m/s";
    fake.addVar(1, 11, "vc", {kIDim, kJDim}, 1).unit = "m/s";
    pickPair(10, 11);
    ASSERT_TRUE(prepare());
    EXPECT_EQ(DrawBfgdVectorTimed(pic), -1);
    EXPECT_EQ(messages(), (std::vector<std::string>{"Time dimension not found, or no timed file"}));

    ui.boxes.clear();
    pickPair(kU, kV);
    orderBoxes().SetStepText("1");
    fake.failRead = 3; // u of the second step drawn
    pic.setFillStyle(kFillCross);
    pic.setForeColor(QBColor(4));
    ASSERT_TRUE(prepare());
    EXPECT_EQ(DrawBfgdVectorTimed(pic), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "[DrawBfgdVector] NetCDF Error");
    // The walk of step 2 ended at node (3, 2).
    EXPECT_EQ(ui.boxes[0].text, "[do_get_vars_any] NetCDF Error: Index exceeds dimension bound"
                                "\r\n\r\ni,j=  3  2\r\nstartp, count=  3  1\r\n"
                                "startp, count=  1  3\r\nstartp, count=  1  2\r\n");
    EXPECT_EQ(readFile(averagePath()), "earlier\r\n");
    EXPECT_EQ(pic.FillStyle(), kFillCross);
    EXPECT_EQ(pic.ForeColor(), QBColor(4));
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
}

TEST(AverageUvLineTest, FieldsTakeTheirPatternsAndZeroIsPositive) {
    struct Case {
        Long i, j;
        float lon, lat, u, v;
        const char* line;
    };
    const Case cases[] = {
        {12, 7, 121.5f, 23.25f, 12.3f, -5.0f, "012 007 121.50000  023.25000  012.3 -005.0\r\n"},
        {1, 2, -70.25f, -33.5f, 0, 0, "001 002-070.25000 -033.50000  000.0  000.0\r\n"},
        {3, 4, 0, 0, -0.04f, 0.04f, "003 004 000.00000  000.00000  000.0  000.0\r\n"},
        {5, 6, -0.000001f, 10, -0.06f, 1234.5f, "005 006 000.00000  010.00000 -000.1  1234.5\r\n"},
        {1234, 56, 359.999999f, 89.5f, 100, -100,
         "1234 056 360.00000  089.50000  100.0 -100.0\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AverageUvLine(c.i, c.j, c.lon, c.lat, c.u, c.v), c.line);
}

} // namespace
