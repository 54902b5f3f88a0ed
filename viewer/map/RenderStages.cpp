#include "viewer/map/RenderStages.h"

#include "common/MinMax.h"
#include "common/Strings.h"
#include "common/Ui.h"
#include "gui/Picture.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "viewer/map/AnimationStop.h"
#include "viewer/map/CScale.h"
#include "viewer/map/DrawCost.h"
#include "viewer/map/MapGeometry.h"
#include "viewer/map/MapPositions.h"
#include "viewer/map/ProgressBar.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <stdexcept>
#include <vector>

namespace {

constexpr const char* kCrLf = "\r\n";

std::function<void(const std::string&)> gCaptionSink;
std::string gLastCaption;
[[maybe_unused]] const bool kResetRegistered = RegisterSharedStateReset([] {
    gCaptionSink = {};
    gLastCaption.clear();
});

// A picture position to a device point, halves to even.
Long toDevice(float v) {
    return CLng(static_cast<double>(v));
}

} // namespace

// ---- Context
// -------------------------------------------------------------------------------------

RenderContext::RenderContext(Picture& picture, std::string bracketTag)
    : pic(picture), tag(std::move(bracketTag)), win(Win), coords(Data), view(View), scale(Scale) {
    busy_.emplace();
}

RenderContext::~RenderContext() {
    if (hourglass_) {
        try {
            ui().SetMousePointer(kPointerDefault);
        } catch (...) {}
    }
}

// ---- Frame stages ------------------------------------------------------------------------------

bool ScaleCheck(RenderContext& rc) {
    return SetPictureScale(rc.pic, rc.width, rc.height) == 0;
}

void UseVariable(RenderContext& rc, Long nvar, Long infoSlot, Long readSlot) {
    rc.nvar = nvar;
    rc.infoSlot = infoSlot < 1 ? 1 : infoSlot;
    rc.readSlot = readSlot < 1 ? 1 : readSlot;
    rc.nd = Data.clsNC->variNarray(nvar, rc.infoSlot);
    rc.name = Data.clsNC->variName(nvar, rc.infoSlot);
}

void UsePick(RenderContext& rc, const PickItem& pick) {
    UseVariable(rc, pick.varNumber, pick.datasetIndex, pick.datasetIndex);
}

void SetMaskMode(Picture& pic) {
    pic.setFillStyle(kFillTransparent);
    pic.setDrawMode(kDrawMaskPen);
}

void PrintTitle(RenderContext& rc, const std::string& text) {
    rc.pic.SetFocus();
    rc.pic.setCurrentX(1);
    rc.pic.setCurrentY(1);
    rc.pic.Print(text);
}

void BeginRender(RenderContext& rc) {
    ui().SetMousePointer(kPointerHourglass);
    rc.hourglass_ = true;
}

void EndRender(RenderContext& rc) {
    ui().SetMousePointer(kPointerDefault);
    rc.hourglass_ = false;
}

void PrepareColours(RenderContext& rc) {
    SetColourScheme(rc.scale, 30, 0);
}

void BeginFrame(RenderContext& rc, const PickItem& pick, FrameFill fill) {
    UsePick(rc, pick);
    if (fill == FrameFill::Mask) SetMaskMode(rc.pic);
    if (fill == FrameFill::Solid) rc.pic.setFillStyle(kFillSolid);
    PrintTitle(rc, rc.name);
    BeginRender(rc);
    PrepareColours(rc);
    StoredRange(rc);
}

void StoredRange(RenderContext& rc) {
    // A variable without a name has no entry of its own: it must not share the empty key.
    const std::string entry =
        rc.name.empty() ? std::string() : GetString(rc.name, "Scales", Opt.IniFile);
    rc.stored = false;
    if (!entry.empty()) {
        rc.a = static_cast<float>(GetWord(entry, 2));
        rc.b = static_cast<float>(GetWord(entry, 3));
        SetColourRange(rc.scale, MaxS(rc.a, rc.b), MinS(rc.a, rc.b));
        rc.stored = static_cast<float>(rc.scale.ScaleMax - rc.scale.ScaleMin) > 0;
    } else {
        rc.a = -1e10f;
        rc.b = 1e10f;
    }
    rc.sawValue = false;
    rc.dmax = -1e10f;
    rc.dmin = 1e10f;
}

