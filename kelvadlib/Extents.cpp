// The horizontal and vertical set-up of a slot: coordinate caches, bounding box and spacing,
// and the level values.
#include "common/MinMax.h"
#include "common/NetCDF.h"
#include "kelvadlib/GridKinds.h"
#include "kelvadlib/Kelvad.h"
#include "kelvadlib/NCUtils.h"
#include "kelvadlib/Utils.h"
#include "kelvadlib/ValueMarks.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"

#include <netcdf.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr const char* kCrLf = "\r\n";

// A netCDF call that failed; the status gives the text.
struct NcFailure {
    int status;
};
void check(int status) {
    if (status != NC_NOERR) throw NcFailure{status};
}

// A variable whose recorded size does not fit the array it is read into.
struct SizeMismatch {
    std::string text;
};

// The start and count of a whole-variable read: every dimension at its size as the header
// recorded it, so a file that grew since then cannot write past the target.
struct WholeRead {
    std::vector<std::size_t> start, count;
    double values = 1; // product of the counts (double: it may be beyond any Long)
};
WholeRead wholeRead(const NcfRec& r, const VariRec& v) {
    WholeRead w;
    const Long nd = v.narray > 0 ? v.narray : 1;
    w.start.assign(static_cast<std::size_t>(nd), 0);
    w.count.assign(static_cast<std::size_t>(nd), 1);
    for (Long k = 1; k <= v.narray; ++k) {
        const Long size = r.dime(v.arrayDimId(k) + 1).size;
        w.count[static_cast<std::size_t>(k - 1)] = static_cast<std::size_t>(size < 0 ? 0 : size);
        w.values *= size;
    }
    return w;
}

// Refuses a variable that does not hold exactly `want` values.
void checkSize(const std::string& tag, const VariRec& v, double have, std::size_t want) {
    if (have != static_cast<double>(want))
        throw SizeMismatch{tag + "Size of variable " + v.name + " (" + CStr(have) +
                           ") does not match its array (" + CStr(static_cast<double>(want)) + ")"};
}

// Whole-variable reads into an array of exactly the variable's recorded size.
void readWhole(const NcfRec& r, Long vId, float* target, std::size_t n, const std::string& tag) {
    const VariRec& v = r.vari(vId);
    const WholeRead w = wholeRead(r, v);
    checkSize(tag, v, w.values, n);
    check(GetVara(r.held, r.ncid, vId - 1, w.start.data(), w.count.data(), target));
}
void readWhole(const NcfRec& r, Long vId, double* target, std::size_t n, const std::string& tag) {
    const VariRec& v = r.vari(vId);
    const WholeRead w = wholeRead(r, v);
    checkSize(tag, v, w.values, n);
    check(GetVara(r.held, r.ncid, vId - 1, w.start.data(), w.count.data(), target));
}
void readWhole(const NcfRec& r, Long vId, int* target, std::size_t n, const std::string& tag) {
    const VariRec& v = r.vari(vId);
    const WholeRead w = wholeRead(r, v);
    checkSize(tag, v, w.values, n);
    check(GetVara(r.held, r.ncid, vId - 1, w.start.data(), w.count.data(), target));
}

// Levels given at every node or element of a mesh (sigma layers), over the level dimension
// first.
bool levelsOverMesh(const NcfRec& r, const VariRec& v) {
    if (v.narray != 2 || v.arrayDimId(1) != r.level_dId) return false;
    const Long d = v.arrayDimId(2);
    return d == r.node_dId || d == r.elem_dId || d == r.nCell_dId;
}

// The values of the level variable: whole, or those of the first node for levels over a mesh.
template <class T>
void readLevels(const NcfRec& r, T* target, std::size_t n, const std::string& tag) {
    const VariRec& v = r.vari(r.level_vId);
    WholeRead w = wholeRead(r, v);
    if (levelsOverMesh(r, v) && w.count[1] > 1) {
        w.count[1] = 1;
        w.values = static_cast<double>(w.count[0]);
    }
    checkSize(tag, v, w.values, n);
    check(GetVara(r.held, r.ncid, r.level_vId - 1, w.start.data(), w.count.data(), target));
}

// Coordinates stored packed (scale_factor, add_offset) or as _Unsigned integers: their values
// as read are not positions until unpacked.
bool packedPositions(const VariRec& v) {
    return v.scale != 1 || v.offset != 0 || v.unsignedInts;
}

