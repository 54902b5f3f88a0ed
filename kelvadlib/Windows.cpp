// Questions about a slot's coordinates and axes that read no data: the coordinates of an
// index window, the longitude shift towards a requested window, and dimension positions.
#include "kelvadlib/Kelvad.h"
#include "runtime/Convert.h"
#include "runtime/Text.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace {

// The program's degree-to-radian factor, 3.1415926 / 180 (not the exact pi / 180).
constexpr double kDegToRad = 0.017453292222222222;

// The indices of one window entry: start To end Step stride, the stride above 0.
template <class F> bool eachIndex(Long start, Long end, Long stride, F&& body) {
    for (int64_t i = start; i <= end; i += stride)
        if (!body(static_cast<Long>(i))) return false;
    return true;
}

// GetLonLatDeg and GetLonLatRad: the same walk, the radian form scaling every value.
Long lonLatWindow(Kelvad& kv, VArray<float>& lonOut, VArray<float>& latOut,
                  const VArray<Long>& startp, const VArray<Long>& endp, const VArray<Long>& stride,
                  Long tcount, Long nNc, bool rad) {
    const std::string tag = rad ? "[GetLonLatRad] " : "[GetLonLatDeg] ";
    if (tcount <= 0) {
        kv.ErrorMessage = tag + "passed tcount <= 0";
        return -1;
    }
    auto value = [rad](float x) {
        return rad ? static_cast<float>(static_cast<double>(x) * kDegToRad) : x;
    };
    try {
        lonOut.ReDim(1, tcount);
        latOut.ReDim(1, tcount);
        const Long u = startp.UBound();
        const NcfRec& r = kv.ncf(nNc);
        const int gt = r.GridType;
        const bool pointList = gt == kGridCells || gt == kGridFeMesh || gt == kGridFvMesh;
        const bool twoAxes = gt == kGridRegular || gt == kGridBfg || gt == kGridGmt;
        // A window that does not advance would never end.
        if ((pointList || twoAxes) && (stride(u) <= 0 || (twoAxes && stride(u - 1) <= 0))) {
            kv.ErrorMessage = tag + "passed stride <= 0";
            return -1;
        }
        Long n = 0;
        if (pointList) {
            eachIndex(startp(u), endp(u), stride(u), [&](Long i) {
                n = AddL(n, 1);
                if (n > tcount) return false;
                lonOut(n) = value(r.lonArr(i));
                latOut(n) = value(r.latArr(i));
                return true;
            });
        } else if ((gt == kGridRegular || gt == kGridGmt) &&
                   (r.lonlatOrder == 1 || r.lonlatOrder == 2)) {
            const bool lonOuter = r.lonlatOrder == 1;
            eachIndex(startp(u - 1), endp(u - 1), stride(u - 1), [&](Long j) {
                return eachIndex(startp(u), endp(u), stride(u), [&](Long i) {
                    n = AddL(n, 1);
                    lonOut(n) = value(r.lonArr(lonOuter ? j : i));
                    latOut(n) = value(r.latArr(lonOuter ? i : j));
                    return true;
                });
            });
        } else if (gt == kGridBfg && (r.lonlatOrder == 1 || r.lonlatOrder == 2)) {
            const Long rowLength = r.lonlatOrder == 1 ? r.jMax : r.iMax;
            eachIndex(startp(u - 1), endp(u - 1), stride(u - 1), [&](Long j) {
                eachIndex(startp(u), endp(u), stride(u), [&](Long i) {
                    n = AddL(n, 1);
                    if (n > tcount) return false;
                    const Long k = AddL(MulL(rowLength, SubL(j, 1)), i);
                    lonOut(n) = value(r.lonArr(k));
                    latOut(n) = value(r.latArr(k));
                    return true;
                });
                return true;
            });
        }
        return 1;
    } catch (const RuntimeError& e) {
        kv.ErrorMessage = tag + CStr(static_cast<Long>(e.number()));
        return -1;
    }
}

Long dimPosition(const NcfRec& r, Long nv, Long did) {
    const VariRec& v = r.vari(nv);
    for (Long k = 1; k <= v.narray; ++k)
        if (v.arrayDimId(k) == did) return k;
    return 0;
}

} // namespace

Long Kelvad::GetLonLatDeg(VArray<float>& lonOut, VArray<float>& latOut, const VArray<Long>& startp,
                          const VArray<Long>& endp, const VArray<Long>& stride, Long tcount,
                          Long nNc) {
    return lonLatWindow(*this, lonOut, latOut, startp, endp, stride, tcount, nNc, false);
}

Long Kelvad::GetLonLatRad(VArray<float>& lonOut, VArray<float>& latOut, const VArray<Long>& startp,
                          const VArray<Long>& endp, const VArray<Long>& stride, Long tcount,
                          Long nNc) {
    return lonLatWindow(*this, lonOut, latOut, startp, endp, stride, tcount, nNc, true);
}

float Kelvad::GLonOffSet(float WestLon, float EastLon, Long nNc) {
    if (!SlotInRange(nNc)) return 0;
    const NcfRec& r = ncf(nNc);
    const double s = static_cast<double>(WestLon) + EastLon;
    const double c = static_cast<double>(r.westEnd) + r.eastEnd;
    const float d0 = static_cast<float>(std::fabs(c - s));
    const float d1 = static_cast<float>(std::fabs(c + 720 - s));
    const float d2 = static_cast<float>(std::fabs(c - 720 - s));
    float m = d0;
    if (d1 < m) m = d1;
    if (d2 < m) m = d2;
    if (m == d0) return 0;
    if (m == d1) return 360;
    return -360;
}

// The variable number is not checked: one outside the records raises 9 to the caller.
Long Kelvad::DofTime(Long nv, Long nNc) {
    if (!SlotInRange(nNc) || ncf(nNc).nTime < 1) return 0;
    return dimPosition(ncf(nNc), nv, ncf(nNc).time_dId);
}

Long Kelvad::DofLevel(Long nv, Long nNc) {
    if (!SlotInRange(nNc) || ncf(nNc).nTime < 1) return 0;
    return dimPosition(ncf(nNc), nv, ncf(nNc).level_dId);
}

Long Kelvad::indexOfDID(Long nv, Long did, Long nNc) {
    if (!SlotInRange(nNc) || did < 0) return 0;
    return dimPosition(ncf(nNc), nv, did);
}
