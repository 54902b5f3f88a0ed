#pragma once
// The header model of one dataset: the dataset record NcfRec with its dimension records
// (DimeRec), variable records (VariRec) and the coordinate caches of its slot.
//
// Numbering, everywhere:
// - a field ending in _dId holds a netCDF dimension id counted from 0 (its record is
//   dime(id + 1)); -1 means none;
// - a field ending in _vId (and Var1st, the vector ids) holds a variable number counted from 1
//   (the netCDF variable id is the number minus 1); -1 means none;
// - type codes are the netCDF external type codes (1 byte .. 6 double; netCDF-4 types keep
//   their own codes above 6: their numbers are read, their strings and compound values not).
#include "common/Calendar.h"
#include "common/ClassicHeader.h"
#include "kelvadlib/DapBatch.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Date.h"
#include "runtime/RuntimeError.h"
#include "runtime/Types.h"
#include "runtime/VArray.h"

#include <limits>
#include <string>
#include <vector>

// Limits of the header model.
constexpr Long kMaxVarDims = 5;  // a sixth dimension fails the header read
constexpr Long kMaxNameLen = 45; // longer names are reported and kept

// The attributes of a variable, indexed 1 To size(); any other index raises RuntimeError(9).
// Every attribute is kept: files converted from GRIB carry their packing and fill attributes
// after twenty others.
template <class T> class AttList {
public:
    T& operator()(Long i) { return v_[index(i)]; }
    const T& operator()(Long i) const { return v_[index(i)]; }
    void resize(Long n) { v_.resize(static_cast<std::size_t>(n < 0 ? 0 : n)); }
    Long size() const { return static_cast<Long>(v_.size()); }

private:
    std::vector<T> v_;
    std::size_t index(Long i) const {
        if (i < 1 || i > size()) throw RuntimeError(err::Subscript);
        return static_cast<std::size_t>(i - 1);
    }
};

// A fixed array inside a record, indexed 1 To N; any other index raises RuntimeError(9).
template <class T, Long N> class FixedArray {
public:
    T& operator()(Long i) { return v_[index(i)]; }
    const T& operator()(Long i) const { return v_[index(i)]; }
    static constexpr Long LBound() { return 1; }
    static constexpr Long UBound() { return N; }

private:
    T v_[N]{};
    static std::size_t index(Long i) {
        if (i < 1 || i > N) throw RuntimeError(err::Subscript);
        return static_cast<std::size_t>(i - 1);
    }
};

struct DimeRec {
    std::string name; // cleaned name
    Long size = 0;    // the unlimited dimension's length when the header was read
    Long unLimited = 0;
    Long type = 0; // never set: always 0
};

struct VariRec {
    std::string name;     // cleaned name
    Long type = 0;        // netCDF type code
    Long narray = 0;      // number of dimensions, 0 to 5
    Long lonlatOrder = 0; // -1 no horizontal pair, 1 lon (or i) before lat (or j), 2 the other way
    Long kind = 0;        // 1 coordinate, 2 fixed, 3 record variable; 0 until classified
    FixedArray<Long, kMaxVarDims> arrayDimId;          // file order, last fastest; unused = 0
    FixedArray<std::string, kMaxVarDims> arrayDimName; // their names
    Long nattri = 0;                                   // attributes kept, all of them
    AttList<std::string> attName;                      // 1 To nattri
    AttList<Long> attType;
    AttList<std::string> attValue; // numbers as Str forms joined by two blanks
    double byteSize = 0;           // byteUnit x product of the dimension sizes
    Long byteUnit = 0;             // 1 byte and char, 2 short, 4 int and float, 8 double, 0 other
    double MisnVal = 0;            // missing value (or the fill value when only that is given)
    double FillVal = 0;            // fill value, or the type's default fill
    double scale = 0;              // 1 when absent
    double offset = 0;             // 0 when absent
    // _Unsigned = "true" on a byte or short variable: its values (and marks) are unsigned.
    bool unsignedInts = false;
    // valid_min and valid_max (or valid_range) in the values as stored; values outside are
    // missing. Infinite when not given.
    double validMin = -std::numeric_limits<double>::infinity();
    double validMax = std::numeric_limits<double>::infinity();
    std::string unit;
    std::string longName;
};