// What an unpacked cache holds where the file holds no position: the float fill.
constexpr float kNoPosition = NC_FILL_FLOAT;

// The marks of a coordinate variable that stand for no position, for its values as they are
// held in the caches (Singles): as read, or, for packed ones, as unpacked.
ValueMarks noPosition(const VariRec& v) {
    if (!packedPositions(v)) return ValueMarks(v, NC_FLOAT, false);
    VariRec unpacked;
    unpacked.type = NC_FLOAT;
    unpacked.FillVal = kNoPosition;
    return ValueMarks(unpacked, NC_FLOAT, false);
}

// Values of v as read into Singles turned into positions: unpacked by the value rule of the
// reads (marks and valid limits on the stored values, then scale and offset), those that mark
// no position set to kNoPosition.
void unpackPositions(const VariRec& v, float* values, std::size_t n) {
    if (!packedPositions(v)) return;
    const ValueMarks stored(v, NC_FLOAT, false);
    for (std::size_t i = 0; i < n; ++i) {
        const double x = StoredValue(v, values[i]);
        const double position = x * v.scale + v.offset;
        values[i] = stored.valid(x) && std::fabs(position) < 1e30 ? static_cast<float>(position)
                                                                  : kNoPosition;
    }
}

// The bounding box, grown point by point; values that mark no position are passed over.
struct Box {
    NcfRec& r;
    ValueMarks lonMarks, latMarks;
    bool lonSkip(float x) const { return !lonMarks.valid(x); }
    bool latSkip(float y) const { return !latMarks.valid(y); }
    void lon(float x) {
        if (lonSkip(x)) return;
        r.westEnd = MinS(r.westEnd, x);
        r.eastEnd = MaxS(r.eastEnd, x);
    }
    void lat(float y) {
        if (latSkip(y)) return;
        r.northEnd = MaxS(r.northEnd, y);
        r.southEnd = MinS(r.southEnd, y);
    }
};

// GMT's node_offset 1: the grid values stand for cells, not for the nodes of the ranges. GMT
// writes it on the value variable; a global one is taken too.
bool gmtPixelRegistered(const NcfRec& r) {
    auto isOffset = [](const std::string& name) { return UCase(name) == "NODE_OFFSET"; };
    for (Long n = 1; n <= r.nVars; ++n) {
        const VariRec& v = r.vari(n);
        for (Long a = 1; a <= v.nattri; ++a)
            if (isOffset(v.attName(a))) return Val(v.attValue(a)) == 1;
    }
    for (Long a = 1; a <= r.nGatts; ++a)
        if (isOffset(r.gAttName(a))) return Val(r.gAttValue(a)) == 1;
    return false;
}

std::size_t count(Long n) {
    return static_cast<std::size_t>(n);
}

// Coordinates stored in radians are kept in degrees, as the box, the spacing and every caller
// of the caches expect; the marks of no position stay as they are.
constexpr double kRadToDeg = 180.0 / 3.14159265358979323846;
void toDegrees(float* values, std::size_t n, const ValueMarks& marks) {
    for (std::size_t i = 0; i < n; ++i)
        if (marks.valid(values[i])) values[i] = static_cast<float>(values[i] * kRadToDeg);
}

// What the position reads of one slot share: the dataset object and slot, its record, the box
// they grow, which coordinates are stored in radians, and the tag of the messages.
struct PositionReads {
    Kelvad& kv;
    Long nH;
    NcfRec& r;
    Box box;
    bool lonRad, latRad;
    const std::string& tag;

    // Values as read made positions in degrees: unpacked, and turned from radians.
    void inDegrees(float* lon, std::size_t nLon, float* lat, std::size_t nLat) const {
        unpackPositions(r.vari(r.lon_vId), lon, nLon);
        unpackPositions(r.vari(r.lat_vId), lat, nLat);
        if (lonRad) toDegrees(lon, nLon, box.lonMarks);
        if (latRad) toDegrees(lat, nLat, box.latMarks);
    }
    // Both coordinate variables read whole into the caches, in degrees.
    void readCaches(Long nLon, Long nLat) {
        r.lonArr.ReDim(1, nLon);
        r.latArr.ReDim(1, nLat);
        readWhole(r, r.lon_vId, r.lonArr.data(), r.lonArr.size(), tag);
        readWhole(r, r.lat_vId, r.latArr.data(), r.latArr.size(), tag);
        inDegrees(r.lonArr.data(), r.lonArr.size(), r.latArr.data(), r.latArr.size());
    }
    // The box grown over positions 1 To n of the caches.
    void boxOverCaches(Long n) {
        for (Long i = 1; i <= n; ++i) {
            box.lon(r.lonArr(i));
            box.lat(r.latArr(i));
        }
    }
};

