#include "common/SectionPath.h"
#include "common/MinMax.h"
#include "common/SectionGeometry.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

const char kTooShort[] = "[MakeTyxSection] Section distance is too short, or input error";

std::string errorText(const RuntimeError& e) {
    return CStr(static_cast<Long>(e.number())) + " " + e.description();
}

// The walk takes the grid as evenly spaced cells from its first point on: only axes that rise
// at every step can be walked so (a latitude axis stored from north to south cannot, nor the
// two-dimensional positions of a grid of cells, which have no spacing).
bool walkable(const SectionGrid& g) {
    if (!(g.dlon > 0) || !(g.dlat > 0)) return false;
    auto rising = [](const VArray<float>& axis, Long n) {
        if (n < 2 || axis.Rank() != 1 || axis.LBound() > 1 || axis.UBound() < n) return false;
        for (Long k = 2; k <= n; ++k)
            if (!(axis(k) > axis(k - 1))) return false;
        return true;
    };
    return rising(g.LonGrid, g.nlon) && rising(g.LatGrid, g.nlat);
}

// True when the longitudes close round the earth: the span with one spacing more reaches 360.
bool periodic(const SectionGrid& g) {
    const double span = static_cast<double>(g.LonGrid(g.nlon)) - g.LonGrid(1) + g.dlon;
    return span >= 360 - 0.01 * g.dlon;
}

// A path longitude placed on the grid's longitudes: a path in -180..180 on a grid of 0..360
// (or the reverse) is moved by 360 where that brings it onto the grid; on a grid round the
// earth every longitude is brought into the turn the grid starts.
float placedLon(float lon, const SectionGrid& g) {
    const double west = static_cast<double>(g.LonGrid(1)) - g.dlon / 2.0;
    if (periodic(g)) {
        double x = lon;
        while (x < west)
            x += 360;
        while (x >= west + 360)
            x -= 360;
        return static_cast<float>(x);
    }
    const double east = static_cast<double>(g.LonGrid(g.nlon)) + g.dlon / 2.0;
    auto inside = [&](double x) { return x >= west && x <= east; };
    if (inside(lon)) return lon;
    for (double shift : {360.0, -360.0})
        if (inside(lon + shift)) return static_cast<float>(lon + shift);
    return lon;
}

// The ends of segment seg placed on the grid; on a grid round the earth the segment takes the
// shorter way, across the seam when that is shorter.
void placedSegment(const VArray<SectPointRec>& points, Long seg, const SectionGrid& g,
                   SectPointRec& from, SectPointRec& to) {
    from = points(seg);
    to = points(seg + 1);
    from.lon = placedLon(from.lon, g);
    to.lon = placedLon(to.lon, g);
    if (!periodic(g)) return;
    if (to.lon - from.lon > 180) to.lon -= 360;
    if (to.lon - from.lon < -180) to.lon += 360;
}

// The cell whose centre (a grid point) lies nearest to (x, y); on a grid round the earth the
// longitude index runs on across the seam. False outside the grid.
bool nearestCell(double x, double y, const SectionGrid& g, SectCellRec& cell) {
    Long i = AddL(CLng(std::floor((x - g.LonGrid(1)) / g.dlon + 0.5)), 1);
    const Long j = AddL(CLng(std::floor((y - g.LatGrid(1)) / g.dlat + 0.5)), 1);
    if (periodic(g)) i = ((i - 1) % g.nlon + g.nlon) % g.nlon + 1;
    if (i < 1 || i > g.nlon || j < 1 || j > g.nlat) return false;
    cell = SectCellRec{i, j};
    return true;
}

// The cells that segment seg crosses, appended to cells. The walk takes three samples per
// grid spacing along the segment's longer extent, from its start to its end point; a sample
// outside the grid, or in the cell just taken, adds nothing. The number of cells, 0 for a
// segment shorter than one spacing, -1 on failure.
Long Set_cell_Section(const VArray<SectPointRec>& points, Long seg, const SectionGrid& g,
                      std::vector<SectCellRec>& cells, std::string& errorMessage) {
    if (!walkable(g)) {
        errorMessage = "[Set_cell_Section] ncf.dlon <= 0 Or ncf.dlat <= 0";
        return -1;
    }
    try {
        SectPointRec from, to;
        placedSegment(points, seg, g, from, to);
        const double dLon = static_cast<double>(to.lon) - from.lon;
        const double dLat = static_cast<double>(to.lat) - from.lat;
        const Long nj = CLng(std::fabs(dLat) / g.dlat);
        const Long ni = CLng(std::fabs(dLon) / g.dlon);
        const Long n = MaxL(ni, nj);
        if (n < 1) return 0;

        SectCellRec last;
        if (!cells.empty()) last = cells.back();
        const Long steps = MulL(3, n);
        for (Long k = 0; k <= steps; ++k) {
            const double x = dLon * k / steps + from.lon;
            const double y = dLat * k / steps + from.lat;
            SectCellRec c;
            if (!nearestCell(x, y, g, c)) continue;
            if (c.i == last.i && c.j == last.j) continue;
            last = c;
            cells.push_back(last);
        }
        return static_cast<Long>(cells.size());
    } catch (const RuntimeError& e) {
        errorMessage = "[Set_cell_Section] Error: " + errorText(e);
        return -1;
    }
}

