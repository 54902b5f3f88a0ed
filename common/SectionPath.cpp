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

// The cells that segment seg crosses, appended to cells. The walk takes three samples per
// grid spacing along the segment's longer extent and leaves its end point to the next
// segment; a sample outside the grid, or in the cell just taken, adds nothing. The number of
// cells, 0 for a segment shorter than one spacing, -1 on failure.
Long Set_cell_Section(const VArray<SectPointRec>& points, Long seg, const SectionGrid& g,
                      std::vector<SectCellRec>& cells, std::string& errorMessage) {
    if (!walkable(g)) {
        errorMessage = "[Set_cell_Section] ncf.dlon <= 0 Or ncf.dlat <= 0";
        return -1;
    }
    try {
        const SectPointRec& from = points(seg);
        const SectPointRec& to = points(seg + 1);
        const float dLon = to.lon - from.lon;
        const float dLat = to.lat - from.lat;
        const Long nj = CLng(std::fabs(dLat) / g.dlat);
        const Long ni = CLng(std::fabs(dLon) / g.dlon);
        const Long n = MaxL(ni, nj);
        if (n < 1) return 0;

        SectCellRec last;
        if (!cells.empty()) last = cells.back();
        const Long steps = MulL(3, n);
        const auto sLon = static_cast<float>(static_cast<double>(dLon) / steps);
        const auto sLat = static_cast<float>(static_cast<double>(dLat) / steps);
        const float lon0 = g.LonGrid(1), lat0 = g.LatGrid(1);
        for (Long k = 1; k <= steps; ++k) {
            const auto x = static_cast<float>(static_cast<double>(sLon) * (k - 1) + from.lon);
            const auto y = static_cast<float>(static_cast<double>(sLat) * (k - 1) + from.lat);
            const Long i = AddL(CLng(Fix((x - lon0) / g.dlon)), 1);
            const Long j = AddL(CLng(Fix((y - lat0) / g.dlat)), 1);
            if (i < 1 || i > g.nlon || j < 1 || j > g.nlat) continue;
            if (i == last.i && j == last.j) continue;
            last = SectCellRec{i, j};
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
        SectionCells s;
        s.nSectVertex = nPoints;
        s.VertexCell.ReDim(1, nPoints);
        s.VertexIJ.ReDim(1, nPoints);
        s.VertexLL.ReDim(1, nPoints);
        s.VertexLabel.ReDim(1, nPoints);
        s.VertexCell(1) = 1;

        auto describe = [&](Long vertex, Long cell, const SectCellRec& c) {
            s.VertexCell(vertex) = cell;
            s.VertexIJ(vertex) = c;
            s.VertexLL(vertex) = SectPointRec{grid.LonGrid(c.i), grid.LatGrid(c.j)};
            s.VertexLabel(vertex) = VertexLabelOf(grid.LonGrid(c.i), grid.LatGrid(c.j));
        };
        std::vector<SectCellRec> cells;
        for (Long seg = 1; seg <= nPoints - 1; ++seg) {
            if (Set_cell_Section(points, seg, grid, cells, errorMessage) < 0) return -1;
            if (cells.empty()) continue;
            if (seg == 1) describe(1, 1, cells.front());
            describe(seg + 1, static_cast<Long>(cells.size()), cells.back());
        }
        const Long n = static_cast<Long>(cells.size());

        // A one-segment section along a row or a column runs west to east or south to north.
        // The vertices keep the path's order and their own cells.
        s.SectionKind = 0;
        if (nPoints == 2) {
            const SectCellRec a = s.VertexIJ(1), b = s.VertexIJ(2);
            bool reverse = false;
            if (a.i == b.i) {
                s.SectionKind = 2;
                reverse = a.j > b.j;
            } else if (a.j == b.j) {
                s.SectionKind = 1;
                reverse = a.i > b.i;
            }
            if (reverse) {
                std::reverse(cells.begin(), cells.end());
                for (Long v = 1; v <= nPoints; ++v)
                    if (s.VertexCell(v) >= 1) s.VertexCell(v) = n + 1 - s.VertexCell(v);
            }
        }
        if (n < 2) {
            errorMessage = kTooShort;
            return -1;
        }

        s.nSectCell = n;
        s.SectCell.ReDim(1, n);
        for (Long m = 1; m <= n; ++m)
            s.SectCell(m) = cells[static_cast<std::size_t>(m - 1)];

        // The length runs through the middles of the cells.
        auto middle = [&](const SectCellRec& c, double& lon, double& lat) {
            lon = static_cast<float>((c.i - 0.5) * grid.dlon + grid.LonGrid(1));
            lat = static_cast<float>((c.j - 0.5) * grid.dlat + grid.LatGrid(1));
        };
        double length = 0;
        for (Long m = 2; m <= n; ++m) {
            double lon1 = 0, lat1 = 0, lon2 = 0, lat2 = 0;
            middle(s.SectCell(m - 1), lon1, lat1);
            middle(s.SectCell(m), lon2, lat2);
            length += GeoDistance(lon1, lat1, lon2, lat2);
        }
        s.SectLength = length / 1000;
        result = std::move(s);
        return 1;
    } catch (const RuntimeError& e) {
        errorMessage = "Error: " + errorText(e);
        return -1;
    }
}