// The reads of slot nH. Recognition names the two coordinate variables for every grid type;
// positions not stored (the GMT ranges, generated) are never taken for radians.
PositionReads positionReads(Kelvad& kv, Long nH, const std::string& tag, bool stored) {
    NcfRec& r = kv.ncf(nH);
    return PositionReads{kv,
                         nH,
                         r,
                         Box{r, noPosition(r.vari(r.lon_vId)), noPosition(r.vari(r.lat_vId))},
                         stored && kv.RadianUnits(nH, r.lon_vId),
                         stored && kv.RadianUnits(nH, r.lat_vId),
                         tag};
}

// Cell lists and finite-element meshes: one position per point, read whole.
void readPointList(PositionReads& p, Long n) {
    p.readCaches(n, n);
    p.boxOverCaches(n);
}

// Reports of a list of cells over a second dimension (station reports by hour, drifters by
// step, a trajectory's observations), both coordinate variables read whole. The cells move
// along the other dimension: every report is kept, row by row of it, and the box holds every
// report that gives a position. For the callers that take one position per cell, each cell is
// placed at its first report that gives one; a cell that never gives one keeps the mark of no
// position.
void placeReports(PositionReads& p, const std::vector<float>& lonAll,
                  const std::vector<float>& latAll, bool cellsFirst) {
    NcfRec& r = p.r;
    const VariRec& lon = r.vari(r.lon_vId);
    r.moving_dId = cellsFirst ? lon.arrayDimId(2) : lon.arrayDimId(1);
    const std::size_t cells = count(r.nCells);
    const std::size_t reports = cells > 0 ? lonAll.size() / cells : 0;
    r.lonArr.ReDim(1, r.nCells);
    r.latArr.ReDim(1, r.nCells);
    r.lonMoving.ReDim(1, MaxL(static_cast<Long>(cells * reports), 1));
    r.latMoving.ReDim(1, MaxL(static_cast<Long>(cells * reports), 1));
    for (std::size_t c = 0; c < cells; ++c) {
        const auto at = [&](std::size_t k) { return cellsFirst ? c * reports + k : k * cells + c; };
        const auto known = [&](std::size_t k) {
            return !p.box.lonSkip(lonAll[at(k)]) && !p.box.latSkip(latAll[at(k)]);
        };
        for (std::size_t k = 0; k < reports; ++k) {
            const Long m = static_cast<Long>(k * cells + c) + 1;
            r.lonMoving(m) = known(k) ? lonAll[at(k)] : kNoPosition;
            r.latMoving(m) = known(k) ? latAll[at(k)] : kNoPosition;
            if (!known(k)) continue;
            p.box.lon(lonAll[at(k)]);
            p.box.lat(latAll[at(k)]);
        }
        std::size_t k = 0;
        while (k + 1 < reports && !known(k))
            ++k;
        const Long i = static_cast<Long>(c) + 1;
        r.lonArr(i) = reports > 0 ? lonAll[at(k)] : 0.0f;
        r.latArr(i) = reports > 0 ? latAll[at(k)] : 0.0f;
    }
}

void readReportPositions(PositionReads& p) {
    NcfRec& r = p.r;
    const VariRec& lon = r.vari(r.lon_vId);
    const bool cellsFirst = lon.arrayDimId(1) == r.nCell_dId;
    const Long other = r.dime((cellsFirst ? lon.arrayDimId(2) : lon.arrayDimId(1)) + 1).size;
    const std::size_t n = count(r.nCells) * count(MaxL(other, 0));
    std::vector<float> lonAll(n), latAll(n);
    readWhole(r, r.lon_vId, lonAll.data(), lonAll.size(), p.tag);
    readWhole(r, r.lat_vId, latAll.data(), latAll.size(), p.tag);
    p.inDegrees(lonAll.data(), lonAll.size(), latAll.data(), latAll.size());
    placeReports(p, lonAll, latAll, cellsFirst);
}

