#include "common/NetCDF.h"
#include "common/Strings.h"
#include "kelvadlib/Kelvad.h"
#include "kelvadlib/NCUtils.h"
#include "kelvadlib/Utils.h"
#include "runtime/Strings.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// A failure of the recognition: its text goes to ErrorMessage and the run ends with -1.
struct Unrecognised {
    const char* text;
};

// The first variable (from 1) passing test, or 0.
template <class Test> Long firstVar(const NcfRec& r, Test test) {
    for (Long n = 1; n <= r.nVars; ++n)
        if (test(r.vari(n))) return n;
    return 0;
}

Long dimSize(const NcfRec& r, Long dId) {
    return r.dime(dId + 1).size;
}

// The value of a variable's attribute of that name, letter case aside; "" when it has none.
std::string attOf(const VariRec& v, const std::string& name) {
    const std::string key = UCase(name);
    for (Long a = 1; a <= v.nattri; ++a)
        if (UCase(v.attName(a)) == key) return Trim(v.attValue(a));
    return "";
}

// A position east (longitude) or north (latitude) by what CF writes beside the name: units of
// east or north degrees, a standard_name, or radians that say their direction. Plain radians
// count where the name says which (MPAS writes no standard_name).
bool isPosition(Kelvad& kv, Long nH, Long n, bool east) {
    if (kv.UnitMatch(nH, n, east ? "East" : "North")) return true;
    const VariRec& v = kv.ncf(nH).vari(n);
    if (LCase(attOf(v, "standard_name")) == (east ? "longitude" : "latitude")) return true;
    const std::string units = UCase(attOf(v, "units"));
    if (east ? units == "RADIANS_EAST" || units == "RADIAN_EAST"
             : units == "RADIANS_NORTH" || units == "RADIAN_NORTH")
        return true;
    return kv.RadianUnits(nH, n) && NameSaysPosition(v.name, east);
}

// The numbers of dimensions of the longitude and latitude variables found (0 before one is).
struct LonLatRanks {
    Long lon = 0, lat = 0;
};

// 0. Reset. nSide, nXysize, FV_*, time_vId and level_vId keep their earlier values until a
// search below finds something for them.
void resetRoles(NcfRec& r) {
    r.nCell_dId = -1;
    r.nCells = 0;
    r.node_dId = -1;
    r.nNodes = 0;
    r.elem_dId = -1;
    r.nElements = 0;
    r.face_dId = -1;
    r.faceNodes_vId = 0;
    r.lon_vId = -1;
    r.lat_vId = -1;
    r.lon_dId = -1;
    r.lat_dId = -1;
    r.GridType = kGridNone;
    r.nLon = 0;
    r.nLat = 0;
    r.iCell_dId = -1;
    r.jCell_dId = -1;
    r.moving_dId = -1;
    r.iMax = 0;
    r.jMax = 0;
    r.LLbyNodeOrEleement = 0;
    r.spacing_vId = -1;
    r.dimension_vId = -1;
    r.time_dId = -1;
    r.nTime = 0;
    r.level_dId = -1;
    r.kCell_dId = -1;
    r.kMax = 0;
    r.TimePick = -1;
    r.LevelPick = -1;
    r.lonlatOrder = -1;
}

// 1. Mesh and cell dimensions by name; the last match of a list wins.
void findMeshDimensions(const Kelvad& kv, NcfRec& r) {
    for (Long d = 1; d <= r.nDimes; ++d) {
        const DimeRec& dr = r.dime(d);
        if (InAliasList(dr.name, kv.cellaKa)) {
            r.nCell_dId = d - 1;
            r.nCells = dr.size;
        } else if (InAliasList(dr.name, kv.nodeaKa)) {
            r.node_dId = d - 1;
            r.nNodes = dr.size;
        } else if (InAliasList(dr.name, kv.elementaKa)) {
            r.elem_dId = d - 1;
            r.nElements = dr.size;
        } else if (InAliasList(dr.name, kv.faceaKa)) {
            r.face_dId = d - 1;
            r.nSide = dr.size;
        }
    }
}

