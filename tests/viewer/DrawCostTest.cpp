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

TEST_F(DrawCostTest, DrawsSegmentsInViewAndBuildsDirectory) {
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

    // The directory holds every segment, the skipped one too, with boxes in degrees.
    EXPECT_EQ(Coast.CoastCacheFile, Coast.CoastFile);
    ASSERT_EQ(Coast.CoastSegDir.size(), 4u);
    EXPECT_EQ(Coast.CoastSegDir[0].PointCount, 4);
    EXPECT_EQ(Coast.CoastSegDir[0].FilePos, 24);
    EXPECT_NEAR(Coast.CoastSegDir[0].West, 10, 1e-4);
    EXPECT_NEAR(Coast.CoastSegDir[0].East, 110, 1e-4);
    EXPECT_EQ(Coast.CoastSegDir[1].PointCount, 3);
    EXPECT_EQ(Coast.CoastSegDir[1].FilePos, 24 + 24);
    EXPECT_EQ(Coast.CoastSegDir[2].FilePos, 24 + 24 + 24 + 24);
    EXPECT_EQ(Coast.CoastSegDir[3].PointCount, 4);
    EXPECT_EQ(Coast.CoastSegDir[3].FilePos, 24 + 3 * 24 + 8 * 5);
    EXPECT_NEAR(Coast.CoastSegDir[3].West, 100, 1e-4);
    EXPECT_NEAR(Coast.CoastSegDir[3].North, 20, 1e-4);
}

// Once the directory is built, the header and the segment headers are not read again: a file
// whose header was spoilt afterwards still draws from the directory, but not once the cache
// is dropped.
TEST_F(DrawCostTest, LaterDrawingsUseTheDirectory) {
    writeBdm(Coast.CoastFile, threeSegments());
    view(0, 40, 0, 40);
    draw();
    const std::vector<DrawRecord> first = pic_.records();

    BdmFile spoilt = threeSegments();
    spoilt.rawMax = 0;
    spoilt.segs[0].boxDegrees = ViewRec{200, 210, 80, 85}; // a box that would miss the view
    writeBdm(Coast.CoastFile, spoilt);

    draw();
    EXPECT_TRUE(ui.boxes.empty());
    ASSERT_EQ(pic_.records().size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(pic_.records()[i].px, first[i].px);

    // A view that reaches the third segment: its points come from its directory position.
    view(0, 120, 0, 40);
    draw();
    auto lines = polylines(pic_);
    ASSERT_EQ(lines.size(), 3u);
    expectPoints(*lines[2], {expectedPixel(100, 10), expectedPixel(110, 12), expectedPixel(105, 20),
                             expectedPixel(100, 10)});

    Coast.CoastCacheFile.clear(); // as the projection menu does
    draw();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "[DrawCoast]Subscript out of rangePelorin");
    EXPECT_TRUE(Coast.CoastCacheFile.empty());
}

TEST_F(DrawCostTest, FileOutsideViewRecordsNothingUntilItComesIntoView) {
    writeBdm(Coast.CoastFile, threeSegments());
    view(-80, -40, -40, -10);
    draw();
    EXPECT_TRUE(polylines(pic_).empty());
    EXPECT_TRUE(Coast.CoastCacheFile.empty());
    EXPECT_TRUE(ui.boxes.empty());

    view(0, 40, 0, 40);
    draw();
    EXPECT_EQ(polylines(pic_).size(), 2u);
    EXPECT_EQ(Coast.CoastCacheFile, Coast.CoastFile);
    EXPECT_EQ(Coast.CoastSegDir.size(), 4u);
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
    for (int pass = 0; pass < 2; ++pass) { // directory pass, then cached pass
        draw();
        auto lines = polylines(pic_);
        ASSERT_EQ(lines.size(), 2u) << "pass " << pass;
        expectPoints(*lines[0], {expectedPixel(150, 0), expectedPixel(170, 10)});
        expectPoints(*lines[1], {expectedPixel(-170, 0, turn), expectedPixel(-150, 10, turn)});
        EXPECT_GT(lines[1]->px[0], lines[0]->px[2]);
    }
    EXPECT_TRUE(ui.boxes.empty());
}

