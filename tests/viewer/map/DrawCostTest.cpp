#include "viewer/map/DrawCost.h"

#include "tests/viewer/ViewerFixture.h"

#include "gui/Picture.h"
#include "platform/Kovra.h"
#include "runtime/Color.h"
#include "runtime/Convert.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TempDir.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>
#include <vector>

namespace {

// A segment of a test file, its points in degrees.
struct Seg {
    Seg() = default;
    Seg(std::vector<std::pair<double, double>> p) : points(std::move(p)) {}
    std::vector<std::pair<double, double>> points;
    std::optional<Long> rawCount;      // count field as written (default: the point count)
    std::optional<ViewRec> boxDegrees; // box as written (default: the points' box)
    std::optional<ViewRec> boxRadians; // box in radians as written (overrides the above)
    std::optional<std::pair<float, float>> rawPoint; // a first point in radians as written
};

struct BdmFile {
    std::vector<Seg> segs;
    std::optional<Long> rawMax; // header's largest count (default: the largest point count)
};

float rad(double degrees) {
    return static_cast<float>(degrees * kDegToRad);
}

// Writes the file with Kovra's writer.
void writeBdm(const std::string& path, const BdmFile& f) {
    Long h = 0;
    ASSERT_EQ(FOpenAll(path, kOpenWrite, 0, h), 0);
    float w = 1e9f, e = -1e9f, s = 1e9f, n = -1e9f;
    Long maxCount = 0;
    for (const Seg& seg : f.segs) {
        for (auto [x, y] : seg.points) {
            w = std::min(w, rad(x));
            e = std::max(e, rad(x));
            s = std::min(s, rad(y));
            n = std::max(n, rad(y));
        }
        maxCount = std::max(maxCount, static_cast<Long>(seg.points.size()));
    }
    const Long zero = 0;
    for (float v : {w, e, s, n})
        FPutT(h, v, 4);
    FPutT(h, f.rawMax.value_or(maxCount), 4);
    FPutT(h, zero, 4);
    for (const Seg& seg : f.segs) {
        float sw = 1e9f, se = -1e9f, ss = 1e9f, sn = -1e9f;
        for (auto [x, y] : seg.points) {
            sw = std::min(sw, rad(x));
            se = std::max(se, rad(x));
            ss = std::min(ss, rad(y));
            sn = std::max(sn, rad(y));
        }
        if (seg.boxDegrees) {
            sw = rad(seg.boxDegrees->West);
            se = rad(seg.boxDegrees->East);
            ss = rad(seg.boxDegrees->South);
            sn = rad(seg.boxDegrees->North);
        }
        if (seg.boxRadians) {
            sw = static_cast<float>(seg.boxRadians->West);
            se = static_cast<float>(seg.boxRadians->East);
            ss = static_cast<float>(seg.boxRadians->South);
            sn = static_cast<float>(seg.boxRadians->North);
        }
        FPutT(h, seg.rawCount.value_or(static_cast<Long>(seg.points.size())), 4);
        FPutT(h, zero, 4);
        for (float v : {sw, se, ss, sn})
            FPutT(h, v, 4);
        bool first = true;
        for (auto [x, y] : seg.points) {
            float px = rad(x), py = rad(y);
            if (first && seg.rawPoint) {
                px = seg.rawPoint->first;
                py = seg.rawPoint->second;
            }
            first = false;
            FPutT(h, px, 4);
            FPutT(h, py, 4);
        }
    }
    FClose(h);
}

void truncateFile(const std::string& path, std::uintmax_t drop) {
    const auto size = std::filesystem::file_size(path);
    std::filesystem::resize_file(path, size - drop);
}

// Where the drawing puts a file point (degrees) in Cartesian mode, shifted by shift degrees.
PointApi expectedPixel(double lonDeg, double latDeg, double shiftDeg = 0) {
    const double u = 1 / kDegToRad;
    const float lonShift = static_cast<float>(shiftDeg);
    const float x = static_cast<float>(rad(lonDeg) * u + lonShift);
    const float y = static_cast<float>(rad(latDeg) * u);
    float px = 0, py = 0;
    EXPECT_EQ(ll2_to_xy2(x, y, px, py), 0);
    return PointApi{CLng(px), CLng(py)};
}

std::vector<const DrawRecord*> polylines(const Picture& pic) {
    std::vector<const DrawRecord*> out;
    for (const DrawRecord& r : pic.records())
        if (r.kind == DrawKind::Polyline) out.push_back(&r);
    return out;
}

void expectPoints(const DrawRecord& r, const std::vector<PointApi>& pts) {
    ASSERT_EQ(r.px.size(), 2 * pts.size());
    for (std::size_t i = 0; i < pts.size(); ++i) {
        EXPECT_EQ(r.px[2 * i], pts[i].x) << "point " << i;
        EXPECT_EQ(r.px[2 * i + 1], pts[i].y) << "point " << i;
    }
}

class DrawCostTest : public ViewerFixture {
protected:
    void SetUp() override {
        ViewerFixture::SetUp();
        Coast.CoastColor = QBColor(7);
        Coast.CoastFile = dir.file("coast.bdm");
        pic_.setRecording(true);
        pic_.setForeColor(0x123456);
    }
    // Cartesian view in degrees with the transform set for the picture.
    void view(double w, double e, double s, double n) {
        View.ViewExtent = {w, e, s, n};
        ASSERT_EQ(SetMapScale(pic_.width(), pic_.height()), 0);
    }
    void draw() {
        pic_.clearRecords();
        DrawCoast(pic_);
        EXPECT_EQ(pic_.ForeColor(), 0x123456);
    }

