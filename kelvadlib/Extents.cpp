// The horizontal and vertical set-up of a slot: coordinate caches, bounding box and spacing,
// and the level values.
#include "common/MinMax.h"
#include "common/NetCDF.h"
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
    check(nc_get_vara_float(r.ncid, vId - 1, w.start.data(), w.count.data(), target));
}
void readWhole(const NcfRec& r, Long vId, double* target, std::size_t n, const std::string& tag) {
    const VariRec& v = r.vari(vId);
    const WholeRead w = wholeRead(r, v);
    checkSize(tag, v, w.values, n);
    check(nc_get_vara_double(r.ncid, vId - 1, w.start.data(), w.count.data(), target));
}
void readWhole(const NcfRec& r, Long vId, int* target, std::size_t n, const std::string& tag) {
    const VariRec& v = r.vari(vId);
    const WholeRead w = wholeRead(r, v);
    checkSize(tag, v, w.values, n);
    check(nc_get_vara_int(r.ncid, vId - 1, w.start.data(), w.count.data(), target));
}
void readWhole(const NcfRec& r, Long vId, short* target, std::size_t n, const std::string& tag) {
    const VariRec& v = r.vari(vId);
    const WholeRead w = wholeRead(r, v);
    checkSize(tag, v, w.values, n);
    check(nc_get_vara_short(r.ncid, vId - 1, w.start.data(), w.count.data(), target));
}