// Two-dimensional positions over the time axis and another dimension are a list of reports
// (reports by hour), not a grid: drawn as cells they would span continents.
bool reportsNotGrid(const NcfRec& r) {
    const VariRec& lon = r.vari(r.lon_vId);
    return r.TimePick == 1 && (lon.arrayDimId(1) == r.time_dId || lon.arrayDimId(2) == r.time_dId);
}

// Boundary-fitted positions found to be reports: a list of cells over the dimension that is
// not the time axis, each placed at its first position.
void turnIntoReports(PositionReads& p) {
    NcfRec& r = p.r;
    const VariRec& lon = r.vari(r.lon_vId);
    const Long a = lon.arrayDimId(1), b = lon.arrayDimId(2);
    const bool cellsFirst = r.TimePick == 1 && b == r.time_dId;
    r.GridType = kGridCells;
    r.nCell_dId = cellsFirst ? a : b;
    r.nCells = r.dime(r.nCell_dId + 1).size;
    const std::vector<float> lonAll(r.lonArr.data(), r.lonArr.data() + r.lonArr.size());
    const std::vector<float> latAll(r.latArr.data(), r.latArr.data() + r.latArr.size());
    placeReports(p, lonAll, latAll, cellsFirst);
}

} // namespace

// Regular grids: the two axes, and their spacing from their ends.
Long ReadRegularAxes(Kelvad& kv, Long nH, const std::string& tag) {
    PositionReads p = positionReads(kv, nH, tag, true);
    NcfRec& r = p.r;
    p.readCaches(r.nLon, r.nLat);
    // An axis that crosses the date line continues past 180 instead of dropping back: only a
    // drop of more than half the globe is a seam, so an axis that simply runs west keeps its
    // own extent.
    bool havePrevious = false;
    float previous = 0;
    for (Long i = 1; i <= r.nLon; ++i) {
        float& x = r.lonArr(i);
        if (p.box.lonSkip(x)) continue;
        if (havePrevious && static_cast<float>(double{x} - previous) < -180.0f)
            x = static_cast<float>(double{x} + 360.0);
        previous = x;
        havePrevious = true;
        p.box.lon(x);
    }
    for (Long j = 1; j <= r.nLat; ++j)
        p.box.lat(r.latArr(j));
    if (r.nLon > 1) r.dLon = CSng(Div(double{r.lonArr(r.nLon)} - r.lonArr(1), r.nLon - 1.0));
    if (r.nLat > 1) r.dLat = CSng(Div(double{r.latArr(r.nLat)} - r.latArr(1), r.nLat - 1.0));
    return 1;
}

namespace {

// The spacing of a boundary-fitted grid: the larger span of the box spread over the larger
// index count.
void setBoundaryFittedSpacing(NcfRec& r) {
    const double lonSpan = double{r.eastEnd} - r.westEnd;
    const double latSpan = double{r.northEnd} - r.southEnd;
    const bool latBelow = static_cast<float>(latSpan) < static_cast<float>(lonSpan);
    const double iSteps = r.iMax - 1.0, jSteps = r.jMax - 1.0;
    double lonSteps = 0, latSteps = 0;
    if (r.jMax > r.iMax) {
        lonSteps = latBelow ? jSteps : iSteps;
        latSteps = latBelow ? iSteps : jSteps;
    } else {
        lonSteps = latBelow ? iSteps : jSteps;
        latSteps = latBelow ? jSteps : iSteps;
    }
    r.dLon = CSng(Div(lonSpan, lonSteps));
    r.dLat = CSng(Div(latSpan, latSteps));
}

} // namespace

