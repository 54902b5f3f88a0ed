#include "gui/Picture.h"
#include "runtime/RuntimeError.h"
#include "tests/support/TempDir.h"
#include <QApplication>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "tests/support/QtTestApp.h"

namespace {

constexpr Long kWhite = 0xFFFFFF;
constexpr Long kBlack = 0;
constexpr Long kRed = 0x0000FF;
constexpr Long kGreen = 0x00FF00;
constexpr Long kBlue = 0xFF0000;

using PixelSet = std::set<std::pair<int, int>>;

// Pixels that differ from the colour given.
PixelSet pixelsNot(const Picture& pic, Long background = kWhite) {
    PixelSet out;
    for (int y = 0; y < pic.height(); ++y)
        for (int x = 0; x < pic.width(); ++x)
            if (pic.pixel(x, y) != background) out.insert({x, y});
    return out;
}

PixelSet pixelsOf(const Picture& pic, Long color) {
    PixelSet out;
    for (int y = 0; y < pic.height(); ++y)
        for (int x = 0; x < pic.width(); ++x)
            if (pic.pixel(x, y) == color) out.insert({x, y});
    return out;
}

PixelSet rect(int x1, int y1, int x2, int y2) {
    PixelSet out;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x)
            out.insert({x, y});
    return out;
}

PixelSet outline(int x1, int y1, int x2, int y2) {
    PixelSet out;
    for (int x = x1; x <= x2; ++x) {
        out.insert({x, y1});
        out.insert({x, y2});
    }
    for (int y = y1; y <= y2; ++y) {
        out.insert({x1, y});
        out.insert({x2, y});
    }
    return out;
}

class PictureTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testApp(); }
};

TEST_F(PictureTest, StartsWhiteWithTheUsualState) {
    Picture pic(20, 10);
    EXPECT_EQ(pic.width(), 20);
    EXPECT_EQ(pic.height(), 10);
    EXPECT_FLOAT_EQ(pic.ScaleWidth(), 20);
    EXPECT_FLOAT_EQ(pic.ScaleHeight(), 10);
    EXPECT_TRUE(pixelsNot(pic).empty());
    EXPECT_EQ(pic.DrawMode(), kDrawCopyPen);
    EXPECT_EQ(pic.FillStyle(), kFillTransparent);
    EXPECT_EQ(pic.DrawWidth(), 1);
    EXPECT_EQ(pic.ForeColor(), kBlack);
    EXPECT_EQ(pic.FontName(), "DejaVu Sans");
}

TEST_F(PictureTest, FilledBoxCoversThePixelsWhoseCentresLieInside) {
    // Left and top edges in, right and bottom edges out.
    struct Case {
        double x1, y1, x2, y2;
        PixelSet expected;
    };
    const Case cases[] = {
        {2, 3, 6, 8, rect(2, 3, 5, 7)},
        {6, 8, 2, 3, rect(2, 3, 5, 7)},          // corners in either order
        {5, 2, 5, 10, {}},                       // zero width: nothing
        {1, 4, 9, 4, {}},                        // zero height: nothing
        {3, 3, 3, 3, {}},                        // a point: nothing
        {0, 20, 12, 19, rect(0, 19, 11, 19)},    // the time bar: the bottom row only
        {4.4, 2.6, 7.5, 5.49, rect(5, 3, 7, 5)}, // fractional edges
        {4.5, 2.5, 7.5, 5.5, rect(5, 3, 7, 5)},  // a centre on the left or top edge is in
        {3.2, 3.2, 3.9, 3.9, {}},                // smaller than a pixel, no centre inside
        {2.9, 2.9, 3.1, 3.1, rect(3, 3, 3, 3)},  // smaller than a pixel around a centre
        {-3.2, -1, 2, 1.5, rect(0, 0, 1, 1)},    // clipped at the picture's corner
    };
    for (const Case& c : cases) {
        Picture pic(20, 20);
        pic.setFillStyle(kFillTransparent); // BF ignores the fill style
        pic.Line(c.x1, c.y1, c.x2, c.y2, kRed, LineFlag::BF);
        EXPECT_EQ(pixelsNot(pic), c.expected) << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
        EXPECT_EQ(pixelsOf(pic, kRed), c.expected);
        EXPECT_FLOAT_EQ(pic.CurrentX(), static_cast<float>(c.x2));
        EXPECT_FLOAT_EQ(pic.CurrentY(), static_cast<float>(c.y2));
    }
    // In twips the same rule holds on the pixels: 45 .. 105 twips are pixels 3 .. 6.
    Picture twips(20, 20);
    twips.setScaleMode(kScaleTwips);
    twips.Line(45, 45, 105, 60, kRed, LineFlag::BF);
    EXPECT_EQ(pixelsNot(twips), rect(3, 3, 6, 3));
}

