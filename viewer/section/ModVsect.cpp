#include "viewer/section/ModVsect.h"

#include "common/CMDialog.h"
#include "common/SectionColumn.h"
#include "common/Strings.h"
#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "runtime/Variant.h"
#include "viewer/map/SharedState.h"

#include <cmath>

VsectState Vsect;

namespace {
[[maybe_unused]] const bool kResetRegistered = RegisterSharedStateReset([] { Vsect.Reset(); });
} // namespace

namespace {

constexpr float kNoVal = -1e35f;
constexpr const char* kLineEnd = "\r\n";

void refuse(const std::string& text) {
    ui().MsgBox(text, kOkOnly, kProgramTitle);
}

// The first dimension of variable nvar whose id is dimId; 0 when it has none.
Long dimensionOf(IKelvad& nc, Long nvar, Long narray, Long dimId) {
    return DimensionPosition(narray, dimId, [&](Long d) { return nc.variArrayDimID(nvar, d); });
}

// Where variable nvar keeps the levels and the time steps (dimension positions from 1), once
// its read is possible; the refusal's text otherwise.
struct ReadPlan {
    Long kMax = 0, nTime = 0, narray = 0, levelPos = 0, timePos = 0;
    std::string refusal;
};

ReadPlan refusal(std::string text) {
    ReadPlan plan;
    plan.refusal = std::move(text);
    return plan;
}

ReadPlan planRead(IKelvad* nc, Long nvar) {
    ReadPlan plan;
    plan.kMax = nc != nullptr ? nc->kMax() : 0;
    if (plan.kMax <= 0) return refusal("[ReadVSData&] clsNC.kMax <= 0");
    const Long levelDim = nc->LeveldId();
    if (levelDim < 0) return refusal("[ReadVSData&] clsNC.leveldId < 0");
    // The read takes kMax values of one point at one step: the variable must run along the
    // levels and the time axis, and the levels need their coordinates.
    plan.nTime = nc->nTime();
    plan.narray = nc->variNarray(nvar);
    plan.levelPos = dimensionOf(*nc, nvar, plan.narray, levelDim);
    plan.timePos = plan.nTime > 0 ? dimensionOf(*nc, nvar, plan.narray, nc->TimedId()) : 0;
    const std::string variable = std::string("[ReadVSData&] variable ").append(CStr(nvar));
    if (plan.levelPos == 0) return refusal(variable + " has no level dimension");
    if (plan.timePos == 0) return refusal(variable + " has no time dimension");
    if (!Data.vCoordV.IsAllocated() || Data.vCoordV.UBound() < plan.kMax)
        return refusal("[ReadVSData&] no vertical coordinates");
    return plan;
}

// The box of a read that failed: the dataset's message and the read window.
void showFailedRead(IKelvad& nc, Long nvar, Long tcount, const SectionWindow& w) {
    ui().SetMousePointer(kPointerDefault);
    ui().MsgBox(FailedReadReport(nc.ErrorMessage(), nvar, tcount, w, kLineEnd, ReportNumbers::Str),
                kOkOnly + kCritical, "[ReadVSData] NetCDF Error");
}

// Reads every section point at every step through window w into VsectValues, with the range
// of the values in rec. False, with the box shown, when a read fails: what was read stays.
bool readPoints(IKelvad& nc, Long nvar, const ReadPlan& plan, SectionWindow& w, VsectVarRec& rec) {
    const Long tcount = plan.kMax;
    VArray<float> values(1, tcount);
    for (Long t = 1; t <= plan.nTime; ++t) {
        w.startp(plan.timePos) = t;
        for (Long p = 1; p <= Vsect.nVsectPoints; ++p) {
            const VsectPoint& pt = Vsect.VsectPoints(p);
            PlaceColumn(w, HorizontalDimsOf(plan.narray, nc.lonlatOrder()), pt.i, pt.j);
            const Variant got =
                nc.GetVarsAny(nvar, kNoVal, values, w.startp, w.countp, w.stridep, tcount);
            if (got.IsEmpty() || CLng(got) < 0) {
                showFailedRead(nc, nvar, tcount, w);
                return false;
            }
            for (Long k = 1; k <= plan.kMax; ++k) {
                const float v = values(k);
                if (TakeIntoRange(v, kNoVal, rec.vMax, rec.vMin)) Vsect.VsectValues(p, k, t) = v;
            }
        }
    }
    return true;
}

} // namespace

void VsectCube::ReDim(Long points, Long levels, Long steps) {
    if (points < 0 || levels < 0 || steps < 0) throw RuntimeError(err::Subscript);
    np_ = points;
    nk_ = levels;
    nt_ = steps;
    v_.assign(static_cast<std::size_t>(points) * static_cast<std::size_t>(levels) *
                  static_cast<std::size_t>(steps),
              0.0f);
}

std::size_t VsectCube::at(Long p, Long k, Long t) const {
    if (p < 1 || p > np_ || k < 1 || k > nk_ || t < 1 || t > nt_)
        throw RuntimeError(err::Subscript);
    return (static_cast<std::size_t>(t - 1) * static_cast<std::size_t>(nk_) +
            static_cast<std::size_t>(k - 1)) *
               static_cast<std::size_t>(np_) +
           static_cast<std::size_t>(p - 1);
}

float& VsectCube::operator()(Long p, Long k, Long t) {
    return v_[at(p, k, t)];
}

float VsectCube::operator()(Long p, Long k, Long t) const {
    return v_[at(p, k, t)];
}

Long ReadVSData(Long& nvar) {
    IKelvad* nc = Data.clsNC;
    const ReadPlan plan = planRead(nc, nvar);
    if (!plan.refusal.empty()) {
        refuse(plan.refusal);
        return -1;
    }
    Vsect.VsectValues.ReDim(Vsect.nVsectPoints, plan.kMax, plan.nTime);
    Vsect.VsectBottom = static_cast<float>(Data.vCoordV(plan.kMax));

    // The section's own read window: the map's stays as the last map drawing left it.
    SectionWindow w = ColumnWindow(plan.narray, 1);
    w.countp(plan.levelPos) = plan.kMax;

    VsectVarRec& rec = Vsect.VsectVars(Vsect.CurVsectVar);
    rec.vMax = kEmptyRangeMax;
    rec.vMin = kEmptyRangeMin;
    if (!readPoints(*nc, nvar, plan, w, rec)) return -1;
    return plan.nTime + 1;
}

void SetVsectScales() {
    for (Long n = 1; n <= Vsect.nVsectVars; ++n) {
        VsectVarRec& rec = Vsect.VsectVars(n);
        if (rec.high == rec.low) {
            rec.high = rec.vMax;
            rec.low = rec.vMin;
            rec.step = (rec.vMax - rec.vMin) / 5;
            if (rec.step > 1) rec.step = std::floor(rec.step);
        }
        const std::string s = GetString(std::string("item").append(Str(n)), "items", Opt.IniFile);
        if (!s.empty()) {
            rec.high = static_cast<float>(GetTokenValue(s, 1));
            rec.low = static_cast<float>(GetTokenValue(s, 2));
            rec.step = static_cast<float>(GetTokenValue(s, 3));
        }
    }
}

std::string AskBmpFile() {
    std::string start = GetString("BmpFile", "RUN", Opt.IniFile);
    const std::string name = ShowSaveDlg(start, "Bmp file(*.bmp)|*.bmp");
    if (name.empty()) return {};
    PutString("BmpFile", "RUN", Opt.IniFile, name);
    return name;
}
