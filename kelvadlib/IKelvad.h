#pragma once
// The interface of the dataset library: the one thing the viewer sees of it. The members stand
// in their fixed order (a property's get before its let); a property get is named as the
// property, its let is an overload of the same name taking the new value last. Most members
// take the dataset slot nNc last (default 1). No member lets an exception out: a failure is a
// result value, most with their reason in ErrorMessage.
//
// The line above each member says what it answers and, after "else", what it answers when its
// slot, variable, dimension, attribute, step or index is out of range or the call fails. A read
// answers Empty when its slot, variable or an index array is out of range (its arrays left as
// they were) and the Integer -1 when the read itself fails: "else -1 or Empty". Date 0 is
// 1899-12-30 00:00.
//
// Time axes keep the calendar of their time variable: a slot's Dates and Orv minutes
// (EpochDate, startDate, endDate, StartTimeMin, endTimeMin, FillOrvTime, and the times given to
// TimePt, ClosestTstep, TstepByMin) count days since 1899-12-30 in that calendar, and its date
// texts (StartTime, endTime, DatePicked, a text given to TimePt) are dates of that calendar
// (common/Calendar.h). For the standard calendar after 1582 they are the runtime's dates.
#include "runtime/Date.h"
#include "runtime/Types.h"
#include "runtime/VArray.h"
#include "runtime/Variant.h"

#include <optional>
#include <string>

#define KELVAD_EXPORT __attribute__((visibility("default")))

// The layouts GridType answers: how the horizontal positions of a dataset are laid out.
inline constexpr Long kGridNone = 0;    // no horizontal coordinates recognised
inline constexpr Long kGridCells = 1;   // a list of cells, one position each
inline constexpr Long kGridRegular = 2; // a longitude axis and a latitude axis
inline constexpr Long kGridBfg = 3;     // a boundary-fitted grid: positions over i and j
inline constexpr Long kGridFeMesh = 4;  // a finite-element mesh, positions at the nodes
inline constexpr Long kGridGmt = 5;     // a GMT grid: ranges and spacing, values in one vector
inline constexpr Long kGridFvMesh = 6;  // a finite-volume mesh, positions at elements or nodes

// Not exported itself: callers bind through the virtual table alone, so the factory below is the
// library's one export.
class IKelvad {
public:
    virtual ~IKelvad() = default;