bool sameDimensions(const VariRec& a, const VariRec& b) {
    if (a.narray != b.narray) return false;
    for (Long k = 1; k <= a.narray; ++k)
        if (a.arrayDimId(k) != b.arrayDimId(k)) return false;
    return true;
}

// The coordinates attributes of the file's variables, those that have one.
std::vector<std::string> coordinatesLists(const NcfRec& r) {
    std::vector<std::string> lists;
    for (Long n = 1; n <= r.nVars; ++n) {
        std::string names = attOf(r.vari(n), "coordinates");
        if (!names.empty()) lists.push_back(std::move(names));
    }
    return lists;
}

// The number of those lists that name both.
Long namedTogether(const std::vector<std::string>& lists, const std::string& lon,
                   const std::string& lat) {
    Long votes = 0;
    for (const std::string& names : lists) {
        bool hasLon = false, hasLat = false;
        for (const std::string_view w : ListTokens(names)) {
            hasLon = hasLon || w == lon;
            hasLat = hasLat || w == lat;
        }
        if (hasLon && hasLat) ++votes;
    }
    return votes;
}

// A coordinate variable: one dimension, of its own name.
bool isAxis(const VariRec& v) {
    return v.narray == 1 && v.name == v.arrayDimName(1);
}

// Among several longitudes and latitudes (a ROMS file holds one pair for each of its rho, u, v
// and psi points), the pair of one grid: over the same dimensions, or of one dimension each.
// The pair that data variables name in their coordinates attributes comes first, then one over
// the same dimensions or of two coordinate variables, then the first pair complete in file
// order. {0, 0} when no two candidates make such a pair.
std::pair<Long, Long> pairOfOneGrid(const NcfRec& r, const std::vector<Long>& lons,
                                    const std::vector<Long>& lats) {
    if (lons.empty() || lats.empty()) return {0, 0};
    // The attributes only choose among several pairs.
    const std::vector<std::string> lists =
        lons.size() > 1 || lats.size() > 1 ? coordinatesLists(r) : std::vector<std::string>{};
    std::pair<Long, Long> best{0, 0};
    std::array<Long, 4> bestRank{};
    for (const Long lon : lons) {
        for (const Long lat : lats) {
            const VariRec& x = r.vari(lon);
            const VariRec& y = r.vari(lat);
            const bool oneGrid = sameDimensions(x, y) || (isAxis(x) && isAxis(y));
            if (!oneGrid && (x.narray != 1 || y.narray != 1)) continue;
            const std::array<Long, 4> rank{namedTogether(lists, x.name, y.name), oneGrid ? 1 : 0,
                                           -std::max(lon, lat), std::min(lon, lat)};
            if (best.first == 0 || rank > bestRank) {
                best = {lon, lat};
                bestRank = rank;
            }
        }
    }
    return best;
}

// The pair a reading in file order meets: the first variable that completes a pair, with the
// last of the other kind before it; the last of either kind when the other is missing (-1).
std::pair<Long, Long> firstPairInOrder(const std::vector<Long>& lons,
                                       const std::vector<Long>& lats) {
    auto lastBefore = [](const std::vector<Long>& list, Long n) {
        Long last = -1;
        for (const Long m : list)
            if (m < n) last = m;
        return last;
    };
    if (lons.empty() || lats.empty())
        return {lons.empty() ? -1 : lons.back(), lats.empty() ? -1 : lats.back()};
    if (lons.front() < lats.front()) return {lastBefore(lons, lats.front()), lats.front()};
    return {lons.front(), lastBefore(lats, lons.front())};
}