    // Three segments: wholly inside the view 0..40, partly inside, outside.
    static BdmFile threeSegments() {
        BdmFile f;
        f.segs.push_back({{{10, 10}, {20, 15}, {15, 20}}});
        f.segs.push_back({{{30, 30}, {50, 35}}});
        f.segs.push_back({{{100, 10}, {110, 12}, {105, 20}, {100, 10}}});
        return f;
    }

    Picture pic_{400, 400};
};

TEST_F(DrawCostTest, DrawsSegmentsInViewAndHoldsTheFile) {
    writeBdm(Coast.CoastFile, threeSegments());
    view(0, 40, 0, 40);
    draw();
    EXPECT_TRUE(ui.boxes.empty());
    auto lines = polylines(pic_);
    ASSERT_EQ(lines.size(), 2u);
    expectPoints(*lines[0], {expectedPixel(10, 10), expectedPixel(20, 15), expectedPixel(15, 20)});
    expectPoints(*lines[1], {expectedPixel(30, 30), expectedPixel(50, 35)});
    EXPECT_EQ(lines[0]->color, QBColor(7));
    EXPECT_EQ(pic_.pixel(expectedPixel(10, 10).x, expectedPixel(10, 10).y), QBColor(7));

    // Every segment is held, the skipped one too, with its box and points as the file has them.
    EXPECT_EQ(Coast.CoastCacheFile, Coast.CoastFile);
    ASSERT_EQ(Coast.CoastSegDir.size(), 4u);
    EXPECT_EQ(Coast.CoastSegDir[0].PointCount, 4);
    EXPECT_EQ(Coast.CoastSegDir[0].West, rad(10));
    EXPECT_EQ(Coast.CoastSegDir[0].East, rad(110));
    EXPECT_EQ(Coast.CoastSegDir[1].PointCount, 3);
    EXPECT_EQ(Coast.CoastSegDir[1].First, 0u);
    EXPECT_EQ(Coast.CoastSegDir[2].First, 3u);
    EXPECT_EQ(Coast.CoastSegDir[3].PointCount, 4);
    EXPECT_EQ(Coast.CoastSegDir[3].First, 5u);
    EXPECT_EQ(Coast.CoastSegDir[3].West, rad(100));
    EXPECT_EQ(Coast.CoastSegDir[3].North, rad(20));
    ASSERT_EQ(Coast.CoastPoints.size(), 2u * 9);
    EXPECT_EQ(Coast.CoastPoints[2 * 5], rad(100));
    EXPECT_EQ(Coast.CoastPoints[2 * 5 + 1], rad(10));
}

// The file is read once: later drawings in other views and in the other projection touch no
// file (it may be gone), until another coastline file is named or the held one is let go.
TEST_F(DrawCostTest, TheFileIsReadOnceUntilAnotherIsChosen) {
    writeBdm(Coast.CoastFile, threeSegments());
    view(0, 40, 0, 40);
    draw();
    const std::vector<DrawRecord> first = pic_.records();
    std::filesystem::remove(Coast.CoastFile);

    for (int pass = 0; pass < 3; ++pass) {
        draw();
        ASSERT_EQ(pic_.records().size(), first.size());
        for (std::size_t i = 0; i < first.size(); ++i)
            EXPECT_EQ(pic_.records()[i].px, first[i].px);
    }
    // A view that reaches the third segment; then a view that misses the file.
    view(0, 120, 0, 40);
    draw();
    auto lines = polylines(pic_);
    ASSERT_EQ(lines.size(), 3u);
    expectPoints(*lines[2], {expectedPixel(100, 10), expectedPixel(110, 12), expectedPixel(105, 20),
                             expectedPixel(100, 10)});
    view(-80, -40, -40, -10);
    draw();
    EXPECT_TRUE(polylines(pic_).empty());
    // The other projection: boxes and points are taken in radians from what is held.
    View.Projection = 1;
    View.ViewExtent = {0, 40 * kDegToRad, 0, 40 * kDegToRad};
    ASSERT_EQ(SetMapScale(400, 400), 0);
    draw();
    lines = polylines(pic_);
    ASSERT_EQ(lines.size(), 2u);
    float px = 0, py = 0;
    ASSERT_EQ(ll2_to_xy2(rad(20), rad(15), px, py), 0);
    EXPECT_EQ(lines[0]->px[2], CLng(px));
    EXPECT_EQ(lines[0]->px[3], CLng(py));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(Coast.CoastCacheFile, Coast.CoastFile);

    // Another file is read at its first drawing, and then held in its turn.
    View.Projection = 0;
    view(0, 120, 0, 40);
    const std::string other = dir.file("other.bdm");
    BdmFile one;
    one.segs.push_back({{{60, 5}, {70, 8}}});
    writeBdm(other, one);
    Coast.CoastFile = other;
    draw();
    lines = polylines(pic_);
    ASSERT_EQ(lines.size(), 1u);
    expectPoints(*lines[0], {expectedPixel(60, 5), expectedPixel(70, 8)});
    EXPECT_EQ(Coast.CoastCacheFile, other);
    std::filesystem::remove(other);
    draw();
    EXPECT_EQ(polylines(pic_).size(), 1u);
    EXPECT_TRUE(ui.boxes.empty());

    // Let go (another coastline style): the next drawing reads the file, here gone.
    ForgetCoastline();
    draw();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "[DrawCoast]");
    EXPECT_TRUE(polylines(pic_).empty());
    EXPECT_TRUE(Coast.CoastCacheFile.empty());
}