void FindTimeAndLevel(RenderContext& rc) {
    rc.timePos = Data.clsNC->indexOfDID(rc.nvar, Data.clsNC->TimedId(rc.infoSlot), rc.infoSlot);
    rc.levelPos = Data.clsNC->indexOfDID(rc.nvar, Data.clsNC->LeveldId(rc.infoSlot), rc.infoSlot);
}

void PinStep(RenderContext& rc, Long step) {
    rc.step = step;
    if (rc.timePos > 0) rc.win.startp(rc.timePos) = step;
}

void PinLevel(RenderContext& rc, Long level) {
    rc.level = level;
    if (rc.levelPos > 0) rc.win.startp(rc.levelPos) = level;
}

void PinTimeAndLevel(RenderContext& rc, Long step, Long level) {
    FindTimeAndLevel(rc);
    PinStep(rc, step);
    PinLevel(rc, level);
}

void DateLabel(RenderContext& rc, Long step) {
    const std::string date = Data.clsNC->DatePicked(step, rc.dateSlot);
    rc.pic.setCurrentX(rc.pic.ScaleWidth() - 1.1f * rc.pic.TextWidth(date));
    rc.pic.setCurrentY(0);
    rc.pic.Print(date);
}

void TimeBar(RenderContext& rc, Long step) {
    DrawProgressBar(rc.pic, step, Data.clsNC->nTime(rc.dateSlot));
}

bool WindowCheck(RenderContext& rc) {
    const ReadWindowState& w = rc.win;
    const bool empty = rc.nd < 1 || !w.countp.IsAllocated() || w.countp.UBound() < rc.nd ||
                       w.countp(rc.nd) <= 0 || w.tcount <= 0;
    if (!empty) return true;
    ui().MsgBox(rc.tag + " Code error: Geogrphical miss-match", kOkOnly, kProgramTitle);
    EndRender(rc);
    return false;
}

// ---- Reads
// -----------------------------------------------------------------------------------------

Long ReadSlice(RenderContext& rc, VArray<float>& into, Long count) {
    return ReadSlice(rc, into, count, rc.win.startp, rc.win.countp, rc.win.stride);
}

Long ReadSlice(RenderContext& rc, VArray<float>& into, Long count, const VArray<Long>& start,
               const VArray<Long>& counts, const VArray<Long>& steps) {
    const Variant r =
        Data.clsNC->GetVarsAny(rc.nvar, NoVal, into, start, counts, steps, count, rc.readSlot);
    return r.IsEmpty() ? 0 : r.toLong();
}

void ShowReadFailure(RenderContext& rc, const std::string& title, const std::string& windowLines) {
    EndRender(rc);
    ui().MsgBox(Data.clsNC->ErrorMessage() + kCrLf + kCrLf + windowLines, kCritical, title);
}

std::string GridWindowLines(const RenderContext& rc, Long count) {
    return GridWindowLines(rc.nvar, count, rc.nd, rc.win.startp, rc.win.countp, rc.win.stride);
}

std::string GridWindowLines(Long nvar, Long count, Long nd, const VArray<Long>& start,
                            const VArray<Long>& counts, const VArray<Long>& steps) {
    std::string s = "nvar, tcount= " + Str(nvar) + " " + Str(count) + kCrLf;
    for (Long d = 1; d <= nd; ++d)
        s += "start, count, stride = " + Str(start(d)) + " " + Str(counts(d)) + " " +
             Str(steps(d)) + kCrLf;
    return s;
}

std::string IjWindowLines(const RenderContext& rc, Long i, Long j, Long nd) {
    return IjWindowLines(i, j, nd, rc.win.startp, rc.win.countp);
}

std::string IjWindowLines(Long i, Long j, Long nd, const VArray<Long>& start,
                          const VArray<Long>& counts) {
    std::string s = "i,j= " + Str(i) + " " + Str(j) + kCrLf;
    for (Long d = 1; d <= nd; ++d)
        s += "startp, count= " + Str(start(d)) + " " + Str(counts(d)) + kCrLf;
    return s;
}

bool ReadGridSlice(RenderContext& rc) {
    if (ReadSlice(rc, rc.win.scalarV, rc.win.tcount) >= 0) return true;
    ShowReadFailure(rc, rc.tag + " NetCDF Error", GridWindowLines(rc, rc.win.tcount));
    return false;
}

// ---- Ranges
// -----------------------------------------------------------------------------------------

