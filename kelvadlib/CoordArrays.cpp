// The coordinate caches of a slot handed out as the caller's arrays, and the corner table of
// a mesh read from its connectivity variable.
#include "common/NetCDF.h"
#include "kelvadlib/GridKinds.h"
#include "kelvadlib/Kelvad.h"
#include "kelvadlib/Utils.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"

#include <netcdf.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// The program's degree-to-radian factor, 3.1415926 / 180 (not the exact pi / 180).
constexpr double kDegToRad = 0.017453292222222222;

float toRad(float degrees) {
    return static_cast<float>(static_cast<double>(degrees) * kDegToRad);
}

// The handler text of the fills: "[tag] Error(number n)is:" CR LF and the quoted description.
std::string fillErrorText(const std::string& procedure, const RuntimeError& e) {
    return "[" + procedure + "] Error(number " + CStr(static_cast<Long>(e.number())) +
           ")is:\r\n\"" + e.description() + "\"";
}

Variant result(Integer value) {
    return Variant(value);
}

// The cache times the factor, over 1 To n.
void scaledCopy(const VArray<float>& cache, Long n, VArray<float>& out) {
    out.ReDim(1, n);
    for (Long i = 1; i <= n; ++i)
        out(i) = toRad(cache(i));
}

// Degrees: copies with the caches' own bounds. Radians: nLon and nLat positions scaled.
bool copyPositions(const NcfRec& r, Long nLon, Long nLat, VArray<float>& outLon,
                   VArray<float>& outLat, bool rad) {
    if (!rad) {
        outLon = r.lonArr;
        outLat = r.latArr;
        return true;
    }
    scaledCopy(r.lonArr, nLon, outLon);
    scaledCopy(r.latArr, nLat, outLat);
    return true;
}

} // namespace

// Cell lists, regular and GMT grids and finite-element meshes: the caches as they are, or
// times the factor over 1 To the count of positions along each.
bool FillCellPositions(Kelvad&, NcfRec& r, VArray<float>& outLon, VArray<float>& outLat,
                       bool rad) {
    return copyPositions(r, r.nCells, r.nCells, outLon, outLat, rad);
}

bool FillAxes(Kelvad&, NcfRec& r, VArray<float>& outLon, VArray<float>& outLat, bool rad) {
    return copyPositions(r, r.nLon, r.nLat, outLon, outLat, rad);
}

bool FillFeMeshNodes(Kelvad&, NcfRec& r, VArray<float>& outLon, VArray<float>& outLat,
                     bool rad) {
    return copyPositions(r, r.nNodes, r.nNodes, outLon, outLat, rad);
}

// Boundary-fitted grids: the flat caches laid out as the caller's two-dimensional arrays, in
// the order lonlatOrder asks for.
bool FillBoundaryFitted(Kelvad&, NcfRec& r, VArray<float>& outLon, VArray<float>& outLat,
                        bool rad) {
    auto value = [rad](float x) { return rad ? toRad(x) : x; };
    // The caches in their own order, rows x cols: i first (iMax x jMax) or j first
    // (jMax x iMax). Either way the flat cache runs row by row, as the arrays lay out.
    auto laidOut = [&](Long rows, Long cols) {
        outLon.ReDim(1, rows, 1, cols);
        outLat.ReDim(1, rows, 1, cols);
        Long k = 0;
        for (Long a = 1; a <= rows; ++a)
            for (Long b = 1; b <= cols; ++b) {
                k = AddL(k, 1);
                outLat(a, b) = value(r.latArr(k));
                outLon(a, b) = value(r.lonArr(k));
            }
    };
    auto iFirst = [&] { laidOut(r.iMax, r.jMax); };
    auto jFirst = [&] { laidOut(r.jMax, r.iMax); };
    switch (r.lonlatOrder) {
    case 1:
        iFirst();
        // Such files are read in the other order by the next fill.
        if (r.dime(1).name == "gridi") r.lonlatOrder = 4;
        break;
    case 2:
        jFirst();
        break;
    case 3: {
        // Variables of both orders share one pair of coordinate variables: the arrays keep
        // the layout of the longitude variable itself, and their bounds tell it.
        const Long coordOrder = r.lon_vId >= 1 ? r.vari(r.lon_vId).lonlatOrder : -1;
        if (coordOrder == 1)
            iFirst();
        else if (coordOrder == 2)
            jFirst();
        break;
    }
    case 4: {
        // Into the arrays the order-1 fill dimensioned.
        Long k = 0;
        for (Long j = 1; j <= r.jMax; ++j)
            for (Long i = 1; i <= r.iMax; ++i) {
                k = AddL(k, 1);
                outLat(i, j) = value(r.latArr(k));
                outLon(i, j) = value(r.lonArr(k));
            }
        r.lonlatOrder = 1;
        break;
    }
    default:
        break;
    }
    return true;
}

