#pragma once
// The stages that every map renderer is made of. A renderer is a short function that runs
// them in its own order on one RenderContext, for example the regular-grid scalar map:
//
//     RenderContext rc(pic, "[DrawGridScalar]");    // busy guard; pointer restored on exit
//     if (!ScaleCheck(rc)) return;                  // "(no geographical extent)"
//     BeginFrame(rc, Picks(k), FrameFill::Mask);    // variable, title, hourglass, colours,
//                                                   // stored range
//     PinTimeAndLevel(rc, CurTimeStep, CurLevel);
//     DateLabel(rc, CurTimeStep);  TimeBar(rc, CurTimeStep);
//     if (!WindowCheck(rc)) return;
//     if (!DrawGridStep(rc)) return;                // read, range, cells (GridCells.h)
//     Footer(rc);  WriteBackRange(rc);  EndRender(rc);
//
// A time-stepped renderer runs the stages before its loop, then TimeLoop with a body that
// reads, ranges and draws one step, then Footer and WriteBackRange. Renderers with an error
// tail catch std::exception around their stages and call ShowErrorTail with ErrorTailText.
//
// The stages draw straight into the picture: the walks allocate nothing per cell and never
// let events in; only TimeLoop pumps events, once per step. Every stage names the slot the
// context says: infoSlot for the variable's name, unit, rank and dimension positions (the
// pick's own dataset), readSlot for the reads, dateSlot for dates and the step count.
#include "runtime/Types.h"
#include "runtime/VArray.h"
#include "viewer/map/BusyGuard.h"

#include <exception>
#include <functional>
#include <optional>
#include <string>

class Picture;
struct PickItem;
struct ReadWindowState;
struct DatasetState;
struct ViewState;
struct ColorScaleState;

// The state of one drawing, from its first stage to its last.
struct RenderContext {
    // Takes the busy guard for the whole drawing. tag is the renderer's bracketed name
    // ("[DrawGridScalar]"): it heads the window-check message and titles the error boxes.
    RenderContext(Picture& picture, std::string bracketTag);
    // Puts the default mouse pointer back when the drawing set the hourglass, on every exit
    // (errors included), and releases the guard.
    ~RenderContext();
    RenderContext(const RenderContext&) = delete;
    RenderContext& operator=(const RenderContext&) = delete;

    Picture& pic;
    std::string tag;

    // References, bound as the context is made, to four of the shared-state structs: the read
    // window with the values read through it, the coordinates, the map transform (which
    // ScaleCheck sets) and the colour scale. The context holds no copy: these are the shared
    // structs themselves, and the stages and walks reach them through here. The dataset
    // object, the picks, the current step and level and the order window's boxes are not bound
    // here; stages and renderers still read those from the shared state (Data, the boxes).
    ReadWindowState& win;
    const DatasetState& coords; // lonV, latV, the mesh nodes and triangles
    const ViewState& view;      // the transform
    ColorScaleState& scale;

    // The variable drawn.
    Long nvar = 0;
    Long nd = 0;       // its number of dimensions
    Long infoSlot = 1; // slot asked for its name, unit, rank, order and dimension positions
    Long readSlot = 1; // slot of its reads
    Long dateSlot = 1; // slot asked for dates and the number of steps
    std::string name;  // variName(nvar, infoSlot)

    // The picture's scale size at ScaleCheck, rounded (halves to even).
    Long width = 0;
    Long height = 0;

    // Step and level pinned, and the positions of the time and level dimensions among the
    // variable's dimensions (0: it has none).
    Long step = 0;
    Long level = 0;
    Long timePos = 0;
    Long levelPos = 0;

    // Colour range: a and b the two ends (stored words, or running maximum and minimum),
    // stored when the "Scales" entry is in use; sawValue once the automatic range took a value.
    float a = -1e10f;
    float b = 1e10f;
    bool stored = false;
    bool sawValue = false;
    // Data range of the values drawn.
    float dmax = -1e10f;
    float dmin = 1e10f;

