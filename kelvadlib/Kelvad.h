#pragma once
// The dataset object behind IKelvad: datasets in numbered slots (ncf), the alias lists, the
// value range of the last read, and every operation that reads headers, recognises
// coordinates, sets up axes and extents, and reads values. Library-internal: the viewer
// reaches it only through IKelvad.
//
// The operations may raise RuntimeError where their own handlers do not catch it (a slot or
// variable number outside the records, as the callers of some lookups rely on); the IKelvad
// members catch everything and answer their failure value.
//
// Where each group lives:
//   Kelvad.cpp           creation and release (Class_Initialize / Class_Terminate), the slot
//                        check, reopen/close helpers of the open/close policy, servers that
//                        do not answer
//   Opening.cpp          Initialize, StartEndDate
//   Cleanup.cpp          GetHeadOnly, CloseNC, DoEraseArray
//   HeaderReader.cpp     GetNCHeader
//   Aliases.cpp          alias lists at creation, LoadNCAlias, AliasListByKey
//   Lookups.cpp          GetAttVal, UnitMatch, RadianUnits, GetAttVbyVarNumbyAttname,
//                        gAttValbyName
//   CoordRecognition.cpp PickCoordVariables
//   Classification.cpp   TypeAllVars, GetVar1st, getVarNum
//   TimeAxis.cpp         SetTimeExtent
//   CoordFetch.cpp       FetchSetUpValues, ReleaseSetUpValues
//   VectorComponents.cpp doPickUVVariables
//   AnyReads.cpp         do_get_vars_any, do_get_var1_any, do_get_vara_any, do_get_var_any
//   TypedReads.cpp       do_get_vars_short/Long/Float/Double, do_get_var_short/Long/Float/Double
//   CoordArrays.cpp      doFill_LonLatRad, doFill_LonLatDeg, doFill_NodeMesh, doFill_vCoord
//   TimeSteps.cpp        GetTimePt, GetTstep, GetTstepByMin, GetDate, GetOrvMin
//   TimeArrays.cpp       doFill_Time, doFill_OrvTime
//   Extents.cpp          SetHorizontalExtent, SetVerticalExtent
//   GridKinds.cpp        the steps that differ by grid kind, one entry per kind
//   Windows.cpp          GetLonLatDeg, GetLonLatRad, GLonOffSet, DofTime, DofLevel, indexOfDID
//   NCUtils.cpp          InAliasList, NcTypeName, AddToAliasList, CleanNameChars
//   Utils.cpp            DebugOut layout, GetIniString, IsNanText, PrintableOnly, ErrorFrame
//   OrvMinutes.cpp       DateToOrvMin, CalendarOrvMin, OrvMinToYMDHM
//   Calendar.cpp         the calendars of time axes: day counts, date texts read and written
//   KelvadComponent.cpp  the IKelvad implementation over Kelvad, and CreateKelvad
#include "kelvadlib/Records.h"
#include "runtime/Date.h"
#include "runtime/Types.h"
#include "runtime/VArray.h"
#include "runtime/Variant.h"

#include <chrono>
#include <optional>
#include <string>

class Kelvad {
public:
    // Class_Initialize: no slot, CloseAfterRead 0, the alias lists at their contents at
    // creation, then the alias file merged in (LoadNCAlias). The first object of the process
    // also sets netCDF's HTTP time-outs (PrepareNcHttpTimeouts), before any dataset is opened.
    Kelvad();
    // Class_Terminate: DoEraseArray.
    ~Kelvad();
    Kelvad(const Kelvad&) = delete;
    Kelvad& operator=(const Kelvad&) = delete;

    // ---- State ------------------------------------------------------------------------------
    std::string ErrorMessage; // last failure (or warning); never cleared by a success
    VArray<NcfRec> ncf;       // 0 To n: slot 0 scratch, 1 To nNcMax the datasets
    Long nNcMax = 0;          // last counted slot
    Long CloseAfterRead = 0;  // 1: close the dataset after each successful operation

    // Alias lists: blank-separated names marking a role, matched with InAliasList.
    std::string cellaKa, nodeaKa, elementaKa, faceaKa, ixaKa, jyaKa, lonaKa, lataKa, levelaKa,
        timeaKa, waterUaKa, waterVaKa, windUaKa, windVaKa, tempaKa;