// The position text of a coordinate: two decimals, no zero before the point, the letter.
std::string coordinate(float v, const char* positive, const char* negative) {
    const bool east = v > 0;
    // 0 - v: a coordinate of 0 shows no minus sign.
    return Format(east ? v : 0.0f - v, "#.00") + (east ? positive : negative);
}

// The section's record of the path: its points, and the vertex arrays to be described.
SectionCells pathRecord(const VArray<SectPointRec>& points, Long nPoints) {
    SectionCells s;
    s.nSectVertex = nPoints;
    s.PathLL.ReDim(1, nPoints);
    for (Long v = 1; v <= nPoints; ++v)
        s.PathLL(v) = points(v);
    s.VertexCell.ReDim(1, nPoints);
    s.VertexIJ.ReDim(1, nPoints);
    s.VertexLL.ReDim(1, nPoints);
    s.VertexLabel.ReDim(1, nPoints);
    s.VertexCell(1) = 1;
    return s;
}

// Vertex vertex lies in cell c, the cell-th of the section.
void describeVertex(SectionCells& s, const SectionGrid& grid, Long vertex, Long cell,
                    const SectCellRec& c) {
    s.VertexCell(vertex) = cell;
    s.VertexIJ(vertex) = c;
    s.VertexLL(vertex) = SectPointRec{grid.LonGrid(c.i), grid.LatGrid(c.j)};
    s.VertexLabel(vertex) = VertexLabelOf(grid.LonGrid(c.i), grid.LatGrid(c.j));
}

// The cells of every segment of the path in order, each vertex described by the cell that
// ends its segment (the first by the first cell). False on failure.
bool walkPath(const VArray<SectPointRec>& points, Long nPoints, const SectionGrid& grid,
              SectionCells& s, std::vector<SectCellRec>& cells, std::string& errorMessage) {
    for (Long seg = 1; seg <= nPoints - 1; ++seg) {
        if (Set_cell_Section(points, seg, grid, cells, errorMessage) < 0) return false;
        if (cells.empty()) continue;
        if (seg == 1) describeVertex(s, grid, 1, 1, cells.front());
        describeVertex(s, grid, seg + 1, static_cast<Long>(cells.size()), cells.back());
    }
    return true;
}

// A one-segment section along a row (kind 1) or a column (kind 2) runs west to east or south to
// north. The vertices keep the path's order and their own cells.
void orderRowOrColumn(const VArray<SectPointRec>& points, Long nPoints, const SectionGrid& grid,
                      SectionCells& s, std::vector<SectCellRec>& cells) {
    s.SectionKind = 0;
    if (nPoints != 2) return;
    const Long n = static_cast<Long>(cells.size());
    const SectCellRec a = s.VertexIJ(1), b = s.VertexIJ(2);
    SectPointRec from, to;
    placedSegment(points, 1, grid, from, to);
    bool reverse = false;
    if (a.i == b.i) {
        s.SectionKind = 2;
        reverse = to.lat < from.lat;
    } else if (a.j == b.j) {
        s.SectionKind = 1;
        reverse = to.lon < from.lon;
    }
    if (!reverse) return;
    std::reverse(cells.begin(), cells.end());
    for (Long v = 1; v <= nPoints; ++v)
        if (s.VertexCell(v) >= 1) s.VertexCell(v) = n + 1 - s.VertexCell(v);
}

// The section's length in km through the centres of its cells, across the seam the short way.
double lengthKm(const SectionCells& s, const SectionGrid& grid) {
    const bool round = periodic(grid);
    double length = 0;
    for (Long m = 2; m <= s.nSectCell; ++m) {
        const SectCellRec a = s.SectCell(m - 1), b = s.SectCell(m);
        const double lon1 = grid.LonGrid(a.i), lat1 = grid.LatGrid(a.j);
        double lon2 = grid.LonGrid(b.i);
        const double lat2 = grid.LatGrid(b.j);
        if (round && lon2 - lon1 > 180) lon2 -= 360;
        if (round && lon2 - lon1 < -180) lon2 += 360;
        length += GeoDistance(lon1, lat1, lon2, lat2);
    }
    return length / 1000;
}

} // namespace

std::string VertexLabelOf(float lon, float lat) {
    return coordinate(lon, "E", "W") + "/" + coordinate(lat, "N", "S");
}

Long MakeTyxSection(const VArray<SectPointRec>& points, Long nPoints, const SectionGrid& grid,
                    SectionCells& result, std::string& errorMessage) {
    try {
        if (nPoints < 1) {
            errorMessage = kTooShort;
            return -1;
        }
        SectionCells s = pathRecord(points, nPoints);
        std::vector<SectCellRec> cells;
        if (!walkPath(points, nPoints, grid, s, cells, errorMessage)) return -1;
        orderRowOrColumn(points, nPoints, grid, s, cells);
        const Long n = static_cast<Long>(cells.size());
        if (n < 2) {
            errorMessage = kTooShort;
            return -1;
        }
        s.nSectCell = n;
        s.SectCell.ReDim(1, n);
        for (Long m = 1; m <= n; ++m)
            s.SectCell(m) = cells[static_cast<std::size_t>(m - 1)];
        s.SectLength = lengthKm(s, grid);
        result = std::move(s);
        return 1;
    } catch (const RuntimeError& e) {
        errorMessage = "Error: " + errorText(e);
        return -1;
    }
}