TEST_F(PictureTest, AdjacentFilledBoxesWithFractionalEdgesNeverShareAPixel) {
    // A grid of boxes between uneven edges: every pixel whose centre lies in the grid belongs
    // to exactly one box, and none outside it.
    const std::vector<double> xs{0.3, 2.5, 2.75, 3.0, 5.49, 5.5, 9.999, 12.2, 12.5};
    const std::vector<double> ys{1.1, 1.6, 4.5, 4.51, 7.0, 8.33};
    std::map<std::pair<int, int>, int> covered;
    for (std::size_t i = 0; i + 1 < xs.size(); ++i)
        for (std::size_t j = 0; j + 1 < ys.size(); ++j) {
            Picture pic(16, 12);
            // Either corner first: the rule depends on the edges, not on the order given.
            if ((i + j) % 2)
                pic.Line(xs[i], ys[j], xs[i + 1], ys[j + 1], kRed, LineFlag::BF);
            else
                pic.Line(xs[i + 1], ys[j + 1], xs[i], ys[j], kRed, LineFlag::BF);
            for (const auto& p : pixelsNot(pic))
                ++covered[p];
        }
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool inside =
                x >= xs.front() && x < xs.back() && y >= ys.front() && y < ys.back();
            EXPECT_EQ(covered[std::make_pair(x, y)], inside ? 1 : 0) << x << "," << y;
        }
}

TEST_F(PictureTest, MaskPenOverATiledGridShowsOnlyTheCellColours) {
    // Cells from 3 pixels down to a tenth of a pixel, in three colours whose pairwise AND is
    // black: a pixel masked by two cells, or left out, would show.
    const Long palette[] = {0x00FFFF, 0xFF00FF, 0xFFFF00};
    for (double size : {3.0, 1.3, 0.7, 0.1}) {
        Picture pic(40, 30);
        pic.setDrawMode(kDrawMaskPen);
        int k = 0;
        const double x0 = 2.25, y0 = 3.6, x1 = 37.3, y1 = 26.9;
        for (double y = y0; y < y1; y += size)
            for (double x = x0; x < x1; x += size)
                pic.Line(x, y, std::min(x + size, x1), std::min(y + size, y1), palette[k++ % 3],
                         LineFlag::BF);
        int wrong = 0;
        for (int y = 4; y <= 26; ++y)
            for (int x = 3; x <= 37; ++x) {
                const Long c = pic.pixel(x, y);
                if (c != palette[0] && c != palette[1] && c != palette[2]) ++wrong;
            }
        EXPECT_EQ(wrong, 0) << "cells of " << size << " pixels";
        EXPECT_EQ(pic.pixel(2, 10), kWhite);
        EXPECT_EQ(pic.pixel(38, 10), kWhite);
    }
}

TEST_F(PictureTest, OutlinedBoxTakesItsInsideFromTheFillStyle) {
    // Solid: outline in the line colour, inside in FillColor.
    {
        Picture pic(30, 30);
        pic.setFillStyle(kFillSolid);
        pic.setFillColor(kGreen);
        pic.Line(5, 5, 15, 12, kRed, LineFlag::B);
        EXPECT_EQ(pixelsOf(pic, kRed), outline(5, 5, 15, 12));
        EXPECT_EQ(pixelsOf(pic, kGreen), rect(6, 6, 14, 11));
        EXPECT_EQ(pixelsNot(pic), rect(5, 5, 15, 12));
    }
    // Transparent: the outline only.
    {
        Picture pic(30, 30);
        pic.Line(5, 5, 15, 12, kRed, LineFlag::B);
        EXPECT_EQ(pixelsNot(pic), outline(5, 5, 15, 12));
    }
    // A box of zero width is a line whatever the fill.
    {
        Picture pic(30, 30);
        pic.setFillStyle(kFillSolid);
        pic.setFillColor(kGreen);
        pic.Line(7, 3, 7, 20, kRed, LineFlag::B);
        EXPECT_EQ(pixelsNot(pic), rect(7, 3, 7, 20));
        EXPECT_EQ(pixelsOf(pic, kRed), rect(7, 3, 7, 20));
    }
    // Without a colour the outline is ForeColor.
    {
        Picture pic(30, 30);
        pic.setForeColor(kBlue);
        pic.Line(1, 1, 4, 4, {}, LineFlag::B);
        EXPECT_EQ(pixelsOf(pic, kBlue), outline(1, 1, 4, 4));
    }
}