    // A call on a URL that fails after this many seconds ran into the HTTP time-out: the server
    // did not answer. 0: no time-out is known to be in force.
    double NoAnswerAfter = 0;
    // The most seconds a call may wait, over all the requests it makes itself, for a server
    // that sends nothing (NcCallStallLimit).
    double CallStallLimit = 0;

    float vMax = 0;      // largest valid value of the last any-type array read
    float vMin = 0;      // smallest
    Long vMinMaxVar = 0; // the variable number they belong to

    // ---- Slots and the open/close policy (Kelvad.cpp) ----------------------------------------
    // 1 <= nNc <= nNcMax.
    bool SlotInRange(Long nNc) const { return nNc >= 1 && nNc <= nNcMax; }
    // SlotInRange and 1 <= nvar <= nVars of the slot.
    bool VarInRange(Long nNc, Long nvar) const;
    // Opens the slot's dataset by FName when its ncid is below 0. Returns the netCDF status
    // (0 also when it was open already).
    int ReopenSlot(Long nH);
    // nc_close of the slot's ncid when it is 0 or more (status ignored), then ncid := -1.
    void CloseSlot(Long nH);
    // CloseSlot when CloseAfterRead is 1: the end of a successful operation.
    void CloseIfAfterRead(Long nH);
    // A call on dataset name, begun at start, has failed: when name is a URL and the call ran
    // for NoAnswerAfter seconds or more, ErrorMessage := tag and a text that names the URL and
    // says that the server did not answer, and the result is true. Otherwise nothing changes.
    bool NoteNoAnswer(const std::string& tag, const std::string& name,
                      std::chrono::steady_clock::time_point start);
    // ErrorMessage := tag and the text that says the server of name did not answer within
    // seconds.
    void SetNoAnswer(const std::string& tag, const std::string& name, double seconds);

    // ---- Set-up members (Opening.cpp, Cleanup.cpp) -------------------------------------------
    // New slot nNcMax + 1: header, recognition, classification, extents, time axis, first
    // variable, vector components. The slot number, or -1 (the count taken back and the
    // dataset it opened closed).
    Long Initialize(const std::string& sNcFileName);
    // Header only, into slot 0; CloseAfterRead := 1 (and left so). 1 or -1.
    Long GetHeadOnly(const std::string& sNcFileName);
    // First and last time of a dataset, through slot 0, which is closed on every exit.
    Long StartEndDate(const std::string& sNcFileName, std::string& StartTime, std::string& endTime);
    // Closes the slot's dataset (1 <= nNc <= nNcMax, else nothing); the record stays.
    void CloseNC(Long nNc);
    // Closes every open record (slot 0 and spare slots included), erases ncf and with it the
    // caches. nNcMax keeps its value.
    void DoEraseArray();

    // ---- Header reader (HeaderReader.cpp) ----------------------------------------------------
    // Opens FName anew and reads its whole header into slot nH (growing ncf to 0 To nH when
    // needed). 1, or -1 with the reason in ErrorMessage.
    Long GetNCHeader(const std::string& FName, Long nH);

    // ---- Alias lists (Aliases.cpp) -----------------------------------------------------------
    // The fifteen lists at their contents at creation.
    void SetAliasDefaults();
    // Merges NcAlias.txt: the one in the folder of the library file, else the one in the
    // current folder; nothing when neither exists.
    void LoadNCAlias();
    // The same with the library's folder given (the seam the tests use).
    void LoadNCAliasFrom(const std::string& libraryFolder);
    // The list of a role by its alias-file key ("lon", "water_u", ...); nullptr for an unknown
    // key.
    std::string* AliasListByKey(const std::string& key);