namespace {

// The centre of each element's corners, from its triangles: the first gives three corners, the
// second half of a split quadrangle adds its last one.
void elementCentres(const NcfRec& r, VArray<float>& outLon, VArray<float>& outLat, bool rad) {
    const std::size_t n = static_cast<std::size_t>(std::max<Long>(r.nElements, 0));
    std::vector<double> sumLon(n, 0.0), sumLat(n, 0.0);
    std::vector<int> corners(n, 0);
    for (Long t = 1; t <= r.nodeElemArr.UBound(); ++t) {
        const Long e = r.nodeElemArr(t);
        if (e < 1 || e > r.nElements) throw RuntimeError(err::Subscript);
        const std::size_t i = static_cast<std::size_t>(e - 1);
        if (corners[i] == 0) {
            const Long a = r.node1Arr(t), b = r.node2Arr(t), c = r.node3Arr(t);
            sumLon[i] = double{r.lonArr(a)} + double{r.lonArr(b)} + double{r.lonArr(c)};
            sumLat[i] = double{r.latArr(a)} + double{r.latArr(b)} + double{r.latArr(c)};
            corners[i] = 3;
        } else {
            sumLon[i] += double{r.lonArr(r.node3Arr(t))};
            sumLat[i] += double{r.latArr(r.node3Arr(t))};
            ++corners[i];
        }
    }
    outLon.ReDim(1, r.nElements);
    outLat.ReDim(1, r.nElements);
    for (Long e = 1; e <= r.nElements; ++e) {
        const std::size_t i = static_cast<std::size_t>(e - 1);
        // An element without a triangle has no centre: the table was never read.
        if (corners[i] == 0) throw RuntimeError(err::Subscript);
        outLon(e) = static_cast<float>(sumLon[i] / corners[i]);
        outLat(e) = static_cast<float>(sumLat[i] / corners[i]);
        if (rad) {
            outLon(e) = toRad(outLon(e));
            outLat(e) = toRad(outLat(e));
        }
    }
}

} // namespace

// Finite-volume meshes: node coordinates on request (outLon(1) < 0), else one position per
// element. False with ErrorMessage set when the request cannot be met.
bool FillFiniteVolume(Kelvad& kv, NcfRec& r, VArray<float>& outLon, VArray<float>& outLat,
                      bool rad) {
    // An array never dimensioned asks for nothing.
    if (!outLon.IsAllocated()) outLon.ReDim(0, 1);
    const bool nodeRequest = outLon(1) < 0;
    const bool onNodes = r.vari(r.lon_vId).arrayDimId(1) == r.node_dId;
    if (onNodes && nodeRequest) {
        outLon = r.lonArr;
        outLat = r.latArr;
        if (rad) {
            for (Long i = 1; i <= outLon.UBound(); ++i) {
                outLon(i) = toRad(outLon(i));
                outLat(i) = toRad(outLat(i));
            }
        }
    } else if (onNodes) {
        elementCentres(r, outLon, outLat, rad);
    } else if (nodeRequest) {
        kv.ErrorMessage = "This file does not have node coordinates";
        return false;
    } else {
        return copyPositions(r, r.nElements, r.nElements, outLon, outLat, rad);
    }
    return true;
}

