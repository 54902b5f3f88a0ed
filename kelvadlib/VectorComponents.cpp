#include "kelvadlib/Kelvad.h"
#include "kelvadlib/NCUtils.h"
#include "runtime/Strings.h"

Variant Kelvad::doPickUVVariables(Long nH) {
    NcfRec& r = ncf(nH);
    r.waterUvId = -1;
    r.waterVvId = -1;
    r.windUvId = -1;
    r.windVvId = -1;
    r.waterTempvId = -1;
    // A run that finds nothing must not leave the pair of an earlier run behind.
    r.Vector = 0;

    bool searchAliases = true;
    if (r.GridType == kGridGmt) {
        // A GMT grid's value variable lies over its XYSIZE dimension.
        for (Long n = 1; n <= r.nVars; ++n) {
            if (UCase(r.vari(n).arrayDimName(1)) == "XYSIZE") {
                r.waterTempvId = n;
                searchAliases = false;
                break;
            }
        }
    }
    if (searchAliases) {
        auto first = [&r](const std::string& list, Long notThis) {
            for (Long n = 1; n <= r.nVars; ++n)
                if (InAliasList(r.vari(n).name, list) && n != notThis) return n;
            return Long{-1};
        };
        r.waterUvId = first(waterUaKa, -1);
        r.waterVvId = first(waterVaKa, -1);
        // A name in both a water list and its wind list is the water component.
        r.windUvId = first(windUaKa, r.waterUvId);
        r.windVvId = first(windVaKa, r.waterVvId);
        r.waterTempvId = first(tempaKa, -1);
    }

    if (r.waterUvId == -1 && r.waterVvId == -1 && r.windUvId == -1 && r.windVvId == -1 &&
        r.waterTempvId == -1)
        return Variant(Integer{-1});

    // A single u/v pair may be a wind, as the dataset's type or u's long name tells.
    if (r.waterUvId != -1 && r.waterVvId != -1 && r.windUvId == -1 && r.windVvId == -1) {
        bool wind = GetAttVal(nH, "", "data_type") == "winds";
        if (!wind)
            wind = InStr(UCase(GetAttVal(nH, r.vari(r.waterUvId).name, "long_name")), "WIND") > 0;
        if (wind) {
            r.windUvId = r.waterUvId;
            r.windVvId = r.waterVvId;
            r.waterUvId = -1;
            r.waterVvId = -1;
        }
    }

    if (r.waterUvId >= 0 && r.waterVvId >= 0)
        r.Vector = 1;
    else if (r.windUvId >= 0 && r.windVvId >= 0)
        r.Vector = 2;
    return Variant(Integer{1});
}
