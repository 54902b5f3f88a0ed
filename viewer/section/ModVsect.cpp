#include "viewer/section/ModVsect.h"

#include "common/CMDialog.h"
#include "common/MinMax.h"
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

constexpr float kNoVal = -1e35f;
constexpr const char* kLineEnd = "\r\n";

void refuse(const std::string& text) {
    ui().MsgBox(text, kOkOnly, kProgramTitle);
}

// The first dimension of variable nvar whose id is dimId; 0 when it has none.
Long dimensionOf(IKelvad& nc, Long nvar, Long narray, Long dimId) {
    for (Long d = 1; d <= narray; ++d)
        if (nc.variArrayDimID(nvar, d) == dimId) return d;
    return 0;
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
    const Long kMax = nc != nullptr ? nc->kMax() : 0;
    if (kMax <= 0) {
        refuse("[ReadVSData&] clsNC.kMax <= 0");
        return -1;
    }
    const Long levelDim = nc->LeveldId();
    if (levelDim < 0) {
        refuse("[ReadVSData&] clsNC.leveldId < 0");
        return -1;
    }
    // The read takes kMax values of one point at one step: the variable must run along the
    // levels and the time axis, and the levels need their coordinates.
    const Long nTime = nc->nTime();
    const Long narray = nc->variNarray(nvar);
    const Long levelPos = dimensionOf(*nc, nvar, narray, levelDim);
    const Long timePos = nTime > 0 ? dimensionOf(*nc, nvar, narray, nc->TimedId()) : 0;
    if (levelPos == 0) {
        refuse(std::string("[ReadVSData&] variable ")
                   .append(CStr(nvar))
                   .append(" has no level dimension"));
        return -1;
    }
    if (timePos == 0) {
        refuse(std::string("[ReadVSData&] variable ")
                   .append(CStr(nvar))
                   .append(" has no time dimension"));
        return -1;
    }
    if (!Data.vCoordV.IsAllocated() || Data.vCoordV.UBound() < kMax) {
        refuse("[ReadVSData&] no vertical coordinates");
        return -1;
    }

    Vsect.VsectValues.ReDim(Vsect.nVsectPoints, kMax, nTime);
    Vsect.VsectBottom = static_cast<float>(Data.vCoordV(kMax));

    // The section's own read window: the map's stays as the last map drawing left it.
    VArray<Long> startp(1, narray), countp(1, narray), stride(1, narray);
    for (Long d = 1; d <= narray; ++d) {
        startp(d) = 1;
        countp(d) = 1;
        stride(d) = 1;
    }
    countp(levelPos) = kMax;
    const Long tcount = kMax;
    VArray<float> values(1, tcount);

    VsectVarRec& rec = Vsect.VsectVars(Vsect.CurVsectVar);
    rec.vMax = kNoVal;
    rec.vMin = 1e35f;

    for (Long t = 1; t <= nTime; ++t) {
        startp(timePos) = t;
        for (Long p = 1; p <= Vsect.nVsectPoints; ++p) {
            const VsectPoint& pt = Vsect.VsectPoints(p);
            switch (nc->lonlatOrder()) {
            case 1:
                startp(narray - 1) = pt.i;
                startp(narray) = pt.j;
                break;
            case 2:
                startp(narray - 1) = pt.j;
                startp(narray) = pt.i;
                break;
            case 0:
                startp(narray - 1) = pt.i;
                break;
            default:
                break;
            }
            const Variant got =
                nc->GetVarsAny(nvar, kNoVal, values, startp, countp, stride, tcount);
            if (got.IsEmpty() || CLng(got) < 0) {
                ui().SetMousePointer(kPointerDefault);
                std::string text = nc->ErrorMessage();
                text.append(kLineEnd).append(kLineEnd);
                text.append("nvar, tcount= ").append(Str(nvar)).append(" ").append(Str(tcount));
                text.append(kLineEnd);
                for (Long d = 1; d <= narray; ++d) {
                    text.append("start, count, stride = ").append(Str(startp(d))).append(" ");
                    text.append(Str(countp(d))).append(" ").append(Str(stride(d)));
                    text.append(kLineEnd);
                }
                ui().MsgBox(text, kOkOnly + kCritical, "[ReadVSData] NetCDF Error");
                return -1;
            }
            for (Long k = 1; k <= kMax; ++k) {
                const float v = values(k);
                if (v > kNoVal) {
                    Vsect.VsectValues(p, k, t) = v;
                    rec.vMax = MaxS(rec.vMax, v);
                    rec.vMin = MinS(rec.vMin, v);
                }
            }
        }
    }
    return nTime + 1;
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