// One search of steps 2 and 3: the longitude and latitude of one grid among the variables
// the two tests take, with the dimension of either when it is a coordinate variable.
template <class IsLon, class IsLat>
void pickLonLat(NcfRec& r, LonLatRanks& ranks, IsLon isLon, IsLat isLat) {
    std::vector<Long> lons, lats;
    for (Long n = 1; n <= r.nVars; ++n) {
        if (isLon(n))
            lons.push_back(n);
        else if (isLat(n))
            lats.push_back(n);
    }
    const std::pair<Long, Long> inOrder = firstPairInOrder(lons, lats);
    auto [lon, lat] = pairOfOneGrid(r, lons, lats);
    if (lon == 0) std::tie(lon, lat) = inOrder;
    // As read in file order, a coordinate variable met before the pair is complete keeps its
    // dimension even where a later variable of its kind took its place.
    const bool asRead = std::pair(lon, lat) == inOrder;
    const Long stop = lon > 0 && lat > 0 ? std::max(lon, lat) : r.nVars;
    auto take = [&](Long n, const std::vector<Long>& list, Long& rank, Long& vId, Long& dId) {
        if (n <= 0) return;
        rank = r.vari(n).narray;
        vId = n;
        for (const Long m : list)
            if ((asRead ? m <= stop : m == n) && isAxis(r.vari(m))) dId = r.vari(m).arrayDimId(1);
    };
    take(lon, lons, ranks.lon, r.lon_vId, r.lon_dId);
    take(lat, lats, ranks.lat, r.lat_vId, r.lat_dId);
}

// 2 and 3. Longitude and latitude by name, else by their units.
LonLatRanks findLonLat(Kelvad& kv, Long nH, NcfRec& r) {
    LonLatRanks ranks;
    // Every variable is tested against both lists, which a settings file can make long.
    const AliasWords lonNames(kv.lonaKa), latNames(kv.lataKa);
    pickLonLat(
        r, ranks, [&](Long n) { return lonNames.contains(r.vari(n).name); },
        [&](Long n) { return latNames.contains(r.vari(n).name); });
    if (r.lon_vId == -1 && r.lat_vId == -1)
        pickLonLat(
            r, ranks, [&](Long n) { return isPosition(kv, nH, n, true); },
            [&](Long n) { return isPosition(kv, nH, n, false); });
    return ranks;
}

// A one-dimensional longitude in east degrees (latitude in north degrees, or either in radians)
// that is no coordinate variable still marks its own dimension as the axis, whatever that is
// called (x/y, west_east/south_north). Over one dimension, or over a cell or mesh dimension, the
// two are a list of points instead.
void takeUnnamedAxes(Kelvad& kv, Long nH, NcfRec& r, const LonLatRanks& ranks) {
    if (r.lon_vId <= 0 || r.lat_vId <= 0 || ranks.lon != 1 || ranks.lat != 1) return;
    const Long lonDim = r.vari(r.lon_vId).arrayDimId(1);
    const Long latDim = r.vari(r.lat_vId).arrayDimId(1);
    auto pointDim = [&r](Long d) { return d == r.nCell_dId || d == r.node_dId || d == r.elem_dId; };
    if (lonDim == latDim || pointDim(lonDim) || pointDim(latDim)) return;
    if (r.lon_dId < 0 && (isPosition(kv, nH, r.lon_vId, true) || kv.RadianUnits(nH, r.lon_vId)))
        r.lon_dId = lonDim;
    if (r.lat_dId < 0 && (isPosition(kv, nH, r.lat_vId, false) || kv.RadianUnits(nH, r.lat_vId)))
        r.lat_dId = latDim;
}

// The sizes of a finite-volume mesh's "dimensions" and "layers" dimensions.
void countFvLayers(NcfRec& r) {
    r.FV_dimensions = 0;
    r.FV_layers = 0;
    for (Long d = 1; d <= r.nDimes; ++d) {
        const DimeRec& dr = r.dime(d);
        if (InAliasList(dr.name, "dimensions"))
            r.FV_dimensions = dr.size;
        else if (InAliasList(dr.name, "layers"))
            r.FV_layers = dr.size;
    }
}