    // Transforms that failed during this drawing (their boxes are skipped); the first one is
    // reported, the others are not.
    Long transformFailures = 0;

private:
    friend void BeginRender(RenderContext&);
    friend void EndRender(RenderContext&);
    std::optional<BusyGuard> busy_;
    bool hourglass_ = false;
};

// ---- Frame stages ------------------------------------------------------------------------------
// Rounds the picture's scale size into width and height and sets the map transform. False,
// after printing "(no geographical extent)" at (width / 4, height / 2), when there is none.
bool ScaleCheck(RenderContext& rc);
// Takes the variable of a pick: nvar, its slot as infoSlot and readSlot (a slot below 1 counts
// as 1), nd and name asked of that slot. dateSlot stays 1.
void UsePick(RenderContext& rc, const PickItem& pick);
// The same for a variable given directly.
void UseVariable(RenderContext& rc, Long nvar, Long infoSlot, Long readSlot);
// FillStyle 1 (transparent) and DrawMode 9 (mask pen), as the grid maps draw; not restored.
void SetMaskMode(Picture& pic);
// Gives the picture the focus and prints text at (1, 1).
void PrintTitle(RenderContext& rc, const std::string& text);
// The hourglass pointer until EndRender or the end of the context.
void BeginRender(RenderContext& rc);
// The default pointer; the context's destructor does it too.
void EndRender(RenderContext& rc);
// Colour scheme 30, variant 0: done before any value is coloured, so that map and legend agree.
void PrepareColours(RenderContext& rc);

// What the frame does to the picture's fill before its title: nothing, the grid maps' mask
// (SetMaskMode), or solid polygons (FillStyle 0, the boundary-fitted grid's cells).
enum class FrameFill { Keep, Mask, Solid };
// The opening of every data frame: UsePick, the fill, PrintTitle with the variable's name,
// BeginRender, PrepareColours and StoredRange, in that order.
void BeginFrame(RenderContext& rc, const PickItem& pick, FrameFill fill = FrameFill::Keep);

// The "Scales" entry of the variable (empty name: no entry): a = word 2, b = word 3, ScaleMax
// and ScaleMin their larger and smaller, stored when that span is positive; without an entry
// a = -1e10, b = 1e10. dmax, dmin, sawValue start afresh.
void StoredRange(RenderContext& rc);
// The positions of the time and level dimensions of the variable (infoSlot's TimedId and
// LeveldId).
void FindTimeAndLevel(RenderContext& rc);
// startp(timePos) := step (when timePos > 0); rc.step := step.
void PinStep(RenderContext& rc, Long step);
// startp(levelPos) := level (when levelPos > 0); rc.level := level.
void PinLevel(RenderContext& rc, Long level);
// FindTimeAndLevel, then PinStep and PinLevel.
void PinTimeAndLevel(RenderContext& rc, Long step, Long level);
// The date of step printed flush with the top right corner (empty outside the axis).
void DateLabel(RenderContext& rc, Long step);
// The time bar of step along the bottom edge (DrawProgressBar with the dataset's nTime).
void TimeBar(RenderContext& rc, Long step);
// False, after the box tag & " Code error: Geogrphical miss-match" and the default pointer,
// when countp(nd) or tcount is not above 0.
bool WindowCheck(RenderContext& rc);

// ---- Reads --------------------------------------------------------------------------------------
// GetVarsAny of the variable over the context's startp/countp/stride with count values into
// into, from readSlot; the result as a Long (Empty counts 0, a failure is below 0).
Long ReadSlice(RenderContext& rc, VArray<float>& into, Long count);
// The same over another window of the variable (a seam window).
Long ReadSlice(RenderContext& rc, VArray<float>& into, Long count, const VArray<Long>& start,
               const VArray<Long>& counts, const VArray<Long>& steps);