// Boundary-fitted grids: a position per node over i and j, and the spacing.
Long ReadBoundaryFitted(Kelvad& kv, Long nH, const std::string& tag) {
    PositionReads p = positionReads(kv, nH, tag, true);
    NcfRec& r = p.r;
    const Long n = MulL(r.iMax, r.jMax);
    r.lonArr.ReDim(1, n);
    r.latArr.ReDim(1, n);
    // Coordinates that carry a leading (time) dimension are read at its first index. The slice
    // counts iMax and jMax in the order the variable stores them (j first when its own order
    // is 2), so it fills the cache exactly.
    const auto firstSlice = [&r](Long vId, VArray<float>& out) {
        const bool jFirst = r.vari(vId).lonlatOrder == 2;
        const std::size_t start[3] = {0, 0, 0};
        const std::size_t cnt[3] = {1, count(jFirst ? r.jMax : r.iMax),
                                    count(jFirst ? r.iMax : r.jMax)};
        check(GetVara(r.held, r.ncid, vId - 1, start, cnt, out.data()));
    };
    const bool sliced = r.vari(r.lon_vId).narray == 3;
    if (sliced)
        firstSlice(r.lon_vId, r.lonArr);
    else
        readWhole(r, r.lon_vId, r.lonArr.data(), r.lonArr.size(), p.tag);
    if (sliced && r.vari(r.lat_vId).narray == 3)
        firstSlice(r.lat_vId, r.latArr);
    else
        readWhole(r, r.lat_vId, r.latArr.data(), r.latArr.size(), p.tag);
    p.inDegrees(r.lonArr.data(), r.lonArr.size(), r.latArr.data(), r.latArr.size());
    if (!sliced && r.vari(r.lon_vId).narray == 2 && r.vari(r.lat_vId).narray == 2 &&
        reportsNotGrid(r)) {
        turnIntoReports(p);
        return 1;
    }
    p.boxOverCaches(n);
    setBoundaryFittedSpacing(r);
    return 1;
}

// GMT grids: the positions generated from the stored ranges, spacing and sizes, not read. 1, or
// kExtentRefused (with the reason in ErrorMessage) for a grid whose sizes do not match its
// values.
Long GenerateGmtGrid(Kelvad& kv, Long nH, const std::string& tag) {
    PositionReads p = positionReads(kv, nH, tag, false);
    NcfRec& r = p.r;
    r.gmtDimension.ReDim(1, r.nSide);
    readWhole(r, r.dimension_vId, r.gmtDimension.data(), r.gmtDimension.size(), p.tag);
    r.nLon = r.gmtDimension(1);
    r.nLat = r.gmtDimension(2);
    // The values lie row after row in one vector: a grid that does not hold exactly its stated
    // columns and rows would be drawn in the wrong places.
    if (r.nLon < 1 || r.nLat < 1 || int64_t{r.nLon} * r.nLat != r.nXysize) {
        p.kv.ErrorMessage = p.tag + "GMT grid of " + CStr(r.nLon) + " x " + CStr(r.nLat) +
                            " values does not match its " + CStr(r.nXysize) + " stored values";
        r.gmtDimension.Erase();
        return Kelvad::kExtentRefused;
    }
    r.gmtSpacing.ReDim(1, r.nSide);
    readWhole(r, r.spacing_vId, r.gmtSpacing.data(), r.gmtSpacing.size(), p.tag);
    r.dLon = CSng(r.gmtSpacing(1));
    r.dLat = CSng(r.gmtSpacing(2));
    r.gmtXRange.ReDim(1, r.nSide);
    readWhole(r, r.lon_vId, r.gmtXRange.data(), r.gmtXRange.size(), p.tag);
    r.westEnd = CSng(r.gmtXRange(1));
    r.eastEnd = CSng(r.gmtXRange(2));
    r.gmtYRange.ReDim(1, r.nSide);
    readWhole(r, r.lat_vId, r.gmtYRange.data(), r.gmtYRange.size(), p.tag);
    r.southEnd = CSng(r.gmtYRange(1));
    r.northEnd = CSng(r.gmtYRange(2));
    // A pixel-registered grid gives the outer edges of its cells as its ranges: the points are
    // the cell centres, half a step inside.
    const double first = gmtPixelRegistered(r) ? 0.5 : 0.0;
    r.lonArr.ReDim(1, r.nLon);
    for (Long i = 1; i <= r.nLon; ++i)
        r.lonArr(i) = CSng(double{r.westEnd} + double{r.dLon} * (i - 1.0 + first));
    r.latArr.ReDim(1, r.nLat);
    for (Long j = 1; j <= r.nLat; ++j)
        r.latArr(j) = CSng(double{r.southEnd} + double{r.dLat} * (j - 1.0 + first));
    r.gmtDimension.Erase();
    r.gmtSpacing.Erase();
    r.gmtXRange.Erase();
    r.gmtYRange.Erase();
    return 1;
}