TEST_F(PictureTest, HatchedBoxesDrawDiagonalsAndCrossHatchOverEachOther) {
    const int x1 = 2, y1 = 2, x2 = 40, y2 = 30;
    auto hatchPixels = [&](bool upward, bool downward) {
        PixelSet out;
        for (int y = y1 + 1; y < y2; ++y)
            for (int x = x1 + 1; x < x2; ++x)
                if ((upward && (x + y) % 8 == 0) || (downward && ((x - y) % 8 + 8) % 8 == 0))
                    out.insert({x, y});
        return out;
    };
    auto inside = [&](const PixelSet& s) {
        PixelSet out;
        for (auto p : s)
            if (p.first > x1 && p.first < x2 && p.second > y1 && p.second < y2) out.insert(p);
        return out;
    };
    {
        Picture pic(50, 40);
        pic.setFillStyle(kFillUpwardDiagonal);
        pic.setFillColor(kBlue);
        pic.Line(x1, y1, x2, y2, kBlue, LineFlag::B);
        PixelSet lit = inside(pixelsOf(pic, kBlue));
        EXPECT_EQ(lit, hatchPixels(true, false));
        // "/": going right goes up.
        EXPECT_TRUE(lit.count({10, 14}) && lit.count({11, 13}));
        EXPECT_EQ(pixelsOf(pic, kBlue).size() + pixelsOf(pic, kWhite).size(), 50u * 40u);
    }
    {
        Picture pic(50, 40);
        pic.setFillStyle(kFillDownwardDiagonal);
        pic.setFillColor(kBlue);
        pic.Line(x1, y1, x2, y2, kBlue, LineFlag::B);
        PixelSet lit = inside(pixelsOf(pic, kBlue));
        EXPECT_EQ(lit, hatchPixels(false, true));
        EXPECT_TRUE(lit.count({10, 10}) && lit.count({11, 11}));
    }
    {
        // Downward, then upward over it: the second keeps the first (the hatch background is
        // transparent).
        Picture pic(50, 40);
        pic.setFillColor(kBlue);
        pic.setFillStyle(kFillDownwardDiagonal);
        pic.Line(x1, y1, x2, y2, kBlue, LineFlag::B);
        pic.setFillStyle(kFillUpwardDiagonal);
        pic.Line(x1, y1, x2, y2, kBlue, LineFlag::B);
        EXPECT_EQ(inside(pixelsOf(pic, kBlue)), hatchPixels(true, true));
    }
}

TEST_F(PictureTest, InvertTwiceRestoresEveryFigure) {
    Picture pic(60, 50);
    pic.setFillStyle(kFillSolid);
    pic.setFillColor(kGreen);
    pic.Line(0, 0, 30, 49, kBlue, LineFlag::BF);
    pic.Line(20, 10, 59, 30, kRed, LineFlag::BF);
    QImage before = pic.image().copy();

    auto drawAll = [&] {
        pic.Line(3, 4, 40, 44, kRed, LineFlag::B); // outlined and filled
        pic.Line(5, 45, 55, 2);                    // plain line
        pic.Circle(30, 25, 12);
        const PointApi tri[] = {{10, 10}, {50, 12}, {25, 40}};
        pic.Polygon(tri, 3);
        const PointApi path[] = {{1, 1}, {20, 1}, {20, 20}, {1, 1}};
        pic.Polyline(path, 4);
        pic.PSet(57, 47);
    };
    pic.setDrawMode(kDrawInvert);
    drawAll();
    EXPECT_NE(pic.image(), before);
    // A corner pixel of the box is inverted once, not once per edge.
    Long original = colorOfPixel(before.pixel(3, 4));
    EXPECT_EQ(pic.pixel(3, 4), (~original) & 0xFFFFFF);
    drawAll();
    EXPECT_EQ(pic.image(), before);
}

TEST_F(PictureTest, InvertNegatesTheDestinationWhateverThePen) {
    Picture pic(10, 10);
    pic.Line(0, 0, 9, 9, 0x123456, LineFlag::BF);
    pic.setDrawMode(kDrawInvert);
    pic.Line(2, 2, 4, 4, kRed, LineFlag::BF);
    EXPECT_EQ(pic.pixel(3, 3), 0xEDCBA9);
    EXPECT_EQ(pic.pixel(5, 5), 0x123456);
}