// The NetCDF error box: default pointer first, then ErrorMessage, two line breaks and
// windowLines, critical icon, titled title.
void ShowReadFailure(RenderContext& rc, const std::string& title, const std::string& windowLines);
// "nvar, tcount= " & Str(nvar) & " " & Str(count) & CRLF, then per dimension
// "start, count, stride = " & Str(startp) & " " & Str(countp) & " " & Str(stride) & CRLF, of the
// context's variable and read window.
std::string GridWindowLines(const RenderContext& rc, Long count);
// The same lines for another window.
std::string GridWindowLines(Long nvar, Long count, Long nd, const VArray<Long>& start,
                            const VArray<Long>& counts, const VArray<Long>& steps);
// "i,j= " & Str(i) & " " & Str(j) & CRLF, then per dimension "startp, count= " & Str(startp)
// & " " & Str(countp) & CRLF, of the context's read window.
std::string IjWindowLines(const RenderContext& rc, Long i, Long j, Long nd);
// The same lines for another window (a seam window).
std::string IjWindowLines(Long i, Long j, Long nd, const VArray<Long>& start,
                          const VArray<Long>& counts);
// The grid maps' read: ReadSlice into scalarV with tcount; on failure the box titled
// tag & " NetCDF Error" with GridWindowLines, and false.
bool ReadGridSlice(RenderContext& rc);

// ---- Ranges
// -------------------------------------------------------------------------------------- Unless
// stored: widens a (maximum) and b (minimum) by every value above NoVal among the first count of
// values, then ScaleMax := a, ScaleMin := b (ordered: the larger and the smaller).
void AutoRange(RenderContext& rc, const VArray<float>& values, Long count, bool ordered = false);
// Widens the data range by v (every walk calls it for each value it draws).
inline void TakeValue(RenderContext& rc, float v) {
    if (v > rc.dmax) rc.dmax = v;
    if (v < rc.dmin) rc.dmin = v;
}
// Str(a - b) & "  " & Str(a) & "  " & Str(b): the stored-range text.
std::string StoredRangeText(float a, float b);
// The two footer lines: name " /Scale/ " a " to " b at (1, 1), name " /Range/ " dmax " to "
// dmin at the bottom left.
void Footer(RenderContext& rc);
// The end of a frame: Footer, WriteBackRange, EndRender.
void FinishFrame(RenderContext& rc);
// The end of a one-step frame of the point renderers: events once, the colour key, then
// FinishFrame.
void LegendAndFinish(RenderContext& rc);
// Stores the automatic range under the variable's name in "Scales": only when the range was
// worked out (not stored), took at least one value, and the name is not empty.
void WriteBackRange(RenderContext& rc);

// ---- Walks
// ----------------------------------------------------------------------------------------- A point
// to picture units. False when the transform refuses it: the caller skips that box, segment or
// arrow; the first refusal of a drawing is reported in a box, the others silently counted. A
// coordinate that is not finite is skipped the same way, without a report.
bool MapPoint(RenderContext& rc, float lon, float lat, float& x, float& y);
// Counts a point that the transform refused; the first of a drawing is reported in a box.
void CountRefusal(RenderContext& rc);
// A box of +-1 picture unit around each point k = 1 .. count at (lon(k), lat(k)) coloured by
// values(firstValue + (k - 1) * valueStep); missing values and points whose coordinates mark
// no position (PositionKnown) get no box. For cells, mesh nodes and elements.
void WalkPointCells(RenderContext& rc, const VArray<float>& lon, const VArray<float>& lat,
                    Long count, const VArray<float>& values, Long firstValue = 1,
                    Long valueStep = 1);
// The boundary-fitted grid's quadrilaterals over the read window, coloured by the value at each
// cell's first node, drawn with Polygon in FillColor/ForeColor. varOrder is the variable's own
// variLonLatOrder (1 or 4: i second-to-last; 2: j second-to-last; any other value draws
// nothing), so that a dataset whose variables come in both orders draws them all; the corners
// are looked up at lonV(i, j), or at lonV(j, i) when coordsJFirst (BfgdCoordsJFirst). iMax and
// jMax bound the neighbour corners. A cell with a corner that marks no position is skipped; a
// cell across the longitude seam is drawn whole (KeepWhole), also at each other copy the view
// shows. i and j receive the walk's indices along i and j as they stand.
void WalkBfgdCells(RenderContext& rc, Long varOrder, bool coordsJFirst, Long iMax, Long jMax,
                   Long& i, Long& j);