// The same for a mesh whose coordinates lie on its elements, which needs them.
void findFvLayers(Kelvad& kv, NcfRec& r) {
    countFvLayers(r);
    if (r.FV_dimensions == 0)
        kv.ErrorMessage = "[pickCoordVariables] FV_dimensions/FV_layers = 0";
    else if (r.FV_dimensions == 3 && r.FV_layers == 0)
        throw Unrecognised{"[pickCoordVariables] FV_dimensions Or FV_layers = 0"};
}

// A mesh with node coordinates that also places its elements is a finite-volume mesh: its node
// variables stay on the nodes and its element variables go to the element centres.
void placeElementsToo(NcfRec& r) {
    if (r.GridType != kGridFeMesh) return;
    r.GridType = kGridFvMesh;
    r.LLbyNodeOrEleement = 2;
    countFvLayers(r);
}

// A mesh: finite elements when the coordinates lie on the nodes, finite volumes when they lie
// on the elements. Its elements have three corners, six (the first three taken), or up to four
// (triangles padded and quadrangles, as SCHISM and D-Flow FM write them).
void setMeshLayout(Kelvad& kv, NcfRec& r) {
    if (r.nSide != 3 && r.nSide != 4 && r.nSide != 6)
        throw Unrecognised{"[pickCoordVariables] ncf(nH).nSide <> 3 or 6 "};
    const Long first = r.vari(r.lon_vId).arrayDimId(1);
    if (first == r.node_dId) {
        r.LLbyNodeOrEleement = 1;
        r.GridType = kGridFeMesh;
        r.FV_dimensions = 0;
        r.FV_layers = 0;
    } else if (first == r.elem_dId) {
        r.LLbyNodeOrEleement = 2;
        r.GridType = kGridFvMesh;
        findFvLayers(kv, r);
    }
}

// 4, one-dimensional coordinates: two axes, a cell list or a mesh. True for a mesh, whose
// coordinates step 5 may take from other variables.
bool setOneDimensionalLayout(Kelvad& kv, NcfRec& r) {
    if (r.lon_dId >= 0 && r.lat_dId >= 0) {
        r.nLon = dimSize(r, r.lon_dId);
        r.nLat = dimSize(r, r.lat_dId);
        r.GridType = kGridRegular;
        return false;
    }
    if (r.lon_dId >= 0 || r.lat_dId >= 0)
        throw Unrecognised{"[pickCoordVariables] Inconsistent Lon_dID vs Lat_dID"};
    if (r.nCell_dId >= 0 && r.node_dId >= 0)
        throw Unrecognised{"[pickCoordVariables] nCell_dId >= 0 And node_dId >= 0"};
    if (r.nCell_dId >= 0) {
        r.GridType = kGridCells;
        return false;
    }
    if (r.node_dId < 0 || r.elem_dId < 0)
        throw Unrecognised{"[pickCoordVariables] nCell_dId<0 And node_dId<0, yet na_lon=1"};
    setMeshLayout(kv, r);
    return true;
}

// 5. Mesh positions by units: one-dimensional east and north variables other than those found
// so far. A pair over the nodes takes the place of the coordinates (node coordinates serve
// every mesh); a pair over the elements beside node coordinates places the elements, and never
// replaces the nodes, whose variables would then have no positions.
void takeMeshCoordinatesByUnits(Kelvad& kv, Long nH, NcfRec& r) {
    Long nodeEast = 0, nodeNorth = 0, elemEast = 0, elemNorth = 0;
    for (Long n = 1; n <= r.nVars; ++n) {
        const VariRec& v = r.vari(n);
        if (v.narray != 1) continue;
        const Long d = v.arrayDimId(1);
        const bool onNodes = d == r.node_dId, onElements = d == r.elem_dId;
        if (!onNodes && !onElements) continue;
        if (n != r.lon_vId && isPosition(kv, nH, n, true)) {
            Long& east = onNodes ? nodeEast : elemEast;
            if (east == 0) east = n;
        } else if (n != r.lat_vId && isPosition(kv, nH, n, false)) {
            Long& north = onNodes ? nodeNorth : elemNorth;
            if (north == 0) north = n;
        }
    }
    if (nodeEast > 0 && nodeNorth > 0) {
        r.lon_vId = nodeEast;
        r.lat_vId = nodeNorth;
    } else if (elemEast > 0 && elemNorth > 0) {
        placeElementsToo(r);
    }
}