// A file whose box misses the view is read and held all the same, and drawn once a view
// reaches it.
TEST_F(DrawCostTest, FileOutsideTheViewIsHeldForLaterViews) {
    writeBdm(Coast.CoastFile, threeSegments());
    view(-80, -40, -40, -10);
    draw();
    EXPECT_TRUE(polylines(pic_).empty());
    EXPECT_EQ(Coast.CoastCacheFile, Coast.CoastFile);
    EXPECT_TRUE(ui.boxes.empty());

    std::filesystem::remove(Coast.CoastFile);
    view(0, 40, 0, 40);
    draw();
    EXPECT_EQ(polylines(pic_).size(), 2u);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(DrawCostTest, WholeFileInViewDrawsEverySegmentIncludingSinglePoints) {
    BdmFile f = threeSegments();
    f.segs.push_back({{{60, 5}}});
    writeBdm(Coast.CoastFile, f);
    view(0, 120, 0, 40);
    draw();
    auto lines = polylines(pic_);
    ASSERT_EQ(lines.size(), 4u);
    expectPoints(*lines[3], {expectedPixel(60, 5)});
    EXPECT_EQ(Coast.CoastSegDir.size(), 5u);
}

// A view across the date line: segments east of it (negative longitudes) are drawn one turn
// to the right.
TEST_F(DrawCostTest, DateLineShiftsSegmentsByOneTurn) {
    BdmFile f;
    f.segs.push_back({{{150, 0}, {170, 10}}});
    f.segs.push_back({{{-170, 0}, {-150, 10}}});
    f.segs.push_back({{{-20, 0}, {0, 10}}}); // out of view at every shift
    writeBdm(Coast.CoastFile, f);
    view(100, 260, -20, 20);
    const double turn = 6.2831852 / kDegToRad;
    for (int pass = 0; pass < 2; ++pass) { // the pass that reads, then one from memory
        draw();
        auto lines = polylines(pic_);
        ASSERT_EQ(lines.size(), 2u) << "pass " << pass;
        expectPoints(*lines[0], {expectedPixel(150, 0), expectedPixel(170, 10)});
        expectPoints(*lines[1], {expectedPixel(-170, 0, turn), expectedPixel(-150, 10, turn)});
        EXPECT_GT(lines[1]->px[0], lines[0]->px[2]);
    }
    EXPECT_TRUE(ui.boxes.empty());
}

// Points the Mercator transform refuses are left out, with one message for the whole drawing.
TEST_F(DrawCostTest, RefusedPointsAreSkippedWithOneMessage) {
    BdmFile f;
    Seg a{{{5, 5}, {10, 10}, {15, 5}}};
    a.rawPoint = std::make_pair(40000.0f, 0.1f);
    a.boxDegrees = ViewRec{5, 15, 5, 10};
    Seg b = a;
    b.points = {{20, 20}, {25, 25}};
    b.boxDegrees = ViewRec{20, 25, 20, 25};
    f.segs = {a, b};
    writeBdm(Coast.CoastFile, f);
    View.Projection = 1;
    View.ViewExtent = {0, 40 * kDegToRad, 0, 40 * kDegToRad};
    ASSERT_EQ(SetMapScale(400, 400), 0);
    draw();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "[DrawCoast] ll2_to_xy2 returned -1");
    auto lines = polylines(pic_);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]->px.size(), 4u); // two of three points
    EXPECT_EQ(lines[1]->px.size(), 2u); // one of two
    EXPECT_EQ(Coast.CoastCacheFile, Coast.CoastFile);
}

