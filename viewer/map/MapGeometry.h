#pragma once
// The geometry the read window and the render stages share: the layout of a boundary-fitted
// grid's coordinate arrays, how its nodes close up across the longitude seam, and the copies
// of a global grid a whole number of longitude periods away that the view reaches. Units are
// the map's: degrees in Cartesian mode, radians in Mercator mode.
#include "runtime/Types.h"
#include "runtime/VArray.h"

#include <functional>
#include <vector>

// ---- Boundary-fitted coordinate layout ------------------------------------------------------
// A dataset may hold variables stored j-last and i-last over one pair of coordinate arrays, so
// the walks take the variable's own order for the values and the arrays' own layout for the
// corners.
//
// The layout the coordinate fill gave lonV/latV of dataset nNc: 1 (i, j) or 2 (j, i); 0 when it
// filled none. The dataset's lonlatOrder (4 is laid out as 1); when its variables come in both
// orders (3), the order of the longitude variable itself, whose layout the fill then keeps.
Long BfgdCoordsOrder(Long nNc);
// True when lonV/latV are laid out (j, i) rather than (i, j): told by their bounds against
// iMax and jMax, and by coordsOrder (2: j first) when the bounds fit both layouts (a square
// grid) or neither.
bool BfgdCoordsJFirst(Long coordsOrder, Long iMax, Long jMax);

// True when the nodes of a curvilinear grid close up along one index: along every line with
// positions (line = 1 .. lines), the step from its last node (count) to its first continues the
// step into the last node, the seam between them taken as one period, and is no longer than
// half as much again. The last cells of such a grid (a global ocean grid) reach its first
// nodes. A grid that repeats its first nodes at its end steps backwards there and does not
// count. node(k, line, lon, lat) gives the position of node k of a line.
using LineNode = std::function<void(Long k, Long line, float& lon, float& lat)>;
bool LinesCloseUp(Long count, Long lines, const LineNode& node);
// The node that closes the cell of node a walked at step along an index of limit nodes: a +
// step, held at the last node, or the first node when the grid closes up along that index.
inline Long BfgdNextNode(Long a, Long step, Long limit, bool closes) {
    if (a + step <= limit) return a + step;
    return closes ? 1 : limit;
}

// ---- The view and the seam copies ------------------------------------------------------------
// A point or view edge test: the edges rounded to Singles, the edges counting as inside.
struct ViewEdges {
    float W = 0, E = 0, S = 0, N = 0;
};
ViewEdges CurrentViewEdges();
// The longitudes and latitudes a map frame shows: the view's, widened to the picture's edges
// when the map transform was set for the current view (the picture is seldom of the view's
// shape, and keeps a margin around it).
ViewEdges DrawnViewEdges();
inline bool InView(const ViewEdges& v, float lon, float lat) {
    return v.W <= lon && lon <= v.E && v.S <= lat && lat <= v.N;
}

// A copy of a grid a whole number k (not 0) of longitude periods away.
struct GridCopy {
    Long k = 0;
    float shift = 0;                // k periods, as a Single
    Long lonFirst = 1, lonLast = 0; // the columns it may take (see SeamWindow)
};
// The copies of a global grid (DataExtent spanning 300 degrees or more) whose columns
// lon(lonFirst .. lonLast) + shift, with half a spacing beyond the first and the last, overlap
// the longitudes drawn (DrawnViewEdges), west to east; none for a narrower grid. lon is the
// grid's ascending longitude axis 1 .. nLon in map units.
std::vector<GridCopy> GridCopiesInView(const VArray<float>& lon, Long nLon);