    // ---- Lookups over the record (Lookups.cpp) -----------------------------------------------
    // Names compared upper-cased; "" (or False) when nothing matches. No checks: a slot or
    // variable number outside the records raises RuntimeError(9).
    // An empty varName looks up a global attribute.
    std::string GetAttVal(Long nH, const std::string& varName, const std::string& attname);
    // True when a unit attribute of variable nv names degrees east (EastNorth "East") or
    // north ("North"), letter case aside.
    bool UnitMatch(Long nH, Long nv, const std::string& EastNorth);
    // True when a unit attribute of variable nv gives radians ("radians", "rad",
    // "radians_east", ...), letter case aside.
    bool RadianUnits(Long nH, Long nv);
    // varNum 0: a global attribute.
    std::string GetAttVbyVarNumbyAttname(Long varNum, const std::string& attname, Long nNc);
    std::string gAttValbyName(const std::string& varName, Long nNc);

    // ---- Coordinate recognition (CoordRecognition.cpp) ---------------------------------------
    // The coordinate roles and GridType of the slot. 1, or -1 with the reason in ErrorMessage.
    Long PickCoordVariables(Long nH);

    // ---- Variable classification and lookup (Classification.cpp) -----------------------------
    // Kinds, counts and horizontal orders; 1, or -1 on a caught runtime error. A variable
    // without dimensions is a fixed variable (kind 2).
    Long TypeAllVars(Long nH);
    // Var1st: the first record variable, else the first fixed one. 1 found, 0 none, -1 error.
    Long GetVar1st(Long nH);
    // The variable's number (Long) by name, letter case aside; Integer 0 when none.
    Variant getVarNum(Long nH, const std::string& varName);

    // ---- Time axis (TimeAxis.cpp) ------------------------------------------------------------
    Variant SetTimeExtent(Long nH);
    // How SetTimeExtent's failure for times it cannot date begins (a format it does not
    // read, dates beyond the calendar's years): the axis is kept without dates, as one whose
    // unit is no time unit ("Time has no unit:").
    static constexpr const char* kUndatedTime = "Time cannot be dated:";

    // ---- Set-up values of a DAP2 URL (CoordFetch.cpp) -----------------------------------------
    // Where the slot's dataset is a DAP2 URL, asks the server in one request for every value
    // the set-up is about to read (the positions, with horizontal; the time and level axes)
    // and holds them in the slot's held slabs. 1 fetched, 0 nothing to fetch or a fetch that
    // failed (the reads then go to netCDF-C one by one), -1 when the server did not answer
    // within the HTTP time-out or the stall limit of the call begun at callBegan, or when a
    // failed fetch leaves the call too little of that limit for the reads to wait for
    // netCDF-C's time-out (the caller says so); kFetchRefused when the server sent fewer
    // values than the header declares or a longer answer than the request can need (the reason
    // in ErrorMessage). Below 0 the dataset is closed.
    static constexpr Long kFetchRefused = -2;
    Long FetchSetUpValues(Long nH, bool horizontal, std::chrono::steady_clock::time_point callBegan);
    // The held slabs given back once the set-up is over, but for a mesh's corner table.
    void ReleaseSetUpValues(Long nH);

    // ---- Vector components (VectorComponents.cpp) --------------------------------------------
    // The water and wind pairs, the water temperature and Vector, chosen anew from the lists;
    // Integer 1, or -1 when none was found (Vector then 0).
    Variant doPickUVVariables(Long nH);

    // ---- Any-type reads (AnyReads.cpp) -------------------------------------------------------
    // startp/indexp are 1-based; countp/stride as passed to netCDF. Types above 6 fail with the
    // "unexpected type" message.
    Variant do_get_vars_any(Long nH, Long nvar, float No_Val, VArray<float>& scalarV,
                            const VArray<Long>& startp, const VArray<Long>& countp,
                            const VArray<Long>& stride, Long tcount);
    Variant do_get_var1_any(Long nH, Long nvar, const VArray<Long>& indexp, double& scalarV);
    Variant do_get_vara_any(Long nH, Long nvar, float No_Val, VArray<float>& scalarV,
                            const VArray<Long>& startp, const VArray<Long>& countp, Long tcount);
    Variant do_get_var_any(Long nH, Long nvar, float No_Val, VArray<float>& scalarV);

