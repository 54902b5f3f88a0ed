#include "common/SectionPath.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

VArray<float> axis(std::initializer_list<float> values) {
    VArray<float> a(1, static_cast<Long>(values.size()));
    Long k = 0;
    for (float v : values)
        a(++k) = v;
    return a;
}

// Longitudes 0 to 9 and latitudes 0 to 4, one degree apart.
struct Grid {
    VArray<float> lon = axis({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    VArray<float> lat = axis({0, 1, 2, 3, 4});
    SectionGrid grid() const { return SectionGrid{lon, lat, lon.UBound(), lat.UBound(), 1, 1}; }
};

VArray<SectPointRec> path(std::initializer_list<SectPointRec> points) {
    VArray<SectPointRec> p;
    if (points.size() == 0) return p;
    p.ReDim(1, static_cast<Long>(points.size()));
    Long k = 0;
    for (const SectPointRec& q : points)
        p(++k) = q;
    return p;
}

std::vector<std::pair<Long, Long>> cellsOf(const SectionCells& s) {
    std::vector<std::pair<Long, Long>> cells;
    for (Long m = 1; m <= s.nSectCell; ++m)
        cells.emplace_back(s.SectCell(m).i, s.SectCell(m).j);
    return cells;
}

using Cells = std::vector<std::pair<Long, Long>>;

} // namespace

TEST(MakeTyxSection, ADiagonalPathTakesEachCellItCrossesOnce) {
    const Grid g;
    const VArray<SectPointRec> p = path({{0.2f, 0.2f}, {4.2f, 2.2f}});
    SectionCells s;
    std::string message;
    ASSERT_EQ(MakeTyxSection(p, 2, g.grid(), s, message), 1) << message;
    // Thirteen samples, three per degree of longitude and the end point, each in the cell
    // whose centre is nearest; repeats of the cell before dropped. The last is the cell of
    // the last vertex.
    EXPECT_EQ(cellsOf(s), (Cells{{1, 1}, {2, 1}, {2, 2}, {3, 2}, {4, 2}, {4, 3}, {5, 3}}));
    EXPECT_EQ(s.SectionKind, 0);
    ASSERT_EQ(s.nSectVertex, 2);
    EXPECT_EQ(s.VertexCell(1), 1);
    EXPECT_EQ(s.VertexCell(2), 7);
    EXPECT_EQ(s.VertexIJ(2).i, 5);
    EXPECT_EQ(s.VertexIJ(2).j, 3);
    EXPECT_FLOAT_EQ(s.VertexLL(2).lon, 4);
    EXPECT_FLOAT_EQ(s.VertexLL(2).lat, 2);
    EXPECT_EQ(s.VertexLabel(2), "4.00E/2.00N");
    // A position of 0 takes W and S.
    EXPECT_EQ(s.VertexLabel(1), ".00W/.00S");
    EXPECT_GT(s.SectLength, 0);
}

TEST(MakeTyxSection, OneRowOrColumnRunsWestToEastOrSouthToNorth) {
    const Grid g;
    std::string message;
    struct Case {
        const char* what;
        VArray<SectPointRec> points;
        Long kind;
        Cells cells;
        Long vertexCell1, vertexCell2;
        std::string label1;
    };
    const Case cases[] = {
        {"east to west along a row", path({{4.2f, 1.2f}, {0.2f, 1.2f}}), 1,
         Cells{{1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}}, 5, 1, "4.00E/1.00N"},
        {"west to east", path({{0.2f, 1.2f}, {4.2f, 1.2f}}), 1,
         Cells{{1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}}, 1, 5, ".00W/1.00N"},
        {"north to south along a column", path({{2.2f, 3.2f}, {2.2f, 0.2f}}), 2,
         Cells{{3, 1}, {3, 2}, {3, 3}, {3, 4}}, 4, 1, "2.00E/3.00N"},
        {"three points along a row", path({{0.2f, 1.2f}, {2.2f, 1.2f}, {4.2f, 1.2f}}), 0,
         Cells{{1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}}, 1, 3, ".00W/1.00N"},
    };
    for (const Case& c : cases) {
        SectionCells s;
        ASSERT_EQ(MakeTyxSection(c.points, c.points.UBound(), g.grid(), s, message), 1)
            << c.what << ": " << message;
        EXPECT_EQ(s.SectionKind, c.kind) << c.what;
        EXPECT_EQ(cellsOf(s), c.cells) << c.what;
        // The vertices keep the path's order, each with its own cell.
        EXPECT_EQ(s.VertexCell(1), c.vertexCell1) << c.what;
        EXPECT_EQ(s.VertexCell(2), c.vertexCell2) << c.what;
        EXPECT_EQ(s.VertexLabel(1), c.label1) << c.what;
    }
}

TEST(MakeTyxSection, TheLengthRunsThroughTheCentresOfTheCells) {
    // Cells one degree wide whose centres (the grid points) lie on the equator.
    const VArray<float> lon = axis({0, 1, 2, 3});
    const VArray<float> lat = axis({0, 1, 2});
    const SectionGrid grid{lon, lat, 4, 3, 1, 1};
    SectionCells s;
    std::string message;
    ASSERT_EQ(MakeTyxSection(path({{0.2f, 0.2f}, {1.2f, 0.3f}}), 2, grid, s, message), 1);
    EXPECT_EQ(cellsOf(s), (Cells{{1, 1}, {2, 1}}));
    EXPECT_NEAR(s.SectLength, 111.11099809630643, 1e-6);
}

TEST(MakeTyxSection, PointsOutsideTheGridAndSegmentsWithinOneCell) {
    const Grid g;
    std::string message;
    SectionCells s;
    // West of the grid by more than a cell nothing is taken; the walk goes on inside.
    ASSERT_EQ(MakeTyxSection(path({{-3.2f, 1.2f}, {3.2f, 1.2f}}), 2, g.grid(), s, message), 1);
    EXPECT_EQ(cellsOf(s), (Cells{{1, 2}, {2, 2}, {3, 2}, {4, 2}}));

    // A first segment within one cell adds none: vertex 1 has no position, vertex 2 no cell.
    ASSERT_EQ(
        MakeTyxSection(path({{0.2f, 0.2f}, {0.3f, 0.3f}, {3.2f, 0.3f}}), 3, g.grid(), s, message),
        1);
    EXPECT_EQ(cellsOf(s), (Cells{{1, 1}, {2, 1}, {3, 1}, {4, 1}}));
    EXPECT_EQ(s.VertexCell(1), 1);
    EXPECT_EQ(s.VertexLabel(1), "");
    EXPECT_EQ(s.VertexCell(2), 0);
    EXPECT_EQ(s.VertexCell(3), 4);
}

TEST(MakeTyxSection, RefusesShortPathsAndGridsItCannotWalk) {
    const Grid g;
    const char tooShort[] = "[MakeTyxSection] Section distance is too short, or input error";
    const char notRegular[] = "[Set_cell_Section] ncf.dlon <= 0 Or ncf.dlat <= 0";
    SectionCells held;
    std::string message;
    ASSERT_EQ(MakeTyxSection(path({{0.5f, 0.5f}, {3.5f, 0.5f}}), 2, g.grid(), held, message), 1);

    const VArray<float> southward = axis({4, 3, 2, 1, 0});
    const VArray<float> uneven = axis({0, 2, 1, 3, 4, 5, 6, 7, 8, 9});
    const VArray<float> cellGrid(1, 2, 1, 2);
    struct Case {
        const char* what;
        VArray<SectPointRec> points;
        SectionGrid grid;
        const char* message;
    };
    const Case cases[] = {
        {"no point", path({}), g.grid(), tooShort},
        {"one point", path({{1, 1}}), g.grid(), tooShort},
        {"within one cell", path({{0.2f, 0.2f}, {0.6f, 0.4f}}), g.grid(), tooShort},
        {"outside the grid", path({{20, 20}, {30, 20}}), g.grid(), tooShort},
        {"latitudes from north to south", path({{0, 0}, {3, 3}}),
         SectionGrid{g.lon, southward, 10, 5, 1, -1}, notRegular},
        {"a longitude axis that turns back", path({{0, 0}, {3, 3}}),
         SectionGrid{uneven, g.lat, 10, 5, 1, 1}, notRegular},
        {"a grid of cells", path({{0, 0}, {3, 3}}), SectionGrid{cellGrid, cellGrid, 0, 0, 0, 0},
         notRegular},
    };
    for (const Case& c : cases) {
        SectionCells s = held;
        message.clear();
        EXPECT_EQ(MakeTyxSection(c.points, c.points.IsAllocated() ? c.points.UBound() : 0, c.grid,
                                 s, message),
                  -1)
            << c.what;
        EXPECT_EQ(message, c.message) << c.what;
        // The section before stays whole.
        EXPECT_EQ(cellsOf(s), cellsOf(held)) << c.what;
    }
}

// Longitudes 0 to 350 by 10 close round the earth: a segment takes the shorter way, across
// the seam where that is shorter, and a path in -180..180 is placed on the grid (and the
// reverse on a grid of -180..170). Longitudes 0 to 340 do not close: no way round.
TEST(MakeTyxSection, AGridRoundTheEarth) {
    VArray<float> east(1, 36), west(1, 36), open(1, 35);
    for (Long i = 1; i <= 36; ++i) {
        east(i) = static_cast<float>(10 * (i - 1));
        west(i) = static_cast<float>(10 * (i - 1) - 180);
        if (i <= 35) open(i) = east(i);
    }
    const VArray<float> lat = axis({-10, 0, 10});
    std::string message;
    struct Case {
        const char* what;
        const VArray<float>& lon;
        Long nlon;
        VArray<SectPointRec> points;
        Cells cells;
        Long kind;
        double lengthDegrees;
    };
    const Case cases[] = {
        {"east across the seam", east, 36, path({{341, 1}, {9, 1}}),
         Cells{{35, 2}, {36, 2}, {1, 2}, {2, 2}}, 1, 30},
        {"west across the seam, shown west to east", east, 36, path({{9, 1}, {341, 1}}),
         Cells{{35, 2}, {36, 2}, {1, 2}, {2, 2}}, 1, 30},
        {"the long way is never taken", east, 36, path({{20, 1}, {339, 1}}),
         Cells{{35, 2}, {36, 2}, {1, 2}, {2, 2}, {3, 2}}, 1, 40},
        {"-180..180 on 0..360", east, 36, path({{-19, 1}, {-1, 1}, {9, 1}}),
         Cells{{35, 2}, {36, 2}, {1, 2}, {2, 2}}, 0, 30},
        {"0..360 on -180..180", west, 36, path({{171, 1}, {199, 1}}),
         Cells{{36, 2}, {1, 2}, {2, 2}, {3, 2}}, 1, 30},
        {"a grid short of the whole way round", open, 35, path({{338, 1}, {21, 1}}),
         Cells{{35, 2}}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SectionCells s;
        const SectionGrid grid{c.lon, lat, c.nlon, 3, 10, 10};
        ASSERT_EQ(MakeTyxSection(c.points, c.points.UBound(), grid, s, message), 1) << message;
        if (c.lengthDegrees == 0) {
            // No seam to cross: the path runs through the grid from 340E to 20E, shown west
            // to east.
            const Cells cells = cellsOf(s);
            EXPECT_EQ(cells.front(), (std::pair<Long, Long>{3, 2}));
            EXPECT_EQ(cells.back(), c.cells.front());
            EXPECT_EQ(cells.size(), 33u);
            continue;
        }
        EXPECT_EQ(cellsOf(s), c.cells);
        EXPECT_EQ(s.SectionKind, c.kind);
        EXPECT_NEAR(s.SectLength, c.lengthDegrees * 111.11099809630643, 1e-3);
    }
}

TEST(MakeTyxSection, VertexLabels) {
    EXPECT_EQ(VertexLabelOf(10.5f, -45.25f), "10.50E/45.25S");
    EXPECT_EQ(VertexLabelOf(0.5f, 0.25f), ".50E/.25N");
    EXPECT_EQ(VertexLabelOf(-120, 0), "120.00W/.00S");
}