namespace {

Variant fillLonLat(Kelvad& kv, Long nH, VArray<float>& outLon, VArray<float>& outLat, bool rad) {
    const std::string procedure = rad ? "doFill_LonLatRad" : "doFill_LonLatDeg";
    try {
        NcfRec& r = kv.ncf(nH);
        const GridKind* kind = GridKindOf(r.GridType);
        if (kind == nullptr) {
            kv.ErrorMessage = "unknown file type";
            return result(-1);
        }
        if (!kind->fillLonLat(kv, r, outLon, outLat, rad)) return result(-1);
        return result(1);
    } catch (const RuntimeError& e) {
        kv.ErrorMessage = fillErrorText(procedure, e);
        return result(-1);
    }
}

} // namespace

Variant Kelvad::doFill_LonLatRad(Long nH, VArray<float>& outLon, VArray<float>& outLat) {
    return fillLonLat(*this, nH, outLon, outLat, true);
}

Variant Kelvad::doFill_LonLatDeg(Long nH, VArray<float>& outLon, VArray<float>& outLat) {
    return fillLonLat(*this, nH, outLon, outLat, false);
}

// Row `index` of a moving cell list's positions, 1 To nCells; a report without a position
// keeps the fill, which no caller takes for a place (scaled, it is still far off the globe).
Long Kelvad::doFill_LonLatAt(Long nH, Long index, VArray<float>& outLon, VArray<float>& outLat,
                             bool rad) {
    const std::string tag = rad ? "[FillLonLatAtRad] " : "[FillLonLatAtDeg] ";
    const NcfRec& r = ncf(nH);
    if (r.GridType != kGridCells || r.moving_dId < 0 || !r.lonMoving.IsAllocated()) {
        ErrorMessage = tag + "the cells of this file do not move";
        return -1;
    }
    const Long rows = r.nCells > 0 ? r.lonMoving.size() / r.nCells : 0;
    if (index < 1 || index > rows) {
        ErrorMessage = tag + "index " + CStr(index) + " out of 1 To " + CStr(rows);
        return -1;
    }
    outLon.ReDim(1, r.nCells);
    outLat.ReDim(1, r.nCells);
    const Long first = (index - 1) * r.nCells;
    for (Long c = 1; c <= r.nCells; ++c) {
        const float x = r.lonMoving(first + c), y = r.latMoving(first + c);
        outLon(c) = rad ? toRad(x) : x;
        outLat(c) = rad ? toRad(y) : y;
    }
    return 1;
}

Long NodeTableVar(const NcfRec& r) {
    if (r.faceNodes_vId > 0) return r.faceNodes_vId;
    Long found = 0;
    for (Long n = 1; n <= r.nVars; ++n) {
        const VariRec& v = r.vari(n);
        if (v.kind != 2) continue;
        bool overFaces = false;
        for (Long k = 1; k <= v.narray; ++k)
            if (v.arrayDimId(k) == r.face_dId) overFaces = true;
        if (!overFaces) continue;
        if (v.narray > 2) return -1;
        found = n;
    }
    return found;
}

