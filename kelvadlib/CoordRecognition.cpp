#include "kelvadlib/Kelvad.h"
#include "kelvadlib/NCUtils.h"
#include "kelvadlib/Utils.h"
#include "runtime/Strings.h"

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
    r.lon_vId = -1;
    r.lat_vId = -1;
    r.lon_dId = -1;
    r.lat_dId = -1;
    r.GridType = kGridNone;
    r.nLon = 0;
    r.nLat = 0;
    r.iCell_dId = -1;
    r.jCell_dId = -1;
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

// One search of steps 2 and 3: the variables the two tests take, until there is one of each,
// with the dimension of either when it is a coordinate variable.
template <class IsLon, class IsLat>
void pickLonLat(NcfRec& r, LonLatRanks& ranks, IsLon isLon, IsLat isLat) {
    for (Long n = 1; n <= r.nVars; ++n) {
        const VariRec& v = r.vari(n);
        const bool coordVar = v.narray == 1 && v.name == v.arrayDimName(1);
        if (isLon(n)) {
            ranks.lon = v.narray;
            r.lon_vId = n;
            if (coordVar) r.lon_dId = v.arrayDimId(1);
        } else if (isLat(n)) {
            ranks.lat = v.narray;
            r.lat_vId = n;
            if (coordVar) r.lat_dId = v.arrayDimId(1);
        }
        if (r.lon_vId > 0 && r.lat_vId > 0) break;
    }
}

// 2 and 3. Longitude and latitude by name, else by their units.
LonLatRanks findLonLat(Kelvad& kv, Long nH, NcfRec& r) {
    LonLatRanks ranks;
    pickLonLat(
        r, ranks, [&](Long n) { return InAliasList(r.vari(n).name, kv.lonaKa); },
        [&](Long n) { return InAliasList(r.vari(n).name, kv.lataKa); });
    if (r.lon_vId == -1 && r.lat_vId == -1)
        pickLonLat(
            r, ranks, [&](Long n) { return kv.UnitMatch(nH, n, "East"); },
            [&](Long n) { return kv.UnitMatch(nH, n, "North"); });
    return ranks;
}

// A one-dimensional longitude in east degrees (latitude in north degrees) that is no
// coordinate variable still marks its own dimension as the axis, whatever that is called (x/y,
// west_east/south_north). Over one dimension, or over a cell or mesh dimension, the two are a
// list of points instead.
void takeUnnamedAxes(Kelvad& kv, Long nH, NcfRec& r, const LonLatRanks& ranks) {
    if (r.lon_vId <= 0 || r.lat_vId <= 0 || ranks.lon != 1 || ranks.lat != 1) return;
    const Long lonDim = r.vari(r.lon_vId).arrayDimId(1);
    const Long latDim = r.vari(r.lat_vId).arrayDimId(1);
    auto pointDim = [&r](Long d) { return d == r.nCell_dId || d == r.node_dId || d == r.elem_dId; };
    if (lonDim == latDim || pointDim(lonDim) || pointDim(latDim)) return;
    if (r.lon_dId < 0 && kv.UnitMatch(nH, r.lon_vId, "East")) r.lon_dId = lonDim;
    if (r.lat_dId < 0 && kv.UnitMatch(nH, r.lat_vId, "North")) r.lat_dId = latDim;
}

// The sizes of a finite-volume mesh's "dimensions" and "layers" dimensions.
void findFvLayers(Kelvad& kv, NcfRec& r) {
    r.FV_dimensions = 0;
    r.FV_layers = 0;
    for (Long d = 1; d <= r.nDimes; ++d) {
        const DimeRec& dr = r.dime(d);
        if (InAliasList(dr.name, "dimensions"))
            r.FV_dimensions = dr.size;
        else if (InAliasList(dr.name, "layers"))
            r.FV_layers = dr.size;
    }
    if (r.FV_dimensions == 0)
        kv.ErrorMessage = "[pickCoordVariables] FV_dimensions/FV_layers = 0";
    else if (r.FV_dimensions == 3 && r.FV_layers == 0)
        throw Unrecognised{"[pickCoordVariables] FV_dimensions Or FV_layers = 0"};
}