TEST_F(DrawCostTest, MissingFileFails) {
    Coast.CoastFile = dir.file("nowhere.bdm");
    view(0, 40, 0, 40);
    draw();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "[DrawCoast]");
    EXPECT_EQ(ui.boxes[0].style, kOkOnly);
    EXPECT_TRUE(pic_.records().empty());
}

// Malformed files take the failure path: the segments before the fault that meet the view are
// drawn, then one box; no crash, and nothing is held, so the next drawing reads the file again.
TEST_F(DrawCostTest, MalformedFilesFail) {
    struct Case {
        const char* what;
        BdmFile file;
        std::uintmax_t truncate;
        const char* text;
        std::size_t lines; // drawn before the fault
    };
    const auto three = threeSegments();
    auto with = [&](auto change) {
        BdmFile f = three;
        change(f);
        return f;
    };
    const Case cases[] = {
        {"count 0", with([](BdmFile& f) { f.segs[1].rawCount = 0; }), 0,
         "[DrawCoast]Subscript out of rangePelorin", 1},
        {"negative count", with([](BdmFile& f) { f.segs[0].rawCount = -5; }), 0,
         "[DrawCoast]Subscript out of rangePelorin", 0},
        {"negative count of a skipped segment", with([](BdmFile& f) { f.segs[2].rawCount = -3; }),
         0, "[DrawCoast]Subscript out of rangePelorin", 2},
        {"count above the maximum", with([](BdmFile& f) { f.segs[0].rawCount = 5; }), 0,
         "[DrawCoast]Subscript out of rangePelorin", 0},
        {"count whose low 16 bits are too large",
         with([](BdmFile& f) { f.segs[0].rawCount = 65536 + 200; }), 0,
         "[DrawCoast]Subscript out of rangePelorin", 0},
        {"header maximum 0", with([](BdmFile& f) { f.rawMax = 0; }), 0,
         "[DrawCoast]Subscript out of rangePelorin", 0},
        {"header maximum negative", with([](BdmFile& f) { f.rawMax = 0xFFFF; }), 0,
         "[DrawCoast]Subscript out of rangePelorin", 0},
        {"points of a skipped segment run past the end", three, 8,
         "[DrawCoast]Input past end of filePelorin", 2},
        {"points of a drawn segment run past the end",
         with([](BdmFile& f) { std::swap(f.segs[0], f.segs[2]); }), 8,
         "[DrawCoast]Input past end of filePelorin", 1},
        {"short segment header", with([](BdmFile& f) {
             f.segs.push_back({{{1, 1}}});
         }),
         8 + 12, "[DrawCoast]Input past end of filePelorin", 2},
        {"short file header", BdmFile{}, 8, "[DrawCoast]Input past end of filePelorin", 0},
        {"point that is not a number", with([](BdmFile& f) {
             f.segs[0].rawPoint = std::make_pair(std::numeric_limits<float>::quiet_NaN(), 0.1f);
         }),
         0, "[DrawCoast]OverflowPelorin", 0},
    };
    view(0, 40, 0, 40);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeBdm(Coast.CoastFile, c.file);
        if (c.truncate) truncateFile(Coast.CoastFile, c.truncate);
        ui.boxes.clear();
        draw();
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, c.text);
        EXPECT_EQ(polylines(pic_).size(), c.lines);
        EXPECT_TRUE(Coast.CoastCacheFile.empty());
        EXPECT_TRUE(Coast.CoastSegDir.empty());
    }
    // The file was closed every time: it can be replaced, and the replacement is read.
    writeBdm(Coast.CoastFile, three);
    ui.boxes.clear();
    draw();
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(polylines(pic_).size(), 2u);
}

} // namespace