void AutoRange(RenderContext& rc, const VArray<float>& values, Long count, bool ordered) {
    if (rc.stored) return;
    float a = rc.a, b = rc.b;
    bool saw = false;
    // One pass over the values with the comparisons in line: the first frame of a large field
    // spends its time here. They give what MaxS and MinS give (a NaN start stays with MinS).
    if (count >= 1) {
        (void)values(count); // a window past the values raises 9 before anything changes
        const float* p = &values(1);
        for (Long i = 0; i < count; ++i) {
            const float v = p[i];
            if (v > NoVal) {
                a = a > v ? a : v;
                b = b < v || std::isnan(b) ? b : v;
                saw = true;
            }
        }
    }
    rc.a = a;
    rc.b = b;
    rc.sawValue = rc.sawValue || saw;
    if (ordered)
        SetColourRange(rc.scale, MaxS(a, b), MinS(a, b));
    else
        SetColourRange(rc.scale, a, b);
}

std::string StoredRangeText(float a, float b) {
    return Str(static_cast<float>(a - b)) + "  " + Str(a) + "  " + Str(b);
}

void Footer(RenderContext& rc) {
    const std::string line1 = rc.name + " /Scale/ " + Str(rc.a) + " to " + Str(rc.b);
    rc.pic.setCurrentX(1);
    rc.pic.setCurrentY(1);
    rc.pic.Print(line1);
    const std::string line2 = rc.name + " /Range/ " + Str(rc.dmax) + " to " + Str(rc.dmin);
    rc.pic.setCurrentX(1);
    rc.pic.setCurrentY(static_cast<float>(rc.height) - rc.pic.TextHeight(line2));
    rc.pic.Print(line2);
}

void WriteBackRange(RenderContext& rc) {
    // A range that saw no value would pin -1e10 .. 1e10 on every later draw.
    if (rc.stored || !rc.sawValue || rc.name.empty()) return;
    PutString(rc.name, "Scales", Opt.IniFile, StoredRangeText(rc.a, rc.b));
}

// ---- Walks
// ------------------------------------------------------------------------------------------

bool MapPoint(RenderContext& rc, float lon, float lat, float& x, float& y) {
    // A coordinate that is no number has no place on the map: skipped, and not a refusal.
    if (!std::isfinite(lon) || !std::isfinite(lat)) return false;
    if (ll2_to_xy2Quiet(rc.view, lon, lat, x, y) == 0) return true;
    CountRefusal(rc);
    return false;
}

void CountRefusal(RenderContext& rc) {
    if (rc.transformFailures++ == 0)
        ui().MsgBox("[rad_to_xy] rad_to_xy returned -1", kOkOnly, kProgramTitle);
}

void WalkPointCells(RenderContext& rc, const VArray<float>& lon, const VArray<float>& lat,
                    Long count, const VArray<float>& values, Long firstValue, Long valueStep) {
    PixelBoxes boxes(rc.pic);
    Long idx = firstValue;
    for (Long k = 1; k <= count; ++k, idx += valueStep) {
        const float v = values(idx);
        if (v <= NoVal) continue;
        TakeValue(rc, v);
        if (!PositionKnown(lon(k), lat(k))) continue; // a land point's fill: no box
        float x = 0, y = 0;
        if (!MapPoint(rc, lon(k), lat(k), x, y)) continue;
        if (!boxes.direct()) {
            rc.pic.Line(x - 1, y - 1, x + 1, y + 1, ValueToColor(rc.scale, v), LineFlag::BF);
            continue;
        }
        int x0 = 0, x1 = -1, y0 = 0, y1 = -1;
        boxes.columns(x - 1, x + 1, x0, x1);
        boxes.rows(y - 1, y + 1, y0, y1);
        if (x0 <= x1 && y0 <= y1) boxes.fill(x0, y0, x1, y1, ValueToColor(rc.scale, v));
    }
}

