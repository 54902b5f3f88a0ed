#pragma once
// The stages that every vector map is made of, beside the frame stages of RenderStages.h. A
// vector map is a short function that runs them on one RenderContext and one VectorFrame, for
// example the regular-grid vector map:
//
//     RenderContext rc(pic, "[DrawGridVector]");  // busy guard; pointer restored on exit
//     KeepPen pen(pic);                           // the picture's styles restored on exit
//     if (!ScaleCheck(rc)) return;
//     VectorFrame vf;
//     BeginPair(rc, vf, Data.Picks(k), Data.Picks(k + 1));   // names, title, hourglass
//     VectorLegend(rc, vf, kGridKindZeroMagnitude);  // label, vscale, reference arrow
//     PinTimeAndLevel(rc, ...);  DateLabel(rc, ...);  TimeBar(rc, ...);
//     if (!WindowCheck(rc)) return;
//     if (!DrawGridArrowsStep(rc, vf)) return;    // reads and arrows (seam copies too)
//     VectorFooter(rc, vf);  EndRender(rc);
//
// A time-stepped vector map runs the same stages before TimeLoop and its footer after it.
//
// Every name, unit and read of an item comes from that item's own dataset slot (a pair may
// take u from the main file and v from the second one). Every read passes NoVal as the
// no-value mark and every arrow test skips a component at or below it. An arrow costs a few
// polygon edges; nothing in these stages lets events in.
#include "runtime/Types.h"
#include "runtime/VArray.h"

#include <string>

struct RenderContext;
struct PickItem;

// The pair of one vector drawing and its legend.
struct VectorFrame {
    // u (eastward, along x) and v (northward, drawn upwards) with each item's dataset slot.
    Long u = 0;
    Long v = 0;
    Long uSlot = 1;
    Long vSlot = 1;
    Long nd = 0;    // number of dimensions of u (asked of uSlot); the pair shares one window
    Long order = 0; // u's own longitude/latitude order: 1 lon second-to-last, 2 lon last
    std::string uName, vName; // variName of each item in its own slot
    std::string uUnit, vUnit; // variUnit of each item in its own slot

    // The legend: the VectorKind asked of uSlot, the factor applied to every drawn component
    // (1, or 0.01 for centimetre units), the reference arrow's magnitude and its label.
    Long kind = 0;
    float unitFactor = 1;
    float refMagnitude = 0;
    std::string label;

    // Where the last arrow walk stood (longitude and latitude index, or the GMT walk's column
    // and row): the read-failure box shows them. 0 and 0 before any walk.
    Long walkI = 0;
    Long walkJ = 0;
    // The point-list walk leaves its position index in walkJ for the mesh's failure box; the
    // cell list's box always shows 0 0.
    bool listIndexShown = true;
};

// ---- The pair ----------------------------------------------------------------------------------
// Takes the pair of picks into vf: variable numbers, slots (below 1 counts as 1), u's rank and
// order, and each item's name and unit from its own slot. The context is not touched.
void UsePair(VectorFrame& vf, const PickItem& uPick, const PickItem& vPick);
// UsePair; the context's variable becomes u (UsePick), so that the frame stages (window check,
// time and level positions) work on u; then the pair's title at (1, 1) and the hourglass.
void BeginPair(RenderContext& rc, VectorFrame& vf, const PickItem& uPick, const PickItem& vPick);
// uName & " & " & vName.
std::string PairTitle(const VectorFrame& vf);