TEST_F(PictureTest, MaskPenAndsThePenWithTheDestination) {
    Picture pic(20, 20);
    pic.Line(0, 0, 10, 20, 0x00FFFF, LineFlag::BF); // yellow on the left half
    pic.setDrawMode(kDrawMaskPen);
    pic.Line(5, 5, 15, 15, 0xFF00FF, LineFlag::BF); // magenta
    EXPECT_EQ(pic.pixel(7, 7), 0x0000FF);           // yellow AND magenta = red
    EXPECT_EQ(pic.pixel(12, 7), 0xFF00FF);          // on white: the pen itself
    EXPECT_EQ(pic.pixel(2, 2), 0x00FFFF);           // untouched
    // Marks darken where they overlap, and each pixel is masked once per figure: the outline
    // of a filled box is not also masked by the fill.
    Picture marks(20, 20);
    marks.setDrawMode(kDrawMaskPen);
    marks.setFillStyle(kFillSolid);
    marks.setFillColor(0x00FF00);
    marks.Line(2, 2, 10, 10, 0xFF0000, LineFlag::B);
    EXPECT_EQ(marks.pixel(2, 2), 0xFF0000);
    EXPECT_EQ(marks.pixel(5, 5), 0x00FF00);
    marks.Line(8, 8, 13, 13, 0x0000FF, LineFlag::BF);
    EXPECT_EQ(marks.pixel(9, 9), 0); // green AND red
    EXPECT_EQ(marks.pixel(12, 12), 0x0000FF);
}

TEST_F(PictureTest, PolygonIsFilledWithFillColorAndOutlinedWithForeColor) {
    Picture pic(40, 40);
    pic.setFillStyle(kFillSolid);
    pic.setFillColor(kGreen);
    pic.setForeColor(kRed);
    const PointApi square[] = {{5, 5}, {20, 5}, {20, 15}, {5, 15}};
    EXPECT_NE(pic.Polygon(square, 4), 0);
    EXPECT_EQ(pixelsOf(pic, kRed), outline(5, 5, 20, 15));
    EXPECT_EQ(pixelsOf(pic, kGreen), rect(6, 6, 19, 14));

    // A triangle: its vertices are outline, its centre fill, beyond its edges white.
    Picture tri(40, 40);
    tri.setFillStyle(kFillSolid);
    tri.setFillColor(kGreen);
    tri.setForeColor(kRed);
    const PointApi t[] = {{20, 2}, {37, 35}, {3, 35}};
    tri.Polygon(t, 3);
    EXPECT_EQ(tri.pixel(20, 2), kRed);
    EXPECT_EQ(tri.pixel(37, 35), kRed);
    EXPECT_EQ(tri.pixel(20, 25), kGreen);
    EXPECT_EQ(tri.pixel(4, 4), kWhite);
    EXPECT_EQ(tri.pixel(36, 4), kWhite);
    // Every pixel is inside the triangle's box, and rows are filled without holes.
    for (auto [x, y] : pixelsNot(tri)) {
        EXPECT_GE(y, 2);
        EXPECT_LE(y, 35);
    }
    for (int y = 5; y < 35; ++y) {
        int first = -1, last = -1;
        for (int x = 0; x < 40; ++x)
            if (tri.pixel(x, y) != kWhite) {
                if (first < 0) first = x;
                last = x;
            }
        for (int x = first; x <= last; ++x)
            EXPECT_NE(tri.pixel(x, y), kWhite) << x << "," << y;
    }

    // Transparent fill: the outline alone.
    Picture hollow(40, 40);
    hollow.setForeColor(kRed);
    hollow.Polygon(square, 4);
    EXPECT_EQ(pixelsNot(hollow), outline(5, 5, 20, 15));

    // Too few points: nothing.
    Picture none(10, 10);
    EXPECT_EQ(none.Polygon(square, 1), 0);
    EXPECT_TRUE(pixelsNot(none).empty());
}

TEST_F(PictureTest, ConcavePolygonLeavesItsNotchOpen) {
    Picture pic(40, 40);
    pic.setFillStyle(kFillSolid);
    pic.setFillColor(kGreen);
    pic.setForeColor(kRed);
    // A "U": the notch between x 15 and 25 above y 20 stays white.
    const PointApi u[] = {{5, 5}, {15, 5}, {15, 20}, {25, 20}, {25, 5}, {35, 5}, {35, 30}, {5, 30}};
    pic.Polygon(u, 8);
    EXPECT_EQ(pic.pixel(20, 10), kWhite);
    EXPECT_EQ(pic.pixel(10, 10), kGreen);
    EXPECT_EQ(pic.pixel(30, 10), kGreen);
    EXPECT_EQ(pic.pixel(20, 25), kGreen);
}

TEST_F(PictureTest, PolylineJoinsThePointsOpen) {
    Picture pic(30, 30);
    pic.setForeColor(kBlue);
    const PointApi pts[] = {{2, 2}, {12, 2}, {12, 9}};
    pic.Polyline(pts, 3);
    PixelSet expected = rect(2, 2, 12, 2);
    for (auto p : rect(12, 2, 12, 9))
        expected.insert(p);
    EXPECT_EQ(pixelsOf(pic, kBlue), expected);
    EXPECT_EQ(pixelsNot(pic), expected); // not closed back to the start

    Picture one(10, 10);
    EXPECT_NE(one.Polyline(pts, 1), 0); // one point: nothing visible
    EXPECT_TRUE(pixelsNot(one).empty());
}