// 4, coordinates over two or three dimensions: a boundary-fitted grid, its i and j dimensions
// by name, else the last two of the longitude variable, i before j.
void setBoundaryFittedLayout(const Kelvad& kv, NcfRec& r, Long rank) {
    r.GridType = kGridBfg;
    for (Long d = 1; d <= r.nDimes; ++d) {
        const std::string& name = r.dime(d).name;
        if (InAliasList(name, kv.ixaKa))
            r.iCell_dId = d - 1;
        else if (InAliasList(name, kv.jyaKa))
            r.jCell_dId = d - 1;
    }
    if (r.iCell_dId == -1 || r.jCell_dId == -1) {
        const VariRec& lon = r.vari(r.lon_vId);
        r.iCell_dId = lon.arrayDimId(rank - 1);
        r.jCell_dId = lon.arrayDimId(rank);
    }
    r.iMax = dimSize(r, r.iCell_dId);
    r.jMax = dimSize(r, r.jCell_dId);
}

// The variable of that name, 0 when there is none.
Long varNamed(const NcfRec& r, const std::string& name) {
    return firstVar(r, [&name](const VariRec& v) { return v.name == name; });
}

// A UGRID mesh: a variable with cf_role "mesh_topology" names the node coordinates, the
// face-node connectivity (which carries its own start_index) and, when the faces are placed
// too, their centres. The names of its dimensions then need no alias. False when the file
// names no such mesh of faces.
bool takeMeshTopology(Kelvad& kv, Long nH, NcfRec& r) {
    const Long topology =
        firstVar(r, [](const VariRec& v) { return LCase(attOf(v, "cf_role")) == "mesh_topology"; });
    if (topology == 0) return false;
    const VariRec& t = r.vari(topology);
    const std::string nodes = attOf(t, "node_coordinates");
    if (CountTokens(nodes) < 2) return false;
    Long x = varNamed(r, GetToken(nodes, 1)), y = varNamed(r, GetToken(nodes, 2));
    const Long table = varNamed(r, attOf(t, "face_node_connectivity"));
    if (x == 0 || y == 0 || table == 0) return false;
    if (r.vari(x).narray != 1 || r.vari(y).narray != 1 || r.vari(table).narray != 2) return false;
    // The convention lists x before y; units or standard names that say otherwise win.
    if (isPosition(kv, nH, y, true) && !isPosition(kv, nH, x, true)) std::swap(x, y);
    // The table runs faces by corners unless face_dimension names its second dimension.
    const VariRec& tv = r.vari(table);
    Long elem = tv.arrayDimId(1), face = tv.arrayDimId(2);
    if (attOf(t, "face_dimension") == tv.arrayDimName(2)) std::swap(elem, face);
    r.node_dId = r.vari(x).arrayDimId(1);
    r.nNodes = dimSize(r, r.node_dId);
    r.elem_dId = elem;
    r.nElements = dimSize(r, elem);
    r.face_dId = face;
    r.nSide = dimSize(r, face);
    r.lon_vId = x;
    r.lat_vId = y;
    r.faceNodes_vId = table;
    setMeshLayout(kv, r);
    const std::string centres = attOf(t, "face_coordinates");
    if (CountTokens(centres) >= 2 && varNamed(r, GetToken(centres, 1)) > 0 &&
        varNamed(r, GetToken(centres, 2)) > 0)
        placeElementsToo(r);
    return true;
}