namespace {

bool samePoint(const PointApi& a, const PointApi& b) {
    return a.x == b.x && a.y == b.y;
}

// The quadrilateral of the corners pts[1 .. 4], closed, filled and outlined in color.
void fillCell(Picture& pic, PointApi (&pts)[5], Long color) {
    pts[0] = pts[1];
    pic.setFillColor(color);
    pic.setForeColor(color);
    Polygon(pic, pts, 5);
}

// One quadrilateral of the boundary-fitted grid, its corners kept on one side of the seam, at
// its own place and at each other copy that the view shows. A corner the transform refuses
// takes that copy with it.
void drawBfgdCell(RenderContext& rc, float (&lons)[4], const float (&lats)[4], Long color,
                  const ViewEdges& view, float period, PointApi (&pts)[5]) {
    float lo = 0, hi = 0;
    KeepWhole(lons, 4, period, lo, hi);
    const LonCopies copies = CopiesInView(lo, hi, view.W, view.E, period);
    for (int n = 0; n < copies.count; ++n) {
        bool ok = true;
        for (int c = 0; c < 4 && ok; ++c) {
            float x = 0, y = 0;
            ok = MapPoint(rc, lons[c] + copies.shift[n], lats[c], x, y);
            pts[c + 1] = {toDevice(x), toDevice(y)};
        }
        if (ok) fillCell(rc.pic, pts, color);
    }
}

} // namespace

namespace {

// The corners of the boundary-fitted walk, each transformed once per drawing (a node is a
// corner of up to four cells): the walk's own indices along a and b, the corner one step on
// from the last included, and each node's device point.
class BfgdNodes {
public:
    enum State : unsigned char { Placed, Unknown, Refused };

    BfgdNodes(const RenderContext& rc, Long aStart, Long aEnd, Long aStep, Long aLimit,
              bool aCloses, Long bStart, Long bEnd, Long bStep, Long bLimit, bool bCloses,
              bool swapped) {
        axis(as_, aStart, aEnd, aStep, aLimit, aCloses);
        axis(bs_, bStart, bEnd, bStep, bLimit, bCloses);
        const std::size_t nb = bs_.size();
        at_.resize(as_.size() * nb);
        state_.resize(at_.size());
        for (std::size_t ia = 0; ia < as_.size(); ++ia)
            for (std::size_t ib = 0; ib < nb; ++ib) {
                const Long p = swapped ? bs_[ib] : as_[ia];
                const Long q = swapped ? as_[ia] : bs_[ib];
                const float lon = rc.coords.lonV(p, q), lat = rc.coords.latV(p, q);
                float x = 0, y = 0;
                State& st = state_[ia * nb + ib];
                if (!PositionKnown(lon, lat))
                    st = Unknown;
                else if (ll2_to_xy2Quiet(rc.view, lon, lat, x, y) != 0)
                    st = Refused;
                else
                    at_[ia * nb + ib] = {toDevice(x), toDevice(y)};
            }
    }
    // The node of the walk's ia-th index along a and ib-th along b.
    std::size_t node(std::size_t ia, std::size_t ib) const { return ia * bs_.size() + ib; }
    const PointApi& at(std::size_t n) const { return at_[n]; }
    State state(std::size_t n) const { return state_[n]; }

private:
    static void axis(std::vector<Long>& out, Long start, Long end, Long step, Long limit,
                     bool closes) {
        out.clear();
        for (Long a = start; a <= end; a += step)
            out.push_back(a);
        if (!out.empty()) out.push_back(BfgdNextNode(out.back(), step, limit, closes));
    }
    std::vector<Long> as_, bs_;
    std::vector<PointApi> at_;
    std::vector<State> state_;
};

// A cell between four transformed nodes (pts[1..4]).
void fillNodeCell(RenderContext& rc, PixelBoxes& boxes, PointApi (&pts)[5], Long color) {
    if (boxes.direct() && rc.pic.DrawStyle() != kDrawInvisible && samePoint(pts[1], pts[2]) &&
        samePoint(pts[1], pts[3]) && samePoint(pts[1], pts[4])) {
        // A cell within one pixel: the polygon would draw just that pixel.
        rc.pic.setFillColor(color);
        rc.pic.setForeColor(color);
        boxes.fill(pts[1].x, pts[1].y, pts[1].x, pts[1].y, color);
        return;
    }
    fillCell(rc.pic, pts, color);
}

// Whether every corner of a cell has a node (none on land without coordinates), and whether
// the transform refused one.
struct CornerStates {
    bool known = true;
    bool refused = false;
};
CornerStates cornerStates(const BfgdNodes& nodes, const std::size_t (&corner)[4]) {
    CornerStates states;
    for (std::size_t n : corner) {
        states.known = states.known && nodes.state(n) != BfgdNodes::Unknown;
        states.refused = states.refused || nodes.state(n) == BfgdNodes::Refused;
    }
    return states;
}

// The positions of a cell's corners (a, b indices, the coordinates indexed (b, a) when swapped).
void cellCorners(const DatasetState& coords, bool swapped, const Long (&ca)[4], const Long (&cb)[4],
                 float* lons, float* lats) {
    for (int c = 0; c < 4; ++c) {
        const Long p = swapped ? cb[c] : ca[c];
        const Long q = swapped ? ca[c] : cb[c];
        lons[c] = coords.lonV(p, q);
        lats[c] = coords.latV(p, q);
    }
}

} // namespace