// The marks of a coordinate variable that stand for no position, for its values as they are
// read here (Singles).
ValueMarks noPosition(const VariRec& v) {
    return ValueMarks(v, NC_FLOAT, false);
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
            const int gt = r.GridType;
            if (gt < kGridCells || gt > kGridFvMesh) {
                ErrorMessage = tag + "undefined GridType";
                return -1;
            }
            // Recognition names the two variables for every grid type.
            Box box{r, noPosition(r.vari(r.lon_vId)), noPosition(r.vari(r.lat_vId))};
            // The GMT ranges are generated, not read as coordinates.
            const bool lonRad = gt != kGridGmt && RadianUnits(nH, r.lon_vId);
            const bool latRad = gt != kGridGmt && RadianUnits(nH, r.lat_vId);
            const auto inDegrees = [&](float* lon, std::size_t nLon, float* lat, std::size_t nLat) {
                if (lonRad) toDegrees(lon, nLon, box.lonMarks);
                if (latRad) toDegrees(lat, nLat, box.latMarks);
            };

            // Cell lists and finite-element meshes: one position per point, read whole.
            const auto readPoints = [&](Long n) {
                r.lonArr.ReDim(1, n);
                r.latArr.ReDim(1, n);
                readWhole(r, r.lon_vId, r.lonArr.data(), r.lonArr.size(), tag);
                readWhole(r, r.lat_vId, r.latArr.data(), r.latArr.size(), tag);
                inDegrees(r.lonArr.data(), r.lonArr.size(), r.latArr.data(), r.latArr.size());
                for (Long i = 1; i <= n; ++i) {
                    box.lon(r.lonArr(i));
                    box.lat(r.latArr(i));
                }
            };

            switch (gt) {
            case kGridCells:
                readPoints(r.nCells);
                break;
            case kGridRegular: {
                r.lonArr.ReDim(1, r.nLon);
                r.latArr.ReDim(1, r.nLat);
                readWhole(r, r.lon_vId, r.lonArr.data(), r.lonArr.size(), tag);
                readWhole(r, r.lat_vId, r.latArr.data(), r.latArr.size(), tag);
                inDegrees(r.lonArr.data(), r.lonArr.size(), r.latArr.data(), r.latArr.size());
                // An axis that crosses the date line continues past 180 instead of dropping
                // back: only a drop of more than half the globe is a seam, so an axis that
                // simply runs west keeps its own extent.
                bool havePrevious = false;
                float previous = 0;
                for (Long i = 1; i <= r.nLon; ++i) {
                    float& x = r.lonArr(i);
                    if (box.lonSkip(x)) continue;
                    if (havePrevious && static_cast<float>(double{x} - previous) < -180.0f)
                        x = static_cast<float>(double{x} + 360.0);
                    previous = x;
                    havePrevious = true;
                    box.lon(x);
                }
                for (Long j = 1; j <= r.nLat; ++j)
                    box.lat(r.latArr(j));
                if (r.nLon > 1)
                    r.dLon = CSng(Div(double{r.lonArr(r.nLon)} - r.lonArr(1), r.nLon - 1.0));
                if (r.nLat > 1)
                    r.dLat = CSng(Div(double{r.latArr(r.nLat)} - r.latArr(1), r.nLat - 1.0));
                break;
            }
            case kGridBfg: {
                const Long n = MulL(r.iMax, r.jMax);
                r.lonArr.ReDim(1, n);
                r.latArr.ReDim(1, n);
                // Coordinates that carry a leading (time) dimension are read at its first
                // index; the count fills the cache exactly.
                // The slice counts iMax and jMax in the order the variable stores them
                // (j first when its own order is 2), so it fills the cache exactly.
                const auto firstSlice = [&](Long vId, VArray<float>& out) {
                    const bool jFirst = r.vari(vId).lonlatOrder == 2;
                    const std::size_t start[3] = {0, 0, 0};
                    const std::size_t cnt[3] = {1, count(jFirst ? r.jMax : r.iMax),
                                                count(jFirst ? r.iMax : r.jMax)};
                    check(nc_get_vara_float(r.ncid, vId - 1, start, cnt, out.data()));
                };
                const bool sliced = r.vari(r.lon_vId).narray == 3;
                if (sliced)
                    firstSlice(r.lon_vId, r.lonArr);
                else
                    readWhole(r, r.lon_vId, r.lonArr.data(), r.lonArr.size(), tag);
                if (sliced && r.vari(r.lat_vId).narray == 3)
                    firstSlice(r.lat_vId, r.latArr);
                else
                    readWhole(r, r.lat_vId, r.latArr.data(), r.latArr.size(), tag);
                inDegrees(r.lonArr.data(), r.lonArr.size(), r.latArr.data(), r.latArr.size());
                for (Long k = 1; k <= n; ++k) {
                    box.lon(r.lonArr(k));
                    box.lat(r.latArr(k));
                }
                // The larger span is spread over the larger index count.
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
                break;
            }
            case kGridFeMesh:
                readPoints(r.nNodes);
                break;
            case kGridGmt: {
                // Generated from the stored ranges, spacing and sizes, not read.
                r.gmtDimension.ReDim(1, r.nSide);
                readWhole(r, r.dimension_vId, r.gmtDimension.data(), r.gmtDimension.size(), tag);
                r.nLon = r.gmtDimension(1);
                r.nLat = r.gmtDimension(2);
                // The values lie row after row in one vector: a grid that does not hold
                // exactly its stated columns and rows would be drawn in the wrong places.
                if (r.nLon < 1 || r.nLat < 1 || int64_t{r.nLon} * r.nLat != r.nXysize) {
                    ErrorMessage = tag + "GMT grid of " + CStr(r.nLon) + " x " + CStr(r.nLat) +
                                   " values does not match its " + CStr(r.nXysize) +
                                   " stored values";
                    r.gmtDimension.Erase();
                    return kExtentRefused;
                }
                r.gmtSpacing.ReDim(1, r.nSide);
                readWhole(r, r.spacing_vId, r.gmtSpacing.data(), r.gmtSpacing.size(), tag);
                r.dLon = CSng(r.gmtSpacing(1));
                r.dLat = CSng(r.gmtSpacing(2));
                r.gmtXRange.ReDim(1, r.nSide);
                readWhole(r, r.lon_vId, r.gmtXRange.data(), r.gmtXRange.size(), tag);
                r.westEnd = CSng(r.gmtXRange(1));
                r.eastEnd = CSng(r.gmtXRange(2));
                r.gmtYRange.ReDim(1, r.nSide);
                readWhole(r, r.lat_vId, r.gmtYRange.data(), r.gmtYRange.size(), tag);
                r.southEnd = CSng(r.gmtYRange(1));
                r.northEnd = CSng(r.gmtYRange(2));
                // A pixel-registered grid gives the outer edges of its cells as its ranges:
                // the points are the cell centres, half a step inside.
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
                break;
            }
            case kGridFvMesh: {
                r.nNodesAll = r.nNodes;
                r.nNodes = CLng(Div(r.nNodesAll, r.FV_layers + 1.0));
                const Long firstDim = r.vari(r.lon_vId).arrayDimId(1);
                if (firstDim == r.node_dId) {
                    // Node coordinates come in columns of FV_layers + 1 values; the first of
                    // each column is the horizontal node.
                    if (doFill_NodeMesh(nH, r.node1Arr, r.node2Arr, r.node3Arr) < 0) return -1;
                    if (r.nNodesAll < 1) throw RuntimeError(err::Subscript);
                    std::vector<float> lonAll(count(r.nNodesAll)), latAll(count(r.nNodesAll));
                    readWhole(r, r.lon_vId, lonAll.data(), lonAll.size(), tag);
                    readWhole(r, r.lat_vId, latAll.data(), latAll.size(), tag);
                    inDegrees(lonAll.data(), lonAll.size(), latAll.data(), latAll.size());
                    r.lonArr.ReDim(1, r.nNodes);
                    r.latArr.ReDim(1, r.nNodes);
                    const int64_t step = int64_t{r.FV_layers} + 1;
                    int64_t k = 0; // 0-based
                    for (Long i = 1; i <= r.nNodes; ++i, k += step) {
                        if (k < 0 || k >= static_cast<int64_t>(lonAll.size()))
                            throw RuntimeError(err::Subscript);
                        r.lonArr(i) = lonAll[static_cast<std::size_t>(k)];
                        r.latArr(i) = latAll[static_cast<std::size_t>(k)];
                        box.lon(r.lonArr(i));
                        box.lat(r.latArr(i));
                    }
                } else if (firstDim == r.elem_dId) {
                    r.lonArr.ReDim(1, r.nElements);
                    r.latArr.ReDim(1, r.nElements);
                    readWhole(r, r.lon_vId, r.lonArr.data(), r.lonArr.size(), tag);
                    readWhole(r, r.lat_vId, r.latArr.data(), r.latArr.size(), tag);
                    inDegrees(r.lonArr.data(), r.lonArr.size(), r.latArr.data(), r.latArr.size());
                    for (Long i = 1; i <= r.nElements; ++i) {
                        box.lon(r.lonArr(i));
                        box.lat(r.latArr(i));
                    }
                } else {
                    ErrorMessage = tag + "ncf(nH).vari(ncf(nH).lon_vId).arrayDimId(1) <> "
                                         "ncf(nH).elem_dId/node_dId";
                    return -1;
                }
                break;
            }
            default:
                break;
            }

            // A box narrower than a minute of longitude gets half a degree on every side, so
            // that it can still be shown.
            if (static_cast<float>(std::fabs(double{r.westEnd} - r.eastEnd)) <
                static_cast<float>(1.0 / 60.0)) {
                r.westEnd = static_cast<float>(r.westEnd - 0.5);
                r.eastEnd = static_cast<float>(r.eastEnd + 0.5);
                r.northEnd = static_cast<float>(r.northEnd + 0.5);
                r.southEnd = static_cast<float>(r.southEnd - 0.5);
            }
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
                readWhole(r, r.level_vId, buf.data(), n, tag);
                for (Long k = 1; k <= r.kMax; ++k)
                    r.vCoordArr(k) = buf[count(k - 1)];
                break;
            }
            case NC_INT: {
                std::vector<int> buf(n);
                readWhole(r, r.level_vId, buf.data(), n, tag);
                for (Long k = 1; k <= r.kMax; ++k)
                    r.vCoordArr(k) = buf[count(k - 1)];
                break;
            }
            case NC_FLOAT: {
                std::vector<float> buf(n);
                readWhole(r, r.level_vId, buf.data(), n, tag);
                for (Long k = 1; k <= r.kMax; ++k)
                    r.vCoordArr(k) = buf[count(k - 1)];
                break;
            }
            case NC_DOUBLE:
                readWhole(r, r.level_vId, r.vCoordArr.data() + 1, n, tag);
                break;
            default:
                ErrorMessage = std::string("Variable-Type of vertical coodrinate not expected:") +
                               kCrLf + "Variable Name = " + v.name + "\n" +
                               "Tyep Number = " + Str(v.type);
                break;
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