namespace {

// Finite-volume meshes with node coordinates: they come in columns of FV_layers + 1 values,
// the first of each column the horizontal node. False when the corner table cannot be read.
bool readFvNodes(PositionReads& p) {
    NcfRec& r = p.r;
    if (p.kv.doFill_NodeMesh(p.nH, r.node1Arr, r.node2Arr, r.node3Arr, &r.nodeElemArr) < 0)
        return false;
    if (r.nNodesAll < 1) throw RuntimeError(err::Subscript);
    std::vector<float> lonAll(count(r.nNodesAll)), latAll(count(r.nNodesAll));
    readWhole(r, r.lon_vId, lonAll.data(), lonAll.size(), p.tag);
    readWhole(r, r.lat_vId, latAll.data(), latAll.size(), p.tag);
    p.inDegrees(lonAll.data(), lonAll.size(), latAll.data(), latAll.size());
    r.lonArr.ReDim(1, r.nNodes);
    r.latArr.ReDim(1, r.nNodes);
    const int64_t step = int64_t{r.FV_layers} + 1;
    int64_t k = 0; // 0-based
    for (Long i = 1; i <= r.nNodes; ++i, k += step) {
        if (k < 0 || k >= static_cast<int64_t>(lonAll.size())) throw RuntimeError(err::Subscript);
        r.lonArr(i) = lonAll[static_cast<std::size_t>(k)];
        r.latArr(i) = latAll[static_cast<std::size_t>(k)];
        p.box.lon(r.lonArr(i));
        p.box.lat(r.latArr(i));
    }
    return true;
}

} // namespace

// Finite-volume meshes: positions on the nodes or on the elements, as the longitude variable
// lies. 1, or -1 with the reason in ErrorMessage.
Long ReadFvMesh(Kelvad& kv, Long nH, const std::string& tag) {
    PositionReads p = positionReads(kv, nH, tag, true);
    NcfRec& r = p.r;
    r.nNodesAll = r.nNodes;
    r.nNodes = CLng(Div(r.nNodesAll, r.FV_layers + 1.0));
    const Long firstDim = r.vari(r.lon_vId).arrayDimId(1);
    if (firstDim == r.node_dId) return readFvNodes(p) ? 1 : -1;
    if (firstDim == r.elem_dId) {
        p.readCaches(r.nElements, r.nElements);
        p.boxOverCaches(r.nElements);
        return 1;
    }
    p.kv.ErrorMessage = p.tag + "ncf(nH).vari(ncf(nH).lon_vId).arrayDimId(1) <> "
                                "ncf(nH).elem_dId/node_dId";
    return -1;
}

std::string PositionsNotNumbers(const NcfRec& r, int ncid, const std::string& tag) {
    for (const Long vId : {r.lon_vId, r.lat_vId}) {
        if (vId < 1 || vId > r.nVars) continue;
        const VariRec& v = r.vari(vId);
        if (v.type >= NC_BYTE && v.type <= NC_UINT64 && v.type != NC_CHAR) continue;
        std::string name;
        if (NcTypeNameOf(ncid, static_cast<int>(v.type), name) != NC_NOERR)
            name = std::to_string(v.type);
        return tag + (vId == r.lon_vId ? "Longitude " : "Latitude ") + v.name + " is of type " +
               name + ", not a number: its positions cannot be read";
    }
    return "";
}

// Cell lists (reports over a second dimension among them) and finite-element meshes: one
// position per point, read whole.
Long ReadCellPositions(Kelvad& kv, Long nH, const std::string& tag) {
    PositionReads p = positionReads(kv, nH, tag, true);
    if (p.r.vari(p.r.lon_vId).narray == 2)
        readReportPositions(p);
    else
        readPointList(p, p.r.nCells);
    return 1;
}

Long ReadFeMeshNodes(Kelvad& kv, Long nH, const std::string& tag) {
    PositionReads p = positionReads(kv, nH, tag, true);
    readPointList(p, p.r.nNodes);
    return 1;
}

namespace {

// A box narrower than a minute of longitude gets half a degree on every side, so that it can
// still be shown.
void widenNarrowBox(NcfRec& r) {
    if (static_cast<float>(std::fabs(double{r.westEnd} - r.eastEnd)) <
        static_cast<float>(1.0 / 60.0)) {
        r.westEnd = static_cast<float>(r.westEnd - 0.5);
        r.eastEnd = static_cast<float>(r.eastEnd + 0.5);
        r.northEnd = static_cast<float>(r.northEnd + 0.5);
        r.southEnd = static_cast<float>(r.southEnd - 0.5);
    }
}

} // namespace