void WalkBfgdCells(RenderContext& rc, Long varOrder, bool coordsJFirst, Long iMax, Long jMax,
                   Long& i, Long& j) {
    if (varOrder == 4) varOrder = 1; // "gridi" first: the same layout as order 1
    if (varOrder != 1 && varOrder != 2) return;
    const Long nd = rc.nd;
    if (nd < 2) return;
    const bool aIsI = varOrder == 1; // dimension nd - 1 runs over i
    // The coordinates are indexed (b, a) when their first index runs along dimension nd.
    const bool swapped = coordsJFirst == aIsI;
    const Long aLimit = aIsI ? iMax : jMax;
    const Long bLimit = aIsI ? jMax : iMax;
    const ReadWindowState& w = rc.win;
    const VArray<float>& lonV = rc.coords.lonV;
    const VArray<float>& latV = rc.coords.latV;
    const Long aStart = w.startp(nd - 1), aEnd = w.endp(nd - 1), aStep = w.stride(nd - 1);
    const Long bStart = w.startp(nd), bEnd = w.endp(nd), bStep = w.stride(nd);
    if (aStep <= 0 || bStep <= 0) return;
    const ViewEdges view = DrawnViewEdges();
    const float period = MapLonPeriod();
    // A global grid whose last column meets its first: the last cells reach the first nodes.
    auto closes = [&](Long count, Long lines, bool alongA) {
        return LinesCloseUp(count, lines, [&](Long k, Long line, float& lon, float& lat) {
            const Long a = alongA ? k : line, b = alongA ? line : k;
            lon = swapped ? lonV(b, a) : lonV(a, b);
            lat = swapped ? latV(b, a) : latV(a, b);
        });
    };
    const bool aCloses = closes(aLimit, bLimit, true);
    const bool bCloses = closes(bLimit, aLimit, false);
    const BfgdNodes nodes(rc, aStart, aEnd, aStep, aLimit, aCloses, bStart, bEnd, bStep, bLimit,
                          bCloses, swapped);
    PixelBoxes boxes(rc.pic);
    PointApi pts[5];
    Long k = 0;
    std::size_t ia = 0;
    for (Long a = aStart; a <= aEnd; a += aStep, ++ia) {
        std::size_t ib = 0;
        for (Long b = bStart; b <= bEnd; b += bStep, ++ib) {
            (aIsI ? i : j) = a;
            (aIsI ? j : i) = b;
            const float v = w.scalarV(++k);
            if (v <= NoVal) continue;
            TakeValue(rc, v);
            const std::size_t corner[4] = {nodes.node(ia, ib), nodes.node(ia + 1, ib),
                                           nodes.node(ia + 1, ib + 1), nodes.node(ia, ib + 1)};
            const CornerStates states = cornerStates(nodes, corner);
            if (!states.known) continue; // a corner on land without coordinates
            const Long a2 = BfgdNextNode(a, aStep, aLimit, aCloses);
            const Long b2 = BfgdNextNode(b, bStep, bLimit, bCloses);
            const Long ca[4] = {a, a2, a2, a};
            const Long cb[4] = {b, b, b2, b2};
            float lons[4], lats[4], kept[4];
            cellCorners(rc.coords, swapped, ca, cb, lons, lats);
            std::copy(lons, lons + 4, kept);
            float lo = 0, hi = 0;
            KeepWhole(kept, 4, period, lo, hi);
            const LonCopies copies = CopiesInView(lo, hi, view.W, view.E, period);
            const bool asTransformed =
                copies.count == 1 && copies.shift[0] == 0 && std::equal(lons, lons + 4, kept);
            if (!asTransformed) {
                // Across the seam, or at another copy: moved corners are transformed afresh.
                drawBfgdCell(rc, lons, lats, ValueToColor(rc.scale, v), view, period, pts);
                continue;
            }
            if (states.refused) {
                CountRefusal(rc);
                continue;
            }
            for (int c = 0; c < 4; ++c)
                pts[c + 1] = nodes.at(corner[c]);
            fillNodeCell(rc, boxes, pts, ValueToColor(rc.scale, v));
        }
    }
}