// In Mercator mode the boxes are radians; a directory read in degrees is not reused.
TEST_F(DrawCostTest, MercatorReadsTheFileAgainInRadians) {
    writeBdm(Coast.CoastFile, threeSegments());
    view(0, 40, 0, 40);
    draw();
    ASSERT_EQ(Coast.CoastCacheFile, Coast.CoastFile);

    View.Projection = 1;
    View.ViewExtent = {0, 40 * kDegToRad, 0, 40 * kDegToRad};
    ASSERT_EQ(SetMapScale(400, 400), 0);
    draw();
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_NEAR(Coast.CoastSegDir[1].West, rad(10), 1e-7);
    EXPECT_NEAR(Coast.CoastSegDir[3].East, rad(110), 1e-7);
    auto lines = polylines(pic_);
    ASSERT_EQ(lines.size(), 2u);
    float px = 0, py = 0;
    ASSERT_EQ(ll2_to_xy2(rad(20), rad(15), px, py), 0);
    EXPECT_EQ(lines[0]->px[2], CLng(px));
    EXPECT_EQ(lines[0]->px[3], CLng(py));
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

// Malformed files take the failure path: one box, no crash, nothing recorded as cached.
TEST_F(DrawCostTest, MalformedFilesFail) {
    struct Case {
        const char* what;
        BdmFile file;
        std::uintmax_t truncate;
        const char* text;
    };
    const auto three = threeSegments();
    auto with = [&](auto change) {
        BdmFile f = three;
        change(f);
        return f;
    };
    const Case cases[] = {
        {"count 0", with([](BdmFile& f) { f.segs[1].rawCount = 0; }), 0,
         "[DrawCoast]Subscript out of rangePelorin"},
        {"negative count", with([](BdmFile& f) { f.segs[0].rawCount = -5; }), 0,
         "[DrawCoast]Subscript out of rangePelorin"},
        {"negative count of a skipped segment", with([](BdmFile& f) { f.segs[2].rawCount = -3; }),
         0, "[DrawCoast]Subscript out of rangePelorin"},
        {"count above the maximum", with([](BdmFile& f) { f.segs[0].rawCount = 5; }), 0,
         "[DrawCoast]Subscript out of rangePelorin"},
        {"count whose low 16 bits are too large",
         with([](BdmFile& f) { f.segs[0].rawCount = 65536 + 200; }), 0,
         "[DrawCoast]Subscript out of rangePelorin"},
        {"header maximum 0", with([](BdmFile& f) { f.rawMax = 0; }), 0,
         "[DrawCoast]Subscript out of rangePelorin"},
        {"header maximum negative", with([](BdmFile& f) { f.rawMax = 0xFFFF; }), 0,
         "[DrawCoast]Subscript out of rangePelorin"},
        {"points of a skipped segment run past the end", three, 8,
         "[DrawCoast]Input past end of filePelorin"},
        {"points of a drawn segment run past the end",
         with([](BdmFile& f) { std::swap(f.segs[0], f.segs[2]); }), 8,
         "[DrawCoast]Input past end of filePelorin"},
        {"short segment header", with([](BdmFile& f) {
             f.segs.push_back({{{1, 1}}});
         }),
         8 + 12, "[DrawCoast]Input past end of filePelorin"},
        {"short file header", BdmFile{}, 8, "[DrawCoast]Input past end of filePelorin"},
        {"point that is not a number", with([](BdmFile& f) {
             f.segs[0].rawPoint = std::make_pair(std::numeric_limits<float>::quiet_NaN(), 0.1f);
         }),
         0, "[DrawCoast]OverflowPelorin"},
    };
    view(0, 40, 0, 40);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeBdm(Coast.CoastFile, c.file);
        if (c.truncate) truncateFile(Coast.CoastFile, c.truncate);
        Coast.CoastCacheFile.clear();
        ui.boxes.clear();
        draw();
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, c.text);
        EXPECT_TRUE(Coast.CoastCacheFile.empty());
    }
    // The file was closed every time: it can be replaced and drawn again.
    writeBdm(Coast.CoastFile, three);
    ui.boxes.clear();
    draw();
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(polylines(pic_).size(), 2u);
}

} // namespace
