// The mesh outlines: which elements are drawn (the first corner decides), their segments in
// order and in black, the foreground colour and pointer put back, corners without a position,
// elements across the longitude seam, and the message that ends a drawing with a bad node
// number.
#include "viewer/map/MeshOutlines.h"
#include "runtime/Color.h"
#include "tests/viewer/ScalarFixture.h"
#include "viewer/map/BusyGuard.h"

#include <array>
#include <cmath>
#include <limits>

namespace {

class MeshOutlinesTest : public ScalarFixture {
protected:
    // Nodes 1..3 make a triangle in the view (0..2 x 0..2), 4..6 one outside it.
    std::vector<std::pair<float, float>> nodes = {{0, 0}, {2, 0}, {1, 2}, {5, 5}, {6, 5}, {5, 6}};

    void SetUp() override {
        ScalarFixture::SetUp();
        fake.grid = kGridFeMesh;
        setNodes(Data.lonV, Data.latV);
        // 1: inside; 2: first corner outside, the others inside; 3: first corner on the
        // north edge, the others far outside; 4: wholly outside.
        setElements({{1, 2, 3}, {4, 1, 2}, {3, 4, 5}, {4, 5, 6}});
        View.ViewExtent = {0, 2, 0, 2};
        ASSERT_EQ(SetMapScale(400, 300), 0);
        pic.setForeColor(QBColor(12));
    }

    void setNodes(VArray<float>& lon, VArray<float>& lat) {
        lon.ReDim(1, static_cast<Long>(nodes.size()));
        lat.ReDim(1, static_cast<Long>(nodes.size()));
        for (Long n = 1; n <= static_cast<Long>(nodes.size()); ++n) {
            lon(n) = nodes[n - 1].first;
            lat(n) = nodes[n - 1].second;
        }
    }
    void setElements(const std::vector<std::array<Long, 3>>& corners) {
        const Long n = static_cast<Long>(corners.size());
        fake.elems = n;
        Data.node1.ReDim(1, n);
        Data.node2.ReDim(1, n);
        Data.node3.ReDim(1, n);
        for (Long e = 1; e <= n; ++e) {
            Data.node1(e) = corners[e - 1][0];
            Data.node2(e) = corners[e - 1][1];
            Data.node3(e) = corners[e - 1][2];
        }
    }
    // The segment from node a to node b in picture units.
    std::vector<double> segment(Long a, Long b) const {
        float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        ll2_to_xy2(nodes[a - 1].first, nodes[a - 1].second, x1, y1);
        ll2_to_xy2(nodes[b - 1].first, nodes[b - 1].second, x2, y2);
        return {x1, y1, x2, y2};
    }
    void expectSegments(const std::vector<std::pair<Long, Long>>& expected) {
        const auto lines = recordsOf(DrawKind::Line);
        ASSERT_EQ(lines.size(), expected.size());
        for (size_t k = 0; k < lines.size(); ++k) {
            const auto want = segment(expected[k].first, expected[k].second);
            for (size_t c = 0; c < 4; ++c)
                EXPECT_NEAR(lines[k].at[c], want[c], 1e-3)
                    << "segment " << k << ": " << expected[k].first << "-" << expected[k].second;
            EXPECT_EQ(lines[k].color, QBColor(0)) << k;
        }
    }
};

TEST_F(MeshOutlinesTest, DrawsEachElementWhoseFirstCornerIsInTheView) {
    DrawFeMesh(pic);
    expectSegments({{1, 2}, {2, 3}, {3, 1}, {3, 4}, {4, 5}, {5, 3}});
    EXPECT_EQ(pic.ForeColor(), QBColor(12));
    EXPECT_EQ(ui.pointerChanges, (std::vector<int>{kPointerHourglass, kPointerDefault}));
    EXPECT_TRUE(ui.boxes.empty());
    // A side in black on the white picture: the middle of side 1-2.
    float x = 0, y = 0;
    ll2_to_xy2(1, 0, x, y);
    EXPECT_EQ(pic.pixel(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))), 0);
}

TEST_F(MeshOutlinesTest, TheFiniteVolumeOutlineUsesTheNodePositions) {
    setNodes(Data.nodeLonV, Data.nodeLatV);
    Data.lonV.ReDim(1, 2); // element centres: not what the outline draws
    Data.latV.ReDim(1, 2);
    Data.lonV(1) = Data.latV(1) = Data.lonV(2) = Data.latV(2) = 50;
    DrawFvMesh(pic);
    expectSegments({{1, 2}, {2, 3}, {3, 1}, {3, 4}, {4, 5}, {5, 3}});
    EXPECT_EQ(pic.ForeColor(), QBColor(12));
}

TEST_F(MeshOutlinesTest, ViewEdgesAreComparedAsSingles) {
    // 0.7 as a Single lies just below the Double 0.7: the edge, rounded, takes it.
    nodes[0] = {0.7f, 0.7f};
    setNodes(Data.lonV, Data.latV);
    setElements({{1, 2, 3}});
    View.ViewExtent = {0.7, 2, 0.7, 2};
    ASSERT_EQ(SetMapScale(400, 300), 0);
    DrawFeMesh(pic);
    EXPECT_EQ(recordsOf(DrawKind::Line).size(), 3u);
}