TEST_F(PictureTest, PlainLinesAndTheCurrentPoint) {
    Picture pic(30, 30);
    pic.Line(2, 3, 12, 3, kRed);
    EXPECT_EQ(pixelsOf(pic, kRed), rect(2, 3, 12, 3));
    EXPECT_FLOAT_EQ(pic.CurrentX(), 12);
    EXPECT_FLOAT_EQ(pic.CurrentY(), 3);
    pic.LineTo(12, 10, kBlue); // Line -(12, 10)
    EXPECT_EQ(pixelsOf(pic, kBlue), rect(12, 3, 12, 10));
    // A diagonal lights one pixel per column.
    Picture diag(30, 30);
    diag.Line(0, 0, 20, 10);
    EXPECT_EQ(pixelsNot(diag).size(), 21u);
    EXPECT_EQ(diag.pixel(0, 0), kBlack);
    EXPECT_EQ(diag.pixel(20, 10), kBlack);
    // A wider pen draws a band.
    Picture wide(30, 30);
    wide.setDrawWidth(3);
    wide.Line(5, 10, 20, 10);
    EXPECT_EQ(pixelsNot(wide), rect(4, 9, 21, 11));
}

TEST_F(PictureTest, DashedAndInvisibleStyles) {
    Picture pic(60, 10);
    pic.setDrawStyle(kDrawDot);
    pic.Line(0, 5, 59, 5);
    PixelSet lit = pixelsNot(pic);
    EXPECT_GT(lit.size(), 20u);
    EXPECT_LT(lit.size(), 40u);
    Picture none(20, 10);
    none.setDrawStyle(kDrawInvisible);
    none.Line(0, 5, 19, 5);
    EXPECT_TRUE(pixelsNot(none).empty());
}

TEST_F(PictureTest, FarOffCoordinatesAreClippedAndNonNumbersRefused) {
    Picture pic(40, 20);
    pic.Line(-1e9, 5, 1e9, 5, kRed);
    EXPECT_EQ(pixelsOf(pic, kRed), rect(0, 5, 39, 5));
    pic.Line(-1e12, -1e12, 1e12, 1e12, kBlue, LineFlag::BF);
    EXPECT_EQ(pixelsOf(pic, kBlue).size(), 40u * 20u);
    Picture c(40, 20);
    c.Circle(20, 1e7, 1e7 - 10, kRed); // a huge circle whose top crosses the image
    EXPECT_FALSE(pixelsOf(c, kRed).empty());
    EXPECT_THROW(c.Line(0, 0, std::nan(""), 3), RuntimeError);
    try {
        c.Circle(HUGE_VAL, 0, 3);
        ADD_FAILURE();
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::Overflow);
    }
}

TEST_F(PictureTest, CircleAndArcsLightTheirPartOnly) {
    const int cx = 50, cy = 50, r = 20;
    // Full circle: every lit pixel about r from the centre, in all four quadrants.
    {
        Picture pic(100, 100);
        pic.Circle(cx, cy, r, kRed);
        PixelSet lit = pixelsNot(pic);
        ASSERT_FALSE(lit.empty());
        int quadrants = 0;
        for (auto [x, y] : lit) {
            double d = std::hypot(x - cx, y - cy);
            EXPECT_NEAR(d, r, 1.0);
            if (x != cx && y != cy) quadrants |= 1 << ((x > cx ? 1 : 0) + (y > cy ? 2 : 0));
        }
        EXPECT_EQ(quadrants, 15);
        EXPECT_TRUE(lit.count({cx + r, cy}) && lit.count({cx - r, cy}) && lit.count({cx, cy - r}) &&
                    lit.count({cx, cy + r}));
        EXPECT_FLOAT_EQ(pic.CurrentX(), cx);
        EXPECT_FLOAT_EQ(pic.CurrentY(), cy);
    }
    struct Arc {
        double start, end;
        bool (*inside)(int dx, int dy); // screen offsets from the centre
    };
    const double pi = 3.1415926;
    const Arc arcs[] = {
        {0, pi / 2, [](int dx, int dy) { return dx >= 0 && dy <= 0; }},  // upper right
        {pi / 2, pi, [](int dx, int dy) { return dx <= 0 && dy <= 0; }}, // upper left
        {pi / 2, 9.4247778 / 2, [](int dx, int) { return dx <= 0; }},    // left half
        {9.4247778 / 2, pi / 2, [](int dx, int) { return dx >= 0; }},    // right half
        {pi, 0, [](int, int dy) { return dy >= 0; }},                    // lower half
        {0, pi, [](int, int dy) { return dy <= 0; }},                    // upper half
    };
    for (const Arc& a : arcs) {
        Picture pic(100, 100);
        pic.Circle(cx, cy, r, kBlue, a.start, a.end);
        PixelSet lit = pixelsNot(pic);
        EXPECT_GT(lit.size(), 15u) << a.start << " " << a.end;
        for (auto [x, y] : lit)
            EXPECT_TRUE(a.inside(x - cx, y - cy)) << a.start << ": " << x << "," << y;
    }
    // Negative angles draw the radius to that end as well.
    {
        Picture pic(100, 100);
        pic.Circle(cx, cy, r, kRed, -0.0001, -pi / 2);
        EXPECT_EQ(pic.pixel(cx, cy), kRed);
        EXPECT_EQ(pic.pixel(cx + 10, cy), kRed); // the radius to angle 0
        EXPECT_EQ(pic.pixel(cx, cy - 10), kRed); // the radius to pi / 2
        EXPECT_EQ(pic.pixel(cx - 10, cy), kWhite);
    }
    // Solid fill of a full circle, and an aspect that flattens it.
    {
        Picture pic(100, 100);
        pic.setFillStyle(kFillSolid);
        pic.setFillColor(kGreen);
        pic.Circle(cx, cy, r, kRed, {}, {}, 0.5);
        EXPECT_EQ(pic.pixel(cx, cy), kGreen);
        EXPECT_EQ(pic.pixel(cx + r, cy), kRed);
        EXPECT_EQ(pic.pixel(cx, cy - r / 2), kRed);
        EXPECT_EQ(pic.pixel(cx, cy - r + 2), kWhite);
    }
    // Radius 2 dots and radius 0.
    {
        Picture pic(20, 20);
        pic.Circle(10, 10, 0, kRed);
        EXPECT_EQ(pixelsNot(pic), rect(10, 10, 10, 10));
    }
}