namespace {

// The shape of a corner table, before anything is read: elements by corners, or corners by
// elements (each corner a row of its own, as FVCOM writes "nv"); a single element may come
// without its element dimension.
struct CornerShape {
    bool fits = false;
    bool cornersFirst = false;
};
CornerShape cornerShape(const NcfRec& r, const VariRec& v) {
    const auto sizeOf = [&](Long k) { return r.dime(v.arrayDimId(k) + 1).size; };
    CornerShape s;
    if (v.narray == 2) {
        if (v.arrayDimId(2) == r.face_dId && sizeOf(1) == r.nElements && sizeOf(2) == r.nSide) {
            s.fits = true;
        } else if (v.arrayDimId(1) == r.face_dId && sizeOf(1) == r.nSide &&
                   sizeOf(2) == r.nElements) {
            s.fits = true;
            s.cornersFirst = true;
        }
    } else {
        s.fits = r.nElements == 1 && sizeOf(1) == r.nSide;
    }
    return s;
}

// The message of a table whose shape does not fit.
std::string shapeMismatch(const NcfRec& r, const VariRec& v) {
    const auto sizeOf = [&](Long k) { return r.dime(v.arrayDimId(k) + 1).size; };
    std::string shape = CStr(sizeOf(1));
    if (v.narray == 2) shape += " x " + CStr(sizeOf(2));
    return "Node connection variable " + v.name + " is " + shape + ", not " +
           CStr(r.nElements) + " elements x " + CStr(r.nSide) + " nodes";
}

// The number of the first node: the variable's start_index says it; without one, a table that
// never uses 0 and stays within the node count is counted from 1. The node count is that of
// the file's own numbering, every node of a column counted. numbers holds the values that name
// nodes (no padding).
double firstNodeNumber(const NcfRec& r, const std::string& startIndex,
                       const std::vector<int>& numbers) {
    if (!Trim(startIndex).empty()) return Val(startIndex);
    if (numbers.empty()) return 0;
    const int64_t levels = int64_t{r.FV_layers} + 1;
    const int64_t numbered = int64_t{r.nNodes} * levels;
    const bool usesZero = std::find(numbers.begin(), numbers.end(), 0) != numbers.end();
    const int64_t largest = *std::max_element(numbers.begin(), numbers.end());
    // Columns numbered from 0 name only their first levels, whether or not the first column is
    // used.
    const bool columnStarts =
        levels > 1 &&
        std::all_of(numbers.begin(), numbers.end(), [levels](int n) { return n % levels == 0; });
    // A mesh whose last node is unused is counted from 1 too.
    return !usesZero && !columnStarts && largest <= numbered ? 1 : 0;
}

// A table of four corners (SCHISM, D-Flow FM) holds triangles and quadrangles; a triangle's
// fourth corner is padding: the variable's _FillValue, or any value below the first node
// number (-1, as some writers pad). A number repeating one of the first three corners also
// leaves a triangle.
struct Padding {
    bool possible = false; // a table of four corners
    bool hasFill = false;
    int fill = 0;
    // Padding whatever the first node number (which is not known before the padding is left
    // out of its guess).
    bool sure(int value) const { return possible && ((hasFill && value == fill) || value < 0); }
};

// The values of the table that name nodes.
template <class IsFourth>
std::vector<int> nodeNumbers(const std::vector<int>& buf, const Padding& pad,
                             IsFourth fourthCorner) {
    std::vector<int> out;
    out.reserve(buf.size());
    for (std::size_t k = 0; k < buf.size(); ++k)
        if (!(fourthCorner(k) && pad.sure(buf[k]))) out.push_back(buf[k]);
    return out;
}

// The whole table in one read: over OPeNDAP every read is a request of its own. The netCDF
// status; the dataset closed when the read failed.
int readCornerTable(Kelvad& kv, Long nNc, Long found, std::vector<int>& buf) {
    NcfRec& r = kv.ncf(nNc);
    const VariRec& v = r.vari(found);
    const Long total = MulL(r.nSide, r.nElements);
    if (total < 1) throw RuntimeError(err::Subscript);
    buf.assign(static_cast<std::size_t>(total), 0);
    int status = kv.ReopenSlot(nNc);
    if (status == NC_NOERR) {
        std::size_t start[2] = {0, 0}, cnt[2] = {1, 1};
        for (Long k = 1; k <= v.narray; ++k)
            cnt[k - 1] = static_cast<std::size_t>(r.dime(v.arrayDimId(k) + 1).size);
        status = GetVara(r.held, r.ncid, static_cast<int>(found - 1), start, cnt, buf.data());
    }
    if (status != NC_NOERR) kv.CloseSlot(nNc);
    return status;
}

} // namespace