// A mesh: finite elements when the coordinates lie on the nodes, finite volumes when they lie
// on the elements.
void setMeshLayout(Kelvad& kv, NcfRec& r) {
    if (r.nSide != 3 && r.nSide != 6)
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

// 5. Mesh coordinates by units: one-dimensional east and north variables other than those
// found so far take their place.
void takeMeshCoordinatesByUnits(Kelvad& kv, Long nH, NcfRec& r) {
    Long east = 0, north = 0;
    for (Long n = 1; n <= r.nVars; ++n) {
        const bool oneDim = r.vari(n).narray == 1;
        if (kv.UnitMatch(nH, n, "East") && n != r.lon_vId) {
            if (oneDim) east = n;
        } else if (kv.UnitMatch(nH, n, "North") && n != r.lat_vId) {
            if (oneDim) north = n;
        }
        if (east > 0 && north > 0) {
            r.lon_vId = east;
            r.lat_vId = north;
            return;
        }
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

// 4. Layout, by the number of dimensions of the two coordinate variables; 5 for a mesh.
void setLayout(Kelvad& kv, Long nH, NcfRec& r, const LonLatRanks& ranks) {
    if (ranks.lon != ranks.lat) throw Unrecognised{"[pickCoordVariables] na_lon <> na_lat"};
    if (ranks.lon <= 0) throw Unrecognised{"[pickCoordVariables] na_lon=0, yet lon_vId>0"};
    if (ranks.lon == 1) {
        if (setOneDimensionalLayout(kv, r)) takeMeshCoordinatesByUnits(kv, nH, r);
    } else if (ranks.lon == 2 || ranks.lon == 3) {
        setBoundaryFittedLayout(kv, r, ranks.lon);
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

// 7. Time: a coordinate variable of the list first, else any one-dimensional one.
void findTimeAxis(const Kelvad& kv, NcfRec& r) {
    Long t = firstVar(
        r, [&](const VariRec& v) { return InAliasList(v.name, kv.timeaKa) && v.kind == 1; });
    if (t == 0)
        t = firstVar(
            r, [&](const VariRec& v) { return InAliasList(v.name, kv.timeaKa) && v.narray == 1; });
    if (t > 0) {
        r.time_dId = r.vari(t).arrayDimId(1);
        r.time_vId = t;
        r.nTime = dimSize(r, r.time_dId);
    }
}

// A coordinate variable that says it is vertical, by a "positive" direction or axis "Z".
bool saysVertical(const VariRec& v) {
    for (Long a = 1; a <= v.nattri; ++a) {
        const std::string name = UCase(v.attName(a));
        if (name == "POSITIVE") return true;
        if (name == "AXIS" && UCase(Trim(v.attValue(a))) == "Z") return true;
    }
    return false;
}

// 8. Vertical coordinate of any grid but GMT's (whose z range is its level variable): a
// coordinate variable of the list, else a one-dimensional variable of the list, else a
// coordinate variable that says it is vertical (lev_2, z_l, s_rho, ...).
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
        findMeshDimensions(*this, r);
        const LonLatRanks ranks = findLonLat(*this, nH, r);
        takeUnnamedAxes(*this, nH, r, ranks);
        if (r.lon_vId != -1 && r.lat_vId != -1) setLayout(*this, nH, r, ranks);
        if (r.GridType == kGridNone) findGmtGrid(r);
        findTimeAxis(*this, r);
        if (r.GridType != kGridGmt) findVerticalAxis(*this, r);
        setPicks(r);
        return 1;
    } catch (const Unrecognised& u) {
        ErrorMessage = u.text;
        return -1;
    } catch (const RuntimeError& e) {
        ErrorMessage = ErrorFrame("[PickCoordVariables] ", e);
        return -1;
    }
}