// A CF discrete sampling file of trajectories (featureType "trajectory").
bool trajectoryFile(const NcfRec& r) {
    for (Long a = 1; a <= r.nGatts; ++a)
        if (UCase(r.gAttName(a)) == "FEATURETYPE") return LCase(Trim(r.gAttValue(a))) == "trajectory";
    return false;
}

// Two-dimensional positions over a cell (station) dimension, or over the unlimited dimension
// beside another, are reports (station reports by hour), not a grid: one position per cell,
// drawn as a point. Their cells are the station dimension, else the one beside the records.
// A trajectory's positions (trajectory, obs) are points too, whatever the dimensions are
// called: its observations, the last dimension as of its data, are the cells.
bool takeReportList(NcfRec& r) {
    const VariRec& lon = r.vari(r.lon_vId);
    const VariRec& lat = r.vari(r.lat_vId);
    if (lon.narray != 2 || lat.narray != 2) return false;
    const Long a = lon.arrayDimId(1), b = lon.arrayDimId(2);
    if (lat.arrayDimId(1) != a || lat.arrayDimId(2) != b) return false;
    Long cells = -1;
    if (trajectoryFile(r))
        cells = b;
    else if (a == r.nCell_dId || b == r.nCell_dId)
        cells = r.nCell_dId;
    else if (a == r.UnLimDId)
        cells = b;
    else if (b == r.UnLimDId)
        cells = a;
    if (cells < 0 || r.node_dId >= 0) return false;
    r.nCell_dId = cells;
    r.nCells = dimSize(r, cells);
    r.GridType = kGridCells;
    return true;
}

// 4. Layout, by the number of dimensions of the two coordinate variables; 5 for a mesh.
void setLayout(Kelvad& kv, Long nH, NcfRec& r, const LonLatRanks& ranks) {
    if (ranks.lon != ranks.lat) throw Unrecognised{"[pickCoordVariables] na_lon <> na_lat"};
    if (ranks.lon <= 0) throw Unrecognised{"[pickCoordVariables] na_lon=0, yet lon_vId>0"};
    if (ranks.lon == 1) {
        if (setOneDimensionalLayout(kv, r)) takeMeshCoordinatesByUnits(kv, nH, r);
    } else if (ranks.lon == 2 || ranks.lon == 3) {
        if (!takeReportList(r)) setBoundaryFittedLayout(kv, r, ranks.lon);
    } else {
        throw Unrecognised{"[pickCoordVariables] Array dimension>2 for Lon/Lat vars"};
    }
}

// 6. GMT grid, when nothing above fitted: its ranges, spacing and sizes over "side".
void findGmtGrid(NcfRec& r) {
    for (Long d = 1; d <= r.nDimes; ++d) {
        const DimeRec& dr = r.dime(d);
        if (UCase(dr.name) == "SIDE") r.nSide = dr.size;
        if (UCase(dr.name) == "XYSIZE") r.nXysize = dr.size;
    }
    auto gmtVar = [&r](const std::string& key, bool needsAtt) {
        return firstVar(r, [&](const VariRec& v) {
            return UCase(Left(v.name, Len(key))) == key && UCase(v.arrayDimName(1)) == "SIDE" &&
                   (!needsAtt || v.nattri >= 1);
        });
    };
    const Long x = gmtVar("X_R", true);
    if (x == 0) throw Unrecognised{"[pickCoordVariables] can not identify horizontal coordiantes"};
    r.lon_vId = x;
    const Long y = gmtVar("Y_R", true);
    if (y == 0) throw Unrecognised{"[pickCoordVariables] can not identify coordiantes: GMTy"};
    r.lat_vId = y;
    const Long z = gmtVar("Z_R", true);
    if (z > 0) r.level_vId = z;
    const Long spacing = gmtVar("SPACING", false);
    if (spacing == 0)
        throw Unrecognised{"[pickCoordVariables] can not identify coordiantes: GMTspacing"};
    r.spacing_vId = spacing;
    const Long dimension = gmtVar("DIMENSION", false);
    if (dimension == 0)
        throw Unrecognised{"[pickCoordVariables] can not identify horizontal coordiantes"};
    r.dimension_vId = dimension;
    r.GridType = kGridGmt;
}