Long Kelvad::doFill_NodeMesh(Long nNc, VArray<Long>& node1, VArray<Long>& node2,
                             VArray<Long>& node3, VArray<Long>* element) {
    const std::string tag = "[doFill_NodeMesh] ";
    // A failed fill leaves no corner table, so that no caller goes on drawing the triangles of
    // the dataset it filled before.
    const auto fail = [&](const std::string& text) {
        ErrorMessage = text;
        node1.Erase();
        node2.Erase();
        node3.Erase();
        if (element != nullptr) element->Erase();
        return Long{-1};
    };
    try {
        NcfRec& r = ncf(nNc);
        // A triangle needs three corners.
        if (r.face_dId < 0 || r.nSide < 3) return fail(tag + "Node connection dimension not set: ");
        const Long found = NodeTableVar(r);
        if (found < 0) return fail(tag + "ncf(nNc).vari(n).narray > 2 ");
        if (found == 0) return fail(tag + "Node connection varable not found: ");
        const VariRec& v = r.vari(found);
        const CornerShape shape = cornerShape(r, v);
        if (!shape.fits) return fail(tag + shapeMismatch(r, v));

        std::vector<int> buf;
        const int status = readCornerTable(*this, nNc, found, buf);
        if (status != NC_NOERR) return fail(tag + "NetCDF Error: " + NcErrorText(status));

        const std::size_t nSide = static_cast<std::size_t>(r.nSide);
        const std::size_t nElements = static_cast<std::size_t>(r.nElements);
        const auto at = [&](Long n, std::size_t c) {
            const std::size_t e = static_cast<std::size_t>(n - 1);
            const std::size_t k = shape.cornersFirst ? c * nElements + e : e * nSide + c;
            if (k >= buf.size()) throw RuntimeError(err::Subscript);
            return k;
        };
        Padding pad;
        pad.possible = r.nSide == 4;
        const std::string fill = GetAttVbyVarNumbyAttname(found, "_FillValue", nNc);
        pad.hasFill = !Trim(fill).empty();
        if (pad.hasFill) pad.fill = static_cast<int>(Val(fill));
        const auto fourthCorner = [&](std::size_t k) {
            return (shape.cornersFirst ? k / nElements : k % nSide) == 3;
        };
        const std::string startIndex = GetAttVbyVarNumbyAttname(found, "start_index", nNc);
        const double base =
            pad.possible ? firstNodeNumber(r, startIndex, nodeNumbers(buf, pad, fourthCorner))
                         : firstNodeNumber(r, startIndex, buf);

        // Each element's first three corners; with layers the file numbers every node of a
        // column, and the division folds such a number onto its horizontal node.
        const double perColumn = r.FV_layers + 1.0;
        auto node = [&](std::size_t k) {
            return AddL(CLng(Fix(Div(buf[k] - base, perColumn))), 1);
        };
        std::vector<Long> corners, from;
        corners.reserve(3 * nElements);
        from.reserve(nElements);
        for (Long n = 1; n <= r.nElements; ++n) {
            Long c[4] = {0, 0, 0, 0};
            Long count = 3;
            for (std::size_t i = 0; i < 4; ++i) {
                if (i == 3) {
                    if (!pad.possible) break;
                    const int value = buf[at(n, 3)];
                    if (pad.sure(value) || value < base) break;
                }
                c[i] = node(at(n, i));
                if (c[i] < 1 || c[i] > r.nNodes)
                    return fail(tag + "Node number " + CStr(c[i]) + " of element " + CStr(n) +
                                " is outside 1 to " + CStr(r.nNodes));
                if (i == 3 && c[3] != c[0] && c[3] != c[1] && c[3] != c[2]) count = 4;
            }
            // A quadrangle is split along its diagonal from the first corner: the second half
            // adds the fourth corner last.
            corners.insert(corners.end(), {c[0], c[1], c[2]});
            from.push_back(n);
            if (count == 4) {
                corners.insert(corners.end(), {c[0], c[2], c[3]});
                from.push_back(n);
            }
        }
        const Long triangles = static_cast<Long>(from.size());
        VArray<Long> n1(1, triangles), n2(1, triangles), n3(1, triangles), src(1, triangles);
        for (Long t = 1; t <= triangles; ++t) {
            const std::size_t k = 3 * static_cast<std::size_t>(t - 1);
            n1(t) = corners[k];
            n2(t) = corners[k + 1];
            n3(t) = corners[k + 2];
            src(t) = from[static_cast<std::size_t>(t - 1)];
        }
        node1 = std::move(n1);
        node2 = std::move(n2);
        node3 = std::move(n3);
        if (element != nullptr) *element = std::move(src);
        return 1;
    } catch (const RuntimeError& e) {
        return fail(fillErrorText("doFill_NodeMesh", e));
    }
}

Long Kelvad::doFill_vCoord(Long nH, VArray<double>& outvCoord) {
    try {
        const NcfRec& r = ncf(nH);
        outvCoord.ReDim(1, r.kMax);
        for (Long k = 1; k <= r.kMax; ++k)
            outvCoord(k) = r.vCoordArr(k);
        return 1;
    } catch (const RuntimeError& e) {
        ErrorMessage = ErrorFrame("", e);
        return -1;
    }
}
