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