    // ---- Typed reads (TypedReads.cpp) --------------------------------------------------------
    // The _Long forms read with the netCDF _int calls into 32-bit buffers.
    Variant do_get_vars_short(Long nH, Long nvar, const VArray<Long>& startp,
                              const VArray<Long>& countp, const VArray<Long>& stride,
                              VArray<Integer>& outShort);
    Variant do_get_var_short(Long nH, Long nvar, VArray<Integer>& outShort);
    Variant do_get_vars_Double(Long nH, Long nvar, const VArray<Long>& startp,
                               const VArray<Long>& countp, const VArray<Long>& stride,
                               VArray<double>& outDouble);
    Variant do_get_var_Double(Long nH, Long nvar, VArray<double>& outDouble);
    Variant do_get_vars_Long(Long nH, Long nvar, const VArray<Long>& startp,
                             const VArray<Long>& countp, const VArray<Long>& stride,
                             VArray<Long>& outLong);
    Variant do_get_var_Long(Long nH, Long nvar, VArray<Long>& outLong);
    Variant do_get_vars_Float(Long nH, Long nvar, const VArray<Long>& startp,
                              const VArray<Long>& countp, const VArray<Long>& stride,
                              VArray<float>& outFloat);
    Variant do_get_var_Float(Long nH, Long nvar, VArray<float>& outFloat);

    // ---- Coordinate arrays (CoordArrays.cpp) -------------------------------------------------
    Variant doFill_LonLatRad(Long nH, VArray<float>& outLon, VArray<float>& outLat);
    Variant doFill_LonLatDeg(Long nH, VArray<float>& outLon, VArray<float>& outLat);
    // The positions of a moving cell list at index `index` of the dimension it moves along.
    Long doFill_LonLatAt(Long nH, Long index, VArray<float>& outLon, VArray<float>& outLat,
                         bool rad);
    // The mesh's triangles: a quadrangle gives two. element, when given, receives the element
    // (from 1) that each triangle comes from.
    Long doFill_NodeMesh(Long nNc, VArray<Long>& node1, VArray<Long>& node2, VArray<Long>& node3,
                         VArray<Long>* element = nullptr);
    Long doFill_vCoord(Long nH, VArray<double>& outvCoord);

    // ---- Time-step lookup and labels (TimeSteps.cpp) -----------------------------------------
    Long GetTimePt(Long nf, const Variant& showDate, Long& nt1, Long& nt2, float& tw1, float& tw2);
    Long GetTstep(Long nNc, Date showDate);
    Long GetTstepByMin(Long nNc, Long showDate);
    std::string GetDate(Long nH, Long nt);
    Long GetOrvMin(Long nH, Long nt);

    // ---- Time arrays (TimeArrays.cpp) --------------------------------------------------------
    Long doFill_Time(Long nH, VArray<double>& outTime);
    Long doFill_OrvTime(Long nH, VArray<Long>& outTime, std::optional<Date> showDate = {});

    // ---- Extents (Extents.cpp) ---------------------------------------------------------------
    // Coordinate caches, box and spacing of the slot: 1, or -1 with the reason in ErrorMessage;
    // kExtentRefused (with its reason) for a grid that contradicts itself, which the load
    // refuses.
    static constexpr Long kExtentRefused = -2;
    Long SetHorizontalExtent(Long nH);
    // Level values into vCoordArr: 1 (also after the unexpected-type message), 0 without levels
    // or when they cannot be read; never below 0, so the load goes on.
    Long SetVerticalExtent(Long nH);

    // ---- Coordinate windows and dimension positions (Windows.cpp) ----------------------------
    Long GetLonLatDeg(VArray<float>& lonOut, VArray<float>& latOut, const VArray<Long>& startp,
                      const VArray<Long>& endp, const VArray<Long>& stride, Long tcount, Long nNc);
    Long GetLonLatRad(VArray<float>& lonOut, VArray<float>& latOut, const VArray<Long>& startp,
                      const VArray<Long>& endp, const VArray<Long>& stride, Long tcount, Long nNc);
    float GLonOffSet(float WestLon, float EastLon, Long nNc);
    // The three positions check the slot, not nv: one outside the records raises 9.
    Long DofTime(Long nv, Long nNc);
    Long DofLevel(Long nv, Long nNc);
    Long indexOfDID(Long nv, Long did, Long nNc);
};