// ---- Legend, scale, reference arrow, footer -----------------------------------------------------
// The reference magnitude of VectorKind 0 (no pair recognised): the regular grid's one-step map
// takes 1, every other vector map 10. Kind 1 is always 1 and kind 2 always 10.
inline constexpr float kGridKindZeroMagnitude = 1;
inline constexpr float kKindZeroMagnitude = 10;
// The legend of the pair: vf.kind := Vector(uSlot); kinds 0 to 2 take their magnitude and the
// label of UnitLegend with uUnit; any other kind an empty label, magnitude 0 and factor 1.
void PairLegend(VectorFrame& vf, float kindZeroMagnitude);
// True when a speed unit is in centimetres: it begins, after an opening bracket if any, with
// "CM" or with "centimet" spelled out ("cm/s", "(cm/s)", "cm s-1", "centimeter/s",
// "centimetres per second"), in any case. A leading blank is no centimetre unit.
bool IsCentimetreUnit(const std::string& unit);
// vf.refMagnitude := magnitude and the label and factor of unit: a centimetre unit
// (IsCentimetreUnit) gives factor 0.01 and "1 m/sec" or "10 m/sec"; any other gives factor 1
// and "1 " or "10 " followed by the trimmed unit (magnitude 1 or 10).
void UnitLegend(VectorFrame& vf, float magnitude, const std::string& unit);
// Opt.vscale := the leading number of "Scales"/"vscale" in the settings file; when that is not
// above 0 (missing, empty, not a number, zero or negative) 10, written back as " 10". Returns it.
float LoadVectorScale();
// The label at (1, its text height), one line below the title, and the reference arrow of
// (refMagnitude, 0) right of it: DrawVectorXY at (TextWidth(label) + 10, 1.5 TextHeight(label)).
void ReferenceArrow(RenderContext& rc, const VectorFrame& vf);
// The legend stage of every vector map: PairLegend, LoadVectorScale and ReferenceArrow, in that
// order.
void VectorLegend(RenderContext& rc, VectorFrame& vf, float kindZeroMagnitude);
// PairTitle & "  Scale= " & Str(vscale) at (1, 1), over the title.
void VectorFooter(RenderContext& rc, const VectorFrame& vf);

// ---- Reads -----------------------------------------------------------------------------------
// The results of the two reads of a pair (the value counts; below 0 a failure; v is not read
// after a failed u).
struct PairRead {
    Long ru = 0;
    Long rv = 0;
    bool failed() const { return ru < 0 || rv < 0; }
    bool drawable() const { return ru > 0 && rv > 0; }
};
// Reads u into uOut from uSlot and v into vOut from vSlot over the window given, count values
// each, with NoVal as the mark.
PairRead ReadPair(const VectorFrame& vf, VArray<float>& uOut, VArray<float>& vOut, Long count,
                  const VArray<Long>& start, const VArray<Long>& counts, const VArray<Long>& steps);
// The same over the read window into uV and vV.
PairRead ReadPair(RenderContext& rc, const VectorFrame& vf);
// The NetCDF error box of a failed pair read, titled rc.tag & " NetCDF Error": ErrorMessage,
// then IjWindowLines with the walk's indices (vf.walkI, vf.walkJ) and vf.nd.
void ShowPairReadFailure(RenderContext& rc, const VectorFrame& vf);

// ---- Arrows ------------------------------------------------------------------------------------
// One data arrow at (lon, lat): skipped when u or v is at or below NoVal; else both are scaled
// by vf.unitFactor in place (the probe reads the drawn values) and DrawVectorLL draws it
// (nothing for a zero vector). A position the transform refuses skips the arrow; the first
// refusal of a drawing is reported (CountRefusal).
void PairArrow(RenderContext& rc, const VectorFrame& vf, float& u, float& v, float lon, float lat);

// ---- Regular and GMT grids -------------------------------------------------------------------
// Reads the pair over the read window into uV/vV and over each seam window of a global grid into
// its uValues/vValues (the time and level of the read window hold for them; pairRead marks
// the ones read). A failed read shows ShowPairReadFailure and gives false. drawable is set when
// the read window's reads both returned values.
bool ReadPairWindows(RenderContext& rc, VectorFrame& vf, bool& drawable);
// The arrows at the grid points of the read window (when drawable) and of every seam window
// read, in u's own longitude/latitude order, the seam copies shifted by their periods. The walk
// takes exactly the indices the read took.
void WalkGridArrows(RenderContext& rc, VectorFrame& vf, bool drawable);
// One step of the regular grid's vector map: ReadPairWindows, then WalkGridArrows.
bool DrawGridArrowsStep(RenderContext& rc, VectorFrame& vf);
// The GMT grid's arrows: uV/vV(startp(nd) .. endp(nd) by stride(nd)) laid out as nLat rows of
// nLon columns from the northern row, the walk stopping after nLon x nLat values; on a global
// grid again for each copy that the view reaches.
void WalkGmtArrows(RenderContext& rc, VectorFrame& vf);

// ---- Three picks -----------------------------------------------------------------------------
// The scalar s and the vector pair p (the pair is Picks(p), Picks(p + 1)) among three picks: a
// u component (water or wind) followed by a v component at position 1 or 2; a match at 2
// replaces one at 1; a u in the third position starts no pair. p = s = 0 when there is none.
void FindTriplePair(Long& p, Long& s);
// The message of three picks without a pair.
inline constexpr const char* kNoTriplePairText =
    "Picked 3 items, but cannot determine which are vector";