Long Kelvad::SetHorizontalExtent(Long nH) {
    const std::string tag = "[SetHorizontalExtent] ";
    try {
        NcfRec& r = ncf(nH);
        r.westEnd = 900;
        r.eastEnd = -900;
        r.southEnd = 900;
        r.northEnd = -900;
        try {
            check(ReopenSlot(nH));
            const GridKind* kind = GridKindOf(r.GridType);
            if (kind == nullptr) {
                ErrorMessage = tag + "undefined GridType";
                return -1;
            }
            const Long result = kind->readPositions(*this, nH, tag);
            if (result != 1) return result;
            widenNarrowBox(r);
            CloseIfAfterRead(nH);
            return 1;
        } catch (const NcFailure& f) {
            ErrorMessage = "NetCDF Error: " + NcErrorText(f.status);
            CloseSlot(nH);
            return -1;
        } catch (const SizeMismatch& m) {
            ErrorMessage = m.text;
            return -1;
        }
    } catch (const RuntimeError& e) {
        ErrorMessage = ErrorFrame("", e);
        return -1;
    }
}

Long Kelvad::SetVerticalExtent(Long nH) {
    // No step here may fail the load: a level axis that cannot be read leaves the cache at 0.
    try {
        NcfRec& r = ncf(nH);
        if (r.kMax < 1) return 0;
        r.vCoordArr.ReDim(0, r.kMax);
        try {
            check(ReopenSlot(nH));
            const VariRec& v = r.vari(r.level_vId);
            const std::size_t n = count(r.kMax);
            const std::string tag = "[SetVerticalExtent] ";
            switch (v.type) {
            case NC_SHORT: {
                std::vector<short> buf(n);
                readLevels(r, buf.data(), n, tag);
                for (Long k = 1; k <= r.kMax; ++k)
                    r.vCoordArr(k) = buf[count(k - 1)];
                break;
            }
            case NC_INT: {
                std::vector<int> buf(n);
                readLevels(r, buf.data(), n, tag);
                for (Long k = 1; k <= r.kMax; ++k)
                    r.vCoordArr(k) = buf[count(k - 1)];
                break;
            }
            case NC_FLOAT: {
                std::vector<float> buf(n);
                readLevels(r, buf.data(), n, tag);
                for (Long k = 1; k <= r.kMax; ++k)
                    r.vCoordArr(k) = buf[count(k - 1)];
                break;
            }
            case NC_DOUBLE:
                readLevels(r, r.vCoordArr.data() + 1, n, tag);
                break;
            default:
                ErrorMessage = std::string("Variable-Type of vertical coodrinate not expected:") +
                               kCrLf + "Variable Name = " + v.name + "\n" +
                               "Tyep Number = " + Str(v.type);
                break;
            }
            // Levels over a mesh that its first node leaves unset are numbered instead.
            bool numbered = false;
            if (levelsOverMesh(r, v)) {
                const ValueMarks marks(v, HeldType(v), false);
                for (Long k = 1; k <= r.kMax; ++k)
                    numbered = numbered || !marks.valid(StoredValue(v, r.vCoordArr(k)));
                for (Long k = 1; numbered && k <= r.kMax; ++k)
                    r.vCoordArr(k) = k;
            }
            // Packed levels are kept unpacked, as the positions are.
            if (packedPositions(v) && !numbered) {
                for (Long k = 1; k <= r.kMax; ++k)
                    r.vCoordArr(k) = StoredValue(v, r.vCoordArr(k)) * v.scale + v.offset;
            }
            CloseIfAfterRead(nH);
            return 1;
        } catch (const NcFailure& f) {
            ErrorMessage = "NetCDF Error:" + NcErrorText(f.status);
            CloseSlot(nH);
            return 0;
        } catch (const SizeMismatch& m) {
            ErrorMessage = m.text;
            CloseIfAfterRead(nH);
            return 0;
        }
    } catch (const RuntimeError& e) {
        ErrorMessage = ErrorFrame("[SetVerticalExtent] ", e);
        return 0;
    }
}