void WholeListWindow(RenderContext& rc, Long count) {
    for (VArray<Long>* arr : {&rc.win.startp, &rc.win.countp, &rc.win.stride}) {
        if (rc.nd < 1) {
            arr->Erase();
            continue;
        }
        arr->ReDim(1, rc.nd);
        for (Long d = 1; d <= rc.nd; ++d)
            (*arr)(d) = 1;
    }
    if (rc.nd >= 1) rc.win.countp(rc.nd) = count;
}

// ---- The time loop
// ---------------------------------------------------------------------------------

Long StartStep(const std::string& boxText, Long nSteps) {
    double v = 0;
    try {
        v = Val(boxText);
    } catch (const RuntimeError&) {
        v = 0; // a number beyond any step restarts like an empty box
    }
    Long step = (v > -2147483648.0 && v < 2147483647.0) ? CLng(v) : 1;
    if (step >= nSteps) step = 1;
    return MaxL(1, step);
}

Long TimeLoop(RenderContext& rc, const StepBody& body, const TimeLoopOptions& options) {
    // An Esc released while nothing ran must not stop this loop.
    ClearAnimationStop();
    if (options.clearBarFirst) DrawProgressBar(rc.pic, 0, 0);
    Long step = StartStep(orderBoxes().StepText(), Data.clsNC->nTime(rc.dateSlot));
    const Long by = MaxL(1, options.timeStride);
    while (int64_t{step} + by <= Data.clsNC->nTime(rc.dateSlot)) {
        if (options.clearEachStep) rc.pic.Cls();
        step += by;
        if (options.timeBar) TimeBar(rc, step);
        orderBoxes().SetStepText(Str(step));
        if (options.dateLabel) DateLabel(rc, step);
        if (options.pinStep) PinStep(rc, step);
        if (!body(rc, step)) return -1;
        if (options.coastline && Coast.CoastFlag == 1) DrawCoast(rc.pic);
        ui().DoEvents();
        if (AnimationStopRequested()) {
            ClearAnimationStop();
            SetMapCaption("Drawing Coastline: Canceled");
            break;
        }
    }
    return step;
}

// ---- Caption
// -----------------------------------------------------------------------------------------

void SetMapCaption(const std::string& text) {
    gLastCaption = text;
    if (gCaptionSink) gCaptionSink(text);
}

std::function<void(const std::string&)>
setMapCaptionSink(std::function<void(const std::string&)> f) {
    auto old = std::move(gCaptionSink);
    gCaptionSink = std::move(f);
    return old;
}

const std::string& LastMapCaption() {
    return gLastCaption;
}

// ---- Error tails
// -------------------------------------------------------------------------------------

int ErrorNumberOf(const std::exception& e) {
    if (auto* r = dynamic_cast<const RuntimeError*>(&e)) return r->number();
    if (dynamic_cast<const std::bad_alloc*>(&e)) return 7;
    if (dynamic_cast<const std::out_of_range*>(&e)) return err::Subscript;
    return err::InvalidCall;
}

std::string ErrorDescriptionOf(const std::exception& e) {
    if (auto* r = dynamic_cast<const RuntimeError*>(&e)) return r->description();
    return ErrorText(ErrorNumberOf(e));
}

std::string ErrorTailText(const std::exception& e) {
    return "Error(" + std::to_string(ErrorNumberOf(e)) + "):" + kCrLf + kCrLf + "\"" +
           ErrorDescriptionOf(e) + "\"";
}

void ShowErrorTail(RenderContext& rc, const std::string& text, const std::string& title) {
    EndRender(rc);
    ui().MsgBox(text, kOkOnly, title.empty() ? std::string(kProgramTitle) : title);
}

void FinishFrame(RenderContext& rc) {
    Footer(rc);
    WriteBackRange(rc);
    EndRender(rc);
}

void LegendAndFinish(RenderContext& rc) {
    ui().DoEvents();
    DrawColorLegend();
    FinishFrame(rc);
}

Long BeginPointList(RenderContext& rc, Long count) {
    BeginFrame(rc, Data.Picks(1));
    WholeListWindow(rc, count);
    FindTimeAndLevel(rc);
    PinLevel(rc, Data.CurLevel);
    return count;
}