// ---- Moving cells ------------------------------------------------------------------------------
// A cell list whose cells move (drifters, trajectories) has one row of positions per index of
// the dimension they move along. The rows a drawing shows: the step pinned when that dimension
// is the time axis, else all of them (every trajectory). pos is that dimension's position among
// the variable's dimensions; 0 when the cells stay at lonV, latV or the variable does not run
// along it.
struct MovingRows {
    Long pos = 0;
    Long first = 1;
    Long count = 1;
};
MovingRows MovingRowsOf(const RenderContext& rc);
// The cells' positions in row `row`, in map units. False when the dataset gives none.
bool RowPositions(Long row, VArray<float>& lon, VArray<float>& lat);

// ---- Whole-list windows ------------------------------------------------------------------------
// The window of a whole point list: startp, countp, stride redimensioned to 1 .. nd, every
// entry 1, countp(nd) := count (endp, tcount and the seam window untouched).
void WholeListWindow(RenderContext& rc, Long count);
// The frame of the point-list renderers (cells, mesh nodes) up to the read window of the whole
// list of count points: BeginFrame on the first pick, the window, and the level pinned.
// Returns count.
Long BeginPointList(RenderContext& rc, Long count);

// ---- The time loop
// -------------------------------------------------------------------------------
struct TimeLoopOptions {
    bool clearBarFirst = true; // DrawProgressBar(pic, 0, 0) before the loop
    bool clearEachStep = true; // Cls at the start of each step
    bool timeBar = true;       // the time bar of each step
    bool dateLabel = true;     // the date of each step
    bool pinStep = true;       // startp(timePos) := step
    bool coastline = true;     // DrawCoast after each step when CoastFlag is 1
    Long timeStride = 1;       // steps from one drawing to the next (1 or more)
};
// The body of one step: read, range and draw it. False ends the loop with the result -1 (the
// body has shown its message).
using StepBody = std::function<bool(RenderContext& rc, Long step)>;
// Runs the steps after the one in the step box (a box at or beyond the last step, empty or no
// number starts after step 1) up to nTime (asked before each step), timeStride apart: while
// step + timeStride does not pass nTime, per step Cls, step + timeStride,
// time bar, Str(step) into the step box, date, pin, body, coastline, then DoEvents once (a
// resize of the picture let in there gives the next steps its new size and transform).
// CancelFlag is 0 when the loop starts; -1 after a step (Esc, or the map window closing)
// ends the loop with the caption "Drawing Coastline: Canceled" and the flag back at 0.
// Result: the last step drawn (the start step when none), -1 when the body failed.
Long TimeLoop(RenderContext& rc, const StepBody& body, const TimeLoopOptions& options = {});
// The start step of a loop from the step box's text and the number of steps.
Long StartStep(const std::string& boxText, Long nSteps);

// ---- The map window's caption
// ---------------------------------------------------------------------- PicForm installs the
// setter of its caption; without one the text is only kept.
void SetMapCaption(const std::string& text);
std::function<void(const std::string&)>
setMapCaptionSink(std::function<void(const std::string&)> f);
// The last caption set through SetMapCaption (tests).
const std::string& LastMapCaption();

// ---- Error tails
// ------------------------------------------------------------------------------------ The error's
// number: a RuntimeError's own; 7 for an allocation failure; 5 for anything else.
int ErrorNumberOf(const std::exception& e);
// The error's description (the runtime's text for a RuntimeError).
std::string ErrorDescriptionOf(const std::exception& e);
// "Error(" & number & "):" & CRLF & CRLF & """" & description & """" (plain digits).
std::string ErrorTailText(const std::exception& e);
// Default pointer, then a box (OK, no icon) with text titled title ("" gives the program's).
void ShowErrorTail(RenderContext& rc, const std::string& text, const std::string& title);