    // Value of attribute attname (any case) of variable varNum (0: of the dataset); else "".
    virtual std::string GetAttVbyVarNumbyAttname(Long varNum, const std::string& attname,
                                                 Long nNc = 1) = 0; // 1 method
    // Steps nt1, nt2 and weights tw1, tw2 around a date or Orv minutes: 1; 0 off the axis; else -1.
    virtual Long TimePt(const Variant& showDate, Long& nt1, Long& nt2, float& tw1, float& tw2,
                        Long nNc = 1) = 0; // 2 method
    // The text of the last failure or warning; "" until there is one.
    virtual std::string ErrorMessage() = 0; // 3 get
    // Path or URL the slot was opened from; else "".
    virtual std::string FName(Long nNc = 1) = 0; // 4 get
    // Westmost longitude in degrees (900 when none could be read); else 0.
    virtual float westEnd(Long nNc = 1) = 0; // 5 get
    // Eastmost longitude in degrees (-900 when none could be read); else 0.
    virtual float eastEnd(Long nNc = 1) = 0; // 6 get
    // Layout: 0 none, 1 cells, 2 regular, 3 boundary-fitted, 4 FE mesh, 5 GMT, 6 FV mesh; else 0.
    virtual Long GridType(Long nNc = 1) = 0; // 7 get
    // netCDF id (from 0) of the unlimited dimension, -1 if none; else 0, itself a valid id.
    virtual Long UnLimDId(Long nNc = 1) = 0; // 8 get
    // Number of global attributes; else 0.
    virtual Long nGatts(Long nNc = 1) = 0; // 9 get
    // The first record variable, or the first fixed one when there is none, -1 neither; else 0.
    virtual Long Var1st(Long nNc = 1) = 0; // 10 get
    // Never set: always 0.
    virtual Long DataType(Long nNc = 1) = 0; // 11 get
    // Northmost latitude in degrees (-900 when none could be read); else 0.
    virtual float northEnd(Long nNc = 1) = 0; // 12 get
    // Southmost latitude in degrees (900 when none could be read); else 0.
    virtual float southEnd(Long nNc = 1) = 0; // 13 get
    // Number of time steps, 0 without a time axis; else 0.
    virtual Long nTime(Long nNc = 1) = 0; // 14 get
    // Number of horizontal mesh nodes, 0 without a mesh; else 0.
    virtual Long nNodes(Long nNc = 1) = 0; // 15 get
    // Number of mesh elements; else 0.
    virtual Long nElements(Long nNc = 1) = 0; // 16 get
    // Size of the cell dimension of a cell list; else 0.
    virtual Long nCells(Long nNc = 1) = 0; // 17 get
    // Number of longitudes of a regular or GMT grid; else 0.
    virtual Long nLon(Long nNc = 1) = 0; // 18 get
    // Number of latitudes of a regular or GMT grid; else 0.
    virtual Long nLat(Long nNc = 1) = 0; // 19 get
    // Size of the "XYSIZE" dimension of a GMT grid; else 0.
    virtual Long nXysize(Long nNc = 1) = 0; // 20 get
    // Corners per mesh element (3 or 6), or the size of a GMT grid's "side"; else 0.
    virtual Long nSide(Long nNc = 1) = 0; // 21 get
    // Size of the i dimension of a boundary-fitted grid; else 0.
    virtual Long iMax(Long nNc = 1) = 0; // 22 get
    // Size of the j dimension of a boundary-fitted grid; else 0.
    virtual Long jMax(Long nNc = 1) = 0; // 23 get
    // Number of levels, 0 without a vertical axis; else 0.
    virtual Long kMax(Long nNc = 1) = 0; // 24 get
    // Name of dimension nd (1 To nDimes, netCDF id nd - 1); else "".
    virtual std::string dimeName(Long nd, Long nNc = 1) = 0; // 25 get
    // Length of dimension nd (the unlimited one's when the header was read); else 0.
    virtual Long dimeSize(Long nd, Long nNc = 1) = 0; // 26 get
    // 1 for the unlimited dimension, 0 for another; else 0.
    virtual Long dimeUnLimited(Long nd, Long nNc = 1) = 0; // 27 get
    // Never set: always 0.
    virtual Long dimeType(Long nd, Long nNc = 1) = 0; // 28 get
    // Number of dimensions; else 0.
    virtual Long nDimes(Long nNc = 1) = 0; // 29 get
    // netCDF id of the time dimension, -1 if none; else 0, itself a valid id.
    virtual Long TimedId(Long nNc = 1) = 0; // 30 get
    // Number of the time variable, 0 when none was found; else 0.
    virtual Long TimevId(Long nNc = 1) = 0; // 31 get
    // netCDF id of the vertical dimension, -1 if none; else 0, itself a valid id.
    virtual Long LeveldId(Long nNc = 1) = 0; // 32 get
    // Number of the level variable (a GMT grid's z range), 0 when none was found; else 0.
    virtual Long LevelvId(Long nNc = 1) = 0; // 33 get
    // netCDF id of the longitude dimension, -1 unless lon is a coordinate variable; else 0.
    virtual Long LondId(Long nNc = 1) = 0; // 34 get
    // Number of the longitude variable, -1 if none; else 0.
    virtual Long lonvId(Long nNc = 1) = 0; // 35 get
    // netCDF id of the latitude dimension, -1 unless lat is a coordinate variable; else 0.
    virtual Long LatdId(Long nNc = 1) = 0; // 36 get
    // Number of the latitude variable, -1 if none; else 0.
    virtual Long latvId(Long nNc = 1) = 0; // 37 get
    // netCDF id of the mesh node dimension, -1 if none; else 0.
    virtual Long nodedId(Long nNc = 1) = 0; // 38 get
    // netCDF id of the mesh element dimension, -1 if none; else 0.
    virtual Long elemdId(Long nNc = 1) = 0; // 39 get
    // netCDF id of the cell dimension, -1 if none; else 0.
    virtual Long nCelldId(Long nNc = 1) = 0; // 40 get
    // netCDF id of the i dimension of a boundary-fitted grid, -1 if none; else 0.
    virtual Long iCelldId(Long nNc = 1) = 0; // 41 get
    // netCDF id of the j dimension of a boundary-fitted grid, -1 if none; else 0.
    virtual Long jCelldId(Long nNc = 1) = 0; // 42 get
    // Level dimension id, only when the levels are no coordinate variable (-1 otherwise); else 0.
    virtual Long kCelldId(Long nNc = 1) = 0; // 43 get
    // Number of variables; else 0.
    virtual Long nVars(Long nNc = 1) = 0; // 44 get
    // Number of coordinate variables (kind 1); else 0.
    virtual Long nVarsCoord(Long nNc = 1) = 0; // 45 get
    // Number of record variables (kind 3); else 0.
    virtual Long nVarsRecord(Long nNc = 1) = 0; // 46 get
    // Number of fixed variables (kind 2); else 0.
    virtual Long nVarsFixed(Long nNc = 1) = 0; // 47 get
    // Name of variable nv (1 To nVars, netCDF id nv - 1); else "".
    virtual std::string variName(Long nv, Long nNc = 1) = 0; // 48 get
    // netCDF type code of variable nv (1 byte .. 6 double, netCDF-4 codes above); else 0.
    virtual Long variType(Long nv, Long nNc = 1) = 0; // 49 get
    // Kind of variable nv: 1 coordinate, 2 fixed, 3 record, 0 not classified; else 0.
    virtual Long variKind(Long nv, Long nNc = 1) = 0; // 50 get
    // Name of attribute nA (1 To variNattri) of variable nv; else "".
    virtual std::string variAttName(Long nv, Long nA, Long nNc = 1) = 0; // 51 get
    // Value of attribute nA of variable nv as text (numbers joined by two blanks); else "".
    virtual std::string variAttValue(Long nv, Long nA, Long nNc = 1) = 0; // 52 get
    // netCDF type code of attribute nA of variable nv as text ("5"); else "".
    virtual std::string variAttType(Long nv, Long nA, Long nNc = 1) = 0; // 53 get
    // Number of dimensions of variable nv (0 to 5); else 0.
    virtual Long variNarray(Long nv, Long nNc = 1) = 0; // 54 get
    // Number of attributes kept for variable nv (at most 20); else 0.
    virtual Long variNattri(Long nv, Long nNc = 1) = 0; // 55 get
    // Bytes of variable nv: variByteUnit times the product of its dimension sizes; else 0.
    virtual double variByteSize(Long nv, Long nNc = 1) = 0; // 56 get
    // Bytes per value of variable nv (1, 2, 4 or 8; 0 for other types); else 0.
    virtual Long variByteUnit(Long nv, Long nNc = 1) = 0; // 57 get
    // Units of variable nv (or the unit written in its long name); else "".
    virtual std::string variUnit(Long nv, Long nNc = 1) = 0; // 58 get
    // Long name of variable nv; else "".
    virtual std::string variLongName(Long nv, Long nNc = 1) = 0; // 59 get
    // Scale factor of variable nv as text ("1" without one); else "".
    virtual std::string variScale(Long nv, Long nNc = 1) = 0; // 60 get
    // Missing-value mark of variable nv as text; else "".
    virtual std::string variMisnVal(Long nv, Long nNc = 1) = 0; // 61 get
    // Add offset of variable nv as text ("0" without one); else "".
    virtual std::string variOffset(Long nv, Long nNc = 1) = 0; // 62 get
    // Name of dimension nd (1 To variNarray, file order) of variable nv; else "".
    virtual std::string variArrayDimName(Long nv, Long nd, Long nNc = 1) = 0; // 63 get
    // netCDF id of dimension nd of variable nv; else 0, itself a valid id.
    virtual Long variArrayDimID(Long nv, Long nd, Long nNc = 1) = 0; // 64 get
    // Longitudes and latitudes in radians, laid out by GridType, into lon and lat: 1; else -1.
    virtual Long FillLonLatRad(VArray<float>& lon, VArray<float>& lat,
                               Long nNc = 1) = 0; // 65 method
    // Longitudes and latitudes in degrees, laid out by GridType, into lon and lat: 1; else -1.
    virtual Long FillLonLatDeg(VArray<float>& lon, VArray<float>& lat,
                               Long nNc = 1) = 0; // 66 method
    // Radian coordinates of window startp To endp Step stride into lonOut, latOut: 1; else -1.
    virtual Long GetLonLatRad(VArray<float>& lonOut, VArray<float>& latOut,
                              const VArray<Long>& startp, const VArray<Long>& endp,
                              const VArray<Long>& stride, Long tcount,
                              Long nNc = 1) = 0; // 67 method
    // Degree coordinates of window startp To endp Step stride into lonOut, latOut: 1; else -1.
    virtual Long GetLonLatDeg(VArray<float>& lonOut, VArray<float>& latOut,
                              const VArray<Long>& startp, const VArray<Long>& endp,
                              const VArray<Long>& stride, Long tcount,
                              Long nNc = 1) = 0; // 68 method
    // The raw time values, 1 To nTime, into Time: 1; else -1.
    virtual Long FillTime(VArray<double>& Time, Long nNc = 1) = 0; // 69 method
    // Steps in Orv minutes (every Time(1)-th; undated ones in sDate's year): their count; else -1.
    virtual Long FillOrvTime(VArray<Long>& Time, Long nNc = 1,
                             std::optional<Date> sDate = std::nullopt) = 0; // 70 method
    // The level values, 1 To kMax, into vCorrd: 1; else -1.
    virtual Long FillvCoord(VArray<double>& vCorrd, Long nNc = 1) = 0; // 71 method
    // First time step as text (a date, or "Month 1", "Season 1"); else "".
    virtual std::string StartTime(Long nNc = 1) = 0; // 72 get
    // First time step in Orv minutes (0 when the axis is not dated); else 0.
    virtual Long StartTimeMin(Long nNc = 1) = 0; // 73 get
    // Base date of the time units (Date 0 when there is none); else Date 0.
    virtual Date EpochDate(Long nNc = 1) = 0; // 74 get
    // Date of the first time step (Date 0 when the axis is not dated); else Date 0.
    virtual Date startDate(Long nNc = 1) = 0; // 75 get
    // Date of the last time step (Date 0 when the axis is not dated); else Date 0.
    virtual Date endDate(Long nNc = 1) = 0; // 76 get
    // Last time step as text; else "".
    virtual std::string endTime(Long nNc = 1) = 0; // 77 get
    // Last time step in Orv minutes (0 when the axis is not dated); else 0.
    virtual Long endTimeMin(Long nNc = 1) = 0; // 78 get
    // 1 when a time dimension was recognised, -1 when not; else 0.
    virtual Long TimePick(Long nNc = 1) = 0; // 79 get
    // First word of the time variable's units ("days", "months" ...); else "".
    virtual std::string timeUnit(Long nNc = 1) = 0; // 80 get
    // 1 when a vertical dimension was recognised, -1 when not; else 0.
    virtual Long LevelPick(Long nNc = 1) = 0; // 81 get
    // Name of global attribute nA (1 To nGatts); else "".
    virtual std::string gAttName(Long nA, Long nNc = 1) = 0; // 82 get
    // Value of global attribute nA as text (numbers joined by two blanks); else "".
    virtual std::string gAttValue(Long nA, Long nNc = 1) = 0; // 83 get
    // netCDF type code of global attribute nA; else 0.
    virtual Long gAttType(Long nA, Long nNc = 1) = 0; // 84 get
    // Horizontal order over the variables: 0 none, 1, 2, 3 both, -1 not classified; else 0.
    virtual Long lonlatOrder(Long nNc = 1) = 0; // 85 get
    // Variable nv: 1 lon (or i) before lat (or j), 2 the other way, -1 neither; else 0.
    virtual Long variLonLatOrder(Long nv, Long nNc = 1) = 0; // 86 get
    // netCDF type name of code ntype with a trailing blank ("float "); "???" for another code.
    virtual std::string StrType(Long ntype) = 0; // 87 get
    // Longitude spacing in degrees; else 0.
    virtual float dLon(Long nNc = 1) = 0; // 88 get
    // Latitude spacing in degrees; else 0.
    virtual float dLat(Long nNc = 1) = 0; // 89 get
    // Strided window of nvar into scalarV, scaled, marks as noVal: valid count; else -1 or Empty.
    virtual Variant GetVarsAny(Long nvar, float noVal, VArray<float>& scalarV,
                               const VArray<Long>& startp, const VArray<Long>& countp,
                               const VArray<Long>& stride, Long tcount,
                               Long nNc = 1) = 0; // 90 method
    // Window of nvar into scalarV, scaled, marks as noVal: the valid count; else -1 or Empty.
    virtual Variant GetVaraAny(Long nvar, float noVal, VArray<float>& scalarV,
                               const VArray<Long>& startp, const VArray<Long>& countp, Long tcount,
                               Long nNc = 1) = 0; // 91 method
    // Strided window of nvar, unscaled, into outShort from element 1: 1; else -1 or Empty.
    virtual Variant GetVarSShort(Long nvar, const VArray<Long>& startp, const VArray<Long>& countp,
                                 const VArray<Long>& stride, VArray<Integer>& outShort,
                                 Long nNc = 1) = 0; // 92 method
    // Strided window of nvar, unscaled, into outLong from element 1: 1; else -1 or Empty.
    virtual Variant GetVarSLong(Long nvar, const VArray<Long>& startp, const VArray<Long>& countp,
                                const VArray<Long>& stride, VArray<Long>& outLong,
                                Long nNc = 1) = 0; // 93 method
    // Strided window of nvar, unscaled, into outFloat from element 1: 1; else -1 or Empty.
    virtual Variant GetVarSFloat(Long nvar, const VArray<Long>& startp, const VArray<Long>& countp,
                                 const VArray<Long>& stride, VArray<float>& outFloat,
                                 Long nNc = 1) = 0; // 94 method
    // Strided window of nvar, unscaled, into outDouble from element 1: 1; else -1 or Empty.
    virtual Variant GetVarSDouble(Long nvar, const VArray<Long>& startp, const VArray<Long>& countp,
                                  const VArray<Long>& stride, VArray<double>& outDouble,
                                  Long nNc = 1) = 0; // 95 method
    // Label of time step nt: its date text, "Month n" or "Season n"; else "".
    virtual std::string DatePicked(Long nt, Long nNc = 1) = 0; // 96 method
    // Step nearest showDate (a tie: the later); 0 off the axis or for a bad slot; -1 if it fails.
    virtual Long ClosestTstep(Date showDate, Long nNc = 1) = 0; // 97 method
    // Step nearest showDate in Orv minutes; 0 off the axis or for a bad slot; -1 if it fails.
    virtual Long TstepByMin(Long showDate, Long nNc = 1) = 0; // 98 method
    // Position (from 1) of netCDF dimension did among variable nv's dimensions; else 0.
    virtual Long indexOfDID(Long nv, Long did, Long nNc = 1) = 0; // 99 method
    // 1: a dataset is closed after each successful operation, 0: it stays open; cannot fail.
    virtual Long CloseAfterRead() = 0; // 100 get
    // Sets CloseAfterRead for every slot; only 1 has an effect.
    virtual void CloseAfterRead(Long value) = 0; // 101 let
    // Closes the slot's dataset; the record stays and a later read reopens it. Else nothing.
    virtual void CloseNC(Long nNc = 1) = 0; // 102 method
    // Chooses the vector and temperature variables anew: 1, -1 none found; else Empty.
    virtual Variant pickUVVariables(Long nNc = 1) = 0; // 103 method
    // Names of water-temperature variables, blank-separated; no failure value.
    virtual std::string tempaKa() = 0; // 104 get
    // Merges the words of value into the list, upper-cased; for datasets opened afterwards.
    virtual void tempaKa(const std::string& value) = 0; // 105 let
    // Names of eastward water-current variables, blank-separated; no failure value.
    virtual std::string waterUaKa() = 0; // 106 get
    // Merges the words of value into the list, upper-cased; for datasets opened afterwards.
    virtual void waterUaKa(const std::string& value) = 0; // 107 let
    // Names of northward water-current variables, blank-separated; no failure value.
    virtual std::string waterVaKa() = 0; // 108 get
    // Merges the words of value into the list, upper-cased; for datasets opened afterwards.
    virtual void waterVaKa(const std::string& value) = 0; // 109 let
    // Names of eastward wind variables, blank-separated; no failure value.
    virtual std::string windUaKa() = 0; // 110 get
    // Merges the words of value into the list, upper-cased; for datasets opened afterwards.
    virtual void windUaKa(const std::string& value) = 0; // 111 let
    // Names of northward wind variables, blank-separated; no failure value.
    virtual std::string windVaKa() = 0; // 112 get
    // Merges the words of value into the list, upper-cased; for datasets opened afterwards.
    virtual void windVaKa(const std::string& value) = 0; // 113 let
    // Names of longitude variables, blank-separated; no failure value.
    virtual std::string lonaKa() = 0; // 114 get
    // Merges the words of value into the list, upper-cased; for datasets opened afterwards.
    virtual void lonaKa(const std::string& value) = 0; // 115 let
    // Names of latitude variables, blank-separated; no failure value.
    virtual std::string lataKa() = 0; // 116 get
    // Merges the words of value into the list, upper-cased; for datasets opened afterwards.
    virtual void lataKa(const std::string& value) = 0; // 117 let
    // Names of the i dimension of boundary-fitted grids, blank-separated; no failure value.
    virtual std::string ixaKa() = 0; // 118 get
    // Merges the words of value into the list, upper-cased; for datasets opened afterwards.
    virtual void ixaKa(const std::string& value) = 0; // 119 let
    // Names of the j dimension of boundary-fitted grids, blank-separated; no failure value.
    virtual std::string jyaKa() = 0; // 120 get
    // Merges the words of value into the list, upper-cased; for datasets opened afterwards.
    virtual void jyaKa(const std::string& value) = 0; // 121 let
    // Names of time variables, blank-separated; no failure value.
    virtual std::string timeaKa() = 0; // 122 get
    // Merges the words of value into the list, upper-cased; for datasets opened afterwards.
    virtual void timeaKa(const std::string& value) = 0; // 123 let
    // Names of level variables, blank-separated; no failure value.
    virtual std::string levelaKa() = 0; // 124 get
    // Merges the words of value into the list, upper-cased; for datasets opened afterwards.
    virtual void levelaKa(const std::string& value) = 0; // 125 let
    // Names of cell dimensions, blank-separated; no failure value.
    virtual std::string cellaKa() = 0; // 126 get
    // Merges the words of value into the list, upper-cased; for datasets opened afterwards.
    virtual void cellaKa(const std::string& value) = 0; // 127 let
    // Names of mesh node dimensions, blank-separated; no failure value.
    virtual std::string nodeaKa() = 0; // 128 get
    // Merges the words of value into the list, upper-cased; for datasets opened afterwards.
    virtual void nodeaKa(const std::string& value) = 0; // 129 let
    // Names of mesh element dimensions, blank-separated; no failure value.
    virtual std::string elementaKa() = 0; // 130 get
    // Merges the words of value into the list, upper-cased; for datasets opened afterwards.
    virtual void elementaKa(const std::string& value) = 0; // 131 let
    // Number of the eastward water-current variable, -1 if none; else -1.
    virtual Long waterUvId(Long nNc = 1) = 0; // 132 get
    // Number of the northward water-current variable, -1 if none; else -1.
    virtual Long waterVvId(Long nNc = 1) = 0; // 133 get
    // Number of the eastward wind variable, -1 if none; else -1.
    virtual Long windUvId(Long nNc = 1) = 0; // 134 get
    // Number of the northward wind variable, -1 if none; else -1.
    virtual Long windVvId(Long nNc = 1) = 0; // 135 get
    // Number of the water-temperature (GMT: value) variable, -1 if none; else -1.
    virtual Long waterTempvId(Long nNc = 1) = 0; // 136 get
    // Sets Vector of the slot (nothing for one out of range); always Empty.
    virtual Variant SetVector(Long vNewValue, Long nNc = 1) = 0; // 137 method
    // Vector pair to show: 0 none, 1 water current, 2 wind; else -1.
    virtual Long Vector(Long nNc = 1) = 0; // 138 get
    // Time step in seconds (the mean; a month 2592000, a season 10368000); else -1.
    virtual Long dTimeSec(Long nNc = 1) = 0; // 139 get
    // Largest valid value of the last any-type array read if it read variable nv; else 0.
    virtual float vMax(Long nv, Long nNc = 1) = 0; // 140 get
    // Smallest valid value of the last any-type array read if it read variable nv; else 0.
    virtual float vMin(Long nv, Long nNc = 1) = 0; // 141 get
    // Corner nodes (from 1) of each mesh triangle into node1 to node3, a quadrangle split into
    // two: 1; else -1.
    virtual Long FillNodeMesh(VArray<Long>& node1, VArray<Long>& node2, VArray<Long>& node3,
                              Long nNc = 1) = 0; // 142 method
    // Number of the variable named varName (any case), 0 if none; else 0.
    virtual Long variNum(const std::string& varName, Long nNc = 1) = 0; // 143 get
    // Opens a dataset into a new slot and sets it up: the slot number; else -1.
    virtual Long Initialize(const std::string& sNcFileName) = 0; // 144 method
    // First and last time texts of a file, read through slot 0: 1; else -1 and both texts "".
    virtual Long StartEndDate(const std::string& sNcFileName, std::string& StartTime,
                              std::string& endTime) = 0; // 145 method
    // Reads a file's header into slot 0 and sets CloseAfterRead to 1: 1; else -1.
    virtual Long GetHeadOnly(const std::string& sNcFileName) = 0; // 146 method
    // Value of the global attribute named varName (any case), "" if none; else "".
    virtual std::string gAttValbyName(const std::string& varName, Long nNc = 1) = 0; // 147 get
    // Position (from 1) of the time dimension among variable nv's dimensions, 0 if none; else 0.
    virtual Long DofTime(Long nv, Long nNc = 1) = 0; // 148 get
    // Position of the vertical dimension among nv's; 0 if none or without time steps; else 0.
    virtual Long DofLevel(Long nv, Long nNc = 1) = 0; // 149 get
    // Shift (0, 360 or -360) bringing the data's longitudes nearest WestLon..EastLon; else 0.
    virtual float GLonOffSet(float WestLon, float EastLon, Long nNc = 1) = 0; // 150 method
    // True when the time axis carries dates; else False.
    virtual bool Dated(Long nNc = 1) = 0; // 151 get
    // Whole variable nvar into scalarV, scaled, marks as noVal: the valid count; else -1 or Empty.
    virtual Variant GetVarAny(Long nvar, float noVal, VArray<float>& scalarV,
                              Long nNc = 1) = 0; // 152 method
    // Whole variable nvar, unscaled, into outDouble (1 To n): n; else -1 or Empty.
    virtual Variant GetVarDouble(Long nvar, VArray<double>& outDouble,
                                 Long nNc = 1) = 0; // 153 method
    // Whole variable nvar, unscaled, into outFloat (1 To n): n; else -1 or Empty.
    virtual Variant GetVarFloat(Long nvar, VArray<float>& outFloat, Long nNc = 1) = 0; // 154 method
    // Whole variable nvar, unscaled, into outLong (1 To n): n; else -1 or Empty.
    virtual Variant GetVarLong(Long nvar, VArray<Long>& outLong, Long nNc = 1) = 0; // 155 method
    // Whole variable nvar, unscaled, into outShort (1 To n): n; else -1 or Empty.
    virtual Variant GetVarShort(Long nvar, VArray<Integer>& outShort,
                                Long nNc = 1) = 0; // 156 method
    // One value at indexp into scalarV, scaled: 1, 0 when it is missing; else -1 or Empty.
    virtual Variant GetVar1Any(Long nvar, double& scalarV, const VArray<Long>& indexp,
                               Long nNc = 1) = 0; // 157 method
    // Mesh coordinates 1 per node (grid type 4), 2 per element (grid type 6), 0 other; else 0.
    virtual Long LLbyNodeOrEleement(Long nNc = 1) = 0; // 158 get
    // The names of a mesh's nodes-per-element dimension; a let merges its words in.
    virtual std::string faceaKa() = 0;                  // 159 get
    virtual void faceaKa(const std::string& value) = 0; // 160 let
    // Dimension id along which the cells of a cell list move (a drifter's time axis, the
    // trajectory dimension of a trajectory file): their positions differ from one index of it to
    // the next. -1 when every cell keeps one position; else -1.
    virtual Long MovingdId(Long nNc = 1) = 0; // 161 get
    // The cells' positions at index (from 1) of MovingdId, 1 To nCells, in radians when rad,
    // else degrees; a report without a position holds the float fill: 1; else -1.
    virtual Long FillLonLatAt(VArray<float>& lon, VArray<float>& lat, Long index, bool rad,
                              Long nNc = 1) = 0; // 162 method
};

// A new dataset object (its creation runs Class_Initialize); deleting it runs Class_Terminate.
extern "C" KELVAD_EXPORT IKelvad* CreateKelvad();