struct NcfRec {
    std::string FName; // path or URL; reads reopen the dataset by it
    Long nDimes = 0;
    Long nVars = 0;
    Long nVarsCoord = 0;
    Long nVarsRecord = 0;
    Long nVarsFixed = 0;
    Long GridType = kGridNone; // kGridNone .. kGridFvMesh
    Long DataType = 0;         // never set: always 0
    // -1 while closed. A record that never held a dataset starts closed, so that no clean-up
    // takes its 0 for a netCDF id.
    Long ncid = -1;
    // Where a local classic file keeps its values (version 0 for anything else): each read is
    // checked against the file's size at the time.
    ClassicLayout classic;
    Long UnLimDId = 0; // -1 when there is no unlimited dimension
    Long nGatts = 0;
    VArray<std::string> gAttName;  // 0 To nGatts, element 0 left empty
    VArray<std::string> gAttValue; // 0 To nGatts
    VArray<Long> gAttType;         // 0 To nGatts
    Long lonlatOrder = 0;
    float westEnd = 0, eastEnd = 0, northEnd = 0, southEnd = 0;
    float dLon = 0, dLat = 0;
    Long nLon = 0, nLat = 0;
    Long nCells = 0;
    Long nTime = 0;
    Long nNodes = 0;
    Long nElements = 0;
    Long LLbyNodeOrEleement = 0;
    Long nNodesAll = 0;
    Long FV_dimensions = 0, FV_layers = 0;
    Long iMax = 0, jMax = 0, kMax = 0;
    Long lon_dId = 0, lon_vId = 0;
    Long lat_dId = 0, lat_vId = 0;
    Long time_dId = 0, time_vId = 0;
    Long TimePick = 0;
    Long level_dId = 0, level_vId = 0;
    Long LevelPick = 0;
    Long nCell_dId = 0, node_dId = 0, elem_dId = 0;
    Long face_dId = 0;
    Long faceNodes_vId = 0; // the corner table a mesh topology names; 0 when none names one
    Long iCell_dId = 0, jCell_dId = 0, kCell_dId = 0;
    // A cell list whose positions move along this dimension (drifters over the time axis, the
    // observations of a trajectory by trajectory); -1 when each cell stays in its place.
    Long moving_dId = -1;
    Long nSide = 0;
    Long nXysize = 0;
    Long spacing_vId = 0, dimension_vId = 0;
    Date EpochDate;
    Date startDate;
    std::string StartTime;
    Long StartTimeMin = 0;
    Date endDate;
    std::string endTime;
    Long endTimeMin = 0;
    std::string timeUnit;
    Calendar calendar = Calendar::Standard; // of the time variable; axis dates count in it
    Long Dated = 0;
    Long dTimeSec = 0;
    Long Var1st = 0;
    Long waterUvId = 0, waterVvId = 0, windUvId = 0, windVvId = 0, waterTempvId = 0;
    Long Vector = 0;      // 0 none, 1 water pair, 2 wind pair
    VArray<DimeRec> dime; // 1 To nDimes: record d + 1 is netCDF dimension d
    VArray<VariRec> vari; // 1 To nVars: record v + 1 is netCDF variable v

    // Coordinate caches of this slot, filled by its set-up and read by the fills, the time
    // lookups and the windows. Each slot keeps its own, so that every member answers for the
    // slot it names. The header read empties them: they belong to the dataset it replaces.
    VArray<float> lonArr, latArr;              // degrees, layout by GridType
    // The positions of a moving cell list, row after row of moving_dId, nCells to a row; a
    // report without a position holds the float fill in both.
    VArray<float> lonMoving, latMoving;
    VArray<double> timeArr;                    // 1 To nTime, raw time values
    VArray<double> vCoordArr;                  // 0 To kMax, element 0 left 0
    VArray<Long> node1Arr, node2Arr, node3Arr; // 1-based corners of each triangle of the mesh
    VArray<Long> nodeElemArr;                  // the element each triangle comes from
    // GMT work arrays (1 To nSide): the DIMENSION, SPACING and range variables.
    VArray<Long> gmtDimension;
    VArray<double> gmtSpacing, gmtXRange, gmtYRange, gmtZRange;
    // Values fetched for the set-up in one request when the dataset is a DAP2 URL; the reads
    // of the set-up take them from here (GetVara). After the set-up only the corner table of a
    // mesh is kept, which every FillNodeMesh reads again.
    DapSlabs held;

    void EraseCaches() {
        lonArr.Erase();
        latArr.Erase();
        lonMoving.Erase();
        latMoving.Erase();
        timeArr.Erase();
        vCoordArr.Erase();
        node1Arr.Erase();
        node2Arr.Erase();
        node3Arr.Erase();
        nodeElemArr.Erase();
        gmtDimension.Erase();
        gmtSpacing.Erase();
        gmtXRange.Erase();
        gmtYRange.Erase();
        gmtZRange.Erase();
        held.clear();
    }
};

// The first and the last step of the slot's time cache that hold a time: a step whose value is
// the fill (a record not yet written) holds NaN. 0 when no step has a time.
inline Long FirstTimedStep(const NcfRec& r) {
    if (!r.timeArr.IsAllocated()) return 0;
    for (Long i = r.timeArr.LBound(); i <= r.timeArr.UBound(); ++i)
        if (r.timeArr(i) == r.timeArr(i)) return i;
    return 0;
}
inline Long LastTimedStep(const NcfRec& r) {
    if (!r.timeArr.IsAllocated()) return 0;
    for (Long i = r.timeArr.UBound(); i >= r.timeArr.LBound(); --i)
        if (r.timeArr(i) == r.timeArr(i)) return i;
    return 0;
}

// The corner table of a mesh: the one its topology names, else the last fixed variable over the
// nodes-per-element dimension, by number; 0 when there is none, -1 when one of them has more
// than two dimensions.
Long NodeTableVar(const NcfRec& r);