TEST_F(PictureTest, PrintPutsTheTextTopLeftAndMovesDownALine) {
    Picture pic(200, 100);
    pic.setForeColor(kBlue);
    float th = pic.TextHeight("Hg");
    float tw = pic.TextWidth("Hg");
    EXPECT_GT(th, 5);
    EXPECT_GT(tw, 5);
    EXPECT_FLOAT_EQ(th, std::round(th)); // whole pixels
    pic.setCurrentX(30);
    pic.setCurrentY(20);
    pic.Print("Hg");
    EXPECT_FLOAT_EQ(pic.CurrentX(), 0);
    EXPECT_FLOAT_EQ(pic.CurrentY(), 20 + th);
    PixelSet lit = pixelsNot(pic);
    ASSERT_FALSE(lit.empty());
    for (auto [x, y] : lit) {
        EXPECT_GE(x, 30);
        EXPECT_LT(x, 30 + tw + 1);
        EXPECT_GE(y, 20);
        EXPECT_LT(y, 20 + th);
        EXPECT_EQ(pic.pixel(x, y), kBlue); // no smoothing: every pixel is the fore colour
    }
    // The next Print starts at the left edge on the next line.
    pic.Print("Hg");
    for (auto [x, y] : pixelsNot(pic)) {
        if (y >= 20 + th) {
            EXPECT_LT(x, tw + 1);
        }
    }
    EXPECT_FLOAT_EQ(pic.CurrentY(), 20 + 2 * th);
    // Two lines of text take two text heights.
    EXPECT_FLOAT_EQ(pic.TextHeight("a\r\nb"), 2 * th);
    Picture two(200, 100);
    two.Print("a\r\nb");
    EXPECT_FLOAT_EQ(two.CurrentY(), 2 * th);
    // An empty text moves down a line too.
    Picture empty(50, 50);
    empty.Print("");
    EXPECT_FLOAT_EQ(empty.CurrentY(), th);
    EXPECT_TRUE(pixelsNot(empty).empty());
}

TEST_F(PictureTest, PrintIsCopiedAndTransparentWhateverTheDrawMode) {
    Picture pic(100, 40);
    pic.Line(0, 0, 100, 40, 0x00FFFF, LineFlag::BF);
    pic.setDrawMode(kDrawInvert);
    pic.setForeColor(kBlue);
    pic.setCurrentX(5);
    pic.setCurrentY(5);
    pic.Print("WWW");
    PixelSet blue = pixelsOf(pic, kBlue);
    EXPECT_FALSE(blue.empty());
    // Only text and background: nothing inverted, no background box behind the text.
    EXPECT_EQ(blue.size() + pixelsOf(pic, 0x00FFFF).size(), 100u * 40u);
}