// Units that count time: "<unit> since <date>", or a unit word of time alone ("hours").
bool timeUnits(const std::string& units) {
    if (UCase(GetToken(units, 2)) == "SINCE") return true;
    const std::string word = UCase(GetToken(units, 1));
    static const char* const kKeys[] = {"SEC", "MIN", "HOU", "DAY", "WEE", "MON", "YEA", "SEA"};
    for (const char* key : kKeys)
        if (Left(word, 3) == key) return true;
    static const char* const kWords[] = {"S", "MS", "H", "HR", "HRS", "D", "YR", "YRS"};
    for (const char* w : kWords)
        if (word == w) return true;
    return false;
}

// Units of a quantity that is not time: temperature, length, pressure, salinity, mass and
// the like, judged by their first word ("m s-1" is a speed).
bool otherQuantityUnits(const std::string& units) {
    return InAliasList(GetToken(units, 1),
                       "K kelvin degC deg_C degree_C degrees_C Celsius degree_Celsius "
                       "degrees_Celsius degF deg_F Fahrenheit m meter meters metre metres km cm mm "
                       "ft feet Pa hPa kPa mbar mb millibar millibars bar dbar decibar decibars "
                       "atm psu PSS PSS-78 ppt g/kg g kg kg/m3 degree degrees radian radians "
                       "percent % W J m/s");
}

// A name of the time list. A variable that is no coordinate variable also needs units that
// count time, if it has units at all; a coordinate variable only must not measure something
// else (T in celsius is a temperature either way).
bool namedTime(const Kelvad& kv, const VariRec& v) {
    if (!InAliasList(v.name, kv.timeaKa)) return false;
    const std::string units = attOf(v, "units");
    if (units.empty() || timeUnits(units)) return true;
    return v.kind == 1 && !otherQuantityUnits(units);
}

// A time axis by what CF writes beside the name: "<unit> since <date>", standard_name time or
// axis T (valid_time, ocean_time, time_counter, XTIME, MT, ...).
bool saysTime(const VariRec& v) {
    return UCase(GetToken(attOf(v, "units"), 2)) == "SINCE" ||
           LCase(attOf(v, "standard_name")) == "time" || UCase(attOf(v, "axis")) == "T";
}

// 7. Time: a coordinate variable of the list first, else any one-dimensional one; where the
// list names none, the same two searches by what CF says of the variable.
void findTimeAxis(const Kelvad& kv, NcfRec& r) {
    Long t = firstVar(r, [&](const VariRec& v) { return v.kind == 1 && namedTime(kv, v); });
    if (t == 0)
        t = firstVar(r, [&](const VariRec& v) { return v.narray == 1 && namedTime(kv, v); });
    if (t == 0) t = firstVar(r, [&](const VariRec& v) { return v.kind == 1 && saysTime(v); });
    if (t == 0) t = firstVar(r, [&](const VariRec& v) { return v.narray == 1 && saysTime(v); });
    if (t > 0) {
        r.time_dId = r.vari(t).arrayDimId(1);
        r.time_vId = t;
        r.nTime = dimSize(r, r.time_dId);
    }
}

// A coordinate variable that says it is vertical, by a "positive" direction, axis "Z" or units
// of pressure.
bool saysVertical(const VariRec& v) {
    for (Long a = 1; a <= v.nattri; ++a) {
        const std::string name = UCase(v.attName(a));
        if (name == "POSITIVE") return true;
        if (name == "AXIS" && UCase(Trim(v.attValue(a))) == "Z") return true;
    }
    static const char* const kPressure[] = {"PA",       "HPA",       "KPA", "MBAR",
                                            "MILLIBAR", "MILLIBARS", "MB"};
    const std::string units = UCase(attOf(v, "units"));
    for (const char* p : kPressure)
        if (units == p) return true;
    return false;
}

