#include "kelvadlib/Kelvad.h"
#include "kelvadlib/Utils.h"
#include "runtime/Strings.h"

Long Kelvad::TypeAllVars(Long nH) {
    try {
        NcfRec& r = ncf(nH);
        r.nVarsCoord = 0;
        r.nVarsRecord = 0;
        r.nVarsFixed = 0;
        bool order1 = false, order2 = false;
        // The unlimited dimension, or else the time dimension, holds the records.
        const Long recordDId = r.UnLimDId >= 0 ? r.UnLimDId : r.time_dId;
        const bool grid =
            r.GridType == kGridRegular || r.GridType == kGridBfg || r.GridType == kGridGmt;
        const Long nVars = r.nVars;
        for (Long nv = 1; nv <= nVars; ++nv) {
            VariRec& v = r.vari(nv);
            const Long na = v.narray;
            v.lonlatOrder = -1;
            if (v.kind == 1) {
                r.nVarsCoord = r.nVarsCoord + 1;
                continue;
            }
            // On a grid a series or a scalar is no field to show.
            if (na <= 1 && grid) continue;
            // A variable without dimensions has no record dimension: its first id entry is
            // an unused 0, not a dimension.
            if (na >= 1 && v.arrayDimId(1) == recordDId) {
                v.kind = 3;
                r.nVarsRecord = r.nVarsRecord + 1;
            } else {
                v.kind = 2;
                r.nVarsFixed = r.nVarsFixed + 1;
            }
            if (na >= 2) {
                const Long a = v.arrayDimId(na - 1);
                const Long b = v.arrayDimId(na);
                if (a == r.lon_dId && b == r.lat_dId) {
                    v.lonlatOrder = 1;
                    order1 = true;
                } else if (b == r.lon_dId && a == r.lat_dId) {
                    v.lonlatOrder = 2;
                    order2 = true;
                }
                if (a == r.iCell_dId && b == r.jCell_dId) {
                    v.lonlatOrder = 1;
                    order1 = true;
                } else if (b == r.iCell_dId && a == r.jCell_dId) {
                    v.lonlatOrder = 2;
                    order2 = true;
                }
            }
        }
        r.lonlatOrder = order1 ? (order2 ? 3 : 1) : (order2 ? 2 : 0);
        return 1;
    } catch (const RuntimeError& e) {
        ErrorMessage = ErrorFrame("", e);
        return -1;
    }
}

Long Kelvad::GetVar1st(Long nH) {
    try {
        NcfRec& r = ncf(nH);
        r.Var1st = -1;
        for (const Long wanted : {Long{3}, Long{2}}) {
            for (Long nv = 1; nv <= r.nVars; ++nv) {
                if (r.vari(nv).kind == wanted) {
                    r.Var1st = nv;
                    return 1;
                }
            }
        }
        return 0;
    } catch (const RuntimeError& e) {
        ErrorMessage = ErrorFrame("", e);
        return -1;
    }
}

Variant Kelvad::getVarNum(Long nH, const std::string& varName) {
    const NcfRec& r = ncf(nH);
    const std::string key = UCase(varName);
    const Long nVars = r.nVars;
    for (Long nv = 1; nv <= nVars; ++nv)
        if (UCase(r.vari(nv).name) == key) return Variant(nv);
    return Variant(Integer{0});
}