TEST_F(MeshOutlinesTest, NothingInTheViewDrawsNothing) {
    setElements({{4, 1, 2}, {5, 6, 1}});
    DrawFeMesh(pic);
    EXPECT_TRUE(recordsOf(DrawKind::Line).empty());
    EXPECT_EQ(pic.ForeColor(), QBColor(12));
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
}

TEST_F(MeshOutlinesTest, ABadNodeNumberEndsTheDrawingWithAMessage) {
    setElements({{1, 2, 3}, {3, 1, 99}, {1, 2, 3}});
    DrawFeMesh(pic);
    // What was drawn before the bad corner stays: element 1. Element 2's corners are all looked
    // up before any of its sides is drawn.
    expectSegments({{1, 2}, {2, 3}, {3, 1}});
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "[DrawFeMesh]Subscript out of range");
    EXPECT_EQ(ui.boxes[0].title, kProgramTitle);
    EXPECT_EQ(ui.boxes[0].style, kOkOnly);
    EXPECT_EQ(pic.ForeColor(), QBColor(12));
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    EXPECT_FALSE(IsBusy());
}

TEST_F(MeshOutlinesTest, ACornerWithoutPositionDropsItsElementsQuietly) {
    // Node 2 at a coordinate that marks no position: a land node's NaN or fill value, or in
    // Mercator mode a longitude beyond any turn. Elements 1 and 2 use it; element 3 does not.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        Long projection;
        float lon, lat;
    };
    for (const Case c : {Case{0, nan, 0}, Case{0, 2, nan}, Case{0, 1e20f, 1e20f},
                         Case{0, -999, -999}, Case{1, 70000, 0}, Case{1, nan, nan}}) {
        SCOPED_TRACE(std::to_string(c.projection) + " " + std::to_string(c.lon));
        UseProjection(c.projection);
        nodes = {{0, 0}, {c.lon, c.lat}, {0.5f, 1}, {0.25f, 0.25f}};
        setNodes(Data.lonV, Data.latV);
        setElements({{1, 2, 3}, {3, 2, 1}, {1, 4, 3}});
        View.ViewExtent = {0, 1, 0, 1};
        ASSERT_EQ(SetMapScale(400, 300), 0);
        ui.boxes.clear();
        pic.clearRecords();
        DrawFeMesh(pic);
        expectSegments({{1, 4}, {4, 3}, {3, 1}});
        EXPECT_TRUE(ui.boxes.empty());
        EXPECT_EQ(pic.ForeColor(), QBColor(12));
    }
}

TEST_F(MeshOutlinesTest, AnElementAcrossTheSeamIsDrawnWholeOnBothEdges) {
    // A coastal ocean mesh that wraps at 0/360, seen whole: each element straddling the seam is
    // drawn with its corners on one side of it, at its own place and at its copy on the other
    // edge, never as sides across the map.
    for (const ProjectionCase c : kBothProjections) {
        SCOPED_TRACE(c.projection);
        UseProjection(c.projection);
        const auto deg = [&](double d) { return static_cast<float>(d * c.unit); };
        nodes = {{deg(359), 0}, {deg(1), 0}, {deg(0.5), deg(2)}};
        setNodes(Data.lonV, Data.latV);
        // The first corner west of the seam, then east of it.
        setElements({{1, 2, 3}, {2, 1, 3}});
        View.ViewExtent = {0, 360 * c.unit, -10 * c.unit, 10 * c.unit};
        ASSERT_EQ(SetMapScale(400, 300), 0);
        pic.clearRecords();
        DrawFeMesh(pic);

        const auto lines = recordsOf(DrawKind::Line);
        // Two copies of three sides for each element.
        ASSERT_EQ(lines.size(), 12u);
        const auto point = [](float lon, float lat) {
            float x = 0, y = 0;
            ll2_to_xy2(lon, lat, x, y);
            return std::pair<double, double>{x, y};
        };
        const auto side = [&](size_t k, double lon1, double lon2) {
            const auto a = point(deg(lon1), 0), b = point(deg(lon2), 0);
            EXPECT_NEAR(lines[k].at[0], a.first, 1e-2) << k;
            EXPECT_NEAR(lines[k].at[2], b.first, 1e-2) << k;
        };
        side(0, 359, 361); // element 1 at its own place
        side(3, -1, 1);    // and again on the western edge
        side(6, 1, -1);    // element 2 at its own place
        side(9, 361, 359); // and on the eastern edge
        for (size_t k = 0; k < 12; ++k)
            EXPECT_LT(std::fabs(lines[k].at[2] - lines[k].at[0]), 10) << "a side across the map";
        EXPECT_TRUE(ui.boxes.empty());
    }
}

} // namespace

namespace {

// A mesh whose connectivity could not be filled keeps its element count in the dataset but has
// no node numbers: nothing is outlined and no error box comes up.
TEST_F(MeshOutlinesTest, AMeshWithoutConnectivityDrawsNothingQuietly) {
    Data.node1.Erase();
    Data.node2.Erase();
    Data.node3.Erase();
    DrawFeMesh(pic);
    DrawFvMesh(pic);
    EXPECT_TRUE(recordsOf(DrawKind::Line).empty());
    EXPECT_TRUE(ui.boxes.empty());
}

} // namespace