// 8. Vertical coordinate of any grid but GMT's (whose z range is its level variable): a
// coordinate variable of the list, else a one-dimensional variable of the list, else a
// coordinate variable that says it is vertical (lev_2, z_l, s_rho, pressure_level, ...), else
// levels over a mesh.
void findVerticalAxis(const Kelvad& kv, NcfRec& r) {
    // A variable over a horizontal, mesh or time dimension is no vertical axis.
    auto overOtherAxis = [&r](const VariRec& v) {
        const Long d = v.arrayDimId(1);
        return d == r.lat_dId || d == r.lon_dId || d == r.nCell_dId || d == r.elem_dId ||
               d == r.node_dId || d == r.time_dId;
    };
    Long z = firstVar(r, [&](const VariRec& v) {
        return v.kind == 1 && InAliasList(v.name, kv.levelaKa) && v.narray == 1;
    });
    if (z > 0) {
        r.level_dId = r.vari(z).arrayDimId(1);
        r.level_vId = z;
    } else {
        z = firstVar(r, [&](const VariRec& v) {
            return InAliasList(v.name, kv.levelaKa) && v.narray == 1 && !overOtherAxis(v);
        });
        if (z > 0) {
            r.level_dId = r.vari(z).arrayDimId(1);
            r.kCell_dId = r.level_dId;
            r.level_vId = z;
        }
    }
    if (z == 0) {
        z = firstVar(r, [&](const VariRec& v) {
            return v.kind == 1 && v.narray == 1 && !overOtherAxis(v) && saysVertical(v);
        });
        if (z > 0) {
            r.level_dId = r.vari(z).arrayDimId(1);
            r.level_vId = z;
        }
    }
    if (z == 0) {
        // Levels given at every node or element of a mesh (FVCOM's siglay(siglay, node)): their
        // own dimension is the level axis, the levels counted by index.
        auto overMesh = [&r](Long d) {
            return d == r.node_dId || d == r.elem_dId || d == r.nCell_dId;
        };
        z = firstVar(r, [&](const VariRec& v) {
            return v.narray == 2 && overMesh(v.arrayDimId(2)) && !overOtherAxis(v) &&
                   (v.name == v.arrayDimName(1) || InAliasList(v.name, kv.levelaKa) ||
                    saysVertical(v));
        });
        if (z > 0) {
            r.level_dId = r.vari(z).arrayDimId(1);
            r.kCell_dId = r.level_dId;
            r.level_vId = z;
        }
    }
    if (z > 0) r.kMax = dimSize(r, r.level_dId);
}

// 9. The axes found.
void setPicks(NcfRec& r) {
    if (r.time_dId != -1) r.TimePick = 1;
    if (r.level_dId != -1) r.LevelPick = 1;
}

} // namespace

Long Kelvad::PickCoordVariables(Long nH) {
    try {
        NcfRec& r = ncf(nH);
        resetRoles(r);
        // A grid that cannot be placed still has its time axis and levels to list.
        std::optional<Unrecognised> unplaced;
        try {
            if (!takeMeshTopology(*this, nH, r)) {
                findMeshDimensions(*this, r);
                const LonLatRanks ranks = findLonLat(*this, nH, r);
                takeUnnamedAxes(*this, nH, r, ranks);
                if (r.lon_vId != -1 && r.lat_vId != -1) setLayout(*this, nH, r, ranks);
            }
            if (r.GridType == kGridNone) findGmtGrid(r);
        } catch (const Unrecognised& u) {
            unplaced = u;
        }
        findTimeAxis(*this, r);
        if (r.GridType != kGridGmt) findVerticalAxis(*this, r);
        setPicks(r);
        if (unplaced) throw *unplaced;
        return 1;
    } catch (const Unrecognised& u) {
        ErrorMessage = u.text;
        return -1;
    } catch (const RuntimeError& e) {
        ErrorMessage = ErrorFrame("[PickCoordVariables] ", e);
        return -1;
    }
}