TEST_F(PictureTest, FontPropertiesChangeTheText) {
    Picture pic(300, 100);
    float normal = pic.TextWidth("Section");
    float normalH = pic.TextHeight("A");
    pic.setFontBold(true);
    EXPECT_GT(pic.TextWidth("Section"), normal);
    pic.setFontBold(false);
    pic.setFontSize(pic.FontSize() * 1.5f);
    EXPECT_GT(pic.TextHeight("A"), normalH);
    EXPECT_THROW(pic.setFontSize(0), RuntimeError);
}

TEST_F(PictureTest, DeviceFontRotatesThePrintedText) {
    Picture pic(200, 200);
    LogFont f;
    f.height = -40;
    f.escapement = 900; // 90 degrees counter-clockwise: the text runs upward
    f.faceName = "DejaVu Sans";
    EXPECT_FALSE(pic.selectFont(&f).has_value());
    pic.setCurrentX(100);
    pic.setCurrentY(150);
    pic.Print("MMMM");
    PixelSet lit = pixelsNot(pic);
    ASSERT_FALSE(lit.empty());
    int minY = 1000, maxY = -1, minX = 1000, maxX = -1;
    for (auto [x, y] : lit) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    EXPECT_LE(maxY, 151);
    EXPECT_GT(maxY - minY, maxX - minX); // taller than wide
    auto old = pic.selectFont(nullptr);
    ASSERT_TRUE(old.has_value());
    EXPECT_EQ(old->escapement, 900);
}

TEST_F(PictureTest, PSetAndSetPixelV) {
    Picture pic(10, 10);
    pic.PSet(3, 4, kRed);
    EXPECT_EQ(pixelsNot(pic), rect(3, 4, 3, 4));
    EXPECT_FLOAT_EQ(pic.CurrentX(), 3);
    EXPECT_FLOAT_EQ(pic.CurrentY(), 4);
    // SetPixelV writes the colour as given, whatever the draw mode.
    pic.setDrawMode(kDrawInvert);
    EXPECT_NE(SetPixelV(pic, 6, 7, 0x123456), 0);
    EXPECT_EQ(pic.pixel(6, 7), 0x123456);
    EXPECT_EQ(SetPixelV(pic, 10, 0, kRed), 0);
    EXPECT_EQ(SetPixelV(pic, -1, 0, kRed), 0);
    // PSet follows the draw mode.
    pic.PSet(3, 4);
    EXPECT_EQ(pic.pixel(3, 4), 0xFFFF00);
}

TEST_F(PictureTest, BitBltAndCombinesLayers) {
    Picture a(30, 20), b(30, 20), view(30, 20);
    a.Line(2, 2, 15, 10, kRed, LineFlag::BF);
    b.Line(10, 5, 25, 15, kBlue, LineFlag::BF);
    view.Line(0, 0, 29, 19, kGreen, LineFlag::BF);
    view.Cls();
    EXPECT_NE(BitBlt(view, 0, 0, 30, 20, a, 0, 0, kSrcAnd), 0);
    EXPECT_NE(BitBlt(view, 0, 0, 30, 20, b, 0, 0, kSrcAnd), 0);
    EXPECT_EQ(view.pixel(3, 3), kRed);
    EXPECT_EQ(view.pixel(20, 12), kBlue);
    EXPECT_EQ(view.pixel(12, 7), kRed & kBlue); // overlap: black
    EXPECT_EQ(view.pixel(28, 1), kWhite);
    // SRCCOPY copies, clipped at every edge.
    Picture copy(30, 20);
    EXPECT_NE(BitBlt(copy, -5, -5, 100, 100, view, 0, 0, kSrcCopy), 0);
    EXPECT_EQ(copy.pixel(0, 0), view.pixel(5, 5));
    EXPECT_EQ(copy.pixel(7, 2), view.pixel(12, 7));
    EXPECT_EQ(BitBlt(copy, 0, 0, 5, 5, view, 0, 0, 0x00660046), 0); // not an operation we know
    // Within one picture.
    EXPECT_NE(BitBlt(view, 1, 0, 29, 20, view, 0, 0, kSrcCopy), 0);
    EXPECT_EQ(view.pixel(4, 3), kRed);
}

TEST_F(PictureTest, TwipsScale) {
    Picture pic(100, 50);
    float pixelWidth = pic.TextWidth("Axis");
    pic.setScaleMode(kScaleTwips);
    EXPECT_FLOAT_EQ(pic.ScaleWidth(), 1500);
    EXPECT_FLOAT_EQ(pic.ScaleHeight(), 750);
    EXPECT_FLOAT_EQ(pic.TextWidth("Axis"), pixelWidth * 15);
    pic.Line(150, 150, 300, 300, kRed, LineFlag::BF);
    EXPECT_EQ(pixelsNot(pic), rect(10, 10, 19, 19));
    pic.setCurrentX(0);
    pic.setCurrentY(300);
    float th = pic.TextHeight("A");
    pic.Print("A");
    EXPECT_FLOAT_EQ(pic.CurrentY(), 300 + th);
    // Device calls stay in pixels.
    const PointApi pts[] = {{40, 40}, {45, 40}};
    pic.Polyline(pts, 2);
    EXPECT_EQ(pic.pixel(45, 40), kBlack);
    EXPECT_THROW(pic.setScaleMode(2), RuntimeError);
}

