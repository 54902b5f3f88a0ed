#pragma once
// The interface of the dataset library: the one thing the viewer sees of it. The members stand
// in their fixed order (a property's get before its let); a property get is named as the
// property, its let is an overload of the same name taking the new value last. Most members
// take the dataset slot nNc last (default 1). No member lets an exception out: a failure is a
// result value with its reason in ErrorMessage.
//
// Time axes keep the calendar of their time variable: a slot's Dates and Orv minutes
// (EpochDate, startDate, endDate, StartTimeMin, endTimeMin, FillOrvTime, and the times given to
// TimePt, ClosestTstep, TstepByMin) count days since 1899-12-30 in that calendar, and its date
// texts (StartTime, endTime, DatePicked, a text given to TimePt) are dates of that calendar
// (kelvadlib/Calendar.h). For the standard calendar after 1582 they are the runtime's dates.
#include "runtime/Date.h"
#include "runtime/Types.h"
#include "runtime/VArray.h"
#include "runtime/Variant.h"

#include <optional>
#include <string>

#define KELVAD_EXPORT __attribute__((visibility("default")))

// Not exported itself: callers bind through the virtual table alone, so the factory below is the
// library's one export.
class IKelvad {
public:
    virtual ~IKelvad() = default;

    virtual std::string GetAttVbyVarNumbyAttname(Long varNum, const std::string& attname,
                                                 Long nNc = 1) = 0; // 1 method
    virtual Long TimePt(const Variant& showDate, Long& nt1, Long& nt2, float& tw1, float& tw2,
                        Long nNc = 1) = 0;                                    // 2 method
    virtual std::string ErrorMessage() = 0;                                   // 3 get
    virtual std::string FName(Long nNc = 1) = 0;                              // 4 get
    virtual float westEnd(Long nNc = 1) = 0;                                  // 5 get
    virtual float eastEnd(Long nNc = 1) = 0;                                  // 6 get
    virtual Long GridType(Long nNc = 1) = 0;                                  // 7 get
    virtual Long UnLimDId(Long nNc = 1) = 0;                                  // 8 get
    virtual Long nGatts(Long nNc = 1) = 0;                                    // 9 get
    virtual Long Var1st(Long nNc = 1) = 0;                                    // 10 get
    virtual Long DataType(Long nNc = 1) = 0;                                  // 11 get
    virtual float northEnd(Long nNc = 1) = 0;                                 // 12 get
    virtual float southEnd(Long nNc = 1) = 0;                                 // 13 get
    virtual Long nTime(Long nNc = 1) = 0;                                     // 14 get
    virtual Long nNodes(Long nNc = 1) = 0;                                    // 15 get
    virtual Long nElements(Long nNc = 1) = 0;                                 // 16 get
    virtual Long nCells(Long nNc = 1) = 0;                                    // 17 get
    virtual Long nLon(Long nNc = 1) = 0;                                      // 18 get
    virtual Long nLat(Long nNc = 1) = 0;                                      // 19 get
    virtual Long nXysize(Long nNc = 1) = 0;                                   // 20 get
    virtual Long nSide(Long nNc = 1) = 0;                                     // 21 get
    virtual Long iMax(Long nNc = 1) = 0;                                      // 22 get
    virtual Long jMax(Long nNc = 1) = 0;                                      // 23 get
    virtual Long kMax(Long nNc = 1) = 0;                                      // 24 get
    virtual std::string dimeName(Long nd, Long nNc = 1) = 0;                  // 25 get
    virtual Long dimeSize(Long nd, Long nNc = 1) = 0;                         // 26 get
    virtual Long dimeUnLimited(Long nd, Long nNc = 1) = 0;                    // 27 get
    virtual Long dimeType(Long nd, Long nNc = 1) = 0;                         // 28 get
    virtual Long nDimes(Long nNc = 1) = 0;                                    // 29 get
    virtual Long TimedId(Long nNc = 1) = 0;                                   // 30 get
    virtual Long TimevId(Long nNc = 1) = 0;                                   // 31 get
    virtual Long LeveldId(Long nNc = 1) = 0;                                  // 32 get
    virtual Long LevelvId(Long nNc = 1) = 0;                                  // 33 get
    virtual Long LondId(Long nNc = 1) = 0;                                    // 34 get
    virtual Long lonvId(Long nNc = 1) = 0;                                    // 35 get
    virtual Long LatdId(Long nNc = 1) = 0;                                    // 36 get
    virtual Long latvId(Long nNc = 1) = 0;                                    // 37 get
    virtual Long nodedId(Long nNc = 1) = 0;                                   // 38 get
    virtual Long elemdId(Long nNc = 1) = 0;                                   // 39 get
    virtual Long nCelldId(Long nNc = 1) = 0;                                  // 40 get
    virtual Long iCelldId(Long nNc = 1) = 0;                                  // 41 get
    virtual Long jCelldId(Long nNc = 1) = 0;                                  // 42 get
    virtual Long kCelldId(Long nNc = 1) = 0;                                  // 43 get
    virtual Long nVars(Long nNc = 1) = 0;                                     // 44 get
    virtual Long nVarsCoord(Long nNc = 1) = 0;                                // 45 get
    virtual Long nVarsRecord(Long nNc = 1) = 0;                               // 46 get
    virtual Long nVarsFixed(Long nNc = 1) = 0;                                // 47 get
    virtual std::string variName(Long nv, Long nNc = 1) = 0;                  // 48 get
    virtual Long variType(Long nv, Long nNc = 1) = 0;                         // 49 get
    virtual Long variKind(Long nv, Long nNc = 1) = 0;                         // 50 get
    virtual std::string variAttName(Long nv, Long nA, Long nNc = 1) = 0;      // 51 get
    virtual std::string variAttValue(Long nv, Long nA, Long nNc = 1) = 0;     // 52 get
    virtual std::string variAttType(Long nv, Long nA, Long nNc = 1) = 0;      // 53 get
    virtual Long variNarray(Long nv, Long nNc = 1) = 0;                       // 54 get
    virtual Long variNattri(Long nv, Long nNc = 1) = 0;                       // 55 get
    virtual double variByteSize(Long nv, Long nNc = 1) = 0;                   // 56 get
    virtual Long variByteUnit(Long nv, Long nNc = 1) = 0;                     // 57 get
    virtual std::string variUnit(Long nv, Long nNc = 1) = 0;                  // 58 get
    virtual std::string variLongName(Long nv, Long nNc = 1) = 0;              // 59 get
    virtual std::string variScale(Long nv, Long nNc = 1) = 0;                 // 60 get
    virtual std::string variMisnVal(Long nv, Long nNc = 1) = 0;               // 61 get
    virtual std::string variOffset(Long nv, Long nNc = 1) = 0;                // 62 get
    virtual std::string variArrayDimName(Long nv, Long nd, Long nNc = 1) = 0; // 63 get
    virtual Long variArrayDimID(Long nv, Long nd, Long nNc = 1) = 0;          // 64 get
    virtual Long FillLonLatRad(VArray<float>& lon, VArray<float>& lat,
                               Long nNc = 1) = 0; // 65 method
    virtual Long FillLonLatDeg(VArray<float>& lon, VArray<float>& lat,
                               Long nNc = 1) = 0; // 66 method
    virtual Long GetLonLatRad(VArray<float>& lonOut, VArray<float>& latOut,
                              const VArray<Long>& startp, const VArray<Long>& endp,
                              const VArray<Long>& stride, Long tcount,
                              Long nNc = 1) = 0; // 67 method
    virtual Long GetLonLatDeg(VArray<float>& lonOut, VArray<float>& latOut,
                              const VArray<Long>& startp, const VArray<Long>& endp,
                              const VArray<Long>& stride, Long tcount,
                              Long nNc = 1) = 0;                   // 68 method
    virtual Long FillTime(VArray<double>& Time, Long nNc = 1) = 0; // 69 method
    virtual Long FillOrvTime(VArray<Long>& Time, Long nNc = 1,
                             std::optional<Date> sDate = std::nullopt) = 0; // 70 method
    virtual Long FillvCoord(VArray<double>& vCorrd, Long nNc = 1) = 0;      // 71 method
    virtual std::string StartTime(Long nNc = 1) = 0;                        // 72 get
    virtual Long StartTimeMin(Long nNc = 1) = 0;                            // 73 get
    virtual Date EpochDate(Long nNc = 1) = 0;                               // 74 get
    virtual Date startDate(Long nNc = 1) = 0;                               // 75 get
    virtual Date endDate(Long nNc = 1) = 0;                                 // 76 get
    virtual std::string endTime(Long nNc = 1) = 0;                          // 77 get
    virtual Long endTimeMin(Long nNc = 1) = 0;                              // 78 get
    virtual Long TimePick(Long nNc = 1) = 0;                                // 79 get
    virtual std::string timeUnit(Long nNc = 1) = 0;                         // 80 get
    virtual Long LevelPick(Long nNc = 1) = 0;                               // 81 get
    virtual std::string gAttName(Long nA, Long nNc = 1) = 0;                // 82 get
    virtual std::string gAttValue(Long nA, Long nNc = 1) = 0;               // 83 get
    virtual Long gAttType(Long nA, Long nNc = 1) = 0;                       // 84 get
    virtual Long lonlatOrder(Long nNc = 1) = 0;                             // 85 get
    virtual Long variLonLatOrder(Long nv, Long nNc = 1) = 0;                // 86 get
    virtual std::string StrType(Long ntype) = 0;                            // 87 get
    virtual float dLon(Long nNc = 1) = 0;                                   // 88 get
    virtual float dLat(Long nNc = 1) = 0;                                   // 89 get
    virtual Variant GetVarsAny(Long nvar, float NoVal, VArray<float>& scalarV,
                               const VArray<Long>& startp, const VArray<Long>& countp,
                               const VArray<Long>& stride, Long tcount,
                               Long nNc = 1) = 0; // 90 method
    virtual Variant GetVaraAny(Long nvar, float NoVal, VArray<float>& scalarV,
                               const VArray<Long>& startp, const VArray<Long>& countp, Long tcount,
                               Long nNc = 1) = 0; // 91 method
    virtual Variant GetVarSShort(Long nvar, const VArray<Long>& startp, const VArray<Long>& countp,
                                 const VArray<Long>& stride, VArray<Integer>& outShort,
                                 Long nNc = 1) = 0; // 92 method
    virtual Variant GetVarSLong(Long nvar, const VArray<Long>& startp, const VArray<Long>& countp,
                                const VArray<Long>& stride, VArray<Long>& outLong,
                                Long nNc = 1) = 0; // 93 method
    virtual Variant GetVarSFloat(Long nvar, const VArray<Long>& startp, const VArray<Long>& countp,
                                 const VArray<Long>& stride, VArray<float>& outFloat,
                                 Long nNc = 1) = 0; // 94 method
    virtual Variant GetVarSDouble(Long nvar, const VArray<Long>& startp, const VArray<Long>& countp,
                                  const VArray<Long>& stride, VArray<double>& outDouble,
                                  Long nNc = 1) = 0;              // 95 method
    virtual std::string DatePicked(Long nt, Long nNc = 1) = 0;    // 96 method
    virtual Long ClosestTstep(Date showDate, Long nNc = 1) = 0;   // 97 method
    virtual Long TstepByMin(Long showDate, Long nNc = 1) = 0;     // 98 method
    virtual Long indexOfDID(Long nv, Long did, Long nNc = 1) = 0; // 99 method
    virtual Long CloseAfterRead() = 0;                            // 100 get
    virtual void CloseAfterRead(Long value) = 0;                  // 101 let
    virtual void CloseNC(Long nNc = 1) = 0;                       // 102 method
    virtual Variant pickUVVariables(Long nNc = 1) = 0;            // 103 method
    virtual std::string tempaKa() = 0;                            // 104 get
    virtual void tempaKa(const std::string& value) = 0;           // 105 let
    virtual std::string waterUaKa() = 0;                          // 106 get
    virtual void waterUaKa(const std::string& value) = 0;         // 107 let
    virtual std::string waterVaKa() = 0;                          // 108 get
    virtual void waterVaKa(const std::string& value) = 0;         // 109 let
    virtual std::string windUaKa() = 0;                           // 110 get
    virtual void windUaKa(const std::string& value) = 0;          // 111 let
    virtual std::string windVaKa() = 0;                           // 112 get
    virtual void windVaKa(const std::string& value) = 0;          // 113 let
    virtual std::string lonaKa() = 0;                             // 114 get
    virtual void lonaKa(const std::string& value) = 0;            // 115 let
    virtual std::string lataKa() = 0;                             // 116 get
    virtual void lataKa(const std::string& value) = 0;            // 117 let
    virtual std::string ixaKa() = 0;                              // 118 get
    virtual void ixaKa(const std::string& value) = 0;             // 119 let
    virtual std::string jyaKa() = 0;                              // 120 get
    virtual void jyaKa(const std::string& value) = 0;             // 121 let
    virtual std::string timeaKa() = 0;                            // 122 get
    virtual void timeaKa(const std::string& value) = 0;           // 123 let
    virtual std::string levelaKa() = 0;                           // 124 get
    virtual void levelaKa(const std::string& value) = 0;          // 125 let
    virtual std::string cellaKa() = 0;                            // 126 get
    virtual void cellaKa(const std::string& value) = 0;           // 127 let
    virtual std::string nodeaKa() = 0;                            // 128 get
    virtual void nodeaKa(const std::string& value) = 0;           // 129 let
    virtual std::string elementaKa() = 0;                         // 130 get
    virtual void elementaKa(const std::string& value) = 0;        // 131 let
    virtual Long waterUvId(Long nNc = 1) = 0;                     // 132 get
    virtual Long waterVvId(Long nNc = 1) = 0;                     // 133 get
    virtual Long windUvId(Long nNc = 1) = 0;                      // 134 get
    virtual Long windVvId(Long nNc = 1) = 0;                      // 135 get
    virtual Long waterTempvId(Long nNc = 1) = 0;                  // 136 get
    virtual Variant SetVector(Long vNewValue, Long nNc = 1) = 0;  // 137 method
    virtual Long Vector(Long nNc = 1) = 0;                        // 138 get
    virtual Long dTimeSec(Long nNc = 1) = 0;                      // 139 get
    virtual float vMax(Long nv, Long nNc = 1) = 0;                // 140 get
    virtual float vMin(Long nv, Long nNc = 1) = 0;                // 141 get
    virtual Long FillNodeMesh(VArray<Long>& node1, VArray<Long>& node2, VArray<Long>& node3,
                              Long nNc = 1) = 0;                        // 142 method
    virtual Long variNum(const std::string& varName, Long nNc = 1) = 0; // 143 get
    virtual Long Initialize(const std::string& sNcFileName) = 0;        // 144 method
    virtual Long StartEndDate(const std::string& sNcFileName, std::string& StartTime,
                              std::string& endTime) = 0;                             // 145 method
    virtual Long GetHeadOnly(const std::string& sNcFileName) = 0;                    // 146 method
    virtual std::string gAttValbyName(const std::string& varName, Long nNc = 1) = 0; // 147 get
    virtual Long DofTime(Long nv, Long nNc = 1) = 0;                                 // 148 get
    virtual Long DofLevel(Long nv, Long nNc = 1) = 0;                                // 149 get
    virtual float GLonOffSet(float WestLon, float EastLon, Long nNc = 1) = 0;        // 150 method
    virtual bool Dated(Long nNc = 1) = 0;                                            // 151 get
    virtual Variant GetVarAny(Long nvar, float NoVal, VArray<float>& scalarV,
                              Long nNc = 1) = 0; // 152 method
    virtual Variant GetVarDouble(Long nvar, VArray<double>& outDouble,
                                 Long nNc = 1) = 0;                                    // 153 method
    virtual Variant GetVarFloat(Long nvar, VArray<float>& outFloat, Long nNc = 1) = 0; // 154 method
    virtual Variant GetVarLong(Long nvar, VArray<Long>& outLong, Long nNc = 1) = 0;    // 155 method
    virtual Variant GetVarShort(Long nvar, VArray<Integer>& outShort,
                                Long nNc = 1) = 0; // 156 method
    virtual Variant GetVar1Any(Long nvar, double& scalarV, const VArray<Long>& indexp,
                               Long nNc = 1) = 0;      // 157 method
    virtual Long LLbyNodeOrEleement(Long nNc = 1) = 0; // 158 get
};

// A new dataset object (its creation runs Class_Initialize); deleting it runs Class_Terminate.
extern "C" KELVAD_EXPORT IKelvad* CreateKelvad();