TEST_F(PictureTest, ResizeKeepsTheTopLeftAndClsClears) {
    Picture pic(10, 10);
    pic.Line(0, 0, 10, 10, kRed, LineFlag::BF);
    pic.setBackColor(kGreen);
    pic.resize(15, 5);
    EXPECT_EQ(pixelsOf(pic, kRed), rect(0, 0, 9, 4));
    EXPECT_EQ(pixelsOf(pic, kGreen), rect(10, 0, 14, 4));
    pic.setCurrentX(4);
    pic.setCurrentY(3);
    pic.Cls();
    EXPECT_EQ(pixelsOf(pic, kGreen).size(), 75u);
    EXPECT_FLOAT_EQ(pic.CurrentX(), 0);
    EXPECT_FLOAT_EQ(pic.CurrentY(), 0);
    pic.resize(0, 0); // a hidden window: drawing goes nowhere
    pic.Line(0, 0, 5, 5, kRed, LineFlag::BF);
    pic.Print("x");
    pic.resize(3, 3);
    EXPECT_EQ(pixelsOf(pic, kGreen).size(), 9u);
}

TEST_F(PictureTest, RefusedPropertyValues) {
    Picture pic(5, 5);
    EXPECT_THROW(pic.setDrawWidth(0), RuntimeError);
    EXPECT_THROW(pic.setFillStyle(8), RuntimeError);
    EXPECT_THROW(pic.setDrawMode(0), RuntimeError);
    EXPECT_THROW(pic.setDrawStyle(7), RuntimeError);
    EXPECT_EQ(pic.DrawWidth(), 1);
}

TEST_F(PictureTest, SavePictureWritesABmpThatReadsBackEqual) {
    TempDir dir;
    Picture pic(37, 23); // odd width: BMP rows are padded
    pic.Line(1, 1, 20, 15, 0x336699, LineFlag::BF);
    pic.Circle(25, 12, 8, kRed);
    std::string path = dir.file("map.bmp");
    pic.SavePicture(path);
    QImage back(QString::fromStdString(path), "BMP");
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), pic.image());
    {
        std::ifstream in(path, std::ios::binary);
        char magic[2] = {};
        in.read(magic, 2);
        EXPECT_EQ(std::string(magic, 2), "BM");
    }
    // Saving again replaces it; only the file itself is left in the folder.
    pic.Cls();
    pic.SavePicture(path);
    QImage white(QString::fromStdString(path), "BMP");
    EXPECT_EQ(white.convertToFormat(QImage::Format_RGB32), pic.image());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
    // A folder that does not exist: an error, and nothing written.
    std::string bad = dir.file("missing/map.bmp");
    try {
        pic.SavePicture(bad);
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::PathNotFound);
    }
    EXPECT_FALSE(std::filesystem::exists(bad));
}

TEST_F(PictureTest, TheLogRecordsCoordinatesAndTexts) {
    Picture pic(200, 100);
    pic.setRecording(true);
    pic.setScaleMode(kScaleTwips);
    pic.setDrawMode(kDrawMaskPen);
    pic.Line(15, 30, 150, 300, kRed, LineFlag::BF);
    pic.setCurrentX(30);
    pic.setCurrentY(45);
    pic.Print("Data Set: x");
    const PointApi pts[] = {{1, 2}, {3, 4}, {5, 6}};
    pic.Polygon(pts, 3);
    const auto& log = pic.records();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].kind, DrawKind::FilledBox);
    EXPECT_EQ(log[0].at, (std::vector<double>{15, 30, 150, 300}));
    EXPECT_EQ(log[0].px, (std::vector<int>{1, 2, 10, 20}));
    EXPECT_EQ(log[0].color, kRed);
    EXPECT_EQ(log[0].drawMode, kDrawMaskPen);
    EXPECT_EQ(log[1].kind, DrawKind::Print);
    EXPECT_EQ(log[1].text, "Data Set: x");
    EXPECT_EQ(log[1].at, (std::vector<double>{30, 45}));
    EXPECT_EQ(log[1].px, (std::vector<int>{2, 3}));
    EXPECT_EQ(log[2].kind, DrawKind::Polygon);
    EXPECT_EQ(log[2].px, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    pic.clearRecords();
    pic.setRecording(false);
    pic.PSet(1, 1);
    EXPECT_TRUE(pic.records().empty());
}

} // namespace
